#pragma once
// The texts of the explorer's table, shared by the panel and the command line (CP932).
#include <string>

#include "core/explorer/opening_tree.h"
#include "core/store/master_data.h"

namespace movra {

// The move in the program's notation from the position before it ("７六歩", "５五角打", "２二角成"),
// by the piece on the origin square or the dropped kind; the USI text when the move does not fit
// the position.
std::string TreeMoveText(const ExplorerPosition& position, MoveKey key);
// "2024/05/03", "2024/05", "2024" as far as the date is given; "" for no date.
std::string TreeDateText(std::uint32_t date);
// "sente - gote" of the most recent game: master table names, for number 0 the detail record's
// name in an extended store.
std::string TreePlayersText(const GameStore& store, const PlayerTable& players, const MoveTally& t);

}  // namespace movra
