// The built-in solver: "mate within N plies" exactly, under the full rules of play.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "core/matesearch/dfpn.h"
#include "mate_test_support.h"

namespace movra {
namespace {

using namespace mate;
using testing::SolverFromSfen;

// The depth-first path (bounds up to 15) and the proof-number path must agree.
SolverOptions DepthFirst() { return {}; }
SolverOptions ProofNumbers() { return SolverOptions{0, 0}; }

// The shortest mate found by deepening 1, 3, 5, ... up to `limit`, as the window runs it; 0
// when there is none.
int ShortestMate(std::string_view sfen, int limit, const SolverOptions& options, Move* first = nullptr) {
    DfpnSolver solver(8, options);
    SolverPosition pos = SolverFromSfen(sfen);
    for (int depth = 1; depth <= limit; depth += 2) {
        SolveResult r = solver.Solve(pos, depth);
        EXPECT_NE(r.outcome, Outcome::kUnknown);
        if (r.outcome == Outcome::kMate) {
            EXPECT_EQ(r.plies, depth) << sfen;  // deepening finds the shortest mate
            if (first) *first = r.firstMove;
            return r.plies;
        }
    }
    return 0;
}

void ExpectShortestMate(std::string_view sfen, int plies, int limit, const char* first = nullptr) {
    for (const SolverOptions& options : {DepthFirst(), ProofNumbers()}) {
        Move m = kNoMove;
        EXPECT_EQ(ShortestMate(sfen, limit, options, &m), plies) << sfen << " depth-first bound "
                                                                  << options.depthFirstBound;
        if (first && plies) {
            EXPECT_EQ(MoveToUsi(m), first) << sfen;
        }
    }
}

TEST(MateSolver, MateInOneIsReportedAsOne) {
    // The silver steps aside and the lance on 1i mates at once.
    ExpectShortestMate("8k/9/6NG1/9/8S/9/9/9/K7L b - 1", 1, 15);
    DfpnSolver solver(4);
    SolverPosition pos = SolverFromSfen("8k/9/6NG1/9/8S/9/9/9/K7L b - 1");
    SolveResult r = solver.Solve(pos, 11);
    EXPECT_EQ(r.outcome, Outcome::kMate);
    EXPECT_EQ(r.plies, 1) << "a bound of 11 still reports the mate's own length";
}

TEST(MateSolver, EveryInterpositionCounts) {
    // With a pawn in gote's hand the discovered check is answered by interposing it; taking
    // the pawn mates: three plies.
    ExpectShortestMate("8k/9/6NG1/9/8S/9/9/9/K7L b p 1", 3, 15);
    DfpnSolver solver(4);
    SolverPosition pos = SolverFromSfen("8k/9/6NG1/9/8S/9/9/9/K7L b p 1");
    EXPECT_EQ(solver.Solve(pos, 1).outcome, Outcome::kNoMate);
    EXPECT_EQ(solver.Solve(pos, 2).outcome, Outcome::kNoMate) << "an even bound means the odd one below";
    EXPECT_EQ(solver.Solve(pos, 3).outcome, Outcome::kMate);
    EXPECT_EQ(solver.Solve(pos, 1).outcome, Outcome::kNoMate) << "the stored 3-ply mate is no mate in 1";
}

TEST(MateSolver, PawnDropMateIsRefusedPawnPushMateIsFound) {
    // Dropping the pawn on 1b would mate: illegal, and nothing else mates in one.
    DfpnSolver solver(4);
    SolverPosition dropped = SolverFromSfen("8k/9/6NG1/9/9/9/9/9/K8 b P 1");
    EXPECT_EQ(solver.Solve(dropped, 1).outcome, Outcome::kNoMate);
    // The same mate by pushing the pawn from 1c is fine.
    Move first = kNoMove;
    EXPECT_EQ(ShortestMate("8k/9/6NGP/9/9/9/9/9/K8 b - 1", 15, DepthFirst(), &first), 1);
    EXPECT_EQ(MoveFrom(first), MakeSq(1, 3));
    EXPECT_EQ(MoveTo(first), MakeSq(1, 2));
}

TEST(MateSolver, MateThatNeedsANonPromotion) {
    // Only the unpromoted knight reaches the walled-in king.
    Move first = kNoMove;
    EXPECT_EQ(ShortestMate("3gkg3/3nnn3/9/9/4N4/9/9/9/4K4 b - 1", 15, DepthFirst(), &first), 1);
    EXPECT_FALSE(IsPromotion(first));
    EXPECT_EQ(ShortestMate("3gkg3/3nnn3/9/9/4N4/9/9/9/4K4 b - 1", 15, ProofNumbers()), 1);
}

TEST(MateSolver, PerpetualCheckIsNoMate) {
    // The dragon checks from 3a and 3b for ever while the king steps between 1a and 1b; it never
    // mates.
    const char* sfen = "8k/6+R2/7pp/9/9/9/9/9/K8 b - 1";
    for (const SolverOptions& options : {DepthFirst(), ProofNumbers()}) {
        DfpnSolver solver(16, options);
        SolverPosition pos = SolverFromSfen(sfen);
        for (int depth : {15, 31}) {
            SolveResult r = solver.Solve(pos, depth);
            EXPECT_EQ(r.outcome, Outcome::kNoMate) << depth;
            EXPECT_FALSE(r.noMateAtAll) << "the checks never run out";
        }
    }
}

TEST(MateSolver, NoCheckAtAllIsNoMateAtAnyDepth) {
    DfpnSolver solver(4);
    SolverPosition pos = SolverFromSfen("4k4/9/9/9/9/9/9/9/4K4 b - 1");
    SolveResult r = solver.Solve(pos, 9);
    EXPECT_EQ(r.outcome, Outcome::kNoMate);
    EXPECT_TRUE(r.noMateAtAll);
}

TEST(MateSolver, DefenderAlreadyInCheckIsAMateInOneTakingTheKing) {
    DfpnSolver solver(4);
    SolverPosition pos = SolverFromSfen("4k4/9/9/9/4R4/9/9/9/K8 b - 1");
    SolveResult r = solver.Solve(pos, 9);
    EXPECT_EQ(r.outcome, Outcome::kMate);
    EXPECT_EQ(r.plies, 1);
    EXPECT_EQ(MoveToUsi(r.firstMove), "5e5a");
}

TEST(MateSolver, StopsWhenAsked) {
    // A bare king against rook, bishop, gold and silver: no mate, and much to search at 15.
    std::atomic<bool> stop{false};
    DfpnSolver solver(16);
    SolverPosition pos = SolverFromSfen("4k4/9/9/9/9/9/9/9/4K4 b RBGSb3g3s4n4l18p 1");
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        stop = true;
    });
    SolveResult r = solver.Solve(pos, 15, &stop);
    stopper.join();
    EXPECT_EQ(r.outcome, Outcome::kUnknown);
}

