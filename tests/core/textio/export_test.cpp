// The game listing and the Kakinoki file, byte for byte, and the file names and questions of the
// export commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "../../../bench/store_sample.h"
#include "core/store/store_test_support.h"
#include "core/text/paths.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;
using testing::RecordingPrompter;
using testing::TempFolder;

std::vector<std::string> Sj(std::initializer_list<std::string_view> utf8) {
    std::vector<std::string> out;
    for (std::string_view l : utf8) out.push_back(Utf8ToCp932(l));
    return out;
}

// A game from the handicap's setup and move codes; its comments all empty.
ExportGame GameOf(int handicap, std::initializer_list<const char*> codes) {
    ExportGame g;
    g.handicapNumber = handicap;
    g.record.ResetHeader(handicap);
    g.record.ClearMoves();
    g.record.SetUpStandard();
    for (const char* c : codes) EXPECT_TRUE(g.record.AppendAndApply(*MoveCode::Parse(c))) << c;
    g.comments.assign(std::size_t(g.record.moveCount) + 2, std::string());
    return g;
}

// A piece from the box onto a square of a position set up empty (kings on 5九 and 5一).
void Place(TKifData& record, PieceCode code, int file, int rank) {
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& p = record.position.pieces[std::size_t(i)];
        if (p.file == location::kBox && p.rank == KindOf(code)) {
            p.code = code;
            p.file = std::uint8_t(file);
            p.rank = std::uint8_t(rank);
            p.present = 1;
            record.Rebuild();
            return;
        }
    }
    FAIL() << "no piece of that kind left in the box";
}

ExportGame FromPosition(std::initializer_list<std::tuple<PieceCode, int, int>> pieces,
                        std::initializer_list<const char*> codes) {
    ExportGame g;
    g.record.ResetHeader(0);
    g.record.ClearMoves();
    g.record.SetUpEmpty();
    for (const auto& [code, file, rank] : pieces) Place(g.record, code, file, rank);
    for (const char* c : codes) EXPECT_TRUE(g.record.AppendAndApply(*MoveCode::Parse(c))) << c;
    g.comments.assign(std::size_t(g.record.moveCount) + 2, std::string());
    return g;
}

// Seven moves of an even game, played on 2024-05-01 (a Wednesday) from 10:30 to 18:05.
ExportGame SevenMoves() {
    ExportGame g = GameOf(0, {"7776", "3334", "2726", "8384", "2625", "8485", "6978"});
    g.year = 2024;
    g.month = 5;
    g.day = 1;
    g.details = true;
    g.detail.setStart({2024, 5, 1, 10, 30});
    g.detail.setEnd({2024, 5, 1, 18, 5});
    g.senteName = "羽生善治"_sj;
    g.goteName = "森内俊之"_sj;
    g.tournament = "名人戦"_sj;
    g.opening = "矢倉"_sj;
    const std::uint16_t times[] = {5, 65, 0, 600, 3599, 59, 1};
    for (int n = 1; n <= 7; ++n) g.record.moves[std::size_t(n)].consumedTime = times[n - 1];
    return g;
}

// An even game of exactly `moves` random moves the movement rules accept.
ExportGame PlayedGame(int moves) {
    sample::Rng rng(7);
    ExportGame g;
    std::vector<MoveCode> scratch;
    while (sample::PlayGame(rng, 0, moves, g.record, scratch) < moves) {
    }
    g.comments.assign(std::size_t(moves) + 2, std::string());
    return g;
}

std::string Last(const std::vector<std::string>& lines, std::size_t fromEnd) {
    return lines.size() > fromEnd ? lines[lines.size() - 1 - fromEnd] : std::string();
}

// --- the listing ------------------------------------------------------------------------------

