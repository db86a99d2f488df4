// The mate search as the window runs it: king choice, checks, the worker thread and the report.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/matesearch/mate_search.h"
#include "core/text/sjis_literal.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {

using namespace movra::literals;
using namespace std::chrono_literals;

SfenPosition FromSfen(std::string_view sfen) {
    std::optional<SfenPosition> p = ParseSfen(sfen);
    EXPECT_TRUE(p.has_value()) << sfen;
    return p ? *p : SfenPosition{};
}

MateOutcome RunToEnd(MateSearch& search, const EnginePosition& position, int attacker) {
    EXPECT_TRUE(search.Start(position, attacker));
    EXPECT_TRUE(search.Running());
    EXPECT_FALSE(search.Start(position, attacker)) << "one search at a time";
    while (!search.Done()) std::this_thread::sleep_for(1ms);
    MateOutcome outcome = search.Finish();
    EXPECT_FALSE(search.Running());
    EXPECT_FALSE(search.Done());
    return outcome;
}

TEST(MateKingChoice, TextsAndPreselection) {
    EXPECT_EQ(KingChoiceCaption(), "詰め確認"_sj);
    EXPECT_EQ(KingChoiceQuestion(), "どちらの玉を詰めますか？"_sj);
    EXPECT_EQ(KingChoiceEntries(false)[0], "先手玉"_sj);
    EXPECT_EQ(KingChoiceEntries(false)[1], "後手玉"_sj);
    EXPECT_EQ(KingChoiceEntries(true)[0], "下手玉"_sj);
    EXPECT_EQ(KingChoiceEntries(true)[1], "上手玉"_sj);
    EXPECT_EQ(KingChoiceStartText(), "開 始"_sj);
    EXPECT_EQ(KingChoiceCancelText(), "キャンセル"_sj);
    EXPECT_EQ(PreselectedDefender(false, 1), 2);  // sente to move: gote's king
    EXPECT_EQ(PreselectedDefender(false, 2), 1);
    EXPECT_EQ(PreselectedDefender(true, 2), 2) << "position editing always offers gote's king";
    EXPECT_EQ(AttackerOf(2), 1);
    EXPECT_TRUE(NeedsPass(2, 1));
    EXPECT_FALSE(NeedsPass(1, 1));
}

TEST(MateChecks, DefendingKingMissingOrDoubled) {
    BoardPosition p = FromSfen("4k4/9/9/9/9/9/9/9/9 b G 1").position;
    EXPECT_EQ(DefendingKingProblem(p, 2), "");
    EXPECT_EQ(DefendingKingProblem(p, 1), "\r先手玉が盤上にありません！"_sj);
    // A second gote king, as position editing can make one.
    p.board[BoardIndex(1, 1)] = piece::Gyoku + piece::kGoteOffset;
    EXPECT_EQ(DefendingKingProblem(p, 2), "\r後手玉が２枚あります！"_sj);
}

TEST(MateReport, Texts) {
    EXPECT_EQ(MateStoppedText(),
              "詰将棋思考を中止しました！\r\r詰将棋用メモリの解放のために\r多少時間が掛かる場合があります。\rその場合はしばらくお待ち下さい。"_sj);
    EXPECT_EQ(NoMateText(11), "\r11手以内では詰みませんでした！"_sj);
    EXPECT_EQ(MateFoundText(5, "▲２三金打"_sj), "\r5手で詰みました！\r\r第１手： ▲２三金打"_sj);
    EXPECT_EQ(MoveLineExcerpt("001  ▲７六歩"_sj), "▲７六歩"_sj);
    EXPECT_EQ(MoveLineExcerpt("012* △１二香成(13)    "_sj), "△１二香成(13)  "_sj) << "16 bytes";
    EXPECT_EQ(MoveLineExcerpt("0012"), "");
}

TEST(MateReport, ChoosesTheText) {
    SfenPosition s = FromSfen("4k4/9/4P4/9/9/9/9/9/4K4 b G 1");
    auto line = [&](const MoveCode& m) { return MateMoveLine(s.position, m, 1, 1, 0, '0', MoveRecord{}); };
    MateOutcome mate{false, 1, MoveCode::Parse("0552")};
    EXPECT_EQ(MateReportText(mate, 11, s.position, line), "\r1手で詰みました！\r\r第１手： ▲５二金"_sj);
    EXPECT_EQ(MateReportText(MateOutcome{}, 13, s.position, line), "\r13手以内では詰みませんでした！"_sj);
    EXPECT_EQ(MateReportText(MateOutcome{true, 3, MoveCode::Parse("0552")}, 11, s.position, line), MateStoppedText());
    // Depth 1 onto the king's square: the defender was already in check.
    SfenPosition checked = FromSfen("4k4/9/9/9/4R4/9/9/9/K8 b - 1");
    MateOutcome capture{false, 1, MoveCode::Parse("5551")};
    EXPECT_EQ(MateReportText(capture, 11, checked.position, line), "\r現在王手の局面です！"_sj);
}

// An engine that answers from a script and records the depths it was asked.
struct ScriptedEngine : MateEngine {
    std::vector<int>* depths;
    int mateAt;
    std::chrono::milliseconds delay;
    ScriptedEngine(std::vector<int>* d, int m, std::chrono::milliseconds w) : depths(d), mateAt(m), delay(w) {}
    int Call(const std::int8_t*, int, int depth, int* from, int* to, int* promotion) override {
        depths->push_back(depth);
        std::this_thread::sleep_for(delay);
        if (depth != mateAt) return 0;
        from[0] = 100 + 5;  // 金 dropped
        to[0] = EngineSquare(5, 2);
        promotion[0] = 0;
        return 1;
    }
};

