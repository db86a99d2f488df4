#include "core/rules/move.h"

#include <cstdlib>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"

namespace movra {
using namespace movra::literals;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHandFile(int file) { return file == location::kSenteHand || file == location::kGoteHand; }

// Displacement in the ×100 form: file × 100 + rank.
int Displacement(Square from, Square to) {
    return (to.file * 100 + to.rank) - (from.file * 100 + from.rank);
}

bool IsKingStep(int d) {
    int a = std::abs(d);
    return a == 1 || a == 100 || a == 99 || a == 101;
}

// Walks the board from the origin towards the destination; legal when every square passed before
// the destination is empty. The destination itself is not examined.
bool SliderClear(Square from, Square to, bool diagonal, const Board& board) {
    int d = Displacement(from, to);
    int a = std::abs(d);
    int step;
    if (diagonal) {
        if (a % 101 == 0) {
            step = d > 0 ? 10 : -10;
        } else if (a % 99 == 0) {
            step = d > 0 ? 8 : -8;
        } else {
            return false;
        }
    } else {
        if (a >= 9 && a % 100 != 0) return false;
        if (a < 9) {
            step = d > 0 ? 1 : -1;
        } else {
            step = d > 0 ? 9 : -9;
        }
    }
    int target = BoardIndex(to.file, to.rank);
    for (int at = BoardIndex(from.file, from.rank) + step; at != target; at += step) {
        if (at < 1 || at >= kBoardSize) return false;
        if (board[at] != 0) return false;
    }
    return true;
}

bool DropIsLegal(Square to, PieceCode code, const Board& board) {
    int r = IsGote(code) ? 10 - to.rank : to.rank;
    switch (OwnCode(code)) {
        case piece::Fu:
            if (r < 2) return false;
            for (int rank = 1; rank <= 9; ++rank) {
                if (board[BoardIndex(to.file, rank)] == code) return false;  // 二歩
            }
            return true;
        case piece::Kyo:
            return r >= 2;
        case piece::Kei:
            return r >= 3;
        default:
            return true;
    }
}

bool BoardMoveIsLegal(Square from, Square to, PieceCode code, const Board& board) {
    int d = Displacement(from, to);
    if (IsGote(code)) d = -d;
    switch (OwnCode(code)) {
        case piece::Fu:
            return d == -1;
        case piece::Kyo:
            return d >= -8 && d <= -1 && SliderClear(from, to, false, board);
        case piece::Kei:
            return d == -102 || d == 98;
        case piece::Gin:
            return std::abs(d) == 99 || std::abs(d) == 101 || d == -1;
        case piece::Kin: case piece::To: case piece::NariKyo: case piece::NariKei:
        case piece::NariGin:
            return std::abs(d) == 1 || std::abs(d) == 100 || d == 99 || d == -101;
        case piece::Kaku:
            return SliderClear(from, to, true, board);
        case piece::Hi:
            return SliderClear(from, to, false, board);
        case piece::Uma:
            return IsKingStep(d) || SliderClear(from, to, true, board);
        case piece::Ryu:
            return IsKingStep(d) || SliderClear(from, to, false, board);
        case piece::Gyoku:
            return IsKingStep(d);
        default:
            return false;
    }
}

void CheckPieceIndex(int index) {
    if (index < 0 || index > kPieceCount) {
        throw CorruptPosition("piece index " + std::to_string(index) + " outside the table");
    }
}

}  // namespace

std::optional<MoveCode> MoveCode::Parse(std::string_view s) {
    if (s.size() != 4 && s.size() != 5) return std::nullopt;
    for (int i = 0; i < 4; ++i) {
        if (!IsDigit(s[i])) return std::nullopt;
    }
    MoveCode c;
    for (int i = 0; i < 4; ++i) c.text[i] = s[i];
    c.text[4] = s.size() == 5 ? s[4] : ' ';
    if (c.text[4] != ' ' && c.text[4] != '+') return std::nullopt;
    if (c.toFile() < 1 || c.toRank() < 1) return std::nullopt;
    if (c.isDrop()) {
        if (c.fromRank() < 1 || c.fromRank() > 8 || c.promotes()) return std::nullopt;
    } else if (c.fromRank() < 1) {
        return std::nullopt;
    }
    return c;
}

MoveCode MoveRecord::moveCode() const {
    MoveCode c;
    for (int i = 0; i < 5; ++i) c.text[i] = i < codeLength ? code[i] : ' ';
    return c;
}

void MoveRecord::setMoveCode(const MoveCode& c) {
    codeLength = 5;
    for (int i = 0; i < 5; ++i) code[i] = c.text[i];
}

std::string IllegalMoveQuestion() { return std::string{"反則手です！\rこのまま入力しますか？"_sj}; }

bool CheckMove(Square from, Square to, PieceCode code, const Board& board,
               const ConfirmIllegalMove& confirm) {
    bool legal;
    if (!IsBoardSquare(to.file, to.rank)) {
        legal = false;
    } else if (IsHandFile(from.file)) {
        legal = DropIsLegal(to, code, board);
    } else if (!IsBoardSquare(from.file, from.rank)) {
        legal = false;
    } else {
        legal = BoardMoveIsLegal(from, to, code, board);
    }
    if (legal) return true;
    return confirm && confirm(IllegalMoveQuestion());
}

