// Writing games into another store: moves, times, headers and comments come out the same, in
// catalogue order, appended or in a store made anew; long games get overflow numbers of the
// target's own.
#include "core/store/store_copy.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "core/store/store_appender.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::TempFolder;

struct Planned {
    int handicap = 0;
    int length = 0;
    std::vector<std::pair<int, std::string>> comments;  // move record → text
};

// Appends random games with times and comments through one session.
void MakeSource(const GameStore& store, const std::vector<Planned>& plan, Prompter& prompter) {
    std::mt19937 rng(5);
    StoreAppender appender(store, prompter);
    for (std::size_t g = 0; g < plan.size(); ++g) {
        TKifData record;
        while (testing::PlayRandomGame(rng, plan[g].handicap, plan[g].length, record) != plan[g].length) {
        }
        for (int i = 1; i <= record.moveCount; ++i) record.moves[std::size_t(i)].consumedTime = std::uint16_t(i * 3 + g);
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(record, moves, info);
        IndexRecord index;
        index.setHandicap(std::uint16_t(plan[g].handicap));
        index.setSentePlayer(std::uint16_t(10 + g));
        index.setYear(std::uint16_t(2000 + g));
        index.setResult(1);
        DetailRecord detail;
        detail.setClosingTime(std::uint16_t(70 + g));
        std::vector<StoreAppender::GameComment> comments;
        for (const auto& [move, text] : plan[g].comments) comments.push_back({move, text, {}});
        appender.AppendGame(index, moves, detail, info, record.moveCount, plan[g].handicap, comments);
    }
    appender.Commit();
}

// Everything a reader sees of game k: index words but the overflow number, moves with their
// times and comments, the opening and closing comments and the closing time.
std::string Dump(const GameStore& store, long k) {
    RecordingPrompter prompter;
    IndexRecord index;
    if (!ReadIndexRecord(store, std::uint32_t(k), index)) return "no index record";
    std::ostringstream out;
    for (int w = 0; w < 16; ++w) {
        if (w != indexword::kOverflow) out << index.word(w) << ' ';
    }
    TKifData record;
    ReadGameMoves(store, k, index.overflowNumber(), index.handicap(), true, 0, record, prompter);
    for (int m = 1; m <= record.moveCount; ++m) {
        const MoveRecord& r = record.moves[std::size_t(m)];
        out << '\n' << r.moveCode().str() << ' ' << r.consumedTime << ' '
            << ReadComment(store, r.commentFile, r.commentRecord, prompter);
    }
    DetailRecord detail;
    ReadDetailRecord(store, k, detail, prompter);
    out << "\nopening " << ReadComment(store, detail.openingCommentFile(), detail.openingCommentNumber(), prompter)
        << "\nclosing " << ReadComment(store, detail.closingCommentFile(), detail.closingCommentNumber(), prompter)
        << ' ' << detail.closingTime() << ' ' << detail.moveCount();
    return out.str();
}

class StoreCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateStoreFiles(dir / "source.idx", true));
        source = GameStore(dir / "source.idx", StoreKind::Extended);
        MakeSource(source,
                   {{0, 40, {{0, "開始局面の解説"_sj}, {5, "ここが分岐点"_sj}, {41, "終局後の感想"_sj}}},
                    {0, 300, {{260, "長い将棋の終盤"_sj}, {1, "初手"_sj}}},
                    {3, 30, {{2, "角落ちの定跡"_sj}}}},
                   prompter);
        std::uint32_t count = 0;
        ASSERT_EQ(ValidateStore(dir / "source.idx", count, prompter), StoreCheck::Extended);
        source.recordCount = count;
        ASSERT_EQ(count, 3u);
        // The catalogue order 3, 1, 2 with games 3 and 2 marked.
        catalogue = {GameHeader{}, GameHeader{}, GameHeader{}};
        catalogue[0].recordNumber = 3;
        catalogue[0].selectionMark = 1;
        catalogue[1].recordNumber = 1;
        catalogue[2].recordNumber = 2;
        catalogue[2].selectionMark = 1;
    }
    GameStore Target(const char* name) {
        std::uint32_t count = 0;
        EXPECT_EQ(ValidateStore(dir / name, count, prompter), StoreCheck::Extended);
        return GameStore(dir / name, StoreKind::Extended, count);
    }

    TempFolder dir;
    GameStore source;
    RecordingPrompter prompter;
    std::vector<GameHeader> catalogue;
};

