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

#include "core/store/layout.h"

namespace movra {

// The 100 bytes that stand for a position: the 82-byte board of the game record (indexed by
// BoardIndex; byte 0 is no square), sente's 9 hand counts, gote's 9 hand counts (by kind 0-8).
inline constexpr std::size_t kPositionBytes = 100;
using PositionBytes = std::array<std::uint8_t, kPositionBytes>;

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

}  // namespace movra
