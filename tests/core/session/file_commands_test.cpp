// The window-free parts of the File-menu commands: the import questions, the clipboard split
// and import, the dropped file and the data collections.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/store/store_test_support.h"
#include "core/session/file_commands.h"
#include "core/session/stored_game.h"
#include "core/record/kif_data.h"
#include "core/textio/textio_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

TEST(FileCommandsTest, ImportQuestions) {
    EXPECT_EQ(ImportFilesQuestion({fs::path("/tmp/a.kif")}),
              "/tmp/a.kif を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj);
    EXPECT_EQ(ImportFilesQuestion({"a.kif", "b.kif", "c.ki2"}),
              "選択された 3個の棋譜ファイル を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj);
    EXPECT_EQ(ImportFolderQuestion("/data/kifu/"),
              "/data/kifu/ 内の\r棋譜ファイルをMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj);
}

TEST(FileCommandsTest, ClipboardSplitsIntoGames) {
    // Two KI2 games separated by a blank line, each ending with a まで line; the first line of
    // the text belongs to the first game.
    const std::vector<std::string> lines = ClipboardLines(
        "開始日時：2024/04/10\n先手：山田\n▲７六歩 △３四歩\n  まで2手で中断  \n\n\n"
        "先手：田中\n後手：鈴木\n▲２六歩 △８四歩\n▲２五歩\nまで3手で中断\n"_sj.str());
    const auto games = SplitClipboardGames(lines);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0], (std::vector<std::string>{"開始日時：2024/04/10"_sj, "先手：山田"_sj,
                                                  "▲７六歩 △３四歩"_sj, "まで2手で中断"_sj}));
    ASSERT_EQ(games[1].size(), 5u);
    EXPECT_EQ(games[1].front(), "先手：田中"_sj);
    EXPECT_EQ(games[1].back(), "まで3手で中断"_sj);

    // A Kakinoki move list has no ▲ or △: one game from its first line to its end, blank
    // lines included.
    const auto kakinoki = SplitClipboardGames(ClipboardLines(
        "\n\n手合割：平手\n手数----指手---------消費時間--\n\n   1 ７六歩(77)\n"_sj.str()));
    ASSERT_EQ(kakinoki.size(), 1u);
    EXPECT_EQ(kakinoki[0].size(), 4u);
    EXPECT_EQ(kakinoki[0].front(), "手合割：平手"_sj);

    // Moves that never end: the game runs to the last line.
    const auto open = SplitClipboardGames(ClipboardLines("▲７六歩\n△３四歩"_sj.str()));
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].size(), 2u);
    EXPECT_TRUE(SplitClipboardGames(ClipboardLines("  \n\n")).empty());
}

TEST(FileCommandsTest, ClipboardInUtf8OrCp932ReadsTheSame) {
    const std::string utf8 = "▲７六歩 △３四歩\r\nまで2手";
    const std::string cp932 = "▲７六歩 △３四歩\r\nまで2手"_sj.str();
    EXPECT_EQ(ClipboardLines(utf8), ClipboardLines(cp932));
    EXPECT_EQ(ClipboardLines(cp932).size(), 2u);
}

TEST(FileCommandsTest, ClipboardGamesGoThroughTheTemporaryFile) {
    testing::TempFolder dir;
    const fs::path ipx = dir / "games.ipx";
    ASSERT_TRUE(CreateStoreFiles(ipx, true));
    GameStore store(dir / "games.idx", StoreKind::Extended);
    testing::RecordingPrompter prompter;
    std::vector<std::string> progress;
    ImportContext context{store, prompter, {}, "2024-04-10 10:00:00",
                          [&](const std::string& line) { progress.push_back(line); }, 5};
    const auto games = SplitClipboardGames(ClipboardLines(
        "先手：山田\n後手：田中\n▲７六歩 △３四歩 ▲２六歩\nまで3手で中断\n\n"
        "先手：誤り\n▲５五角\nまで1手で中断\n\n"
        "先手：田中\n▲２六歩 △８四歩\nまで2手で中断\n"_sj.str()));
    ASSERT_EQ(games.size(), 3u);
    const fs::path temporary = dir / std::string(kClipboardTempName);
    const ImportSummary summary = ImportClipboardGames(games, temporary, context);
    EXPECT_EQ(summary.gamesStored, 2);
    ASSERT_EQ(summary.refused.size(), 1u);
    EXPECT_FALSE(fs::exists(temporary));
    std::uint32_t count = 0;
    ASSERT_TRUE(ReadGameCount(store, count));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(progress, (std::vector<std::string>{"    1: クリップボード"_sj, "    2: クリップボード"_sj,
                                                  "    2: クリップボード"_sj}));
    const auto texts = prompter.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], ImportFailedMessage(temporary));
    EXPECT_EQ(texts[1], ImportedCountMessage(2));
}

