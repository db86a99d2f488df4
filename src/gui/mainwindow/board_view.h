#pragma once
// The drawn board (ImgBan): the board picture, the file and rank labels in its margin, the
// pieces of the position, the red frame round the last destination, and a piece sliding to its
// square while a game is replayed.
#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

#include "core/viewing/board_mapping.h"
#include "core/rules/position.h"

namespace movra {

class PictureSet;

class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(QWidget* parent = nullptr);

    void setPictures(const PictureSet* pictures);
    void setPosition(const BoardPosition& position);
    const BoardPosition& position() const { return position_; }
    void setTurned(bool turned);
    bool turned() const { return turned_; }
    void setFramedSquare(std::optional<Square> square);
    std::optional<Square> framedSquare() const { return framed_; }

    // Slides the picture from one square to another over `milliseconds`; the destination is
    // drawn empty until the piece arrives. Drops do not slide.
    void slidePiece(Square from, Square to, int milliseconds);
    bool sliding() const;
    void finishSlide();

    // Where a square is drawn, and which square a point is on (none off the grid).
    QRect squareRect(int file, int rank) const;
    std::optional<Square> squareAt(QPoint point) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint gridOrigin() const;

    const PictureSet* pictures_ = nullptr;
    BoardPosition position_{};
    bool turned_ = false;
    std::optional<Square> framed_;
    QPointer<QVariantAnimation> slide_;
    Square slideFrom_{};
    Square slideTo_{};
    double slideProgress_ = 1.0;
};

}  // namespace movra
