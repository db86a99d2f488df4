#include "gui/diagram/diagram_renderer.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPolygon>

#include <cmath>
#include <vector>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/diagram/gaiji_font.h"

namespace movra {
namespace {

QPoint Q(Point p) { return {p.x, p.y}; }

// One character (or text) with its cell's top-left corner at p; turned texts are rotated by 180
// degrees about p, so they extend to the left of and above it.
void DrawText(QPainter& painter, const QFont& font, const QString& text, QPoint p, bool turned = false) {
    painter.save();
    painter.setFont(font);
    const int ascent = QFontMetrics(font, painter.device()).ascent();
    painter.translate(p);
    if (turned) painter.rotate(180);
    painter.drawText(0, ascent, text);
    painter.restore();
}

int TextWidth(const QFont& font, const QString& text, QPaintDevice* device) {
    return QFontMetrics(font, device).horizontalAdvance(text);
}

// The pentagon standing for ▲ (solid) or △ at the top-left corner of the mark's place.
void DrawMark(QPainter& painter, QPoint p, int m, bool solid, bool turned) {
    painter.save();
    painter.translate(p);
    if (turned) painter.rotate(180);
    QPolygon shape;
    for (const Point& c : MarkPentagon(0, 0, m)) shape << QPoint(c.x, c.y);
    painter.setPen(QPen(Qt::black, turned ? 2 : 1));
    painter.setBrush(solid && !turned ? Qt::black : Qt::white);
    painter.drawPolygon(shape);
    painter.restore();
}

// A text with its marks: plain runs as text, marks as shapes the width of "▲".
void DrawMarkedText(QPainter& painter, const QFont& font, const std::vector<TextRun>& runs, QPoint p, int m) {
    const int markWidth = TextWidth(font, QStringLiteral("▲"), painter.device());
    int x = p.x();
    for (const TextRun& run : runs) {
        if (run.mark) {
            DrawMark(painter, {x, p.y()}, m, run.solid, false);
            x += markWidth;
        } else {
            const QString text = ToQString(run.text);
            DrawText(painter, font, text, {x, p.y()});
            x += TextWidth(font, text, painter.device());
        }
    }
}

int MarkedWidth(const QFont& font, const std::vector<TextRun>& runs, QPaintDevice* device) {
    int width = 0;
    for (const TextRun& run : runs) {
        width += run.mark ? TextWidth(font, QStringLiteral("▲"), device) : TextWidth(font, ToQString(run.text), device);
    }
    return width;
}

// Gaiji marks only when the font really has them; otherwise the shapes.
bool UseGaijiMarks(const DiagramOptions& options) { return options.gaijiMarks && GaijiFontHasMarks(); }

// One character of a label or hand column: a mark as its shape, anything else as text.
void DrawColumnCharacter(QPainter& painter, const QFont& font, const std::string& c, QPoint p, int m,
                         bool turned, bool gaijiMarks) {
    const std::vector<TextRun> runs = SplitMarks(c, gaijiMarks);
    if (!runs.empty() && runs[0].mark) {
        DrawMark(painter, p, m, runs[0].solid, turned);
    } else if (!runs.empty()) {
        DrawText(painter, font, ToQString(runs[0].text), p, turned);
    }
}

// What both drawings share: the fonts and the positions as a painter needs them.
struct Fonts {
    QFont a, b, c, d, e, eBold, bBold;
};

Fonts MakeFonts(const std::array<int, 5>& heights) {
    return {DiagramFont(heights[0]), DiagramFont(heights[1]), DiagramFont(heights[2]), DiagramFont(heights[3]),
            DiagramFont(heights[4]), DiagramFont(heights[4], true), DiagramFont(heights[1], true)};
}

bool IsLastMove(const DiagramInputs& inputs, int file, int rank) {
    return inputs.lastMove && inputs.lastMove->file == file && inputs.lastMove->rank == rank;
}

// Labels and hands on both sides of the board.
template <typename Geo>
void DrawSides(QPainter& painter, const Geo& g, int hD, const Fonts& f, const DiagramInputs& inputs,
               const DiagramOptions& options) {
    const bool gaiji = UseGaijiMarks(options);
    const std::vector<std::string> sente = SplitCharacters(inputs.senteLabel);
    for (std::size_t k = 0; k < sente.size(); ++k) {
        DrawColumnCharacter(painter, f.d, sente[k], Q(g.SenteLabel(int(k))), hD, false, gaiji);
    }
    const std::vector<std::string> senteHand =
        HandColumn(CountHand(inputs.position, side::kSente), options, inputs.senteLabel.empty());
    for (std::size_t i = 0; i < senteHand.size(); ++i) {
        DrawText(painter, f.d, ToQString(senteHand[i]), Q(g.SenteHand(int(sente.size()), int(i))));
    }
    const GoteLabel goteLabel = SplitGoteLabel(inputs.goteLabel);
    const std::vector<std::string> gote = SplitCharacters(goteLabel.drawn);
    for (std::size_t k = 0; k < gote.size(); ++k) {
        DrawColumnCharacter(painter, f.d, gote[k], Q(g.GoteLabel(int(k))), hD, true, gaiji);
    }
    if (!goteLabel.handHidden) {
        const std::vector<std::string> goteHand =
            HandColumn(CountHand(inputs.position, side::kGote), options, goteLabel.drawn.empty());
        for (std::size_t i = 0; i < goteHand.size(); ++i) {
            DrawText(painter, f.d, ToQString(goteHand[i]), Q(g.GoteHand(int(gote.size()), int(i))), true);
        }
    }
}

// The frame and grid lines of a board whose squares are w x h from (x0, y0).
void DrawGrid(QPainter& painter, int x0, int y0, int w, int h, int framePen, int gridPen) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, framePen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const int right = x0 + 9 * w + 2, bottom = y0 + 9 * h + 1;
    painter.drawRect(QRect(QPoint(x0, y0 - 1), QPoint(right - 1, bottom - 1)));
    painter.setPen(QPen(Qt::black, gridPen, Qt::SolidLine, Qt::FlatCap));
    for (int k = 1; k <= 8; ++k) {
        painter.drawLine(x0 + k * w, y0, x0 + k * w, y0 + 9 * h - 1);
        painter.drawLine(x0, y0 + k * h, x0 + 9 * w, y0 + k * h);
    }
}

// The comment as the title dialog's box shows it: the typed line breaks kept, and each line
// wrapped where it would pass `width` pixels (a comment saved from the box's lines joined without
// breaks comes back in lines this way).
QStringList WrappedComment(const std::string& comment, const QFont& font, QPaintDevice* device, int width) {
    QStringList lines;
    const QFontMetrics metrics(font, device);
    for (const std::string& typed : CommentLines(comment)) {
        const QString text = ToQString(typed);
        QString line;
        for (const QChar c : text) {
            if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > width) {
                lines << line;
                line.clear();
            }
            line += c;
        }
        lines << line;
    }
    return lines;
}

