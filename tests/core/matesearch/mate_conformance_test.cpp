// Conformance of the built-in solver with problems of known length (MOVRA_MATE): a mate of L
// plies is found at depth L with a correct first move, none at L - 2; the bare kings of
// nomate.tsv have no mate within 15.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/matesearch/dfpn.h"
#include "mate_test_support.h"

namespace movra {
namespace {

using namespace mate;
using testing::SolverFromSfen;

struct Problem {
    std::string name;
    int plies = 0;
    std::string sfen;
};

// Rows "name <tab> length <tab> sfen"; '#' starts a comment line.
std::vector<Problem> ReadProblems(const std::string& file) {
    std::vector<Problem> problems;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Problem p;
        std::string plies;
        std::getline(fields, p.name, '\t');
        std::getline(fields, plies, '\t');
        std::getline(fields, p.sfen);
        p.plies = std::atoi(plies.c_str());
        problems.push_back(p);
    }
    return problems;
}

std::string MateFolder() {
    const char* folder = std::getenv("MOVRA_MATE");
    return folder ? folder : "";
}

// The longest problems checked here; longer ones are for the benchmark.
constexpr int kLongest = 13;

TEST(MateConformance, SuiteLengthsAndFirstMoves) {
    if (MateFolder().empty()) GTEST_SKIP() << "MOVRA_MATE is not set: no mate problems to check";
    std::vector<Problem> problems = ReadProblems(MateFolder() + "/suite.tsv");
    ASSERT_FALSE(problems.empty());
    DfpnSolver solver(256);
    int checked = 0;
    for (const Problem& p : problems) {
        if (p.plies < 1 || p.plies > kLongest) continue;  // 0: length not given
        SCOPED_TRACE(p.name);
        SolverPosition pos = SolverFromSfen(p.sfen);
        // Deepening as the window does: nothing below L, the mate at L.
        SolveResult found;
        for (int depth = 1; depth <= p.plies; depth += 2) {
            found = solver.Solve(pos, depth);
            if (found.outcome == Outcome::kMate) break;
            ASSERT_EQ(found.outcome, Outcome::kNoMate) << "depth " << depth;
        }
        ASSERT_EQ(found.outcome, Outcome::kMate);
        EXPECT_EQ(found.plies, p.plies);
        // The first move is legal and every reply leaves a mate within L - 2.
        SolverPosition after = pos;
        ASSERT_TRUE(IsLegalMove(after, found.firstMove)) << MoveToUsi(found.firstMove);
        UndoInfo undo;
        after.doMove(found.firstMove, undo);
        ASSERT_TRUE(after.inCheck(after.sideToMove()));
        std::vector<Move> replies;
        GenerateLegalMoves(after, replies);
        EXPECT_EQ(replies.empty(), p.plies == 1);
        for (Move r : replies) {
            SolverPosition next = after;
            UndoInfo u;
            next.doMove(r, u);
            SolveResult rest = solver.Solve(next, p.plies - 2);
            EXPECT_EQ(rest.outcome, Outcome::kMate) << MoveToUsi(found.firstMove) << " " << MoveToUsi(r);
        }
        ++checked;
    }
    EXPECT_GT(checked, 30);
}

TEST(MateConformance, BareKingsHaveNoMateWithin15) {
    if (MateFolder().empty()) GTEST_SKIP() << "MOVRA_MATE is not set: no mate problems to check";
    std::vector<Problem> problems = ReadProblems(MateFolder() + "/nomate.tsv");
    ASSERT_FALSE(problems.empty());
    DfpnSolver solver(256);
    for (const Problem& p : problems) {
        SCOPED_TRACE(p.name);
        SolverPosition pos = SolverFromSfen(p.sfen);
        for (int depth = 1; depth <= 15; depth += 2)
            ASSERT_EQ(solver.Solve(pos, depth).outcome, Outcome::kNoMate) << "depth " << depth;
    }
}

}  // namespace
}  // namespace movra
