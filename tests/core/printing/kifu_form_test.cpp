// The kifu form's drawing data: the sheet's lines, the cells the moves fall in across pages, the
// time cells and totals, and the header's fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/printing/kifu_form.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {
namespace {
using namespace movra::literals;

// u 30, c 90, h 50: X0 = 69, Y0 = 216.
const FormMetrics kM = MakeFormMetrics(240, 50);
constexpr int kX0 = 69, kY0 = 216;

PrintGame Game(int n, int handicap = 0, const std::string& move = "７六歩"_sj) {
    PrintGame g;
    g.handicapNumber = handicap;
    for (int k = 1; k <= n; ++k) g.moveLines.push_back(ZeroPad(k, 3) + "  " + "▲"_sj + move + std::to_string(k));
    g.moveLines.push_back(std::to_string(n) + "手まで先手勝ち"_sj);
    g.times.assign(static_cast<std::size_t>(n) + 1, 0);
    return g;
}

std::optional<FormText> TextAt(const FormPage& page, int x, int y) {
    for (const FormText& t : page.texts) {
        if (t.at.x == x && t.at.y == y) return t;
    }
    return std::nullopt;
}
std::optional<FormText> Find(const FormPage& page, const std::string& text) {
    for (const FormText& t : page.texts) {
        if (t.text == text) return t;
    }
    return std::nullopt;
}
// Where the move text of cell (column, line) stands at 10 points.
FormPoint Cell(int column, int line) { return {kX0 + 12 * column * 30 + 18, kY0 + 837 + line * 90}; }

TEST(KifuForm, SheetLinesAndMetrics) {
    EXPECT_EQ(kM.u, 30);
    EXPECT_EQ(kM.c, 90);
    const std::vector<FormPage> pages = KifuFormPages(nullptr, kM, {});
    ASSERT_EQ(pages.size(), 1u);
    const FormPage& p = pages[0];
    const auto has = [&](int pen, int x1, int y1, int x2, int y2) {
        return std::any_of(p.lines.begin(), p.lines.end(), [&](const FormLine& l) {
            return l.pen == pen && l.from == FormPoint{kX0 + x1, kY0 + y1} && l.to == FormPoint{kX0 + x2, kY0 + y2};
        });
    };
    EXPECT_TRUE(has(4, 0, 0, 2160, 0));              // the frame's top, 72u
    EXPECT_TRUE(has(4, 2160, 3060, 0, 3060));        // its bottom at 34c
    EXPECT_TRUE(has(2, 972, 240, 972, 360));         // x = 324u / 10 from 8c / 3 to 4c
    EXPECT_TRUE(has(2, 0, 1260, 2160, 1260));        // row line 14 (i = 5): pen 2
    EXPECT_TRUE(has(1, 0, 1350, 2160, 1350));        // row line 15: pen 1
    EXPECT_TRUE(has(1, 1440 - 24 * 30 + 8 * 30 + 360, 810 + 90, 1440 - 24 * 30 + 12 * 30 + 360, 810));  // a diagonal
    EXPECT_TRUE(has(1, 1440, 630 - 3, 2160, 630 - 3));  // the double line under 戦型
    EXPECT_EQ(p.marks.size(), 14u);
    // The empty form's own labels, and no data.
    EXPECT_TRUE(TextAt(p, kX0 + 2070, kY0 + 387).has_value());  // 勝 at (690u / 10, 43c / 10)
    EXPECT_EQ(std::count_if(p.texts.begin(), p.texts.end(), [](const FormText& t) { return t.text == "段"_sj; }), 2);
    EXPECT_TRUE(Find(p, "時間"_sj).has_value());
    EXPECT_FALSE(Find(p, "平手"_sj).has_value());
}

TEST(KifuForm, MovesFillCellsAcrossPages) {
    // 151 moves: the second page holds move 151 in cell 0.
    const PrintGame even = Game(151);
    EXPECT_EQ(FormPageCount(even), 2);
    std::vector<FormPage> pages = KifuFormPages(&even, kM, {});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(TextAt(pages[1], Cell(0, 0).x, Cell(0, 0).y)->text, "７六歩151"_sj);
    // Cell 99 is column 3, line 24; cell 100 column 4, line 0.
    EXPECT_EQ(TextAt(pages[0], Cell(3, 24).x, Cell(3, 24).y)->text, "７六歩100"_sj);
    EXPECT_EQ(TextAt(pages[0], Cell(4, 0).x, Cell(4, 0).y)->text, "７六歩101"_sj);
    EXPECT_EQ(Find(pages[1], "151").has_value(), true);  // the move count on every page

    // A handicap game of 150 moves: the first cell crossed out, move 150 alone on page 2.
    const PrintGame handicap = Game(150, 1);
    EXPECT_EQ(FormPageCount(handicap), 2);
    pages = KifuFormPages(&handicap, kM, {});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(TextAt(pages[0], Cell(1, 0).x, Cell(1, 0).y)->text, "７六歩1"_sj);
    EXPECT_EQ(TextAt(pages[0], Cell(5, 24).x, Cell(5, 24).y)->text, "７六歩149"_sj);
    EXPECT_EQ(TextAt(pages[1], Cell(0, 0).x, Cell(0, 0).y)->text, "７六歩150"_sj);
    const auto crossed = [](const FormPage& p) {
        return std::any_of(p.lines.begin(), p.lines.end(), [](const FormLine& l) {
            return l.pen == 2 && l.from == FormPoint{kX0, kY0 + 900} && l.to == FormPoint{kX0 + 240, kY0 + 810};
        });
    };
    EXPECT_TRUE(crossed(pages[0]));
    EXPECT_FALSE(crossed(pages[1]));
    EXPECT_TRUE(Find(pages[0], "下"_sj).has_value());
    EXPECT_TRUE(Find(pages[0], "香落ち"_sj).has_value());

    // A 14-byte move text at 8 points, 4u / 10 to the left; 12 bytes at 9 points.
    const PrintGame promoted = Game(2, 0, "２二角成"_sj);  // + "1" / "2": 9 bytes, 12 points
    EXPECT_EQ(TextAt(KifuFormPages(&promoted, kM, {})[0], Cell(0, 0).x, Cell(0, 0).y)->points, 12);
    const PrintGame longer = Game(10, 0, "２二成銀左上"_sj);  // + "10": 14 bytes
    const FormPage page = KifuFormPages(&longer, kM, {})[0];
    EXPECT_EQ(TextAt(page, Cell(1, 4).x - 12, Cell(1, 4).y)->points, 8);
    const std::optional<FormText> twelve = TextAt(page, Cell(0, 4).x, Cell(0, 4).y);
    ASSERT_TRUE(twelve.has_value());  // "２二成銀左上9": 13 bytes
    EXPECT_EQ(twelve->points, 12);
}

TEST(KifuForm, TimeCellsTotalsAndHeader) {
    PrintGame g = Game(4);
    g.extended = true;
    g.times = {0, 150, 59, 3600, 120};
    g.closingTime = 600;
    g.detail.setClosingTime(600);
    g.detail.setSenteRank("女流名人位"_sj);  // 10 bytes: two lines of 8 points
    g.detail.setStart({2019, 5, 1, 10, 0});
    g.detail.setSenteAllowedMinutes(90);
    g.detail.setRemarks("あいうえおかきくけこさしすせそ"_sj);
    g.texts.opening = "指定なし"_sj;
    EXPECT_EQ(FormCells(g), 5);
    const FormPage p = KifuFormPages(&g, kM, {})[0];
    const auto at = [&](int x, int y) { return TextAt(p, kX0 + x, kY0 + y); };
    // Move 1: 2 minutes upper left, total 2; move 2 (59 s) nothing; move 3 adds 60 to 2.
    EXPECT_EQ(at(246, 815)->text, "2");
    EXPECT_EQ(at(297, 856)->text, "  2");
    EXPECT_FALSE(at(12 * 30 + 246, 815).has_value());
    EXPECT_EQ(at(246, 815 + 90)->text, "60");
    EXPECT_EQ(at(297, 856 + 90)->text, " 62");
    EXPECT_EQ(at(360 + 297, 856 + 90)->text, "  2");  // move 4, gote's column
    // The closing time in cell 4: the stroke across its move part and its minutes.
    EXPECT_TRUE(std::any_of(p.lines.begin(), p.lines.end(), [](const FormLine& l) {
        return l.pen == 5 && l.from == FormPoint{kX0 + 39, kY0 + 855 + 180};
    }));
    EXPECT_EQ(at(246, 817 + 180)->text, "10");
    // Header totals: 下手 2 + 60 + 10 minutes = 1 h 12 m, 上手 2 m.
    EXPECT_EQ(at(240 + 72, 540 + 24)->text, " 1");
    EXPECT_EQ(at(240 + 231, 540 + 24)->text, "12");
    EXPECT_EQ(at(240 + 231, 630 + 24)->text, " 2");
    // The rank split after byte 8, the allowed time, the remarks in two lines, the date.
    EXPECT_EQ(at(102, 99)->text, "女流名人"_sj);
    EXPECT_EQ(at(102, 135)->text, "位"_sj);
    EXPECT_EQ(at(405, 472)->text, "90");
    EXPECT_FALSE(Find(p, "時間"_sj).has_value() && TextAt(p, kX0 + 465, kY0 + 477).has_value());
    EXPECT_EQ(at(750, 405)->text, "あいうえおかきくけこ"_sj);
    EXPECT_EQ(at(750, 495)->text, "さしすせそ"_sj);
    EXPECT_EQ(at(1566, 27)->text, "令 1"_sj);
    EXPECT_EQ(at(1941, 27)->text, "10");
    EXPECT_FALSE(Find(p, "指定なし"_sj).has_value());
    EXPECT_EQ(Find(p, "先手 勝"_sj).has_value(), true);
    // Stored running totals (mode 1) print the stored minutes only, in the lower right.
    g.detail.setTimeMode(1);
    const FormPage stored = KifuFormPages(&g, kM, {})[0];
    EXPECT_EQ(TextAt(stored, kX0 + 297, kY0 + 856)->text, "  2");
    EXPECT_FALSE(TextAt(stored, kX0 + 246, kY0 + 815).has_value());
}

TEST(KifuForm, DatesAndResults) {
    EXPECT_EQ(FormDateFields(2019, 5, 1, false), (std::array<std::string, 3>{"令 1"_sj, " 5", " 1"}));
    EXPECT_EQ(FormDateFields(1989, 2, 10, false), (std::array<std::string, 3>{"平 1"_sj, " 2", "10"}));
    EXPECT_EQ(FormDateFields(1985, 0, 0, false), (std::array<std::string, 3>{"1985", " 0", " 0"}));
    EXPECT_EQ(FormDateFields(1985, 0, 0, true), (std::array<std::string, 3>{"昭60"_sj, " 0", " 0"}));
    EXPECT_EQ(FormDateFields(1850, 3, 4, false), (std::array<std::string, 3>{"1850", " 3", " 4"}));
    EXPECT_EQ(FormResultText("まで64手で後手の勝ち"_sj), "64手で"_sj);
    EXPECT_EQ(FormResultText("100手まで上手勝ち"_sj), "上手 勝"_sj);
    EXPECT_EQ(FormResultText("以下千日手"_sj), "千日手"_sj);
    EXPECT_EQ(FormResultText("中断"_sj), "");
}

}  // namespace
}  // namespace movra
