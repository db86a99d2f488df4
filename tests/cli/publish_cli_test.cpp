// movra-cli publish: the web files of stored games, checked against the games, and our viewer
// page replayed in headless Chromium and compared square by square with the positions.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "../../bench/store_sample.h"
#include "core/publish/mobile_pages.h"
#include "core/publish/web_export.h"
#include "core/text/text_helpers.h"
#include "core/record/game_text.h"
#include "core/record/kif_data.h"
#include "core/session/stored_game.h"
#include "core/store/open_store.h"
#include "core/store/store_test_support.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using namespace movra::literals;
using testing::RunCli;
using testing::TempFolder;

std::string Text(const fs::path& p) {
    const std::vector<std::uint8_t> b = testing::FileBytes(p);
    return std::string(b.begin(), b.end());
}

// The lines of a CP932 file with CR LF line ends; a bare LF fails the test.
std::vector<std::string> CrLfLines(const fs::path& p) {
    const std::string text = Text(p);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        EXPECT_TRUE(at > start && text[at - 1] == '\r') << p << " line " << lines.size() + 1;
        lines.push_back(text.substr(start, at - start - 1));
        start = at + 1;
    }
    EXPECT_EQ(start, text.size()) << p << " ends without a line break";
    return lines;
}

std::string ChromiumPath() {
    for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser", "/usr/bin/google-chrome"}) {
        if (fs::exists(candidate)) return candidate;
    }
    return {};
}

// The page as Chromium has it once its scripts ran.
std::string DumpDom(const std::string& chromium, const fs::path& page, int move) {
    const std::string url = "file://" + page.string() + "#move=" + std::to_string(move);
    const std::string command = testing::ShellQuote(chromium) +
                                " --headless --no-sandbox --disable-gpu --no-first-run --dump-dom " +
                                testing::ShellQuote(url) + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

class PublishCli : public ::testing::Test {
protected:
    void SetUp() override {
        sample::StoreOptions options;
        options.path = dir / "s.ipx";
        options.games = 40;
        options.dat = dir.path();
        sample::GenerateStore(options);
        store = dir / "s.ipx";
        std::uint32_t count = 0;
        ASSERT_EQ(ValidateStoreForReading(store, count, prompter), StoreCheck::Extended);
        session.store = GameStore(store, StoreKind::Extended, count);
        session.storePath = session.store.files.IndexPath();
        session.openState = kOpenStateMovra;
    }

    // Game k as the store gives it, standing at its starting position.
    void Load(long k, TKifData& record) { ASSERT_TRUE(LoadStoredGame(session, k, record, prompter).found); }

    TempFolder dir;
    fs::path store;
    StoreSession session;
    testing::RecordingPrompter prompter;
};

TEST_F(PublishCli, DataFilesHoldTheStoredGameInCp932WithCrLf) {
    EXPECT_EQ(RunCli({"publish", "--help"}).status, 0);
    EXPECT_EQ(RunCli({"publish", store.string(), "1"}).status, 2);  // no --dir
    EXPECT_EQ(RunCli({"publish", store.string(), "999", "--dir", (dir / "none").string()}).status, 1);

    const fs::path out = dir / "web";
    const testing::CliResult r = RunCli({"publish", store.string(), "3", "--dir", out.string(), "--dat", dir.path().string()}, true);
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* name : {"kifu.js", "kifu_e.js", "kifu.kf", "kifu.html", "viewer.html", "kifu_e.html",
                             "i_kifu.html", "i_asc.html", "i_desc.html"}) {
        ASSERT_TRUE(fs::exists(out / name)) << name;
        EXPECT_TRUE(IsValidCp932(Text(out / name))) << name;
        CrLfLines(out / name);
    }
    // The mobile page's picture beside it: a 94 x 84 bitmap of 4 bits a pixel.
    const std::string bmp = Text(out / "i_board.bmp");
    ASSERT_GT(bmp.size(), std::size_t(30));
    auto word = [&](std::size_t at) { return int(std::uint8_t(bmp[at])) | int(std::uint8_t(bmp[at + 1])) << 8; };
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(word(18), 94);
    EXPECT_EQ(word(22), 84);
    EXPECT_EQ(word(28), 4);

    auto record = std::make_unique<TKifData>();
    Load(3, *record);
    const int n = record->moveCount;
    const std::vector<std::string> lines = MoveListLines(*record);
    // Every move's code and text in the data file, in order, then the closing line.
    std::vector<std::string> entries;
    for (const std::string& line : CrLfLines(out / "kifu.js")) {
        if (line.rfind(" k[", 0) == 0) entries.push_back(line);
    }
    ASSERT_EQ(entries.size(), lines.size());
    for (int i = 0; i < n; ++i) {
        const std::string code = record->moves[std::size_t(i + 1)].moveCode().str();
        const std::string prefix = " k[" + std::to_string(i) + "]=\"" + code + "\"; kif[" + std::to_string(i) +
                                   "]=\"" + MoveTextOf(lines[std::size_t(i)]) + "\"; com[";
        EXPECT_EQ(entries[std::size_t(i)].substr(0, prefix.size()), prefix) << "move " << i + 1;
    }
    EXPECT_NE(entries.back().find("kif[" + std::to_string(n) + "]=\"" + lines.back() + "\""), std::string::npos);
    // The applet file: the move count, then one line a list line.
    const std::vector<std::string> applet = CrLfLines(out / "kifu.kf");
    ASSERT_EQ(applet.size(), lines.size() + 2);
    EXPECT_EQ(applet[0], ZeroPad(n, 3));
    // The descending mobile list starts with the closing line.
    const std::string desc = Text(out / "i_desc.html");
    EXPECT_NE(desc.find(lines.back() + "<BR>\r\n" + MobileMoveLine(lines[std::size_t(n - 1)], record->moves[std::size_t(n)].consumedTime)),
              std::string::npos);
}