TEST_F(StoreCopyTest, MarkedGamesGoToANewStoreInCatalogueOrderAndReadBackTheSame) {
    const StoreCopyResult r = CopyCatalogueGames(source, catalogue, true, dir / "copy.idx", false, prompter);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.copied, 2u);
    const GameStore target = Target("copy.idx");
    ASSERT_EQ(target.recordCount, 2u);
    // The dumps hold what is compared: comments of moves, of the end and past the first record.
    ASSERT_NE(Dump(source, 3).find("角落ちの定跡"_sj), std::string::npos);
    ASSERT_NE(Dump(source, 2).find("長い将棋の終盤"_sj), std::string::npos);
    ASSERT_NE(Dump(source, 1).find("closing 終局後の感想 70"_sj), std::string::npos);
    EXPECT_EQ(Dump(target, 1), Dump(source, 3));
    EXPECT_EQ(Dump(target, 2), Dump(source, 2));
    IndexRecord index;
    ASSERT_TRUE(ReadIndexRecord(target, 2, index));
    EXPECT_EQ(index.overflowNumber(), 1) << "the long game has the target's first overflow number";
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(StoreCopyTest, AppendingKeepsTheTargetsGamesAndOverwritingReplacesThem) {
    ASSERT_TRUE(CopyCatalogueGames(source, catalogue, true, dir / "copy.idx", false, prompter).ok);
    const StoreCopyResult all = CopyCatalogueGames(source, catalogue, false, dir / "copy.ipx", true, prompter);
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_EQ(all.targetCount, 5u);
    GameStore target = Target("copy.idx");
    ASSERT_EQ(target.recordCount, 5u);
    EXPECT_EQ(Dump(target, 1), Dump(source, 3));
    EXPECT_EQ(Dump(target, 2), Dump(source, 2));
    EXPECT_EQ(Dump(target, 3), Dump(source, 3));
    EXPECT_EQ(Dump(target, 4), Dump(source, 1));
    EXPECT_EQ(Dump(target, 5), Dump(source, 2));
    IndexRecord second;
    ASSERT_TRUE(ReadIndexRecord(target, 5, second));
    EXPECT_EQ(second.overflowNumber(), 2) << "a second long game takes the next number";

    // Overwriting: only the copied games remain, and none of the old comments.
    const StoreCopyResult again = CopyStore(source, dir / "copy.idx", false, prompter);
    ASSERT_TRUE(again.ok) << again.error;
    target = Target("copy.idx");
    ASSERT_EQ(target.recordCount, 3u);
    for (long k = 1; k <= 3; ++k) EXPECT_EQ(Dump(target, k), Dump(source, k));
    const CommentCheckResult check = CheckComments(target, dir.path(), prompter);
    EXPECT_EQ(check.errors, 0);
    EXPECT_EQ(check.references, 4);  // the move comments; opening and closing ones live in the detail records
}

TEST_F(StoreCopyTest, TheStoreItselfIsNoTarget) {
    const StoreCopyResult r = CopyCatalogueGames(source, catalogue, false, dir / "SOURCE.ipx", true, prompter);
    EXPECT_FALSE(r.ok);
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(dir / "source.idx", count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 3u);
}

TEST_F(StoreCopyTest, AFailedOverwriteLeavesTheTargetAsItWas) {
    ASSERT_TRUE(CopyCatalogueGames(source, catalogue, true, dir / "copy.idx", false, prompter).ok);
    const GameStore before = Target("copy.idx");
    const std::string first = Dump(before, 1), second = Dump(before, 2);
    const std::vector<std::uint8_t> comments0 = testing::FileBytes(before.files.Path(ext::CommentFile(0)));

    // Game 9 is not in the source: the copy stops after writing games 1 and 2 anew.
    const std::uint32_t games[] = {1, 2, 9};
    const StoreCopyResult r = CopyGames(source, games, dir / "copy.ipx", false, prompter);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.copied, 0u);
    const GameStore after = Target("copy.idx");
    ASSERT_EQ(after.recordCount, 2u);
    EXPECT_EQ(Dump(after, 1), first);
    EXPECT_EQ(Dump(after, 2), second);
    EXPECT_EQ(testing::FileBytes(after.files.Path(ext::CommentFile(0))), comments0);
    // Nothing of the attempt is left beside it.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.starts_with("source.") || name.starts_with("copy.")) << name;
    }
}

