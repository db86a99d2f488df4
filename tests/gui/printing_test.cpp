// Kifu printing from the main window and from the game list, into PDF files read back with
// poppler-utils: the print-type dialog, the copies, the empty form, the game list's run of marked
// games into one job, and a printer that cannot write its file.
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "core/list/game_list_edit.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/list/game_list_window.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/printing/kifu_printer.h"
#include "gui/printing/printing_commands.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {
namespace {
namespace fs = std::filesystem;
using namespace movra::literals;

int Pages(const fs::path& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {PathToQString(pdf)});
    if (!p.waitForFinished(20000)) return -1;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : out.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

QString PdfText(const fs::path& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), PathToQString(pdf), QStringLiteral("-")});
    if (!p.waitForFinished(20000)) return {};
    // The fonts map some kanji to radicals; NFKC brings them back. Blanks are left out.
    QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

}  // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    fs::path pdf_;
    int printerAsked_ = 0;
    bool dialogInside_ = false;
    KifuPrintType preselected_ = KifuPrintType::Simple2;

    MainWindow& Start() {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        window_ = testing::StartedWindow(home_, prompter_);
        window_->show();
        prompter_.shown.clear();
        // The printer dialog's stand-in: into the PDF file, two copies.
        window_->printingCommands()->printerAnswer = [this](QPrinter& printer) -> std::optional<int> {
            ++printerAsked_;
            SetUpPdfPrinter(printer, pdf_);
            return 2;
        };
        return *window_;
    }
    void Choose(KifuPrintType type, bool ok = true) {
        window_->printingCommands()->typeAnswer = [this, type, ok](PrintTypeDialog& dialog) {
            dialog.show();
            // The dialog opens inside the screen, on the window.
            dialogInside_ = AvailableArea(window_.get()).contains(dialog.frameGeometry());
            preselected_ = dialog.type();
            dialog.setType(type);
            return ok;
        };
    }

private slots:
    void initTestCase() {
        RegisterFontSubstitutes();
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
            QSKIP("poppler-utils is not installed (scripts/install-deps)");
        }
    }
    void cleanup() {
        if (window_) window_->close();
        window_.reset();
        printerAsked_ = 0;
    }

    void printingTheShownGameInEveryForm() {
        MainWindow& w = Start();
        QVERIFY(w.menus()->printAction()->isEnabled());
        QVERIFY(w.ShowStoredGame(1));
        pdf_ = fs::path(QStringToPath(dir_->path())) / "form.pdf";
        Choose(KifuPrintType::Form);
        w.menus()->printAction()->trigger();
        QVERIFY(fs::exists(pdf_));
        QCOMPARE(Pages(pdf_), 2);  // 46 moves on one sheet, two copies
        QVERIFY(dialogInside_);
        QCOMPARE(preselected_, KifuPrintType::Form);
        QVERIFY(PdfText(pdf_).contains(QStringLiteral("サンプル棋戦")));

        pdf_ = fs::path(QStringToPath(dir_->path())) / "simple1.pdf";
        Choose(KifuPrintType::Simple1);
        w.menus()->printAction()->trigger();
        const QString text = PdfText(pdf_);
        QVERIFY2(text.contains(QStringLiteral("1:▲7六歩")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("46:△6四角46手まで")));

        pdf_ = fs::path(QStringToPath(dir_->path())) / "simple2.pdf";
        Choose(KifuPrintType::Simple2);
        w.menus()->printAction()->trigger();
        QVERIFY(PdfText(pdf_).contains(QStringLiteral("46手")));

        // Cancelling the print type asks no printer and prints nothing.
        pdf_ = fs::path(QStringToPath(dir_->path())) / "cancelled.pdf";
        Choose(KifuPrintType::Form, false);
        printerAsked_ = 0;
        w.menus()->printAction()->trigger();
        QCOMPARE(printerAsked_, 0);
        QVERIFY(!fs::exists(pdf_));

        // The empty form: two copies of one sheet, no game in it.
        pdf_ = fs::path(QStringToPath(dir_->path())) / "empty.pdf";
        window_->menus()->printFormAction()->trigger();
        QCOMPARE(Pages(pdf_), 2);
        QVERIFY(!PdfText(pdf_).contains(QStringLiteral("サンプル棋戦")));

        // A file that cannot be written: the printer error, and nothing else happens.
        pdf_ = fs::path(QStringToPath(dir_->path())) / "no-such-folder" / "x.pdf";
        prompter_.shown.clear();
        Choose(KifuPrintType::Form);
        w.menus()->printAction()->trigger();
        QCOMPARE(prompter_.texts().size(), std::size_t(1));
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString(PrinterErrorMessage()));
        QVERIFY(!fs::exists(pdf_));
    }

    void theGameListPrintsTheMarkedGamesInOneRun() {
        MainWindow& w = Start();
        GameListWindow* list = w.gameList();
        list->Prepare(1);
        list->show();
        pdf_ = fs::path(QStringToPath(dir_->path())) / "run.pdf";
        Choose(KifuPrintType::Form);
        list->SetMultiMode(true);
        prompter_.shown.clear();
        list->PrintGames();  // nothing marked
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("\r印刷する棋譜を選択してください！"_sj));
        list->listBox()->item(0)->setSelected(true);
        list->listBox()->item(2)->setSelected(true);
        prompter_.answers = {Answer::Yes};
        list->PrintGames();
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString("選択された 2個の棋譜を印刷します。\r\rよろしいですか？"_sj));
        QVERIFY(list->exportRunning());
        list->close();  // the window does not close while the run goes on
        QVERIFY(list->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!list->exportRunning(), 20000);
        // Asked once for the printer; two games of one sheet each, two copies each, one file.
        QCOMPARE(printerAsked_, 1);
        QCOMPARE(Pages(pdf_), 4);
        QCOMPARE(w.record().moveCount, std::int16_t(25));  // the last game printed is shown (game 3)
        list->close();
    }
};

}  // namespace movra

QTEST_MAIN(movra::PrintingTest)
#include "printing_test.moc"
