#pragma once
// The game list window's view of the catalogue: pages of 20 lines, the fixed-width line of one
// game, the caption with its result summary, and the selected-game line handed to the main
// window. Everything here is text and arithmetic; the window only shows it.
//
// A list line, in bytes (CP932, a double-byte character counts 2):
//
//   1  " "
//   N  sente name            (N = 12 in the window and on paper, 14 in "Ichiran.txt")
//   N  gote name
//   13 tournament or sub-tournament name (12) and " "
//   3  game number "%2d" ("  " for 0) and " "
//   13 date (12) and " "
//   10 result
//   5  move count "%3d" and "　"
//   13 opening (12) and " "
//   .. information column: the handicap, the move where a position search matched, or ratings
//
// Every column cut at its width is cut without splitting a double-byte character: the half
// character becomes a blank, so the columns after it stay aligned.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/record/game_header.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"

namespace movra {

inline constexpr std::uint32_t kListPageSize = 20;
inline constexpr std::size_t kListNameWidth = 12;  // the window and list printing
inline constexpr std::size_t kDumpNameWidth = 14;  // "Ichiran.txt"
inline constexpr std::size_t kListColumnWidth = 12;
inline constexpr std::size_t kResultColumnWidth = 10;

// The master tables a line names players, tournaments and openings from.
struct ListTables {
    const PlayerTable& players;
    const TournamentTable& tournaments;
    const OpeningTable& openings;
};

// How the list shows its columns. The first three are the main window's preferences ([Form]
// DateType and WinType, [Shogi] WarekiDisp); the last two belong to the list window.
struct ListDisplay {
    bool westernDates = true;
    bool longResults = true;
    bool eraForIncompleteDates = false;
    bool subTournaments = false;  // tournament column: 棋戦名詳細 instead of 棋戦名
    bool ratings = false;         // information column: ratings (extended kind only)
};

enum class InfoColumn { Handicap, Move, Ratings };

// "手合い", "指し手", "ﾚｰﾃｨﾝｸﾞ".
std::string InfoHeaderWord(InfoColumn column);
// "棋戦名" or "棋戦名詳細".
std::string TournamentHeaderWord(bool subTournaments);

// The move a position search matched at, as a move number of the game (0: the starting
// position). The search counts move slots, and a handicap game keeps its first slot empty, so
// its slot number is one more than its move number. -1 when the entry has no hit.
int MatchedMove(const GameHeader& entry);

// --- columns --------------------------------------------------------------------------------------

// The date column, 12 bytes. Western: two blanks and YYYY/MM/DD with "00" for what is not
// known. Era: the era and two-digit era year of the date (a month or day of 0 taken as 01 when
// `eraForIncompleteDates`), then "/" and the stored month and day; a date whose month or day is
// still unknown, or that lies before the first era, falls back to the western form.
std::string ListDateColumn(int year, int month, int day, bool westernDates,
                           bool eraForIncompleteDates);

// The result of a game as the list names it, padded and cut to 10 bytes: the long wording
// (先手勝ち, or 下手勝ち in a handicap game, …) or the short one (▲勝ち, …).
std::string ListResultColumn(int result, int handicapNumber, bool longWording);

// What a line needs beyond the catalogue entry; read from the store by ReadListLineData.
struct ListLineData {
    int moveCount = 0;
    bool extended = false;     // the store keeps detail records
    std::string senteName;     // the detail record's names, used where the player number is 0
    std::string goteName;
    int senteRating = 0;
    int goteRating = 0;
    // The move-list line of the move made from the matched position ("999  終局" when the game
    // ends there); empty when the entry has no hit.
    std::string hitLine;
};

// The information column a line shows: ratings in ratings mode of an extended store, else the
// matched move when the entry has a hit, else the handicap.
InfoColumn InfoColumnOf(const GameHeader& entry, const ListDisplay& display, bool extended);

// The player name of a line: the master table's name for a nonzero number, the detail record's
// name for 0 in the extended kind ("(未登録)" when it is empty or the store is classic).
std::string ListPlayerName(int number, std::string_view detailName, bool extended,
                           const PlayerTable& players);

// One list line.
std::string FormatListLine(const GameHeader& entry, const ListLineData& data,
                           const ListTables& tables, const ListDisplay& display,
                           std::size_t nameWidth);

// The column heading of a list made with that name width, the information column's word at
// the end: " 先手 … 後手 … 棋戦名 局 対局日 勝敗 手数 戦型 手合い", aligned with the lines.
std::string ListTitleText(std::size_t nameWidth, bool subTournaments, InfoColumn info);

// --- the caption ------------------------------------------------------------------------------------

// The whole catalogue counted by result: "先手:n勝 後手:n勝 千日手:n局 持将棋:n局 未登録:n局".
// Codes 5-8 count with 1-4; any other code counts as not registered.
std::string ResultSummary(std::span<const GameHeader> entries);
// "棋譜一覧 ( p / n 局)", and with a summary two blanks and the summary after it.
std::string GameListCaption(std::uint32_t position, std::uint32_t count, std::string_view summary);

// --- pages --------------------------------------------------------------------------------------------

// The page arithmetic of the list: the scroll bar counts pages from 0, page starts are 1-based
// catalogue positions, rows are 0-based on the page.
struct ListPaging {
    std::uint32_t count = 0;
    std::uint32_t pageStart = 1;

