// The set-up board: dragging between board, hands and box, flipping, the box and hand menus,
// swapping the sides and the checks of positions no game can reach.
#include <gtest/gtest.h>

#include <random>

#include "core/positionedit/editing.h"
#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {
using namespace movra::literals;

std::string Sfen(const BoardPosition& p) { return ToSfen(p, 1, 1); }

BoardPosition Standard() {
    BoardPosition p;
    SetUpStandard(p, '0');
    return p;
}

EditTarget At(int file, int rank) { return {EditPlace::Board, Square{std::uint8_t(file), std::uint8_t(rank)}}; }

int BoxCount(const BoardPosition& p, PieceKind k) {
    int n = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        if (p.pieces[i].present != 0 && p.pieces[i].file == location::kBox && p.pieces[i].rank == k) ++n;
    }
    return n;
}

TEST(PositionEditing, DragsBetweenBoardHandsAndBoxFollowTheCaptureRules) {
    BoardPosition p = Standard();
    // Sente's 角 onto gote's 飛: the 飛 goes to sente's hand as a capture would.
    ASSERT_TRUE(DropPiece(p, PieceOnSquare(p, {8, 8}), At(8, 2)));
    EXPECT_EQ(Sfen(p), "lnsgkgsnl/1B5b1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b R 1");

    // A 金 from gote's hand onto the same square sends the 角 to gote's hand as gote's piece.
    ASSERT_TRUE(DropPiece(p, PieceOnSquare(p, {4, 1}), {EditPlace::GoteHand, {}}));
    const int gold = PieceInGroup(p, EditPlace::GoteHand, kind::Kin);
    ASSERT_NE(gold, 0);
    ASSERT_TRUE(DropPiece(p, gold, At(8, 2)));
    EXPECT_EQ(Sfen(p), "lnsgk1snl/1g5b1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b Rb 1");

    // Nowhere, and back on its own square: nothing changes.
    const BoardPosition before = p;
    EXPECT_FALSE(DropPiece(p, gold, {EditPlace::Nowhere, {}}));
    EXPECT_FALSE(DropPiece(p, gold, At(8, 2)));
    EXPECT_FALSE(DropPiece(p, 0, At(5, 5)));
    EXPECT_EQ(p, before);

    // A 馬 into either hand becomes an unpromoted 角 of that hand; into the box sente's 角.
    const int bishop = PieceOnSquare(p, {2, 2});
    ASSERT_TRUE(FlipPiece(p, bishop));
    EXPECT_EQ(p.pieces[bishop].code, piece::Uma + piece::kGoteOffset);
    ASSERT_TRUE(DropPiece(p, bishop, {EditPlace::SenteHand, {}}));
    EXPECT_EQ(p.pieces[bishop].code, piece::Kaku);
    ASSERT_TRUE(DropPiece(p, bishop, At(5, 5)));
    ASSERT_TRUE(FlipPiece(p, bishop));
    ASSERT_TRUE(DropPiece(p, bishop, {EditPlace::GoteHand, {}}));
    EXPECT_EQ(p.pieces[bishop].code, piece::Kaku + piece::kGoteOffset);
    ASSERT_TRUE(DropPiece(p, bishop, {EditPlace::Box, {}}));
    EXPECT_EQ(p.pieces[bishop].code, piece::Kaku);
    EXPECT_EQ(p.pieces[bishop].rank, kind::Kaku);
    EXPECT_EQ(Sfen(p), "lnsgk1snl/1g7/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b Rb 1");

    // From the box onto an occupied square: sente's piece, and the occupant goes into the box.
    ASSERT_TRUE(DropPiece(p, bishop, At(5, 7)));
    EXPECT_EQ(p.pieces[bishop].code, piece::Kaku);
    EXPECT_EQ(BoxCount(p, kind::Fu), 1);
    EXPECT_EQ(Sfen(p), "lnsgk1snl/1g7/ppppppppp/9/9/9/PPPPBPPPP/7R1/LNSGKGSNL b Rb 1");
}

