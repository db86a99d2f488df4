// Games written as KI2 and read back by our KI2 reader: the moves must come back exactly, which
// holds only when every relative word (右 左 上 引 寄 直 打) picks out the one piece that moved.
// Played games give the figure over many positions where two pieces of a kind reach the same
// square; the corpus (MOVRA_CORPUS) gives it over real games.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/store/store_files.h"
#include "core/store/store_test_support.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/import_text.h"
#include "core/textio/ki2_writer.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

struct Ki2Back {
    testing::TempFolder dir;
    std::unique_ptr<GameStore> store;
    testing::RecordingPrompter prompter;
    std::unique_ptr<ImportContext> context;
    Ki2Back() {
        EXPECT_TRUE(CreateStoreFiles(dir / "back.ipx", true));
        store = std::make_unique<GameStore>(dir / "back.ipx", StoreKind::Extended, 0);
        context = std::make_unique<ImportContext>(ImportContext{*store, prompter, {}, "2001-02-03 04:05:06", {}, 5});
    }
    // The game written as a KI2 file and imported again.
    std::optional<ExportGame> RoundTrip(const ExportGame& g, std::string* refusal) {
        const fs::path file = dir / "g.ki2";
        EXPECT_EQ(WriteTextLines(file, Ki2Lines(g), WriteMode::Replace), "");
        const FileImport read = ImportTextFile(file, *context);
        if (read.stored != 1) {
            *refusal = read.refusal;
            return std::nullopt;
        }
        return LoadExportGame(*store, {}, long(store->recordCount), prompter);
    }
};

int Occurrences(std::string_view text, std::string_view word) {
    int n = 0;
    for (std::size_t at = sjis::Find(text, word); at != sjis::npos; at = sjis::Find(text, word)) {
        ++n;
        text.remove_prefix(at + word.size());
    }
    return n;
}

int SameMovesUpTo(const ExportGame& a, const ExportGame& b) {
    const int n = std::min<int>(a.record.moveCount, b.record.moveCount);
    for (int m = 1; m <= n; ++m) {
        if (a.record.moves[std::size_t(m)].moveCode() != b.record.moves[std::size_t(m)].moveCode()) return m - 1;
    }
    return n;
}

// Five hundred played games, a tenth of them handicap games, with comments, names and results:
// every move comes back, and the relative words of every kind were needed along the way.
TEST(Ki2Writer, PlayedGamesComeBackWithEveryMove) {
    Ki2Back back;
    std::mt19937 rng(71);
    auto game = std::make_unique<ExportGame>();
    std::map<std::string, int> words;
    long moves = 0;
    for (int i = 0; i < 500; ++i) {
        SCOPED_TRACE("game " + std::to_string(i));
        ExportGame& g = *game;
        const int handicap = i % 10 == 0 ? 1 + i % 14 : 0;
        testing::PlayRandomGame(rng, handicap, 40 + int(rng() % 200), g.record);
        g.handicapNumber = handicap;
        g.senteName = "先手"_sj + std::to_string(i);
        g.goteName = "後手"_sj + std::to_string(500 - i);
        g.tournament = i % 2 ? std::string("順位戦"_sj) : std::string();
        g.year = 2021;
        g.month = 1 + i % 12;
        g.day = 1 + i % 28;
        g.result = i % 9;
        g.comments.assign(std::size_t(g.record.moveCount + 2), std::string());
        if (i % 3 == 0) g.comments[0] = "開始前"_sj;
        if (i % 4 == 0) g.comments[std::size_t(g.record.moveCount / 2)] = "一行目\r\n二行目"_sj;

        for (const std::string& line : Ki2Lines(g)) {
            for (const char* w : {"右", "左", "上", "引", "寄", "直", "打", "不成"}) words[w] += Occurrences(line, Utf8ToCp932(w));
        }

        std::string refusal;
        const std::optional<ExportGame> b = back.RoundTrip(g, &refusal);
        ASSERT_TRUE(b.has_value()) << refusal;
        ASSERT_EQ(b->record.moveCount, g.record.moveCount);
        ASSERT_EQ(SameMovesUpTo(*b, g), g.record.moveCount);
        moves += g.record.moveCount;
        EXPECT_EQ(b->handicapNumber, handicap);
        EXPECT_EQ(b->senteName, g.senteName);
        EXPECT_EQ(b->goteName, g.goteName);
        EXPECT_EQ(b->Comment(0), g.Comment(0));
        if (i % 4 == 0 && g.record.moveCount / 2 >= 1) {
            EXPECT_NE(b->Comment(g.record.moveCount / 2).find("二行目"_sj), std::string::npos);
        }
        // KI2 names the outcome, not whether the record stops before the end.
        const int outcome = g.result >= 5 ? g.result - 4 : g.result;
        const int backOutcome = b->result >= 5 ? b->result - 4 : b->result;
        EXPECT_EQ(backOutcome, outcome);
    }
    std::printf("KI2 round trip: 500 played games, %ld moves, every one read back; relative words:", moves);
    for (const auto& [w, n] : words) std::printf(" %s %d", w.c_str(), n);
    std::printf("\n");
    for (const char* w : {"右", "左", "上", "引", "寄", "直", "打", "不成"}) EXPECT_GT(words[w], 10) << w;
}

