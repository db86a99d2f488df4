#include "core/viewing/move_entry.h"

#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"

namespace movra {
using namespace movra::literals;

std::string MoveLimitMessage() {
    return std::string{"\rこれ以上の指し手は入力できません！\r\r中断または終局させて下さい。"_sj};
}

MoveEntry::MoveEntry(TKifData& record, Prompter& prompter, PromotionChooser choosePromotion)
    : record_(record), prompter_(prompter), choosePromotion_(std::move(choosePromotion)) {}

PieceCode MoveEntry::heldCode() const {
    return held_ != 0 ? record_.position.pieces[held_].code : PieceCode{0};
}

bool MoveEntry::LimitReached() {
    if (record_.moveCount < limit_ && record_.currentMove < kMaxMoves) return false;
    prompter_.Inform(MoveLimitMessage());
    return true;
}

PickUpResult MoveEntry::Hold(int index) {
    if (LimitReached()) return PickUpResult::Refused;
    // The scratch entry keeps the piece as it was, to put it back from there.
    record_.position.pieces[0] = record_.position.pieces[index];
    held_ = index;
    const PieceEntry& e = record_.position.pieces[index];
    from_ = Square{e.file, e.rank};
    return PickUpResult::PickedUp;
}

PickUpResult MoveEntry::PickUpFromBoard(Square square) {
    if (held_ != 0 || !IsBoardSquare(square.file, square.rank)) return PickUpResult::Ignored;
    const PieceCode code = record_.position.board[BoardIndex(square.file, square.rank)];
    if (!IsPiece(code)) return PickUpResult::Ignored;
    if ((SideToMoveNow() == side::kGote) != IsGote(code)) return PickUpResult::Ignored;
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = record_.position.pieces[i];
        if (e.present && e.file == square.file && e.rank == square.rank) return Hold(i);
    }
    return PickUpResult::Ignored;
}

PickUpResult MoveEntry::PickUpFromHand(int side, int kind) {
    if (held_ != 0 || side != SideToMoveNow() || kind < kind::Fu || kind > kind::Gyoku) {
        return PickUpResult::Ignored;
    }
    const std::uint8_t handFile = side == side::kSente ? location::kSenteHand : location::kGoteHand;
    // The piece a drop of this kind takes: the highest-numbered one in the hand.
    for (int i = kPieceCount; i >= 1; --i) {
        const PieceEntry& e = record_.position.pieces[i];
        if (e.present && e.file == handFile && e.rank == kind) return Hold(i);
    }
    return PickUpResult::Ignored;
}

void MoveEntry::PutBack() {
    if (held_ == 0) return;
    record_.position.pieces[held_] = record_.position.pieces[0];
    held_ = 0;
}

DropResult MoveEntry::Drop(Square square, EnteredMove* entered) {
    if (held_ == 0) return DropResult::NotHolding;
    if (record_.position.pieces[held_] != record_.position.pieces[0]) {
        // The position changed under the held piece (a step of the replay): nothing to enter.
        held_ = 0;
        return DropResult::Cancelled;
    }
    if (!IsBoardSquare(square.file, square.rank)) {
        PutBack();
        return DropResult::Cancelled;
    }
    if (square == from_) {
        PutBack();
        return DropResult::PutBack;
    }
    const bool fromHand = from_.file == location::kSenteHand || from_.file == location::kGoteHand;
    const PieceCode code = record_.position.pieces[held_].code;
    const PieceCode target = record_.position.board[BoardIndex(square.file, square.rank)];
    // Onto an own piece, or a drop onto any piece: the piece goes back.
    if (IsPiece(target) && (fromHand || IsGote(target) == IsGote(code))) {
        PutBack();
        return DropResult::Cancelled;
    }
    const bool accepted = CheckMove(from_, square, code, record_.position.board,
                                    [this](const std::string& question) {
                                        return prompter_.Confirm(question, false, true) == Answer::Yes;
                                    });
    if (!accepted) {
        PutBack();
        return DropResult::Cancelled;
    }
    char promotion = ' ';
    switch (PromotionOption(code, from_, square)) {
        case Promotion::None: break;
        case Promotion::Forced: promotion = '+'; break;
        case Promotion::Optional:
            if (choosePromotion_ && choosePromotion_(code, Promote(code))) promotion = '+';
            break;
    }
    const MoveCode moveCode = MakeMoveCode(from_, square, promotion);
    const int n = record_.currentMove + 1;
    const int side = record_.SideOf(n);
    record_.position.pieces[held_] = record_.position.pieces[0];
    held_ = 0;
    const bool overwrite = record_.currentMove < record_.moveCount;
    if (!record_.ResolveMove(moveCode, side, overwrite ? n : kAppendMove)) return DropResult::Cancelled;
    // The line is made on the board after the move; the move is then taken back again, for the
    // replay to apply it with the display.
    const PieceCode before = record_.ApplyMove(n);
    EnteredMove result;
    result.moveNumber = n;
    result.code = moveCode;
    result.codeBefore = before;
    result.line = MoveLine(n, record_.parityOffset, record_.handicap, record_.position.board, before,
                           record_.moves[n], record_.moves[n - 1]);
    record_.UndoMove(n);
    if (entered != nullptr) *entered = std::move(result);
    return DropResult::Entered;
}

}  // namespace movra
