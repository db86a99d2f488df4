// The game list's lines, columns, caption, pages and the selected-game line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/list/game_list_test_support.h"
#include "core/list/game_list_page.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/position.h"
#include "core/store/catalogue.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

// Master tables with a few names, written as the DAT files and read back.
struct Tables {
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    ListTables view() const { return {players, tournaments, openings}; }

    explicit Tables(const fs::path& folder) {
        const auto write = [&](std::string_view name, const std::string& text) {
            std::ofstream out(folder / std::string(name), std::ios::binary);
            out << text;
        };
        // Player 1 has a name of 13 double-byte-ish bytes: its 12th byte is a lead byte.
        write(kPlayerFileName, "  1 A 羽生善治            ﾊﾌﾞﾖｼﾊﾙ             \r\n"_sj +
                                   std::string("  2 A a永瀬拓矢王座       ﾅｶﾞｾﾀｸﾔ             \r\n"_sj));
        write(kTournamentFileName, " 1 名人戦\r\n++01 七番勝負\r\n"_sj);
        write(kOpeningFileName, "  1 矢倉\r\n"_sj);
        testing::RecordingPrompter p;
        players.Load(folder, true);
        tournaments.Load(folder, p);
        openings.Load(folder, p);
    }
};

GameHeader Entry(std::uint32_t record) {
    GameHeader e;
    e.recordNumber = record;
    e.sentePlayer = 1;
    e.gotePlayer = 2;
    e.tournament = 1;
    e.subTournament = 1;
    e.gameNumber = 3;
    e.year = 2024;
    e.month = 4;
    e.day = 10;
    e.opening = 1;
    e.result = 1;
    return e;
}

TEST(GameListColumnsTest, DatesInBothForms) {
    EXPECT_EQ(ListDateColumn(1985, 0, 0, true, false), "  1985/00/00");
    // Era dates: an unknown month or day keeps the western form unless the option fills it in.
    EXPECT_EQ(ListDateColumn(1985, 0, 0, false, false), "  1985/00/00");
    EXPECT_EQ(ListDateColumn(1985, 0, 0, false, true), "昭和60/00/00"_sj);
    EXPECT_EQ(ListDateColumn(1985, 6, 0, false, true), "昭和60/06/00"_sj);
    EXPECT_EQ(ListDateColumn(1989, 2, 10, false, false), "平成01/02/10"_sj);
    EXPECT_EQ(ListDateColumn(1989, 1, 7, false, false), "昭和64/01/07"_sj);
    EXPECT_EQ(ListDateColumn(2019, 4, 30, false, false), "平成31/04/30"_sj);
    EXPECT_EQ(ListDateColumn(2019, 5, 1, false, false), "令和01/05/01"_sj);
    EXPECT_EQ(ListDateColumn(2024, 4, 10, false, false), "令和06/04/10"_sj);
    // No era text: before the first era, or a day that does not exist.
    EXPECT_EQ(ListDateColumn(1850, 3, 3, false, false), "  1850/03/03");
    EXPECT_EQ(ListDateColumn(2023, 2, 30, false, false), "  2023/02/30");
    for (const std::string& s : {ListDateColumn(2024, 4, 10, false, false),
                                 ListDateColumn(2024, 4, 10, true, false)}) {
        EXPECT_EQ(s.size(), 12u);
    }
}

TEST(GameListColumnsTest, ResultWordingAndSummary) {
    EXPECT_EQ(ListResultColumn(1, 0, true), "先手勝ち  "_sj);
    EXPECT_EQ(ListResultColumn(6, 3, true), "上手勝ち  "_sj);
    EXPECT_EQ(ListResultColumn(2, 0, false), "△勝ち    "_sj);
    EXPECT_EQ(ListResultColumn(0, 0, true), "勝敗未登録"_sj);
    EXPECT_EQ(ListResultColumn(11, 0, true).size(), 10u);

    std::vector<GameHeader> entries;
    for (int code : {1, 5, 2, 6, 6, 3, 7, 4, 8, 0, 9, 200}) {
        GameHeader e;
        e.result = std::uint8_t(code);
        entries.push_back(e);
    }
    EXPECT_EQ(ResultSummary(entries),
              "先手:2勝 後手:3勝 千日手:2局 持将棋:2局 未登録:3局"_sj);
    EXPECT_EQ(GameListCaption(21, 41, ""), "棋譜一覧 ( 21 / 41 局)"_sj);
    EXPECT_EQ(GameListCaption(1, 1, "X"), "棋譜一覧 ( 1 / 1 局)  X"_sj);
}

