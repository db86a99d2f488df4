// Whole-store jobs: sorting, removing identical games, merging stores and distributed data,
// with failures and stops at every step of the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "core/text/sjis_literal.h"
#include "core/maintenance/store_merge.h"
#include "core/maintenance/store_sort.h"
#include "core/store/comments.h"
#include "core/store/open_store.h"
#include "core/store/store_copy.h"
#include "maintenance_test_support.h"
#include "support/recording_prompter.h"

// Games are written with designated initializers that name only the fields a test cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace movra {
namespace {

using namespace movra::literals;
using namespace movra::maintenance;
using testing::GameRecipe;
using testing::RecordingPrompter;
using testing::StoredGames;
using testing::TempFolder;
namespace fs = std::filesystem;

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// (date, sente) of every game, in store order.
std::vector<std::pair<std::uint32_t, int>> DatesAndSente(const GameStore& store) {
    std::vector<std::pair<std::uint32_t, int>> out;
    std::uint32_t count = 0;
    ReadGameCount(store, count);
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord r;
        ReadIndexRecord(store, k, r);
        out.emplace_back(r.dateValue(), r.sentePlayer());
    }
    return out;
}

class MaintenanceTest : public ::testing::Test {
protected:
    void NewFolder() {
        folder_ = std::make_unique<TempFolder>();
        dir = folder_->path();
    }
    std::unique_ptr<TempFolder> folder_ = std::make_unique<TempFolder>();
    fs::path dir = folder_->path();
    RecordingPrompter prompter;
};

// Seven games: two of one day whose sente numbers are 5 and 3; three of another day equal in
// header, of which the second stops after move 120 of the first's 130 and the third repeats the
// first; and two identical games of a third day.
std::vector<GameRecipe> SortAndDuplicateGames() {
    std::vector<GameRecipe> g(7);
    g[0] = {.year = 2004, .month = 5, .day = 1, .sente = 5, .seed = 1, .comment = "one"};
    g[1] = {.year = 2004, .month = 5, .day = 1, .sente = 3, .seed = 2, .comment = "two"};
    g[2] = {.year = 2003, .sente = 1, .seed = 3, .length = 130, .comment = "A"};
    g[3] = {.year = 2003, .sente = 1, .seed = 3, .length = 130, .cutAt = 120, .comment = "B"};
    g[4] = {.year = 2006, .seed = 4, .comment = "C"};
    g[5] = {.year = 2006, .seed = 4, .comment = "D"};
    g[6] = {.year = 2003, .sente = 1, .seed = 3, .length = 130, .comment = "E"};
    return g;
}

TEST_F(MaintenanceTest, SortingOrdersByDateThenPlayersAndRemovingSameGamesKeepsTheFirstOfEach) {
    GameStore store = testing::MakeStore(dir / "d.ipx", StoreKind::Extended, SortAndDuplicateGames());
    const std::vector<std::string> games = StoredGames(store);
    ASSERT_EQ(games.size(), 7u);

    ASSERT_TRUE(SortStore(store, SortOrder::Descending, prompter).ok);
    using P = std::pair<std::uint32_t, int>;
    EXPECT_EQ(DatesAndSente(store), (std::vector<P>{{20060101, 0}, {20060101, 0}, {20040501, 3}, {20040501, 5},
                                                   {20030101, 1}, {20030101, 1}, {20030101, 1}}));
    // Every game moved whole, with its comments; equal keys keep their order.
    std::vector<std::string> sorted = StoredGames(store);
    EXPECT_EQ(Sorted(sorted), Sorted(games));
    EXPECT_EQ(sorted[0], games[4]);
    EXPECT_EQ(sorted[4], games[2]);
    EXPECT_EQ(sorted[6], games[6]);
    EXPECT_FALSE(CheckSorted(store).sorted == false);

    ASSERT_TRUE(SortStore(store, SortOrder::Ascending, prompter).ok);
    EXPECT_EQ(DatesAndSente(store), (std::vector<P>{{20030101, 1}, {20030101, 1}, {20030101, 1}, {20040501, 3},
                                                   {20040501, 5}, {20060101, 0}, {20060101, 0}}));
    EXPECT_FALSE(CheckSorted(store).sorted);
    EXPECT_EQ(CheckSorted(store).oldest, 20030101u);

    const RewriteResult r = RemoveSameGames(store, SortOrder::Descending, prompter);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.removed, 2u);
    EXPECT_EQ(store.recordCount, 5u);
    // The game that differs at move 121 stays; the repeats of A and C go.
    EXPECT_EQ(StoredGames(store), (std::vector<std::string>{games[4], games[1], games[0], games[2], games[3]}));
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(store.files.IndexPath(), count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 5u);
    // D's and E's comments (numbers 11-14) were released: the lowest free number is 11 again.
    const CommentWriteResult next = AllocateCommentNumber(store, prompter);
    EXPECT_EQ(next.number, 11);
    // Nothing left to remove: the store is not rewritten.
    const auto before = testing::FolderBytes(dir);
    EXPECT_EQ(RemoveSameGames(store, SortOrder::Descending, prompter).removed, 0u);
    EXPECT_EQ(testing::FolderBytes(dir), before);
    EXPECT_TRUE(prompter.texts().empty()) << prompter.texts().front();
}

