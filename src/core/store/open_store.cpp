#include "core/store/open_store.h"

#include <sys/statvfs.h>

#include <algorithm>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/comments.h"
#include "core/store/layout.h"
#include "core/store/record_file.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// The name after the last "/" or "\" (stored paths may come from the other system).
std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The narrow detail file of count records of 192 bytes becomes count records of 256 bytes,
// written to B.ip$ and renamed over B.ipx, so the old file stays until the new one is whole.
StoreCheck WidenDetailFile(const StoreFiles& files, std::uint32_t count, Prompter& prompter,
                           FileSystemHooks& fsHooks, const FreeSpaceProbe& freeSpace) {
    const fs::path folder = files.folder().empty() ? fs::path(".") : files.folder();
    const std::optional<std::uint64_t> free =
        freeSpace ? freeSpace(folder) : FreeDiskSpace(folder);
    const std::uint64_t needed = std::uint64_t(count) * kDetailRecordSize + 1024;
    if (!free || *free <= needed) {
        prompter.Warn("\rディスクの残容量が不足しています。"_sj);
        return StoreCheck::Unusable;
    }
    const fs::path detailPath = files.Path(ext::kDetail);
    const fs::path temporary = files.Path(ext::kTempDetail);
    try {
        RecordBlockReader narrow;
        RecordBlockWriter wide;
        if (!narrow.Open(detailPath, kNarrowDetailRecordSize, 0, 4096)) return StoreCheck::ReadOnly;
        if (!wide.Create(temporary, kDetailRecordSize, 4096)) return StoreCheck::ReadOnly;
        std::array<std::uint8_t, kDetailRecordSize> record{};
        const std::uint8_t* block = nullptr;
        std::uint64_t copied = 0;
        for (std::size_t n; (n = narrow.Next(block)) != 0;) {
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint8_t* from = block + i * kNarrowDetailRecordSize;
                std::copy(from, from + kNarrowDetailRecordSize, record.begin());
                wide.Append(record.data());
            }
            copied += n;
        }
        wide.Finish();
        if (copied != count) {
            fsHooks.Remove(temporary);
            return StoreCheck::Unusable;
        }
    } catch (const StoreIoError&) {
        fsHooks.Remove(temporary);
        return StoreCheck::Unusable;
    }
    if (!fsHooks.Rename(temporary, detailPath)) {
        fsHooks.Remove(temporary);
        return StoreCheck::Unusable;
    }
    return StoreCheck::Extended;
}

}  // namespace

std::optional<std::uint64_t> FreeDiskSpace(const fs::path& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    return std::uint64_t(info.f_bavail) * std::uint64_t(info.f_frsize);
}

StoreCheck ValidateStore(const fs::path& path, std::uint32_t& recordCount, Prompter& prompter,
                         FileSystemHooks& fsHooks, const FreeSpaceProbe& freeSpace) {
    const StoreFiles files(path);
    if (!files.Exists(ext::kGameData)) return StoreCheck::Unusable;
    // A missing index file is a broken store, not a read-only one.
    if (!files.Exists(ext::kIndex)) return StoreCheck::Unusable;

    std::uint32_t count = 0;
    {
        RecordFile index;
        RecordFile gameData;
        if (!index.Open(files.Path(ext::kIndex), kIndexRecordSize, RecordFile::Access::ReadWrite) ||
            !gameData.Open(files.Path(ext::kGameData), kGameDataRecordSize,
                           RecordFile::Access::ReadWrite)) {
            return StoreCheck::ReadOnly;
        }
        StoreHeader header;
        // An index file without its header record is as broken as one of the wrong size.
        if (index.Read(0, header.bytes.data()) != kIndexRecordSize) return StoreCheck::Unusable;
        const std::uint64_t indexRecords = index.RecordCount();
        count = header.GameCount(indexRecords);
        if (indexRecords != std::uint64_t(count) + 1 || gameData.RecordCount() != count) {
            return StoreCheck::Unusable;
        }
    }

    if (!files.Exists(ext::kDetail) || !files.Exists(ext::kMoveInfo) ||
        !files.Exists(ext::CommentFile(0))) {
        recordCount = count;
        return StoreCheck::Classic;
    }

    StoreCheck result = StoreCheck::Unusable;
    {
        RecordFile detail;
        RecordFile moveInfo;
        if (!detail.Open(files.Path(ext::kDetail), kDetailRecordSize, RecordFile::Access::ReadWrite) ||
            !moveInfo.Open(files.Path(ext::kMoveInfo), kMoveInfoRecordSize,
                           RecordFile::Access::ReadWrite)) {
            return StoreCheck::ReadOnly;
        }
        if (detail.RecordCount() == count && moveInfo.RecordCount() == count) {
            result = StoreCheck::Extended;
        } else if (count > 0 && detail.SizeBytes() == std::uint64_t(count) * kNarrowDetailRecordSize &&
                   moveInfo.RecordCount() == count) {
            // The narrow form is widened only when the move-info file agrees: widening cannot
            // make a store whole whose other extended file is of the wrong size.
            detail.Close();
            moveInfo.Close();
            result = WidenDetailFile(files, count, prompter, fsHooks, freeSpace);
        }
    }
    if (result == StoreCheck::Extended) recordCount = count;
    return result;
}

