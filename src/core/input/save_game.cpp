#include "core/input/save_game.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "core/rules/notation.h"
#include "core/rules/position.h"
#include "core/store/catalogue.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/store_appender.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

struct SaveRequest {
    long k = kAppendGame;                        // kAppendGame: a new game
    const TKifData::Snapshot* asStored = nullptr;  // the game as stored (corrections)
    bool headerOnly = false;
};

// The comments of the saved game, in the save's session. Each position of the record (move
// record 0 the starting position, 1 … n the moves, n + 1 the final position) says what its
// comment is: a working slot becomes a new stored comment; otherwise a stored reference stays
// the game's comment (over the stored game) or is copied as a new comment (a new game never
// shares a comment with another game); otherwise the position has none. Over the stored game,
// every comment the game referred to before (the snapshot's moves and the detail record's two
// positions) that it no longer refers to is freed. The references go into the detail record, the
// move info and the record's move records.
void StageComments(StoreAppender& appender, TKifData& record, bool newGame,
                   std::span<const MoveRecord> snapshotMoves, int snapshotCount,
                   DetailRecord& detail, MoveInfo& info, Prompter& prompter, SavedGame& saved) {
    const GameStore& store = appender.store();
    const int handicap = std::max(0, HandicapNumber(record.handicap));
    const int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    std::vector<CommentRef> before;
    if (!newGame) {
        before.push_back({detail.openingCommentFile(), detail.openingCommentNumber()});
        before.push_back({detail.closingCommentFile(), detail.closingCommentNumber()});
        const int last = std::min<int>({snapshotCount, kMaxMoves, int(snapshotMoves.size()) - 1});
        for (int m = 1; m <= last; ++m) {
            const MoveRecord& old = snapshotMoves[std::size_t(m)];
            before.push_back({old.commentFile, old.commentRecord});
        }
    }
    detail.setOpeningComment(0, 0);
    detail.setClosingComment(0, 0);

    std::vector<CommentRef> now;
    const auto link = [&](int index, const CommentRef& ref) {
        if (index == 0) {
            detail.setOpeningComment(std::uint8_t(ref.file), std::uint16_t(ref.number));
        } else if (index == count + 1) {
            detail.setClosingComment(std::uint8_t(ref.file), std::uint16_t(ref.number));
        } else {
            const int entry = MoveInfoEntryOfMove(index, handicap);
            if (entry >= kMoveInfoEntries) return false;
            info.setCommentFile(entry, std::uint8_t(ref.file));
            info.setCommentNumber(entry, std::uint16_t(ref.number));
        }
        return true;
    };
    // The move record after the last move exists only while the game is shorter than 512 moves.
    const int lastIndex = count < kMaxMoves ? count + 1 : count;
    for (int index = 0; index <= lastIndex; ++index) {
        MoveRecord& move = record.moves[std::size_t(index)];
        const CommentRef stored{move.commentFile, move.commentRecord};
        std::string text;
        if (move.workingComment != 0) {
            text = ReadComment(store, kWorkingCommentFile, move.workingComment, prompter);
        } else if (stored.number != 0 && stored.file >= 0 && stored.file < kCommentFileCount) {
            if (!newGame) {
                if (link(index, stored)) now.push_back(stored);
                continue;
            }
            text = ReadComment(store, stored.file, stored.number, prompter);
        } else {
            move.commentFile = 0;
            move.commentRecord = 0;
            continue;
        }
        const CommentWriteResult written =
            appender.AddGameComment(index, count, handicap, text, detail, info);
        if (written.failed) {
            throw StoreIoError("cannot write", store.files.Path(ext::CommentFile(written.file)));
        }
        if (written.limitReached) saved.commentLimitReached = true;
        if (written.number == 0) {
            // No number to be had: over the stored game the comment it had stays.
            const bool keep = !newGame && stored.number != 0 && stored.file >= 0 &&
                              stored.file < kCommentFileCount && link(index, stored);
            if (keep) {
                now.push_back(stored);
            } else {
                move.commentFile = 0;
                move.commentRecord = 0;
            }
            continue;
        }
        move.commentFile = std::uint8_t(written.file);
        move.commentRecord = std::uint16_t(written.number);
        ++saved.commentsWritten;
        now.push_back({written.file, written.number});
    }

    // Never free what the game refers to now: a damaged record could name a number twice.
    std::erase_if(before, [&](const CommentRef& r) {
        return r.number == 0 || std::find(now.begin(), now.end(), r) != now.end();
    });
    std::sort(before.begin(), before.end(), [](const CommentRef& a, const CommentRef& b) {
        return a.file != b.file ? a.file < b.file : a.number < b.number;
    });
    before.erase(std::unique(before.begin(), before.end()), before.end());
    bool releaseFailed = false;
    saved.commentsReleased = appender.ReleaseComments(before, releaseFailed);
    if (releaseFailed) prompter.Warn(std::string{"コメントファイル削除エラー！"_sj});
}