TEST_F(StoreCopyTest, AProcessStoppedAnywhereInAnOverwriteLeavesTheOldOrTheNewTarget) {
    // An extended target with long games and comments, overwritten by a classic store: in
    // between, the target must never read as classic with the old games, nor miss a file.
    ASSERT_TRUE(CreateStoreFiles(dir / "classic.idx", false));
    const GameStore classic(dir / "classic.idx", StoreKind::Classic, 0);
    MakeSource(classic, {{0, 50, {}}, {0, 20, {}}}, prompter);
    const GameStore classicSource(dir / "classic.idx", StoreKind::Classic, 2);
    const std::vector<std::uint32_t> both = {2, 1};

    const auto makeOldTarget = [&](const std::string& name) {
        EXPECT_TRUE(CopyStore(source, dir / (name + ".ipx"), false, prompter).ok);
        return GameStore(dir / (name + ".idx"), StoreKind::Extended, 3);
    };
    const std::vector<std::string> oldGames = testing::StoredGames(makeOldTarget("probe"));
    testing::StoppingFiles counting;
    ASSERT_TRUE(CopyGames(classicSource, both, dir / "probe.idx", false, prompter, counting).ok);
    const std::vector<std::string> newGames =
        testing::StoredGames(GameStore(dir / "probe.idx", StoreKind::Classic, 2));
    ASSERT_EQ(newGames.size(), 2u);
    ASSERT_GE(counting.steps, 10);

    int oldSeen = 0, newSeen = 0;
    for (long stopAt = 1; stopAt <= counting.steps; ++stopAt) {
        SCOPED_TRACE("stopped at step " + std::to_string(stopAt));
        const std::string name = "t" + std::to_string(stopAt);
        makeOldTarget(name);
        testing::StoppingFiles files;
        files.stopAt = stopAt;
        EXPECT_THROW(CopyGames(classicSource, both, dir / (name + ".idx"), false, prompter, files),
                     testing::ProcessStopped);
        RecordingPrompter opening;
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStore(dir / (name + ".idx"), count, opening);
        if (check == StoreCheck::Extended) {
            ++oldSeen;
            EXPECT_TRUE(testing::StoredGames(GameStore(dir / (name + ".idx"), StoreKind::Extended, count)) == oldGames);
        } else {
            ++newSeen;
            ASSERT_EQ(check, StoreCheck::Classic);
            EXPECT_TRUE(testing::StoredGames(GameStore(dir / (name + ".idx"), StoreKind::Classic, count)) == newGames);
            EXPECT_FALSE(std::filesystem::exists(dir / (name + ".cp0")));
        }
        EXPECT_FALSE(std::filesystem::exists(dir / (name + ".jn$"))) << "the opening finished the journal";
    }
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

TEST_F(StoreCopyTest, AStoreOfTheOtherKindIsNotAppendedTo) {
    ASSERT_TRUE(CreateStoreFiles(dir / "classic.idx", false));
    const StoreCopyResult r = CopyStore(source, dir / "classic.idx", true, prompter);
    EXPECT_FALSE(r.ok);
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(dir / "classic.idx", count, prompter), StoreCheck::Classic);
    EXPECT_EQ(count, 0u);
}

