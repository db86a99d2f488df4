#include "core/printing/kifu_form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/rules/position.h"
#include "core/text/era.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/viewing/display_texts.h"

namespace movra {
using namespace movra::literals;

namespace {

constexpr int kCellsPerPage = 150;

std::string Format2d(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%2d", v);
    return b;
}
std::string Format3d(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%3d", v);
    return b;
}

// A time counts when it is a minute or more and known.
bool Counted(std::uint16_t seconds) { return seconds >= 60 && seconds < kUnknownTime; }

bool ClosingCounted(const PrintGame& game) { return game.extended && Counted(game.closingTime); }

// Finds `word` starting on a character boundary.
std::size_t FindWord(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size();) {
        if (text.substr(at, word.size()) == word) return at;
        at += IsLeadByte(static_cast<std::uint8_t>(text[at])) ? 2 : 1;
    }
    return std::string_view::npos;
}

// The head of a text of at most n bytes, not ending inside a character.
std::string Head(std::string_view text, std::size_t n) {
    if (text.size() <= n) return std::string(text);
    if (!IsCharBoundary(text, n)) --n;
    return std::string(text.substr(0, n));
}

class Sheet {
public:
    Sheet(const FormMetrics& m) : u_(m.u), c_(m.c), h_(m.h), x0_(23 * m.u / 10), y0_(24 * m.c / 10) {}

    FormPoint P(int x, int y) const { return {x0_ + x, y0_ + y}; }
    void Line(int pen, int x1, int y1, int x2, int y2) { page.lines.push_back({P(x1, y1), P(x2, y2), pen}); }
    void Text(int points, int x, int y, std::string text) {
        if (!text.empty()) page.texts.push_back({P(x, y), points, std::move(text)});
    }
    void Mark(int x, int y, bool filled) {
        const int g = u_ / 2;
        const int y1 = y + h_ / 6;
        FormMark mark;
        mark.filled = filled;
        mark.corners = {P(x + g, y1), P(x + g - 2 * u_ / 5, y1 + h_ / 7), P(x + 1, y1 + h_ - 2 * h_ / 5),
                        P(x + 2 * g - 2, y1 + h_ - 2 * h_ / 5), P(x + g + 35 * u_ / 100, y1 + h_ / 7)};
        page.marks.push_back(mark);
    }

    void Frame();
    void Labels(bool handicapGame, bool senteRankEmpty, bool goteRankEmpty, bool allowedLabel, bool empty);

