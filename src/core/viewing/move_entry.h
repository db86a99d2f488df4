#pragma once
// Entering a move with the mouse: a piece of the side to move is picked up from the board or a
// hand and put down on a square. What the board refuses (an own piece or an occupied square for a
// drop, a declined illegal move) puts the piece back; promotion is made, offered or left out; the
// accepted move is resolved into the game record and its move-list line is made. Runs without a
// display: the window only passes squares and draws the result.
#include <functional>
#include <optional>
#include <string>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/rules/move.h"

namespace movra {

// The promotion choice "成/不成 選択": the unpromoted piece on the left, the promoted one on the
// right. Returns true for the right one (promote).
using PromotionChooser = std::function<bool(PieceCode unpromoted, PieceCode promoted)>;

// "\rこれ以上の指し手は入力できません！\r\r中断または終局させて下さい。" (CP932).
std::string MoveLimitMessage();

enum class PickUpResult {
    PickedUp,  // the piece is held
    Ignored,   // no piece there, a piece of the other side, or a piece already held
    Refused,   // the move limit is reached (the message was shown)
};

enum class DropResult {
    Entered,   // the move is in the record
    PutBack,   // dropped where it came from
    Cancelled, // refused; the piece went back
    NotHolding,
};

// A move accepted on the board. The record holds it as move `moveNumber` (appended, or written
// over the move after the current one) while the position is still the one before it.
struct EnteredMove {
    int moveNumber = 0;
    MoveCode code;
    std::string line;          // the move-list line (CP932)
    PieceCode codeBefore = 0;  // the moving piece's code before the move
};

class MoveEntry {
public:
    MoveEntry(TKifData& record, Prompter& prompter, PromotionChooser choosePromotion);

    // The most moves a game may get from the board (the store's limit); pieces are not picked up
    // once the move count has reached it.
    void setMoveLimit(int limit) { limit_ = limit; }
    int moveLimit() const { return limit_; }

    // Left button down on a board square, or on the piece of `kind` in the hand of `side`.
    PickUpResult PickUpFromBoard(Square square);
    PickUpResult PickUpFromHand(int side, int kind);
    // Puts the held piece down on a board square; the questions of the movement check and the
    // promotion choice are asked on the way.
    DropResult Drop(Square square, EnteredMove* entered = nullptr);
    // The held piece goes back (dropped off the board).
    void PutBack();

    bool holding() const { return held_ != 0; }
    // The held piece's index (1-40), 0 when none.
    int heldPiece() const { return held_; }
    // Where it came from: a board square, or file 0 / 10 with the kind as rank for a hand.
    Square heldFrom() const { return from_; }
    PieceCode heldCode() const;
    // Whether a board square is where the held piece came from.
    bool IsHeldSquare(Square square) const { return held_ != 0 && from_ == square; }

private:
    PickUpResult Hold(int index);
    bool LimitReached();
    int SideToMoveNow() const { return record_.SideOf(record_.currentMove + 1); }

    TKifData& record_;
    Prompter& prompter_;
    PromotionChooser choosePromotion_;
    int limit_ = kMaxMoves;
    int held_ = 0;
    Square from_{};
};

}  // namespace movra
