#include "core/text/era.h"

#include <stdexcept>
#include <string>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

struct EraStart {
    EraName era;
    int year;
    int month;
    int day;
};

// Latest first.
constexpr EraStart kEraStarts[] = {
    {EraName::kReiwa, 2019, 5, 1},
    {EraName::kHeisei, 1989, 1, 8},
    {EraName::kShowa, 1926, 12, 25},
    {EraName::kTaisho, 1912, 7, 30},
    {EraName::kMeiji, 1868, 1, 25},
};

// Two digits hold 平成 years up to 99 (2087); the old formatter would write 平成100 there,
// which no correction reads. From then on the formatter writes 令和 itself.
constexpr int kLastTwoDigitHeiseiYear = 1989 + 98;

bool OnOrAfter(int year, int month, int day, const EraStart& start) {
    if (year != start.year) return year > start.year;
    if (month != start.month) return month > start.month;
    return day >= start.day;
}

std::string TwoDigits(int number) {
    return number < 10 ? "0" + std::to_string(number) : std::to_string(number);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsTwoDigits(std::string_view text) {
    return text.size() == 2 && IsDigit(text[0]) && IsDigit(text[1]);
}

// Reads 1 to maxDigits digits at text[at]; -1 when there are none or too many.
int ReadNumber(std::string_view text, std::size_t& at, std::size_t minDigits, std::size_t maxDigits) {
    const std::size_t begin = at;
    int value = 0;
    while (at < text.size() && IsDigit(text[at])) {
        value = value * 10 + (text[at] - '0');
        ++at;
        if (at - begin > maxDigits) return -1;
    }
    return at - begin < minDigits ? -1 : value;
}

struct LayoutFields {
    std::string_view heisei;  // the era as the layout writes it
    std::string_view reiwa;
    std::size_t eraBytes;
    std::size_t monthAt;
    std::size_t restAt;
    std::size_t restBytes;
};

LayoutFields FieldsOf(EraLayout layout) {
    switch (layout) {
    case EraLayout::kInitial:
        return {"平"_sj, "令"_sj, 2, 4, 4, 4};
    case EraLayout::kSlash:
        return {"平成"_sj, "令和"_sj, 4, 7, 6, 6};
    case EraLayout::kKanji:
        return {"平成"_sj, "令和"_sj, 4, 8, 6, 10};
    }
    throw std::invalid_argument("unknown era layout");
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

EraYear EraOf(int year, int month, int day, bool knowsReiwa) {
    for (const EraStart& start : kEraStarts) {
        if (start.era == EraName::kReiwa && !knowsReiwa) continue;
        if (OnOrAfter(year, month, day, start)) return {start.era, year - start.year + 1};
    }
    return {EraName::kNone, year};
}

std::string EraNameText(EraName era) {
    switch (era) {
    case EraName::kMeiji:
        return "明治"_sj;
    case EraName::kTaisho:
        return "大正"_sj;
    case EraName::kShowa:
        return "昭和"_sj;
    case EraName::kHeisei:
        return "平成"_sj;
    case EraName::kReiwa:
        return "令和"_sj;
    case EraName::kNone:
        break;
    }
    return {};
}

CivilDate ParseDate(std::string_view text) {
    const std::string trimmed = Trim(text);
    const std::string_view t = trimmed;
    std::size_t at = 0;
    const int year = ReadNumber(t, at, 4, 4);
    const char separator = at < t.size() ? t[at] : '\0';
    bool ok = year >= 0 && (separator == '/' || separator == '-');
    int month = -1;
    int day = -1;
    if (ok) {
        ++at;
        month = ReadNumber(t, at, 1, 2);
        ok = month >= 0 && at < t.size() && t[at] == separator;
    }
    if (ok) {
        ++at;
        day = ReadNumber(t, at, 1, 2);
        ok = day >= 0 && at == t.size();
    }
    if (!ok || !IsValidDate(year, month, day)) {
        throw std::invalid_argument("not a date: \"" + trimmed + "\"");
    }
    return {year, month, day};
}

std::string FormatEraDate(const CivilDate& date, EraLayout layout) {
    if (!IsValidDate(date.year, date.month, date.day)) {
        throw std::invalid_argument("not a date: " + std::to_string(date.year) + "/" +
                                    std::to_string(date.month) + "/" + std::to_string(date.day));
    }
    const bool knowsReiwa = date.year > kLastTwoDigitHeiseiYear;
    const EraYear era = EraOf(date.year, date.month, date.day, knowsReiwa);
    if (era.era == EraName::kNone) {
        throw std::invalid_argument("a date before the first era: " + std::to_string(date.year));
    }
    const std::string name = EraNameText(era.era);
    const std::string year = TwoDigits(era.year);
    const std::string month = TwoDigits(date.month);
    const std::string day = TwoDigits(date.day);
    switch (layout) {
    case EraLayout::kInitial:
        return name.substr(0, 2) + year + month + day;
    case EraLayout::kSlash:
        return name + year + "/" + month + "/" + day;
    case EraLayout::kKanji:
        return name + year + "年"_sj + month + "月"_sj + day + "日"_sj;
    }
    throw std::invalid_argument("unknown era layout");
}

std::string CorrectReiwa(std::string_view text, EraLayout layout) {
    const LayoutFields f = FieldsOf(layout);
    if (text.size() < f.monthAt + 2 || text.substr(0, f.eraBytes) != f.heisei) {
        return std::string(text);
    }
    const std::string_view year = text.substr(f.eraBytes, 2);
    const std::string_view month = text.substr(f.monthAt, 2);
    const std::string_view rest = text.substr(f.restAt, f.restBytes);
    if (year < "31") return std::string(text);
    if (year == "31") {
        if (month < "05") return std::string(text);
        return std::string(f.reiwa) + "01" + std::string(rest);
    }
    if (!IsTwoDigits(year)) return std::string(text);
    const int heiseiYear = (year[0] - '0') * 10 + (year[1] - '0');
    return std::string(f.reiwa) + ZeroPad(heiseiYear - 30, 2) + std::string(rest);
}

std::string CorrectShowa64(std::string_view text) {
    std::string_view month;
    std::string_view heisei;
    std::size_t restAt = 0;
    if (text.substr(0, 6) == "昭和64"_sj) {
        heisei = "平成01"_sj;
        restAt = 6;
        if (text.substr(6, 1) == "/") {
            month = text.substr(7, 2);
        } else if (text.substr(6, 2) == "年"_sj) {
            month = text.substr(8, 2);
        }
    } else if (text.substr(0, 4) == "昭64"_sj) {
        heisei = "平01"_sj;
        restAt = 4;
        month = text.substr(4, 2);
    }
    if (month.size() != 2 || month <= "01") return std::string(text);
    return std::string(heisei) + std::string(text.substr(restAt));
}

std::string EraDateText(const CivilDate& date, EraLayout layout) {
    return CorrectReiwa(CorrectShowa64(FormatEraDate(date, layout)), layout);
}

std::string EraYearText(std::string_view dateText) {
    const CivilDate date = ParseDate(dateText);
    const std::string formatted = FormatEraDate(date, EraLayout::kSlash);  // 平成31/05/01
    const std::string_view era = std::string_view(formatted).substr(0, 4);
    const std::string_view year = std::string_view(formatted).substr(4, 2);
    const std::string_view month = std::string_view(formatted).substr(7, 2);
    if (era == "平成"_sj) {
        if (year == "31" && month >= "05") return "(令和01年)"_sj;
        if (year >= "32") {
            const int heiseiYear = (year[0] - '0') * 10 + (year[1] - '0');
            return "(令和"_sj + ZeroPad(heiseiYear - 30, 2) + "年)"_sj;
        }
    }
    return "(" + formatted.substr(0, 6) + "年)"_sj;
}

}  // namespace movra
