#include "core/diagram/diagram_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

std::vector<std::string> Chars(std::string_view text) { return SplitCharacters(text); }

TEST(DiagramLayout, SizesAtEachModeAndZoom) {
    EXPECT_EQ(DiagramSize(0, 1), (Size{250, 233}));
    EXPECT_EQ(DiagramSize(1, 1), (Size{285, 269}));
    EXPECT_EQ(DiagramSize(2, 1), (Size{350, 338}));
    EXPECT_EQ(DiagramSize(-2, 1), (Size{212, 208}));
    EXPECT_EQ(DiagramSize(-1, 4), (Size{94, 84}));
    EXPECT_EQ(DiagramSize(1, 1, true), (Size{285, 14 * 25 - 1}));
    // Zoom multiplies the rounded cell sizes, not the font.
    EXPECT_EQ(DiagramSize(1, 3), (Size{22 * 3 * 13 - 1, 75 * 115 / 10 - 18}));

    const DiagramGeometry one = Geometry(1, 1);
    EXPECT_EQ(one.hE(), 17);
    EXPECT_EQ(one.x0, 34);
    EXPECT_EQ(one.y0, 39);
    EXPECT_EQ(one.w, 23);
    EXPECT_EQ(one.h, 24);
    EXPECT_EQ(one.framePen, 2);
    EXPECT_EQ(one.gridPen, 1);
    EXPECT_FALSE(one.boldLastMove);
    // The board fits the picture with room for sente's column on the right.
    const Size size = DiagramSize(1, 1);
    EXPECT_LT(one.FrameBottomRight().x, one.SenteLabel(0).x);
    EXPECT_LT(one.SenteLabel(0).x + one.hD(), size.width);
    EXPECT_LT(one.FrameBottomRight().y, size.height);
    EXPECT_GT(one.GoteLabel(0).x, 0);

    const DiagramGeometry three = Geometry(1, 3);
    EXPECT_EQ(three.points[4], 39);
    EXPECT_EQ(three.framePen, 4);  // thicker by 2
    EXPECT_EQ(three.gridPen, 2);   // thicker by 1
    EXPECT_EQ(Geometry(2, 1).framePen, 3);
    EXPECT_EQ(Geometry(2, 1).gridPen, 2);
    EXPECT_TRUE(Geometry(0, 1).boldLastMove);

    // Squares, pieces and their turned counterparts stay inside their cell.
    for (int mode : {0, 1, 2}) {
        const DiagramGeometry g = Geometry(mode, 1);
        const Point cell = g.Cell(7, 3);
        const Point sente = g.SentePiece(7, 3);
        const Point gote = g.GotePiece(7, 3);  // bottom-right corner of the turned character
        EXPECT_GE(sente.x, cell.x);
        EXPECT_GE(sente.y, cell.y);
        EXPECT_LE(gote.x, cell.x + g.w);
        EXPECT_LE(gote.y, cell.y + g.h);
        EXPECT_GT(gote.x - g.hE() + 1, cell.x - 1);
    }
}

TEST(DiagramLayout, MobileLayoutsShowTheUpperRightCorner) {
    const MobileGeometry whole = MobileLayout(0);
    EXPECT_EQ(whole.x0, 0);
    EXPECT_LE(9 * whole.w + 1, kMobileSize.width);
    EXPECT_LE(9 * whole.h + 1, kMobileSize.height);
    const MobileGeometry six = MobileLayout(2);
    // Files 6 to 1 and ranks 1 to 5 lie wholly inside the 94 x 84 picture; file 7 does not.
    EXPECT_GE(six.x0 + 3 * six.w, 0);
    EXPECT_LT(six.x0 + 2 * six.w, 0);
    EXPECT_LE(six.x0 + 9 * six.w + 1, kMobileSize.width);
    EXPECT_LE(six.y0 + 5 * six.h, kMobileSize.height);
    EXPECT_GE(six.FileNumber(4).x, 0);  // the file number of file 6
    const MobileGeometry seven = MobileLayout(1);
    EXPECT_EQ(seven.x0, -25);
    EXPECT_EQ(seven.RankNumeral(1).x, 9 * seven.w + seven.x0 + seven.h / 4 - 1);
}