    FormPage page;
    const int u_, c_, h_;

private:
    const int x0_, y0_;
};

void Sheet::Frame() {
    const int u = u_, c = c_;
    // pen 4: the frame, the line under the header, the three blocks of the move area
    Line(4, 0, 0, 72 * u, 0);
    Line(4, 72 * u, 0, 72 * u, 34 * c);
    Line(4, 72 * u, 34 * c, 0, 34 * c);
    Line(4, 0, 34 * c, 0, 0);
    Line(4, 0, 8 * c, 72 * u, 8 * c);
    Line(4, 24 * u, 8 * c, 24 * u, 34 * c);
    Line(4, 48 * u, 8 * c, 48 * u, 34 * c);
    // pen 2 verticals
    Line(2, 3 * u, 0, 3 * u, 4 * c);
    Line(2, 8 * u, 0, 8 * u, 8 * c);
    Line(2, 28 * u, 0, 28 * u, 4 * c);
    Line(2, 30 * u, 0, 30 * u, 8 * c / 3);
    Line(2, 48 * u, 0, 48 * u, 8 * c);
    Line(2, 52 * u, 0, 52 * u, 4 * c);
    Line(2, 324 * u / 10, 8 * c / 3, 324 * u / 10, 4 * c);
    Line(2, 20 * u, 4 * c, 20 * u, 8 * c);
    Line(2, 533 * u / 10, 7 * c, 533 * u / 10, 8 * c);
    for (int x : {12, 36, 60}) Line(2, x * u, 8 * c, x * u, 34 * c);
    // pen 2 horizontals
    for (int y : {1, 3}) Line(2, 3 * u, y * c, 8 * u, y * c);
    Line(2, 3 * u, 2 * c, 28 * u, 2 * c);
    Line(2, 30 * u, 4 * c / 3, 48 * u, 4 * c / 3);
    Line(2, 28 * u, 8 * c / 3, 48 * u, 8 * c / 3);
    for (int y : {1, 2, 3, 5}) Line(2, 48 * u, y * c, 72 * u, y * c);
    for (int y : {4, 9}) Line(2, 0, y * c, 72 * u, y * c);
    for (int y : {5, 6}) Line(2, 0, y * c, 20 * u, y * c);
    Line(2, 8 * u, 7 * c, 20 * u, 7 * c);
    // the double line under 戦型
    Line(1, 48 * u, 7 * c - 3, 72 * u, 7 * c - 3);
    Line(1, 48 * u, 7 * c + 3, 72 * u, 7 * c + 3);
    // the move parts and time cells
    for (int x : {8, 20, 32, 44, 56, 68}) Line(1, x * u, 8 * c, x * u, 34 * c);
    for (int i = 1; i <= 24; ++i) Line(i % 5 == 0 ? 2 : 1, 0, (9 + i) * c, 72 * u, (9 + i) * c);
    for (int j = 0; j <= 5; ++j) {
        for (int i = 0; i <= 25; ++i) Line(1, (12 * j + 8) * u, (9 + i) * c, (12 * j + 12) * u, (8 + i) * c);
    }
    // the marks
    for (auto [x, y] : {std::pair{90 * u / 10, 13 * c / 10}, {85 * u / 10, 63 * c / 10}, {525 * u / 10, 53 * c / 10},
                        {35 * u / 10, 83 * c / 10}, {275 * u / 10, 83 * c / 10}, {515 * u / 10, 83 * c / 10}}) {
        Mark(x, y, true);
    }
    for (auto [x, y] : {std::pair{90 * u / 10, 33 * c / 10}, {256 * u / 10, 73 * c / 10}, {85 * u / 10, 73 * c / 10},
                        {373 * u / 10, 73 * c / 10}, {525 * u / 10, 62 * c / 10}, {155 * u / 10, 83 * c / 10},
                        {395 * u / 10, 83 * c / 10}, {635 * u / 10, 83 * c / 10}}) {
        Mark(x, y, false);
    }
}

void Sheet::Labels(bool handicapGame, bool senteRankEmpty, bool goteRankEmpty, bool allowedLabel, bool empty) {
    const int u = u_, c = c_;
    const auto at = [&](int points, int x, int y, std::string_view text) { Text(points, x, y, std::string(text)); };
    at(10, 8 * u / 10, 5 * c / 10, "対"_sj);
    at(10, 8 * u / 10, 18 * c / 10, "局"_sj);
    at(10, 8 * u / 10, 31 * c / 10, "者"_sj);
    at(10, 88 * u / 10, 8 * c / 10, handicapGame ? std::string_view("下"_sj) : std::string_view("先"_sj));
    at(10, 88 * u / 10, 28 * c / 10, handicapGame ? std::string_view("上"_sj) : std::string_view("後"_sj));
    at(10, 283 * u / 10, 2 * c / 10, "棋"_sj);
    at(10, 283 * u / 10, 11 * c / 10, "戦"_sj);
    at(10, 283 * u / 10, 20 * c / 10, "名"_sj);
    at(10, 281 * u / 10, 31 * c / 10, "対局場"_sj);
    const std::string_view rows[] = {"開始"_sj, "終了"_sj, "昼休"_sj, "夕休"_sj, "手数"_sj};
    for (int i = 0; i < 5; ++i) at(10, 486 * u / 10, (3 + 10 * i) * c / 10, rows[i]);
    const std::string_view dateWords[] = {"年"_sj, "月"_sj, "日"_sj, "時"_sj, "分"_sj};
    const int dateX[] = {550, 588, 626, 664, 702};
    for (int y : {3, 13}) {
        for (int i = 0; i < 5; ++i) at(10, dateX[i] * u / 10, y * c / 10, dateWords[i]);
    }
    const std::string_view breakWords[] = {"時"_sj, "分　～"_sj, "時"_sj, "分"_sj};
    const int breakX[] = {550, 588, 664, 702};
    for (int y : {23, 33}) {
        for (int i = 0; i < 4; ++i) at(10, breakX[i] * u / 10, y * c / 10, breakWords[i]);
    }
    at(10, 590 * u / 10, 43 * c / 10, "手"_sj);
    at(10, 488 * u / 10, 58 * c / 10, "戦型"_sj);
    at(10, 486 * u / 10, 73 * c / 10, "記録係"_sj);
    at(10, 6 * u / 10, 43 * c / 10, "手  合  割"_sj);
    at(10, 6 * u / 10, 53 * c / 10, "持  時  間"_sj);
    at(10, 21 * u, 46 * c / 10, "備"_sj);
    at(10, 21 * u, 55 * c / 10, "考"_sj);
    at(10, 93 * u / 10, 53 * c / 10, "各"_sj);
    if (allowedLabel) at(10, 155 * u / 10, 53 * c / 10, "時間"_sj);
    for (int y : {63, 73}) {
        at(10, 123 * u / 10, y * c / 10, "時間"_sj);
        at(10, 175 * u / 10, y * c / 10, "分"_sj);
    }
    at(10, 21 * u, 734 * c / 100, "昼休前"_sj);
    at(10, 30 * u, 734 * c / 100, "分・夕休前"_sj);
    at(10, 418 * u / 10, 734 * c / 100, "分"_sj);
    const std::string_view consumed[] = {"消"_sj, "費"_sj, "時"_sj, "間"_sj};
    const int consumedX[] = {8, 25, 42, 59};
    for (int i = 0; i < 4; ++i) at(10, consumedX[i] * u / 10, 68 * c / 10, consumed[i]);
    for (int j = 0; j <= 5; ++j) {
        at(7, (12 * j + 8) * u + 20 * u / 100, 8 * c + 17 * c / 100, "消費"_sj);
        at(7, (12 * j + 8) * u + 195 * u / 100, 8 * c + 60 * c / 100, "通計"_sj);
    }
    if (senteRankEmpty) at(10, 62 * u / 10, 13 * c / 10, "段"_sj);
    if (goteRankEmpty) at(10, 62 * u / 10, 33 * c / 10, "段"_sj);
    if (empty) at(10, 690 * u / 10, 43 * c / 10, "勝"_sj);
}

// The rank beside a name: short ranks larger, long ones in two lines of 8 bytes.
void Rank(Sheet& s, const std::string& rank, int row) {
    const int u = s.u_, c = s.c_;
    const int y = (13 + 20 * row) * c / 10;
    if (rank.size() <= 4) {
        s.Text(10, 42 * u / 10, y, rank);
    } else if (rank.size() <= 6) {
        s.Text(10, 34 * u / 10, y, rank);
    } else if (rank.size() <= 8) {
        s.Text(8, 34 * u / 10, y, rank);
    } else {
        const std::string first = Head(rank, 8);
        s.Text(8, 34 * u / 10, (11 + 20 * row) * c / 10, first);
        s.Text(8, 34 * u / 10, (15 + 20 * row) * c / 10, rank.substr(first.size()));
    }
}

// Start (row 0) or end (row 1) of the game.
void DateRow(Sheet& s, const std::array<std::string, 3>& fields, int row) {
    const int u = s.u_, c = s.c_;
    const int y = (31 + 100 * row) * c / 100;
    s.Text(10, 522 * u / 10, y, fields[0]);
    s.Text(10, 570 * u / 10, y, fields[1]);
    s.Text(10, 608 * u / 10, y, fields[2]);
}

// "YYYY年MM月DD日" read back; false when the text is not one.
bool ReadDateText(const std::string& text, int& year, int& month, int& day) {
    const std::string nen = "年"_sj, gatsu = "月"_sj, nichi = "日"_sj;
    const std::size_t a = text.find(nen);
    const std::size_t b = text.find(gatsu);
    const std::size_t e = text.find(nichi);
    if (a == std::string::npos || b == std::string::npos || e == std::string::npos || !(a < b && b < e)) return false;
    const auto number = [](const std::string& t, int& out) {
        const std::optional<int> v = FieldNumber(t, 4);
        if (!v) return false;
        out = *v;
        return true;
    };
    return number(text.substr(0, a), year) && number(text.substr(a + nen.size(), b - a - nen.size()), month) &&
           number(text.substr(b + gatsu.size(), e - b - gatsu.size()), day);
}

void Header(Sheet& s, const PrintGame& game, const FormOptions& options) {
    const int u = s.u_, c = s.c_;
    const GameHeaderTexts& t = game.texts;
    const DetailRecord& d = game.detail;
    s.Text(15, 12 * u, 9 * c / 10, Trim(t.senteName));
    s.Text(15, 12 * u, 29 * c / 10, Trim(t.goteName));
    if (game.extended) {
        Rank(s, Trim(d.senteRank()), 0);
        Rank(s, Trim(d.goteRank()), 1);
    }
    std::string tournament = game.extended ? Trim(d.tournamentText()) : std::string();
    if (tournament.empty()) tournament = Trim(t.tournament);
    s.Text(12, 31 * u, 5 * c / 10, tournament);
    if (!t.gameNumber.empty() && t.gameNumber != "00") {
        s.Text(12, 31 * u, 18 * c / 10, "第"_sj + std::to_string(std::atoi(t.gameNumber.c_str())) + "局"_sj);
    }
    if (game.extended) {
        s.Text(11, 327 * u / 10, 31 * c / 10, Trim(d.place()));
        s.Text(11, 545 * u / 10, 73 * c / 10, Trim(d.recorder()));
        const std::string remarks = Trim(d.remarks());
        if (remarks.size() <= 20 || IsCharBoundary(remarks, 20)) {
            s.Text(12, 25 * u, 45 * c / 10, remarks.substr(0, 20));
            if (remarks.size() > 20) s.Text(12, 25 * u, 55 * c / 10, remarks.substr(20, 20));
        } else {
            s.Text(12, 24 * u, 45 * c / 10, remarks.substr(0, 21));
            s.Text(12, 24 * u, 55 * c / 10, remarks.substr(21, 19));
        }
    }
    s.Text(12, 56 * u, 425 * c / 100, std::to_string(game.moveCount()));
    s.Text(11, 62 * u, 426 * c / 100, FormResultText(game.moveLines.back()));
    s.Text(11, 95 * u / 10, 43 * c / 10, HandicapName(game.handicapNumber));
    const std::string opening = Trim(t.opening);
    if (opening != "指定なし"_sj) s.Text(11, 555 * u / 10, 576 * c / 100, opening);
    if (game.extended) {
        const int m = d.senteAllowedMinutes();
        if (m % 60 != 0) {
            s.Text(12, 135 * u / 10, 525 * c / 100, std::to_string(m));
            s.Text(10, 170 * u / 10, 53 * c / 10, "分"_sj);
        } else if (m >= 60) {
            s.Text(12, 130 * u / 10, 525 * c / 100, std::to_string(m / 60));
        }
    }
    // Start and end: the detail record's date-times, else (start only) the catalogue's date.
    for (int row = 0; row <= 1; ++row) {
        const DetailDateTime when = row == 0 ? d.start() : d.end();
        if (game.extended && when.year != 0) {
            DateRow(s, FormDateFields(when.year, when.month, when.day, options.warekiDisp), row);
            if (when.hour != 0 || when.month != 0) {
                const int y = (31 + 100 * row) * c / 100;
                s.Text(10, 647 * u / 10, y, Format2d(when.hour));
                s.Text(10, 685 * u / 10, y, Format2d(when.minute));
            }
        } else if (row == 0) {
            int year = 0, month = 0, day = 0;
            if (ReadDateText(t.dateText, year, month, day)) {
                DateRow(s, FormDateFields(year, month, day, options.warekiDisp), 0);
            }
        }
    }
    if (game.extended) {
        for (int row = 0; row <= 1; ++row) {
            const BreakTime b = row == 0 ? d.lunch() : d.dinner();
            const int y = (231 + 100 * row) * c / 100;
            if (b.fromHour != 0 || b.fromMinute != 0) {
                s.Text(10, 532 * u / 10, y, Format2d(b.fromHour));
                s.Text(10, 570 * u / 10, y, Format2d(b.fromMinute));
            }
            if (b.toHour != 0 || b.toMinute != 0) {
                s.Text(10, 647 * u / 10, y, Format2d(b.toHour));
                s.Text(10, 685 * u / 10, y, Format2d(b.toMinute));
            }
        }
    }
}

// The consumed time of the header, per side, in hours and minutes (input mode 0).
void Totals(Sheet& s, const PrintGame& game) {
    if (!game.extended || game.detail.timeMode() != 0) return;
    const int u = s.u_, c = s.c_;
    std::array<int, 2> minutes{};  // by cell parity: 0 下手 (the first mover of an even game), 1 上手
    const int first = game.handicapGame() ? 1 : 0;
    const int count = game.moveCount();
    for (int k = 1; k <= count; ++k) {
        const std::uint16_t t = game.times[static_cast<std::size_t>(k)];
        if (t < kUnknownTime) minutes[static_cast<std::size_t>((k - 1 + first) % 2)] += t / 60;
    }
    if (game.closingTime < kUnknownTime) minutes[static_cast<std::size_t>((count + first) % 2)] += game.closingTime / 60;
    if (minutes[0] == 0 && minutes[1] == 0) return;
    for (int side = 0; side <= 1; ++side) {
        const int y = (6 + side) * c + 27 * c / 100;
        s.Text(11, 8 * u + 24 * u / 10, y, Format2d(minutes[static_cast<std::size_t>(side)] / 60));
        s.Text(11, 8 * u + 77 * u / 10, y, Format2d(minutes[static_cast<std::size_t>(side)] % 60));
    }
}

}  // namespace

