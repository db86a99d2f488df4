// KI2 and Morita moves in relative notation: tokens, candidates and relative words, drops, and
// whole KI2 files with their end lines.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/rules/sfen.h"
#include "core/textio/ki2_reader.h"
#include "core/textio/relative_moves.h"
#include "textio_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::LinesOf;

constexpr std::string_view kNow = "2001-02-03 04:05:06";

BoardPosition From(const char* sfen) {
    std::optional<SfenPosition> p = ParseSfen(sfen);
    if (!p) throw std::runtime_error(sfen);
    return p->position;
}

// The code a token resolves to, or "ERR" / "end:x".
std::string Resolve(RelativeMoveReader& reader, std::string_view utf8Token) {
    const RelativeMoveReader::Result r = reader.Resolve(Utf8ToCp932(utf8Token));
    switch (r.kind) {
        case RelativeMoveReader::Kind::Move: return r.code;
        case RelativeMoveReader::Kind::End: return std::string("end:") + r.endCharacter;
        default: return "ERR";
    }
}

std::string ResolveOnce(const char* sfen, std::string_view token) {
    RelativeMoveReader reader(From(sfen), '0');
    return Resolve(reader, token);
}

TEST(TextioScanMoveTokens, SplitsMovesWithAndWithoutBlanks) {
    std::vector<std::string_view> tokens;
    const std::string spaced = "▲７六歩　△３四歩"_sj;
    ScanMoveTokens(spaced, tokens);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[1], "△３四歩"_sj);
    const std::string joined = "▲７六歩△３四歩"_sj;
    ScanMoveTokens(joined, tokens);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0], "▲７六歩"_sj);
    const std::string same = "同　歩"_sj;
    ScanMoveTokens(same, tokens);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0], same);
    const std::string three = "▲７六歩　　△３四歩　　▲２六歩"_sj;
    ScanMoveTokens(three, tokens);
    EXPECT_EQ(tokens.size(), 3u);
    const std::string header = "棋戦：名人戦"_sj;
    ScanMoveTokens(header, tokens);
    EXPECT_TRUE(tokens.empty());
}

TEST(TextioRelativeMove, APawnWithOneCandidate) {
    EXPECT_EQ(ResolveOnce("startpos", "▲２六歩"), "2726 ");
    EXPECT_EQ(ResolveOnce("startpos", "２六歩"), "2726 ");
}

TEST(TextioRelativeMove, TwoGoldsAreToldApartByTheirWords) {
    // The golds of the starting position stand on 4九 and 6九.
    EXPECT_EQ(ResolveOnce("startpos", "▲５八金右"), "4958 ");
    EXPECT_EQ(ResolveOnce("startpos", "▲５八金左"), "6958 ");
    EXPECT_EQ(ResolveOnce("startpos", "▲５八金"), "ERR");
    // 右 and 上 both choose 4九's cell: only that cell counts.
    EXPECT_EQ(ResolveOnce("startpos", "▲５八金右上"), "4958 ");
    const char* straight = "8k/9/9/9/9/9/9/9/3KGG3 b - 1";  // golds on 5九 and 4九
    EXPECT_EQ(ResolveOnce(straight, "▲５八金直"), "5958 ");
    EXPECT_EQ(ResolveOnce(straight, "▲５八金右"), "4958 ");
    // 寄 moves sideways, 上 forward: golds on 6八 and 5九 going to 5八.
    const char* sideways = "8k/9/9/9/9/9/9/3G5/3KG4 b - 1";
    EXPECT_EQ(ResolveOnce(sideways, "▲５八金寄"), "6858 ");
    EXPECT_EQ(ResolveOnce(sideways, "▲５八金上"), "5958 ");
}

TEST(TextioRelativeMove, GoteWordsAreSeenFromGote) {
    // Gote's golds on 6一 and 4一: gote's right is the 6-file side.
    RelativeMoveReader reader(From("startpos"), '0');
    ASSERT_EQ(Resolve(reader, "▲７六歩"), "7776 ");
    EXPECT_EQ(Resolve(reader, "△５二金右"), "6152 ");
    RelativeMoveReader other(From("startpos"), '0');
    ASSERT_EQ(Resolve(other, "▲７六歩"), "7776 ");
    EXPECT_EQ(Resolve(other, "△５二金左"), "4152 ");
}

TEST(TextioRelativeMove, DropsAndPromotions) {
    // No bishop can reach 5五, one is in hand: a drop, with or without 打.
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/9/4K4 b B 1", "▲５五角"), "0655 ");
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/9/4K4 b B 1", "▲５五角打"), "0655 ");
    // A bishop that can reach takes precedence over the one in hand unless 打 is written.
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/1B7/4K4 b B 1", "▲５五角"), "8855 ");
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/1B7/4K4 b B 1", "▲５五角打"), "0655 ");
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/9/4K4 b - 1", "▲５五角"), "ERR");
    EXPECT_EQ(ResolveOnce("4k4/9/6S2/9/9/9/9/9/4K4 b - 1", "▲２二銀成"), "3322+");
    EXPECT_EQ(ResolveOnce("4k4/9/6S2/9/9/9/9/9/4K4 b - 1", "▲２二銀不成"), "3322 ");
    EXPECT_EQ(ResolveOnce("4k4/9/6+S2/9/9/9/9/9/4K4 b - 1", "▲２二成銀"), "3322 ");
    EXPECT_EQ(ResolveOnce("4k4/9/6+S2/9/9/9/9/9/4K4 b - 1", "▲２二全"), "3322 ");
    EXPECT_EQ(ResolveOnce("4k4/9/9/9/9/9/9/9/4K4 b - 1", "▲０五歩"), "ERR");
}

