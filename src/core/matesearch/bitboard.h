#pragma once
// Squares, pieces and 81-square bitboards of the mate solver, with the attack tables its move
// generator reads.
//
// The solver numbers squares (file - 1) * 9 + (rank - 1): 0 is 1一, 8 is 1九, 80 is 9九. A
// bitboard keeps files 1-7 (squares 0-62) in its low word and files 8-9 (63-80) in its high
// word, so a file never straddles the two words.
#include <bit>
#include <cstdint>

namespace movra::mate {

using Sq = int;
inline constexpr int kSquareCount = 81;
inline constexpr Sq kNoSquare = -1;

constexpr Sq MakeSq(int file, int rank) { return (file - 1) * 9 + (rank - 1); }
constexpr int FileOf(Sq s) { return s / 9 + 1; }
constexpr int RankOf(Sq s) { return s % 9 + 1; }

enum Color : int { kSente = 0, kGote = 1 };
constexpr Color Opponent(Color c) { return Color(c ^ 1); }

// Piece types carry the mate engine's numbers: 1-8 unpromoted (歩 香 桂 銀 金 角 飛 玉), and a
// promoted piece is its unpromoted type + 8 (13 is unused: 金 does not promote).
namespace pt {
inline constexpr int kPawn = 1, kLance = 2, kKnight = 3, kSilver = 4, kGold = 5, kBishop = 6,
                     kRook = 7, kKing = 8, kProPawn = 9, kProLance = 10, kProKnight = 11,
                     kProSilver = 12, kHorse = 14, kDragon = 15;
inline constexpr int kTypeCount = 16;
}  // namespace pt

// A piece on a square: type | colour << 4; 0 is an empty square.
using Piece = std::uint8_t;
constexpr Piece MakePiece(Color c, int type) { return Piece(type | (int(c) << 4)); }
constexpr int TypeOf(Piece p) { return p & 15; }
constexpr Color ColorOf(Piece p) { return Color(p >> 4); }
constexpr bool CanPromote(int type) { return type >= pt::kPawn && type <= pt::kRook && type != pt::kGold; }
// The kind a piece returns to when captured (1-7), or 8 for a king.
constexpr int HandKindOf(int type) { return type > pt::kKing ? type - 8 : type; }

// Ranks as the side sees them: 1 is the far rank.
constexpr int RelativeRank(Color c, Sq s) { return c == kSente ? RankOf(s) : 10 - RankOf(s); }
constexpr bool InPromotionZone(Color c, Sq s) { return RelativeRank(c, s) <= 3; }

struct Bitboard {
    std::uint64_t lo = 0;  // squares 0-62
    std::uint64_t hi = 0;  // squares 63-80 as bits 0-17

    static Bitboard Square(Sq s) {
        Bitboard b;
        if (s < 63) b.lo = std::uint64_t{1} << s;
        else b.hi = std::uint64_t{1} << (s - 63);
        return b;
    }
    bool test(Sq s) const { return s < 63 ? (lo >> s) & 1 : (hi >> (s - 63)) & 1; }
    void set(Sq s) { *this |= Square(s); }
    void clear(Sq s) { *this &= ~Square(s); }
    bool any() const { return (lo | hi) != 0; }
    bool none() const { return (lo | hi) == 0; }
    int count() const { return std::popcount(lo) + std::popcount(hi); }
    bool moreThanOne() const { return lo ? (lo & (lo - 1)) || hi : hi & (hi - 1); }
    // Lowest and highest square; the board must not be empty.
    Sq lsb() const { return lo ? std::countr_zero(lo) : 63 + std::countr_zero(hi); }
    Sq msb() const { return hi ? 63 + 63 - std::countl_zero(hi) : 63 - std::countl_zero(lo); }
    Sq popLsb() {
        Sq s;
        if (lo) {
            s = std::countr_zero(lo);
            lo &= lo - 1;
        } else {
            s = 63 + std::countr_zero(hi);
            hi &= hi - 1;
        }
        return s;
    }

