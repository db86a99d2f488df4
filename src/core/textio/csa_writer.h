#pragma once
// A stored game as a CSA record (version 2.2) and as a USI position line, the forms computer
// play and engines exchange. Both are read back by this system's own readers.
#include <string>
#include <vector>

#include "core/textio/export_game.h"

namespace movra {

// The lines of the CSA record: version, names, "$" keys, the start ("PI" with the pieces the
// handicap takes away), the side to move first, each move with its time "T" and comments "'*",
// the closing word of the result (the winner as the result says, whoever made the last move)
// with the closing time and comment. Texts stay CP932.
std::vector<std::string> CsaLines(const ExportGame& game);

// "position startpos moves 7g7f 3c3d …", or "position sfen <handicap set-up> moves …".
std::string UsiLine(const ExportGame& game);

}  // namespace movra
