// movra-cli export and position-text: standard output, a named file, a folder of new files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "../../bench/store_sample.h"
#include "core/store/store_test_support.h"
#include "core/text/paths.h"
#include "core/text/cp932.h"
#include "core/text/text_helpers.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/import_text.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"
#include "core/textio/position_text.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::RunCli;
using testing::TempFolder;

std::string Text(const fs::path& p) {
    const std::vector<std::uint8_t> b = FileBytes(p);
    return std::string(b.begin(), b.end());
}

std::string Utf8Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += Cp932ToUtf8(l) + "\n";
    return out;
}

std::string Cp932Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// A generated store of twelve games with its master files beside it.
class ExportCli : public ::testing::Test {
protected:
    void SetUp() override {
        sample::StoreOptions options;
        options.path = dir / "s.ipx";
        options.games = 12;
        options.randomStart = 5;
        options.dat = dir.path();
        sample::GenerateStore(options);
        store = dir / "s.ipx";
        ASSERT_TRUE(players.Load(dir.path(), false));
        ASSERT_TRUE(tournaments.Load(dir.path(), prompter));
        ASSERT_TRUE(openings.Load(dir.path(), prompter));
    }

    ExportGame Game(long k) {
        const GameStore s(store, StoreKind::Extended, 12);
        std::optional<ExportGame> g = LoadExportGame(s, {&players, &tournaments, &openings}, k, prompter);
        EXPECT_TRUE(g.has_value());
        return g ? *g : ExportGame{};
    }

    std::vector<std::string> Args(std::initializer_list<std::string> more) {
        std::vector<std::string> a(more);
        a.push_back("--dat");
        a.push_back(dir.path().string());
        return a;
    }

    TempFolder dir;
    fs::path store;
    testing::RecordingPrompter prompter;
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
};