TEST(GameListing, HeaderMovesSixToALineAndTheClosingLine) {
    ExportGame g = SevenMoves();
    g.result = 1;
    EXPECT_EQ(GameListingLines(g),
              Sj({"開始日時：2024/05/01(水) 10:30:00", "終了日時：2024/05/01(水) 18:05:00",
                  "先手：羽生善治", "後手：森内俊之", "棋戦：名人戦", "戦型：矢倉", "手合割：平手", "",
                  "▲７六歩　　△３四歩　　▲２六歩　　△８四歩　　▲２五歩　　△８五歩　　",
                  "▲７八金　　", "　まで、7手で先手勝ち", ""}));
    // The clipboard gets the same lines with a line break between each two.
    EXPECT_EQ(JoinLines(GameListingLines(g)).substr(0, 37),
              Utf8ToCp932("開始日時：2024/05/01(水) 10:30:00\r\n終"));
}

TEST(GameListing, WithoutDetailsTheTimeIsMidnightAndThereIsNoEndLine) {
    ExportGame g = SevenMoves();
    g.details = false;  // the classic kind: whatever the detail record holds is not read
    std::vector<std::string> lines = GameListingLines(g);
    EXPECT_EQ(lines[0], Utf8ToCp932("開始日時：2024/05/01(水) 00:00:00"));
    EXPECT_EQ(lines[1], Utf8ToCp932("先手：羽生善治"));

    // With details, an end date that lacks its day writes no end line either.
    g.details = true;
    g.detail.setEnd({2024, 5, 0, 18, 5});
    lines = GameListingLines(g);
    EXPECT_EQ(lines[1], Utf8ToCp932("先手：羽生善治"));
    // The key of an empty tournament or opening is written all the same.
    g.tournament.clear();
    g.opening.clear();
    lines = GameListingLines(g);
    EXPECT_EQ(lines[3], Utf8ToCp932("棋戦："));
    EXPECT_EQ(lines[4], Utf8ToCp932("戦型："));
}

TEST(GameListing, ClosingLineByResult) {
    const struct {
        int result;
        bool handicap;
        const char* line;
    } cases[] = {
        {0, false, "　まで、64手で"},          {1, false, "　まで、64手で先手勝ち"},
        {2, false, "　まで、64手で後手勝ち"},  {1, true, "　まで、64手で下手勝ち"},
        {2, true, "　まで、64手で上手勝ち"},   {3, true, "　まで、64手で千日手"},
        {4, false, "　まで、64手で持将棋"},    {5, false, "　まで、64手以下先手勝ち"},
        {6, true, "　まで、64手以下上手勝ち"}, {7, false, "　まで、64手以下千日手"},
        {8, false, "　まで、64手以下持将棋"},  {9, false, "　まで、64手で"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(ListingClosingLine(64, c.handicap, c.result)), c.line)
            << c.result << " " << c.handicap;
    }
}

TEST(GameListing, HandicapGameNamesBothSidesAndAnInvalidDateHasNoWeekday) {
    ExportGame g = GameOf(1, {"3132", "7776"});
    g.senteName = "下手の人"_sj;
    g.goteName = "上手の人"_sj;
    g.result = 2;
    g.year = 2023;
    g.month = 2;
    g.day = 29;  // not a date
    EXPECT_EQ(GameListingLines(g),
              Sj({"開始日時：2023/02/29(　) 00:00:00", "下手：下手の人", "上手：上手の人", "棋戦：",
                  "戦型：", "手合割：香落ち", "", "△３二銀　　▲７六歩　　", "　まで、2手で上手勝ち",
                  ""}));
}

TEST(GameListing, AMoveLongerThanItsTwelveBytesPushesTheNextOnesRight) {
    // Two sente silvers on 3四 and 1四; the one on 3四 goes to 2三 without promoting: ２三銀左不成.
    ExportGame g = FromPosition({{piece::Gin, 3, 4}, {piece::Gin, 1, 4}}, {"3423", "5141", "5948"});
    const std::vector<std::string> lines = GameListingLines(g);
    EXPECT_EQ(Cp932ToUtf8(lines[7]), "▲２三銀左不成△４一玉　▲４八玉　　");
}

// --- the Kakinoki file ------------------------------------------------------------------------

