// Where the windows open: the main window, the comment window, the game list, both search
// dialogs with their pickers, the settings and piece-set dialogs, the input box, the king and
// promotion questions, the rename dialog, message boxes and the progress panel, each at the
// three board sizes, on a screen whose corner is not the origin (so that the default position
// (2, 2) lies off it) and with window frames. Every one must lie inside the available area and
// be centred on the main window where it belongs to it; the search dialog also on its first
// opening. Also: Qt's own texts are Japanese after the start-up translation step.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest/QtTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "gui/common/fonts.h"
#include "gui/common/gui_prompter.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/common/translations.h"
#include "gui/list/detailed_search_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/list/search_dialog.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/environment_dialog.h"
#include "gui/mainwindow/input_box.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/piece_set_dialog.h"
#include "gui/mainwindow/promotion_dialog.h"
#include "gui/matesearch/king_choice_dialog.h"
#include "gui/store/store_commands.h"
#include "core/config/settings.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "list_test_store.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// Every modal window that comes up while a command runs: its class, its frame once shown, and
// how many times a window of that class came up before. `act` may answer it (return true);
// otherwise it is closed at once.
class ModalWatcher : public QObject {
public:
    struct Seen {
        QString kind;
        QRect frame;
        int appearance;
    };
    std::vector<Seen> seen;
    std::function<bool(QWidget*, int appearance)> act;

    void Run(const std::function<void()>& command) {
        QTimer timer;
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] { Look(); });
        timer.start();
        command();
        timer.stop();
    }
    std::vector<Seen> Of(const QString& kind) const {
        std::vector<Seen> out;
        for (const Seen& s : seen) {
            if (s.kind == kind) out.push_back(s);
        }
        return out;
    }

private:
    // The windows seen and still shown (the dialogs on the stack are gone once closed).
    std::vector<QPointer<QWidget>> open_;

    void Look() {
        std::erase_if(open_, [](const QPointer<QWidget>& p) { return p.isNull() || !p->isVisible(); });
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible()) return;
        if (std::find(open_.begin(), open_.end(), QPointer<QWidget>(w)) != open_.end()) return;
        open_.emplace_back(w);
        const QString kind = QString::fromLatin1(w->metaObject()->className());
        const int appearance = int(Of(kind).size());
        seen.push_back({kind, w->frameGeometry(), appearance});
        if (act && act(w, appearance)) return;
        QPointer<QWidget> later(w);
        QTimer::singleShot(0, w, [later] {
            if (auto* d = qobject_cast<QDialog*>(later.data())) d->done(QDialog::Rejected);
        });
    }
};

// The centred frame moved only as far as the area needs: where a window centred on `over`
// must stand.
QRect CentredWithin(const QSize& size, const QRect& over, const QRect& area) {
    QRect r(QPoint(), size);
    r.moveCenter(over.center());
    r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
    r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
    return r;
}

