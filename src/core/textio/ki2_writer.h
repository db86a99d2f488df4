#pragma once
// A stored game as a KI2 file: the header lines of our Kakinoki file, then the moves as they are
// read aloud, several to a line ("▲７六歩    △３四歩"), with the relative words that tell two
// pieces of a kind apart, comments on "*" lines and the closing sentence. Our KI2 reader (and
// other programs' readers) take the file back to the same moves; KI2 keeps no times.
#include <string>
#include <vector>

#include "core/textio/export_game.h"

namespace movra {

// Moves on one line of the move part at most.
inline constexpr int kKi2MovesPerLine = 6;

// The file's lines (CP932). The names come before the handicap line and its start diagram, so
// that a reader that looks only at the first lines for the header still finds them. A comment
// ends its move's line. The closing comment goes before the closing sentence: a KI2 reader stops
// at that sentence, and it would be lost after it.
std::vector<std::string> Ki2Lines(const ExportGame& game);

}  // namespace movra
