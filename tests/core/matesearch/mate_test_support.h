#pragma once
// Positions for the mate-search tests: SFEN through the rules' reader and the engine position,
// the same road a position from the board takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/matesearch/engine_entry.h"
#include "core/matesearch/movegen.h"
#include "core/rules/sfen.h"

// How the tests name and check the solver's moves; the program itself never shows them.
namespace movra::mate {

// "7g7f", "2b3c+", "G*5b".
inline std::string MoveToUsi(Move m) {
    auto square = [](Sq s) {
        return std::string{char('0' + FileOf(s)), char('a' + RankOf(s) - 1)};
    };
    if (IsDrop(m)) {
        static constexpr char kLetters[] = " PLNSGBR";
        int kind = DropKind(m);
        char letter = kind >= 1 && kind <= 7 ? kLetters[kind] : '?';
        return std::string{letter, '*'} + square(MoveTo(m));
    }
    return square(MoveFrom(m)) + square(MoveTo(m)) + (IsPromotion(m) ? "+" : "");
}

// True when m is one of the legal moves of the side to move.
inline bool IsLegalMove(SolverPosition& pos, Move m) {
    std::vector<Move> moves;
    GenerateLegalMoves(pos, moves);
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

}  // namespace movra::mate

namespace movra::testing {

// The solver's position of an SFEN, with the SFEN's side to move.
inline mate::SolverPosition SolverFromSfen(std::string_view sfen) {
    std::string error;
    std::optional<SfenPosition> p = ParseSfen(sfen, &error);
    EXPECT_TRUE(p.has_value()) << sfen << ": " << error;
    if (!p) return {};
    std::optional<mate::SolverPosition> pos =
        SolverPositionFromEngine(MakeEnginePosition(p->position).data(), p->sideToMove - 1);
    EXPECT_TRUE(pos.has_value()) << sfen;
    return pos ? *pos : mate::SolverPosition{};
}

inline std::vector<std::string> UsiMoves(const std::vector<mate::Move>& moves) {
    std::vector<std::string> out;
    for (mate::Move m : moves) out.push_back(mate::MoveToUsi(m));
    std::sort(out.begin(), out.end());
    return out;
}

inline bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace movra::testing
