// The mate search from the main window: the report of a mate in one, the pass put in when the
// attacker is not to move and the record put back exactly, stopping, and a window that answers
// nothing but the mate-search button while the search runs.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <random>

#include "gui/common/fonts.h"
#include "core/store/store_test_support.h"
#include "gui/mainwindow/main_window.h"
#include "core/text/paths.h"
#include "gui/mainwindow/replay_panel.h"
#include "core/matesearch/engine_entry.h"
#include "gui/matesearch/king_choice_dialog.h"
#include "gui/matesearch/mate_command.h"
#include "core/text/sjis_literal.h"
#include "core/rules/sfen.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

struct Found {
    TKifData game;
    int move = 0;  // the position after this move has a mate in one for the side to move
};

// A random game with a position where the side to move mates in one (the built-in engine says
// so); random play leaves kings open often enough.
Found GameWithMateInOne() {
    std::mt19937 rng(7);
    for (int attempt = 0; attempt < 200; ++attempt) {
        Found f;
        testing::PlayRandomGame(rng, 0, 80, f.game);
        for (int m = 10; m < f.game.moveCount; ++m) {
            TKifData copy = f.game;
            copy.GoToMove(m);
            const EnginePosition engine = MakeEnginePosition(copy.position);
            int from = 0, to = 0, promotion = 0;
            if (plova_h(engine.data(), EngineSide(copy.SideOf(m + 1)), 1, &from, &to, &promotion) == 0) continue;
            // Not a position where the defender's king already stands in check.
            const PieceCode target = copy.position.board[std::size_t(BoardIndex((to - 1) % 9 + 1, (to - 1) / 9 + 1))];
            if (target == 0 || OwnCode(target) != piece::Gyoku) {
                f.move = m;
                return f;
            }
        }
    }
    return {};
}

// The command on its own, on a record set up from an SFEN, with the window's part recorded.
struct Bench {
    TKifData record;
    testing::RecordingPrompter prompter;
    int limit = 11;
    int redraws = 0;
    bool locked = false;
    bool latched = false;
    int preselected = 0;
    int defender = 2;
    std::unique_ptr<MateCommand> command;

    explicit Bench(const std::string& sfen) {
        const std::optional<SfenPosition> parsed = ParseSfen(sfen);
        if (!parsed) qFatal("bad SFEN %s", sfen.c_str());
        record.position = parsed->position;
        record.parityOffset = parsed->sideToMove == 2 ? 1 : 0;  // the side to move makes move 1
        MateCommand::Host host;
        host.record = &record;
        host.prompter = &prompter;
        host.positionEditing = [] { return false; };
        host.depthLimit = [this] { return limit; };
        host.redraw = [this] { ++redraws; };
        host.lock = [this](bool on) { locked = on; };
        host.latch = [this](bool down) { latched = down; };
        host.chooseKing = [this](int pre, bool) {
            preselected = pre;
            return defender;
        };
        command = std::make_unique<MateCommand>(std::move(host));
    }
    // Presses the button and waits for the report; empty when no search started.
    std::string Run() {
        QSignalSpy done(command.get(), &MateCommand::finished);
        command->Press();
        if (!command->running()) return {};
        if (!done.wait(20000)) return "no report";
        return prompter.texts().back();
    }
};

}  // namespace

class MateCommandTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    Found found_;

    MainWindow& Open() {
        window_ = testing::StartedWindow(testing::FreshProgramFolder(*dir_), prompter_);
        window_->ShowGame(found_.game, GameHeaderTexts{}, true, false, found_.move);
        return *window_;
    }
    // Presses the button with the king given and waits for the report.
    std::string Search(int defender) {
        window_->mateCommand()->setKingChooser([defender](int, bool) { return defender; });
        QSignalSpy done(window_->mateCommand(), &MateCommand::finished);
        const std::size_t before = prompter_.shown.size();
        window_->PressButton(ReplayPanel::MateSearch);
        if (!window_->mateCommand()->running()) return {};
        if (!done.wait(20000)) return "no report";
        return prompter_.shown.size() > before ? prompter_.texts().back() : std::string();
    }

