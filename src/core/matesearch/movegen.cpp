#include "core/matesearch/movegen.h"

#include <algorithm>

namespace movra::mate {
namespace {

constexpr int kUnpromoted = 1;
constexpr int kPromoted = 2;

// Which forms a board move may take: a piece that cannot go on from its destination must
// promote; a move entering, leaving or inside the promotion zone may.
int PromotionChoices(Color us, int type, Sq from, Sq to) {
    if (!CanPromote(type) || !(InPromotionZone(us, from) || InPromotionZone(us, to))) return kUnpromoted;
    int rank = RelativeRank(us, to);
    if ((type == pt::kPawn || type == pt::kLance) && rank == 1) return kPromoted;
    if (type == pt::kKnight && rank <= 2) return kPromoted;
    return kUnpromoted | kPromoted;
}

bool PawnInFile(const SolverPosition& pos, Color us, int file) {
    Piece pawn = MakePiece(us, pt::kPawn);
    for (int rank = 1; rank <= 9; ++rank)
        if (pos.pieceOn(MakeSq(file, rank)) == pawn) return true;
    return false;
}

// Dead-end drops and a second unpromoted pawn in one file.
bool DropAllowed(const SolverPosition& pos, Color us, int kind, Sq to) {
    int rank = RelativeRank(us, to);
    switch (kind) {
    case pt::kPawn: return rank >= 2 && !PawnInFile(pos, us, FileOf(to));
    case pt::kLance: return rank >= 2;
    case pt::kKnight: return rank >= 3;
    default: return true;
    }
}

bool LeavesKingSafe(SolverPosition& pos, Move m) {
    Color us = pos.sideToMove();
    UndoInfo undo;
    pos.doMove(m, undo);
    bool safe = !pos.inCheck(us);
    pos.undoMove(m, undo);
    return safe;
}

// A pawn drop that gives check is illegal when it leaves the opponent no reply.
bool IsPawnDropMate(SolverPosition& pos, Move m) {
    UndoInfo undo;
    pos.doMove(m, undo);
    bool mate = !HasEvasion(pos);
    pos.undoMove(m, undo);
    return mate;
}

bool PawnDropChecks(const SolverPosition& pos, Color us, Sq to) {
    Sq enemyKing = pos.king(Opponent(us));
    return enemyKing != kNoSquare && kTables.step[us][pt::kPawn][to].test(enemyKing);
}

// What the legality of a non-drop move of the side to move depends on.
struct Safety {
    Color us;
    Sq king;
    bool inCheck;
    Bitboard pinned;

    explicit Safety(const SolverPosition& pos)
        : us(pos.sideToMove()), king(pos.king(us)), inCheck(pos.inCheck(us)) {
        if (king != kNoSquare) pinned = pos.blockersOf(us, Opponent(us)) & pos.pieces(us);
    }

