#include "gui/mainwindow/read_aloud_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "gui/common/qtext.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

// A speaker facing right, in a square of `side` pixels; with waves when `on`, crossed out when not.
QPixmap SpeakerPicture(int side, bool on) {
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = side / 16.0;
    QPainterPath speaker;
    speaker.moveTo(2 * u, 6 * u);
    speaker.lineTo(5 * u, 6 * u);
    speaker.lineTo(9 * u, 2.5 * u);
    speaker.lineTo(9 * u, 13.5 * u);
    speaker.lineTo(5 * u, 10 * u);
    speaker.lineTo(2 * u, 10 * u);
    speaker.closeSubpath();
    const QColor ink(on ? QColor(250, 235, 200) : QColor(150, 130, 110));
    p.fillPath(speaker, ink);
    QPen pen(ink, 1.3 * u, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    if (on) {
        p.drawArc(QRectF(7 * u, 5 * u, 5 * u, 6 * u), -50 * 16, 100 * 16);
        p.drawArc(QRectF(7 * u, 2.5 * u, 8 * u, 11 * u), -50 * 16, 100 * 16);
    } else {
        pen.setColor(QColor(200, 60, 50));
        p.setPen(pen);
        p.drawLine(QPointF(10.5 * u, 5.5 * u), QPointF(14.5 * u, 10.5 * u));
        p.drawLine(QPointF(14.5 * u, 5.5 * u), QPointF(10.5 * u, 10.5 * u));
    }
    return picture;
}

}  // namespace

ReadAloudButton::ReadAloudButton(QWidget* parent) : QToolButton(parent) {
    setObjectName(QStringLiteral("YomiageButton"));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    Redraw();
}

void ReadAloudButton::setOn(bool on) {
    on_ = on;
    Redraw();
}

void ReadAloudButton::setSide(int side) {
    side_ = side;
    setFixedSize(side, side);
    Redraw();
}

void ReadAloudButton::Redraw() {
    setIcon(QIcon(SpeakerPicture(side_, on_)));
    setIconSize(QSize(side_ - 4, side_ - 4));
    setToolTip(ToQString(on_ ? std::string("棋譜読み上げ【オン】"_sj) : std::string("棋譜読み上げ【オフ】"_sj)));
}

}  // namespace movra
