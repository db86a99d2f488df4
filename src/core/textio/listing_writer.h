#pragma once
// The game listing: a short text of a game with six moves to a line, written to a text file or
// placed on the clipboard.
#include <string>
#include <vector>

#include "core/textio/export_game.h"

namespace movra {

// The listing's lines: 開始日時 (the catalogue's date; the start time when the store keeps
// details), 終了日時 (only with details and a complete end date), the two names, 棋戦, 戦型,
// 手合割, an empty line, the moves six to a line (each move's side mark and notation, the line
// padded with full-width blanks to 12 bytes a move), the closing line
// ("　まで、64手で後手勝ち") and an empty line.
std::vector<std::string> GameListingLines(const ExportGame& game);

// The closing line alone: "　まで、" + move count + "手" + the result's word, a word that begins
// with "まで" losing its "ま".
std::string ListingClosingLine(int moveCount, bool handicapGame, int result);

}  // namespace movra
