#pragma once
// The built-in mate solver: a depth-first proof-number search (df-pn) bounded by a number of
// plies, which answers "does the side to move mate within N plies" exactly under the full rules
// of play. The attacker plays only checks; every legal reply of the defender, each interposition
// included, is a defence and counts as a ply. A perpetual check never becomes a mate because the
// bound runs out.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/matesearch/mate_table.h"
#include "core/matesearch/solver_position.h"

namespace movra::mate {

enum class Outcome { kMate, kNoMate, kUnknown };

struct SolveResult {
    Outcome outcome = Outcome::kUnknown;
    int plies = 0;           // kMate: the length of the mate found (at most the depth asked)
    Move firstMove = kNoMove;  // kMate: the attacker's first move
    bool noMateAtAll = false;  // kNoMate: the disproof did not depend on the bound
    std::uint64_t nodes = 0;
};

// Where the proof-number search hands over to a plain depth-first search. Proof numbers pay off
// in deep trees; near the leaves, and in whole trees of a few plies, they re-expand the same
// nodes again and again, and a depth-first search in a good move order does the same work once:
// when no mate exists within a bound of 15 it needs a small fraction of the nodes.
struct SolverOptions {
    int depthFirstPlies = 7;    // nodes with at most this many plies left
    int depthFirstBound = 15;   // whole searches with a bound of at most this many plies
};

class DfpnSolver {
public:
    explicit DfpnSolver(std::size_t tableMegabytes, const SolverOptions& options = {});

    // Whether the side to move of `pos` mates within `depth` plies (an even depth counts as the
    // odd number below it; bounds above 4095 count as 4095). When the defender is already in
    // check the answer is a mate in one that takes the king. The search stops with kUnknown soon
    // after *stop becomes true. The table is kept between calls on the same position, so asking
    // again with a larger depth builds on the earlier answers.
    SolveResult Solve(SolverPosition& pos, int depth, const std::atomic<bool>* stop = nullptr);

    // Forgets everything learnt so far.
    void ClearTable() { table_.Clear(); }
    const MateTable& table() const { return table_; }

private:
    struct Child {
        Move move;
        std::uint32_t hand;
        std::uint64_t key;
        NodeValue value;  // as last read from the table
    };

    void Search(bool attacker, int depth, std::uint64_t key, std::uint32_t hand, std::uint32_t thpn,
                std::uint32_t thdn);
    bool MateInOne(std::size_t first, std::size_t last, Move& mate);
    // Solves a node exactly depth-first and stores the answer. Returns whether the attacker
    // mates and the plies of the mate, or within which there is none (meaningless when stopped).
    struct Answer {
        bool mated;
        int plies;
    };
    Answer DepthFirst(bool attacker, int depth, std::uint64_t key, std::uint32_t hand);
    void OrderEvasions(std::size_t first, std::size_t last);
    bool Stopping();

    MateTable table_;
    SolverOptions options_;
    SolverPosition* pos_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
    bool stopped_ = false;
    std::uint64_t nodes_ = 0;
    std::uint64_t rootSignature_ = 0;
    std::vector<Move> moves_;    // move lists of the nodes on the current path
    std::vector<Child> children_;
};

}  // namespace movra::mate
