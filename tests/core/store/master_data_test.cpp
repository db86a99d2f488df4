#include "core/store/master_data.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

class MasterDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("movra_master_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void WriteFile(const std::string& name, const std::vector<std::string>& lines) {
        std::ofstream out(folder_ / name, std::ios::binary);
        for (const std::string& l : lines) out << l << "\r\n";
    }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(folder_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path folder_;
    testing::RecordingPrompter prompter_;
};

// A player line as the file holds it.
std::string PlayerLine(int number, char category, std::string_view name, std::string_view kana) {
    char head[8];
    std::snprintf(head, sizeof head, "%3d %c ", number, category);
    return head + PadOrCut(name, 20) + PadOrCut(kana, 20);
}

TEST_F(MasterDataTest, TournamentWithSubTournaments) {
    WriteFile("Movra.dat", {" 1 名人戦"_sj, "++01 "_sj + "Ａ級順位戦"_sj, "++02 "_sj + "Ｂ級１組"_sj});
    TournamentTable t;
    ASSERT_TRUE(t.Load(folder_, prompter_));
    EXPECT_EQ(t.NumberByPosition(1), 1);
    EXPECT_EQ(t.NameByPosition(1), std::string("名人戦"_sj));
    EXPECT_EQ(t.SubNumberByPosition(1, 2), 2);
    EXPECT_EQ(t.SubNumberByPosition(1, 1), 1);
    EXPECT_EQ(t.SubNumberByName(1, "Ｂ級 １組"_sj), 2);
    EXPECT_EQ(t.SubOrder(1, 2), 2);
    EXPECT_EQ(t.SubDisplayName(1, 2), PadOrCut("Ｂ級１組"_sj, 20));
    EXPECT_EQ(t.SubDisplayName(1, 7), PadOrCut("[#7]", 20));
    EXPECT_EQ(t.SubDisplayName(0, 2), std::string(20, ' '));
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MasterDataTest, EmptyTournamentNameLeavesEmptyRowAndSubLinesAttachAbove) {
    WriteFile("Movra.dat", {" 1 竜王戦"_sj, " 2 ", "++01 "_sj + "決勝"_sj, " 3 王位戦"_sj,
                            "xx ignored", "1x bad number"});
    TournamentTable t;
    ASSERT_TRUE(t.Load(folder_, prompter_));
    EXPECT_EQ(t.Row(0).number, 1);
    EXPECT_TRUE(t.Row(1).empty());  // the row counter moved on past the empty name
    EXPECT_EQ(t.Row(2).number, 3);
    EXPECT_EQ(t.Row(2).order, 2);
    EXPECT_EQ(t.SubNumberByName(1, "決勝"_sj), 1);  // still tournament 1's
    EXPECT_EQ(t.NumberByName("王位戦"_sj), 3);
    EXPECT_EQ(t.Order(3), 2);
    EXPECT_EQ(t.Order(2), -1);
    EXPECT_EQ(t.DisplayName(3), PadOrCut("王位戦"_sj, 20));
    EXPECT_EQ(t.DisplayName(55), PadOrCut("[#55]", 20));
    // A number that does not parse neither fills a row nor moves the counter.
    EXPECT_TRUE(t.Row(3).empty());
}

TEST_F(MasterDataTest, SubTournamentLinesBeyondTheTenthAndBadNumbersAreIgnored) {
    std::vector<std::string> lines{" 5 棋聖戦"_sj};
    for (int s = 1; s <= 12; ++s) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", s);
        lines.push_back("++" + std::string(number) + " sub" + std::to_string(s));
    }
    lines.push_back("++01");  // no name
    WriteFile("Movra.dat", lines);
    TournamentTable t;
    ASSERT_TRUE(t.Load(folder_, prompter_));
    EXPECT_EQ(t.SubNumberByPosition(5, 10), 10);
    EXPECT_EQ(t.SubNumberByName(5, "sub11"), 0);
    EXPECT_EQ(t.SubNumberByName(5, "sub12"), 0);
    // Out-of-range lookups answer nothing.
    EXPECT_EQ(t.SubNumberByPosition(500, 1), 0);
    EXPECT_EQ(t.SubNumberByPosition(-1, 1), 0);
    EXPECT_TRUE(t.SubRow(101, 0).empty());
}

TEST_F(MasterDataTest, AtMostHundredTournamentRows) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%2d T%d", i % 100, i);
        lines.push_back(line);
    }
    WriteFile("Movra.dat", lines);
    TournamentTable t;
    ASSERT_TRUE(t.Load(folder_, prompter_));
    EXPECT_EQ(t.Row(99).name, "T100");
    EXPECT_EQ(t.NumberByName("T101"), 0);
}

