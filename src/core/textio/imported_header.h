#pragma once
// The store's index record and detail record of an imported game, built from the header values
// the reader collected and the moves the game record now holds.
#include <string>
#include <string_view>

#include "core/record/kif_data.h"
#include "core/store/layout.h"
#include "core/store/master_data.h"
#include "core/textio/apply_coded_moves.h"
#include "core/textio/coded_game.h"

namespace movra {

// The master tables that names are looked up in; a missing table finds nothing (number 0).
struct MasterTables {
    const PlayerTable* players = nullptr;
    const TournamentTable* tournaments = nullptr;
    const OpeningTable* openings = nullptr;
};

// A player's name split for the detail record: the name and a rank or title ("伊奈祐介六段" →
// "伊奈祐介" and "六段"; "羽生善治 名人" → "羽生善治" and "名人"). A name that came with a rating
// (leading double quote) is kept whole.
struct SplitName {
    std::string name;
    std::string rank;
};
SplitName SplitPlayerName(std::string_view readName);

// Fills both records from the fields and the game record. The result
// follows the end character and who made the last move of the game as written (even when the
// record had to drop moves past its limit); a game longer than the store holds (512 moves, 511
// in a handicap game) keeps that many moves, and a decided result becomes its 以下 form. The
// game record's move count is cut to the same limit.
void MakeImportedHeader(const ImportFields& fields, const AppliedMoves& applied,
                        std::uint16_t closingTime, const MasterTables& masters, TKifData& record,
                        IndexRecord& index, DetailRecord& detail);

// The allowed times (and, with `breaks`, the lunch and dinner breaks) into the detail record.
// A value that is not a number, or out of range, stops the filling of the rest of its group.
void SetAllowedTimes(const ImportFields& fields, bool breaks, DetailRecord& detail);

}  // namespace movra
