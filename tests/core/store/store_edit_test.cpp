// Deleting games through rewritten files (including failures half-way), exchanging two games
// and changing the marked games' header fields.
#include <gtest/gtest.h>

#include <functional>

#include <map>
#include <memory>

#include "core/store/game_io.h"
#include "core/store/store_edit.h"
#include "core/store/comments.h"
#include "core/store/open_store.h"
#include "core/store/store_appender.h"
#include "store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
using Bytes = std::vector<std::uint8_t>;

class StoreEditTest : public ::testing::Test {
protected:
    void Make(StoreKind kind, int games, int longEvery = 0) {
        const bool extended = kind == StoreKind::Extended;
        ASSERT_TRUE(CreateStoreFiles(dir / (extended ? "d.ipx" : "d.idx"), extended));
        store = GameStore(dir / "d.idx", kind);
        // One session for all the games: a commit each would put every game on the disk alone.
        StoreAppender appender(store, prompter);
        std::mt19937 rng(42);
        for (int i = 1; i <= games; ++i) {
            TKifData game;
            const int length = longEvery && i % longEvery == 0 ? 300 : 10 + i % 30;
            while (testing::PlayRandomGame(rng, 0, length, game) < length) {
            }
            MoveBytes moves;
            MoveInfo info;
            FillMoveBuffers(game, moves, info);
            info.setCommentNumber(0, std::uint16_t(i));  // a comment on move 1 of every game
            IndexRecord index;
            index.setYear(std::uint16_t(1900 + i));
            WrittenGame w = appender.WriteGame(index, moves, kAppendGame, false);
            if (extended) {
                DetailRecord detail;
                detail.CopyIndexWords(index);
                detail.setOpeningComment(0, std::uint16_t(1000 + i));
                appender.WriteGameDetail(detail, info, long(w.recordNumber), false);
            }
        }
        appender.Commit();
        store.recordCount = std::uint32_t(games);
    }
    std::map<std::string, Bytes> Snapshot() const {
        std::map<std::string, Bytes> files;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            files[e.path().filename().string()] = FileBytes(e.path());
        }
        return files;
    }
    std::vector<int> Years() const {
        std::vector<int> years;
        std::uint32_t count = 0;
        ReadGameCount(store, count);
        for (std::uint32_t k = 1; k <= count; ++k) {
            IndexRecord r;
            ReadIndexRecord(store, k, r);
            years.push_back(r.year());
        }
        return years;
    }
    // A fresh folder for a test that makes several stores.
    void NewFolder() {
        folder_ = std::make_unique<TempFolder>();
        dir = folder_->path();
    }
    std::unique_ptr<TempFolder> folder_ = std::make_unique<TempFolder>();
    std::filesystem::path dir = folder_->path();
    GameStore store;
    RecordingPrompter prompter;
};

