// The game list window under the offscreen platform: paging at the ends of a catalogue of 41
// games, the line format with double-byte names cut at the width, the modes and marks,
// deleting and exchanging games, header clicks, the list dump and the chosen game.
#include <QDir>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "core/list/game_list_page.h"
#include "gui/list/game_list_window.h"
#include "gui/store/file_chooser.h"
#include "core/text/paths.h"
#include "core/config/settings.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"
#include "list_test_store.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

class GameListTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    std::unique_ptr<StoreSession> session_;
    Settings settings_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<GameListWindow> list_;

    // A store of `count` games in a fresh program folder, opened, and the list window on it.
    // The store is in the program folder, or in its subfolder `folder`.
    GameListWindow& Open(int count, bool extended = true,
                         const std::function<void(int, testing::GuiListGame&)>& maker = nullptr,
                         const fs::path& folder = {}) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        // Player 1's name has 13 bytes and its 12th byte starts a double-byte character.
        std::ofstream(home_ / "Ksname.dat", std::ios::binary)
            << "  1 A 羽生善治            ﾊﾌﾞﾖｼﾊﾙ             \r\n"_sj.str()
            << "  2 A a永瀬拓矢王座       ﾅｶﾞｾﾀｸﾔ             \r\n"_sj.str();
        testing::MakeGuiListStore(home_ / folder / "games.idx", count, extended, maker);
        session_ = std::make_unique<StoreSession>();
        session_->programFolder = home_;
        prompter_.shown.clear();
        if (!OpenStore(*session_, home_ / folder / (extended ? "games.ipx" : "games.idx"), true, prompter_).opened) {
            qFatal("the store did not open");
        }
        settings_ = Settings{};
        list_ = std::make_unique<GameListWindow>(*session_, settings_, home_, prompter_);
        list_->SetCatalogue();
        list_->Prepare(1);
        list_->show();
        return *list_;
    }
    QString Caption() const { return list_->windowTitle(); }
    std::string Line(int row) const {
        const QByteArray b = list_->listBox()->item(row)->data(Qt::UserRole + 1).toByteArray();
        return std::string(b.constData(), std::size_t(b.size()));
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(list_->listBox(), Qt::Key(key), mods);
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }

    void cleanup() {
        list_.reset();
        session_.reset();
    }

    void pagingAtTheEndsOfFortyOneGames() {
        GameListWindow& list = Open(41);
        QCOMPARE(list.listBox()->count(), 20);
        QCOMPARE(list.pageBar()->maximum(), 2);
        QVERIFY(Caption().startsWith(QStringLiteral("棋譜一覧 ( 1 / 41 局)  先手:21勝 後手:20勝")));
        list.NextPage();
        list.NextPage();
        QCOMPARE(list.pageStart(), 41u);
        QCOMPARE(list.listBox()->count(), 1);
        list.NextPage();  // the last page: nothing
        QCOMPARE(list.pageStart(), 41u);
        Key(Qt::Key_Down);  // the last row of the last page: nothing special
        QCOMPARE(list.pageStart(), 41u);
        Key(Qt::Key_Home);
        QCOMPARE(list.pageStart(), 1u);
        list.HighlightRow(19);
        QVERIFY(Caption().startsWith(QStringLiteral("棋譜一覧 ( 20 / 41 局)")));
        Key(Qt::Key_Down);  // the last row of a full page turns it
        QCOMPARE(list.pageStart(), 21u);
        QCOMPARE(list.highlightedRow(), 0);
        Key(Qt::Key_Up);  // the first row goes back to the previous page's last row
        QCOMPARE(list.pageStart(), 1u);
        QCOMPARE(list.highlightedRow(), 19);
        Key(Qt::Key_Up);
        QCOMPARE(list.highlightedRow(), 18);
        Key(Qt::Key_PageDown);
        QCOMPARE(list.pageStart(), 21u);
        Key(Qt::Key_End);
        QCOMPARE(list.pageStart(), 41u);
        Key(Qt::Key_PageUp);
        QCOMPARE(list.pageStart(), 21u);
        // The wheel towards the user turns to the next page, away from the user back.
        QWheelEvent down(QPointF(10, 10), list.listBox()->mapToGlobal(QPointF(10, 10)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.listBox()->viewport(), &down);
        QCOMPARE(list.pageStart(), 41u);
        list.pageBar()->setValue(0);
        QCOMPARE(list.pageStart(), 1u);
        QCOMPARE(list.listBox()->count(), 20);
        // The lines name the games in catalogue order.
        QVERIFY(Line(3).find("2004/01/01") != std::string::npos);
    }

    void lineFormatCutsDoubleByteNamesAtTheWidth() {
        Open(3, true, [](int i, testing::GuiListGame& g) {
            g.index.setSentePlayer(1);
            g.index.setGotePlayer(2);
            if (i == 3) {
                g.index.setGotePlayer(0);
                g.detail.setGoteName("あいうえおかきく"_sj);  // 16 bytes: cut to 12
            }
        });
        const std::string line = Line(0);
        QCOMPARE(ToQString(line.substr(1, 12)), ToQString(PadOrCut("羽生善治"_sj, 12)));
        QCOMPARE(ToQString(line.substr(13, 12)), ToQString("a永瀬拓矢王 "_sj));
        // The columns after the cut name stay in place.
        QCOMPARE(ToQString(line.substr(25, 13)), QString(13, QLatin1Char(' ')));
        QCOMPARE(ToQString(line.substr(41, 13)), QStringLiteral("  2001/01/01 "));
        QCOMPARE(ToQString(Line(2).substr(13, 12)), ToQString("あいうえおか"_sj));
        QCOMPARE(list_->header()->text(GameListWindow::Section::Info), QStringLiteral("手合い"));
        // Drawn on the byte grid, the line is as wide as its bytes.
        const QImage shot = list_->listBox()->viewport()->grab().toImage();
        QVERIFY(!shot.isNull());
    }

    void headerClicksChangeTheColumnsNotTheOrder() {
        GameListWindow& list = Open(2, true, [](int, testing::GuiListGame& g) {
            g.detail.setSenteRating(1800);
            g.detail.setGoteRating(1750);
        });
        const std::string before = Line(0);
        list.HeaderClicked(GameListWindow::Section::Date);
        QVERIFY(!settings_.form.DateType);
        QCOMPARE(ToQString(Line(0).substr(41, 13)), ToQString("平成13/01/01 "_sj));
        list.HeaderClicked(GameListWindow::Section::Result);
        QVERIFY(!settings_.form.WinType);
        QCOMPARE(ToQString(Line(0).substr(54, 10)), ToQString("▲勝ち    "_sj));
        list.HeaderClicked(GameListWindow::Section::Info);
        QCOMPARE(list.header()->text(GameListWindow::Section::Info), QStringLiteral("ﾚｰﾃｨﾝｸﾞ"));
        QVERIFY(QString::fromStdString(Line(0)).endsWith(QStringLiteral("1800 1750")));
        list.HeaderClicked(GameListWindow::Section::Tournament);
        QCOMPARE(list.header()->text(GameListWindow::Section::Tournament), QStringLiteral("棋戦名詳細"));
        list.HeaderClicked(GameListWindow::Section::Sente);  // does nothing
        QCOMPARE(session_->catalogue.at(0).recordNumber, 1u);
        // A click on the header bar itself reaches the same switch.
        const QRect date = list.header()->sectionRect(GameListWindow::Section::Date);
        QTest::mouseClick(list.header(), Qt::LeftButton, {}, date.center());
        QVERIFY(settings_.form.DateType);
        QVERIFY(Line(0) != before);
    }

    void deletingTheOnlyGameOnTheLastPage() {
        GameListWindow& list = Open(41);
        list.pageBar()->setValue(2);
        QCOMPARE(list.listBox()->count(), 1);
        prompter_.answers = {Answer::Yes};
        list.DeleteGames();
        QCOMPARE(session_->catalogue.count(), 40u);
        QCOMPARE(session_->store.recordCount, 40u);
        QCOMPARE(list.pageStart(), 21u);
        QCOMPARE(list.highlightedRow(), 0);
        QVERIFY(list.catalogueChanged());
        QVERIFY(Caption().contains(QStringLiteral("/ 40 局)  先手:20勝 後手:20勝")));
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString(DeleteOneQuestionForTest()));
        // No is an answer too: nothing goes.
        prompter_.answers = {Answer::No};
        list.DeleteGames();
        QCOMPARE(session_->catalogue.count(), 40u);
        // Ctrl+Alt+D deletes the highlighted game without asking.
        const std::size_t asked = prompter_.shown.size();
        Key(Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(session_->catalogue.count(), 39u);
        QCOMPARE(prompter_.shown.size(), asked);
    }

    void multiModeMarksAndDeletesAcrossPages() {
        GameListWindow& list = Open(25, false);
        prompter_.shown.clear();
        Key(Qt::Key_M);
        QVERIFY(list.multiMode());
        QVERIFY(!list.findChild<QPushButton*>(QStringLiteral("KifBtn"))->isEnabled());
        // Nothing marked: the information and nothing deleted.
        list.DeleteGames();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\r削除する棋譜を選択してください！"_sj));
        list.listBox()->item(1)->setSelected(true);
        list.listBox()->item(2)->setSelected(true);
        list.NextPage();
        list.listBox()->item(0)->setSelected(true);  // game 21
        QCOMPARE(session_->catalogue.at(1).selectionMark, std::uint8_t(1));
        list.PreviousPage();
        QVERIFY(list.listBox()->item(1)->isSelected());  // the marks come back with the page
        prompter_.answers = {Answer::Yes};
        list.DeleteGames();
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString("選択された 3個の棋譜を削除します。\r\rよろしいですか？"_sj));
        QCOMPARE(session_->catalogue.count(), 22u);
        QCOMPARE(int(session_->catalogue.at(1).year), 2004);
        QCOMPARE(int(session_->catalogue.at(17).year), 2020);
        QCOMPARE(int(session_->catalogue.at(18).year), 2022);
        QCOMPARE(session_->catalogue.at(18).recordNumber, 19u);
        // Switching modes clears every mark; "select all" is a multi-mode command.
        list.MarkAll(true);
        QCOMPARE(CountMarks(), 22u);
        list.SetMultiMode(false);
        QCOMPARE(CountMarks(), 0u);
        list.MarkAll(true);
        QCOMPARE(CountMarks(), 0u);
    }

    void exchangingNeighboursMovesTheHighlightWithTheGame() {
        GameListWindow& list = Open(22);
        list.HighlightRow(19);
        Key(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(list.pageStart(), 21u);
        QCOMPARE(list.highlightedRow(), 0);
        QCOMPARE(int(session_->catalogue.at(20).year), 2020);
        QCOMPARE(int(session_->catalogue.at(19).year), 2021);
        QCOMPARE(session_->catalogue.at(20).recordNumber, 21u);
        IndexRecord r;
        QVERIFY(ReadIndexRecord(session_->store, 21, r));
        QCOMPARE(int(r.year()), 2020);
        Key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(list.pageStart(), 1u);
        QCOMPARE(list.highlightedRow(), 19);
        QCOMPARE(int(session_->catalogue.at(19).year), 2020);
    }

    void listDumpAndTheChosenGame() {
        GameListWindow& list = Open(3, true, [](int i, testing::GuiListGame& g) {
            g.index.setSentePlayer(1);
            if (i == 2) g.index.setHandicap(0);
        });
        session_->catalogue.at(1).positionHit = 12;  // game 2 has 12 moves: its final position
        session_->catalogue.at(2).positionHit = 4;
        list.SetCatalogue();
        list.Prepare(1);
        QVERIFY(QString::fromStdString(Line(1)).size() > 0);
        Key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        QVERIFY(fs::exists(home_ / "Ichiran.txt"));
        std::ifstream in(home_ / "Ichiran.txt", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        QVERIFY(text.starts_with("     No. 先手          後手"_sj.str()));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 4L);

        list.HighlightRow(1);
        Key(Qt::Key_Return);
        QCOMPARE(list.result(), GameListWindow::Result::ShowGame);
        QCOMPARE(list.selectedEntry().recordNumber, 2u);
        const auto parsed = ParseSelectedGameLine(list.selectedLine());
        QVERIFY(parsed.has_value());
        QCOMPARE(parsed->recordNumber, 2u);
        QCOMPARE(parsed->positionHit, 12);
        QCOMPARE(list.currentPosition(), 1u);
        QCOMPARE(ToQString(list.selectedLine().substr(9, 24)), ToQString(PadOrCut("羽生善治"_sj, 24)));
        // The information column shows the move after the matched position.
        // The information column shows the move made from the matched position.
        QVERIFY2(ToQString(Line(1)).endsWith(QStringLiteral(" 終局")), qPrintable(ToQString(Line(1))));
        QVERIFY2(ToQString(Line(2)).endsWith(QStringLiteral(" ▲６六歩")), qPrintable(ToQString(Line(2))));
    }

    void timedExportWritesEachMarkedGame() {
        GameListWindow& list = Open(6);
        struct OneFolder : FileChooser {
            QString folder;
            QString Folder(QWidget*, const QString&, const QString&) override { return folder; }
        } chooser;
        const fs::path out = home_ / "out";
        fs::create_directories(out);
        std::ofstream(out / "r0101001.kif") << "taken";
        chooser.folder = PathToQString(out);
        list.setFileChooser(&chooser);
        std::vector<std::uint32_t> records;
        list.setExportHook([&](const GameHeader& entry, const fs::path& path) {
            records.push_back(entry.recordNumber);
            std::ofstream(path) << entry.recordNumber;
            return true;
        });
        list.SetMultiMode(true);
        prompter_.shown.clear();
        list.ExportGames();  // nothing marked
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\r変換する棋譜を選択してください！"_sj));
        list.listBox()->item(1)->setSelected(true);
        list.listBox()->item(4)->setSelected(true);
        prompter_.answers = {Answer::Yes};
        list.ExportGames();
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString("選択された 2個の棋譜を変換します。\r\rよろしいですか？"_sj));
        QVERIFY(list.exportRunning());
        QVERIFY(!list.listBox()->isEnabled());
        QVERIFY(!list.findChild<QWidget*>(QStringLiteral("PrintPanel"))->isHidden());
        list.close();  // the window does not close while the run goes on
        QVERIFY(list.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!list.exportRunning(), 5000);
        QCOMPARE(records, (std::vector<std::uint32_t>{2, 5}));
        QVERIFY(fs::exists(out / "r0101002.kif"));
        QVERIFY(fs::exists(out / "r0101003.kif"));
        QVERIFY(list.listBox()->isEnabled());
        QVERIFY(list.findChild<QWidget*>(QStringLiteral("PrintPanel"))->isHidden());

        // The cancel button ends the run after the game in hand.
        list.MarkAll(true);
        prompter_.answers = {Answer::Yes};
        list.ExportGames();
        QTRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, 5000);
        list.CancelExport();
        QTRY_VERIFY_WITH_TIMEOUT(!list.exportRunning(), 5000);
        QVERIFY(records.size() < 2 + 6);
    }

    void savingGamesIntoAnotherStore() {
        GameListWindow& list = Open(6);
        struct SaveName : FileChooser {
            QString name;
            QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return name; }
        } chooser;
        list.setFileChooser(&chooser);
        const auto games = [](const fs::path& index) {
            std::uint32_t count = 0;
            testing::RecordingPrompter quiet;
            return ValidateStore(index, count, quiet) == StoreCheck::Extended ? count : 0u;
        };
        // Refused names: another kind's extension, the open store itself.
        chooser.name = PathToQString(home_ / "copy.idx");
        list.SaveGamesAs();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\rファイル名が正しくありません！"_sj));
        chooser.name = PathToQString(home_ / "games.ipx");
        list.SaveGamesAs();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\r指定したファイルは現在使用中です！"_sj));
        QVERIFY(!fs::exists(home_ / "copy.idx"));

        // Single mode: the highlighted game into a new store named without an extension.
        chooser.name = PathToQString(home_ / "copy");
        list.SaveGamesAs();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("copy に出力しました。"_sj));
        QCOMPARE(games(home_ / "copy.idx"), 1u);

        // Multi mode: nothing marked, then two marked games appended; "No" would overwrite.
        list.SetMultiMode(true);
        chooser.name = PathToQString(home_ / "copy.ipx");
        list.SaveGamesAs();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\r保存する棋譜を選択してください！"_sj));
        list.listBox()->item(1)->setSelected(true);
        list.listBox()->item(4)->setSelected(true);
        prompter_.answers = {Answer::Yes, Answer::Yes};
        list.SaveGamesAs();
        const std::vector<std::string> texts = prompter_.texts();
        QCOMPARE(ToQString(texts[texts.size() - 3]),
                 ToQString("選択された 2個の棋譜を\rファイルに保存します。\r\rよろしいですか？"_sj));
        QCOMPARE(ToQString(texts[texts.size() - 2]),
                 ToQString("copy.ipx は既に存在します。\r\r追加書きしてよろしいですか？\r\r上書きする場合は「いいえ」をクリックしてください。"_sj));
        QCOMPARE(games(home_ / "copy.idx"), 3u);
        prompter_.answers = {Answer::Yes, Answer::No};
        list.SaveGamesAs();
        QCOMPARE(games(home_ / "copy.idx"), 2u);
        prompter_.answers = {Answer::Yes, Answer::Cancel};
        list.SaveGamesAs();
        QCOMPARE(games(home_ / "copy.idx"), 2u);
    }

    // A store in a folder with a Japanese name: the save and export choosers start in that
    // folder, named as it is on disk, and the names chosen there are the files written.
    void aJapaneseFolderNameReachesTheChoosersAndComesBack() {
        const fs::path folder(u8"将棋の棋譜");
        GameListWindow& list = Open(3, true, nullptr, folder);
        const QString shown = QDir(dir_->path()).filePath(QStringLiteral("movra/将棋の棋譜"));
        struct Recording : FileChooser {
            QStringList starts;
            QString answer;
            QString SaveFile(QWidget*, const QString&, const QString& start, const QString&) override {
                starts.append(start);
                return answer;
            }
            QString Folder(QWidget*, const QString&, const QString& start) override {
                starts.append(start);
                return answer;
            }
        } chooser;
        list.setFileChooser(&chooser);

        chooser.answer = shown + QStringLiteral("/写し.ipx");
        list.SaveGamesAs();
        QCOMPARE(chooser.starts.value(0), shown);
        QCOMPARE(ToQString(prompter_.texts().back()), QStringLiteral("写し.ipx に出力しました。"));
        QVERIFY(fs::exists(home_ / folder / fs::path(u8"写し.idx")));

        std::vector<fs::path> written;
        list.setExportHook([&](const GameHeader&, const fs::path& path) {
            written.push_back(path);
            return true;
        });
        fs::create_directories(home_ / folder / fs::path(u8"書き出し"));
        chooser.answer = shown + QStringLiteral("/書き出し");
        list.ExportGames();
        QCOMPARE(chooser.starts.value(1), shown);
        QTRY_VERIFY_WITH_TIMEOUT(!list.exportRunning(), 5000);
        QCOMPARE(written.size(), std::size_t(1));
        QCOMPARE(written[0].parent_path(), home_ / folder / fs::path(u8"書き出し"));
    }

    void theListPrintsFiftyGamesAPage() {
        GameListWindow& list = Open(55, false);
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = PathToQString(home_ / "list.pdf");
        printer.setOutputFileName(pdf);
        QVERIFY(list.PrintListTo(printer, 2));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Two copies of two pages.
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 4);
    }

private:
    std::uint32_t CountMarks() const {
        std::uint32_t n = 0;
        for (const GameHeader& e : session_->catalogue.entries()) n += e.selectionMark;
        return n;
    }
    // The question for the game that was on the last page: game 41 has no player numbers.
    static std::string DeleteOneQuestionForTest() {
        return "「(未登録)」 x 「(未登録)」 の\r 棋譜を削除します！\r\rよろしいですか？"_sj;
    }
};

}  // namespace movra

QTEST_MAIN(movra::GameListTest)
#include "game_list_test.moc"
