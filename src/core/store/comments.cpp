#include "core/store/comments.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <vector>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/position.h"
#include "core/store/record_file.h"
#include "core/store/store_appender.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::string_view kWorkingExtension = ".cp$";

std::string StorePathWith(const GameStore& store, std::string_view extension) {
    return (store.files.folder() / (store.files.baseName() + std::string(extension))).string();
}

void WarnReadError(const GameStore& store, Prompter& prompter) {
    prompter.Warn("コメントファイル・エラー(001)\r\r"_sj + StorePathWith(store, ".cp?"));
}
void WarnWriteError(const GameStore& store, Prompter& prompter) {
    prompter.Warn("コメントファイル・エラー(002)\r\r"_sj + StorePathWith(store, kWorkingExtension));
}
void WarnDeleteError(Prompter& prompter) { prompter.Warn("コメントファイル削除エラー！"_sj); }

bool IsCommentFile(int file) { return file >= 0 && file < kCommentFileCount; }

std::filesystem::path CommentFilePath(const GameStore& store, int file) {
    return store.files.Path(ext::CommentFile(file));
}

bool OpenWorkingFileForWriting(const GameStore& store, RecordFile& out) {
    if (!out.Open(store.files.Path(kWorkingExtension), kWorkingRecordSize,
                  RecordFile::Access::ReadWriteCreate)) {
        return false;
    }
    if (out.RecordCount() == 0) {
        const WorkingSlotTable fresh = WorkingSlotTable::Fresh();
        if (!out.Write(0, fresh.bytes.data())) return false;
    }
    return true;
}

// Frees the given stored comments through one session of the append path: each comment file's
// bitmap is read and written once. References to file numbers outside 0-15 are not followed.
// Answers how many were freed.
int ReleaseStoredComments(const GameStore& store, std::span<const CommentRef> refs,
                          Prompter& prompter) {
    bool failed = false;
    int released = 0;
    try {
        StoreAppender appender(store, prompter);
        released = appender.ReleaseComments(refs, failed);
        appender.Commit();
    } catch (const StoreIoError&) {
        failed = true;
        released = 0;
    }
    if (failed) WarnDeleteError(prompter);
    return released;
}

int HandicapOf(const TKifData& record) {
    const int n = HandicapNumber(record.handicap);
    return n < 0 ? 0 : n;
}

}  // namespace

std::string CommentLimitText() {
    return std::string("棋譜コメント数が制限値を超えました。これ以上入力できません！"_sj);
}

// --- the working comment file --------------------------------------------------------------------

bool CreateWorkingCommentFile(const GameStore& store, Prompter& prompter) {
    if (!store.extended()) return false;
    RecordFile file;
    const WorkingSlotTable fresh = WorkingSlotTable::Fresh();
    if (!file.Open(store.files.Path(kWorkingExtension), kWorkingRecordSize,
                   RecordFile::Access::Create) ||
        !file.Write(0, fresh.bytes.data())) {
        WarnWriteError(store, prompter);
        return false;
    }
    return true;
}

void DeleteWorkingCommentFile(const StoreFiles& files) {
    std::error_code ignored;
    if (files.Exists(kWorkingExtension)) std::filesystem::remove(files.Path(kWorkingExtension), ignored);
}

// --- single comments --------------------------------------------------------------------------------

std::string ReadComment(const GameStore& store, int file, int number, Prompter& prompter) {
    if (number <= 0) return {};
    RecordFile f;
    if (file == kWorkingCommentFile) {
        if (!f.Open(store.files.Path(kWorkingExtension), kWorkingRecordSize,
                    RecordFile::Access::Read)) {
            WarnReadError(store, prompter);
            return {};
        }
        if (number > kWorkingSlotCount) return {};
        std::array<std::uint8_t, kWorkingRecordSize> slot{};
        f.Read(static_cast<std::uint64_t>(number), slot.data());
        return CommentSlotToText(slot.data());
    }
    if (!IsCommentFile(file) ||
        !f.Open(CommentFilePath(store, file), kCommentRecordSize, RecordFile::Access::Read)) {
        WarnReadError(store, prompter);
        return {};
    }
    if (number > kMaxCommentNumber) return {};
    const CommentPlace place = PlaceOfComment(number);
    auto record = std::make_unique<std::array<std::uint8_t, kCommentRecordSize>>();
    f.Read(place.record, record->data());
    return CommentSlotToText(record->data() + place.offset);
}