FormMetrics MakeFormMetrics(int digitsWidth, int xHeight) {
    return {digitsWidth * 125 / 1000, xHeight * 18 / 10, xHeight};
}

int FormCells(const PrintGame& game) {
    return game.moveCount() + (ClosingCounted(game) ? 1 : 0) + (game.handicapGame() ? 1 : 0);
}

int FormPageCount(const PrintGame& game) { return std::max(1, (FormCells(game) - 1) / kCellsPerPage + 1); }

FormCell FormCellOf(int n) { return {2 * (n / 50) + n % 2, (n % 50) / 2}; }

std::array<std::string, 3> FormDateFields(int year, int month, int day, bool warekiDisp) {
    const auto blankZero = [](std::string t) {
        if (t.size() >= 2 && t[t.size() - 2] == '0') t[t.size() - 2] = ' ';
        return t;
    };
    // The era of an incomplete date is that of its first day, when WarekiDisp asks for it.
    const bool incomplete = month == 0 || day == 0;
    if (!incomplete || warekiDisp) {
        try {
            const std::string era =
                EraDateText(CivilDate{year, std::max(month, 1), std::max(day, 1)}, EraLayout::kInitial);
            // era initial (2 bytes), era year, month, day (2 digits each)
            if (era.size() == 8) {
                return {blankZero(era.substr(0, 4)), blankZero(incomplete && month == 0 ? "00" : era.substr(4, 2)),
                        blankZero(day == 0 ? "00" : era.substr(6, 2))};
            }
        } catch (const std::invalid_argument&) {
        }
    }
    return {ZeroPad(year, 4), blankZero(ZeroPad(month, 2)), blankZero(ZeroPad(day, 2))};
}

