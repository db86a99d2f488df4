#pragma once
// Pieces moved with the mouse on the main window's board and hands while pieces are movable:
// a press picks a piece up, a release elsewhere puts it down there (drag and drop), a release on
// the same square leaves it on the pointer until the next click. The rules of what may be picked
// up and put down are MoveEntry's; this draws the held piece and passes the squares on.
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

#include "core/viewing/move_entry.h"

class QLabel;
class QMouseEvent;

namespace movra {

class BoardView;
class HandView;
class PictureSet;

class BoardInput : public QObject {
    Q_OBJECT
public:
    struct Host {
        TKifData* record = nullptr;
        Prompter* prompter = nullptr;
        BoardView* board = nullptr;
        HandView* senteHand = nullptr;
        HandView* goteHand = nullptr;
        const PictureSet* pictures = nullptr;
        // A move was accepted: the record holds it, the window applies and shows it.
        std::function<void(const EnteredMove&)> entered;
        // The board and hands are drawn again from the record (a piece went back).
        std::function<void()> redraw;
        // Whether the board answers at all now (not while a mate search runs).
        std::function<bool()> mayMove;
        // The promotion choice; the dialog on the window when not set.
        PromotionChooser choosePromotion;
    };

    BoardInput(Host host, QWidget* window);
    ~BoardInput() override;

    // Pieces may be picked up (study mode). Clearing it puts a held piece back.
    void setMovable(bool movable);
    bool movable() const { return movable_; }
    MoveEntry& entry() { return entry_; }
    // A held piece goes back to its place.
    void PutBack();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What lies under a point given in global coordinates.
    struct Target {
        std::optional<Square> square;  // a board square
        HandView* hand = nullptr;      // or a stand
        int kind = 0;                  // and the kind drawn there, 0 when none
    };
    Target TargetAt(QPoint global) const;
    bool ChoosePromotion(PieceCode unpromoted, PieceCode promoted);
    void Press(QPoint global);
    void Release(QPoint global);
    void DropAt(const Target& target);
    void ShowHeld(QPoint global);
    void MoveHeld(QPoint global);
    void EndHold();

    Host host_;
    QWidget* window_;
    MoveEntry entry_;
    bool movable_ = false;
    bool dragging_ = false;       // the button is down since the piece was picked up
    std::optional<Square> pressSquare_;
    HandView* pressHand_ = nullptr;
    QLabel* floating_ = nullptr;
};

}  // namespace movra
