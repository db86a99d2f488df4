// The opening explorer's panel on the main window with the sample store: it follows the board
// while a game is replayed (and answers for the position last shown when positions change
// faster than the queries), plays a next move through study mode and lists a move's games in
// the game list window. Writes a screenshot of the panel beside the board.
#include <QAction>
#include <QDir>
#include <QPainter>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QDialog>
#include <QtTest/QtTest>

#include <cstdio>
#include <filesystem>

#include "core/explorer/opening_tree.h"
#include "core/store/layout.h"
#include "gui/common/fonts.h"
#include "gui/explorer/explorer_panel.h"
#include "gui/list/game_list_window.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {

class ExplorerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    ExplorerPanel& Panel() { return *window_->explorerPanel(); }
    // Waits for the panel's answer to the position now shown.
    bool Answered() {
        return QTest::qWaitFor([this] { return !Panel().busy(); }, 20000);
    }
    // The position the board shows, as the explorer asks for it.
    ExplorerPosition Shown() const {
        const TKifData& r = window_->record();
        return ExplorerPosition::From(r.position, r.SideOf(r.currentMove + 1));
    }
    // The record's next move as the explorer names it.
    std::string NextUsi() const {
        const TKifData& r = window_->record();
        return MoveKeyToUsi(MoveKeyOf(r.moves[std::size_t(r.currentMove + 1)].moveCode()));
    }
    const MoveTally* Row(const std::string& usi) {
        for (const MoveTally& t : Panel().result().moves) {
            if (t.usi() == usi) return &t;
        }
        return nullptr;
    }
    static bool InsideScreen(QWidget& w) {
        return w.screen()->availableGeometry().contains(w.frameGeometry());
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        window_ = testing::StartedWindow(testing::FreshProgramFolder(*dir_), prompter_);
        window_->show();
        QVERIFY(window_->storeOpen());
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void followsTheReplayAndPlaysAndListsMoves() {
        QAction* toggle = window_->menus()->viewMenu()->findChild<QAction*>(QStringLiteral("MENU03_X"));
        if (toggle == nullptr) {
            for (QAction* a : window_->menus()->viewMenu()->actions()) {
                if (a->objectName() == QStringLiteral("MENU03_X")) toggle = a;
            }
        }
        QVERIFY(toggle != nullptr);
        QVERIFY(!Panel().isVisible());
        QVERIFY(window_->ShowStoredGame(1));
        toggle->trigger();
        QVERIFY(Panel().isVisible());
        QVERIFY(Answered());

        // The starting position: every even game of the store reaches it.
        std::uint32_t even = 0;
        const std::uint32_t games = window_->session().catalogue.count();
        for (std::uint32_t k = 1; k <= games; ++k) {
            IndexRecord ix;
            QVERIFY(ReadIndexRecord(window_->session().store, k, ix));
            if (ix.handicap() == 0) ++even;
        }
        QVERIFY(even > 2);
        QCOMPARE(Panel().result().games, even);
        QCOMPARE(Panel().table()->rowCount(), int(Panel().result().moves.size()));

        // Replaying: after each step the panel answers for the new position, and the game
        // shown is one of the games there, so its own next move is a row.
        for (int step = 0; step < 6; ++step) {
            const std::uint32_t before = Panel().result().games;
            window_->StepForward();
            QVERIFY(Answered());
            QVERIFY(Panel().result().games >= 1);
            QVERIFY(Panel().result().games <= before);
            const MoveTally* own = Row(NextUsi());
            QVERIFY2(own != nullptr, NextUsi().c_str());
            if (step == 1) {
                // While replaying, where several moves were played from the position.
                QVERIFY(Panel().result().moves.size() >= 2);
                QVERIFY(InsideScreen(*window_));
                QVERIFY(InsideScreen(Panel()));
                QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
                const QString path = QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath(QStringLiteral("explorer_panel.png"));
                // The window and the panel beside it, as they stand on the screen.
                const QRect both = window_->frameGeometry().united(Panel().frameGeometry());
                QImage image(both.size(), QImage::Format_RGB32);
                image.fill(Qt::darkGray);
                {
                    QPainter painter(&image);
                    painter.drawPixmap(window_->geometry().topLeft() - both.topLeft(), window_->grab());
                    painter.drawPixmap(Panel().geometry().topLeft() - both.topLeft(), Panel().grab());
                }
                QVERIFY(!image.isNull() && image.save(path));
                std::printf("screenshot: %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
            }
        }
        // Positions changing faster than the queries: the answer is the last position's.
        window_->StepForward();
        window_->StepForward();
        window_->StepBack();
        QVERIFY(Answered());
        QTest::qWait(50);
        TreeQuery q;
        q.position = Shown();
        const TreeResult direct = ExploreStore(window_->session().store, q);
        QCOMPARE(Panel().result().games, direct.games);
        QCOMPARE(Panel().result().moves.size(), direct.moves.size());

        // A click on a move plays it on the board in study mode; the panel follows.
        const int moveBefore = window_->record().currentMove;
        const MoveTally first = Panel().result().moves.front();
        Panel().PlayRow(0);
        QVERIFY(window_->studyMode());
        QCOMPARE(int(window_->record().currentMove), moveBefore + 1);
        QCOMPARE(MoveKeyToUsi(MoveKeyOf(window_->record().moves[std::size_t(moveBefore + 1)].moveCode())),
                 first.usi());
        QVERIFY(Answered());
        QCOMPARE(Panel().result().games, first.games);

        // A double click on a count lists that move's games in the game list window.
        window_->ToggleStudyMode();
        QVERIFY(Answered());
        const MoveTally listed = Panel().result().moves.front();
        bool seen = false;
        QTimer::singleShot(300, this, [&] {
            GameListWindow* list = window_->gameList();
            seen = list->isVisible();
            list->close();
        });
        Panel().ListRow(0);
        QVERIFY(seen);
        const GameCatalogue& catalogue = window_->session().catalogue;
        QCOMPARE(catalogue.count(), listed.games);
        for (const GameHeader& h : catalogue.entries()) {
            IndexRecord ix;
            QVERIFY(ReadIndexRecord(window_->session().store, h.recordNumber, ix));
        }
    }
};

}  // namespace movra

QTEST_MAIN(movra::ExplorerTest)
#include "explorer_test.moc"
