// The web files of a game: the script and applet data, the HTML pages with their time texts and
// flags, the English texts, the mobile pages and the whole publication written to disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/publish/data_menu.h"
#include "core/publish/mobile_pages.h"
#include "core/publish/web_export.h"
#include "core/record/game_text.h"
#include "core/record/kif_data.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using namespace movra::literals;
using testing::TempFolder;

// A game played from the even start with the given codes, standing after its last move.
struct Game {
    TKifData record;
    std::vector<std::string> lines;  // every move line, then the closing line

    explicit Game(std::initializer_list<const char*> codes, char endCode = endcode::kInterrupted) {
        record.ResetHeader(0);
        record.SetUpStandard();
        for (const char* c : codes) EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(c))) << c;
        record.endCode = endCode;
        lines = MoveListLines(record);
    }

    // The list as shown: whole game (every line) or only the move lines (during input).
    PublishInputs Inputs(bool withClosing, bool extended = true) const {
        PublishInputs in;
        in.record = &record;
        in.moveLines.assign(lines.begin(), lines.begin() + record.moveCount);
        in.shownLines = withClosing ? lines : in.moveLines;
        in.extendedStore = extended;
        return in;
    }
};

std::vector<std::string> Sj(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8) out.push_back(Utf8ToCp932(s));
    return out;
}

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(WebTexts, EnglishMoveAndEndTextsReplaceInTableOrder) {
    EXPECT_EQ(EnglishMoveText("７六歩"_sj), "7-6 Fu ");
    EXPECT_EQ(EnglishMoveText("同　歩"_sj), "Dou Fu ");
    EXPECT_EQ(EnglishMoveText("２三銀不成"_sj), "2-3 Gin Narazu ");
    // 成銀 comes before 銀 and 成, so a promoted silver is one word.
    EXPECT_EQ(EnglishMoveText("５五成銀右"_sj), "5-5 NariGin Migi ");
    EXPECT_EQ(EnglishMoveText("８八角成"_sj), "8-8 Kaku Naru ");
    EXPECT_EQ(EnglishEndText("95手まで先手勝ち"_sj), "at 95moves, Black won. ");
    EXPECT_EQ(EnglishEndText("投了"_sj), "resignation");
    // Text bytes of the move line: 8-23 and, with the side mark, 6-21.
    EXPECT_EQ(MoveTextOf("001  ▲７六歩"_sj), "７六歩"_sj);
    EXPECT_EQ(MarkedTextOf("023* △同　角"_sj), "△同　角"_sj);
}

TEST(WebTexts, ScriptStringsCannotBreakOutOfTheirQuotes) {
    // 表 is 95 5C: its second byte is a backslash and must stay as it is.
    const std::string text = "表\"a\\b"_sj + "\r\n" + "</script>";
    EXPECT_EQ(ScriptString(text), "表"_sj + "\\\"a\\\\b\\n\\x3C/script>");
}

TEST(ScriptData, DuringInputAndForAStoredGameWonBySente) {
    Game g({"7776", "3334", "8822+"});
    // During input: three lines, no closing line yet.
    PublishInputs in = g.Inputs(false);
    in.moveComment = [](int k) { return k == 2 ? "角道"_sj : std::string(); };
    in.openingComment = "矢倉%Eyagura"_sj;
    EXPECT_EQ(ScriptDataLines(in), Sj({R"( title="矢倉")", R"( sente="";)", R"( gote="";)", R"( teai="平手";)",
                                       R"( k[0]="7776 "; kif[0]="７六歩"; com[0]="";)",
                                       R"( k[1]="3334 "; kif[1]="３四歩"; com[1]="角道";)",
                                       R"( k[2]="8822+"; kif[2]="２二角成"; com[2]="";)",
                                       R"( k[3]="     "; kif[3]="3手まで"; com[3]="";)", " KifTesu=3", " Cur=3"}));
    const std::vector<std::string> english = EnglishScriptLines(in);
    EXPECT_EQ(english[0], R"( title="yagura";)");
    EXPECT_EQ(english[5], R"( k[2]="8822+"; kif[2]="2-2 Kaku Naru "; com[2]="";)");
    EXPECT_EQ(english[6], R"( k[3]="     "; kif[3]="at 3 moves"; com[3]="";)");
    EXPECT_EQ(english.back(), " Cur=3");
    // A classic store has no opening comment to take the title from.
    EXPECT_EQ(ScriptDataLines(g.Inputs(false, false))[0], R"( title="")");

    Game won({"7776", "3334", "8822+"}, endcode::kSenteWins);
    PublishInputs stored = won.Inputs(true);
    stored.closingComment = "終局"_sj;
    const std::vector<std::string> lines = ScriptDataLines(stored);
    EXPECT_EQ(lines[7], Utf8ToCp932(R"( k[3]="     "; kif[3]="3手まで先手勝ち"; com[3]="終局";)"));
    EXPECT_EQ(lines[8], " KifTesu=3");
    EXPECT_EQ(lines[9], " Cur=4");
    const std::vector<std::string> e = EnglishScriptLines(stored);
    EXPECT_EQ(e[6], R"( k[3]="     "; kif[3]="at 3moves, Black won. "; com[3]="";)");
    EXPECT_EQ(e.back(), " Cur=3");
    // The template's other lines stay; each %KIF line becomes the data.
    const auto filled = FillScriptTemplate({"var k;", "%KIF", "go();"}, {" a", " b"});
    EXPECT_EQ(filled, (std::vector<std::string>{"var k;", " a", " b", "go();"}));
}

