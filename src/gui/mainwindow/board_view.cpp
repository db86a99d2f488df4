#include "gui/mainwindow/board_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "gui/common/fonts.h"
#include "gui/mainwindow/picture_set.h"

namespace movra {
namespace {

const QString kFileDigits = QStringLiteral("１２３４５６７８９");
const QString kRankNumerals = QStringLiteral("一二三四五六七八九");

}  // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImgBan"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::setPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    if (pictures_ != nullptr) setFixedSize(pictures_->board().size());
    update();
}

void BoardView::setPosition(const BoardPosition& position) {
    position_ = position;
    update();
}

void BoardView::setTurned(bool turned) {
    turned_ = turned;
    update();
}

void BoardView::setFramedSquare(std::optional<Square> square) {
    framed_ = square;
    update();
}

QSize BoardView::sizeHint() const {
    return pictures_ != nullptr ? pictures_->board().size() : QSize(414, 450);
}

QPoint BoardView::gridOrigin() const {
    if (pictures_ == nullptr) return {};
    const QSize board = pictures_->board().size();
    const QSize pitch = pictures_->pitch();
    return QPoint((board.width() - 9 * pitch.width()) / 2, (board.height() - 9 * pitch.height()) / 2);
}

QRect BoardView::squareRect(int file, int rank) const {
    if (pictures_ == nullptr || !IsBoardSquare(file, rank)) return {};
    const BoardCell cell = CellOfSquare(file, rank, turned_);
    const QSize pitch = pictures_->pitch();
    const QPoint origin = gridOrigin();
    return QRect(origin.x() + cell.column * pitch.width(), origin.y() + cell.row * pitch.height(),
                 pitch.width(), pitch.height());
}

std::optional<Square> BoardView::squareAt(QPoint point) const {
    if (pictures_ == nullptr) return std::nullopt;
    const QSize pitch = pictures_->pitch();
    const QPoint p = point - gridOrigin();
    if (p.x() < 0 || p.y() < 0) return std::nullopt;
    const int column = p.x() / pitch.width();
    const int row = p.y() / pitch.height();
    if (column > 8 || row > 8) return std::nullopt;
    return SquareOfCell(column, row, turned_);
}

void BoardView::slidePiece(Square from, Square to, int milliseconds) {
    finishSlide();
    if (!IsBoardSquare(from.file, from.rank) || !IsBoardSquare(to.file, to.rank) || milliseconds <= 0) {
        return;
    }
    slideFrom_ = from;
    slideTo_ = to;
    slideProgress_ = 0.0;
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(milliseconds);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        slideProgress_ = v.toDouble();
        update();
    });
    connect(animation, &QVariantAnimation::finished, this, [this] {
        slideProgress_ = 1.0;
        update();
    });
    slide_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool BoardView::sliding() const { return slide_ != nullptr && slideProgress_ < 1.0; }

void BoardView::finishSlide() {
    if (slide_ != nullptr) slide_->stop();  // deletes itself
    slideProgress_ = 1.0;
    update();
}

void BoardView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (pictures_ == nullptr || !pictures_->loaded()) {
        p.fillRect(rect(), QColor(60, 40, 20));
        return;
    }
    p.drawPixmap(0, 0, pictures_->board());

    // File numbers along the top, rank numerals down the right side, as a diagram shows them.
    const QPoint origin = gridOrigin();
    const QSize pitch = pictures_->pitch();
    const int margin = origin.y();
    p.setFont(SystemFont(kMincho, qMax(9, margin * 2 / 3)));
    p.setPen(QColor(60, 30, 8));
    for (int column = 0; column < 9; ++column) {
        const int file = turned_ ? column + 1 : 9 - column;
        const QRect label(origin.x() + column * pitch.width(), 0, pitch.width(), margin);
        p.drawText(label, Qt::AlignCenter, kFileDigits.mid(file - 1, 1));
    }
    for (int row = 0; row < 9; ++row) {
        const int rank = turned_ ? 9 - row : row + 1;
        const QRect label(origin.x() + 9 * pitch.width(), origin.y() + row * pitch.height(),
                          width() - origin.x() - 9 * pitch.width(), pitch.height());
        p.drawText(label, Qt::AlignCenter, kRankNumerals.mid(rank - 1, 1));
    }

    const bool slidingNow = sliding();
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode code = position_.board[BoardIndex(file, rank)];
            if (code == 0) continue;
            if (slidingNow && file == slideTo_.file && rank == slideTo_.rank) continue;
            const QPixmap& picture = pictures_->piece(PictureNumber(code, turned_));
            p.drawPixmap(squareRect(file, rank).topLeft() + QPoint(1, 1), picture);
        }
    }
    if (slidingNow) {
        const PieceCode code = position_.board[BoardIndex(slideTo_.file, slideTo_.rank)];
        const QPointF a = squareRect(slideFrom_.file, slideFrom_.rank).topLeft();
        const QPointF b = squareRect(slideTo_.file, slideTo_.rank).topLeft();
        const QPointF at = a + (b - a) * slideProgress_ + QPointF(1, 1);
        p.drawPixmap(at, pictures_->piece(PictureNumber(code, turned_)));
    }
    if (framed_ && !slidingNow) {
        const QRect r = squareRect(framed_->file, framed_->rank);
        p.setPen(QPen(QColor(255, 0, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
}

}  // namespace movra
