#include "gui/common/placement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace movra {

namespace {

// The frame of a window that is not shown yet when no shown window can lend its own: a caption
// and a thin border, as most window managers draw them.
const QMargins kGuessedFrame(4, 30, 4, 4);

QMargins FrameMargins(const QWidget* w) {
    const QRect frame = w->frameGeometry();
    const QRect inner = w->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

}  // namespace

QRect KeepInside(QRect frame, const QRect& area) {
    if (frame.right() > area.right()) frame.moveRight(area.right());
    if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
    if (frame.left() < area.left()) frame.moveLeft(area.left());
    if (frame.top() < area.top()) frame.moveTop(area.top());
    return frame;
}

QRect AvailableArea(const QWidget* anchor) {
    QScreen* screen = nullptr;
    if (anchor != nullptr) {
        screen = QGuiApplication::screenAt(anchor->frameGeometry().center());
        if (screen == nullptr) screen = anchor->screen();
    }
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect ExpectedFrame(QWidget* window, const QWidget* like) {
    window->ensurePolished();
    // Showing a window that was never given a size gives it its layout's size hint first.
    if (!window->testAttribute(Qt::WA_Resized)) {
        window->adjustSize();
    } else if (window->layout() != nullptr) {
        window->layout()->activate();
    }
    QMargins margins = FrameMargins(window);
    if (!window->isVisible() && margins.isNull()) {
        // Not shown yet, so its frame is not known: a shown window's, or room for a caption.
        margins = like != nullptr && like->isVisible() ? FrameMargins(like) : QMargins();
        if (margins.isNull()) margins = kGuessedFrame;
    }
    // A top-level window's position is its frame's corner.
    return QRect(window->pos(), window->size().grownBy(margins));
}

void PlaceCentred(QWidget* window, const QWidget* over) {
    QRect frame = ExpectedFrame(window, over);
    const QRect area = AvailableArea(over != nullptr ? over : window);
    frame.moveCenter(over != nullptr ? over->frameGeometry().center() : area.center());
    window->move(KeepInside(frame, area).topLeft());
}

void PlaceAt(QWidget* window, QPoint topLeft, const QWidget* like) {
    QRect frame = ExpectedFrame(window, like);
    frame.moveTopLeft(topLeft);
    QRect area = AvailableArea(like);
    if (like == nullptr) {
        if (QScreen* s = QGuiApplication::screenAt(topLeft)) area = s->availableGeometry();
    }
    window->move(KeepInside(frame, area).topLeft());
}

}  // namespace movra
