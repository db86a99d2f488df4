#pragma once
// Kifu printing on a QPrinter: the print text of the two plain forms on the printer's text output,
// and the kifu form drawn from core's drawing data. Both are shared by the main window, the game
// list's timed print and movra-cli print.
#include <QFont>
#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/printing/kifu_form.h"
#include "core/printing/print_game.h"

class QPaintDevice;
class QPainter;
class QPrinter;

namespace movra {

// The print font: "ＭＳ 明朝" (IPAex Mincho) at `points`, with our user-defined characters as the
// fallback for the marks only they have.
QFont PrintFont(double points);

// The form's units measured with the 12-point print font on the device.
FormMetrics MeasureFormMetrics(QPaintDevice& device);

// Print to file: a PDF of A4 pages at 300 dots an inch, the whole sheet addressable.
void SetUpPdfPrinter(QPrinter& printer, const std::filesystem::path& file);

// One page of the form drawn with the painter on the device.
void DrawFormPage(QPainter& painter, QPaintDevice& device, const FormPage& page);

// One print job on the printer: games are added one after another, each on pages of its own, so
// that a run of games printed to a file ends up in that one file.
class KifuPrintJob {
public:
    explicit KifuPrintJob(QPrinter& printer);
    ~KifuPrintJob();
    KifuPrintJob(const KifuPrintJob&) = delete;
    KifuPrintJob& operator=(const KifuPrintJob&) = delete;

    // False when the printer refuses the job (the caller says "プリンタ・エラー！"); error() tells why.
    bool Begin();
    // The print text of a plain form, `copies` times.
    bool AddText(const std::vector<std::string>& printText, int copies);
    // The game on the form (the empty form when null), `copies` times; every copy counts its time
    // cells from the start.
    bool AddForm(const PrintGame* game, const FormOptions& options, int copies);
    // Ends the job; false when the printer failed at any point.
    bool End();
    const QString& error() const { return error_; }

private:
    bool NextPage();

    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
    bool first_ = true;
    bool ok_ = true;
    QString error_;
};

// One job: the print text, or the game on the form (the empty form when `game` is null).
bool PrintKifuText(QPrinter& printer, const std::vector<std::string>& printText, int copies,
                   QString* error = nullptr);
bool PrintKifuForm(QPrinter& printer, const PrintGame* game, const FormOptions& options, int copies,
                   QString* error = nullptr);
// Several games on the form in one job.
bool PrintKifuGames(QPrinter& printer, const std::vector<PrintGame>& games, const FormOptions& options,
                    int copies, QString* error = nullptr);

}  // namespace movra