TEST(PositionEditing, RightClickCyclesAndOnlyBoardPiecesFlip) {
    BoardPosition p = Standard();
    const int pawn = PieceOnSquare(p, {7, 7});
    const PieceCode cycle[] = {piece::To, piece::Fu + piece::kGoteOffset, piece::To + piece::kGoteOffset, piece::Fu};
    for (PieceCode expected : cycle) {
        ASSERT_TRUE(FlipPiece(p, pawn));
        EXPECT_EQ(p.pieces[pawn].code, expected);
        EXPECT_EQ(p.board[BoardIndex(7, 7)], expected);
    }
    const int gold = PieceOnSquare(p, {6, 9});
    ASSERT_TRUE(FlipPiece(p, gold));
    EXPECT_EQ(p.pieces[gold].code, piece::Kin + piece::kGoteOffset);
    ASSERT_TRUE(FlipPiece(p, gold));
    EXPECT_EQ(p.pieces[gold].code, piece::Kin);
    ASSERT_TRUE(DropPiece(p, gold, {EditPlace::SenteHand, {}}));
    EXPECT_FALSE(FlipPiece(p, gold));  // pieces in hand keep their code
}

TEST(PositionEditing, BoxAndHandMenusMoveWholeGroups) {
    BoardPosition p;
    SetUpEmpty(p);
    // Everything but the kings into sente's hand, then two 金 and gote's king back into the box.
    EXPECT_EQ(MoveBoxToHand(p, side::kSente), 38);
    EXPECT_EQ(Sfen(p), "4k4/9/9/9/9/9/9/9/4K4 b 2R2B4G4S4N4L18P 1");
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(DropPiece(p, PieceInGroup(p, EditPlace::SenteHand, kind::Kin), {EditPlace::Box, {}}));
    }
    const int goteKing = PieceOnSquare(p, {5, 1});
    ASSERT_TRUE(DropPiece(p, goteKing, {EditPlace::Box, {}}));
    EXPECT_EQ(p.pieces[goteKing].code, piece::Gyoku);

    // The box menu into gote's hand: two gote 金, the king stays.
    EXPECT_EQ(MoveBoxToHand(p, side::kGote), 2);
    EXPECT_EQ(p.goteHand[kind::Kin], 2);
    EXPECT_EQ(BoxCount(p, kind::Gyoku), 1);
    EXPECT_EQ(BoxCount(p, kind::Kin), 0);

    // Kings may go into a hand; the hand menu then moves them into the box as well.
    ASSERT_TRUE(DropPiece(p, goteKing, {EditPlace::GoteHand, {}}));
    EXPECT_EQ(p.goteHand[kind::Gyoku], 1);
    EXPECT_EQ(MoveHandToBox(p, side::kGote), 3);
    EXPECT_EQ(BoxCount(p, kind::Gyoku), 1);
    EXPECT_EQ(BoxCount(p, kind::Kin), 2);
    for (int i = 1; i <= kPieceCount; ++i) {
        if (p.pieces[i].file == location::kBox) {
            EXPECT_TRUE(IsSente(p.pieces[i].code)) << i;
        }
    }
    EXPECT_EQ(MoveHandToBox(p, side::kSente), 36);
    EXPECT_EQ(Sfen(p), "9/9/9/9/9/9/9/9/4K4 b - 1");
}

TEST(PositionEditing, SwappingSidesReflectsTheBoardAndTwiceGivesItBack) {
    BoardPosition p = Standard();
    ASSERT_TRUE(DropPiece(p, PieceOnSquare(p, {7, 7}), {EditPlace::SenteHand, {}}));
    ASSERT_TRUE(DropPiece(p, PieceOnSquare(p, {1, 1}), {EditPlace::Box, {}}));
    ASSERT_TRUE(FlipPiece(p, PieceOnSquare(p, {2, 8})));
    const BoardPosition before = p;
    SwapSides(p);
    EXPECT_EQ(Sfen(p), "lnsgkgsnl/1+r5b1/pppppp1pp/9/9/9/PPPPPPPPP/1B5R1/1NSGKGSNL b p 1");
    EXPECT_EQ(BoxCount(p, kind::Kyo), 1);
    SwapSides(p);
    EXPECT_EQ(p, before);

    EXPECT_FALSE(SwapExchangesNames("先手"_sj, "後手"_sj));
    EXPECT_FALSE(SwapExchangesNames("下手"_sj, "上手"_sj));
    EXPECT_TRUE(SwapExchangesNames("先手"_sj, "上手"_sj));
    EXPECT_TRUE(SwapExchangesNames("羽生"_sj, "谷川"_sj));
}

