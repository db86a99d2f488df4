#pragma once
// The two plain printed forms of a game (簡略形式１, four numbered moves a line with the comments;
// 簡略形式２, the traditional two moves a row in blocks of 70 plies), assembled line by line as the
// print text, and the print text laid out on the pages of the printer's text output.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printing/print_game.h"

namespace movra {

// A line of the print text that holds only this starts a new page.
inline constexpr std::string_view kFormFeed = "\f";

struct KifuTextOptions {
    bool dateAsWritten = true;  // [Form] DateType: the date text as stored, else the era form
    bool warekiDisp = false;    // [Shogi] WarekiDisp: an era for a date with month or day 00
};

// The print text of form 1 or 2 (CP932 lines); empty when the game has no move list.
std::vector<std::string> KifuTextLines(const PrintGame& game, int form, const KifuTextOptions& options);

// The print text on pages as the printer's text output lays it: each copy begins with two empty
// lines, every line is preceded by four blanks, a form feed starts a new page and a full page
// (linesPerPage lines) continues on the next. A line that `fits` refuses is broken at a character
// boundary and continues on the next line, so nothing is lost at the right edge.
std::vector<std::vector<std::string>> TextPages(const std::vector<std::string>& printText, int linesPerPage,
                                                const std::function<bool(std::string_view)>& fits);

// A comment line broken into pieces of at most `width` bytes, never inside a character.
std::vector<std::string> WrapBytes(std::string_view text, std::size_t width);

}  // namespace movra
