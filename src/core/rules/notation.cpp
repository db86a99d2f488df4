#include "core/rules/notation.h"

#include <array>
#include <cstdlib>
#include <string_view>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/text/range_error.h"

namespace movra {
using namespace movra::literals;

namespace {

constexpr std::array<std::string_view, 10> kFileDigits{
    "", "１"_sj, "２"_sj, "３"_sj, "４"_sj, "５"_sj, "６"_sj, "７"_sj, "８"_sj, "９"_sj};
constexpr std::array<std::string_view, 10> kRankNumerals{
    "", "一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj, "六"_sj, "七"_sj, "八"_sj, "九"_sj};
constexpr std::array<std::string_view, 15> kPieceNames{
    "",        "歩"_sj, "と"_sj, "香"_sj, "成香"_sj, "桂"_sj, "成桂"_sj, "銀"_sj,
    "成銀"_sj, "金"_sj, "角"_sj, "馬"_sj, "飛"_sj,   "竜"_sj, "玉"_sj};
constexpr std::string_view kSame = "同　"_sj;
constexpr std::string_view kFullWidthSpace = "　"_sj;

// ---------------------------------------------------------------------------------------------
// Directions around the destination, numbered 1-9 as the mover sees them:
//
//          right  same  left        (right is file - 1 for sente)
//   front    1     4     7
//   same     2     5     8
//   behind   3     6     9
//
// For gote every number n becomes 10 - n, which is the same as turning the board round.

using Flags = std::array<bool, 10>;  // index 1-9

int Sign(int v) { return (v > 0) - (v < 0); }

// Board offsets of direction n as seen by the mover.
int FileStep(int n, bool gote) { return ((n - 1) / 3 - 1) * (gote ? -1 : 1); }
int RankStep(int n, bool gote) { return ((n - 1) % 3 - 1) * (gote ? -1 : 1); }

int Mirror(int n, bool gote) { return gote ? 10 - n : n; }

PieceCode At(const Board& board, int file, int rank) {
    return IsBoardSquare(file, rank) ? board[BoardIndex(file, rank)] : piece::kNone;
}

// Flags every square around the destination (the destination itself included) holding `code`.
void FlagNeighbours(PieceCode code, Square to, const Board& board, Flags& flags) {
    const bool gote = IsGote(code);
    for (int n = 1; n <= 9; ++n) {
        if (At(board, to.file + FileStep(n, gote), to.rank + RankStep(n, gote)) == code) {
            flags[n] = true;
        }
    }
}

// The first piece met walking from the destination in direction n, or 0 at the board's edge.
PieceCode FirstOnRay(int n, bool gote, Square to, const Board& board) {
    const int df = FileStep(n, gote);
    const int dr = RankStep(n, gote);
    for (int f = to.file + df, r = to.rank + dr; IsBoardSquare(f, r); f += df, r += dr) {
        if (board[BoardIndex(f, r)] != piece::kNone) return board[BoardIndex(f, r)];
    }
    return piece::kNone;
}

// Looks along the rays in the given order; only the last ray ending on `code` is flagged.
template <std::size_t N>
void FlagRays(const std::array<int, N>& rays, PieceCode code, Square to, const Board& board,
              Flags& flags) {
    int last = 0;
    for (int n : rays) {
        if (FirstOnRay(n, IsGote(code), to, board) == code) last = n;
    }
    if (last != 0) flags[last] = true;
}

constexpr std::array<int, 4> kDiagonalRays{1, 3, 7, 9};
constexpr std::array<int, 4> kStraightRays{4, 6, 2, 8};  // front, behind, right, left

bool AnyFlag(const Flags& flags) {
    for (int n = 1; n <= 9; ++n) {
        if (flags[n]) return true;
    }
    return false;
}

// The direction the mover came from, seen from the destination (and by the mover).
int OriginDirection(PieceCode code, Square from, Square to) {
    const int dx = from.file - to.file;
    const int dy = from.rank - to.rank;
    // Offsets beyond one square only occur for sliders (or moves entered against the rules); the
    // sign keeps the number inside 1-9.
    int d = 3 * Sign(dx) + Sign(dy) + 5;
    switch (OwnCode(code)) {
        case piece::Kaku:
        case piece::Uma:
            // A diagonal slide counts as its diagonal neighbour; a horse's one step straight
            // keeps the plain number.
            if (!(OwnCode(code) == piece::Uma && std::abs(dx) + std::abs(dy) == 1)) {
                if (dx < 0 && dy < 0) {
                    d = 1;
                } else if (dx < 0 && dy > 0) {
                    d = 3;
                } else if (dy < 0) {
                    d = 7;
                } else {
                    d = 9;
                }
            }
            break;
        case piece::Hi:
        case piece::Ryu:
            if (dx == 0) {
                d = dy > 0 ? 6 : 4;
            } else if (dy == 0) {
                d = dx > 0 ? 8 : 2;
            }
            break;
        default:
            break;
    }
    return Mirror(d, IsGote(code));
}

// The relative words.
constexpr std::string_view kNoWord;
constexpr std::string_view kRight = "右"_sj;
constexpr std::string_view kLeft = "左"_sj;
constexpr std::string_view kUp = "上"_sj;        // moves forward
constexpr std::string_view kBack = "引"_sj;      // moves backward
constexpr std::string_view kSideways = "寄"_sj;  // moves along the rank
constexpr std::string_view kStraight = "直"_sj;  // moves straight forward
constexpr std::string_view kRightBack = "右引"_sj;
constexpr std::string_view kRightSideways = "右寄"_sj;
constexpr std::string_view kRightUp = "右上"_sj;
constexpr std::string_view kLeftBack = "左引"_sj;
constexpr std::string_view kLeftSideways = "左寄"_sj;
constexpr std::string_view kLeftUp = "左上"_sj;

std::string_view BishopWord(int d, const Flags& F) {
    switch (d) {
        case 1: return F[4] || F[7] ? kRight : !F[1] ? kBack : kNoWord;
        case 2: return F[8] ? kRight : kSideways;
        case 3: return F[6] || F[9] ? kRight : !F[3] ? kUp : kNoWord;
        case 4: return F[1] ? kLeft : F[7] ? kRight : kBack;
        case 6: return F[3] ? kLeft : F[9] ? kRight : kUp;
        case 7: return F[1] || F[4] ? kLeft : !F[7] ? kBack : kNoWord;
        case 8: return F[2] ? kLeft : kSideways;
        case 9: return F[3] || F[6] ? kLeft : !F[9] ? kUp : kNoWord;
        default: return kNoWord;
    }
}

std::string_view RookWord(int d, const Flags& F) {
    switch (d) {
        case 1: return F[4] || F[7] ? kRight : kBack;
        case 2: return F[8] ? kRight : !F[2] ? kSideways : kNoWord;
        case 3: return F[6] || F[9] ? kRight : kUp;
        case 4: return F[1] ? kLeft : F[7] ? kRight : !F[4] ? kBack : kNoWord;
        case 6: return F[3] ? kLeft : F[9] ? kRight : !F[6] ? kUp : kNoWord;
        case 7: return F[1] || F[4] ? kLeft : kBack;
        case 8: return F[2] ? kLeft : !F[8] ? kSideways : kNoWord;
        case 9: return F[3] || F[6] ? kLeft : kUp;
        default: return kNoWord;
    }
}

std::string_view StepperWord(int d, const Flags& F) {
    switch (d) {
        case 1: return F[7] ? (F[3] ? kRightBack : kRight) : kBack;
        case 2: return F[8] ? (F[3] ? kRightSideways : kRight) : kSideways;
        case 3: return !F[6] && !F[9] ? kUp : !F[1] && !F[2] ? kRight : kRightUp;
        case 4: return kBack;
        case 6: return !F[3] && !F[9] ? kUp : kStraight;
        case 7: return F[1] ? (F[9] ? kLeftBack : kLeft) : kBack;
        case 8: return F[2] ? (F[9] ? kLeftSideways : kLeft) : kSideways;
        case 9: return !F[3] && !F[6] ? kUp : !F[7] && !F[8] ? kLeft : kLeftUp;
        default: return kNoWord;
    }
}

void CheckSquare(int file, int rank, const char* what) {
    if (!IsBoardSquare(file, rank)) {
        throw RangeError(std::string(what) + " " + std::to_string(file) + "," +
                         std::to_string(rank) + " is not a board square");
    }
}

int SideOfCode(PieceCode code) { return IsGote(code) ? side::kGote : side::kSente; }

}  // namespace

std::string PieceName(PieceCode code) {
    if (!IsPiece(code)) throw RangeError("piece code " + std::to_string(code) + " has no name");
    return std::string(kPieceNames[OwnCode(code)]);
}

std::string SquareText(int file, int rank) {
    CheckSquare(file, rank, "square");
    return std::string(kFileDigits[file]).append(kRankNumerals[rank]);
}

std::string SideMark(int side) { return std::string(side == side::kGote ? "△"_sj : "▲"_sj); }

std::string RelativeWord(PieceCode codeBefore, const MoveRecord& move, const Board& board) {
    if (!IsPiece(codeBefore)) {
        throw RangeError("piece code " + std::to_string(codeBefore) + " cannot move");
    }
    CheckSquare(move.toFile, move.toRank, "destination");
    const bool drop = move.isDrop();
    if (!drop) CheckSquare(move.fromFile, move.fromRank, "origin");

    const PieceCode code = codeBefore;
    const bool gote = IsGote(code);
    const Square to{move.toFile, move.toRank};
    Flags flags{};

    switch (OwnCode(code)) {
        case piece::Fu:
            if (!drop) return "";
            // Another pawn directly behind could have stepped here.
            if (At(board, to.file, to.rank + RankStep(6, gote)) == code) flags[5] = true;
            break;
        case piece::Kyo:
            if (!drop) return "";
            if (FirstOnRay(6, gote, to, board) == code) flags[5] = true;
            break;
        case piece::Kei: {
            const int rank = to.rank + (gote ? -2 : 2);
            if (At(board, to.file - 1, rank) == code) {
                if (!drop) return std::string(gote ? kRight : kLeft);
                flags[5] = true;
            } else if (At(board, to.file + 1, rank) == code) {
                if (!drop) return std::string(gote ? kLeft : kRight);
                flags[5] = true;
            }
            break;
        }
        case piece::Gin:
            FlagNeighbours(code, to, board, flags);
            flags[2] = flags[4] = flags[5] = flags[8] = false;  // no step sideways or back
            break;
        case piece::Kin:
        case piece::To:
        case piece::NariKyo:
        case piece::NariKei:
        case piece::NariGin:
            FlagNeighbours(code, to, board, flags);
            flags[1] = flags[5] = flags[7] = false;  // no step diagonally back
            break;
        case piece::Kaku:
            FlagRays(kDiagonalRays, code, to, board, flags);
            break;
        case piece::Hi:
            FlagRays(kStraightRays, code, to, board, flags);
            break;
        case piece::Uma:
        case piece::Ryu:
            FlagNeighbours(code, to, board, flags);
            flags[5] = false;
            if (!AnyFlag(flags)) {
                FlagRays(OwnCode(code) == piece::Uma ? kDiagonalRays : kStraightRays, code, to,
                         board, flags);
            }
            break;
        default:  // 玉
            return "";
    }

    if (!AnyFlag(flags)) return "";
    if (drop) return std::string("打"_sj);

    const int d = OriginDirection(code, Square{move.fromFile, move.fromRank}, to);
    switch (OwnCode(code)) {
        case piece::Kaku:
        case piece::Uma:
            return std::string(BishopWord(d, flags));
        case piece::Hi:
        case piece::Ryu:
            return std::string(RookWord(d, flags));
        default:
            return std::string(StepperWord(d, flags));
    }
}

std::string MoveLine(int moveNumber, int parityOffset, char handicap, const Board& board,
                     PieceCode codeBefore, const MoveRecord& move, const MoveRecord& previous) {
    std::string line = ZeroPad(moveNumber, 3);
    line += move.commentRecord != 0 ? "* " : "  ";
    line += SideMark(SideToMove(moveNumber, parityOffset, handicap));
    if (moveNumber > 1 && move.toFile == previous.toFile && move.toRank == previous.toRank) {
        CheckSquare(move.toFile, move.toRank, "destination");
        line += kSame;
    } else {
        line += SquareText(move.toFile, move.toRank);
    }
    line += PieceName(codeBefore);
    line += RelativeWord(codeBefore, move, board);
    if (move.promotes) {
        line += "成"_sj;
    } else if (IsPromotable(codeBefore) && !move.isDrop()) {
        // Moving in, out of or inside the last three ranks without promoting says so.
        const bool gote = SideOfCode(codeBefore) == side::kGote;
        const auto inZone = [gote](int rank) { return gote ? rank >= 7 : rank <= 3; };
        if (inZone(move.fromRank) || inZone(move.toRank)) line += "不成"_sj;
    }
    // 同 keeps its full-width space only before a single piece character: 同　歩, but 同銀右,
    // 同成銀, 同歩成.
    if (line.size() > 13 && line.compare(kMoveTextOffset, kSame.size(), kSame) == 0) {
        line.erase(kMoveTextOffset + 2, kFullWidthSpace.size());
    }
    return line;
}

int ResultNumber(char endCode) {
    return endCode >= '0' && endCode <= '8' ? endCode - '0' : -1;
}

namespace {

bool IsHandicapGame(char handicap) { return handicap != '0'; }

// The entry after "までn手で" of a closing sentence.
std::string_view ClosingSentenceEntry(int result, bool handicapGame) {
    switch (result) {
        case result::kSenteWins: return handicapGame ? "下手の勝ち"_sj : "先手の勝ち"_sj;
        case result::kGoteWins: return handicapGame ? "上手の勝ち"_sj : "後手の勝ち"_sj;
        case result::kRepetition: return "千日手"_sj;
        case result::kImpasse: return "持将棋"_sj;
        case result::kLaterSenteWins: return handicapGame ? "以下下手の勝ち"_sj : "以下先手の勝ち"_sj;
        case result::kLaterGoteWins: return handicapGame ? "以下上手の勝ち"_sj : "以下後手の勝ち"_sj;
        case result::kLaterRepetition: return "以下千日手"_sj;
        case result::kLaterImpasse: return "以下持将棋"_sj;
        default: return "中断"_sj;
    }
}

}  // namespace

std::string_view ClosingLineEntry(int result, bool handicapGame) {
    switch (result) {
        case result::kSenteWins: return handicapGame ? "まで下手勝ち"_sj : "まで先手勝ち"_sj;
        case result::kGoteWins: return handicapGame ? "まで上手勝ち"_sj : "まで後手勝ち"_sj;
        case result::kRepetition: return "まで千日手"_sj;
        case result::kImpasse: return "まで持将棋"_sj;
        case result::kLaterSenteWins: return handicapGame ? "以下下手勝ち"_sj : "以下先手勝ち"_sj;
        case result::kLaterGoteWins: return handicapGame ? "以下上手勝ち"_sj : "以下後手勝ち"_sj;
        case result::kLaterRepetition: return "以下千日手"_sj;
        case result::kLaterImpasse: return "以下持将棋"_sj;
        default: return "まで"_sj;
    }
}

std::string ResultLine(int moveCount, char handicap, char endCode) {
    return (std::to_string(moveCount) + "手"_sj)
        .append(ClosingLineEntry(ResultNumber(endCode), IsHandicapGame(handicap)));
}

std::string ClosingSentence(int moveCount, char handicap, char endCode) {
    return ("まで"_sj + std::to_string(moveCount) + "手で"_sj)
        .append(ClosingSentenceEntry(ResultNumber(endCode), IsHandicapGame(handicap)));
}

std::string ClosingEndWord(char endCode) { return WebEndWord(ResultNumber(endCode)); }

std::string ResultName(int result, bool handicapGame) {
    switch (result) {
        case result::kInterrupted: return "勝敗未登録"_sj;
        case result::kSenteWins: case result::kLaterSenteWins: return handicapGame ? "下手勝ち"_sj : "先手勝ち"_sj;
        case result::kGoteWins: case result::kLaterGoteWins: return handicapGame ? "上手勝ち"_sj : "後手勝ち"_sj;
        case result::kRepetition: case result::kLaterRepetition: return "千日手"_sj;
        case result::kImpasse: case result::kLaterImpasse: return "持将棋"_sj;
        default: return "不明"_sj;
    }
}

std::string ResultShortName(int result) {
    switch (result) {
        case result::kInterrupted: return "未登録"_sj;
        case result::kSenteWins: case result::kLaterSenteWins: return "▲勝ち"_sj;
        case result::kGoteWins: case result::kLaterGoteWins: return "△勝ち"_sj;
        case result::kRepetition: case result::kLaterRepetition: return "千日手"_sj;
        case result::kImpasse: case result::kLaterImpasse: return "持将棋"_sj;
        default: return "不　明"_sj;
    }
}

std::string RecordEndWord(int result) {
    switch (result) {
        case result::kSenteWins: case result::kGoteWins: return "投了"_sj;
        case result::kRepetition: case result::kLaterRepetition: return "千日手"_sj;
        case result::kImpasse: case result::kLaterImpasse: return "持将棋"_sj;
        default: return "中断"_sj;
    }
}

std::string WebEndWord(int result) {
    switch (result) {
        case result::kSenteWins: case result::kGoteWins: return "投了"_sj;
        case result::kRepetition: return "千日手"_sj;
        case result::kImpasse: return "持将棋"_sj;
        case result::kLaterSenteWins: case result::kLaterGoteWins: return "以下投了"_sj;
        case result::kLaterRepetition: return "以下千日手"_sj;
        case result::kLaterImpasse: return "以下持将棋"_sj;
        default: return "まで"_sj;
    }
}

namespace {

constexpr std::array<std::string_view, 11> kKanjiDigits{
    "", "一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj, "六"_sj, "七"_sj, "八"_sj, "九"_sj, "十"_sj};
constexpr std::array<std::string_view, 10> kFullWidthDigits{
    "０"_sj, "１"_sj, "２"_sj, "３"_sj, "４"_sj, "５"_sj, "６"_sj, "７"_sj, "８"_sj, "９"_sj};

// The count after a piece name; nothing for one piece. A real set has at most 18 of a kind; a
// larger count (a damaged table) is still written in the same manner rather than dropped.
std::string HandCount(int count, bool kanji) {
    if (count <= 1) return "";
    if (kanji) {
        if (count <= 10) return std::string(kKanjiDigits[count]);
        std::string text;
        if (count / 10 > 1) text += kKanjiDigits[count / 10];  // never for a real set
        text += kKanjiDigits[10];
        text += kKanjiDigits[count % 10];
        return text;
    }
    if (count <= 9) return std::string(kFullWidthDigits[count]);
    return std::to_string(count);
}

}  // namespace

std::string HandText(const PieceTable& pieces, int side, const HandTextOptions& options) {
    static constexpr std::array<PieceKind, 7> kOrder{kind::Hi,  kind::Kaku, kind::Kin, kind::Gin,
                                                     kind::Kei, kind::Kyo,  kind::Fu};
    const std::uint8_t hand = side == side::kGote ? location::kGoteHand : location::kSenteHand;
    std::array<int, 9> counts{};
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = pieces[i];
        if (e.present == 1 && e.file == hand && e.rank < counts.size()) ++counts[e.rank];
    }
    std::string text;
    for (PieceKind k : kOrder) {
        if (counts[k] == 0) continue;
        text += kPieceNames[CodeOfKind(k)];
        text += HandCount(counts[k], options.kanjiCounts == 1);
    }
    if (!text.empty()) return text;
    switch (options.emptyText) {
        case 2: return "ナシ"_sj;
        case 3: return options.ownEmptyText;
        default: return "なし"_sj;
    }
}

}  // namespace movra
