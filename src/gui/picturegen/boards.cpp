#include "gui/picturegen/boards.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "gui/common/fonts.h"
#include "gui/common/picture_layout.h"
#include "gui/picturegen/glyph.h"
#include "gui/picturegen/wood.h"

namespace movra::picturegen {
namespace {

// A raised edge: light along the top and left, shadow along the bottom and right.
void DrawBevel(QPainter& p, const QRect& r, int width, int lightAlpha, int shadowAlpha) {
    for (int i = 0; i < width; ++i) {
        const double fade = 1.0 - double(i) / width;
        const QColor light(255, 240, 210, static_cast<int>(lightAlpha * fade));
        const QColor shadow(40, 16, 0, static_cast<int>(shadowAlpha * fade));
        const QRect e = r.adjusted(i, i, -i - 1, -i - 1);
        p.setPen(light);
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
        p.setPen(shadow);
        p.drawLine(e.bottomLeft(), e.bottomRight());
        p.drawLine(e.topRight(), e.bottomRight());
    }
}

std::uint32_t SeedOf(const SizeSet& dims, int colourSet, int kind) {
    return static_cast<std::uint32_t>(dims.letter) * 7919u + colourSet * 104729u + kind * 31u + 17u;
}

}  // namespace

QImage To256Colours(const QImage& image) {
    return image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
}

QImage DrawBoard(const SizeSet& dims, int colourSet) {
    const QSize size = dims.board();
    QImage image = WoodSurface(size, colourSet == 1 ? KayaTone() : KayaTone256(),
                               SeedOf(dims, colourSet, 1));
    QPainter p(&image);

    // The board's edge: a soft darkening towards the rim, then a bevel.
    const int rim = std::max(3, dims.boardMargin / 4);
    for (int i = 0; i < dims.boardMargin / 2; ++i) {
        const double t = 1.0 - double(i) / (dims.boardMargin / 2);
        p.setPen(QColor(90, 50, 10, static_cast<int>(36 * t * t)));
        p.drawRect(QRect(QPoint(i, i), size - QSize(2 * i + 1, 2 * i + 1)));
    }
    DrawBevel(p, image.rect(), rim, 110, 150);

    // The grid: thin lines between the squares, a heavier frame, and the four star points.
    const QSize pitch = dims.pitch();
    const int x0 = dims.boardMargin;
    const int y0 = dims.boardMargin;
    const QColor ink = colourSet == 1 ? QColor(34, 20, 6) : QColor(40, 24, 8);
    const bool large = dims.letter == 'E';
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ink, large ? 2 : 1));
    for (int i = 1; i < 9; ++i) {
        const int x = x0 + i * pitch.width();
        const int y = y0 + i * pitch.height();
        p.drawLine(x, y0, x, y0 + 9 * pitch.height());
        p.drawLine(x0, y, x0 + 9 * pitch.width(), y);
    }
    // The frame sits just outside the outer squares so it never covers a piece.
    p.setPen(QPen(ink, 1));
    const QRect frame(x0, y0, 9 * pitch.width(), 9 * pitch.height());
    for (int i = 0; i < (large ? 3 : 2); ++i) {
        p.drawRect(frame.adjusted(-i, -i, i, i));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double r = std::max(2.0, pitch.width() / 13.0);
    for (int fx : {3, 6}) {
        for (int fy : {3, 6}) {
            p.drawEllipse(QPointF(x0 + fx * pitch.width() + 0.5, y0 + fy * pitch.height() + 0.5), r, r);
        }
    }
    p.end();
    return colourSet == 1 ? image : To256Colours(image);
}

QImage DrawStand(const SizeSet& dims, int colourSet) {
    const QSize size = dims.stand;
    QImage image = WoodSurface(size, colourSet == 1 ? StandTone() : StandTone256(),
                               SeedOf(dims, colourSet, 2), true);
    QPainter p(&image);
    const int rim = std::max(4, size.width() / 24);
    // The raised rim of the stand, then the recessed top where the pieces lie.
    DrawBevel(p, image.rect(), rim, 120, 170);
    const QRect top = image.rect().adjusted(rim + 1, rim + 1, -rim - 1, -rim - 1);
    p.setPen(QColor(30, 10, 0, 150));
    p.drawRect(top.adjusted(0, 0, -1, -1));
    for (int i = 1; i < 4; ++i) {
        const QRect e = top.adjusted(i, i, -i - 1, -i - 1);
        p.setPen(QColor(30, 10, 0, 70 - 20 * i));
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
    }
    // A faint sheen over the top.
    QRadialGradient sheen(top.center() - QPoint(top.width() / 4, top.height() / 4),
                          std::max(top.width(), top.height()));
    sheen.setColorAt(0.0, QColor(255, 230, 200, 40));
    sheen.setColorAt(1.0, QColor(255, 230, 200, 0));
    p.fillRect(top.adjusted(1, 1, -1, -1), sheen);
    p.end();
    return colourSet == 1 ? image : To256Colours(image);
}