    Bitboard operator~() const { return {~lo & kLoMask, ~hi & kHiMask}; }
    Bitboard operator&(const Bitboard& o) const { return {lo & o.lo, hi & o.hi}; }
    Bitboard operator|(const Bitboard& o) const { return {lo | o.lo, hi | o.hi}; }
    Bitboard operator^(const Bitboard& o) const { return {lo ^ o.lo, hi ^ o.hi}; }
    Bitboard& operator&=(const Bitboard& o) { lo &= o.lo; hi &= o.hi; return *this; }
    Bitboard& operator|=(const Bitboard& o) { lo |= o.lo; hi |= o.hi; return *this; }
    Bitboard& operator^=(const Bitboard& o) { lo ^= o.lo; hi ^= o.hi; return *this; }
    friend bool operator==(const Bitboard&, const Bitboard&) = default;

    static constexpr std::uint64_t kLoMask = (std::uint64_t{1} << 63) - 1;
    static constexpr std::uint64_t kHiMask = (std::uint64_t{1} << 18) - 1;
};

// The eight directions, as (file step, rank step); rank step -1 is toward rank 1 (sente's
// forward). Directions 0-3 are orthogonal, 4-7 diagonal, and d ^ 1 is the opposite of d.
inline constexpr int kDirFile[8] = {0, 0, 1, -1, 1, -1, 1, -1};
inline constexpr int kDirRank[8] = {-1, 1, 0, 0, -1, 1, 1, -1};

struct AttackTables {
    Bitboard step[2][pt::kTypeCount][kSquareCount];  // non-sliding moves by colour and type
    Bitboard ray[8][kSquareCount];                   // empty-board ray, square itself excluded
    Bitboard rookPseudo[kSquareCount];               // the four orthogonal rays together
    Bitboard bishopPseudo[kSquareCount];             // the four diagonal rays together
    Bitboard between[kSquareCount][kSquareCount];    // squares strictly between two aligned squares
    Bitboard line[kSquareCount][kSquareCount];       // the whole line through two aligned squares
    std::uint64_t zobrist[32][kSquareCount];          // by piece (type | colour << 4) and square
    std::uint64_t sideKey;
};

// Built once at start-up and never changed afterwards.
extern const AttackTables& kTables;

inline Bitboard RayAttack(int dir, Sq s, const Bitboard& occ) {
    Bitboard r = kTables.ray[dir][s];
    Bitboard blockers = r & occ;
    if (blockers.any()) {
        // Index steps file * 9 + rank: positive directions meet their first blocker lowest.
        bool positive = kDirFile[dir] * 9 + kDirRank[dir] > 0;
        r ^= kTables.ray[dir][positive ? blockers.lsb() : blockers.msb()];
    }
    return r;
}

inline Bitboard LanceAttack(Color c, Sq s, const Bitboard& occ) {
    return RayAttack(c == kSente ? 0 : 1, s, occ);
}
inline Bitboard BishopAttack(Sq s, const Bitboard& occ) {
    return RayAttack(4, s, occ) | RayAttack(5, s, occ) | RayAttack(6, s, occ) | RayAttack(7, s, occ);
}
inline Bitboard RookAttack(Sq s, const Bitboard& occ) {
    return RayAttack(0, s, occ) | RayAttack(1, s, occ) | RayAttack(2, s, occ) | RayAttack(3, s, occ);
}
inline Bitboard KingStep(Sq s) { return kTables.step[0][pt::kKing][s]; }

// Squares a piece of colour c and the given type standing on s attacks.
inline Bitboard PieceAttack(Color c, int type, Sq s, const Bitboard& occ) {
    switch (type) {
    case pt::kLance: return LanceAttack(c, s, occ);
    case pt::kBishop: return BishopAttack(s, occ);
    case pt::kRook: return RookAttack(s, occ);
    case pt::kHorse: return BishopAttack(s, occ) | KingStep(s);
    case pt::kDragon: return RookAttack(s, occ) | KingStep(s);
    default: return kTables.step[c][type][s];
    }
}

}  // namespace movra::mate