TEST_F(StoreCopyTest, TheCommandLineCopiesChosenGamesAndRefusesWhatTheListRefuses) {
    const std::string from = (dir / "source.ipx").string();
    auto r = testing::RunCli({"copy", from, (dir / "picked").string(), "--games", "3,1-2"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("picked.ipx に出力しました。"), std::string::npos) << r.out;
    GameStore target = Target("picked.idx");
    ASSERT_EQ(target.recordCount, 3u);
    EXPECT_EQ(Dump(target, 1), Dump(source, 3));
    EXPECT_EQ(Dump(target, 3), Dump(source, 2));
    // An existing target is appended to, or with --overwrite made anew.
    ASSERT_EQ(testing::RunCli({"copy", from, (dir / "picked.ipx").string(), "--games", "2"}).status, 0);
    EXPECT_EQ(Target("picked.idx").recordCount, 4u);
    ASSERT_EQ(testing::RunCli({"copy", from, (dir / "picked.ipx").string(), "--overwrite"}).status, 0);
    target = Target("picked.idx");
    ASSERT_EQ(target.recordCount, 3u);
    EXPECT_EQ(Dump(target, 1), Dump(source, 1));

    r = testing::RunCli({"copy", from, (dir / "other.idx").string()}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ファイル名が正しくありません！"), std::string::npos) << r.out;
    r = testing::RunCli({"copy", from, (dir / "SOURCE").string()}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("指定したファイルは現在使用中です！"), std::string::npos) << r.out;
    EXPECT_EQ(testing::RunCli({"copy", from, (dir / "x").string(), "--games", "4"}).status, 1);
    EXPECT_EQ(testing::RunCli({"copy", from, (dir / "x").string(), "--games", "2-1"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "other.idx"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.idx"));
}

// A classic store holding a long game copied from elsewhere: slots 257 on in its overflow file.
TEST(StoreCopyClassicTest, LongGamesKeepAllTheirMovesInANewClassicStore) {
    TempFolder dir;
    RecordingPrompter prompter;
    ASSERT_TRUE(CreateStoreFiles(dir / "old.idx", false));
    GameStore source(dir / "old.idx", StoreKind::Classic);
    std::mt19937 rng(11);
    std::vector<MoveBytes> played;
    for (int length : {20, 300, 280}) {
        TKifData record;
        while (testing::PlayRandomGame(rng, 0, length, record) != length) {
        }
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(record, moves, info);
        IndexRecord index;
        index.setYear(std::uint16_t(1990 + length));
        StoreAppender appender(source, prompter);
        const WrittenGame w = appender.WriteGame(index, moves, kAppendGame, false);
        ASSERT_TRUE(w.ok);
        appender.Commit();
        if (moves.usesOverflow()) {
            const int n = AllocateOverflowNumber(source, prompter);
            ASSERT_GT(n, 0);
            ASSERT_TRUE(WriteGameData(source, long(w.recordNumber), n, moves));
            index.setOverflowNumber(std::uint16_t(n));
            ASSERT_TRUE(WriteIndexRecord(source, w.recordNumber, index));
        }
        played.push_back(moves);
    }
    source.recordCount = 3;
    // Game 2 is left out so that game 3's overflow number changes from 2 to 1.
    const std::uint32_t games[] = {3, 1};
    StoreCopyResult r = CopyGames(source, games, dir / "new", false, prompter);
    ASSERT_TRUE(r.ok) << r.error;
    r = CopyStore(source, dir / "new.IDX", true, prompter);
    ASSERT_TRUE(r.ok) << r.error;
    std::uint32_t count = 0;
    ASSERT_EQ(ValidateStore(dir / "new.idx", count, prompter), StoreCheck::Classic);
    ASSERT_EQ(count, 5u);
    const GameStore target(dir / "new.idx", StoreKind::Classic, count);
    EXPECT_TRUE(target.files.Exists(ext::kOverflowGameData));
    EXPECT_TRUE(target.files.Exists(ext::kMoveInfoOverflow));
    const std::size_t from[] = {2, 0, 0, 1, 2};
    const int overflow[] = {1, 0, 0, 2, 3};
    for (std::uint32_t k = 1; k <= 5; ++k) {
        IndexRecord index;
        ASSERT_TRUE(ReadIndexRecord(target, k, index));
        EXPECT_EQ(index.overflowNumber(), overflow[k - 1]) << "game " << k;
        MoveBytes moves;
        ASSERT_TRUE(ReadGameData(target, long(k), index.overflowNumber(), moves));
        EXPECT_TRUE(moves.bytes == played[from[k - 1]].bytes) << "game " << k;
    }
    TKifData record;
    IndexRecord index;
    ASSERT_TRUE(ReadIndexRecord(target, 4, index));
    ReadGameMoves(target, 4, index.overflowNumber(), 0, false, 0, record, prompter);
    EXPECT_EQ(record.moveCount, 300);
    EXPECT_TRUE(prompter.texts().empty());
}

}  // namespace
}  // namespace movra