class GameListLineTest : public ::testing::Test {
protected:
    testing::TempFolder dir;
    Tables tables{dir.path()};
};

TEST_F(GameListLineTest, DoubleByteNamesCutWithoutSplittingAndColumnsStayAligned) {
    // "羽生善治" is 8 bytes and fits; "a永瀬拓矢王座" is 13 bytes, its 12th byte a lead byte.
    ListLineData data;
    data.moveCount = 95;
    ListDisplay display;
    const GameHeader e = Entry(1);
    for (std::size_t width : {kListNameWidth, kDumpNameWidth}) {
        const std::string line = FormatListLine(e, data, tables.view(), display, width);
        ASSERT_GE(line.size(), 1 + 2 * width + 13 + 3 + 13 + 10 + 5 + 13) << width;
        EXPECT_EQ(line.substr(1, width), PadOrCut("羽生善治"_sj, width));
        const std::string gote = line.substr(1 + width, width);
        if (width == kListNameWidth) {
            EXPECT_EQ(gote, "a永瀬拓矢王 "_sj);  // 11 bytes and a blank
        } else {
            EXPECT_EQ(gote, "a永瀬拓矢王座 "_sj);
        }
        std::size_t at = 1 + 2 * width;
        EXPECT_EQ(line.substr(at, 13), "名人戦       "_sj);
        at += 13;
        EXPECT_EQ(line.substr(at, 3), " 3 ");
        at += 3;
        EXPECT_EQ(line.substr(at, 13), "  2024/04/10 ");
        at += 13;
        EXPECT_EQ(line.substr(at, 10), "先手勝ち  "_sj);
        at += 10;
        EXPECT_EQ(line.substr(at, 5), " 95　"_sj);
        at += 5;
        EXPECT_EQ(line.substr(at, 13), "矢倉         "_sj);
        at += 13;
        EXPECT_EQ(line.substr(at), "平手"_sj);

        // The heading puts each word over its column.
        const std::string title = ListTitleText(width, false, InfoColumn::Handicap);
        EXPECT_EQ(title.find("後手"_sj), 1 + width);
        EXPECT_EQ(title.find("戦型"_sj), at - 13);
        EXPECT_EQ(title.find("手合い"_sj), at);
    }
}

TEST_F(GameListLineTest, TournamentModesGameNumberAndUnknownNames) {
    ListLineData data;
    ListDisplay display;
    display.subTournaments = true;
    GameHeader e = Entry(1);
    e.gameNumber = 0;
    std::string line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_EQ(line.substr(25, 13), "七番勝負     "_sj);
    EXPECT_EQ(line.substr(38, 3), "   ");
    e.subTournament = 0;  // sub-tournament mode shows nothing without both numbers
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_EQ(line.substr(25, 13), std::string(13, ' '));
    // A number no master row has shows its number; player 0 of a classic store is unregistered.
    e.sentePlayer = 0;
    e.gotePlayer = 77;
    e.tournament = 9;
    display.subTournaments = false;
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_EQ(line.substr(1, 12), "(未登録)    "_sj);
    EXPECT_EQ(line.substr(13, 12), "[#77]       ");
    EXPECT_EQ(line.substr(25, 13), "[#9]         ");
    // In the extended kind the detail record names player 0.
    data.extended = true;
    data.senteName = "山田花子"_sj;
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_EQ(line.substr(1, 12), "山田花子    "_sj);
}

TEST_F(GameListLineTest, InformationColumnForms) {
    GameHeader e = Entry(1);
    e.handicap = 3;
    ListLineData data;
    ListDisplay display;
    std::string line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_TRUE(line.ends_with(HandicapName(3))) << line;
    EXPECT_EQ(InfoColumnOf(e, display, false), InfoColumn::Handicap);

    e.positionHit = 5;
    data.hitLine = "006* ▲２四歩"_sj;
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_TRUE(line.ends_with("▲２四歩"_sj));
    data.hitLine = "999  終局"_sj;
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_TRUE(line.ends_with(" 終局"_sj)) << line;
    EXPECT_EQ(InfoColumnOf(e, display, false), InfoColumn::Move);

    // Ratings only where the store keeps them.
    display.ratings = true;
    data.senteRating = 1850;
    data.goteRating = -5;
    EXPECT_TRUE(FormatListLine(e, data, tables.view(), display, kListNameWidth).ends_with("終局"_sj));
    data.extended = true;
    line = FormatListLine(e, data, tables.view(), display, kListNameWidth);
    EXPECT_TRUE(line.ends_with("1850   -5")) << line;
    EXPECT_EQ(InfoHeaderWord(InfoColumnOf(e, display, true)), "ﾚｰﾃｨﾝｸﾞ"_sj);
}