// --- the recent-file list --------------------------------------------------------------------------

void RecentFileList::Assign(const std::array<std::string, kSize>& entries) {
    entries_ = entries;
    CloseUp();
}

void RecentFileList::CloseUp() {
    std::stable_partition(entries_.begin(), entries_.end(),
                          [](const std::string& e) { return !e.empty(); });
}

bool RecentFileList::Add(std::string_view path) {
    if (path.empty()) return false;
    int found = -1;
    for (int i = 0; i < kSize; ++i) {
        if (!entries_[std::size_t(i)].empty() && FileNamesEqual(entries_[std::size_t(i)], path)) {
            found = i;
            break;
        }
    }
    if (found == 0) return false;
    const int last = found > 0 ? found : kSize - 1;
    for (int j = last; j > 0; --j) entries_[std::size_t(j)] = entries_[std::size_t(j - 1)];
    entries_[0] = std::string(path);
    CloseUp();
    return true;
}

bool RecentFileList::Remove(std::string_view path) {
    bool changed = false;
    for (std::string& e : entries_) {
        if (!e.empty() && FileNamesEqual(e, path)) {
            e.clear();
            changed = true;
        }
    }
    CloseUp();
    return changed;
}

std::array<RecentFileList::MenuItem, RecentFileList::kSize> RecentFileList::MenuItems() const {
    std::array<MenuItem, kSize> items{};
    for (int i = 0; i < kSize; ++i) {
        const std::string& e = entries_[std::size_t(i)];
        MenuItem& item = items[std::size_t(i)];
        item.caption = "&" + std::to_string((i + 1) % 10) + " " + FileNameOf(e);
        item.path = e;
        item.visible = !e.empty();
    }
    return items;
}

std::string OpenConfirmText(std::string_view path) {
    return "\"" + std::string(path) + "\"" + " を読み込みます。"_sj + "\r\r" + "　よろしいですか？"_sj;
}

// --- opening ---------------------------------------------------------------------------------------------

