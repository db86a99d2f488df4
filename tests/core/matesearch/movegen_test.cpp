// The mate solver's move generator: checks and evasions under the full rules of play.
#include <gtest/gtest.h>

#include <random>

#include "core/matesearch/movegen.h"
#include "mate_test_support.h"

namespace movra {
namespace {

using namespace mate;
using testing::Contains;
using testing::SolverFromSfen;
using testing::UsiMoves;

std::vector<std::string> Checks(std::string_view sfen) {
    SolverPosition pos = SolverFromSfen(sfen);
    std::vector<Move> moves;
    GenerateChecks(pos, moves);
    return UsiMoves(moves);
}

std::vector<std::string> Evasions(std::string_view sfen) {
    SolverPosition pos = SolverFromSfen(sfen);
    std::vector<Move> moves;
    GenerateEvasions(pos, moves);
    return UsiMoves(moves);
}

std::vector<std::string> Legal(std::string_view sfen) {
    SolverPosition pos = SolverFromSfen(sfen);
    std::vector<Move> moves;
    GenerateLegalMoves(pos, moves);
    return UsiMoves(moves);
}

TEST(MateMoveGen, PawnDroppedToMateIsNotACheckButAPawnPushMayMate) {
    // Gold 2c and knight 3c hold every square round the king on 1a; a pawn on 1b is protected.
    auto dropped = Checks("8k/9/6NG1/9/9/9/9/9/K8 b P 1");
    EXPECT_FALSE(Contains(dropped, "P*1b"));
    EXPECT_FALSE(Contains(Legal("8k/9/6NG1/9/9/9/9/9/K8 b P 1"), "P*1b"));
    auto pushed = Checks("8k/9/6NGP/9/9/9/9/9/K8 b - 1");
    EXPECT_TRUE(Contains(pushed, "1c1b"));
    EXPECT_TRUE(Contains(pushed, "1c1b+"));
    // A pawn drop that checks without mating stays.
    EXPECT_TRUE(Contains(Checks("4k4/9/9/9/9/9/9/9/K8 b P 1"), "P*5b"));
}

TEST(MateMoveGen, PromotionFormsFollowTheRules) {
    // A pawn reaching the zone checks both ways.
    auto pawn = Checks("4k4/9/4P4/9/9/9/9/9/K8 b - 1");
    EXPECT_TRUE(Contains(pawn, "5c5b"));
    EXPECT_TRUE(Contains(pawn, "5c5b+"));
    // A lance on 6b checks only promoted; on the last rank it must promote.
    auto lanceChecks = Checks("4k4/9/3L5/9/9/9/9/9/K8 b - 1");
    EXPECT_EQ(lanceChecks, (std::vector<std::string>{"6c6a+", "6c6b+"}));
    auto lanceMoves = Legal("4k4/9/3L5/9/9/9/9/9/K8 b - 1");
    EXPECT_FALSE(Contains(lanceMoves, "6c6a"));
    EXPECT_TRUE(Contains(lanceMoves, "6c6b"));
    // A knight reaching the second rank must promote.
    auto knight = Legal("4k4/9/9/5N3/9/9/9/9/K8 b - 1");
    EXPECT_TRUE(Contains(knight, "4d5b+"));
    EXPECT_TRUE(Contains(knight, "4d3b+"));
    EXPECT_FALSE(Contains(knight, "4d5b"));
    EXPECT_EQ(Checks("4k4/9/9/5N3/9/9/9/9/K8 b - 1"), (std::vector<std::string>{"4d5b+"}));
    // Bishop and rook moves into the zone come unpromoted too.
    auto bishop = Checks("4k4/9/9/3B5/9/9/9/9/K8 b - 1");
    for (const char* m : {"6d7c", "6d7c+", "6d4b", "6d4b+"}) EXPECT_TRUE(Contains(bishop, m)) << m;
    auto rook = Checks("4k4/9/9/9/5R3/9/9/9/K8 b - 1");
    for (const char* m : {"4e4a", "4e4a+", "4e5e"}) EXPECT_TRUE(Contains(rook, m)) << m;
}

TEST(MateMoveGen, KnightChecksOnlyUnpromoted) {
    // The king is walled in by its own pieces; only the knight's jump reaches it.
    auto checks = Checks("3gkg3/3nnn3/9/9/4N4/9/9/9/4K4 b - 1");
    EXPECT_EQ(checks, (std::vector<std::string>{"5e4c", "5e6c"}));
}

TEST(MateMoveGen, DiscoveredChecksAndPinnedAttackers) {
    // The silver on 1e stands between the lance on 1i and the king on 1a.
    auto checks = Checks("8k/9/6NG1/9/8S/9/9/9/K7L b - 1");
    EXPECT_TRUE(Contains(checks, "1e2d"));
    EXPECT_TRUE(Contains(checks, "1e2f"));
    EXPECT_FALSE(Contains(checks, "1e1d"));
    // Gote's lance on 5c pins sente's gold on 5h to its king on 5i: the gold's check from 6g
    // would open the file, its check from 5g keeps it closed.
    auto pinned = Checks("9/9/4l4/9/9/3k5/9/4G4/4K4 b - 1");
    EXPECT_FALSE(Contains(pinned, "5h6g"));
    EXPECT_TRUE(Contains(pinned, "5h5g"));
    EXPECT_FALSE(Contains(Legal("9/9/4l4/9/9/3k5/9/4G4/4K4 b - 1"), "5h6g"));
}

TEST(MateMoveGen, AttackerInCheckMustAlsoAnswerTheCheck) {
    // Gote's lance on 5c checks sente's king on 5i. Only a check that blocks or takes it counts.
    EXPECT_EQ(Checks("9/9/4l4/9/9/3k5/9/9/4K4 b G 1"), (std::vector<std::string>{"G*5f", "G*5g"}));
}

TEST(MateMoveGen, EvasionsCountEveryInterposition) {
    // Sente's lance on 1i checks the king on 1a once the silver has left; gote holds a pawn.
    auto evasions = Evasions("8k/9/6NG1/9/9/7S1/9/9/K7L w p 1");
    EXPECT_EQ(evasions, (std::vector<std::string>{"P*1b", "P*1c", "P*1d", "P*1e", "P*1f", "P*1g", "P*1h"}));
    // Without a piece in hand there is no reply: mate.
    EXPECT_TRUE(Evasions("8k/9/6NG1/9/9/7S1/9/9/K7L w - 1").empty());
    // No second pawn in a file: gote's pawn on 5c forbids the interposition on 5a.
    auto doubled = Evasions("R7k/9/4p4/9/9/9/9/9/K8 w p 1");
    EXPECT_EQ(doubled, (std::vector<std::string>{"1a1b", "1a2b", "P*2a", "P*3a", "P*4a", "P*6a", "P*7a", "P*8a"}));
}

TEST(MateMoveGen, DoubleCheckAllowsOnlyKingMoves) {
    // Rook on 5e and bishop on 2d both check the king on 5a; gote holds gold to interpose.
    auto evasions = Evasions("4k4/9/9/7B1/4R4/9/9/9/K8 w g 1");
    ASSERT_FALSE(evasions.empty());
    for (const std::string& m : evasions) EXPECT_EQ(m.substr(0, 2), "5a") << m;
}

TEST(MateMoveGen, PinnedDefenderCannotInterpose) {
    // Gote's gold on 4b is pinned by sente's bishop on 2d (through 3c) against the king on 5a;
    // the rook on 5e checks. The gold's step to 5b would block the rook but leave the king open.
    auto evasions = Evasions("4k4/5g3/9/7B1/4R4/9/9/9/K8 w - 1");
    EXPECT_FALSE(Contains(evasions, "4b5b"));
    auto free = Evasions("4k4/5g3/9/9/4R4/9/9/9/K8 w - 1");
    EXPECT_TRUE(Contains(free, "4b5b"));
}

TEST(MateMoveGen, DefenderMayNotDropAPawnThatMatesTheAttacker) {
    // Sente's bishop on 4d checks the king on 1a and is pinned to sente's king on 3d by gote's
    // rook on 5d. A gote pawn on 3c would check sente's king, which has no escape and cannot take
    // it (the bishop is pinned, the gold on 3b protects the pawn): the drop is illegal.
    const char* sfen = "7lk/6g2/4nn3/4rBK2/9/9/9/9/9 w gp 1";
    auto evasions = Evasions(sfen);
    EXPECT_FALSE(Contains(evasions, "P*3c"));
    EXPECT_TRUE(Contains(evasions, "P*2b"));
    EXPECT_TRUE(Contains(evasions, "G*3c"));
    EXPECT_TRUE(Contains(evasions, "1a1b"));
    EXPECT_FALSE(Contains(Legal(sfen), "P*3c"));
}

// The attackers of a square are exactly the pieces whose own moves reach it.
TEST(MateMoveGen, AttackersMatchEachPiecesMoves) {
    std::mt19937 random(99);
    for (int n = 0; n < 300; ++n) {
        SolverPosition pos;
        for (int i = 0; i < 24; ++i) {
            Sq s = random() % kSquareCount;
            int type = 1 + random() % 15;
            if (type == 13 || type == pt::kKing) continue;
            pos.PutPiece(s, MakePiece(Color(random() % 2), type));
        }
        for (Sq s = 0; s < kSquareCount; ++s) {
            for (Color by : {kSente, kGote}) {
                Bitboard expected;
                for (Bitboard b = pos.pieces(by); b.any();) {
                    Sq from = b.popLsb();
                    if (PieceAttack(by, TypeOf(pos.pieceOn(from)), from, pos.occupied()).test(s)) expected.set(from);
                }
                ASSERT_EQ(pos.attackersTo(by, s), expected) << "position " << n << " square " << s;
            }
        }
    }
}

// Every generated check and evasion agrees with the plain rule (a legal move after which the
// opponent's king is attacked; every legal move while in check), over random games.
TEST(MateMoveGen, AgreesWithThePlainRulesOverRandomGames) {
    const char* starts[] = {
        "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
        "ln1g3nl/1r3kg2/p2pppsp1/2ps2p1p/1p5P1/2P1P1P2/PPSP1P2P/2G2S1R1/LN2KG1NL b Bb 1",
        "4k4/9/9/9/9/9/9/9/4K4 b RBGSNLPrbgsnlp 1",
    };
    std::mt19937 random(20240611);
    int positions = 0;
    for (const char* start : starts) {
        for (int game = 0; game < 12; ++game) {
            SolverPosition pos = SolverFromSfen(start);
            for (int ply = 0; ply < 160; ++ply) {
                std::vector<Move> legal;
                GenerateLegalMoves(pos, legal);
                const Color us = pos.sideToMove();
                if (pos.inCheck(us)) {
                    std::vector<Move> evasions;
                    GenerateEvasions(pos, evasions);
                    ASSERT_EQ(UsiMoves(evasions), UsiMoves(legal)) << "evasions at ply " << ply;
                    ASSERT_EQ(HasEvasion(pos), !legal.empty());
                }
                std::vector<Move> expected;
                for (Move m : legal) {
                    UndoInfo undo;
                    pos.doMove(m, undo);
                    if (pos.inCheck(Opponent(us))) expected.push_back(m);
                    pos.undoMove(m, undo);
                }
                std::vector<Move> checks;
                GenerateChecks(pos, checks);
                ASSERT_EQ(UsiMoves(checks), UsiMoves(expected)) << "checks at ply " << ply;
                ++positions;
                if (legal.empty()) break;
                // Prefer checks now and then so that positions in check come up often.
                const std::vector<Move>& pool = !expected.empty() && random() % 3 == 0 ? expected : legal;
                Move m = pool[random() % pool.size()];
                UndoInfo undo;
                const std::uint64_t keyAfter = pos.keyAfter(m);
                pos.doMove(m, undo);
                ASSERT_EQ(pos.key(), keyAfter);
            }
        }
    }
    EXPECT_GT(positions, 2000);
}

}  // namespace
}  // namespace movra
