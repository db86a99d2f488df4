#include "gui/diagram/title_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/text_helpers.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

TitleDialog::TitleDialog(const QString& shownTitle, bool askWhole, bool withComment, const QString& comment,
                         Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter), askWhole_(askWhole) {
    setObjectName(QStringLiteral("TitleForm"));
    setWindowTitle(QStringLiteral("局面図のタイトル／コメント入力"));
    auto* layout = new QVBoxLayout(this);
    auto* shown = new QLabel(shownTitle);
    shown->setObjectName(QStringLiteral("TitleLabel"));
    title_ = new QLineEdit(askWhole ? shownTitle : QString());
    title_->setObjectName(QStringLiteral("TitleEdit"));
    if (!askWhole) layout->addWidget(shown);
    layout->addWidget(title_);
    if (!askWhole) layout->addWidget(new QLabel(ToQString(TitleInsertHint())));
    if (withComment) {
        comment_ = new QPlainTextEdit(comment);
        comment_->setObjectName(QStringLiteral("CommentMemo"));
        comment_->installEventFilter(this);
        layout->addWidget(new QLabel(ToQString(TitleCommentNote())));
        layout->addWidget(comment_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TitleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, withComment ? 260 : 130);
}

std::vector<std::string> TitleDialog::commentLines() const {
    if (comment_ == nullptr) return {};
    return CommentLines(ToCp932(comment_->toPlainText()));
}

void TitleDialog::accept() {
    const std::string error = TitleDialogError(ToCp932(title_->text()), commentLines());
    if (!error.empty()) {
        prompter_.Warn(error);
        return;
    }
    QDialog::accept();
}

bool TitleDialog::eventFilter(QObject* watched, QEvent* event) {
    // Escape in the comment box cancels the whole dialog.
    if (watched == comment_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<ExpandedTitle> ExpandDiagramTitle(QWidget* parent, std::string_view format, const TitleContext& context,
                                                const std::string& comment, bool withComment, Prompter& prompter,
                                                const std::function<bool(TitleDialog&)>& answer) {
    TitleDraft draft = DraftDiagramTitle(format, context);
    ExpandedTitle result;
    result.comment = comment;
    auto ask = [&](const QString& shown, bool whole, const std::string& commentIn,
                   std::string& title, std::string& commentOut) {
        TitleDialog dialog(shown, whole, withComment, ToQString(commentIn), prompter, parent);
        PlaceCentred(&dialog, parent);
        const bool ok = answer ? answer(dialog) : dialog.exec() == QDialog::Accepted;
        if (!ok) return false;
        title = ToCp932(dialog.titleEdit()->text());
        if (withComment) commentOut = JoinTitleComment(dialog.commentLines(), whole);
        return true;
    };
    if (draft.askWhole) {
        std::string startComment;
        for (const std::string& line : CommentLines(comment, 5)) startComment += line + "\r\n";
        if (!ask(ToQString(draft.text), true, startComment, result.title, result.comment)) return std::nullopt;
        return result;
    }
    while (const std::optional<std::string> shown = InsertPrompt(draft)) {
        std::string text;
        if (!ask(ToQString(*shown), false, result.comment, text, result.comment)) return std::nullopt;
        FillInsert(draft, text);
    }
    result.title = draft.text;
    return result;
}

}  // namespace movra
