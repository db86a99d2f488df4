// movra-cli search: header conditions, position searches with the hit move, narrowing a saved
// list, the detailed conditions and the checks' messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/store/master_data.h"
#include "support/run_cli.h"
#include "core/list/search_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RunCli;
using testing::StoreGame;
using testing::TempFolder;

StoreGame Game(int handicap, std::initializer_list<const char*> codes, int sente, int gote, int year,
               int month, int day, int result) {
    TKifData record;
    record.ResetHeader(handicap);
    record.ClearMoves();
    record.SetUpStandard();
    for (const char* c : codes) EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(c))) << c;
    StoreGame g;
    g.game.handicap = handicap;
    g.game.moveCount = FillMoveBuffers(record, g.game.moves, g.game.info);
    g.index.setSentePlayer(std::uint16_t(sente));
    g.index.setGotePlayer(std::uint16_t(gote));
    g.index.setYear(std::uint16_t(year));
    g.index.setMonth(std::uint16_t(month));
    g.index.setDay(std::uint16_t(day));
    g.index.setResult(std::uint16_t(result));
    return g;
}

struct CliStore {
    TempFolder dir;
    std::string store;

    CliStore() {
        std::vector<StoreGame> games;
        games.push_back(Game(0, {"7776", "3334", "2726"}, 12, 5, 2000, 1, 0, 1));
        games.push_back(Game(0, {"2726", "3334", "7776"}, 5, 12, 2000, 0, 0, 2));
        games.push_back(Game(1, {"9394", "7776"}, 7, 12, 1999, 12, 31, 6));
        games[0].detail.setPlace("Osaka");
        games[2].detail.setPlace("Kyoto");
        testing::WriteSearchStore(dir / "games.idx", games, true);
        store = (dir / "games.ipx").string();
        PlayerTable players;
        players.SetEntry(5, 'A', "谷川浩司"_sj, "ﾀﾆｶﾞﾜ"_sj);
        players.SetEntry(7, 'A', "米長邦雄"_sj, "ﾖﾈﾅｶﾞ"_sj);
        players.SetEntry(12, 'A', "羽生善治"_sj, "ﾊﾌﾞ"_sj);
        EXPECT_TRUE(players.Write(dir.path()));
    }
    testing::CliResult Search(std::vector<std::string> args, bool withStderr = false) const {
        args.insert(args.begin(), {"search", store, "--dat", dir.path().string()});
        return RunCli(args, withStderr);
    }
};

// The record numbers at the start of the printed lines.
std::vector<int> Records(const std::string& out) {
    std::vector<int> records;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] >= '0' && line[0] <= '9') records.push_back(std::stoi(line));
    }
    return records;
}

TEST(SearchCli, HeaderConditionsPrintTheGamesAsListDoes) {
    CliStore s;
    auto r = s.Search({"--player", "12", "--mode", "labelled"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Records(r.out), std::vector<int>({1}));
    EXPECT_NE(r.out.find(Cp932ToUtf8("羽生善治"_sj)), std::string::npos);
    EXPECT_NE(r.out.find("2000/01/00"), std::string::npos);
    EXPECT_EQ(Records(s.Search({"--player", Cp932ToUtf8("羽生善治"_sj), "--player", "5"}).out),
              std::vector<int>({1, 2}));
    EXPECT_EQ(Records(s.Search({"--player", "12", "--mode", "swapped"}).out), std::vector<int>({2, 3}));
    // January 2000 takes day 0; month 00 only from a month-00 range.
    EXPECT_EQ(Records(s.Search({"--from", "2000/01", "--to", "2000/01"}).out), std::vector<int>({1}));
    EXPECT_EQ(Records(s.Search({"--from", "2000/00", "--to", "2000/01"}).out), std::vector<int>({1, 2}));
    EXPECT_EQ(Records(s.Search({"--result", Cp932ToUtf8("以下後手勝ち"_sj)}).out), std::vector<int>({3}));
    EXPECT_EQ(Records(s.Search({"--handicap", Cp932ToUtf8("香落ち"_sj)}).out), std::vector<int>({3}));

    r = s.Search({"--player", "12", "--result", "3"}, true);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Cp932ToUtf8("message: 検索結果は 0件です\n"_sj));
    r = s.Search({"--from", "2000/13"}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(Cp932ToUtf8("月の入力が間違っています！ 正しく入力して下さい。"_sj)), std::string::npos);
    r = s.Search({"--from", "2001/01", "--to", "2000/12"}, true);
    EXPECT_NE(r.out.find(Cp932ToUtf8("対局日の設定範囲が間違っています。"_sj)), std::string::npos);
    EXPECT_EQ(s.Search({"--reversed"}).status, 2);
    EXPECT_EQ(s.Search({"--player", "1", "--player", "2", "--player", "3"}).status, 2);
    EXPECT_EQ(s.Search({"--player", "nobody"}).status, 1);
}

