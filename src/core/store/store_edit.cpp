#include "core/store/store_edit.h"

#include <string>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/store/open_store.h"
#include "core/store/store_journal.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// Hands out the records of a block reader one at a time.
class RecordCursor {
public:
    bool Open(const fs::path& path, std::size_t recordSize, std::uint64_t first,
              std::size_t blockRecords) {
        return reader_.Open(path, recordSize, first, blockRecords);
    }
    // The next record, or null at the end of the file.
    const std::uint8_t* Next() {
        if (left_ == 0) {
            left_ = reader_.Next(block_);
            if (left_ == 0) return nullptr;
        }
        const std::uint8_t* record = block_;
        block_ += reader_.recordSize();
        --left_;
        return record;
    }

private:
    RecordBlockReader reader_;
    const std::uint8_t* block_ = nullptr;
    std::size_t left_ = 0;
};

struct Cancelled {};

// Copies the records of games 1 … count of one store file (game 1's record is `first`) into a
// new file, leaving out those of deleted games. Reports progress every 1000 records; the user
// may stop there.
void CopyKeptRecords(const fs::path& from, std::size_t recordSize,
                     std::uint64_t first, std::uint32_t count,
                     const std::vector<std::uint8_t>& deleted, RecordBlockWriter& out,
                     Prompter& prompter, long& progress, long total) {
    RecordCursor in;
    if (!in.Open(from, recordSize, first, 4096)) throw StoreIoError("cannot open", from);
    for (std::uint32_t k = 1; k <= count; ++k) {
        const std::uint8_t* record = in.Next();
        if (record == nullptr) throw StoreIoError("cannot read", from);
        if (!deleted[k]) out.Append(record);
        if (++progress % 1000 == 0 && !prompter.Progress("", progress, total)) throw Cancelled{};
    }
}

// One file the deletion rewrites: the temporary that holds the kept records, the store file,
// where the old file waits until the deletion is over, and the messages of the two renames.
struct RewrittenFile {
    std::string_view temporary, final, old;
    std::string_view renameError;
    std::size_t recordSize;
    std::size_t blockRecords;
};
constexpr RewrittenFile kIndexFile{ext::kTempIndex, ext::kIndex, ext::kOldIndex,
                                   "RenameError! No.01", kIndexRecordSize, 4096};
constexpr RewrittenFile kGameDataFile{ext::kTempGameData, ext::kGameData, ext::kOldGameData,
                                      "RenameError! No.02", kGameDataRecordSize, 1024};
constexpr RewrittenFile kDetailFile{ext::kTempDetail, ext::kDetail, ext::kOldDetail,
                                    "RenameError! No.03", kDetailRecordSize, 1024};
constexpr RewrittenFile kMoveInfoFile{ext::kTempMoveInfo, ext::kMoveInfo, ext::kOldMoveInfo,
                                      "RenameError! No.04", kMoveInfoRecordSize, 256};

// The files a deletion rewrites, in the order they are put in place: the extended ones first.
std::vector<RewrittenFile> RewrittenFiles(bool extended) {
    std::vector<RewrittenFile> all;
    if (extended) all = {kDetailFile, kMoveInfoFile};
    all.push_back(kIndexFile);
    all.push_back(kGameDataFile);
    return all;
}

// The game count, when the store's files agree with it (a half-done change is repaired first).
bool StoreIsWhole(const GameStore& store, Prompter& prompter, FileSystemHooks& fs,
                  std::uint32_t& count) {
    const StoreCheck check = ValidateStore(store.files.IndexPath(), count, prompter, fs);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(store.files.IndexPath()));
        return false;
    }
    if (check != (store.extended() ? StoreCheck::Extended : StoreCheck::Classic)) {
        prompter.Warn(BrokenStoreMessage(store.files.IndexPath()));
        return false;
    }
    return true;
}

// A flag per record number 1 … count: the marked games, or game `recordNumber` alone.
std::vector<std::uint8_t> GamesToDelete(std::uint32_t count, std::uint32_t recordNumber,
                                        std::span<const GameHeader> catalogue,
                                        std::uint32_t markedCount) {
    std::vector<std::uint8_t> deleted(std::size_t(count) + 1, 0);
    if (markedCount > 0) {
        for (const GameHeader& entry : catalogue) {
            if (entry.selectionMark == 1 && entry.recordNumber >= 1 && entry.recordNumber <= count) {
                deleted[entry.recordNumber] = 1;
            }
        }
    } else if (recordNumber >= 1 && recordNumber <= count) {
        deleted[recordNumber] = 1;
    }
    return deleted;
}

