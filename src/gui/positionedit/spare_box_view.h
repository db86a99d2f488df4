#pragma once
// The spare-piece box (不要駒置き場) of position editing, shown in place of the move list and its
// caption: the caption strip on top and the pieces below, one picture for each kind with its
// count. Pieces in the box are sente's unpromoted pieces and are always drawn upright.
#include <QWidget>

#include "core/rules/position.h"

namespace movra {

class PictureSet;

class SpareBoxView : public QWidget {
    Q_OBJECT
public:
    explicit SpareBoxView(QWidget* parent = nullptr);

    void setPictures(const PictureSet* pictures);
    // Counts by kind 1-8.
    void setBox(const HandCounts& counts);
    const HandCounts& box() const { return counts_; }
    // Where the piece of a kind (1-8) is drawn.
    QRect kindRect(int kind) const;
    int captionHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PictureSet* pictures_ = nullptr;
    HandCounts counts_{};
};

// The box's counts from the piece table: the present pieces standing in the box.
HandCounts BoxCounts(const BoardPosition& position);

}  // namespace movra
