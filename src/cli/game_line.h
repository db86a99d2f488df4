#pragma once
// The line list and search print for a game of the catalogue: record number, the two players,
// date, result and number of moves, separated by two blanks (CP932, as stored).
#include <string>

#include "core/record/game_header.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"

namespace movra::cli {

// A player with number 0 is shown by the name kept with the game (ReadGameNames).
std::string GameLine(const StoreReader& reader, const GameHeader& h, const PlayerTable& players);

}  // namespace movra::cli
