#pragma once
// A game of the open store taken into the main window: its moves into the game record (with
// comment links and consumed times in the extended kind), the header texts the window shows, and
// the comments on its moves.
#include <optional>
#include <string>
#include <utility>

#include "core/viewing/display_texts.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"

namespace movra {

struct StoredGame {
    bool found = false;          // the store holds game k
    bool damaged = false;        // some moves could not be read (the store's warning was shown)
    bool extended = false;       // a store of the extended kind: times and comments
    GameHeaderTexts texts;
    std::uint32_t senteAllotted = 0;  // seconds, from the detail record
    std::uint32_t goteAllotted = 0;
};

// Loads game k (1-based record number) of the open store: its index record, its moves from the
// start of its handicap (the record ends at the starting position, end code from the result),
// and in the extended kind the detail record (names of unregistered players, allotted times, the
// closing time and the comments on the first and final positions). Players, tournament and
// opening are named from the master tables.
StoredGame LoadStoredGame(const StoreSession& session, long k, TKifData& record, Prompter& prompter);

// "2024年04月10日": the year and two-digit month and day.
std::string StoredDateText(int year, int month, int day);

// The comment on the position after move `moveIndex` (0 the starting position, move count + 1
// the final position) with a heading naming the move and its consumed time; nullopt when the
// move has no stored comment.
std::optional<std::pair<std::string, std::string>> StoredComment(const StoreSession& session,
                                                                 const TKifData& record,
                                                                 int moveIndex,
                                                                 const std::string& line,
                                                                 Prompter& prompter);

}  // namespace movra
