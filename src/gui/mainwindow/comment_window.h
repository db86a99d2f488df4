#pragma once
// The move comment window (the system's TFormComment): the comment and consumed time of one point
// of the game (the starting position, a move, the final position). In display use it stays beside
// the main window, read-only and never taking the keyboard; in input use ("指し手コメント入力") it
// is shown modally and hands back the edited comment and time. The checks are core's
// (gameinfo/move_comment.h); storing the edit is the caller's (StoreWorkingComment,
// StoreGameComment).
#include <QPlainTextEdit>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

#include "core/gameinfo/move_comment.h"
#include "core/text/prompter.h"

class QEventLoop;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace movra {

class CommentWindow : public QWidget {
    Q_OBJECT
public:
    explicit CommentWindow(QWidget* parent = nullptr);
    // Display use: the heading and the comment, read-only.
    void setComment(const QString& heading, const QString& text);
    QString text() const;
    QString heading() const;

    // Input use, modally: the comment of point `point` (0 the starting position, 1 … moveCount
    // after that move, beyond: the final position) with its time; `moveLine` is the move list's
    // line of the move (CP932), `comment` the stored text. nullopt when the user cancels.
    std::optional<CommentEdit> Edit(int point, int moveCount, const std::string& moveLine,
                                    const std::string& comment, std::uint16_t seconds,
                                    Prompter& prompter);
    // The same in two steps, for tests: BeginEdit shows the window for input and returns at
    // once; `editFinished` reports how it closed, and editResult() holds the edit after OK.
    void BeginEdit(int point, int moveCount, const std::string& moveLine,
                   const std::string& comment, std::uint16_t seconds, Prompter& prompter);
    bool editing() const { return editing_; }
    const std::optional<CommentEdit>& editResult() const { return result_; }

    // Input use's buttons (public for tests).
    void Ok();
    bool Cancel();  // false when the user keeps the window open
    void SpinMinutes(bool up);
    void SpinSeconds(bool up);

signals:
    // The window system made this window the active one (it is only a viewer: the owner
    // takes the keyboard back).
    void activated();
    void editFinished(bool ok);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetInputUse(bool input);
    void Finish(bool ok);

    QPlainTextEdit* heading_;
    QPlainTextEdit* text_;
    QWidget* timeRow_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLineEdit* seconds_ = nullptr;
    QWidget* buttonRow_ = nullptr;
    Prompter* prompter_ = nullptr;
    int point_ = 0;
    bool editing_ = false;
    bool timeChanged_ = false;
    std::string original_;
    std::optional<CommentEdit> result_;
    QEventLoop* loop_ = nullptr;
};

}  // namespace movra
