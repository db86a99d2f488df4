#pragma once
// A whole game as move-list text, and the checks that make a bare sequence of move codes safe to
// replay into a game record.
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/move.h"

namespace movra {

// The move-list lines of a game: one line a move (1 to moveCount) and the closing line. The game
// is replayed from its starting position on a copy of the position, so the record is not changed
// and may stand at any move. Throws RangeError when a move record does not fit the position.
std::vector<std::string> MoveListLines(const TKifData& record);

// Why the move code cannot be the next move of the game, or nullptr when it can: the game is
// full, no piece can make the move, the piece is the opponent's, a drop lands on an occupied
// square, or the move takes one of the mover's own pieces. Move entry never lets such a move
// through; a replayed sequence must not either.
const char* NextMoveProblem(const TKifData& record, const MoveCode& code);

}  // namespace movra