CommentWriteResult AllocateCommentNumber(const GameStore& store, Prompter& prompter) {
    try {
        StoreAppender appender(store, prompter);
        const CommentWriteResult free = appender.FreeCommentNumber();
        if (free.failed) WarnWriteError(store, prompter);
        return free.failed ? CommentWriteResult{} : free;
    } catch (const StoreIoError&) {
        WarnWriteError(store, prompter);
        return {};
    }
}

CommentWriteResult WriteComment(const GameStore& store, int file, int number,
                                std::string_view text, Prompter& prompter) {
    if (number < 0) return {};
    if (file == kWorkingCommentFile) {
        if (number > kWorkingSlotCount) return {};
        std::array<std::uint8_t, kCommentSlotSize> slot{};
        TextToCommentSlot(slot.data(), text);
        RecordFile f;
        if (!OpenWorkingFileForWriting(store, f)) {
            WarnWriteError(store, prompter);
            return {};
        }
        if (number == 0) {
            WorkingSlotTable table;
            f.Read(0, table.bytes.data());
            number = table.FirstFree();
            if (number == 0) return {kWorkingCommentFile, 0, false};
            table.Take(number);
            if (!f.Write(0, table.bytes.data())) {
                WarnWriteError(store, prompter);
                return {};
            }
        }
        if (!f.Write(static_cast<std::uint64_t>(number), slot.data())) {
            WarnWriteError(store, prompter);
            return {};
        }
        return {kWorkingCommentFile, number, false};
    }

    if (!IsCommentFile(file) || number > kMaxCommentNumber) return {};
    try {
        StoreAppender appender(store, prompter);
        CommentWriteResult result{file, number, false, false};
        if (number == 0) {
            result = appender.AddComment(text);
            if (result.number == 0) {
                if (result.failed) WarnWriteError(store, prompter);
                return result.failed ? CommentWriteResult{} : result;
            }
        } else if (!appender.WriteCommentText(file, number, text)) {
            WarnWriteError(store, prompter);
            return {};
        }
        appender.Commit();
        return result;
    } catch (const StoreIoError&) {
        WarnWriteError(store, prompter);
        return {};
    }
}

int DeleteComment(const GameStore& store, int file, int number, Prompter& prompter) {
    if (number <= 0) return 0;
    if (file == kWorkingCommentFile) {
        RecordFile f;
        WorkingSlotTable table;
        if (!f.Open(store.files.Path(kWorkingExtension), kWorkingRecordSize,
                    RecordFile::Access::ReadWrite) ||
            f.Read(0, table.bytes.data()) == 0) {
            WarnDeleteError(prompter);
            return 1;
        }
        table.Release(number);
        if (!f.Write(0, table.bytes.data())) WarnDeleteError(prompter);
        return 1;
    }
    if (!IsCommentFile(file)) {
        WarnDeleteError(prompter);
        return 1;
    }
    const CommentRef one{file, number};
    ReleaseStoredComments(store, std::span<const CommentRef>(&one, 1), prompter);
    return 1;
}

// --- links ---------------------------------------------------------------------------------------------

bool LinkMoveComment(const GameStore& store, long k, int move, int handicapNumber,
                     int overflowNumber, int number, int file, Prompter& prompter) {
    const int entry = MoveInfoEntryOfMove(move, handicapNumber);
    if (move < 1 || entry >= kMoveInfoEntries) return false;
    MoveInfo info;
    if (!ReadMoveInfo(store, k, overflowNumber, info, prompter)) return false;
    info.setCommentFile(entry, file);
    info.setCommentNumber(entry, static_cast<std::uint16_t>(number));
    return WriteMoveInfo(store, k, overflowNumber, info, prompter);
}

