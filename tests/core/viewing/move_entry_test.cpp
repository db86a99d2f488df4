#include "core/viewing/move_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/record/game_from_moves.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;

TKifData FromSfen(const char* sfen, const char* moves = "") {
    std::string error;
    std::optional<TKifData> game = GameFromMoves(sfen, 0, SplitMoves(moves), &error);
    EXPECT_TRUE(game.has_value()) << error;
    return game ? *game : TKifData{};
}

TKifData Standard() { return FromSfen("", ""); }

class MoveEntryTest : public ::testing::Test {
protected:
    void Use(TKifData record) {
        record_ = std::move(record);
        before_ = record_;
    }
    // Picks up at `from` and drops at `to`, both board squares.
    DropResult Move(Square from, Square to) {
        EXPECT_EQ(entry_.PickUpFromBoard(from), PickUpResult::PickedUp);
        return entry_.Drop(to, &entered_);
    }
    void ExpectUnchanged() {
        EXPECT_FALSE(entry_.holding());
        EXPECT_EQ(record_.moveCount, before_.moveCount);
        EXPECT_EQ(record_.currentMove, before_.currentMove);
        EXPECT_EQ(record_.moves, before_.moves);
        EXPECT_EQ(record_.position.board, before_.position.board);
        for (int i = 1; i <= kPieceCount; ++i) EXPECT_EQ(record_.position.pieces[i], before_.position.pieces[i]) << i;
    }

    TKifData record_;
    TKifData before_;
    RecordingPrompter prompter_;
    std::vector<std::pair<PieceCode, PieceCode>> offered_;
    bool promote_ = false;
    MoveEntry entry_{record_, prompter_, [this](PieceCode a, PieceCode b) {
                         offered_.emplace_back(a, b);
                         return promote_;
                     }};
    EnteredMove entered_;
};

TEST_F(MoveEntryTest, OnlyPiecesOfTheSideToMoveArePickedUp) {
    Use(Standard());
    EXPECT_EQ(entry_.PickUpFromBoard({3, 3}), PickUpResult::Ignored);  // gote's pawn
    EXPECT_EQ(entry_.PickUpFromBoard({5, 5}), PickUpResult::Ignored);  // empty
    EXPECT_FALSE(entry_.holding());
    ASSERT_EQ(entry_.PickUpFromBoard({7, 7}), PickUpResult::PickedUp);
    EXPECT_EQ(entry_.heldCode(), piece::Fu);
    // A second piece is not picked up while one is held.
    EXPECT_EQ(entry_.PickUpFromBoard({2, 7}), PickUpResult::Ignored);
    ASSERT_EQ(entry_.Drop({7, 6}, &entered_), DropResult::Entered);
    EXPECT_EQ(entered_.moveNumber, 1);
    EXPECT_EQ(entered_.code.str(), "7776 ");
    EXPECT_EQ(entered_.line, "001  ▲７六歩"_sj);
    // The move is in the record; the position still waits for the replay to apply it.
    EXPECT_EQ(record_.moveCount, 1);
    EXPECT_EQ(record_.currentMove, 0);
    EXPECT_EQ(record_.position.board, before_.position.board);
    for (int i = 1; i <= kPieceCount; ++i) EXPECT_EQ(record_.position.pieces[i], before_.position.pieces[i]) << i;
    ASSERT_TRUE(record_.StepForward());
    // Now gote moves: sente's pieces are ignored, gote's are picked up.
    EXPECT_EQ(entry_.PickUpFromBoard({2, 7}), PickUpResult::Ignored);
    EXPECT_EQ(entry_.PickUpFromBoard({3, 3}), PickUpResult::PickedUp);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MoveEntryTest, OwnPiecesOccupiedDropSquaresAndTheSameSquarePutThePieceBack) {
    Use(FromSfen("4k4/9/9/9/9/9/9/9/3GKS3 b P 1"));
    EXPECT_EQ(Move({6, 9}, {5, 9}), DropResult::Cancelled);  // gold onto own king
    ExpectUnchanged();
    EXPECT_EQ(Move({6, 9}, {6, 9}), DropResult::PutBack);
    ExpectUnchanged();
    // A pawn from the hand onto the gold, and onto gote's king: both occupied.
    ASSERT_EQ(entry_.PickUpFromHand(1, kind::Fu), PickUpResult::PickedUp);
    EXPECT_EQ(entry_.heldFrom(), (Square{0, kind::Fu}));
    EXPECT_EQ(entry_.Drop({6, 9}), DropResult::Cancelled);
    ASSERT_EQ(entry_.PickUpFromHand(1, kind::Fu), PickUpResult::PickedUp);
    EXPECT_EQ(entry_.Drop({5, 1}), DropResult::Cancelled);
    ExpectUnchanged();
    // Gote's hand is not sente's to use, nor a kind that is not held.
    EXPECT_EQ(entry_.PickUpFromHand(2, kind::Fu), PickUpResult::Ignored);
    EXPECT_EQ(entry_.PickUpFromHand(1, kind::Kin), PickUpResult::Ignored);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MoveEntryTest, IllegalDropsAskAndAreRefusedOnCancel) {
    // Sente has a pawn on 5七 and holds a pawn, a knight and a lance.
    Use(FromSfen("4k4/9/9/9/9/9/4P4/9/4K4 b NLP 1"));
    struct Case {
        int kind;
        Square to;
    };
    for (const Case& c : {Case{kind::Fu, {5, 5}},    // a second pawn on the fifth file
                          Case{kind::Kei, {3, 2}},   // a knight that could never move again
                          Case{kind::Kyo, {1, 1}}}) {  // a lance on the last rank
        prompter_.shown.clear();
        prompter_.answers = {Answer::Cancel};
        ASSERT_EQ(entry_.PickUpFromHand(1, c.kind), PickUpResult::PickedUp);
        EXPECT_EQ(entry_.Drop(c.to), DropResult::Cancelled) << c.kind;
        ASSERT_EQ(prompter_.shown.size(), 1u);
        EXPECT_EQ(prompter_.shown[0].text, "反則手です！\rこのまま入力しますか？"_sj);
        ExpectUnchanged();
    }
    // A pawn on another file is legal; answering Yes enters the doubled pawn all the same.
    prompter_.shown.clear();
    ASSERT_EQ(entry_.PickUpFromHand(1, kind::Fu), PickUpResult::PickedUp);
    EXPECT_EQ(entry_.Drop({4, 5}, &entered_), DropResult::Entered);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(entered_.code.str(), "0145 ");
    EXPECT_EQ(entered_.line, "001  ▲４五歩"_sj);
    prompter_.answers = {Answer::Yes};
    record_.moveCount = 0;  // try the doubled pawn as move 1 instead
    ASSERT_EQ(entry_.PickUpFromHand(1, kind::Fu), PickUpResult::PickedUp);
    EXPECT_EQ(entry_.Drop({5, 5}, &entered_), DropResult::Entered);
    EXPECT_EQ(entered_.code.str(), "0155 ");
    EXPECT_EQ(prompter_.shown.size(), 1u);
}

