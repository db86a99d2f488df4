#include "gui/mainwindow/comment_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/common/fonts.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

namespace {

QString DisplayCaption() { return QStringLiteral("指し手コメント表示"); }

}  // namespace

CommentWindow::CommentWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("CommentWindow"));
    setWindowTitle(DisplayCaption());
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
    text_->installEventFilter(this);
    for (QPlainTextEdit* e : {heading_, text_}) e->setFont(SystemFont(kGothic, 13));

    // Input use: the time with its up/down buttons, OK and cancel.
    timeRow_ = new QWidget(this);
    auto* time = new QHBoxLayout(timeRow_);
    time->setContentsMargins(0, 0, 0, 0);
    time->addWidget(new QLabel(QStringLiteral("消費時間"), timeRow_));
    const auto field = [this](const QString& name, int length) {
        auto* e = new QLineEdit(timeRow_);
        e->setObjectName(name);
        e->setMaxLength(length);
        e->setFixedWidth(44);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        connect(e, &QLineEdit::textEdited, this, [this] { timeChanged_ = true; });
        return e;
    };
    const auto spin = [this](const QString& name, bool up, bool minutes) {
        auto* b = new QToolButton(timeRow_);
        b->setObjectName(name);
        b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        connect(b, &QToolButton::clicked, this, [this, up, minutes] {
            if (minutes) {
                SpinMinutes(up);
            } else {
                SpinSeconds(up);
            }
        });
        return b;
    };
    minutes_ = field(QStringLiteral("ComMinEdit"), 3);
    seconds_ = field(QStringLiteral("ComSecEdit"), 2);
    time->addWidget(minutes_);
    time->addWidget(spin(QStringLiteral("ComMinUp"), true, true));
    time->addWidget(spin(QStringLiteral("ComMinDown"), false, true));
    time->addWidget(new QLabel(QStringLiteral("分"), timeRow_));
    time->addWidget(seconds_);
    time->addWidget(spin(QStringLiteral("ComSecUp"), true, false));
    time->addWidget(spin(QStringLiteral("ComSecDown"), false, false));
    time->addWidget(new QLabel(QStringLiteral("秒"), timeRow_));
    time->addStretch(1);
    buttonRow_ = new QWidget(this);
    auto* buttons = new QHBoxLayout(buttonRow_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), buttonRow_);
    ok->setObjectName(QStringLiteral("ComOkBtn"));
    connect(ok, &QPushButton::clicked, this, &CommentWindow::Ok);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), buttonRow_);
    cancel->setObjectName(QStringLiteral("ComCancelBtn"));
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(heading_);
    layout->addWidget(text_, 1);
    layout->addWidget(timeRow_);
    layout->addWidget(buttonRow_);
    timeRow_->hide();
    buttonRow_->hide();
    resize(300, 220);
}

void CommentWindow::setComment(const QString& heading, const QString& text) {
    heading_->setPlainText(heading);
    text_->setPlainText(text);
}

void CommentWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !editing_) emit activated();
}

QString CommentWindow::text() const { return text_->toPlainText(); }
QString CommentWindow::heading() const { return heading_->toPlainText(); }

void CommentWindow::SetInputUse(bool input) {
    // The display window never takes the keyboard; the input window must. Changing the flags
    // needs the window hidden: it is shown again by the caller.
    hide();
    setAttribute(Qt::WA_ShowWithoutActivating, !input);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !input);
    setWindowModality(input ? Qt::ApplicationModal : Qt::NonModal);
    setWindowTitle(input ? QStringLiteral("指し手コメント入力") : DisplayCaption());
    text_->setReadOnly(!input);
    timeRow_->setVisible(input);
    buttonRow_->setVisible(input);
    resize(width(), input ? 300 : 220);
}

void CommentWindow::BeginEdit(int point, int moveCount, const std::string& moveLine,
                              const std::string& comment, std::uint16_t seconds,
                              Prompter& prompter) {
    prompter_ = &prompter;
    point_ = point;
    result_.reset();
    SetInputUse(true);
    editing_ = true;
    heading_->setPlainText(ToQString(CommentHeading(point, moveCount, moveLine)));
    original_ = comment;
    text_->setPlainText(ToQString(comment));
    text_->document()->setModified(false);
    QTextCursor start = text_->textCursor();
    start.movePosition(QTextCursor::Start);
    text_->setTextCursor(start);
    // The starting position has no time.
    const bool hasTime = point > 0;
    minutes_->setText(QString::number(hasTime ? seconds / 60 : 0));
    seconds_->setText(QString::number(hasTime ? seconds % 60 : 0));
    minutes_->setEnabled(hasTime);
    seconds_->setEnabled(hasTime);
    for (QToolButton* b : timeRow_->findChildren<QToolButton*>()) b->setEnabled(hasTime);
    timeChanged_ = false;
    // The taller input window stays on the screen where the display window was.
    PlaceAt(this, pos(), parentWidget());
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

std::optional<CommentEdit> CommentWindow::Edit(int point, int moveCount, const std::string& moveLine,
                                               const std::string& comment, std::uint16_t seconds,
                                               Prompter& prompter) {
    BeginEdit(point, moveCount, moveLine, comment, seconds, prompter);
    QEventLoop loop;
    loop_ = &loop;
    if (editing_) loop.exec();
    loop_ = nullptr;
    return result_;
}

void CommentWindow::Finish(bool ok) {
    editing_ = false;
    SetInputUse(false);
    emit editFinished(ok);
    if (loop_ != nullptr) loop_->quit();
}

void CommentWindow::Ok() {
    if (!editing_) return;
    const std::vector<std::string> lines = SplitCommentLines(ToCp932(text_->toPlainText()));
    const CommentCheck check = CheckCommentInput(lines, minutes_->text().toStdString(),
                                                 seconds_->text().toStdString(), point_ > 0);
    if (!check.ok()) {
        if (prompter_ != nullptr) prompter_->Warn(check.message);
        (check.focus == CommentField::Minutes ? static_cast<QWidget*>(minutes_) : text_)->setFocus();
        return;
    }
    result_ = CommentEdit{point_, check.comment, check.seconds};
    text_->document()->setModified(false);
    timeChanged_ = false;
    Finish(true);
}

bool CommentWindow::Cancel() {
    if (!editing_) return true;
    if (prompter_ != nullptr) {
        const bool commentChanged = text_->document()->isModified() &&
                                    ToCp932(text_->toPlainText()) != original_;
        if (commentChanged) {
            if (prompter_->Confirm(CommentChangedQuestion(), true, false) != Answer::Yes) return false;
        } else if (timeChanged_) {
            if (prompter_->Confirm(CommentTimeChangedQuestion(), true, false) != Answer::Yes) return false;
        }
    }
    Finish(false);
    return true;
}

void CommentWindow::SpinMinutes(bool up) {
    minutes_->setText(QString::fromStdString(SpinCommentMinutes(minutes_->text().toStdString(), up)));
    timeChanged_ = true;
}

void CommentWindow::SpinSeconds(bool up) {
    seconds_->setText(QString::fromStdString(SpinCommentSeconds(seconds_->text().toStdString(), up)));
    timeChanged_ = true;
}

void CommentWindow::closeEvent(QCloseEvent* event) {
    if (editing_ && !Cancel()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool CommentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && editing_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Cancel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace movra
