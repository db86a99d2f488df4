#include "gui/mainwindow/hand_view.h"

#include <QPainter>

#include "gui/common/fonts.h"
#include "core/viewing/board_mapping.h"
#include "gui/mainwindow/picture_set.h"

namespace movra {
namespace {

// Kinds in the order of the stand, two to a row: 飛 角 / 金 銀 / 桂 香 / 歩 玉 (a king is in
// hand only on the set-up board of position editing).
constexpr int kStandOrder[8] = {kind::Hi, kind::Kaku, kind::Kin, kind::Gin,
                                kind::Kei, kind::Kyo, kind::Fu, kind::Gyoku};

}  // namespace

HandView::HandView(int side, QWidget* parent) : QWidget(parent), side_(side) {
    setObjectName(side == 1 ? QStringLiteral("ImgDai1") : QStringLiteral("ImgDai2"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HandView::setPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    if (pictures_ != nullptr) setFixedSize(pictures_->stand().size());
    update();
}

void HandView::setHand(const HandCounts& counts) {
    counts_ = counts;
    update();
}

void HandView::setTurned(bool turned) {
    turned_ = turned;
    update();
}

QSize HandView::sizeHint() const {
    return pictures_ != nullptr ? pictures_->stand().size() : QSize(136, 196);
}

QRect HandView::kindRect(int kindNumber) const {
    if (pictures_ == nullptr) return {};
    int slot = -1;
    for (int i = 0; i < 8; ++i) {
        if (kStandOrder[i] == kindNumber) slot = i;
    }
    if (slot < 0) return {};
    const int pad = qMax(6, width() / 18);
    const int cellWidth = (width() - 2 * pad) / 2;
    const int cellHeight = (height() - 2 * pad) / 4;
    const QSize piece = pictures_->pieceSize();
    const int x = pad + (slot % 2) * cellWidth + (cellWidth - piece.width()) / 4;
    const int y = pad + (slot / 2) * cellHeight + (cellHeight - piece.height()) / 2;
    return QRect(QPoint(x, y), piece);
}

void HandView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (pictures_ == nullptr || !pictures_->loaded()) {
        p.fillRect(rect(), QColor(90, 40, 20));
        return;
    }
    p.drawPixmap(0, 0, pictures_->stand());
    const QSize piece = pictures_->pieceSize();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(SystemFont(kMincho, qMax(10, piece.height() * 2 / 5), true));
    for (int kindNumber : kStandOrder) {
        const int count = counts_[kindNumber];
        if (count == 0) continue;
        const PieceCode code = static_cast<PieceCode>(CodeOfKind(kindNumber) +
                                                      (side_ == 2 ? piece::kGoteOffset : 0));
        const QRect r = kindRect(kindNumber);
        p.drawPixmap(r.topLeft(), pictures_->piece(PictureNumber(code, turned_)));
        if (count > 1) {
            const QRect number(r.right() + 2, r.top(), width() - r.right() - 4, r.height());
            const QString text = QString::number(count);
            // Light figures with a dark shadow read well on the dark stand.
            p.setPen(QColor(20, 6, 0, 200));
            p.drawText(number.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
            p.setPen(QColor(255, 236, 190));
            p.drawText(number, Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
}

}  // namespace movra
