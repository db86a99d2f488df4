// movra-cli notation: the move list of a bare move sequence on the terminal.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

struct CliRun {
    int status = -1;
    std::string out;  // stdout and stderr together
};

CliRun Cli(const std::string& args) {
    CliRun r;
    const std::string command = std::string(MOVRA_CLI_PATH) + " notation " + args + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

TEST(NotationCli, PrintsUtf8LinesAndTheClosingLine) {
    const CliRun r = Cli("7776 3334 8822+ 3122");
    EXPECT_EQ(r.status, 0);
    const std::string expected =
        "001  ▲７六歩\n002  △３四歩\n003  ▲２二角成\n004  △同　銀\n4手まで\n"_sj;
    EXPECT_EQ(r.out, Cp932ToUtf8(expected));
}

TEST(NotationCli, SjisWritesTheRawBytesAndEndAndHandicapChangeTheWords) {
    const CliRun r = Cli("--sjis --handicap 2 --end 2 3334 7776");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "001  △３四歩\n002  ▲７六歩\n2手まで上手勝ち\n"_sj);
    EXPECT_EQ(Cli("--sjis --end 5").out, "0手以下先手勝ち\n"_sj);
}

TEST(NotationCli, AMoveThatCannotBeMadeStopsWithItsName) {
    const CliRun r = Cli("7776 3334 5554");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("move 3 '5554'"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("001"), std::string::npos) << "nothing is printed before the error";
    EXPECT_EQ(Cli("77x6").status, 1);
    EXPECT_EQ(Cli("0155").status, 1);
    EXPECT_EQ(Cli("--handicap Q 7776").status, 2);
    EXPECT_EQ(Cli("--end 9 7776").status, 2);
}

}  // namespace
}  // namespace movra