// Overflow numbers of the deleted games, and which numbers kept games still use.
struct OverflowUse {
    std::vector<int> freed;
    std::vector<bool> kept = std::vector<bool>(kMaxOverflowNumber + 1, false);
};

// B.id$: the new header and the kept games' index records.
void WriteKeptIndex(const StoreFiles& files, std::uint32_t count, std::uint32_t removed,
                    const std::vector<std::uint8_t>& deleted, OverflowUse& overflow,
                    Prompter& prompter, long& progress, long total) {
    RecordBlockWriter out;
    if (!out.Create(files.Path(ext::kTempIndex), kIndexRecordSize)) {
        throw StoreIoError("cannot create", files.Path(ext::kTempIndex));
    }
    StoreHeader header;
    header.SetGameCount(count - removed);
    out.Append(header.bytes.data());
    RecordCursor in;
    if (!in.Open(files.IndexPath(), kIndexRecordSize, 1, 4096)) {
        throw StoreIoError("cannot open", files.IndexPath());
    }
    for (std::uint32_t k = 1; k <= count; ++k) {
        const std::uint8_t* record = in.Next();
        if (record == nullptr) throw StoreIoError("cannot read", files.IndexPath());
        const int number = LoadU16(record + indexword::kOverflow * 2);
        if (deleted[k]) {
            if (IsOverflowNumber(number)) overflow.freed.push_back(number);
        } else {
            out.Append(record);
            if (IsOverflowNumber(number)) overflow.kept[std::size_t(number)] = true;
        }
        if (++progress % 1000 == 0 && !prompter.Progress("", progress, total)) throw Cancelled{};
    }
    out.Finish();
}

// B.ki$ (and B.ip$, B.kp$): the kept games' records. Each is on the disk when this returns.
void WriteKeptRecords(const StoreFiles& files, const RewrittenFile& f, std::uint32_t count,
                      const std::vector<std::uint8_t>& deleted, Prompter& prompter,
                      long& progress, long total) {
    RecordBlockWriter out;
    if (!out.Create(files.Path(f.temporary), f.recordSize, f.blockRecords)) {
        throw StoreIoError("cannot create", files.Path(f.temporary));
    }
    CopyKeptRecords(files.Path(f.final), f.recordSize, 0, count, deleted, out, prompter, progress,
                    total);
    out.Finish();
}

void RemoveTemporaries(const StoreFiles& files, std::span<const RewrittenFile> rewritten,
                       FileSystemHooks& fs) {
    for (const RewrittenFile& f : rewritten) {
        if (files.Exists(f.temporary)) fs.Remove(files.Path(f.temporary));
    }
}

// The temporaries take the store files' names, the old files waiting aside until the end.
StoreReplacement DeletionReplacement(const StoreFiles& files,
                                     std::span<const RewrittenFile> rewritten) {
    StoreReplacement plan;
    for (const RewrittenFile& f : rewritten) {
        const fs::path final = files.Path(f.final);
        plan.files.push_back({files.Path(f.temporary), final, files.Path(f.old),
                              "DeleteError! (" + PathText(final) + ")", std::string(f.renameError)});
    }
    return plan;
}

// The deleted games' comments, read from the old detail and move-info files while they still
// wait aside.
void ReleaseDeletedComments(const StoreFiles& files, std::uint32_t count,
                            const std::vector<std::uint8_t>& deleted,
                            const ReleaseGameComments& release, Prompter& prompter) {
    RecordFile oldDetail, oldInfo, infoOverflow;
    oldDetail.Open(files.Path(ext::kOldDetail), kDetailRecordSize, RecordFile::Access::Read);
    oldInfo.Open(files.Path(ext::kOldMoveInfo), kMoveInfoRecordSize, RecordFile::Access::Read);
    infoOverflow.Open(files.Path(ext::kMoveInfoOverflow), kMoveInfoRecordSize,
                      RecordFile::Access::Read);
    for (std::uint32_t k = 1; k <= count; ++k) {
        if (!deleted[k]) continue;
        DetailRecord detail;
        MoveInfo info;
        oldDetail.Read(k - 1, detail.bytes.data());
        if (oldInfo.Read(k - 1, info.firstRecord()) != kMoveInfoRecordSize) {
            prompter.Warn(PathText(files.Path(ext::kMoveInfo)) + " エラー！"_sj);
        }
        const int number = detail.overflowNumber();
        if (IsOverflowNumber(number)) infoOverflow.Read(std::uint64_t(number), info.overflowRecord());
        release(detail, info);
    }
}