struct WorkerRun {
    std::vector<int> depths;
    int deliveredDepth = -1;
    std::optional<MoveCode> deliveredMove;
    bool finished = false;
};

void RunWorker(WorkerRun& run, int limit, int mateAt, std::chrono::milliseconds delay = 0ms,
               std::chrono::milliseconds stopAfter = -1ms) {
    TTumeThread worker(
        EnginePosition{}, 0, [limit] { return limit; },
        [&](const std::atomic<bool>*) { return std::make_unique<ScriptedEngine>(&run.depths, mateAt, delay); },
        [&](int depth, const std::optional<MoveCode>& move) {
            run.deliveredDepth = depth;
            run.deliveredMove = move;
        },
        [&] { run.finished = true; });
    if (stopAfter >= 0ms) {
        std::this_thread::sleep_for(stopAfter);
        worker.Terminate();
    }
}  // the destructor waits for the thread

TEST(MateWorker, TriesOddDepthsUpToTheLimit) {
    WorkerRun eleven;
    RunWorker(eleven, 11, 0);
    EXPECT_EQ(eleven.depths, (std::vector<int>{1, 3, 5, 7, 9, 11}));
    EXPECT_EQ(eleven.deliveredDepth, 0);
    EXPECT_FALSE(eleven.deliveredMove);
    EXPECT_TRUE(eleven.finished);
    // A limit of 10 set by hand: 9 is below it, so 11 is still tried.
    WorkerRun ten;
    RunWorker(ten, 10, 0);
    EXPECT_EQ(ten.depths, (std::vector<int>{1, 3, 5, 7, 9, 11}));
    WorkerRun nine;
    RunWorker(nine, 9, 0);
    EXPECT_EQ(nine.depths, (std::vector<int>{1, 3, 5, 7, 9}));
}

TEST(MateWorker, StopsAtTheFirstDepthThatMates) {
    WorkerRun run;
    RunWorker(run, 11, 3);
    EXPECT_EQ(run.depths, (std::vector<int>{1, 3}));
    EXPECT_EQ(run.deliveredDepth, 3);
    ASSERT_TRUE(run.deliveredMove);
    EXPECT_EQ(run.deliveredMove->str(), "0552 ");
}

TEST(MateWorker, TerminatedWorkerDeliversNothing) {
    // The call under way finishes (and would mate); its result is dropped, no deeper call follows.
    WorkerRun run;
    RunWorker(run, 15, 1, 80ms, 20ms);
    EXPECT_EQ(run.depths, (std::vector<int>{1}));
    EXPECT_EQ(run.deliveredDepth, -1);
    EXPECT_FALSE(run.finished);
}

TEST(MateSearchRun, FindsAMateWithThePassInserted) {
    // Gote to move, but sente attacks: the engine position gets sente as the attacker.
    SfenPosition s = FromSfen("8k/9/6NG1/9/8S/9/9/9/K7L w p 2");
    ASSERT_TRUE(NeedsPass(s.sideToMove, AttackerOf(PreselectedDefender(false, 1))));
    MateSearch search;
    MateOutcome outcome = RunToEnd(search, MakeEnginePosition(s.position), 0);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.depth, 3);
    ASSERT_TRUE(outcome.move);
    EXPECT_EQ(outcome.move->str().substr(0, 2), "15");
}

TEST(MateSearchRun, NoMateWithinTheLimit) {
    MateSearchSettings settings;
    settings.depthLimit = [] { return 5; };
    MateSearch search(settings);
    SfenPosition s = FromSfen("4k4/9/9/9/9/9/9/9/4K4 b 2G2r2b2g4s4n4l18p 1");
    MateOutcome outcome = RunToEnd(search, MakeEnginePosition(s.position), 0);
    EXPECT_EQ(outcome.depth, 0);
    EXPECT_EQ(MateReportText(outcome, 5, s.position, nullptr), "\r5手以内では詰みませんでした！"_sj);
}

TEST(MateSearchRun, MissingLibraryMeansNoMate) {
    MateSearchSettings settings;
    settings.libraryPath = "/nonexistent/GRIPA01.so";
    MateSearch search(settings);
    SfenPosition s = FromSfen("4k4/9/4P4/9/9/9/9/9/4K4 b G 1");  // a mate in one
    MateOutcome outcome = RunToEnd(search, MakeEnginePosition(s.position), 0);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.depth, 0);
    EXPECT_EQ(MateReportText(outcome, 11, s.position, nullptr), "\r11手以内では詰みませんでした！"_sj);
}

TEST(MateSearchRun, StopDuringALongSearch) {
    MateSearchSettings settings;
    settings.depthLimit = [] { return 15; };
    settings.tableMegabytes = 16;
    MateSearch search(settings);
    SfenPosition s = FromSfen("4k4/9/9/9/9/9/9/9/4K4 b RBGSb3g3s4n4l18p 1");
    ASSERT_TRUE(search.Start(MakeEnginePosition(s.position), 0));
    std::this_thread::sleep_for(50ms);
    ASSERT_FALSE(search.Done()) << "the search should still be running";
    search.Stop();
    EXPECT_TRUE(search.Done()) << "done and stopped at once";
    EXPECT_TRUE(search.Stopped());
    const auto before = std::chrono::steady_clock::now();
    MateOutcome outcome = search.Finish();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s) << "the built-in solver ends its call early";
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.depth, 0);
    EXPECT_EQ(MateReportText(outcome, 15, s.position, nullptr), MateStoppedText());
    // The next search starts from a clean state.
    settings.depthLimit = [] { return 3; };
    MateSearch again(settings);
    EXPECT_EQ(RunToEnd(again, MakeEnginePosition(FromSfen("4k4/9/4P4/9/9/9/9/9/4K4 b G 1").position), 0).depth, 1);
}

}  // namespace
}  // namespace movra
