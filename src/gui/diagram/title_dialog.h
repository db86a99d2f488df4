#pragma once
// 局面図のタイトル／コメント入力: asks for a diagram's title (or the text of a "%i" in it) and,
// when the caller wants one, its comment. OK refuses an empty or too long title and a comment of
// more than five lines or 150 bytes, with the message on this dialog; the dialog stays open.
#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "core/diagram/diagram_layout.h"
#include "core/text/prompter.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace movra {

class TitleDialog : public QDialog {
    Q_OBJECT
public:
    // shownTitle: the title as proposed or with "??" for the text asked; hint: shown under it.
    TitleDialog(const QString& shownTitle, bool askWhole, bool withComment, const QString& comment,
                Prompter& prompter, QWidget* parent = nullptr);
    QLineEdit* titleEdit() const { return title_; }
    QPlainTextEdit* commentEdit() const { return comment_; }
    std::vector<std::string> commentLines() const;
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Prompter& prompter_;
    bool askWhole_;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
};

struct ExpandedTitle {
    std::string title;
    std::string comment;
};

// The whole expansion of a title format: %d, %s, %n filled, then the dialog for the whole title
// or once for each %i. nullopt when the user cancels. `answer` stands in for the person in
// tests (it fills the dialog and returns whether OK was pressed); null shows the dialog.
std::optional<ExpandedTitle> ExpandDiagramTitle(QWidget* parent, std::string_view format, const TitleContext& context,
                                                const std::string& comment, bool withComment, Prompter& prompter,
                                                const std::function<bool(TitleDialog&)>& answer = {});

}  // namespace movra
