#include "gui/picturegen/pieces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <array>

#include "gui/common/fonts.h"
#include "gui/common/picture_layout.h"
#include "gui/picturegen/glyph.h"
#include "gui/picturegen/wood.h"

namespace movra::picturegen {
namespace {

struct PieceFace {
    QString one;      // single-character face
    QString two;      // two-character face
    double scale;     // size against the king's, as in a real set
    bool promoted;
};

// By sente piece code 1-14.
PieceFace FaceOf(int code, bool goteKing) {
    switch (code) {
        case 1: return {QStringLiteral("歩"), QStringLiteral("歩兵"), 0.84, false};
        case 2: return {QStringLiteral("と"), QStringLiteral("と金"), 0.84, true};
        case 3: return {QStringLiteral("香"), QStringLiteral("香車"), 0.87, false};
        case 4: return {QStringLiteral("杏"), QStringLiteral("成香"), 0.87, true};
        case 5: return {QStringLiteral("桂"), QStringLiteral("桂馬"), 0.90, false};
        case 6: return {QStringLiteral("圭"), QStringLiteral("成桂"), 0.90, true};
        case 7: return {QStringLiteral("銀"), QStringLiteral("銀将"), 0.93, false};
        case 8: return {QStringLiteral("全"), QStringLiteral("成銀"), 0.93, true};
        case 9: return {QStringLiteral("金"), QStringLiteral("金将"), 0.93, false};
        case 10: return {QStringLiteral("角"), QStringLiteral("角行"), 0.97, false};
        case 11: return {QStringLiteral("馬"), QStringLiteral("龍馬"), 0.97, true};
        case 12: return {QStringLiteral("飛"), QStringLiteral("飛車"), 0.97, false};
        case 13: return {QStringLiteral("龍"), QStringLiteral("龍王"), 0.97, true};
        default:
            return goteKing ? PieceFace{QStringLiteral("王"), QStringLiteral("王将"), 1.0, false}
                            : PieceFace{QStringLiteral("玉"), QStringLiteral("玉将"), 1.0, false};
    }
}

// The pentagon of a piece pointing up, inside `r`.
QPainterPath Pentagon(const QRectF& r) {
    auto at = [&](double fx, double fy) {
        return QPointF(r.left() + fx * r.width(), r.top() + fy * r.height());
    };
    QPainterPath path;
    path.moveTo(at(0.5, 0.0));
    path.lineTo(at(0.87, 0.19));
    path.lineTo(at(0.97, 1.0));
    path.lineTo(at(0.03, 1.0));
    path.lineTo(at(0.13, 0.19));
    path.closeSubpath();
    return path;
}

// Draws one piece pointing up into the cell (0, 0, size).
void PaintPiece(QPainter& p, QSize size, int code, bool goteKing, PieceStyle style,
                const QImage& grain) {
    const PieceFace face = FaceOf(code, goteKing);
    const double w = (size.width() - 1) * face.scale;
    const double h = (size.height() - 1) * face.scale;
    const QRectF body((size.width() - w) / 2.0, (size.height() - h) / 2.0 + (1.0 - face.scale) * 1.5,
                      w, h);
    const QPainterPath shape = Pentagon(body);

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The boxwood face, lit from the upper left; the right side falls into shade like the
    // bevelled edge of a real piece.
    p.setClipPath(shape);
    p.drawImage(QPointF(0, 0), grain);
    QLinearGradient light(body.topLeft(), body.bottomRight());
    light.setColorAt(0.0, QColor(255, 255, 240, 70));
    light.setColorAt(0.55, QColor(255, 255, 255, 0));
    light.setColorAt(1.0, QColor(120, 70, 10, 70));
    p.fillRect(body, light);
    QLinearGradient edge(body.topLeft(), body.topRight());
    edge.setColorAt(0.0, QColor(255, 255, 255, 0));
    edge.setColorAt(0.86, QColor(255, 255, 255, 0));
    edge.setColorAt(1.0, QColor(110, 60, 10, 90));
    p.fillRect(body, edge);
    p.setClipping(false);

    p.setBrush(Qt::NoBrush);
    QPen outline(QColor(110, 70, 26), std::max(1.0, size.width() / 36.0));
    outline.setJoinStyle(Qt::RoundJoin);
    p.setPen(outline);
    p.drawPath(shape);

    const QColor ink = face.promoted ? QColor(178, 24, 14) : QColor(24, 12, 4);
    const QFont font = SystemFont(kMincho, 64);
    const double weight = size.height() / 34.0;
    auto box = [&](double x0, double y0, double x1, double y1) {
        return QRectF(body.left() + x0 * w, body.top() + y0 * h, (x1 - x0) * w, (y1 - y0) * h);
    };
    if (style == PieceStyle::OneCharacter || face.two.size() < 2) {
        DrawFittedText(p, face.one, box(0.2, 0.3, 0.8, 0.9), font, ink, weight);
    } else {
        DrawFittedText(p, face.two.left(1), box(0.24, 0.25, 0.76, 0.585), font, ink, weight * 0.8);
        DrawFittedText(p, face.two.mid(1, 1), box(0.24, 0.615, 0.76, 0.95), font, ink, weight * 0.8);
    }
    p.restore();
}

}  // namespace

QImage DrawPieceSet(QSize piece, PieceStyle style) {
    const int w = piece.width();
    const int h = piece.height();
    QImage pieces(w * pictures::kPieceColumns, h * 2, QImage::Format_ARGB32_Premultiplied);
    pieces.fill(Qt::transparent);
    {
        QPainter p(&pieces);
        for (int column = 0; column < pictures::kPieceColumns; ++column) {
            const int code = pictures::kColumnCode[column];
            for (int row = 0; row < 2; ++row) {
                // Each piece gets its own stretch of wood, as each piece of a set is cut apart.
                const QImage grain =
                    WoodSurface(piece, BoxwoodTone(), 1000u + static_cast<std::uint32_t>(column * 2 + row));
                p.save();
                p.translate(column * w, row * h);
                if (row == 1) {
                    // Gote's pieces face the other way.
                    p.translate(w, h);
                    p.rotate(180);
                }
                PaintPiece(p, piece, code, row == 1, style, grain);
                p.restore();
            }
        }
    }
    // Colour rows on black, mask rows below them: the colour is kept unblended at the edges
    // and the mask carries how much of it shows.
    const QImage straight = pieces.convertToFormat(QImage::Format_ARGB32);
    QImage file(w * pictures::kPieceColumns, h * pictures::kPieceRows, QImage::Format_RGB32);
    file.fill(Qt::black);
    for (int y = 0; y < 2 * h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        auto* colour = reinterpret_cast<QRgb*>(file.scanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(file.scanLine(y + 2 * h));
        for (int x = 0; x < file.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            colour[x] = alpha == 0 ? qRgb(0, 0, 0) : qRgb(qRed(in[x]), qGreen(in[x]), qBlue(in[x]));
            const int m = 255 - alpha;
            mask[x] = qRgb(m, m, m);
        }
    }
    return file;
}

}  // namespace movra::picturegen
