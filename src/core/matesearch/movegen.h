#pragma once
// Move generation of the mate solver under the full rules of play: only legal moves (none that
// leaves the mover's own king attacked), no drop on a rank the piece could never leave, no
// second unpromoted pawn in a file, no pawn dropped to give mate. Pawn, bishop and rook moves
// that could promote are generated both ways; lance and pawn moves to the last rank and knight
// moves to the last two ranks only promoted.
//
// The functions take the position by reference because some rules (a pawn dropped to give mate)
// are decided by trying the move; the position is always given back unchanged.
#include <vector>

#include "core/matesearch/solver_position.h"

namespace movra::mate {

// Appends every legal move of the side to move that attacks the opponent's king. Nothing when
// the opponent has no king on the board.
void GenerateChecks(SolverPosition& pos, std::vector<Move>& out);

// Appends every legal reply of the side to move, whose king is in check: king moves first, then
// captures of the checking piece, then interpositions by moving a piece, then dropped ones.
void GenerateEvasions(SolverPosition& pos, std::vector<Move>& out);
// The same replies in two parts: the king's own moves, and all the others.
void GenerateKingEvasions(SolverPosition& pos, std::vector<Move>& out);
void GenerateOtherEvasions(SolverPosition& pos, std::vector<Move>& out);

// True when the side to move, in check, has at least one legal reply (no reply: mate).
bool HasEvasion(SolverPosition& pos);

// Every legal move of the side to move (for tests and verification; not fast).
void GenerateLegalMoves(SolverPosition& pos, std::vector<Move>& out);


}  // namespace movra::mate