// A plain minimax over every legal move: does the side to move mate within `depth` plies,
// checking at every move? Slow, but it shares nothing with the solver's search.
bool PlainMate(SolverPosition& pos, int depth) {
    if (depth < 1) return false;
    const Color us = pos.sideToMove();
    std::vector<Move> moves;
    GenerateLegalMoves(pos, moves);
    for (Move m : moves) {
        UndoInfo undo;
        pos.doMove(m, undo);
        bool mates = false;
        if (pos.inCheck(Opponent(us))) {
            std::vector<Move> replies;
            GenerateLegalMoves(pos, replies);
            mates = true;
            for (Move r : replies) {
                UndoInfo u2;
                pos.doMove(r, u2);
                bool mated = PlainMate(pos, depth - 2);
                pos.undoMove(r, u2);
                if (!mated) {
                    mates = false;
                    break;
                }
            }
        }
        pos.undoMove(m, undo);
        if (mates) return true;
    }
    return false;
}

// Random positions round a king at the edge: the solver's answers for 1 to 7 plies match the
// plain minimax, on both search paths and with one table kept across positions.
TEST(MateSolver, MatchesAPlainMinimaxOnRandomPositions) {
    std::mt19937 random(7);
    DfpnSolver depthFirst(16, DepthFirst());
    DfpnSolver proofNumbers(16, ProofNumbers());
    int mates = 0, tried = 0;
    for (int n = 0; n < 250; ++n) {
        SolverPosition pos;
        int kf = 1 + random() % 9, kr = 1 + random() % 2;
        pos.PutPiece(MakeSq(kf, kr), MakePiece(kGote, pt::kKing));
        pos.PutPiece(MakeSq(5, 9), MakePiece(kSente, pt::kKing));
        for (int i = random() % 4; i > 0; --i) {
            int f = std::clamp(kf + int(random() % 5) - 2, 1, 9), r = 1 + random() % 4;
            Sq s = MakeSq(f, r);
            if (pos.pieceOn(s)) continue;
            int type = 1 + random() % 7;
            if (random() % 3 == 0 && CanPromote(type)) type += 8;
            Color c = random() % 3 == 0 ? kGote : kSente;
            if (RelativeRank(c, s) <= 2 && (type == pt::kPawn || type == pt::kLance || type == pt::kKnight)) continue;
            pos.PutPiece(s, MakePiece(c, type));
        }
        for (int i = random() % 3 + 1; i > 0; --i) {
            int kind = 1 + random() % 7;
            pos.SetHand(kSente, kind, std::min(pos.handCount(kSente, kind) + 1, 2));
        }
        if (random() % 2) pos.SetHand(kGote, pt::kPawn, 1);
        if (random() % 2) pos.SetHand(kGote, pt::kGold, 1);
        pos.SetSideToMove(kSente);
        if (pos.inCheck(kGote) || pos.inCheck(kSente)) continue;
        ++tried;
        for (int depth : {1, 3, 5, 7}) {
            SolverPosition probe = pos;
            bool expected = PlainMate(probe, depth);
            SolveResult a = depthFirst.Solve(pos, depth);
            SolveResult b = proofNumbers.Solve(pos, depth);
            ASSERT_EQ(a.outcome == Outcome::kMate, expected) << "depth-first, position " << n << " depth " << depth;
            ASSERT_EQ(b.outcome == Outcome::kMate, expected) << "proof numbers, position " << n << " depth " << depth;
            if (expected) {
                ++mates;
                EXPECT_LE(a.plies, depth);
                // The first move mates within the rest of the bound.
                SolverPosition after = pos;
                ASSERT_TRUE(IsLegalMove(after, a.firstMove));
                UndoInfo undo;
                after.doMove(a.firstMove, undo);
                std::vector<Move> replies;
                GenerateLegalMoves(after, replies);
                for (Move r : replies) {
                    SolverPosition next = after;
                    UndoInfo u2;
                    next.doMove(r, u2);
                    EXPECT_TRUE(PlainMate(next, depth - 2)) << "position " << n;
                }
                if (replies.empty()) {
                    EXPECT_TRUE(after.inCheck(kGote));
                }
            }
        }
    }
    EXPECT_GT(tried, 150);
    EXPECT_GT(mates, 20) << "the sample should hold mates";
}

}  // namespace
}  // namespace movra
