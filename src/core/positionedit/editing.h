#pragma once
// The set-up board of position editing: pieces moved freely between the board, both hands and
// the spare-piece box, flipped, swapped between the sides, and the checks that tell the user
// when the position set up is one no game can reach. Everything works on the forty-piece table
// of a BoardPosition; board and hands are rebuilt after every change.
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/position.h"

namespace movra {

// Where a dragged piece is put down.
enum class EditPlace { Nowhere, Board, SenteHand, GoteHand, Box };

struct EditTarget {
    EditPlace place = EditPlace::Nowhere;
    Square square{};  // for EditPlace::Board
};

// The place a piece of the table stands in.
EditTarget PlaceOfPiece(const PieceEntry& entry);

// The present piece on a board square, 0 for none.
int PieceOnSquare(const BoardPosition& position, Square square);
// The present piece of `kind` in a hand or the box with the lowest index, 0 for none.
int PieceInGroup(const BoardPosition& position, EditPlace place, PieceKind kind);

// Puts piece `index` (1-40, present) down at `target`. A piece standing on the target square is
// displaced: to the place the moved piece came from when that was a hand or the box, otherwise
// into the hand of the moved piece's side, as a capture would. Pieces going into a hand take
// that side's unpromoted code, pieces going into the box sente's unpromoted code. Returns false
// (nothing changed) for Nowhere, the square the piece stands on, or an index that is no present
// piece.
bool DropPiece(BoardPosition& position, int index, const EditTarget& target);

// The right click on a board piece: an unpromoted promotable piece promotes, any other piece
// changes side and unpromotes. False when `index` is no present piece on the board.
bool FlipPiece(BoardPosition& position, int index);

// The box's pop-up menu: every present piece in the box except the kings goes into the hand of
// `side` (side::kSente or side::kGote) with that side's unpromoted code. Returns the count moved.
int MoveBoxToHand(BoardPosition& position, int side);
// The hands' pop-up menus: every present piece in the hand of `side`, kings included, goes into
// the box with sente's unpromoted code. Returns the count moved.
int MoveHandToBox(BoardPosition& position, int side);

// Every piece changes side, hands change places and board pieces move to the point-reflected
// square; doing it twice gives the position back.
void SwapSides(BoardPosition& position);
// Whether swapping the sides exchanges the players' names: not for the plain pairs
// "先手"/"後手" and "下手"/"上手" (CP932).
bool SwapExchangesNames(std::string_view senteName, std::string_view goteName);

// Why no game can reach the position, one CP932 line per fault (none for a sound position):
// a side with two kings, a king in a hand, two unpromoted pawns of a side on one file, pieces
// that can never move again (pawns and lances on the last rank, knights on the last two).
// A position without one side's king is allowed: mate problems are set up that way.
std::vector<std::string> PositionProblems(const BoardPosition& position);

}  // namespace movra
