#pragma once
// The texts the main window shows around the board: move-list lines with consumed minutes, the
// time panel, and the game's header in the status line. All CP932.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/record/kif_data.h"

namespace movra {

// The header texts of the shown game, as the store gives them.
struct GameHeaderTexts {
    std::string senteName;
    std::string goteName;
    std::string dateText;          // "2024年05月01日": year 年 two-digit month 月 two-digit day 日
    std::string tournament;
    std::string tournamentDetail;
    std::string gameNumber;        // "" or "00" when not given
    std::string opening;
};

// Consumed times of 59940 seconds (999 minutes) or more are unknown.
inline constexpr std::uint16_t kUnknownTime = 59940;

// A visible move-list line as drawn. With `TimeDisp` on and a store of the extended kind the
// text is padded with blanks to 15 bytes and cut to 15 (never inside a double-byte character:
// the half character becomes a blank), and a move whose time t is 60 <= t < 59940 seconds gets
// its minutes, "%3d" when the text is shorter than 16 bytes. `moveNumber` 0 is a line that is
// not a move (the closing line).
std::string MoveListText(const std::string& line, bool timeDisp, bool extendedStore,
                         int moveNumber, std::uint16_t consumedSeconds);

struct TimeDisplayOptions {
    bool consumedView = true;   // consumed (true) or remaining time
    bool minutesOnly = false;   // [HTML] OutPath01 set: every time counts in whole minutes
    std::uint32_t senteAllotted = 0;  // seconds each side was allotted (remaining view)
    std::uint32_t goteAllotted = 0;
};

// The time panel for move n (n = move count + 1 also counts the final time entry): the
// consumed times of moves 1..n summed for the side that made each move, as
// " 消費時間： ▲ %3d分 %2d秒 ： △ %3d分 %2d秒" when a counted time has seconds, else hours and
// minutes; " 残り時間： " with the allotted time less the totals (not below 0) in the remaining
// view. n = 0 gives an empty text.
std::string TimeDisplayText(const TKifData& record, int n, const TimeDisplayOptions& options);

// The stored date text in the Japanese era ("平成31年05月01日" → "令和01年05月01日"), with the
// WarekiDisp rule for a month or day of 00; the stored text when it cannot be converted.
std::string EraStatusDate(std::string_view storedDate, bool warekiDisp);

// Status panel 1 in game mode: date, "　", tournament, " ", detail, "　第N局" when the game
// number is set and not "00", "　" and the opening. `dateAsWritten` is [Form] DateType.
std::string StatusHeaderText(const GameHeaderTexts& texts, bool dateAsWritten, bool warekiDisp);

}  // namespace movra
