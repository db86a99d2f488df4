#include "core/text/era.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(EraTest, FirstDayOfEachEraAndTheDayBefore) {
    struct Case {
        CivilDate day;
        EraYear era;
    };
    const Case cases[] = {
        {{1868, 1, 24}, {EraName::kNone, 1868}},
        {{1868, 1, 25}, {EraName::kMeiji, 1}},
        {{1912, 7, 29}, {EraName::kMeiji, 45}},
        {{1912, 7, 30}, {EraName::kTaisho, 1}},
        {{1926, 12, 24}, {EraName::kTaisho, 15}},
        {{1926, 12, 25}, {EraName::kShowa, 1}},
        {{1989, 1, 7}, {EraName::kShowa, 64}},
        {{1989, 1, 8}, {EraName::kHeisei, 1}},
        {{2019, 4, 30}, {EraName::kHeisei, 31}},
        {{2019, 5, 1}, {EraName::kReiwa, 1}},
        {{2020, 1, 1}, {EraName::kReiwa, 2}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EraOf(c.day.year, c.day.month, c.day.day, true), c.era)
            << c.day.year << "/" << c.day.month << "/" << c.day.day;
    }
    // The old formatter: no 令和.
    EXPECT_EQ(EraOf(2019, 5, 1, false), (EraYear{EraName::kHeisei, 31}));
    EXPECT_EQ(EraOf(2020, 1, 10, false), (EraYear{EraName::kHeisei, 32}));
}

TEST(EraTest, OldFormatterLayouts) {
    EXPECT_EQ(FormatEraDate({2019, 5, 1}, EraLayout::kInitial), "平310501"_sj);
    EXPECT_EQ(FormatEraDate({2019, 5, 1}, EraLayout::kSlash), "平成31/05/01"_sj);
    EXPECT_EQ(FormatEraDate({2019, 5, 1}, EraLayout::kKanji), "平成31年05月01日"_sj);
    EXPECT_EQ(FormatEraDate({2020, 1, 10}, EraLayout::kSlash), "平成32/01/10"_sj);
    EXPECT_EQ(FormatEraDate({1912, 7, 30}, EraLayout::kInitial), "大010730"_sj);
    EXPECT_EQ(FormatEraDate({1868, 1, 25}, EraLayout::kKanji), "明治01年01月25日"_sj);
    EXPECT_THROW(FormatEraDate({1868, 1, 24}, EraLayout::kSlash), std::invalid_argument);
    EXPECT_THROW(FormatEraDate({2019, 2, 29}, EraLayout::kSlash), std::invalid_argument);
    // Beyond two digits of 平成 the formatter writes 令和 itself.
    EXPECT_EQ(FormatEraDate({2087, 12, 31}, EraLayout::kSlash), "平成99/12/31"_sj);
    EXPECT_EQ(FormatEraDate({2088, 1, 1}, EraLayout::kSlash), "令和70/01/01"_sj);
    EXPECT_EQ(EraDateText({2087, 12, 31}, EraLayout::kSlash), "令和69/12/31"_sj);
}

TEST(EraTest, ReiwaCorrectionOfTheThreeLayouts) {
    struct Case {
        std::string text;
        EraLayout layout;
        std::string corrected;
    };
    const Case cases[] = {
        {"平成31年04月30日"_sj, EraLayout::kKanji, "平成31年04月30日"_sj},
        {"平成31年05月01日"_sj, EraLayout::kKanji, "令和01年05月01日"_sj},
        {"平成32年01月10日"_sj, EraLayout::kKanji, "令和02年01月10日"_sj},
        {"平成30年12月31日"_sj, EraLayout::kKanji, "平成30年12月31日"_sj},
        {"平成31/04/30"_sj, EraLayout::kSlash, "平成31/04/30"_sj},
        {"平成31/05/01"_sj, EraLayout::kSlash, "令和01/05/01"_sj},
        {"平成31/12/31"_sj, EraLayout::kSlash, "令和01/12/31"_sj},
        {"平成45/06/15"_sj, EraLayout::kSlash, "令和15/06/15"_sj},
        {"平310430"_sj, EraLayout::kInitial, "平310430"_sj},
        {"平310501"_sj, EraLayout::kInitial, "令010501"_sj},
        {"平320110"_sj, EraLayout::kInitial, "令020110"_sj},
        // Only 平成 is touched, and texts too short for the layout stay as they are.
        {"昭和63年05月01日"_sj, EraLayout::kKanji, "昭和63年05月01日"_sj},
        {"令和02/01/10"_sj, EraLayout::kSlash, "令和02/01/10"_sj},
        {"昭320110"_sj, EraLayout::kInitial, "昭320110"_sj},
        {"平成32"_sj, EraLayout::kSlash, "平成32"_sj},
        {"", EraLayout::kInitial, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CorrectReiwa(c.text, c.layout), c.corrected) << static_cast<int>(c.layout);
    }
}

