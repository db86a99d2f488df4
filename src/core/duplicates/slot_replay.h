#pragma once
// Replaying the stored slots of a game without the rules, fast enough to be done for every game
// of a million-game store: the checks for copies and for unusual games only need the position
// the bytes lead to, not the notation.
//
// The slot bytes are read exactly as DecodeSlot (store/layout.h) reads them, but the position is
// kept with what the checks ask after every move: a Zobrist key of board and hands, and how
// many squares of each file are occupied.
#include <array>
#include <cstdint>

#include "core/rules/piece.h"
#include "core/rules/position.h"
#include "core/store/layout.h"

namespace movra {

// The 100 bytes that stand for a position: the 82-byte board of the game record (indexed by
// BoardIndex; byte 0 is no square), sente's 9 hand counts, gote's 9 hand counts (by kind 0-8).
inline constexpr std::size_t kPositionBytes = 100;
using PositionBytes = std::array<std::uint8_t, kPositionBytes>;

namespace slot_replay_detail {

constexpr std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// One random number per (square, piece code), code 0 (an empty square) contributing nothing,
// and one per (side, kind) added once for every piece held.
struct ZobristTables {
    std::uint64_t square[82][29]{};
    std::uint64_t hand[2][9]{};
};

constexpr ZobristTables MakeZobrist() {
    ZobristTables t;
    std::uint64_t state = 0x4D6F7672614B6579ull;
    for (auto& sq : t.square) {
        for (int c = 1; c < 29; ++c) sq[c] = SplitMix(state);
    }
    for (auto& side : t.hand) {
        for (auto& k : side) k = SplitMix(state);
    }
    return t;
}
inline constexpr ZobristTables kZobrist = MakeZobrist();

// The kind a captured piece is held as and whether a code can promote, by piece code 0-28
// (the numbering of rules/piece.h: 歩 と 香 成香 桂 成桂 銀 成銀 金 角 馬 飛 龍 玉, gote + 14),
// and the file of each square code. The replay test holds them to KindOf and IsPromotable.
struct CodeTables {
    std::uint8_t kind[29]{};
    bool promotable[29]{};
    std::uint8_t file[82]{};
    std::uint8_t codeOfKind[9]{};  // the sente code a dropped kind is put down as
};
constexpr CodeTables MakeCodeTables() {
    constexpr std::uint8_t kinds[15] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 7, 8};
    constexpr bool promotable[15] = {false, true, false, true, false, true, false, true,
                                     false, false, true, false, true, false, false};
    CodeTables t;
    for (int c = 1; c < 29; ++c) {
        const int own = c > 14 ? c - 14 : c;
        t.kind[c] = kinds[own];
        t.promotable[c] = promotable[own];
    }
    for (int sq = 1; sq < 82; ++sq) t.file[sq] = std::uint8_t(FileOfSquareCode(sq));
    constexpr std::uint8_t codes[9] = {0, 1, 3, 5, 7, 9, 10, 12, 14};
    for (int k = 0; k < 9; ++k) t.codeOfKind[k] = codes[k];
    return t;
}
inline constexpr CodeTables kCodes = MakeCodeTables();

}  // namespace slot_replay_detail

class SlotReplay {
public:
    // The starting position of the handicap (0-14; any other number gives the even game).
    void SetUp(int handicapNumber);

    // Applies one slot for `side` (side::kSente for odd slots, side::kGote for even ones).
    // False, with nothing changed, for bytes DecodeSlot refuses.
    bool Apply(int side, std::uint8_t destinationByte, std::uint8_t originByte);

    // Replays slots 1-256 of a game-data record from the handicap's starting position, stopping at
    // the first slot whose destination byte is 0 or whose bytes are no move. `afterMove` is
    // called after each move with its number (1, 2, ...) and returns false to stop. Returns the
    // number of moves applied.
    template <typename AfterMove>
    int Run(const std::uint8_t* record, int handicapNumber, AfterMove afterMove) {
        SetUp(handicapNumber);
        int moves = 0;
        for (int slot = FirstMoveSlot(handicapNumber); slot <= kSlotsPerRecord; ++slot) {
            const std::uint8_t* at = record + (slot - 1) * 2;
            if (at[0] == 0) break;
            if (!Apply((slot & 1) ? 1 : 2, at[0], at[1])) break;
            ++moves;
            if (!afterMove(moves)) break;
        }
        return moves;
    }
    int Run(const std::uint8_t* record, int handicapNumber) {
        return Run(record, handicapNumber, [](int) { return true; });
    }

