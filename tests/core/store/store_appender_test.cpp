// The store's append session: a store written by one session is the store written game by game
// through WriteGame, the comments and WriteGameDetail; a commit writes in the store's order with
// the header count last and a handful of writes for many games; a write that fails anywhere in a
// commit leaves the store as it was before the commit, and the session goes on from there.
#include "core/store/store_appender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
namespace fs = std::filesystem;

constexpr const char* kStoreFiles[] = {".idx", ".kif", ".kf2", ".ipx", ".kpf",
                                       ".kp2", ".cp0", ".cp1", ".cp2"};

// One game to store: its moves, header records and comments by move record.
struct SampleGame {
    std::unique_ptr<TKifData> record = std::make_unique<TKifData>();
    IndexRecord index;
    DetailRecord detail;
    std::vector<std::pair<int, std::string>> comments;  // in move order
};

// Games of every shape the append path meets: short and long (past slot 256, so with an
// overflow number), even and handicap, with comments on the starting position, on moves, after
// the last move, and texts longer than a slot.
std::vector<SampleGame> MakeGames(unsigned start, int count) {
    std::mt19937 rng(start);
    std::vector<SampleGame> games(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SampleGame& g = games[static_cast<std::size_t>(i)];
        const int handicap = i % 4 == 1 ? 1 + i % 9 : 0;
        const int length = i % 3 == 0 ? 300 + i * 7 % 200 : 20 + i * 13 % 120;
        testing::PlayRandomGame(rng, handicap, length, *g.record);
        for (int m = 1; m <= g.record->moveCount; ++m) {
            g.record->moves[static_cast<std::size_t>(m)].consumedTime = static_cast<std::uint16_t>(m * 3);
        }
        g.index.setHandicap(static_cast<std::uint16_t>(handicap));
        g.index.setYear(static_cast<std::uint16_t>(1990 + i));
        g.index.setResult(static_cast<std::uint16_t>(1 + i % 2));
        g.detail.setSenteName("先手"_sj + std::to_string(i));
        const int n = g.record->moveCount;
        if (i % 2 == 0) g.comments.push_back({0, "opening " + std::to_string(i)});
        for (int m = 1; m <= n; m += 1 + (i + m) % 9) {
            g.comments.push_back({m, m % 5 == 0 ? std::string(300, 'x') : "move " + std::to_string(m)});
        }
        if (i % 3 != 1 && n < kMaxMoves) g.comments.push_back({n + 1, "closing " + std::to_string(i)});
    }
    return games;
}

// Comment file 0 all but full, so that a handful of comments runs over into comment file 1.
void FillCommentFileZero(const GameStore& store, int leaveFree) {
    CommentBitmap bitmap = CommentBitmap::Fresh();
    for (int n = 1; n <= kMaxCommentNumber - leaveFree; ++n) bitmap.Set(n);
    RecordFile file;
    ASSERT_TRUE(file.Open(store.files.Path(".cp0"), kCommentRecordSize, RecordFile::Access::ReadWrite));
    ASSERT_TRUE(file.Write(0, bitmap.bytes.data()));
}

// Game by game as the board saves one: WriteGame, the comments through the working comment
// file, WriteGameDetail.
void SaveGameByGame(const GameStore& store, SampleGame& g, Prompter& prompter) {
    TKifData& record = *g.record;
    IndexRecord index = g.index;
    MoveBytes moves;
    MoveInfo info;
    ASSERT_EQ(FillMoveBuffers(record, moves, info), record.moveCount);
    ASSERT_TRUE(WriteGame(store, index, moves, kAppendGame, false, prompter).ok);
    ASSERT_TRUE(CreateWorkingCommentFile(store, prompter));
    for (auto& [move, text] : g.comments) {
        record.moves[static_cast<std::size_t>(move)].workingComment = static_cast<std::uint8_t>(
            WriteComment(store, kWorkingCommentFile, 0, text, prompter).number);
    }
    DetailRecord detail = g.detail;
    SaveGameComments(store, record, {}, 0, detail, info, prompter);
    for (auto& [move, text] : g.comments) record.moves[static_cast<std::size_t>(move)].workingComment = 0;
    detail.CopyIndexWords(index);
    ASSERT_TRUE(WriteGameDetail(store, detail, info, kAppendGame, false).ok);
}

