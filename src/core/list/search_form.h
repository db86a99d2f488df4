#pragma once
// The search dialog without its window: what its controls hold, the condition lists it shows,
// the checks before a search with their messages, turning the choices into SearchConditions,
// the saved conditions of [Kensaku], the era labels and spin buttons of the date fields, and the
// player labels.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/list/search_conditions.h"
#include "core/config/settings.h"
#include "core/store/master_data.h"

namespace movra {

// The dialog's date fields as typed.
struct SearchDates {
    std::string fromYear = "1900";
    std::string fromMonth = "01";
    std::string toYear;
    std::string toMonth;
    friend bool operator==(const SearchDates&, const SearchDates&) = default;
};

// What the dialog's controls hold: list positions (0 is "指定なし" in every list), the date texts
// and the player mode.
struct SearchChoices {
    int player1 = 0;  // positions in PlayerSearchList
    int player2 = 0;
    PlayerMode playerMode = PlayerMode::Either;
    int tournament = 0;     // positions in TournamentSearchList
    int subTournament = 0;  // positions in SubTournamentSearchList of the chosen tournament
    int opening = 0;        // positions in OpeningSearchList
    int result = 0;         // ResultListTexts
    int handicap = 0;       // HandicapSearchList
    SearchDates dates;
    int position = 0;                 // PositionListTexts
    int depth = 4;                    // DepthListTexts: " 50手まで"
    friend bool operator==(const SearchChoices&, const SearchChoices&) = default;
};

// --- the condition lists -----------------------------------------------------------------------

// "指定なし", then one entry a player in the player order: the display name padded or cut to 30
// bytes followed by the player number as four digits.
std::vector<std::string> PlayerSearchList(const PlayerTable& players);
// The player number of a list entry: its characters 31-34; 0 for "指定なし" or anything shorter.
int PlayerNumberOfListEntry(std::string_view entry);
// "指定なし", then the tournaments that have a name, in list order.
std::vector<std::string> TournamentSearchList(const TournamentTable& tournaments);
// "指定なし", then the named sub-tournaments (at most 10) of the tournament with that number.
std::vector<std::string> SubTournamentSearchList(const TournamentTable& tournaments, int tournament);
// "指定なし", then the openings that have a name.
std::vector<std::string> OpeningSearchList(const OpeningTable& openings);
// "指定なし", then the handicap names from number 0.
std::vector<std::string> HandicapSearchList();

// --- checks and conditions ---------------------------------------------------------------------

enum class SearchField { None, FromYear, FromMonth, ToYear, ToMonth };

struct SearchDateCheck {
    SearchField focus = SearchField::None;  // the field to focus; None when the dates are good
    std::string message;                    // the warning to show
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    bool ok() const { return focus == SearchField::None; }
};

// The checks before a search, in their order: each month (empty, not a number, 13 or more):
// "月の入力が間違っています！ 正しく入力して下さい。"; each year (empty, or not a number):
// "年の入力が間違っています！ 正しく入力して下さい。"; from after to:
// "対局日の設定範囲が間違っています。" with the focus on the from year.
SearchDateCheck CheckSearchDates(const SearchDates& dates);

// The conditions of the choices: player numbers from the list entries, tournament,
// sub-tournament and opening numbers from the tables, the handicap and result mappings, the
// date bounds, the position mode and depth; `board` is the pattern for a position mode. The
// dates are checked first; on a failed check `out` is left as it was.
SearchDateCheck BuildSearchConditions(const SearchChoices& choices,
                                      const std::vector<std::string>& playerList,
                                      const TournamentTable& tournaments,
                                      const OpeningTable& openings, const SearchPattern& board,
                                      SearchConditions& out);

// --- saved conditions ([Kensaku] of MOVRAWIN.INI) ------------------------------------------------

// The twelve saved values of the choices: list indexes for the players, result and handicap,
// numbers for tournament, sub-tournament and opening, the dates as numbers. A date text that is
// not a number is saved as 0.
Settings::Kensaku SaveSearchChoices(const SearchChoices& choices,
                                    const TournamentTable& tournaments,
                                    const OpeningTable& openings);

// The choices the dialog opens with. The dates come from the saved values (the current year and
// month for a saved to-year of 0). With fresh lists every list shows "指定なし" and the player
// mode is 1; otherwise the saved choices come back (a number no longer in its table gives
// "指定なし", a player index past the list too). The position list shows "同一局面" with the
// position preset, else "局面指定なし"; the depth " 50手まで".
SearchChoices RestoreSearchChoices(const Settings::Kensaku& saved, bool freshLists,
                                   bool positionPreset, const TournamentTable& tournaments,
                                   const OpeningTable& openings, std::size_t playerListSize,
                                   int currentYear, int currentMonth);

// "条件クリア": from 1900/01 to the current month, every list at "指定なし", player mode 1.
SearchChoices ClearedSearchChoices(int currentYear, int currentMonth);

// When the player order changes, the saved player indexes follow their players: an index into
// the old list becomes the index of the same number in the new one (0 when it is gone).
void RemapSavedPlayers(Settings::Kensaku& saved, const std::vector<std::string>& oldList,
                       const std::vector<std::string>& newList);

// --- labels and spin buttons -------------------------------------------------------------------

// The era of the first day of the month: "(" + era name + two-digit era year + "年)", 平成 for a
// month after January of 昭和64, 令和 from May 2019; "(　　  　)" when the texts make no date.
std::string SearchEraLabel(std::string_view yearText, std::string_view monthText);

// The spin buttons: year down − 1 ("0000" or less becomes "2000"), up + 1 (more than four
// digits becomes "1900"); month down − 1 ("00" or less becomes "12"), up + 1 ("13" or more
// becomes "01"). An empty or unreadable field becomes "2000", "1900", "12" or "01".
std::string SpinYear(std::string_view yearText, bool up);
std::string SpinMonth(std::string_view monthText, bool up);

// The two player labels: mode 1 "１．棋士名１" and "２．棋士名２"; mode 2 "１．" + S + "棋士名" and
// "２．" + G + "棋士名"; mode 3 with S and G exchanged. S and G are "先手" and "後手", or "下手"
// and "上手" when a handicap other than the even game is chosen (handicap list index 2 or more).
std::pair<std::string, std::string> SearchPlayerLabels(PlayerMode mode, int handicapIndex);

// "棋士指定切替": 1 → 2 → 3 → 1.
PlayerMode NextPlayerMode(PlayerMode mode);

}  // namespace movra