    // The Zobrist key of board and hands; equal positions have equal keys.
    std::uint64_t key() const { return key_; }
    // Whether all nine squares of the file of the last destination are occupied: the only file
    // a move can fill.
    bool lastFileFull() const { return fileCount_[std::size_t(lastFile_)] == 9; }
    // How many pieces of a kind (0-8) a side (1 sente, 2 gote) holds.
    int held(int side, int kind) const { return hands_[std::size_t(side - 1)][std::size_t(kind)]; }
    // Piece code on a square code (rank - 1) × 9 + file, 1-81.
    std::uint8_t at(int squareCode) const { return board_[std::size_t(squareCode)]; }

    PositionBytes Bytes() const;

private:
    void Put(int square, std::uint8_t code);
    void AddToHand(int side, int kind);

    std::array<std::uint8_t, 82> board_{};                // by square code
    std::array<std::array<std::uint8_t, 9>, 2> hands_{};
    std::array<std::uint8_t, 10> fileCount_{};
    int lastFile_ = 0;
    std::uint64_t key_ = 0;
};

// The hot path of every check, kept here so that it inlines into the replay loops.
inline void SlotReplay::Put(int square, std::uint8_t code) {
    std::uint8_t& there = board_[std::size_t(square)];
    const int file = slot_replay_detail::kCodes.file[square];
    key_ ^= slot_replay_detail::kZobrist.square[square][there] ^ slot_replay_detail::kZobrist.square[square][code];
    fileCount_[std::size_t(file)] = std::uint8_t(fileCount_[std::size_t(file)] - (there != 0) + (code != 0));
    there = code;
}

inline void SlotReplay::AddToHand(int side, int kind) {
    std::uint8_t& count = hands_[std::size_t(side - 1)][std::size_t(kind)];
    if (count < 255) {
        ++count;
        key_ += slot_replay_detail::kZobrist.hand[side - 1][kind];
    }
}

inline bool SlotReplay::Apply(int side, std::uint8_t destinationByte, std::uint8_t originByte) {
    int destination = destinationByte;
    bool promotes = false;
    if (destination > kPromotionAdd) {
        destination -= kPromotionAdd;
        promotes = true;
    }
    if (destination < 1 || destination > 81) return false;
    const slot_replay_detail::CodeTables& codes = slot_replay_detail::kCodes;

    if (originByte >= 1 && originByte <= 81) {
        if (originByte == destination) return false;
        std::uint8_t moving = board_[originByte];
        const std::uint8_t taken = board_[std::size_t(destination)];
        if (taken != 0) AddToHand(side, codes.kind[taken]);
        if (promotes && codes.promotable[moving]) ++moving;  // the promoted form follows its piece
        Put(originByte, 0);
        Put(destination, moving);
        lastFile_ = codes.file[destination];
        return true;
    }
    if (originByte <= kDropOriginBase || promotes) return false;
    if (board_[std::size_t(destination)] != 0) return false;
    // The hand is listed 飛 角 金 銀 桂 香 歩, each kind as often as it is held.
    int n = originByte - kDropOriginBase;
    auto& hand = hands_[std::size_t(side - 1)];
    for (int k = kind::Hi; k >= kind::Fu; --k) {
        if (n <= hand[std::size_t(k)]) {
            --hand[std::size_t(k)];
            key_ -= slot_replay_detail::kZobrist.hand[side - 1][k];
            PieceCode code = codes.codeOfKind[k];
            if (side == side::kGote) code = PieceCode(code + piece::kGoteOffset);
            Put(destination, code);
            lastFile_ = codes.file[destination];
            return true;
        }
        n -= hand[std::size_t(k)];
    }
    return false;
}

}  // namespace movra
