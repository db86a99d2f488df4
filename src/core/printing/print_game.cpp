#include "core/printing/print_game.h"

#include <algorithm>

#include "core/record/game_text.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {
using namespace movra::literals;

PrintGame PrintGameFromRecord(const TKifData& record, const GameHeaderTexts& texts, int handicapNumber,
                              bool extended, const DetailRecord& detail, std::vector<std::string> comments) {
    PrintGame game;
    game.texts = texts;
    game.handicapNumber = handicapNumber;
    game.moveLines = MoveListLines(record);
    const int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    game.times.assign(static_cast<std::size_t>(count) + 1, 0);
    for (int k = 1; k <= count; ++k) {
        game.times[static_cast<std::size_t>(k)] = record.moves[static_cast<std::size_t>(k)].consumedTime;
    }
    game.extended = extended;
    if (extended) {
        game.detail = detail;
        game.closingTime = detail.closingTime();
        game.comments = std::move(comments);
    }
    return game;
}

PrintGame PrintGameFromExport(const ExportGame& game, int gameNumber) {
    GameHeaderTexts texts;
    texts.senteName = game.senteName;
    texts.goteName = game.goteName;
    texts.tournament = game.tournament;
    texts.opening = game.opening;
    texts.gameNumber = gameNumber == 0 ? std::string() : ZeroPad(gameNumber, 2);
    texts.dateText = ZeroPad(game.year, 4) + "年"_sj + ZeroPad(game.month, 2) + "月"_sj +
                     ZeroPad(game.day, 2) + "日"_sj;
    return PrintGameFromRecord(game.record, texts, game.handicapNumber, game.details, game.detail,
                               game.comments);
}

}  // namespace movra
