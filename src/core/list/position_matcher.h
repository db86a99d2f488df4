#pragma once
// The position test of the game search: replays a stored game from its handicap's starting
// position and finds the first position that matches the pattern.
//
// A position matches when every square the pattern holds a piece on holds exactly that piece
// code in the game (empty pattern squares are not compared) and each side holds at least the
// pattern's pieces of each kind in hand. The colour-reversed test (PositionMode::SameOrReversed)
// turns the pattern round: the game's square 82 − s must hold the piece of the same kind of the
// other side, and the hands are compared crosswise.
//
// The position is tested on the starting position and after each move slot s while s is at most
// the depth and at most 512 and the slot is not empty. The hit is the number of the last slot
// applied when the first match occurs: 0 for the starting position of an even game, 1 for that of
// a handicap game (whose slot 1 is the placeholder), otherwise the slot number (the move number,
// plus one in a handicap game); −1 when nothing matches.
//
// The replay decodes the move bytes straight into a compact board (one byte a square by store
// square code, the hands as packed counts) and keeps, move by move, how many pattern squares
// disagree with the game: a move changes two squares, so testing a position costs a comparison
// of that count and of the packed hands, whatever the pattern holds. Its answers are those of
// loading the game through the rules (DecodeMoveBytes, ResolveMove, ApplyMove): a stored game
// stops where loading it would stop, and a game whose bytes make the rules do something a legal
// game never does (promoting a piece that cannot promote, taking a piece of the mover's own
// colour, a handicap number outside 0-14) is replayed through the rules themselves.
#include <array>
#include <cstdint>

#include "core/list/search_conditions.h"
#include "core/rules/position.h"
#include "core/store/layout.h"

namespace movra {

class PositionMatcher {
public:
    // `depth` in move slots (SearchDepth); the mode must not be PositionMode::None.
    PositionMatcher(const SearchPattern& pattern, PositionMode mode, int depth);

    // The hit of a stored game: `slots` are its 512 bytes of slots 1-256, `overflowSlots` the
    // 512 bytes of slots 257-512, or null when it has none (slots past 256 are then empty).
    int Scan(const std::uint8_t* slots, const std::uint8_t* overflowSlots,
             int handicapNumber) const;
    int Scan(const MoveBytes& moves, int handicapNumber) const {
        return Scan(moves.firstRecord(), moves.overflowRecord(), handicapNumber);
    }

    // The same answer through the game rules: the moves decoded, resolved and applied to a
    // BoardPosition one by one, every position compared square by square.
    int ScanByRules(const std::uint8_t* slots, const std::uint8_t* overflowSlots,
                    int handicapNumber) const;

    // Whether a position (board by BoardIndex, the two hands) matches the pattern, in the same
    // or, when the mode allows it, the colour-reversed form.
    bool Matches(const Board& board, const HandCounts& senteHand,
                 const HandCounts& goteHand) const;

    int depth() const { return depth_; }
    PositionMode mode() const { return mode_; }

private:
    // A starting position prepared for the replay.
    struct Start {
        std::array<std::uint8_t, kBoardSize> board{};  // by store square code
        std::uint64_t senteHand = 0;                   // packed: byte kind − 1
        std::uint64_t goteHand = 0;
        std::uint32_t disagreement = 0;                // sum of cost_ over the board
    };
    bool HandsMatch(std::uint32_t disagreement, std::uint64_t senteHand,
                    std::uint64_t goteHand) const;

    // What a piece code on a square adds to the disagreement: 1 when the pattern holds another
    // piece there, plus 256 when the reversed pattern does. Its low byte therefore counts the
    // pattern squares that disagree and its high byte the reversed pattern's (which starts at 1
    // and never changes when the reversed test is not asked for).
    std::array<std::array<std::uint16_t, 32>, kBoardSize> cost_{};
    std::uint64_t patternSente_ = 0;
    std::uint64_t patternGote_ = 0;
    SearchPattern source_;
    PositionMode mode_;
    int depth_;
    std::array<Start, kHandicapCount> starts_{};
};

}  // namespace movra