TEST_F(MasterDataTest, WritingTournamentsKeepsRowPositionsAsNumbers) {
    TournamentTable t;
    t.MutableRow(0) = {1, 1, "名人戦"_sj};
    t.MutableRow(2) = {3, 2, "王将戦"_sj};
    t.MutableSubRow(3, 0) = {1, 1, "一次予選"_sj};
    t.MutableSubRow(3, 2) = {3, 2, "本戦"_sj};
    ASSERT_TRUE(t.Write(folder_));
    EXPECT_EQ(ReadFile("Movra.dat"), " 1 名人戦\r\n 3 王将戦\r\n++01 一次予選\r\n++03 本戦\r\n"_sj);
    TournamentTable again;
    ASSERT_TRUE(again.Load(folder_, prompter_));
    EXPECT_EQ(again.NumberByPosition(2), 3);
    EXPECT_EQ(again.SubNumberByName(3, "本戦"_sj), 3);
    EXPECT_EQ(again.SubOrder(3, 3), 2);
}

TEST_F(MasterDataTest, MissingTournamentAndOpeningFilesWarn) {
    TournamentTable t;
    OpeningTable o;
    EXPECT_FALSE(t.Load(folder_, prompter_));
    EXPECT_FALSE(o.Load(folder_, prompter_));
    ASSERT_EQ(prompter_.shown.size(), 2u);
    EXPECT_EQ(prompter_.shown[0].text, std::string("\r棋戦名データが読めません。"_sj));
    EXPECT_EQ(prompter_.shown[1].text, std::string("\r戦型名データが読めません。"_sj));
    EXPECT_EQ(prompter_.shown[1].kind, testing::RecordingPrompter::Shown::Warning);
    EXPECT_EQ(t.NumberByPosition(1), 0);
}

TEST_F(MasterDataTest, OpeningsNormaliseBlankNumberColumns) {
    WriteFile("SENKEI.DAT", {"  1 矢倉"_sj, "", " 12 四間飛車"_sj, "abc 不明"_sj});
    OpeningTable o;
    ASSERT_TRUE(o.Load(folder_, prompter_));
    EXPECT_EQ(o.Row(0).number, 1);
    EXPECT_TRUE(o.Row(1).empty());
    EXPECT_EQ(o.Row(2).number, 12);
    EXPECT_EQ(o.Row(2).order, 2);
    // A number that does not parse leaves the number 0 but keeps the name.
    EXPECT_EQ(o.Row(3).number, 0);
    EXPECT_EQ(o.NumberByPosition(2), 12);
    EXPECT_EQ(o.NumberByName("四間 飛車"_sj), 12);
    EXPECT_EQ(o.Order(12), 2);
    EXPECT_EQ(o.DisplayName(12), PadOrCut("四間飛車"_sj, 30));
    EXPECT_EQ(o.DisplayName(99), PadOrCut("[#99]", 30));
    EXPECT_EQ(o.DisplayName(0), std::string(30, ' '));
}

TEST_F(MasterDataTest, OpeningsWriteByRowPosition) {
    OpeningTable o;
    o.MutableRow(0) = {7, 1, "矢倉"_sj};
    o.MutableRow(99) = {100, 2, "その他"_sj};
    ASSERT_TRUE(o.Write(folder_));
    EXPECT_EQ(ReadFile("Senkei.dat"), "  1 矢倉\r\n100 その他\r\n"_sj);
}