bool LinkGameComment(const GameStore& store, long k, GameCommentPlace place, int file,
                     int number, Prompter& prompter) {
    DetailRecord detail;
    if (!ReadDetailRecord(store, k, detail, prompter)) return false;
    const auto f = static_cast<std::uint8_t>(file);
    const auto n = static_cast<std::uint16_t>(number);
    if (place == GameCommentPlace::Opening) {
        detail.setOpeningComment(f, n);
    } else {
        detail.setClosingComment(f, n);
    }
    return WriteDetailRecord(store, k, detail, prompter);
}

bool SetConsumedTime(const GameStore& store, long k, int move, int handicapNumber, bool closing,
                     int overflowNumber, std::uint16_t seconds, Prompter& prompter) {
    if (closing) {
        DetailRecord detail;
        if (!ReadDetailRecord(store, k, detail, prompter)) return false;
        detail.setClosingTime(seconds);
        return WriteDetailRecord(store, k, detail, prompter);
    }
    const int entry = MoveInfoEntryOfMove(move, handicapNumber);
    if (move < 1 || entry >= kMoveInfoEntries) return false;
    MoveInfo info;
    if (!ReadMoveInfo(store, k, overflowNumber, info, prompter)) return false;
    info.setConsumedTime(entry, seconds);
    return WriteMoveInfo(store, k, overflowNumber, info, prompter);
}

// --- saving and editing a game --------------------------------------------------------------------------

SaveCommentsResult SaveGameComments(const GameStore& store, TKifData& record,
                                    std::span<const MoveRecord> snapshotMoves, int snapshotCount,
                                    DetailRecord& detail, MoveInfo& moveInfo, Prompter& prompter) {
    SaveCommentsResult result;
    std::vector<CommentRef> kept;     // what the game refers to after the save
    std::vector<CommentRef> release;  // what it referred to before and no longer does
    // What the save changes, put back when the comments cannot be written.
    const DetailRecord detailBefore = detail;
    const auto infoBefore = std::make_unique<MoveInfo>(moveInfo);
    std::vector<std::pair<int, CommentRef>> movesBefore;

    const int handicap = HandicapOf(record);
    const int moveCount = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    StoreAppender appender(store, prompter);

    // The working comment of move record `index` becomes a stored comment, linked where that
    // move record's comment belongs.
    const auto storeWorking = [&](int index) -> CommentRef {
        MoveRecord& move = record.moves[static_cast<std::size_t>(index)];
        if (move.workingComment == 0) return {};
        const std::string text = ReadComment(store, kWorkingCommentFile, move.workingComment, prompter);
        const CommentWriteResult written =
            appender.AddGameComment(index, moveCount, handicap, text, detail, moveInfo);
        if (written.limitReached) result.limitReached = true;
        if (written.failed) WarnWriteError(store, prompter);
        if (written.number == 0) return {};
        movesBefore.push_back({index, CommentRef{move.commentFile, move.commentRecord}});
        move.commentFile = static_cast<std::uint8_t>(written.file);
        move.commentRecord = static_cast<std::uint16_t>(written.number);
        ++result.written;
        kept.push_back({written.file, written.number});
        return {written.file, written.number};
    };

    try {
        const CommentRef oldOpening{detail.openingCommentFile(), detail.openingCommentNumber()};
        if (storeWorking(0).number != 0) release.push_back(oldOpening);
        for (int m = 1; m <= moveCount; ++m) storeWorking(m);
        if (moveCount + 1 <= kMaxMoves) {
            const CommentRef oldClosing{detail.closingCommentFile(), detail.closingCommentNumber()};
            if (storeWorking(moveCount + 1).number != 0) release.push_back(oldClosing);
        }

        // The comments of the game as it was stored.
        const int last = std::min<int>({snapshotCount, kMaxMoves,
                                        static_cast<int>(snapshotMoves.size()) - 1});
        for (int m = 1; m <= last; ++m) {
            const MoveRecord& old = snapshotMoves[static_cast<std::size_t>(m)];
            if (old.commentRecord != 0) release.push_back({old.commentFile, old.commentRecord});
        }
        // Never free a number the game now uses: a damaged snapshot could name a number that
        // was free and has just been handed out again.
        std::erase_if(release, [&](const CommentRef& r) {
            return r.number == 0 || std::find(kept.begin(), kept.end(), r) != kept.end();
        });
        std::sort(release.begin(), release.end(), [](const CommentRef& a, const CommentRef& b) {
            return a.file != b.file ? a.file < b.file : a.number < b.number;
        });
        release.erase(std::unique(release.begin(), release.end()), release.end());
        bool releaseFailed = false;
        result.released = appender.ReleaseComments(release, releaseFailed);
        if (releaseFailed) WarnDeleteError(prompter);
        appender.Commit();
    } catch (const StoreIoError&) {
        // None of the comments reached the store: the game keeps the references it had.
        WarnWriteError(store, prompter);
        detail = detailBefore;
        moveInfo = *infoBefore;
        for (const auto& [index, ref] : movesBefore) {
            MoveRecord& move = record.moves[static_cast<std::size_t>(index)];
            move.commentFile = static_cast<std::uint8_t>(ref.file);
            move.commentRecord = static_cast<std::uint16_t>(ref.number);
        }
        return SaveCommentsResult{};
    }
    return result;
}

