// The mate search from the main window: the report of a mate in one, the pass put in when the
// attacker is not to move and the record put back exactly, stopping, and a window that answers
// nothing but the mate-search button while the search runs.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <random>

#include "common/fonts.h"
#include "core/store/store_test_support.h"
#include "mainwindow/main_window.h"
#include "mainwindow/program_folder.h"
#include "mainwindow/replay_panel.h"
#include "matesearch/engine_entry.h"
#include "matesearch/mate_command.h"
#include "record/sjis_literal.h"
#include "support/recording_prompter.h"

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

}  // namespace

class MateCommandTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    Found found_;

    MainWindow& Open() {
        const fs::path home = fs::path(dir_->path().toStdString()) / "movra";
        std::string error;
        if (!PrepareProgramFolder(home, MOVRA_BUILD_DATA_DIR, &error)) qFatal("%s", error.c_str());
        window_ = std::make_unique<MainWindow>(home, LoadSettings(home, {1024, 768}), &prompter_);
        if (!window_->Start()) qFatal("the window did not start");
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
        w.PressButton(ReplayPanel::MateSearch);
        QVERIFY(w.mateCommand()->running());
        QVERIFY(w.replayPanel()->latched(ReplayPanel::MateSearch));
        const int current = w.record().currentMove;
        w.PressButton(ReplayPanel::Forward);
        w.PressButton(ReplayPanel::ToStart);
        QTest::keyClick(&w, Qt::Key_Home);
        QCOMPARE(int(w.record().currentMove), current);
        w.PressButton(ReplayPanel::MateSearch);  // stop
        QVERIFY(done.wait(20000));
        QCOMPARE(prompter_.texts().back(), MateStoppedText());
        QCOMPARE(int(w.record().currentMove), found_.move);
        w.PressButton(ReplayPanel::Forward);
        QCOMPARE(int(w.record().currentMove), found_.move + 1);
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