// The same game through a session.
StoreAppender::AppendedGame AppendThrough(StoreAppender& appender, const SampleGame& g) {
    IndexRecord index = g.index;
    DetailRecord detail = g.detail;
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(*g.record, moves, info);
    std::vector<StoreAppender::GameComment> comments;
    for (const auto& [move, text] : g.comments) comments.push_back({move, text, {}});
    return appender.AppendGame(index, moves, detail, info, g.record->moveCount,
                               HandicapNumber(g.record->handicap), comments);
}

struct Snapshot {
    std::vector<std::vector<std::uint8_t>> files;
    bool operator==(const Snapshot&) const = default;
};
Snapshot Take(const GameStore& store) {
    Snapshot s;
    for (const char* e : kStoreFiles) {
        s.files.push_back(store.files.Exists(e) ? FileBytes(store.files.Path(e))
                                                : std::vector<std::uint8_t>{0xEE});
    }
    return s;
}
void ExpectSameFiles(const GameStore& a, const GameStore& b) {
    for (const char* e : kStoreFiles) {
        ASSERT_EQ(a.files.Exists(e), b.files.Exists(e)) << e;
        if (!a.files.Exists(e)) continue;
        EXPECT_TRUE(FileBytes(a.files.Path(e)) == FileBytes(b.files.Path(e))) << e;
    }
}

// Counts every write; fails the n-th (1-based) and any later one while `failFrom` is set.
class FailingWriter : public RecordWriter {
public:
    long failAt = 0;
    long writes = 0;
    std::vector<std::pair<std::string, std::uint64_t>> log;  // extension, byte offset
    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
               std::size_t size) override {
        ++writes;
        log.push_back({file.path().extension().string(), offset});
        if (failAt != 0 && writes >= failAt) return false;
        return RecordWriter::Write(file, offset, bytes, size);
    }
};

class StoreAppenderTest : public ::testing::Test {
protected:
    GameStore MakeStore(const std::string& name) {
        EXPECT_TRUE(CreateStoreFiles(dir / (name + ".ipx"), true));
        return GameStore(dir / (name + ".idx"), StoreKind::Extended);
    }
    TempFolder dir;
    RecordingPrompter prompter;
};

