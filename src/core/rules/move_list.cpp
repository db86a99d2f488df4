#include "core/rules/move_list.h"

#include <array>
#include <span>

namespace movra {
namespace {

struct Step {
    int df;  // file change, seen from sente (toward rank 1 is dr = -1)
    int dr;
    bool slides;
};

constexpr std::array<Step, 6> kGoldSteps{{{0, -1, false}, {1, -1, false}, {-1, -1, false},
                                          {1, 0, false}, {-1, 0, false}, {0, 1, false}}};
constexpr std::array<Step, 5> kSilverSteps{{{0, -1, false}, {1, -1, false}, {-1, -1, false},
                                            {1, 1, false}, {-1, 1, false}}};
constexpr std::array<Step, 8> kKingSteps{{{0, -1, false}, {1, -1, false}, {-1, -1, false},
                                          {1, 0, false}, {-1, 0, false}, {0, 1, false},
                                          {1, 1, false}, {-1, 1, false}}};
constexpr std::array<Step, 1> kPawnSteps{{{0, -1, false}}};
constexpr std::array<Step, 1> kLanceSteps{{{0, -1, true}}};
constexpr std::array<Step, 2> kKnightSteps{{{1, -2, false}, {-1, -2, false}}};
constexpr std::array<Step, 4> kBishopSteps{{{1, 1, true}, {1, -1, true}, {-1, 1, true}, {-1, -1, true}}};
constexpr std::array<Step, 4> kRookSteps{{{1, 0, true}, {-1, 0, true}, {0, 1, true}, {0, -1, true}}};
constexpr std::array<Step, 4> kDiagonalOnes{{{1, 1, false}, {1, -1, false}, {-1, 1, false}, {-1, -1, false}}};
constexpr std::array<Step, 4> kOrthogonalOnes{{{1, 0, false}, {-1, 0, false}, {0, 1, false}, {0, -1, false}}};

void AddBoardMove(PieceCode c, Square from, Square to,
                  std::vector<MoveCode>& out) {
    Promotion option = PromotionOption(c, from, to);
    if (option != Promotion::Forced) out.push_back(MakeMoveCode(from, to, ' '));
    if (option != Promotion::None) out.push_back(MakeMoveCode(from, to, '+'));
}

void Walk(const BoardPosition& p, PieceCode c, Square from, std::span<const Step> steps,
          std::vector<MoveCode>& out) {
    const bool gote = IsGote(c);
    for (const Step& s : steps) {
        int df = gote ? -s.df : s.df;
        int dr = gote ? -s.dr : s.dr;
        int f = from.file + df, r = from.rank + dr;
        while (IsBoardSquare(f, r)) {
            PieceCode there = p.board[BoardIndex(f, r)];
            if (there != 0 && IsGote(there) == gote) break;
            AddBoardMove(c, from, Square{std::uint8_t(f), std::uint8_t(r)}, out);
            if (there != 0 || !s.slides) break;
            f += df;
            r += dr;
        }
    }
}

}  // namespace

void ListMoves(const BoardPosition& p, int side, std::vector<MoveCode>& out) {
    out.clear();
    const bool gote = side == side::kGote;
    for (int ff = 1; ff <= 9; ++ff) {
        for (int fr = 1; fr <= 9; ++fr) {
            PieceCode c = p.board[BoardIndex(ff, fr)];
            if (c == 0 || IsGote(c) != gote) continue;
            Square from{std::uint8_t(ff), std::uint8_t(fr)};
            switch (OwnCode(c)) {
                case piece::Fu: Walk(p, c, from, kPawnSteps, out); break;
                case piece::Kyo: Walk(p, c, from, kLanceSteps, out); break;
                case piece::Kei: Walk(p, c, from, kKnightSteps, out); break;
                case piece::Gin: Walk(p, c, from, kSilverSteps, out); break;
                case piece::Kaku: Walk(p, c, from, kBishopSteps, out); break;
                case piece::Hi: Walk(p, c, from, kRookSteps, out); break;
                case piece::Uma:
                    Walk(p, c, from, kBishopSteps, out);
                    Walk(p, c, from, kOrthogonalOnes, out);
                    break;
                case piece::Ryu:
                    Walk(p, c, from, kRookSteps, out);
                    Walk(p, c, from, kDiagonalOnes, out);
                    break;
                case piece::Gyoku: Walk(p, c, from, kKingSteps, out); break;
                default: Walk(p, c, from, kGoldSteps, out); break;  // 金 and the promoted minors
            }
        }
    }
    const HandCounts& hand = gote ? p.goteHand : p.senteHand;
    const ConfirmIllegalMove refuse;  // a dead-end drop or a second pawn is never entered here
    for (int k = kind::Fu; k <= kind::Hi; ++k) {
        if (hand[k] == 0) continue;
        PieceCode c = CodeOfKind(PieceKind(k));
        if (gote) c = PieceCode(c + piece::kGoteOffset);
        Square from{gote ? location::kGoteHand : location::kSenteHand, std::uint8_t(k)};
        for (int tf = 1; tf <= 9; ++tf) {
            for (int tr = 1; tr <= 9; ++tr) {
                if (p.board[BoardIndex(tf, tr)] != 0) continue;
                Square to{std::uint8_t(tf), std::uint8_t(tr)};
                if (CheckMove(from, to, c, p.board, refuse)) out.push_back(MakeMoveCode(from, to, ' '));
            }
        }
    }
}

}  // namespace movra
