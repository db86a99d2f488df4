#include "core/viewing/replay.h"

#include <algorithm>

namespace movra {

bool LineHasComment(const std::string& line) { return line.size() > 3 && line[3] == '*'; }

void GameReplay::TakeOver(std::vector<std::string> lines, bool indexStore) {
    full_ = std::move(lines);
    indexStore_ = indexStore;
    record_.GoToMove(0);
    visible_.clear();
    if (style_ == ListStyle::WholeGame) visible_ = full_;
    selection_ = -1;
    top_ = 0;
    timeMove_ = 0;
    framed_.reset();
}

void GameReplay::Clear() {
    full_.clear();
    visible_.clear();
    selection_ = -1;
    top_ = 0;
    timeMove_ = 0;
    framed_.reset();
}

bool GameReplay::closingLineSelected() const {
    return selection_ >= 0 && selection_ == closingIndex() &&
           static_cast<std::size_t>(selection_) < visible_.size();
}

bool GameReplay::selectedLineHasComment() const {
    return selection_ >= 0 && static_cast<std::size_t>(selection_) < visible_.size() &&
           LineHasComment(visible_[selection_]);
}

void GameReplay::ShowLinesUpTo(std::size_t count) {
    count = std::min(count, full_.size());
    while (visible_.size() < count) visible_.push_back(full_[visible_.size()]);
}

void GameReplay::TrimVisible(std::size_t count) {
    if (visible_.size() > count) visible_.resize(count);
    if (selection_ >= static_cast<int>(visible_.size())) selection_ = static_cast<int>(visible_.size()) - 1;
}

void GameReplay::SelectCurrentLine() {
    const int wanted = record_.currentMove - 1;
    selection_ = wanted < static_cast<int>(visible_.size()) ? wanted : -1;
}

void GameReplay::FrameCurrentMove() {
    const int n = record_.currentMove;
    if (n <= 0) {
        framed_.reset();
        return;
    }
    const MoveRecord& m = record_.moves[n];
    framed_ = Square{m.toFile, m.toRank};
}

ReplayStep GameReplay::Forward() {
    ReplayStep step;
    const int n = record_.currentMove;
    if (n < record_.moveCount) {
        const MoveRecord& next = record_.moves[n + 1];
        step.codeBefore = record_.position.pieces[next.piece].code;
        if (!record_.StepForward()) return {};
        step.moved = true;
        step.moveNumber = n + 1;
        step.move = record_.moves[n + 1];
        if (style_ == ListStyle::MoveByMove) ShowLinesUpTo(static_cast<std::size_t>(n + 1));
        // The list follows the selection: past move 10, once the selection is more than seven
        // lines below the top line, the top line becomes current - 9.
        const int current = record_.currentMove;
        if (current > 10 && (current - 1) - top_ > 7) top_ = current - 9;
        SelectCurrentLine();
        if (selection_ >= 0 && selection_ < top_) top_ = selection_;
        FrameCurrentMove();
        timeMove_ = current;
        return step;
    }
    if (record_.moveCount > 0) {
        step.reachedEnd = true;
        if (indexStore_ && style_ == ListStyle::MoveByMove) {
            ShowLinesUpTo(static_cast<std::size_t>(record_.moveCount) + 1);
        }
        if (static_cast<std::size_t>(closingIndex()) < visible_.size()) {
            selection_ = closingIndex();
            if (selection_ - top_ >= 8) top_ = selection_ - 7;
        }
        timeMove_ = record_.moveCount + 1;
    }
    return step;
}

ReplayStep GameReplay::Back() {
    ReplayStep step;
    step.forward = false;
    if (closingLineSelected()) {
        // On the closing line the position is already the last one: only the selection moves.
        selection_ = selection_ - 1;
        if (selection_ >= 0 && selection_ < top_) top_ = selection_;
        timeMove_ = record_.currentMove;
        return step;
    }
    const int n = record_.currentMove;
    if (n <= 0) return step;
    step.move = record_.moves[n];
    step.moveNumber = n;
    if (!record_.StepBack()) return {};
    step.moved = true;
    step.codeBefore = record_.position.pieces[step.move.piece].code;
    if (style_ == ListStyle::MoveByMove) TrimVisible(static_cast<std::size_t>(n - 1));
    SelectCurrentLine();
    if (selection_ >= 0 && selection_ < top_) top_ = selection_;
    if (selection_ < 0) top_ = 0;
    FrameCurrentMove();
    timeMove_ = record_.currentMove;
    return step;
}

void GameReplay::JumpTo(int n) {
    n = std::clamp(n, 0, record_.moveCount + 1);
    record_.GoToMove(std::min(n, static_cast<int>(record_.moveCount)));
    if (style_ == ListStyle::MoveByMove) {
        // The lines beyond the move shown go; a click on the closing line keeps it.
        TrimVisible(static_cast<std::size_t>(n));
    }
    selection_ = (n - 1 < static_cast<int>(visible_.size())) ? n - 1 : -1;
    if (selection_ < 0) {
        top_ = 0;
    } else if (selection_ < top_) {
        top_ = selection_;
    } else if (selection_ - top_ > 8) {
        top_ = selection_ - 8;
    }
    FrameCurrentMove();
    timeMove_ = n;
}

void GameReplay::ToStart() {
    record_.GoToMove(0);
    if (style_ == ListStyle::MoveByMove) visible_.clear();
    selection_ = -1;
    top_ = 0;
    timeMove_ = 0;
    framed_.reset();
}

void GameReplay::ToEnd() {
    if (visible_.empty()) return;
    JumpTo(static_cast<int>(visible_.size()));
}

ReplayLists GameReplay::SaveLists() const {
    return ReplayLists{full_, visible_, selection_, top_, timeMove_, framed_};
}

void GameReplay::RestoreLists(ReplayLists lists) {
    full_ = std::move(lists.full);
    visible_ = std::move(lists.visible);
    selection_ = lists.selection;
    top_ = lists.top;
    timeMove_ = lists.timeMove;
    framed_ = lists.framed;
}

void GameReplay::CutLines(std::size_t count) {
    if (full_.size() > count) full_.resize(count);
    TrimVisible(count);
}

void GameReplay::PutEnteredLine(int n, const std::string& line) {
    if (n < 1) return;
    const auto before = static_cast<std::size_t>(n - 1);
    full_.resize(before);
    full_.push_back(line);
    if (visible_.size() >= before) {
        visible_.resize(before);
        visible_.push_back(line);
    }
    if (selection_ >= static_cast<int>(visible_.size())) selection_ = static_cast<int>(visible_.size()) - 1;
}

void GameReplay::SetStyle(ListStyle style) {
    style_ = style;
    if (style == ListStyle::WholeGame) {
        ShowLinesUpTo(full_.size());
    } else {
        // Lines after the current move go, the closing line with them unless it is selected.
        TrimVisible(static_cast<std::size_t>(closingLineSelected() ? selection_ + 1
                                                                  : record_.currentMove));
    }
}

}  // namespace movra