TEST(AppletData, TimesMarksAndTheEntryForAListWithoutClosingLine) {
    Game first({"7776"});
    EXPECT_EQ(AppletDataLines(first.Inputs(false), false), Sj({"001", "001", "7776 ;000 ;７六歩", "     ;000 ;1手まで"}));

    Game g({"7776", "3334", "2726"}, endcode::kGoteWins);
    g.record.moves[1].consumedTime = 179;    // measured live
    g.record.moves[2].consumedTime = 59940;  // unknown
    g.record.moves[3].consumedTime = 0;
    g.record.moves[4].consumedTime = 125;    // the closing time
    EXPECT_EQ(AppletDataLines(g.Inputs(true), true),
              Sj({"003", "004", "7776 ;002?;７六歩  2?", "3334 ;999 ;３四歩 ?", "2726 ;000 ;２六歩",
                  "     ;002 ;3手まで後手勝ち"}));
}

TEST(AppletData, AGameOfTheFull512MovesHasNoRecordForItsClosingTime) {
    // The rooks go to and fro: 512 moves fill the move table, so no record is left after them.
    TKifData record;
    record.ResetHeader(0);
    record.SetUpStandard();
    const char* shuffle[] = {"2838", "8272", "3828", "7282"};
    for (int i = 0; i < kMaxMoves; ++i) ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse(shuffle[i % 4]))) << i;
    for (int k = 1; k <= kMaxMoves; ++k) record.moves[std::size_t(k)].consumedTime = 60;
    record.endCode = endcode::kSenteWins;
    const std::vector<std::string> lines = MoveListLines(record);
    PublishInputs in;
    in.record = &record;
    in.moveLines.assign(lines.begin(), lines.begin() + kMaxMoves);
    in.shownLines = lines;
    in.extendedStore = true;
    in.senteAllowedMinutes = 300;
    EXPECT_EQ(in.timeOf(kMaxMoves + 1), 0);
    const std::vector<std::string> applet = AppletDataLines(in, true);
    ASSERT_EQ(applet.size(), std::size_t(2 + kMaxMoves + 1));
    EXPECT_EQ(applet[1], "513");
    EXPECT_EQ(applet.back(), "     ;000 ;"_sj + lines.back());
    // 256 sente moves of a minute each, and nothing for the closing line.
    const auto page = FillHtmlTemplate({"%TIME_S", "%KIF"}, in, true);
    EXPECT_EQ(page[0], " 4 時間　16 分　［　44 分］"_sj);
    EXPECT_NE(std::find(page.begin(), page.end(), "      <TD>"_sj + WebEndWord(ResultNumber(endcode::kSenteWins)) + " ( 0)</TD>"),
              page.end());
}

