// movra-cli print: games printed to PDF files and read back with poppler-utils (pdfinfo,
// pdftotext, pdftoppm) through print_pdf_check.py: every move in order and in its cell of the kifu
// form, the header, the page count, the form's lines where the sheet draws them, and a printer
// that cannot write its file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/record/game_text.h"
#include "core/store/open_store.h"
#include "core/text/cp932.h"
#include "core/textio/export_game.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;
using testing::ShellQuote;
using testing::TempFolder;

// The checker lies beside this file.
const std::string kChecker = MOVRA_PRINT_CHECK;

// A sequence of `pairs` rook moves back and forth: sente's 2h-3h, gote's 8b-7b.
std::string Shuffle(int pairs, bool goteFirst) {
    const char* sente[] = {"2h3h", "3h2h"};
    const char* gote[] = {"8b7b", "7b8b"};
    std::string moves;
    for (int i = 0; i < pairs; ++i) {
        moves += std::string(goteFirst ? gote[i % 2] : sente[i % 2]) + " " + (goteFirst ? sente[i % 2] : gote[i % 2]) + " ";
    }
    return moves;
}

// Runs a command line; its standard output and exit status.
testing::CliResult Shell(const std::string& command) {
    testing::CliResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

int PdfPages(const fs::path& pdf) {
    const testing::CliResult r = Shell("pdfinfo " + ShellQuote(pdf.string()));
    const std::size_t at = r.out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(r.out.c_str() + at + 6);
}

struct Units {
    int u = 0, c = 0, dpi = 0;
};
std::optional<Units> UnitsOf(const std::string& out) {
    const std::size_t at = out.find("form units:");
    Units units;
    int h = 0;
    if (at == std::string::npos ||
        std::sscanf(out.c_str() + at, "form units: u %d c %d h %d at %d dpi", &units.u, &units.c, &h, &units.dpi) != 4) {
        return std::nullopt;
    }
    return units;
}

class PrintCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (Shell("command -v pdftotext pdfinfo pdftoppm").status != 0) {
            GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps)";
        }
        store = dir / "p.ipx";
        ASSERT_EQ(RunCli({"new", store.string()}).status, 0);
        // Game 1: 300 moves of an even game, with every field of the header set.
        ASSERT_EQ(RunCli({"edit", store.string(), "new", "--sente", "先手太郎", "--gote", "後手花子",
                          "--sente-rank", "八段", "--gote-rank", "女流名人位", "--tournament-text", "名人戦七番勝負",
                          "--game-number", "3", "--date", "2019/05/01", "--result", "1", "--place", "将棋会館",
                          "--recorder", "記録子", "--remarks", "封じ手は７六歩", "--moves-from", "1", "--moves",
                          "7g7f 3c3d " + Shuffle(149, false)})
                      .status,
                  0);
        // Game 2: 香落ち of 150 moves; 上手 moves first, so the first cell is crossed out.
        ASSERT_EQ(RunCli({"edit", store.string(), "new", "--handicap", "1", "--sente", "下手一郎", "--gote",
                          "上手次郎", "--date", "2020/01/15", "--moves-from", "1", "--moves",
                          "3c3d 7g7f " + Shuffle(74, true)})
                      .status,
                  0);
    }

    // The move-list lines of game k (CP932).
    std::vector<std::string> MoveLines(long k) {
        testing::RecordingPrompter prompter;
        const GameStore s(store, StoreKind::Extended, 2);
        const std::optional<ExportGame> game = LoadExportGame(s, {}, k, prompter);
        EXPECT_TRUE(game.has_value());
        std::vector<std::string> lines;
        if (!game) return lines;
        return MoveListLines(game->record);
    }

    fs::path Write(const std::string& name, const std::vector<std::string>& lines) {
        std::ofstream out(dir / name, std::ios::binary);
        for (const std::string& l : lines) out << l << "\n";
        return dir / name;
    }

    testing::CliResult Check(const std::vector<std::string>& args) {
        std::string command = "python3 " + ShellQuote(kChecker);
        for (const std::string& a : args) command += " " + ShellQuote(a);
        return Shell(command);
    }

    TempFolder dir;
    fs::path store;
};

