// movra-cli edit: a game entered and corrected from the command line reads back as given, and
// input that cannot be taken changes no byte of the store.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/input/save_game.h"
#include "core/record/game_text.h"
#include "core/store/comments.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::RunCli;
using testing::TempFolder;
namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> StoreBytes(const fs::path& folder) {
    std::vector<std::string> all;
    for (const char* e : {".idx", ".kif", ".kf2", ".ipx", ".kpf", ".kp2", ".cp0", ".cp$"}) {
        const fs::path p = folder / (std::string("g") + e);
        all.push_back(fs::exists(p) ? Bytes(p) : "(none)");
    }
    return all;
}

TEST(EditCli, AGameEnteredAndCorrectedFromTheCommandLineReadsBackAsGiven) {
    TempFolder dir;
    const std::string store = (dir / "g.ipx").string();
    ASSERT_EQ(RunCli({"new", store}).status, 0);
    // A player table naming one player (spaces in the name are not compared).
    PlayerTable players;
    players.SetEntry(12, 'A', "羽生善治"_sj, "ﾊﾌﾞ"_sj);
    ASSERT_TRUE(players.Write(dir.path()));

    auto r = RunCli({"edit", store, "new", "--dat", dir.path().string(), "--sente", "羽生 善治", "--gote", "挑戦者", "--date", "2024/02/29",
                     "--place", "東京", "--result", "1", "--moves-from", "1", "--moves",
                     "7776 3c3d 8822+ 3122, B*5e", "--comment", "0", "開始", "--comment", "3", "角交換",
                     "--comment", "6", "終局図"},
                    true);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("game 1 saved: 5 moves"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8("棋譜を保存しました！"_sj)), std::string::npos) << r.out;

    RecordingPrompter prompter;
    const GameStore g(dir / "g.idx", StoreKind::Extended);
    auto record = std::make_unique<TKifData>();
    IndexRecord index;
    DetailRecord detail;
    ASSERT_TRUE(LoadGameForCorrection(g, 1, *record, index, detail, prompter));
    ASSERT_EQ(record->moveCount, 5);
    EXPECT_EQ(record->moves[2].moveCode().str(), "3334 ");
    EXPECT_EQ(record->moves[5].moveCode().str(), "0655 ");
    EXPECT_EQ(index.year(), 2024);
    EXPECT_EQ(index.month(), 2);
    EXPECT_EQ(index.day(), 29);
    EXPECT_EQ(index.result(), 1);
    EXPECT_EQ(index.sentePlayer(), 12);
    EXPECT_EQ(index.gotePlayer(), 0) << "a name not in the table";
    EXPECT_EQ(detail.senteName(), "羽生 善治"_sj);
    EXPECT_EQ(detail.goteName(), "挑戦者"_sj);
    EXPECT_EQ(detail.place(), "東京"_sj);
    const auto comment = [&](int move) {
        const MoveRecord& m = record->moves[std::size_t(move)];
        return ReadComment(g, m.commentFile, m.commentRecord, prompter);
    };
    EXPECT_EQ(comment(0), "開始"_sj);
    EXPECT_EQ(comment(3), "角交換"_sj);
    EXPECT_EQ(comment(6), "終局図"_sj);

    // The correction: move 5 replaced and one added, the comment on move 3 removed, a comment on
    // move 4, a new opening comment; the old final-position comment goes with the old end.
    r = RunCli({"edit", store, "1", "--moves-from", "5", "--moves", "0645 4344", "--clear-comment", "3",
                "--comment", "4", "同銀", "--comment", "0", "新しい開始", "--result", "0"},
               true);
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(LoadGameForCorrection(g, 1, *record, index, detail, prompter));
    ASSERT_EQ(record->moveCount, 6);
    EXPECT_EQ(record->moves[5].moveCode().str(), "0645 ");
    EXPECT_EQ(record->moves[6].moveCode().str(), "4344 ");
    EXPECT_EQ(index.result(), 0);
    EXPECT_EQ(index.year(), 2024) << "fields not named stay";
    EXPECT_EQ(comment(0), "新しい開始"_sj);
    EXPECT_EQ(comment(3), "");
    EXPECT_EQ(comment(4), "同銀"_sj);
    EXPECT_EQ(comment(7), "");
    // Two comments in use (start and move 4); the other three were freed.
    const CommentWriteResult next = AllocateCommentNumber(g, prompter);
    EXPECT_EQ(next.file, 0);
    EXPECT_EQ(next.number, 1) << "the first comment's number is free again";
    std::string show = RunCli({"show", store, "1"}).out;
    EXPECT_NE(show.find(Cp932ToUtf8("006  △４四歩"_sj)), std::string::npos) << show;

    // Input that cannot be taken: a clear error, and no byte of the store changes.
    const std::vector<std::string> before = StoreBytes(dir.path());
    const std::vector<std::vector<std::string>> refused = {
        {"edit", store, "2", "--place", "x"},                              // no game 2
        {"edit", store, "1", "--date", "2023/02/29"},                      // not a date
        {"edit", store, "1", "--date", "2024/13/01"},
        {"edit", store, "1", "--sente", "羽生善治名人竜王"},                 // 16 bytes
        {"edit", store, "1", "--moves-from", "3", "--moves", "8822+ 5556"}, // 5五 is empty
        {"edit", store, "1", "--moves-from", "3", "--moves", "8832"},       // not a bishop's line
        {"edit", store, "1", "--moves-from", "9", "--moves", "1716"},       // the game has 6 moves
        {"edit", store, "1", "--comment", "8", "x"},
        {"edit", store, "1", "--tournament", "存在しない棋戦"},
        {"edit", store, "1", "--place", "あいうえおかきくけこさ"},            // 22 bytes
    };
    for (const std::vector<std::string>& args : refused) {
        r = RunCli(args, true);
        EXPECT_EQ(r.status, 1) << args[3] << ": " << r.out;
        EXPECT_NE(r.out.find("movra-cli edit: "), std::string::npos) << r.out;
        EXPECT_TRUE(StoreBytes(dir.path()) == before) << args[3] << " " << args[4];
    }
    EXPECT_EQ(RunCli({"edit", store, "1", "--moves"}).status, 2);
    r = RunCli({"edit", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("USI"), std::string::npos);
}

