#pragma once
// Every move that the movement rules accept for one side in a position: board moves onto empty
// squares or opponent pieces (with and without promotion where the choice exists) and drops onto
// empty squares. Check is not considered, as in move entry. Used to make games (generators,
// randomized checks), not by move entry itself.
#include <vector>

#include "core/rules/move.h"

namespace movra {

void ListMoves(const BoardPosition& position, int side, std::vector<MoveCode>& out);

}  // namespace movra