// Two golds and two silvers side by side, each able to reach the same squares: the file says
// which one moved, and the reader takes that one.
TEST(Ki2Writer, TwinPiecesAreToldApart) {
    Ki2Back back;
    auto game = std::make_unique<ExportGame>();
    ExportGame& g = *game;
    g.record.ResetHeader(0);
    g.record.ClearMoves();
    g.record.SetUpStandard();
    // Both golds of either side can reach the square in front of their king.
    for (const char* code : {"4958", "4152", "7776", "3334", "6968"}) {
        ASSERT_TRUE(g.record.AppendAndApply(*MoveCode::Parse(code))) << code;
    }
    const std::vector<std::string> lines = Ki2Lines(g);
    std::string all;
    for (const std::string& l : lines) all += Cp932ToUtf8(l) + "\n";
    EXPECT_NE(all.find("▲５八金右"), std::string::npos) << all;
    EXPECT_NE(all.find("△５二金"), std::string::npos) << all;
    std::string refusal;
    const std::optional<ExportGame> b = back.RoundTrip(g, &refusal);
    ASSERT_TRUE(b.has_value()) << refusal;
    EXPECT_EQ(SameMovesUpTo(*b, g), g.record.moveCount) << all;
}

// Every game of the corpus that the store takes, written as KI2 and read back.
TEST(Ki2Writer, CorpusGamesComeBackWithEveryMove) {
    const char* root = std::getenv("MOVRA_CORPUS");
    if (root == nullptr || !fs::is_directory(root)) GTEST_SKIP() << "MOVRA_CORPUS does not name a folder";
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string ext = it->path().extension().string();
        for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (it->is_regular_file() && (ext == ".kif" || ext == ".kifu" || ext == ".ki2" || ext == ".ki2u" ||
                                      ext == ".csa")) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    Ki2Back source, back;
    long games = 0, same = 0;
    std::vector<std::string> different;
    for (const fs::path& file : files) {
        const std::uint32_t before = source.store->recordCount;
        ImportTextFile(file, *source.context);
        for (std::uint32_t k = before + 1; k <= source.store->recordCount; ++k) {
            const std::optional<ExportGame> g = LoadExportGame(*source.store, {}, long(k), source.prompter);
            ASSERT_TRUE(g.has_value());
            ++games;
            std::string refusal;
            const std::optional<ExportGame> b = back.RoundTrip(*g, &refusal);
            if (b && b->record.moveCount == g->record.moveCount && SameMovesUpTo(*b, *g) == g->record.moveCount) {
                ++same;
            } else {
                different.push_back(file.string() + (b ? "" : ": " + refusal));
            }
        }
    }
    std::printf("KI2 round trip over the corpus: %ld of %ld stored games read back with the same moves\n", same, games);
    for (const std::string& d : different) ADD_FAILURE() << d;
    EXPECT_GT(games, 100);
}

}  // namespace
}  // namespace movra