TEST(KakinokiFile, HeaderMovesTimesCommentsAndTheEnd) {
    ExportGame g = SevenMoves();
    g.result = 1;
    g.closingTime = 30;
    g.comments[0] = "序盤の構想\r\n二行目"_sj;
    g.comments[2] = "好手"_sj;
    g.comments[8] = "終局後の一言"_sj;
    EXPECT_EQ(KakinokiLines(g, "/home/u/柿木0001.kif"_sj),
              Sj({"# ----  Kifu for Windows95 V3.47 棋譜ファイル  ----",
                  "# ファイル名：/home/u/柿木0001.kif",
                  "開始日時：2024/05/01(水) 10:30:00",
                  "終了日時：2024/05/01(水) 18:05:00",
                  "棋戦：名人戦",
                  "戦型：矢倉",
                  "手合割：平手",
                  "先手：羽生善治",
                  "後手：森内俊之",
                  "手数----指手---------消費時間--",
                  "*序盤の構想",
                  "*二行目",
                  "   1 ７六歩(77)   ( 0:05/00:00:05)",
                  "   2 ３四歩(33)   ( 1:05/00:01:05)",
                  "*好手",
                  "   3 ２六歩(27)   ( 0:00/00:00:05)",
                  "   4 ８四歩(83)   (10:00/00:11:05)",
                  "   5 ２五歩(26)   (59:59/01:00:04)",
                  "   6 ８五歩(84)   ( 0:59/00:12:04)",
                  "   7 ７八金(69)   ( 0:01/01:00:05)",
                  "   8 投了         ( 0:30/00:12:34)",
                  "*終局後の一言",
                  "",
                  "まで7手で先手の勝ち"}));
}

TEST(KakinokiFile, DateFromTheCatalogueWhenTheDetailRecordHasNoneAndEmptyKeysLeftOut) {
    ExportGame g = SevenMoves();
    g.detail.setStart({0, 0, 0, 9, 5});  // no start date, but a time
    g.detail.setEnd({});
    g.tournament.clear();
    g.opening.clear();
    const std::vector<std::string> lines = KakinokiLines(g, "x");
    EXPECT_EQ(lines[2], Utf8ToCp932("開始日時：2024/05/01(水) 09:05:00"));
    EXPECT_EQ(lines[3], Utf8ToCp932("手合割：平手"));
    // A store without details: 00:00 and the catalogue's date.
    g.details = false;
    g.detail = DetailRecord{};
    EXPECT_EQ(KakinokiLines(g, "x")[2], Utf8ToCp932("開始日時：2024/05/01(水) 00:00:00"));
}

TEST(KakinokiFile, EvenGameResignedByGoteAfter64Moves) {
    ExportGame g = PlayedGame(64);
    g.result = 2;
    g.closingTime = 7;
    g.record.moves[64].consumedTime = 3;  // gote's: the end line (move 65) adds to sente's total
    const std::vector<std::string> lines = KakinokiLines(g, "x");
    EXPECT_EQ(Last(lines, 2), Utf8ToCp932("  65 投了         ( 0:07/00:00:07)"));
    EXPECT_EQ(Last(lines, 1), "");
    EXPECT_EQ(Last(lines, 0), Utf8ToCp932("まで64手で後手の勝ち"));
    EXPECT_EQ(Last(GameListingLines(g), 1), Utf8ToCp932("　まで、64手で後手勝ち"));
}

