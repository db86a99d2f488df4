// The engine's 100-byte position, the result numbers and the library entry.
#include <gtest/gtest.h>

#include "core/matesearch/engine_entry.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {

BoardPosition FromSfen(std::string_view sfen) {
    std::optional<SfenPosition> p = ParseSfen(sfen);
    EXPECT_TRUE(p.has_value()) << sfen;
    return p ? p->position : BoardPosition{};
}

TEST(EnginePosition, LaysOutSquaresHandsAndKings) {
    // Sente: king 5i, promoted rook 2b, pawns in hand; gote: king 1a, horse 9i, lance in hand.
    EnginePosition e = MakeEnginePosition(FromSfen("8k/7+R1/9/9/9/9/9/9/+b3K4 b 3Pl 1"));
    EXPECT_EQ(e[0], 0);
    EXPECT_EQ(e[EngineSquare(1, 1)], -8);    // gote's king
    EXPECT_EQ(e[EngineSquare(2, 2)], 15);    // sente's dragon
    EXPECT_EQ(e[EngineSquare(9, 9)], -14);   // gote's horse
    EXPECT_EQ(e[EngineSquare(5, 9)], 8);
    EXPECT_EQ(EngineSquare(1, 1), 1);
    EXPECT_EQ(EngineSquare(9, 9), 81);
    EXPECT_EQ(EngineSquare(2, 1), 2) << "offsets run along a rank";
    EXPECT_EQ(e[83], 3);  // sente's pawns
    EXPECT_EQ(e[92], 1);  // gote's lance
    for (int i : {82, 90}) EXPECT_EQ(e[i], 0);
    EXPECT_EQ(std::uint8_t(e[98]), EngineSquare(5, 9));
    EXPECT_EQ(std::uint8_t(e[99]), EngineSquare(1, 1));
    int pieces = 0;
    for (int i = 1; i <= 81; ++i) pieces += e[i] != 0;
    EXPECT_EQ(pieces, 4);
}

TEST(EnginePosition, KingOffTheBoardIs255) {
    EnginePosition e = MakeEnginePosition(FromSfen("8k/9/9/9/9/9/9/9/9 b G 1"));
    EXPECT_EQ(std::uint8_t(e[98]), 255);
    EXPECT_EQ(std::uint8_t(e[99]), 1);
}

TEST(EnginePosition, RefusesBytesThatAreNoPosition) {
    EnginePosition e = MakeEnginePosition(FromSfen("4k4/9/9/9/9/9/9/9/4K4 b G 1"));
    EXPECT_TRUE(SolverPositionFromEngine(e.data(), 0).has_value());
    EXPECT_FALSE(SolverPositionFromEngine(e.data(), 2).has_value()) << "side 0 or 1 only";
    EnginePosition bad = e;
    bad[EngineSquare(3, 3)] = 13;  // no piece has number 13
    EXPECT_FALSE(SolverPositionFromEngine(bad.data(), 0).has_value());
    bad = e;
    bad[EngineSquare(3, 3)] = -16;
    EXPECT_FALSE(SolverPositionFromEngine(bad.data(), 0).has_value());
    bad = e;
    bad[kEngineHandOffset[0] + 4] = 4;  // all four golds of a set in sente's hand
    EXPECT_TRUE(SolverPositionFromEngine(bad.data(), 0).has_value());
    bad[kEngineHandOffset[1] + 4] = 1;  // and a fifth in gote's
    EXPECT_FALSE(SolverPositionFromEngine(bad.data(), 0).has_value());
    bad = e;
    bad[EngineSquare(1, 1)] = 8;  // a second sente king
    EXPECT_FALSE(SolverPositionFromEngine(bad.data(), 0).has_value());
    bad = e;
    bad[kEngineHandOffset[0]] = -1;
    EXPECT_FALSE(SolverPositionFromEngine(bad.data(), 0).has_value());
}

