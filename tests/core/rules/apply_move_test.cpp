// Resolving, applying and taking back moves: captures, drops, promotions, and a randomized check
// that taking back restores the piece table exactly.
#include <gtest/gtest.h>

#include <random>

#include "core/rules/move_list.h"
#include "core/text/range_error.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {

MoveCode Code(const char* s) { return *MoveCode::Parse(s); }

BoardPosition Start(const char* sfen) {
    auto p = ParseSfen(sfen);
    EXPECT_TRUE(p);
    return p->position;
}

TEST(ResolveAndApply, DropTakesTheHighestNumberedPieceAndUndoReturnsIt) {
    BoardPosition p = Start("4k4/9/9/9/9/9/9/9/4K4 b 3P 1");
    int highest = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        if (p.pieces[i].file == location::kSenteHand && p.pieces[i].rank == kind::Fu) highest = i;
    }
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, Code("0155"), 1, m));
    EXPECT_EQ(m.piece, highest);
    BoardPosition before = p;
    EXPECT_EQ(ApplyMove(p, m), piece::Fu);
    EXPECT_EQ(p.board[BoardIndex(5, 5)], piece::Fu);
    Rebuild(p);
    EXPECT_EQ(p.senteHand[kind::Fu], 2);
    UndoMove(p, m, 1);
    EXPECT_EQ(p, before);
}

TEST(ResolveAndApply, CapturingAPromotedPieceAndTakingItBack) {
    BoardPosition p = Start("4k4/9/9/9/4+r4/4S4/9/9/4K4 b - 1");
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, Code("5655"), 1, m));
    EXPECT_EQ(m.capturedCode, piece::Ryu + 14);
    BoardPosition before = p;
    ApplyMove(p, m);
    Rebuild(p);
    EXPECT_EQ(p.senteHand[kind::Hi], 1);  // the dragon enters the hand as sente's rook
    EXPECT_EQ(p.pieces[m.capturedPiece].code, piece::Hi);
    UndoMove(p, m, 1);
    EXPECT_EQ(p, before);
    EXPECT_EQ(p.board[BoardIndex(5, 5)], piece::Ryu + 14);
}

TEST(ResolveAndApply, PromotionAndCapturedKing) {
    BoardPosition p = Start("4k4/4P4/9/9/9/9/9/9/4K4 b - 1");
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, Code("5251+"), 1, m));
    EXPECT_EQ(m.promotes, 1);
    ApplyMove(p, m);
    Rebuild(p);
    EXPECT_EQ(p.board[BoardIndex(5, 1)], piece::To);
    EXPECT_EQ(p.senteHand[kind::Gyoku], 1);  // a captured king goes to the hand as kind 8
    UndoMove(p, m, 1);
    EXPECT_EQ(p.board[BoardIndex(5, 2)], piece::Fu);
    EXPECT_EQ(p.board[BoardIndex(5, 1)], piece::Gyoku + 14);
}

TEST(ResolveAndApply, UnresolvableMoveStoresNothing) {
    BoardPosition p = Start("startpos");
    MoveRecord m;
    m.capturedPiece = 7;
    m.capturedCode = 9;
    m.consumedTime = 33;
    EXPECT_FALSE(ResolveMove(p, Code("5554"), 1, m));  // empty origin
    EXPECT_EQ(m.capturedPiece, 0);
    EXPECT_EQ(m.capturedCode, 0);
    EXPECT_EQ(m.consumedTime, 33);  // comment and time bytes are not touched
    EXPECT_FALSE(ResolveMove(p, Code("0155"), 1, m));  // nothing in hand
}

TEST(ApplyBounds, BadRecordsRaiseWithoutChangingThePosition) {
    BoardPosition p = Start("startpos");
    BoardPosition before = p;
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, Code("7776"), 1, m));
    MoveRecord bad = m;
    bad.piece = 41;
    EXPECT_THROW(ApplyMove(p, bad), CorruptPosition);
    bad = m;
    bad.capturedPiece = 200;
    EXPECT_THROW(ApplyMove(p, bad), CorruptPosition);
    bad = m;
    bad.toRank = 0;
    EXPECT_THROW(ApplyMove(p, bad), CorruptPosition);
    bad = m;
    bad.piece = 0;
    EXPECT_THROW(ApplyMove(p, bad), CorruptPosition);
    EXPECT_THROW(UndoMove(p, bad, 1), CorruptPosition);
    EXPECT_EQ(p, before);
}

