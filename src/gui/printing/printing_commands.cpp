#include "gui/printing/printing_commands.h"

#include <QAbstractPrintDialog>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

#include "core/list/game_list_edit.h"
#include "core/printing/kifu_form.h"
#include "core/printing/kifu_text.h"
#include "core/rules/position.h"
#include "core/store/open_store.h"
#include "core/store/comments.h"
#include "core/store/store_files.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/printing/kifu_printer.h"

namespace movra {

std::optional<PrintGame> ShownPrintGame(const TKifData& record, const GameHeaderTexts& texts, bool extended,
                                        const StoreSession& session, std::uint32_t recordNumber,
                                        Prompter& prompter) {
    if (record.moveCount <= 0) return std::nullopt;
    DetailRecord detail;
    std::vector<std::string> comments;
    const bool stored = extended && recordNumber > 0 && session.isOpen() && session.store.extended() &&
                        recordNumber <= session.store.recordCount;
    if (stored) {
        ReadDetailRecord(session.store, long(recordNumber), detail, prompter);
        const int last = std::min<int>(record.moveCount + 1, kMaxMoves);
        comments.assign(static_cast<std::size_t>(last) + 1, std::string());
        for (int i = 0; i <= last; ++i) {
            const MoveRecord& m = record.moves[static_cast<std::size_t>(i)];
            if (m.commentRecord != 0) {
                comments[static_cast<std::size_t>(i)] = ReadComment(session.store, m.commentFile, m.commentRecord, prompter);
            }
        }
    } else if (extended && record.moveCount < kMaxMoves) {
        // A game not yet stored: its closing time is the record's final slot.
        detail.setClosingTime(record.moves[static_cast<std::size_t>(record.moveCount) + 1].consumedTime);
    }
    return PrintGameFromRecord(record, texts, std::max(0, HandicapNumber(record.handicap)), extended, detail,
                               std::move(comments));
}

// --- the print-type dialog -----------------------------------------------------------------------

PrintTypeDialog::PrintTypeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(QStringLiteral("棋譜印刷形式"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("棋譜印刷の形式を指定して下さい。"), this));
    const QString captions[] = {QStringLiteral("日本将棋連盟形式"), QStringLiteral("簡略形式１"),
                                QStringLiteral("簡略形式２(先後２手組)")};
    for (int i = 0; i < 3; ++i) {
        choices_[i] = new QRadioButton(captions[i], this);
        choices_[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        layout->addWidget(choices_[i]);
    }
    choices_[0]->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

KifuPrintType PrintTypeDialog::type() const {
    for (int i = 0; i < 3; ++i) {
        if (choices_[i]->isChecked()) return static_cast<KifuPrintType>(i);
    }
    return KifuPrintType::Form;
}

void PrintTypeDialog::setType(KifuPrintType type) { choices_[static_cast<int>(type)]->setChecked(true); }

// --- the commands ----------------------------------------------------------------------------------

PrintingCommands::PrintingCommands(QWidget* window, Settings& settings,
                                   std::function<std::optional<PrintGame>()> shownGame, Prompter& prompter)
    : QObject(window), window_(window), settings_(settings), shownGame_(std::move(shownGame)), prompter_(prompter) {}

PrintingCommands::~PrintingCommands() = default;

void PrintingCommands::Install(QAction* printGame, QAction* printForm) {
    connect(printGame, &QAction::triggered, this, [this] { PrintShownGame(); });
    connect(printForm, &QAction::triggered, this, [this] { PrintEmptyForm(); });
    auto* chord = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_F), window_);
    chord->setObjectName(QStringLiteral("PrintToFileChord"));
    connect(chord, &QShortcut::activated, this, &PrintingCommands::TogglePrintToFileOffer);
}

std::optional<KifuPrintType> PrintingCommands::AskType() {
    PrintTypeDialog dialog(window_);
    PlaceCentred(&dialog, window_);
    const bool ok = typeAnswer ? typeAnswer(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return std::nullopt;
    return dialog.type();
}

std::optional<int> PrintingCommands::AskPrinter(QPrinter& printer) {
    if (printerAnswer) return printerAnswer(printer);
    QPrintDialog dialog(&printer, window_);
    // Printing into a file is offered only after the chord asked for it.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, printToFileOffered_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (!printer.outputFileName().isEmpty()) {
        // A file is written as PDF, the whole sheet addressable, like movra-cli print.
        SetUpPdfPrinter(printer, QStringToPath(printer.outputFileName()));
    }
    // The copies are printed one after the other, each complete.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    return copies;
}

bool PrintingCommands::PrintGameAs(const PrintGame& game, KifuPrintType type, KifuPrintJob& job, int copies) {
    if (type == KifuPrintType::Form) {
        return job.AddForm(&game, FormOptions{settings_.shogi.WarekiDisp}, copies);
    }
    const KifuTextOptions options{settings_.form.DateType, settings_.shogi.WarekiDisp};
    return job.AddText(KifuTextLines(game, type == KifuPrintType::Simple1 ? 1 : 2, options), copies);
}

bool PrintingCommands::PrintShownGame() {
    const std::optional<KifuPrintType> type = AskType();
    if (!type) return false;
    const std::optional<PrintGame> game = shownGame_();
    // A game without moves prints nothing.
    if (!game || game->moveCount() == 0) return false;
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<int> copies = AskPrinter(printer);
    if (!copies) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    KifuPrintJob job(printer);
    bool ok = job.Begin() && PrintGameAs(*game, *type, job, *copies);
    ok = job.End() && ok;
    QApplication::restoreOverrideCursor();
    if (!ok) prompter_.Warn(PrinterErrorMessage());
    return ok;
}

bool PrintingCommands::PrintEmptyForm() {
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<int> copies = AskPrinter(printer);
    if (!copies) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The empty form has as many pages as the shown game would fill.
    const std::optional<PrintGame> game = shownGame_();
    const int pages = game ? FormPageCount(*game) : 1;
    KifuPrintJob job(printer);
    bool ok = job.Begin();
    for (int p = 0; p < pages && ok; ++p) ok = job.AddForm(nullptr, FormOptions{settings_.shogi.WarekiDisp}, *copies);
    ok = job.End() && ok;
    QApplication::restoreOverrideCursor();
    if (!ok) prompter_.Warn(PrinterErrorMessage());
    return ok;
}

bool PrintingCommands::BeginRun() {
    runJob_.reset();
    runPrinter_.reset();
    const std::optional<KifuPrintType> type = AskType();
    if (!type) return false;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const std::optional<int> copies = AskPrinter(*printer);
    if (!copies) return false;
    runPrinter_ = std::move(printer);
    runJob_ = std::make_unique<KifuPrintJob>(*runPrinter_);
    runType_ = *type;
    runCopies_ = *copies;
    if (!runJob_->Begin()) {
        prompter_.Warn(PrinterErrorMessage());
        runJob_.reset();
        runPrinter_.reset();
        return false;
    }
    return true;
}

bool PrintingCommands::PrintRunGame() {
    if (!runJob_) return false;
    const std::optional<PrintGame> game = shownGame_();
    if (!game || game->moveCount() == 0) return false;
    return PrintGameAs(*game, runType_, *runJob_, runCopies_);
}

bool PrintingCommands::EndRun() {
    if (!runJob_) return false;
    const bool ok = runJob_->End();
    runJob_.reset();
    runPrinter_.reset();
    if (!ok) prompter_.Warn(PrinterErrorMessage());
    return ok;
}

}  // namespace movra
