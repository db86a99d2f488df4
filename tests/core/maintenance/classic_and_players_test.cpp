// The classic store's conversion to the extended kind, the player-number jobs and backups.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/maintenance/backup.h"
#include "core/maintenance/classic_conversion.h"
#include "core/maintenance/player_numbers.h"
#include "core/store/open_store.h"
#include "maintenance_test_support.h"
#include "support/recording_prompter.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace movra {
namespace {

using namespace movra::literals;
using namespace movra::maintenance;
using testing::GameRecipe;
using testing::RecordingPrompter;
using testing::TempFolder;
namespace fs = std::filesystem;

// The move codes of game k as the main window would load them.
std::vector<std::string> MoveCodes(const GameStore& store, std::uint32_t k, TKifData& record) {
    SilentPrompter quiet;
    IndexRecord index;
    ReadIndexRecord(store, k, index);
    const GameMoves g = ReadGameMoves(store, long(k), index.overflowNumber(), index.handicap(), false, 0, record, quiet);
    EXPECT_FALSE(g.damaged);
    std::vector<std::string> codes;
    for (int m = 1; m <= record.moveCount; ++m) {
        const auto& c = record.moves[std::size_t(m)].code;
        codes.emplace_back(c.begin(), c.end());
    }
    return codes;
}

TEST(ClassicConversionTest, TenThousandGamesKeepEveryMoveAndHeaderField) {
    TempFolder dir;
    // A pool of games of every length up to 250 moves, even and handicap, stored over and over
    // with headers of their own.
    std::vector<GameRecipe> pool;
    for (int i = 0; i < 60; ++i) {
        pool.push_back({.handicap = i % 5 == 0 ? 1 + i % 14 : 0, .seed = unsigned(100 + i), .length = 1 + i * 4});
    }
    std::vector<MoveBytes> poolMoves;
    for (const GameRecipe& g : pool) poolMoves.push_back(testing::MovesOf(g));
    ASSERT_TRUE(CreateStoreFiles(dir / "c.idx", false));
    GameStore store(dir / "c.idx", StoreKind::Classic);
    {
        SilentPrompter quiet;
        StoreAppender appender(store, quiet);
        for (std::uint32_t k = 1; k <= 10000; ++k) {
            const std::size_t p = (k * 7) % pool.size();
            IndexRecord index;
            index.setSentePlayer(std::uint16_t(k % 3));  // 0: unregistered, 1 a player, 2 no entry
            index.setGotePlayer(std::uint16_t((k / 3) % 3));
            index.setTournament(std::uint16_t(k % 100));
            index.setGameNumber(std::uint16_t(k % 7));
            index.setYear(std::uint16_t(1950 + k % 70));
            index.setMonth(std::uint16_t(1 + k % 12));
            index.setDay(std::uint16_t(1 + k % 28));
            index.setOpening(std::uint16_t(k % 90));
            index.setResult(std::uint16_t(k % 9));
            index.setHandicap(std::uint16_t(pool[p].handicap));
            index.setSubTournament(std::uint16_t(k % 11));
            appender.WriteGame(index, poolMoves[p], kAppendGame, false);
            if (appender.CommitDue()) appender.Commit();
        }
        appender.Commit();
    }
    store.recordCount = 10000;
    PlayerTable players;
    players.SetEntry(1, 'A', "大山康晴"_sj, "オオヤマヤスハル"_sj);

    std::vector<IndexRecord> indexBefore(10001);
    std::vector<std::vector<std::string>> movesBefore(10001);
    TKifData record;
    for (std::uint32_t k = 1; k <= 10000; ++k) {
        ReadIndexRecord(store, k, indexBefore[k]);
        movesBefore[k] = MoveCodes(store, k, record);
    }

    RecordingPrompter prompter;
    const Conversion c = ConvertToExtended(store, players, prompter);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.games, 10000u);
    EXPECT_EQ(c.damaged, 0u);
    EXPECT_GE(prompter.progressCalls, 100);
    std::uint32_t count = 0;
    ASSERT_EQ(ValidateStore(dir / "c.ipx", count, prompter), StoreCheck::Extended);
    ASSERT_EQ(count, 10000u);
    EXPECT_TRUE(prompter.texts().empty());
    const StoreReader reader(store);
    const std::string names[3] = {"(未登録)"_sj, "大山康晴"_sj, "[#2]"};
    for (std::uint32_t k = 1; k <= 10000; ++k) {
        SCOPED_TRACE(k);
        IndexRecord index;
        ASSERT_TRUE(ReadIndexRecord(store, k, index));
        ASSERT_EQ(index, indexBefore[k]);
        ASSERT_EQ(MoveCodes(store, k, record), movesBefore[k]);
        DetailRecord detail;
        MoveInfo info;
        ASSERT_TRUE(reader.ReadDetailRecord(long(k), detail));
        ASSERT_TRUE(reader.ReadMoveInfo(long(k), 0, info));
        EXPECT_EQ(detail.senteName(), names[index.sentePlayer()]);
        EXPECT_EQ(detail.goteName(), names[index.gotePlayer()]);
        EXPECT_EQ(detail.moveCount(), movesBefore[k].size());
        EXPECT_EQ(detail.tournament(), index.tournament());
        EXPECT_EQ(detail.gameNumber(), index.gameNumber());
        EXPECT_EQ(detail.opening(), index.opening());
        EXPECT_EQ(detail.result(), index.result());
        EXPECT_EQ(detail.handicap(), index.handicap());
        EXPECT_EQ(detail.subTournament(), index.subTournament());
        EXPECT_EQ(detail.openingCommentNumber() + detail.closingCommentNumber() + detail.closingTime(), 0);
        // One entry a move after the placeholder's place, no times, no comments.
        const int first = index.handicap() != 0 ? 1 : 0;
        EXPECT_EQ(info.entry(0).destination == 0, first == 1 || movesBefore[k].empty());
        for (int e = 0; e < kMoveInfoEntries; ++e) {
            const bool move = e >= first && e < first + int(movesBefore[k].size());
            ASSERT_EQ(info.entry(e).destination != 0, move) << e;
            ASSERT_EQ(info.consumedTime(e) + info.commentNumber(e), 0);
        }
    }
    // The store opens as extended and a conversion is not offered twice.
    EXPECT_FALSE(ConvertToExtended(store, players, prompter).ok);
    EXPECT_EQ(prompter.texts().back(), NoClassicStoreText());
}

