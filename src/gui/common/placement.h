#pragma once
// Where windows and dialogs open: every one lies inside the available area of its screen (the
// screen without panels and docks), centred on its owner where it belongs to one. A window
// larger than the area keeps its top-left corner, so its caption and menu bar, on the screen.
#include <QPoint>
#include <QRect>

class QWidget;

namespace movra {

// `frame` moved, never resized, so that it lies inside `area`; a frame wider or taller than the
// area is aligned with the area's left or top edge.
QRect KeepInside(QRect frame, const QRect& area);

// The available area of the screen that shows `anchor` (its centre), or of the primary screen.
QRect AvailableArea(const QWidget* anchor);

// A top-level window's frame as it will be on screen: its size settled as showing it would
// settle it, and the frame's margins (known only once it is shown) taken from `like` meanwhile.
QRect ExpectedFrame(QWidget* window, const QWidget* like);

// Centres the window on `over` (on the available area when null) and keeps it inside.
void PlaceCentred(QWidget* window, const QWidget* over);

// Puts the window's frame corner at `topLeft` (a saved position, a place beside another
// window) as far as the available area allows. `like` lends frame margins, as above.
void PlaceAt(QWidget* window, QPoint topLeft, const QWidget* like = nullptr);

}  // namespace movra
