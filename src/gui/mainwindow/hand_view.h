#pragma once
// A piece stand with the pieces in one hand (ImgDai1 for sente's, ImgDai2 for gote's): 飛 角,
// 金 銀, 桂 香 and 歩 in four rows, each with its count when there is more than one.
#include <QWidget>

#include "core/rules/position.h"

namespace movra {

class PictureSet;

class HandView : public QWidget {
    Q_OBJECT
public:
    // side 1 sente, 2 gote.
    explicit HandView(int side, QWidget* parent = nullptr);

    void setPictures(const PictureSet* pictures);
    void setHand(const HandCounts& counts);
    void setTurned(bool turned);
    int side() const { return side_; }
    const HandCounts& hand() const { return counts_; }
    // Where the piece of a kind (1-8) is drawn.
    QRect kindRect(int kind) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PictureSet* pictures_ = nullptr;
    int side_;
    bool turned_ = false;
    HandCounts counts_{};
};

}  // namespace movra
