#include "core/store/store_copy.h"

#include <array>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/text/sjis_literal.h"
#include "core/store/comment_layout.h"
#include "core/store/comments.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_appender.h"
#include "core/store/store_journal.h"

namespace movra {
using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kProgressEvery = 1000;

// Every file a store of either kind may have, the working comment file included.
std::vector<std::string> StoreExtensions() {
    std::vector<std::string> all = {std::string(ext::kIndex),         std::string(ext::kGameData),
                                    std::string(ext::kOverflowGameData), std::string(ext::kDetail),
                                    std::string(ext::kMoveInfo),      std::string(ext::kMoveInfoOverflow),
                                    std::string(ext::kWorkingComments)};
    for (int f = 0; f < kCommentFileCount; ++f) all.push_back(ext::CommentFile(f));
    return all;
}

void RemoveSet(const StoreFiles& files, RecordWriter& layer) {
    for (const std::string& e : StoreExtensions()) {
        if (files.Exists(e)) layer.Remove(files.Path(e));
    }
    if (files.Exists(ext::kJournal)) layer.Remove(files.Path(ext::kJournal));
}

// The set named like `files` with `suffix` after the base name, in the same folder.
StoreFiles Beside(const StoreFiles& files, std::string_view suffix) {
    const fs::path index = files.IndexPath();
    return StoreFiles(index.parent_path() / (index.stem().string() + std::string(suffix) + std::string(ext::kIndex)));
}

// The store written under its working name takes the target's names in one replacement: every
// file it has takes the name of the target's file of that kind, and the target's files it has
// no counterpart for go. The target's old files wait aside until the new ones are in.
StoreReplacement TargetReplacement(const StoreFiles& written, const StoreFiles& target) {
    const StoreFiles aside = Beside(target, "~old");
    StoreReplacement plan;
    for (const std::string& e : StoreExtensions()) {
        if (written.Exists(e)) {
            // The target's file keeps the spelling it was found under.
            plan.files.push_back({written.Path(e), target.Path(e), aside.Path(e), {}, {}});
        } else if (target.Exists(e)) {
            plan.removals.push_back(target.Path(e));
        }
    }
    return plan;
}

// The comment files of the source, opened when first needed and kept open for the whole copy;
// a comment is read as its 256-byte slot.
class CommentSource {
public:
    explicit CommentSource(const GameStore& store) : store_(store) {}
    // The text of comment `number` of file `file`; empty for no comment or one that cannot be read.
    std::string_view Read(int file, int number) {
        if (number <= 0 || number > kMaxCommentNumber || file < 0 || file >= kCommentFileCount) return {};
        RecordFile& f = files_[std::size_t(file)];
        if (!f.isOpen() && !tried_[std::size_t(file)]) {
            tried_[std::size_t(file)] = true;
            f.Open(store_.files.Path(ext::CommentFile(file)), kCommentSlotSize, RecordFile::Access::Read);
        }
        if (!f.isOpen()) return {};
        const CommentPlace place = PlaceOfComment(number);
        const std::uint64_t slot = place.record * std::uint64_t(kCommentsPerRecord) + place.offset / kCommentSlotSize;
        if (f.Read(slot, slot_.data()) == 0) return {};
        return std::string_view(reinterpret_cast<const char*>(slot_.data()), CommentSlotLength(slot_.data()));
    }

private:
    const GameStore& store_;
    std::array<RecordFile, kCommentFileCount> files_;
    std::array<bool, kCommentFileCount> tried_{};
    std::array<std::uint8_t, kCommentSlotSize> slot_{};
};

// Stores `text` as a new comment in the target; the reference, or none when the text is empty or
// every comment file is full.
CommentRef CopyComment(StoreAppender& appender, std::string_view text, bool& limitReached) {
    if (text.empty()) return {};
    const CommentWriteResult r = appender.AddComment(text);
    if (r.failed) throw StoreIoError("cannot write", appender.store().files.Path(ext::CommentFile(r.file)));
    if (r.limitReached) limitReached = true;
    return CommentRef{r.file, r.number};
}

// Appends the games to `out`, one session with a commit every so many games; the files are all
// closed again on return.
void CopyInto(const GameStore& out, const GameStore& source, std::span<const std::uint32_t> games,
              Prompter& prompter, RecordWriter& layer, StoreCopyResult& result) {
    const bool extended = source.extended();
    const StoreReader reader(source);
    CommentSource comments(source);
    StoreAppender appender(out, prompter, layer);
    const std::string caption = CopyProgressCaption();
    IndexRecord index;
    MoveBytes moves;
    DetailRecord detail;
    MoveInfo info;
    std::uint32_t done = 0;
    try {
        for (const std::uint32_t k : games) {
            if (!reader.ReadIndexRecord(k, index) || !reader.ReadGameData(long(k), index.overflowNumber(), moves)) {
                throw StoreIoError("cannot read game " + std::to_string(k) + " of", source.files.IndexPath());
            }
            const int sourceOverflow = index.overflowNumber();
            if (extended) {
                if (!reader.ReadDetailRecord(long(k), detail)) detail = DetailRecord{};
                if (!reader.ReadMoveInfo(long(k), sourceOverflow, info)) info = MoveInfo{};
            }
            // The target hands out its own overflow number when the moves need one.
            index.setOverflowNumber(0);
            if (!appender.WriteGame(index, moves, kAppendGame, false).ok) {
                throw StoreIoError("cannot append to", out.files.IndexPath());
            }
            if (extended) {
                const CommentRef o = CopyComment(
                    appender, comments.Read(detail.openingCommentFile(), detail.openingCommentNumber()),
                    result.commentLimitReached);
                detail.setOpeningComment(std::uint8_t(o.file), std::uint16_t(o.number));
                const CommentRef c = CopyComment(
                    appender, comments.Read(detail.closingCommentFile(), detail.closingCommentNumber()),
                    result.commentLimitReached);
                detail.setClosingComment(std::uint8_t(c.file), std::uint16_t(c.number));
                for (int e = 0; e < kMoveInfoEntries; ++e) {
                    if (info.commentNumber(e) == 0) continue;
                    const CommentRef m = CopyComment(appender, comments.Read(info.commentFile(e), info.commentNumber(e)),
                                                     result.commentLimitReached);
                    info.setCommentFile(e, m.file);
                    info.setCommentNumber(e, std::uint16_t(m.number));
                }
                detail.CopyIndexWords(index);
                appender.WriteGameDetail(detail, info, kAppendGame, false);
            }
            ++done;
            if (appender.CommitDue()) {
                appender.Commit();
                result.copied = done;
            }
            if (done % kProgressEvery == 0) prompter.Progress(caption, long(done), long(games.size()));
        }
        appender.Commit();
        result.copied = done;
        result.ok = true;
    } catch (const StoreIoError& e) {
        appender.Abandon();
        result.error = e.what();
    }
    result.targetCount = appender.gameCount();
}

}  // namespace