// The kifu form of both games: every move in its cell on the page the 150 cells give, the header
// fields, the lines of the sheet where it draws them.
TEST_F(PrintCli, KifuFormHoldsEveryMoveInItsCell) {
    for (long k : {1L, 2L}) {
        const fs::path pdf = dir / ("form" + std::to_string(k) + ".pdf");
        const testing::CliResult printed = RunCli({"print", store.string(), std::to_string(k), "-o", pdf.string()});
        ASSERT_EQ(printed.status, 0) << printed.out;
        const std::optional<Units> units = UnitsOf(printed.out);
        ASSERT_TRUE(units.has_value()) << printed.out;
        // 300 cells, and 150 moves after the crossed-out cell: two pages each.
        EXPECT_EQ(PdfPages(pdf), 2);

        std::vector<std::string> moves;
        const std::vector<std::string> lines = MoveLines(k);
        ASSERT_EQ(lines.size(), k == 1 ? 301u : 151u);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) moves.push_back(Cp932ToUtf8(lines[i].substr(7)));
        const testing::CliResult inCells =
            Check({"moves", pdf.string(), std::to_string(units->u), std::to_string(units->c),
                   std::to_string(units->dpi), k == 1 ? "0" : "1", Write("moves.txt", moves).string()});
        EXPECT_EQ(inCells.status, 0) << inCells.out;
        const testing::CliResult grid = Check({"grid", pdf.string(), std::to_string(units->u),
                                               std::to_string(units->c), std::to_string(units->dpi), "filled"});
        EXPECT_EQ(grid.status, 0) << grid.out;
    }
    // The header of game 1.
    const testing::CliResult header =
        Check({"words", (dir / "form1.pdf").string(),
               Write("header.txt", {"先", "先手太郎", "八段", "名人戦七番勝負", "令", "1", "5", "1",
                                    "第3局", "女流名人位", "後手花子", "将棋会館", "平手", "封じ手は７六歩", "300",
                                    "先手", "記録子"})
                   .string()});
    EXPECT_EQ(header.status, 0) << header.out;
    const testing::CliResult handicap = Check(
        {"words", (dir / "form2.pdf").string(), Write("handicap.txt", {"下", "下手一郎", "上", "上手次郎", "香落ち"}).string()});
    EXPECT_EQ(handicap.status, 0) << handicap.out;
}

// The two plain forms: the header, and every move in order (form 1 with its numbers).
TEST_F(PrintCli, PlainFormsListEveryMoveInOrder) {
    for (long k : {1L, 2L}) {
        const std::vector<std::string> lines = MoveLines(k);
        std::vector<std::string> numbered = {k == 1 ? "先　手：先手太郎" : "下　手：下手一郎",
                                             k == 1 ? "後　手：後手花子" : "上　手：上手次郎",
                                             k == 1 ? "対局日：2019年05月01日" : "対局日：2020年01月15日"};
        std::vector<std::string> bare = numbered;
        const int moves = static_cast<int>(lines.size()) - 1;
        for (int i = 0; i < moves; ++i) {
            numbered.push_back(std::to_string(i + 1) + ":" + Cp932ToUtf8(lines[static_cast<std::size_t>(i)].substr(5)));
        }
        // Form 2 reads row by row: a row holds two plies of each block of 70, the plies from 210
        // on in a second set of 35 rows; a handicap game's first ply is the second of row 0.
        const int first = k == 2 ? 1 : 0;
        for (int set = 0; set < 2; ++set) {
            for (int row = 0; row < 35; ++row) {
                for (int block = 0; block < 3; ++block) {
                    for (int i = 210 * set + 70 * block + 2 * row; i < 210 * set + 70 * block + 2 * row + 2; ++i) {
                        const int move = i - first;
                        if (move >= 0 && move < moves) {
                            bare.push_back(Cp932ToUtf8(lines[static_cast<std::size_t>(move)].substr(7)));
                        }
                    }
                }
            }
        }
        numbered.push_back(Cp932ToUtf8(lines.back()));

        const fs::path plain = dir / "plain.pdf";
        const fs::path listing = dir / "listing.pdf";
        ASSERT_EQ(RunCli({"print", store.string(), std::to_string(k), "--form", "plain", "-o", plain.string(),
                          "--overwrite"})
                      .status,
                  0);
        ASSERT_EQ(RunCli({"print", store.string(), std::to_string(k), "--form", "listing", "-o", listing.string(),
                          "--overwrite"})
                      .status,
                  0);
        const testing::CliResult one = Check({"text", plain.string(), Write("numbered.txt", numbered).string()});
        EXPECT_EQ(one.status, 0) << "game " << k << "\n" << one.out;
        const testing::CliResult two = Check({"text", listing.string(), Write("bare.txt", bare).string()});
        EXPECT_EQ(two.status, 0) << "game " << k << "\n" << two.out;
        const testing::CliResult closing =
            Check({"words", listing.string(), Write("closing.txt", {Cp932ToUtf8(lines.back())}).string()});
        EXPECT_EQ(closing.status, 0) << closing.out;
        // Form 1 of game 1: 50 lines of moves overflow the first page, and move 201 starts
        // the third.
        if (k == 1) {
            EXPECT_EQ(PdfPages(plain), 3);
        }
    }
}

