#include "core/viewing/replay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/viewing/board_mapping.h"
#include "core/viewing/display_texts.h"
#include "core/text/sjis_literal.h"
#include "core/record/game_text.h"

namespace movra {
namespace {

using namespace movra::literals;

// A 24-move 角換わり opening: the bishops are exchanged at moves 3 and 4.
const char* const kMoves[] = {"7776", "3334", "8822+", "3122", "7988", "2233", "8877", "7162",
                              "3948", "5354", "2726", "5142", "2625", "6364", "4746", "6263",
                              "4847", "4132", "5968", "6152", "6878", "1314", "1716", "7374"};

TKifData MakeGame(int moves = 24) {
    TKifData record;
    record.ResetHeader(0);
    record.SetUpStandard();
    for (int i = 0; i < moves; ++i) {
        EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(kMoves[i]))) << kMoves[i];
    }
    record.endCode = '1';
    return record;
}

// The position of the game after n moves, replayed on its own.
BoardPosition PositionAfter(const TKifData& game, int n) {
    TKifData copy = game;
    copy.GoToMove(n);
    return copy.position;
}

class ReplayTest : public ::testing::Test {
protected:
    void Start(ListStyle style, int moves = 24) {
        record_ = MakeGame(moves);
        replay_.SetStyle(style);
        replay_.TakeOver(MoveListLines(record_), true);
    }
    TKifData record_;
    GameReplay replay_{record_};
};

TEST_F(ReplayTest, ToTheEndAndBackMatchesTheGameAtEveryStep) {
    Start(ListStyle::WholeGame);
    const TKifData reference = record_;
    ASSERT_EQ(replay_.currentMove(), 0);
    EXPECT_EQ(record_.position, PositionAfter(reference, 0));
    EXPECT_EQ(replay_.visibleList().size(), 25u);
    for (int n = 1; n <= 24; ++n) {
        const ReplayStep step = replay_.Forward();
        ASSERT_TRUE(step.moved);
        EXPECT_EQ(step.moveNumber, n);
        EXPECT_EQ(record_.position, PositionAfter(reference, n)) << n;
        EXPECT_EQ(replay_.selection(), n - 1);
        ASSERT_TRUE(replay_.framedSquare().has_value());
        EXPECT_EQ(replay_.framedSquare()->file, reference.moves[n].toFile);
        EXPECT_EQ(replay_.framedSquare()->rank, reference.moves[n].toRank);
    }
    // Each side holds the other's bishop.
    EXPECT_EQ(record_.position.senteHand[kind::Kaku], 1);
    EXPECT_EQ(record_.position.goteHand[kind::Kaku], 1);
    EXPECT_EQ(replay_.visibleList()[2], "003  ▲２二角成"_sj);
    EXPECT_EQ(replay_.visibleList()[3], "004  △同　銀"_sj);

    // Forward from the last move: the closing line, nothing moves.
    ReplayStep end = replay_.Forward();
    EXPECT_FALSE(end.moved);
    EXPECT_TRUE(end.reachedEnd);
    EXPECT_TRUE(replay_.closingLineSelected());
    EXPECT_EQ(replay_.visibleList()[replay_.selection()], "24手まで先手勝ち"_sj);
    EXPECT_EQ(replay_.timeMove(), 25);
    // Back from the closing line only moves the selection.
    EXPECT_FALSE(replay_.Back().moved);
    EXPECT_EQ(replay_.currentMove(), 24);
    EXPECT_EQ(replay_.selection(), 23);

    for (int n = 23; n >= 0; --n) {
        ASSERT_TRUE(replay_.Back().moved);
        EXPECT_EQ(record_.position, PositionAfter(reference, n)) << n;
        EXPECT_EQ(replay_.selection(), n - 1);
    }
    EXPECT_FALSE(replay_.framedSquare().has_value());
    EXPECT_FALSE(replay_.Back().moved);
    EXPECT_EQ(replay_.currentMove(), 0);
}

