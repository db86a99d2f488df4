// movra-cli tree: the next moves from a position over a store's games, as JSON and as a table,
// the same with and without the opening index.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using testing::RunCli;
using testing::TempFolder;

TEST(TreeCli, NextMovesWithTranspositionsAsJsonAndTableWithAndWithoutTheIndex) {
    TempFolder dir;
    const std::string store = (dir / "t.ipx").string();
    ASSERT_EQ(RunCli({"new", store}).status, 0);
    // Games 1 and 2 reach the position after 7g7f 3c3d 2g2f in different orders; game 1 ends there.
    const char* games[][3] = {{"7776 3334 2726", "1", "2020/01/01"},
                              {"2726 3334 7776 8384", "2", "2023/05/05"},
                              {"7776 8384", "3", "2021/03/00"},
                              {"7776 3334", "0", "2019/12/31"}};
    for (const auto& g : games) {
        const auto r = RunCli({"edit", store, "new", "--result", g[1], "--date", g[2], "--moves-from", "1",
                               "--moves", g[0]},
                              true);
        ASSERT_EQ(r.status, 0) << r.out;
    }

    auto r = RunCli({"tree", store, "--json", "--index", "no"}, true);
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string start = r.out;
    EXPECT_NE(start.find(R"j({"usi":"7g7f","move":"７六歩(77)","games":3,"sente_wins":1,"gote_wins":0,"draws":1,"other":1,"share":0.7500,"last_game":3,"last_date":"2021/03",)j"),
              std::string::npos)
        << start;
    EXPECT_NE(start.find(R"j({"usi":"2g2f","move":"２六歩(27)","games":1,"sente_wins":0,"gote_wins":1,"draws":0,"other":0,"share":0.2500,"last_game":2,"last_date":"2023/05/05",)j"),
              std::string::npos)
        << start;

    // The position after game 1's third move: game 2 reaches it by transposition and goes on.
    r = RunCli({"tree", store, "--game", "1", "--move", "3", "--json", "--index", "no"});
    ASSERT_EQ(r.status, 0);
    const std::string transposed = r.out;
    EXPECT_NE(transposed.find(R"j("usi":"8c8d","move":"８四歩(83)","games":1,"sente_wins":0,"gote_wins":1)j"),
              std::string::npos)
        << transposed;
    EXPECT_EQ(transposed.find("\"usi\"", transposed.find("8c8d") + 4), std::string::npos) << transposed;
    // Within two moves nobody gets there.
    r = RunCli({"tree", store, "--game", "1", "--move", "3", "--depth", "2", "--json"});
    EXPECT_EQ(r.out, "[]\n");

    // The index gives the same answers.
    r = RunCli({"tree", store, "--json", "--index", "build"}, false);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start);
    ASSERT_TRUE(std::filesystem::exists(dir / "t.oix"));
    EXPECT_EQ(RunCli({"tree", store, "--game", "1", "--move", "3", "--json"}).out, transposed);
    r = RunCli({"tree", store, "--position", "startpos"});
    EXPECT_NE(r.out.find("4 games reach the position (0 end there), from the opening index"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("７六歩(77)"), std::string::npos) << r.out;

    EXPECT_EQ(RunCli({"tree", store, "--move", "3"}).status, 2);
    EXPECT_EQ(RunCli({"tree", store, "--game", "9"}).status, 1);
}

}  // namespace
}  // namespace movra
