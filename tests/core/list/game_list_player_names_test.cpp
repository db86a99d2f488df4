// The player picker's grid and answer, and the player-name reference.
#include <gtest/gtest.h>

#include <fstream>

#include "core/store/store_test_support.h"
#include "core/list/game_list_player_names.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

TEST(GameListPlayerPickerTest, CategoriesInNumberOrderAndAnswers) {
    testing::TempFolder dir;
    std::ofstream(dir / "Ksname.dat", std::ios::binary)
        << "  7 A 羽生 善治           ﾊﾌﾞ                 \r\n"_sj.str()
        << "  3 A 谷川浩司            ﾀﾆｶﾞﾜ               \r\n"_sj.str()
        << "  5 D 里見香奈            ｻﾄﾐ                 \r\n"_sj.str()
        << "  9 A 谷川浩司            ﾀﾆｶﾞﾜ2              \r\n"_sj.str();
    PlayerTable players;
    ASSERT_TRUE(players.Load(dir.path(), true));
    EXPECT_EQ(PickerNames(players, 'A'),
              (std::vector<std::string>{"谷川浩司"_sj, "羽生 善治"_sj, "谷川浩司"_sj}));
    EXPECT_EQ(PickerNames(players, 'D').size(), 1u);
    EXPECT_TRUE(PickerNames(players, 'E').empty());
    // The first player of the category with that name answers; another category does not.
    EXPECT_EQ(PickerAnswer(players, 'A', "谷川浩司"_sj), 3);
    EXPECT_EQ(PickerAnswer(players, 'A', "羽生 善治"_sj), 7);
    EXPECT_EQ(PickerAnswer(players, 'D', "谷川浩司"_sj), 0);
    EXPECT_EQ(PickerAnswer(players, 'A', ""), 0);
    EXPECT_EQ(PickerRows(0), 11);
    EXPECT_EQ(PickerRows(55), 11);
    EXPECT_EQ(PickerRows(56), 12);
    EXPECT_EQ(PickerCategoryName(3), "女流棋士"_sj);
}

TEST(GameListPlayerNamesTest, ReferenceListAndItsIndex) {
    testing::TempFolder dir;
    EXPECT_EQ(LoadPlayerNames(dir.path()).state, PlayerNames::State::Missing);
    std::ofstream(dir / "player.TXT", std::ios::binary) << "Abe\r\nbanba\r\nCarl\r\n羽生善治\r\n\r\n";
    const PlayerNames list = LoadPlayerNames(dir.path());
    ASSERT_EQ(list.state, PlayerNames::State::Loaded);
    ASSERT_EQ(list.names.size(), 4u);
    EXPECT_EQ(PlayerNameIndex(list.names, ""), 0);
    EXPECT_EQ(PlayerNameIndex(list.names, " a "), 0);   // "abe" sorts after "a"
    EXPECT_EQ(PlayerNameIndex(list.names, "ABE"), 1);   // the first after it
    EXPECT_EQ(PlayerNameIndex(list.names, "c"), 2);
    EXPECT_EQ(PlayerNameIndex(list.names, "zzz"), 3);   // sorts after "carl"; the kanji entry
    EXPECT_EQ(PlayerNameIndex(list.names, "\xFC\xFC"), 3);  // nothing after: the last
    EXPECT_EQ(PlayerNameIndex({}, "a"), -1);
}

}  // namespace
}  // namespace movra
