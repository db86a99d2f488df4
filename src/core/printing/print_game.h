#pragma once
// One game as the printed forms see it: the header texts the main window shows, the full move
// list with its closing line, the consumed times, and for a store of the extended kind the detail
// record and the comments. Built from the window's game or from a stored game alike.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/store/layout.h"
#include "core/textio/export_game.h"
#include "core/viewing/display_texts.h"

namespace movra {

struct PrintGame {
    GameHeaderTexts texts;        // names, tournament, game number, opening, date text
    int handicapNumber = 0;       // 0 the even game
    // One line a move as the move list builds it, then the closing line.
    std::vector<std::string> moveLines;
    // Seconds of move k at index k (index 0 unused); the stored value as it is (running totals
    // when the detail record's time mode is 1).
    std::vector<std::uint16_t> times;
    bool extended = false;        // the store keeps details: detail, closing time, comments
    DetailRecord detail;
    std::uint16_t closingTime = 0;
    // Comment texts by move record: 0 the starting position, 1..n the moves, n + 1 the final
    // position; empty for none.
    std::vector<std::string> comments;

    int moveCount() const { return moveLines.empty() ? 0 : static_cast<int>(moveLines.size()) - 1; }
    bool handicapGame() const { return handicapNumber != 0; }
};

// The game of the record (replayed on a copy: the record may stand at any move) with the given
// header texts. `detail` and `comments` count only when `extended`.
PrintGame PrintGameFromRecord(const TKifData& record, const GameHeaderTexts& texts, int handicapNumber,
                              bool extended, const DetailRecord& detail, std::vector<std::string> comments);

// A stored game read for export; `gameNumber` is the index record's game number (0 none).
PrintGame PrintGameFromExport(const ExportGame& game, int gameNumber);

}  // namespace movra