    bool boardMoveLegal(SolverPosition& pos, Sq from, Sq to) const {
        if (king == kNoSquare) return true;
        if (from == king) {
            Bitboard occ = pos.occupied() ^ Bitboard::Square(from);
            return pos.attackersTo(Opponent(us), to, occ).none();
        }
        if (inCheck) return LeavesKingSafe(pos, MakeBoardMove(from, to, false));
        return !pinned.test(from) || kTables.line[from][king].test(to);
    }
    bool dropLegal(SolverPosition& pos, Move m) const { return !inCheck || LeavesKingSafe(pos, m); }
};

void AddBoardMoves(Color us, int type, Sq from, Sq to, std::vector<Move>& out) {
    int choices = PromotionChoices(us, type, from, to);
    if (choices & kPromoted) out.push_back(MakeBoardMove(from, to, true));
    if (choices & kUnpromoted) out.push_back(MakeBoardMove(from, to, false));
}

}  // namespace

void GenerateChecks(SolverPosition& pos, std::vector<Move>& out) {
    Color us = pos.sideToMove();
    Color them = Opponent(us);
    Sq ksq = pos.king(them);
    if (ksq == kNoSquare) return;
    const Bitboard occ = pos.occupied();
    const Bitboard ours = pos.pieces(us);
    const Safety safety(pos);

    // Squares from which each piece type (of ours) attacks the enemy king.
    Bitboard chk[pt::kTypeCount];
    const auto& step = kTables.step[them];
    chk[pt::kPawn] = step[pt::kPawn][ksq];
    chk[pt::kKnight] = step[pt::kKnight][ksq];
    chk[pt::kSilver] = step[pt::kSilver][ksq];
    chk[pt::kGold] = step[pt::kGold][ksq];
    chk[pt::kProPawn] = chk[pt::kProLance] = chk[pt::kProKnight] = chk[pt::kProSilver] = chk[pt::kGold];
    chk[pt::kLance] = LanceAttack(them, ksq, occ);
    chk[pt::kBishop] = BishopAttack(ksq, occ);
    chk[pt::kRook] = RookAttack(ksq, occ);
    chk[pt::kHorse] = chk[pt::kBishop] | KingStep(ksq);
    chk[pt::kDragon] = chk[pt::kRook] | KingStep(ksq);
    const Bitboard discoverers = pos.blockersOf(them, us) & ours;

    if (!pos.handEmpty(us)) {
        const Bitboard empty = ~occ;
        for (int kind = pt::kPawn; kind <= pt::kRook; ++kind) {
            if (!pos.handCount(us, kind)) continue;
            Bitboard targets = chk[kind] & empty;
            while (targets.any()) {
                Sq to = targets.popLsb();
                if (!DropAllowed(pos, us, kind, to)) continue;
                Move m = MakeDrop(kind, to);
                if (!safety.dropLegal(pos, m)) continue;
                if (kind == pt::kPawn && IsPawnDropMate(pos, m)) continue;
                out.push_back(m);
            }
        }
    }

    Bitboard movers = ours;
    while (movers.any()) {
        Sq from = movers.popLsb();
        int type = TypeOf(pos.pieceOn(from));
        Bitboard targets = PieceAttack(us, type, from, occ) & ~ours;
        bool discovers = discoverers.test(from);
        if (!discovers) {
            Bitboard wanted = chk[type];
            if (CanPromote(type)) wanted |= chk[type + 8];
            targets &= wanted;
        }
        while (targets.any()) {
            Sq to = targets.popLsb();
            bool discovered = discovers && !kTables.line[from][ksq].test(to);
            int choices = PromotionChoices(us, type, from, to);
            bool legalChecked = false, legal = false;
            for (int form : {kPromoted, kUnpromoted}) {
                if (!(choices & form)) continue;
                int newType = form == kPromoted ? type + 8 : type;
                if (!discovered && !chk[newType].test(to)) continue;
                if (!legalChecked) {
                    legal = safety.boardMoveLegal(pos, from, to);
                    legalChecked = true;
                }
                if (legal) out.push_back(MakeBoardMove(from, to, form == kPromoted));
            }
        }
    }
}

namespace {

enum EvasionParts { kKingMoves = 1, kOtherMoves = 2, kAllMoves = 3 };

// The evasion generator and the evasion test share one walk; `out` null means stop at the
// first legal reply.
bool WalkEvasions(SolverPosition& pos, std::vector<Move>* out, int parts = kAllMoves) {
    Color us = pos.sideToMove();
    Color them = Opponent(us);
    Sq ksq = pos.king(us);
    if (ksq == kNoSquare) return false;
    const Bitboard occ = pos.occupied();
    const Bitboard ours = pos.pieces(us);
    const Bitboard kingBit = Bitboard::Square(ksq);
    bool found = false;
    auto emit = [&](Move m) {
        found = true;
        if (out) out->push_back(m);
    };

    Bitboard kingTargets = parts & kKingMoves ? KingStep(ksq) & ~ours : Bitboard{};
    const Bitboard occWithoutKing = occ ^ kingBit;
    while (kingTargets.any()) {
        Sq to = kingTargets.popLsb();
        if (pos.attackersTo(them, to, occWithoutKing).none()) {
            emit(MakeBoardMove(ksq, to, false));
            if (!out) return true;
        }
    }
    if (!(parts & kOtherMoves)) return found;
    Bitboard checkers = pos.attackersTo(them, ksq, occ);
    if (checkers.moreThanOne() || checkers.none()) return found;
    Sq checker = checkers.lsb();
    const Bitboard pinned = pos.blockersOf(us, them) & ours;
    auto moveTo = [&](Sq to) {
        Bitboard from = pos.attackersTo(us, to, occ) & ~kingBit;
        while (from.any()) {
            Sq f = from.popLsb();
            if (pinned.test(f) && !kTables.line[f][ksq].test(to)) continue;
            if (!out) return true;
            found = true;
            AddBoardMoves(us, TypeOf(pos.pieceOn(f)), f, to, *out);
        }
        return false;
    };
    if (moveTo(checker)) return true;
    const Bitboard between = kTables.between[ksq][checker];
    for (Bitboard b = between; b.any();)
        if (moveTo(b.popLsb())) return true;
    if (pos.handEmpty(us)) return found;
    for (Bitboard b = between; b.any();) {
        Sq to = b.popLsb();
        for (int kind = pt::kPawn; kind <= pt::kRook; ++kind) {
            if (!pos.handCount(us, kind) || !DropAllowed(pos, us, kind, to)) continue;
            Move m = MakeDrop(kind, to);
            if (kind == pt::kPawn && PawnDropChecks(pos, us, to) && IsPawnDropMate(pos, m)) continue;
            emit(m);
            if (!out) return true;
        }
    }
    return found;
}

}  // namespace

void GenerateEvasions(SolverPosition& pos, std::vector<Move>& out) { WalkEvasions(pos, &out); }

void GenerateKingEvasions(SolverPosition& pos, std::vector<Move>& out) { WalkEvasions(pos, &out, kKingMoves); }

void GenerateOtherEvasions(SolverPosition& pos, std::vector<Move>& out) { WalkEvasions(pos, &out, kOtherMoves); }

bool HasEvasion(SolverPosition& pos) { return WalkEvasions(pos, nullptr); }

void GenerateLegalMoves(SolverPosition& pos, std::vector<Move>& out) {
    Color us = pos.sideToMove();
    if (pos.inCheck(us)) {
        GenerateEvasions(pos, out);
        return;
    }
    const Bitboard occ = pos.occupied();
    const Bitboard ours = pos.pieces(us);
    std::vector<Move> candidates;
    for (Bitboard movers = ours; movers.any();) {
        Sq from = movers.popLsb();
        int type = TypeOf(pos.pieceOn(from));
        for (Bitboard t = PieceAttack(us, type, from, occ) & ~ours; t.any();)
            AddBoardMoves(us, type, from, t.popLsb(), candidates);
    }
    for (int kind = pt::kPawn; kind <= pt::kRook; ++kind) {
        if (!pos.handCount(us, kind)) continue;
        for (Bitboard t = ~occ; t.any();) {
            Sq to = t.popLsb();
            if (DropAllowed(pos, us, kind, to)) candidates.push_back(MakeDrop(kind, to));
        }
    }
    for (Move m : candidates) {
        if (!LeavesKingSafe(pos, m)) continue;
        if (IsDrop(m) && DropKind(m) == pt::kPawn && PawnDropChecks(pos, us, MoveTo(m)) &&
            IsPawnDropMate(pos, m))
            continue;
        out.push_back(m);
    }
}

}  // namespace movra::mate
