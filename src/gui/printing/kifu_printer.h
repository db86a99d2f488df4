#pragma once
// Kifu printing on a QPrinter: the print text of the two plain forms on the printer's text output,
// and the kifu form drawn from core's drawing data. Both are shared by the main window, the game
// list's timed print and movra-cli print.
#include <QFont>
#include <QString>

#include <filesystem>
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

// One job holding every copy. False when the printer refuses the job or a page (the caller
// says "プリンタ・エラー！"); `error` then names what failed.
bool PrintKifuText(QPrinter& printer, const std::vector<std::string>& printText, int copies,
                   QString* error = nullptr);
// The game on the form, or the empty form when `game` is null.
bool PrintKifuForm(QPrinter& printer, const PrintGame* game, const FormOptions& options, int copies,
                   QString* error = nullptr);
// Several games in one job, each starting on a page of its own.
bool PrintKifuGames(QPrinter& printer, const std::vector<PrintGame>& games, const FormOptions& options,
                    int copies, QString* error = nullptr);

}  // namespace movra
