#pragma once
// The mate search as the main window runs it: which king to mate, the checks before a search,
// the worker thread `TTumeThread` that calls the engine with increasing odd depths, the state the
// two threads share, and the texts of the report.
//
// The window's part, around these:
//   1. ask which king (KingChoice*, PreselectedDefender); Cancel ends the command;
//   2. DefendingKingProblem: a text means "show it, redraw, no search";
//   3. when NeedsPass, raise the record's move count and current move by one; save the record's
//      moves and piece table; MakeEnginePosition; MateSearch::Start; lock the window; start the
//      200 ms timer;
//   4. the mate-search button while running: MateSearch::Stop;
//   5. each tick: nothing until Done(); then stop the timer, Finish(), show MateReportText, and
//      restore the record exactly as it was saved (moves, piece table, move count, current move).
#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/matesearch/engine_entry.h"
#include "core/rules/move.h"
#include "core/rules/position.h"

namespace movra {

inline constexpr int kDefaultMateDepthLimit = 11;  // INI [Shogi] TumeTesu

// Sides as the rules number them (side::kSente, side::kGote); the engine numbers its attacking
// side 0 for sente, 1 for gote.
constexpr int AttackerOf(int defender) { return side::Opponent(defender); }
constexpr int EngineSide(int s) { return s - side::kSente; }

// --- choosing the king -----------------------------------------------------------------------
std::string KingChoiceCaption();   // "詰め確認"
std::string KingChoiceQuestion();  // "どちらの玉を詰めますか？"
// The list entries, sente's king first: "先手玉" / "後手玉", in a handicap game "下手玉" / "上手玉".
std::array<std::string, 2> KingChoiceEntries(bool handicapGame);
std::string KingChoiceStartText();   // "開 始"
std::string KingChoiceCancelText();  // "キャンセル"
// The king preselected in the list (the defending side): gote's while editing a position,
// otherwise the king of the side that is not to move.
int PreselectedDefender(bool positionEditing, int sideToMove);

// --- before the search -----------------------------------------------------------------------
// The message when the defending side's king is missing from the board or stands there twice;
// empty when there is exactly one.
std::string DefendingKingProblem(const BoardPosition& position, int defender);
// A pass is inserted when the attacker is not the side to move.
constexpr bool NeedsPass(int sideToMove, int attacker) { return sideToMove != attacker; }

// --- the worker ------------------------------------------------------------------------------
// Loads the engine at the start of a search; nothing when the library or its entry is missing.
// `stop` is the worker's terminate request, for an engine that can end a call early.
using MateEngineLoader = std::function<std::unique_ptr<MateEngine>(const std::atomic<bool>* stop)>;

// The worker thread of one search. It loads the engine, calls it with depth 1, then with the
// next odd depth while no mate was found, the previous depth was below the limit (read again
// before each call) and no stop was asked, and releases the engine. Unless asked to stop it then
// hands the result (depth 0 and no move when there was no mate) to `deliver`, and calls
// `finished`. Destroying the object waits for the thread.
class TTumeThread {
public:
    using Deliver = std::function<void(int depth, const std::optional<MoveCode>& move)>;

    TTumeThread(const EnginePosition& position, int attacker, std::function<int()> depthLimit,
                MateEngineLoader loader, Deliver deliver, std::function<void()> finished);
    ~TTumeThread();
    TTumeThread(const TTumeThread&) = delete;
    TTumeThread& operator=(const TTumeThread&) = delete;

    // The terminate request: tested between engine calls (the built-in engine also ends its
    // running call early).
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

private:
    void Execute(EnginePosition position);

    int attacker_;
    std::function<int()> depthLimit_;
    MateEngineLoader loader_;
    Deliver deliver_;
    std::function<void()> finished_;
    std::atomic<bool> terminated_{false};
    std::thread thread_;
};

struct MateOutcome {
    bool stopped = false;
    int depth = 0;                 // 0: no mate within the limit
    std::optional<MoveCode> move;  // the first move when depth > 0
};

struct MateSearchSettings {
    std::function<int()> depthLimit = [] { return kDefaultMateDepthLimit; };  // called by the worker
    std::string libraryPath;  // empty: the built-in solver
    std::size_t tableMegabytes = kDefaultMateTableMegabytes;
};

// The state the window and the worker share: running, done and stopped flags and the result.
class MateSearch {
public:
    explicit MateSearch(MateSearchSettings settings = {});
    ~MateSearch();

    // Starts a search for `attacker` (0 sente, 1 gote) on the engine position; false while one is
    // running.
    bool Start(const EnginePosition& position, int attacker);
    // The mate-search button during a search: asks the worker to stop and sets done and stopped
    // at once. The engine call under way may still finish; its result is dropped.
    void Stop();
    bool Running() const { return running_.load(); }
    bool Done() const { return done_.load(); }
    bool Stopped() const { return stopped_.load(); }
    // After Done(): waits for the worker, clears running and done, and returns the outcome.
    MateOutcome Finish();

private:
    MateSearchSettings settings_;
    std::atomic<bool> running_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> stopped_{false};
    std::mutex resultMutex_;
    int resultDepth_ = 0;
    std::optional<MoveCode> resultMove_;
    std::unique_ptr<TTumeThread> worker_;
};

// --- the report ------------------------------------------------------------------------------
std::string MateStoppedText();
// "\r" + depth limit + "手以内では詰みませんでした！"
std::string NoMateText(int depthLimit);
// "\r現在王手の局面です！": the defender was in check and the answer takes the king.
std::string AlreadyInCheckText();
// "\r" + depth + "手で詰みました！\r\r第１手： " + moveText.
std::string MateFoundText(int depth, std::string_view moveText);
// The part of a move-list line the report shows: 16 bytes from its 6th (side mark and move).
std::string MoveLineExcerpt(std::string_view moveLine);

// The move-list line of the first move, made on a copy of the position: moveNumber is the
// number the move gets, side the attacker (1 or 2), previous the move before it (for "同").
// Empty when the move cannot be resolved on the position.
std::string MateMoveLine(const BoardPosition& position, const MoveCode& move, int side, int moveNumber,
                         int parityOffset, char handicap, const MoveRecord& previous);

// The whole report of a finished search on `position` (the position searched, before the first
// move). moveLine gives the move-list line of the first move.
std::string MateReportText(const MateOutcome& outcome, int depthLimit, const BoardPosition& position,
                           const std::function<std::string(const MoveCode&)>& moveLine);

}  // namespace movra
