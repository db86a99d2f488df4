#pragma once
// A game record made from a starting position and a list of moves, for showing a game that does
// not come from a store (the window's --sfen/--moves options, tests).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"

namespace movra {

// The start is the handicap setup of `handicapNumber` (0-14), or the SFEN position when `sfen`
// is not empty. Moves are USI ("7g7f", "P*5e") or move codes ("7776", "2822+"). The record ends
// at its last move with end code "0". nullopt, with the reason in `error`, for a bad SFEN, a
// handicap number out of range, or a move that cannot be the next move of the game.
std::optional<TKifData> GameFromMoves(std::string_view sfen, int handicapNumber,
                                      const std::vector<std::string>& moves, std::string* error);

// Splits a move text at blanks and commas.
std::vector<std::string> SplitMoves(std::string_view text);

}  // namespace movra