// Runs a job on fresh copies of the stores `make` writes, with the file layer failing at each
// step in turn, then stopping the process at each step. A failure before the new files are in
// place leaves every file of the open store byte for byte as it was; one after (removing the
// journal or the old files) leaves the finished store. A stop leaves a store that opens with the
// old or the new games.
void EveryStepOfAJob(const std::function<GameStore(const fs::path&)>& make,
                     const std::function<void(GameStore&, RecordWriter&)>& job) {
    TempFolder pristine;
    const GameStore made = make(pristine.path());
    const fs::path index = made.files.IndexPath().filename();
    const auto fresh = [&](const TempFolder& folder) {
        for (const auto& e : fs::directory_iterator(pristine.path())) fs::copy_file(e.path(), folder.path() / e.path().filename());
        return GameStore(folder.path() / index, made.kind, made.recordCount);
    };
    const std::vector<std::string> before = StoredGames(made);
    std::vector<std::string> after;
    long steps = 0;
    {
        TempFolder folder;
        GameStore store = fresh(folder);
        testing::FailingAtStep counting;
        job(store, counting);
        after = StoredGames(store);
        steps = counting.steps;
    }
    ASSERT_NE(before, after);
    ASSERT_GE(steps, 8);
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE("step " + std::to_string(n) + " of " + std::to_string(steps));
        TempFolder folder;
        GameStore store = fresh(folder);
        const auto files = testing::FolderBytes(folder.path());
        testing::FailingAtStep failing;
        failing.failAt = n;
        try {
            job(store, failing);
        } catch (const StoreIoError&) {
        }
        const auto now = testing::FolderBytes(folder.path());
        bool same = true;
        for (const auto& [name, bytes] : files) same = same && now.count(name) && now.at(name) == bytes;
        if (!same) {
            RecordingPrompter opening;
            std::uint32_t count = 0;
            ASSERT_EQ(ValidateStore(store.files.IndexPath(), count, opening), StoreCheck::Extended);
            EXPECT_EQ(StoredGames(GameStore(store.files.IndexPath(), StoreKind::Extended, count)), after)
                << "a store that changed is the finished one";
        }
        for (const auto& [name, bytes] : now) {
            EXPECT_TRUE(files.count(name) || name.find_first_of("$~") != std::string::npos) << name;
        }
    }
    for (long n = 1; n <= steps; ++n) {
        SCOPED_TRACE("stopped at step " + std::to_string(n));
        TempFolder folder;
        GameStore store = fresh(folder);
        testing::StoppingWithoutSync stopping;
        stopping.stopAt = n;
        try {
            job(store, stopping);
        } catch (const testing::ProcessStopped&) {
        }
        RecordingPrompter opening;
        std::uint32_t count = 0;
        ASSERT_EQ(ValidateStore(store.files.IndexPath(), count, opening), StoreCheck::Extended);
        const std::vector<std::string> found = StoredGames(GameStore(store.files.IndexPath(), StoreKind::Extended, count));
        EXPECT_TRUE(found == before || found == after);
    }
}

TEST_F(MaintenanceTest, ASortOrAMergeThatFailsOrStopsAtAnyStepLeavesTheStoreWhole) {
    const auto makeOne = [](const fs::path& d) {
        std::vector<GameRecipe> g = SortAndDuplicateGames();
        g[2].length = 300;  // with an overflow part
        g.resize(5);
        return testing::MakeStore(d / "d.ipx", StoreKind::Extended, g);
    };
    EveryStepOfAJob(makeOne, [](GameStore& store, RecordWriter& layer) {
        SilentPrompter quiet;
        SortStore(store, SortOrder::Descending, quiet, layer);
    });
    const auto makeTwo = [&](const fs::path& d) {
        std::vector<GameRecipe> other = SortAndDuplicateGames();
        other[5].length = 280;
        testing::MakeStore(d / "o.ipx", StoreKind::Extended, {other[5], other[6], other[0]});
        return makeOne(d);
    };
    EveryStepOfAJob(makeTwo, [](GameStore& store, RecordWriter& layer) {
        SilentPrompter quiet;
        MergeStores(store, store.files.folder() / "o.ipx", MergeKind::Complete, SortOrder::Descending, quiet, nullptr,
                    layer);
    });
}

