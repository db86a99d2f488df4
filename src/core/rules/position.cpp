#include "core/rules/position.h"

#include <string_view>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"

namespace movra {
using namespace movra::literals;

namespace {

constexpr std::string_view kHandicapChars = "0123456789XYZAB";

struct StartSquare {
    PieceCode code;
    std::uint8_t file;
    std::uint8_t rank;
};

// Sente's pieces 1-20 in the fixed numbering that move records refer to; gote's pieces 21-40
// are their point reflections.
constexpr std::array<StartSquare, 21> kSenteStart{{
    {0, 0, 0},
    {piece::Gyoku, 5, 9},
    {piece::Kin, 6, 9}, {piece::Kin, 4, 9},
    {piece::Gin, 7, 9}, {piece::Gin, 3, 9},
    {piece::Kei, 8, 9}, {piece::Kei, 2, 9},
    {piece::Kyo, 9, 9}, {piece::Kyo, 1, 9},
    {piece::Kaku, 8, 8},
    {piece::Hi, 2, 8},
    {piece::Fu, 9, 7}, {piece::Fu, 8, 7}, {piece::Fu, 7, 7}, {piece::Fu, 6, 7}, {piece::Fu, 5, 7},
    {piece::Fu, 4, 7}, {piece::Fu, 3, 7}, {piece::Fu, 2, 7}, {piece::Fu, 1, 7},
}};

void PlaceFullSet(BoardPosition& p) {
    p.pieces[0] = PieceEntry{};
    for (int i = 1; i <= 20; ++i) {
        const StartSquare& s = kSenteStart[i];
        p.pieces[i] = PieceEntry{1, s.code, s.file, s.rank, s.code};
        PieceCode g = PieceCode(s.code + piece::kGoteOffset);
        p.pieces[i + 20] =
            PieceEntry{1, g, std::uint8_t(10 - s.file), std::uint8_t(10 - s.rank), g};
    }
}

void MakeAbsent(BoardPosition& p, int first, int last) {
    for (int i = first; i <= last; ++i) p.pieces[i].present = 0;
}

}  // namespace

char HandicapChar(int handicapNumber) {
    if (handicapNumber < 0 || handicapNumber >= kHandicapCount) return '0';
    return kHandicapChars[handicapNumber];
}

int HandicapNumber(char handicapChar) {
    std::size_t at = kHandicapChars.find(handicapChar);
    return at == std::string_view::npos ? -1 : int(at);
}

std::string HandicapName(int handicapNumber) {
    static constexpr std::string_view kNames[] = {
        "平手"_sj, "香落ち"_sj, "角落ち"_sj, "飛車落ち"_sj, "飛香落ち"_sj,
        "二枚落ち"_sj, "四枚落ち"_sj, "六枚落ち"_sj, "八枚落ち"_sj, "十枚落ち"_sj,
        "裸玉"_sj, "右香落ち"_sj, "歩三兵"_sj, "九枚(左金)落ち"_sj, "九枚(右金)落ち"_sj,
    };
    if (handicapNumber < 0 || handicapNumber >= kHandicapCount) return std::string{"？？"_sj};
    return std::string{kNames[handicapNumber]};
}

void Rebuild(BoardPosition& p) {
    Board board{};
    HandCounts sente{}, gote{};
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present == 0) continue;
        if (IsBoardSquare(e.file, e.rank)) {
            board[BoardIndex(e.file, e.rank)] = e.code;
        } else if (e.file == location::kSenteHand || e.file == location::kGoteHand) {
            if (e.rank > 8) {
                throw CorruptPosition("piece " + std::to_string(i) + " in hand with kind " +
                                      std::to_string(e.rank));
            }
            HandCounts& hand = e.file == location::kSenteHand ? sente : gote;
            if (hand[e.rank] == 255) throw CorruptPosition("hand count above 255");
            ++hand[e.rank];
        } else if (e.file != location::kBox) {
            throw CorruptPosition("piece " + std::to_string(i) + " stands outside the board");
        }
    }
    p.board = board;
    p.senteHand = sente;
    p.goteHand = gote;
}

void SetUpStandard(BoardPosition& p, char handicapChar) {
    PlaceFullSet(p);
    switch (handicapChar) {
        case '1': MakeAbsent(p, 28, 28); break;
        case 'Y': MakeAbsent(p, 29, 29); break;
        case '2': MakeAbsent(p, 30, 30); break;
        case '3': MakeAbsent(p, 31, 31); break;
        case '4': MakeAbsent(p, 28, 28); MakeAbsent(p, 31, 31); break;
        case '5': MakeAbsent(p, 30, 31); break;
        case '6': MakeAbsent(p, 28, 31); break;
        case '7': MakeAbsent(p, 26, 31); break;
        case '8': MakeAbsent(p, 24, 31); break;
        case '9': MakeAbsent(p, 22, 31); break;
        case 'A': MakeAbsent(p, 22, 22); MakeAbsent(p, 24, 31); break;
        case 'B': MakeAbsent(p, 23, 31); break;
        case 'X': MakeAbsent(p, 22, 40); break;
        case 'Z':
            // 歩三兵: the king alone on the board and three pawns in hand.
            MakeAbsent(p, 22, 31);
            MakeAbsent(p, 35, 40);
            for (int i = 32; i <= 34; ++i) {
                p.pieces[i].file = location::kGoteHand;
                p.pieces[i].rank = kind::Fu;
            }
            break;
        default: break;
    }
    Rebuild(p);
}

void SetUpEmpty(BoardPosition& p) {
    PlaceFullSet(p);
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        if (i > 20) e.code = e.image = kSenteStart[i - 20].code;
        if (i == 1 || i == 21) continue;
        e.file = location::kBox;
        e.rank = KindOf(e.code);
    }
    p.pieces[21].code = piece::Gyoku + piece::kGoteOffset;
    p.pieces[21].image = p.pieces[21].code;
    Rebuild(p);
}

int SideToMove(int moveNumber, int parityOffset, char handicapChar) {
    // Odd moves are sente's in an even game and gote's (上手) in a handicap game.
    const bool odd = ((moveNumber + parityOffset) % 2 + 2) % 2 == 1;
    return odd == (handicapChar == '0') ? side::kSente : side::kGote;
}

}  // namespace movra
