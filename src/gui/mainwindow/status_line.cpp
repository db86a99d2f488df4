#include "gui/mainwindow/status_line.h"

#include <QMouseEvent>
#include <QPalette>

#include "gui/common/fonts.h"

namespace movra {

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("StatusPanel0"));
    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("StatusPanel1"));
    for (QLabel* panel : {time_, header_}) {
        panel->setFont(SystemFont(kPGothic, 12));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
    }
    time_->setMinimumWidth(300);
    // Dark text on a light panel, whatever the window behind it is painted with.
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(236, 228, 210));
    palette.setColor(QPalette::WindowText, QColor(24, 14, 6));
    setPalette(palette);
    for (QLabel* panel : {time_, header_}) panel->setPalette(palette);
    time_->installEventFilter(this);
    addWidget(time_, 0);
    addWidget(header_, 1);
}

void StatusLine::setTimeText(const QString& text) { time_->setText(text); }
void StatusLine::setHeaderText(const QString& text) { header_->setText(text); }
QString StatusLine::timeText() const { return time_->text(); }
QString StatusLine::headerText() const { return header_->text(); }

bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == time_ && event->type() == QEvent::MouseButtonRelease) {
        emit timePanelClicked();
        return true;
    }
    return QStatusBar::eventFilter(watched, event);
}

}  // namespace movra
