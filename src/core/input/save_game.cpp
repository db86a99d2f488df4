#include "core/input/save_game.h"

#include <algorithm>
#include <memory>
#include <span>

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
                // The move info is made anew from the record: a move whose comment is not in a
                // working slot has none any more, and the record says so too.
                const int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
                for (int m = 1; m <= count; ++m) {
                    MoveRecord& move = record.moves[std::size_t(m)];
                    if (move.workingComment == 0) {
                        move.commentFile = 0;
                        move.commentRecord = 0;
                    }
                }
                std::span<const MoveRecord> snapshotMoves;
                int snapshotCount = 0;
                if (request.asStored != nullptr) {
                    snapshotMoves = request.asStored->moves();
                    snapshotCount = request.asStored->moveCount();
                }
                const SaveCommentsResult comments = StageGameComments(
                    appender, record, snapshotMoves, snapshotCount, detail, *info, prompter);
                saved.commentsWritten = comments.written;
                saved.commentsReleased = comments.released;
                saved.commentLimitReached = comments.limitReached;
                detail.setMoveCount(std::uint16_t(count));
                detail.setClosingTime(count < kMaxMoves ? record.moves[std::size_t(count + 1)].consumedTime
                                                        : std::uint16_t(0));
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
