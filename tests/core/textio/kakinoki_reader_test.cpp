// The Kakinoki KIF reader: the move-line rule, header keys, comments, consumed times, end lines,
// and what real files add (variations, board diagrams, "#" remarks).
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/textio/kakinoki_reader.h"
#include "textio_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::LinesOf;

constexpr std::string_view kNow = "2001-02-03 04:05:06";

std::string Code(std::string_view utf8Line, std::string_view previous = "") {
    return KakinokiMoveCode(Utf8ToCp932(utf8Line), previous);
}

TEST(TextioKakinokiMoveLine, GivesTheCodeOfEachKindOfMove) {
    EXPECT_EQ(Code("   1 ７六歩(77)   ( 0:02/00:00:02)"), "7776 ");
    EXPECT_EQ(Code("  21 ５五角打     ( 0:01/00:00:03)"), "0655 ");
    EXPECT_EQ(Code("  22 同　銀(31)", "8822+"), "3122 ");
    EXPECT_EQ(Code("   3 同　歩(23)", "2524 "), "2324 ");
    EXPECT_EQ(Code("  23 ２二角成(88)"), "8822+");
    EXPECT_EQ(Code("  23 ２三角不成(88)"), "8823 ");
    EXPECT_EQ(Code("  40 ４二成銀(53)"), "5342 ");
    // Some writers leave out the blank after 同; the move still promotes.
    EXPECT_EQ(Code("88 同銀成(69) (00:00/00:00:00)", "6978 "), "6978+");
    EXPECT_EQ(Code("1 ７六歩(77) (00:00/00:00:00)"), "7776 ");
    EXPECT_EQ(Code("   1 ▲７六歩(77)"), "7776 ");
    // A line that is no move line, and a move line nobody can read.
    EXPECT_EQ(Code("まで3手で先手の勝ち"), "");
    EXPECT_EQ(Code("*comment"), "");
    EXPECT_EQ(Code("   5 パス"), "0000 ");
    EXPECT_EQ(Code("   5 ５五と打"), "0000 ");
}

TEST(TextioKakinokiMoveLine, EndLinesSayWhoWon) {
    EXPECT_EQ(Code("  65 投了"), "end:0");
    EXPECT_EQ(Code("  65 千日手"), "end:1");
    EXPECT_EQ(Code("  65 持将棋"), "end:2");
    EXPECT_EQ(Code("  65 詰み"), "end:3");
    EXPECT_EQ(Code("  65 中断"), "end: ");
    EXPECT_EQ(Code("  65 封じ手"), "end: ");
    EXPECT_EQ(Code("  65 不詰"), "end: ");
    // The side whose turn it is lost, so the side that made the last move won.
    EXPECT_EQ(Code("  65 反則負け"), "end:0");
    EXPECT_EQ(Code("  65 切れ負け"), "end:0");
    // The side whose turn it is won: the side that made the last move lost.
    EXPECT_EQ(Code("  65 反則勝ち"), "end:9");
    EXPECT_EQ(Code("  65 入玉勝ち"), "end:9");
}