TEST(HtmlPage, TableTimeTextsFlagsAndTheResultLine) {
    Game g({"7776", "3334", "2726", "8384", "2625", "8485", "6978", "4132"}, endcode::kSenteWins);
    for (int k = 1; k <= 8; ++k) g.record.moves[std::size_t(k)].consumedTime = 60;
    g.record.moves[1].consumedTime = 179;      // sente: 2 minutes, measured live
    g.record.moves[3].consumedTime = 7200;     // sente: 120 minutes
    g.record.moves[4].consumedTime = 59940;    // gote: unknown
    g.record.moves[9].consumedTime = 3 * 60;   // closing time, counted for move 9 (sente)
    PublishInputs in = g.Inputs(true);
    in.senteAllowedMinutes = 360;
    in.goteAllowedMinutes = 60;
    in.clockText = "09:05";
    const auto page = FillHtmlTemplate(Sj({"<p>%TIME_S</p>", "<table>", "%KIF", "</table>", "S %TIME_S",
                                           "G %TIME_G", "E %E_TIME_S/%E_TIME_G/%E_TIME_S", "%NOTIME!", "[%KEKKA]",
                                           "[%E_KEKKA]", "at %UPDATE"}),
                                       in, true);
    const std::vector<std::string> expected = Sj({
        // Before the table no flag is set yet.
        "<p> 2 時間　 7 分　［ 3 時間　53 分］</p>",
        "<table>",
        "    <TR>",
        R"(      <TD width="150" height="14">▲７六歩 ( 2?)</TD>)",
        R"(      <TD width="150" height="14">△３四歩 ( 1)</TD>)",
        R"(      <TD width="150" height="14">▲２六歩 (120)</TD>)",
        R"(      <TD width="150" height="14">△８四歩 ( ?)</TD>)",
        "    </TR>",
        "    <TR>",
        "      <TD>▲２五歩 ( 1)</TD>",
        "      <TD>△８五歩 ( 1)</TD>",
        "      <TD>▲７八金 ( 1)</TD>",
        "      <TD>△３二金 ( 1)</TD>",
        "    </TR>",
        "    <TR>",
        "      <TD>投了 ( 3)</TD>",
        "      <TD></TD>",
        "      <TD></TD>",
        "      <TD></TD>",
        "    </TR>",
        "</table>",
        // 2 + 120 + 1 + 1 + 3 (closing) = 127 of 360; the live time marks both parts.
        "S  2 時間　 7 分 ?　［ 3 時間　53 分 ?］",
        // Gote: 1 + 1 + 1 (the unknown time left out) of 60.
        "G 　 3 分　［　57 分］",
        "E  2h  7m/  3m/ 2h  7m",
        "（消費時間が？の分は含まれていません）!",
        "[8手まで先手勝ち]",
        "[at 8moves, Black won. ]",
        "at 09:05",
    });
    EXPECT_EQ(page, expected);

    // Move by move, or without times: no result line, no times, the narrower first row.
    in.wholeGame = false;
    const auto brief = FillHtmlTemplate(Sj({"%KIF2", "[%KEKKA]", "%NOTIME"}), in, false);
    EXPECT_EQ(brief[1], Utf8ToCp932(R"(      <TD width="140" height="14">▲７六歩</TD>)"));
    EXPECT_EQ(brief[brief.size() - 4], Utf8ToCp932("      <TD></TD>"));  // cell 8: no end word
    // The flags are set even when no times are written.
    EXPECT_EQ(brief.back(), "（消費時間が？の分は含まれていません）"_sj);
    EXPECT_EQ(std::count(brief.begin(), brief.end(), std::string("    <TR>")), 5);
}

TEST(MobilePages, FillerPlaceholdersAndMoveLists) {
    Game g({"7776", "8384"});
    EXPECT_EQ(MobileCurrentMoveText(2, g.lines[1]), "2手目<BR>△８四歩<BR>"_sj);
    EXPECT_EQ(MobileCurrentMoveText(0, ""), "");
    EXPECT_EQ(MobileMoveLine(g.lines[0], 61), "001▲７六歩  1<BR>"_sj);
    EXPECT_EQ(MobileMoveLine(g.lines[0], 59), "001▲７六歩<BR>"_sj);
    EXPECT_EQ(MobileMoveLine(g.lines[0], 59940), "001▲７六歩<BR>"_sj);

    MobilePageValues v;
    v.record = &g.record;
    v.position = &g.record.position;
    v.moveLines = {g.lines[0], g.lines[1]};
    v.senteName = "  羽生  "_sj;
    // Empty values leave their placeholders; %KF2 puts the closing line and the moves in
    // descending order before its line and becomes a blank.
    const auto desc = FillMobilePage(Sj({"<b>%SNM%GNM</b>%SAS%TIT", "%WID/%HEI", "[%KF2]", "end"}), v);
    EXPECT_EQ(desc, Sj({"<b>羽生%GNM</b>%SAS%TIT", "94/84", "2手まで<BR>", "002△８四歩<BR>", "001▲７六歩<BR>", "[ ]", "end"}));
    // A %KIF on the first line still gets the move lines, before that line.
    const auto asc = FillMobilePage(Sj({"%KIF<BR>", "%SMK"}), v);
    EXPECT_EQ(asc, Sj({"001▲７六歩<BR>", "002△８四歩<BR>", "2手まで<BR>", "なし"}));
}

