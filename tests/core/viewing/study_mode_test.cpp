#include "core/viewing/study_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/record/game_from_moves.h"
#include "core/text/sjis_literal.h"
#include "core/record/game_text.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;

// 20 quiet opening moves: sente's pawn stands on 2五 and gote's on 2三 from move 6 on.
constexpr char kMoves[] =
    "7g7f 3c3d 2g2f 8c8d 2f2e 8d8e 6i7h 4a3b 3i4h 7a6b "
    "9g9f 1c1d 4g4f 6a5b 4h4g 5a4a 5i6h 9c9d 3g3f 1d1e";

class StudyModeTest : public ::testing::TestWithParam<ListStyle> {
protected:
    void SetUp() override {
        std::string error;
        std::optional<TKifData> game = GameFromMoves("", 0, SplitMoves(kMoves), &error);
        ASSERT_TRUE(game.has_value()) << error;
        record_ = *game;
        record_.endCode = '1';
        record_.moves[5].consumedTime = 75;
        replay_.SetStyle(GetParam());
        replay_.TakeOver(MoveListLines(record_), true);
    }
    // A move by mouse: picked up and put down, then taken over by study mode.
    void Play(Square from, Square to) {
        ASSERT_EQ(entry_.PickUpFromBoard(from), PickUpResult::PickedUp);
        EnteredMove entered;
        ASSERT_EQ(entry_.Drop(to, &entered), DropResult::Entered);
        const ReplayStep step = study_.Accept(entered);
        ASSERT_TRUE(step.moved);
        EXPECT_EQ(step.moveNumber, entered.moveNumber);
        lines_.push_back(entered.line);
    }

    TKifData record_;
    GameReplay replay_{record_};
    testing::RecordingPrompter prompter_;
    MoveEntry entry_{record_, prompter_, [](PieceCode, PieceCode) { return false; }};
    StudyMode study_{record_, replay_};
    std::vector<std::string> lines_;
};

TEST_P(StudyModeTest, MovesBranchOffAndLeavingPutsTheGameBackExactly) {
    for (int i = 0; i < 10; ++i) replay_.Forward();
    const TKifData before = record_;
    const ReplayLists lists = replay_.SaveLists();
    const int total = record_.moveCount;

    study_.Enter();
    EXPECT_TRUE(study_.active());
    EXPECT_EQ(study_.startMove(), 10);
    EXPECT_EQ(record_.moveCount, 10);
    EXPECT_EQ(replay_.visibleList().size(), 10u);
    EXPECT_EQ(replay_.fullList().size(), 10u);
    // Forward at the end of the cut game applies nothing.
    EXPECT_FALSE(replay_.Forward().moved);

    // Move 11 is sente's: 2四歩 instead of the game's 9六歩; then gote takes.
    Play({2, 5}, {2, 4});
    Play({2, 3}, {2, 4});
    EXPECT_EQ(record_.moveCount, 12);
    EXPECT_EQ(record_.currentMove, 12);
    EXPECT_EQ(lines_[0], "011  ▲２四歩"_sj);
    EXPECT_EQ(lines_[1], "012  △同　歩"_sj);
    ASSERT_EQ(replay_.visibleList().size(), 12u);
    EXPECT_EQ(replay_.visibleList()[10], lines_[0]);
    EXPECT_EQ(replay_.visibleList()[11], lines_[1]);
    EXPECT_EQ(replay_.selection(), 11);
    EXPECT_EQ(record_.position.senteHand[kind::Fu], 0);
    EXPECT_EQ(record_.position.goteHand[kind::Fu], 1);
    EXPECT_EQ(record_.position.board[BoardIndex(2, 4)], piece::Fu + piece::kGoteOffset);
    EXPECT_EQ(record_.SlotCurrentMove(0), 12);

    // Stepping back removes the moves again, down to where study began and no further.
    ReplayStep back = study_.StepBack();
    EXPECT_TRUE(back.moved);
    EXPECT_EQ(record_.moveCount, 11);
    EXPECT_EQ(replay_.visibleList().size(), 11u);
    EXPECT_TRUE(study_.StepBack().moved);
    EXPECT_EQ(record_.moveCount, 10);
    EXPECT_EQ(record_.currentMove, 10);
    const BoardPosition atStart = record_.position;
    EXPECT_FALSE(study_.StepBack().moved);
    EXPECT_FALSE(study_.StepBack().moved);
    EXPECT_EQ(record_.currentMove, 10);
    EXPECT_EQ(record_.moveCount, 10);
    EXPECT_EQ(record_.position, atStart);
    EXPECT_EQ(replay_.visibleList().size(), 10u);

    // Another branch, then leave while it is on the board.
    Play({2, 5}, {2, 4});
    Play({2, 3}, {2, 4});
    Play({2, 8}, {2, 4});
    EXPECT_EQ(lines_.back(), "013  ▲同　飛"_sj);
    study_.Leave();
    EXPECT_FALSE(study_.active());
    EXPECT_EQ(record_.moveCount, total);
    EXPECT_EQ(record_.currentMove, 10);
    EXPECT_EQ(record_.moves, before.moves);
    EXPECT_EQ(record_.position, before.position);
    EXPECT_EQ(record_.endCode, before.endCode);
    EXPECT_EQ(record_.SlotCurrentMove(0), 10);
    EXPECT_EQ(replay_.fullList(), lists.full);
    EXPECT_EQ(replay_.visibleList(), lists.visible);
    EXPECT_EQ(replay_.selection(), lists.selection);
    EXPECT_EQ(replay_.framedSquare(), lists.framed);
    // The game replays as before.
    replay_.JumpTo(total);
    TKifData reference = before;
    reference.GoToMove(total);
    EXPECT_EQ(record_.position, reference.position);
}

TEST_P(StudyModeTest, StudyFromTheStartAndFromTheLastMove) {
    const TKifData before = record_;
    study_.Enter();
    EXPECT_EQ(record_.moveCount, 0);
    EXPECT_TRUE(replay_.visibleList().empty());
    EXPECT_FALSE(study_.StepBack().moved);
    Play({2, 7}, {2, 6});
    EXPECT_EQ(lines_.back(), "001  ▲２六歩"_sj);
    study_.Leave();
    EXPECT_EQ(record_.moves, before.moves);
    EXPECT_EQ(record_.moveCount, before.moveCount);
    EXPECT_EQ(record_.currentMove, 0);
    EXPECT_EQ(record_.SlotCurrentMove(0), 0);
    EXPECT_EQ(record_.position, before.position);

    // At the closing line: the study moves follow the last move.
    while (!replay_.Forward().reachedEnd) {
    }
    const ReplayLists lists = replay_.SaveLists();
    const int total = record_.moveCount;
    study_.Enter();
    EXPECT_EQ(replay_.visibleList().size(), static_cast<std::size_t>(total));
    Play({2, 5}, {2, 4});
    EXPECT_EQ(record_.moveCount, total + 1);
    EXPECT_EQ(replay_.visibleList().back(), lines_.back());
    study_.Leave();
    EXPECT_EQ(record_.moveCount, total);
    EXPECT_EQ(record_.currentMove, total);
    EXPECT_EQ(record_.moves, before.moves);
    EXPECT_EQ(replay_.visibleList(), lists.visible);
    EXPECT_TRUE(replay_.closingLineSelected());
}

INSTANTIATE_TEST_SUITE_P(BothListStyles, StudyModeTest,
                         ::testing::Values(ListStyle::WholeGame, ListStyle::MoveByMove));

}  // namespace
}  // namespace movra