TEST_F(ExportCli, OneGameToStandardOutputOrToAFile) {
    const ExportGame g = Game(3);
    auto r = RunCli(Args({"export", store.string(), "3"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Utf8Lines(KakinokiLines(g, "")));
    r = RunCli(Args({"export", store.string(), "3", "--listing", "--sjis"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Cp932Lines(GameListingLines(g)));

    const fs::path file = dir / "three.kif";
    r = RunCli(Args({"export", store.string(), "3", "-o", file.string()}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "game 3: " + file.string() + "\n");
    EXPECT_EQ(Text(file), Cp932Lines(KakinokiLines(g, file.string())));
}

TEST_F(ExportCli, AnExistingFileIsKeptUnlessAsked) {
    const fs::path file = dir / "x.txt";
    std::ofstream(file) << "keep me";
    auto r = RunCli(Args({"export", store.string(), "2", "--listing", "-o", file.string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Text(file), "keep me");

    const std::string listing = Cp932Lines(GameListingLines(Game(2)));
    r = RunCli(Args({"export", store.string(), "2", "--listing", "-o", file.string(), "--append"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Text(file), "keep me" + listing);
    r = RunCli(Args({"export", store.string(), "2", "--listing", "-o", file.string(), "--overwrite"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Text(file), listing);
    // A Kakinoki file is only ever written whole.
    EXPECT_EQ(RunCli(Args({"export", store.string(), "2", "-o", file.string(), "--append"})).status, 2);
}

// KI2 files in UTF-8 (.ki2u), a CSA file the games are appended to, and the KI2 files converted
// back to CP932: everything the import reads again holds the store's moves, game for game.
TEST_F(ExportCli, Ki2AndAppendedCsaFilesReadBackThroughTheImport) {
    const fs::path out = dir / "ki2";
    auto r = RunCli(Args({"export", store.string(), "1-12", "--ki2", "--utf8", "--dir", out.string()}));
    ASSERT_EQ(r.status, 0) << r.out;
    const fs::path csa = dir / "all.csa";
    for (int k = 1; k <= 3; ++k) {
        r = RunCli(Args({"export", store.string(), std::to_string(k), "--csa", "-o", csa.string(), "--append"}));
        ASSERT_EQ(r.status, 0) << r.out;
    }
    EXPECT_EQ(RunCli(Args({"export", store.string(), "1", "--ki2", "-o", csa.string(), "--append"})).status, 2);
    r = RunCli({"convert", out.string(), "--to", "ki2", "--dir", (dir / "sjis").string()});
    ASSERT_EQ(r.status, 0) << r.out;

    ASSERT_TRUE(CreateStoreFiles(dir / "back.ipx", true));
    GameStore back(dir / "back.ipx", StoreKind::Extended, 0);
    ImportContext context{back, prompter, {}, "2001-02-03 04:05:06", {}, 5};
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(out)) files.push_back(e.path());
    std::sort(files.begin(), files.end());  // r<MMDD><NNN>: not the store's order
    EXPECT_EQ(files.size(), 12u);
    std::multiset<std::vector<std::string>> exported, read;
    const auto codes = [](const ExportGame& g) {
        std::vector<std::string> c;
        for (int m = 1; m <= g.record.moveCount; ++m) c.push_back(g.record.moves[std::size_t(m)].moveCode().str());
        return c;
    };
    for (long k = 1; k <= 12; ++k) exported.insert(codes(Game(k)));
    for (const fs::path& f : files) {
        EXPECT_EQ(f.extension(), ".ki2u");
        ASSERT_EQ(ImportTextFile(f, context).stored, 1) << f;
        const fs::path sjis = dir / "sjis" / f.filename().replace_extension(".ki2");
        EXPECT_EQ(Text(sjis).find("\xE2\x96\xB2"), std::string::npos);  // CP932, not UTF-8
        ASSERT_EQ(ImportTextFile(sjis, context).stored, 1) << sjis;
    }
    for (long k = 1; k <= long(back.recordCount); k += 2) {
        read.insert(codes(*LoadExportGame(back, {}, k, prompter)));
        // The UTF-8 file and its CP932 conversion give one game.
        EXPECT_EQ(codes(*LoadExportGame(back, {}, k + 1, prompter)), codes(*LoadExportGame(back, {}, k, prompter)));
    }
    EXPECT_EQ(read, exported);

    const FileImport appended = ImportTextFile(csa, context);
    ASSERT_EQ(appended.stored, 3) << appended.refusal;
    for (long k = 1; k <= 3; ++k) {
        EXPECT_EQ(codes(*LoadExportGame(back, {}, long(back.recordCount) - 3 + k, prompter)), codes(Game(k)));
    }
}

TEST_F(ExportCli, SeveralGamesGoIntoAFolderUnderNewNames) {
    const fs::path out = dir / "out";
    fs::create_directory(out);
    const ExportGame first = Game(1);
    const fs::path taken = *BatchExportPath(out, first.month, first.day, ".kif");
    std::ofstream(taken) << "an older file";

    auto r = RunCli(Args({"export", store.string(), "1-4", "6", "--dir", out.string()}));
    EXPECT_EQ(r.status, 0);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(out)) names.insert(e.path().filename().string());
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(Text(taken), "an older file") << "an existing file is never replaced";
    // Game 1 went to the next free number of its day.
    const fs::path next = out / ("r" + ZeroPad(first.month, 2) + ZeroPad(first.day, 2) + "002.kif");
    EXPECT_EQ(Text(next), Cp932Lines(KakinokiLines(first, StoredPath(next))));
    for (const std::string& n : names) {
        EXPECT_EQ(n.size(), 12u) << n;
        EXPECT_EQ(n.substr(0, 1), "r");
    }

    // The same again adds five files, replacing none.
    EXPECT_EQ(RunCli(Args({"export", store.string(), "1-4", "6", "--dir", out.string()})).status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 11);
    // Listings into a folder that does not exist yet.
    EXPECT_EQ(RunCli(Args({"export", store.string(), "5-6", "--listing", "--dir", (dir / "new").string()})).status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "new"), fs::directory_iterator()), 2);
}

TEST_F(ExportCli, UsageErrorsAndGamesThatCannotBeWritten) {
    EXPECT_EQ(RunCli(Args({"export", store.string(), "1-2"})).status, 2) << "several games need --dir";
    EXPECT_EQ(RunCli(Args({"export", store.string(), "5-3", "--dir", "x"})).status, 2);
    EXPECT_EQ(RunCli(Args({"export", store.string(), "0"})).status, 2);
    EXPECT_EQ(RunCli(Args({"export", store.string(), "1", "--kif", "--listing"})).status, 2);
    EXPECT_EQ(RunCli(Args({"export", store.string(), "1", "-o", "a", "--dir", "b"})).status, 2);
    EXPECT_EQ(RunCli(Args({"export", store.string()})).status, 2);
    auto r = RunCli(Args({"export", store.string(), "13"}), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("holds 12 games"), std::string::npos) << r.out;
    // Some games written, one not: status 1.
    EXPECT_EQ(RunCli(Args({"export", store.string(), "11-13", "--dir", (dir / "d").string()})).status, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "d"), fs::directory_iterator()), 2);
    EXPECT_EQ(RunCli(Args({"export", (dir / "none.ipx").string(), "1"})).status, 1);
}

TEST_F(ExportCli, PositionTextAfterAMove) {
    ExportGame g = Game(4);
    g.record.GoToMove(5);
    const PositionTextHeader header =
        GameViewHeader(g.record.handicap, 0, 5, g.senteName, g.goteName);
    auto r = RunCli(Args({"position-text", store.string(), "4", "--move", "5"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Utf8Lines(StandardPositionLines(g.record.position, header)));

    const fs::path file = dir / "p.txt";
    r = RunCli(Args({"position-text", store.string(), "4", "--move", "5", "--gaiji", "-o", file.string()}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Text(file), Cp932Lines(PositionFileLines(GaijiPositionLines(g.record.position, header))));
    EXPECT_EQ(Text(file).substr(0, 6), "\r\n\r\n\r\n");

    // Without --move: the position after the last move.
    g.record.GoToMove(g.record.moveCount);
    r = RunCli(Args({"position-text", store.string(), "4", "--sjis"}));
    EXPECT_EQ(r.out, Cp932Lines(StandardPositionLines(
                         g.record.position, GameViewHeader(g.record.handicap, 0, g.record.moveCount,
                                                           g.senteName, g.goteName))));
    EXPECT_EQ(RunCli(Args({"position-text", store.string(), "4", "--move", "999"})).status, 1);
    EXPECT_EQ(RunCli(Args({"position-text", store.string(), "4", "--listing"})).status, 2);
}

}  // namespace
}  // namespace movra
