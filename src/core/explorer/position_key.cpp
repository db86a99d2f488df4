#include "core/explorer/position_key.h"

#include "core/store/layout.h"

namespace movra {
namespace {

// splitmix64, the same words everywhere.
std::uint64_t NextWord(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

ZobristKeys MakeKeys() {
    ZobristKeys k;
    std::uint64_t state = 0x4D4F565241ull;  // "MOVRA"
    for (auto& square : k.square) {
        for (std::size_t code = 1; code < square.size(); ++code) square[code] = NextWord(state);
    }
    for (auto& side : k.hand) {
        for (auto& kind : side) {
            for (std::size_t count = 1; count < kind.size(); ++count) kind[count] = NextWord(state);
        }
    }
    k.goteToMove = NextWord(state);
    return k;
}

}  // namespace

const ZobristKeys& Zobrist() {
    static const ZobristKeys keys = MakeKeys();
    return keys;
}

ExplorerPosition ExplorerPosition::From(const BoardPosition& position, int sideToMove) {
    ExplorerPosition p;
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            p.squares[std::size_t(SquareCode(file, rank))] =
                position.board[std::size_t(BoardIndex(file, rank))];
        }
    }
    for (std::size_t k = 1; k <= 8; ++k) {
        p.senteHand[k] = position.senteHand[k];
        p.goteHand[k] = position.goteHand[k];
    }
    p.sideToMove = sideToMove == side::kGote ? side::kGote : side::kSente;
    return p;
}

std::uint64_t PositionKey(const ExplorerPosition& position) {
    const ZobristKeys& z = Zobrist();
    std::uint64_t key = 0;
    for (std::size_t s = 1; s < kBoardSize; ++s) key ^= z.square[s][position.squares[s] & 31];
    for (std::size_t k = 1; k <= 8; ++k) {
        key ^= z.hand[0][k][position.senteHand[k] & 63];
        key ^= z.hand[1][k][position.goteHand[k] & 63];
    }
    if (position.sideToMove == side::kGote) key ^= z.goteToMove;
    return key;
}

}  // namespace movra