QString Describe(const QString& what, const QRect& r, const QRect& area) {
    return QStringLiteral("%1 at %2,%3 %4x%5; area %6,%7 %8x%9")
        .arg(what)
        .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
        .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
}

}  // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    QRect Area() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The window on an extended store of 30 games, with the pieces of the board size's letter.
    MainWindow& Open(char sizeLetter, const std::function<void(Settings&)>& adjust = nullptr) {
        window_.reset();
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        testing::MakeGuiListStore(home_ / "games.idx", 30, true);
        std::ofstream(home_ / "Player.txt", std::ios::binary) << "羽生善治\r\n谷川浩司\r\n"_sj.str();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        Settings settings = LoadSettings(home_, {screen.width(), screen.height()});
        settings.shogi.Koma = std::string("KOMA1") + sizeLetter + ".BMP";
        settings.shogi.LastKifFile = (home_ / "games.ipx").string();
        if (adjust) adjust(settings);
        window_ = std::make_unique<MainWindow>(home_, settings, &prompter_);
        if (!window_->Start()) qFatal("the window did not start");
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) qFatal("the window was not shown");
        return *window_;
    }

    void VerifyInside(const QString& what, const QRect& frame) {
        QVERIFY2(Area().contains(frame), qPrintable(Describe(what, frame, Area())));
    }
    void VerifyCentred(const QString& what, const QRect& frame) {
        VerifyInside(what, frame);
        const QRect want = CentredWithin(frame.size(), window_->frameGeometry(), Area());
        QVERIFY2((frame.center() - want.center()).manhattanLength() <= 2,
                 qPrintable(Describe(what, frame, Area()) + QStringLiteral(" (centred: %1,%2)")
                                .arg(want.x()).arg(want.y())));
    }

    // Every window and dialog of the program, opened the way the user opens it.
    void CheckEveryWindow(const QString& size) {
        MainWindow& w = *window_;
        const QString at = QStringLiteral(" (board %1)").arg(size);
        VerifyInside(QStringLiteral("main window") + at, w.frameGeometry());
        VerifyInside(QStringLiteral("main menu bar") + at,
                     QRect(w.menuBar()->mapToGlobal(QPoint()), w.menuBar()->size()));

        // The game list, from button 10.
        ModalWatcher list;
        list.Run([&] { w.OpenGameList(); });
        QCOMPARE(list.Of(QStringLiteral("movra::GameListWindow")).size(), std::size_t(1));
        VerifyCentred(QStringLiteral("game list") + at, list.seen[0].frame);

        // The search dialog, its player picker, the detailed search with its name list, and
        // the search dialog again when the detailed one goes back to it.
        ModalWatcher search;
        search.act = [&](QWidget* dialog, int appearance) {
            if (auto* s = qobject_cast<SearchDialog*>(dialog); s != nullptr && appearance == 0) {
                QTimer::singleShot(0, s, [s] {
                    s->PickPlayer(0);
                    s->AskDetailed();
                });
                return true;
            }
            if (auto* d = qobject_cast<DetailedSearchDialog*>(dialog)) {
                QTimer::singleShot(0, d, [d] {
                    d->referenceButton(0)->click();
                    d->reject();
                });
                return true;
            }
            return false;
        };
        search.Run([&] { w.OpenSearch(false); });
        const auto searches = search.Of(QStringLiteral("movra::SearchDialog"));
        QCOMPARE(searches.size(), std::size_t(2));
        VerifyCentred(QStringLiteral("search dialog, first opening") + at, searches[0].frame);
        VerifyCentred(QStringLiteral("search dialog, second opening") + at, searches[1].frame);
        QCOMPARE(search.Of(QStringLiteral("movra::PlayerPicker")).size(), std::size_t(1));
        VerifyInside(QStringLiteral("player picker") + at, search.Of(QStringLiteral("movra::PlayerPicker"))[0].frame);
        QCOMPARE(search.Of(QStringLiteral("movra::DetailedSearchDialog")).size(), std::size_t(1));
        VerifyCentred(QStringLiteral("detailed search") + at,
                      search.Of(QStringLiteral("movra::DetailedSearchDialog"))[0].frame);
        QCOMPARE(search.Of(QStringLiteral("movra::PlayerNameList")).size(), std::size_t(1));
        VerifyInside(QStringLiteral("player name list") + at,
                     search.Of(QStringLiteral("movra::PlayerNameList"))[0].frame);

        // The settings and piece-set dialogs, as they stand when shown.
        QRect environment, pieceSets;
        w.setEnvironmentAnswer([&](EnvironmentDialog& d) {
            d.show();
            environment = d.frameGeometry();
            return false;
        });
        w.OpenEnvironment();
        VerifyCentred(QStringLiteral("settings dialog") + at, environment);
        w.setPieceSetAnswer([&](PieceSetDialog& d) {
            d.show();
            pieceSets = d.frameGeometry();
            return false;
        });
        w.OpenPieceSets();
        VerifyCentred(QStringLiteral("piece-set dialog") + at, pieceSets);

        // The input box, the king and promotion questions and the rename dialog.
        ModalWatcher small;
        small.Run([&] {
            InputBox::Ask(&w, QStringLiteral("手数指定棋譜検索"), QStringLiteral("1"), QStringLiteral("手数指定"));
            AskDefendingKing(2, false, &w);
            PromotionDialog::Ask(QPixmap(40, 40), QPixmap(40, 40), &w);
            w.storeCommands()->RenameCommand();
        });
        QCOMPARE(small.seen.size(), std::size_t(4));
        for (const ModalWatcher::Seen& s : small.seen) VerifyCentred(s.kind + at, s.frame);

        // A message box and the progress panel of the windowed prompter.
        GuiPrompter gui(&w);
        ModalWatcher message;
        message.Run([&] { gui.Inform("\r一覧表に表示する棋譜はありません。"_sj); });
        QCOMPARE(message.seen.size(), std::size_t(1));
        VerifyCentred(QStringLiteral("message box") + at, message.seen[0].frame);
        gui.Progress("【 ソート中 】"_sj, 1, 10);
        QWidget* panel = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QStringLiteral("ProgressPanel") && top->isVisible()) panel = top;
        }
        QVERIFY(panel != nullptr);
        VerifyCentred(QStringLiteral("progress panel") + at, panel->frameGeometry());
        gui.EndProgress();
    }

