// movra-cli mate: the search from the command line.
#include <gtest/gtest.h>

#include <random>

#include "core/rules/sfen.h"
#include "core/store/game_io.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "core/store/store_test_support.h"

namespace movra {
namespace {
using testing::RunCli;

TEST(MateCommand, UsiLine) {
    auto r = RunCli({"mate", "--usi", "4k4/9/4P4/9/9/9/9/9/4K4 b G 1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "mate 1 G*5b\n");
    // An unquoted SFEN in pieces, gote attacking sente's king.
    r = RunCli({"mate", "--usi", "4k4/9/9/9/9/9/4p4/9/4K4", "w", "g", "1"});
    EXPECT_EQ(r.out, "mate 1 G*5h\n");
    r = RunCli({"mate", "--usi", "--depth", "5", "4k4/9/9/9/9/9/9/9/4K4 b 2G2r2b2g4s4n4l18p 1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "nomate\n");
}

TEST(MateCommand, ResultText) {
    auto r = RunCli({"mate", "8k/9/6NG1/9/8S/9/9/9/K7L b p 1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("3手で詰みました！"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("第１手： ▲"), std::string::npos) << r.out;
    r = RunCli({"mate", "--depth", "3", "4k4/9/9/9/9/9/9/9/4K4 b 2G2r2b2g4s4n4l18p 1"});
    EXPECT_EQ(r.out, "3手以内では詰みませんでした！\n");
}

TEST(MateCommand, KingChoiceAndFailures) {
    // The king to mate: by default the side not to move; --king picks one.
    auto r = RunCli({"mate", "--usi", "--king", "sente", "4k4/9/4P4/9/9/9/9/9/4K4 b G 1"});
    EXPECT_EQ(r.out, "nomate\n");
    r = RunCli({"mate", "8k/9/9/9/9/9/9/9/9 b G 1"});
    EXPECT_EQ(r.status, 0);
    r = RunCli({"mate", "--king", "sente", "8k/9/9/9/9/9/9/9/9 b G 1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("先手玉が盤上にありません！"), std::string::npos) << r.out;
    r = RunCli({"mate", "--usi", "--depth", "15", "--timeout", "0.2",
                "4k4/9/9/9/9/9/9/9/4K4 b RBGSb3g3s4n4l18p 1"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "unknown\n");
    EXPECT_EQ(RunCli({"mate", "--game", "store", "1", "--move", "5", "4k4/9/9/9/9/9/9/9/4K4 b G 1"}).status, 2)
        << "a stored game or an SFEN, not both";
    EXPECT_EQ(RunCli({"mate", "garbage"}).status, 2);
    EXPECT_EQ(RunCli({"mate", "--depth", "x", "4k4/9/9/9/9/9/9/9/4K4 b G 1"}).status, 2);
}

// A stored game searched at a move gives what the same position gives as an SFEN: the game is
// loaded, replayed to that move, and the side to move and the default king follow from it.
TEST(MateCommand, AStoredGameAtAMoveIsThePositionShown) {
    testing::TempFolder dir;
    const auto path = dir / "random.idx";
    ASSERT_TRUE(CreateStoreFiles(path, true));
    const GameStore store(path, StoreKind::Extended);
    testing::RecordingPrompter prompter;
    std::mt19937 rng(11);
    // The last game is a handicap game (the upper hand, gote, moves first).
    const int handicaps[] = {0, 0, 0, 3};
    std::vector<TKifData> games(std::size(handicaps));
    for (std::size_t g = 0; g < games.size(); ++g) {
        TKifData& game = games[g];
        ASSERT_GT(testing::PlayRandomGame(rng, handicaps[g], 60, game), 40);
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        IndexRecord index;
        index.setHandicap(std::uint16_t(handicaps[g]));
        WriteGame(store, index, moves, kAppendGame, false, prompter);
        DetailRecord detail;
        detail.setOverflowNumber(index.overflowNumber());
        detail.CopyIndexWords(index);
        WriteGameDetail(store, detail, info, kAppendGame, false);
    }
    const std::string ipx = (dir / "random.ipx").string();
    int mates = 0, compared = 0;
    for (std::size_t g = 0; g < games.size(); ++g) {
        for (int m = 0; m <= 40; m += 5) {
            TKifData replay = games[g];
            replay.GoToMove(m);
            const std::string sfen = ToSfen(replay.position, replay.SideOf(m + 1), m + 1);
            const auto fromStore =
                RunCli({"mate", "--usi", "--depth", "3", "--game", ipx, std::to_string(g + 1), "--move", std::to_string(m)});
            const auto fromSfen = RunCli({"mate", "--usi", "--depth", "3", sfen});
            ASSERT_EQ(fromStore.status, 0) << sfen;
            EXPECT_EQ(fromStore.out, fromSfen.out) << "game " << g + 1 << " move " << m << ": " << sfen;
            mates += fromSfen.out.rfind("mate ", 0) == 0;
            ++compared;
            if (handicaps[g] != 0) {
                // The report in words names the same move with the same side mark.
                const auto text = RunCli({"mate", "--depth", "3", "--game", ipx, std::to_string(g + 1), "--move", std::to_string(m)});
                EXPECT_EQ(text.out, RunCli({"mate", "--depth", "3", sfen}).out) << sfen;
            }
        }
    }
    EXPECT_EQ(compared, 36);
    EXPECT_GT(mates, 0) << "random games give some positions with a short mate";

    // Errors say what is wrong and print nothing on standard output.
    auto r = RunCli({"mate", "--game", ipx, "5", "--move", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    r = RunCli({"mate", "--game", ipx, "1", "--move", std::to_string(games[0].moveCount + 1)});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    r = RunCli({"mate", "--game", (dir / "missing.ipx").string(), "1", "--move", "0"}, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("warning:"), std::string::npos);
    r = RunCli({"mate", "--game", (dir / "missing.ipx").string(), "1", "--move", "0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "") << "the warning goes to standard error";
    r = RunCli({"mate", "--game", ipx, "5", "--move", "0"}, true);
    EXPECT_NE(r.out.find("not game 5"), std::string::npos) << r.out;
    EXPECT_EQ(RunCli({"mate", "--game", ipx, "1"}).status, 2) << "--move is needed with --game";
}

}  // namespace
}  // namespace movra