TEST_F(MasterDataTest, PlayersLoadSkippingFreeAndShortLines) {
    WriteFile("Ksname.dat", {PlayerLine(1, 'A', "羽生　善治"_sj, "ﾊﾌﾞ ﾖｼﾊﾙ"_sj),
                             std::string("  2 A") + "　"_sj + std::string(39, ' '), "abc",
                             PlayerLine(3, 'E', "山田 太郎"_sj, "ﾔﾏﾀﾞ ﾀﾛｳ"_sj),
                             "x1  D " + PadOrCut("Bad"_sj, 20)});
    PlayerTable p;
    ASSERT_TRUE(p.Load(folder_, true));
    EXPECT_EQ(p.Entry(1).category, 'A');
    EXPECT_EQ(p.Entry(1).name, PadOrCut("羽生　善治"_sj, 20));
    EXPECT_EQ(p.Entry(1).shortName, std::string("羽生善治"_sj));
    EXPECT_EQ(p.Entry(2).number, 0);  // a free slot
    // Found by the name written without the blank, and with it.
    EXPECT_EQ(p.NumberByName("羽生善治"_sj), 1);
    EXPECT_EQ(p.NumberByName("山田太郎"_sj), 3);
    EXPECT_EQ(p.NumberByName("山田 太郎"_sj), 3);
    EXPECT_EQ(p.NumberByName("Bad"), 0);  // lands in slot 0, which no lookup answers
    EXPECT_EQ(p.Entry(0).name.substr(0, 3), "Bad");
    EXPECT_EQ(p.DisplayName(0), PadOrCut("(未登録)"_sj, 30));
    EXPECT_EQ(p.DisplayName(3), PadOrCut("山田 太郎"_sj, 30));
    EXPECT_EQ(p.DisplayName(44), PadOrCut("[#44]", 30));
    EXPECT_EQ(p.DisplayName(123456), PadOrCut("[#123456]", 30));
    // The order is by category, then kana: A before D before E.
    ASSERT_EQ(p.Order().size(), 3u);
    EXPECT_EQ(p.OrderPosition(1), 1);
    EXPECT_EQ(p.OrderPosition(0), 2);
    EXPECT_EQ(p.OrderPosition(3), 3);
    EXPECT_EQ(p.Order()[0].size(), 69u);
    EXPECT_EQ(p.Order()[0].substr(61), "00010000");
    EXPECT_EQ(p.OrderPosition(2), 0);

    PlayerTable fileOrder;
    ASSERT_TRUE(fileOrder.Load(folder_, false));
    EXPECT_EQ(fileOrder.OrderPosition(3), 2);
}

TEST_F(MasterDataTest, PlayerShortNameNeverSplitsACharacter) {
    // Fifteen double-byte characters: the short name keeps seven of them.
    EXPECT_EQ(PlayerShortName("あいうえおかきくけこさしすせそ"_sj), std::string("あいうえおかき"_sj));
    // One single-byte character first: the 14th byte would be a lead byte, so 13 bytes.
    EXPECT_EQ(PlayerShortName("Aあいうえおかきく"_sj), std::string("Aあいうえおか"_sj));
    EXPECT_EQ(PlayerShortName(" 羽生 　善治 "_sj), std::string("羽生善治"_sj));
}

TEST_F(MasterDataTest, PlayersWriteAndReadBack) {
    PlayerTable p;
    p.SetEntry(5, 'B', "大山康晴"_sj, "ｵｵﾔﾏ ﾔｽﾊﾙ"_sj);
    p.SetEntry(7, 'C', "@ 削除"_sj, "");
    p.SetEntry(1000, 'A', "入らない"_sj, "");
    p.SetEntry(9, ' ', "カテゴリなし"_sj, "");
    ASSERT_TRUE(p.Write(folder_));
    const std::string expected = "  5 B "_sj + PadOrCut("大山康晴"_sj, 20) + PadOrCut("ｵｵﾔﾏ ﾔｽﾊﾙ"_sj, 20) +
                                 "\r\n" + "  7 C" + "　"_sj +
                                 std::string(39, ' ') + "\r\n";
    EXPECT_EQ(ReadFile("Ksname.dat"), expected);
    EXPECT_EQ(p.FileCannotHold(), std::vector<int>{1000});
    PlayerTable again;
    ASSERT_TRUE(again.Load(folder_, true));
    EXPECT_EQ(again.NumberByName("大山康晴"_sj), 5);
    EXPECT_EQ(again.Entry(7).number, 0);  // the freed slot is skipped on reading
    EXPECT_EQ(again.Entry(1000).number, 0);
}

TEST_F(MasterDataTest, MissingPlayerFileLeavesTableCleared) {
    PlayerTable p;
    p.SetEntry(1, 'A', "x", "y");
    EXPECT_FALSE(p.Load(folder_, true));
    EXPECT_EQ(p.Entry(1).number, 0);
    EXPECT_TRUE(p.Order().empty());
    EXPECT_THROW(p.MutableEntry(10000), std::out_of_range);
}

TEST_F(MasterDataTest, DatFolderCheckNamesMissingFiles) {
    WriteFile("KSNAME.DAT", {});
    EXPECT_FALSE(CheckDatFolder(folder_, &prompter_));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "以下のファイルがありません！\r\rMovra.dat\rSenkei.dat"_sj);
    WriteFile("movra.dat", {});
    WriteFile("Senkei.dat", {});
    EXPECT_TRUE(CheckDatFolder(folder_, &prompter_));
    EXPECT_EQ(prompter_.shown.size(), 1u);
    EXPECT_FALSE(CheckDatFolder(folder_ / "nowhere", nullptr));
    EXPECT_EQ(MasterFolder("", "/prog"), fs::path("/prog"));
    EXPECT_EQ(MasterFolder("/dat", "/prog"), fs::path("/dat"));
}

}  // namespace
}  // namespace movra
