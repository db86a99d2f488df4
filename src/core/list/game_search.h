#pragma once
// The two searches of the search dialog: the full search over the store's files, which replaces
// the catalogue with the hits, and the narrowing search over the games already in the catalogue.
//
// Both apply the header tests (list/search_conditions.h) and, with a position mode, the position
// test (list/position_matcher.h) to every game, keep the hits in store order (full search) or
// catalogue order (narrowing) with their position hits, and change the catalogue only when at
// least one game passed: with no hit the previous list stays as it was.
//
// The full search reads the index file from its second record and the game-data file from its
// first, in step and in large blocks; the overflow game-data file is read whole (at most 16384
// records) when the depth reaches past slot 256. On a machine with two cores the games are split
// in two ranges searched side by side, the hits of the second range following those of the
// first. Progress is reported on the calling thread every 100 games examined, with the caption
// "【 検 索 中 】"; a Progress answer of false stops the search and leaves the catalogue as it was.
#include <cstdint>
#include <string>

#include "core/list/search_conditions.h"
#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/store_files.h"

namespace movra {

// "【 検 索 中 】"
std::string SearchProgressCaption();
// The counter of the progress panel: "(%7d )".
std::string SearchCounterText(long examined);
// "検索結果は " + n + "件です"
std::string SearchResultMessage(long hits);

struct SearchOptions {
    // 0: as the machine allows (two ranges on two cores, for stores large enough to gain from
    // it); 1: everything on the calling thread; 2: two ranges whatever the size.
    int threads = 0;
    // End with the information SearchResultMessage (not after a stop).
    bool announce = true;
};

struct SearchOutcome {
    std::uint32_t hits = 0;      // games that passed, as now in the catalogue
    std::uint64_t examined = 0;  // games tested
    bool stopped = false;        // stopped through Progress: the catalogue is unchanged
    // Games that passed but whose index record cannot be a catalogue entry (a word that does not
    // fit a GameHeader); they are not listed.
    std::uint32_t unlisted = 0;
    // More games passed than the catalogue holds; the search ended at its capacity.
    bool overCapacity = false;
};

// The full search: every game of the store in record order. With hits the catalogue holds them
// (count = hits, page start 1), each with its record number and position hit (−1 without a
// position mode). Throws StoreIoError when the index file (or, with a position mode, the
// game-data file) cannot be read.
SearchOutcome FullSearch(const GameStore& store, const SearchConditions& conditions,
                         GameCatalogue& catalogue, Prompter& prompter,
                         const SearchOptions& options = {});

// The narrowing search: the catalogue's entries in their order, tested on their own fields; the
// position test reads each game's moves by its record number. With hits the passing entries
// replace the catalogue with their new position hits (count = hits, page start 1).
SearchOutcome NarrowSearch(const GameStore& store, const SearchConditions& conditions,
                           GameCatalogue& catalogue, Prompter& prompter,
                           const SearchOptions& options = {});

}  // namespace movra
