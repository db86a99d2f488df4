// Position editing on the main window, driven with the mouse: drags between the board, the hands
// and the spare-piece box, right clicks that flip pieces and open the box and hand menus, the
// editing panel's set-ups, swapping, the single position files, the position search from the
// set-up board, and the game coming back when editing ends.
#include <QListWidget>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/list/game_search.h"
#include "core/list/search_conditions.h"
#include "core/positionedit/single_position.h"
#include "core/positions/collection.h"
#include "core/rules/sfen.h"
#include "core/store/open_store.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/diagram/title_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/list/search_dialog.h"
#include "gui/matesearch/mate_command.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/move_list_view.h"
#include "gui/mainwindow/name_plate.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/mainwindow/status_line.h"
#include "gui/positionedit/position_dialogs.h"
#include "gui/positionedit/position_edit_commands.h"
#include "gui/positionedit/spare_box_view.h"
#include "gui/positions/collection_window.h"
#include "gui/positions/position_commands.h"
#include "gui/store/file_chooser.h"
#include "list_test_store.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"
#include "test_games.h"
#include "test_store.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

class ScriptedChooser : public FileChooser {
public:
    std::deque<QString> files;
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return Take();
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return Take(); }
    QString Folder(QWidget*, const QString&, const QString&) override { return {}; }

