// movra-cli positions: adding to a new and an existing collection, listing it, damaged files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/rules/sfen.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using testing::RunCli;
using testing::TempFolder;

std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PositionsCli, AddsFivePositionsOverTwoPagesAndListsThemBack) {
    TempFolder dir;
    const std::string file = (dir / "mine.kkm").string();
    const char* sfens[] = {
        "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
        "4k4/9/4P4/9/9/9/9/9/4K4 b G2r2b3g4s4n4l17p 1",
        "8k/9/9/9/9/9/9/9/K8 b RB 1",
        "4k4/9/9/9/9/9/9/9/4K4 b 18P 1",
        "ln1g3nl/1r4gk1/p1sppsbpp/1pp2pp2/9/2PP3P1/PPBSPPP1P/2G2S1R1/LN2KG1NL b - 1",
    };
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        const std::string title = "第" + std::to_string(i + 1) + "図";
        const testing::CliResult r =
            RunCli({"positions", file, "--add", sfens[i], "--title", title, "--sente", "▲先手", "--gote", "△後手"}, true);
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out, std::to_string(i + 1) + "\n");
        // As the rules write the position back (pieces the SFEN leaves out stay in the box).
        const std::string written = ToSfen(ParseSfen(sfens[i])->position, 1, 1);
        expected += std::to_string(i + 1) + "\t" + written + "\t" + title + "\t▲先手\t△後手\n";
    }
    EXPECT_EQ(std::filesystem::file_size(file), 2u * 2048u);
    const testing::CliResult listed = RunCli({"positions", file});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, expected);

    // A bad SFEN adds nothing.
    const std::string before = ReadBytes(file);
    EXPECT_EQ(RunCli({"positions", file, "--add", "9/9/9 b - 1"}).status, 2);
    EXPECT_EQ(ReadBytes(file), before);

    // A damaged position is named and left out; adding to that file is refused.
    std::string damaged = before;
    damaged[512 + 266 + 6 + 1] = char(77);  // position 2: piece 1 gets code 77
    testing::TouchFile(dir / "bad.kkm", damaged);
    const std::string bad = (dir / "bad.kkm").string();
    const testing::CliResult r = RunCli({"positions", bad}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("page 1 slot 2 left out"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("5\t" + ToSfen(ParseSfen(sfens[4])->position, 1, 1)), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\n2\t"), std::string::npos) << r.out;
    EXPECT_EQ(RunCli({"positions", bad, "--add", sfens[0]}).status, 1);
    EXPECT_EQ(ReadBytes(bad), damaged);

    EXPECT_EQ(RunCli({"positions", (dir / "missing.kkm").string()}).status, 1);
    EXPECT_EQ(RunCli({"positions", "--help"}).status, 0);
}

}  // namespace
}  // namespace movra
