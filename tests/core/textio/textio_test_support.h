#pragma once
// Shared pieces of the text reader tests: text files written from lines of UTF-8 source.
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/text/cp932.h"
#include "core/textio/text_lines.h"

namespace movra::testing {

// The lines (UTF-8 in the source) as a CP932 file with CR LF line ends.
inline std::string Cp932File(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view l : lines) {
        text += Utf8ToCp932(l);
        text += "\r\n";
    }
    return text;
}

inline TextLines LinesOf(std::initializer_list<std::string_view> lines) {
    TextLines t;
    MakeTextLines(Cp932File(lines), "", t);
    return t;
}

}  // namespace movra::testing

#include <vector>

#include "core/record/kif_data.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"

namespace movra::testing {

// A Kakinoki file of the game in `record` (moves 1 .. moveCount), with the header lines given
// (UTF-8), each move's time its number of seconds, and `endWord` (UTF-8) on the line after the
// last move when not empty.
inline std::string KifOf(const TKifData& record, std::initializer_list<std::string_view> header,
                         std::string_view endWord) {
    using namespace movra::literals;
    std::string t;
    for (std::string_view h : header) t += Utf8ToCp932(h) + "\r\n";
    t += std::string("手数----指手---------消費時間--"_sj) + "\r\n";
    BoardPosition p;
    SetUpStandard(p, record.handicap);
    int previous = -1;
    for (int n = 1; n <= record.moveCount; ++n) {
        const MoveRecord& m = record.moves[static_cast<std::size_t>(n)];
        const int to = m.toFile * 10 + m.toRank;
        std::string text = to == previous ? std::string("同　"_sj) : SquareText(m.toFile, m.toRank);
        text += PieceName(p.pieces[m.piece].code);
        if (m.promotes) text += "成"_sj;
        if (m.isDrop()) {
            text += "打"_sj;
        } else {
            text += "(" + std::to_string(m.fromFile) + std::to_string(m.fromRank) + ")";
        }
        ApplyMove(p, m);
        previous = to;
        const int seconds = n % 600;
        char line[96];
        std::snprintf(line, sizeof line, "%4d %-14s   (%2d:%02d/00:00:00)\r\n", n, text.c_str(),
                      seconds / 60, seconds % 60);
        t += line;
    }
    if (!endWord.empty()) {
        char head[16];
        std::snprintf(head, sizeof head, "%4d ", record.moveCount + 1);
        t += head + Utf8ToCp932(endWord) + "   ( 0:07/00:00:00)\r\n";
    }
    return t;
}

}  // namespace movra::testing