TEST(DiagramLayout, LabelsOfEachMode) {
    LabelSettings s{"▲持駒"_sj, "△残りの駒全部"_sj, "▲名人"_sj, "挑戦者"_sj};
    EXPECT_EQ(DiagramLabels(1, true, "", "", s).sente, "▲下手"_sj);
    EXPECT_EQ(DiagramLabels(1, false, "", "", s).gote, "△後手"_sj);
    EXPECT_EQ(DiagramLabels(2, false, "　羽生 "_sj, "谷川"_sj, s).sente, "▲羽生"_sj);
    const DiagramLabelPair mate = DiagramLabels(3, false, "", "", s);
    EXPECT_EQ(mate.sente, "▲持駒"_sj);
    const GoteLabel gote = SplitGoteLabel(mate.gote);
    EXPECT_EQ(gote.drawn, "△残りの駒全部"_sj);
    EXPECT_TRUE(gote.handHidden);
    s.MNameG = "　 "_sj;
    EXPECT_EQ(DiagramLabels(3, false, "", "", s).gote, "*");
    EXPECT_EQ(DiagramLabels(4, false, "", "", s).sente, "▲▲名人"_sj);
    EXPECT_EQ(DiagramLabels(9, true, "", "", s).sente, "▲先手"_sj);
    EXPECT_FALSE(SplitGoteLabel("△後手"_sj).handHidden);
}

TEST(DiagramLayout, TitleExpansion) {
    TitleContext ctx;
    ctx.shownMove = 1;
    ctx.moveLine = "001  ▲７六歩"_sj;
    EXPECT_EQ(DraftDiagramTitle("【図は%n手目%sまで】"_sj, ctx).text, "【図は1手目▲７六歩まで】"_sj);

    // %i asks once per occurrence; what the user types is never expanded again.
    ctx.shownMove = 2;
    ctx.moveLine = "002  ▽２四歩"_sj;
    TitleDraft draft = DraftDiagramTitle("【第%i図は%sまで】%i"_sj, ctx);
    ASSERT_EQ(InsertPrompt(draft), std::optional<std::string>("【第??図は△２四歩まで】%i"_sj));
    FillInsert(draft, "%i");
    ASSERT_EQ(InsertPrompt(draft), std::optional<std::string>("【第%i図は△２四歩まで】??"_sj));
    FillInsert(draft, "3");
    EXPECT_FALSE(InsertPrompt(draft));
    EXPECT_EQ(draft.text, "【第%i図は△２四歩まで】3"_sj);

    // %d proposes a whole title; %i is then not asked.
    ctx.shownMove = 1;
    ctx.moveLine = "001  ▲７六歩"_sj;
    draft = DraftDiagramTitle("x%dy%i", ctx);
    EXPECT_TRUE(draft.askWhole);
    EXPECT_EQ(draft.text, "【第１図は▲７六歩まで】"_sj);
    EXPECT_FALSE(InsertPrompt(draft));

    // 同 loses its blank; a turned board mirrors the mark and the square.
    ctx.moveLine = "023* △同　角"_sj;
    EXPECT_EQ(TitleMoveText(ctx), "△同角"_sj);
    ctx.turned = true;
    ctx.moveLine = "001  ▲７六歩"_sj;
    EXPECT_EQ(TitleMoveText(ctx), "△３四歩"_sj);
    ctx.moveLine = "002  ▽９九角成"_sj;
    EXPECT_EQ(TitleMoveText(ctx), "▲１一角成"_sj);
    // No move or a short line: nothing; %n outside the game view: nothing.
    ctx.moveLine = "001  ▲7"_sj;
    EXPECT_EQ(TitleMoveText(ctx), "");
    ctx.shownMove = 0;
    ctx.moveLine = "001  ▲７六歩"_sj;
    ctx.gameView = false;
    EXPECT_EQ(DraftDiagramTitle("【%n%s】"_sj, ctx).text, "【】"_sj);

    const std::array<std::string, 6> titles{"a", "b", "c", "d", "e", ""};
    EXPECT_EQ(ChosenTitleFormat(true, 2, 1, titles), std::optional<std::string>("b"));
    EXPECT_EQ(ChosenTitleFormat(false, 2, 2, titles), std::optional<std::string>(""));
    EXPECT_FALSE(ChosenTitleFormat(true, 5, 1, titles));
    EXPECT_FALSE(ChosenTitleFormat(false, 1, 0, titles));
}

