#pragma once
// The comment window: a move's comment and its consumed time beside the main window. Here it only
// shows them; writing comments is the comment dialog's.
#include <QPlainTextEdit>
#include <QWidget>

namespace movra {

class CommentWindow : public QWidget {
    Q_OBJECT
public:
    explicit CommentWindow(QWidget* parent = nullptr);
    void setComment(const QString& heading, const QString& text);
    QString text() const;
    QString heading() const;

signals:
    // The window system made this window the active one (it is only a viewer: the owner
    // takes the keyboard back).
    void activated();

protected:
    void changeEvent(QEvent* event) override;

private:
    QPlainTextEdit* heading_;
    QPlainTextEdit* text_;
};

}  // namespace movra
