// movra-cli new and show.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <unistd.h>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/store/game_io.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "../../bench/store_sample.h"
#include "core/store/store_test_support.h"
#include "core/store/layout.h"
#include "core/store/store_appender.h"
#include "core/store/open_store.h"
#include "core/textio/textio_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RunCli;
using testing::TempFolder;

TEST(StoreCli, NewMakesTheKindTheExtensionNamesAndRefusesToOverwrite) {
    TempFolder dir;
    auto r = RunCli({"new", (dir / "plus.ipx").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "plus.kpf"));
    EXPECT_TRUE(std::filesystem::exists(dir / "plus.cp0"));
    r = RunCli({"new", (dir / "old.IDX").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "old.idx")) << "the store is the name with .idx";
    EXPECT_TRUE(std::filesystem::exists(dir / "old.kif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "old.ipx"));

    r = RunCli({"new", (dir / "plus.idx").string()}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Cp932ToUtf8("warning: "_sj + (dir / "plus.idx").string() + " は既に存在します。\n"_sj));
    r = RunCli({"new", (dir / "x.txt").string()}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Cp932ToUtf8("warning: ファイル名が正しくありません！\n"_sj));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.idx"));
}

TEST(StoreCli, ShowPrintsTheHeaderFieldsAndTheMoveList) {
    TempFolder dir;
    ASSERT_EQ(RunCli({"new", (dir / "s.ipx").string()}).status, 0);
    const GameStore store(dir / "s.idx", StoreKind::Extended);
    TKifData game;
    game.ResetHeader(0);
    game.ClearMoves();
    game.SetUpStandard();
    for (const char* c : {"7776", "3334", "8822+", "3122"}) game.AppendAndApply(*MoveCode::Parse(c));
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(game, moves, info);
    IndexRecord index;
    index.setSentePlayer(12);
    index.setYear(2004);
    index.setMonth(5);
    index.setDay(6);
    index.setResult(1);
    testing::RecordingPrompter prompter;
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    DetailRecord detail;
    detail.setGoteName("森内俊之"_sj);
    detail.CopyIndexWords(index);
    WriteGameDetail(store, detail, info, 1, false);

    auto r = RunCli({"show", (dir / "s.ipx").string(), "1", "--sjis"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("sente: 12 \n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("gote: 0 森内俊之\n"_sj), std::string::npos);
    EXPECT_NE(r.out.find("date: 2004/05/06\n"), std::string::npos);
    EXPECT_NE(r.out.find("moves: 4\n001  ▲７六歩\n002  △３四歩\n003  ▲２二角成\n004  △同　銀\n"
                         "4手まで先手勝ち\n"_sj),
              std::string::npos)
        << r.out;
    r = RunCli({"show", (dir / "s.idx").string(), "1", "--codes"});
    EXPECT_NE(r.out.find("moves: 4\n001 7776 \n002 3334 \n003 8822+\n004 3122 \n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(RunCli({"show", (dir / "s.ipx").string(), "2"}).status, 1);
    EXPECT_EQ(RunCli({"show", (dir / "s.ipx").string(), "zero"}).status, 2);
}

// The longest games a store holds: 512 moves in an even game, 511 after the stronger side's
// placeholder in a handicap game. Every move line and the closing line must come out.
TEST(StoreCli, ShowPrintsEveryLineOfTheLongestGames) {
    TempFolder dir;
    ASSERT_EQ(RunCli({"new", (dir / "long.ipx").string()}).status, 0);
    const GameStore store(dir / "long.idx", StoreKind::Extended);
    testing::RecordingPrompter prompter;
    sample::Rng rng(99);
    std::vector<MoveCode> scratch;
    const int handicaps[] = {0, 3};
    for (int handicap : handicaps) {
        const int wanted = handicap == 0 ? 512 : 511;
        TKifData game;
        int played = 0;
        for (int attempt = 0; attempt < 50 && played < wanted; ++attempt) {
            played = sample::PlayGame(rng, handicap, wanted, game, scratch);
        }
        ASSERT_EQ(played, wanted);
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        IndexRecord index;
        index.setHandicap(std::uint16_t(handicap));
        WriteGame(store, index, moves, kAppendGame, false, prompter);
        DetailRecord detail;
        detail.setOverflowNumber(index.overflowNumber());
        detail.CopyIndexWords(index);
        WriteGameDetail(store, detail, info, kAppendGame, false);
    }
    for (int k = 1; k <= 2; ++k) {
        const int wanted = k == 1 ? 512 : 511;
        auto r = RunCli({"show", (dir / "long.ipx").string(), std::to_string(k), "--sjis"});
        ASSERT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("moves: " + std::to_string(wanted) + "\n"), std::string::npos);
        const std::string last = (k == 1 ? "512" : "511");
        EXPECT_NE(r.out.find("\n" + last + " "), std::string::npos) << "the last move line";
        EXPECT_NE(r.out.find("\n" + std::to_string(wanted) + "手まで"_sj), std::string::npos)
            << "the closing line";
        // Line breaks after the first move line: one per move line and one after the closing line.
        const std::size_t first = r.out.find("\n001 ");
        ASSERT_NE(first, std::string::npos);
        std::size_t lines = 0;
        for (std::size_t at = r.out.find('\n', first + 1); at != std::string::npos; at = r.out.find('\n', at + 1)) {
            ++lines;
        }
        EXPECT_EQ(lines, std::size_t(wanted) + 1);  // every move and the closing line
    }
}

// A Kakinoki file of a random game of `length` moves.
std::filesystem::path GameFile(const std::filesystem::path& path, unsigned seed, int length) {
    std::mt19937 rng(seed);
    TKifData game;
    while (testing::PlayRandomGame(rng, 0, length, game) < length) {
    }
    std::ofstream(path, std::ios::binary) << testing::KifOf(game, {"先手：甲", "後手：乙"}, "投了");
    return path;
}

std::map<std::string, std::vector<std::uint8_t>> FilesOf(const std::filesystem::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (e.is_regular_file()) files[e.path().filename().string()] = testing::FileBytes(e.path());
    }
    return files;
}

TEST(StoreCli, ImportWritesOnlyIntoAWholeStoreAndNeverMakesOrEmptiesOneOfItsFiles) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "s");
    const auto game = GameFile(dir / "g.kif", 3, 40);
    const std::string store = (dir / "s" / "s.ipx").string();
    ASSERT_EQ(RunCli({"import", store, game.string()}).status, 0);
    ASSERT_EQ(RunCli({"import", store, game.string()}).status, 0);
    const auto whole = FilesOf(dir / "s");
    const std::string broken = Cp932ToUtf8(BrokenStoreMessage(dir / "s" / "s.idx"));

    // A counted file cut short by a record: the store is refused as it is, with the message
    // opening gives, and no file changes.
    for (const char* cut : {"s.idx", "s.kif", "s.ipx", "s.kpf"}) {
        SCOPED_TRACE(cut);
        const auto size = std::filesystem::file_size(dir / "s" / cut);
        const std::uintmax_t record = std::string(cut) == "s.idx" ? 32 : std::string(cut) == "s.kif" ? 512 : std::string(cut) == "s.ipx" ? 256 : 2048;
        std::filesystem::resize_file(dir / "s" / cut, size - record);
        const auto before = FilesOf(dir / "s");
        const auto r = RunCli({"import", store, game.string()}, true);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(broken.substr(broken.find('"'))), std::string::npos) << r.out;
        EXPECT_TRUE(FilesOf(dir / "s") == before);
        testing::WriteFileBytes(dir / "s" / cut, whole.at(cut));
    }

    // Without its index file the store is not made anew over the files that are left.
    std::filesystem::remove(dir / "s" / "s.idx");
    const auto before = FilesOf(dir / "s");
    EXPECT_EQ(RunCli({"import", store, game.string()}).status, 1);
    EXPECT_TRUE(FilesOf(dir / "s") == before) << "no file made, none emptied";

    // A store with no file at all is made.
    EXPECT_EQ(RunCli({"import", (dir / "fresh.ipx").string(), game.string()}).status, 0);
    EXPECT_EQ(RunCli({"info", (dir / "fresh.ipx").string()}).out.find("games: 1\n") != std::string::npos, true);
}

TEST(StoreCli, ImportTellsAndCountsEveryLongGameItCouldNotStoreWhole) {
    TempFolder dir;
    const auto longGame = GameFile(dir / "long.kif", 4, 300);
    const auto shortGame = GameFile(dir / "short.kif", 5, 30);
    const std::string store = (dir / "s.ipx").string();
    ASSERT_EQ(RunCli({"new", store}).status, 0);
    // Every overflow number in use.
    testing::WriteFileBytes(dir / "s.kp2", std::vector<std::uint8_t>(kMoveInfoRecordSize, 0xFF));
    const auto r = RunCli({"import", store, longGame.string(), shortGame.string(), longGame.string()}, true);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8(LongGameCutMessage(1).substr(1))), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8(LongGameCutMessage(3).substr(1))), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("games stored: 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("games cut to their first 256 slots (no overflow number free): 2"),
              std::string::npos) << r.out;
}

TEST(StoreCli, ReadingCommandsNeedOnlyReadAccessAndWritingOnesSayTheyNeedMore) {
    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not stop root from writing";
    TempFolder dir;
    const auto game = GameFile(dir / "g.kif", 6, 40);
    const std::string store = (dir / "s.ipx").string();
    ASSERT_EQ(RunCli({"import", store, game.string()}).status, 0);
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_read);
    }
    EXPECT_EQ(RunCli({"info", store}).status, 0);
    EXPECT_EQ(RunCli({"list", store}).status, 0);
    EXPECT_EQ(RunCli({"show", store, "1"}).status, 0);
    EXPECT_EQ(RunCli({"export", store, "1", "-o", (dir / "out.kif").string()}).status, 0);
    EXPECT_EQ(RunCli({"copy", store, (dir / "copy.ipx").string()}).status, 0);
    const auto r = RunCli({"import", store, game.string()}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(Cp932ToUtf8("読み取り専用ファイルのため使用できません。"_sj)), std::string::npos) << r.out;
}

}  // namespace
}  // namespace movra
