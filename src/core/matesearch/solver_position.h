#pragma once
// The mate solver's own position: a board of pieces with bitboards per colour and type, the two
// hands, the kings' squares and a Zobrist key of board and side to move, with making and taking
// back a move.
//
// The key leaves the hands out on purpose: the transposition table keeps the attacker's hand
// beside the key so that positions differing only in the hand can be compared (a stronger hand
// is at least as good for the attacker). Within one search the pieces of the set are fixed, so
// the board and the attacker's hand determine the defender's hand.
#include <array>
#include <cstdint>
#include <string>

#include "core/matesearch/bitboard.h"

namespace movra::mate {

// A move in 16 bits: destination square in bits 0-6; the origin square, or for a drop the
// dropped kind, in bits 7-13; bit 14 marks a drop, bit 15 a promotion.
using Move = std::uint16_t;
inline constexpr Move kNoMove = 0;  // 1一 to 1一: never a real move

constexpr Move MakeBoardMove(Sq from, Sq to, bool promote) {
    return Move(to | (from << 7) | (promote ? 0x8000 : 0));
}
constexpr Move MakeDrop(int kind, Sq to) { return Move(to | (kind << 7) | 0x4000); }
constexpr Sq MoveTo(Move m) { return m & 0x7F; }
constexpr Sq MoveFrom(Move m) { return (m >> 7) & 0x7F; }
constexpr int DropKind(Move m) { return (m >> 7) & 0x7F; }
constexpr bool IsDrop(Move m) { return (m & 0x4000) != 0; }
constexpr bool IsPromotion(Move m) { return (m & 0x8000) != 0; }


// A hand packed in 32 bits, one field per kind 1-7 with a zero guard bit above each field, so
// that one subtraction tells whether one hand holds at least every piece of another.
namespace hand {
inline constexpr int kShift[8] = {0, 0, 6, 10, 14, 18, 22, 25};
inline constexpr std::uint32_t kBorrowMask = (1u << 5) | (1u << 9) | (1u << 13) | (1u << 17) |
                                             (1u << 21) | (1u << 24) | (1u << 27);
constexpr std::uint32_t Unit(int kind) { return 1u << kShift[kind]; }
constexpr int Count(std::uint32_t h, int kind) {
    constexpr int kWidth[8] = {0, 5, 3, 3, 3, 3, 2, 2};
    return int((h >> kShift[kind]) & ((1u << kWidth[kind]) - 1));
}
// True when hand a holds at least as many pieces of every kind as hand b.
constexpr bool Dominates(std::uint32_t a, std::uint32_t b) { return ((a - b) & kBorrowMask) == 0; }
}  // namespace hand

// The most pieces of each kind 1-8 a shogi set holds.
inline constexpr int kSetCount[9] = {0, 18, 4, 4, 4, 4, 2, 2, 2};

struct UndoInfo {
    Piece captured = 0;
    std::uint64_t key = 0;
};

class SolverPosition {
public:
    SolverPosition();

    // Setting up (the key follows).
    void PutPiece(Sq s, Piece p);
    void SetHand(Color c, int kind, int count);
    void SetSideToMove(Color c);

    Color sideToMove() const { return side_; }
    Piece pieceOn(Sq s) const { return board_[s]; }
    const Bitboard& occupied() const { return occupied_; }
    const Bitboard& pieces(Color c) const { return byColor_[c]; }
    Bitboard pieces(Color c, int type) const { return byType_[type] & byColor_[c]; }
    int handCount(Color c, int kind) const { return hand_[c][kind]; }
    std::uint32_t packedHand(Color c) const { return packed_[c]; }
    bool handEmpty(Color c) const { return packed_[c] == 0; }
    Sq king(Color c) const { return king_[c]; }
    std::uint64_t key() const { return key_; }

    // Pieces of colour `by` that attack s, with the given occupancy for the sliders.
    Bitboard attackersTo(Color by, Sq s, const Bitboard& occ) const;
    Bitboard attackersTo(Color by, Sq s) const { return attackersTo(by, s, occupied_); }
    bool attacked(Color by, Sq s) const { return attackersTo(by, s).any(); }
    bool inCheck(Color c) const { return king_[c] != kNoSquare && attacked(Opponent(c), king_[c]); }
    // Pieces (of either colour) that stand alone between the king of kingColor and a slider of
    // sliderColor aiming at it.
    Bitboard blockersOf(Color kingColor, Color sliderColor) const;

    void doMove(Move m, UndoInfo& undo);
    void undoMove(Move m, const UndoInfo& undo);

    // The key and the mover's packed hand after m, without making it.
    std::uint64_t keyAfter(Move m) const;
    std::uint32_t moverHandAfter(Move m) const;

private:
    void place(Sq s, Piece p);
    void remove(Sq s);

    std::array<Piece, kSquareCount> board_{};
    Bitboard byColor_[2];
    Bitboard byType_[pt::kTypeCount];
    Bitboard occupied_;
    std::uint8_t hand_[2][9]{};
    std::uint32_t packed_[2]{};
    Sq king_[2]{kNoSquare, kNoSquare};
    Color side_ = kSente;
    std::uint64_t key_ = 0;
};

}  // namespace movra::mate
