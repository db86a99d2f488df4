// The web commands of the main window, driven as the user drives them: a double click on the
// board publishes the sample game with Movra's own templates (every page, the mobile picture),
// Ctrl+J writes the two data files, live publishing asks and then signals the upload, the web
// settings dialog stores its fields, and the data menu shows a local page. Screenshots of the
// settings dialog and of the published viewer page (Chromium) go to build/screenshots.
#include <QAction>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrl>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>

#include "core/config/ini_file.h"
#include "core/diagram/diagram_layout.h"
#include "core/publish/web_export.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/publish/publish_commands.h"
#include "gui/publish/web_settings_dialog.h"
#include "support/recording_prompter.h"
#include "test_store.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool InsideScreen(const QWidget* w) {
    return AvailableArea(w).contains(w->frameGeometry());
}

}  // namespace

class PublishTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    // The sample store's first game on the board, every web file going to out/ with our templates.
    MainWindow& Start(bool yaguraStore = false) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        if (yaguraStore) {
            // The 矢倉 game with a comment on move 30, in the store opened at start-up.
            fs::remove_all(home_ / "Kifu");
            testing::MakeTestStore(home_ / "Kifu" / "Sample.ipx");
        }
        fs::create_directories(home_ / "Data");
        std::ofstream(home_ / "Data/Html.ini", std::ios::binary)
            << Utf8ToCp932("02-00 資料室(&K)\r\n02-02 対局の記録;Web/page.html\r\n");
        fs::create_directories(home_ / "Web");
        std::ofstream(home_ / "Web/page.html", std::ios::binary) << "<html><body><h1>Movra</h1></body></html>\r\n";
        window_ = testing::StartedWindow(home_, prompter_);
        MainWindow& w = *window_;
        Settings& s = w.settings();
        s.ftp.Func = true;
        s.ftp.UseTime = true;
        s.java.source = "Web/kifu_tpl.js";
        s.java.OutPath = "out/kifu.js";
        s.java.OutPathE = "out/kifu_e.js";
        s.java.OutPathAp = "out/kifu.kf";
        s.html.source = {"Web/kifu.html", "Web/viewer.html", "Web/kifu_e.html"};
        s.html.OutPath = {"out/kifu.html", "out/viewer.html", "out/kifu_e.html"};
        s.html.i_html = {"Web/i_now.html", "Web/i_asc.html", "Web/i_desc.html"};
        s.html.i_Path = {"out/i_kifu.html", "out/i_asc.html", "out/i_desc.html"};
        s.html.i_BmpPath01 = "out/i_board.bmp";
        fs::create_directories(home_ / "out");
        if (!w.ShowStoredGame(1)) qFatal("the sample game is missing");
        w.show();
        return w;
    }

    // The window's key: its action carries the key (the offscreen platform has no active window
    // to deliver shortcuts to, so the action is triggered as the key would).
    static void Press(MainWindow& w, const QString& name, const QKeySequence& key) {
        QAction* action = w.findChild<QAction*>(name);
        QVERIFY(action != nullptr);
        QCOMPARE(action->shortcut(), key);
        action->trigger();
    }

