// The header tests of the search: the date range with month 00 and day 0, the three player
// modes, the result and handicap mappings, over catalogue entries and raw index records alike.
#include <gtest/gtest.h>

#include "core/list/search_conditions.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

GameHeader Game(int year, int month, int day, int sente = 1, int gote = 2) {
    GameHeader h;
    h.year = std::uint16_t(year);
    h.month = std::uint8_t(month);
    h.day = std::uint8_t(day);
    h.sentePlayer = std::uint16_t(sente);
    h.gotePlayer = std::uint16_t(gote);
    return h;
}

bool Passes(const SearchConditions& c, const GameHeader& h) {
    const bool onHeader = HeaderFilter(c).Passes(HeaderFields::FromHeader(h));
    // The full search reads the same fields from the index record.
    const IndexRecord r = IndexRecordFromHeader(h);
    EXPECT_EQ(onHeader, HeaderFilter(c).Passes(HeaderFields::FromIndexBytes(r.bytes.data())));
    return onHeader;
}

SearchConditions Dates(int fromYear, int fromMonth, int toYear, int toMonth) {
    SearchConditions c;
    c.dateFrom = DateFromValue(fromYear, fromMonth);
    c.dateTo = DateToValue(toYear, toMonth);
    return c;
}

TEST(SearchConditions, TheDateRangeTakesDayZeroAndMonthZeroOnlyFromMonthZero) {
    const SearchConditions january = Dates(2000, 1, 2000, 1);
    EXPECT_TRUE(Passes(january, Game(2000, 1, 0)));
    EXPECT_TRUE(Passes(january, Game(2000, 1, 31)));
    EXPECT_FALSE(Passes(january, Game(2000, 0, 0)));
    EXPECT_FALSE(Passes(january, Game(2000, 2, 1)));
    EXPECT_FALSE(Passes(january, Game(1999, 12, 31)));
    const SearchConditions fromZero = Dates(2000, 0, 2000, 1);
    EXPECT_TRUE(Passes(fromZero, Game(2000, 0, 0)));
    EXPECT_TRUE(Passes(fromZero, Game(2000, 0, 15)));
    const SearchConditions only1999 = Dates(1999, 0, 1999, 0);
    EXPECT_TRUE(Passes(only1999, Game(1999, 0, 0)));
    EXPECT_FALSE(Passes(only1999, Game(1999, 1, 0)));
    // A game without a date is 0, inside only a range from year 0.
    SearchConditions from1900;
    from1900.dateFrom = DateFromValue(1900, 1);
    EXPECT_FALSE(Passes(from1900, Game(0, 0, 0)));
    EXPECT_TRUE(Passes(SearchConditions{}, Game(0, 0, 0)));
}

TEST(SearchConditions, PlayerModes) {
    SearchConditions c;
    // Mode 1 with player 2 alone finds that player on either side.
    c.player2 = 7;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 7, 3)));
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 3, 7)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 3, 4)));
    // Mode 1 with both: both in the game, either way round.
    c.player1 = 3;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 7, 3)));
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 3, 7)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 3, 4)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 3, 3)));
    // Mode 2 as labelled, mode 3 the other way round.
    c.playerMode = PlayerMode::Labelled;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 3, 7)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 7, 3)));
    c.playerMode = PlayerMode::Swapped;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 7, 3)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 3, 7)));
    // One player in mode 2 or 3 only looks at that side.
    c.player2 = 0;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 9, 3)));
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 3, 9)));
    c.playerMode = PlayerMode::Labelled;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 3, 9)));
    c.player1 = 0;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 5, 6)));
    // Player 2 alone: on either side in mode 1, only as gote in mode 2.
    c.player2 = 7;
    c.playerMode = PlayerMode::Either;
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 7, 1)));
    c.playerMode = PlayerMode::Labelled;
    EXPECT_FALSE(Passes(c, Game(2000, 1, 1, 7, 1)));
    EXPECT_TRUE(Passes(c, Game(2000, 1, 1, 1, 7)));
}

TEST(SearchConditions, ResultHandicapAndMasterNumbers) {
    SearchConditions c;
    c.resultIndex = 7;  // 以下後手勝ち
    GameHeader h = Game(2000, 1, 1);
    for (int code = 0; code <= 8; ++code) {
        h.result = std::uint8_t(code);
        EXPECT_EQ(Passes(c, h), code == 6) << code;
    }
    EXPECT_EQ(ResultListTexts()[7], "以下後手勝ち"_sj);
    EXPECT_TRUE(ResultPasses(1, 0));
    EXPECT_FALSE(ResultPasses(1, 1));

    c = SearchConditions{};
    c.handicap = HandicapOfListIndex(1);  // 平手
    EXPECT_EQ(c.handicap, 0);
    h.handicap = 0;
    EXPECT_TRUE(Passes(c, h));
    h.handicap = 2;
    EXPECT_FALSE(Passes(c, h));
    EXPECT_EQ(HandicapOfListIndex(0), -1);

    c = SearchConditions{};
    c.tournament = 4;
    c.subTournament = 2;
    c.opening = 9;
    h.tournament = 4;
    h.subTournament = 2;
    h.opening = 9;
    EXPECT_TRUE(Passes(c, h));
    h.subTournament = 1;
    EXPECT_FALSE(Passes(c, h));
    c.subTournament = 0;
    EXPECT_TRUE(Passes(c, h));
    h.opening = 8;
    EXPECT_FALSE(Passes(c, h));
}

TEST(SearchConditions, ThePatternOfAPositionAndTheListTexts) {
    BoardPosition p;
    SetUpStandard(p, '0');
    const SearchPattern pattern = SearchPattern::FromPosition(p);
    EXPECT_EQ(pattern.squareCount(), 40);
    EXPECT_EQ(pattern.board[std::size_t(BoardIndex(7, 7))], piece::Fu);
    EXPECT_EQ(DepthListTexts()[4], " 50手まで"_sj);
    EXPECT_EQ(DepthListTexts()[10], " 終局まで"_sj);
    EXPECT_EQ(PositionListTexts()[2], "類似局面（反転）"_sj);
}

}  // namespace
}  // namespace movra
