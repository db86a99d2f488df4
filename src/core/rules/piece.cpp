#include "core/rules/piece.h"

#include <array>

namespace movra {
namespace {

struct PieceInfo {
    PieceKind kind;
    char letter;
    int engine;
};

// Indexed by sente code 1-14.
constexpr std::array<PieceInfo, 15> kInfo{{
    {0, '0', 0},
    {kind::Fu, '8', 1},     // 歩
    {kind::Fu, 'H', 9},     // と
    {kind::Kyo, '7', 2},    // 香
    {kind::Kyo, 'G', 10},   // 成香
    {kind::Kei, '6', 3},    // 桂
    {kind::Kei, 'F', 11},   // 成桂
    {kind::Gin, '5', 4},    // 銀
    {kind::Gin, 'E', 12},   // 成銀
    {kind::Kin, '4', 5},    // 金
    {kind::Kaku, '3', 6},   // 角
    {kind::Kaku, 'C', 14},  // 馬
    {kind::Hi, '2', 7},     // 飛
    {kind::Hi, 'B', 15},    // 龍
    {kind::Gyoku, '1', 8},  // 玉
}};

constexpr std::array<PieceCode, 9> kCodeOfKind{0, 1, 3, 5, 7, 9, 10, 12, 14};

}  // namespace

PieceKind KindOf(PieceCode c) { return IsPiece(c) ? kInfo[OwnCode(c)].kind : 0; }

PieceCode CodeOfKind(PieceKind k) { return k <= 8 ? kCodeOfKind[k] : 0; }

bool IsPromotable(PieceCode c) {
    switch (OwnCode(c)) {
        case piece::Fu: case piece::Kyo: case piece::Kei: case piece::Gin:
        case piece::Kaku: case piece::Hi:
            return IsPiece(c);
        default:
            return false;
    }
}

bool IsPromoted(PieceCode c) {
    switch (OwnCode(c)) {
        case piece::To: case piece::NariKyo: case piece::NariKei: case piece::NariGin:
        case piece::Uma: case piece::Ryu:
            return IsPiece(c);
        default:
            return false;
    }
}

PieceCode Promote(PieceCode c) { return IsPromotable(c) ? PieceCode(c + 1) : c; }

PieceCode Unpromote(PieceCode c) { return IsPromoted(c) ? PieceCode(c - 1) : c; }

PieceCode Captured(PieceCode c) {
    if (!IsPiece(c)) return c;
    PieceCode u = Unpromote(c);
    return IsGote(u) ? PieceCode(u - piece::kGoteOffset) : PieceCode(u + piece::kGoteOffset);
}

PieceCode EditCycle(PieceCode c) {
    if (!IsPiece(c)) return c;
    return IsPromotable(c) ? PieceCode(c + 1) : Captured(c);
}

char CodeToLetter(PieceCode c) { return IsPiece(c) ? kInfo[OwnCode(c)].letter : '0'; }

PieceCode LetterToCode(char letter, char side) {
    if (side != '1' && side != '2') return 0;
    if (letter == 'A') letter = '1';
    if (letter == 'D') letter = '4';
    for (PieceCode c = 1; c <= piece::kGoteOffset; ++c) {
        if (kInfo[c].letter == letter) return side == '1' ? c : PieceCode(c + piece::kGoteOffset);
    }
    return 0;
}

int EngineNumber(PieceCode c) {
    if (!IsPiece(c)) return 0;
    int n = kInfo[OwnCode(c)].engine;
    return IsGote(c) ? -n : n;
}

}  // namespace movra
