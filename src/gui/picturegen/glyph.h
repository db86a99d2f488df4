#pragma once
// Characters drawn as outlines fitted into a box: the pieces and buttons use this so that a
// character fills its place whatever the font's own metrics.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace movra::picturegen {

// Draws `text` scaled (keeping its proportions) to fit `box`, centred in it, filled with `ink`
// and outlined with a pen of `weight` pixels in the same colour (a heavier stroke for fonts that
// have no bold face).
void DrawFittedText(QPainter& painter, const QString& text, const QRectF& box, const QFont& font,
                    const QColor& ink, double weight);

}  // namespace movra::picturegen