// The empty form: the sheet's lines and white cells; its picture is kept to be looked at.
TEST_F(PrintCli, EmptyFormAndPrinterFailures) {
    const fs::path pdf = dir / "empty.pdf";
    const testing::CliResult printed = RunCli({"print", "--empty-form", "-o", pdf.string()});
    ASSERT_EQ(printed.status, 0) << printed.out;
    const std::optional<Units> units = UnitsOf(printed.out);
    ASSERT_TRUE(units.has_value());
    EXPECT_EQ(PdfPages(pdf), 1);
    fs::create_directories(MOVRA_SCREENSHOT_DIR);
    const testing::CliResult grid =
        Check({"grid", pdf.string(), std::to_string(units->u), std::to_string(units->c), std::to_string(units->dpi),
               std::string(MOVRA_SCREENSHOT_DIR) + "/kifu_form_empty.png"});
    EXPECT_EQ(grid.status, 0) << grid.out;
    EXPECT_TRUE(fs::exists(fs::path(MOVRA_SCREENSHOT_DIR) / "kifu_form_empty.png"));
    const testing::CliResult labels =
        Check({"words", pdf.string(), Write("labels.txt", {"対", "棋", "開始", "段", "手数", "勝", "持", "時間"}).string()});
    EXPECT_EQ(labels.status, 0) << labels.out;
    // A filled-in page for the eye as well.
    const fs::path game = dir / "game.pdf";
    ASSERT_EQ(RunCli({"print", store.string(), "1", "-o", game.string()}).status, 0);
    EXPECT_EQ(Shell("pdftoppm -r 100 -png -singlefile -f 1 -l 1 " + ShellQuote(game.string()) + " " +
                    ShellQuote(std::string(MOVRA_SCREENSHOT_DIR) + "/kifu_form_game"))
                  .status,
              0);

    // A file the printer cannot write: the printer error, and no file.
    const fs::path nowhere = dir / "missing-folder" / "x.pdf";
    const testing::CliResult refused = RunCli({"print", store.string(), "1", "-o", nowhere.string()}, true);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("プリンタ・エラー！"), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("cannot write"), std::string::npos) << refused.out;
    EXPECT_FALSE(fs::exists(nowhere));
    // An existing file is kept without --overwrite; a game the store lacks prints nothing.
    EXPECT_EQ(RunCli({"print", store.string(), "1", "-o", pdf.string()}).status, 1);
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_EQ(RunCli({"print", store.string(), "3", "-o", (dir / "none.pdf").string()}).status, 1);
    EXPECT_FALSE(fs::exists(dir / "none.pdf"));
    EXPECT_EQ(RunCli({"print", store.string(), "1", "--form", "other", "-o", (dir / "none.pdf").string()}).status, 2);
}

}  // namespace
}  // namespace movra