TEST(KakinokiFile, EndLineAndSummaryByResult) {
    const struct {
        int result;
        int handicap;
        const char* endWord;
        const char* summary;
    } cases[] = {
        {1, 0, "投了", "まで2手で先手の勝ち"},       {2, 1, "投了", "まで2手で上手の勝ち"},
        {1, 1, "投了", "まで2手で下手の勝ち"},       {3, 0, "千日手", "まで2手で千日手"},
        {4, 0, "持将棋", "まで2手で持将棋"},         {9, 0, "中断", "まで2手で中断"},
        // The record stops before the game's end: no 以下, which Kakinoki readers refuse.
        {5, 0, "中断", "まで2手で先手の勝ち"},       {6, 1, "中断", "まで2手で上手の勝ち"},
        {7, 0, "千日手", "まで2手で千日手"},         {8, 0, "持将棋", "まで2手で持将棋"},
    };
    for (const auto& c : cases) {
        ExportGame g = c.handicap == 0 ? GameOf(0, {"7776", "3334"}) : GameOf(1, {"3132", "7776"});
        g.result = c.result;
        const std::vector<std::string> lines = KakinokiLines(g, "x");
        char head[8];
        std::snprintf(head, sizeof head, "%4d ", 3);
        std::string end = head + Utf8ToCp932(c.endWord);
        end.resize(18, ' ');
        EXPECT_EQ(Last(lines, 2), end + "( 0:00/00:00:00)") << c.result;
        EXPECT_EQ(Cp932ToUtf8(Last(lines, 0)), c.summary) << c.result;
    }
}

TEST(KakinokiFile, AGameWithoutResultEndsAfterItsLastMoveUnlessSomethingFollowsIt) {
    ExportGame g = SevenMoves();
    g.result = 0;
    std::vector<std::string> lines = KakinokiLines(g, "x");
    EXPECT_EQ(Last(lines, 0), Utf8ToCp932("   7 ７八金(69)   ( 0:01/01:00:05)"));
    EXPECT_EQ(Last(GameListingLines(g), 1), Utf8ToCp932("　まで、7手で"));

    // A closing comment (or closing time) would be lost without a line to hang it on.
    g.comments[8] = "ここで中断"_sj;
    lines = KakinokiLines(g, "x");
    EXPECT_EQ(Last(lines, 3), Utf8ToCp932("   8 中断         ( 0:00/00:12:04)"));
    EXPECT_EQ(Last(lines, 2), Utf8ToCp932("*ここで中断"));
    EXPECT_EQ(Last(lines, 0), Utf8ToCp932("まで7手で中断"));
    g.comments[8].clear();
    g.closingTime = 61;
    EXPECT_EQ(Last(KakinokiLines(g, "x"), 2), Utf8ToCp932("   8 中断         ( 1:01/00:13:05)"));
}

TEST(KakinokiFile, RelativeWordsAndNonPromotionGoTheDragonIsWrittenInFullDropsSayUchi) {
    // Sente silvers on 6六 and 4六, a gote pawn on 5四, a sente 竜 on 2八.
    ExportGame g = FromPosition(
        {{piece::Gin, 6, 6}, {piece::Gin, 4, 6}, {piece::Fu + piece::kGoteOffset, 5, 4},
         {piece::Ryu, 2, 8}, {piece::Gin, 2, 4}},
        {"5948", "5455", "4655", "5141", "2825", "4151", "0154", "5152", "2433"});
    const std::vector<std::string> lines = KakinokiLines(g, "x");
    const std::vector<std::string> moves(lines.end() - 9, lines.end());
    EXPECT_EQ(moves, Sj({"   1 ４八玉(59)   ( 0:00/00:00:00)", "   2 ５五歩(54)   ( 0:00/00:00:00)",
                         "   3 同　銀(46)   ( 0:00/00:00:00)", "   4 ４一玉(51)   ( 0:00/00:00:00)",
                         "   5 ２五龍(28)   ( 0:00/00:00:00)", "   6 ５一玉(41)   ( 0:00/00:00:00)",
                         "   7 ５四歩打     ( 0:00/00:00:00)", "   8 ５二玉(51)   ( 0:00/00:00:00)",
                         "   9 ３三銀(24)   ( 0:00/00:00:00)"}));
}