TEST_F(MoveEntryTest, ForcedPromotionIsMadeWithoutAQuestion) {
    // Pawn on 2二, lance on 1三, knight on 3四, gote's pieces on the far side.
    const char* sfen = "k8/7P1/8L/6N2/9/9/9/9/4K4 b - 1";
    struct Case {
        Square from, to;
        const char* code;
    };
    for (const Case& c : {Case{{2, 2}, {2, 1}, "2221+"},   // pawn to the last rank
                          Case{{1, 3}, {1, 1}, "1311+"},   // lance to the last rank
                          Case{{3, 4}, {4, 2}, "3442+"}}) {  // knight to the second-to-last
        Use(FromSfen(sfen));
        offered_.clear();
        ASSERT_EQ(Move(c.from, c.to), DropResult::Entered) << c.code;
        EXPECT_EQ(entered_.code.str(), c.code);
        EXPECT_TRUE(offered_.empty()) << c.code;
        EXPECT_EQ(record_.moves[1].promotes, 1);
    }
    // Gote's pawn reaching rank 9 is forced as well.
    Use(FromSfen("4k4/9/9/9/9/9/9/4p4/K8 w - 1"));
    ASSERT_EQ(Move({5, 8}, {5, 9}), DropResult::Entered);
    EXPECT_EQ(entered_.code.str(), "5859+");
    EXPECT_TRUE(offered_.empty());
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MoveEntryTest, OptionalPromotionAsksAndHonoursBothAnswers) {
    // A pawn entering the zone, and a silver leaving it backwards.
    const char* sfen = "k8/9/6S2/7P1/9/9/9/9/4K4 b - 1";
    for (bool promote : {true, false}) {
        Use(FromSfen(sfen));
        promote_ = promote;
        offered_.clear();
        ASSERT_EQ(Move({2, 4}, {2, 3}), DropResult::Entered);
        EXPECT_EQ(entered_.code.str(), promote ? "2423+" : "2423 ");
        ASSERT_EQ(offered_.size(), 1u);
        EXPECT_EQ(offered_[0], (std::pair<PieceCode, PieceCode>{piece::Fu, piece::To}));
        EXPECT_EQ(record_.moves[1].promotes, promote ? 1 : 0);
        EXPECT_EQ(entered_.line, promote ? std::string("001  ▲２三歩成"_sj) : std::string("001  ▲２三歩不成"_sj));
        ASSERT_TRUE(record_.StepForward());
        EXPECT_EQ(record_.position.board[BoardIndex(2, 3)], promote ? piece::To : piece::Fu);

        Use(FromSfen(sfen));
        offered_.clear();
        ASSERT_EQ(Move({3, 3}, {4, 4}), DropResult::Entered);
        EXPECT_EQ(entered_.code.str(), promote ? "3344+" : "3344 ");
        ASSERT_EQ(offered_.size(), 1u);
        EXPECT_EQ(offered_[0], (std::pair<PieceCode, PieceCode>{piece::Gin, piece::NariGin}));
    }
    // Outside the zone nothing is offered.
    Use(FromSfen("k8/9/9/9/9/9/4P4/9/4K4 b - 1"));
    offered_.clear();
    ASSERT_EQ(Move({5, 7}, {5, 6}), DropResult::Entered);
    EXPECT_EQ(entered_.code.str(), "5756 ");
    EXPECT_TRUE(offered_.empty());
}