const QString kFileDigits = QStringLiteral("９８７６５４３２１");
const QString kRankNumerals = QStringLiteral("一二三四五六七八九");

}  // namespace

QFont DiagramFont(int pixelHeight, bool bold) {
    QFont font = SystemFont(kMincho, std::max(1, pixelHeight), bold);
    QStringList families = font.families();
    families << GaijiFamily();
    font.setFamilies(families);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage DrawDiagram(const DiagramInputs& inputs, const DiagramOptions& options) {
    const int zoom = options.zoom >= 1 && options.zoom <= 10 ? options.zoom : 1;
    const Size size = DiagramSize(options.sizeMode, zoom, options.printingSize);
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const DiagramGeometry g = Geometry(options.sizeMode, zoom);
    const Fonts f = MakeFonts(g.heights);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(Qt::black);

    // 1. The title, centred across the picture.
    const std::vector<TextRun> title = SplitMarks(inputs.title, UseGaijiMarks(options));
    const int titleWidth = MarkedWidth(f.d, title, &image);
    DrawMarkedText(painter, f.d, title, {(size.width - titleWidth) / 2, g.TitleY()}, g.hD());
    // 2, 3. Coordinates.
    for (int i = 1; i <= 9; ++i) DrawText(painter, f.b, kFileDigits.mid(i - 1, 1), Q(g.FileNumber(i)));
    for (int j = 1; j <= 9; ++j) DrawText(painter, f.b, kRankNumerals.mid(j - 1, 1), Q(g.RankNumeral(j)));
    // 4, 5, 8. Labels and hands.
    DrawSides(painter, g, g.hD(), f, inputs, options);
    // 6, 7, 9. Pieces: the last move's piece bold in the small sizes.
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode code = inputs.position.board[static_cast<std::size_t>(BoardIndex(file, rank))];
            if (!IsPiece(code)) continue;
            const bool bold = g.boldLastMove && IsLastMove(inputs, file, rank);
            const bool gote = IsGote(code);
            const QString c = ToQString(BoardPieceCharacter(code));
            if (IsSmallPromoted(code)) {
                const QFont& small = bold ? f.bBold : f.b;
                const Point upper = gote ? g.GotePromoted(file, rank, false) : g.SentePromoted(file, rank, false);
                const Point lower = gote ? g.GotePromoted(file, rank, true) : g.SentePromoted(file, rank, true);
                DrawText(painter, small, QStringLiteral("成"), Q(upper), gote);
                DrawText(painter, small, c, Q(lower), gote);
            } else {
                DrawText(painter, bold ? f.eBold : f.e, c, Q(gote ? g.GotePiece(file, rank) : g.SentePiece(file, rank)),
                         gote);
            }
        }
    }
    // 10, 11. Frame and grid.
    DrawGrid(painter, g.x0, g.y0, g.w, g.h, g.framePen, g.gridPen);
    // 12. Comment, in lines as wide as the board and the rank numerals.
    const QStringList comment = WrappedComment(inputs.comment, f.c, &image, 10 * g.w);
    for (int i = 0; i < comment.size(); ++i) DrawText(painter, f.c, comment[i], Q(g.Comment(i)));
    return image;
}

