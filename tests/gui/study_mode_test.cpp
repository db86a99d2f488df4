// Study mode on the main window: button 4 latches it, moves are played with the mouse on the
// board (drag and drop, and click then click), the back button removes them down to where study
// began, and button 4 again brings the game back as it was.
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_input.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/move_list_view.h"
#include "core/text/paths.h"
#include "gui/mainwindow/replay_panel.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "test_games.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

QStringList ListLines(const MoveListView* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out.append(list->item(i)->text());
    return out;
}

}  // namespace

class StudyModeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& Open() {
        window_ = testing::StartedWindow(testing::FreshProgramFolder(*dir_), prompter_);
        window_->show();
        window_->ShowGame(testing::YaguraGame(), GameHeaderTexts{}, true, false, 10);
        return *window_;
    }
    QPoint At(int file, int rank) const { return window_->boardView()->squareRect(file, rank).center(); }
    void Button(int number) {
        QTest::mouseClick(window_->replayPanel()->button(number), Qt::LeftButton);
    }
    // Drag and drop: pressed on one square, released on the other.
    void Drag(int fromFile, int fromRank, int toFile, int toRank) {
        BoardView* board = window_->boardView();
        QTest::mousePress(board, Qt::LeftButton, {}, At(fromFile, fromRank));
        QTest::mouseMove(board, At(toFile, toRank));
        QTest::mouseRelease(board, Qt::LeftButton, {}, At(toFile, toRank));
    }
    QLabel* HeldPicture() const { return window_->findChild<QLabel*>(QStringLiteral("HeldPiece")); }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        prompter_ = testing::RecordingPrompter{};
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void movesPlayedByMouseAreTakenBackAndTheGameComesBack() {
        Open();
        const TKifData before = window_->record();
        const QStringList linesBefore = ListLines(window_->moveList());
        QCOMPARE(before.currentMove, 10);
        QCOMPARE(before.moveCount, 46);
        // The text and clipboard output of the game: study mode turns them off and back on.
        QVERIFY(window_->menus()->textOutputAction()->isEnabled());
        QVERIFY(window_->menus()->clipboardOutputAction()->isEnabled());

        // Without study mode the board takes no moves.
        Drag(2, 7, 2, 6);
        QCOMPARE(window_->record().moves, before.moves);
        QCOMPARE(window_->record().position, before.position);

        Button(ReplayPanel::Study);
        QVERIFY(window_->studyMode());
        QVERIFY(window_->replayPanel()->latched(ReplayPanel::Study));
        QVERIFY(!window_->menus()->textOutputAction()->isEnabled());
        QVERIFY(!window_->menus()->clipboardOutputAction()->isEnabled());
        QVERIFY(!window_->menus()->gameEntryMenu()->menuAction()->isEnabled());
        QCOMPARE(window_->record().moveCount, 10);
        QCOMPARE(window_->moveList()->count(), 10);

        // Gote's piece when sente is to move: nothing is picked up.
        QTest::mousePress(window_->boardView(), Qt::LeftButton, {}, At(2, 3));
        QVERIFY(!window_->boardInput()->entry().holding());
        QTest::mouseRelease(window_->boardView(), Qt::LeftButton, {}, At(2, 3));

        // Move 11 by drag and drop.
        Drag(2, 7, 2, 6);
        QCOMPARE(window_->record().moveCount, 11);
        QCOMPARE(window_->record().currentMove, 11);
        QCOMPARE(window_->record().moves[11].moveCode().str(), std::string("2726 "));
        QCOMPARE(window_->boardView()->position().board[BoardIndex(2, 6)], piece::Fu);
        QCOMPARE(window_->boardView()->framedSquare(), std::optional<Square>(Square{2, 6}));

        // Move 12 by two clicks: the piece stays on the pointer after the first.
        QTest::mouseClick(window_->boardView(), Qt::LeftButton, {}, At(8, 4));
        QVERIFY(window_->boardInput()->entry().holding());
        QVERIFY(HeldPicture()->isVisible());
        QCOMPARE(window_->boardView()->position().board[BoardIndex(8, 4)], PieceCode{0});
        QTest::mouseClick(window_->boardView(), Qt::LeftButton, {}, At(8, 5));
        QVERIFY(!window_->boardInput()->entry().holding());
        QVERIFY(!HeldPicture()->isVisible());
        QCOMPARE(window_->record().moveCount, 12);
        QCOMPARE(window_->record().moves[12].moveCode().str(), std::string("8485 "));
        QStringList lines = ListLines(window_->moveList());
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[10], ToQString("011  ▲２六歩"_sj));
        QCOMPARE(lines[11], ToQString("012  △８五歩"_sj));
        QCOMPARE(window_->moveList()->selectedLine(), 11);
        QVERIFY(prompter_.shown.empty());

        // A move onto an own piece goes back without a question.
        Drag(2, 8, 2, 9);
        QCOMPARE(window_->record().moveCount, 12);
        QCOMPARE(window_->boardView()->position().board[BoardIndex(2, 8)], piece::Hi);

        // The list style stays while study mode is on.
        const ListStyle style = window_->replay().style();
        window_->ToggleListStyle();
        QCOMPARE(window_->replay().style(), style);

        // Back removes the tried moves, and stops where study began.
        Button(ReplayPanel::Back);
        QCOMPARE(window_->record().moveCount, 11);
        QCOMPARE(window_->moveList()->count(), 11);
        Button(ReplayPanel::Back);
        Button(ReplayPanel::Back);
        Button(ReplayPanel::Back);
        QCOMPARE(window_->record().currentMove, 10);
        QCOMPARE(window_->record().moveCount, 10);
        // The same position (the scratch entry still holds the piece last picked up).
        QCOMPARE(window_->record().position.board, before.position.board);
        QCOMPARE(window_->record().position.senteHand, before.position.senteHand);
        QCOMPARE(window_->record().position.goteHand, before.position.goteHand);

        // Another try, left on the board when study mode ends.
        Drag(2, 7, 2, 6);
        QCOMPARE(window_->record().moveCount, 11);
        Button(ReplayPanel::Study);
        QVERIFY(!window_->studyMode());
        QVERIFY(!window_->replayPanel()->latched(ReplayPanel::Study));
        QCOMPARE(window_->record().moveCount, before.moveCount);
        QCOMPARE(window_->record().currentMove, before.currentMove);
        QCOMPARE(window_->record().moves, before.moves);
        QCOMPARE(window_->record().position, before.position);
        QCOMPARE(window_->record().SlotCurrentMove(0), std::int16_t(10));
        QCOMPARE(window_->boardView()->position(), before.position);
        QCOMPARE(ListLines(window_->moveList()), linesBefore);
        QCOMPARE(window_->moveList()->selectedLine(), 9);
        QVERIFY(window_->menus()->textOutputAction()->isEnabled());
        QVERIFY(window_->menus()->clipboardOutputAction()->isEnabled());
        // The pieces no longer move.
        Drag(2, 7, 2, 6);
        QCOMPARE(window_->record().moves, before.moves);
        // And the game replays as before.
        Button(ReplayPanel::Forward);
        QCOMPARE(window_->record().currentMove, 11);
        QCOMPARE(window_->boardView()->framedSquare(),
                 std::optional<Square>(Square{before.moves[11].toFile, before.moves[11].toRank}));
    }
};

}  // namespace movra

QTEST_MAIN(movra::StudyModeTest)
#include "study_mode_test.moc"