TEST_F(StoreEditTest, DeletingTheOnlyGameLeavesAnEmptyStore) {
    Make(StoreKind::Extended, 1);
    EXPECT_EQ(DeleteGames(store, 1, {}, 0, prompter), 1u);
    EXPECT_EQ(FileBytes(dir / "d.idx"), Bytes(32, 0));
    for (const char* name : {"d.kif", "d.ipx", "d.kpf"}) {
        EXPECT_EQ(std::filesystem::file_size(dir / name), 0u) << name;
    }
    EXPECT_EQ(store.recordCount, 0u);
    for (const char* leftover : {"d.id$", "d.ki$", "d.ip$", "d.kp$", "d.id~", "d.ki~", "d.ip~", "d.kp~"}) {
        EXPECT_FALSE(std::filesystem::exists(dir / leftover)) << leftover;
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StoreEditTest, DeletingMarkedGamesKeepsTheOthersInOrderAndReleasesWhatTheDeletedHeld) {
    Make(StoreKind::Extended, 12, 4);  // games 4, 8 and 12 have overflow numbers 1, 2, 3
    std::vector<GameHeader> catalogue(12);
    for (std::uint32_t k = 1; k <= 12; ++k) catalogue[k - 1].recordNumber = k;
    for (std::uint32_t k : {2u, 4u, 12u}) catalogue[k - 1].selectionMark = 1;
    std::vector<std::pair<int, int>> released;  // opening comment, move-1 comment
    DeleteOptions options;
    options.releaseComments = [&](const DetailRecord& d, const MoveInfo& info) {
        released.emplace_back(d.openingCommentNumber(), info.commentNumber(0));
    };
    IndexRecord game8;
    ReadIndexRecord(store, 8, game8);
    EXPECT_EQ(game8.overflowNumber(), 2);

    EXPECT_EQ(DeleteGames(store, 0, catalogue, 3, prompter, options), 3u);
    EXPECT_EQ(Years(), (std::vector<int>{1901, 1903, 1905, 1906, 1907, 1908, 1909, 1910, 1911}));
    EXPECT_EQ(store.recordCount, 9u);
    EXPECT_EQ(released, (std::vector<std::pair<int, int>>{{1002, 2}, {1004, 4}, {1012, 12}}));
    // Numbers 1 and 3 are free again, number 2 still belongs to former game 8.
    EXPECT_EQ(FileBytes(dir / "d.kp2")[0], 0x40);
    EXPECT_EQ(std::filesystem::file_size(dir / "d.ipx"), 9u * 256);
    EXPECT_EQ(std::filesystem::file_size(dir / "d.kpf"), 9u * 2048);
    // The kept games' detail and move info moved with them.
    DetailRecord d;
    ReadDetailRecord(store, 6, d, prompter);
    EXPECT_EQ(d.openingCommentNumber(), 1008);
    TKifData back;
    GameMoves read = ReadGameMoves(store, 6, 2, 0, true, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 300);
    EXPECT_EQ(back.moves[1].commentRecord, 8);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StoreEditTest, MarksOutsideTheStoreAndAnUnknownGameDeleteNothing) {
    Make(StoreKind::Classic, 3);
    const auto before = Snapshot();
    EXPECT_EQ(DeleteGames(store, 4, {}, 0, prompter), 0u);
    EXPECT_EQ(DeleteGames(store, 0, {}, 0, prompter), 0u);
    std::vector<GameHeader> catalogue(1);
    catalogue[0].recordNumber = 9;
    catalogue[0].selectionMark = 1;
    EXPECT_EQ(DeleteGames(store, 0, catalogue, 1, prompter), 0u);
    EXPECT_EQ(Snapshot(), before);
    // A classic store deletes through its two files only.
    EXPECT_EQ(DeleteGames(store, 2, {}, 0, prompter), 1u);
    EXPECT_EQ(Years(), (std::vector<int>{1901, 1903}));
}

TEST_F(StoreEditTest, FilesThatDisagreeWithTheHeaderAreNotTouched) {
    Make(StoreKind::Extended, 3);
    std::filesystem::resize_file(dir / "d.kpf", 2 * 2048);
    const auto before = Snapshot();
    EXPECT_EQ(DeleteGames(store, 1, {}, 0, prompter), 0u);
    EXPECT_EQ(Snapshot(), before);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{BrokenStoreMessage(dir / "d.idx")});
}

// Fails the n-th rename (1-based) or every removal.
class FailingFileSystem : public FileSystemHooks {
public:
    explicit FailingFileSystem(int failRename) : failRename_(failRename) {}
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (++renames_ == failRename_) return false;
        return FileSystemHooks::Rename(from, to);
    }

private:
    int failRename_;
    int renames_ = 0;
};

