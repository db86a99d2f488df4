#pragma once
// The KI2 reader: Kakinoki-style header keys, then moves in relative notation several to a line
// ("▲７六歩    △３四歩"), comments on "*" lines, and an end line "まで76手で先手の勝ち".
#include <string_view>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// Reads the header of a KI2 file into game.fields and writes the coded header lines; answers the
// index of the first move line.
std::size_t ReadKi2Header(const TextLines& lines, std::string_view now, ReadGame& game);

// Reads the game of a KI2 file into `game` (cleared first). Refused when a move cannot be
// resolved, or when the game starts from a position that is not one of the standard setups.
ReadStatus ReadKi2(const TextLines& lines, std::string_view now, ReadGame& game);

}  // namespace movra
