#include "core/duplicates/slot_replay.h"

#include "core/rules/piece.h"
#include "core/rules/position.h"

namespace movra {
namespace {

// The fifteen starting positions, made once.
struct Starts {
    SlotReplay replay[kHandicapCount];
};

}  // namespace

void SlotReplay::SetUp(int handicapNumber) {
    static const Starts starts = [] {
        Starts s;
        for (int h = 0; h < kHandicapCount; ++h) {
            SlotScratch scratch;
            scratch.SetUp(h);
            SlotReplay& r = s.replay[h];
            r = SlotReplay{};
            for (int sq = 1; sq <= 81; ++sq) r.Put(sq, scratch.board[std::size_t(sq)]);
            for (int side = 1; side <= 2; ++side) {
                for (int k = 0; k < 9; ++k) {
                    for (int n = 0; n < scratch.hands[std::size_t(side - 1)][std::size_t(k)]; ++n) r.AddToHand(side, k);
                }
            }
            r.lastFile_ = 0;
        }
        return s;
    }();
    *this = starts.replay[handicapNumber >= 0 && handicapNumber < kHandicapCount ? handicapNumber : 0];
}

PositionBytes SlotReplay::Bytes() const {
    PositionBytes out{};
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            out[std::size_t(BoardIndex(file, rank))] = board_[std::size_t(SquareCode(file, rank))];
        }
    }
    for (int k = 0; k < 9; ++k) {
        out[std::size_t(kBoardSize + k)] = hands_[0][std::size_t(k)];
        out[std::size_t(kBoardSize + 9 + k)] = hands_[1][std::size_t(k)];
    }
    return out;
}

}  // namespace movra