TEST(ClassicConversionTest, AnEmptyStoreOrAStoppedConversionLeavesAWholeStore) {
    TempFolder dir;
    PlayerTable players;
    RecordingPrompter prompter;
    ASSERT_TRUE(CreateStoreFiles(dir / "e.idx", false));
    GameStore empty(dir / "e.idx", StoreKind::Classic);
    ASSERT_TRUE(ConvertToExtended(empty, players, prompter).ok);
    std::uint32_t count = 9;
    EXPECT_EQ(ValidateStore(dir / "e.ipx", count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 0u);

    GameStore store = testing::MakeStore(dir / "s.idx", StoreKind::Classic,
                                         std::vector<GameRecipe>(150, GameRecipe{.seed = 3}));
    const auto before = testing::FolderBytes(dir.path());
    prompter.stopAt = true;
    prompter.progressEnds = 0;
    EXPECT_FALSE(ConvertToExtended(store, players, prompter).ok);
    EXPECT_EQ(testing::FolderBytes(dir.path()), before) << "nothing of the conversion stays";
    EXPECT_EQ(prompter.progressEnds, 1);
}

TEST(PlayerNumbersTest, NumbersAreFilledFromNamesAndReplacedInEveryGame) {
    TempFolder dir;
    GameStore store = testing::MakeStore(dir / "p.ipx", StoreKind::Extended,
                                         {{.sente = 0, .gote = 5, .seed = 1},
                                          {.sente = 12, .gote = 3, .seed = 2},
                                          {.sente = 0, .gote = 0, .seed = 3},
                                          {.sente = 4, .gote = 12, .seed = 4},
                                          {.sente = 1, .gote = 2, .seed = 5},
                                          {.sente = 1, .gote = 2, .seed = 6},
                                          {.sente = 12, .gote = 12, .seed = 7}});
    // Names in the detail records of games 1 and 3: one registered (written with a blank), one not.
    SilentPrompter quiet;
    for (const auto& [k, sente, gote] : {std::tuple<int, std::string, std::string>{1, "羽生 善治"_sj, ""},
                                          std::tuple<int, std::string, std::string>{3, "谷川浩司"_sj, "升田幸三"_sj}}) {
        DetailRecord d;
        ReadDetailRecord(store, k, d, quiet);
        d.setSenteName(sente);
        d.setGoteName(gote);
        ASSERT_TRUE(WriteDetailRecord(store, k, d, quiet));
    }
    PlayerTable players;
    players.SetEntry(7, 'A', "羽生善治"_sj, "ハブ"_sj);
    players.SetEntry(8, 'A', "谷川　浩司"_sj, "タニガワ"_sj);
    RecordingPrompter prompter;
    const IndexRewrite set = SetPlayerNumbersFromNames(store, players, prompter);
    ASSERT_TRUE(set.ok);
    EXPECT_EQ(set.changed, 2u);
    IndexRecord r;
    ReadIndexRecord(store, 1, r);
    EXPECT_EQ(r.sentePlayer() * 1000 + r.gotePlayer(), 7 * 1000 + 5);
    ReadIndexRecord(store, 3, r);
    EXPECT_EQ(r.sentePlayer() * 1000 + r.gotePlayer(), 8 * 1000 + 0);
    EXPECT_EQ(SetFromNamesDoneText(set.changed), "\r2 件のデータを更新しました。"_sj);

    EXPECT_EQ(CountGamesOfPlayer(store, 12), 3u);
    EXPECT_EQ(CountGamesOfPlayer(store, 34), 0u);
    const IndexRewrite replaced = ReplacePlayerNumber(store, 12, 34, prompter);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(replaced.changed, 3u) << "game 7 with 12 on both sides counts once";
    ReadIndexRecord(store, 7, r);
    EXPECT_EQ(r.sentePlayer() * 1000 + r.gotePlayer(), 34 * 1000 + 34);
    EXPECT_EQ(CountGamesOfPlayer(store, 12), 0u);
    EXPECT_EQ(ReplacedNumbersText(3), "\r3件 の棋譜の棋士番号を変換しました。"_sj);
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(store.files.IndexPath(), count, prompter), StoreCheck::Extended);
    EXPECT_TRUE(prompter.texts().empty());

    // The dialog's checks, each naming the field that gets the focus.
    EXPECT_EQ(CheckPlayerNumberPair("", "3").field, 1);
    EXPECT_EQ(CheckPlayerNumberPair("3", " ").message, "\r変更後棋士番号を入力してください。"_sj);
    EXPECT_EQ(CheckPlayerNumberPair("1000", "3").field, 1);
    EXPECT_EQ(CheckPlayerNumberPair("3", "x").message, "\r1～999の数字を入力してください。"_sj);
    EXPECT_EQ(CheckPlayerNumberPair("3", "3").message, "\r変更前と変更後は別の数字を入力してください。"_sj);
    const PlayerNumberPair good = CheckPlayerNumberPair("12", "034");
    EXPECT_EQ(std::tuple(good.field, good.from, good.to), std::tuple(0, 12, 34));
}

