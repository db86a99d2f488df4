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
    if (!stopped_ && (nodes_ & 1023) == 0 && stop_ && stop_->load(std::memory_order_relaxed)) stopped_ = true;
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
    auto amount = [&] { return std::uint32_t(std::min<std::uint64_t>(nodes_ - startNodes + 1, kInfinite)); };
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
        if (mated) table_.StoreProven(key, hand, plies, move, amount());
        else table_.StoreDisproven(key, hand, plies, move, amount());
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
    if (self.hint != kNoMove) {
        auto it = std::find(moves_.begin() + first, moves_.begin() + last, self.hint);
        if (it != moves_.begin() + last) std::rotate(moves_.begin() + first, it, it + 1);
    }
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
    auto amount = [&] { return std::uint32_t(std::min<std::uint64_t>(nodes_ - startNodes + 1, kInfinite)); };
    SolverPosition& pos = *pos_;
    const std::size_t firstMove = moves_.size();
    if (attacker) GenerateChecks(pos, moves_);
    else GenerateEvasions(pos, moves_);
    const std::size_t lastMove = moves_.size();
    auto leave = [&] { moves_.resize(firstMove); };

    if (attacker) {
        if (firstMove == lastMove) {
            table_.StoreDisproven(key, hand, kNoMateAtAll, kNoMove, 1);
            return leave();
        }
        // Cheap look at a new node: a mate in one ends it, and at depth 1 nothing else can.
        if (depth == 1 || !self.seen) {
            Move mate;
            if (MateInOne(firstMove, lastMove, mate)) {
                table_.StoreProven(key, hand, 1, mate, amount());
                return leave();
            }
            if (depth == 1) {
                table_.StoreDisproven(key, hand, 1, kNoMove, amount());
                return leave();
            }
        }
    } else if (firstMove == lastMove) {
        table_.StoreProven(key, hand, 0, kNoMove, 1);
        return leave();
    }

    if (!attacker) OrderEvasions(firstMove, lastMove);
    if (self.hint != kNoMove) {
        auto it = std::find(moves_.begin() + firstMove, moves_.begin() + lastMove, self.hint);
        if (it != moves_.begin() + lastMove) std::rotate(moves_.begin() + firstMove, it, it + 1);
    }
    const int childDepth = depth - 1;
    const std::size_t firstChild = children_.size();
    for (std::size_t i = firstMove; i < lastMove; ++i) {
        Move m = moves_[i];
        Child c{m, attacker ? pos.moverHandAfter(m) : hand, pos.keyAfter(m), NodeValue{}};
        table_.Prefetch(c.key);
        children_.push_back(c);
    }
    const std::size_t lastChild = children_.size();
    for (std::size_t i = firstChild; i < lastChild; ++i)
        children_[i].value = table_.Lookup(children_[i].key, children_[i].hand, childDepth);

    for (;;) {
        std::size_t best = lastChild;
        std::uint32_t bestPn = 0, bestDn = 0;
        std::uint32_t pn, dn;
        std::uint32_t second = kInfinite;  // the runner-up's number that the best one is chosen by
        if (attacker) {
            // An attacker's node: proven by one child, disproven when every child is.
            std::uint64_t sumDn = 0;
            int provenPlies = std::numeric_limits<int>::max();
            Move provenMove = kNoMove;
            int fewestPlies = kNoMateAtAll;
            for (std::size_t i = firstChild; i < lastChild; ++i) {
                const NodeValue& v = children_[i].value;
                if (v.proven()) {
                    if (v.plies < provenPlies) {
                        provenPlies = v.plies;
                        provenMove = children_[i].move;
                    }
                } else if (v.disproven()) {
                    fewestPlies = std::min(fewestPlies, v.plies);
                } else {
                    sumDn = SaturatedSum(sumDn, v.dn);
                    if (best == lastChild || v.pn < bestPn) {
                        if (best != lastChild) second = bestPn;
                        best = i;
                        bestPn = v.pn;
                        bestDn = v.dn;
                    } else if (v.pn < second) {
                        second = v.pn;
                    }
                }
            }
            if (provenMove != kNoMove) {
                table_.StoreProven(key, hand, provenPlies + 1, provenMove, amount());
                break;
            }
            if (best == lastChild) {
                table_.StoreDisproven(key, hand, PliesAfter(fewestPlies), kNoMove, amount());
                break;
            }
            pn = bestPn;
            dn = std::uint32_t(sumDn);
        } else {
            // A defender's node: disproven by one child, proven when every child is.
            std::uint64_t sumPn = 0;
            int longestMate = 0;
            int disprovenPlies = -1;
            Move refutation = kNoMove;
            for (std::size_t i = firstChild; i < lastChild; ++i) {
                const NodeValue& v = children_[i].value;
                if (v.disproven()) {
                    if (v.plies > disprovenPlies) {
                        disprovenPlies = v.plies;
                        refutation = children_[i].move;
                    }
                } else if (v.proven()) {
                    longestMate = std::max(longestMate, v.plies);
                } else {
                    sumPn = SaturatedSum(sumPn, v.pn);
                    if (best == lastChild || v.dn < bestDn) {
                        if (best != lastChild) second = bestDn;
                        best = i;
                        bestPn = v.pn;
                        bestDn = v.dn;
                    } else if (v.dn < second) {
                        second = v.dn;
                    }
                }
            }
            if (disprovenPlies >= 0) {
                table_.StoreDisproven(key, hand, PliesAfter(disprovenPlies), refutation, amount());
                break;
            }
            if (best == lastChild) {
                table_.StoreProven(key, hand, longestMate + 1, kNoMove, amount());
                break;
            }
            pn = std::uint32_t(sumPn);
            dn = bestDn;
        }
        if (pn >= thpn || dn >= thdn) {
            table_.StoreUnknown(key, hand, depth, pn, dn, children_[best].move, amount());
            break;
        }
        std::uint32_t childThpn, childThdn;
        if (attacker) {
            childThpn = std::min<std::uint64_t>(thpn, std::uint64_t(second) + 1);
            childThdn = Clamp(std::uint64_t(thdn) - dn + bestDn);
        } else {
            childThdn = std::min<std::uint64_t>(thdn, std::uint64_t(second) + 1);
            childThpn = Clamp(std::uint64_t(thpn) - pn + bestPn);
        }
        const Child c = children_[best];
        UndoInfo undo;
        pos.doMove(c.move, undo);
        Search(!attacker, childDepth, c.key, c.hand, childThpn, childThdn);
        pos.undoMove(c.move, undo);
        if (stopped_) break;
        children_[best].value = table_.Lookup(c.key, c.hand, childDepth);
    }
    children_.resize(firstChild);
    leave();
}

}  // namespace movra::mate
