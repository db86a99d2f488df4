// The FTP window from the main window against real FTP servers on loopback: Ctrl+F with web
// publishing on, editing and registering an entry, 転送開始 on the worker thread with the window
// answering meanwhile, the summary of a failed server, the list written back, and the automatic
// upload after live publishing in the short form. Writes build/screenshots/ftp_window.png.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>

#include "core/ftp/server_list.h"
#include "core/text/sjis_literal.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/ftp/ftp_commands.h"
#include "gui/ftp/ftp_window.h"
#include "support/ftp_server.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

class FtpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void byHandAndAfterLivePublishing() {
        if (!testing::FtpServerAvailable()) QSKIP("python3-pyftpdlib is not installed");
        QTemporaryDir temp;
        const fs::path home = testing::FreshProgramFolder(temp);
        const fs::path roots = QStringToPath(temp.path()) / "roots";
        fs::create_directories(roots / "good" / "kifu");
        testing::MakeUploadFolder(home / "web", "最新の棋譜"_sj);
        testing::FtpTestServer server({"--root", (roots / "good").string(), "--user", "web", "--password",
                                       "Gui-Secret-42"});
        QVERIFY(server.running());

        FtpServerList list;
        list.commonFolder = "web";
        list.entries[1] = FtpServerEntry{"本番"_sj, server.address(), "kifu", "web", "Gui-Secret-42", true, false, ""};
        list.entries[4] = FtpServerEntry{"予備"_sj, server.address(), "kifu", "web", "Gui-Wrong-0", true, false, ""};
        QVERIFY(SaveFtpServerList(home / kFtpSettingsFileName, list));

