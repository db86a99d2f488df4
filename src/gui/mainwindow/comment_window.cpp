#include "gui/mainwindow/comment_window.h"

#include <QEvent>
#include <QVBoxLayout>

#include "gui/common/fonts.h"

namespace movra {

CommentWindow::CommentWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("CommentWindow"));
    setWindowTitle(QStringLiteral("コメント"));
    // Shown beside the board without ever taking the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    heading_ = new QPlainTextEdit(this);
    heading_->setObjectName(QStringLiteral("ComHeading"));
    heading_->setReadOnly(true);
    heading_->setFixedHeight(26);
    heading_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("ComMemo"));
    text_->setReadOnly(true);
    for (QPlainTextEdit* e : {heading_, text_}) e->setFont(SystemFont(kGothic, 13));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(heading_);
    layout->addWidget(text_, 1);
    resize(300, 220);
}

void CommentWindow::setComment(const QString& heading, const QString& text) {
    heading_->setPlainText(heading);
    text_->setPlainText(text);
}

void CommentWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

QString CommentWindow::text() const { return text_->toPlainText(); }
QString CommentWindow::heading() const { return heading_->toPlainText(); }

}  // namespace movra