TEST(EditCli, PlayersOfThePlayerTableAreStoredByNumberAndAClassicStoreKeepsNoOtherNames) {
    TempFolder dir;
    const std::string store = (dir / "c.idx").string();
    ASSERT_EQ(RunCli({"new", store}).status, 0);
    PlayerTable players;
    players.SetEntry(12, 'A', "羽生善治"_sj, "ﾊﾌﾞ"_sj);
    ASSERT_TRUE(players.Write(dir.path()));
    auto r = RunCli({"edit", store, "new", "--sente", "誰か", "--moves-from", "1", "--moves", "7776"}, true);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("classic store keeps no names"), std::string::npos) << r.out;
    r = RunCli({"edit", store, "new", "--comment", "0", "x"}, true);
    EXPECT_EQ(r.status, 1) << r.out;
    r = RunCli({"edit", store, "new", "--handicap", "1", "--sente", "羽生善治", "--moves-from", "1", "--moves",
                "4132 7776"},
               true);
    ASSERT_EQ(r.status, 0) << r.out;
    const GameStore c(dir / "c.idx", StoreKind::Classic);
    std::uint32_t count = 0;
    ASSERT_TRUE(ReadGameCount(c, count));
    EXPECT_EQ(count, 1u);
    RecordingPrompter prompter;
    auto record = std::make_unique<TKifData>();
    IndexRecord index;
    DetailRecord detail;
    ASSERT_TRUE(LoadGameForCorrection(c, 1, *record, index, detail, prompter));
    EXPECT_EQ(index.sentePlayer(), 12) << "the store's folder holds the master files";
    EXPECT_EQ(index.handicap(), 1);
    EXPECT_EQ(record->moveCount, 2);
}

}  // namespace
}  // namespace movra