TEST(SearchCli, PositionSearchesPrintTheHitMove) {
    CliStore s;
    // The position after game 1's third move; game 2 reaches it by another order.
    auto r = s.Search({"--position-of", "1:3"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Records(r.out), std::vector<int>({1, 2}));
    EXPECT_NE(r.out.find(Cp932ToUtf8("hit 3 ▲２六歩"_sj)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8("hit 3 ▲７六歩"_sj)), std::string::npos) << r.out;
    EXPECT_EQ(Records(s.Search({"--position-of", "1:3", "--depth", "2"}).out), std::vector<int>{});
    // The starting position: every even game at 0.
    r = s.Search({"--position", "startpos"});
    EXPECT_EQ(Records(r.out), std::vector<int>({1, 2}));
    EXPECT_NE(r.out.find("hit 0"), std::string::npos);
    // A lone gote pawn on 3四, and turned round sente's on 7六.
    const std::string pawn = "9/9/9/6p2/9/9/9/9/9 b - 1";
    r = s.Search({"--position", pawn});
    EXPECT_EQ(Records(r.out), std::vector<int>({1, 2}));
    r = s.Search({"--position", pawn, "--reversed", "--threads", "2"});
    EXPECT_EQ(Records(r.out), std::vector<int>({1, 2, 3}));
    EXPECT_NE(r.out.find(Cp932ToUtf8("hit 1 ▲７六歩"_sj)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8("hit 3 ▲７六歩"_sj)), std::string::npos) << "slot 3 of a handicap game";
    EXPECT_EQ(s.Search({"--position-of", "9:1"}).status, 1);
}

TEST(SearchCli, WithinNarrowsASavedListAndKeepsItWithoutHits) {
    CliStore s;
    const std::string list = (s.dir / "hits.txt").string();
    auto r = s.Search({"--player", "12", "--save", list});
    ASSERT_EQ(Records(r.out), std::vector<int>({1, 2, 3}));
    {
        std::ofstream reordered(list, std::ios::trunc);
        reordered << "3\n# a comment\n\n2\n1\n";
    }
    r = s.Search({"--within", list, "--position-of", "1:3", "--save", list});
    EXPECT_EQ(Records(r.out), std::vector<int>({2, 1})) << "the list's order";
    std::ifstream saved(list);
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_EQ(text.str(), "2\n1\n");
    r = s.Search({"--within", list, "--result", "4", "--save", list}, true);
    EXPECT_EQ(r.out, Cp932ToUtf8("message: 検索結果は 0件です\n"_sj));
    std::ifstream kept(list);
    std::stringstream again;
    again << kept.rdbuf();
    EXPECT_EQ(again.str(), "2\n1\n") << "no hit keeps the old list";
    {
        std::ofstream bad(list, std::ios::trunc);
        bad << "1\n99\n";
    }
    EXPECT_EQ(s.Search({"--within", list}).status, 1);
}

TEST(SearchCli, DetailedConditions) {
    CliStore s;
    auto r = s.Search({"--place", "Osa"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Records(r.out), std::vector<int>({1}));
    EXPECT_EQ(Records(s.Search({"--place", "Osa", "--exact"}).out), std::vector<int>{});
    EXPECT_EQ(Records(s.Search({"--place", "o", "--player", "7"}).out), std::vector<int>({3}))
        << "the detailed search, then the header conditions";
    EXPECT_EQ(Records(s.Search({"--comments", "no"}).out), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(s.Search({"--place", "x", "--within", "f"}).status, 2);
}

}  // namespace
}  // namespace movra
