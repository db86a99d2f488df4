// The tools menu's store maintenance commands driven through the main window, with the file
// dialogs answered by a script: sorting, removing identical games, converting a classic store,
// concatenating another store, a backup and the player-number dialog, each opening the store
// again.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QtTest>

#include <deque>
#include <filesystem>

#include "core/maintenance/classic_conversion.h"
#include "core/maintenance/command_texts.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/maintenance/maintenance_commands.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/store/file_chooser.h"
#include "list_test_store.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

class FolderAndFileChooser : public FileChooser {
public:
    std::deque<QString> files, folders;
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return Take(files);
    }
    QString Folder(QWidget*, const QString&, const QString&) override { return Take(folders); }

private:
    static QString Take(std::deque<QString>& q) {
        if (q.empty()) return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

class MaintenanceCommandsTest : public QObject {
    Q_OBJECT

    QAction* Job(MainWindow& w, int job) {
        auto* a = w.menuBar()->findChild<QAction*>(QStringLiteral("Maintenance%1").arg(job));
        if (a == nullptr) qFatal("no maintenance item %d", job);
        return a;
    }
    // Years of the catalogue, in order.
    static QList<int> Years(const MainWindow& w) {
        QList<int> years;
        for (std::uint32_t i = 0; i < w.session().catalogue.count(); ++i) years.append(w.session().catalogue.at(i).year);
        return years;
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }

    void sortRemoveConvertMergeBackupAndReplaceThroughTheMenus() {
        QTemporaryDir dir;
        const fs::path home = testing::FreshProgramFolder(dir);
        fs::remove_all(home / "Kifu");
        testing::RecordingPrompter prompter;
        auto window = testing::StartedWindow(home, prompter);
        FolderAndFileChooser chooser;
        window->setFileChooser(&chooser);
        MainWindow& w = *window;
        // Six classic games, the last a copy of the fifth; player 12 plays games 1 and 2.
        testing::MakeGuiListStore(home / "kifu" / "a.idx", 6, false, [](int i, testing::GuiListGame& g) {
            if (i == 6) {
                g.index.setYear(2005);
                g.index.setResult(1);
                g.moves = 15;
            }
            if (i <= 2) g.index.setSentePlayer(12);
        });
        testing::MakeGuiListStore(home / "kifu" / "b.idx", 2, true);
        chooser.files.push_back(PathToQString(home / "kifu" / "a.idx"));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.storeOpen());
        QCOMPARE(Years(w), (QList<int>{2001, 2002, 2003, 2004, 2005, 2005}));
        QVERIFY(Job(w, MainMenus::ConvertClassic)->isVisible());
        prompter.shown.clear();

        Job(w, MainMenus::SortDescending)->trigger();
        QCOMPARE(Years(w), (QList<int>{2005, 2005, 2004, 2003, 2002, 2001}));
        QCOMPARE(prompter.texts().back(), maintenance::SortDoneText());
        QVERIFY(w.isEnabled());

        // The order dialog is answered "oldest first".
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<SortOrderDialog*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            d->findChildren<QRadioButton*>().at(1)->setChecked(true);
            d->accept();
        });
        Job(w, MainMenus::RemoveSameGames)->trigger();
        QCOMPARE(Years(w), (QList<int>{2001, 2002, 2003, 2004, 2005}));
        QCOMPARE(prompter.texts().back(), maintenance::RemoveSameDoneText(1));

        Job(w, MainMenus::ConvertClassic)->trigger();
        QVERIFY(w.session().store.extended());
        QCOMPARE(w.session().catalogue.count(), 5u);
        QVERIFY(!Job(w, MainMenus::ConvertClassic)->isVisible());
        QVERIFY(w.windowTitle().contains(QStringLiteral("a.ipx")));

        // Concatenating the extended store b.
        chooser.files.push_back(PathToQString(home / "kifu" / "b.ipx"));
        Job(w, MainMenus::Concatenate)->trigger();
        QCOMPARE(Years(w), (QList<int>{2001, 2002, 2003, 2004, 2005, 2001, 2002}));
        QCOMPARE(prompter.texts().back(), std::string("\rファイル接合が終わりました。"_sj));

        fs::create_directories(home / "backup");
        chooser.folders.push_back(PathToQString(home / "backup"));
        Job(w, MainMenus::BackupStore)->trigger();
        QVERIFY(fs::exists(home / "backup" / "a.kpf"));
        QCOMPARE(prompter.texts().back(), std::string("\r棋譜のバックアップが終わりました！"_sj));

        // The player-number dialog: 12 → 40, then closed.
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<PlayerNumberDialog*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            d->fromEdit()->setText(QStringLiteral("12"));
            d->toEdit()->setText(QStringLiteral("40"));
            d->Confirm();
            d->reject();
        });
        Job(w, MainMenus::ReplacePlayerNumber)->trigger();
        QCOMPARE(prompter.texts().back(), std::string("\r2件 の棋譜の棋士番号を変換しました。"_sj));
        QCOMPARE(int(w.session().catalogue.at(0).sentePlayer), 40);
        prompter.answers = {Answer::Yes};
        w.close();
    }
};

}  // namespace movra

QTEST_MAIN(movra::MaintenanceCommandsTest)
#include "maintenance_commands_test.moc"
