#include "gui/mainwindow/replay_panel.h"

#include <QPainter>

#include "gui/common/not_available.h"
#include "gui/common/picture_layout.h"
#include "gui/mainwindow/picture_set.h"

namespace movra {

QString ReplayButtonName(int number) {
    switch (number) {
        case 1: return QStringLiteral("自動再生");
        case 2: return QStringLiteral("１手進む");
        case 3: return QStringLiteral("１手戻る");
        case 4: return QStringLiteral("検討モード");
        case 5: return QStringLiteral("棋譜検索");
        case 6: return QStringLiteral("局面編集");
        case 7: return QStringLiteral("高速再生");
        case 8: return QStringLiteral("盤面反転");
        case 9: return QStringLiteral("初期局面");
        case 10: return QStringLiteral("棋譜一覧");
        case 11: return QStringLiteral("詰将棋探索");
        case 12: return QStringLiteral("局面図に追加");
        default: return {};
    }
}

PictureButton::PictureButton(int number, QWidget* parent) : QAbstractButton(parent), number_(number) {
    setObjectName(QStringLiteral("PBtn%1").arg(number));
    setFocusPolicy(Qt::NoFocus);
    setToolTip(ReplayButtonName(number));
}

void PictureButton::setPictures(const QPixmap& up, const QPixmap& down) {
    up_ = up;
    down_ = down;
    if (!up_.isNull()) setFixedSize(up_.size());
    update();
}

QSize PictureButton::sizeHint() const { return up_.isNull() ? QSize(28, 28) : up_.size(); }

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool pressed = isDown() || isChecked();
    const QPixmap& picture = pressed ? down_ : up_;
    if (!isEnabled()) p.setOpacity(0.38);
    if (picture.isNull()) {
        p.fillRect(rect(), pressed ? QColor(120, 80, 40) : QColor(200, 160, 100));
    } else {
        p.drawPixmap(0, 0, picture);
    }
}

ReplayPanel::ReplayPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainPanel1"));
    for (int i = 0; i < 12; ++i) {
        auto* b = new PictureButton(i + 1, this);
        const int number = i + 1;
        if (number == AutoReplay || number == Study || number == FastReplay || number == MateSearch) {
            b->setCheckable(true);
        }
        connect(b, &QAbstractButton::clicked, this, [this, number] { emit buttonPressed(number); });
        buttons_[i] = b;
    }
}

void ReplayPanel::setPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    if (pictures_ == nullptr) return;
    setFixedSize(pictures_->panel().size());
    for (PictureButton* b : buttons_) {
        b->setPictures(pictures_->button(b->number(), false), pictures_->button(b->number(), true));
    }
    placeButtons();
    update();
}

void ReplayPanel::placeButtons() {
    const QSize b = buttons_[0]->sizeHint();
    const int columns = pictures::kPanelColumns;
    const int rows = pictures::kPanelRows;
    const int gapX = qMax(1, (width() - columns * b.width()) / (columns + 1));
    const int gapY = qMax(1, (height() - rows * b.height()) / (rows + 1));
    for (int i = 0; i < pictures::kButtonCount; ++i) {
        PictureButton* button = buttons_[pictures::kPanelOrder[i] - 1];
        const int column = i % columns;
        const int row = i / columns;
        button->move(gapX + column * (b.width() + gapX), gapY + row * (b.height() + gapY));
    }
}

PictureButton* ReplayPanel::button(int number) const {
    return number >= 1 && number <= 12 ? buttons_[number - 1] : nullptr;
}

void ReplayPanel::setLatched(int number, bool down) {
    PictureButton* b = button(number);
    if (b != nullptr && b->isCheckable()) b->setChecked(down);
}

bool ReplayPanel::latched(int number) const {
    PictureButton* b = button(number);
    return b != nullptr && b->isChecked();
}

void ReplayPanel::markNotAvailable(int number) {
    PictureButton* b = button(number);
    if (b == nullptr) return;
    b->setEnabled(false);
    b->setToolTip(NotAvailableYet(ReplayButtonName(number)));
    // Tooltips of disabled widgets still show.
    b->setAttribute(Qt::WA_AlwaysShowToolTips, true);
}

void ReplayPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (pictures_ != nullptr && !pictures_->panel().isNull()) {
        p.drawPixmap(0, 0, pictures_->panel());
    } else {
        p.fillRect(rect(), QColor(30, 14, 6));
    }
}

}  // namespace movra
