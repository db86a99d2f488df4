#pragma once
// One game as the text exports see it: its moves with consumed times, its catalogue values, the
// detail record when the store keeps one, the names the main window shows and the texts of its
// comments. The listing, the Kakinoki file and the tests all start from this.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"
#include "core/textio/imported_header.h"

namespace movra {

struct ExportGame {
    // The moves from the handicap's starting position; the position may stand at any move.
    TKifData record;
    // From the catalogue entry.
    int year = 0, month = 0, day = 0;
    int result = 0;          // 0-8; anything else is written like 0 where a word is needed
    int handicapNumber = 0;  // 0-14
    // The store keeps details (extended kind); `detail` is all zero otherwise.
    bool details = false;
    DetailRecord detail;
    // Seconds spent after the last move (the detail record's closing time).
    std::uint16_t closingTime = 0;
    // As the main window shows them, trimmed.
    std::string senteName, goteName, tournament, opening;
    // Comment texts (CP932, lines separated by CR LF) by move record: 0 the starting position,
    // 1 … move count the moves, move count + 1 the final position. Empty: no comment. May be
    // shorter than move count + 2.
    std::vector<std::string> comments;

    bool handicapGame() const { return handicapNumber != 0; }
    // The comment of move record i, or an empty text.
    const std::string& Comment(int i) const;
};

// Reads game k (1-based) of the store: index record, moves and, in the extended kind, the detail
// record, the consumed times and every comment the game refers to. Players, tournament and
// opening are named from the tables as the main window names them ("(未登録)" for player 0
// without a name in the detail record, "[#n]" for a number no table row has). nullopt when the
// store has no game k or its moves cannot be read; moves after damaged bytes are left out (the
// store's warning is shown through the prompter).
std::optional<ExportGame> LoadExportGame(const GameStore& store, const MasterTables& masters,
                                         long k, Prompter& prompter);

// "2024/05/01(水) 10:30:00": the year in four digits, month and day in two, the Japanese short
// weekday in parentheses ("(　)" when the date is not a valid date), then hour and minute in two
// digits and ":00". A number longer than its field keeps its leading digits.
std::string ExportDateTime(int year, int month, int day, int hour, int minute);
// "(水)", or "(　)" for a date that does not exist.
std::string WeekdayText(int year, int month, int day);

// The lines of a comment: split at CR LF (a lone CR or LF also ends a line); a line break at the
// very end adds no empty line.
std::vector<std::string> CommentLines(const std::string& text);

}  // namespace movra