private:
    QString Take() {
        if (files.empty()) return {};
        QString s = files.front();
        files.pop_front();
        return s;
    }
};

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class PositionEditTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    ScriptedChooser chooser_;
    std::unique_ptr<MainWindow> window_;

    // The window on a fresh program folder without the sample store; `store` (when given) is
    // opened through the File menu.
    MainWindow& Start(const fs::path& store = {}) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        fs::remove_all(home_ / "Kifu");
        window_ = testing::StartedWindow(home_, prompter_);
        window_->setFileChooser(&chooser_);
        window_->show();
        if (!store.empty()) {
            chooser_.files.push_back(PathToQString(store));
            window_->menus()->openStoreAction()->trigger();
        }
        prompter_.shown.clear();
        return *window_;
    }
    PositionEditCommands& Editor() const { return *window_->positionEdit(); }
    std::string Sfen() const { return ToSfen(window_->record().position, 1, 1); }
    QPoint At(int file, int rank) const { return window_->boardView()->squareRect(file, rank).center(); }
    void Button(int number) { QTest::mouseClick(window_->replayPanel()->button(number), Qt::LeftButton); }
    void Drag(QWidget* from, QPoint a, QWidget* to, QPoint b) {
        QTest::mousePress(from, Qt::LeftButton, {}, a);
        QTest::mouseMove(to, b);
        QTest::mouseRelease(to, Qt::LeftButton, {}, b);
        QCOMPARE(Editor().heldPiece(), 0);
    }
    void DragOnBoard(int f1, int r1, int f2, int r2) {
        Drag(window_->boardView(), At(f1, r1), window_->boardView(), At(f2, r2));
    }
    void RightClick(QWidget* w, QPoint p) { QTest::mouseClick(w, Qt::RightButton, {}, p); }
    // Chooses a menu item with the mouse.
    void ClickMenu(QMenu* menu, int item) {
        QTRY_VERIFY(menu->isVisible());
        QAction* action = menu->actions().at(item);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    }
    QPoint BoxKind(int kind) const { return Editor().box()->kindRect(kind).center(); }
    SpareBoxView* Box() { return Editor().box(); }
    QWidget* Board() { return window_->boardView(); }
    HandView* Sente() { return window_->senteHand(); }
    HandView* Gote() { return window_->goteHand(); }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void settingUpAPositionWithTheMouseAndSavingIt() {
        Start();
        MainWindow& w = *window_;
        testing::MakeTestStore(home_ / "games.ipx");
        chooser_.files.push_back(PathToQString(home_ / "games.ipx"));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.storeOpen());
        QVERIFY(w.ShowStoredGame(1, 10));
        const TKifData before = w.record();
        const QString upperName = w.upperPlate()->name();
        const QString lowerName = w.lowerPlate()->name();
        const QStringList lines = [&] {
            QStringList out;
            for (int i = 0; i < w.moveList()->count(); ++i) out.append(w.moveList()->item(i)->text());
            return out;
        }();

        // Button 6: the box takes the move list's place, the panel gets its editing pictures and
        // what cannot be used on a set-up board is switched off.
        Button(ReplayPanel::EditPosition);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);
        QVERIFY(Box()->isVisible());
        QVERIFY(!w.moveList()->isVisible());
        QVERIFY(w.centralWidget()->rect().contains(Box()->geometry()));
        QVERIFY(!w.menus()->openStoreAction()->isEnabled());
        QVERIFY(!w.menus()->gameEntryMenu()->menuAction()->isEnabled());
        QCOMPARE(w.replayPanel()->button(1)->toolTip(), QStringLiteral("局面の読込"));
        QCOMPARE(Sfen(), ToSfen(before.position, 1, 1));  // the position shown at move 10
        // Two real names change plates when the sides are swapped.
        Button(6);
        QCOMPARE(w.upperPlate()->name(), lowerName);
        QCOMPARE(w.lowerPlate()->name(), upperName);
        Button(6);
        QCOMPARE(Sfen(), ToSfen(before.position, 1, 1));

        // The standard set-up, then sente's 角 onto gote's 飛: the 飛 goes into sente's hand.
        Button(3);
        QCOMPARE(Sfen(), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");
        DragOnBoard(8, 8, 8, 2);
        QCOMPARE(Sfen(), "lnsgkgsnl/1B5b1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b R 1");
        // Four right clicks on a 歩: と, gote's 歩, gote's と, 歩.
        const PieceCode cycle[] = {piece::To, piece::Fu + piece::kGoteOffset, piece::To + piece::kGoteOffset,
                                   piece::Fu};
        for (PieceCode expected : cycle) {
            RightClick(Board(), At(7, 7));
            QCOMPARE(int(w.record().position.board[BoardIndex(7, 7)]), int(expected));
        }
        QCOMPARE(Sfen(), "lnsgkgsnl/1B5b1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b R 1");
        // The 飛 from sente's hand onto gote's 角: the 角 goes back to the hand it came from.
        Drag(Sente(), Sente()->kindRect(kind::Hi).center(), Board(), At(2, 2));
        QCOMPARE(Sfen(), "lnsgkgsnl/1B5R1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b B 1");
        // Dropped outside every picture, or back on its square: nothing changes.
        Drag(Board(), At(5, 9), w.replayPanel(), QPoint(2, 2));
        DragOnBoard(5, 9, 5, 9);
        QCOMPARE(Sfen(), "lnsgkgsnl/1B5R1/ppppppppp/9/9/9/PPPPPPPPP/7R1/LNSGKGSNL b B 1");

        // The empty set-up, then the box's menus: everything into sente's hand and back.
        Button(9);
        QCOMPARE(Sfen(), "4k4/9/9/9/9/9/9/9/4K4 b - 1");
        RightClick(Box(), BoxKind(kind::Fu));
        ClickMenu(Editor().boxMenu(), 1);  // 先手持駒へ移動
        QCOMPARE(Sfen(), "4k4/9/9/9/9/9/9/9/4K4 b 2R2B4G4S4N4L18P 1");
        RightClick(Sente(), QPoint(3, 3));
        ClickMenu(Editor().senteHandMenu(), 0);
        QCOMPARE(Sfen(), "4k4/9/9/9/9/9/9/9/4K4 b - 1");
        // A 金 from the box is sente's; a right click makes it gote's.
        Drag(Box(), BoxKind(kind::Kin), Board(), At(5, 2));
        RightClick(Board(), At(5, 2));
        QCOMPARE(Sfen(), "4k4/4g4/9/9/9/9/9/9/4K4 b - 1");
        // A 歩 dragged into sente's hand, and from there onto the 金: the 金 goes into sente's
        // hand as sente's piece.
        Drag(Box(), BoxKind(kind::Fu), Sente(), QPoint(5, 5));
        Drag(Sente(), Sente()->kindRect(kind::Fu).center(), Board(), At(5, 2));
        QCOMPARE(Sfen(), "4k4/4P4/9/9/9/9/9/9/4K4 b G 1");
        // Two 金 and the gote king into the box; the box menu gives gote the 金 and keeps the king.
        Drag(Sente(), Sente()->kindRect(kind::Kin).center(), Box(), QPoint(10, 60));
        Drag(Box(), BoxKind(kind::Kin), Box(), QPoint(10, 60));
        Drag(Board(), At(5, 1), Gote(), QPoint(10, 10));  // a king may go into a hand
        QCOMPARE(int(w.record().position.goteHand[kind::Gyoku]), 1);
        QVERIFY(!Editor().problems().empty());  // and the status line says no game has that
        QVERIFY(!w.statusLine()->headerText().isEmpty());
        RightClick(Gote(), QPoint(3, 3));
        ClickMenu(Editor().goteHandMenu(), 0);
        RightClick(Box(), QPoint(5, 5));
        ClickMenu(Editor().boxMenu(), 0);  // 後手持駒へ移動
        QCOMPARE(Sfen(), "9/4P4/9/9/9/9/9/9/4K4 b 2r2b4g4s4n4l17p 1");
        QCOMPARE(int(Box()->box()[kind::Gyoku]), 1);

        // Saved as "abc.txt": the file is abc.pat with the position name abc.
        const std::string savedSfen = Sfen();
        QStringList dialogs;  // caption and button of each dialog shown, when inside the screen
        auto shown = [&dialogs](QDialog& d, QPushButton* ok) {
            d.show();
            if (AvailableArea(&d).contains(d.frameGeometry())) dialogs.append(d.windowTitle() + "/" + ok->text());
        };
        Editor().setSaveAnswer([&shown](SavePositionDialog& d) {
            shown(d, d.okButton());
            QTest::mouseClick(d.okButton(), Qt::LeftButton);  // nothing typed yet
            d.fileNameBox()->setText(QStringLiteral("abc.txt"));
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            return d.result() == QDialog::Accepted;
        });
        Button(2);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("\rファイル名が入力されていません！"));
        const fs::path pat = home_ / "DATA" / "Kyokumen" / "abc.pat";
        QVERIFY(fs::exists(pat));
        QCOMPARE(SinglePositionName("abc.pat"), std::string("abc"));
        // The same name again asks first; No keeps the dialog open, Yes replaces the file.
        testing::TouchFile(pat, "old");
        prompter_.answers = {Answer::No, Answer::Yes};
        bool keptOpen = false;
        Editor().setSaveAnswer([&keptOpen](SavePositionDialog& d) {
            d.fileNameBox()->setText(QStringLiteral("ABC"));
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            keptOpen = d.result() != QDialog::Accepted;
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            return d.result() == QDialog::Accepted;
        });
        Button(2);
        QVERIFY(keptOpen);
        QCOMPARE(prompter_.texts().back(), "ABC.pat は既に存在します。\r\r上書きしますか？"_sj);
        QCOMPARE(prompter_.texts().at(prompter_.texts().size() - 2), prompter_.texts().back());
        QCOMPARE(FileBytes(pat), "99\r\nABC\r\n" + PositionLine(w.record().position) + "\r\n");

        // The empty set-up, then the saved position loaded again; the box is not saved.
        Button(9);
        Editor().setLoadAnswer([&shown](LoadPositionDialog& d) {
            shown(d, d.okButton());
            if (d.list()->count() == 0) {
                QTest::mouseClick(d.okButton(), Qt::LeftButton);
                return false;
            }
            d.list()->setCurrentRow(0);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            return d.result() == QDialog::Accepted;
        });
        Button(1);
        QCOMPARE(Sfen(), savedSfen);
        QCOMPARE(w.lowerPlate()->name(), QStringLiteral("先手"));

        // Deleted: gone from the folder; with nothing left the list answers that none is chosen.
        Button(4);
        QVERIFY(!fs::exists(pat));
        Button(4);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("\r局面が選択されていません！"));
        QCOMPARE(dialogs, (QStringList{QStringLiteral("局面データのセーブ/OK"), QStringLiteral("局面データのロード/ロード"),
                                       QStringLiteral("局面データの削除/削除"), QStringLiteral("局面データの削除/削除")}));

        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        Button(3);
        DragOnBoard(7, 7, 7, 6);
        DragOnBoard(3, 3, 3, 4);
        Drag(Board(), At(8, 2), Box(), QPoint(20, 80));
        Drag(Board(), At(1, 1), Box(), QPoint(20, 80));
        DragOnBoard(2, 8, 2, 3);  // takes the 歩 into sente's hand
        QCOMPARE(Sfen(), "lnsgkgsn1/7b1/pppppp1Rp/6p2/9/2P6/PP1PPPPPP/1B7/LNSGKGSNL b P 1");
        QVERIFY(KeepInside(w.frameGeometry(), AvailableArea(&w)) == w.frameGeometry());
        QVERIFY(w.grab().toImage().save(QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath("position_editing.png")));

        // Button 7: the game comes back as it was shown, with its names and its list.
        Button(7);
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QVERIFY(!Box()->isVisible());
        QVERIFY(w.moveList()->isVisible());
        QVERIFY(w.menus()->openStoreAction()->isEnabled());
        QCOMPARE(w.replayPanel()->button(1)->toolTip(), ReplayButtonName(1));
        QCOMPARE(int(w.record().currentMove), 10);
        QCOMPARE(int(w.record().moveCount), int(before.moveCount));
        QVERIFY(w.record().moves == before.moves);
        QVERIFY(w.record().position == before.position);
        QCOMPARE(w.upperPlate()->name(), upperName);
        QCOMPARE(w.lowerPlate()->name(), lowerName);
        QStringList after;
        for (int i = 0; i < w.moveList()->count(); ++i) after.append(w.moveList()->item(i)->text());
        QCOMPARE(after, lines);
    }

    void swappingNamesRefusalsAndTheEntryPoint() {
        MainWindow& w = Start();
        QVERIFY(!w.storeOpen());
        // No store: button 6 only says so.
        Button(ReplayPanel::EditPosition);
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QCOMPARE(ToQString(prompter_.texts().back()),
                 QStringLiteral("棋譜ファイルが読み込まれていません！\r\r先に棋譜ファイルを読み込んでください。"));

        // Another window hands a position over: without a store that is refused as button 6 is;
        // with one, editing begins with it, without names.
        const auto given = ParseSfen("4k4/9/5P3/9/9/9/9/9/4K4 b G 1");
        QVERIFY(given.has_value());
        prompter_.shown.clear();
        w.editPosition(given->position);
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QCOMPARE(prompter_.texts().size(), std::size_t(1));
        QCOMPARE(ToQString(prompter_.texts().back()),
                 QStringLiteral("棋譜ファイルが読み込まれていません！\r\r先に棋譜ファイルを読み込んでください。"));
        testing::MakeTestStore(home_ / "games.ipx");
        chooser_.files.push_back(PathToQString(home_ / "games.ipx"));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.storeOpen());
        w.editPosition(given->position);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);
        QCOMPARE(Sfen(), "4k4/9/5P3/9/9/9/9/9/4K4 b G 1");
        QVERIFY(Editor().problems().empty());
        // Swapping: the plain names stay, the position turns round, twice gives it back.
        Button(6);
        QCOMPARE(Sfen(), "4k4/9/9/9/9/9/3p5/9/4K4 b g 1");
        QVERIFY(Editor().sidesSwapped());
        QCOMPARE(w.lowerPlate()->name(), QStringLiteral("先手"));
        Button(6);
        QCOMPARE(Sfen(), "4k4/9/5P3/9/9/9/9/9/4K4 b G 1");
        // A pawn on the last rank is named in the status line.
        DragOnBoard(4, 3, 4, 1);
        QCOMPARE(Editor().problems().size(), std::size_t(1));
        QCOMPARE(ToQString(Editor().problems().at(0)), QStringLiteral("動けない駒があります（４一）。"));
        QVERIFY(w.statusLine()->headerText().contains(QStringLiteral("４一")));
        // A damaged file is refused and the board stays.
        const std::string kept = Sfen();
        std::string line = PositionLine(w.record().position);
        line[5] = 'Z';
        testing::TouchFile(home_ / "DATA" / "Kyokumen" / "bad.pat", "99\r\nbad\r\n" + line + "\r\n");
        Editor().setLoadAnswer([](LoadPositionDialog& d) {
            d.list()->setCurrentRow(0);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            return d.result() == QDialog::Accepted;
        });
        Button(1);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("\r局面データが壊れています！"));
        QCOMPARE(Sfen(), kept);
        // A file gone before it could be deleted: the warning names it, the board stays.
        Editor().setLoadAnswer([this](LoadPositionDialog& d) {
            d.list()->setCurrentRow(0);
            fs::remove(home_ / "DATA" / "Kyokumen" / "bad.pat");
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            return d.result() == QDialog::Accepted;
        });
        Button(4);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("\rbad.pat は削除できません！"));
        QCOMPARE(Sfen(), kept);
        Button(7);
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QCOMPARE(Sfen(), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");

        // A 角落ち game: the 角 taken away stays away on the set-up board, the box menu included,
        // until the standard set-up brings all forty pieces back.
        TKifData kakuOchi;
        kakuOchi.ResetHeader(2);
        kakuOchi.SetUpStandard();
        w.ShowGame(kakuOchi, GameHeaderTexts{}, true, false, 0);
        Button(ReplayPanel::EditPosition);
        QCOMPARE(Sfen(), "lnsgkgsnl/1r7/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");
        Drag(Board(), At(8, 2), Box(), QPoint(20, 80));
        RightClick(Box(), QPoint(5, 5));
        ClickMenu(Editor().boxMenu(), 0);  // 後手持駒へ移動
        QCOMPARE(Sfen(), "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b r 1");
        Button(3);
        QCOMPARE(Sfen(), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");
        Button(7);
        QCOMPARE(int(w.record().handicap), int('2'));
    }

    void theSearchFromTheSetUpBoardFindsWhatTheSearchCommandFinds() {
        QTemporaryDir storeDir;
        const fs::path games = QStringToPath(storeDir.path()) / "games.ipx";
        testing::MakeGuiListStore(games, 40, true);
        Start(games);
        MainWindow& w = *window_;
        QVERIFY(w.storeOpen());
        QVERIFY(w.ShowStoredGame(3, 5));
        w.settings().kensaku.ToYY = 2099;
        w.settings().kensaku.ToMM = 12;

        // The 矢倉 game at move 20 handed over, then a 歩 taken off and put back by the mouse.
        TKifData game = testing::YaguraGame();
        game.GoToMove(20);
        w.editPosition(game.position);
        DragOnBoard(1, 7, 1, 5);
        DragOnBoard(1, 5, 1, 7);
        const std::string set = Sfen();
        QVERIFY(set == ToSfen(game.position, 1, 1));

        SearchDialog* dialog = w.searchDialog();
        dialog->Prepare(false, true);
        dialog->StartSearch();
        std::vector<std::uint32_t> fromEditor;
        for (const GameHeader& e : w.session().catalogue.entries()) fromEditor.push_back(e.recordNumber);
        QVERIFY(!fromEditor.empty());

        // The command line's search: the same position read from its SFEN.
        SearchConditions conditions;
        conditions.positionMode = PositionMode::Same;
        conditions.pattern = SearchPattern::FromPosition(ParseSfen(set)->position);
        StoreSession session;
        session.programFolder = home_;
        QVERIFY(OpenStore(session, games, true, prompter_).opened);
        FullSearch(session.store, conditions, session.catalogue, prompter_);
        std::vector<std::uint32_t> fromCommand;
        for (const GameHeader& e : session.catalogue.entries()) fromCommand.push_back(e.recordNumber);
        QVERIFY(fromEditor == fromCommand);

        // Taking a game over from the list ends editing without the kept game.
        QVERIFY(w.ShowStoredGame(fromEditor.front(), 20));
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QVERIFY(!Editor().box()->isVisible());
        QVERIFY(w.menus()->openStoreAction()->isEnabled());
        QCOMPARE(Sfen(), set);
    }

    // Study mode is paused by editing, not left: the board shows the moves tried, and they come
    // back with study mode. Diagrams of the set-up board carry the names on the plates and the
    // shown move, mirrored while the sides are swapped; the mate search starts from move 0 and
    // gives the counts back; the empty list is refused with the editor's own text.
    void studyMovesDiagramsAndTheMateSearchOfTheSetUpBoard() {
        QTemporaryDir storeDir;
        const fs::path games = QStringToPath(storeDir.path()) / "games.ipx";
        testing::MakeGuiListStore(games, 0, true);
        Start(games);
        MainWindow& w = *window_;
        QVERIFY(w.storeOpen());
        GameHeaderTexts names;
        names.senteName = "羽生"_sj;
        names.goteName = "谷川"_sj;
        w.ShowGame(testing::YaguraGame(), names, true, false, 10);
        Button(ReplayPanel::Study);
        DragOnBoard(2, 7, 2, 6);  // move 11, tried in study mode
        QCOMPARE(int(w.record().moveCount), 11);
        const std::string studied = Sfen();
        QStringList studyLines;
        for (int i = 0; i < w.moveList()->count(); ++i) studyLines.append(w.moveList()->item(i)->text());

        Button(ReplayPanel::EditPosition);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);
        QCOMPARE(Sfen(), studied);
        QVERIFY(!w.replayPanel()->latched(4));

        // Button 12 with the names as labels and the shown move in the title.
        w.settings().btimap.TNameNo = 2;
        w.settings().btimap.TitleNo2 = 1;
        w.settings().btimap.Title5 = "図%s"_sj;
        PositionCommands* positions = w.positionCommands();
        positions->titleAnswer = [](TitleDialog&) { return true; };
        Button(ReplayPanel::AddPosition);
        const CollectionPage& page = positions->collection().appendBuffer();
        QCOMPARE(positions->collection().usedSlots(), 1);
        QCOMPARE(ToQString(page.slot(0).title()), QStringLiteral("図▲２六歩"));
        QCOMPARE(ToQString(page.slot(0).senteLabel()), QStringLiteral("▲羽生"));
        QCOMPARE(ToQString(page.slot(0).goteLabel()), QStringLiteral("△谷川"));
        // Swapped: the names change plates and the move reads from the other side.
        Button(6);
        Button(ReplayPanel::AddPosition);
        QCOMPARE(ToQString(page.slot(1).title()), QStringLiteral("図△８四歩"));
        QCOMPARE(ToQString(page.slot(1).senteLabel()), QStringLiteral("▲谷川"));
        Button(6);

        // The mate search runs on the set-up board from move 0; stopped, the counts come back.
        w.mateCommand()->setKingChooser([](int, bool) { return int(side::kGote); });
        QSignalSpy done(w.mateCommand(), &MateCommand::finished);
        Button(ReplayPanel::MateSearch);
        QVERIFY(w.mateCommand()->running());
        QCOMPARE(int(w.record().moveCount), 0);
        QCOMPARE(int(w.record().currentMove), 0);
        Button(ReplayPanel::MateSearch);
        QVERIFY(done.count() > 0 || done.wait(20000));
        QCOMPARE(int(w.record().moveCount), 11);
        QCOMPARE(int(w.record().currentMove), 11);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);

        // Key E opens the collection window from the set-up board too.
        int opened = 0;
        positions->windowAnswer = [&opened](CollectionWindow&) { ++opened; };
        QTest::keyClick(&w, Qt::Key_E);
        QCOMPARE(opened, 1);

        // An empty store: the list is refused on a line of its own.
        Button(ReplayPanel::GameList);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("\r一覧表に表示する棋譜はありません。"));

        // Back: study mode goes on with the move tried; leaving it gives the game as it was.
        Button(3);
        Button(7);
        QVERIFY(w.studyMode());
        QVERIFY(w.replayPanel()->latched(4));
        QCOMPARE(Sfen(), studied);
        QStringList lines;
        for (int i = 0; i < w.moveList()->count(); ++i) lines.append(w.moveList()->item(i)->text());
        QCOMPARE(lines, studyLines);
        QCOMPARE(w.upperPlate()->name(), QStringLiteral("谷川"));
        Button(ReplayPanel::Study);
        QVERIFY(!w.studyMode());
        QCOMPARE(int(w.record().moveCount), int(testing::YaguraGame().moveCount));
        QCOMPARE(int(w.record().currentMove), 10);
    }

    // Button 12 puts the set-up position into the collection with the editing title format;
    // deleting games in the list opened from the editor frees every slot, and leaving then shows
    // an empty new game instead of the kept one, whose record number has moved.
    void collectingThePositionAndDeletingGamesFromTheEditor() {
        QTemporaryDir storeDir;
        const fs::path games = QStringToPath(storeDir.path()) / "games.ipx";
        testing::MakeGuiListStore(games, 5, true);
        Start(games);
        MainWindow& w = *window_;
        QVERIFY(w.ShowStoredGame(2, 10));
        QVERIFY(w.record().SlotInUse(w.record().currentSlot));
        Button(ReplayPanel::EditPosition);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);
        DragOnBoard(1, 7, 1, 5);

        w.settings().btimap.TitleNo2 = 1;
        w.settings().btimap.Title5 = "%d";
        PositionCommands* positions = w.positionCommands();
        QString askedTitle;
        positions->titleAnswer = [&askedTitle](TitleDialog& d) {
            askedTitle = d.titleEdit()->text();
            d.titleEdit()->setText(QStringLiteral("作図"));
            return true;
        };
        Button(ReplayPanel::AddPosition);
        QCOMPARE(positions->collection().usedSlots(), 1);
        QCOMPARE(positions->collection().appendBuffer().slot(0).title(), std::string("作図"_sj));
        QCOMPARE(positions->collection().appendBuffer().slot(0).pieces(), w.record().position.pieces);
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);

        GameListWindow* list = w.gameList();
        QTimer::singleShot(0, list, [list] {
            list->DeleteGames(true);
            list->close();
        });
        Button(ReplayPanel::GameList);
        QCOMPARE(w.session().catalogue.count(), std::uint32_t(4));
        QCOMPARE(w.mode(), MainWindow::Mode::PositionEditing);
        for (int slot = 0; slot < kSlotCount; ++slot) QVERIFY(!w.record().SlotInUse(slot));
        Button(7);
        QCOMPARE(w.mode(), MainWindow::Mode::Game);
        QCOMPARE(int(w.record().moveCount), 0);
        QCOMPARE(Sfen(), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1");
        QCOMPARE(w.moveList()->count(), 0);
        QVERIFY(!w.menus()->correctionAction()->isEnabled());
    }
};

}  // namespace movra

QTEST_MAIN(movra::PositionEditTest)
#include "position_edit_test.moc"
