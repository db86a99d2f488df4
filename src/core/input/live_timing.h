#pragma once
// Timing the moves of a game entered live: the file "KifTime.txt" in the program folder keeps the
// number of the last move entered and the clock time it was made ("012,10:23:45"); the next move's
// consumed time is the time between the two, less the lunch and evening breaks when they fall in
// between. The clock is always passed in (seconds since midnight), so everything here runs in a
// test.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <array>

namespace movra {

inline constexpr std::string_view kKifTimeFileName = "KifTime.txt";
// The consumed time stored for a move that took too long to count (or a clock that went back).
inline constexpr std::uint16_t kOverlongTime = 59940;

// The five fields of [HTML] KifTime: the start time, the lunch break's start and length in
// minutes, the evening break's start and length ("10:00:00", "12:10:00", "50", "18:10:00", "50").
struct TimingSchedule {
    int startSeconds = 10 * 3600;
    int lunchStart = 12 * 3600 + 10 * 60;
    int lunchMinutes = 50;
    int eveningStart = 18 * 3600 + 10 * 60;
    int eveningMinutes = 50;
};
// A field that cannot be read keeps the default value above.
TimingSchedule ParseTimingSchedule(const std::array<std::string, 5>& fields);

// "hh:nn:ss" → seconds since midnight; nullopt for anything else.
std::optional<int> ParseClockTime(std::string_view text);
// Seconds since midnight → "hh:nn:ss".
std::string ClockTimeText(int seconds);

struct TimingStamp {
    int move = 0;     // the last move entered (0: none yet)
    int seconds = 0;  // the clock time it was made
};
// "012,10:23:45" ↔ the stamp (the file's one line; a CR LF after it is allowed).
std::optional<TimingStamp> ParseTimingLine(std::string_view line);
std::string TimingLine(const TimingStamp& stamp);

// The raw time between two clock times: the absolute difference, less the lunch break when the
// earlier time lies before its start and `now` after it, and the evening break likewise; a
// negative result is kOverlongTime.
int ElapsedSeconds(int earlier, int now, const TimingSchedule& schedule);
// What a move records: kOverlongTime above 35999 seconds, otherwise the whole minutes plus 59
// seconds (minutes × 60 + 59).
std::uint16_t RecordedTime(int elapsed);

// The file in the program folder.
class LiveTimingFile {
public:
    LiveTimingFile(std::filesystem::path programFolder, TimingSchedule schedule);

    const std::filesystem::path& path() const { return path_; }
    bool exists() const;
    // Input starts, or the board is at move 0: "000," + the schedule's start time when the file
    // is missing or `currentMove` is 0. False on a write error.
    bool Start(int currentMove);
    // Move `moveNumber` (n + 1) was entered at `now`: when the file's move number is n, the
    // move's consumed time (RecordedTime); nullopt when the file is missing, unreadable or names
    // another move. The file then names this move at `now` in every case it could be read.
    std::optional<std::uint16_t> RecordMove(int moveNumber, int now);
    // The status text every two seconds: "考慮時間  %3d 手目:  " with the next move's number and
    // "%3d 分 %3d 秒" with the time since the last entry; nullopt when the file is missing or
    // unreadable (CP932).
    std::optional<std::string> StatusText(int nextMove, int now) const;

private:
    std::optional<TimingStamp> Read() const;
    bool Write(const TimingStamp& stamp) const;

    std::filesystem::path path_;
    TimingSchedule schedule_;
};

// The status text itself (CP932).
std::string ThinkingTimeText(int nextMove, int secondsSince);

}  // namespace movra
