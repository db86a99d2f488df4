// The search dialog without its window: the date checks and their order, choices turned into
// conditions through the master tables, the saved conditions, era labels, spin buttons and
// player labels.
#include <gtest/gtest.h>

#include "core/list/search_form.h"
#include "core/text/sjis_literal.h"
#include "core/store/store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::TempFolder;

struct Tables {
    TempFolder dir;
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    std::vector<std::string> playerList;

    Tables() {
        PlayerTable p;
        p.SetEntry(5, 'A', "羽生善治"_sj, "ﾊﾌﾞ ﾖｼﾊﾙ"_sj);
        p.SetEntry(12, 'A', "谷川浩司"_sj, "ﾀﾆｶﾞﾜ ｺｳｼﾞ"_sj);
        p.SetEntry(300, 'E', "山田太郎"_sj, "ﾔﾏﾀﾞ ﾀﾛｳ"_sj);
        EXPECT_TRUE(p.Write(dir.path()));
        EXPECT_TRUE(players.Load(dir.path(), false));
        TournamentTable t;
        t.MutableRow(0) = {1, 1, "名人戦"_sj};
        t.MutableRow(2) = {3, 2, "竜王戦"_sj};
        t.MutableSubRow(3, 0) = {1, 1, "一組"_sj};
        t.MutableSubRow(3, 1) = {2, 2, "二組"_sj};
        EXPECT_TRUE(t.Write(dir.path()));
        testing::RecordingPrompter quiet;
        EXPECT_TRUE(tournaments.Load(dir.path(), quiet));
        OpeningTable o;
        o.MutableRow(4) = {5, 1, "矢倉"_sj};
        EXPECT_TRUE(o.Write(dir.path()));
        EXPECT_TRUE(openings.Load(dir.path(), quiet));
        playerList = PlayerSearchList(players);
    }
};

TEST(SearchForm, DateChecksComeInTheirOrderWithTheirFields) {
    SearchDates d{"2000", "01", "2001", "12"};
    SearchDateCheck c = CheckSearchDates(d);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.from, 20000100u);
    EXPECT_EQ(c.to, 20011299u);

    const std::string month{"月の入力が間違っています！ 正しく入力して下さい。"_sj};
    const std::string year{"年の入力が間違っています！ 正しく入力して下さい。"_sj};
    for (const char* bad : {"", "13", "x", "-1"}) {
        SearchDates b = d;
        b.fromMonth = bad;
        b.toMonth = "99";  // the from month is checked first
        c = CheckSearchDates(b);
        EXPECT_EQ(c.focus, SearchField::FromMonth) << bad;
        EXPECT_EQ(c.message, month);
    }
    SearchDates b = d;
    b.toMonth = "13";
    b.fromYear = "";  // months come before years
    EXPECT_EQ(CheckSearchDates(b).focus, SearchField::ToMonth);
    b = d;
    b.fromYear = "";
    b.toYear = "";
    c = CheckSearchDates(b);
    EXPECT_EQ(c.focus, SearchField::FromYear);
    EXPECT_EQ(c.message, year);
    b.fromYear = "2000";
    EXPECT_EQ(CheckSearchDates(b).focus, SearchField::ToYear);
    b.toYear = "20x0";
    EXPECT_EQ(CheckSearchDates(b).message, year) << "a year that is not a number";
    b = d;
    b.fromYear = "2002";
    c = CheckSearchDates(b);
    EXPECT_EQ(c.focus, SearchField::FromYear);
    EXPECT_EQ(c.message, "対局日の設定範囲が間違っています。"_sj);
    // The same month at both ends is a range of one month; 00 to 00 one year's undated games.
    EXPECT_TRUE(CheckSearchDates({"1999", "00", "1999", "00"}).ok());
}