QImage DrawKifBox(const SizeSet& dims) {
    // Pale washi paper with long fibres, behind the move list.
    const QSize size = dims.kifBox;
    QImage image(size, QImage::Format_RGB32);
    Random random(SeedOf(dims, 0, 3));
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = static_cast<int>((random.Unit() - 0.5) * 8);
            line[x] = qRgb(250 + std::min(5, n), 245 + n, 230 + n);
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int fibres = size.width() * size.height() / 90;
    for (int i = 0; i < fibres; ++i) {
        const QPointF start(random.Unit() * size.width(), random.Unit() * size.height());
        const double angle = random.Unit() * 2 * M_PI;
        const double length = 4 + random.Unit() * 14;
        QPainterPath fibre(start);
        const QPointF end = start + QPointF(std::cos(angle), std::sin(angle)) * length;
        const QPointF bend = (start + end) / 2 + QPointF(random.Unit() * 4 - 2, random.Unit() * 4 - 2);
        fibre.quadTo(bend, end);
        p.setPen(QPen(QColor(190, 160, 110, 30 + static_cast<int>(random.Unit() * 40)), 0.6));
        p.drawPath(fibre);
    }
    p.setPen(QColor(160, 120, 70));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.end();
    return image;
}

namespace {

// The symbol of one replay button, drawn in `ink` inside `box`.
void DrawButtonSymbol(QPainter& p, int button, const QRectF& box, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double s = box.width();
    const QPointF c = box.center();
    auto triangle = [&](double cx, double size, bool right) {
        const double h = size * 0.9;
        QPolygonF t;
        if (right) {
            t << QPointF(cx - h / 2, c.y() - size / 2) << QPointF(cx + h / 2, c.y())
              << QPointF(cx - h / 2, c.y() + size / 2);
        } else {
            t << QPointF(cx + h / 2, c.y() - size / 2) << QPointF(cx - h / 2, c.y())
              << QPointF(cx + h / 2, c.y() + size / 2);
        }
        p.drawPolygon(t);
    };
    const QFont kanji = SystemFont(kMincho, 32);
    switch (button) {
        case 1: {  // automatic replay: a play mark in a ring
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(ink, s * 0.08));
            p.drawEllipse(c, s * 0.42, s * 0.42);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            triangle(c.x() + s * 0.04, s * 0.42, true);
            break;
        }
        case 2:
            triangle(c.x(), s * 0.56, true);
            break;
        case 3:
            triangle(c.x(), s * 0.56, false);
            break;
        case 7:  // fast replay
            triangle(c.x() - s * 0.2, s * 0.5, true);
            triangle(c.x() + s * 0.2, s * 0.5, true);
            break;
        case 9:  // back to the start
            p.drawRect(QRectF(c.x() - s * 0.36, c.y() - s * 0.27, s * 0.1, s * 0.54));
            triangle(c.x() - s * 0.06, s * 0.54, false);
            triangle(c.x() + s * 0.22, s * 0.54, false);
            break;
        case 8: {  // turn the board: two arrows chasing each other round
            p.setBrush(Qt::NoBrush);
            QPen pen(ink, s * 0.09);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            const QRectF ring(c.x() - s * 0.33, c.y() - s * 0.33, s * 0.66, s * 0.66);
            p.drawArc(ring, 30 * 16, 130 * 16);
            p.drawArc(ring, 210 * 16, 130 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            for (double a : {30.0, 210.0}) {
                const double rad = a * M_PI / 180.0;
                const QPointF tip = c + QPointF(std::cos(rad), -std::sin(rad)) * s * 0.33;
                const QPointF along(-std::sin(rad), -std::cos(rad));  // clockwise tangent
                const QPointF out(std::cos(rad), -std::sin(rad));
                QPolygonF head;
                head << tip + along * (s * 0.16) << tip + out * (s * 0.13) - along * (s * 0.02)
                     << tip - out * (s * 0.13) - along * (s * 0.02);
                p.drawPolygon(head);
            }
            break;
        }
        case 5: {  // search: a magnifying glass
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(ink, s * 0.09));
            const QPointF lens = c - QPointF(s * 0.08, s * 0.08);
            p.drawEllipse(lens, s * 0.22, s * 0.22);
            QPen handle(ink, s * 0.14);
            handle.setCapStyle(Qt::RoundCap);
            p.setPen(handle);
            p.drawLine(lens + QPointF(s * 0.17, s * 0.17), lens + QPointF(s * 0.38, s * 0.38));
            break;
        }
        case 10: {  // the game list
            for (int i = 0; i < 3; ++i) {
                const double y = c.y() - s * 0.26 + i * s * 0.26;
                p.drawEllipse(QPointF(c.x() - s * 0.3, y), s * 0.06, s * 0.06);
                p.drawRect(QRectF(c.x() - s * 0.18, y - s * 0.045, s * 0.52, s * 0.09));
            }
            break;
        }
        case 4:
            DrawFittedText(p, QStringLiteral("検"), box.adjusted(s * 0.12, s * 0.12, -s * 0.12, -s * 0.12),
                           kanji, ink, 1.2);
            break;
        case 6:
            DrawFittedText(p, QStringLiteral("編"), box.adjusted(s * 0.12, s * 0.12, -s * 0.12, -s * 0.12),
                           kanji, ink, 1.2);
            break;
        case 11:
            DrawFittedText(p, QStringLiteral("詰"), box.adjusted(s * 0.12, s * 0.12, -s * 0.12, -s * 0.12),
                           kanji, ink, 1.2);
            break;
        case 12: {
            DrawFittedText(p, QStringLiteral("図"), box.adjusted(s * 0.06, s * 0.2, -s * 0.26, -s * 0.06),
                           kanji, ink, 1.2);
            const QPointF plus = box.topRight() + QPointF(-s * 0.17, s * 0.19);
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(plus.x() - s * 0.14, plus.y() - s * 0.035, s * 0.28, s * 0.07));
            p.drawRect(QRectF(plus.x() - s * 0.035, plus.y() - s * 0.14, s * 0.07, s * 0.28));
            break;
        }
        default:
            break;
    }
    p.restore();
}

}  // namespace