        testing::RecordingPrompter prompter;
        auto window = testing::StartedWindow(home, prompter);
        window->show();
        FtpCommands* ftp = window->ftpCommands();
        QVERIFY(ftp != nullptr);
        QCOMPARE(ftp->action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));

        // Without web publishing Ctrl+F does nothing.
        bool opened = false;
        ftp->whileOpen = [&](FtpWindow&) { opened = true; };
        ftp->action()->trigger();
        QVERIFY(!opened);

        window->settings().ftp.Func = true;
        bool finished = false;
        ftp->whileOpen = [&](FtpWindow& w) {
            opened = true;
            QCOMPARE(w.windowTitle(), QStringLiteral("マルチＦＴＰクライアント"));
            QVERIFY(!w.shortForm());
            QVERIFY(AvailableArea(&w).contains(w.frameGeometry()));
            auto* box = w.findChild<QComboBox*>(QStringLiteral("ServerBox"));
            QCOMPARE(box->count(), 10);
            QCOMPARE(box->itemText(1), QStringLiteral("02:本番"));
            QCOMPARE(box->itemText(6), QStringLiteral("07:"));
            auto* name = w.findChild<QLineEdit*>(QStringLiteral("NameEdit"));
            auto* pass = w.findChild<QLineEdit*>(QStringLiteral("PassEdit"));
            QCOMPARE(pass->echoMode(), QLineEdit::Password);

            // Entry 7: a blank name is refused, a name is registered into the list and the file.
            w.ShowEntry(7);
            QVERIFY(!w.findChild<QLineEdit*>(QStringLiteral("OwnFolderEdit"))->isEnabled());
            name->setText(QStringLiteral("  "));
            QVERIFY(!w.Register());
            QCOMPARE(prompter.shown.back().text, std::string("\rＦＴＰ名称を入力してください。"_sj));
            name->setText(QStringLiteral(" 控え "));
            w.findChild<QLineEdit*>(QStringLiteral("AddrEdit"))->setText(QStringLiteral("127.0.0.1:1"));
            w.findChild<QCheckBox*>(QStringLiteral("TransCheck"))->setChecked(true);
            QVERIFY(w.Register());
            QCOMPARE(box->itemText(6), QStringLiteral("07:控え"));
            QCOMPARE(LoadFtpServerList(home / kFtpSettingsFileName).entries[6].name, std::string("控え"_sj));
            // Ctrl+Z and Ctrl+X switch the forms, also from a text field (not cut and undo there).
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            name->setFocus();
            QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(w.shortForm());
            QVERIFY(!w.findChild<QWidget*>(QStringLiteral("DestinationGroup"))->isVisible());
            QVERIFY(w.height() < 440);
            QVERIFY(AvailableArea(&w).contains(w.frameGeometry()));
            QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
            QVERIFY(!w.shortForm());
            QVERIFY(w.findChild<QWidget*>(QStringLiteral("DestinationGroup"))->isVisible());
            name->setFocus();
            name->selectAll();
            QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
            QVERIFY(!w.shortForm());
            QCOMPARE(name->text(), QStringLiteral("控え"));  // not cut
            w.ShowEntry(2);
            QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
            QVERIFY(w.grab().toImage().save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/ftp_window.png")));

            QSignalSpy done(&w, &FtpWindow::transferFinished);
            QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("StartBtn")), Qt::LeftButton);
            QVERIFY(w.transferring());
            QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("StartBtn"))->isEnabled());
            QVERIFY(w.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->isEnabled());
            QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 30000);
            QCOMPARE(done.front().front().toBool(), false);  // 予備 could not log in
            QVERIFY(!w.isVisible());  // closed by itself
            finished = true;
            const QString log = w.messages().join(QLatin1Char('\n'));
            QVERIFY2(log.contains(QStringLiteral("本番 connected.")), qPrintable(log));
            QVERIFY2(log.contains(QStringLiteral("\"index.HTM\" transmitting.")), qPrintable(log));
            QVERIFY2(!log.contains(QStringLiteral("Secret")) && !log.contains(QStringLiteral("Gui-Wrong")),
                     qPrintable(log));
        };
        ftp->action()->trigger();
        QVERIFY(opened && finished);
        QCOMPARE(testing::CompareUploadedTree(home / "web", roots / "good" / "kifu"), std::string());
        // The summary names the failed servers with their reasons, and no password.
        const std::string summary = prompter.shown.back().text;
        QVERIFY(summary.find("【予備】connect error."_sj) != std::string::npos);
        QVERIFY(summary.find("パスワード"_sj) != std::string::npos);
        QVERIFY(summary.find("【控え】connect error."_sj) != std::string::npos);
        QVERIFY(summary.find("Gui-") == std::string::npos);
        // Closing wrote the list back, entry 7 included.
        const FtpServerList written = LoadFtpServerList(home / kFtpSettingsFileName);
        QCOMPARE(written.entries[1].password, std::string("Gui-Secret-42"));
        QCOMPARE(written.entries[6].name, std::string("控え"_sj));

        // After live publishing: the short form opens a second later and uploads by itself.
        FtpServerList only = written;
        only.entries[4].transfer = false;
        only.entries[6].transfer = false;
        QVERIFY(SaveFtpServerList(home / kFtpSettingsFileName, only));
        testing::WriteBytes(home / "web" / "zz.txt", "move 2\r\n");
        const std::size_t messagesBefore = prompter.shown.size();
        // The window is open by hand when the upload timer fires: the upload waits until it closes.
        FtpWindow* w = ftp->ftpWindow();
        QSignalSpy uploaded(w, &FtpWindow::transferFinished);
        bool waited = false;
        ftp->whileOpen = [&](FtpWindow& open) {
            QMetaObject::invokeMethod(ftp, "uploadAfterLivePublish");
            QVERIFY(ftp->uploadTimer()->isActive());
            QTest::qWait(1600);
            QVERIFY(!open.shortForm());
            QVERIFY(!open.transferring());
            waited = true;
        };
        ftp->action()->trigger();
        QVERIFY(waited);
        QVERIFY(!w->isVisible());
        QVERIFY(ftp->uploadTimer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QVERIFY(w->shortForm());
        QVERIFY(AvailableArea(w).contains(w->frameGeometry()));
        QVERIFY(!w->transferring());  // half a second after the window appears
        QTRY_COMPARE_WITH_TIMEOUT(uploaded.count(), 1, 30000);
        QCOMPARE(uploaded.front().front().toBool(), true);
        QVERIFY(!w->isVisible());
        QVERIFY(w->lastReport().allComplete());
        QCOMPARE(prompter.shown.size(), messagesBefore);  // nothing to report
        QCOMPARE(testing::ReadBytes(roots / "good" / "kifu" / "zz.txt"), std::string("move 2\r\n"));
    }
};

}  // namespace
}  // namespace movra

QTEST_MAIN(movra::FtpWindowTest)
#include "ftp_test.moc"
