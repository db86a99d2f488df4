// The duplicate search dialog and the three master-data dialogs, driven through their controls
// while they run modally: the ticks and the key chords replace the catalogue, the master files
// are written only by the update buttons, closing with changes asks first, the main window reads
// a table again after its dialog wrote it, and every dialog opens inside the available area.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/duplicates/planted_store.h"
#include "core/store/open_store.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/common/qtext.h"
#include "gui/maintenance/duplicate_dialog.h"
#include "gui/maintenance/master_opening_dialog.h"
#include "gui/maintenance/master_player_dialog.h"
#include "gui/maintenance/master_tournament_dialog.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// Runs `drive` inside the dialog's modal loop once it shows.
void WhenShown(std::function<void()> drive) {
    QTimer::singleShot(0, [drive = std::move(drive)] { drive(); });
}

bool InsideScreen(const QWidget* w) {
    const QRect area = w->screen()->availableGeometry();
    return area.contains(w->frameGeometry());
}

void WriteCp932Lines(const fs::path& path, const std::vector<std::string>& utf8Lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : utf8Lines) out << Utf8ToCp932(line) << "\r\n";
}

std::vector<std::string> ReadUtf8Lines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Cp932ToUtf8(line));
    }
    return lines;
}

template <typename T>
T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no child %s", name);
    return child;
}

void Click(QWidget* parent, const char* name) { QTest::mouseClick(Child<QPushButton>(parent, name), Qt::LeftButton); }

// Japanese text arrives as an input method's commit, as it does from a real one.
void Type(QWidget* parent, const char* name, const QString& text) {
    QLineEdit* edit = Child<QLineEdit>(parent, name);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
}

std::vector<std::uint32_t> Listed(const GameCatalogue& c) {
    std::vector<std::uint32_t> out;
    for (const GameHeader& h : c.entries()) out.push_back(h.recordNumber);
    return out;
}

}  // namespace

class MaintenanceDialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    fs::path folder() const { return QStringToPath(dir_.path()); }

