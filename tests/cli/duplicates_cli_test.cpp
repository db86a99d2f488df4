#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/duplicates/planted_store.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using testing::RunCli;

// The first two columns of every line printed: set number and record number for duplicates,
// record number and the hit for anomalies.
std::vector<std::string> Columns(const std::string& out, bool withHit) {
    std::vector<std::string> rows;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (withHit) second = line.substr(line.rfind("hit ") + 4);
        rows.push_back(first + ":" + second);
    }
    return rows;
}

TEST(DuplicatesCliTest, PrintsTheSetsAndTheAnomaliesOfAPlantedStore) {
    testing::TempFolder folder;
    const auto store = folder / "planted.idx";
    const std::vector<std::string> a = {"7776", "3334"};
    std::vector<testing::PlantedGame> games(5);
    games[0] = {1, 2, 2001, 1, 1, 1, 0, a};
    games[1] = {3, 4, 2001, 1, 2, 1, 0, {"2726", "8384"}};
    games[2] = {2, 1, 2001, 1, 3, 1, 0, a};
    games[3] = {1, 2, 2001, 1, 4, 1, 0, {"7776", "3334", "8822+", "3122", "0655", "0645"}};
    games[4] = {5, 6, 2001, 1, 5, 1, 1, {"3334", "7776"}};
    testing::WritePlantedStore(store, games);

    auto r = RunCli({"duplicates", store.string(), "--moves", "--quiet"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Columns(r.out, false), (std::vector<std::string>{"1:1", "1:3"}));
    r = RunCli({"duplicates", store.string(), "--quiet"});  // players side by side
    EXPECT_EQ(Columns(r.out, false), (std::vector<std::string>{"1:1", "1:4"}));
    r = RunCli({"duplicates", store.string(), "--fields", "date"}, true);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("重複棋譜はありませんでした。"), std::string::npos) << r.out;

    r = RunCli({"anomalies", store.string(), "--check", "empty-hands", "--quiet", "--threads", "2"});
    // Games without a capture end with empty hands too; game 4 drops both bishops back.
    EXPECT_EQ(Columns(r.out, true), (std::vector<std::string>{"1:2", "2:2", "3:2", "4:6", "5:2"}));
    r = RunCli({"anomalies", store.string(), "--check", "length", "--length", "2", "--quiet"});
    EXPECT_EQ(Columns(r.out, true), (std::vector<std::string>{"4:-1"}));

    EXPECT_EQ(RunCli({"anomalies", store.string(), "--check", "length"}).status, 2);
    EXPECT_EQ(RunCli({"anomalies", store.string(), "--check", "length", "--length", "300"}).status, 2);
    EXPECT_EQ(RunCli({"duplicates", store.string(), "--fields", "colour"}).status, 2);
    EXPECT_EQ(RunCli({"duplicates", (folder / "missing.idx").string()}).status, 1);
    r = RunCli({"anomalies", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("captured-king"), std::string::npos);
}

}  // namespace
}  // namespace movra