TEST(KakinokiFile, MoveAndTimeFields) {
    EXPECT_EQ(KifTimeField(5, 5), "( 0:05/00:00:05)");
    EXPECT_EQ(KifTimeField(59940, 59940), "(999:00/16:39:00)");
    // A running total of 100 hours or more keeps every hour digit.
    EXPECT_EQ(KifTimeField(60, 360060), "( 1:00/100:01:00)");
    EXPECT_EQ(KifMoveField(23, "５五角打"_sj), Utf8ToCp932("  23 ５五角打     "));
    EXPECT_EQ(KifMoveField(512, "同　成銀(23)"_sj), Utf8ToCp932(" 512 同　成銀(23) "));
    // Never cut inside a character: the half character becomes a blank.
    EXPECT_EQ(KifMoveField(1, "ab１２３４５６７"_sj), Utf8ToCp932("   1 ab１２３４５ "));
}

TEST(KakinokiFile, HandicapsWithoutAKakinokiNameGetABoardDiagram) {
    ExportGame g = GameOf(12, {"5152"});  // 歩三兵: gote's king alone, three pawns in hand
    const std::vector<std::string> lines = KakinokiLines(g, "x");
    const std::vector<std::string> header(lines.begin() + 3, lines.begin() + 21);
    EXPECT_EQ(header, Sj({"手合割：その他",
                          "後手の持駒：歩三　",
                          "  ９ ８ ７ ６ ５ ４ ３ ２ １",
                          "+---------------------------+",
                          "| ・ ・ ・ ・v玉 ・ ・ ・ ・|一",
                          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|二",
                          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|三",
                          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|四",
                          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|五",
                          "| ・ ・ ・ ・ ・ ・ ・ ・ ・|六",
                          "| 歩 歩 歩 歩 歩 歩 歩 歩 歩|七",
                          "| ・ 角 ・ ・ ・ ・ ・ 飛 ・|八",
                          "| 香 桂 銀 金 玉 金 銀 桂 香|九",
                          "+---------------------------+",
                          "先手の持駒：なし",
                          "後手番",
                          "下手：",
                          "上手："}));
    // 右香落ち has a Kakinoki name.
    EXPECT_EQ(KakinokiLines(GameOf(11, {"1112"}), "x")[3], Utf8ToCp932("手合割：右香落ち"));
}

TEST(KakinokiFile, WrittenAsCp932WithCrLfNamingItsFullPathAndReplacingAnOldFile) {
    TempFolder dir;
    const fs::path path = dir.path() / NativePath("柿木0001.kif"_sj);
    {
        std::ofstream old(path, std::ios::binary);
        old << "an older and much longer file that must be gone afterwards\r\n";
    }
    ExportGame g = SevenMoves();
    ASSERT_EQ(WriteKakinokiFile(g, path), "");
    const std::vector<std::uint8_t> bytes = testing::FileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::string expected;
    for (const std::string& line : KakinokiLines(g, StoredPath(path))) expected += line + "\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find(Utf8ToCp932("# ファイル名：" + path.string() + "\r\n")), std::string::npos);
    EXPECT_NE(WriteKakinokiFile(g, dir.path() / "no-such-folder" / "x.kif"), "");
}

// --- files, names and questions ---------------------------------------------------------------

TEST(ExportFiles, ProposedNamesAreTheFirstFreeOnes) {
    TempFolder dir;
    EXPECT_EQ(ProposedKakinokiPath(dir.path()), dir.path() / NativePath("柿木0001.kif"_sj));
    ASSERT_EQ(WriteKakinokiFile(SevenMoves(), *ProposedKakinokiPath(dir.path())), "");
    EXPECT_EQ(ProposedKakinokiPath(dir.path()), dir.path() / NativePath("柿木0002.kif"_sj));

    // Names are compared without regard to case, as on the system the files come from.
    std::ofstream(dir.path() / "kif001.TXT").put('x');
    EXPECT_EQ(ProposedListingPath(dir.path()), dir.path() / "KIF002.txt");
    EXPECT_EQ(ProposedPositionPath(dir.path()), dir.path() / NativePath("局面図01.txt"_sj));
    for (int n = 1; n <= 99; ++n) {
        std::ofstream(*ProposedPositionPath(dir.path())).put('x');
    }
    EXPECT_FALSE(ProposedPositionPath(dir.path()).has_value()) << "局面図01 … 局面図99 all taken";

    EXPECT_EQ(BatchExportPath(dir.path(), 5, 1, ".kif"), dir.path() / "r0501001.kif");
    std::ofstream(dir.path() / "r0501001.kif").put('x');
    EXPECT_EQ(BatchExportPath(dir.path(), 5, 1, ".kif"), dir.path() / "r0501002.kif");
    EXPECT_EQ(BatchExportPath(dir.path(), 12, 31, ".txt"), dir.path() / "r1231001.txt");
}

