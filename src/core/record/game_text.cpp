#include "core/record/game_text.h"

#include "core/rules/notation.h"

namespace movra {

std::vector<std::string> MoveListLines(const TKifData& record) {
    const int count = record.moveCount;
    BoardPosition position = record.position;
    for (int n = record.currentMove; n >= 1; --n) {
        UndoMove(position, record.moves[n], record.SideOf(n));
    }
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count) + 1);
    for (int n = 1; n <= count; ++n) {
        const MoveRecord& move = record.moves[n];
        const PieceCode before = ApplyMove(position, move);
        lines.push_back(MoveLine(n, record.parityOffset, record.handicap, position.board, before,
                                 move, record.moves[n - 1]));
    }
    lines.push_back(ResultLine(count, record.handicap, record.endCode));
    return lines;
}

const char* NextMoveProblem(const TKifData& record, const MoveCode& code) {
    const int n = record.moveCount + 1;
    if (n > kMaxMoves) return "is past the 512-move limit of a game";
    const int side = record.SideOf(n);
    MoveRecord probe = record.moves[n];
    if (!ResolveMove(record.position, code, side, probe)) {
        return code.isDrop() ? "drops a piece the mover does not hold"
                             : "starts from a square without a piece";
    }
    if (code.isDrop() && probe.capturedPiece != 0) return "drops a piece onto an occupied square";
    const bool moverIsGote = side == side::kGote;
    if (IsGote(record.position.pieces[probe.piece].code) != moverIsGote) {
        return "moves the opponent's piece";
    }
    if (probe.capturedPiece != 0 && IsGote(probe.capturedCode) == moverIsGote) {
        return "captures the mover's own piece";
    }
    return nullptr;
}

}  // namespace movra
