// A thousand played games written as CSA records and as USI lines, and read back through the
// import: the same moves, and for CSA the same times, comments and result.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/store/store_files.h"
#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/textio/csa_writer.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/import_text.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

TEST(CsaUsiRoundTrip, AThousandGamesComeBackThroughBothForms) {
    testing::TempFolder dir;
    ASSERT_TRUE(CreateStoreFiles(dir / "back.ipx", true));
    GameStore store(dir / "back.ipx", StoreKind::Extended, 0);
    testing::RecordingPrompter prompter;
    ImportContext context{store, prompter, {}, "2001-02-03 04:05:06", {}, 5};
    std::mt19937 rng(23);
    auto game = std::make_unique<ExportGame>();
    int handicaps = 0, sideToMoveWon = 0;
    for (int i = 0; i < 1000; ++i) {
        SCOPED_TRACE("game " + std::to_string(i));
        ExportGame& g = *game;
        const int handicap = i % 10 == 0 ? 1 + i % 14 : 0;
        testing::PlayRandomGame(rng, handicap, 1 + int(rng() % 200), g.record);
        g.handicapNumber = handicap;
        handicaps += handicap != 0;
        g.senteName = "先手"_sj + std::to_string(i);
        g.goteName = "後手"_sj;
        g.year = 2020;
        g.month = 1 + i % 12;
        g.day = 1 + i % 28;
        g.result = i % 5;
        g.closingTime = std::uint16_t(i % 7);
        g.comments.assign(std::size_t(g.record.moveCount + 2), std::string());
        if (i % 3 == 0) g.comments[1] = "一行目\r\n*二行目"_sj;
        if (i % 4 == 0) g.comments[std::size_t(g.record.moveCount + 1)] = "終局"_sj;
        for (int m = 1; m <= g.record.moveCount; ++m) g.record.moves[std::size_t(m)].consumedTime = std::uint16_t(m % 90);

        const fs::path csa = dir / "g.csa";
        ASSERT_EQ(WriteTextLines(csa, CsaLines(g), WriteMode::Replace), "");
        const FileImport viaCsa = ImportTextFile(csa, context);
        ASSERT_EQ(viaCsa.stored, 1) << viaCsa.refusal;
        const std::optional<ExportGame> back = LoadExportGame(store, {}, long(store.recordCount), prompter);
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(back->record.moveCount, g.record.moveCount);
        EXPECT_EQ(back->handicapNumber, handicap);
        for (int m = 1; m <= g.record.moveCount; ++m) {
            const MoveRecord& a = back->record.moves[std::size_t(m)];
            const MoveRecord& b = g.record.moves[std::size_t(m)];
            ASSERT_EQ(a.moveCode(), b.moveCode()) << m;
            ASSERT_EQ(a.consumedTime, b.consumedTime) << m;
        }
        // 1 and 2 name the winner whoever moved last: a win of the side to move comes back too.
        EXPECT_EQ(back->result, g.result);
        const int lastMover = g.record.moveCount == 0 ? 0 : g.record.SideOf(g.record.moveCount);
        sideToMoveWon += (g.result == 1 || g.result == 2) && g.result != lastMover;
        EXPECT_EQ(back->closingTime, g.closingTime);
        EXPECT_EQ(back->senteName, g.senteName);
        EXPECT_EQ(back->Comment(1), g.Comment(1));
        EXPECT_EQ(back->Comment(g.record.moveCount + 1), g.Comment(g.record.moveCount + 1));
        EXPECT_EQ(back->year, 2020);

        const fs::path usi = dir / "g.usi";
        ASSERT_EQ(WriteTextLines(usi, {UsiLine(g)}, WriteMode::Replace), "");
        const FileImport viaUsi = ImportTextFile(usi, context);
        ASSERT_EQ(viaUsi.stored, 1) << viaUsi.refusal;
        const std::optional<ExportGame> fromUsi = LoadExportGame(store, {}, long(store.recordCount), prompter);
        ASSERT_TRUE(fromUsi.has_value());
        ASSERT_EQ(fromUsi->record.moveCount, g.record.moveCount);
        EXPECT_EQ(fromUsi->handicapNumber, handicap);
        for (int m = 1; m <= g.record.moveCount; ++m) {
            ASSERT_EQ(fromUsi->record.moves[std::size_t(m)].moveCode(), g.record.moves[std::size_t(m)].moveCode());
        }
    }
    EXPECT_GT(handicaps, 50);
    EXPECT_GT(sideToMoveWon, 50);
    EXPECT_EQ(store.recordCount, 2000u);
}

// The command line converts a folder without a store: a two-game CSA file gives two files, a KIF
// file one; UTF-8 KIF files end in .kifu; nothing is replaced without --overwrite.
TEST(CsaUsiRoundTrip, ConvertWritesEachGameOnceAndKeepsWhatIsThere) {
    testing::TempFolder dir;
    fs::create_directories(dir / "in");
    {
        std::ofstream csa(dir / "in" / "two.csa", std::ios::binary);
        csa << "V2.2\r\nPI\r\n+\r\n+7776FU\r\n-3334FU\r\n%TORYO\r\n/\r\nPI\r\n+\r\n+2726FU\r\n%CHUDAN\r\n";
        std::ofstream usi(dir / "in" / "one.usi", std::ios::binary);
        usi << "position startpos moves 7g7f 3c3d 8h2b+\n";
    }
    const std::string in = (dir / "in").string(), out = (dir / "out").string();
    testing::CliResult r = testing::RunCli({"convert", in, "--to", "kif", "--utf8", "--dir", out});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(fs::exists(dir / "out" / "two-1.kifu"));
    EXPECT_TRUE(fs::exists(dir / "out" / "two-2.kifu"));
    std::ifstream kifu(dir / "out" / "one.kifu", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(kifu)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("２二角成(88)"), std::string::npos);  // UTF-8 text
    r = testing::RunCli({"convert", in, "--to", "kif", "--utf8", "--dir", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("exists, kept"), std::string::npos);
    r = testing::RunCli({"convert", (dir / "out").string(), "--to", "usi", "--dir", (dir / "usi").string()});
    EXPECT_EQ(r.status, 0) << r.out;
    std::ifstream back(dir / "usi" / "one.usi");
    std::string line;
    std::getline(back, line);
    EXPECT_EQ(line.substr(0, 41), "position startpos moves 7g7f 3c3d 8h2b+\r");
}

}  // namespace
}  // namespace movra