SavedGame Save(const GameStore& store, TKifData& record, IndexRecord& index, DetailRecord& detail,
               const SaveRequest& request, Prompter& prompter, RecordWriter& writer) {
    const bool append = request.k == kAppendGame;
    // What the save changes in the caller's hands, put back when it fails.
    const IndexRecord indexBefore = index;
    const DetailRecord detailBefore = detail;
    const auto movesBefore = std::make_unique<MoveList>(record.moves);
    const auto putBack = [&] {
        index = indexBefore;
        detail = detailBefore;
        record.moves = *movesBefore;
    };

    if (append) {
        // A new game has no overflow number yet: a stale one would send its moves into another
        // game's overflow records.
        index.setOverflowNumber(0);
    } else {
        // The overflow number is the stored game's, whatever the caller's copy says: the save
        // either goes on using it or frees it.
        IndexRecord stored;
        if (request.k < 1 || !ReadIndexRecord(store, std::uint32_t(request.k), stored)) return SavedGame{};
        index.setOverflowNumber(stored.overflowNumber());
    }
    const bool writeMoves = append || !request.headerOnly;
    if (writeMoves) {
        // The board's game decides the moves, the handicap and the result the store keeps.
        index.setHandicap(std::uint16_t(std::max(0, HandicapNumber(record.handicap))));
        const int result = ResultNumber(record.endCode);
        index.setResult(std::uint16_t(result < 0 ? 0 : result));
    }

    const auto moves = std::make_unique<MoveBytes>();
    const auto info = std::make_unique<MoveInfo>();
    if (writeMoves) FillMoveBuffers(record, *moves, *info);

    SavedGame saved;
    StoreAppender appender(store, prompter, writer);
    try {
        if (!append && request.k > long(appender.gameCount())) {
            putBack();
            return SavedGame{};
        }
        const WrittenGame written = appender.WriteGame(index, *moves, request.k, !writeMoves);
        if (!written.ok) {
            putBack();
            return SavedGame{};
        }
        saved.recordNumber = written.recordNumber;
        if (store.extended()) {
            if (writeMoves) {
                const int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
                std::span<const MoveRecord> snapshotMoves;
                int snapshotCount = 0;
                if (request.asStored != nullptr) {
                    snapshotMoves = request.asStored->moves();
                    snapshotCount = request.asStored->moveCount();
                }
                StageComments(appender, record, append, snapshotMoves, snapshotCount, detail, *info,
                              prompter, saved);
                detail.setMoveCount(std::uint16_t(count));
                detail.setClosingTime(count < kMaxMoves ? record.moves[std::size_t(count + 1)].consumedTime
                                                        : std::uint16_t(0));
            }
            if (!writeMoves) {
                // The moves and move info stay on the disk: so do the links and figures that
                // belong to them.
                DetailRecord stored;
                if (!ReadDetailRecord(store, long(saved.recordNumber), stored, prompter)) {
                    throw StoreIoError("cannot read", store.files.Path(ext::kDetail));
                }
                detail.setOpeningComment(stored.openingCommentFile(), stored.openingCommentNumber());
                detail.setClosingComment(stored.closingCommentFile(), stored.closingCommentNumber());
                detail.setClosingTime(stored.closingTime());
                detail.setMoveCount(stored.moveCount());
            }
            detail.CopyIndexWords(index);
            if (!appender.WriteGameDetail(detail, *info, long(saved.recordNumber), !writeMoves).ok) {
                appender.Abandon();
                putBack();
                return SavedGame{};
            }
        }
        saved.cut = appender.cutGames() > 0;
        appender.Commit();
    } catch (const StoreIoError& e) {
        appender.Abandon();
        putBack();
        prompter.Warn(SaveFailedMessage(e.path().string()));
        return SavedGame{};
    }
    saved.ok = true;
    return saved;
}

}  // namespace

SavedGame SaveNewGame(const GameStore& store, TKifData& record, IndexRecord& index,
                      DetailRecord& detail, Prompter& prompter, RecordWriter& writer) {
    return Save(store, record, index, detail, SaveRequest{}, prompter, writer);
}

