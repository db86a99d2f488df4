#pragma once
// The kifu form (棋譜用紙) as plain drawing data: the lines, the piece-shaped marks and the texts
// of each printed page, in the printer's device units. The sheet is measured in two units taken
// from the 12-point print font: u, an eighth of the width of "1234567890", and c, 1.8 times the
// height of "X". Every position below is (X0 + x, Y0 + y) with X0 = 2.3u and Y0 = 2.4c; products
// are truncated as written, so the sheet is the same on every printer of the same resolution.
//
// The move area has 25 rows (9 to 33) of six columns; column j spans 12j·u to (12j + 12)·u: 8u for
// the move and 4u for its time cell, cut by a diagonal into this move's minutes (upper left) and
// the running total (lower right). Cell n (0-149) of a page lies in column 2·(n div 50) + n mod 2
// and on line (n mod 50) div 2: a row holds a pair of moves in each of three blocks of 50 cells.
#include <array>
#include <string>
#include <vector>

#include "core/printing/print_game.h"

namespace movra {

struct FormMetrics {
    int u = 0;   // width of "1234567890" × 125 / 1000
    int c = 0;   // height of "X" × 18 / 10: one row of the form
    int h = 0;   // height of "X", for the marks
};
// From the 12-point font's measures on the printer.
FormMetrics MakeFormMetrics(int digitsWidth, int xHeight);

struct FormPoint {
    int x = 0, y = 0;
    friend bool operator==(const FormPoint&, const FormPoint&) = default;
};
struct FormLine {
    FormPoint from, to;
    int pen = 1;  // width in device units
};
// The piece shape (▲ filled, △ white), drawn with pen 2.
struct FormMark {
    std::array<FormPoint, 5> corners{};
    bool filled = false;
};
// Text whose top-left corner is at `at`, in the print font at `points`.
struct FormText {
    FormPoint at;
    int points = 10;
    std::string text;  // CP932
};

struct FormPage {
    std::vector<FormLine> lines;
    std::vector<FormMark> marks;
    std::vector<FormText> texts;
};

struct FormOptions {
    bool warekiDisp = false;  // [Shogi] WarekiDisp: an era for a date with month or day 00
};

// Cells the game needs: its moves, one for the closing time when the store keeps details and
// it is a minute or more, one crossed-out first cell in a handicap game.
int FormCells(const PrintGame& game);
// (cells − 1) div 150 + 1, at least one.
int FormPageCount(const PrintGame& game);

// Column (0-5) and line (0-24) of cell n (0-149) of a page.
struct FormCell {
    int column = 0, line = 0;
};
FormCell FormCellOf(int n);

// The printed pages of the game, or of the empty form when `game` is null (one page). The
// totals of the time cells run on across the pages and start again with every call (one copy).
std::vector<FormPage> KifuFormPages(const PrintGame* game, const FormMetrics& m, const FormOptions& options);

// The date of a form's 開始 or 終了 row: era initial and era year (4 bytes), month (2), day (2),
// a leading "0" of each replaced by a blank ("令 1 5 1"); a date with no era (before 明治, or month
// or day 00 without WarekiDisp) keeps the western year. The texts of the three fields.
std::array<std::string, 3> FormDateFields(int year, int month, int day, bool warekiDisp);

// The result word of the form ("先手 勝"): the 6 bytes after "まで" (or "以下") of the closing
// line, a blank put before "勝".
std::string FormResultText(const std::string& closingLine);

}  // namespace movra
