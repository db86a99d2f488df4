// Reading a text file into CP932 lines: line ends of every kind and UTF-8 input.
#include <gtest/gtest.h>

#include <random>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/textio/flavour.h"
#include "core/textio/text_lines.h"

namespace movra {
namespace {

using namespace movra::literals;
using namespace std::string_literals;

std::vector<std::string> Lines(std::string_view bytes, const char* name = "a.kif") {
    TextLines t;
    MakeTextLines(bytes, name, t);
    return {t.lines.begin(), t.lines.end()};
}

TEST(TextioTextLines, EveryKindOfLineEndReadsTheSame) {
    const std::vector<std::string> want{"a", "", "b", "c"};
    EXPECT_EQ(Lines("a\n\nb\nc\n"), want);
    EXPECT_EQ(Lines("a\r\n\r\nb\r\nc\r\n"), want);
    EXPECT_EQ(Lines("a\r\r\n\r\r\nb\r\r\nc\r\r\n"), want);  // the broken CR CR LF
    EXPECT_EQ(Lines("a\n\nb\nc"), want);                    // no final line end
    EXPECT_EQ(Lines("a\r\rb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Lines("").empty());
}

TEST(TextioTextLines, RandomLineEndsSplitAsTheRuleSays) {
    // The rule, byte by byte: LF ends a line; a run of CRs ends one line, taking one LF after it.
    const auto byRule = [](std::string_view text) {
        std::vector<std::string> out;
        std::size_t start = 0, at = 0;
        while (at < text.size()) {
            if (text[at] == '\n') {
                out.emplace_back(text.substr(start, at - start));
                start = ++at;
            } else if (text[at] == '\r') {
                out.emplace_back(text.substr(start, at - start));
                while (at < text.size() && text[at] == '\r') ++at;
                if (at < text.size() && text[at] == '\n') ++at;
                start = at;
            } else {
                ++at;
            }
        }
        if (start < text.size()) out.emplace_back(text.substr(start));
        return out;
    };
    std::mt19937 rng(17);
    const char pieces[] = {'\r', '\n', 'a', 'b', ' '};
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 40, ' ');
        for (char& c : text) c = pieces[rng() % 5];
        std::vector<std::string_view> lines;
        SplitLines(text, lines);
        ASSERT_EQ(std::vector<std::string>(lines.begin(), lines.end()), byRule(text)) << round;
    }
}

TEST(TextioTextLines, Utf8InputBecomesCp932) {
    const std::string utf8 = "先手：羽生\n▲７六歩\n";
    const std::string cp932 = Utf8ToCp932(utf8);
    const std::vector<std::string> want{"先手：羽生"_sj, "▲７六歩"_sj};
    // Content that is UTF-8 but not CP932.
    EXPECT_EQ(Lines(utf8, "a.kif"), want);
    // A byte-order mark, which is dropped.
    EXPECT_EQ(Lines("\xEF\xBB\xBF" + utf8, "a.kif"), want);
    // CP932 content stays as it is.
    EXPECT_EQ(Lines(cp932, "a.kif"), want);
    // The extension alone decides for ".kifu" and ".ki2u", whatever the case.
    EXPECT_TRUE(IsUtf8Input("abc", "x.KIFU"));
    EXPECT_TRUE(IsUtf8Input("abc", "x.ki2u"));
    EXPECT_FALSE(IsUtf8Input("abc", "x.kif"));
    EXPECT_FALSE(IsUtf8Input(cp932, "x.ki2"));
    // A Kakinoki file says which it is on its first line.
    EXPECT_TRUE(IsUtf8Input("#KIF version=2.0 encoding=UTF-8\nabc", "x.kif"));
    EXPECT_FALSE(IsUtf8Input("#KIF version=2.0 encoding=Shift_JIS\n" + cp932, "x.kif"));
    // ... but only where the bytes bear it out.
    EXPECT_FALSE(IsUtf8Input("#KIF version=2.0 encoding=UTF-8\n" + cp932, "x.kif"));
}

TEST(TextioTextLines, AMissingFileIsRefusedWithAReason) {
    TextLines t;
    EXPECT_FALSE(LoadTextLines("/nonexistent/movra/x.kif", t).empty());
    EXPECT_FALSE(LoadTextLines("/", t).empty());  // a folder
}

TextFlavour Flavour(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    TextLines t;
    MakeTextLines(text, "", t);
    return DetectFlavour(t);
}

TEST(TextioFlavour, EachRuleDecides) {
    EXPECT_EQ(Flavour({"# 森田将棋"_sj}), TextFlavour::Morita);
    EXPECT_EQ(Flavour({"# ----  Kifu for Windows95 V3.53 棋譜ファイル  ----"_sj}), TextFlavour::Kakinoki);
    EXPECT_EQ(Flavour({"# ---- 東大将棋 棋譜ファイル ----"_sj}), TextFlavour::Todai);
    EXPECT_EQ(Flavour({"##", "#:Title"}), TextFlavour::CodedFile);
    EXPECT_EQ(Flavour({"## 柿木"_sj, "x"}), TextFlavour::NotRecognised);
    EXPECT_EQ(Flavour({"開始日時：2004/05/06"_sj, "手数----指手---------消費時間--"_sj}),
              TextFlavour::Kakinoki);
    EXPECT_EQ(Flavour({"   1 ７六歩(77)   ( 0:02/00:00:02)"_sj}), TextFlavour::Kakinoki);
    EXPECT_EQ(Flavour({"先手：a"_sj, "▲７六歩    △３四歩"_sj}), TextFlavour::Ki2);
    EXPECT_EQ(Flavour({"▽３四歩"_sj}), TextFlavour::Ki2);
    EXPECT_EQ(Flavour({"\xEB\xA7"s + "７六歩"_sj}), TextFlavour::Morita);
    EXPECT_EQ(Flavour({"・７六歩"_sj}), TextFlavour::Morita);
    EXPECT_EQ(Flavour({"hello", "world"}), TextFlavour::NotRecognised);
}

TEST(TextioFlavour, LongCommentLinesDoNotMakeARecordUnreadable) {
    const std::string longComment = "*" + std::string(60, ' ') + std::string(120, 'x');
    const std::string longHeader = "棋戦："_sj + std::string(150, 'a');
    EXPECT_EQ(Flavour({longHeader, longComment, "▲７六歩"_sj}), TextFlavour::Ki2);
    // A long comment that mentions "(1 2)" with " 1 " is no move line.
    EXPECT_EQ(Flavour({"*(a 1 b)", "▲７六歩"_sj}), TextFlavour::Ki2);
    // Bytes that are no text still make the file unreadable.
    std::string binary(200, '\x01');
    EXPECT_EQ(Flavour({binary, "▲７六歩"_sj}), TextFlavour::Unreadable);
}

TEST(TextioFlavour, OnlyTheFirstFiftyLinesAreLookedAt) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "x\n";
    TextLines t;
    MakeTextLines(text + "▲７六歩\n"_sj, "", t);
    EXPECT_EQ(DetectFlavour(t), TextFlavour::NotRecognised);
    MakeTextLines(text.substr(2) + "▲７六歩\n"_sj, "", t);
    EXPECT_EQ(DetectFlavour(t), TextFlavour::Ki2);
}

}  // namespace
}  // namespace movra