// Plays random games from every starting setup, taking back every move on the way back and
// comparing the piece table with the one before the move.
TEST(ApplyUndoRandomized, RestoresThePieceTableExactlyFromEverySetup) {
    std::mt19937 rng(12345);
    std::vector<MoveCode> moves;
    int played = 0;
    for (int h = 0; h < kHandicapCount; ++h) {
        char handicap = HandicapChar(h);
        for (int game = 0; game < 40; ++game) {
            BoardPosition p;
            SetUpStandard(p, handicap);
            std::vector<std::pair<BoardPosition, MoveRecord>> history;
            int length = 20 + int(rng() % 200);
            for (int n = 1; n <= length; ++n) {
                int side = SideToMove(n, 0, handicap);
                ListMoves(p, side, moves);
                if (moves.empty()) break;
                MoveCode code = moves[rng() % moves.size()];
                MoveRecord m;
                ASSERT_TRUE(ResolveMove(p, code, side, m)) << code.str();
                history.emplace_back(p, m);
                ApplyMove(p, m);
                Rebuild(p);
                ++played;
            }
            for (int n = int(history.size()); n >= 1; --n) {
                const auto& [before, m] = history[n - 1];
                UndoMove(p, m, SideToMove(n, 0, handicap));
                ASSERT_EQ(p.pieces, before.pieces) << "handicap " << handicap << " move " << n;
                ASSERT_EQ(p.board, before.board);
                ASSERT_EQ(p.senteHand, before.senteHand);
                ASSERT_EQ(p.goteHand, before.goteHand);
            }
        }
    }
    EXPECT_GT(played, 10000);
}

TEST(Sfen, RoundTripsAndRefusals) {
    const char* samples[] = {
        "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
        "ln1g3nl/1r1s1kg2/p1pppp1pp/6p2/1p7/2P5P/PPSPPPP2/2G4R1/LN2KGSNL w Bb 24",
        "8l/6+P2/7pk/6pN1/9/9/9/9/K8 b RB2G2S3L14Pr2g2snp 99",
    };
    for (const char* s : samples) {
        std::string error;
        auto p = ParseSfen(s, &error);
        ASSERT_TRUE(p) << s << ": " << error;
        EXPECT_EQ(ToSfen(p->position, p->sideToMove, p->moveNumber), s);
    }
    std::string error;
    EXPECT_FALSE(ParseSfen("lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSN b - 1", &error));
    EXPECT_FALSE(ParseSfen("9/9/9/9/9/9/9/9/9 x - 1", &error));
    EXPECT_FALSE(ParseSfen("9/9/9/9/9/9/9/9/9 b 19P 1", &error));
    EXPECT_FALSE(ParseSfen("KKK6/9/9/9/9/9/9/9/9 b - 1", &error));  // a set has two kings
    EXPECT_FALSE(ParseSfen("+G8/9/9/9/9/9/9/9/9 b - 1", &error));
    EXPECT_FALSE(ParseSfen("9/9/9/9/9/9/9/9/9/9 b - 1", &error));
    EXPECT_FALSE(error.empty());
}

TEST(Usi, MoveCodesBothWays) {
    EXPECT_EQ(MoveCodeToUsi(Code("7776")), "7g7f");
    EXPECT_EQ(MoveCodeToUsi(Code("8822+")), "8h2b+");
    EXPECT_EQ(MoveCodeToUsi(Code("0155")), "P*5e");
    EXPECT_EQ(MoveCodeToUsi(Code("0752")), "R*5b");
    EXPECT_EQ(UsiToMoveCode("G*5b")->str(), "0552 ");
    EXPECT_EQ(UsiToMoveCode("2b3c+")->str(), "2233+");
    EXPECT_FALSE(UsiToMoveCode("P*5e+"));
    EXPECT_FALSE(UsiToMoveCode("0a1b"));
    EXPECT_FALSE(UsiToMoveCode("7j7f"));
    EXPECT_FALSE(UsiToMoveCode("K*5e"));
}

}  // namespace
}  // namespace movra