TEST(EraTest, Showa64Correction) {
    EXPECT_EQ(CorrectShowa64("昭和64年01月07日"_sj), "昭和64年01月07日"_sj);
    EXPECT_EQ(CorrectShowa64("昭和64年02月01日"_sj), "平成01年02月01日"_sj);
    EXPECT_EQ(CorrectShowa64("昭和64/03/01"_sj), "平成01/03/01"_sj);
    EXPECT_EQ(CorrectShowa64("昭和64/00/00"_sj), "昭和64/00/00"_sj);
    EXPECT_EQ(CorrectShowa64("昭640201"_sj), "平010201"_sj);
    EXPECT_EQ(CorrectShowa64("昭和63年02月01日"_sj), "昭和63年02月01日"_sj);
    EXPECT_EQ(CorrectShowa64("昭和64"_sj), "昭和64"_sj);
}

TEST(EraTest, DatesAsTheSystemShowsThem) {
    EXPECT_EQ(EraDateText({2019, 4, 30}, EraLayout::kKanji), "平成31年04月30日"_sj);
    EXPECT_EQ(EraDateText({2019, 5, 1}, EraLayout::kKanji), "令和01年05月01日"_sj);
    EXPECT_EQ(EraDateText({2020, 1, 10}, EraLayout::kKanji), "令和02年01月10日"_sj);
    EXPECT_EQ(EraDateText({2019, 5, 1}, EraLayout::kInitial), "令010501"_sj);
    EXPECT_EQ(EraDateText({1989, 1, 7}, EraLayout::kSlash), "昭和64/01/07"_sj);
    EXPECT_EQ(EraDateText({1989, 1, 8}, EraLayout::kSlash), "平成01/01/08"_sj);
    // Every day of 2019 to 2030 comes out as the era that really holds it.
    for (int year = 2019; year <= 2030; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 28}) {
                const EraYear real = EraOf(year, month, day, true);
                const std::string expected = EraNameText(real.era) + (real.year < 10 ? "0" : "") +
                                             std::to_string(real.year);
                EXPECT_EQ(EraDateText({year, month, day}, EraLayout::kSlash).substr(0, 6), expected)
                    << year << "/" << month << "/" << day;
            }
        }
    }
}

TEST(EraTest, ParseDate) {
    EXPECT_EQ(ParseDate("2020/05/01"), (CivilDate{2020, 5, 1}));
    EXPECT_EQ(ParseDate("2020/5/1"), (CivilDate{2020, 5, 1}));
    EXPECT_EQ(ParseDate("2020-05-01"), (CivilDate{2020, 5, 1}));
    EXPECT_EQ(ParseDate(" 2000/02/29 "), (CivilDate{2000, 2, 29}));
    for (const char* bad : {"", "2020", "2020/05", "2020/05/01x", "2020/05-01", "20/05/01",
                            "2020/13/01", "2020/00/10", "2019/02/29", "1900/02/29", "2020/05/001",
                            "2020年05月01日", "abcd/ef/gh"}) {
        EXPECT_THROW(ParseDate(bad), std::invalid_argument) << bad;
    }
}

TEST(EraTest, EraYearText) {
    EXPECT_EQ(EraYearText("2020/06/01"), "(令和02年)"_sj);
    EXPECT_EQ(EraYearText("2019/05/01"), "(令和01年)"_sj);
    EXPECT_EQ(EraYearText("2019/04/30"), "(平成31年)"_sj);
    EXPECT_EQ(EraYearText("1989-01-07"), "(昭和64年)"_sj);
    EXPECT_EQ(EraYearText("1989/1/8"), "(平成01年)"_sj);
    EXPECT_EQ(EraYearText("1926/12/25"), "(昭和01年)"_sj);
    EXPECT_EQ(EraYearText("1912/07/29"), "(明治45年)"_sj);
    EXPECT_EQ(EraYearText("2050/01/01"), "(令和32年)"_sj);
    EXPECT_THROW(EraYearText("令和2年"_sj), std::invalid_argument);
    EXPECT_THROW(EraYearText("1800/01/01"), std::invalid_argument);
}

}  // namespace
}  // namespace movra
