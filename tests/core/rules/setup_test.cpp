// Starting positions: the even game, every handicap, the empty setup, and the piece numbering
// that move records depend on.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {
using namespace movra::literals;

std::string StartSfen(char handicap) {
    BoardPosition p;
    SetUpStandard(p, handicap);
    return ToSfen(p, SideToMove(1, 0, handicap), 1);
}

TEST(HandicapSetup, EveryHandicapGivesTheUsualStartingPosition) {
    // The positions other shogi programs use for the same handicaps; 上手 (gote) moves first.
    const std::string lower = "/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL";
    EXPECT_EQ(StartSfen('0'), "lnsgkgsnl/1r5b1" + lower + " b - 1");
    EXPECT_EQ(StartSfen('1'), "lnsgkgsn1/1r5b1" + lower + " w - 1");
    EXPECT_EQ(StartSfen('Y'), "1nsgkgsnl/1r5b1" + lower + " w - 1");
    EXPECT_EQ(StartSfen('2'), "lnsgkgsnl/1r7" + lower + " w - 1");
    EXPECT_EQ(StartSfen('3'), "lnsgkgsnl/7b1" + lower + " w - 1");
    EXPECT_EQ(StartSfen('4'), "lnsgkgsn1/7b1" + lower + " w - 1");
    EXPECT_EQ(StartSfen('5'), "lnsgkgsnl/9" + lower + " w - 1");
    EXPECT_EQ(StartSfen('6'), "1nsgkgsn1/9" + lower + " w - 1");
    EXPECT_EQ(StartSfen('7'), "2sgkgs2/9" + lower + " w - 1");
    EXPECT_EQ(StartSfen('8'), "3gkg3/9" + lower + " w - 1");
    EXPECT_EQ(StartSfen('9'), "4k4/9" + lower + " w - 1");
    EXPECT_EQ(StartSfen('A'), "3gk4/9" + lower + " w - 1");  // 左金 kept: piece 23 on 6一
    EXPECT_EQ(StartSfen('B'), "4kg3/9" + lower + " w - 1");  // 右金 kept: piece 22 on 4一
    EXPECT_EQ(StartSfen('X'), "4k4/9/9" + lower.substr(std::string("/ppppppppp").size()) + " w - 1");
    EXPECT_EQ(StartSfen('Z'), "4k4/9/9" + lower.substr(std::string("/ppppppppp").size()) + " w 3p 1");
}

TEST(HandicapSetup, PieceNumberingIsFixed) {
    BoardPosition p;
    SetUpStandard(p, '0');
    EXPECT_EQ(p.pieces[1].code, piece::Gyoku);
    EXPECT_EQ(p.pieces[1].file, 5);
    EXPECT_EQ(p.pieces[1].rank, 9);
    EXPECT_EQ(p.pieces[12].file, 9);  // pawns run from 9七 ...
    EXPECT_EQ(p.pieces[20].file, 1);  // ... to 1七
    EXPECT_EQ(p.pieces[22].code, piece::Kin + 14);
    EXPECT_EQ(p.pieces[22].file, 4);
    EXPECT_EQ(p.pieces[30].code, piece::Kaku + 14);
    EXPECT_EQ(p.pieces[30].file, 2);
    EXPECT_EQ(p.pieces[30].rank, 2);
    EXPECT_EQ(p.pieces[31].file, 8);
    EXPECT_EQ(p.pieces[32].file, 1);  // gote's pawns from 1三 to 9三
    EXPECT_EQ(p.pieces[40].file, 9);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(p.pieces[i].present, 1) << i;
}

TEST(HandicapSetup, ThreePawnsGameStartsWithKingAloneAndGoteToMove) {
    BoardPosition p;
    SetUpStandard(p, 'Z');
    EXPECT_EQ(p.goteHand[kind::Fu], 3);
    int goteOnBoard = 0;
    for (int i = 1; i < kBoardSize; ++i) goteOnBoard += IsGote(p.board[i]) ? 1 : 0;
    EXPECT_EQ(goteOnBoard, 1);
    EXPECT_EQ(SideToMove(1, 0, 'Z'), 2);
}