private slots:
    void initTestCase() {
        RegisterFontSubstitutes();
        // The configured screen: its corner away from the origin.
        QVERIFY(Area().left() > 2 && Area().top() > 2);
    }

    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void everyWindowOpensInsideTheScreenAtEachBoardSize_data() {
        QTest::addColumn<char>("letter");
        QTest::newRow("large") << 'E';
        QTest::newRow("medium") << 'L';
        QTest::newRow("small") << 'S';
    }
    void everyWindowOpensInsideTheScreenAtEachBoardSize() {
        QFETCH(char, letter);
        Open(letter);
        QCOMPARE(window_->pictures().sizeMode(), letter == 'E' ? 0 : letter == 'L' ? 1 : 2);
        CheckEveryWindow(QString::fromLatin1(QTest::currentDataTag()));
    }

    void savedPositionsOffTheScreenAreBroughtBack() {
        // The main window saved left of the screen and the comment window near its right edge
        // (which the settings' edge rule moves only 250 pixels in, less than its width).
        Open('L', [this](Settings& s) {
            s.form.Left = Area().left() - 500;
            s.form.Top = Area().bottom() - 30;
            s.form.ComLeft = Area().right() - 60;
            s.form.ComTop = Area().top() - 40;
        });
        VerifyInside(QStringLiteral("main window"), window_->frameGeometry());
        // A game with a comment before its first move opens the comment window.
        TKifData game = testing::YaguraGame();
        game.moves[0].commentRecord = 1;
        window_->settings().shogi.AutoCom = true;
        window_->ShowGame(game, GameHeaderTexts{}, true, true);
        window_->setCommentSource([](int) {
            return std::optional<std::pair<std::string, std::string>>(
                std::make_pair(std::string("開始局面"_sj), std::string("初手まで"_sj)));
        });
        QTRY_VERIFY(window_->commentWindow()->isVisible());
        VerifyInside(QStringLiteral("comment window"), window_->commentWindow()->frameGeometry());

        // Switching to the large board keeps the grown window inside too.
        QVERIFY(window_->SetSizeMode(0));
        VerifyInside(QStringLiteral("main window after the switch"), window_->frameGeometry());
    }

    void theCommentWindowLeavesTheKeysWithTheBoard() {
        Open('L');
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        // A game opened from the list with a comment before its first move.
        TKifData game = testing::YaguraGame();
        game.moves[0].commentRecord = 1;
        window_->settings().shogi.AutoCom = true;
        window_->ShowGame(game, GameHeaderTexts{}, true, true);
        window_->setCommentSource([](int) {
            return std::optional<std::pair<std::string, std::string>>(
                std::make_pair(std::string("開始局面"_sj), std::string("序盤の解説"_sj)));
        });
        QTRY_VERIFY(window_->commentWindow()->isVisible());
        QTest::qWait(20);
        QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window_.get()));
        // The arrow keys, sent where the keyboard is, step through the game.
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Right);
        QCOMPARE(int(window_->record().currentMove), 1);
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Down);
        QCOMPARE(int(window_->record().currentMove), 2);
    }

    void qtsOwnTextsAreJapanese() {
        if (!QFile::exists(QtTranslationFolder() + QStringLiteral("/qtbase_ja.qm"))) {
            QSKIP("Qt's Japanese texts are not installed (Debian package qt6-translations-l10n)");
        }
        QVERIFY(InstallJapaneseQtTexts(*qApp));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Movra"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("はい(Y)"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("いいえ(N)"));
        QVERIFY(!box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("Cancel")));
    }
};

}  // namespace movra

// The offscreen platform with one screen of 1024 x 768 whose corner is at (40, 30), and window
// frames, so that where a window opens is measured as it would be on a desktop.
int main(int argc, char** argv) {
    QTemporaryFile config(QDir::tempPath() + QStringLiteral("/movra_screen_XXXXXX.json"));
    if (!config.open()) return 1;
    config.write(R"({"windowFrameMargins": true, "screens": [{"name": "Movra", "x": 40, "y": 30,
        "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    movra::PlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "placement_test.moc"