    static std::uint32_t ScrollMax(std::uint32_t count) {
        return count == 0 ? 0 : (count - 1) / kListPageSize;
    }
    std::uint32_t scrollMax() const { return ScrollMax(count); }
    std::uint32_t scrollPosition() const {
        return pageStart == 0 ? 0 : (pageStart - 1) / kListPageSize;
    }
    // Lines on the current page.
    std::uint32_t rowsOnPage() const;
    bool onFirstPage() const { return scrollPosition() == 0; }
    bool onLastPage() const { return scrollPosition() >= scrollMax(); }

    // Each answers whether the page changed.
    bool GoToScroll(std::uint32_t position);
    bool NextPage();
    bool PreviousPage();
    bool FirstPage() { return GoToScroll(0); }
    bool LastPage() { return GoToScroll(scrollMax()); }
    // After entries were removed: the page start moves back by whole pages while it lies
    // beyond the count (1 at least).
    void KeepWithinCount();
};

// What a key does to the highlighted row and the page.
enum class ListKey { Up, Down, PageUp, PageDown, Home, End };
struct ListMove {
    bool pageChanged = false;
    int row = 0;             // the row highlighted afterwards
    bool handled = false;    // the list box must not move the highlight itself
};
// Page Up/Down, Home and End turn pages (first row highlighted); Down on the last row of a
// full page turns to the next page (first row), Up on the first row to the previous page (its
// last row). Other moves within the page are the list box's own (handled false).
ListMove MoveInList(ListPaging& paging, int row, ListKey key);

// One page of lines as the window shows it.
struct ListPage {
    bool opened = false;              // the game-data file could be read
    std::vector<std::string> lines;
    std::vector<ListLineData> data;   // per line
    InfoColumn info = InfoColumn::Handicap;
};

// Reads what one line needs: the move count from the game data (the placeholder of a handicap
// game not counted), in the extended kind the detail record's names and ratings, and for an
// entry with a hit the line of the move after it (replayed in `scratch`).
ListLineData ReadListLineData(const StoreReader& reader, const GameHeader& entry,
                              TKifData& scratch);

// Fills the page that starts at `pageStart` (1-based): lines of name width 12. A game-data file
// that cannot be read gives "Reset Error! No.01" and an empty page.
ListPage FillListPage(const GameStore& store, std::span<const GameHeader> entries,
                      std::uint32_t pageStart, const ListTables& tables,
                      const ListDisplay& display, Prompter& prompter);

// --- the selected-game line -------------------------------------------------------------------------

// The fixed-width line the list hands the main window for the chosen game (152 bytes): record
// number "%06d", three blanks, sente and gote names (24 bytes each), tournament and
// sub-tournament names (20 each), the date as "YYYY年MM月DD日" and ten blanks, the record number
// again and twelve zeros, the result, the opening "%03d", "00", the position hit "%03d" ("000"
// when not positive), the handicap "%02d" and the game number "%02d".
std::string SelectedGameLine(const GameHeader& entry, std::string_view senteName,
                             std::string_view goteName, const ListTables& tables);

struct SelectedGame {
    std::uint32_t recordNumber = 0;
    int result = 0;
    int opening = 0;
    int positionHit = 0;
    int handicap = 0;
    int gameNumber = 0;
};
// Reads the numbers back by position; nullopt for a line that is too short or not numeric.
std::optional<SelectedGame> ParseSelectedGameLine(std::string_view line);

}  // namespace movra