TEST(DiagramLayout, TitleDialogRefusals) {
    const std::string t35 = std::string(17, 'x') + std::string("将棋将棋将棋将棋将"_sj);
    ASSERT_EQ(t35.size(), 35u);
    EXPECT_EQ(TitleDialogError(t35, {}), "");
    EXPECT_EQ(TitleDialogError(t35 + "x", {}), "\rタイトルの文字数が多すぎます！"_sj);
    EXPECT_EQ(TitleDialogError("　 "_sj, {}), "\rタイトルを入力して下さい！"_sj);
    EXPECT_EQ(TitleDialogError("t", {"1", "2", "3", "4", "5", "6"}), "\rコメントは５行以内で入力して下さい！"_sj);
    // Five lines of 28 bytes: 5 x 30 = 150 bytes with their line breaks, accepted; one more byte not.
    std::vector<std::string> lines(5, std::string(28, 'a'));
    EXPECT_EQ(TitleDialogError("t", lines), "");
    lines[0] += "a";
    EXPECT_EQ(TitleDialogError("t", lines), "\rコメントは全角７０文字以内で入力して下さい。"_sj);

    EXPECT_EQ(CommentLines("a\r\nb\nc\rd\r\ne\r\nf\r\n", 5), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(JoinTitleComment({"a", "b"}, true), "a\r\nb\r\n");
    EXPECT_EQ(JoinTitleComment({"a", "b"}, false), "ab");
}

TEST(DiagramLayout, HandColumnsAndMarks) {
    // Sente: rook, two golds, eleven pawns; gote: nothing.
    const auto sfen = ParseSfen("4k4/9/9/9/9/9/9/9/4K4 b R2G11P 1");
    ASSERT_TRUE(sfen);
    DiagramOptions options;
    const HandCounts sente = CountHand(sfen->position, side::kSente);
    EXPECT_EQ(HandColumn(sente, options, false), Chars("飛金二歩十一"_sj));
    options.countStyle = 2;
    EXPECT_EQ(HandColumn(sente, options, false), Chars("飛金２歩１１"_sj));
    const HandCounts gote = CountHand(sfen->position, side::kGote);
    options.emptyHandMode = 2;
    EXPECT_EQ(HandColumn(gote, options, false), Chars("ナシ"_sj));
    EXPECT_TRUE(HandColumn(gote, options, true).empty());  // no label, no empty-hand text
    options.emptyHandMode = 3;
    options.emptyHandText = "無"_sj;
    EXPECT_EQ(HandColumn(gote, options, false), Chars("無"_sj));
    options.emptyHandMode = 4;
    EXPECT_TRUE(HandColumn(gote, options, false).empty());
    for (int n = 2; n <= 18; ++n) EXPECT_FALSE(HandCountCharacters(n, 1).empty());
    EXPECT_EQ(HandCountCharacters(18, 1), Chars("十八"_sj));
    EXPECT_EQ(HandCountCharacters(10, 1), Chars("十"_sj));
    EXPECT_TRUE(HandCountCharacters(1, 1).empty());

    EXPECT_EQ(BoardPieceCharacter(piece::Ryu + piece::kGoteOffset), "竜"_sj);
    EXPECT_EQ(BoardPieceCharacter(piece::NariKei), "桂"_sj);
    EXPECT_TRUE(IsSmallPromoted(piece::NariGin + piece::kGoteOffset));
    EXPECT_FALSE(IsSmallPromoted(piece::To));
    EXPECT_EQ(GaijiPiece(piece::Gyoku), std::string("\xF0\x7E"));
    EXPECT_EQ(GaijiPiece(piece::Kaku + piece::kGoteOffset), std::string("\xF0\x74"));

    const std::vector<TextRun> runs = SplitMarks("【▲７六歩△】"_sj, false);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_TRUE(runs[1].mark && runs[1].solid);
    EXPECT_EQ(runs[2].text, "７六歩"_sj);
    EXPECT_TRUE(runs[3].mark);
    EXPECT_FALSE(runs[3].solid);
    const std::vector<TextRun> gaiji = SplitMarks("▲▽▼△"_sj, true);
    ASSERT_EQ(gaiji.size(), 1u);
    EXPECT_EQ(gaiji[0].text, std::string("\xF0\x5A\xF0\x5B\xF0\x5C\xF0\x5D"));
}

TEST(DiagramLayout, PrintedPageQuarters) {
    const std::array<int, 5> heights{33, 37, 42, 46, 54};
    const PrintGeometry top = PrintLayout(heights, 0, 1, 1);
    EXPECT_EQ(top.x0, 140);
    EXPECT_EQ(top.y0, 324);
    EXPECT_EQ(top.framePen, 5);
    EXPECT_EQ(top.gridPen, 3);
    const PrintGeometry both = PrintLayout(heights, 3, 1, 1);
    EXPECT_EQ(both.x0, top.x0 + 125 * top.w / 10);
    EXPECT_EQ(both.y0, top.y0 + 15 * top.h);
    const PrintGeometry large = PrintLayout(heights, 0, 2, 2);
    EXPECT_EQ(large.y0, 216);
    EXPECT_EQ(large.framePen, 33 / 6);
    EXPECT_EQ(large.gridPen, 3);
    EXPECT_EQ(PrintFontPoints(2, 2), (std::array<int, 5>{16, 22, 24, 26, 32}));
}

}  // namespace
}  // namespace movra
