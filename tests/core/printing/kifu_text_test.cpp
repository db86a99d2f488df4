// The plain printed forms line by line, and the print text on the pages of the text output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/printing/kifu_text.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {
namespace {
using namespace movra::literals;

// A game of n plies whose move k reads "７六歩" with the side mark of its mover.
PrintGame Game(int n, int handicap = 0) {
    PrintGame g;
    g.handicapNumber = handicap;
    g.texts.senteName = "甲"_sj;
    g.texts.goteName = "乙"_sj;
    g.texts.tournament = "棋戦"_sj;
    g.texts.gameNumber = "05";
    g.texts.dateText = "2019年05月01日"_sj;
    for (int k = 1; k <= n; ++k) {
        const bool first = (k % 2 == 1) != (handicap != 0);
        g.moveLines.push_back(ZeroPad(k, 3) + "  " + std::string(first ? "▲"_sj : "△"_sj) + "７六歩"_sj);
    }
    g.moveLines.push_back(std::to_string(n) + "手まで先手の勝ち"_sj);
    g.times.assign(static_cast<std::size_t>(n) + 1, 0);
    return g;
}

std::size_t IndexOf(const std::vector<std::string>& lines, std::string_view line, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i] == line) return i;
    }
    return lines.size();
}

TEST(KifuText, FormOneHeaderCellsAndPageBreak) {
    const std::vector<std::string> nine = KifuTextLines(Game(9), 1, {});
    ASSERT_EQ(nine.size(), 6u + 3u + 3u);
    EXPECT_EQ(nine[0], " 棋戦名：棋戦 第5局"_sj);
    EXPECT_EQ(nine[1], " 先　手：甲"_sj);
    EXPECT_EQ(nine[3], " 対局日：2019年05月01日"_sj);
    EXPECT_EQ(nine[6], "  1:▲７六歩        2:△７六歩        3:▲７六歩        4:△７六歩      "_sj);
    EXPECT_EQ(nine[8], "  9:▲７六歩      "_sj);
    EXPECT_EQ(nine[9], "");
    EXPECT_EQ(nine[10], "9手まで先手の勝ち"_sj);
    EXPECT_EQ(nine[11], "");
    // The era form when DateType is off.
    EXPECT_EQ(KifuTextLines(Game(9), 1, {false, false})[3], " 対局日：令和01年05月01日"_sj);
    // A handicap game names 下手 and 上手; no moves, nothing at all.
    EXPECT_EQ(KifuTextLines(Game(9, 1), 1, {})[2], " 上　手：乙"_sj);
    PrintGame none;
    EXPECT_TRUE(KifuTextLines(none, 1, {}).empty());

    const std::vector<std::string> long_ = KifuTextLines(Game(201), 1, {});
    const std::size_t feed = IndexOf(long_, kFormFeed);
    ASSERT_LT(feed, long_.size());
    EXPECT_EQ(long_[feed - 1].substr(0, 4), "197:");
    for (std::size_t i = 1; i <= 7; ++i) EXPECT_EQ(long_[feed + i], "");
    EXPECT_EQ(long_[feed + 8].substr(0, 4), "201:");
}

TEST(KifuText, FormOneCommentsOfTheExtendedKind) {
    PrintGame g = Game(2);
    g.extended = true;
    g.comments = {"開始の局面"_sj, "", "長い"_sj + std::string(80, 'x'), "終わり"_sj};
    const std::vector<std::string> lines = KifuTextLines(g, 1, {});
    const std::size_t start = IndexOf(lines, "開始:開始の局面"_sj);
    ASSERT_LT(start, lines.size());
    EXPECT_EQ(lines[start + 1].substr(0, 9), "   2:長い"_sj);
    EXPECT_EQ(lines[start + 1].size(), 5u + 64u);  // wrapped at 64 bytes
    EXPECT_EQ(lines[start + 2], "     " + std::string(20, 'x'));
    EXPECT_EQ(lines[start + 3], "終局:終わり"_sj);
    // The classic kind prints no comments.
    g.extended = false;
    EXPECT_EQ(IndexOf(KifuTextLines(g, 1, {}), "開始:開始の局面"_sj), KifuTextLines(g, 1, {}).size());
}

TEST(KifuText, FormTwoBlocksRowsAndClosingLine) {
    const std::string cell = "７六歩"_sj + "　　　　"_sj;  // 14 bytes
    // 71 plies: block 0 holds plies 0-69 in rows 0-34; ply 70 opens block 1 in row 0.
    const std::vector<std::string> lines = KifuTextLines(Game(71), 2, {});
    ASSERT_EQ(lines[6], " " + cell + cell + "　"_sj + cell);
    EXPECT_EQ(lines[7], " " + cell + cell + "  71手まで先手の勝ち"_sj);
    EXPECT_EQ(lines[11], "");  // after the fifth row
    // A handicap game starts with the missing move of 下手.
    const std::vector<std::string> handicap = KifuTextLines(Game(3, 1), 2, {});
    EXPECT_EQ(handicap[6], " －－－　　　　"_sj + cell);
    EXPECT_EQ(handicap[7], " " + cell + cell);
    // 250 plies: a new page after row 35, whose rows hold plies 210 on.
    const std::vector<std::string> big = KifuTextLines(Game(250), 2, {});
    const std::size_t feed = IndexOf(big, kFormFeed);
    ASSERT_LT(feed, big.size());
    EXPECT_EQ(big[feed + 1], "");
    EXPECT_EQ(big[feed + 2], " " + cell + cell);
    // Rows 0-34 (and their six blank separators) come before it.
    EXPECT_EQ(feed, 6u + 35u + 6u);
    // The closing line of a game ending in block 0 of the second set, in a fresh row.
    EXPECT_EQ(big.back().substr(0, 1), " ");
    EXPECT_NE(big.back().find("250手"_sj), std::string::npos);
}

TEST(KifuText, TextPagesFlowBreakAndWrap) {
    const auto fits = [](std::string_view line) { return line.size() <= 20; };
    const std::vector<std::string> text = {"a", std::string(kFormFeed), "b", "0123456789あいうえおかきくけこ"_sj, "c", "d"};
    const std::vector<std::vector<std::string>> pages = TextPages(text, 4, fits);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (std::vector<std::string>{"", "", "    a"}));
    // The long line breaks at a character boundary and goes on indented.
    EXPECT_EQ(pages[1], (std::vector<std::string>{"    b", "    0123456789あいう"_sj, "    えおかきくけこ"_sj, "    c"}));
    EXPECT_EQ(pages[2], (std::vector<std::string>{"    d"}));
    // Nothing is lost even where a single character does not fit.
    const auto tiny = [](std::string_view line) { return line.size() <= 1; };
    std::string joined;
    for (const auto& page : TextPages({"xyz"}, 100, tiny)) {
        for (const std::string& l : page) joined += Trim(l);
    }
    EXPECT_EQ(joined, "xyz");
}

}  // namespace
}  // namespace movra
