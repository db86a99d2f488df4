#pragma once
// The main window's kifu printing: 棋譜印刷 (the print-type dialog, then the shown game in the form
// chosen), 棋譜用紙印刷 (the empty form), the printer dialog step every kifu print shares, and the
// game list's timed print, which asks for the form and the printer once for a run of games.
#include <QDialog>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/config/settings.h"
#include "core/printing/print_game.h"
#include "core/text/prompter.h"

class QAction;
class QPrinter;
class QRadioButton;
class QWidget;

namespace movra {

class KifuPrintJob;
struct StoreSession;

// The game the main window shows, for printing: the record and its header texts, and for game k
// of an open store of the extended kind its detail record and stored comments. nullopt when
// nothing is shown (no move list).
std::optional<PrintGame> ShownPrintGame(const TKifData& record, const GameHeaderTexts& texts, bool extended,
                                        const StoreSession& session, std::uint32_t recordNumber,
                                        Prompter& prompter);

// The print types, in the order of the dialog's choices.
enum class KifuPrintType { Form = 0, Simple1 = 1, Simple2 = 2 };

// TFormPrint, "棋譜印刷形式": the three print types, the kifu form preselected.
class PrintTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintTypeDialog(QWidget* parent = nullptr);
    KifuPrintType type() const;
    void setType(KifuPrintType type);

private:
    QRadioButton* choices_[3] = {};
};

class PrintingCommands : public QObject {
    Q_OBJECT
public:
    // `shownGame` gives the game the window shows (nullopt: no game to print).
    PrintingCommands(QWidget* window, Settings& settings, std::function<std::optional<PrintGame>()> shownGame,
                     Prompter& prompter);
    ~PrintingCommands() override;

    // Wires 棋譜印刷 and 棋譜用紙印刷, and the chord Ctrl+Shift+Alt+F that offers printing to a file.
    void Install(QAction* printGame, QAction* printForm);

    // --- the commands (public for tests); false when nothing was printed ------------------------
    bool PrintShownGame();
    bool PrintEmptyForm();
    // The printer dialog: the copies asked for, or nullopt when it was cancelled.
    std::optional<int> AskPrinter(QPrinter& printer);
    void TogglePrintToFileOffer() { printToFileOffered_ = !printToFileOffered_; }
    bool printToFileOffered() const { return printToFileOffered_; }

    // --- the game list's timed print --------------------------------------------------------------
    // Asks for the print type and the printer once and starts the job; false when cancelled or
    // the printer refused (the message has been shown).
    bool BeginRun();
    // Prints the shown game into the run's job; false when it was not printed.
    bool PrintRunGame();
    // Ends the run's job; false (after "プリンタ・エラー！") when the printer failed.
    bool EndRun();

    // Stand-ins for the person in tests: the print-type dialog (true OK), and the printer dialog
    // (sets the printer up, e.g. to a PDF file, and answers the copies; nullopt cancels).
    std::function<bool(PrintTypeDialog&)> typeAnswer;
    std::function<std::optional<int>(QPrinter&)> printerAnswer;

private:
    std::optional<KifuPrintType> AskType();
    bool PrintGameAs(const PrintGame& game, KifuPrintType type, KifuPrintJob& job, int copies);

    QWidget* window_;
    Settings& settings_;
    std::function<std::optional<PrintGame>()> shownGame_;
    Prompter& prompter_;
    bool printToFileOffered_ = false;
    // The timed print's job.
    std::unique_ptr<QPrinter> runPrinter_;
    std::unique_ptr<KifuPrintJob> runJob_;
    KifuPrintType runType_ = KifuPrintType::Form;
    int runCopies_ = 1;
};

}  // namespace movra
