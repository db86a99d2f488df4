// The position collection from the main window: replay button 12 adding the shown position, the
// collection window with four diagrams (its picture left in build/screenshots), paging, the info
// dialog's limits, deleting, cutting and pasting with renumbering, bitmaps, printing to PDF, the
// question about a changed collection at closing and the collection reopened at start-up.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>

#include "core/diagram/diagram_layout.h"
#include "core/positions/collection_file.h"
#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/diagram/title_dialog.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/positions/collection_window.h"
#include "gui/positions/position_commands.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

const char* const kSfens[] = {
    "4k4/9/4P4/9/9/9/9/9/4K4 b G 1",
    "8k/9/9/9/9/9/9/9/K8 b RB 1",
    "4k4/9/9/9/9/9/9/9/4K4 b 18P 1",
    "ln1g3nl/1r4gk1/p1sppsbpp/1pp2pp2/9/2PP3P1/PPBSPPP1P/2G2S1R1/LN2KG1NL b - 1",
    "k8/9/9/9/9/9/9/9/8K b S 1",
    "9/9/9/9/4k4/9/9/9/4K4 b N 1",
};

PieceTable Pieces(int i) { return ParseSfen(kSfens[i])->position.pieces; }

// The titles of the working copy's positions with their numbers, page by page.
std::string Titles(const fs::path& workingCopy) {
    std::string t;
    const std::optional<CollectionContents> c = ReadCollection(workingCopy);
    if (!c) return "unreadable";
    for (const CollectionPage& p : c->pages) {
        for (int s = 0; s < 4; ++s) {
            const PositionSlot slot = p.slot(s);
            t += slot.filled() ? slot.title() + "#" + std::to_string(slot.number()) + " " : std::string("- ");
        }
        t += "| ";
    }
    return t;
}

QImage Quarter(const QImage& picture, int q) {
    const int w = picture.width() / 2, h = picture.height() / 2;
    return picture.copy((q % 2) * w, (q / 2) * h, w, h);
}

int PdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000)) return -1;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
    }
    return -1;
}

}  // namespace

class PositionsGuiTest : public QObject {
    Q_OBJECT

private slots:
    // One flow through the window: the collection made with button 12 and grown to six
    // positions, then paged, edited, printed and rearranged.
    void collectionWindowFlow() {
        QTemporaryDir dir;
        const fs::path home = testing::FreshProgramFolder(dir);
        testing::RecordingPrompter prompter;
        auto window = testing::StartedWindow(home, prompter);
        window->show();
        PositionCommands* positions = window->positionCommands();
        PositionCollection& collection = positions->collection();
        QVERIFY(!collection.exists());
        QAction* save = window->menus()->positionItems()[2];

        // A new collection opens on its only page: four empty boards.
        QImage empty;
        positions->windowAnswer = [&](CollectionWindow& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("局面図 - （無題） --- 1 / 1 ﾍﾟｰｼﾞ"));
            QVERIFY(!w.page().HasPositions());
            empty = w.picture();
        };
        positions->OpenWindow();
        QVERIFY(collection.untitled());
        QVERIFY(!save->isEnabled());

        // Button 12: the title dialog names it ("%d" asks for the whole title), and the shown
        // position goes in as position 1.
        window->settings().btimap.TitleNo = 1;
        window->settings().btimap.Title1 = "%d";
        positions->titleAnswer = [](TitleDialog& d) {
            d.titleEdit()->setText(QStringLiteral("初形"));
            return true;
        };
        QVERIFY(window->replayPanel()->button(ReplayPanel::AddPosition)->isEnabled());
        window->PressButton(ReplayPanel::AddPosition);
        QCOMPARE(collection.usedSlots(), 1);
        QVERIFY(save->isEnabled());
        QCOMPARE(collection.appendBuffer().slot(0).title(), std::string("初形"_sj));
        QCOMPARE(collection.appendBuffer().slot(0).pieces(), window->record().position.pieces);
        for (int i = 0; i < 6; ++i) {
            QVERIFY(collection.Add({std::to_string(i + 2), "▲先手"_sj, "△後手"_sj, ""}, Pieces(i), prompter));
        }
        QCOMPARE(collection.appendPage(), 1);
        QCOMPARE(collection.usedSlots(), 3);
        const fs::path work = collection.workingCopy();