QImage DrawButtons(const SizeSet& dims, int colourSet) {
    const int b = dims.button;
    QImage image(b * pictures::kButtonCount, b * pictures::kButtonRows, QImage::Format_RGB32);
    image.fill(colourSet == 1 ? QColor(40, 18, 8) : QColor(48, 24, 12));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QImage face = WoodSurface(QSize(b, b), colourSet == 1 ? KayaTone() : KayaTone256(),
                                    SeedOf(dims, colourSet, 5));
    for (int row = 0; row < pictures::kButtonRows; ++row) {
        const bool down = row == 1;
        for (int i = 0; i < pictures::kButtonCount; ++i) {
            const QRectF cell(i * b, row * b, b, b);
            const QRectF body = cell.adjusted(1, 1, -1, -1);
            const double radius = b / 6.0;
            QPainterPath shape;
            shape.addRoundedRect(body, radius, radius);
            // Wood face under a varnish that is lighter above (raised) or darker (pressed).
            p.save();
            p.setClipPath(shape);
            p.drawImage(body.topLeft(), face);
            QLinearGradient varnish(body.topLeft(), body.bottomLeft());
            varnish.setColorAt(0.0, down ? QColor(60, 30, 0, 110) : QColor(255, 250, 230, 110));
            varnish.setColorAt(0.5, QColor(255, 255, 255, 0));
            varnish.setColorAt(1.0, down ? QColor(255, 240, 210, 40) : QColor(60, 30, 0, 90));
            p.fillRect(body, varnish);
            p.restore();
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(50, 22, 6), 1.2));
            p.drawPath(shape);
            p.setPen(QPen(down ? QColor(40, 16, 0, 120) : QColor(255, 245, 220, 150), 1.0));
            p.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
            const QRectF symbolBox = body.adjusted(b * 0.18, b * 0.18, -b * 0.18, -b * 0.18)
                                         .translated(down ? 1 : 0, down ? 1 : 0);
            DrawButtonSymbol(p, i + 1, symbolBox, down ? QColor(120, 20, 10) : QColor(58, 28, 10));
        }
    }
    p.end();
    return colourSet == 1 ? image : To256Colours(image);
}

QImage DrawPanel(const SizeSet& dims, int colourSet) {
    // Black lacquer with the wood showing faintly through, and a gold rule round the edge.
    const QSize size = dims.panel;
    QImage image = WoodSurface(size, StandTone(), SeedOf(dims, colourSet, 6), true);
    QPainter p(&image);
    QLinearGradient lacquer(0, 0, 0, size.height());
    lacquer.setColorAt(0.0, QColor(40, 18, 10, colourSet == 1 ? 200 : 225));
    lacquer.setColorAt(1.0, QColor(16, 6, 2, colourSet == 1 ? 225 : 240));
    p.fillRect(image.rect(), lacquer);
    DrawBevel(p, image.rect(), 3, 70, 160);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colourSet == 1 ? QColor(206, 164, 76) : QColor(200, 160, 64), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(image.rect()).adjusted(3.5, 3.5, -3.5, -3.5), 3, 3);
    p.end();
    return colourSet == 1 ? image : To256Colours(image);
}

}  // namespace movra::picturegen
