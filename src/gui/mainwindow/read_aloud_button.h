#pragma once
// The read-aloud button beside the board: a speaker with sound waves while moves are read aloud,
// a silenced speaker while they are not, and the hint that says which.
#include <QToolButton>

namespace movra {

class ReadAloudButton : public QToolButton {
    Q_OBJECT
public:
    explicit ReadAloudButton(QWidget* parent = nullptr);
    // Shows the state of reading aloud.
    void setOn(bool on);
    bool on() const { return on_; }
    // The side of the square the button takes, for the board size shown.
    void setSide(int side);

private:
    void Redraw();

    bool on_ = false;
    int side_ = 28;
};

}  // namespace movra