TEST(PositionEditing, ProblemsNameEveryPositionNoGameReaches) {
    BoardPosition p = Standard();
    EXPECT_TRUE(PositionProblems(p).empty());
    // A mate problem without sente's king is a position of its own kind, not a fault.
    ASSERT_TRUE(DropPiece(p, PieceOnSquare(p, {5, 9}), {EditPlace::Box, {}}));
    EXPECT_TRUE(PositionProblems(p).empty());

    BoardPosition q = Standard();
    ASSERT_TRUE(FlipPiece(q, PieceOnSquare(q, {5, 1})));  // gote's king becomes sente's
    ASSERT_TRUE(DropPiece(q, PieceOnSquare(q, {1, 7}), At(2, 5)));  // a second pawn on file 2
    ASSERT_TRUE(DropPiece(q, PieceOnSquare(q, {9, 7}), At(9, 2)));  // an empty square
    ASSERT_TRUE(DropPiece(q, PieceOnSquare(q, {9, 2}), At(8, 1)));  // pawn onto rank 1, beside 8七's pawn
    ASSERT_TRUE(DropPiece(q, PieceOnSquare(q, {2, 9}), At(3, 2)));  // knight onto rank 2
    ASSERT_TRUE(DropPiece(q, PieceOnSquare(q, {8, 3}), At(8, 9)));  // gote pawn on its last rank
    const std::vector<std::string> problems = PositionProblems(q);
    const std::vector<std::string> expected = {
        "先手の玉が２枚あります。"_sj,
        "先手の二歩があります（２筋）。"_sj,
        "先手の二歩があります（８筋）。"_sj,
        "動けない駒があります（８一３二８九）。"_sj,
    };
    EXPECT_EQ(problems, expected);

    BoardPosition r = Standard();
    ASSERT_TRUE(DropPiece(r, PieceOnSquare(r, {5, 1}), {EditPlace::SenteHand, {}}));
    ASSERT_EQ(PositionProblems(r).size(), 1u);
    EXPECT_EQ(PositionProblems(r)[0], "玉が持駒になっています。"_sj);
}

TEST(PositionEditing, RandomEditingKeepsTheFortyPiecesConsistent) {
    // However the pieces are dragged, flipped and swapped, every piece stays somewhere, the
    // board and hands agree with the table, and the box holds only sente's unpromoted pieces.
    std::mt19937 random(7);
    BoardPosition p = Standard();
    for (int step = 0; step < 5000; ++step) {
        const int index = int(random() % kPieceCount) + 1;
        switch (random() % 8) {
            case 0: DropPiece(p, index, {EditPlace::SenteHand, {}}); break;
            case 1: DropPiece(p, index, {EditPlace::GoteHand, {}}); break;
            case 2: DropPiece(p, index, {EditPlace::Box, {}}); break;
            case 3: FlipPiece(p, index); break;
            case 4: SwapSides(p); break;
            case 5: MoveBoxToHand(p, int(random() % 2) + 1); break;
            default: DropPiece(p, index, At(int(random() % 9) + 1, int(random() % 9) + 1)); break;
        }
        BoardPosition rebuilt = p;
        Rebuild(rebuilt);
        ASSERT_EQ(rebuilt, p) << step;
        int onBoard = 0, inHands = 0, inBox = 0;
        for (int i = 1; i <= kPieceCount; ++i) {
            const PieceEntry& e = p.pieces[i];
            if (IsBoardSquare(e.file, e.rank)) {
                ++onBoard;
            } else if (e.file == location::kBox) {
                ++inBox;
                ASSERT_EQ(e.code, CodeOfKind(KindOf(e.code))) << step;
                ASSERT_EQ(e.rank, KindOf(e.code)) << step;
            } else {
                ++inHands;
                ASSERT_FALSE(IsPromoted(e.code)) << step;
                ASSERT_EQ(IsGote(e.code), e.file == location::kGoteHand) << step;
            }
        }
        int boardPieces = 0;
        for (int sq = 1; sq < kBoardSize; ++sq) boardPieces += p.board[std::size_t(sq)] != 0;
        ASSERT_EQ(boardPieces, onBoard) << step;
        ASSERT_EQ(onBoard + inHands + inBox, kPieceCount) << step;
    }
}

}  // namespace
}  // namespace movra
