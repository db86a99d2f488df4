#include "core/positions/collection.h"

#include <algorithm>
#include <limits>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

bool SamePath(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

}  // namespace

fs::path ProposedCollectionPath(const fs::path& folder) {
    for (int n = 1; n <= 98; ++n) {
        const fs::path candidate = folder / NativePath("局面図"_sj + ZeroPad(n, 2) + ".kkm");
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
    return folder;
}

PositionCollection::PositionCollection(fs::path folder) : lastFolder(folder), folder_(std::move(folder)) {}

fs::path PositionCollection::workingCopy() const { return folder_ / NativePath("無題.kk$"_sj); }
fs::path PositionCollection::tempFile() const { return folder_ / "TEMP.kk$"; }

std::string PositionCollection::displayName() const {
    if (untitled()) return std::string("無題"_sj);
    return PathText(current_.filename());
}

std::string PositionCollection::questionName() const {
    if (untitled()) return std::string("無題.kkm"_sj);
    return PathText(current_.filename());
}

bool PositionCollection::Flush(Prompter& prompter) {
    if (!WriteCollectionPage(workingCopy(), appendPage_, buffer_, appendPage_ == 0)) {
        prompter.Warn("\r"_sj + PathText(workingCopy()) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    return true;
}

bool PositionCollection::New(Prompter& prompter, const CollectionDialogs& dialogs, bool message) {
    if (AskToSave(prompter, dialogs) == Answer::Cancel) return false;
    current_ = workingCopy();
    pageToShow_ = 0;
    appendPage_ = 0;
    usedSlots_ = 0;
    buffer_ = CollectionPage{};
    // An empty collection has nothing a later question could save.
    changed_ = false;
    if (!Flush(prompter)) return false;
    if (message) prompter.Inform("\r局面図(無題)を作成しました。"_sj);
    return true;
}

bool PositionCollection::Open(Prompter& prompter, const CollectionDialogs& dialogs) {
    if (AskToSave(prompter, dialogs) == Answer::Cancel) return false;
    if (!dialogs.openFile) return false;
    const fs::path chosen = dialogs.openFile(lastFolder);
    if (chosen.empty()) return false;
    return OpenFile(chosen, prompter);
}

bool PositionCollection::OpenFile(const fs::path& path, Prompter& prompter) {
    const std::optional<CollectionContents> contents = ReadCollection(path);
    if (!contents || !WriteCollection(workingCopy(), contents->pages, tempFile())) {
        prompter.Warn("\rファイルの読込に失敗しました！"_sj);
        return false;
    }
    if (!contents->damaged.empty()) prompter.Warn(DamagedCollectionMessage(path, *contents));
    changed_ = false;
    current_ = SamePath(path, workingCopy()) ? workingCopy() : path;
    if (!untitled()) lastFolder = path.parent_path();
    TakeAppendState(contents->pages);
    return true;
}

bool PositionCollection::Reopen(const fs::path& path, int lastPage, Prompter& prompter) {
    if (path.empty() || !IsRegularFile(path)) return false;
    if (!OpenFile(path, prompter)) return false;
    pageToShow_ = lastPage;
    return true;
}

void PositionCollection::TakeAppendState(const std::vector<CollectionPage>& pages) {
    appendPage_ = int(pages.size()) - 1;
    buffer_ = pages.back();
    usedSlots_ = buffer_.UsedSlots();
    if (usedSlots_ == kSlotsPerPage) {
        ++appendPage_;
        usedSlots_ = 0;
        buffer_ = CollectionPage{};
    }
    pageToShow_ = buffer_.HasPositions() ? appendPage_ + 1 : std::max(1, appendPage_);
}

bool PositionCollection::FlushIfFilled(Prompter& prompter) {
    return usedSlots_ == 0 || Flush(prompter);
}

bool PositionCollection::CopyWorkingCopyTo(const fs::path& target, Prompter& prompter) {
    std::string bytes;
    fs::path temp = target;
    temp += ".tmp$";
    if (ReadRegularFile(workingCopy(), kMaxCollectionBytes, bytes) != FileReadStatus::Ok ||
        !WriteFileReplacing(target, bytes, temp)) {
        prompter.Warn("\rファイルの保存に失敗しました！"_sj);
        return false;
    }
    return true;
}

bool PositionCollection::Save(Prompter& prompter, const CollectionDialogs& dialogs) {
    if (!exists()) return false;
    if (untitled()) return SaveAs(prompter, dialogs);
    if (!FlushIfFilled(prompter)) return false;
    if (!CopyWorkingCopyTo(current_, prompter)) return false;
    changed_ = false;
    prompter.Inform("\r"_sj + PathText(current_) + " に保存しました。"_sj);
    return true;
}

bool PositionCollection::SaveAs(Prompter& prompter, const CollectionDialogs& dialogs) {
    if (!exists() || !dialogs.saveFile) return false;
    if (!FlushIfFilled(prompter)) return false;
    const fs::path chosen = dialogs.saveFile(ProposedCollectionPath(lastFolder));
    if (chosen.empty()) return false;
    std::error_code ec;
    if (fs::exists(chosen, ec)) {
        const std::string question = PathText(chosen.filename()) + "は既に存在します。"_sj + "\r" + "上書きしますか？"_sj;
        if (prompter.Confirm(question, true, false) != Answer::Yes) return false;
    }
    if (!CopyWorkingCopyTo(chosen, prompter)) return false;
    current_ = SamePath(chosen, workingCopy()) ? workingCopy() : chosen;
    lastFolder = chosen.parent_path();
    changed_ = false;
    prompter.Inform(PathText(chosen) + " に保存しました。"_sj);
    return true;
}

Answer PositionCollection::AskToSave(Prompter& prompter, const CollectionDialogs& dialogs) {
    if (!exists() || !changed_) return Answer::No;
    const std::string question = "局面図 （"_sj + questionName() + "） は変更されています。"_sj + "\r" + "\r" + "保存しますか？"_sj;
    const Answer answer = prompter.Confirm(question, true, true);
    // A save that failed or was cancelled stops the caller too: going on would drop the changes.
    if (answer == Answer::Yes && !Save(prompter, dialogs)) return Answer::Cancel;
    return answer;
}

bool PositionCollection::Add(const SlotTexts& texts, const PieceTable& pieces, Prompter& prompter) {
    if (!exists() && !New(prompter, {}, false)) return false;
    const long number = long(appendPage_) * kSlotsPerPage + usedSlots_ + 1;
    if (number > std::numeric_limits<std::int16_t>::max()) {
        prompter.Warn("\r局面図ファイルにはこれ以上追加できません！"_sj);
        return false;
    }
    PositionSlot slot;
    slot.setNumber(std::int16_t(number));
    slot.setTexts(texts);
    slot.setPieces(pieces);
    buffer_.setSlot(usedSlots_, slot);
    if (usedSlots_ + 1 == kSlotsPerPage) {
        if (!Flush(prompter)) {
            // Nothing added: the buffer stays as the working copy knows it.
            buffer_.setSlot(usedSlots_, PositionSlot{});
            return false;
        }
        buffer_ = CollectionPage{};
        ++appendPage_;
        usedSlots_ = 0;
        pageToShow_ = appendPage_;
    } else {
        ++usedSlots_;
        pageToShow_ = appendPage_ + 1;
    }
    changed_ = true;
    return true;
}

bool PositionCollection::ReloadAppendState(Prompter& prompter) {
    std::string error;
    const std::optional<CollectionContents> contents = ReadCollection(workingCopy(), &error);
    if (!contents) {
        prompter.Warn("\r"_sj + PathText(workingCopy()) + "\r" + "を読み込めません。"_sj);
        return false;
    }
    const int shown = pageToShow_;
    TakeAppendState(contents->pages);
    pageToShow_ = shown;
    return true;
}

}  // namespace movra