Promotion PromotionOption(PieceCode code, Square from, Square to) {
    if (from.file < 1 || from.file > 9) return Promotion::None;
    bool gote = IsGote(code);
    int fr = gote ? 10 - from.rank : from.rank;
    int tr = gote ? 10 - to.rank : to.rank;
    if (fr > 3 && tr > 3) return Promotion::None;
    switch (OwnCode(code)) {
        case piece::Fu:
        case piece::Kyo:
            return tr == 1 ? Promotion::Forced : Promotion::Optional;
        case piece::Kei:
            return tr <= 2 ? Promotion::Forced : Promotion::Optional;
        case piece::Gin:
        case piece::Kaku:
        case piece::Hi:
            return Promotion::Optional;
        default:
            return Promotion::None;
    }
}

MoveCode MakeMoveCode(Square from, Square to, char promotionChar) {
    MoveCode c;
    int fromFile = from.file == location::kGoteHand ? 0 : from.file;
    c.text = {char('0' + fromFile % 10), char('0' + from.rank % 10), char('0' + to.file % 10),
              char('0' + to.rank % 10), promotionChar == '+' ? '+' : ' '};
    return c;
}

bool ResolveMove(const BoardPosition& p, const MoveCode& code, int side, MoveRecord& record) {
    record.fromFile = std::uint8_t(code.fromFile());
    record.fromRank = std::uint8_t(code.fromRank());
    record.toFile = std::uint8_t(code.toFile());
    record.toRank = std::uint8_t(code.toRank());
    record.promotes = code.promotes() ? 1 : 0;
    record.setMoveCode(code);

    int originFile = code.fromFile();
    if (code.isDrop()) originFile = side == side::kSente ? location::kSenteHand : location::kGoteHand;

    int moving = 0;
    for (int i = kPieceCount; i >= 1; --i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present && e.file == originFile && e.rank == code.fromRank()) {
            moving = i;
            break;
        }
    }
    if (moving == 0) {
        record.piece = 0;
        record.capturedPiece = 0;
        record.capturedCode = 0;
        return false;
    }
    record.piece = std::uint8_t(moving);
    record.capturedPiece = 0;
    record.capturedCode = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present && e.file == code.toFile() && e.rank == code.toRank()) {
            record.capturedPiece = std::uint8_t(i);
            record.capturedCode = e.code;
            break;
        }
    }
    return true;
}

PieceCode ApplyMove(BoardPosition& p, const MoveRecord& m) {
    // Every bound is checked before anything changes, so a bad record leaves the position whole.
    if (m.piece < 1) throw CorruptPosition("move without a moving piece");
    CheckPieceIndex(m.piece);
    CheckPieceIndex(m.capturedPiece);
    if (!IsBoardSquare(m.toFile, m.toRank)) throw CorruptPosition("destination outside the board");
    bool drop = m.isDrop();
    if (!drop && !IsBoardSquare(m.fromFile, m.fromRank)) {
        throw CorruptPosition("origin outside the board");
    }
    if (m.capturedPiece != 0 && m.capturedPiece == m.piece) {
        throw CorruptPosition("a piece cannot capture itself");
    }

    PieceEntry& mover = p.pieces[m.piece];
    PieceCode before = mover.code;
    mover.file = m.toFile;
    mover.rank = m.toRank;
    if (m.promotes) mover.code = PieceCode(mover.code + 1);
    if (m.capturedPiece != 0) {
        PieceEntry& taken = p.pieces[m.capturedPiece];
        taken.file = taken.code < 15 ? location::kGoteHand : location::kSenteHand;
        taken.rank = KindOf(taken.code);
        taken.code = Captured(taken.code);
    }
    if (!drop) p.board[BoardIndex(m.fromFile, m.fromRank)] = 0;
    p.board[BoardIndex(m.toFile, m.toRank)] = mover.code;
    return before;
}

void UndoMove(BoardPosition& p, const MoveRecord& m, int side) {
    if (m.piece < 1) throw CorruptPosition("move without a moving piece");
    CheckPieceIndex(m.piece);
    CheckPieceIndex(m.capturedPiece);
    bool drop = m.isDrop();
    if (!IsBoardSquare(m.toFile, m.toRank) || (!drop && !IsBoardSquare(m.fromFile, m.fromRank)) ||
        (drop && m.fromRank > 8)) {
        throw CorruptPosition("move outside the board");
    }
    PieceTable saved = p.pieces;
    PieceEntry& mover = p.pieces[m.piece];
    if (drop) {
        mover.file = side == side::kSente ? location::kSenteHand : location::kGoteHand;
        mover.rank = m.fromRank;
    } else {
        if (m.capturedPiece != 0) {
            PieceEntry& taken = p.pieces[m.capturedPiece];
            taken.file = m.toFile;
            taken.rank = m.toRank;
            taken.code = m.capturedCode;
        }
        mover.file = m.fromFile;
        mover.rank = m.fromRank;
        if (m.promotes) mover.code = PieceCode(mover.code - 1);
    }
    try {
        Rebuild(p);
    } catch (...) {
        p.pieces = saved;
        throw;
    }
}

}  // namespace movra