// A program folder with templates and a settings set that writes every file into out/.
struct Publication {
    TempFolder dir;
    Settings settings;
    Game game{{"7776", "3334", "2726"}, endcode::kSenteWins};

    Publication() {
        testing::TouchFile(dir / "Web/tpl.js", "var k=[];\n%KIF\n");
        testing::TouchFile(dir / "Web/page.html", "<html>\n<table>\n%KIF\n</table>\n<p>%KEKKA</p>\n</html>");
        testing::TouchFile(dir / "Web/i1.html", "%SAS\n");
        testing::TouchFile(dir / "Web/i2.html", "%KIF\n");
        testing::TouchFile(dir / "Web/i3.html", "%KF2\n");
        fs::create_directories(dir / "out");
        settings.ftp.Func = true;
        settings.java.source = "web/TPL.JS";  // names are looked up without regard to case
        settings.java.OutPath = "out/kifu.js";
        settings.java.OutPathE = "out/kifu_e.js";
        settings.java.OutPathAp = "out/kifu.kf";
        settings.html.source[0] = "Web/page.html";
        settings.html.OutPath[0] = "out/page.html";
        settings.html.source[1] = "Web/missing.html";  // skipped
        settings.html.OutPath[1] = "out/never.html";
        settings.html.i_html = {"Web/i1.html", "Web/i2.html", "Web/i3.html"};
        settings.html.i_Path = {"out/i1.html", "", "out/i3.html"};  // i3 is ignored without i2
    }
};

TEST(PublishGame, WritesEveryFileInCp932WithCrLfAndStopsAtAFileThatCannotBeWritten) {
    Publication p;
    const PublishInputs in = p.game.Inputs(true);
    const PublishResult result = PublishGame(in, p.settings, p.dir.path(), nullptr);
    ASSERT_TRUE(result.published) << result.failedPath;
    std::vector<std::string> names;
    for (const fs::path& f : result.written) names.push_back(f.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"kifu.js", "kifu.kf", "kifu_e.js", "page.html", "i1.html"}));
    EXPECT_FALSE(fs::exists(p.dir / "out/never.html"));
    EXPECT_FALSE(fs::exists(p.dir / "out/i3.html"));

    const std::string script = Bytes(p.dir / "out/kifu.js");
    EXPECT_EQ(script.substr(0, 11), "var k=[];\r\n");
    EXPECT_NE(script.find(Utf8ToCp932(" k[3]=\"     \"; kif[3]=\"3手まで先手勝ち\"; com[3]=\"\";\r\n")), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 8), " Cur=4\r\n");
    for (const fs::path& f : result.written) {
        const std::string bytes = Bytes(f);
        EXPECT_TRUE(IsValidCp932(bytes)) << f;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << f << " at " << i;
            }
        }
        EXPECT_FALSE(fs::exists(f.string() + ".$$$"));
    }
    // The current-move page: the game stands after move 3.
    EXPECT_EQ(Bytes(p.dir / "out/i1.html"), "3手目<BR>▲２六歩<BR>\r\n"_sj);

    // Nothing without the web functions or without a line to show.
    Settings off = p.settings;
    off.ftp.Func = false;
    EXPECT_TRUE(PublishGame(in, off, p.dir.path(), nullptr).written.empty());
    PublishInputs empty = in;
    empty.shownLines.clear();
    EXPECT_TRUE(PublishGame(empty, p.settings, p.dir.path(), nullptr).written.empty());

    // The applet file's folder is missing: the script data was written, the rest is not, and
    // the old English file is left as it was.
    testing::TouchFile(p.dir / "out/kifu_e.js", "old");
    Settings broken = p.settings;
    broken.java.OutPathAp = "nowhere/kifu.kf";
    const PublishResult failed = PublishGame(in, broken, p.dir.path(), nullptr);
    EXPECT_FALSE(failed.published);
    EXPECT_EQ(failed.written.size(), 1u);
    EXPECT_NE(failed.failedPath.find("nowhere"), std::string::npos);
    EXPECT_EQ(Bytes(p.dir / "out/kifu_e.js"), "old");
}

// Pictures that record what they were asked for; the full diagram's outcome is chosen.
struct ScriptedPictures : PublishPictures {
    Outcome full = Outcome::Written;
    std::vector<std::string> asked;
    bool WriteMobilePicture(const fs::path& path, const BoardPosition&) override {
        asked.push_back(path.filename().string());
        testing::TouchFile(path, "BM");
        return true;
    }
    Outcome WriteFullDiagram(const fs::path& path) override {
        asked.push_back(path.filename().string());
        if (full == Outcome::Written) testing::TouchFile(path, "BM");
        return full;
    }
};