TEST_F(StoreEditTest, AFailedRenameHalfWayLeavesTheOldStoreReadable) {
    // Renames in order: .ipx aside, .ip$ in, .kpf aside, .kp$ in, .idx aside, .id$ in, .kif
    // aside, .ki$ in.
    for (int failing = 1; failing <= 8; ++failing) {
        SCOPED_TRACE(failing);
        NewFolder();
        const std::vector<std::string> expected = {
            "DeleteError! (" + (dir / "d.ipx").string() + ")", "RenameError! No.03",
            "DeleteError! (" + (dir / "d.kpf").string() + ")", "RenameError! No.04",
            "DeleteError! (" + (dir / "d.idx").string() + ")", "RenameError! No.01",
            "DeleteError! (" + (dir / "d.kif").string() + ")", "RenameError! No.02",
        };
        prompter.shown.clear();
        Make(StoreKind::Extended, 5, 5);
        const auto before = Snapshot();
        int releases = 0;
        FailingFileSystem fs(failing);
        DeleteOptions options;
        options.fileSystem = &fs;
        options.releaseComments = [&](const DetailRecord&, const MoveInfo&) { ++releases; };
        EXPECT_EQ(DeleteGames(store, 5, {}, 0, prompter, options), 0u);
        ASSERT_EQ(prompter.texts(), std::vector<std::string>{expected[std::size_t(failing - 1)]});
        // Every store file is as it was; the unused temporaries may stay beside it.
        auto after = Snapshot();
        for (const auto& [name, bytes] : before) EXPECT_EQ(after[name], bytes) << name;
        for (const auto& [name, bytes] : after) {
            EXPECT_TRUE(before.count(name) || name.back() == '$') << name;
        }
        EXPECT_EQ(releases, 0) << "no comment is released for a game that stays";
        EXPECT_EQ(store.recordCount, 5u);
        TKifData back;
        EXPECT_EQ(ReadGameMoves(store, 5, 1, 0, true, 0, back, prompter).lines.size(), 301u);
        // The next attempt, with the file system working again, goes through.
        EXPECT_EQ(DeleteGames(store, 5, {}, 0, prompter), 1u);
        EXPECT_EQ(Years().size(), 4u);
    }
}

TEST_F(StoreEditTest, AProcessStoppedAnywhereInADeletionOrASwapLeavesTheOldOrTheNewStore) {
    const auto deleteTwo = [&](FileSystemHooks& fs) {
        std::vector<GameHeader> marked(2);
        marked[0].recordNumber = 2;
        marked[1].recordNumber = 5;  // a long game: its overflow number is freed
        for (GameHeader& h : marked) h.selectionMark = 1;
        DeleteOptions options;
        options.fileSystem = &fs;
        options.releaseComments = CommentReleaser(store, prompter);
        return DeleteGames(store, 0, marked, 2, prompter, options);
    };
    const auto swap = [&](FileSystemHooks& fs) { return SwapGames(store, 1, 5, fs) ? 1u : 0u; };
    for (const auto& change : {std::function<std::uint32_t(FileSystemHooks&)>(deleteTwo),
                               std::function<std::uint32_t(FileSystemHooks&)>(swap)}) {
        NewFolder();
        Make(StoreKind::Extended, 6, 5);
        const std::vector<std::string> before = testing::StoredGames(store);
        testing::StoppingFiles counting;
        ASSERT_GE(change(counting), 1u);
        const std::vector<std::string> after = testing::StoredGames(store);
        ASSERT_NE(after, before);
        ASSERT_GE(counting.steps, 3);

        for (long stopAt = 1; stopAt <= counting.steps; ++stopAt) {
            SCOPED_TRACE("stopped at step " + std::to_string(stopAt));
            NewFolder();
            Make(StoreKind::Extended, 6, 5);
            testing::StoppingFiles files;
            files.stopAt = stopAt;
            EXPECT_THROW(change(files), testing::ProcessStopped);
            RecordingPrompter opening;
            std::uint32_t count = 0;
            ASSERT_EQ(ValidateStore(dir / "d.ipx", count, opening), StoreCheck::Extended);
            const std::vector<std::string> found =
                testing::StoredGames(GameStore(dir / "d.idx", StoreKind::Extended, count));
            EXPECT_TRUE(found == before || found == after) << count << " games";
            EXPECT_FALSE(std::filesystem::exists(dir / "d.jn$"));
        }
    }
}