std::string FormResultText(const std::string& closingLine) {
    std::size_t at = FindWord(closingLine, "まで"_sj);
    if (at == std::string::npos) at = FindWord(closingLine, "以下"_sj);
    if (at == std::string::npos) return {};
    std::string word = Head(std::string_view(closingLine).substr(at + 4), 6);
    const std::size_t win = FindWord(word, "勝"_sj);
    if (win == std::string::npos) return word;
    return word.substr(0, win) + ' ' + word.substr(win);
}

std::vector<FormPage> KifuFormPages(const PrintGame* game, const FormMetrics& m, const FormOptions& options) {
    std::vector<FormPage> pages;
    const int pageCount = game != nullptr ? FormPageCount(*game) : 1;
    const bool handicap = game != nullptr && game->handicapGame();
    const bool extended = game != nullptr && game->extended;
    const int allowed = extended ? game->detail.senteAllowedMinutes() : 0;
    const int first = handicap ? 1 : 0;
    const int moves = game != nullptr ? game->moveCount() : 0;
    const int timeMode = extended ? game->detail.timeMode() : 0;
    std::array<int, 2> running{};  // running totals by cell parity
    for (int p = 0; p < pageCount; ++p) {
        Sheet s(m);
        const int u = s.u_, c = s.c_;
        s.Frame();
        s.Labels(handicap, !extended || Trim(game->detail.senteRank()).empty(),
                 !extended || Trim(game->detail.goteRank()).empty(), allowed % 60 == 0, game == nullptr);
        if (game != nullptr) {
            Header(s, *game, options);
            Totals(s, *game);
            if (handicap && p == 0) s.Line(2, 0, 10 * c, 8 * u, 9 * c);
            // the time cell of cell n: minutes of this move (mode 0) and the running total
            const auto timeCell = [&](int n, std::uint16_t seconds, int upperY) {
                if (!extended || !Counted(seconds)) return;
                const FormCell cell = FormCellOf(n % kCellsPerPage);
                const int x = 12 * cell.column * u;
                const int rowY = cell.line * c;
                int& total = running[static_cast<std::size_t>(n % 2)];
                if (timeMode == 1) {
                    s.Text(9, x + 99 * u / 10, 952 * c / 100 + rowY, Format3d(seconds / 60));
                } else {
                    total += seconds / 60;
                    s.Text(9, x + 82 * u / 10, upperY + rowY, std::to_string(seconds / 60));
                    s.Text(9, x + 99 * u / 10, 952 * c / 100 + rowY, Format3d(total));
                }
            };
            for (int k = 1; k <= moves; ++k) {
                const int n = k - 1 + first;
                if (n / kCellsPerPage != p) continue;
                const FormCell cell = FormCellOf(n % kCellsPerPage);
                const std::string& line = game->moveLines[static_cast<std::size_t>(k - 1)];
                std::string text = line.size() > 7 ? Head(std::string_view(line).substr(7), 14) : std::string();
                while (!text.empty() && text.back() == ' ') text.pop_back();
                int points = 12, shift = 0;
                if (text.size() == 10) {
                    points = 10;
                } else if (text.size() == 12) {
                    points = 9;
                    shift = 2 * u / 10;
                } else if (text.size() == 14) {
                    points = 8;
                    shift = 4 * u / 10;
                }
                s.Text(points, 12 * cell.column * u + 6 * u / 10 - shift, 93 * c / 10 + cell.line * c, text);
                timeCell(n, game->times[static_cast<std::size_t>(k)], 906 * c / 100);
            }
            if (ClosingCounted(*game)) {
                const int n = moves + first;
                if (n / kCellsPerPage == p) {
                    const FormCell cell = FormCellOf(n % kCellsPerPage);
                    const int x = 12 * cell.column * u;
                    const int y = 95 * c / 10 + cell.line * c;
                    s.Line(5, x + 13 * u / 10, y, x + 6 * u, y);
                    timeCell(n, game->closingTime, 908 * c / 100);
                }
            }
        }
        pages.push_back(std::move(s.page));
    }
    return pages;
}

}  // namespace movra