TEST_F(MaintenanceTest, MergingStoresWithDisagreeingMasterTablesKeepsEveryNameAndComment) {
    // The open store's tables: 1 羽生善治, 2 谷川浩司; 名人戦; 矢倉. The other store's: 1 谷川浩司,
    // 2 森内俊之; 竜王戦 with 決勝; 1 四間飛車, 2 矢倉.
    PlayerTable players, otherPlayers;
    players.SetEntry(1, 'A', "羽生善治"_sj, "ハブヨシハル"_sj);
    players.SetEntry(2, 'A', "谷川浩司"_sj, "タニガワコウジ"_sj);
    otherPlayers.SetEntry(1, 'A', "谷川 浩司"_sj, "タニガワコウジ"_sj);
    otherPlayers.SetEntry(2, 'A', "森内俊之"_sj, "モリウチトシユキ"_sj);
    TournamentTable tournaments, otherTournaments;
    tournaments.MutableRow(0) = {1, 1, std::string("名人戦"_sj)};
    otherTournaments.MutableRow(0) = {1, 1, std::string("竜王戦"_sj)};
    otherTournaments.MutableSubRow(1, 0) = {1, 1, std::string("決勝"_sj)};
    OpeningTable openings, otherOpenings;
    openings.MutableRow(0) = {1, 1, std::string("矢倉"_sj)};
    otherOpenings.MutableRow(0) = {1, 1, std::string("四間飛車"_sj)};
    otherOpenings.MutableRow(1) = {2, 2, std::string("矢倉"_sj)};
    const fs::path dat = dir / "dat";
    fs::create_directories(dat);
    ASSERT_TRUE(players.Write(dat) && tournaments.Write(dat) && openings.Write(dat));

    GameStore store = testing::MakeStore(dir / "d.ipx", StoreKind::Extended,
                                         {{.year = 2001, .sente = 1, .gote = 2, .tournament = 1, .opening = 1,
                                           .seed = 11, .comment = "mine"}});
    testing::MakeStore(dir / "o.ipx", StoreKind::Extended,
                       {{.year = 2002, .sente = 1, .gote = 2, .tournament = 1, .subTournament = 1, .opening = 2,
                         .seed = 12, .comment = "theirs"},
                        {.year = 2003, .sente = 2, .gote = 0, .opening = 1, .seed = 13, .length = 300, .comment = "long"}});
    const std::vector<std::string> mine = StoredGames(store);
    MasterMerge masters{&otherPlayers, &otherTournaments, &otherOpenings, &players, &tournaments, &openings, dat};

    const MergeResult r = MergeStores(store, dir / "o.ipx", MergeKind::Merge, SortOrder::Ascending, prompter, &masters);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.added, 2u);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{
                                    ConfirmMergeText(PathText(dir / "d.ipx"), PathText(dir / "o.ipx")),
                                    std::string("\rファイル合併が終わりました。"_sj)}));
    // The master files now hold the names the other store brought.
    PlayerTable readPlayers;
    TournamentTable readTournaments;
    OpeningTable readOpenings;
    ASSERT_TRUE(readPlayers.Load(dat, false));
    readTournaments.Load(dat, prompter);
    readOpenings.Load(dat, prompter);
    const auto name = [&](int n) { return RemoveSpaces(readPlayers.DisplayName(n)); };
    std::vector<std::string> rows;
    std::uint32_t count = 0;
    ReadGameCount(store, count);
    ASSERT_EQ(count, 3u);
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord x;
        ReadIndexRecord(store, k, x);
        rows.push_back(name(x.sentePlayer()) + "/" + name(x.gotePlayer()) + "/" +
                       RemoveSpaces(readTournaments.DisplayName(x.tournament())) + "/" +
                       RemoveSpaces(readTournaments.SubDisplayName(x.tournament(), x.subTournament())) + "/" +
                       RemoveSpaces(readOpenings.DisplayName(x.opening())));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"羽生善治/谷川浩司/名人戦//矢倉"_sj, "谷川浩司/森内俊之/竜王戦/決勝/矢倉"_sj,
                                              "森内俊之/(未登録)///四間飛車"_sj}));
    // Comments follow their games; the long game keeps all its moves.
    const std::vector<std::string> merged = StoredGames(store);
    EXPECT_EQ(merged[0], mine[0]);
    EXPECT_NE(merged[1].find("|opening theirs|"), std::string::npos);
    EXPECT_NE(merged[1].find("move theirs"), std::string::npos);
    EXPECT_NE(merged[2].find("|opening long|"), std::string::npos);
    TKifData back;
    IndexRecord third;
    ReadIndexRecord(store, 3, third);
    EXPECT_EQ(ReadGameMoves(store, 3, third.overflowNumber(), 0, true, 0, back, prompter).lines.size(), 301u);

    // A classic store is not concatenated onto an extended one; nor is the store onto itself.
    testing::MakeStore(dir / "c.idx", StoreKind::Classic, {{.seed = 5}});
    prompter.shown.clear();
    const auto files = testing::FolderBytes(dir);
    EXPECT_FALSE(MergeStores(store, dir / "c.idx", MergeKind::Concatenate, SortOrder::Descending, prompter).ok);
    EXPECT_FALSE(MergeStores(store, dir / "D.IPX", MergeKind::Merge, SortOrder::Descending, prompter).ok);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"接合する棋譜ファイルが壊れているか、\r読み取り専用ファイルのため使用できません。"_sj,
                                        "\r同一ファイルの合併はできません！"_sj}));
    EXPECT_EQ(testing::FolderBytes(dir), files);
}

