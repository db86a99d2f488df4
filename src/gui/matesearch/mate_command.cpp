#include "gui/matesearch/mate_command.h"

#include <QApplication>
#include <QWidget>

#include "core/matesearch/engine_entry.h"
#include "core/rules/position.h"

namespace movra {

namespace {
constexpr int kPollMilliseconds = 200;
}

MateCommand::MateCommand(Host host, QObject* parent) : QObject(parent), host_(std::move(host)) {
    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, &MateCommand::Poll);
}

MateCommand::~MateCommand() {
    if (search_ != nullptr) {
        search_->Stop();
        search_->Finish();
    }
}

void MateCommand::Press() {
    if (search_ != nullptr) {
        // The button again during a search: stop it; the next tick reports.
        search_->Stop();
        return;
    }
    Start();
}

void MateCommand::Start() {
    TKifData& record = *host_.record;
    const int current = record.currentMove;
    const int sideToMove = record.SideOf(current + 1);
    const bool editing = host_.positionEditing && host_.positionEditing();
    const int preselected = PreselectedDefender(editing, sideToMove);
    const int defender = host_.chooseKing(preselected, record.handicap != '0');
    if (defender != side::kSente && defender != side::kGote) {  // the choice was cancelled
        host_.latch(false);
        return;
    }
    if (const std::string problem = DefendingKingProblem(record.position, defender); !problem.empty()) {
        host_.latch(false);
        host_.redraw();
        host_.prompter->Warn(problem);
        return;
    }
    attacker_ = AttackerOf(defender);
    saved_ = record.TakeSnapshot();
    const bool pass = NeedsPass(sideToMove, attacker_);
    if (pass) {
        // The attacker moves next: a pass is put in as one more move.
        record.moveCount = static_cast<std::int16_t>(record.moveCount + 1);
        record.currentMove = static_cast<std::int16_t>(record.currentMove + 1);
    }
    searched_ = record.position;
    firstNumber_ = record.currentMove + 1;
    previous_ = pass || current == 0 ? MoveRecord{} : saved_->moves()[std::size_t(current)];

    // The worker reads the limit before each deeper call; it mirrors the setting, refreshed on
    // every tick, so the worker never touches the window's settings itself.
    limit_->store(host_.depthLimit());
    MateSearchSettings settings;
    settings.depthLimit = [limit = limit_] { return limit->load(); };
    settings.tableMegabytes = host_.tableMegabytes;
    search_ = std::make_unique<MateSearch>(settings);
    host_.latch(true);
    host_.lock(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    search_->Start(MakeEnginePosition(searched_), EngineSide(attacker_));
    poll_.start();
}

void MateCommand::Poll() {
    if (search_ == nullptr) return;
    limit_->store(host_.depthLimit());
    if (!search_->Done()) return;
    poll_.stop();
    QApplication::restoreOverrideCursor();
    const MateOutcome outcome = search_->Finish();
    const int limit = host_.depthLimit();
    TKifData& record = *host_.record;
    const int side = attacker_;
    auto moveLine = [&](const MoveCode& m) {
        return MateMoveLine(searched_, m, side, firstNumber_, record.parityOffset, record.handicap, previous_);
    };
    // The record is put back before the report, so that nothing the user sees meanwhile is the
    // searched copy.
    search_.reset();
    if (saved_) {
        record.Restore(*saved_);
        saved_.reset();
    }
    host_.redraw();
    host_.lock(false);
    host_.latch(false);
    host_.prompter->Inform(MateReportText(outcome, limit, searched_, moveLine));
    emit finished();
}

}  // namespace movra