TEST(EngineMove, BuildsMoveCodes) {
    EXPECT_EQ(EngineMoveCode(EngineSquare(7, 7), EngineSquare(7, 6), 0)->str(), "7776 ");
    EXPECT_EQ(EngineMoveCode(EngineSquare(2, 8), EngineSquare(2, 2), 1)->str(), "2822+");
    EXPECT_EQ(EngineMoveCode(kEngineDropBase + 5, EngineSquare(5, 2), 0)->str(), "0552 ");
    EXPECT_EQ(EngineMoveCode(1, 81, 0)->str(), "1199 ");
    EXPECT_FALSE(EngineMoveCode(0, 5, 0));
    EXPECT_FALSE(EngineMoveCode(82, 5, 0));
    EXPECT_FALSE(EngineMoveCode(kEngineDropBase, 5, 0));
    EXPECT_FALSE(EngineMoveCode(kEngineDropBase + 8, 5, 0)) << "kings are not dropped";
    EXPECT_FALSE(EngineMoveCode(5, 0, 0));
    EXPECT_FALSE(EngineMoveCode(5, 82, 0));
}

TEST(EngineEntry, PlovaHAnswersThroughTheResultArrays) {
    // Sente mates with the gold drop on 5b (the pawn on 5c protects it).
    EnginePosition e = MakeEnginePosition(FromSfen("4k4/9/4P4/9/9/9/9/9/4K4 b G 1"));
    std::vector<int> from(kEngineResultLength), to(kEngineResultLength), promotion(kEngineResultLength);
    ASSERT_NE(plova_h(e.data(), 0, 1, from.data(), to.data(), promotion.data()), 0);
    EXPECT_EQ(from[0], kEngineDropBase + 5);
    EXPECT_EQ(to[0], EngineSquare(5, 2));
    EXPECT_EQ(promotion[0], 0);
    // Gote, attacking sente's king from the other side of the board.
    EnginePosition g = MakeEnginePosition(FromSfen("4k4/9/9/9/9/9/4p4/9/4K4 w g 1"));
    ASSERT_NE(plova_h(g.data(), 1, 3, from.data(), to.data(), promotion.data()), 0);
    EXPECT_EQ(EngineMoveCode(from[0], to[0], promotion[0])->str(), "0558 ");
    // No mate in one for gote in the first position (gote has nothing to check with).
    EXPECT_EQ(plova_h(e.data(), 1, 5, from.data(), to.data(), promotion.data()), 0);
}

TEST(EngineEntry, BuiltInEngineKeepsItsTableAcrossDepths) {
    EnginePosition e = MakeEnginePosition(FromSfen("8k/9/6NG1/9/8S/9/9/9/K7L b p 1"));
    BuiltInMateEngine engine(4);
    int from = 0, to = 0, promotion = 0;
    EXPECT_EQ(engine.Call(e.data(), 0, 1, &from, &to, &promotion), 0);
    EXPECT_FALSE(engine.ProvedNoMateAtAll());
    EXPECT_EQ(engine.Call(e.data(), 0, 3, &from, &to, &promotion), 1);
    EXPECT_EQ(engine.lastResult().plies, 3);
    EXPECT_EQ(EngineMoveCode(from, to, promotion)->str().substr(0, 2), "15") << "the silver leaves 1e";
    EnginePosition bare = MakeEnginePosition(FromSfen("4k4/9/9/9/9/9/9/9/4K4 b - 1"));
    EXPECT_EQ(engine.Call(bare.data(), 0, 7, &from, &to, &promotion), 0);
    EXPECT_TRUE(engine.ProvedNoMateAtAll()) << "no check at all";
}

TEST(EngineEntry, MissingLibraryOrEntryLoadsNothing) {
    EXPECT_EQ(LibraryMateEngine::Load("/nonexistent/GRIPA01.so"), nullptr);
    EXPECT_EQ(LoadMateEngine("/nonexistent/GRIPA01.so", 1, nullptr), nullptr);
    // A real library without the entry.
    EXPECT_EQ(LibraryMateEngine::Load("libm.so.6"), nullptr);
    EXPECT_NE(LoadMateEngine("", 1, nullptr), nullptr) << "no name: the built-in solver";
}

}  // namespace
}  // namespace movra