QImage DrawMobileDiagram(const BoardPosition& position, int layout) {
    QImage image(kMobileSize.width, kMobileSize.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const MobileGeometry g = MobileLayout(layout);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont cellFont = DiagramFont(g.charHeight);
    const QFont pieceFont = g.layout == 0 ? DiagramFont(CharHeight(8) - 1) : cellFont;
    auto grid = [&] { DrawGrid(painter, g.x0, g.y0 + 1, g.w, g.h, 1, 1); };
    if (g.layout == 0) grid();
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode code = position.board[static_cast<std::size_t>(BoardIndex(file, rank))];
            if (!IsPiece(code)) continue;
            const bool gote = IsGote(code);
            // The font's piece glyph, or the piece's kanji where the font is not installed.
            const QString glyph = ToQString(GaijiPiece(code));
            const QString c = GaijiFontHasPieces() ? glyph : ToQString(BoardPieceCharacter(code));
            DrawText(painter, pieceFont, c, Q(gote ? g.GotePiece(file, rank) : g.SentePiece(file, rank)), gote);
        }
    }
    if (g.layout != 0) {
        for (int i = 1; i <= 9; ++i) DrawText(painter, cellFont, kFileDigits.mid(i - 1, 1), Q(g.FileNumber(i)));
        for (int j = 1; j <= 9; ++j) DrawText(painter, cellFont, kRankNumerals.mid(j - 1, 1), Q(g.RankNumeral(j)));
        grid();
    }
    return image;
}