OpenStoreResult OpenStore(StoreSession& session, const fs::path& path, bool reset,
                          Prompter& prompter) {
    OpenStoreResult out;
    fs::path x = path;
    if (x.empty() || !IsRegularFile(x)) {
        if (!x.empty()) out.recentChanged = session.recent.Remove(x.string());
        x.clear();
    }
    const std::string e = UpperExtension(x);
    if (e != ".IDX" && e != ".IPX") {
        if (e == ".KIF") session.openState = kOpenStateHalvik;
        return out;
    }

    std::uint32_t count = 0;
    const StoreCheck r = ValidateStore(x, count, prompter);
    const bool usable = r == StoreCheck::Classic || r == StoreCheck::Extended;
    const bool accept = (e == ".IDX" && usable) || (e == ".IPX" && r == StoreCheck::Extended);
    if (!accept) {
        if (r == StoreCheck::Unusable) {
            out.recentChanged = session.recent.Remove(x.string()) || out.recentChanged;
            prompter.Warn(BrokenStoreMessage(x));
            out.result = 0;
        } else if (r == StoreCheck::ReadOnly) {
            prompter.Warn("\"" + PathText(x) + "\"" + "は"_sj + "\r\r" +
                          "読み取り専用ファイルのため使用できません。"_sj);
            out.result = 0;
        }
        return out;
    }

    const StoreKind kind = r == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic;
    GameStore store(x, kind, count);
    const fs::path indexPath = store.files.IndexPath();
    out.storeChanged = !NativeNamesEqual(indexPath.string(), session.storePath.string());
    session.store = store;
    session.storePath = indexPath;
    session.openState = kOpenStateMovra;

    const fs::path master = session.masterFolder();
    session.openings.Load(master, prompter);
    out.playersRead = session.players.Load(master, !session.playersInFileOrder);
    session.tournaments.Load(master, prompter);
    out.resetGameSlots = reset;
    out.catalogue = LoadCatalogue(session.store, session.catalogue);

    out.shownName = kind == StoreKind::Extended ? store.files.Path(ext::kDetail).string() : x.string();
    const fs::path recent =
        store.files.Exists(ext::kDetail) ? store.files.Path(ext::kDetail) : indexPath;
    out.recentChanged = session.recent.Add(recent.string()) || out.recentChanged;
    out.opened = true;
    return out;
}

std::string ShownStoreName(const StoreSession& session) {
    if (session.storePath.empty()) return {};
    if (session.store.extended()) return session.store.files.Path(ext::kDetail).string();
    return session.storePath.string();
}

std::string StoreCaption(std::string_view appTitle, std::string_view shownName) {
    return std::string(appTitle) + "　（棋譜ファイル： "_sj + std::string(shownName) + "）"_sj;
}

std::optional<OpenStoreResult> OpenRecentEntry(StoreSession& session, int entry, Prompter& prompter) {
    if (entry < 1 || entry > RecentFileList::kSize) return std::nullopt;
    const std::string path = session.recent.entries()[std::size_t(entry - 1)];
    if (path.empty()) return std::nullopt;
    if (prompter.Confirm(OpenConfirmText(path), false, true) != Answer::Yes) return std::nullopt;
    return OpenStore(session, path, true, prompter);
}

OpenStoreResult OpenChosenStore(StoreSession& session, const fs::path& path, Prompter& prompter) {
    if (!session.store.files.empty()) DeleteWorkingCommentFile(session.store.files);
    return OpenStore(session, path, true, prompter);
}

bool SwitchDatFolder(StoreSession& session, const fs::path& chosenFile, Prompter& prompter) {
    const fs::path folder = chosenFile.parent_path().empty() ? fs::path(".") : chosenFile.parent_path();
    if (!CheckDatFolder(folder, &prompter)) return false;
    session.datFolder = folder;
    const fs::path master = session.masterFolder();
    session.players.Load(master, !session.playersInFileOrder);
    if (session.isOpen()) session.tournaments.Load(master, prompter);
    session.openings.Load(master, prompter);
    std::string shown = PathText(folder);
    if (!shown.ends_with('/')) shown += '/';
    prompter.Inform("DATファイルを下記のフォルダのデータに切り替えました。\r\r"_sj + shown);
    return true;
}

// --- new store and rename ------------------------------------------------------------------------------

std::optional<OpenStoreResult> CreateNewStore(StoreSession& session, const fs::path& chosen,
                                              Prompter& prompter) {
    const std::string e = UpperExtension(chosen);
    if ((!e.empty() && e != ".IDX" && e != ".IPX") || chosen.stem().empty()) {
        prompter.Warn("\rファイル名が正しくありません！"_sj);
        return std::nullopt;
    }
    const bool extended = e != ".IDX";
    fs::path indexPath = chosen;
    indexPath.replace_extension(ext::kIndex);
    const StoreFiles files(indexPath);
    for (std::string_view which : {ext::kIndex, ext::kDetail}) {
        if (which == ext::kDetail && !extended) break;
        if (files.Exists(which)) {
            prompter.Inform("\r" + PathText(files.Path(which)) + " は既に存在します。"_sj);
            return std::nullopt;
        }
    }
    if (!session.store.files.empty()) DeleteWorkingCommentFile(session.store.files);
    if (!CreateStoreFiles(indexPath, extended)) {
        throw StoreIoError("cannot create the store files", indexPath);
    }
    return OpenStore(session, indexPath, true, prompter);
}

