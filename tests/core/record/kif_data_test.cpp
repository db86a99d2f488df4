// The game record: moves appended and stepped through, slots, snapshots and position texts.
#include <gtest/gtest.h>

#include <string>

#include "core/record/kif_data.h"
#include "core/text/range_error.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {

MoveCode Code(const char* s) { return *MoveCode::Parse(s); }

void Play(TKifData& k, std::initializer_list<const char*> codes) {
    for (const char* c : codes) ASSERT_TRUE(k.AppendAndApply(Code(c))) << c;
}

std::string Sfen(const TKifData& k) { return ToSfen(k.position, k.SideOf(k.currentMove + 1), 1); }

TEST(GameRecord, NewRecordShowsTheStartOfAnEvenGame) {
    TKifData k;
    EXPECT_EQ(k.currentMove, 0);
    EXPECT_EQ(k.moveCount, 0);
    EXPECT_EQ(k.endCode, '0');
    EXPECT_EQ(k.handicap, '0');
    for (int s = 0; s < kSlotCount; ++s) EXPECT_FALSE(k.SlotInUse(s));
    EXPECT_EQ(k.FindFreeSlot(3), 0);
}

TEST(GameRecord, SteppingBackAndForthShowsEachPosition) {
    TKifData k;
    Play(k, {"7776", "3334", "8822+", "3122", "0645"});
    std::string atEnd = Sfen(k);
    k.GoToMove(0);
    EXPECT_EQ(Sfen(k), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");
    EXPECT_FALSE(k.StepBack());
    k.GoToMove(3);
    EXPECT_EQ(Sfen(k), "lnsgkgsnl/1r5+B1/pppppp1pp/6p2/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w B 1");
    k.GoToMove(99);
    EXPECT_EQ(k.currentMove, 5);
    EXPECT_EQ(Sfen(k), atEnd);
    EXPECT_FALSE(k.StepForward());
    EXPECT_EQ(k.SlotCurrentMove(0), 5);  // the current slot follows the steps
}

TEST(GameRecord, HandicapGameStartsWithTheStrongerSide) {
    TKifData k;
    k.ResetHeader(2);  // 角落ち
    k.SetUpStandard();
    EXPECT_EQ(k.SideOf(1), 2);
    EXPECT_EQ(k.SideOf(2), 1);
    Play(k, {"3334", "7776"});
    EXPECT_EQ(Sfen(k), "lnsgkgsnl/1r7/pppppp1pp/6p2/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 1");
}

TEST(GameRecord, ResolveIntoARecordNumberAndRangeErrors) {
    TKifData k;
    k.moves[1].consumedTime = 42;
    auto r = k.ResolveMove(Code("7776"), 1, 1);
    ASSERT_TRUE(r);
    EXPECT_EQ(k.moveCount, 0);  // filling a record number does not count a move
    EXPECT_EQ(k.moves[1].consumedTime, 42);
    EXPECT_EQ(k.moves[1].moveCode().str(), "7776 ");
    EXPECT_TRUE(k.ResolveMove(Code("3334"), 2, kAppendMove));
    EXPECT_EQ(k.moveCount, 1);
    EXPECT_FALSE(k.ResolveMove(Code("5554"), 1, kAppendMove));
    EXPECT_EQ(k.moveCount, 1);
    EXPECT_THROW(k.ResolveMove(Code("7776"), 1, 513), RangeError);
    EXPECT_THROW(k.ResolveMove(Code("7776"), 1, 0), RangeError);
    EXPECT_THROW(k.ApplyMove(600), RangeError);
    k.moveCount = kMaxMoves;
    EXPECT_THROW(k.ResolveMove(Code("7776"), 1, kAppendMove), RangeError);
    EXPECT_FALSE(k.AppendAndApply(Code("7776")));
}

TEST(GameSlots, SaveChangeAndLoadRestoresEverything) {
    TKifData k;
    Play(k, {"7776", "3334", "2726"});
    k.endCode = '1';
    k.position.pieces[0] = PieceEntry{1, 9, 4, 4, 77};  // the scratch entry travels too
    k.places[5] = ScreenPoint{120, 340};
    k.moves[2].commentRecord = 9;
    GameHeader h;
    h.recordNumber = 17;
    h.sentePlayer = 1234;
    k.SaveSlot(1, 17, "label of the game", h);
    k.SetSlotInUse(1, true);
    const BoardPosition savedPosition = k.position;
    const MoveList savedMoves = k.moves;

    k.ClearMoves();
    k.ResetHeader(3);
    k.SetUpStandard();
    k.places[5] = ScreenPoint{};

    SlotContents c = k.LoadSlot(1);
    EXPECT_EQ(c.recordNumber, 17);
    EXPECT_EQ(c.label, "label of the game");
    EXPECT_EQ(c.header, h);
    EXPECT_EQ(k.moves, savedMoves);
    EXPECT_EQ(k.position.pieces, savedPosition.pieces);
    EXPECT_EQ(k.moveCount, 3);
    EXPECT_EQ(k.currentMove, 3);
    EXPECT_EQ(k.endCode, '1');
    EXPECT_EQ(k.places[5], (ScreenPoint{120, 340}));
    EXPECT_EQ(k.position.pieces[0].image, 77);
}

TEST(GameSlots, FreeSlotAndRangeErrors) {
    TKifData k;
    k.SetSlotInUse(0, true);
    k.SetSlotInUse(1, true);
    EXPECT_EQ(k.FindFreeSlot(4), 2);
    for (int s = 0; s < kSlotCount; ++s) k.SetSlotInUse(s, true);
    EXPECT_EQ(k.FindFreeSlot(3), 3);
    EXPECT_THROW(k.SaveSlot(5, 1, "", GameHeader{}), RangeError);
    EXPECT_THROW(k.LoadSlot(-1), RangeError);
    EXPECT_THROW(k.SetSlotInUse(7, true), RangeError);
}

TEST(Snapshots, RestoreBringsBackTheWholeGameAndLeavesTheViewAndTheSlots) {
    TKifData k;
    k.ResetHeader(2);  // a handicap game: 上手 (gote) moves first
    k.SetUpStandard();
    Play(k, {"3334", "7776", "4132", "2726"});
    k.GoToMove(2);
    k.parityOffset = 1;
    k.endCode = endcode::kLaterGoteWins;
    k.moves[1].commentFile = 3;
    k.moves[1].commentRecord = 77;
    k.moves[2].workingComment = 5;
    k.moves[5].consumedTime = 61;  // the closing time after the last move
    k.places[7] = ScreenPoint{120, 340};
    const TKifData before = k;
    const TKifData::Snapshot snapshot = k.TakeSnapshot();
    EXPECT_EQ(snapshot.moveCount(), 4);
    EXPECT_EQ(snapshot.currentMove(), 2);
    EXPECT_EQ(snapshot.moves(), before.moves);

    // Everything of the game changes: other moves from move 2 on, another handicap and end,
    // comment links, places; the view and a slot change too.
    k.parityOffset = 0;
    k.moveCount = 2;
    Play(k, {"8384", "2726", "8485"});
    k.currentSlot = 3;
    k.WriteCurrentMoveToSlot();  // slot 3 remembers move 5
    k.SetSlotInUse(1, true);
    k.ResetHeader(0);
    k.moves[1].commentRecord = 0;
    k.moves[2].workingComment = 0;
    k.places[7] = ScreenPoint{1, 2};
    k.boardFlipped = 1;
    const TKifData changed = k;

    for (int pass = 0; pass < 2; ++pass) {  // the snapshot stays as taken and restores again
        k.Restore(snapshot);
        TKifData expected = before;
        expected.boardFlipped = 1;
        expected.currentSlot = 3;
        expected.currentMove = 5;
        expected.WriteCurrentMoveToSlot();
        expected.currentMove = before.currentMove;
        expected.SetSlotInUse(1, true);
        EXPECT_TRUE(k == expected) << "pass " << pass;
        EXPECT_EQ(k.moves, before.moves);
        EXPECT_EQ(k.position, before.position);
        EXPECT_EQ(k.handicap, before.handicap);
        EXPECT_EQ(k.currentMove, 2);
        EXPECT_EQ(k.moveCount, 4);
        EXPECT_EQ(k.SlotCurrentMove(3), 5);
        // The restored game steps on as the game did: forward to its end.
        TKifData ended = before;
        ended.GoToMove(4);
        k.GoToMove(99);
        EXPECT_EQ(k.currentMove, 4);
        EXPECT_EQ(k.position, ended.position);
        k = changed;
    }
}

// Builds a position text: title in characters 3-32, letters 33-113, sides 114-194, hands 195-210.
std::string PositionText(const std::string& letters81, const std::string& sides81,
                         const std::string& senteHand8, const std::string& goteHand8) {
    std::string t = "P0";
    t += std::string(30, ' ');
    t += letters81 + sides81 + senteHand8 + goteHand8;
    return t;
}

TEST(PositionText, PiecesComeFromTheBoxLowestIndexFirst) {
    std::string letters(81, '0'), sides(81, '0');
    // 5一 (i = 5: rank 1, file 9 - 4 = 5) gote king; 5九 (i = 77) sente king; three sente golds.
    letters[4] = '1'; sides[4] = '2';
    letters[76] = '1'; sides[76] = '1';
    letters[75] = '4'; sides[75] = '1';  // 6九
    letters[77] = '4'; sides[77] = '1';  // 4九
    letters[67] = 'D'; sides[67] = '1';  // 5八: "D" reads as "4"
    letters[40] = 'B'; sides[40] = '2';  // 5五 gote dragon
    TKifData k;
    k.LoadPositionText(PositionText(letters, sides, "00000002", "0000000I"));
    EXPECT_EQ(k.position.board[BoardIndex(6, 9)], piece::Kin);
    EXPECT_EQ(k.position.board[BoardIndex(5, 8)], piece::Kin);
    // The three golds are pieces 2, 3 and 22, given out in reading order (5八 before 6九, 4九).
    EXPECT_EQ(k.position.pieces[2].file, 5);
    EXPECT_EQ(k.position.pieces[2].rank, 8);
    EXPECT_EQ(k.position.pieces[3].file, 6);
    EXPECT_EQ(k.position.pieces[22].file, 4);
    EXPECT_EQ(k.position.pieces[22].rank, 9);
    EXPECT_EQ(k.position.board[BoardIndex(5, 5)], piece::Ryu + 14);
    EXPECT_EQ(k.position.senteHand[kind::Fu], 2);
    EXPECT_EQ(k.position.goteHand[kind::Fu], 16);  // "I" asks 18, only 16 are left in the box
}

TEST(PositionText, FourthGoldIsIgnoredWhenNoneLeftAndShortTextIsAnError) {
    std::string letters(81, '0'), sides(81, '1');
    for (int i = 0; i < 5; ++i) letters[i] = '4';  // five golds asked, a set has four
    TKifData k;
    k.LoadPositionText(PositionText(letters, sides, "00000000", "00000000"));
    int golds = 0;
    for (int i = 1; i < kBoardSize; ++i) golds += k.position.board[i] == piece::Kin ? 1 : 0;
    EXPECT_EQ(golds, 4);
    EXPECT_THROW(k.LoadPositionText(std::string(209, '0')), RangeError);
}

}  // namespace
}  // namespace movra
