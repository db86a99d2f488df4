#pragma once
// A game as engines and analysis programs hand it on: a USI position line ("position startpos
// moves 7g7f 3c3d", "position sfen <position> moves …"; the word "position" may be left out) in
// a ".usi" or ".sfen" file. The start must be the even position or a handicap set-up; the line
// carries no result, so the game is stored unfinished.
#include <string_view>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// Whether the first line that is not empty is a USI position line.
bool LooksLikeUsi(const TextLines& lines);

// Reads the first position line into the coded text of one game.
ReadStatus ReadUsi(const TextLines& lines, std::string_view now, ReadGame& game);

}  // namespace movra