std::string CopyProgressCaption() { return std::string("【 併 合 中 】"_sj); }

StoreCopyResult CopyGames(const GameStore& source, std::span<const std::uint32_t> games, const fs::path& target,
                          bool append, Prompter& prompter, RecordWriter& layer) {
    StoreCopyResult result;
    const StoreFiles targetFiles(target);
    const bool extended = source.extended();
    std::error_code same;
    if (fs::equivalent(targetFiles.IndexPath(), source.files.IndexPath(), same)) {
        result.error = "the target is the store itself: " + targetFiles.IndexPath().string();
        return result;
    }
    // A store made anew is written under a working name beside the target and takes the
    // target's names only once every game is in: a failure leaves the old target as it was.
    const bool fresh = !append || !targetFiles.Exists(ext::kIndex);
    const StoreFiles written = fresh ? Beside(targetFiles, "~new") : targetFiles;
    if (fresh) {
        RemoveSet(written, layer);
        if (!CreateStoreFiles(written.IndexPath(), extended, layer)) {
            RemoveSet(written, layer);
            result.error = "cannot create " + written.IndexPath().string();
            return result;
        }
    } else {
        // Games are appended only to a whole store of the source's kind (a half-done change of
        // it is repaired first).
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStore(targetFiles.IndexPath(), count, prompter, layer);
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            result.error = "the target cannot be written to: " + targetFiles.IndexPath().string();
            return result;
        }
        if (extended != (check == StoreCheck::Extended)) {
            result.error = "the target is not of the source's kind: " + targetFiles.IndexPath().string();
            return result;
        }
    }

    GameStore out;
    out.files = written;
    // The appender settles the overflow part of long games in the extended kind's way; a classic
    // target keeps them the same way (its overflow game-data file and the bitmap file beside it).
    out.kind = StoreKind::Extended;
    CopyInto(out, source, games, prompter, layer, result);
    if (fresh) {
        if (result.ok && !ReplaceStoreFiles(targetFiles, TargetReplacement(written, targetFiles), prompter, layer)) {
            result.ok = false;
            result.error = "cannot give the written store the name " + targetFiles.IndexPath().string();
        }
        if (!result.ok) {
            // Nothing of the copy stays: the target is as it was before.
            RemoveSet(written, layer);
            result.copied = 0;
        }
    }
    if (result.commentLimitReached) prompter.Warn(CommentLimitText());
    return result;
}

StoreCopyResult CopyStore(const GameStore& source, const fs::path& target, bool append, Prompter& prompter) {
    std::vector<std::uint32_t> games(source.recordCount);
    for (std::uint32_t k = 1; k <= source.recordCount; ++k) games[k - 1] = k;
    return CopyGames(source, games, target, append, prompter);
}

StoreCopyResult CopyCatalogueGames(const GameStore& source, std::span<const GameHeader> catalogue, bool markedOnly,
                                   const fs::path& target, bool append, Prompter& prompter) {
    std::vector<std::uint32_t> games;
    games.reserve(catalogue.size());
    for (const GameHeader& h : catalogue) {
        if (!markedOnly || h.selectionMark == 1) games.push_back(h.recordNumber);
    }
    return CopyGames(source, games, target, append, prompter);
}

}  // namespace movra
