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

    // What the children of a node tell, folded from the side to move there (see Mover in the
    // source): the best won child, the preferred ply count of the lost ones, and among the open
    // ones the child with the smallest own number, the runner-up's own number, and the sum of
    // their other numbers.
    struct Children {
        Move wonMove = kNoMove;  // kNoMove: no child is won
        int wonPlies = 0;
        int lostPlies = 0;
        std::size_t best = 0;  // the end of the children when none is open
        std::uint32_t bestOwn = 0;
        std::uint32_t bestOther = 0;
        std::uint32_t second = kInfinite;
        std::uint64_t sumOther = 0;
    };

    // The proof-number search of a node within the thresholds, storing what it learns.
    void Search(bool attacker, int depth, std::uint64_t key, std::uint32_t hand, std::uint32_t thpn,
                std::uint32_t thdn);
    // A node answered from its moves alone (none, or an attacker's mate in one or last ply);
    // returns whether it was, having stored the answer.
    bool SettledAtOnce(bool attacker, int depth, std::uint64_t key, std::uint32_t hand,
                       const NodeValue& self, std::size_t first, std::size_t last,
                       std::uint64_t startNodes);
    // Searches the children from `firstChild` to the end, one at a time, until the node is
    // solved or its numbers reach the thresholds.
    template <bool kAttacker>
    void SearchChildren(int depth, std::uint64_t key, std::uint32_t hand, std::uint32_t thpn,
                        std::uint32_t thdn, std::size_t firstChild, std::uint64_t startNodes);
    template <bool kAttacker>
    Children Summarize(std::size_t firstChild, std::size_t lastChild) const;
    // Stores a node solved through a child of `childPlies`: proven or disproven.
    void StoreSolved(bool attackerWins, std::uint64_t key, std::uint32_t hand, int childPlies,
                     Move move, std::uint32_t amount);
    // The search effort since `startNodes`, as the table keeps it.
    std::uint32_t WorkSince(std::uint64_t startNodes) const;
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