TEST_F(StoreAppenderTest, OneSessionWritesTheStoreThatGameByGameSavingWrites) {
    std::vector<SampleGame> games = MakeGames(5, 14);
    const GameStore single = MakeStore("single");
    const GameStore session = MakeStore("session");
    FillCommentFileZero(single, 40);
    FillCommentFileZero(session, 40);

    for (SampleGame& g : games) SaveGameByGame(single, g, prompter);
    StoreAppender appender(session, prompter);
    int appended = 0;
    for (const SampleGame& g : games) {
        const StoreAppender::AppendedGame a = AppendThrough(appender, g);
        ASSERT_TRUE(a.written.ok);
        EXPECT_EQ(a.written.recordNumber, std::uint32_t(++appended));
        if (appended % 5 == 0) appender.Commit();  // commits at odd places in between
    }
    appender.Commit();

    ASSERT_TRUE(session.files.Exists(".kp2")) << "long games took overflow numbers";
    ASSERT_TRUE(session.files.Exists(".cp1")) << "comments ran over into comment file 1";
    ExpectSameFiles(single, session);
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(session.files.Path(".ipx"), count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 14u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StoreAppenderTest, RewritingAGameInPlaceMatchesWriteGame) {
    // A long game saved again shorter gives its overflow number back, in a session as in
    // WriteGame; a header-only save keeps the moves.
    std::vector<SampleGame> games = MakeGames(9, 4);
    const GameStore a = MakeStore("a");
    const GameStore b = MakeStore("b");
    for (SampleGame& g : games) {
        SaveGameByGame(a, g, prompter);
        SaveGameByGame(b, g, prompter);
    }
    ASSERT_GT(games[0].record->moveCount, 256);
    MoveBytes shortMoves;
    MoveInfo shortInfo;
    TKifData& shorter = *games[1].record;  // a game of fewer than 256 moves
    FillMoveBuffers(shorter, shortMoves, shortInfo);

    IndexRecord ia, ib;
    ASSERT_TRUE(ReadIndexRecord(a, 1, ia));
    ASSERT_NE(ia.overflowNumber(), 0);
    ib = ia;
    ASSERT_TRUE(WriteGame(a, ia, shortMoves, 1, false, prompter).ok);
    IndexRecord headerOnly = ia;
    headerOnly.setYear(2024);
    ASSERT_TRUE(WriteGame(a, headerOnly, shortMoves, 3, true, prompter).ok);

    StoreAppender appender(b, prompter);
    ASSERT_TRUE(appender.WriteGame(ib, shortMoves, 1, false).ok);
    IndexRecord headerOnlyB = ib;
    headerOnlyB.setYear(2024);
    ASSERT_TRUE(appender.WriteGame(headerOnlyB, shortMoves, 3, true).ok);
    EXPECT_FALSE(appender.WriteGame(ib, shortMoves, 9, false).ok) << "past the end + 1";
    appender.Commit();

    EXPECT_EQ(ia.overflowNumber(), 0);
    EXPECT_EQ(ib, ia);
    ExpectSameFiles(a, b);
}

TEST_F(StoreAppenderTest, AProcessStoppedAnywhereInSavingAGameAgainLeavesTheOldGameOrTheNew) {
    // Saving stored games again in place: game 1 (long) becomes short, giving its overflow
    // number back, and game 3 (short) becomes long, taking one, each with its detail and move
    // info. Records inside the files are overwritten: only the journal can put them back.
    std::vector<SampleGame> games = MakeGames(9, 4);
    ASSERT_GT(games[0].record->moveCount, 256);
    ASSERT_LE(games[1].record->moveCount, 256);
    const auto save = [&](const GameStore& store, RecordWriter& files) {
        StoreAppender appender(store, prompter, files);
        for (const auto& [k, from] : {std::pair<long, std::size_t>{1, 1}, {3, 0}}) {
            IndexRecord index;
            ASSERT_TRUE(ReadIndexRecord(store, std::uint32_t(k), index));
            MoveBytes moves;
            MoveInfo info;
            FillMoveBuffers(*games[from].record, moves, info);
            ASSERT_TRUE(appender.WriteGame(index, moves, k, false).ok);
            DetailRecord detail = games[from].detail;
            detail.CopyIndexWords(index);
            ASSERT_TRUE(appender.WriteGameDetail(detail, info, k, false).ok);
        }
        appender.Commit();
    };
    const auto make = [&](const std::string& name) {
        const GameStore store = MakeStore(name);
        StoreAppender appender(store, prompter);
        for (const SampleGame& g : games) AppendThrough(appender, g);
        appender.Commit();
        return store;
    };
    const GameStore probe = make("probe");
    const std::vector<std::string> before = testing::StoredGames(probe);
    testing::StoppingFiles counting;
    save(probe, counting);
    const std::vector<std::string> after = testing::StoredGames(probe);
    ASSERT_NE(after, before);
    ASSERT_GE(counting.steps, 6);

    for (long stopAt = 1; stopAt <= counting.steps; ++stopAt) {
        SCOPED_TRACE("stopped at step " + std::to_string(stopAt));
        const GameStore store = make("s" + std::to_string(stopAt));
        testing::StoppingFiles files;
        files.stopAt = stopAt;
        EXPECT_THROW(save(store, files), testing::ProcessStopped);
        std::uint32_t count = 0;
        RecordingPrompter opening;
        ASSERT_EQ(ValidateStore(store.files.Path(".ipx"), count, opening), StoreCheck::Extended);
        EXPECT_TRUE(testing::StoredGames(store) == before) << "the save is taken back whole";
    }
}

TEST_F(StoreAppenderTest, NothingReachesTheDiskBeforeTheCommit) {
    const GameStore store = MakeStore("s");
    std::vector<SampleGame> games = MakeGames(3, 3);
    SaveGameByGame(store, games[0], prompter);
    const Snapshot before = Take(store);
    {
        StoreAppender appender(store, prompter);
        AppendThrough(appender, games[1]);
        AppendThrough(appender, games[2]);
        EXPECT_EQ(appender.pendingGames(), 2u);
        EXPECT_EQ(appender.gameCount(), 3u);
        EXPECT_TRUE(Take(store) == before) << "a reader still sees the store as it was";
        // The session ends without a commit: its games are dropped.
    }
    EXPECT_TRUE(Take(store) == before);
    std::uint32_t count = 0;
    ASSERT_TRUE(ReadGameCount(store, count));
    EXPECT_EQ(count, 1u);
}

TEST_F(StoreAppenderTest, ACommitWritesEachFileOnceInTheStoreOrderWithTheCountLast) {
    const GameStore store = MakeStore("s");
    std::vector<SampleGame> games = MakeGames(11, 40);
    FailingWriter writer;
    StoreAppender appender(store, prompter, writer);
    for (const SampleGame& g : games) ASSERT_TRUE(AppendThrough(appender, g).written.ok);
    const long madeOnTheWay = writer.writes;  // the overflow file made with its bitmap
    writer.log.clear();
    appender.Commit();

    // Forty games with long ones and hundreds of comments: a few writes, not hundreds.
    EXPECT_LE(writer.writes - madeOnTheWay, 40);
    std::vector<std::string> order;
    for (const auto& [e, offset] : writer.log) {
        const std::string what = e == ".idx" ? (offset == 0 ? "header" : ".idx") : e;
        if (order.empty() || order.back() != what) order.push_back(what);
    }
    // The journal before anything of the store, the count last.
    EXPECT_EQ(order, (std::vector<std::string>{".jn$", ".kif", ".kp2", ".kf2", ".idx", ".cp0", ".ipx",
                                               ".kpf", ".kp2", "header"}));
    EXPECT_FALSE(store.files.Exists(".jn$")) << "the journal goes once the count is on the disk";
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(store.files.Path(".ipx"), count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 40u);
}

TEST_F(StoreAppenderTest, AFailedWriteAnywhereInACommitLeavesTheStoreAsItWas) {
    std::vector<SampleGame> games = MakeGames(21, 12);
    // The reference: every game written without a failure.
    const GameStore reference = MakeStore("reference");
    FillCommentFileZero(reference, 30);
    {
        StoreAppender appender(reference, prompter);
        for (const SampleGame& g : games) AppendThrough(appender, g);
        appender.Commit();
    }

    // How many writes the second commit makes.
    long secondCommitWrites = 0;
    {
        const GameStore probe = MakeStore("probe");
        FillCommentFileZero(probe, 30);
        FailingWriter writer;
        StoreAppender appender(probe, prompter, writer);
        for (std::size_t i = 0; i < 4; ++i) AppendThrough(appender, games[i]);
        appender.Commit();
        for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(appender, games[i]);
        const long before = writer.writes;
        appender.Commit();
        secondCommitWrites = writer.writes - before;
    }
    ASSERT_GE(secondCommitWrites, 9);

    for (long failAt = 1; failAt <= secondCommitWrites; ++failAt) {
        SCOPED_TRACE("write " + std::to_string(failAt) + " of the commit fails");
        const GameStore store = MakeStore("s" + std::to_string(failAt));
        FillCommentFileZero(store, 30);
        FailingWriter writer;
        StoreAppender appender(store, prompter, writer);
        for (std::size_t i = 0; i < 4; ++i) AppendThrough(appender, games[i]);
        appender.Commit();
        const Snapshot committed = Take(store);

        for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(appender, games[i]);
        writer.failAt = writer.writes + failAt;
        EXPECT_THROW(appender.Commit(), StoreIoError);
        EXPECT_TRUE(Take(store) == committed) << "the store is back as it was before the commit";
        std::uint32_t count = 0;
        EXPECT_EQ(ValidateStore(store.files.Path(".ipx"), count, prompter), StoreCheck::Extended);
        EXPECT_EQ(count, 4u);
        EXPECT_EQ(appender.pendingGames(), 0u);
        EXPECT_EQ(appender.gameCount(), 4u);

        // The session goes on from its last commit.
        writer.failAt = 0;
        for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(appender, games[i]);
        appender.Commit();
        ExpectSameFiles(store, reference);
    }
}

TEST_F(StoreAppenderTest, AProcessStoppedAnywhereInACommitLeavesTheStoreOfTheLastCommit) {
    std::vector<SampleGame> games = MakeGames(31, 10);
    const GameStore reference = MakeStore("reference");
    FillCommentFileZero(reference, 30);  // the commit makes comment file 1 as well
    {
        StoreAppender appender(reference, prompter);
        for (const SampleGame& g : games) AppendThrough(appender, g);
        appender.Commit();
    }
    // The steps (writes, cuts, renames, removals) of the second of two commits.
    long secondCommitSteps = 0;
    {
        const GameStore probe = MakeStore("probe");
        FillCommentFileZero(probe, 30);
        testing::StoppingFiles files;
        StoreAppender appender(probe, prompter, files);
        for (std::size_t i = 0; i < 4; ++i) AppendThrough(appender, games[i]);
        appender.Commit();
        for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(appender, games[i]);
        const long before = files.steps;
        appender.Commit();
        secondCommitSteps = files.steps - before;
    }
    ASSERT_GE(secondCommitSteps, 10);

    for (long stopAt = 1; stopAt <= secondCommitSteps; ++stopAt) {
        SCOPED_TRACE("stopped at step " + std::to_string(stopAt) + " of the commit");
        const GameStore store = MakeStore("s" + std::to_string(stopAt));
        FillCommentFileZero(store, 30);
        std::vector<std::string> committed;
        {
            testing::StoppingFiles files;
            StoreAppender appender(store, prompter, files);
            for (std::size_t i = 0; i < 4; ++i) AppendThrough(appender, games[i]);
            appender.Commit();
            committed = testing::StoredGames(store);
            for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(appender, games[i]);
            files.stopAt = files.steps + stopAt;
            EXPECT_THROW(appender.Commit(), testing::ProcessStopped);
        }
        // The next opening finds the games of the first commit, whole, and says so once when it
        // had to put anything back.
        RecordingPrompter opening;
        std::uint32_t count = 0;
        ASSERT_EQ(ValidateStore(store.files.Path(".ipx"), count, opening), StoreCheck::Extended);
        EXPECT_EQ(count, 4u);
        EXPECT_EQ(testing::StoredGames(store), committed);
        EXPECT_LE(opening.shown.size(), 1u);
        if (stopAt > 1) {
            EXPECT_EQ(opening.texts(), std::vector<std::string>{RepairedStoreMessage(store.files.Path(".ipx"))});
        }
        opening.shown.clear();
        ASSERT_EQ(ValidateStore(store.files.Path(".ipx"), count, opening), StoreCheck::Extended);
        EXPECT_TRUE(opening.shown.empty());

        // Nothing the stopped commit had taken (overflow numbers, comment numbers, files) is
        // lost: the rest of the games go in as if it had never been.
        StoreAppender again(store, prompter);
        for (std::size_t i = 4; i < games.size(); ++i) AppendThrough(again, games[i]);
        again.Commit();
        ExpectSameFiles(store, reference);
    }
}

TEST_F(StoreAppenderTest, ALongGameWithoutAnOverflowNumberIsToldAndAnUnwritableBitmapIsAWriteFailure) {
    std::vector<SampleGame> games = MakeGames(41, 2);  // game 0 is longer than 256 slots
    ASSERT_GT(games[0].record->moveCount, 256);
    const GameStore store = MakeStore("full");
    testing::WriteFileBytes(store.files.Path(".kp2"), std::vector<std::uint8_t>(kOverflowBitmapSize, 0xFF));
    {
        StoreAppender appender(store, prompter);
        AppendThrough(appender, games[1]);
        ASSERT_TRUE(AppendThrough(appender, games[0]).written.ok);
        appender.Commit();
        EXPECT_EQ(appender.cutGames(), 1u);
    }
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{LongGameCutMessage(2)});

    // A bitmap file that is there but cannot be written: the game is not cut, the session fails.
    struct NoBitmap : RecordWriter {
        bool OpenForWriting(RecordFile& f, const fs::path& p, std::size_t n, RecordFile::Access a) override {
            return p.extension() != ".kp2" && RecordWriter::OpenForWriting(f, p, n, a);
        }
    } noBitmap;
    const GameStore other = MakeStore("locked");
    testing::WriteFileBytes(other.files.Path(".kp2"), std::vector<std::uint8_t>(kOverflowBitmapSize, 0));
    const Snapshot before = Take(other);
    prompter.shown.clear();
    StoreAppender appender(other, prompter, noBitmap);
    EXPECT_THROW(AppendThrough(appender, games[0]), StoreIoError);
    EXPECT_EQ(appender.pendingGames(), 0u);
    EXPECT_EQ(appender.cutGames(), 0u);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(Take(other) == before);
}