std::string CurrentStoreName(const StoreSession& session) {
    if (session.storePath.empty()) return {};
    if (session.store.extended()) return session.store.files.Path(ext::kDetail).filename().string();
    return session.storePath.filename().string();
}

std::string RenamePromptText(const StoreSession& session) {
    return "'" + CurrentStoreName(session) + "' の新しい名前を指定してください。"_sj;
}

RenameOutcome RenameStore(StoreSession& session, std::string_view newName, Prompter& prompter,
                          FileSystemHooks& fsHooks) {
    if (session.storePath.empty()) return RenameOutcome::Refused;
    const std::string current = CurrentStoreName(session);
    const std::string wanted = Trim(newName);
    if (FileNamesEqual(wanted, current)) return RenameOutcome::Unchanged;
    const fs::path wantedPath(wanted);
    if (UpperExtension(wantedPath) != UpperExtension(fs::path(current)) ||
        wanted.find_first_of("/\\") != std::string::npos || wantedPath.stem().empty()) {
        prompter.Warn("\rファイル名が不正です。"_sj);
        return RenameOutcome::Refused;
    }

    const StoreFiles& from = session.store.files;
    const fs::path folder = from.folder();
    const std::string newBase = wantedPath.stem().string();
    const StoreFiles to(folder / wanted);

    // The files that move, group by group, each group as far as it runs unbroken.
    std::vector<std::string> extensions;
    const auto addGroup = [&](std::initializer_list<std::string_view> group) {
        for (std::string_view e : group) {
            if (!from.Exists(e)) break;
            extensions.emplace_back(e);
        }
    };
    addGroup({ext::kIndex, ext::kGameData, ext::kOverflowGameData});
    if (session.store.extended()) {
        addGroup({ext::kDetail, ext::kMoveInfo, ext::kMoveInfoOverflow});
        for (int f = 0; f < kCommentFileCount; ++f) {
            const std::string e = ext::CommentFile(f);
            if (!from.Exists(e)) break;
            extensions.push_back(e);
        }
    }

    // A name already in use stops everything before a file moves.
    std::vector<std::string_view> conflictChecks{ext::kIndex, ext::kGameData,
                                                 ext::kOverflowGameData};
    if (session.store.extended()) {
        conflictChecks.insert(conflictChecks.end(),
                              {ext::kDetail, ext::kMoveInfo, ext::kMoveInfoOverflow});
    }
    for (const std::string& e : extensions) {
        if (e.starts_with(".cp")) conflictChecks.push_back(e);
    }
    for (std::string_view e : conflictChecks) {
        if (to.Exists(e)) {
            prompter.Warn("同じ名前のファイルがあるため変更できません。\r\r　[ "_sj +
                          PathText(to.Path(e).filename()) + " ]");
            return RenameOutcome::Refused;
        }
    }

    std::vector<std::pair<fs::path, fs::path>> done;
    for (const std::string& e : extensions) {
        const fs::path source = from.Path(e);
        const fs::path target = folder / (newBase + source.extension().string());
        if (!fsHooks.Rename(source, target)) {
            // Put back what has moved, so the store stays whole under its old name.
            for (auto it = done.rbegin(); it != done.rend(); ++it) fsHooks.Rename(it->second, it->first);
            prompter.Warn("\rファイル名の変更に失敗しました。"_sj);
            return RenameOutcome::Failed;
        }
        done.emplace_back(source, target);
    }

    const fs::path newIndex = done.empty() ? folder / (newBase + std::string(ext::kIndex))
                                           : done.front().second;
    session.store = GameStore(newIndex, session.store.kind, session.store.recordCount);
    session.storePath = newIndex;
    prompter.Inform("\r棋譜ファイル名を変更しました。"_sj);
    return RenameOutcome::Renamed;
}

}  // namespace movra