TEST(SearchForm, ChoicesBecomeConditionsThroughTheTables) {
    Tables t;
    ASSERT_EQ(t.playerList.size(), 4u);
    EXPECT_EQ(t.playerList[0], "指定なし"_sj);
    EXPECT_EQ(t.playerList[1].size(), 34u);
    EXPECT_EQ(PlayerNumberOfListEntry(t.playerList[1]), 5) << "file order: 5, 12, 300";
    EXPECT_EQ(PlayerNumberOfListEntry(t.playerList[3]), 300);
    EXPECT_EQ(PlayerNumberOfListEntry(t.playerList[0]), 0);
    EXPECT_EQ(TournamentSearchList(t.tournaments).size(), 3u);
    EXPECT_EQ(SubTournamentSearchList(t.tournaments, 3).size(), 3u);
    EXPECT_EQ(SubTournamentSearchList(t.tournaments, 1).size(), 1u);
    // No tournament chosen, or one past the table: only 指定なし.
    EXPECT_EQ(SubTournamentSearchList(t.tournaments, 0), std::vector<std::string>{std::string("指定なし"_sj)});
    EXPECT_EQ(SubTournamentSearchList(t.tournaments, 500).size(), 1u);
    EXPECT_EQ(HandicapSearchList()[1], "平手"_sj);

    SearchChoices choices;
    choices.player1 = 2;
    choices.player2 = 3;
    choices.playerMode = PlayerMode::Swapped;
    choices.tournament = 2;
    choices.subTournament = 2;
    choices.opening = 1;
    choices.result = 7;
    choices.handicap = 3;
    choices.dates = {"1990", "00", "2000", "12"};
    choices.position = 2;
    choices.depth = 10;
    SearchPattern board;
    board.board[5] = piece::Kin;
    SearchConditions c;
    ASSERT_TRUE(BuildSearchConditions(choices, t.playerList, t.tournaments, t.openings, board, c).ok());
    EXPECT_EQ(c.player1, 12);
    EXPECT_EQ(c.player2, 300);
    EXPECT_EQ(c.playerMode, PlayerMode::Swapped);
    EXPECT_EQ(c.tournament, 3);
    EXPECT_EQ(c.subTournament, 2);
    EXPECT_EQ(c.opening, 5);
    EXPECT_EQ(c.resultIndex, 7);
    EXPECT_EQ(c.handicap, 2);
    EXPECT_EQ(c.dateFrom, 19900000u);
    EXPECT_EQ(c.dateTo, 20001299u);
    EXPECT_EQ(c.positionMode, PositionMode::SameOrReversed);
    EXPECT_EQ(c.depth, kSearchToEnd);
    EXPECT_EQ(c.pattern, board);

    choices.dates.toMonth = "13";
    SearchConditions untouched;
    untouched.player1 = 99;
    EXPECT_EQ(BuildSearchConditions(choices, t.playerList, t.tournaments, t.openings, board, untouched).focus,
              SearchField::ToMonth);
    EXPECT_EQ(untouched.player1, 99);
}