TEST_F(MaintenanceTest, DistributedDataReplacesTheStoresGamesFromItsOldestDayOn) {
    GameStore store = testing::MakeStore(dir / "d.idx", StoreKind::Classic,
                                         {{.year = 2004, .month = 6, .day = 15, .seed = 1},
                                          {.year = 2004, .month = 5, .day = 1, .seed = 2},
                                          {.year = 2004, .month = 4, .day = 1, .seed = 3},
                                          {.year = 2004, .month = 3, .day = 31, .seed = 4},
                                          {.year = 2004, .month = 1, .day = 10, .seed = 5}});
    // The distribution, classic with a long game (its overflow part copied from an extended store).
    const GameStore source = testing::MakeStore(dir / "src.ipx", StoreKind::Extended,
                                                {{.year = 2004, .month = 6, .day = 30, .seed = 6, .length = 300},
                                                 {.year = 2004, .month = 4, .day = 1, .seed = 7}});
    SilentPrompter quiet;
    ASSERT_TRUE(CopyStore(GameStore(source.files.IndexPath(), StoreKind::Classic, 2), dir / "dist.idx", false, quiet).ok);
    const std::vector<std::string> before = StoredGames(store);
    const std::vector<std::string> dist = StoredGames(GameStore(dir / "dist.idx", StoreKind::Classic, 2));

    // An unsorted open store is refused.
    ASSERT_TRUE(CheckStoreSortedForDistribution(store, prompter));
    prompter.answers = {Answer::No};
    EXPECT_FALSE(MergeDistributedData(store, dir / "dist.idx", prompter).ok);
    EXPECT_EQ(StoredGames(store), before);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("配布データ日付： 平成16/04/01 ～ 平成16/06/30"_sj), std::string::npos);

    prompter.shown.clear();
    const MergeResult r = MergeDistributedData(store, dir / "dist.idx", prompter);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(StoredGames(store), (std::vector<std::string>{dist[0], dist[1], before[3], before[4]}));
    EXPECT_EQ(prompter.texts().back(), std::string("\r配布データ併合処理が終わりました。"_sj));
    TKifData back;
    IndexRecord first;
    ReadIndexRecord(store, 1, first);
    EXPECT_EQ(ReadGameMoves(store, 1, first.overflowNumber(), 0, true, 0, back, prompter).lines.size(), 301u);

    // A distribution reaching back before the store's oldest game leaves only its own games.
    GameStore again = testing::MakeStore(dir / "e.idx", StoreKind::Classic, {{.year = 2004, .month = 5, .seed = 8}});
    ASSERT_TRUE(MergeDistributedData(again, dir / "dist.idx", prompter).ok);
    EXPECT_EQ(StoredGames(again), dist);
    // An unsorted distribution is refused.
    ASSERT_TRUE(SortStore(again, SortOrder::Ascending, prompter).ok);
    prompter.shown.clear();
    EXPECT_FALSE(MergeDistributedData(store, dir / "e.idx", prompter).ok);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"配布データがソートされていません。\r\r（"_sj +
                                                         PathText(dir / "e.idx") + "）"_sj});
}

}  // namespace
}  // namespace movra