TEST_F(ReplayTest, MoveByMoveShowsOnlyTheLinesUpToTheCurrentMove) {
    Start(ListStyle::MoveByMove);
    EXPECT_TRUE(replay_.visibleList().empty());
    replay_.Forward();
    replay_.Forward();
    ASSERT_EQ(replay_.visibleList().size(), 2u);
    EXPECT_EQ(replay_.visibleList()[1], replay_.fullList()[1]);

    for (int i = 0; i < 3; ++i) replay_.Forward();
    ASSERT_EQ(replay_.visibleList().size(), 5u);
    replay_.JumpTo(2);
    EXPECT_EQ(replay_.visibleList().size(), 2u);
    EXPECT_EQ(replay_.selection(), 1);
    EXPECT_EQ(record_.position, PositionAfter(record_, 2));

    // Back and forward again never shows a line twice.
    replay_.Back();
    replay_.Forward();
    replay_.Forward();
    ASSERT_EQ(replay_.visibleList().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(replay_.visibleList()[i], replay_.fullList()[i]);

    // At the end the closing line is appended and selected; back from it keeps it until the
    // move before is taken back.
    replay_.JumpTo(3);
    while (replay_.Forward().moved) {
    }
    ASSERT_EQ(replay_.visibleList().size(), 25u);
    EXPECT_TRUE(replay_.closingLineSelected());
    replay_.Back();
    EXPECT_EQ(replay_.visibleList().size(), 25u);
    replay_.Back();
    EXPECT_EQ(replay_.visibleList().size(), 23u);

    replay_.ToStart();
    EXPECT_TRUE(replay_.visibleList().empty());
    EXPECT_EQ(replay_.selection(), -1);
}

TEST_F(ReplayTest, OtherStoreKindsGetNoClosingLineMoveByMove) {
    record_ = MakeGame(3);
    replay_.SetStyle(ListStyle::MoveByMove);
    replay_.TakeOver(MoveListLines(record_), false);
    for (int i = 0; i < 4; ++i) replay_.Forward();
    EXPECT_EQ(replay_.visibleList().size(), 3u);
    EXPECT_EQ(replay_.selection(), 2);
    EXPECT_EQ(replay_.timeMove(), 4);
}

TEST_F(ReplayTest, StyleSwitchKeepsThePosition) {
    Start(ListStyle::WholeGame);
    replay_.JumpTo(10);
    replay_.SetStyle(ListStyle::MoveByMove);
    EXPECT_EQ(replay_.visibleList().size(), 10u);
    EXPECT_EQ(replay_.selection(), 9);
    replay_.SetStyle(ListStyle::WholeGame);
    EXPECT_EQ(replay_.visibleList().size(), 25u);
    EXPECT_EQ(replay_.currentMove(), 10);
    // Switching on the closing line keeps it.
    replay_.JumpTo(25);
    replay_.SetStyle(ListStyle::MoveByMove);
    EXPECT_EQ(replay_.visibleList().size(), 25u);
    EXPECT_TRUE(replay_.closingLineSelected());
}

TEST_F(ReplayTest, JumpsAreClampedAndEndSelectsTheLastLine) {
    Start(ListStyle::WholeGame);
    replay_.JumpTo(400);
    EXPECT_EQ(replay_.currentMove(), 24);
    EXPECT_TRUE(replay_.closingLineSelected());
    replay_.JumpTo(-3);
    EXPECT_EQ(replay_.currentMove(), 0);
    EXPECT_EQ(replay_.selection(), -1);
    replay_.ToEnd();
    EXPECT_TRUE(replay_.closingLineSelected());
    EXPECT_EQ(record_.position, PositionAfter(record_, 24));
}

TEST_F(ReplayTest, ListScrollsOncePastMoveTen) {
    Start(ListStyle::WholeGame);
    for (int i = 0; i < 10; ++i) replay_.Forward();
    EXPECT_EQ(replay_.topLine(), 0);
    replay_.Forward();  // move 11: selection 10 is more than 7 below the top
    EXPECT_EQ(replay_.topLine(), 2);
    replay_.Forward();
    EXPECT_EQ(replay_.topLine(), 3);
    replay_.ToStart();
    EXPECT_EQ(replay_.topLine(), 0);
}

TEST_F(ReplayTest, EmptyGameDoesNothing) {
    record_ = TKifData{};
    record_.ResetHeader(0);
    record_.SetUpStandard();
    replay_.TakeOver(MoveListLines(record_), true);
    ASSERT_EQ(replay_.fullList().size(), 1u);
    EXPECT_EQ(replay_.fullList()[0], "0手まで"_sj);
    EXPECT_FALSE(replay_.Forward().moved);
    EXPECT_FALSE(replay_.Forward().reachedEnd);
    EXPECT_FALSE(replay_.Back().moved);
    EXPECT_EQ(replay_.selection(), -1);
}

TEST(BoardMapping, TurningMirrorsSquaresAndSwapsPictures) {
    EXPECT_EQ(CellOfSquare(9, 1, false), (BoardCell{0, 0}));
    EXPECT_EQ(CellOfSquare(1, 9, false), (BoardCell{8, 8}));
    EXPECT_EQ(CellOfSquare(7, 7, false), (BoardCell{2, 6}));
    EXPECT_EQ(CellOfSquare(9, 1, true), (BoardCell{8, 8}));
    EXPECT_EQ(CellOfSquare(7, 7, true), (BoardCell{6, 2}));
    for (int f = 1; f <= 9; ++f) {
        for (int r = 1; r <= 9; ++r) {
            for (bool turned : {false, true}) {
                const BoardCell c = CellOfSquare(f, r, turned);
                EXPECT_EQ(SquareOfCell(c.column, c.row, turned), (Square{std::uint8_t(f), std::uint8_t(r)}));
                // The turned board shows each square where the unturned one shows its mirror.
                const BoardCell mirrored = CellOfSquare(10 - f, 10 - r, !turned);
                EXPECT_EQ(c, mirrored);
            }
        }
    }
    EXPECT_EQ(PictureNumber(0, true), 0);
    EXPECT_EQ(PictureNumber(piece::Fu, false), 1);
    EXPECT_EQ(PictureNumber(piece::Fu, true), 15);
    EXPECT_EQ(PictureNumber(piece::Ryu + 14, true), piece::Ryu);
    EXPECT_EQ(PictureNumber(piece::Gyoku, true), 30);
    EXPECT_EQ(PictureNumber(piece::Gyoku + 14, true), 29);
    for (int code = 1; code <= 27; ++code) {
        if (code == piece::Gyoku) continue;
        // Turning twice gives the piece its own picture back.
        EXPECT_EQ(PictureNumber(static_cast<PieceCode>(PictureNumber(code, true)), true), code);
    }
}

TEST(DisplayTexts, ConsumedMinutesInTheMoveList) {
    const std::string line = "001  ▲７六歩"_sj;
    EXPECT_EQ(MoveListText(line, false, true, 1, 600), line);
    EXPECT_EQ(MoveListText(line, true, false, 1, 600), line);
    EXPECT_EQ(MoveListText(line, true, true, 1, 59), line + "  ");
    EXPECT_EQ(MoveListText(line, true, true, 1, 60), line + "    1");
    EXPECT_EQ(MoveListText(line, true, true, 1, 59939), line + "  998");
    EXPECT_EQ(MoveListText(line, true, true, 1, 59940), line + "  ");
    // 17 bytes: cut to 15 at a character boundary.
    const std::string longLine = "055  ▲５七銀右成"_sj;
    EXPECT_EQ(MoveListText(longLine, true, true, 55, 120), "055  ▲５七銀右"_sj + "  2");
    // The closing line: cut without splitting 勝, no minutes.
    EXPECT_EQ(MoveListText("95手まで先手勝ち"_sj, true, true, 0, 600), "95手まで先手勝"_sj + " ");
}

TEST(DisplayTexts, TimePanelSumsEachSide) {
    TKifData record = MakeGame(4);
    record.moves[1].consumedTime = 60;
    record.moves[2].consumedTime = 120;
    record.moves[3].consumedTime = 3600;
    record.moves[4].consumedTime = 59940;  // unknown: not counted
    record.moves[5].consumedTime = 30;     // the final time entry, counted as move 5
    EXPECT_EQ(TimeDisplayText(record, 0, {}), "");
    EXPECT_EQ(TimeDisplayText(record, 3, {}), " 消費時間： ▲  1時間  1分 ： △  0時間  2分"_sj);
    EXPECT_EQ(TimeDisplayText(record, 5, {}), " 消費時間： ▲  61分 30秒 ： △   2分  0秒"_sj);
    TimeDisplayOptions minutes;
    minutes.minutesOnly = true;
    EXPECT_EQ(TimeDisplayText(record, 5, minutes), " 消費時間： ▲  1時間  1分 ： △  0時間  2分"_sj);
    TimeDisplayOptions remaining;
    remaining.consumedView = false;
    remaining.senteAllotted = 2 * 3600;
    remaining.goteAllotted = 60;
    EXPECT_EQ(TimeDisplayText(record, 3, remaining), " 残り時間： ▲  0時間 59分 ： △  0時間  0分"_sj);
}

TEST(DisplayTexts, HandicapGamesCountTheFirstMoveForUwate) {
    TKifData record;
    record.ResetHeader(2);  // 角落ち: 上手 (gote) moves first
    record.SetUpStandard();
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("3334")));
    record.moves[1].consumedTime = 600;
    EXPECT_EQ(TimeDisplayText(record, 1, {}), " 消費時間： ▲  0時間  0分 ： △  0時間 10分"_sj);
}

TEST(DisplayTexts, StatusDateAndHeader) {
    EXPECT_EQ(EraStatusDate("2019年05月01日"_sj, false), "令和01年05月01日"_sj);
    EXPECT_EQ(EraStatusDate("1989年03月00日"_sj, false), "1989年03月00日"_sj);
    EXPECT_EQ(EraStatusDate("1989年03月00日"_sj, true), "平成01年03月01日"_sj);
    EXPECT_EQ(EraStatusDate("1989年00月00日"_sj, true), "昭和64年01月01日"_sj);
    EXPECT_EQ(EraStatusDate("不明"_sj, true), "不明"_sj);
    GameHeaderTexts t;
    t.dateText = "2024年04月10日"_sj;
    t.tournament = "名人戦"_sj;
    t.tournamentDetail = "七番勝負"_sj;
    t.gameNumber = "01";
    t.opening = "矢倉"_sj;
    EXPECT_EQ(StatusHeaderText(t, true, false), "2024年04月10日　名人戦 七番勝負　第01局　矢倉"_sj);
    t.gameNumber = "00";
    EXPECT_EQ(StatusHeaderText(t, false, false), "令和06年04月10日　名人戦 七番勝負　矢倉"_sj);
}

}  // namespace
}  // namespace movra
