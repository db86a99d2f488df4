// Deleting and exchanging games from the list, the list dump and the export file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/list/game_list_test_support.h"
#include "core/list/game_list_edit.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/catalogue.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

// The year tells the games apart: game i of the made store has year 2000 + i.
std::vector<int> StoredYears(const GameStore& store) {
    std::vector<int> years;
    std::uint32_t count = 0;
    if (!ReadGameCount(store, count)) return years;
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord r;
        if (ReadIndexRecord(store, k, r)) years.push_back(r.year() - 2000);
    }
    return years;
}

std::vector<int> CatalogueYears(const GameCatalogue& c) {
    std::vector<int> years;
    for (const GameHeader& e : c.entries()) years.push_back(e.year - 2000);
    return years;
}

class GameListEditTest : public ::testing::Test {
protected:
    testing::TempFolder dir;
    StoreSession session;
    testing::RecordingPrompter prompter;

    void Open(int games, bool extended) {
        testing::MakeListStore(dir / "games.idx", games, extended);
        ASSERT_TRUE(OpenStore(session, dir / "games.idx", true, prompter).opened);
        prompter.shown.clear();
    }
    // The record numbers must name the games the entries describe.
    void ExpectCatalogueMatchesStore() {
        for (const GameHeader& e : session.catalogue.entries()) {
            IndexRecord r;
            ASSERT_TRUE(ReadIndexRecord(session.store, e.recordNumber, r));
            EXPECT_EQ(r.year(), e.year) << "record " << e.recordNumber;
        }
    }
};

TEST_F(GameListEditTest, RemovingDeletedGamesRenumbersTheRest) {
    GameCatalogue c;
    // A search result: games 2, 5, 6, 9 of the store.
    for (std::uint32_t r : {2u, 5u, 6u, 9u}) {
        GameHeader e;
        e.recordNumber = r;
        c.at(c.count()) = e;
        c.setCount(c.count() + 1);
    }
    const std::uint32_t gone[] = {6, 3};  // game 3 is not in the list but left the store too
    RemoveDeletedGames(c, gone);
    ASSERT_EQ(c.count(), 3u);
    EXPECT_EQ(c.at(0).recordNumber, 2u);
    EXPECT_EQ(c.at(1).recordNumber, 4u);
    EXPECT_EQ(c.at(2).recordNumber, 7u);
}

TEST_F(GameListEditTest, DeletingOneGameKeepsCatalogueAndStoreInStep) {
    Open(41, true);
    const ListDeletion d = DeleteListedGame(session, 40, true, prompter, [](const fs::path&) {
        return std::optional<std::uint64_t>(1u << 30);
    });
    EXPECT_EQ(d.deleted, 1u);
    EXPECT_EQ(session.catalogue.count(), 40u);
    EXPECT_EQ(session.store.recordCount, 40u);
    // Deleting the first game moves every other game up one record.
    ASSERT_EQ(DeleteListedGame(session, 0, false, prompter).deleted, 1u);
    EXPECT_EQ(CatalogueYears(session.catalogue).front(), 2);
    EXPECT_EQ(session.catalogue.at(0).recordNumber, 1u);
    EXPECT_EQ(StoredYears(session.store), CatalogueYears(session.catalogue));
    ExpectCatalogueMatchesStore();
    // Out of range: nothing.
    EXPECT_EQ(DeleteListedGame(session, 39, false, prompter).deleted, 0u);
}

TEST_F(GameListEditTest, TooLittleFreeSpaceDeletesNothing) {
    Open(5, false);
    const auto tiny = [](const fs::path&) { return std::optional<std::uint64_t>(4096); };
    const ListDeletion d = DeleteListedGame(session, 2, true, prompter, tiny);
    EXPECT_TRUE(d.refused);
    EXPECT_EQ(d.deleted, 0u);
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0], NoSpaceToDeleteMessage());
    EXPECT_EQ(session.catalogue.count(), 5u);
    EXPECT_EQ(StoredYears(session.store).size(), 5u);
    session.catalogue.at(1).selectionMark = 1;
    EXPECT_TRUE(DeleteMarkedGames(session, prompter, tiny).refused);
    EXPECT_EQ(session.catalogue.count(), 5u);
}

TEST_F(GameListEditTest, DeletingMarkedGamesOfANarrowedCatalogue) {
    Open(12, false);
    // Narrow the catalogue to the even games, then mark games 4 and 10.
    GameCatalogue& c = session.catalogue;
    std::uint32_t n = 0;
    for (std::uint32_t p = 0; p < c.count(); ++p) {
        if (c.at(p).recordNumber % 2 == 0) c.at(n++) = c.at(p);
    }
    c.setCount(n);
    c.at(1).selectionMark = 1;  // game 4
    c.at(4).selectionMark = 1;  // game 10
    EXPECT_EQ(CountMarked(c.entries()), 2u);
    const ListDeletion d = DeleteMarkedGames(session, prompter, [](const fs::path&) {
        return std::optional<std::uint64_t>(1u << 30);
    });
    EXPECT_EQ(d.deleted, 2u);
    EXPECT_EQ(CatalogueYears(c), (std::vector<int>{2, 6, 8, 12}));
    EXPECT_EQ(StoredYears(session.store), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 11, 12}));
    ExpectCatalogueMatchesStore();
    EXPECT_EQ(CountMarked(c.entries()), 0u);
}

