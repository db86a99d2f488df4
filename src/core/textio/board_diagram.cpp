#include "core/textio/board_diagram.h"

#include <array>
#include <string_view>

#include "core/text/sjis_literal.h"
#include "core/rules/position.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

// Diagram piece names by sente code 1-14 (成香 成桂 成銀 as 杏 圭 全); 竜 and 王 are read too.
constexpr std::string_view kPieceChars = "歩と香杏桂圭銀全金角馬飛龍玉"_sj;

PieceCode DiagramPiece(std::string_view name) {
    const int i = sjis::IndexInList(kPieceChars, name, 0);
    if (i != 0) return static_cast<PieceCode>(i);
    if (name == "竜"_sj) return piece::Ryu;
    if (name == "王"_sj) return piece::Gyoku;
    return 0;
}

// 一 to 十八; 0 when the text is not such a numeral.
int KanjiCount(std::string_view text) {
    constexpr std::string_view kDigits = "一二三四五六七八九"_sj;
    if (text.empty()) return 1;
    int value = 0;
    std::size_t at = 0;
    if (sjis::StartsWith(text, "十"_sj)) {
        value = 10;
        at = 2;
    }
    if (at < text.size()) {
        const int d = sjis::IndexInList(kDigits, text, at);
        if (d == 0 || at + 2 != text.size()) return 0;
        value += d;
    }
    return value;
}

// "飛二　角　歩十七" or "なし" into hand counts by kind; false when unreadable.
bool ReadHand(std::string_view text, HandCounts& hand) {
    hand.fill(0);
    std::string_view rest = text;
    while (!rest.empty()) {
        if (rest[0] == ' ') {
            rest.remove_prefix(1);
            continue;
        }
        if (sjis::StartsWith(rest, "　"_sj)) {
            rest.remove_prefix(2);
            continue;
        }
        if (sjis::StartsWith(rest, "なし"_sj)) return true;
        const PieceCode code = DiagramPiece(rest.substr(0, 2));
        if (code == 0 || rest.size() < 2) return false;
        rest.remove_prefix(2);
        std::size_t end = 0;
        while (end < rest.size() && rest[end] != ' ' && !sjis::StartsWith(rest.substr(end), "　"_sj)) {
            end += sjis::CharLength(rest, end);
        }
        const int count = KanjiCount(rest.substr(0, end));
        if (count == 0) return false;
        hand[KindOf(code)] = static_cast<std::uint8_t>(hand[KindOf(code)] + count);
        rest.remove_prefix(end);
    }
    return true;
}

bool IsRow(std::string_view line) { return sjis::StartsWith(line, "|"); }

// The nine rows into a board; false when a cell cannot be read.
bool ReadRows(const TextLines& lines, std::size_t first, Board& board) {
    board.fill(0);
    for (int rank = 1; rank <= 9; ++rank) {
        const std::string_view row = lines[first + static_cast<std::size_t>(rank - 1)];
        for (int column = 0; column < 9; ++column) {
            const std::size_t at = 1 + static_cast<std::size_t>(column) * 3;
            if (at + 3 > row.size()) return false;
            const char side = row[at];
            const std::string_view name = row.substr(at + 1, 2);
            if (name == "・"_sj) continue;
            PieceCode code = DiagramPiece(name);
            if (code == 0) return false;
            if (side == 'v' || side == 'V') {
                code = static_cast<PieceCode>(code + piece::kGoteOffset);
            } else if (side != ' ' && side != '^') {
                return false;
            }
            board[static_cast<std::size_t>(BoardIndex(9 - column, rank))] = code;
        }
    }
    return true;
}

}  // namespace

DiagramReading ReadBoardDiagram(const TextLines& lines, std::size_t begin, std::size_t end) {
    DiagramReading result;
    end = std::min(end, lines.size());
    std::size_t first = end;
    for (std::size_t i = begin; i + 9 <= end; ++i) {
        bool nine = true;
        for (std::size_t k = 0; k < 9 && nine; ++k) nine = IsRow(lines[i + k]);
        if (nine) {
            first = i;
            break;
        }
    }
    if (first == end) return result;
    result.found = true;

    Board board{};
    if (!ReadRows(lines, first, board)) return result;
    HandCounts sente{}, gote{};
    int sideToMove = 0;  // 0 not stated
    for (std::size_t i = begin; i < end; ++i) {
        const std::string_view line = lines[i];
        bool ok = true;
        if (sjis::StartsWith(line, "先手の持駒："_sj) || sjis::StartsWith(line, "下手の持駒："_sj)) {
            ok = ReadHand(line.substr(12), sente);
        } else if (sjis::StartsWith(line, "後手の持駒："_sj) ||
                   sjis::StartsWith(line, "上手の持駒："_sj)) {
            ok = ReadHand(line.substr(12), gote);
        } else if (sjis::StartsWith(line, "先手番"_sj) || sjis::StartsWith(line, "下手番"_sj)) {
            sideToMove = 1;
        } else if (sjis::StartsWith(line, "後手番"_sj) || sjis::StartsWith(line, "上手番"_sj)) {
            sideToMove = 2;
        }
        if (!ok) return result;
    }

    for (int number = 0; number < kHandicapCount; ++number) {
        const char c = HandicapChar(number);
        BoardPosition setup;
        SetUpStandard(setup, c);
        if (setup.board != board || setup.senteHand != sente || setup.goteHand != gote) continue;
        const int firstMover = number == 0 ? 1 : 2;
        if (sideToMove != 0 && sideToMove != firstMover) return result;
        result.standard = true;
        result.handicap = c;
        return result;
    }
    return result;
}

}  // namespace movra
