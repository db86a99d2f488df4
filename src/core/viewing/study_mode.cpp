#include "core/viewing/study_mode.h"

namespace movra {

void StudyMode::Enter() {
    if (active()) return;
    before_ = record_.TakeSnapshot();
    saved_ = replay_.SaveLists();
    // The moves after the one shown are no longer part of the working game.
    record_.moveCount = record_.currentMove;
    replay_.CutLines(static_cast<std::size_t>(record_.currentMove));
}

void StudyMode::Leave() {
    if (!active()) return;
    record_.Restore(*before_);
    before_.reset();
    record_.WriteCurrentMoveToSlot();
    replay_.RestoreLists(std::move(saved_));
    saved_ = ReplayLists{};
}

ReplayStep StudyMode::StepBack() {
    if (!active() || record_.currentMove <= startMove()) {
        ReplayStep none;
        none.forward = false;
        return none;
    }
    const int n = record_.currentMove;
    ReplayStep step = replay_.Back();
    if (step.moved && n == record_.moveCount) {
        record_.moveCount = static_cast<std::int16_t>(n - 1);
        replay_.CutLines(static_cast<std::size_t>(n - 1));
    }
    return step;
}

ReplayStep StudyMode::Accept(const EnteredMove& move) {
    // The game ends with the new move: whatever followed it is gone.
    record_.moveCount = static_cast<std::int16_t>(move.moveNumber);
    replay_.PutEnteredLine(move.moveNumber, move.line);
    return replay_.Forward();
}

}  // namespace movra
