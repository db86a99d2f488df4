#include "gui/mainwindow/board_input.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include "core/viewing/board_mapping.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/picture_set.h"
#include "gui/mainwindow/promotion_dialog.h"

namespace movra {

BoardInput::BoardInput(Host host, QWidget* window)
    : QObject(window),
      host_(std::move(host)),
      window_(window),
      entry_(*host_.record, *host_.prompter,
             [this](PieceCode unpromoted, PieceCode promoted) { return ChoosePromotion(unpromoted, promoted); }) {
    for (QWidget* w : {static_cast<QWidget*>(host_.board), static_cast<QWidget*>(host_.senteHand),
                       static_cast<QWidget*>(host_.goteHand)}) {
        w->installEventFilter(this);
    }
    floating_ = new QLabel(window_);
    floating_->setObjectName(QStringLiteral("HeldPiece"));
    floating_->setAttribute(Qt::WA_TransparentForMouseEvents);
    floating_->hide();
}

BoardInput::~BoardInput() = default;

bool BoardInput::ChoosePromotion(PieceCode unpromoted, PieceCode promoted) {
    if (host_.choosePromotion) return host_.choosePromotion(unpromoted, promoted);
    // The dialog shows the pieces as the board draws them.
    const bool turned = host_.board->turned();
    return PromotionDialog::Ask(host_.pictures->piece(PictureNumber(unpromoted, turned)),
                                host_.pictures->piece(PictureNumber(promoted, turned)), window_);
}

void BoardInput::setMovable(bool movable) {
    if (!movable) PutBack();
    movable_ = movable;
    for (QWidget* w : {static_cast<QWidget*>(host_.board), static_cast<QWidget*>(host_.senteHand),
                       static_cast<QWidget*>(host_.goteHand)}) {
        if (movable) {
            w->setCursor(Qt::PointingHandCursor);
        } else {
            w->unsetCursor();
        }
    }
}

void BoardInput::PutBack() {
    if (!entry_.holding()) return;
    entry_.PutBack();
    EndHold();
    if (host_.redraw) host_.redraw();
}

bool BoardInput::eventFilter(QObject* watched, QEvent* event) {
    (void)watched;
    if (!movable_) return false;
    if (host_.mayMove && !host_.mayMove()) {
        return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
               event->type() == QEvent::MouseButtonDblClick;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {  // a quick second click puts the piece down too
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton) return false;
            Press(e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() != Qt::LeftButton) return false;
            Release(e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseMove:
            if (entry_.holding()) MoveHeld(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return entry_.holding();
        default:
            return false;
    }
}

BoardInput::Target BoardInput::TargetAt(QPoint global) const {
    Target t;
    const QPoint onBoard = host_.board->mapFromGlobal(global);
    if (host_.board->rect().contains(onBoard)) {
        t.square = host_.board->squareAt(onBoard);
        return t;
    }
    for (HandView* hand : {host_.senteHand, host_.goteHand}) {
        const QPoint p = hand->mapFromGlobal(global);
        if (!hand->rect().contains(p)) continue;
        t.hand = hand;
        for (int k = kind::Fu; k < kind::Gyoku; ++k) {
            if (hand->hand()[k] > 0 && hand->kindRect(k).contains(p)) t.kind = k;
        }
        return t;
    }
    return t;
}

void BoardInput::Press(QPoint global) {
    const Target target = TargetAt(global);
    if (entry_.holding()) {
        // The piece on the pointer is put down with this click.
        DropAt(target);
        return;
    }
    PickUpResult r = PickUpResult::Ignored;
    if (target.square) {
        r = entry_.PickUpFromBoard(*target.square);
    } else if (target.hand != nullptr && target.kind != 0) {
        r = entry_.PickUpFromHand(target.hand->side(), target.kind);
    }
    if (r != PickUpResult::PickedUp) return;
    dragging_ = true;
    pressSquare_ = target.square;
    pressHand_ = target.square ? nullptr : target.hand;
    ShowHeld(global);
}

void BoardInput::Release(QPoint global) {
    if (!entry_.holding() || !dragging_) return;
    dragging_ = false;
    const Target target = TargetAt(global);
    const bool samePlace = target.square ? target.square == pressSquare_
                                         : (pressHand_ != nullptr && target.hand == pressHand_);
    // Released where it was picked up: the piece stays on the pointer for the next click.
    if (samePlace) return;
    DropAt(target);
}

void BoardInput::DropAt(const Target& target) {
    dragging_ = false;
    if (!target.square) {
        PutBack();
        return;
    }
    EnteredMove move;
    const DropResult r = entry_.Drop(*target.square, &move);
    EndHold();
    if (r == DropResult::Entered) {
        if (host_.entered) host_.entered(move);
    } else if (host_.redraw) {
        host_.redraw();
    }
}

void BoardInput::ShowHeld(QPoint global) {
    // The piece leaves its square or its stand while it is held.
    const Square from = entry_.heldFrom();
    if (IsBoardSquare(from.file, from.rank)) {
        BoardPosition shown = host_.board->position();
        shown.board[BoardIndex(from.file, from.rank)] = 0;
        host_.board->setPosition(shown);
    } else {
        HandView* hand = from.file == location::kSenteHand ? host_.senteHand : host_.goteHand;
        HandCounts counts = hand->hand();
        if (from.rank < counts.size() && counts[from.rank] > 0) --counts[from.rank];
        hand->setHand(counts);
    }
    for (QWidget* w : {static_cast<QWidget*>(host_.board), static_cast<QWidget*>(host_.senteHand),
                       static_cast<QWidget*>(host_.goteHand)}) {
        w->setMouseTracking(true);
    }
    if (host_.pictures != nullptr && host_.pictures->loaded()) {
        const QPixmap& picture = host_.pictures->piece(PictureNumber(entry_.heldCode(), host_.board->turned()));
        floating_->setPixmap(picture);
        floating_->resize(picture.size());
    }
    MoveHeld(global);
    floating_->show();
    floating_->raise();
}

void BoardInput::MoveHeld(QPoint global) {
    const QPoint p = window_->mapFromGlobal(global);
    floating_->move(p - QPoint(floating_->width() / 2, floating_->height() / 2));
}

void BoardInput::EndHold() {
    dragging_ = false;
    pressSquare_.reset();
    pressHand_ = nullptr;
    floating_->hide();
    for (QWidget* w : {static_cast<QWidget*>(host_.board), static_cast<QWidget*>(host_.senteHand),
                       static_cast<QWidget*>(host_.goteHand)}) {
        w->setMouseTracking(false);
    }
}

}  // namespace movra