TEST_F(MoveEntryTest, AMoveBelowTheEndOverwritesTheNextMoveAndTheLimitRefusesPickUp) {
    Use(FromSfen("", "7g7f 3c3d 2g2f"));
    record_.GoToMove(1);
    ASSERT_EQ(Move({8, 2}, {7, 2}), DropResult::Entered);
    EXPECT_EQ(entered_.moveNumber, 2);
    EXPECT_EQ(record_.moveCount, 3);  // written over move 2; the caller decides about move 3
    EXPECT_EQ(record_.moves[2].moveCode().str(), "8272 ");
    EXPECT_EQ(entered_.line, "002  △７二飛"_sj);

    Use(FromSfen("", "7g7f 3c3d 2g2f"));
    entry_.setMoveLimit(3);
    ASSERT_EQ(record_.currentMove, 3);
    EXPECT_EQ(entry_.PickUpFromBoard({4, 1}), PickUpResult::Refused);  // gote's gold, move 4
    EXPECT_FALSE(entry_.holding());
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, RecordingPrompter::Shown::Information);
    EXPECT_EQ(prompter_.shown[0].text, "\rこれ以上の指し手は入力できません！\r\r中断または終局させて下さい。"_sj);

    // A piece held while the position changes under it enters nothing.
    entry_.setMoveLimit(kMaxMoves);
    record_.GoToMove(2);
    ASSERT_EQ(entry_.PickUpFromBoard({2, 7}), PickUpResult::PickedUp);
    record_.GoToMove(3);
    EXPECT_EQ(entry_.Drop({2, 6}), DropResult::Cancelled);
    EXPECT_FALSE(entry_.holding());
    EXPECT_EQ(record_.moves[3].moveCode().str(), "2726 ");
}

TEST_F(MoveEntryTest, ADropTakesTheHighestNumberedPieceOfTheKind) {
    // Gote to move with three pawns in hand.
    Use(FromSfen("4k4/9/9/9/9/9/9/9/4K4 w 3p 1"));
    ASSERT_EQ(record_.SideOf(1), 2);
    ASSERT_EQ(entry_.PickUpFromHand(2, kind::Fu), PickUpResult::PickedUp);
    const int held = entry_.heldPiece();
    int inHand = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = record_.position.pieces[i];
        if (e.present && e.file == location::kGoteHand && e.rank == kind::Fu) {
            ++inHand;
            EXPECT_LE(i, held);
        }
    }
    EXPECT_EQ(inHand, 3);
    ASSERT_EQ(entry_.Drop({5, 5}, &entered_), DropResult::Entered);
    EXPECT_EQ(entered_.code.str(), "0155 ");
    EXPECT_EQ(entered_.line, "001  △５五歩"_sj);
    EXPECT_EQ(record_.moves[1].piece, held);
    ASSERT_TRUE(record_.StepForward());
    EXPECT_EQ(record_.position.goteHand[kind::Fu], 2);
    EXPECT_EQ(record_.position.board[BoardIndex(5, 5)], piece::Fu + piece::kGoteOffset);
}

}  // namespace
}  // namespace movra
