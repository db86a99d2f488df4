#include "core/viewing/display_texts.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "core/text/era.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {
using namespace movra::literals;

namespace {

// Reads the leading decimal digits of `text` from `at`; -1 when there are none.
int ReadNumber(std::string_view text, std::size_t& at) {
    int value = -1;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = (value < 0 ? 0 : value * 10) + (text[at] - '0');
        ++at;
        if (value > 99999) return -1;
    }
    return value;
}

bool Skip(std::string_view text, std::size_t& at, std::string_view word) {
    if (text.substr(at, word.size()) != word) return false;
    at += word.size();
    return true;
}

}  // namespace

std::string MoveListText(const std::string& line, bool timeDisp, bool extendedStore,
                         int moveNumber, std::uint16_t consumedSeconds) {
    if (!timeDisp || !extendedStore) return line;
    std::string text = line;
    if (text.size() > 15) {
        // Cut at 15 bytes, never through a double-byte character.
        std::size_t keep = 15;
        if (!IsCharBoundary(text, keep)) --keep;
        text.resize(keep);
    }
    text.resize(15, ' ');
    if (moveNumber >= 1 && consumedSeconds >= 60 && consumedSeconds < kUnknownTime) {
        char minutes[16];
        std::snprintf(minutes, sizeof minutes, text.size() < 16 ? "%3d" : "%d", consumedSeconds / 60);
        text += minutes;
    }
    return text;
}

std::string TimeDisplayText(const TKifData& record, int n, const TimeDisplayOptions& options) {
    if (n <= 0) return {};
    std::uint32_t totals[3] = {0, 0, 0};
    bool seconds = false;
    const int last = std::min(n, static_cast<int>(record.moveCount) + 1);
    for (int i = 1; i <= last; ++i) {
        // A move beyond the move count is the game's final time entry.
        std::uint32_t t = record.moves[std::min(i, kMaxMoves)].consumedTime;
        if (t >= kUnknownTime) continue;
        if (options.minutesOnly) t = t / 60 * 60;
        if (t % 60 != 0) seconds = true;
        totals[record.SideOf(i) == side::kGote ? side::kGote : side::kSente] += t;
    }
    std::uint32_t sente = totals[1];
    std::uint32_t gote = totals[2];
    std::string text = options.consumedView ? " 消費時間： "_sj : " 残り時間： "_sj;
    if (!options.consumedView) {
        sente = options.senteAllotted > sente ? options.senteAllotted - sente : 0;
        gote = options.goteAllotted > gote ? options.goteAllotted - gote : 0;
    }
    char buffer[64];
    if (seconds) {
        std::snprintf(buffer, sizeof buffer, "%3u", sente / 60);
        text += "▲ "_sj + buffer + "分 "_sj;
        std::snprintf(buffer, sizeof buffer, "%2u", sente % 60);
        text += std::string(buffer) + "秒"_sj + " ： "_sj;
        std::snprintf(buffer, sizeof buffer, "%3u", gote / 60);
        text += "△ "_sj + buffer + "分 "_sj;
        std::snprintf(buffer, sizeof buffer, "%2u", gote % 60);
        text += std::string(buffer) + "秒"_sj;
    } else {
        std::snprintf(buffer, sizeof buffer, "%2u", sente / 3600);
        text += "▲ "_sj + buffer + "時間 "_sj;
        std::snprintf(buffer, sizeof buffer, "%2u", sente % 3600 / 60);
        text += std::string(buffer) + "分"_sj + " ： "_sj;
        std::snprintf(buffer, sizeof buffer, "%2u", gote / 3600);
        text += "△ "_sj + buffer + "時間 "_sj;
        std::snprintf(buffer, sizeof buffer, "%2u", gote % 3600 / 60);
        text += std::string(buffer) + "分"_sj;
    }
    return text;
}

std::string EraStatusDate(std::string_view storedDate, bool warekiDisp) {
    std::size_t at = 0;
    const int year = ReadNumber(storedDate, at);
    if (year < 0 || !Skip(storedDate, at, "年"_sj)) return std::string(storedDate);
    int month = ReadNumber(storedDate, at);
    if (month < 0 || !Skip(storedDate, at, "月"_sj)) return std::string(storedDate);
    int day = ReadNumber(storedDate, at);
    if (day < 0 || !Skip(storedDate, at, "日"_sj)) return std::string(storedDate);
    if (warekiDisp) {
        if (month == 0) {
            month = 1;
            day = 1;
        } else if (day == 0) {
            day = 1;
        }
    }
    try {
        return EraDateText(CivilDate{year, month, day}, EraLayout::kKanji);
    } catch (const std::invalid_argument&) {
        return std::string(storedDate);
    }
}

std::string StatusHeaderText(const GameHeaderTexts& texts, bool dateAsWritten, bool warekiDisp) {
    std::string text = dateAsWritten ? texts.dateText : EraStatusDate(texts.dateText, warekiDisp);
    text += "　"_sj + texts.tournament + " " + texts.tournamentDetail;
    if (!texts.gameNumber.empty() && texts.gameNumber != "00") {
        text += "　第"_sj + texts.gameNumber + "局"_sj;
    }
    text += "　"_sj + texts.opening;
    return text;
}

}  // namespace movra
