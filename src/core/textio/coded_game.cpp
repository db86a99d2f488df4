#include "core/textio/coded_game.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

void ImportFields::Clear(std::string_view now) {
    *this = ImportFields{};
    startDate.assign(now);
}

void ReadGame::Clear(std::string_view now) {
    coded.lines.clear();
    fields.Clear(now);
    consumedTimes.fill(0);
    comments.clear();
    fromDiagram = false;
    notes.clear();
}

void ReadGame::AddComment(int move, std::string_view text) {
    if (move < 0 || move > kMaxMoves + 1 || text.empty()) return;
    for (MoveComment& c : comments) {
        if (c.move == move) {
            c.text = CutComment(c.text + std::string(text));
            return;
        }
    }
    comments.push_back({move, CutComment(text)});
}

void ReadGame::SetConsumedTime(int move, std::uint32_t seconds) {
    if (move < 0 || move > kMaxMoves + 1) return;
    consumedTimes[static_cast<std::size_t>(move)] =
        static_cast<std::uint16_t>(std::min<std::uint32_t>(seconds, 65535));
}

std::string NowText() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

char HandicapFromName(std::string_view value) {
    using sjis::Contains;
    if (Contains(value, "平手"_sj)) return '0';
    if (Contains(value, "右香落"_sj)) return 'Y';
    if (Contains(value, "飛香落"_sj) || Contains(value, "飛車香落"_sj)) return '4';
    if (Contains(value, "香落"_sj) || Contains(value, "香　落"_sj)) return '1';
    if (Contains(value, "角落"_sj) || Contains(value, "角　落"_sj)) return '2';
    if (Contains(value, "飛車落"_sj)) return '3';
    if (Contains(value, "二枚落"_sj)) return '5';
    if (Contains(value, "四枚落"_sj)) return '6';
    if (Contains(value, "六枚落"_sj)) return '7';
    if (Contains(value, "八枚落"_sj)) return '8';
    if (Contains(value, "十枚落"_sj)) return '9';
    if (Contains(value, "裸玉"_sj) || Contains(value, "裸　玉"_sj)) return 'X';
    if (Contains(value, "歩三兵"_sj)) return 'Z';
    if (Contains(value, "九枚"_sj) && Contains(value, "右金"_sj) && Contains(value, "落"_sj)) {
        return 'B';
    }
    if (Contains(value, "九枚"_sj) && Contains(value, "落"_sj)) return 'A';
    return '0';
}

bool HandicapNameKnown(std::string_view value) {
    const std::string trimmed = RemoveSpaces(value);
    if (trimmed.empty()) return true;
    if (HandicapFromName(trimmed) != '0') return true;
    return sjis::Contains(trimmed, "平手"_sj);
}

char SummaryEndCharacter(std::string_view line, int lastMover) {
    const bool won = sjis::Contains(line, "勝ち"_sj);
    const bool lost = sjis::Contains(line, "負け"_sj);
    if (won || lost) {
        int named = 0;
        if (sjis::Contains(line, "先手"_sj) || sjis::Contains(line, "下手"_sj)) named = 1;
        if (sjis::Contains(line, "後手"_sj) || sjis::Contains(line, "上手"_sj)) named = 2;
        if (named == 0 || lastMover == 0) return endchar::kResigned;
        const int winner = won ? named : 3 - named;
        return winner == lastMover ? endchar::kResigned : endchar::kLastMoverLost;
    }
    if (sjis::Contains(line, "千日手"_sj)) return endchar::kRepetition;
    if (sjis::Contains(line, "持将棋"_sj)) return endchar::kImpasse;
    if (sjis::Contains(line, "不詰"_sj)) return endchar::kNone;
    if (sjis::Contains(line, "詰"_sj)) return endchar::kMate;
    return endchar::kNone;
}

int HandicapNumberOfChar(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    switch (c) {
        case 'X': case 'x': return 10;
        case 'Y': case 'y': return 11;
        case 'Z': case 'z': return 12;
        case 'A': case 'a': return 13;
        case 'B': case 'b': return 14;
        default: return 0;
    }
}

namespace {

std::string PadLeft(std::string s, std::size_t width) {
    while (s.size() < width) s.insert(s.begin(), '0');
    return s;
}

constexpr std::string_view kNoDate = "0000/00/00 00:00:00";

}  // namespace

