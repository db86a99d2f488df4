#pragma once
// The Kakinoki KIF reader, also used for 東大将棋 files: header keys at the line start, then one
// move a line ("   1 ７六歩(77)   ( 0:02/00:00:02)"), comments on lines beginning with "*".
#include <string_view>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// The move code of one move line given the previous code ("同" takes its destination), or
// "end:" + end character for an end line, or empty for a line that is no move line.
std::string KakinokiMoveCode(std::string_view line, std::string_view previousCode);

// Reads the game of a Kakinoki file into `game` (cleared first; `now` is the default start
// date). The main line ends at its end line, or at the first variation ("変化：") when it has
// none. Refused when the game starts from a position that is not a standard setup.
ReadStatus ReadKakinoki(const TextLines& lines, std::string_view now, ReadGame& game);

}  // namespace movra
