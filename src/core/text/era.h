#pragma once
// Japanese-era (和暦) dates.
//
// The date texts are built the way the system has always built them: a formatter that knows the
// eras up to 平成 but not 令和 (so 2019-05-01 is 平成31 and 2020 is 平成32), followed by the
// corrections that turn those texts into 令和. The corrections also work on texts that come from
// elsewhere (stored dates, older files), which is why they take and return text.
//
// Eras start on: 明治 1868-01-25 (the first day of 明治元年 in the Gregorian calendar; the era
// was declared on 1868-10-23 and reached back to the start of that year), 大正 1912-07-30,
// 昭和 1926-12-25, 平成 1989-01-08, 令和 2019-05-01. There is no era before 明治.
#include <string>
#include <string_view>

namespace movra {

enum class EraName { kNone, kMeiji, kTaisho, kShowa, kHeisei, kReiwa };

struct EraYear {
    EraName era = EraName::kNone;
    int year = 0;  // 1 for the first (partial) year of the era; the western year for kNone
    friend bool operator==(const EraYear&, const EraYear&) = default;
};

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// The three layouts of era dates.
enum class EraLayout {
    kInitial,  // "平310501": the era's first character, era year, month, day
    kSlash,    // "平成31/05/01" ("gggee/mm/dd")
    kKanji,    // "平成31年05月01日"
};

bool IsValidDate(int year, int month, int day);

// The era of a Gregorian day; kNone before 明治. With knowsReiwa false the days from
// 2019-05-01 on stay in 平成, as the old formatter has them.
EraYear EraOf(int year, int month, int day, bool knowsReiwa);

// "明治", "大正", "昭和", "平成", "令和" in CP932; empty for kNone.
std::string EraNameText(EraName era);

// Reads "YYYY/MM/DD", "YYYY/M/D" or "YYYY-MM-DD" (blanks around it are ignored). Raises
// std::invalid_argument for anything else, including days that do not exist.
CivilDate ParseDate(std::string_view text);

// The date as the old formatter writes it, without 令和. Raises std::invalid_argument for a day
// that does not exist or lies before 明治.
std::string FormatEraDate(const CivilDate& date, EraLayout layout);

// The correction for 令和 of an era text in the given layout: 平成31 from May on becomes
// 令和01, 平成32 and later become 令和 with the era year less 30. Any text whose era is not
// 平成, or that is too short to hold the layout, comes back unchanged.
std::string CorrectReiwa(std::string_view text, EraLayout layout);

// The status line's correction for formatters that do not know the start of 平成: a text
// starting "昭和64" (or "昭64" in the initial layout) whose month is after "01" becomes
// "平成01" ("平01"), the rest kept. January of 昭和64 stays.
std::string CorrectShowa64(std::string_view text);

// FormatEraDate followed by CorrectShowa64 and CorrectReiwa: the date as the system shows it.
std::string EraDateText(const CivilDate& date, EraLayout layout);

// "(令和02年)" for a date text in 2020: the era and two-digit era year of the date, in
// parentheses with 年. Raises std::invalid_argument when the text is not a date (ParseDate) or
// the day lies before 明治.
std::string EraYearText(std::string_view dateText);

}  // namespace movra
