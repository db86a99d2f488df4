#pragma once
// The Morita reader: a header with 表題, 開始日付 and the players, often a board diagram of the
// starting position (from which the handicap is read, and which shows whether the file was
// drawn from 上手's side), then one move a line in relative notation with its time.
#include <string>
#include <string_view>
#include <vector>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// The handicap character shown by the first three diagram rows (gote's side); "0" when the rows
// are too short or match no setup.
char HandicapFromDiagram(std::string_view row1, std::string_view row2, std::string_view row3);

// Rewrites the lines of a file drawn with 上手 at the bottom: names and hands exchanged, the
// diagram and the moves mirrored.
std::vector<std::string> TurnDiagram(const TextLines& lines);

// Reads the header (turning the file first when needed); answers the index of the first move
// line. When the file was turned, `lines` is replaced by the turned lines.
std::size_t ReadMoritaHeader(TextLines& lines, std::string_view now, ReadGame& game);

// Reads the game of a Morita file into `game` (cleared first). Refused when a move cannot be
// resolved.
ReadStatus ReadMorita(TextLines& lines, std::string_view now, ReadGame& game);

}  // namespace movra
