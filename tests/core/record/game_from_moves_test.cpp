#include "core/record/game_from_moves.h"

#include <gtest/gtest.h>

#include "core/record/game_text.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(GameFromMoves, UsiAndMoveCodesFromAnyStart) {
    std::string error;
    const auto game = GameFromMoves("", 0, SplitMoves("7g7f, 3334 8h2b+"), &error);
    ASSERT_TRUE(game) << error;
    EXPECT_EQ(game->moveCount, 3);
    EXPECT_EQ(game->currentMove, 3);
    EXPECT_EQ(MoveListLines(*game)[2], "003  ▲２二角成"_sj);

    // 上手 moves first in a handicap game.
    const auto handicap = GameFromMoves("", 2, {"3c3d"}, &error);
    ASSERT_TRUE(handicap) << error;
    EXPECT_EQ(MoveListLines(*handicap)[0], "001  △３四歩"_sj);

    // Gote to move in the SFEN shifts the parity.
    const auto fromSfen = GameFromMoves("lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2",
                                        0, {"3c3d"}, &error);
    ASSERT_TRUE(fromSfen) << error;
    EXPECT_EQ(fromSfen->SideOf(1), 2);

    EXPECT_FALSE(GameFromMoves("", 0, {"7g7f", "7g7f"}, &error));
    EXPECT_NE(error.find("move 2"), std::string::npos);
    EXPECT_FALSE(GameFromMoves("", 15, {}, &error));
    EXPECT_FALSE(GameFromMoves("not a position", 0, {}, &error));
    EXPECT_FALSE(GameFromMoves("", 0, {"hello"}, &error));
}

}  // namespace
}  // namespace movra