TEST(SearchForm, SavedConditionsRoundTripAndFollowThePlayerOrder) {
    Tables t;
    SearchChoices choices;
    choices.player1 = 3;
    choices.player2 = 1;
    choices.playerMode = PlayerMode::Labelled;
    choices.tournament = 2;
    choices.subTournament = 1;
    choices.opening = 1;
    choices.result = 4;
    choices.handicap = 5;
    choices.dates = {"1985", "03", "2004", "11"};
    const Settings::Kensaku saved = SaveSearchChoices(choices, t.tournaments, t.openings);
    EXPECT_EQ(saved.Movra, 3) << "tournaments are saved by number";
    EXPECT_EQ(saved.Movra2, 1);
    EXPECT_EQ(saved.Senkei, 5);
    EXPECT_EQ(saved.FromYY, 1985);
    EXPECT_EQ(saved.ToMM, 11);

    SearchChoices back = RestoreSearchChoices(saved, false, true, t.tournaments, t.openings,
                                              t.playerList.size(), 2024, 6);
    SearchChoices want = choices;
    want.position = 1;  // the position preset
    EXPECT_EQ(back, want);

    // Fresh lists: every list at "指定なし", mode 1, the dates kept; to-year 0 is today.
    Settings::Kensaku today = saved;
    today.ToYY = 0;
    back = RestoreSearchChoices(today, true, false, t.tournaments, t.openings, t.playerList.size(), 2024, 6);
    EXPECT_EQ(back.player1, 0);
    EXPECT_EQ(back.tournament, 0);
    EXPECT_EQ(back.playerMode, PlayerMode::Either);
    EXPECT_EQ(back.dates.fromYear, "1985");
    EXPECT_EQ(back.dates.toYear, "2024");
    EXPECT_EQ(back.dates.toMonth, "06");
    EXPECT_EQ(back.depth, 4);

    // Numbers gone from the tables give "指定なし".
    Settings::Kensaku gone = saved;
    gone.Movra = 50;
    gone.Senkei = 77;
    gone.Sente = 40;
    back = RestoreSearchChoices(gone, false, false, t.tournaments, t.openings, t.playerList.size(), 2024, 6);
    EXPECT_EQ(back.tournament, 0);
    EXPECT_EQ(back.opening, 0);
    EXPECT_EQ(back.player1, 0);

    // Sorted by kana the order becomes 谷川 (12, ﾀ), 羽生 (5, ﾊ), 山田 (category E last).
    PlayerTable sorted;
    ASSERT_TRUE(sorted.Load(t.dir.path(), true));
    const auto newList = PlayerSearchList(sorted);
    Settings::Kensaku remapped = saved;
    RemapSavedPlayers(remapped, t.playerList, newList);
    EXPECT_EQ(PlayerNumberOfListEntry(newList[std::size_t(remapped.Sente)]), 300);
    EXPECT_EQ(PlayerNumberOfListEntry(newList[std::size_t(remapped.Gote)]), 5);
    EXPECT_EQ(remapped.Gote, 2);

    const SearchChoices cleared = ClearedSearchChoices(2024, 6);
    EXPECT_EQ(cleared.dates.fromYear, "1900");
    EXPECT_EQ(cleared.dates.fromMonth, "01");
    EXPECT_EQ(cleared.dates.toMonth, "06");
}

TEST(SearchForm, EraLabelsSpinsAndPlayerLabels) {
    EXPECT_EQ(SearchEraLabel("2020", "01"), "(令和02年)"_sj);
    EXPECT_EQ(SearchEraLabel("2019", "04"), "(平成31年)"_sj);
    EXPECT_EQ(SearchEraLabel("2019", "05"), "(令和01年)"_sj);
    EXPECT_EQ(SearchEraLabel("1989", "01"), "(昭和64年)"_sj);
    EXPECT_EQ(SearchEraLabel("1989", "02"), "(平成01年)"_sj);
    EXPECT_EQ(SearchEraLabel("2000", "00"), "(　　  　)"_sj) << "month 00 is no date";
    EXPECT_EQ(SearchEraLabel("200", "1"), "(　　  　)"_sj) << "too short";

    EXPECT_EQ(SpinYear("0001", false), "2000");
    EXPECT_EQ(SpinYear("1999", false), "1998");
    EXPECT_EQ(SpinYear("9999", true), "1900");
    EXPECT_EQ(SpinYear("0099", true), "0100");
    EXPECT_EQ(SpinYear("", false), "2000");
    EXPECT_EQ(SpinYear("", true), "1900");
    EXPECT_EQ(SpinMonth("12", true), "01");
    EXPECT_EQ(SpinMonth("01", false), "12");
    EXPECT_EQ(SpinMonth("00", true), "01");
    EXPECT_EQ(SpinMonth("", false), "12");

    EXPECT_EQ(SearchPlayerLabels(PlayerMode::Either, 3).first, "１．棋士名１"_sj);
    EXPECT_EQ(SearchPlayerLabels(PlayerMode::Labelled, 1).first, "１．先手棋士名"_sj);
    EXPECT_EQ(SearchPlayerLabels(PlayerMode::Labelled, 2).second, "２．上手棋士名"_sj);
    EXPECT_EQ(SearchPlayerLabels(PlayerMode::Swapped, 0).first, "１．後手棋士名"_sj);
    EXPECT_EQ(NextPlayerMode(PlayerMode::Swapped), PlayerMode::Either);
}

}  // namespace
}  // namespace movra
