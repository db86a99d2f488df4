#include "gui/picturegen/glyph.h"

#include <QPainterPath>
#include <QPen>

#include <algorithm>

namespace movra::picturegen {

void DrawFittedText(QPainter& painter, const QString& text, const QRectF& box, const QFont& font,
                    const QColor& ink, double weight) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return;
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    painter.save();
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-bounds.center());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(ink);
    if (weight > 0) {
        QPen pen(ink, weight / scale);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.drawPath(path);
    painter.restore();
}

}  // namespace movra::picturegen
