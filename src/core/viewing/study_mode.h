#pragma once
// Study mode (button 4): moves that branch off the game shown are tried on the board and taken
// back again; leaving puts the game back exactly as it was. A snapshot of the game is kept while
// study lasts; its current move also marks where study began.
#include <optional>

#include "core/viewing/move_entry.h"
#include "core/viewing/replay.h"
#include "core/record/kif_data.h"

namespace movra {

class StudyMode {
public:
    StudyMode(TKifData& record, GameReplay& replay) : record_(record), replay_(replay) {}

    bool active() const { return before_.has_value(); }
    // The move shown when study mode began (0 outside study mode).
    int startMove() const { return before_ ? before_->currentMove() : 0; }

    // The game and the lists are set aside; the game is cut at the current move.
    void Enter();
    // The game comes back (its current move written to the slot) with the lists as they were.
    void Leave();

    // Button 3 in study mode: only above the move where study began; the move taken back is
    // removed from the game. Returns what the step did (nothing below the start).
    ReplayStep StepBack();
    // A move entered on the board: its line goes into the lists, the game ends with it, and the
    // replay applies it.
    ReplayStep Accept(const EnteredMove& move);

private:
    TKifData& record_;
    GameReplay& replay_;
    std::optional<TKifData::Snapshot> before_;  // the game as it was; set while study lasts
    ReplayLists saved_;
};

}  // namespace movra