// Frees the overflow numbers nobody uses any more, all in one write of the bitmap. A process
// stopped before this leaves them marked in use: numbers lost, no game harmed.
void FreeUnusedOverflowNumbers(const StoreFiles& files, const OverflowUse& overflow,
                               FileSystemHooks& fs) {
    if (overflow.freed.empty()) return;
    RecordFile bitmapFile;
    OverflowBitmap bitmap;
    if (!fs.OpenForWriting(bitmapFile, files.Path(ext::kMoveInfoOverflow), kOverflowBitmapSize,
                           RecordFile::Access::ReadWrite) ||
        bitmapFile.Read(0, bitmap.bytes.data()) != kOverflowBitmapSize) {
        return;
    }
    for (int n : overflow.freed) {
        if (!overflow.kept[std::size_t(n)]) bitmap.Clear(n);
    }
    if (fs.Write(bitmapFile, 0, bitmap.bytes.data(), kOverflowBitmapSize)) fs.Sync(bitmapFile);
}

}  // namespace

std::uint32_t DeleteGames(GameStore& store, std::uint32_t recordNumber,
                          std::span<const GameHeader> catalogue, std::uint32_t markedCount,
                          Prompter& prompter, const DeleteOptions& options) {
    FileSystemHooks& fs = options.fileSystem ? *options.fileSystem : RealFileSystem();
    const StoreFiles& files = store.files;
    const bool extended = store.extended();

    std::uint32_t count = 0;
    if (!StoreIsWhole(store, prompter, fs, count)) return 0;
    const std::vector<std::uint8_t> deleted = GamesToDelete(count, recordNumber, catalogue, markedCount);
    std::uint32_t removed = 0;
    for (std::uint8_t d : deleted) removed += d;
    if (removed == 0) return 0;

    const std::vector<RewrittenFile> rewritten = RewrittenFiles(extended);
    OverflowUse overflow;
    try {
        long progress = 0;
        const long total = long(count) * long(rewritten.size());  // one pass a file
        WriteKeptIndex(files, count, removed, deleted, overflow, prompter, progress, total);
        for (const RewrittenFile& f : rewritten) {
            if (f.final == ext::kIndex) continue;
            WriteKeptRecords(files, f, count, deleted, prompter, progress, total);
        }
    } catch (const Cancelled&) {
        RemoveTemporaries(files, rewritten, fs);
        return 0;
    } catch (...) {
        RemoveTemporaries(files, rewritten, fs);
        throw;
    }

    // Until the journal is on the disk the old store stands; from then on the new one does,
    // whatever stops the process. The deleted games' comments are released while the old files
    // still wait aside.
    const auto releaseComments = [&] {
        if (extended && options.releaseComments) {
            ReleaseDeletedComments(files, count, deleted, options.releaseComments, prompter);
        }
    };
    if (!ReplaceStoreFiles(files, DeletionReplacement(files, rewritten), prompter, fs,
                           releaseComments)) {
        return 0;
    }
    FreeUnusedOverflowNumbers(files, overflow, fs);
    store.recordCount = count - removed;
    return removed;
}

