#include "core/session/stored_game.h"

#include <algorithm>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra {
using namespace movra::literals;

std::string StoredDateText(int year, int month, int day) {
    return ZeroPad(year, 4) + "年"_sj + ZeroPad(month, 2) + "月"_sj + ZeroPad(day, 2) + "日"_sj;
}

StoredGame LoadStoredGame(const StoreSession& session, long k, TKifData& record, Prompter& prompter) {
    StoredGame game;
    if (!session.isOpen() || k <= 0 || static_cast<std::uint32_t>(k) > session.store.recordCount) {
        return game;
    }
    IndexRecord index;
    if (!ReadIndexRecord(session.store, static_cast<std::uint32_t>(k), index)) return game;
    const int handicap = std::min<int>(index.handicap(), kHandicapCount - 1);
    TKifData loaded;
    loaded.ResetHeader(handicap);
    const GameMoves moves = ReadGameMoves(session.store, k, index.overflowNumber(), handicap, true, 0,
                                          loaded, prompter);
    if (!moves.found) return game;
    game.found = true;
    game.damaged = moves.damaged;
    game.extended = session.store.extended();
    loaded.endCode = index.result() <= 8 ? static_cast<char>('0' + index.result()) : '0';

    GameHeaderTexts& t = game.texts;
    t.senteName = Trim(session.players.DisplayName(index.sentePlayer()));
    t.goteName = Trim(session.players.DisplayName(index.gotePlayer()));
    t.dateText = StoredDateText(index.year(), index.month(), index.day());
    t.tournament = Trim(session.tournaments.DisplayName(index.tournament()));
    t.tournamentDetail = Trim(session.tournaments.SubDisplayName(index.tournament(), index.subTournament()));
    t.gameNumber = index.gameNumber() == 0 ? std::string() : ZeroPad(index.gameNumber(), 2);
    t.opening = Trim(session.openings.DisplayName(index.opening()));

    if (game.extended) {
        DetailRecord detail;
        if (ReadDetailRecord(session.store, k, detail, prompter)) {
            // Players without a master entry are named in the detail record.
            if (index.sentePlayer() == 0 && !Trim(detail.senteName()).empty()) t.senteName = Trim(detail.senteName());
            if (index.gotePlayer() == 0 && !Trim(detail.goteName()).empty()) t.goteName = Trim(detail.goteName());
            game.senteAllotted = detail.senteAllowedMinutes() * 60u;
            game.goteAllotted = detail.goteAllowedMinutes() * 60u;
            loaded.moves[0].commentFile = detail.openingCommentFile();
            loaded.moves[0].commentRecord = detail.openingCommentNumber();
            // The final slot follows the last move; a game of the greatest length has none, and
            // its last move keeps its own time.
            if (loaded.moveCount + 1 <= kMaxMoves) {
                const int final = loaded.moveCount + 1;
                loaded.moves[final].consumedTime = detail.closingTime();
                loaded.moves[final].commentFile = detail.closingCommentFile();
                loaded.moves[final].commentRecord = detail.closingCommentNumber();
            }
        }
    }
    loaded.GoToMove(0);
    const std::uint8_t flipped = record.boardFlipped;
    record = loaded;
    record.boardFlipped = flipped;
    return game;
}

std::optional<std::pair<std::string, std::string>> StoredComment(const StoreSession& session,
                                                                 const TKifData& record,
                                                                 int moveIndex,
                                                                 const std::string& line,
                                                                 Prompter& prompter) {
    if (!session.isOpen() || !session.store.extended() || moveIndex < 0 ||
        moveIndex > std::min<int>(record.moveCount + 1, kMaxMoves)) {
        return std::nullopt;
    }
    const MoveRecord& m = record.moves[moveIndex];
    if (m.commentRecord == 0) return std::nullopt;
    std::string text = ReadComment(session.store, m.commentFile, m.commentRecord, prompter);
    std::string heading = moveIndex == 0 ? std::string("開始局面"_sj) : line;
    if (moveIndex >= 1 && m.consumedTime > 0 && m.consumedTime < kUnknownTime) {
        std::uint32_t total = 0;
        for (int i = moveIndex; i >= 1; i -= 2) {
            if (record.moves[i].consumedTime < kUnknownTime) total += record.moves[i].consumedTime;
        }
        heading += "  " + TimeText(m.consumedTime, total);
    }
    return std::make_pair(heading, text);
}

}  // namespace movra
