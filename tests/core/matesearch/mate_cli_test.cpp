// movra-cli mate: the search from the command line.
#include <gtest/gtest.h>

#include "support/run_cli.h"

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
    r = RunCli({"mate", "--game", "store", "1", "--move", "5"}, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("not available yet"), std::string::npos);
    EXPECT_EQ(RunCli({"mate", "garbage"}).status, 2);
    EXPECT_EQ(RunCli({"mate", "--depth", "x", "4k4/9/9/9/9/9/9/9/4K4 b G 1"}).status, 2);
}

}  // namespace
}  // namespace movra