TEST(GameListMatchedMoveTest, HandicapGamesCountTheirEmptyFirstSlot) {
    GameHeader e;
    EXPECT_EQ(MatchedMove(e), -1);
    e.positionHit = 0;
    EXPECT_EQ(MatchedMove(e), 0);
    e.positionHit = 7;
    EXPECT_EQ(MatchedMove(e), 7);
    e.handicap = 2;
    EXPECT_EQ(MatchedMove(e), 6);
    e.positionHit = 1;  // the starting position of a handicap game
    EXPECT_EQ(MatchedMove(e), 0);
}

TEST(GameListPagingTest, PagesAtTheEndsOfTheCatalogue) {
    ListPaging p;
    p.count = 20;
    EXPECT_EQ(p.scrollMax(), 0u);
    EXPECT_EQ(p.rowsOnPage(), 20u);
    EXPECT_FALSE(p.NextPage());
    p.count = 21;
    EXPECT_EQ(p.scrollMax(), 1u);
    EXPECT_TRUE(p.NextPage());
    EXPECT_EQ(p.pageStart, 21u);
    EXPECT_EQ(p.rowsOnPage(), 1u);
    EXPECT_FALSE(p.NextPage());
    EXPECT_TRUE(p.PreviousPage());
    EXPECT_FALSE(p.PreviousPage());
    EXPECT_EQ(ListPaging::ScrollMax(0), 0u);

    // 41 games: three pages, the last with one game.
    p.count = 41;
    p.pageStart = 1;
    ListMove m = MoveInList(p, 19, ListKey::Down);  // last row of a full page: next page
    EXPECT_TRUE(m.handled);
    EXPECT_EQ(p.pageStart, 21u);
    EXPECT_EQ(m.row, 0);
    m = MoveInList(p, 5, ListKey::Down);  // within the page: the list box's own move
    EXPECT_FALSE(m.handled);
    m = MoveInList(p, 0, ListKey::Up);  // first row: the previous page's last row
    EXPECT_TRUE(m.handled);
    EXPECT_EQ(p.pageStart, 1u);
    EXPECT_EQ(m.row, 19);
    m = MoveInList(p, 0, ListKey::Up);  // first row of the first page: nothing
    EXPECT_FALSE(m.handled);
    EXPECT_EQ(p.pageStart, 1u);
    m = MoveInList(p, 3, ListKey::End);
    EXPECT_EQ(p.pageStart, 41u);
    EXPECT_EQ(m.row, 0);
    EXPECT_EQ(p.rowsOnPage(), 1u);
    m = MoveInList(p, 0, ListKey::Down);  // last row of the last page
    EXPECT_FALSE(m.handled);
    m = MoveInList(p, 0, ListKey::PageDown);
    EXPECT_FALSE(m.pageChanged);
    EXPECT_EQ(p.pageStart, 41u);
    m = MoveInList(p, 0, ListKey::PageUp);
    EXPECT_TRUE(m.pageChanged);
    EXPECT_EQ(p.pageStart, 21u);
    MoveInList(p, 0, ListKey::Home);
    EXPECT_EQ(p.pageStart, 1u);

    // A full last page: Down on its last row does nothing special.
    p.count = 40;
    p.LastPage();
    EXPECT_EQ(p.pageStart, 21u);
    EXPECT_FALSE(MoveInList(p, 19, ListKey::Down).handled);
    EXPECT_EQ(p.pageStart, 21u);

    // Deleting the only game of the last page moves back a page.
    p.count = 41;
    p.LastPage();
    p.count = 40;
    p.KeepWithinCount();
    EXPECT_EQ(p.pageStart, 21u);
    p.count = 0;
    p.KeepWithinCount();
    EXPECT_EQ(p.pageStart, 1u);
}