        positions->windowAnswer = [&](CollectionWindow& w) {
            // Two pages; the remembered page (the append page) is shown.
            QCOMPARE(w.lastPage(), 1);
            QCOMPARE(w.currentPage(), 1);
            QCOMPARE(w.windowTitle(), QStringLiteral("局面図 - （無題） --- 2 / 2 ﾍﾟｰｼﾞ"));
            QTest::keyClick(&w, Qt::Key_Home);
            QCOMPARE(w.currentPage(), 0);
            // Inside the screen, centred over the main window.
            w.show();
            QVERIFY(AvailableArea(&w).contains(w.frameGeometry()));
            for (int q = 0; q < 4; ++q) QVERIFY2(Quarter(w.picture(), q) != Quarter(empty, q), qPrintable(QString::number(q)));
            QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
            QVERIFY(w.grab().toImage().save(QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath(QStringLiteral("collection_window.png"))));

            // Paging: keys, the buttons' limits and the page-move dialog.
            QTest::keyClick(&w, Qt::Key_PageUp);
            QCOMPARE(w.currentPage(), 0);
            QTest::keyClick(&w, Qt::Key_PageDown);
            QTest::keyClick(&w, Qt::Key_PageDown);
            QCOMPARE(w.currentPage(), 1);
            int asked = 0;
            w.pageAnswer = [&](const QString& initial) -> std::optional<QString> {
                ++asked;
                return initial;
            };
            QTest::keyClick(&w, Qt::Key_0);
            QCOMPARE(asked, 0);
            QTest::keyClick(&w, Qt::Key_5);  // page 5 does not exist
            QCOMPARE(asked, 1);
            QCOMPARE(w.currentPage(), 1);
            QTest::keyClick(&w, Qt::Key_1);
            QCOMPARE(w.currentPage(), 0);

            // The info dialog: 35 bytes of title pass, 36 are refused.
            const QString title35 = QStringLiteral("12345678901234567890123456789012345");
            w.infoAnswer = [&](SlotInfoDialog& d) {
                d.titleEdit()->setText(title35 + QStringLiteral("6"));
                d.accept();
                if (d.result() == QDialog::Accepted) return false;
                if (prompter.shown.back().text != "\rタイトルは半角34(全角17)文字以内で入力して下さい。"_sj) return false;
                d.titleEdit()->setText(title35);
                d.senteEdit()->setText(QStringLiteral("▲羽生"));
                d.commentEdit()->setPlainText(QStringLiteral("一行目\n二行目"));
                d.accept();
                return d.result() == QDialog::Accepted;
            };
            QVERIFY(w.EditInfo(0));
            QCOMPARE(w.page().slot(0).title(), ToCp932(title35));
            QCOMPARE(w.page().slot(0).senteLabel(), std::string("▲羽生"_sj));
            QCOMPARE(w.page().slot(0).comment(), std::string("一行目二行目"_sj));
            QCOMPARE(w.page().slot(0).number(), 1);
            {
                // The comment is drawn below the board, inside the cell.
                const DiagramGeometry g = Geometry(1, 1);
                const QRect line(4 + g.x0, 4 + g.Comment(0).y, 10 * g.w, g.hD());
                int ink = 0;
                for (int y = line.top(); y <= line.bottom(); ++y) {
                    for (int x = line.left(); x <= line.right(); ++x) ink += qGray(w.picture().pixel(x, y)) < 128 ? 1 : 0;
                }
                QVERIFY(ink > 40);
            }

            // Deleting diagram 2 renumbers the rest; the first of page 2 moves up.
            prompter.answers = {Answer::Yes};
            QVERIFY(w.DeleteOne(1));
            QCOMPARE(prompter.shown.back().text,
                     "局面図を削除します！\r\rタイトル：2\r先手\r後手\r\rよろしいですか？"_sj);
            QCOMPARE(Titles(work), ToCp932(title35) + "#1 3#2 4#3 5#4 | 6#5 7#6 - - | ");

            // Cut diagram 1, paste it into an empty quarter of page 2: pasted once only.
            QVERIFY(w.Cut(0));
            QCOMPARE(Titles(work), "3#1 4#2 5#3 6#4 | 7#5 - - - | ");
            w.GoToPage(1);
            QVERIFY(w.Paste(3));
            QCOMPARE(Titles(work), "3#1 4#2 5#3 6#4 | 7#5 - - " + ToCp932(title35) + "#8 | ");
            QVERIFY(w.MenuFor(2) == nullptr);
            // Copy it and insert it before diagram 1: everything shifts by one.
            w.Copy(3);
            std::unique_ptr<QMenu> menu(w.MenuFor(1));
            QVERIFY(menu != nullptr);
            QVERIFY(menu->findChild<QAction*>(QStringLiteral("N2_1")) != nullptr);
            w.GoToPage(0);
            menu.reset(w.MenuFor(0));
            QVERIFY(menu->findChild<QAction*>(QStringLiteral("N1_12"))->isEnabled());
            menu->findChild<QAction*>(QStringLiteral("N1_12"))->trigger();
            QCOMPARE(Titles(work), ToCp932(title35) + "#1 3#2 4#3 5#4 | 6#5 7#6 " + ToCp932(title35) + "#7 - | ");
            menu.reset(w.MenuFor(0));
            QVERIFY(!menu->findChild<QAction*>(QStringLiteral("N1_12"))->isEnabled());
            // The hidden mobile items stay hidden until shown, and say they are not there yet.
            QVERIFY(!menu->findChild<QAction*>(QStringLiteral("N1_13"))->isVisible());

            // Several at once (key D): diagrams 2 and 4 of page 1.
            w.deleteAnswer = [&](DeleteSlotsDialog& d) {
                d.box(1)->setChecked(true);
                d.box(3)->setChecked(true);
                prompter.answers = {Answer::Yes};
                d.accept();
                return d.result() == QDialog::Accepted;
            };
            QTest::keyClick(&w, Qt::Key_D);
            QCOMPARE(Titles(work), ToCp932(title35) + "#1 4#2 6#3 7#4 | " + ToCp932(title35) + "#5 - - - | ");

            // Bitmaps: a file, and the clipboard turned a quarter.
            const fs::path bmp = home / "diagram.bmp";
            w.bitmapAnswer = [&](const fs::path&) { return bmp; };
            QVERIFY(w.PictureToFile(1));
            std::ifstream in(bmp, std::ios::binary);
            char magic[2] = {};
            in.read(magic, 2);
            QCOMPARE(std::string(magic, 2), std::string("BM"));
            const QImage flat = w.SlotPicture(1);
            w.PictureToClipboard(1, true);
            const QImage turned = QApplication::clipboard()->image();
            QCOMPARE(turned.width(), flat.height());
            QCOMPARE(turned.height(), flat.width());

            // Printing to PDF: both pages, then one diagram large.
            const QString pages = QDir(dir.path()).filePath(QStringLiteral("pages.pdf"));
            w.printerAnswer = [&](QPrinter& printer, bool) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pages);
                return true;
            };
            QVERIFY(w.PrintPages());
            QCOMPARE(PdfPages(pages), 2);
            QVERIFY(w.PrintOne(0, 2));
            QCOMPARE(PdfPages(pages), 1);

            // A main window that cannot take the position leaves the window open.
            const auto toEditing = w.toEditing;
            w.toEditing = [](const BoardPosition&, const std::string&, const std::string&) { return false; };
            QVERIFY(!w.CopyToEditing(2));
            QVERIFY(w.isVisible());
            // The position goes to the editing screen with the labels' names, and the window
            // closes.
            w.toEditing = toEditing;
            QVERIFY(w.CopyToEditing(2));
            QCOMPARE(w.result(), int(QDialog::Accepted));
        };
        positions->OpenWindow();
        QCOMPARE(window->mode(), MainWindow::Mode::PositionEditing);
        QCOMPARE(window->record().position.pieces, Pieces(4));  // title 6: the fifth SFEN
        QCOMPARE(window->record().moveCount, 0);
        QCOMPARE(window->headerTexts().senteName, std::string("先手"_sj));
        QCOMPARE(window->headerTexts().goteName, std::string("後手"_sj));
        // The append state follows what the window did: page 2 with one position.
        QCOMPARE(collection.appendPage(), 1);
        QCOMPARE(collection.usedSlots(), 1);
        QCOMPARE(collection.pageToShow(), 1);
        QVERIFY(save->isEnabled());

        // Eight positions: the empty append page 3 is never shown.
        for (int i = 0; i < 3; ++i) QVERIFY(collection.Add({"p" + std::to_string(i + 1), "", "", ""}, Pieces(i), prompter));
        QCOMPARE(collection.appendPage(), 2);
        QCOMPARE(collection.usedSlots(), 0);
        positions->windowAnswer = [&](CollectionWindow& w) {
            QCOMPARE(w.lastPage(), 1);
            QCOMPARE(w.currentPage(), 1);
            QCOMPARE(w.windowTitle(), QStringLiteral("局面図 - （無題） --- 2 / 2 ﾍﾟｰｼﾞ"));
            QTest::keyClick(&w, Qt::Key_End);
            QTest::keyClick(&w, Qt::Key_PageDown);
            w.pageAnswer = [](const QString&) -> std::optional<QString> { return QStringLiteral("3"); };
            QTest::keyClick(&w, Qt::Key_3);
            QCOMPARE(w.currentPage(), 1);
            // Deleting down to one diagram on page 2, then that one: page 1 is the last page.
            w.deleteAnswer = [&](DeleteSlotsDialog& d) {
                for (int s = 1; s < 4; ++s) d.box(s)->setChecked(true);
                prompter.answers = {Answer::Yes};
                d.accept();
                return d.result() == QDialog::Accepted;
            };
            QTest::keyClick(&w, Qt::Key_D);
            QCOMPARE(w.lastPage(), 1);
            prompter.answers = {Answer::Yes};
            QVERIFY(w.DeleteOne(0));
            QCOMPARE(w.lastPage(), 0);
            QCOMPARE(w.currentPage(), 0);
            QCOMPARE(w.windowTitle(), QStringLiteral("局面図 - （無題） --- 1 / 1 ﾍﾟｰｼﾞ"));
        };
        positions->OpenWindow();
        // One full page: adding goes on on a new page 2.
        QCOMPARE(collection.appendPage(), 1);
        QCOMPARE(collection.usedSlots(), 0);
        QCOMPARE(collection.pageToShow(), 1);

        // Closing asks about the changed collection; Cancel keeps the window open.
        prompter.shown.clear();
        prompter.answers = {Answer::Cancel};
        QVERIFY(!window->close());
        QCOMPARE(prompter.shown.at(0).text, "局面図 （無題.kkm） は変更されています。\r\r保存しますか？"_sj);
        // No closes without the plain question, and the untitled collection is remembered.
        prompter.shown.clear();
        prompter.answers = {Answer::No};
        QVERIFY(window->close());
        QCOMPARE(prompter.shown.size(), std::size_t(1));
        QCOMPARE(window->settings().shogi.LastKkmFile, StoredPath(work));
        QCOMPARE(window->settings().shogi.LastKkmPage, 1);
        const std::string kept = Titles(work);
        window->settings().shogi.Save = true;
        QVERIFY(window->SaveSettingsAtExit());
        window.reset();

        // The next start reopens it.
        auto again = testing::StartedWindow(home, prompter);
        PositionCollection& reopened = again->positionCommands()->collection();
        QVERIFY(reopened.untitled());
        QCOMPARE(Titles(reopened.workingCopy()), kept);
        QCOMPARE(reopened.appendPage(), 1);
        QCOMPARE(reopened.usedSlots(), 0);
        QVERIFY(!reopened.changed());
    }

    // The hidden mobile output: a two-colour 94 x 84 picture proposed under the title's part
    // before ";", and the "i_mode01" templates filled and written beside it under its name.
    void theMobilePictureAndPagesAreNamedAfterTheTitle() {
        QTemporaryDir dir;
        const fs::path folder = QStringToPath(dir.path());
        testing::RecordingPrompter prompter;
        Settings settings;
        settings.iMode01.html[0] = "imode_top.html";
        settings.iMode01.html[2] = "list.html";
        settings.iMode01.html[3] = "missing.html";  // skipped
        std::ofstream(folder / "imode_top.html", std::ios::binary) << "<img src=\"%FLN.bmp\" width=%WID height=%HEI>\r\n%TIT\r\n%HNT\r\n%SNM\r\n";
        std::ofstream(folder / "list.html", std::ios::binary) << "%FLN list\r\n";
        PositionCollection collection(folder);
        QVERIFY(collection.Add({"abc;xyz", "", "", ToCp932(QStringLiteral("%T題名%%H手筋"))}, Pieces(3), prompter));
        QWidget owner;
        CollectionWindow w(collection, settings, prompter, &owner);
        QVERIFY(w.Prepare());
        w.programFolder = folder;
        std::unique_ptr<QMenu> menu(w.MenuFor(0));
        QVERIFY(!menu->findChild<QAction*>(QStringLiteral("N1_13"))->isVisible());
        w.showImode();
        menu.reset(w.MenuFor(0));
        QVERIFY(menu->findChild<QAction*>(QStringLiteral("N1_13"))->isVisible());
        QVERIFY(menu->findChild<QAction*>(QStringLiteral("N1_14"))->isEnabled());

        const fs::path out = folder / "out";
        fs::create_directory(out);
        fs::path proposed;
        w.bitmapAnswer = [&](const fs::path& p) {
            proposed = p;
            return out / "pic.bmp";
        };
        QVERIFY(w.MobilePictureAndPages(0, 2));
        QCOMPARE(PathText(proposed.filename()), std::string("abc.bmp"));
        // A title in kanji is proposed under its name on disk; an empty part before ";" and a ";"
        // after the eleventh byte give BANT.
        QVERIFY(collection.Add({"第1図;x"_sj, "", "", ""}, Pieces(0), prompter));
        QVERIFY(collection.Add({";x", "", "", ""}, Pieces(0), prompter));
        QVERIFY(collection.Add({"123456789012;x", "", "", ""}, Pieces(0), prompter));
        QVERIFY(w.Prepare());
        std::vector<fs::path> proposals;
        w.bitmapAnswer = [&](const fs::path& p) {
            proposals.push_back(p);
            return fs::path();
        };
        for (int q = 1; q < 4; ++q) QVERIFY(!w.MobilePictureAndPages(q, 2));
        QCOMPARE(proposals.size(), std::size_t(3));
        QCOMPARE(proposals[0].filename(), fs::path(u8"第1図.bmp"));
        QCOMPARE(proposals[1].filename().string(), std::string("BANT001.bmp"));
        QCOMPARE(proposals[2].filename().string(), std::string("BANT001.bmp"));
        w.bitmapAnswer = [&](const fs::path& p) {
            proposed = p;
            return out / "pic.bmp";
        };
        std::ifstream bmp(out / "pic.bmp", std::ios::binary);
        const std::string b((std::istreambuf_iterator<char>(bmp)), std::istreambuf_iterator<char>());
        QVERIFY(b.size() > 30);
        auto word = [&](std::size_t at) { return int(std::uint8_t(b[at])) | int(std::uint8_t(b[at + 1])) << 8; };
        QCOMPARE(word(18), 94);
        QCOMPARE(word(22), 84);
        QCOMPARE(word(28), 1);
        auto text = [](const fs::path& f) {
            std::ifstream in(f, std::ios::binary);
            return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        };
        QCOMPARE(text(out / "pictop.html"), ToCp932(QStringLiteral("<img src=\"pic.bmp\" width=94 height=84>\r\n題名\r\n手筋\r\n%SNM\r\n")));
        QCOMPARE(text(out / "piclist.html"), std::string("pic list\r\n"));
        QCOMPARE(int(std::distance(fs::directory_iterator(out), fs::directory_iterator())), 3);
        // An existing picture is replaced only after the question; No leaves everything.
        const auto pageTime = fs::last_write_time(out / "pictop.html");
        prompter.answers = {Answer::No};
        QVERIFY(!w.MobilePictureAndPages(0, 1));
        QCOMPARE(prompter.shown.back().text, PathText(out / "pic.bmp") + "は既に存在します。\r上書きしますか？"_sj);
        QCOMPARE(fs::last_write_time(out / "pictop.html"), pageTime);
        // No file chosen: nothing more happens.
        w.bitmapAnswer = [](const fs::path&) { return fs::path(); };
        QVERIFY(!w.MobilePictureAndPages(0, 1));
    }

    // The hidden continuous print: five positions give K001_1 … K001_4 and K002_1, one
    // single-page PDF each, and the window pages along.
    void everyDiagramPrintsToItsOwnFile() {
        QTemporaryDir dir;
        const fs::path folder = QStringToPath(dir.path());
        testing::RecordingPrompter prompter;
        Settings settings;
        PositionCollection collection(folder);
        for (int i = 0; i < 5; ++i) QVERIFY(collection.Add({std::to_string(i + 1), "", "", ""}, Pieces(i), prompter));
        QWidget owner;
        CollectionWindow w(collection, settings, prompter, &owner);
        QVERIFY(w.Prepare());
        std::unique_ptr<QMenu> menu(w.MenuFor(0));
        QVERIFY(!menu->findChild<QAction*>(QStringLiteral("N1_16"))->isVisible());
        w.setPrintToFileOffer(true);
        menu.reset(w.MenuFor(0));
        QVERIFY(menu->findChild<QAction*>(QStringLiteral("N1_16"))->isVisible());

        const fs::path out = folder / "ps";
        fs::create_directory(out);
        w.folderAnswer = [&] { return out; };
        // A printer without a file ends the command.
        w.printerAnswer = [](QPrinter& printer, bool) {
            printer.setOutputFileName(QString());
            return true;
        };
        QVERIFY(!w.PrintEachToFile());
        w.printerAnswer = [](QPrinter& printer, bool) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            return true;
        };
        QVERIFY(w.PrintEachToFile());
        QStringList written;
        for (const auto& entry : fs::directory_iterator(out)) written.append(PathToQString(entry.path().filename()));
        written.sort();
        QCOMPARE(written, QStringList({QStringLiteral("K001_1.pdf"), QStringLiteral("K001_2.pdf"), QStringLiteral("K001_3.pdf"),
                                       QStringLiteral("K001_4.pdf"), QStringLiteral("K002_1.pdf")}));
        for (const QString& name : written) QCOMPARE(PdfPages(PathToQString(out) + QStringLiteral("/") + name), 1);
        QCOMPARE(w.currentPage(), 1);
    }
};

}  // namespace movra

QTEST_MAIN(movra::PositionsGuiTest)
#include "positions_test.moc"
