#pragma once
// The replay panel (MainPanel1): twelve picture buttons on the lacquered panel. Buttons 1, 4, 7
// and 11 latch (a second press releases them); a press counts only when the mouse is released
// over the button.
#include <QAbstractButton>
#include <QPixmap>
#include <QWidget>

#include <array>

namespace movra {

class PictureSet;

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(int number, QWidget* parent = nullptr);
    int number() const { return number_; }
    void setPictures(const QPixmap& up, const QPixmap& down);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int number_;
    QPixmap up_;
    QPixmap down_;
};

class ReplayPanel : public QWidget {
    Q_OBJECT
public:
    // The button numbers.
    enum Button {
        AutoReplay = 1,
        Forward = 2,
        Back = 3,
        Study = 4,
        Search = 5,
        EditPosition = 6,
        FastReplay = 7,
        TurnBoard = 8,
        ToStart = 9,
        GameList = 10,
        MateSearch = 11,
        AddPosition = 12,
    };

    explicit ReplayPanel(QWidget* parent = nullptr);
    void setPictures(const PictureSet* pictures);
    PictureButton* button(int number) const;
    // Latching buttons: their pressed state without a click (a replay that ended releases 1 or 7).
    void setLatched(int number, bool down);
    bool latched(int number) const;
    // A button whose function comes in a later stage: shown, but disabled with a tooltip.
    void markNotAvailable(int number);

signals:
    void buttonPressed(int number);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeButtons();

    const PictureSet* pictures_ = nullptr;
    std::array<PictureButton*, 12> buttons_{};
};

// The names of the buttons, for tooltips.
QString ReplayButtonName(int number);

}  // namespace movra
