#include "core/matesearch/solver_position.h"

namespace movra::mate {

SolverPosition::SolverPosition() = default;

void SolverPosition::place(Sq s, Piece p) {
    board_[s] = p;
    Bitboard b = Bitboard::Square(s);
    byColor_[ColorOf(p)] |= b;
    byType_[TypeOf(p)] |= b;
    occupied_ |= b;
    if (TypeOf(p) == pt::kKing) king_[ColorOf(p)] = s;
}

void SolverPosition::remove(Sq s) {
    Piece p = board_[s];
    Bitboard b = Bitboard::Square(s);
    byColor_[ColorOf(p)] ^= b;
    byType_[TypeOf(p)] ^= b;
    occupied_ ^= b;
    board_[s] = 0;
}

void SolverPosition::PutPiece(Sq s, Piece p) {
    if (board_[s]) {
        key_ ^= kTables.zobrist[board_[s]][s];
        if (TypeOf(board_[s]) == pt::kKing) king_[ColorOf(board_[s])] = kNoSquare;
        remove(s);
    }
    if (p) {
        place(s, p);
        key_ ^= kTables.zobrist[p][s];
    }
}

void SolverPosition::SetHand(Color c, int kind, int count) {
    packed_[c] -= hand_[c][kind] * hand::Unit(kind);
    hand_[c][kind] = std::uint8_t(count);
    packed_[c] += std::uint32_t(count) * hand::Unit(kind);
}

void SolverPosition::SetSideToMove(Color c) {
    if (c != side_) key_ ^= kTables.sideKey;
    side_ = c;
}

Bitboard SolverPosition::attackersTo(Color by, Sq s, const Bitboard& occ) const {
    Color other = Opponent(by);
    const auto& step = kTables.step[other];
    const Bitboard& mine = byColor_[by];
    Bitboard golds = byType_[pt::kGold] | byType_[pt::kProPawn] | byType_[pt::kProLance] |
                     byType_[pt::kProKnight] | byType_[pt::kProSilver];
    Bitboard kingLike = byType_[pt::kKing] | byType_[pt::kHorse] | byType_[pt::kDragon];
    Bitboard result = (step[pt::kPawn][s] & byType_[pt::kPawn]) |
                      (step[pt::kKnight][s] & byType_[pt::kKnight]) |
                      (step[pt::kSilver][s] & byType_[pt::kSilver]) |
                      (step[pt::kGold][s] & golds) | (KingStep(s) & kingLike);
    // Sliders: each one on a line through s attacks it when nothing stands between.
    Bitboard sliders = (kTables.ray[other == kSente ? 0 : 1][s] & byType_[pt::kLance]) |
                       (kTables.bishopPseudo[s] & (byType_[pt::kBishop] | byType_[pt::kHorse])) |
                       (kTables.rookPseudo[s] & (byType_[pt::kRook] | byType_[pt::kDragon]));
    sliders &= mine;
    while (sliders.any()) {
        Sq from = sliders.popLsb();
        if ((kTables.between[s][from] & occ).none()) result.set(from);
    }
    return result & mine;
}

Bitboard SolverPosition::blockersOf(Color kingColor, Color sliderColor) const {
    Bitboard result;
    Sq k = king_[kingColor];
    if (k == kNoSquare) return result;
    const Bitboard& theirs = byColor_[sliderColor];
    Bitboard empty;
    // Squares from which each slider would hit the king on an empty board.
    Bitboard snipers = (RookAttack(k, empty) & (byType_[pt::kRook] | byType_[pt::kDragon])) |
                       (BishopAttack(k, empty) & (byType_[pt::kBishop] | byType_[pt::kHorse])) |
                       (LanceAttack(kingColor, k, empty) & byType_[pt::kLance]);
    snipers &= theirs;
    while (snipers.any()) {
        Sq s = snipers.popLsb();
        Bitboard between = kTables.between[k][s] & occupied_;
        if (between.any() && !between.moreThanOne()) result |= between;
    }
    return result;
}

void SolverPosition::doMove(Move m, UndoInfo& undo) {
    undo.key = key_;
    undo.captured = 0;
    Color us = side_;
    Sq to = MoveTo(m);
    if (IsDrop(m)) {
        int kind = DropKind(m);
        Piece p = MakePiece(us, kind);
        place(to, p);
        --hand_[us][kind];
        packed_[us] -= hand::Unit(kind);
        key_ ^= kTables.zobrist[p][to];
    } else {
        Sq from = MoveFrom(m);
        Piece p = board_[from];
        Piece captured = board_[to];
        if (captured) {
            remove(to);
            int kind = HandKindOf(TypeOf(captured));
            ++hand_[us][kind];
            if (kind <= 7) packed_[us] += hand::Unit(kind);
            key_ ^= kTables.zobrist[captured][to];
            undo.captured = captured;
        }
        remove(from);
        Piece moved = IsPromotion(m) ? Piece(p + 8) : p;
        place(to, moved);
        key_ ^= kTables.zobrist[p][from] ^ kTables.zobrist[moved][to];
    }
    side_ = Opponent(us);
    key_ ^= kTables.sideKey;
}

void SolverPosition::undoMove(Move m, const UndoInfo& undo) {
    Color us = Opponent(side_);
    side_ = us;
    Sq to = MoveTo(m);
    if (IsDrop(m)) {
        int kind = DropKind(m);
        remove(to);
        ++hand_[us][kind];
        packed_[us] += hand::Unit(kind);
    } else {
        Sq from = MoveFrom(m);
        Piece moved = board_[to];
        remove(to);
        place(from, IsPromotion(m) ? Piece(moved - 8) : moved);
        if (undo.captured) {
            place(to, undo.captured);
            int kind = HandKindOf(TypeOf(undo.captured));
            --hand_[us][kind];
            if (kind <= 7) packed_[us] -= hand::Unit(kind);
        }
    }
    key_ = undo.key;
}

std::uint64_t SolverPosition::keyAfter(Move m) const {
    std::uint64_t k = key_ ^ kTables.sideKey;
    Sq to = MoveTo(m);
    if (IsDrop(m)) return k ^ kTables.zobrist[MakePiece(side_, DropKind(m))][to];
    Sq from = MoveFrom(m);
    Piece p = board_[from];
    Piece moved = IsPromotion(m) ? Piece(p + 8) : p;
    k ^= kTables.zobrist[p][from] ^ kTables.zobrist[moved][to];
    if (board_[to]) k ^= kTables.zobrist[board_[to]][to];
    return k;
}

std::uint32_t SolverPosition::moverHandAfter(Move m) const {
    std::uint32_t h = packed_[side_];
    if (IsDrop(m)) return h - hand::Unit(DropKind(m));
    Piece captured = board_[MoveTo(m)];
    if (captured) {
        int kind = HandKindOf(TypeOf(captured));
        if (kind <= 7) h += hand::Unit(kind);
    }
    return h;
}

}  // namespace movra::mate
