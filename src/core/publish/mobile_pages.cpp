#include "core/publish/mobile_pages.h"

#include <cstdio>

#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"
#include "core/text/text_helpers.h"

namespace movra {
using namespace movra::literals;

namespace {

bool ReplaceFirst(std::string& text, std::string_view word, std::string_view with) {
    const std::size_t at = sjis::Find(text, word);
    if (at == sjis::npos) return false;
    text.replace(at, word.size(), with);
    return true;
}

// The move-list line's number (bytes 1-3) and its side mark with the move text (bytes 6-19).
std::string NumberAndMove(std::string_view line) {
    return std::string(sjis::Cut(line, 0, 3)) + std::string(sjis::Cut(line, 5, 14));
}

}  // namespace

std::string MobileMoveLine(std::string_view moveListLine, std::uint16_t seconds) {
    std::string out = NumberAndMove(moveListLine);
    if (seconds >= 60 && seconds < 59940) {
        char minutes[8];
        std::snprintf(minutes, sizeof minutes, "%3d", seconds / 60);
        out += minutes;
    }
    return out + "<BR>";
}

std::string MobileCurrentMoveText(int currentMove, std::string_view moveListLine) {
    if (currentMove < 1) return {};
    return std::to_string(currentMove) + "手目<BR>"_sj + std::string(sjis::Cut(moveListLine, 5, 14)) + "<BR>";
}

std::vector<std::string> FillMobilePage(const std::vector<std::string>& templateLines, const MobilePageValues& v) {
    const TKifData* record = v.record;
    const int n = record != nullptr ? record->moveCount : 0;
    auto moveLine = [&](int k) {
        const std::string line = std::size_t(k - 1) < v.moveLines.size() ? v.moveLines[std::size_t(k - 1)] : std::string();
        return MobileMoveLine(line, record->moves[std::size_t(k)].consumedTime);
    };
    auto closing = [&] { return record != nullptr ? ResultLine(n, record->handicap, record->endCode) : std::string(); };
    auto hand = [&](int side) {
        return v.position != nullptr ? HandText(v.position->pieces, side, v.handText) : std::string();
    };

    std::vector<std::string> collected;
    std::vector<std::string> out;
    int marked = -1;
    for (const std::string& templateLine : templateLines) {
        std::string line = templateLine;
        auto fill = [&](std::string_view placeholder, const std::string& value) {
            if (!value.empty()) ReplaceFirst(line, placeholder, value);
        };
        if (sjis::Contains(line, "%FLN")) fill("%FLN", v.fileName);
        if (sjis::Contains(line, "%TIT")) fill("%TIT", v.title);
        if (sjis::Contains(line, "%SMK")) fill("%SMK", hand(1));
        if (sjis::Contains(line, "%GMK")) fill("%GMK", hand(2));
        if (sjis::Contains(line, "%WID")) fill("%WID", std::to_string(v.width));
        if (sjis::Contains(line, "%HEI")) fill("%HEI", std::to_string(v.height));
        if (sjis::Contains(line, "%VER")) fill("%VER", "Movra for Win Version 2.60");
        if (sjis::Contains(line, "%HNT")) fill("%HNT", v.hint);
        if (sjis::Contains(line, "%SNM")) fill("%SNM", Trim(v.senteName));
        if (sjis::Contains(line, "%GNM")) fill("%GNM", Trim(v.goteName));
        if (sjis::Contains(line, "%SAS")) fill("%SAS", v.currentMove);
        if (record != nullptr && sjis::Contains(line, "%KIF")) {
            for (int k = 1; k <= n; ++k) collected.push_back(moveLine(k));
            marked = int(out.size());
            fill("%KIF", closing());
        }
        if (record != nullptr && sjis::Contains(line, "%KF2")) {
            collected.push_back(closing() + "<BR>");
            for (int k = n; k >= 1; --k) collected.push_back(moveLine(k));
            marked = int(out.size());
            fill("%KF2", " ");
        }
        out.push_back(std::move(line));
    }
    if (marked >= 0) out.insert(out.begin() + marked, collected.begin(), collected.end());
    return out;
}

}  // namespace movra