TEST(HandicapSetup, UnknownCharacterLeavesTheFullSet) {
    BoardPosition p, even;
    SetUpStandard(p, 'Q');
    SetUpStandard(even, '0');
    EXPECT_EQ(p, even);
}

TEST(HandicapNames, NumbersCharactersAndNames) {
    EXPECT_EQ(HandicapChar(0), '0');
    EXPECT_EQ(HandicapChar(10), 'X');
    EXPECT_EQ(HandicapChar(14), 'B');
    EXPECT_EQ(HandicapChar(15), '0');
    EXPECT_EQ(HandicapChar(-1), '0');
    EXPECT_EQ(HandicapName(0), "平手"_sj);
    EXPECT_EQ(HandicapName(12), "歩三兵"_sj);
    EXPECT_EQ(HandicapName(13), "九枚(左金)落ち"_sj);
    EXPECT_EQ(HandicapName(15), "？？"_sj);
    for (int n = 0; n < kHandicapCount; ++n) EXPECT_EQ(HandicapNumber(HandicapChar(n)), n);
    EXPECT_EQ(HandicapNumber('Q'), -1);
}

TEST(SideToMoveRule, ParityAndHandicap) {
    EXPECT_EQ(SideToMove(1, 0, '0'), 1);
    EXPECT_EQ(SideToMove(2, 0, '0'), 2);
    EXPECT_EQ(SideToMove(1, 1, '0'), 2);  // parity offset 1 in an even game: gote first
    EXPECT_EQ(SideToMove(1, 0, '2'), 2);  // 上手 first in a handicap game
    EXPECT_EQ(SideToMove(2, 0, '2'), 1);
    EXPECT_EQ(SideToMove(1, 1, '2'), 1);
}

TEST(EmptySetup, KingsOnTheirSquaresEverythingElseInTheBox) {
    BoardPosition p;
    SetUpEmpty(p);
    EXPECT_EQ(p.board[BoardIndex(5, 9)], piece::Gyoku);
    EXPECT_EQ(p.board[BoardIndex(5, 1)], piece::Gyoku + 14);
    int onBoard = 0;
    for (int i = 1; i < kBoardSize; ++i) onBoard += p.board[i] ? 1 : 0;
    EXPECT_EQ(onBoard, 2);
    EXPECT_EQ(p.pieces[22].code, piece::Kin);  // box pieces keep sente codes
    EXPECT_EQ(p.pieces[22].file, location::kBox);
    EXPECT_EQ(p.pieces[22].rank, kind::Kin);
    for (int k = 0; k <= 8; ++k) EXPECT_EQ(p.senteHand[k] + p.goteHand[k], 0);
}

TEST(RebuildBounds, CorruptTablesRaiseAndLeaveThePositionAsItWas) {
    BoardPosition p;
    SetUpStandard(p, '0');
    BoardPosition before = p;
    p.pieces[5].file = location::kSenteHand;
    p.pieces[5].rank = 9;  // kind above 8
    EXPECT_THROW(Rebuild(p), CorruptPosition);
    EXPECT_EQ(p.board, before.board);
    EXPECT_EQ(p.senteHand, before.senteHand);

    p = before;
    p.pieces[5].file = 12;  // neither a square, a hand nor the box
    EXPECT_THROW(Rebuild(p), CorruptPosition);
    p = before;
    p.pieces[5].file = 3;
    p.pieces[5].rank = 0;
    EXPECT_THROW(Rebuild(p), CorruptPosition);

    // An absent piece is never looked at, whatever it holds.
    p = before;
    p.pieces[5].present = 0;
    p.pieces[5].file = 99;
    EXPECT_NO_THROW(Rebuild(p));
}

}  // namespace
}  // namespace movra