SaveCommentsResult SaveGameComments(const GameStore& store, TKifData& record,
                                    const TKifData::Snapshot& asStored, DetailRecord& detail,
                                    MoveInfo& moveInfo, Prompter& prompter) {
    return SaveGameComments(store, record, std::span<const MoveRecord>(asStored.moves()),
                            asStored.moveCount(), detail, moveInfo, prompter);
}

StoredGameEdit BeginEditingStoredGame(const GameStore& store, TKifData& record, Prompter& prompter) {
    int copied = 0;
    CreateWorkingCommentFile(store, prompter);
    const int moveCount = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    for (int m = 1; m <= moveCount; ++m) {
        MoveRecord& move = record.moves[static_cast<std::size_t>(m)];
        move.workingComment = 0;
        if (move.commentRecord == 0) continue;
        const std::string text = ReadComment(store, move.commentFile, move.commentRecord, prompter);
        const CommentWriteResult written = WriteComment(store, kWorkingCommentFile, 0, text, prompter);
        move.workingComment = static_cast<std::uint8_t>(written.number);
        if (written.number != 0) ++copied;
    }
    return StoredGameEdit{copied, record.TakeSnapshot()};
}

void ReleaseCommentsOfGame(const GameStore& store, const DetailRecord& detail,
                           const MoveInfo& moveInfo, Prompter& prompter) {
    std::vector<CommentRef> refs;
    for (int e = 0; e < kMoveInfoEntries; ++e) {
        const int number = moveInfo.commentNumber(e);
        if (number != 0) refs.push_back({moveInfo.commentFile(e), number});
    }
    if (detail.openingCommentNumber() != 0) {
        refs.push_back({detail.openingCommentFile(), detail.openingCommentNumber()});
    }
    if (detail.closingCommentNumber() != 0) {
        refs.push_back({detail.closingCommentFile(), detail.closingCommentNumber()});
    }
    if (!refs.empty()) ReleaseStoredComments(store, refs, prompter);
}

std::function<void(const DetailRecord&, const MoveInfo&)> CommentReleaser(const GameStore& store,
                                                                          Prompter& prompter) {
    return [&store, &prompter](const DetailRecord& detail, const MoveInfo& info) {
        ReleaseCommentsOfGame(store, detail, info, prompter);
    };
}

// --- the comment check --------------------------------------------------------------------------------