TEST(FileCommandsTest, ImportingWhileAGameIsViewedLeavesThatGameAsItWas) {
    testing::TempFolder dir;
    const fs::path ipx = dir / "games.ipx";
    ASSERT_TRUE(CreateStoreFiles(ipx, true));
    testing::RecordingPrompter prompter;
    StoreSession session;
    session.datFolder = dir.path();
    ASSERT_TRUE(OpenStore(session, ipx, true, prompter).opened);
    ImportContext context{session.store, prompter, {}, "2024-04-10 10:00:00", {}, 5};

    // The viewed game: stored with comments on its start, two moves and its end, then shown at
    // move 3 with its header in the current slot and the board turned round.
    const fs::path first = dir / "viewed.kif";
    std::ofstream(first, std::ios::binary) << testing::Cp932File(
        {"先手：山田", "後手：田中", "手数----指手---------消費時間--", "*開始局面へのコメント",
         "   1 ７六歩(77)   ( 0:05/00:00:05)", "*一手目のコメント", "   2 ３四歩(33)   ( 0:07/00:00:07)",
         "   3 ２六歩(27)   ( 0:09/00:00:14)", "*三手目のコメント", "   4 ８四歩(83)   ( 0:11/00:00:18)",
         "   5 投了", "*終局へのコメント", "まで4手で後手の勝ち"});
    ASSERT_EQ(ImportFiles({first}, context).gamesStored, 1);
    TKifData viewed;
    ASSERT_TRUE(LoadStoredGame(session, 1, viewed, prompter).found);
    ASSERT_EQ(viewed.moveCount, 4);
    viewed.GoToMove(3);
    GameHeader header;
    header.recordNumber = 1;
    viewed.SaveSlot(0, 1, "viewed", header);
    viewed.SetSlotInUse(0, true);
    viewed.boardFlipped = 1;
    const TKifData before = viewed;
    const auto commentsOf = [&](const TKifData& record) {
        std::vector<std::string> texts;
        for (int m = 0; m <= record.moveCount + 1; ++m) {
            const auto c = StoredComment(session, record, m, "", prompter);
            texts.push_back(c ? c->second : "-");
        }
        return texts;
    };
    const std::vector<std::string> comments = commentsOf(viewed);
    ASSERT_EQ(std::count(comments.begin(), comments.end(), "-"), 2) << "moves 2 and 4 have none";

    // Imports meanwhile: a handicap game with comments and a refused game from the clipboard,
    // then a run that stores nothing.
    const auto games = SplitClipboardGames(ClipboardLines(
        "手合割：香落ち\n*上手の初手\n△３四歩 ▲７六歩 △８四歩\nまで3手で中断\n\n"
        "先手：誤り\n▲５五角\nまで1手で中断\n"_sj.str()));
    ASSERT_EQ(ImportClipboardGames(games, dir / std::string(kClipboardTempName), context).gamesStored, 1);
    const fs::path bad = dir / "bad.kif";
    std::ofstream(bad, std::ios::binary) << testing::Cp932File({"手数", "   1 ５五歩(56)"});
    ASSERT_EQ(ImportFiles({bad}, context).gamesStored, 0);
    ASSERT_EQ(session.store.recordCount, 2u);

    // The viewed game is as it was, and its comment links still lead to its own comments.
    EXPECT_TRUE(viewed == before);  // the whole record, its game slots included
    EXPECT_EQ(viewed.currentMove, 3);
    EXPECT_EQ(viewed.moves, before.moves);
    EXPECT_EQ(viewed.position, before.position);
    EXPECT_TRUE(viewed.SlotInUse(0));
    EXPECT_EQ(commentsOf(viewed), comments);
    TKifData again;
    ASSERT_TRUE(LoadStoredGame(session, 1, again, prompter).found);
    again.GoToMove(3);
    EXPECT_EQ(again.moves, before.moves);
    EXPECT_EQ(again.position, before.position);
}

TEST(FileCommandsTest, DroppedFilesOpenTheExtendedStoreOfTheSameName) {
    testing::TempFolder dir;
    Touch(dir / "a.IDX");
    Touch(dir / "a.ipx");
    Touch(dir / "b.idx");  // its ".ipx" is missing
    Touch(dir / "c.cp0");
    Touch(dir / "C.IPX");
    Touch(dir / "d.txt");
    EXPECT_EQ(DroppedStore(dir / "a.IDX"), dir / "a.ipx");
    EXPECT_EQ(DroppedStore(dir / "a.ipx"), dir / "a.ipx");
    EXPECT_EQ(DroppedStore(dir / "b.idx"), std::nullopt);
    EXPECT_EQ(DroppedStore(dir / "c.cp0"), dir / "C.IPX");
    EXPECT_EQ(DroppedStore(dir / "d.txt"), std::nullopt);
    EXPECT_EQ(DroppedStore(dir / "missing.ipx"), std::nullopt);
}

TEST(FileCommandsTest, FolderImportReadsSubFoldersOneLevelOnly) {
    testing::TempFolder dir;
    fs::create_directories(dir / "sub" / "deeper");
    for (const char* name : {"a.KIF", "b.ki2", "c.kix", "games.kif"}) Touch(dir / name);
    Touch(dir / "sub" / "d.kif");
    Touch(dir / "sub" / "deeper" / "e.kif");
    const StoreFiles store(dir / "games.idx");
    const auto names = [](const std::vector<fs::path>& files) {
        std::vector<std::string> out;
        for (const fs::path& f : files) out.push_back(f.filename().string());
        return out;
    };
    EXPECT_EQ(names(FolderImportFiles(dir.path(), false, &store)), (std::vector<std::string>{"a.KIF", "b.ki2"}));
    EXPECT_EQ(names(FolderImportFiles(dir.path(), true, &store)),
              (std::vector<std::string>{"a.KIF", "b.ki2", "d.kif"}));
}

TEST(FileCommandsTest, DataCollectionsThatExist) {
    testing::TempFolder dir;
    EXPECT_TRUE(DataCollectionStores(dir.path()).empty());
    fs::create_directories(dir / "collections");
    Touch(dir / "collections" / "Meijin.IPX");
    const auto found = DataCollectionStores(dir.path());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].filename(), "Meijin.IPX");
}

}  // namespace
}  // namespace movra
