#pragma once
// A stored game replayed straight from its move bytes, for the explorer's scan and for its index:
// the board by store square code, both hands and the position key, kept up to date move by move.
//
// A move is named by a MoveKey that does not depend on the hand order the stored drop numbers
// use: destination square code (bits 0-6), promotion (bit 7), origin square code 1-81 or 100 +
// kind for a drop (bits 8-15).
//
// Replaying stops at the first slot a loaded game would not get past either (an empty slot,
// bytes that are no move, no piece on the origin square, a drop of a kind not in hand or onto an
// occupied square) and also at moves a legal game never makes (a piece that cannot promote
// promoting, a side taking its own piece): the explorer counts a damaged game only as far as it
// is sound.
#include <array>
#include <cstdint>
#include <string>

#include "core/explorer/position_key.h"
#include "core/rules/move.h"

namespace movra {

using MoveKey = std::uint16_t;

// "7g7f", "P*5e", "8h2b+" of a move key; "" for key 0.
std::string MoveKeyToUsi(MoveKey key);
// The rules' move code of a move key (a drop as "0" + kind).
MoveCode MoveKeyToCode(MoveKey key);
// The move key of a move code; 0 when the code names no square.
MoveKey MoveKeyOf(const MoveCode& code);

class SlotReplay {
public:
    // The starting position of a handicap number 0-14 (false for another number). Without
    // `keyed` the position key is not kept (key() is then the starting position's).
    bool Start(int handicapNumber, bool keyed = true);

    // Applies the two bytes of the next slot. False (and nothing changed) where the replay stops.
    // `changed` receives the squares the move changed (the second 0 for a drop).
    bool Apply(std::uint8_t destinationByte, std::uint8_t originByte, MoveKey& key,
               std::array<std::uint8_t, 2>& changed);

    // The same for a move key (as Apply returned it for this position).
    bool ApplyKey(MoveKey key);

    const std::array<std::uint8_t, kBoardSize>& squares() const { return squares_; }
    std::uint8_t hand(int side, int kind) const { return hands_[std::size_t(side - 1)][std::size_t(kind)]; }
    int sideToMove() const { return sideToMove_; }
    std::uint64_t key() const { return key_; }  // kept only when started keyed
    // Whether the position equals `p` (board, hands and side to move).
    bool Equals(const ExplorerPosition& p) const;

private:
    std::array<std::uint8_t, kBoardSize> squares_{};
    std::array<std::array<std::uint8_t, 9>, 2> hands_{};  // [side − 1][kind]
    int sideToMove_ = side::kSente;
    std::uint64_t key_ = 0;
    bool keyed_ = true;
};

}  // namespace movra