TEST_F(GameListLineTest, SelectedGameLineReadsBackByPosition) {
    GameHeader e = Entry(123456);
    e.positionHit = 42;
    e.handicap = 5;
    e.result = 6;
    e.opening = 17;
    e.gameNumber = 7;
    const std::string names = "12345678901234567890123456";  // longer than 24: cut by bytes
    const std::string line = SelectedGameLine(e, names, "羽生善治"_sj, tables.view());
    ASSERT_EQ(line.size(), 152u);
    EXPECT_EQ(line.substr(0, 9), "123456   ");
    EXPECT_EQ(line.substr(9, 24), names.substr(0, 24));
    EXPECT_EQ(line.substr(33, 24), PadOrCut("羽生善治"_sj, 24));
    EXPECT_EQ(line.substr(57, 20), PadOrCut("名人戦"_sj, 20));
    EXPECT_EQ(line.substr(77, 20), PadOrCut("七番勝負"_sj, 20));
    EXPECT_EQ(line.substr(97, 14), "2024年04月10日"_sj);
    const auto parsed = ParseSelectedGameLine(line);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->recordNumber, 123456u);
    EXPECT_EQ(parsed->positionHit, 42);
    EXPECT_EQ(parsed->handicap, 5);
    EXPECT_EQ(parsed->result, 6);
    EXPECT_EQ(parsed->opening, 17);
    EXPECT_EQ(parsed->gameNumber, 7);

    e.positionHit = -1;
    EXPECT_EQ(SelectedGameLine(e, "", "", tables.view()).substr(145, 3), "000");
    e.positionHit = 0;
    EXPECT_EQ(SelectedGameLine(e, "", "", tables.view()).substr(145, 3), "000");
    EXPECT_FALSE(ParseSelectedGameLine(line.substr(0, 151)).has_value());
    std::string broken = line;
    broken[146] = 'x';
    EXPECT_FALSE(ParseSelectedGameLine(broken).has_value());
}

TEST_F(GameListLineTest, PagesReadMoveCountsNamesAndHitMovesFromTheStore) {
    const fs::path idx = dir / "games.idx";
    const GameStore store = testing::MakeListStore(idx, 23, true, [](int i, testing::ListGameRecipe& g) {
        g.moves = 10 + i;
        if (i == 2) g.index.setHandicap(1);  // the placeholder slot does not count as a move
        if (i == 3) g.detail.setSenteName("山田花子"_sj);
        g.detail.setSenteRating(std::int16_t(1500 + i));
        g.detail.setGoteRating(std::int16_t(1400 + i));
    });
    GameCatalogue catalogue;
    ASSERT_EQ(LoadCatalogue(store, catalogue).loaded, 23u);
    catalogue.at(3).positionHit = 4;                         // game 4: the move after move 4
    catalogue.at(4).positionHit = 400;                       // past its end: 終局
    testing::RecordingPrompter prompter;
    ListDisplay display;
    ListPage page = FillListPage(store, catalogue.entries(), 1, tables.view(), display, prompter);
    ASSERT_TRUE(page.opened);
    ASSERT_EQ(page.lines.size(), 20u);
    EXPECT_EQ(page.data[0].moveCount, 11);
    EXPECT_EQ(page.data[1].moveCount, 12);
    EXPECT_EQ(page.data[2].senteName, "山田花子"_sj);
    EXPECT_EQ(page.lines[0].substr(1, 12), "(未登録)    "_sj);  // player 0, no name kept
    EXPECT_EQ(page.lines[2].substr(1, 12), "山田花子    "_sj);
    EXPECT_EQ(page.data[0].senteRating, 1501);
    EXPECT_EQ(page.data[3].hitLine.substr(0, 3), "005");
    EXPECT_TRUE(page.lines[4].ends_with("終局"_sj));
    EXPECT_EQ(page.info, InfoColumn::Handicap);

    page = FillListPage(store, catalogue.entries(), 21, tables.view(), display, prompter);
    EXPECT_EQ(page.lines.size(), 3u);
    display.ratings = true;
    page = FillListPage(store, catalogue.entries(), 21, tables.view(), display, prompter);
    EXPECT_TRUE(page.lines[0].ends_with("1521 1421")) << page.lines[0];
    EXPECT_TRUE(prompter.shown.empty());

    fs::remove(idx.parent_path() / "games.kif");
    page = FillListPage(store, catalogue.entries(), 1, tables.view(), display, prompter);
    EXPECT_FALSE(page.opened);
    EXPECT_TRUE(page.lines.empty());
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0], "Reset Error! No.01");
}

}  // namespace
}  // namespace movra