TEST(ExportFiles, LinesAreWrittenWithCrLfReplacingOrAppending) {
    TempFolder dir;
    const fs::path path = dir / "a.txt";
    ASSERT_EQ(WriteTextLines(path, {"one", "", "two"}, WriteMode::Replace), "");
    ASSERT_EQ(WriteTextLines(path, {"three"}, WriteMode::Append), "");
    std::vector<std::uint8_t> bytes = testing::FileBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "one\r\n\r\ntwo\r\nthree\r\n");
    ASSERT_EQ(WriteTextLines(path, {"four"}, WriteMode::Replace), "");
    bytes = testing::FileBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "four\r\n");
    EXPECT_EQ(JoinLines({"a", "b", ""}), "a\r\nb\r\n");
    EXPECT_NE(WriteTextLines(dir / "missing" / "a.txt", {"x"}, WriteMode::Append), "");
}

TEST(ExportFiles, AnExistingFileAsksBeforeItIsWritten) {
    TempFolder dir;
    const fs::path path = dir / "KIF001.txt";
    RecordingPrompter prompter;
    EXPECT_EQ(AskHowToWrite(path, true, prompter), WriteMode::Replace);
    EXPECT_TRUE(prompter.shown.empty()) << "a new file is written without a question";

    std::ofstream(path).put('x');
    prompter.answers = {Answer::Yes, Answer::No, Answer::Cancel};
    EXPECT_EQ(AskHowToWrite(path, true, prompter), WriteMode::Append);
    EXPECT_EQ(AskHowToWrite(path, true, prompter), WriteMode::Replace);
    EXPECT_EQ(AskHowToWrite(path, true, prompter), std::nullopt);
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].text,
              path.string() + " は、既に存在します。\r追加書きしますか？\r\r「いいえ」をクリックすると上書きします。"_sj);

    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_EQ(AskHowToWrite(path, false, prompter), WriteMode::Replace);
    EXPECT_EQ(AskHowToWrite(path, false, prompter), std::nullopt);
    EXPECT_EQ(prompter.shown[0].text, path.string() + " は、既に存在します。\r\r上書きしますか？"_sj);
}

TEST(ExportDates, WeekdaysAndFieldWidths) {
    EXPECT_EQ(Cp932ToUtf8(WeekdayText(1999, 7, 15)), "(木)");
    EXPECT_EQ(Cp932ToUtf8(WeekdayText(2024, 2, 29)), "(木)");
    EXPECT_EQ(Cp932ToUtf8(WeekdayText(2023, 2, 29)), "(　)");
    EXPECT_EQ(Cp932ToUtf8(WeekdayText(0, 1, 1)), "(　)");
    EXPECT_EQ(Cp932ToUtf8(WeekdayText(2024, 13, 1)), "(　)");
    EXPECT_EQ(Cp932ToUtf8(ExportDateTime(0, 0, 0, 0, 0)), "0000/00/00(　) 00:00:00");
    EXPECT_EQ(Cp932ToUtf8(ExportDateTime(1950, 1, 2, 9, 7)), "1950/01/02(月) 09:07:00");
    // A number longer than its field keeps its leading digits.
    EXPECT_EQ(Cp932ToUtf8(ExportDateTime(12345, 1, 2, 255, 0)), "1234/01/02(　) 25:00:00");
}

TEST(ExportComments, LinesSplitAtEveryKindOfLineBreak) {
    EXPECT_EQ(CommentLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(CommentLines("a\nb\rc\r\n"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(CommentLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(CommentLines("").empty());
}

}  // namespace
}  // namespace movra
