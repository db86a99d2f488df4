#include "gui/mainwindow/move_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "gui/common/fonts.h"

namespace movra {
namespace {

// Draws a line as its text; the selected one black on cyan.
class LineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) p->fillRect(option.rect, QColor(0, 255, 255));
        p->setFont(option.font);
        p->setPen(selected ? QColor(0, 0, 0) : QColor(24, 16, 8));
        p->drawText(option.rect.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(Qt::DisplayRole).toString());
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        return QSize(base.width(), QFontMetrics(option.font).height() + 4);
    }
};

}  // namespace

MoveListView::MoveListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("KifBox1"));
    setItemDelegate(new LineDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setFrameShape(QFrame::Box);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    setLineFont(13);
}

void MoveListView::setBackground(const QPixmap& background) {
    background_ = background;
    viewport()->update();
}

void MoveListView::setLineFont(int pixelSize) {
    setFont(SystemFont(kGothic, pixelSize));
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void MoveListView::setLines(const QStringList& lines, int selection, int topLine) {
    if (lines != lines_) {
        // Lines are only ever added or removed at the end, so the common part stays.
        int same = 0;
        while (same < lines.size() && same < lines_.size() && lines[same] == lines_[same]) ++same;
        while (count() > same) delete takeItem(count() - 1);
        for (int i = same; i < lines.size(); ++i) addItem(lines[i]);
        lines_ = lines;
    }
    if (selection >= 0 && selection < count()) {
        setCurrentRow(selection, QItemSelectionModel::ClearAndSelect);
    } else {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::Clear);
    }
    // After a new font or size the rows and the scroll range are laid out afresh first, so that
    // the scrolling below works on the rows as they will be drawn.
    executeDelayedItemsLayout();
    updateGeometries();
    int top = qBound(0, topLine, qMax(0, count() - 1));
    const int rows = qMax(1, visibleLineCount());
    if (selection >= 0 && selection >= top + rows) top = selection - rows + 1;
    if (selection >= 0 && selection < top) top = selection;
    verticalScrollBar()->setValue(top);
    // The selected line is always whole in sight, not cut by the list's lower edge.
    if (selection >= 0 && selection < count() &&
        !viewport()->rect().contains(visualItemRect(item(selection)))) {
        scrollToItem(item(selection), QAbstractItemView::EnsureVisible);
    }
}

int MoveListView::selectedLine() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : row(items.front());
}

int MoveListView::visibleLineCount() const {
    const int rowHeight = QFontMetrics(font()).height() + 4;
    return viewport()->height() / qMax(1, rowHeight);
}

void MoveListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The main window steps through the game with these.
            event->ignore();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit commentRequested();
            return;
        default:
            event->ignore();
    }
}

void MoveListView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QListWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (count() == 0) emit commentRequested();
        return;
    }
    if (event->button() == Qt::LeftButton && item != nullptr) emit lineClicked(row(item));
}

void MoveListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit commentRequested();
}

void MoveListView::mouseMoveEvent(QMouseEvent*) {
    // Dragging does not move the selection: only the game decides which line is current.
}

void MoveListView::paintEvent(QPaintEvent* event) {
    {
        QPainter p(viewport());
        if (!background_.isNull()) {
            p.drawPixmap(viewport()->rect(), background_);
        } else {
            p.fillRect(viewport()->rect(), QColor(250, 246, 232));
        }
    }
    QListWidget::paintEvent(event);
}

ListCaption::ListCaption(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImgKifCaption"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("クリックで全表示と一手毎を切り替えます"));
}

void ListCaption::setBackground(const QPixmap& panel) {
    panel_ = panel;
    update();
}

void ListCaption::setWholeGame(bool wholeGame) {
    wholeGame_ = wholeGame;
    update();
}

QString ListCaption::text() const {
    return wholeGame_ ? QStringLiteral("（全表示）") : QStringLiteral("（一手毎）");
}

void ListCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!panel_.isNull()) {
        p.drawPixmap(rect(), panel_);
    } else {
        p.fillRect(rect(), QColor(30, 14, 6));
    }
    p.setFont(SystemFont(kMincho, qMax(10, height() * 3 / 5), true));
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, text());
}

void ListCaption::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace movra