TEST(TextioKakinoki, ReadsTheHeaderKeys) {
    const TextLines lines = LinesOf({
        "# ---- Kifu for Windows V7 V7.08 棋譜ファイル ----",
        "開始日時：2004/05/06(木) 10:00:00",
        "終了日時：2004/5/6 19:30",
        "棋戦：名人戦／Ａ級",
        "戦型：相 矢倉",
        "場所：東京・将棋会館",
        "記録係：  山田  ",
        "備考：テスト",
        "持ち時間：各1時間30分",
        "昼食休憩：12:10～12:50",
        "夕食休憩：18:00～18:40",
        "手合割：平手　　",
        "先手：羽生善治 名人",
        "後手：Player Two,R:1500",
        "手数----指手---------消費時間--",
        "   1 ７六歩(77)   ( 0:02/00:00:02)",
        "   2 投了         ( 0:03/00:00:03)",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    const ImportFields& f = game.fields;
    EXPECT_EQ(f.startDate, "2004-05-06 10:00:00");
    EXPECT_EQ(f.endDate, "2004-05-06 19:30:00");
    EXPECT_EQ(f.tournament, "名人戦"_sj);
    EXPECT_EQ(f.subTournament, "Ａ級"_sj);
    EXPECT_EQ(f.opening, "相矢倉"_sj);
    EXPECT_EQ(f.place, "東京・将棋会館"_sj);
    EXPECT_EQ(f.recorder, "山田"_sj);
    EXPECT_EQ(f.remarks, "テスト"_sj);
    EXPECT_EQ(f.senteHours, "1");
    EXPECT_EQ(f.senteMinutes, "30");
    EXPECT_EQ(f.goteHours, "1");
    EXPECT_EQ(f.goteMinutes, "30");
    EXPECT_EQ(f.breaks[0], "12");
    EXPECT_EQ(f.breaks[1], "10");
    EXPECT_EQ(f.breaks[2], "12");
    EXPECT_EQ(f.breaks[3], "50");
    EXPECT_EQ(f.breaks[4], "18");
    EXPECT_EQ(f.breaks[7], "40");
    EXPECT_EQ(f.handicap, '0');
    EXPECT_EQ(f.senteName, "羽生善治 名人"_sj);
    EXPECT_EQ(f.goteName, "\"Player Two");
    EXPECT_EQ(f.goteRating, 1500);
    EXPECT_EQ(f.endCharacter, '0');
    const std::vector<std::string> want{
        "##", "#:Title", "S:"_sj + "羽生善治 名人"_sj, "G:\"Player Two",
        "N:2004-05-06 10:00:00", "U:2004-05-06 19:30:00", "C:0", "K:7776 ", "##"};
    EXPECT_EQ(game.coded.lines, want);
    EXPECT_EQ(game.consumedTimes[1], 2);
    EXPECT_EQ(game.consumedTimes[2], 3);  // the end line's time: the closing time
}

TEST(TextioKakinoki, HeaderValuesOfTheEdgeCases) {
    ReadGame game;
    // No date line: today's date and time.
    ASSERT_TRUE(ReadKakinoki(LinesOf({"手数----指手--", "   1 ７六歩(77)"}), kNow, game).ok());
    EXPECT_EQ(game.fields.startDate, kNow);
    EXPECT_EQ(game.fields.endDate, "0000-00-00 00:00:00");

    ASSERT_TRUE(ReadKakinoki(LinesOf({"持ち時間：1手30秒", "棋戦：レーティング対局/レーティング対局室"}),
                             kNow, game).ok());
    EXPECT_EQ(game.fields.senteHours, "");
    EXPECT_EQ(game.fields.senteMinutes, "");
    EXPECT_EQ(game.fields.tournament, "レーティング対局"_sj);
    EXPECT_EQ(game.fields.subTournament, "レーティング対局"_sj);

    ASSERT_TRUE(ReadKakinoki(LinesOf({"持ち時間：各１時間"}), kNow, game).ok());  // full-width
    EXPECT_EQ(game.fields.senteHours, "");

    ASSERT_TRUE(ReadKakinoki(LinesOf({"先手：a,R:abc", "後手：b,R:70000"}), kNow, game).ok());
    EXPECT_EQ(game.fields.senteRating, 0);
    EXPECT_EQ(game.fields.goteRating, 7000);  // four bytes after ",R:"

    ASSERT_TRUE(ReadKakinoki(LinesOf({"手合割：香落ち", "上手：x", "下手：y"}), kNow, game).ok());
    EXPECT_EQ(game.fields.handicap, '1');
    EXPECT_EQ(game.fields.goteName, "x");
    EXPECT_EQ(game.fields.senteName, "y");
    EXPECT_EQ(game.coded.lines.back(), "##");
    EXPECT_NE(std::find(game.coded.lines.begin(), game.coded.lines.end(), "I:1"), game.coded.lines.end());
}

TEST(TextioKakinoki, WithoutAMoveCountLineTheFirstLineIsReadAsAMove) {
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(LinesOf({"   1 ７六歩(77)", "   2 ３四歩(33)"}), kNow, game).ok());
    EXPECT_EQ(game.coded.lines[game.coded.lines.size() - 2], "K:7776 3334 ");
}

TEST(TextioKakinoki, CommentsAttachToTheMoveBeforeThem) {
    const TextLines lines = LinesOf({
        "手数----指手---------消費時間--",
        "*before the first move",
        "   1 ７六歩(77)",
        "*one",
        "*two",
        "*three",
        "**a line of the comment that begins with a star",
        "",
        "   2 ３四歩(33)",
        "   3 投了",
        "*after the end",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    ASSERT_EQ(game.comments.size(), 3u);
    EXPECT_EQ(game.comments[0].move, 0);
    EXPECT_EQ(game.comments[0].text, "before the first move");
    EXPECT_EQ(game.comments[1].move, 1);
    EXPECT_EQ(game.comments[1].text, "one\r\ntwo\r\nthree\r\n*a line of the comment that begins with a star");
    EXPECT_EQ(game.comments[2].move, 3);  // the position after the last move
}

TEST(TextioKakinoki, ALongCommentIsCutAtACharacterBoundary) {
    ReadGame game;
    std::string line = "*" + std::string(255, 'a') + "亜"_sj;  // the 256th byte would split 亜
    TextLines lines;
    MakeTextLines("手数\r\n" + line + "\r\n", "", lines);
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    ASSERT_EQ(game.comments.size(), 1u);
    EXPECT_EQ(game.comments[0].text, std::string(255, 'a'));
}

TEST(TextioKakinoki, AVariationAfterAMainLineWithoutEndIsNotRead) {
    const TextLines lines = LinesOf({
        "手数----指手---------消費時間--",
        "   1 ７六歩(77)   ( 0:02/00:00:02)",
        "   2 ３四歩(33)   ( 0:01/00:00:01)+",
        "",
        "変化：2手",
        "   2 ８四歩(83)   ( 0:07/00:00:07)",
        "*a comment of the variation",
        "   3 ６八銀(79)   ( 0:02/00:00:04)",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    EXPECT_EQ(game.coded.lines[game.coded.lines.size() - 2], "K:7776 3334 ");
    EXPECT_TRUE(game.comments.empty());
    EXPECT_EQ(game.fields.endCharacter, ' ');
}

TEST(TextioKakinoki, AnInterruptedGameStopsAtItsEndLine) {
    const TextLines lines = LinesOf({
        "手数----指手---------消費時間--",
        "   1 ７六歩(77)",
        "   2 中断",
        "まで1手で中断",
        "   3 ３四歩(33)",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    EXPECT_EQ(game.coded.lines[game.coded.lines.size() - 2], "K:7776 ");
}

TEST(TextioKakinoki, RemarksAfterHashAreNotMoves) {
    const TextLines lines = LinesOf({
        "#KIF version=2.0 encoding=Shift_JIS",
        "手合割：平手#コメント2",
        "手数----指手---------消費時間--#コメント5",
        "   1 ８六歩(87)    (00:00 / 00:00:00)#コメント7",
        "#コメント",
        "   2 ６二金(61)    (00:00 / 00:00:25)#コメント8",
        "   3 反則負け      (00:24 / 00:01:01)#コメント10",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    EXPECT_EQ(game.coded.lines[game.coded.lines.size() - 2], "K:8786 6162 ");
    EXPECT_EQ(game.consumedTimes[2], 0);  // "(00:00 / ..." is the time of the move
    EXPECT_EQ(game.consumedTimes[3], 24);
    EXPECT_EQ(game.fields.endCharacter, '0');
    ASSERT_EQ(game.comments.size(), 1u);
    EXPECT_EQ(game.comments[0].text, "反則負け"_sj);
}

TEST(TextioKakinoki, ABoardDiagramOfAStandardSetupGivesItsHandicap) {
    const TextLines lines = LinesOf({
        "手合割：その他",
        "後手の持駒：なし",
        "  ９ ８ ７ ６ ５ ４ ３ ２ １",
        "+---------------------------+",
        "|v香v桂v銀v金v玉v金v銀v桂 ・|一",
        "| ・v飛 ・ ・ ・ ・ ・v角 ・|二",
        "|v歩v歩v歩v歩v歩v歩v歩v歩v歩|三",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
        "| 歩 歩 歩 歩 歩 歩 歩 歩 歩|七",
        "| ・ 角 ・ ・ ・ ・ ・ 飛 ・|八",
        "| 香 桂 銀 金 玉 金 銀 桂 香|九",
        "+---------------------------+",
        "先手の持駒：なし",
        "後手番",
        "手数----指手---------消費時間--",
        "   1 ３四歩(33)",
    });
    ReadGame game;
    ASSERT_TRUE(ReadKakinoki(lines, kNow, game).ok());
    EXPECT_EQ(game.fields.handicap, '1');
    EXPECT_TRUE(game.fromDiagram);
}

TEST(TextioKakinoki, AGameFromAnyOtherPositionIsRefused) {
    const TextLines tsume = LinesOf({
        "後手の持駒：飛二　角二　金三　銀四　桂四　香四　歩十七",
        "+---------------------------+",
        "| ・ ・ ・ ・ ・ ・v玉 ・ ・|一",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|二",
        "| ・ ・ ・ ・ ・ ・ 歩 ・ ・|三",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|七",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|八",
        "| ・ ・ ・ ・ ・ ・ ・ ・ ・|九",
        "+---------------------------+",
        "先手の持駒：金",
        "手数----指手---------消費時間--",
        "   1 ３二金打      (00:00 / 00:00:00)",
    });
    ReadGame game;
    EXPECT_FALSE(ReadKakinoki(tsume, kNow, game).ok());
    // A handicap no setup stands for, without a diagram.
    EXPECT_FALSE(ReadKakinoki(LinesOf({"手合割：左七枚落ち", "手数", "   1 ８二銀(71)"}), kNow, game).ok());
    // A pass cannot be stored: the moves after it would change sides.
    const ReadStatus pass = ReadKakinoki(LinesOf({"手数", "   1 ７六歩(77)", "   2 パス"}), kNow, game);
    EXPECT_NE(pass.refusal.find("move 2 is a pass"), std::string::npos) << pass.refusal;
}

}  // namespace
}  // namespace movra