TEST_F(GameListEditTest, QuestionsNameThePlayers) {
    EXPECT_EQ(DeleteOneQuestion("羽生善治            "_sj, "a永瀬拓矢王座"_sj),
              "「羽生善治」 x 「a永瀬拓矢王」 の\r 棋譜を削除します！\r\rよろしいですか？"_sj);
    EXPECT_EQ(DeleteMarkedQuestion(3), "選択された 3個の棋譜を削除します。\r\rよろしいですか？"_sj);
}

TEST_F(GameListEditTest, SwappingNeighboursMovesTheGamesNotTheRecordNumbers) {
    Open(4, true);
    EXPECT_FALSE(SwapListedGames(session, 0, true));
    EXPECT_FALSE(SwapListedGames(session, 3, false));
    ASSERT_TRUE(SwapListedGames(session, 1, false));  // games 2 and 3
    EXPECT_EQ(CatalogueYears(session.catalogue), (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(session.catalogue.at(1).recordNumber, 2u);
    EXPECT_EQ(session.catalogue.at(2).recordNumber, 3u);
    EXPECT_EQ(StoredYears(session.store), CatalogueYears(session.catalogue));
    ASSERT_TRUE(SwapListedGames(session, 1, true));
    EXPECT_EQ(CatalogueYears(session.catalogue), (std::vector<int>{3, 1, 2, 4}));
    ExpectCatalogueMatchesStore();
}

TEST_F(GameListEditTest, ListDumpWritesEveryEntryWithWideNames) {
    Open(3, false);
    const ListDisplay display;
    const std::vector<std::string> lines = ListDumpLines(session, display);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 8), "     No.");
    EXPECT_EQ(lines[0].substr(8, 1 + 28), " " + PadOrCut("先手"_sj, 14) + PadOrCut("後手"_sj, 14));
    EXPECT_EQ(lines[2].substr(0, 9), "       2 ");
    EXPECT_EQ(lines[2].substr(9, 14), PadOrCut("(未登録)"_sj, 14));
    for (const std::string& line : lines) EXPECT_LE(line.size(), 9u + 120u);

    ASSERT_TRUE(WriteListDump(session, display, dir.path(), prompter));
    std::ifstream in(dir / "Ichiran.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text, lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3] + "\r\n");
    EXPECT_EQ(prompter.texts().back(), "\rIchiran.txtを出力しました。"_sj);

    session.catalogue.setCount(0);
    EXPECT_FALSE(WriteListDump(session, display, dir.path(), prompter));
}

TEST_F(GameListEditTest, ListPrintingFiftyEntriesAPage) {
    Open(101, false);
    const auto pages = ListPrintPages(session, ListDisplay{});
    ASSERT_EQ(pages.size(), 3u);
    // The first page opens with one more empty line than the others.
    ASSERT_EQ(pages[0].size(), 5u + 50u);
    ASSERT_EQ(pages[1].size(), 4u + 50u);
    ASSERT_EQ(pages[2].size(), 4u + 1u);
    EXPECT_EQ(pages[0][3].text.substr(0, 8), "     No.");
    EXPECT_FALSE(pages[0][3].entry);
    EXPECT_EQ(pages[1][2].text, pages[0][3].text);
    EXPECT_TRUE(pages[0][5].entry);
    EXPECT_EQ(pages[0][5].text.substr(0, 9), "       1 ");
    EXPECT_EQ(pages[2][4].text.substr(0, 9), "     101 ");
    // The names start under the heading's first word.
    EXPECT_EQ(pages[0][3].text.find("先手"_sj), 9u);
    EXPECT_EQ(pages[0][5].text.substr(9, 12), PadOrCut("(未登録)"_sj, 12));
}

TEST_F(GameListEditTest, ExportTexts) {
    EXPECT_EQ(ExportProgressText(2, 9), "( 2 / 9 )");
    EXPECT_EQ(ExportMarkedQuestion(4), "選択された 4個の棋譜を変換します。\r\rよろしいですか？"_sj);
}

// A game held outside the list follows its record through deletions (one at a time and marked
// sets, each numbered as the store was at that moment) and exchanges; a deleted game has no
// number, and a new game's number beyond the store moves down with the store's end.
TEST(RecordRenumbering, FollowsGamesThroughDeletionsAndExchanges) {
    RecordRenumbering r;
    EXPECT_TRUE(r.empty());
    EXPECT_EQ(r.Follow(5), 5u);
    const std::uint32_t marked[] = {5, 3, 3};
    r.Deleted(marked);  // of 1..8: 3 and 5 go
    EXPECT_TRUE(r.anyDeleted());
    const std::uint32_t expected[] = {0, 1, 2, 0, 3, 0, 4, 5, 6, 7};
    for (std::uint32_t n = 1; n <= 9; ++n) EXPECT_EQ(r.Follow(n), expected[n]) << n;
    r.Exchanged(2, 4);  // the old 6 is 4 now, and goes to 2
    EXPECT_EQ(r.Follow(6), 2u);
    EXPECT_EQ(r.Follow(2), 4u);
    EXPECT_EQ(r.Follow(7), 5u);
    const std::uint32_t one[] = {2};
    r.Deleted(one);  // the old 6 goes; the old 2 (now 4) moves to 3
    EXPECT_EQ(r.Follow(6), 0u);
    EXPECT_EQ(r.Follow(2), 3u);
    EXPECT_EQ(r.Follow(9), 6u);
    RecordRenumbering swaps;
    swaps.Exchanged(1, 2);
    swaps.Exchanged(2, 3);
    EXPECT_FALSE(swaps.anyDeleted());
    EXPECT_EQ(swaps.Follow(1), 3u);
    EXPECT_EQ(swaps.Follow(3), 2u);
}

}  // namespace
}  // namespace movra
