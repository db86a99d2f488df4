#pragma once
// Applying the moves of a coded game to the game record.
#include "core/record/kif_data.h"
#include "core/textio/coded_game.h"

namespace movra {

struct AppliedMoves {
    int codes = 0;           // move codes found in the coded text
    bool truncated = false;  // there were more than the game record holds
};

// Applies the "K:" lines of `coded` to `record`, whose starting position the caller has set up
// (and whose moves it has cleared). The first move is sente's in an even game and 上手's in a
// handicap game; moves after the 512th are dropped.
//
// Refused, with `record` holding the moves before the fault, when a move field does not have
// four or five characters, or when a move cannot be played: no piece of the side to move on its
// starting square (or in its hand), a capture of the mover's own piece, or a drop onto an
// occupied square. Storing such a game would shift every later move to the wrong side.
ReadStatus ApplyCodedMoves(const CodedGameText& coded, TKifData& record, AppliedMoves& applied);

}  // namespace movra
