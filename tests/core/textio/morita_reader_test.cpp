// The Morita reader: the handicap from the diagram, files drawn from 上手's side, the English
// end words and per-move times.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/textio/morita_reader.h"
#include "textio_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;

constexpr std::string_view kNow = "2001-02-03 04:05:06";

char Handicap(std::string_view r1, std::string_view r2, std::string_view r3) {
    return HandicapFromDiagram(Utf8ToCp932(r1), Utf8ToCp932(r2), Utf8ToCp932(r3));
}

constexpr std::string_view kEmptyRow = "| ・ ・ ・ ・ ・ ・ ・ ・ ・|";
constexpr std::string_view kPawnRow = "|v歩v歩v歩v歩v歩v歩v歩v歩v歩|";

TEST(TextioMoritaDiagram, TheFirstThreeRowsGiveTheHandicap) {
    EXPECT_EQ(Handicap("|v香v桂v銀v金v玉v金v銀v桂v香|", "| ・v飛 ・ ・ ・ ・ ・v角 ・|", kPawnRow), '0');
    EXPECT_EQ(Handicap("|v香v桂v銀v金v玉v金v銀v桂 ・|", "| ・v飛 ・ ・ ・ ・ ・v角 ・|", kPawnRow), '1');
    EXPECT_EQ(Handicap("|v香v桂v銀v金v玉v金v銀v桂v香|", "| ・v飛 ・ ・ ・ ・ ・ ・ ・|", kPawnRow), '2');
    EXPECT_EQ(Handicap("| ・ ・ ・ ・v玉v金 ・ ・ ・|", kEmptyRow, kPawnRow), 'B');
    EXPECT_EQ(Handicap("| ・ ・ ・v金v玉 ・ ・ ・ ・|", kEmptyRow, kPawnRow), 'A');
    EXPECT_EQ(Handicap("| ・ ・ ・ ・v玉 ・ ・ ・ ・|", kEmptyRow, kEmptyRow), 'X');
    EXPECT_EQ(Handicap("|V香V桂V銀V金V玉V金V銀V桂 ・|", "| ・V飛 ・ ・ ・ ・ ・V角 ・|", kPawnRow), '1');
    EXPECT_EQ(Handicap("| ・|", kEmptyRow, kEmptyRow), '0');  // too short
}

TextLines MoritaFile(bool turned) {
    // The 香落ち start: 上手 lacks the lance on 1一 (on 9九 when drawn from 上手's side).
    if (!turned) {
        return testing::LinesOf({
            "# 森田将棋",
            "表題：テスト対局",
            "開始日付：1998年7月5日",
            "先手：下手の人",
            "後手：上手の人",
            "|v香v桂v銀v金v玉v金v銀v桂 ・|一",
            "| ・v飛 ・ ・ ・ ・ ・v角 ・|二",
            "|v歩v歩v歩v歩v歩v歩v歩v歩v歩|三",
            "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四",
            "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
            "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
            "| 歩 歩 歩 歩 歩 歩 歩 歩 歩|七",
            "| ・ 角 ・ ・ ・ ・ ・ 飛 ・|八",
            "| 香 桂 銀 金 玉 金 銀 桂 香|九",
            "▲３四歩         ( 0:01:05)",
            "*first",
            "▲７六歩         ( 0:00:10)",
            "SENNITITE",
        });
    }
    return testing::LinesOf({
        "# 森田将棋",
        "先手：上手の人",
        "後手：下手の人",
        "|v香v桂v銀v金v玉v金v銀v桂v香|一",
        "| ・v飛 ・ ・ ・ ・ ・v角 ・|二",
        "|v歩v歩v歩v歩v歩v歩v歩v歩v歩|三",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
        "| 歩 歩 歩 歩 歩 歩 歩 歩 歩|七",
        "| ・ 角 ・ ・ ・ ・ ・ 飛 ・|八",
        "| ・ 桂 銀 金 玉 金 銀 桂 香|九",
        "▲７六歩",
        "△３四歩",
        "MAKE",
    });
}

std::string MovesOf(const ReadGame& game) {
    std::string codes;
    for (const std::string& l : game.coded.lines) {
        if (l.compare(0, 2, "K:") == 0 || l.compare(0, 2, "  ") == 0) codes += l.substr(2);
    }
    return codes;
}

TEST(TextioMorita, ReadsAGameWithItsDiagramAndTimes) {
    TextLines lines = MoritaFile(false);
    ReadGame game;
    ASSERT_TRUE(ReadMorita(lines, kNow, game).ok());
    EXPECT_EQ(game.fields.handicap, '1');
    EXPECT_EQ(game.fields.title, "テスト対局"_sj);
    EXPECT_EQ(game.fields.tournament, "テスト対局"_sj);
    EXPECT_EQ(game.fields.startDate, "1998-07-05 00:00:00");
    EXPECT_EQ(game.fields.endDate, kNow);
    EXPECT_EQ(game.fields.senteName, "下手の人"_sj);
    // 上手 (gote) moves first in a handicap game: ▲ marks are only marks.
    EXPECT_EQ(MovesOf(game), "3334 7776 ");
    EXPECT_EQ(game.consumedTimes[1], 65);
    EXPECT_EQ(game.consumedTimes[2], 10);
    EXPECT_EQ(game.fields.endCharacter, '1');
    ASSERT_EQ(game.comments.size(), 1u);
    EXPECT_EQ(game.comments[0].move, 1);
}

TEST(TextioMorita, AFileDrawnFromTheStrongerSideIsTurned) {
    TextLines lines = MoritaFile(true);
    ReadGame game;
    ASSERT_TRUE(ReadMorita(lines, kNow, game).ok());
    EXPECT_EQ(game.fields.handicap, '1');
    // Names exchanged with the sides, moves mirrored: ▲７六歩 becomes △３四歩 (上手's first).
    EXPECT_EQ(game.fields.goteName, "上手の人"_sj);
    EXPECT_EQ(game.fields.senteName, "下手の人"_sj);
    EXPECT_EQ(MovesOf(game), "3334 7776 ");
    EXPECT_EQ(game.fields.endCharacter, '0');
}

TEST(TextioMorita, TurningMirrorsRowsMarksAndSquares) {
    const std::vector<std::string> turned = TurnDiagram(MoritaFile(true));
    EXPECT_EQ(turned[1], "上手：上手の人"_sj);
    EXPECT_EQ(turned[3], "|v香v桂v銀v金v玉v金v銀v桂 ・"_sj);
    EXPECT_EQ(turned[11], "| 香 桂 銀 金 玉 金 銀 桂 香"_sj);
    EXPECT_EQ(turned[12], "△３四歩"_sj);
    EXPECT_EQ(turned[13], "▲７六歩"_sj);
}

}  // namespace
}  // namespace movra