private slots:
    void duplicateDialogTicksAndChords() {
        const fs::path store = folder() / "dups.idx";
        const std::vector<std::string> a = {"7776", "3334"};
        std::vector<testing::PlantedGame> games(4);
        games[0] = {1, 2, 2001, 1, 1, 1, 0, a};
        games[1] = {3, 4, 2001, 1, 2, 2, 0, {"2726", "8384"}};
        games[2] = {5, 6, 2001, 1, 3, 1, 0, a};
        games[3] = {7, 8, 2001, 1, 4, 1, 0, {"7776", "3334", "8822+", "3122", "0655", "0645"}};
        testing::WritePlantedStore(store, games);
        auto session = std::make_unique<StoreSession>();
        session->store = GameStore(store, StoreKind::Classic, 4);
        session->storePath = store;
        session->openState = kOpenStateMovra;
        testing::RecordingPrompter prompter;

        DuplicateDialog dialog(*session, prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("重複棋譜検索-条件設定"));
        bool inside = false;
        WhenShown([&] {
            inside = InsideScreen(&dialog);
            // Players only (the initial tick): nothing, the dialog stays.
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("\r重複棋譜はありませんでした。"_sj));
            // Moves without players or date: the five other boxes go grey.
            QTest::mouseClick(dialog.box("KishiCheck"), Qt::LeftButton, {}, QPoint(4, 4));
            QTest::mouseClick(dialog.box("KifCheck"), Qt::LeftButton, {}, QPoint(4, 4));
            QVERIFY(!dialog.box("ShohaiCheck")->isEnabled());
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
        QVERIFY(dialog.Open());
        QVERIFY(inside);
        QCOMPARE(Listed(session->catalogue), (std::vector<std::uint32_t>{1, 3}));
        QVERIFY(dialog.criteria().moves && !dialog.criteria().players);

        // Ctrl+Alt+T, "-", answered with -2: the games of at most two moves, over the list as it is.
        dialog.setLengthQuestion([](const QString& prefill) -> std::optional<QString> {
            return prefill == QStringLiteral("-") ? std::optional<QString>(QStringLiteral("-2")) : std::nullopt;
        });
        WhenShown([&] {
            QTest::keyClick(&dialog, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
            QTest::keyClick(&dialog, Qt::Key_Minus);
        });
        QVERIFY(dialog.Open());
        QCOMPARE(Listed(session->catalogue), (std::vector<std::uint32_t>{1, 3}));
        QCOMPARE(QString::fromStdString(prompter.texts().back()),
                 QString::fromStdString("\r2件の指定手数棋譜がありました。"_sj));

        // Ctrl+Shift+T arms only the very next key: a stray key in between disarms it.
        LoadCatalogue(session->store, session->catalogue);
        WhenShown([&] {
            QTest::keyClick(&dialog, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
            QTest::keyClick(&dialog, Qt::Key_X);
            QTest::keyClick(&dialog, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(session->catalogue.count(), 4u);
            QTest::keyClick(&dialog, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
            QTest::keyClick(&dialog, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        });
        QVERIFY(dialog.Open());
        // Every game of this store ends with empty hands: game 4 dropped both bishops back.
        QCOMPARE(Listed(session->catalogue), (std::vector<std::uint32_t>{1, 2, 3, 4}));
        QCOMPARE(session->catalogue.at(3).positionHit, std::int16_t(6));

        // A game-data file that cannot be read: its message, and the dialog stays.
        fs::remove(folder() / "dups.kif");
        WhenShown([&] {
            QTest::keyClick(&dialog, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(dialog.isVisible());
            QVERIFY(QString::fromStdString(Cp932ToUtf8(prompter.texts().back())).endsWith(QStringLiteral("読込エラー！")));
            QVERIFY(!prompter.progressShown);
            dialog.reject();
        });
        QVERIFY(!dialog.Open());
    }

    void playerDialogRegistersFreesAndWrites() {
        const fs::path dat = folder() / "players";
        fs::create_directories(dat);
        const std::string blank39(39, ' ');
        WriteCp932Lines(dat / "Ksname.dat", {
            "  1 A 羽生善治            ﾊﾌﾞﾖｼﾊﾙ             ",
            "  2 D 里見香奈            ｻﾄﾐｶﾅ               ",
            "  3 D　" + blank39,
            "  4 A 谷川浩司            ﾀﾆｶﾞﾜｺｳｼﾞ           ",
            "  5 D　" + blank39,
        });
        testing::RecordingPrompter prompter;
        MasterPlayerDialog dialog(dat, prompter);
        bool inside = false;
        WhenShown([&] {
            inside = InsideScreen(&dialog);
            dialog.ChooseCategory(3);  // 女流棋士
            QCOMPARE(dialog.list()->topLevelItemCount(), 1);  // the free slots are hidden
            Click(&dialog, "NewBtn");
            QCOMPARE(Child<QLineEdit>(&dialog, "NumberEdit")->text(), QStringLiteral("3"));
            QCOMPARE(Child<QPushButton>(&dialog, "ChangeBtn")->text(), QStringLiteral("登録"));
            // Eleven full-width characters are refused, ten accepted.
            Type(&dialog, "KanjiEdit", QStringLiteral("一二三四五六七八九十壱"));
            Click(&dialog, "ChangeBtn");
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("漢字氏名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj));
            Type(&dialog, "KanjiEdit", QStringLiteral("一二三四五六七八九十"));
            Type(&dialog, "KanaEdit", QStringLiteral("ｲﾁﾆｻﾝ"));
            Click(&dialog, "ChangeBtn");
            QCOMPARE(dialog.list()->topLevelItemCount(), 2);
            QCOMPARE(dialog.list()->currentItem()->text(0).trimmed(), QStringLiteral("3"));
            // The other 女流棋士 freed.
            dialog.SortBy(PlayerColumn::Number);
            dialog.list()->setCurrentItem(dialog.list()->topLevelItem(0));
            QCOMPARE(dialog.list()->currentItem()->text(1), QStringLiteral("里見香奈            "));
            dialog.DeleteSelected();
            QCOMPARE(dialog.list()->topLevelItemCount(), 1);
            // Closing now asks; Cancel keeps the dialog.
            prompter.answers.push_back(Answer::Cancel);
            Click(&dialog, "CloseBtn");
            QVERIFY(dialog.isVisible());
            Click(&dialog, "UpdateBtn");
            QVERIFY(dialog.written());
            const std::size_t shown = prompter.shown.size();
            Click(&dialog, "CloseBtn");  // after the update nothing is asked
            QCOMPARE(prompter.shown.size(), shown);
        });
        QVERIFY(dialog.Open());
        QVERIFY(inside);
        const auto lines = ReadUtf8Lines(dat / "Ksname.dat");
        QCOMPARE(lines.size(), std::size_t(5));
        QCOMPARE(QString::fromStdString(lines[1]), QString::fromStdString("  2 D　" + blank39));
        QCOMPARE(QString::fromStdString(lines[2]),
                 QStringLiteral("  3 D 一二三四五六七八九十ｲﾁﾆｻﾝ               "));
        QCOMPARE(QString::fromStdString(lines[0]),
                 QStringLiteral("  1 A 羽生善治            ﾊﾌﾞﾖｼﾊﾙ             "));

        // Opened again: the freed slot is where the next 女流棋士 goes.
        MasterPlayerDialog again(dat, prompter);
        again.ChooseCategory(3);
        QCOMPARE(again.list()->topLevelItemCount(), 1);
        again.StartNew();
        QCOMPARE(Child<QLineEdit>(&again, "NumberEdit")->text(), QStringLiteral("2"));

        // Without a readable file nothing may replace it.
        MasterPlayerDialog none(folder() / "nowhere", prompter);
        QCOMPARE(QString::fromStdString(prompter.texts().back()),
                 QString::fromStdString("\r棋士名データが読めません。"_sj));
        QVERIFY(!Child<QPushButton>(&none, "UpdateBtn")->isEnabled());
    }

    void tournamentDialogRenamesRowsAndSubRows() {
        const fs::path dat = folder() / "tournaments";
        fs::create_directories(dat);
        WriteCp932Lines(dat / "Movra.dat", {" 1 名人戦", "++01 予選", "++02 本戦", " 2 竜王戦"});
        testing::RecordingPrompter prompter;
        MasterTournamentDialog dialog(dat, prompter);
        bool inside = false;
        WhenShown([&] {
            inside = InsideScreen(&dialog);
            auto* list = Child<QListWidget>(&dialog, "KisenList");
            QCOMPARE(list->count(), 99);
            QCOMPARE(list->item(0)->text(), QStringLiteral("     1     名人戦"));
            // Row 4 has no name: no detail panel.
            list->setCurrentRow(3);
            QVERIFY(!dialog.ShowDetail());
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("\r棋戦名が登録されていません。"_sj));
            Type(&dialog, "KisenEdit", QStringLiteral("王位戦"));
            Click(&dialog, "ChangeBtn");
            list->setCurrentRow(1);
            Type(&dialog, "KisenEdit", QStringLiteral("新竜王戦"));
            Click(&dialog, "ChangeBtn");
            list->setCurrentRow(0);
            QVERIFY(dialog.ShowDetail());
            auto* details = Child<QListWidget>(&dialog, "DetailList");
            QCOMPARE(details->item(1)->text(), QStringLiteral("     2     本戦"));
            details->setCurrentRow(2);
            Type(&dialog, "DetailEdit", QStringLiteral("決勝五番勝負決勝五番勝負"));  // 24 bytes
            Click(&dialog, "DetailChangeBtn");
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("詳細棋戦名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj));
            Type(&dialog, "DetailEdit", QStringLiteral("決勝"));
            Click(&dialog, "DetailChangeBtn");
            Click(&dialog, "BackBtn");
            QVERIFY(!dialog.detailShown());
            Click(&dialog, "UpdateBtn");
            Click(&dialog, "CloseBtn");
        });
        QVERIFY(dialog.Open());
        QVERIFY(inside);
        const auto lines = ReadUtf8Lines(dat / "Movra.dat");
        const std::vector<std::string> expected = {" 1 名人戦", "++01 予選", "++02 本戦", "++03 決勝",
                                                   " 2 新竜王戦", " 4 王位戦"};
        QCOMPARE(lines, expected);
    }

    // Through the settings menu: the opening dialog writes, the main window reads the table again.
    void openingDialogFromTheMainWindow() {
        QTemporaryDir home;
        const fs::path program = testing::FreshProgramFolder(home);
        testing::RecordingPrompter prompter;
        auto window = testing::StartedWindow(program, prompter);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // The sample store is of the extended kind: the duplicate group is named for it.
        QVERIFY(window->session().store.extended());
        QCOMPARE(window->menus()->duplicatesMenu()->title(), QStringLiteral("Movraﾌﾟﾗｽ重複削除(&U)"));
        QVERIFY(window->menus()->duplicateSearchAction()->isEnabled());
        const std::string before = window->session().openings.Row(1).name;
        bool inside = false;
        WhenShown([&] {
            auto* dialog = qobject_cast<MasterOpeningDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            inside = InsideScreen(dialog);
            auto* list = Child<QListWidget>(dialog, "SenkeiList");
            list->setCurrentRow(1);
            Type(dialog, "SenkeiEdit", QStringLiteral("一二三四五六七八九十壱"));
            Click(dialog, "ChangeBtn");
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("戦型名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj));
            Type(dialog, "SenkeiEdit", QStringLiteral("新戦型"));
            Click(dialog, "ChangeBtn");
            QCOMPARE(list->item(1)->text(), QStringLiteral("     2     新戦型"));
            // Escape with the change unsaved asks; Yes closes without writing.
            prompter.answers.push_back(Answer::Yes);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        window->menuBar()->findChild<QAction*>(QStringLiteral("MENU04_4"))->trigger();
        QVERIFY(inside);
        QCOMPARE(window->session().openings.Row(1).name, before);
        QCOMPARE(QString::fromStdString(prompter.texts().back()),
                 QString::fromStdString("戦型名データが変更されています！\r更新せずに終了してよろしいですか？"_sj));

        WhenShown([&] {
            auto* dialog = qobject_cast<MasterOpeningDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            Child<QListWidget>(dialog, "SenkeiList")->setCurrentRow(1);
            Type(dialog, "SenkeiEdit", QStringLiteral("新戦型"));
            Click(dialog, "ChangeBtn");
            Click(dialog, "UpdateBtn");
            QCOMPARE(QString::fromStdString(prompter.texts().back()),
                     QString::fromStdString("\r戦型名データを更新しました。"_sj));
            Click(dialog, "CloseBtn");
        });
        window->menuBar()->findChild<QAction*>(QStringLiteral("MENU04_4"))->trigger();
        QCOMPARE(QString::fromStdString(window->session().openings.Row(1).name),
                 QString::fromStdString("新戦型"_sj));
        QCOMPARE(window->session().openings.NumberByName("新戦型"_sj), 2);
    }
};

}  // namespace movra

QTEST_MAIN(movra::MaintenanceDialogsTest)
#include "maintenance_dialogs_test.moc"
