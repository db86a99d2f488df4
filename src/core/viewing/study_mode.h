#pragma once
// Study mode (button 4): moves that branch off the game shown are tried on the board and taken
// back again; leaving puts the game back exactly as it was. The game is set aside in the
// record's saved state 3, whose current move also marks where study began.
#include "core/viewing/move_entry.h"
#include "core/viewing/replay.h"
#include "core/record/kif_data.h"

namespace movra {

inline constexpr int kStudyState = 3;

class StudyMode {
public:
    StudyMode(TKifData& record, GameReplay& replay) : record_(record), replay_(replay) {}

    bool active() const { return active_; }
    // The move shown when study mode began.
    int startMove() const { return record_.StateCurrentMove(kStudyState); }

    // The game goes into saved state 3 and the lists aside; the game is cut at the current move.
    void Enter();
    // Saved state 3 comes back (its current move written to the slot) with the lists as they were.
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
    ReplayLists saved_;
    bool active_ = false;
};

}  // namespace movra
