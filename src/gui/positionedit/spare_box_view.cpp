#include "gui/positionedit/spare_box_view.h"

#include <QPainter>

#include "core/viewing/board_mapping.h"
#include "gui/common/fonts.h"
#include "gui/mainwindow/picture_set.h"

namespace movra {
namespace {

// Two kinds to a row, strongest first: 玉 飛 / 角 金 / 銀 桂 / 香 歩.
constexpr int kBoxOrder[8] = {kind::Gyoku, kind::Hi, kind::Kaku, kind::Kin,
                              kind::Gin,   kind::Kei, kind::Kyo, kind::Fu};

}  // namespace

HandCounts BoxCounts(const BoardPosition& position) {
    HandCounts counts{};
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = position.pieces[i];
        if (e.present != 0 && e.file == location::kBox && e.rank >= 1 && e.rank <= 8) ++counts[e.rank];
    }
    return counts;
}

SpareBoxView::SpareBoxView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImgBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SpareBoxView::setPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    update();
}

void SpareBoxView::setBox(const HandCounts& counts) {
    counts_ = counts;
    update();
}

int SpareBoxView::captionHeight() const { return qMax(18, height() / 14); }

QRect SpareBoxView::kindRect(int kindNumber) const {
    if (pictures_ == nullptr) return {};
    int slot = -1;
    for (int i = 0; i < 8; ++i) {
        if (kBoxOrder[i] == kindNumber) slot = i;
    }
    if (slot < 0) return {};
    const QSize piece = pictures_->pieceSize();
    const int top = captionHeight() + 6;
    const int cellWidth = width() / 2;
    const int cellHeight = qBound(piece.height() + 4, (height() - top - 6) / 4, piece.height() * 3 / 2);
    const int x = (slot % 2) * cellWidth + (cellWidth - piece.width()) / 4;
    const int y = top + (slot / 2) * cellHeight + (cellHeight - piece.height()) / 2;
    return QRect(QPoint(x, y), piece);
}

void SpareBoxView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (pictures_ == nullptr || !pictures_->loaded()) {
        p.fillRect(rect(), QColor(90, 40, 20));
        return;
    }
    p.drawPixmap(rect(), pictures_->stand());
    // The caption strip, in the panel's lacquer.
    const QRect caption(0, 0, width(), captionHeight());
    p.drawPixmap(caption, pictures_->panel());
    p.setPen(QColor(255, 236, 190));
    p.setFont(SystemFont(kMincho, qMax(10, caption.height() * 2 / 3), true));
    p.drawText(caption, Qt::AlignCenter, QStringLiteral("不要駒置き場"));

    const QSize piece = pictures_->pieceSize();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(SystemFont(kMincho, qMax(10, piece.height() * 2 / 5), true));
    for (int kindNumber : kBoxOrder) {
        const int count = counts_[std::size_t(kindNumber)];
        if (count == 0) continue;
        const QRect r = kindRect(kindNumber);
        p.drawPixmap(r.topLeft(), pictures_->piece(PictureNumber(CodeOfKind(PieceKind(kindNumber)), false)));
        if (count > 1) {
            const QRect number(r.right() + 2, r.top(), width() / 2 - piece.width(), r.height());
            const QString text = QString::number(count);
            p.setPen(QColor(20, 6, 0, 200));
            p.drawText(number.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
            p.setPen(QColor(255, 236, 190));
            p.drawText(number, Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
}

}  // namespace movra