SavedGame SaveOverStoredGame(const GameStore& store, long k, TKifData& record,
                             IndexRecord& index, DetailRecord& detail,
                             const TKifData::Snapshot& asStored, bool headerOnly,
                             Prompter& prompter, RecordWriter& writer) {
    if (k < 1) return SavedGame{};
    return Save(store, record, index, detail, SaveRequest{k, &asStored, headerOnly}, prompter, writer);
}

void ForgetStoredWorkingComments(TKifData& record, const SavedGame& saved) {
    if (!saved.ok || saved.commentLimitReached) return;
    const int last = std::min<int>(record.moveCount + 1, kMaxMoves);
    for (int i = 0; i <= last; ++i) {
        MoveRecord& move = record.moves[std::size_t(i)];
        if (move.commentRecord != 0) move.workingComment = 0;
    }
}

SavedGame SaveNewGame(StoreSession& session, TKifData& record, IndexRecord& index,
                      DetailRecord& detail, Prompter& prompter, RecordWriter& writer) {
    SavedGame saved = SaveNewGame(session.store, record, index, detail, prompter, writer);
    if (!saved.ok) return saved;
    session.store.recordCount = std::max(session.store.recordCount, saved.recordNumber);
    if (saved.recordNumber > session.catalogue.count()) {
        LoadCatalogue(session.store, session.catalogue);
        saved.reloadCatalogue = true;
    }
    return saved;
}

SavedGame SaveOverStoredGame(StoreSession& session, long k, TKifData& record, IndexRecord& index,
                             DetailRecord& detail, const TKifData::Snapshot& asStored,
                             bool headerOnly, Prompter& prompter, RecordWriter& writer) {
    SavedGame saved =
        SaveOverStoredGame(session.store, k, record, index, detail, asStored, headerOnly, prompter, writer);
    if (!saved.ok) return saved;
    GameHeader header;
    if (!HeaderFromIndexRecord(index, saved.recordNumber, header)) return saved;
    for (GameHeader& entry : session.catalogue.entries()) {
        if (entry.recordNumber != saved.recordNumber) continue;
        header.positionHit = entry.positionHit;
        header.selectionMark = entry.selectionMark;
        entry = header;
    }
    return saved;
}

bool ReadStoredRecords(const GameStore& store, long k, IndexRecord& index, DetailRecord& detail,
                       Prompter& prompter) {
    detail = DetailRecord{};
    if (k < 1 || !ReadIndexRecord(store, std::uint32_t(k), index)) return false;
    if (!store.extended()) return true;
    return ReadDetailRecord(store, k, detail, prompter);
}

bool LoadGameForCorrection(const GameStore& store, long k, TKifData& record, IndexRecord& index,
                           DetailRecord& detail, Prompter& prompter) {
    if (!ReadStoredRecords(store, k, index, detail, prompter)) return false;
    record.ClearMoves();
    record.ResetHeader(index.handicap());
    const int result = index.result();
    record.endCode = result <= 8 ? char('0' + result) : endcode::kInterrupted;
    const GameMoves moves = ReadGameMoves(store, k, index.overflowNumber(), index.handicap(), true, 0,
                                          record, prompter);
    if (!moves.found || moves.damaged) return false;
    record.moves[0].commentFile = detail.openingCommentFile();
    record.moves[0].commentRecord = detail.openingCommentNumber();
    if (record.moveCount < kMaxMoves) {
        MoveRecord& final = record.moves[std::size_t(record.moveCount + 1)];
        final.commentFile = detail.closingCommentFile();
        final.commentRecord = detail.closingCommentNumber();
        final.consumedTime = detail.closingTime();
    }
    return true;
}

std::string GameSavedMessage() { return std::string{"\r棋譜を保存しました！"_sj}; }
std::string SaveGameQuestion() { return std::string{"\r棋譜を保存してよろしいですか？"_sj}; }
std::string ContinueInputQuestion() { return std::string{"\r続けて棋譜入力を行いますか？"_sj}; }
std::string DiscardUnsavedQuestion() {
    return std::string{"保存されていない棋譜が残っています。\r破棄してよろしいですか？"_sj};
}
std::string SaveUnsavedQuestion() {
    return std::string{"保存されていない棋譜が残っています。\r\r保存しますか？"_sj};
}
std::string NoStoreForInputMessage() { return std::string{"\r棋譜ファイルが読み込まれていません。"_sj}; }
std::string SaveFailedMessage(const std::string& path) {
    return "\r棋譜を保存できませんでした。\r\r"_sj + path;
}

}  // namespace movra