void PrintDiagram(QPainter& painter, const DiagramInputs& inputs, const DiagramOptions& options, int quarter,
                  int scale, int fontSet) {
    QPaintDevice* device = painter.device();
    const double dpi = device != nullptr ? device->logicalDpiY() : 96.0;
    const std::array<int, 5> points = PrintFontPoints(fontSet, scale);
    std::array<int, 5> heights{};
    for (std::size_t i = 0; i < 5; ++i) heights[i] = static_cast<int>(std::lround(points[i] * dpi / 72.0));
    const PrintGeometry p = PrintLayout(heights, quarter, scale, fontSet);
    const Fonts f = MakeFonts(heights);
    const int hA = heights[0], hD = heights[3];

    // The picture drawing's positions on the printed cells: the same rules with the printer's sizes.
    DiagramGeometry g = Geometry(1, 1);
    g.heights = heights;
    g.x0 = p.x0;
    g.y0 = p.y0;
    g.w = p.w;
    g.h = p.h;
    g.step = 95 * hD / 100;
    g.boldLastMove = false;

    painter.save();
    painter.setPen(Qt::black);
    const std::vector<TextRun> title = SplitMarks(inputs.title, UseGaijiMarks(options));
    const int titleWidth = MarkedWidth(f.d, title, device);
    DrawMarkedText(painter, f.d, title, {p.x0 + (9 * p.w - titleWidth) / 2, p.y0 - 3 * p.h / 2 + p.h / 5}, hD);
    for (int i = 1; i <= 9; ++i) {
        DrawText(painter, f.a, kFileDigits.mid(i - 1, 1), {p.x0 + (i - 1) * p.w + p.w / 4, p.y0 - 10 * hA / 11});
        DrawText(painter, f.a, kRankNumerals.mid(i - 1, 1), {p.x0 + 9 * p.w + p.h / 7, p.y0 + (i - 1) * p.h + hA / 2});
    }
    DrawSides(painter, g, hD, f, inputs, options);
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode code = inputs.position.board[static_cast<std::size_t>(BoardIndex(file, rank))];
            if (!IsPiece(code)) continue;
            const bool gote = IsGote(code);
            const QString c = ToQString(BoardPieceCharacter(code));
            if (IsSmallPromoted(code)) {
                DrawText(painter, f.b, QStringLiteral("成"),
                         Q(gote ? g.GotePromoted(file, rank, false) : g.SentePromoted(file, rank, false)), gote);
                DrawText(painter, f.b, c, Q(gote ? g.GotePromoted(file, rank, true) : g.SentePromoted(file, rank, true)),
                         gote);
            } else {
                DrawText(painter, f.e, c, Q(gote ? g.GotePiece(file, rank) : g.SentePiece(file, rank)), gote);
            }
        }
    }
    DrawGrid(painter, p.x0, p.y0, p.w, p.h, std::max(1, p.framePen), std::max(1, p.gridPen));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const int radius = std::max(1, p.gridPen) + 2;
    for (int cx : {3, 6}) {
        for (int cy : {3, 6}) painter.drawEllipse(QPoint(p.x0 + cx * p.w, p.y0 + cy * p.h), radius, radius);
    }
    painter.setPen(Qt::black);
    const QStringList comment = WrappedComment(inputs.comment, f.c, device, 9 * p.w);
    for (int i = 0; i < comment.size(); ++i) {
        DrawText(painter, f.c, comment[i], {p.x0 + p.w / 2, p.y0 + 19 * p.h / 2 + i * hD});
    }
    painter.restore();
}

RgbImage ToRgbImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    RgbImage out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) out.at(x, y) = line[x] & 0xFFFFFFu;
    }
    return out;
}

QImage ReduceToDepth(const QImage& image, int bitsPerPixel) {
    // Through the BMP writer's palettes, so the clipboard gets the colours a file would hold.
    const RgbImage rgb = ToRgbImage(image);
    const std::string bytes = EncodeBmp(rgb, bitsPerPixel);
    QImage reduced;
    reduced.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "BMP");
    return reduced;
}

}  // namespace movra