TEST_F(PublishCli, ViewerPageReplaysTheGameInChromium) {
    const std::string chromium = ChromiumPath();
    if (chromium.empty()) GTEST_SKIP() << "chromium is not installed (scripts/install-deps installs it)";

    // Game 1, the first handicap game and a long one: drops, captures and promotions all occur.
    std::vector<long> games = {1};
    for (long k = 2; k <= 40 && games.size() < 2; ++k) {
        auto r = std::make_unique<TKifData>();
        Load(k, *r);
        if (r->handicap != '0') games.push_back(k);
    }
    games.push_back(7);
    for (long k : games) {
        const fs::path out = dir / ("game" + std::to_string(k));
        ASSERT_EQ(RunCli({"publish", store.string(), std::to_string(k), "--dir", out.string()}).status, 0);
        auto record = std::make_unique<TKifData>();
        Load(k, *record);
        const int n = record->moveCount;
        for (int move : {n / 2, n}) {
            const std::string dom = DumpDom(chromium, out / "viewer.html", move);
            ASSERT_NE(dom.find("data-move=\"" + std::to_string(move) + "\""), std::string::npos)
                << "game " << k << " move " << move << ": the viewer did not step there";
            record->GoToMove(move);
            const std::regex cell(R"re(data-sq="(\d)(\d)" data-code="(\d+)")re");
            int cells = 0;
            for (auto it = std::sregex_iterator(dom.begin(), dom.end(), cell); it != std::sregex_iterator(); ++it) {
                const int file = std::stoi((*it)[1]), rank = std::stoi((*it)[2]);
                EXPECT_EQ(std::stoi((*it)[3]), int(record->position.board[std::size_t(BoardIndex(file, rank))]))
                    << "game " << k << " move " << move << " square " << file << rank;
                ++cells;
            }
            EXPECT_EQ(cells, 81);
            for (int side : {1, 2}) {
                const HandCounts& hand = side == 1 ? record->position.senteHand : record->position.goteHand;
                std::string counts;
                for (int kind = 1; kind <= 8; ++kind) counts += (kind > 1 ? "," : "") + std::to_string(hand[std::size_t(kind)]);
                EXPECT_NE(dom.find("id=\"hand" + std::to_string(side) + "\" data-side=\"" + std::to_string(side) +
                                   "\" data-counts=\"" + counts + "\""),
                          std::string::npos)
                    << "game " << k << " move " << move << " hand " << side;
            }
        }
    }
}

}  // namespace
}  // namespace movra