bool SwapGames(const GameStore& store, std::uint32_t k1, std::uint32_t k2, FileSystemHooks& fs) {
    std::uint32_t count = 0;
    // A half-done change of the store is repaired by opening it, not swapped over.
    if (HasStoreJournal(store.files) || !ReadGameCount(store, count)) return false;
    if (k1 < 1 || k2 < 1 || k1 > count || k2 > count) return false;
    if (k1 == k2) return true;

    struct SwappedFile {
        fs::path path;
        std::size_t recordSize;
        std::uint64_t offset;  // index records start at 1, the others at 0
        RecordFile file;
        std::vector<std::uint8_t> first, second;
    };
    std::vector<SwappedFile> parts;
    parts.push_back({store.files.IndexPath(), kIndexRecordSize, 0, {}, {}, {}});
    parts.push_back({store.files.Path(ext::kGameData), kGameDataRecordSize, 1, {}, {}, {}});
    if (store.extended()) {
        parts.push_back({store.files.Path(ext::kDetail), kDetailRecordSize, 1, {}, {}, {}});
        parts.push_back({store.files.Path(ext::kMoveInfo), kMoveInfoRecordSize, 1, {}, {}, {}});
    }
    // Everything is read before anything is written, and kept in the journal: a process stopped
    // half-way through the writes leaves it, and opening the store puts the two games back.
    std::vector<FileUndo> undo;
    for (SwappedFile& p : parts) {
        if (!fs.OpenForWriting(p.file, p.path, p.recordSize, RecordFile::Access::ReadWrite)) return false;
        p.first.resize(p.recordSize);
        p.second.resize(p.recordSize);
        if (p.file.Read(k1 - p.offset, p.first.data()) != p.recordSize ||
            p.file.Read(k2 - p.offset, p.second.data()) != p.recordSize) {
            return false;
        }
        undo.push_back({p.path, true, p.file.SizeBytes(),
                        {{(k1 - p.offset) * p.recordSize, p.first}, {(k2 - p.offset) * p.recordSize, p.second}}});
    }
    if (!WriteUndoJournal(store.files, undo, fs)) throw StoreIoError("cannot write", store.files.Path(ext::kJournal));
    for (SwappedFile& p : parts) {
        if (!fs.Write(p.file, (k1 - p.offset) * p.recordSize, p.second.data(), p.recordSize) ||
            !fs.Write(p.file, (k2 - p.offset) * p.recordSize, p.first.data(), p.recordSize)) {
            // Put back what was written; what cannot be put back the journal puts back.
            for (SwappedFile& q : parts) {
                fs.Write(q.file, (k1 - q.offset) * q.recordSize, q.first.data(), q.recordSize);
                fs.Write(q.file, (k2 - q.offset) * q.recordSize, q.second.data(), q.recordSize);
            }
            throw StoreIoError("cannot write", p.path);
        }
    }
    for (SwappedFile& p : parts) {
        if (!fs.Sync(p.file)) throw StoreIoError("cannot write", p.path);
    }
    if (!RemoveStoreJournal(store.files, fs)) throw StoreIoError("cannot remove", store.files.Path(ext::kJournal));
    return true;
}

std::uint32_t UpdateMarkedGames(const GameStore& store, const IndexRecord& templateRecord,
                                std::span<GameHeader> catalogue, Prompter& prompter) {
    using namespace indexword;
    static constexpr int kReplaced[] = {kSentePlayer, kGotePlayer, kTournament, kSubTournament,
                                        kGameNumber, kOpening, kResult};
    if ((templateRecord.tournament() | templateRecord.subTournament() |
         templateRecord.gameNumber() | templateRecord.result()) > 0xFF) {
        return 0;
    }
    RecordFile index;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::ReadWrite)) {
        throw StoreIoError("cannot open", store.files.IndexPath());
    }
    const std::uint64_t records = index.RecordCount();
    std::uint32_t written = 0;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        GameHeader& entry = catalogue[i];
        if (entry.selectionMark == 1 && entry.recordNumber >= 1 && entry.recordNumber < records) {
            IndexRecord record;
            if (index.Read(entry.recordNumber, record.bytes.data()) == kIndexRecordSize) {
                for (int w : kReplaced) {
                    if (templateRecord.word(w) != 0) record.setWord(w, templateRecord.word(w));
                }
                if (!index.Write(entry.recordNumber, record.bytes.data())) {
                    throw StoreIoError("cannot write", index.path());
                }
                ++written;
                GameHeader updated;
                if (HeaderFromIndexRecord(record, entry.recordNumber, updated)) {
                    updated.positionHit = entry.positionHit;
                    updated.selectionMark = entry.selectionMark;
                    entry = updated;
                }
            }
        }
        if ((i + 1) % 1000 == 0) prompter.Progress("", long(i + 1), long(catalogue.size()));
    }
    return written;
}

}  // namespace movra