TEST_F(StoreEditTest, StoppingADeletionLeavesEverythingAsItWas) {
    Make(StoreKind::Classic, 1200);
    const auto before = Snapshot();
    prompter.stopAt = true;
    EXPECT_EQ(DeleteGames(store, 7, {}, 0, prompter), 0u);
    EXPECT_EQ(Snapshot(), before) << "the temporaries are removed too";
    EXPECT_GE(prompter.progressCalls, 1);
}

TEST_F(StoreEditTest, SwappingExchangesEveryRecordButTheOverflowOnes) {
    Make(StoreKind::Extended, 3, 3);  // game 3 has overflow number 1
    const Bytes kf2 = FileBytes(dir / "d.kf2");
    TKifData game3;
    ReadGameMoves(store, 3, 1, 0, true, 0, game3, prompter);
    ASSERT_TRUE(SwapGames(store, 2, 3));
    EXPECT_EQ(Years(), (std::vector<int>{1901, 1903, 1902}));
    IndexRecord r;
    ReadIndexRecord(store, 2, r);
    EXPECT_EQ(r.overflowNumber(), 1);
    EXPECT_EQ(FileBytes(dir / "d.kf2"), kf2);
    TKifData back;
    ReadGameMoves(store, 2, 1, 0, true, 0, back, prompter);
    EXPECT_EQ(back.moves, game3.moves);
    DetailRecord d;
    ReadDetailRecord(store, 2, d, prompter);
    EXPECT_EQ(d.openingCommentNumber(), 1003);
    EXPECT_TRUE(SwapGames(store, 1, 1));
    EXPECT_FALSE(SwapGames(store, 0, 1));
    EXPECT_FALSE(SwapGames(store, 3, 4));
    EXPECT_EQ(Years(), (std::vector<int>{1901, 1903, 1902}));
}

TEST_F(StoreEditTest, UpdatingMarkedGamesReplacesTheTemplatesNonZeroWords) {
    Make(StoreKind::Classic, 3);
    std::vector<GameHeader> catalogue(3);
    for (std::uint32_t k = 1; k <= 3; ++k) {
        IndexRecord r;
        ReadIndexRecord(store, k, r);
        HeaderFromIndexRecord(r, k, catalogue[k - 1]);
    }
    catalogue[0].selectionMark = 1;
    catalogue[2].selectionMark = 1;
    catalogue[2].positionHit = 17;
    IndexRecord tmpl;
    tmpl.setGotePlayer(321);
    tmpl.setTournament(9);
    tmpl.setSubTournament(2);
    tmpl.setResult(4);
    tmpl.setYear(2000);  // not one of the words that change
    EXPECT_EQ(UpdateMarkedGames(store, tmpl, catalogue, prompter), 2u);
    IndexRecord r;
    ReadIndexRecord(store, 3, r);
    EXPECT_EQ(r.gotePlayer(), 321);
    EXPECT_EQ(r.tournament(), 9);
    EXPECT_EQ(r.subTournament(), 2);
    EXPECT_EQ(r.result(), 4);
    EXPECT_EQ(r.year(), 1903);
    EXPECT_EQ(catalogue[2].gotePlayer, 321);
    EXPECT_EQ(catalogue[2].result, 4);
    EXPECT_EQ(catalogue[2].positionHit, 17);
    EXPECT_EQ(catalogue[2].selectionMark, 1);
    ReadIndexRecord(store, 2, r);
    EXPECT_EQ(r.gotePlayer(), 0);
    // A template value the catalogue cannot hold changes nothing.
    tmpl.setResult(300);
    const auto before = Snapshot();
    EXPECT_EQ(UpdateMarkedGames(store, tmpl, catalogue, prompter), 0u);
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace movra