TEST(PublishGame, PicturesAndTemplatesThatCannotBeRead) {
    Publication p;
    p.settings.html.i_BmpPath01 = "out/i.bmp";
    p.settings.html.i_BmpPath02 = "out/full.bmp";
    p.settings.html.i_Path = {"out/i1.html", "out/i2.html", "out/i3.html"};
    const PublishInputs in = p.game.Inputs(true);
    ScriptedPictures pictures;
    PublishResult result = PublishGame(in, p.settings, p.dir.path(), &pictures);
    ASSERT_TRUE(result.published) << result.failedPath;
    EXPECT_EQ(pictures.asked, (std::vector<std::string>{"i.bmp", "full.bmp"}));
    EXPECT_EQ(result.written.size(), 9u);

    // No full diagram (its title was cancelled): the pages are written all the same.
    fs::remove(p.dir / "out/i3.html");
    pictures.full = PublishPictures::Outcome::Skipped;
    result = PublishGame(in, p.settings, p.dir.path(), &pictures);
    EXPECT_TRUE(result.published);
    EXPECT_TRUE(fs::exists(p.dir / "out/i3.html"));
    EXPECT_EQ(std::count(result.written.begin(), result.written.end(), p.dir / "out/full.bmp"), 0);

    // A diagram that cannot be saved ends the publication before the pages.
    fs::remove(p.dir / "out/i3.html");
    pictures.full = PublishPictures::Outcome::Failed;
    result = PublishGame(in, p.settings, p.dir.path(), &pictures);
    EXPECT_FALSE(result.published);
    EXPECT_FALSE(result.failedReading);
    EXPECT_NE(result.failedPath.find("full.bmp"), std::string::npos);
    EXPECT_FALSE(fs::exists(p.dir / "out/i3.html"));

    // A mobile template named but missing is a file that cannot be read, not written.
    p.settings.html.i_html[2] = "Web/gone.html";
    result = PublishGame(in, p.settings, p.dir.path(), nullptr);
    EXPECT_FALSE(result.published);
    EXPECT_TRUE(result.failedReading);
    EXPECT_NE(result.failedPath.find("gone.html"), std::string::npos);
}

TEST(PublishGame, TemplatesInUtf8AreReadAsCp932) {
    TempFolder dir;
    testing::TouchFile(dir / "t.html", "<p>結果 %KEKKA</p>\n");
    const auto lines = ReadTemplateLines(dir / "t.html");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, Sj({"<p>結果 %KEKKA</p>"}));
    testing::TouchFile(dir / "s.html", "<p>"_sj + "結果"_sj + "</p>\r\n");
    EXPECT_EQ(*ReadTemplateLines(dir / "s.html"), Sj({"<p>結果</p>"}));
    EXPECT_FALSE(ReadTemplateLines(dir / "none.html").has_value());
}

TEST(DataMenu, LinesCaptionsAndTheBrowserWindow) {
    TempFolder dir;
    testing::TouchFile(dir / "Data/Html.ini", Utf8ToCp932("01-01 名簿;players\\index.html\r\n02-00 予定(&K)\r\n"
                                                          "02-03 表;x.html\r\n02-03 表2;y.html\r\nxx-01 a;b\r\n"));
    const DataMenu menu = LoadDataMenu(dir.path());
    EXPECT_TRUE(menu.shown);
    EXPECT_FALSE(menu.menus[0].shown);
    EXPECT_EQ(menu.menus[0].caption, "棋士紹介(&P)"_sj);
    EXPECT_TRUE(menu.menus[0].items[0].shown);
    EXPECT_EQ(menu.menus[0].items[0].caption, "名簿"_sj);
    EXPECT_EQ(menu.menus[0].items[0].target, "players\\index.html");
    EXPECT_TRUE(menu.menus[1].shown);
    EXPECT_EQ(BrowserCaption(menu.menus[1].caption), "予定"_sj);
    EXPECT_EQ(menu.menus[1].items[2].caption, "表2"_sj);
    EXPECT_FALSE(LoadDataMenu(dir / "Data").shown);

    EXPECT_EQ(BrowserWindowRect({20, 24, 0, 0}, 1280, 1024), (WindowRect{20, 24, 1240, 964}));
    EXPECT_EQ(BrowserWindowRect({1270, 1000, 2000, 300}, 1280, 1024), (WindowRect{20, 20, 1200, 300}));
}

}  // namespace
}  // namespace movra
