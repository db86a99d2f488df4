#include "gui/mainwindow/name_plate.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "gui/common/fonts.h"

namespace movra {

NamePlate::NamePlate(const QString& objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(objectName);
}

void NamePlate::setName(const QString& name) {
    name_ = name;
    update();
}

void NamePlate::setMark(const QString& mark) {
    mark_ = mark;
    update();
}

void NamePlate::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plate = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(plate, 3, 3);
    // An ivory plate with a gilt edge.
    QLinearGradient face(plate.topLeft(), plate.bottomLeft());
    face.setColorAt(0.0, QColor(255, 252, 238));
    face.setColorAt(1.0, QColor(236, 224, 196));
    p.fillPath(shape, face);
    p.setPen(QPen(QColor(176, 136, 60), 1.0));
    p.drawPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1.0));
    p.drawLine(plate.topLeft() + QPointF(3, 1.5), plate.topRight() + QPointF(-3, 1.5));

    const int size = qMax(10, height() * 3 / 5);
    p.setFont(SystemFont(kMincho, size));
    p.setPen(QColor(0, 0, 128));
    const QRectF text = plate.adjusted(size + 4, 0, -(size + 4), 0);
    p.drawText(text, Qt::AlignCenter,
               QFontMetrics(p.font()).elidedText(name_, Qt::ElideRight, int(text.width())));
    if (!mark_.isEmpty()) {
        p.setPen(QColor(40, 24, 10));
        p.drawText(QRectF(plate.left() + 4, plate.top(), size + 2, plate.height()),
                   Qt::AlignCenter, mark_);
    }
}

}  // namespace movra
