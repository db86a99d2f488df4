// Screenshots of the main window under a real X server (xvfb-run), for a person to look at:
// a game at move 30 on the standard board, the same turned, the small board, the settings
// dialog and the piece-set chooser. The pictures
// go to the build folder's screenshots/ folder.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <cstdio>
#include <filesystem>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/environment_dialog.h"
#include "gui/mainwindow/piece_set_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "core/config/program_folder.h"
#include "core/config/settings.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "test_games.h"

namespace movra {

using namespace movra::literals;

class ScreenshotTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::filesystem::path home_;
    testing::RecordingPrompter prompter_;

    void Save(QWidget& window, const QString& name) {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(300);  // let a sliding piece arrive and the window settle
        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        const QString path = QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath(name);
        const QImage image = window.grab().toImage();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(path));
        std::printf("screenshot: %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
    }

    void ShowGameAt30(MainWindow& window) {
        TKifData game = testing::YaguraGame();
        for (int i = 1; i <= game.moveCount; ++i) {
            game.moves[i].consumedTime = static_cast<std::uint16_t>((i * 97) % 900 + 60 * (i % 7));
        }
        GameHeaderTexts texts;
        texts.senteName = "森川一郎"_sj;
        texts.goteName = "高田健二"_sj;
        texts.dateText = "2024年04月10日"_sj;
        texts.tournament = "名人戦"_sj;
        texts.tournamentDetail = "七番勝負"_sj;
        texts.gameNumber = "01";
        texts.opening = "矢倉"_sj;
        window.ShowGame(game, texts, true, true);
        window.JumpToLine(29);
    }

private slots:
    void initTestCase() {
        RegisterFontSubstitutes();
        QVERIFY(dir_.isValid());
        home_ = QStringToPath(dir_.path()) / "movra";
        std::string error;
        QVERIFY2(PrepareProgramFolder(home_, MOVRA_BUILD_DATA_DIR, &error), error.c_str());
    }

    void gameAtMove30() {
        MainWindow window(home_, LoadSettings(home_, {1024, 768}), &prompter_);
        QVERIFY(window.Start());
        window.show();
        ShowGameAt30(window);
        QCOMPARE(int(window.record().currentMove), 30);
        Save(window, QStringLiteral("main_window_move30.png"));
        window.TurnBoard();
        Save(window, QStringLiteral("main_window_move30_turned.png"));
        window.TurnBoard();
        window.JumpToLine(45);
        Save(window, QStringLiteral("main_window_move46.png"));
        window.settings().shogi.Save = false;
    }

    void smallAndLargeBoards() {
        Settings settings = LoadSettings(home_, {1024, 768});
        settings.shogi.Koma = "KOMA1S.BMP";
        settings.form.Color = 0;
        MainWindow small(home_, settings, &prompter_);
        QVERIFY(small.Start());
        small.show();
        ShowGameAt30(small);
        Save(small, QStringLiteral("main_window_small_256.png"));

        settings.shogi.Koma = "KOMA2E.BMP";
        settings.form.Color = 1;
        MainWindow large(home_, settings, &prompter_);
        QVERIFY(large.Start());
        large.show();
        ShowGameAt30(large);
        Save(large, QStringLiteral("main_window_large_two_character.png"));
    }

    void settingsDialogAndPieceSetChooser() {
        MainWindow window(home_, LoadSettings(home_, {1024, 768}), &prompter_);
        QVERIFY(window.Start());
        window.show();
        window.setEnvironmentAnswer([this](EnvironmentDialog& d) {
            d.show();
            Save(d, QStringLiteral("settings_general.png"));
            d.findChild<QTabWidget*>()->setCurrentIndex(1);
            Save(d, QStringLiteral("settings_sound.png"));
            return false;
        });
        window.OpenEnvironment();
        window.setPieceSetAnswer([this](PieceSetDialog& d) {
            d.show();
            Save(d, QStringLiteral("piece_set_chooser.png"));
            return false;
        });
        window.OpenPieceSets();
        window.settings().shogi.Save = false;
    }
};

}  // namespace movra

QTEST_MAIN(movra::ScreenshotTest)
#include "screenshot_test.moc"
