#include "core/store/store_edit.h"

#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

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

std::uint64_t RecordsIn(const fs::path& path, std::size_t recordSize) {
    RecordFile file;
    if (!file.Open(path, recordSize, RecordFile::Access::Read)) return 0;
    return file.RecordCount();
}

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

}  // namespace

std::uint32_t DeleteGames(GameStore& store, std::uint32_t recordNumber,
                          std::span<const GameHeader> catalogue, std::uint32_t markedCount,
                          Prompter& prompter, const DeleteOptions& options) {
    FileSystemHooks& fs = options.fileSystem ? *options.fileSystem : RealFileSystem();
    const StoreFiles& files = store.files;
    const bool extended = store.extended();

    std::uint32_t count = 0;
    if (!ReadGameCount(store, count)) throw StoreIoError("cannot read", files.IndexPath());
    bool sound = RecordsIn(files.IndexPath(), kIndexRecordSize) >= std::uint64_t(count) + 1 &&
                 RecordsIn(files.Path(ext::kGameData), kGameDataRecordSize) >= count;
    if (extended) {
        sound = sound && RecordsIn(files.Path(ext::kDetail), kDetailRecordSize) >= count &&
                RecordsIn(files.Path(ext::kMoveInfo), kMoveInfoRecordSize) >= count;
    }
    if (!sound) {
        prompter.Warn(BrokenStoreMessage(files.IndexPath()));
        return 0;
    }

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
    std::uint32_t removed = 0;
    for (std::uint8_t d : deleted) removed += d;
    if (removed == 0) return 0;

    std::vector<FileReplacement> replacements;
    if (extended) {
        replacements.push_back(kDetailReplacement);
        replacements.push_back(kMoveInfoReplacement);
    }
    replacements.push_back(kIndexReplacement);
    replacements.push_back(kGameDataReplacement);

    // Overflow numbers of the deleted games, and which numbers kept games still use.
    std::vector<int> freedNumbers;
    std::vector<bool> keptNumbers(kMaxOverflowNumber + 1, false);

    try {
        long progress = 0;
        const long total = long(count) * (extended ? 4 : 2);  // one pass a file

        RecordBlockWriter indexOut;
        if (!indexOut.Create(files.Path(ext::kTempIndex), kIndexRecordSize)) {
            throw StoreIoError("cannot create", files.Path(ext::kTempIndex));
        }
        StoreHeader header;
        header.SetGameCount(count - removed);
        indexOut.Append(header.bytes.data());
        {
            RecordCursor in;
            if (!in.Open(files.IndexPath(), kIndexRecordSize, 1, 4096)) {
                throw StoreIoError("cannot open", files.IndexPath());
            }
            for (std::uint32_t k = 1; k <= count; ++k) {
                const std::uint8_t* record = in.Next();
                if (record == nullptr) throw StoreIoError("cannot read", files.IndexPath());
                const int number = LoadU16(record + indexword::kOverflow * 2);
                if (deleted[k]) {
                    if (IsOverflowNumber(number)) freedNumbers.push_back(number);
                } else {
                    indexOut.Append(record);
                    if (IsOverflowNumber(number)) keptNumbers[std::size_t(number)] = true;
                }
                if (++progress % 1000 == 0 && !prompter.Progress("", progress, total)) {
                    throw Cancelled{};
                }
            }
        }
        indexOut.Finish();

        RecordBlockWriter gameOut;
        if (!gameOut.Create(files.Path(ext::kTempGameData), kGameDataRecordSize, 1024)) {
            throw StoreIoError("cannot create", files.Path(ext::kTempGameData));
        }
        CopyKeptRecords(files.Path(ext::kGameData), kGameDataRecordSize, 0, count, deleted,
                        gameOut, prompter, progress, total);
        gameOut.Finish();

        if (extended) {
            RecordBlockWriter detailOut, infoOut;
            if (!detailOut.Create(files.Path(ext::kTempDetail), kDetailRecordSize, 1024)) {
                throw StoreIoError("cannot create", files.Path(ext::kTempDetail));
            }
            CopyKeptRecords(files.Path(ext::kDetail), kDetailRecordSize, 0, count, deleted,
                            detailOut, prompter, progress, total);
            detailOut.Finish();
            if (!infoOut.Create(files.Path(ext::kTempMoveInfo), kMoveInfoRecordSize, 256)) {
                throw StoreIoError("cannot create", files.Path(ext::kTempMoveInfo));
            }
            CopyKeptRecords(files.Path(ext::kMoveInfo), kMoveInfoRecordSize, 0, count, deleted,
                            infoOut, prompter, progress, total);
            infoOut.Finish();
        }
    } catch (const Cancelled&) {
        RemoveTemporaries(files, replacements, fs);
        return 0;
    } catch (...) {
        RemoveTemporaries(files, replacements, fs);
        throw;
    }

    if (!SwapInRewrittenFiles(files, replacements, prompter, fs)) return 0;

    // The games are gone. Their comments are released from the old files, which wait under
    // their old names until now.
    if (extended && options.releaseComments) {
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
            options.releaseComments(detail, info);
        }
    }

    // Free the overflow numbers nobody uses any more, all in one write of the bitmap.
    RecordFile bitmapFile;
    OverflowBitmap bitmap;
    if (!freedNumbers.empty() &&
        bitmapFile.Open(files.Path(ext::kMoveInfoOverflow), kOverflowBitmapSize,
                        RecordFile::Access::ReadWrite) &&
        bitmapFile.Read(0, bitmap.bytes.data()) == kOverflowBitmapSize) {
        for (int n : freedNumbers) {
            if (!keptNumbers[std::size_t(n)]) bitmap.Clear(n);
        }
        bitmapFile.Write(0, bitmap.bytes.data());
    }

    RemoveOldFiles(files, replacements, fs);
    store.recordCount = count - removed;
    return removed;
}

bool SwapGames(const GameStore& store, std::uint32_t k1, std::uint32_t k2) {
    std::uint32_t count = 0;
    if (!ReadGameCount(store, count)) return false;
    if (k1 < 1 || k2 < 1 || k1 > count || k2 > count) return false;
    if (k1 == k2) return true;

    struct Part {
        fs::path path;
        std::size_t recordSize;
        std::uint64_t offset;  // index records start at 1, the others at 0
        RecordFile file;
        std::vector<std::uint8_t> first, second;
    };
    std::vector<Part> parts;
    parts.push_back({store.files.IndexPath(), kIndexRecordSize, 0, {}, {}, {}});
    parts.push_back({store.files.Path(ext::kGameData), kGameDataRecordSize, 1, {}, {}, {}});
    if (store.extended()) {
        parts.push_back({store.files.Path(ext::kDetail), kDetailRecordSize, 1, {}, {}, {}});
        parts.push_back({store.files.Path(ext::kMoveInfo), kMoveInfoRecordSize, 1, {}, {}, {}});
    }
    // Everything is read before anything is written.
    for (Part& p : parts) {
        if (!p.file.Open(p.path, p.recordSize, RecordFile::Access::ReadWrite)) return false;
        p.first.resize(p.recordSize);
        p.second.resize(p.recordSize);
        if (p.file.Read(k1 - p.offset, p.first.data()) != p.recordSize ||
            p.file.Read(k2 - p.offset, p.second.data()) != p.recordSize) {
            return false;
        }
    }
    for (Part& p : parts) {
        if (!p.file.Write(k1 - p.offset, p.second.data()) ||
            !p.file.Write(k2 - p.offset, p.first.data())) {
            throw StoreIoError("cannot write", p.path);
        }
    }
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
