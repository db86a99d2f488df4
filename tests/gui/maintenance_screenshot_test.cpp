// Screenshots under a real X server (xvfb-run), for a person to look at: the duplicate search
// dialog with moves ticked (the five boxes beside it grey), and the player, tournament and
// opening dialogs on the sample master files, the tournament dialog also on its detail panel.
// Each must lie inside the screen's available area. The pictures go to the build folder's
// screenshots/ folder.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest/QtTest>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/config/program_folder.h"
#include "core/store/open_store.h"
#include "gui/common/fonts.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/maintenance/duplicate_dialog.h"
#include "gui/maintenance/master_opening_dialog.h"
#include "gui/maintenance/master_player_dialog.h"
#include "gui/maintenance/master_tournament_dialog.h"
#include "support/recording_prompter.h"

namespace movra {

class MaintenanceScreenshotTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::filesystem::path home_;
    testing::RecordingPrompter prompter_;

    void Save(QWidget& window, const QString& name) {
        PlaceCentred(&window, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(200);
        QVERIFY(window.screen()->availableGeometry().contains(window.frameGeometry()));
        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        const QString path = QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath(name);
        const QImage image = window.grab().toImage();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(path));
        std::printf("screenshot: %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
    }

private slots:
    void initTestCase() {
        RegisterFontSubstitutes();
        QVERIFY(dir_.isValid());
        home_ = QStringToPath(dir_.path()) / "movra";
        std::string error;
        QVERIFY2(PrepareProgramFolder(home_, MOVRA_BUILD_DATA_DIR, &error), error.c_str());
    }

    void duplicateDialog() {
        auto session = std::make_unique<StoreSession>();
        DuplicateDialog dialog(*session, prompter_);
        dialog.box("KishiCheck")->setChecked(false);
        dialog.box("KifCheck")->setChecked(true);
        QVERIFY(!dialog.box("TeaiCheck")->isEnabled());
        Save(dialog, QStringLiteral("duplicate_dialog.png"));
    }

    void masterDialogs() {
        MasterPlayerDialog players(home_, prompter_);
        QVERIFY(players.list()->topLevelItemCount() > 0);
        Save(players, QStringLiteral("master_player_dialog.png"));

        MasterTournamentDialog tournaments(home_, prompter_);
        Save(tournaments, QStringLiteral("master_tournament_dialog.png"));
        tournaments.findChild<QListWidget*>(QStringLiteral("KisenList"))->setCurrentRow(0);
        QVERIFY(tournaments.ShowDetail());
        Save(tournaments, QStringLiteral("master_tournament_detail.png"));

        MasterOpeningDialog openings(home_, prompter_);
        Save(openings, QStringLiteral("master_opening_dialog.png"));
    }
};

}  // namespace movra

QTEST_MAIN(movra::MaintenanceScreenshotTest)
#include "maintenance_screenshot_test.moc"