CommentCheckResult CheckComments(const GameStore& store, const std::filesystem::path& reportFolder,
                                 Prompter& prompter) {
    CommentCheckResult result;
    RecordBlockReader moveInfo;
    if (!moveInfo.Open(store.files.Path(ext::kMoveInfo), kMoveInfoRecordSize, 0, 512)) {
        throw StoreIoError("cannot open the move-info file", store.files.Path(ext::kMoveInfo));
    }
    // Overflow numbers come from the index records, read alongside.
    RecordBlockReader index;
    const bool haveIndex = OpenIndexReader(store, index, 4096);
    const std::uint8_t* indexBlock = nullptr;
    std::size_t indexCount = 0;
    std::size_t indexAt = 0;
    RecordFile overflow;
    const bool haveOverflow = overflow.Open(store.files.Path(ext::kMoveInfoOverflow),
                                            kMoveInfoRecordSize, RecordFile::Access::Read);

    // Stored and seen bitmaps of every comment file, read when first needed.
    std::vector<CommentBitmap> stored(kCommentFileCount);
    std::vector<CommentBitmap> seen(kCommentFileCount);
    std::array<bool, kCommentFileCount> loaded{};

    const auto errPath = reportFolder / "ComErr.txt";
    const auto idxPath = reportFolder / "ComIdx.txt";
    std::ofstream err(errPath, std::ios::binary | std::ios::trunc);
    if (!err) throw StoreIoError("cannot create the check report", errPath);
    std::ofstream idx(idxPath, std::ios::binary | std::ios::trunc);
    if (!idx) throw StoreIoError("cannot create the check report", idxPath);

    const auto check = [&](long game, int entryNumber, int file, int number) {
        if (!loaded[static_cast<std::size_t>(file)]) {
            RecordFile f;
            if (f.Open(CommentFilePath(store, file), kCommentRecordSize, RecordFile::Access::Read)) {
                f.Read(0, stored[static_cast<std::size_t>(file)].bytes.data());
            }
            loaded[static_cast<std::size_t>(file)] = true;
        }
        const std::string fields = "棋譜="_sj + ZeroPad(game, 3) + ",手数="_sj +
                                   ZeroPad(entryNumber, 3) + ",Ｎｏ="_sj + std::to_string(number) +
                                   "\r\n";
        if (!stored[static_cast<std::size_t>(file)].InUse(number)) {
            err << "Comment Idx Error!     --- " << fields;
            ++result.errors;
        }
        CommentBitmap& seenBits = seen[static_cast<std::size_t>(file)];
        if (seenBits.InUse(number)) {
            err << "Comment Idx Duplicate! --- " << fields;
            ++result.duplicates;
        } else {
            seenBits.Set(number);
        }
        idx << "Comment --- " << fields;
        ++result.references;
    };

    const long total = static_cast<long>(moveInfo.recordCount());
    std::array<std::uint8_t, kMoveInfoRecordSize> overflowRecord{};
    const std::uint8_t* block = nullptr;
    long game = 0;
    bool stopped = false;
    while (!stopped) {
        const std::size_t count = moveInfo.Next(block);
        if (count == 0) break;
        for (std::size_t r = 0; r < count; ++r) {
            ++game;
            const std::uint8_t* entries = block + r * kMoveInfoRecordSize;
            for (int e = 0; e < kSlotsPerRecord; ++e) {
                const std::uint8_t* entry = entries + static_cast<std::size_t>(e) * kMoveInfoEntrySize;
                const int number = LoadU16(entry + 4);
                if (number != 0) check(game, e + 1, entry[3] & 0x0F, number);
            }
            // The game's overflow number, from its index record.
            int overflowNumber = 0;
            if (haveIndex) {
                if (indexAt == indexCount) {
                    indexCount = index.Next(indexBlock);
                    indexAt = 0;
                }
                if (indexAt < indexCount) {
                    overflowNumber = LoadU16(indexBlock + indexAt * kIndexRecordSize + 30);
                    ++indexAt;
                }
            }
            if (haveOverflow && IsOverflowNumber(overflowNumber) &&
                overflow.Read(static_cast<std::uint64_t>(overflowNumber), overflowRecord.data()) > 0) {
                for (int e = 0; e < kSlotsPerRecord; ++e) {
                    const std::uint8_t* entry =
                        overflowRecord.data() + static_cast<std::size_t>(e) * kMoveInfoEntrySize;
                    const int number = LoadU16(entry + 4);
                    if (number != 0) check(game, kSlotsPerRecord + e + 1, entry[3] & 0x0F, number);
                }
            }
            if (game % 1000 == 0 && !prompter.Progress("", game, total)) stopped = true;
        }
    }
    result.games = game;
    err.flush();
    idx.flush();
    if (!err || !idx) throw StoreIoError("cannot write the check report", reportFolder);
    result.done = !stopped;
    prompter.Inform("Comment Check Finished.");
    return result;
}

}  // namespace movra