TEST_F(StoreAppenderTest, AFileThatCannotBeOpenedStopsTheGameBeforeAnyOfItIsKept) {
    const GameStore store = MakeStore("s");
    std::vector<SampleGame> games = MakeGames(2, 3);
    StoreAppender appender(store, prompter);
    AppendThrough(appender, games[1]);
    appender.Commit();
    const Snapshot committed = Take(store);
    AppendThrough(appender, games[2]);
    fs::remove(store.files.Path(".kpf"));
    // A new session finds the move-info file missing: nothing of the game is kept.
    StoreAppender second(store, prompter);
    EXPECT_THROW(AppendThrough(second, games[1]), StoreIoError);
    EXPECT_EQ(second.pendingGames(), 0u);
    second.Commit();
    Snapshot now = Take(store);
    EXPECT_EQ(now.files[0], committed.files[0]) << "the index file";
    EXPECT_EQ(now.files[1], committed.files[1]) << "the game-data file";
}

TEST_F(StoreAppenderTest, CommentNumbersComeLowestFirstAndFreedOnesAreHandedOutAgain) {
    const GameStore store = MakeStore("s");
    StoreAppender appender(store, prompter);
    for (int n = 1; n <= 40; ++n) EXPECT_EQ(appender.AddComment("c" + std::to_string(n)).number, n);
    const CommentRef freed[] = {{0, 7}, {0, 33}, {3, 1}, {0, 0}};
    bool failed = false;
    EXPECT_EQ(appender.ReleaseComments(freed, failed), 2);
    EXPECT_TRUE(failed) << "comment file 3 does not exist";
    EXPECT_EQ(appender.AddComment("again").number, 7);
    EXPECT_EQ(appender.AddComment("and again").number, 33);
    EXPECT_EQ(appender.AddComment("next").number, 41);
    appender.Commit();
    EXPECT_EQ(ReadComment(store, 0, 7, prompter), "again");
    EXPECT_EQ(ReadComment(store, 0, 33, prompter), "and again");
    EXPECT_EQ(ReadComment(store, 0, 40, prompter), "c40");
    EXPECT_EQ(AllocateCommentNumber(store, prompter).number, 42);
}

}  // namespace
}  // namespace movra
