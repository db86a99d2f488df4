#include "core/matesearch/dfpn.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "core/matesearch/movegen.h"

namespace movra::mate {
namespace {

// Proof and disproof numbers of unsolved nodes stay below kInfinite.
std::uint32_t SaturatedSum(std::uint64_t a, std::uint64_t b) {
    return std::uint32_t(std::min<std::uint64_t>(a + b, kInfinite - 1));
}

std::uint32_t Clamp(std::uint64_t v) { return std::uint32_t(std::min<std::uint64_t>(v, kInfinite)); }

int PliesAfter(int plies) { return plies >= kNoMateAtAll - 1 ? kNoMateAtAll : plies + 1; }

// The move the table's hint names goes first among moves [first, last).
[[gnu::always_inline]] inline void PutHintFirst(std::vector<Move>& moves, Move hint, std::size_t first,
                                                std::size_t last) {
    if (hint == kNoMove) return;
    auto it = std::find(moves.begin() + first, moves.begin() + last, hint);
    if (it != moves.begin() + last) std::rotate(moves.begin() + first, it, it + 1);
}

// The deepest bound searched: the search recurses once per ply, and the longest known mating
// problems run to about 1,500 plies.
constexpr int kDeepest = 4095;

}  // namespace

DfpnSolver::DfpnSolver(std::size_t tableMegabytes, const SolverOptions& options)
    : table_(tableMegabytes), options_(options) {}

void DfpnSolver::OrderEvasions(std::size_t first, std::size_t last) {
    // King moves come first from the generator. Taking the checking piece, then squares nearer
    // the middle of the board, are the likelier escapes.
    const SolverPosition& pos = *pos_;
    const Sq king = pos.king(pos.sideToMove());
    std::size_t kingMoves = first;
    while (kingMoves < last && !IsDrop(moves_[kingMoves]) && MoveFrom(moves_[kingMoves]) == king) ++kingMoves;
    auto rank = [&](Move m) {
        Sq to = MoveTo(m);
        int centre = std::abs(FileOf(to) - 5) + std::abs(RankOf(to) - 5);
        return (pos.pieceOn(to) ? 0 : 16) + centre;
    };
    for (std::size_t i = first + 1; i < kingMoves; ++i) {  // at most eight: insertion sort
        Move m = moves_[i];
        int r = rank(m);
        std::size_t j = i;
        for (; j > first && rank(moves_[j - 1]) > r; --j) moves_[j] = moves_[j - 1];
        moves_[j] = m;
    }
}

bool DfpnSolver::Stopping() {
    // The stop request is looked at once every kStopCheckNodes nodes (a power of two).
    constexpr std::uint64_t kStopCheckNodes = 1024;
    if (!stopped_ && (nodes_ & (kStopCheckNodes - 1)) == 0 && stop_ &&
        stop_->load(std::memory_order_relaxed)) {
        stopped_ = true;
    }
    return stopped_;
}

SolveResult DfpnSolver::Solve(SolverPosition& pos, int depth, const std::atomic<bool>* stop) {
    SolveResult result;
    pos_ = &pos;
    stop_ = stop;
    stopped_ = false;
    const std::uint64_t startNodes = nodes_;
    const Color us = pos.sideToMove();
    const Sq enemyKing = pos.king(Opponent(us));
    if (enemyKing == kNoSquare) {
        result.outcome = Outcome::kNoMate;
        result.noMateAtAll = true;
        return result;
    }
    // The defender is already in check: taking the king is the answer.
    Bitboard attackers = pos.attackersTo(us, enemyKing);
    if (attackers.any()) {
        result.outcome = Outcome::kMate;
        result.plies = 1;
        result.firstMove = MakeBoardMove(attackers.lsb(), enemyKing, false);
        return result;
    }
    if (depth % 2 == 0) --depth;
    if (depth < 1) {
        result.outcome = Outcome::kNoMate;
        return result;
    }
    depth = std::min(depth, kDeepest);

    const std::uint64_t signature = pos.key() ^ (std::uint64_t(pos.packedHand(kSente)) << 32) ^
                                    pos.packedHand(kGote);
    if (signature != rootSignature_) {
        table_.Clear();
        rootSignature_ = signature;
    }
    const std::uint64_t key = pos.key();
    const std::uint32_t hand = pos.packedHand(us);
    for (;;) {
        NodeValue v = table_.Lookup(key, hand, depth);
        if (v.proven()) {
            result.outcome = Outcome::kMate;
            result.plies = v.plies;
            result.firstMove = v.move;
            break;
        }
        if (v.disproven()) {
            result.outcome = Outcome::kNoMate;
            result.noMateAtAll = v.plies >= kNoMateAtAll;
            break;
        }
        if (stopped_) break;
        if (depth <= options_.depthFirstBound) DepthFirst(true, depth, key, hand);
        else Search(true, depth, key, hand, kInfinite, kInfinite);
    }
    result.nodes = nodes_ - startNodes;
    moves_.clear();
    children_.clear();
    return result;
}

bool DfpnSolver::MateInOne(std::size_t first, std::size_t last, Move& mate) {
    SolverPosition& pos = *pos_;
    for (std::size_t i = first; i < last; ++i) {
        Move m = moves_[i];
        UndoInfo undo;
        pos.doMove(m, undo);
        bool mated = !HasEvasion(pos);
        pos.undoMove(m, undo);
        // Checks come without pawn drops that would mate, so every mating check here is legal.
        if (mated) {
            mate = m;
            return true;
        }
    }
    return false;
}

DfpnSolver::Answer DfpnSolver::DepthFirst(bool attacker, int depth, std::uint64_t key, std::uint32_t hand) {
    ++nodes_;
    if (Stopping()) return {false, 0};
    const NodeValue self = table_.Lookup(key, hand, depth);
    if (self.proven()) return {true, self.plies};
    if (self.disproven()) return {false, self.plies};
    const std::uint64_t startNodes = nodes_;
    SolverPosition& pos = *pos_;
    const std::size_t first = moves_.size();
    // The defender's king moves come first and usually refute; the other replies (often many
    // interpositions) are generated only when every king move has failed.
    bool othersPending = false;
    if (attacker) {
        GenerateChecks(pos, moves_);
    } else {
        GenerateKingEvasions(pos, moves_);
        const Sq king = pos.king(pos.sideToMove());
        const bool hintIsKingMove = self.hint == kNoMove || (!IsDrop(self.hint) && MoveFrom(self.hint) == king);
        if (hintIsKingMove && moves_.size() > first) othersPending = true;
        else GenerateOtherEvasions(pos, moves_);
    }
    std::size_t last = moves_.size();
    auto leave = [&](bool mated, int plies, Move move) {
        moves_.resize(first);
        if (mated) table_.StoreProven(key, hand, plies, move, WorkSince(startNodes));
        else table_.StoreDisproven(key, hand, plies, move, WorkSince(startNodes));
        return Answer{mated, plies};
    };
    if (first == last) return attacker ? leave(false, kNoMateAtAll, kNoMove) : leave(true, 0, kNoMove);
    if (attacker) {
        Move mate;
        if ((depth == 1 || !self.seen) && MateInOne(first, last, mate)) return leave(true, 1, mate);
        if (depth == 1) return leave(false, 1, kNoMove);
    } else {
        OrderEvasions(first, last);
    }
    PutHintFirst(moves_, self.hint, first, last);
    // An attacker's node is proven by its first proven child, a defender's node disproven by its
    // first disproven child; otherwise the node keeps the weakest bound of its children: the
    // fewest plies without mate, or the longest mate.
    int bound = attacker ? kNoMateAtAll : 0;
    for (std::size_t i = first;; ++i) {
        if (i == last) {
            if (!othersPending) break;
            othersPending = false;
            GenerateOtherEvasions(pos, moves_);
            last = moves_.size();
            if (i == last) break;
        }
        const Move m = moves_[i];
        const std::uint64_t childKey = pos.keyAfter(m);
        if (i + 1 < last) table_.Prefetch(pos.keyAfter(moves_[i + 1]));
        const std::uint32_t childHand = attacker ? pos.moverHandAfter(m) : hand;
        UndoInfo undo;
        pos.doMove(m, undo);
        const Answer child = DepthFirst(!attacker, depth - 1, childKey, childHand);
        pos.undoMove(m, undo);
        if (stopped_) {
            moves_.resize(first);
            return {false, 0};
        }
        if (child.mated == attacker) return leave(attacker, PliesAfter(child.plies), m);
        bound = attacker ? std::min(bound, child.plies) : std::max(bound, child.plies);
    }
    return leave(!attacker, PliesAfter(bound), kNoMove);
}

inline std::uint32_t DfpnSolver::WorkSince(std::uint64_t startNodes) const {
    return std::uint32_t(std::min<std::uint64_t>(nodes_ - startNodes + 1, kInfinite));
}

inline bool DfpnSolver::SettledAtOnce(bool attacker, int depth, std::uint64_t key,
                                      std::uint32_t hand, const NodeValue& self, std::size_t first,
                                      std::size_t last, std::uint64_t startNodes) {
    if (first == last) {
        // No check: no mate at all. No evasion: mated.
        if (attacker) table_.StoreDisproven(key, hand, kNoMateAtAll, kNoMove, 1);
        else table_.StoreProven(key, hand, 0, kNoMove, 1);
        return true;
    }
    // Cheap look at a new attacker's node: a mate in one ends it, and at depth 1 nothing else can.
    if (!attacker || (depth != 1 && self.seen)) return false;
    Move mate;
    if (MateInOne(first, last, mate)) {
        table_.StoreProven(key, hand, 1, mate, WorkSince(startNodes));
        return true;
    }
    if (depth == 1) {
        table_.StoreDisproven(key, hand, 1, kNoMove, WorkSince(startNodes));
        return true;
    }
    return false;
}

namespace {

// A node's numbers as the side to move there sees them. `Own` is what that side still needs to
// win (the attacker's proof number, the defender's disproof number), `Other` what the opponent
// needs. A child is won for the mover when it is proven (attacker) or disproven (defender), and
// lost the other way round. Of two ply counts the attacker prefers the smaller (the shorter
// mate, the weaker bound without mate), the defender the larger.
template <bool kAttacker>
struct Mover {
    static std::uint32_t Own(const NodeValue& v) { return kAttacker ? v.pn : v.dn; }
    static std::uint32_t Other(const NodeValue& v) { return kAttacker ? v.dn : v.pn; }
    static bool Won(const NodeValue& v) { return kAttacker ? v.proven() : v.disproven(); }
    static bool Lost(const NodeValue& v) { return kAttacker ? v.disproven() : v.proven(); }
    static bool Prefers(int plies, int than) { return kAttacker ? plies < than : plies > than; }
    // A ply count that every real count is preferred to.
    static constexpr int kWorst = kAttacker ? std::numeric_limits<int>::max() : -1;
};

}  // namespace

template <bool kAttacker>
DfpnSolver::Children DfpnSolver::Summarize(std::size_t firstChild, std::size_t lastChild) const {
    using M = Mover<kAttacker>;
    // Kept in locals, not in the answer: its memory might be the children's for all the
    // compiler knows, and the loop would reload them.
    Move wonMove = kNoMove;
    int wonPlies = M::kWorst;
    int lostPlies = M::kWorst;  // when every child is lost: the count the mover prefers
    std::size_t best = lastChild;
    std::uint32_t bestOwn = 0, bestOther = 0, second = kInfinite;
    std::uint64_t sumOther = 0;
    for (std::size_t i = firstChild; i < lastChild; ++i) {
        const NodeValue& v = children_[i].value;
        if (M::Won(v)) {
            if (M::Prefers(v.plies, wonPlies)) {
                wonPlies = v.plies;
                wonMove = children_[i].move;
            }
        } else if (M::Lost(v)) {
            if (M::Prefers(v.plies, lostPlies)) lostPlies = v.plies;
        } else {
            sumOther = SaturatedSum(sumOther, M::Other(v));
            const std::uint32_t own = M::Own(v);
            if (best == lastChild || own < bestOwn) {
                if (best != lastChild) second = bestOwn;
                best = i;
                bestOwn = own;
                bestOther = M::Other(v);
            } else if (own < second) {
                second = own;
            }
        }
    }
    return Children{wonMove, wonPlies, lostPlies, best, bestOwn, bestOther, second, sumOther};
}

inline void DfpnSolver::StoreSolved(bool attackerWins, std::uint64_t key, std::uint32_t hand,
                                    int childPlies, Move move, std::uint32_t amount) {
    // A mate grows by the ply to the child; so does a bound without mate, up to "none at all".
    if (attackerWins) table_.StoreProven(key, hand, childPlies + 1, move, amount);
    else table_.StoreDisproven(key, hand, PliesAfter(childPlies), move, amount);
}

// Inlined into Search: a call of its own per node costs the solver measurably.
template <bool kAttacker>
[[gnu::always_inline]] inline void DfpnSolver::SearchChildren(
    int depth, std::uint64_t key, std::uint32_t hand, std::uint32_t thpn, std::uint32_t thdn,
    std::size_t firstChild, std::uint64_t startNodes) {
    // The mover's node is won by one won child and lost when every child is lost; otherwise the
    // open child with the smallest own number is searched, until the node's numbers pass the
    // thresholds.
    const std::uint32_t thOwn = kAttacker ? thpn : thdn;
    const std::uint32_t thOther = kAttacker ? thdn : thpn;
    const int childDepth = depth - 1;
    const std::size_t lastChild = children_.size();
    for (;;) {
        const Children sum = Summarize<kAttacker>(firstChild, lastChild);
        if (sum.wonMove != kNoMove) {
            StoreSolved(kAttacker, key, hand, sum.wonPlies, sum.wonMove, WorkSince(startNodes));
            return;
        }
        if (sum.best == lastChild) {
            StoreSolved(!kAttacker, key, hand, sum.lostPlies, kNoMove, WorkSince(startNodes));
            return;
        }
        const std::uint32_t own = sum.bestOwn;
        const std::uint32_t other = std::uint32_t(sum.sumOther);
        if (own >= thOwn || other >= thOther) {
            table_.StoreUnknown(key, hand, depth, kAttacker ? own : other, kAttacker ? other : own,
                                children_[sum.best].move, WorkSince(startNodes));
            return;
        }
        const std::uint32_t childThOwn =
            std::min<std::uint64_t>(thOwn, std::uint64_t(sum.second) + 1);
        const std::uint32_t childThOther = Clamp(std::uint64_t(thOther) - other + sum.bestOther);
        const Child c = children_[sum.best];
        UndoInfo undo;
        pos_->doMove(c.move, undo);
        Search(!kAttacker, childDepth, c.key, c.hand, kAttacker ? childThOwn : childThOther,
               kAttacker ? childThOther : childThOwn);
        pos_->undoMove(c.move, undo);
        if (stopped_) return;
        children_[sum.best].value = table_.Lookup(c.key, c.hand, childDepth);
    }
}

void DfpnSolver::Search(bool attacker, int depth, std::uint64_t key, std::uint32_t hand,
                        std::uint32_t thpn, std::uint32_t thdn) {
    ++nodes_;
    if (Stopping()) return;
    const NodeValue self = table_.Lookup(key, hand, depth);
    if (self.proven() || self.disproven()) return;
    if (depth <= options_.depthFirstPlies) {
        DepthFirst(attacker, depth, key, hand);
        return;
    }
    const std::uint64_t startNodes = nodes_;
    SolverPosition& pos = *pos_;
    const std::size_t firstMove = moves_.size();
    if (attacker) GenerateChecks(pos, moves_);
    else GenerateEvasions(pos, moves_);
    const std::size_t lastMove = moves_.size();
    if (!SettledAtOnce(attacker, depth, key, hand, self, firstMove, lastMove, startNodes)) {
        if (!attacker) OrderEvasions(firstMove, lastMove);
        PutHintFirst(moves_, self.hint, firstMove, lastMove);
        // The children with their table values, the buckets fetched ahead of the lookups.
        const std::size_t firstChild = children_.size();
        for (std::size_t i = firstMove; i < lastMove; ++i) {
            const Move m = moves_[i];
            Child c{m, attacker ? pos.moverHandAfter(m) : hand, pos.keyAfter(m), NodeValue{}};
            table_.Prefetch(c.key);
            children_.push_back(c);
        }
        const std::size_t lastChild = children_.size();
        for (std::size_t i = firstChild; i < lastChild; ++i)
            children_[i].value = table_.Lookup(children_[i].key, children_[i].hand, depth - 1);
        if (attacker) {
            SearchChildren<true>(depth, key, hand, thpn, thdn, firstChild, startNodes);
        } else {
            SearchChildren<false>(depth, key, hand, thpn, thdn, firstChild, startNodes);
        }
        children_.resize(firstChild);
    }
    moves_.resize(firstMove);
}

}  // namespace movra::mate
