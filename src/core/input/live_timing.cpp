#include "core/input/live_timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

constexpr int kDaySeconds = 24 * 3600;
// Above this a move's time is not believed (ten hours less a second).
constexpr int kLongestCounted = 35999;

std::optional<int> Digits(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::optional<int> ParseClockTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const auto h = Digits(text.substr(0, 2));
    const auto m = Digits(text.substr(3, 2));
    const auto s = Digits(text.substr(6, 2));
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

std::string ClockTimeText(int seconds) {
    seconds = ((seconds % kDaySeconds) + kDaySeconds) % kDaySeconds;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

TimingSchedule ParseTimingSchedule(const std::array<std::string, 5>& fields) {
    TimingSchedule s;
    if (auto v = ParseClockTime(Trim(fields[0]))) s.startSeconds = *v;
    if (auto v = ParseClockTime(Trim(fields[1]))) s.lunchStart = *v;
    if (auto v = Digits(Trim(fields[2]))) s.lunchMinutes = *v;
    if (auto v = ParseClockTime(Trim(fields[3]))) s.eveningStart = *v;
    if (auto v = Digits(Trim(fields[4]))) s.eveningMinutes = *v;
    return s;
}

std::optional<TimingStamp> ParseTimingLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() != 12 || line[3] != ',') return std::nullopt;
    const auto move = Digits(line.substr(0, 3));
    const auto time = ParseClockTime(line.substr(4));
    if (!move || !time) return std::nullopt;
    return TimingStamp{*move, *time};
}

std::string TimingLine(const TimingStamp& stamp) {
    return ZeroPad(std::clamp(stamp.move, 0, 999), 3) + "," + ClockTimeText(stamp.seconds);
}

int ElapsedSeconds(int earlier, int now, const TimingSchedule& schedule) {
    int elapsed = std::abs(now - earlier);
    if (earlier < schedule.lunchStart && now > schedule.lunchStart) elapsed -= schedule.lunchMinutes * 60;
    if (earlier < schedule.eveningStart && now > schedule.eveningStart) {
        elapsed -= schedule.eveningMinutes * 60;
    }
    return elapsed < 0 ? kOverlongTime : elapsed;
}

std::uint16_t RecordedTime(int elapsed) {
    if (elapsed > kLongestCounted) return kOverlongTime;
    return std::uint16_t(elapsed / 60 * 60 + 59);
}

std::string ThinkingTimeText(int nextMove, int secondsSince) {
    char head[64];
    std::snprintf(head, sizeof head, "%3d", nextMove);
    char tail[64];
    std::snprintf(tail, sizeof tail, "%3d", secondsSince / 60);
    char secs[16];
    std::snprintf(secs, sizeof secs, "%3d", secondsSince % 60);
    return "考慮時間  "_sj + head + " 手目:  "_sj + tail + " 分 "_sj + secs + " 秒"_sj;
}

LiveTimingFile::LiveTimingFile(fs::path programFolder, TimingSchedule schedule)
    : path_(std::move(programFolder) / std::string(kKifTimeFileName)), schedule_(schedule) {}

bool LiveTimingFile::exists() const {
    std::error_code ec;
    return fs::is_regular_file(path_, ec);
}

std::optional<TimingStamp> LiveTimingFile::Read() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    std::getline(in, line);
    return ParseTimingLine(line);
}

bool LiveTimingFile::Write(const TimingStamp& stamp) const {
    // The one line goes through a temporary file, so a reader never sees half of it.
    const fs::path temporary = fs::path(path_).concat(".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << TimingLine(stamp) << "\r\n";
        out.close();
        if (!out) return false;
    }
    std::error_code ec;
    fs::rename(temporary, path_, ec);
    if (ec) fs::remove(temporary, ec);
    return !ec;
}

bool LiveTimingFile::Start(int currentMove) {
    if (exists() && currentMove != 0) return true;
    return Write(TimingStamp{0, schedule_.startSeconds});
}

std::optional<std::uint16_t> LiveTimingFile::RecordMove(int moveNumber, int now) {
    const std::optional<TimingStamp> last = Read();
    if (!last) return std::nullopt;
    std::optional<std::uint16_t> time;
    if (last->move == moveNumber - 1) time = RecordedTime(ElapsedSeconds(last->seconds, now, schedule_));
    Write(TimingStamp{moveNumber, now});
    return time;
}

std::optional<std::string> LiveTimingFile::StatusText(int nextMove, int now) const {
    const std::optional<TimingStamp> last = Read();
    if (!last) return std::nullopt;
    return ThinkingTimeText(nextMove, std::abs(now - last->seconds));
}

}  // namespace movra
