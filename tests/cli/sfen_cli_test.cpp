// movra-cli sfen: the position reached by replaying move codes.
#include <gtest/gtest.h>

#include "support/run_cli.h"

namespace movra {
namespace {
using testing::RunCli;

TEST(SfenCommand, ReplaysAnOpeningWithCaptureAndDrop) {
    auto r = RunCli({"sfen", "7776", "3334", "8822+", "3122", "0645"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "lnsgkg1nl/1r5s1/pppppp1pp/6p2/5B3/2P6/PP1PPPPPP/7R1/LNSGKGSNL w b 6\n");
}

TEST(SfenCommand, HandicapStartsWithTheStrongerSide) {
    auto r = RunCli({"sfen", "--handicap", "5"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1\n");
    r = RunCli({"sfen", "--handicap", "Z", "0153", "7776"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "4k4/9/4p4/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w 2p 3\n");
}

TEST(SfenCommand, StartsFromAGivenPosition) {
    auto r = RunCli({"sfen", "--position", "4k4/9/4P4/9/9/9/9/9/4K4 b G 1", "0552"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "4k4/4G4/4P4/9/9/9/9/9/4K4 w - 2\n");
    r = RunCli({"sfen", "--position", "4k4/9/9/9/9/9/9/9/4K4 w - 10", "5152"});
    EXPECT_EQ(r.out, "9/4k4/9/9/9/9/9/9/4K4 b - 11\n");
}

TEST(SfenCommand, RefusesMovesThatCannotBeReplayed) {
    auto r = RunCli({"sfen", "7776", "5554"}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("move 2 '5554'"), std::string::npos) << r.out;
    r = RunCli({"sfen", "3334"}, true);  // gote's pawn on sente's turn
    EXPECT_EQ(r.status, 1);
    r = RunCli({"sfen", "0155"}, true);  // nothing in hand
    EXPECT_EQ(r.status, 1);
    r = RunCli({"sfen", "77x6"}, true);
    EXPECT_EQ(r.status, 1);
    r = RunCli({"sfen", "--handicap", "Q"}, true);
    EXPECT_EQ(r.status, 2);
    r = RunCli({"sfen", "--position", "garbage"}, true);
    EXPECT_EQ(r.status, 2);
}

TEST(CliVersion, PrintsTheVersion) {
    auto r = RunCli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("movra-cli ", 0), 0u);
}

}  // namespace
}  // namespace movra
