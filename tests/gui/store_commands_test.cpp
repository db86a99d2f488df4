// The File-menu store commands and the imports, driven through the main window with the file
// dialogs answered by a script: opening, making and renaming stores, switching the DAT folder,
// importing a folder with one bad file, the clipboard, dropped files, and the game list opened
// from the main window.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include <deque>
#include <filesystem>
#include <fstream>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/list/game_list_window.h"
#include "core/session/file_commands.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "core/text/paths.h"
#include "gui/mainwindow/replay_panel.h"
#include "core/text/sjis_literal.h"
#include "gui/store/file_chooser.h"
#include "gui/store/store_commands.h"
#include "gui/mainwindow/move_list_view.h"
#include "support/recording_prompter.h"
#include "core/textio/import_text.h"
#include "list_test_store.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

// The file dialogs, answered in order.
class ScriptedChooser : public FileChooser {
public:
    std::deque<QString> files;
    std::deque<QStringList> fileLists;
    std::deque<QString> folders;
    QStringList titles;

    QString OpenFile(QWidget*, const QString& title, const QString&, const QString&,
                     const QString&) override {
        titles.append(title);
        return Take(files);
    }
    QStringList OpenFiles(QWidget*, const QString& title, const QString&, const QString&) override {
        titles.append(title);
        if (fileLists.empty()) return {};
        QStringList l = fileLists.front();
        fileLists.pop_front();
        return l;
    }
    QString SaveFile(QWidget*, const QString& title, const QString&, const QString&) override {
        titles.append(title);
        return Take(files);
    }
    QString Folder(QWidget*, const QString& title, const QString&) override {
        titles.append(title);
        return Take(folders);
    }

private:
    static QString Take(std::deque<QString>& q) {
        if (q.empty()) return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

class StoreCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    ScriptedChooser chooser_;
    std::unique_ptr<MainWindow> window_;

    // A fresh program folder; without `withSample` the sample store is taken away, so that no
    // store is open at start-up.
    MainWindow& Start(bool withSample = false) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        if (!withSample) fs::remove_all(home_ / "Kifu");
        window_ = testing::StartedWindow(home_, prompter_);
        window_->setFileChooser(&chooser_);
        window_->storeCommands()->setImportClock("2024-04-10 10:00:00");
        window_->show();
        prompter_.shown.clear();
        return *window_;
    }
    // Opens a store through the open command.
    void OpenThroughMenu(const fs::path& store) {
        chooser_.files.push_back(PathToQString(store));
        window_->menus()->openStoreAction()->trigger();
    }
    std::vector<std::string> Texts() const { return prompter_.texts(); }
    bool Shown(const std::string& text) const {
        for (const std::string& t : Texts()) {
            if (t == text) return true;
        }
        return false;
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void cleanup() {
        if (window_) {
            prompter_.answers = {Answer::Yes};
            window_->close();
        }
        window_.reset();
        chooser_.files.clear();
        chooser_.folders.clear();
        chooser_.fileLists.clear();
        prompter_.answers.clear();
    }

    void openingAStoreFromTheMenuAndTheRecentList() {
        MainWindow& w = Start();
        QVERIFY(!w.menus()->renameStoreAction()->isEnabled());
        testing::MakeGuiListStore(home_ / "kifu" / "a.idx", 5, true);
        testing::MakeGuiListStore(home_ / "kifu" / "b.idx", 3, false);
        OpenThroughMenu(home_ / "kifu" / "a.ipx");
        QVERIFY(w.storeOpen());
        QCOMPARE(w.session().catalogue.count(), 5u);
        QVERIFY(w.windowTitle().contains(QStringLiteral("a.ipx")));
        QVERIFY(w.menus()->renameStoreAction()->isEnabled());
        QCOMPARE(chooser_.titles.back(), QStringLiteral("棋譜ファイルを開く"));
        OpenThroughMenu(home_ / "kifu" / "b.idx");
        QCOMPARE(w.session().catalogue.count(), 3u);
        QVERIFY(w.menus()->recentAction(1)->isVisible());
        QCOMPARE(w.menus()->recentAction(1)->text(), QStringLiteral("&2 a.ipx"));
        QVERIFY(w.settings().shogi.LastKifFile.ends_with("b.idx"));
        // The recent entry asks first; Cancel keeps the open store.
        prompter_.answers = {Answer::Cancel};
        w.menus()->recentAction(1)->trigger();
        QCOMPARE(w.session().catalogue.count(), 3u);
        prompter_.answers = {Answer::Yes};
        w.menus()->recentAction(1)->trigger();
        QCOMPARE(w.session().catalogue.count(), 5u);
        QVERIFY(Texts().back().find(" を読み込みます。"_sj.str()) != std::string::npos);
        // A broken store is refused with the store's own message.
        std::ofstream(home_ / "kifu" / "c.idx", std::ios::binary) << '\5' << std::string(31, '\0');
        std::ofstream(home_ / "kifu" / "c.kif", std::ios::binary) << "x";
        OpenThroughMenu(home_ / "kifu" / "c.idx");
        QVERIFY(Texts().back().starts_with("\r棋譜ファイルが壊れています。"_sj.str()));
        QCOMPARE(w.session().catalogue.count(), 5u);
    }

    void anotherStoreLeavesAnEmptyMoveList() {
        // A game of the sample store is shown; opening or creating another store leaves no game
        // on the board and no line in the list (not even a closing line of no moves).
        MainWindow& w = Start(true);
        QVERIFY(w.storeOpen());
        QVERIFY(w.ShowStoredGame(1));
        QVERIFY(w.moveList()->count() > 0);
        testing::MakeGuiListStore(home_ / "kifu" / "a.idx", 5, true);
        OpenThroughMenu(home_ / "kifu" / "a.ipx");
        QCOMPARE(w.session().catalogue.count(), 5u);
        QCOMPARE(w.moveList()->count(), 0);
        QCOMPARE(int(w.record().moveCount), 0);
        QVERIFY(w.ShowStoredGame(2));
        QVERIFY(w.moveList()->count() > 0);
        chooser_.files.push_back(PathToQString(home_ / "fresh"));
        w.menus()->newStoreAction()->trigger();
        QVERIFY(w.windowTitle().contains(QStringLiteral("fresh.ipx")));
        QCOMPARE(w.moveList()->count(), 0);
        // Stepping on the empty board adds nothing either.
        w.PressButton(ReplayPanel::Forward);
        QCOMPARE(w.moveList()->count(), 0);
    }

    void makingANewStore() {
        MainWindow& w = Start();
        chooser_.files.push_back(PathToQString(home_ / "new"));
        w.menus()->newStoreAction()->trigger();
        for (const char* name : {"new.idx", "new.kif", "new.ipx", "new.kpf", "new.cp0"}) {
            QVERIFY2(fs::exists(home_ / name), name);
        }
        QVERIFY(w.storeOpen());
        QVERIFY(w.windowTitle().contains(QStringLiteral("new.ipx")));
        chooser_.files.push_back(PathToQString(home_ / "new.ipx"));
        w.menus()->newStoreAction()->trigger();
        QVERIFY(Texts().back().ends_with(" は既に存在します。"_sj.str()));
        chooser_.files.push_back(PathToQString(home_ / "x.txt"));
        w.menus()->newStoreAction()->trigger();
        QCOMPARE(ToQString(Texts().back()), ToQString("\rファイル名が正しくありません！"_sj));
    }

    void aRenameThatConflictsKeepsTheDialogOpen() {
        MainWindow& w = Start();
        testing::MakeGuiListStore(home_ / "games.idx", 2, true);
        OpenThroughMenu(home_ / "games.ipx");
        std::ofstream(home_ / "other.kif") << "x";
        StoreSession& session = const_cast<StoreSession&>(w.session());
        RenameStoreDialog dialog(session, prompter_, &w);
        QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("games.ipx"));
        QCOMPARE(dialog.promptLabel()->text(), QStringLiteral("'games.ipx' の新しい名前を指定してください。"));
        dialog.nameEdit()->setText(QStringLiteral("other.ipx"));
        dialog.Confirm();
        QCOMPARE(dialog.outcome(), RenameOutcome::Refused);
        QCOMPARE(ToQString(Texts().back()),
                 ToQString("同じ名前のファイルがあるため変更できません。\r\r　[ other.kif ]"_sj));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(fs::exists(home_ / "games.idx"));
        dialog.nameEdit()->setText(QStringLiteral("games.idx"));
        dialog.Confirm();
        QCOMPARE(ToQString(Texts().back()), ToQString("\rファイル名が不正です。"_sj));

        // Through the menu: the dialog answered by a timer, the store renamed, the caption and
        // the recent list follow.
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<RenameStoreDialog*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            d->nameEdit()->setText(QStringLiteral("renamed.ipx"));
            d->Confirm();
        });
        w.menus()->renameStoreAction()->trigger();
        QVERIFY(fs::exists(home_ / "renamed.idx"));
        QVERIFY(fs::exists(home_ / "renamed.cp0"));
        QVERIFY(!fs::exists(home_ / "games.ipx"));
        QVERIFY(w.windowTitle().contains(QStringLiteral("renamed.ipx")));
        QCOMPARE(w.menus()->recentAction(0)->text(), QStringLiteral("&1 renamed.ipx"));
        QCOMPARE(ToQString(Texts().back()), ToQString("\r棋譜ファイル名を変更しました。"_sj));
    }

    void switchingTheDatFolder() {
        MainWindow& w = Start();
        const fs::path dat = home_ / "dat";
        fs::create_directories(dat);
        fs::copy_file(home_ / "Ksname.dat", dat / "Ksname.dat");
        chooser_.files.push_back(PathToQString(dat / "Ksname.dat"));
        w.menus()->datSwitchAction()->trigger();
        QCOMPARE(ToQString(Texts().back()),
                 ToQString("以下のファイルがありません！\r\rMovra.dat\rSenkei.dat"_sj));
        QVERIFY(w.settings().shogi.DatPath.empty());
        fs::copy_file(home_ / "Movra.dat", dat / "Movra.dat");
        fs::copy_file(home_ / "Senkei.dat", dat / "Senkei.dat");
        chooser_.files.push_back(PathToQString(dat / "Ksname.dat"));
        w.menus()->datSwitchAction()->trigger();
        QVERIFY(Texts().back().starts_with("DATファイルを下記のフォルダのデータに切り替えました。\r\r"_sj.str()));
        QVERIFY(w.settings().shogi.DatPath.ends_with("dat"));
        QCOMPARE(chooser_.titles.back(), QStringLiteral("棋士名ﾃﾞｰﾀ･ﾌｧｲﾙを開く"));
    }

    void importingAFolderWithOneBadFile() {
        MainWindow& w = Start();
        testing::MakeGuiListStore(home_ / "games.idx", 2, true);
        OpenThroughMenu(home_ / "games.ipx");
        const fs::path in = home_ / "in";
        fs::create_directories(in);
        fs::copy_file(home_ / "sample" / "01_yagura.kif", in / "01_yagura.kif");
        fs::copy_file(home_ / "sample" / "09_kyoochi.kif", in / "09_kyoochi.kif");
        std::ofstream(in / "05_bad.kif", std::ios::binary) << "これは棋譜ではない\r\n"_sj.str();
        std::ofstream(in / "notes.txt") << "not read";
        prompter_.shown.clear();
        chooser_.folders.push_back(PathToQString(in));
        prompter_.answers = {Answer::Yes};
        w.menus()->importFolderAction()->trigger();
        const auto texts = Texts();
        QVERIFY(texts.front().ends_with(" 内の\r棋譜ファイルをMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj.str()));
        QVERIFY(Shown(ImportFailedMessage(in / "05_bad.kif")));
        QCOMPARE(ToQString(texts.back()), ToQString(ImportedCountMessage(2)));
        // The store is read again: the new games are in the catalogue and the last is shown.
        QCOMPARE(w.session().catalogue.count(), 4u);
        QCOMPARE(w.session().store.recordCount, 4u);
        QVERIFY(w.record().moveCount > 0);
        QVERIFY(w.isEnabled());
        // The list opens on the last game.
        GameListWindow* list = w.gameList();
        list->Prepare(1);
        QCOMPARE(list->highlightedRow(), 3);
        list->close();
    }

    void importingChosenFilesAndTheClipboard() {
        MainWindow& w = Start();
        testing::MakeGuiListStore(home_ / "games.idx", 1, true);
        OpenThroughMenu(home_ / "games.ipx");
        chooser_.fileLists.push_back({PathToQString(home_ / "sample" / "02_kakugawari.kif")});
        prompter_.answers = {Answer::No};  // the question answered No: nothing happens
        w.menus()->importFilesAction()->trigger();
        QCOMPARE(w.session().catalogue.count(), 1u);
        QVERIFY(Texts().back().ends_with("02_kakugawari.kif を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj.str()));
        chooser_.fileLists.push_back({PathToQString(home_ / "sample" / "02_kakugawari.kif"),
                                      PathToQString(home_ / "sample" / "03_shikenbisha.kif")});
        prompter_.answers = {Answer::Yes};
        w.menus()->importFilesAction()->trigger();
        QCOMPARE(w.session().catalogue.count(), 3u);

        // The clipboard: two games in UTF-8, split at the blank line.
        prompter_.answers = {Answer::Yes};
        w.storeCommands()->ImportClipboardCommand(QByteArray(
            "先手：山田\n後手：田中\n▲７六歩 △３四歩 ▲２六歩\nまで3手で中断\n\n"
            "先手：田中\n▲２六歩 △８四歩\nまで2手で中断\n"));
        QCOMPARE(w.session().catalogue.count(), 5u);
        QCOMPARE(ToQString(Texts().back()), ToQString(ImportedCountMessage(2)));
        QVERIFY(!fs::exists(home_ / "$TEMP.KIF"));
        // An empty clipboard says so.
        w.storeCommands()->ImportClipboardCommand(QByteArray("\n  \n"));
        QCOMPARE(ToQString(Texts().back()), ToQString("\rクリップボードは空です。"_sj));
    }

    void droppedFilesOpenStores() {
        MainWindow& w = Start();
        testing::MakeGuiListStore(home_ / "drop" / "d.idx", 4, true);
        testing::MakeGuiListStore(home_ / "drop" / "e.idx", 2, false);
        w.storeCommands()->DropCommand(home_ / "drop" / "e.idx");  // no ".ipx": nothing
        QVERIFY(!w.storeOpen());
        w.storeCommands()->DropCommand(home_ / "drop" / "d.kif");
        QVERIFY(w.storeOpen());
        QCOMPARE(w.session().catalogue.count(), 4u);
    }

    void theListExportsThroughTheKakinokiWriter() {
        MainWindow& w = Start();
        testing::MakeGuiListStore(home_ / "games.idx", 3, true);
        OpenThroughMenu(home_ / "games.ipx");
        GameListWindow* list = w.gameList();
        list->Prepare(1);
        list->show();
        list->HighlightRow(2);
        fs::create_directories(home_ / "out");
        chooser_.folders.push_back(PathToQString(home_ / "out"));
        list->ExportGames();
        QTRY_VERIFY_WITH_TIMEOUT(!list->exportRunning(), 5000);
        QVERIFY(fs::exists(home_ / "out" / "r0101001.kif"));
        std::ifstream in(home_ / "out" / "r0101001.kif", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        QVERIFY(text.find("手合割：平手"_sj.str()) != std::string::npos);
        QVERIFY(text.find("\r\n") != std::string::npos);
        // The game was opened on the board on its way out.
        QCOMPARE(int(w.record().moveCount), 13);
        list->close();
    }

    void theSampleStoreOpensAtStartAndLists() {
        MainWindow& w = Start(true);
        QVERIFY(w.storeOpen());
        const std::uint32_t games = w.session().catalogue.count();
        QVERIFY(games > 0);
        int lines = -1;
        QTimer::singleShot(0, [&lines] {
            auto* list = qobject_cast<GameListWindow*>(QApplication::activeModalWidget());
            if (list == nullptr) return;
            lines = list->listBox()->count();
            list->close();
        });
        w.PressButton(ReplayPanel::GameList);
        QCOMPARE(lines, int(std::min<std::uint32_t>(games, 20)));
        QCOMPARE(w.gameList()->result(), GameListWindow::Result::Cancel);
    }

    void theGameListFromTheMainWindowShowsTheChosenGame() {
        MainWindow& w = Start();
        w.PressButton(ReplayPanel::GameList);  // no store: nothing to list
        QCOMPARE(ToQString(Texts().back()), ToQString("一覧表に表示する棋譜はありません。"_sj));
        testing::MakeGuiListStore(home_ / "games.idx", 30, true);
        OpenThroughMenu(home_ / "games.ipx");
        QVERIFY(w.replayPanel()->button(ReplayPanel::GameList)->isEnabled());
        QTimer::singleShot(0, [] {
            auto* list = qobject_cast<GameListWindow*>(QApplication::activeModalWidget());
            if (list == nullptr) return;
            list->NextPage();
            list->HighlightRow(4);  // game 25
            list->ShowGame();
        });
        QTest::keyClick(&w, Qt::Key_I);
        QCOMPARE(w.gameList()->result(), GameListWindow::Result::ShowGame);
        QCOMPARE(w.gameList()->selectedEntry().recordNumber, 25u);
        QCOMPARE(int(w.record().moveCount), 10 + 25 % 30);
    }
};

}  // namespace movra

QTEST_MAIN(movra::StoreCommandsTest)
#include "store_commands_test.moc"