private slots:
    void initTestCase() {
        RegisterFontSubstitutes();
        found_ = GameWithMateInOne();
        QVERIFY2(found_.move > 0, "no random game with a mate in one");
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        prompter_ = testing::RecordingPrompter{};
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void aMateInOneIsReportedAsOne() {
        MainWindow& w = Open();
        QCOMPARE(int(w.record().currentMove), found_.move);
        const int defender = 3 - w.record().SideOf(found_.move + 1);
        const std::string report = Search(defender);
        const std::string head = "\r1手で詰みました！\r\r第１手： "_sj;
        QVERIFY2(report.rfind(head, 0) == 0, report.c_str());
        QVERIFY(report.size() > head.size() + 4);  // the move's text follows
        QVERIFY(!w.mateCommand()->running());
        QVERIFY(!w.replayPanel()->latched(ReplayPanel::MateSearch));
    }

    void aPassIsPutInAndTheRecordComesBackExactly() {
        MainWindow& w = Open();
        const TKifData before = w.record();
        // Mating the king of the side to move: the attacker moves after a pass.
        const int defender = w.record().SideOf(found_.move + 1);
        const std::string report = Search(defender);
        QVERIFY(!report.empty() && report != "no report");
        QCOMPARE(w.record().moveCount, before.moveCount);
        QCOMPARE(w.record().currentMove, before.currentMove);
        QVERIFY(w.record().position == before.position);
        for (int i = 0; i <= before.moveCount; ++i) {
            QVERIFY(w.record().moves[std::size_t(i)].moveCode() == before.moves[std::size_t(i)].moveCode());
        }
    }

    void theButtonAgainStopsAndNothingElseAnswersMeanwhile() {
        MainWindow& w = Open();
        w.settings().shogi.TumeTesu = 15;
        w.mateCommand()->setKingChooser([](int preselected, bool) { return preselected; });
        QSignalSpy done(w.mateCommand(), &MateCommand::finished);
        const std::size_t before = prompter_.shown.size();
        w.PressButton(ReplayPanel::MateSearch);
        QVERIFY(w.mateCommand()->running());
        QVERIFY(w.replayPanel()->latched(ReplayPanel::MateSearch));
        // Stopped at once, before the worker has even set up its engine; the window stays locked
        // until the next tick reports.
        w.PressButton(ReplayPanel::MateSearch);
        QVERIFY(w.mateCommand()->running());
        QVERIFY(!w.menuBar()->isEnabled());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        const int current = w.record().currentMove;
        w.PressButton(ReplayPanel::Forward);
        w.PressButton(ReplayPanel::Back);
        w.PressButton(ReplayPanel::ToStart);
        w.PressButton(ReplayPanel::AutoReplay);
        QTest::keyClick(&w, Qt::Key_Home);
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(int(w.record().currentMove), current);
        QVERIFY(!w.replayPanel()->latched(ReplayPanel::AutoReplay));
        QVERIFY(done.wait(20000));
        QCOMPARE(prompter_.shown.size(), before + 1);
        QCOMPARE(prompter_.texts().back(), MateStoppedText());
        QVERIFY(w.menuBar()->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(!w.replayPanel()->latched(ReplayPanel::MateSearch));
        QCOMPARE(int(w.record().currentMove), found_.move);
        w.PressButton(ReplayPanel::Forward);
        QCOMPARE(int(w.record().currentMove), found_.move + 1);
    }

    void theKingChoiceDialog() {
        KingChoiceDialog even(2, false);
        QCOMPARE(even.windowTitle(), QString::fromUtf8("詰め確認"));
        QVERIFY(even.findChild<QLabel*>()->text() == QString::fromUtf8("どちらの玉を詰めますか？"));
        auto* list = even.findChild<QListWidget*>();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString::fromUtf8("先手玉"));
        QCOMPARE(list->item(1)->text(), QString::fromUtf8("後手玉"));
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(even.defender(), 2);
        QStringList buttons;
        for (QPushButton* b : even.findChildren<QPushButton*>()) buttons << b->text();
        QCOMPARE(buttons, (QStringList{QString::fromUtf8("開 始"), QString::fromUtf8("キャンセル")}));

        KingChoiceDialog handicap(1, true);
        list = handicap.findChild<QListWidget*>();
        QCOMPARE(list->item(0)->text(), QString::fromUtf8("下手玉"));
        QCOMPARE(list->item(1)->text(), QString::fromUtf8("上手玉"));
        QCOMPARE(list->currentRow(), 0);

        // A double-click on an entry starts with that king; Cancel ends the command.
        handicap.show();
        QVERIFY(QTest::qWaitForWindowExposed(&handicap));
        const QPoint second = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(handicap.result(), int(QDialog::Accepted));
        QCOMPARE(handicap.defender(), 2);
        even.show();
        QVERIFY(QTest::qWaitForWindowExposed(&even));
        for (QPushButton* b : even.findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8("キャンセル")) b->click();
        QCOMPARE(even.result(), int(QDialog::Rejected));
    }

    void aMissingOrDoubledKingIsReportedAndNothingSearched() {
        struct Case {
            const char* sfen;
            int defender;
            std::string text;
        };
        const Case cases[] = {
            {"9/9/9/9/9/9/9/9/4K4 b G 1", 2, "\r後手玉が盤上にありません！"_sj},
            {"4k4/9/9/9/9/9/9/9/9 w G 1", 1, "\r先手玉が盤上にありません！"_sj},
            // A second gote king, put straight onto the board: no record read in would hold one.
            {"4k4/9/9/9/9/9/9/9/4K4 b G 1", 2, "\r後手玉が２枚あります！"_sj},
        };
        for (const Case& c : cases) {
            Bench bench(c.sfen);
            bench.defender = c.defender;
            if (&c == &cases[2])
                bench.record.position.board[BoardIndex(5, 3)] = PieceCode(piece::Gyoku + piece::kGoteOffset);
            const TKifData before = bench.record;
            QVERIFY(bench.Run().empty());
            QCOMPARE(bench.prompter.texts(), std::vector<std::string>{c.text});
            QCOMPARE(bench.redraws, 1);
            QVERIFY(!bench.locked && !bench.latched);
            QCOMPARE(bench.record.moveCount, before.moveCount);
            QCOMPARE(bench.record.currentMove, before.currentMove);
        }
    }

    void theReportOfAFinishedSearch() {
        // Sente mates in one by dropping the gold in front of the king (no other gold: no 打).
        Bench mate("4k4/9/4P4/9/9/9/9/9/4K4 b G 1");
        const std::string report = mate.Run();
        QCOMPARE(mate.preselected, 2);
        const std::string head = "\r1手で詰みました！\r\r第１手： ▲５二金"_sj;
        QVERIFY2(report.rfind(head, 0) == 0, report.c_str());
        QVERIFY(report.find_first_not_of(' ', head.size()) == std::string::npos);  // at most blanks follow
        QVERIFY(!mate.locked && !mate.latched);

        // No check at all: the limit the setting holds when the report is made.
        Bench none("4k4/9/9/9/9/9/9/9/4K4 b - 1");
        none.limit = 13;
        QCOMPARE(none.Run(), "\r13手以内では詰みませんでした！"_sj);

        // Gote to move, sente's attack: a pass is put in while the search runs, then taken out.
        Bench pass("4k4/9/4P4/9/9/9/9/9/4K4 w G 1");
        QCOMPARE(pass.preselected, 0);
        QSignalSpy done(pass.command.get(), &MateCommand::finished);
        pass.command->Press();
        QCOMPARE(pass.preselected, 1);  // the king of the side not to move
        QVERIFY(pass.command->running());
        QCOMPARE(int(pass.record.moveCount), 1);
        QCOMPARE(int(pass.record.currentMove), 1);
        QVERIFY(pass.locked && pass.latched);
        QVERIFY(done.wait(20000));
        QCOMPARE(int(pass.record.moveCount), 0);
        QCOMPARE(int(pass.record.currentMove), 0);
        QVERIFY(pass.prompter.texts().back().rfind("\r1手で詰みました！\r\r第１手： ▲５二金"_sj, 0) == 0);
    }

    void stoppingALongSearchReportsTheStopAndNoResult() {
        Bench bench("4k4/9/9/9/9/9/9/9/4K4 b RBGSb3g3s4n4l18p 1");
        bench.limit = 15;
        const TKifData before = bench.record;
        QSignalSpy done(bench.command.get(), &MateCommand::finished);
        bench.command->Press();
        QVERIFY(bench.command->running());
        QVERIFY(bench.locked && bench.latched);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTest::qWait(600);  // three ticks: still searching
        QVERIFY(bench.command->running());
        QVERIFY(bench.prompter.shown.empty());
        bench.command->Press();  // the button again: stop
        QVERIFY(done.wait(20000));
        QCOMPARE(bench.prompter.texts(), std::vector<std::string>{MateStoppedText()});
        QCOMPARE(bench.prompter.shown.back().kind, testing::RecordingPrompter::Shown::Information);
        QVERIFY(!bench.locked && !bench.latched);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(bench.record.position == before.position);
        QCOMPARE(bench.record.moveCount, before.moveCount);
        QTest::qWait(400);  // nothing more is reported later
        QCOMPARE(bench.prompter.shown.size(), std::size_t(1));
    }

    void cancellingTheKingChoiceSearchesNothing() {
        MainWindow& w = Open();
        w.mateCommand()->setKingChooser([](int, bool) { return 0; });
        const std::size_t before = prompter_.shown.size();
        w.PressButton(ReplayPanel::MateSearch);
        QVERIFY(!w.mateCommand()->running());
        QCOMPARE(prompter_.shown.size(), before);
        QVERIFY(!w.replayPanel()->latched(ReplayPanel::MateSearch));
    }
};

}  // namespace movra

QTEST_MAIN(movra::MateCommandTest)
#include "mate_command_test.moc"
