#pragma once
// The position the opening explorer looks for: the board, both hands and the side to move, and
// its 64-bit Zobrist key.
//
// The board is kept by store square code ((rank − 1) × 9 + file), the numbering of the stored
// move bytes, so that a replay of the bytes never converts squares. The key is the exclusive or
// of one random word per (square, piece code), one per (side, kind, count in hand) and one for
// gote to move; the words come from a fixed generator, so keys written into an index file mean
// the same on every machine and in every run.
#include <array>
#include <cstdint>

#include "core/rules/position.h"

namespace movra {

struct ExplorerPosition {
    std::array<std::uint8_t, kBoardSize> squares{};  // by store square code 1-81; 0 is no square
    HandCounts senteHand{};                           // by kind 1-8
    HandCounts goteHand{};
    int sideToMove = side::kSente;

    // A position of the rules (its board by BoardIndex) with the side to move.
    static ExplorerPosition From(const BoardPosition& position, int sideToMove);
    friend bool operator==(const ExplorerPosition&, const ExplorerPosition&) = default;
};

// The random words. Hand words exist for counts 0-63; the word of count 0 is 0, so a kind not
// held adds nothing and a count changes the key by two words.
struct ZobristKeys {
    std::array<std::array<std::uint64_t, 32>, kBoardSize> square{};  // [square code][piece code]
    std::array<std::array<std::array<std::uint64_t, 64>, 9>, 2> hand{};  // [side − 1][kind][count]
    std::uint64_t goteToMove = 0;
};
const ZobristKeys& Zobrist();

std::uint64_t PositionKey(const ExplorerPosition& position);

}  // namespace movra
