// Screenshots under a real X server (xvfb-run), for a person to look at: the search dialog set
// for a position search and the game list window showing its hits with the matched moves. The
// pictures go to the build folder's screenshots/ folder.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <cstdio>
#include <filesystem>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/common/translations.h"
#include "gui/list/game_list_window.h"
#include "gui/list/search_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "core/config/program_folder.h"
#include "core/config/settings.h"
#include "core/text/sjis_literal.h"
#include "gui/store/file_chooser.h"
#include "gui/store/store_commands.h"
#include "support/recording_prompter.h"
#include "list_test_store.h"

namespace movra {

using namespace movra::literals;

namespace {

class OneFile : public FileChooser {
public:
    QString file;
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return file;
    }
};

}  // namespace

class ListScreenshotTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::filesystem::path home_;
    testing::RecordingPrompter prompter_;

    void Save(QWidget& window, const QString& name) {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(300);
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

    void listAfterAPositionSearch() {
        // 45 games of the sample players and openings; most reach the position after move 20.
        testing::MakeGuiListStore(home_ / "kifu" / "screens.idx", 45, true, [](int i, testing::GuiListGame& g) {
            g.index.setSentePlayer(std::uint16_t(1 + i % 5));
            g.index.setGotePlayer(std::uint16_t(1 + (i + 2) % 5));
            g.index.setTournament(std::uint16_t(1 + i % 2));
            g.index.setSubTournament(i % 2 == 0 ? std::uint16_t(1 + i % 3) : 0);
            g.index.setGameNumber(std::uint16_t(i % 7));
            g.index.setOpening(std::uint16_t(1 + i % 6));
            g.index.setYear(std::uint16_t(1975 + i));
            g.index.setMonth(std::uint16_t(1 + i % 12));
            g.index.setDay(std::uint16_t(1 + i % 28));
            g.index.setResult(std::uint16_t(i % 5));
            if (i % 9 == 0) {
                g.index.setSentePlayer(0);
                g.detail.setSenteName("アマチュア太郎"_sj);
            }
        });
        MainWindow window(home_, LoadSettings(home_, {1024, 768}), &prompter_);
        QVERIFY(window.Start());
        OneFile chooser;
        chooser.file = PathToQString(home_ / "kifu" / "screens.ipx");
        window.setFileChooser(&chooser);
        window.storeCommands()->OpenStoreCommand();
        QVERIFY(window.storeOpen());
        window.show();
        // The board shows game 12 after move 20: that position is searched for.
        QVERIFY(window.ShowStoredGame(12, 20));

        SearchDialog* search = window.searchDialog();
        search->Prepare(false, false);
        search->positionBox()->setCurrentIndex(1);
        search->show();
        Save(*search, QStringLiteral("search_dialog_position.png"));
        search->StartSearch();
        QVERIFY(window.session().catalogue.count() > 10);

        GameListWindow* list = window.gameList();
        list->SetCatalogue();
        list->Prepare(1);
        list->show();
        list->HighlightRow(3);
        Save(*list, QStringLiteral("game_list_position_search.png"));
        list->HeaderClicked(GameListWindow::Section::Date);
        list->SetMultiMode(true);
        list->MarkAll(true);
        Save(*list, QStringLiteral("game_list_multi_era_dates.png"));
        list->SetMultiMode(false);
        list->HeaderClicked(GameListWindow::Section::Date);
        list->close();

        // The same window at each board size, small last but one so that it has to shrink: the
        // column titles stand over their columns, the list sits right under them and fills the
        // window, and the window is no larger than what it holds.
        for (const int mode : {1, 2, 0}) {
            list->Prepare(mode);
            list->show();
            QVERIFY(QTest::qWaitForWindowExposed(list));
            QTest::qWait(100);
            const QWidget* header = list->findChild<QWidget*>(QStringLiteral("HeaderControl1"));
            const QWidget* box = list->findChild<QWidget*>(QStringLiteral("ListBox1"));
            const QWidget* scroll = list->findChild<QWidget*>(QStringLiteral("ScrollBar1"));
            QVERIFY(header != nullptr && box != nullptr && scroll != nullptr);
            const QRect h(header->mapTo(list, QPoint(0, 0)), header->size());
            const QRect b(box->mapTo(list, QPoint(0, 0)), box->size());
            const QRect sb(scroll->mapTo(list, QPoint(0, 0)), scroll->size());
            QCOMPARE(h.left(), b.left());
            QCOMPARE(h.width(), b.width());
            QCOMPARE(h.bottom() + 1, b.top());
            QCOMPARE(sb.left(), b.right() + 1);
            QVERIFY2(list->width() - (sb.right() + 1) <= 12,
                     qPrintable(QStringLiteral("mode %1: window %2 wide, list and bar end at %3")
                                    .arg(mode).arg(list->width()).arg(sb.right() + 1)));
            QCOMPARE(list->size(), list->sizeHint());
            const QRect screen = list->screen()->availableGeometry();
            QVERIFY(screen.contains(list->frameGeometry()));
            Save(*list, QStringLiteral("game_list_board_size_%1.png").arg(mode));
            list->close();
        }
        window.settings().shogi.Save = false;
        prompter_.answers = {Answer::Yes};
        window.close();
    }

    // A standard message box with Qt's own button texts in Japanese, as the program shows them.
    void japaneseMessageBox() {
        if (!InstallJapaneseQtTexts(*qApp)) QSKIP("Qt's Japanese texts are not installed");
        QMessageBox box(QMessageBox::Question, QStringLiteral("Movra"),
                        QStringLiteral("保存されていない棋譜が残っています。\n\n保存しますか？"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.show();
        QVERIFY(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")));
        Save(box, QStringLiteral("message_box_japanese.png"));
    }
};

}  // namespace movra

QTEST_MAIN(movra::ListScreenshotTest)
#include "list_screenshot_test.moc"