TEST(BackupTest, TheStoreAndTheMasterFilesAreCopiedWhenThereIsRoom) {
    TempFolder dir;
    fs::create_directories(dir / "store");
    const GameStore store = testing::MakeStore(dir / "store" / "b.ipx", StoreKind::Extended,
                                               {{.seed = 1, .comment = "x"}, {.seed = 2}});
    testing::TouchFile(dir / "store" / "b.cp$", "working");
    testing::TouchFile(dir / "store" / "other.idx", "not ours");
    const fs::path target = dir / "backup";
    fs::create_directories(target);
    RecordingPrompter prompter;

    const std::vector<fs::path> files = StoreBackupFiles(store.files);
    std::vector<std::string> names;
    for (const fs::path& p : files) names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"b.cp0", "b.idx", "b.ipx", "b.kif", "b.kpf"}));
    const std::uint64_t required = BackupRequiredBytes(files);
    EXPECT_EQ(required % 1024, 0u);

    // Too little room: nothing is copied.
    EXPECT_EQ(BackupStore(store.files, target, prompter, [](const fs::path&) { return std::optional<std::uint64_t>(5000); }),
              BackupOutcome::Refused);
    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"バックアップ先の容量が足りません！\r\r約 "_sj +
                                                         std::to_string(required / 1000) + "KB の空き容量が必要です！"_sj});
    // The store's own folder is refused.
    EXPECT_EQ(BackupStore(store.files, dir / "store" / ".", prompter), BackupOutcome::Refused);

    prompter.shown.clear();
    ASSERT_EQ(BackupStore(store.files, target, prompter), BackupOutcome::Done);
    for (const fs::path& p : files) EXPECT_EQ(testing::FileBytes(target / p.filename()), testing::FileBytes(p));
    EXPECT_FALSE(fs::exists(target / "b.cp$"));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"\r棋譜のバックアップが終わりました！"_sj});
    // Again: asked before the earlier backup is overwritten; cancelling keeps it.
    prompter.answers = {Answer::Cancel};
    EXPECT_EQ(BackupStore(store.files, target, prompter), BackupOutcome::Cancelled);

    const fs::path dat = dir / "dat";
    for (const char* name : {"Ksname.dat", "Movra.dat", "Senkei.dat"}) testing::TouchFile(dat / name, name);
    prompter.shown.clear();
    EXPECT_EQ(BackupDatFiles(dat, target, prompter), BackupOutcome::Done);
    EXPECT_EQ(testing::FileBytes(target / "Movra.dat").size(), 9u);
    EXPECT_EQ(BackupDatFiles(dat, dat, prompter), BackupOutcome::Refused);
    prompter.answers = {Answer::Yes};
    EXPECT_EQ(BackupDatFiles(dat, target, prompter), BackupOutcome::Done);
    EXPECT_EQ(prompter.texts().front(), "\rＤＡＴファイルのバックアップが終わりました！"_sj);
    EXPECT_EQ(prompter.texts()[2], "バックアップ先に同名のＤＡＴファイルがあります。\r\r上書きしてよろしいですか？"_sj);
}

}  // namespace
}  // namespace movra
