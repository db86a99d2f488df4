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

KifuPrintJob::KifuPrintJob(QPrinter& printer) : printer_(printer) {}

KifuPrintJob::~KifuPrintJob() {
    if (painter_ && painter_->isActive()) painter_->end();
}

bool KifuPrintJob::Begin() {
    painter_ = std::make_unique<QPainter>();
    first_ = true;
    ok_ = painter_->begin(&printer_);
    if (!ok_) {
        error_ = printer_.outputFileName().isEmpty()
                     ? QStringLiteral("the printer %1 refused the job").arg(printer_.printerName())
                     : QStringLiteral("cannot write %1").arg(printer_.outputFileName());
    }
    return ok_;
}

bool KifuPrintJob::NextPage() {
    if (!ok_) return false;
    if (first_) {
        first_ = false;
        return true;
    }
    if (printer_.newPage()) return true;
    error_ = QStringLiteral("the printer refused a new page");
    return ok_ = false;
}

bool KifuPrintJob::AddText(const std::vector<std::string>& printText, int copies) {
    if (!ok_ || !painter_) return false;
    QPainter& painter = *painter_;
    const QFont font = PrintFont(12);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));  // navy, as the print text is shown
    const QFontMetrics metrics(font, &printer_);
    const int cell = (metrics.horizontalAdvance(QStringLiteral("\u3042")) + 1) / 2;
    const int lineHeight = metrics.height();
    // The printable area; half an inch of margin where the whole sheet is addressed.
    QRect area(0, 0, printer_.width(), printer_.height());
    if (printer_.fullPage()) {
        const int margin = printer_.resolution() / 2;
        area = area.adjusted(margin, margin, -margin, -margin);
    }
    const int linesPerPage = std::max(1, area.height() / lineHeight);
    const std::size_t bytesPerLine = static_cast<std::size_t>(std::max(1, area.width() / cell));
    const auto fits = [&](std::string_view line) { return line.size() <= bytesPerLine; };
    const std::vector<std::vector<std::string>> pages = TextPages(printText, linesPerPage, fits);
    for (int copy = 0; copy < copies && ok_; ++copy) {
        for (const std::vector<std::string>& page : pages) {
            if (!NextPage()) break;
            int y = area.top() + metrics.ascent();
            for (const std::string& line : page) {
                DrawGridLine(painter, area.left(), y, cell, line);
                y += lineHeight;
            }
        }
    }
    return ok_;
}

bool KifuPrintJob::AddForm(const PrintGame* game, const FormOptions& options, int copies) {
    if (!ok_ || !painter_) return false;
    const FormMetrics m = MeasureFormMetrics(printer_);
    for (int copy = 0; copy < copies && ok_; ++copy) {
        for (const FormPage& page : KifuFormPages(game, m, options)) {
            if (!NextPage()) break;
            DrawFormPage(*painter_, printer_, page);
        }
    }
    return ok_;
}

bool KifuPrintJob::End() {
    if (!painter_) return false;
    if (painter_->isActive() && !painter_->end()) {
        if (ok_) error_ = QStringLiteral("the printer failed to finish the job");
        ok_ = false;
    }
    painter_.reset();
    return ok_;
}

namespace {

bool Finish(KifuPrintJob& job, bool added, QString* error) {
    const bool ok = job.End() && added;
    if (!ok && error != nullptr) *error = job.error();
    return ok;
}

}  // namespace

bool PrintKifuText(QPrinter& printer, const std::vector<std::string>& printText, int copies, QString* error) {
    KifuPrintJob job(printer);
    return Finish(job, job.Begin() && job.AddText(printText, copies), error);
}

bool PrintKifuForm(QPrinter& printer, const PrintGame* game, const FormOptions& options, int copies,
                   QString* error) {
    KifuPrintJob job(printer);
    return Finish(job, job.Begin() && job.AddForm(game, options, copies), error);
}

bool PrintKifuGames(QPrinter& printer, const std::vector<PrintGame>& games, const FormOptions& options,
                    int copies, QString* error) {
    KifuPrintJob job(printer);
    bool ok = job.Begin();
    for (const PrintGame& g : games) ok = ok && job.AddForm(&g, options, copies);
    return Finish(job, ok, error);
}

}  // namespace movra