private slots:
    void doubleClickPublishesEveryPageAndTheViewerReplaysIt() {
        MainWindow& w = Start();
        PublishCommands* commands = w.publishCommands();
        QVERIFY(commands != nullptr);
        // The full diagram is drawn in its own size mode; the user's comes back afterwards.
        w.settings().html.i_BmpPath02 = "out/full.bmp";
        w.settings().html.i_BmpSize02 = 2;
        w.settings().btimap.Size = 0;
        prompter_.shown.clear();
        QTest::mouseDClick(w.boardView(), Qt::LeftButton, {}, w.boardView()->rect().center());
        QCOMPARE(w.settings().btimap.Size, 0);
        const QImage full(PathToQString(home_ / "out/full.bmp"));
        const Size large = DiagramSize(2, 1);
        QCOMPARE(full.size(), QSize(large.width, large.height));
        QCOMPARE(prompter_.shown.size(), std::size_t(1));
        QCOMPARE(prompter_.shown[0].text, PublishedMessage());
        for (const char* name : {"kifu.js", "kifu_e.js", "kifu.kf", "kifu.html", "viewer.html", "kifu_e.html",
                                 "i_kifu.html", "i_asc.html", "i_desc.html"}) {
            const std::string bytes = Bytes(home_ / "out" / name);
            QVERIFY2(!bytes.empty() && IsValidCp932(bytes), name);
            QVERIFY2(bytes.find("\r\n") != std::string::npos && bytes.find("\n\n") == std::string::npos, name);
        }
        // The data file is the one the core makes of the game shown.
        const PublishInputs in = commands->Inputs();
        const auto templateLines = ReadTemplateLines(home_ / "Web/kifu_tpl.js");
        QVERIFY(templateLines.has_value());
        std::string expected;
        for (const std::string& line : FillScriptTemplate(*templateLines, ScriptDataLines(in))) expected += line + "\r\n";
        QCOMPARE(Bytes(home_ / "out/kifu.js"), expected);
        // The mobile picture: 94 x 84.
        const QImage picture(PathToQString(home_ / "out/i_board.bmp"));
        QCOMPARE(picture.size(), QSize(94, 84));

        // The viewer page in a browser, stepped to the last move.
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty()) {
            qWarning("chromium is not installed: no screenshot of the viewer page");
            return;
        }
        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        const QString shot = QStringLiteral(MOVRA_SCREENSHOT_DIR "/web_viewer.png");
        QFile::remove(shot);
        const QString url = QUrl::fromLocalFile(PathToQString(home_ / "out/viewer.html")).toString() +
                            QStringLiteral("#move=%1").arg(w.record().moveCount);
        QProcess browser;
        browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                                 QStringLiteral("--hide-scrollbars"), QStringLiteral("--window-size=420,900"),
                                 QStringLiteral("--screenshot=") + shot, url});
        QVERIFY(browser.waitForFinished(120000));
        QCOMPARE(QImage(shot).size(), QSize(420, 900));
    }

    // Live publishing stores each entered move at once, and the stored comments stand in for the
    // working ones from then on: the page published after the move still carries every comment.
    void livePublishingAfterAStoredMoveKeepsTheComments() {
        MainWindow& w = Start(true);
        QVERIFY(w.storeOpen());
        QVERIFY(w.ShowStoredGame(1, testing::kCommentedMove));
        QVERIFY(w.record().moves[testing::kCommentedMove].commentRecord != 0);
        w.settings().ftp.Auto = true;
        w.gameInput()->setInfoAsker([](GameInfoMode, IndexRecord&, DetailRecord&) { return GameInfoAnswer::OkEditMoves; });
        w.menus()->correctionAction()->trigger();
        QVERIFY(w.gameInput()->active());
        // Move 31 as stored (２六歩), dragged on the board: it is saved over the stored game.
        BoardView* board = w.boardView();
        QTest::mousePress(board, Qt::LeftButton, {}, board->squareRect(2, 7).center());
        QTest::mouseMove(board, board->squareRect(2, 6).center());
        QTest::mouseRelease(board, Qt::LeftButton, {}, board->squareRect(2, 6).center());
        QCOMPARE(int(w.record().currentMove), testing::kCommentedMove + 1);
        QCOMPARE(w.record().moves[testing::kCommentedMove].workingComment, std::uint8_t(0));
        w.publishCommands()->liveTimer()->stop();
        QSignalSpy spy(w.publishCommands(), &PublishCommands::livePublished);
        QVERIFY(w.publishCommands()->Publish());
        QCOMPARE(spy.count(), 1);
        const std::string script = Bytes(home_ / "out/kifu.js");
        const std::string index = std::to_string(testing::kCommentedMove - 1);
        QVERIFY(script.find(" com[" + index + "]=\"" + "ここで８五歩と伸ばすのが急所。"_sj + "\";\r\n") != std::string::npos);
    }

    void ctrlJWritesBothDataFilesUnderChosenNames() {
        MainWindow& w = Start();
        PublishCommands* commands = w.publishCommands();
        std::vector<fs::path> answers = {home_ / "chosen.js", home_ / "chosen.kf"};
        std::vector<QString> asked;
        commands->fileAnswer = [&](const QString& caption) {
            asked.push_back(caption);
            const fs::path p = answers.front();
            answers.erase(answers.begin());
            return p;
        };
        prompter_.shown.clear();
        Press(w, QStringLiteral("WebDataKey"), QKeySequence(Qt::CTRL | Qt::Key_J));
        QCOMPARE(asked.size(), std::size_t(2));
        QCOMPARE(prompter_.shown.back().text, PublishedMessage());
        const PublishInputs in = commands->Inputs();
        std::string applet;
        for (const std::string& line : AppletDataLines(in, true)) applet += line + "\r\n";
        QCOMPARE(Bytes(home_ / "chosen.kf"), applet);
        QVERIFY(Bytes(home_ / "chosen.js").find(" KifTesu=" + std::to_string(w.record().moveCount) + "\r\n") !=
                std::string::npos);
        // Cancelling the first dialog ends the command silently.
        commands->fileAnswer = [](const QString&) { return fs::path(); };
        prompter_.shown.clear();
        QVERIFY(!commands->WriteDataFiles());
        QVERIFY(prompter_.shown.empty());
    }

    void livePublishingAsksThenSignalsTheUpload() {
        MainWindow& w = Start();
        w.settings().ftp.Auto = true;
        PublishCommands* commands = w.publishCommands();
        QSignalSpy spy(commands, &PublishCommands::livePublished);
        fs::remove(home_ / "out/kifu.js");
        prompter_.shown.clear();
        prompter_.answers = {Answer::No};
        commands->ConfirmLivePublish();
        QCOMPARE(prompter_.shown.back().text, "開始盤面です。"_sj + "\r\r" + "送信しますか？"_sj);
        QCOMPARE(spy.count(), 0);
        QVERIFY(!fs::exists(home_ / "out/kifu.js"));
        prompter_.answers = {Answer::Yes};
        commands->ConfirmLivePublish();
        QCOMPARE(spy.count(), 1);
        QVERIFY(fs::exists(home_ / "out/kifu.js"));
        // With automatic transfer the message is left to the upload.
        QCOMPARE(prompter_.shown.back().kind, testing::RecordingPrompter::Shown::Question);
    }

    void settingsDialogStoresItsFieldsAndOpensTheEditor() {
        MainWindow& w = Start();
        PublishCommands* commands = w.publishCommands();
        std::ofstream(home_ / "editor.sh") << "#!/bin/sh\n";
        w.settings().tool.Editor = "editor.sh";
        QString launched;
        bool shown = false;
        commands->settingsAnswer = [&](WebSettingsDialog& dialog) {
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog)) return false;
            shown = InsideScreen(&dialog);
            dialog.findChild<QRadioButton*>(QStringLiteral("AutoOn"))->setChecked(true);
            dialog.findChild<QRadioButton*>(QStringLiteral("UseTimeOff"))->setChecked(true);
            dialog.findChild<QLineEdit*>(QStringLiteral("Source01"))->setText(QStringLiteral("雛形.html"));
            dialog.findChild<QLineEdit*>(QStringLiteral("IPath02"))->setText(QStringLiteral("C:\\web\\i2.html"));
            QPushButton* edit = dialog.findChild<QPushButton*>(QStringLiteral("EditBtn2"));
            if (edit == nullptr || !edit->isVisible()) return false;
            dialog.launcher = [&](const QString&, const QString& file) { launched = file; };
            edit->click();
            QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
            dialog.grab().toImage().save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/web_settings.png"));
            return true;
        };
        Press(w, QStringLiteral("WebSettingsKey"), QKeySequence(Qt::CTRL | Qt::Key_W));
        QVERIFY(shown);
        QVERIFY(launched.endsWith(QStringLiteral("/雛形.html")));
        QVERIFY(w.settings().ftp.Auto);
        QVERIFY(!w.settings().ftp.UseTime);
        IniFile ini;
        QVERIFY(ini.Load(SettingsFilePath(home_).string()));
        QCOMPARE(ini.ReadBool("FTP", "Auto", false), true);
        QCOMPARE(ini.ReadString("HTML", "source01", ""), "雛形.html"_sj);
        QCOMPARE(ini.ReadString("HTML", "i_Path02", ""), std::string("C:\\web\\i2.html"));
        QVERIFY(Bytes(SettingsFilePath(home_)).find(std::string("source01=\"") + "雛形.html"_sj + "\"") != std::string::npos);

        // Without the web functions the key does nothing.
        w.settings().ftp.Func = false;
        QVERIFY(!commands->OpenSettings());
    }

    void dataMenuShowsALocalPageInTheBrowserWindow() {
        MainWindow& w = Start();
        QMenu* data = w.publishCommands()->dataMenu();
        QVERIFY(data != nullptr);
        QCOMPARE(data->title(), QStringLiteral("データ(&D)"));
        const QList<QAction*> bar = w.menuBar()->actions();
        const int at = int(bar.indexOf(data->menuAction()));
        QVERIFY(at >= 0 && at + 1 < bar.size());
        QCOMPARE(bar[at + 1]->menu()->objectName(), QStringLiteral("MENU05"));
        QAction* item = w.findChild<QAction*>(QStringLiteral("MENU_Data2_2"));
        QVERIFY(item != nullptr && item->isVisible());
        QCOMPARE(item->text(), QStringLiteral("対局の記録"));
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("MENU_Data1_1"))->isVisible());
        item->trigger();
        BrowserWindow* browser = w.publishCommands()->browser();
        QVERIFY(browser != nullptr && browser->isVisible());
        QCOMPARE(browser->windowTitle(), QStringLiteral("資料室"));
        QVERIFY(browser->view()->toPlainText().contains(QStringLiteral("Movra")));
        QVERIFY(InsideScreen(browser));
        // The default width of 0 is the screen's less 40 pixels; closing keeps the place.
        QCOMPARE(browser->width(), AvailableArea(&w).width() - 40);
        browser->move(browser->x() + 5, browser->y());
        browser->close();
        QCOMPARE(w.settings().form.WebWidth, AvailableArea(&w).width() - 40);
    }
};

}  // namespace movra

QTEST_MAIN(movra::PublishTest)
#include "publish_test.moc"