TEST(TextioRelativeMove, SameSquareFollowsThePreviousMove) {
    RelativeMoveReader reader(From("startpos"), '0');
    for (std::string_view m : {"▲２六歩", "△３四歩", "▲２五歩", "△８四歩", "▲２四歩"}) {
        ASSERT_NE(Resolve(reader, m), "ERR") << m;
    }
    EXPECT_EQ(Resolve(reader, "△同　歩"), "2324 ");
    EXPECT_EQ(Resolve(reader, "▲同　飛"), "2824 ");
}

TEST(TextioRelativeMove, APieceThatMayNotMoveNeedsNoWord) {
    // Golds on 5八 and 4九 can both reach 4八, but the 5八 gold shields its king from the rook.
    EXPECT_EQ(ResolveOnce("4r3k/9/9/9/9/9/9/4G4/4KG3 b - 1", "▲４八金"), "4948 ");
}

TEST(TextioRelativeMove, EndWordsInTokens) {
    EXPECT_EQ(ResolveOnce("startpos", "▲投了"), "end:0");
    EXPECT_EQ(ResolveOnce("startpos", "△千日手"), "end:1");
    EXPECT_EQ(ResolveOnce("startpos", "△持将棋"), "end:2");
    EXPECT_EQ(ResolveOnce("startpos", "▲中断"), "end: ");
}

std::string MovesOf(const ReadGame& game) {
    std::string codes;
    for (const std::string& l : game.coded.lines) {
        if (l.compare(0, 2, "K:") == 0 || l.compare(0, 2, "  ") == 0) codes += l.substr(2);
    }
    return codes;
}

TEST(TextioKi2, ReadsAWholeGame) {
    const TextLines lines = LinesOf({
        "開始日時：2009/12/03",
        "棋戦：第18回銀河戦",
        "戦型：矢倉",
        "持ち時間：各15分",
        "先手：伊奈祐介六段",
        "後手：西尾　明五段",
        "",
        "*放送日：2010/02/13",
        "▲７六歩 △８四歩 ▲６八銀",
        "*a comment on move 3",
        "△３四歩　▲６六歩",
        "まで5手で先手の勝ち",
        "",
        "変化：3手",
        "▲２六歩",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKi2(lines, kNow, game).ok());
    EXPECT_EQ(MovesOf(game), "7776 8384 7968 3334 6766 ");
    EXPECT_EQ(game.fields.endCharacter, '0');
    EXPECT_EQ(game.fields.senteName, "伊奈祐介六段"_sj);
    EXPECT_EQ(game.fields.goteName, "西尾　明五段"_sj);
    EXPECT_EQ(game.fields.startDate, "2009-12-03 00:00:00");
    EXPECT_EQ(game.fields.tournament, "第18回銀河戦"_sj);
    EXPECT_EQ(game.fields.senteMinutes, "15");
    ASSERT_EQ(game.comments.size(), 2u);
    EXPECT_EQ(game.comments[0].move, 0);
    EXPECT_EQ(game.comments[1].move, 3);
    EXPECT_EQ(game.coded.lines[game.coded.lines.size() - 3], "C:0");
}

char EndOf(std::initializer_list<std::string_view> moves, std::string_view endLine) {
    std::string text;
    for (std::string_view m : moves) text += Utf8ToCp932(m) + "\r\n";
    text += Utf8ToCp932(endLine) + "\r\n";
    TextLines lines;
    MakeTextLines(text, "", lines);
    ReadGame game;
    if (!ReadKi2(lines, kNow, game).ok()) return 'E';
    return game.fields.endCharacter;
}

TEST(TextioKi2, EndLinesNameTheOutcome) {
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩 ▲２六歩"}, "まで3手で先手の勝ち"), '0');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で後手の勝ち"), '0');
    // The side that made the last move lost: its move was a foul.
    EXPECT_EQ(EndOf({"▲２六歩 △３四歩 ▲２五歩"}, "まで3手で後手の反則勝ち"), '9');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で先手の反則負け"), '0');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で千日手"), '1');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で持将棋"), '2');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で中断"), ' ');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で詰み"), '3');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手詰"), '3');
    EXPECT_EQ(EndOf({"▲７六歩 △３四歩"}, "まで2手で不詰"), ' ');
    EXPECT_EQ(EndOf({"▲５八金"}, "まで1手で中断"), 'E');  // unresolvable: not stored
}

TEST(TextioKi2, HandicapGamesStartWithTheStrongerSide) {
    const TextLines lines = LinesOf({
        "手合割：角落ち",
        "下手：a",
        "上手：b",
        "△６二銀    ▲７六歩",
        "まで2手で中断",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKi2(lines, kNow, game).ok());
    EXPECT_EQ(game.fields.handicap, '2');
    EXPECT_EQ(MovesOf(game), "7162 7776 ");
}

}  // namespace
}  // namespace movra
