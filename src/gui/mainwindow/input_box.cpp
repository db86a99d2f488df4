#include "gui/mainwindow/input_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/common/placement.h"

namespace movra {

InputBox::InputBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("InputDialog"));
    setWindowTitle(QStringLiteral("インプットダイアログ"));
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    layout->addWidget(prompt_);
    field_ = new QLineEdit(this);
    layout->addWidget(field_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void InputBox::Set(const QString& caption, const QString& initial, const QString& prompt) {
    setWindowTitle(caption);
    field_->setText(initial);
    prompt_->setText(prompt);
}

void InputBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the box is up (and the field has taken the focus), the caret stands after the first
    // character.
    field_->setFocus();
    QTimer::singleShot(0, this, [this] {
        field_->deselect();
        field_->setCursorPosition(field_->text().isEmpty() ? 0 : 1);
    });
}

std::optional<QString> InputBox::Ask(QWidget* form, const QString& caption, const QString& initial,
                                     const QString& prompt) {
    InputBox box(form);
    box.Set(caption, initial, prompt);
    PlaceCentred(&box, form);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.field()->text();
}

}  // namespace movra