std::string ParseKifDate(std::string_view raw) {
    std::string value = Trim(raw);
    const std::size_t slash1 = value.find('/');
    const std::size_t slash2 = slash1 == std::string::npos ? std::string::npos
                                                           : value.find('/', slash1 + 1);
    std::string text = value;
    if (slash2 != std::string::npos) {
        std::string year = Trim(std::string_view(value).substr(0, slash1));
        if (year.size() == 1 || year.size() == 3) year.insert(year.begin(), '0');
        std::string month = PadLeft(Trim(std::string_view(value).substr(slash1 + 1,
                                                                           slash2 - slash1 - 1)),
                                    2);
        std::string day = Trim(std::string_view(value).substr(slash2 + 1, 2));
        if (day.size() == 2 && sjis::IsDigit(day[0]) && !sjis::IsDigit(day[1])) {
            day = std::string("0") + day[0];
        } else if (day.size() == 1) {
            day.insert(day.begin(), '0');
        }
        text = year + "/" + month + "/" + day;
        const std::size_t blank = value.find(' ', slash2 + 1);
        if (blank != std::string::npos) {
            std::string_view time = std::string_view(value).substr(blank + 1);
            const std::size_t colon = time.find(':');
            if (colon != std::string_view::npos) {
                std::string hours = Trim(time.substr(0, colon));
                std::string_view rest = time.substr(colon + 1);
                std::size_t end = 0;
                while (end < rest.size() && rest[end] != ':' && rest[end] != ' ') ++end;
                std::string minutes = Trim(rest.substr(0, end));
                text += " " + PadLeft(hours, 2) + ":" + PadLeft(minutes, 2) + ":00";
            }
        }
    }
    std::string out;
    const std::size_t n = text.size();
    if ((n == 8 || n == 17) && text[2] == '/') {
        out = (text.compare(0, 2, "70") < 0 ? "20" : "19") + text;
    } else if ((n == 10 || n == 19) && text[4] == '/') {
        out = text;
    } else if ((n == 14 || n == 23) && text[4] == '/' && text[10] == '(') {
        out = text.substr(0, 10) + text.substr(14);
    } else {
        out = std::string(kNoDate);
    }
    std::replace(out.begin(), out.end(), '/', '-');
    if (out.size() == 10) out += " 00:00:00";
    return out;
}

namespace {

bool IsDigit19(char c) { return c >= '1' && c <= '9'; }

// The one or two digits just before the first occurrence of the unit character.
std::string DigitsBefore(std::string_view value, std::string_view unit) {
    const std::size_t at = sjis::Find(value, unit);
    if (at == sjis::npos) return {};
    if (at >= 2 && IsDigit19(value[at - 2]) && sjis::IsDigit(value[at - 1])) {
        return std::string(value.substr(at - 2, 2));
    }
    if (at >= 1 && IsDigit19(value[at - 1])) return std::string(value.substr(at - 1, 1));
    return {};
}

}  // namespace

void ParseAllowedTime(std::string_view value, ImportFields& fields) {
    if (!sjis::Contains(value, "各"_sj) && sjis::Contains(value, "手"_sj)) return;
    if (sjis::Contains(value, "時"_sj)) {
        fields.senteHours = fields.goteHours = DigitsBefore(value, "時"_sj);
    }
    if (sjis::Contains(value, "分"_sj)) {
        fields.senteMinutes = fields.goteMinutes = DigitsBefore(value, "分"_sj);
    }
}

void ParseBreak(std::string_view line, std::string* four) {
    const auto take = [&](std::size_t at, std::size_t length) {
        return at < line.size() ? std::string(line.substr(at, length)) : std::string();
    };
    const std::size_t colon = sjis::Find(line, "："_sj);
    if (colon != sjis::npos) {
        four[0] = take(colon + 2, 2);
        four[1] = take(colon + 5, 2);
    }
    const std::size_t wave = sjis::Find(line, "～"_sj);
    if (wave != sjis::npos) {
        four[2] = take(wave + 2, 2);
        four[3] = take(wave + 5, 2);
    }
}

std::string CutComment(std::string_view text) {
    return std::string(sjis::Cut(text, 0, 256));
}

void WriteCodedHeader(const ImportFields& fields, CodedGameText& coded) {
    coded.lines.push_back("S:" + fields.senteName);
    coded.lines.push_back("G:" + fields.goteName);
    if (!fields.startDate.empty()) coded.lines.push_back("N:" + fields.startDate);
    if (!fields.endDate.empty()) coded.lines.push_back("U:" + fields.endDate);
    if (fields.handicap != '0') coded.lines.push_back(std::string("I:") + fields.handicap);
}

void WriteCodeLines(std::string_view codes, CodedGameText& coded) {
    constexpr std::size_t kLine = 50;  // ten codes
    for (std::size_t at = 0; at < codes.size(); at += kLine) {
        coded.lines.push_back((at == 0 ? "K:" : "  ") + std::string(codes.substr(at, kLine)));
    }
}

void InsertEndLine(const ImportFields& fields, std::size_t position, CodedGameText& coded) {
    const char c = fields.endCharacter;
    if (c == endchar::kNone || c == endchar::kError) return;
    position = std::min(position, coded.lines.size());
    coded.lines.insert(coded.lines.begin() + static_cast<std::ptrdiff_t>(position),
                       std::string("C:") + c);
}

std::string NameAfter(std::string_view line, std::size_t keyAt) {
    std::string_view value = sjis::Cut(line, keyAt + 6, 30);
    while (!value.empty() && value[0] == ' ') value.remove_prefix(1);
    if (const std::size_t semi = sjis::Find(value, ";"); semi != sjis::npos) {
        value = value.substr(0, semi);
    }
    return TrimFullWidth(value);
}

}  // namespace movra
