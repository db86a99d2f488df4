// movra-cli's maintenance commands driven one after another on real stores.
#include <gtest/gtest.h>

#include "core/maintenance/store_sort.h"
#include "core/store/open_store.h"
#include "core/maintenance/maintenance_test_support.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace movra {
namespace {

using testing::GameRecipe;
using testing::RunCli;
using testing::StoredGames;
namespace fs = std::filesystem;

// A game of the given year and players, its moves from `seed`, with an opening comment.
GameRecipe Game(int year, int sente, int gote, unsigned seed, const char* comment) {
    GameRecipe g;
    g.year = year;
    g.sente = sente;
    g.gote = gote;
    g.seed = seed;
    g.comment = comment;
    return g;
}

TEST(MaintenanceCliTest, MergeSortDedupeConvertBackupAndReplaceAPlayer) {
    testing::TempFolder dir;
    const std::string a = (dir / "a.ipx").string(), b = (dir / "b.ipx").string();
    // The second store holds a game of its own and a copy of the first store's oldest.
    GameStore store = testing::MakeStore(a, StoreKind::Extended,
                                         {Game(2001, 12, 0, 1, "first of a"), Game(2005, 3, 0, 2, "second of a")});
    testing::MakeStore(b, StoreKind::Extended,
                       {Game(2003, 12, 12, 3, "first of b"), Game(2001, 12, 0, 1, "first of a")});
    const std::vector<std::string> mine = StoredGames(store);

    EXPECT_EQ(RunCli({"merge", "--help"}).status, 0);
    EXPECT_EQ(RunCli({"merge", a}).status, 2);
    // Merging sorts, newest first: 2005, 2003, 2001, 2001.
    const testing::CliResult merged = RunCli({"merge", a, b, "--merge"}, true);
    ASSERT_EQ(merged.status, 0) << merged.out;
    EXPECT_NE(merged.out.find("ファイル合併が終わりました。"), std::string::npos) << merged.out;
    store.recordCount = 4;
    std::vector<std::string> games = StoredGames(store);
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[0], mine[1]);
    EXPECT_EQ(games[2], mine[0]);
    EXPECT_EQ(games[3], mine[0]) << "the repeated game, comments and all";

    const testing::CliResult deduped = RunCli({"dedupe", a, "--ascending"}, true);
    ASSERT_EQ(deduped.status, 0) << deduped.out;
    EXPECT_NE(deduped.out.find("1件の重複棋譜を削除しました。"), std::string::npos) << deduped.out;
    EXPECT_EQ(StoredGames(GameStore(a, StoreKind::Extended, 3))[0], mine[0]);
    ASSERT_EQ(RunCli({"sort", a}).status, 0);
    EXPECT_TRUE(maintenance::CheckSorted(GameStore(a, StoreKind::Extended, 3)).sorted);

    // Player 12 is in two games (one with it on both sides); 3 is taken, 40 is free.
    EXPECT_EQ(RunCli({"replace-player", a, "12", "3"}).status, 1);
    const testing::CliResult replaced = RunCli({"replace-player", a, "12", "40"}, true);
    ASSERT_EQ(replaced.status, 0) << replaced.out;
    EXPECT_NE(replaced.out.find("2件 の棋譜の棋士番号を変換しました。"), std::string::npos) << replaced.out;

    fs::create_directories(dir / "bk");
    ASSERT_EQ(RunCli({"backup", a, (dir / "bk").string()}).status, 0);
    EXPECT_EQ(testing::FileBytes(dir / "bk" / "a.kpf"), testing::FileBytes(dir / "a.kpf"));
    EXPECT_EQ(RunCli({"backup", a, dir.path().string()}).status, 1);

    const std::string c = (dir / "c.idx").string();
    GameRecipe even = Game(2004, 0, 0, 5, ""), handicap = Game(2004, 0, 0, 6, "");
    handicap.handicap = 2;
    testing::MakeStore(c, StoreKind::Classic, {even, handicap});
    EXPECT_EQ(RunCli({"convert-store", a}).status, 1) << "already extended";
    const testing::CliResult converted = RunCli({"convert-store", c}, true);
    ASSERT_EQ(converted.status, 0) << converted.out;
    testing::RecordingPrompter quiet;
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(dir / "c.ipx", count, quiet), StoreCheck::Extended);
    EXPECT_EQ(count, 2u);
}

}  // namespace
}  // namespace movra
