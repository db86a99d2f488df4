#include "gui/printing/kifu_printer.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPolygon>
#include <QPrinter>

#include <algorithm>

#include "core/printing/kifu_text.h"
#include "core/text/text_helpers.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/diagram/gaiji_font.h"

namespace movra {
namespace {

// A CP932 line on a grid of byte cells, so that the columns of the listings stay aligned with the
// proportional half-width letters of the IPAex fonts.
void DrawGridLine(QPainter& painter, int left, int baseline, int cell, std::string_view cp932) {
    int x = left;
    std::size_t at = 0;
    while (at < cp932.size()) {
        const std::size_t n = IsLeadByte(static_cast<std::uint8_t>(cp932[at])) && at + 1 < cp932.size() ? 2 : 1;
        const QString ch = ToQString(std::string(cp932.substr(at, n)));
        if (ch != QStringLiteral(" ") && ch != QStringLiteral("\u3000")) painter.drawText(QPoint(x, baseline), ch);
        x += cell * static_cast<int>(n);
        at += n;
    }
}

bool Begin(QPainter& painter, QPrinter& printer, QString* error) {
    if (painter.begin(&printer)) return true;
    if (error != nullptr) {
        *error = printer.outputFileName().isEmpty()
                     ? QStringLiteral("the printer %1 refused the job").arg(printer.printerName())
                     : QStringLiteral("cannot write %1").arg(printer.outputFileName());
    }
    return false;
}

bool NextPage(QPrinter& printer, bool& first, QString* error) {
    if (first) {
        first = false;
        return true;
    }
    if (printer.newPage()) return true;
    if (error != nullptr) *error = QStringLiteral("the printer refused a new page");
    return false;
}

}  // namespace

QFont PrintFont(double points) {
    QFont font(kMincho);
    QStringList families{kMincho, QStringLiteral("IPAexMincho")};
    if (!GaijiFamily().isEmpty()) families.append(GaijiFamily());
    font.setFamilies(families);
    font.setPointSizeF(points);
    return font;
}

FormMetrics MeasureFormMetrics(QPaintDevice& device) {
    // The sheet was drawn for a monospaced Mincho whose digits are half an em wide and whose
    // line is one em high. IPAex Mincho has wider proportional digits and a taller line, which
    // would push the sheet past the edges of an A4 page, so the same two measures are taken the
    // way that font has them: ten half-width cells, and the em.
    const QFontMetrics metrics(PrintFont(12), &device);
    const int fullWidth = metrics.horizontalAdvance(QStringLiteral("\u3042"));
    const int em = (12 * device.logicalDpiY() + 36) / 72;
    return MakeFormMetrics(5 * fullWidth, em);
}

void SetUpPdfPrinter(QPrinter& printer, const std::filesystem::path& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PathToQString(file));
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setCreator(QStringLiteral("Movra"));
}

bool PrintKifuText(QPrinter& printer, const std::vector<std::string>& printText, int copies, QString* error) {
    QPainter painter;
    if (!Begin(painter, printer, error)) return false;
    const QFont font = PrintFont(12);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));  // navy, as the print text is shown
    const QFontMetrics metrics(font, &printer);
    const int cell = (metrics.horizontalAdvance(QStringLiteral("\u3042")) + 1) / 2;
    const int lineHeight = metrics.height();
    // The printable area, with a margin of half an inch where the sheet is addressed whole.
    QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    if (printer.fullPage()) {
        const int margin = printer.resolution() / 2;
        area = QRect(margin, margin, printer.width() - 2 * margin, printer.height() - 2 * margin);
    } else {
        area.moveTo(0, 0);
    }
    const int linesPerPage = std::max(1, area.height() / lineHeight);
    const std::size_t bytesPerLine = static_cast<std::size_t>(std::max(1, area.width() / cell));
    const auto fits = [&](std::string_view line) { return line.size() <= bytesPerLine; };
    const std::vector<std::vector<std::string>> pages = TextPages(printText, linesPerPage, fits);
    bool first = true;
    bool ok = true;
    for (int copy = 0; copy < copies && ok; ++copy) {
        for (const std::vector<std::string>& page : pages) {
            if (!(ok = NextPage(printer, first, error))) break;
            int y = area.top() + metrics.ascent();
            for (const std::string& line : page) {
                DrawGridLine(painter, area.left(), y, cell, line);
                y += lineHeight;
            }
        }
    }
    return painter.end() && ok;
}

namespace {

bool PrintForms(QPrinter& printer, const std::vector<const PrintGame*>& games, const FormOptions& options,
                int copies, QString* error) {
    QPainter painter;
    if (!Begin(painter, printer, error)) return false;
    const FormMetrics m = MeasureFormMetrics(printer);
    bool first = true;
    bool ok = true;
    for (const PrintGame* game : games) {
        for (int copy = 0; copy < copies && ok; ++copy) {
            // Every copy counts its time cells from the start.
            for (const FormPage& page : KifuFormPages(game, m, options)) {
                if (!(ok = NextPage(printer, first, error))) break;
                DrawFormPage(painter, printer, page);
            }
        }
    }
    return painter.end() && ok;
}

}  // namespace

void DrawFormPage(QPainter& painter, QPaintDevice& device, const FormPage& page) {
    for (const FormLine& l : page.lines) {
        painter.setPen(QPen(Qt::black, l.pen, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(l.from.x, l.from.y, l.to.x, l.to.y);
    }
    painter.setPen(QPen(Qt::black, 2));
    for (const FormMark& mark : page.marks) {
        QPolygon shape;
        for (const FormPoint& p : mark.corners) shape << QPoint(p.x, p.y);
        painter.setBrush(mark.filled ? QBrush(Qt::black) : QBrush(Qt::white));
        painter.drawPolygon(shape);
    }
    painter.setBrush(Qt::NoBrush);
    for (const FormText& t : page.texts) {
        const QFont font = PrintFont(t.points);
        painter.setFont(font);
        const QFontMetrics fm(font, &device);
        painter.drawText(QPoint(t.at.x, t.at.y + fm.ascent()), ToQString(t.text));
    }
}

bool PrintKifuForm(QPrinter& printer, const PrintGame* game, const FormOptions& options, int copies,
                   QString* error) {
    return PrintForms(printer, {game}, options, copies, error);
}

bool PrintKifuGames(QPrinter& printer, const std::vector<PrintGame>& games, const FormOptions& options,
                    int copies, QString* error) {
    std::vector<const PrintGame*> list;
    for (const PrintGame& g : games) list.push_back(&g);
    return PrintForms(printer, list, options, copies, error);
}

}  // namespace movra
