#pragma once
// The one-line input box other windows ask a number with ("手数指定", "移動ページ").
#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

namespace movra {

class InputBox : public QDialog {
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);
    void Set(const QString& caption, const QString& initial, const QString& prompt);
    QLineEdit* field() const { return field_; }
    QLabel* promptLabel() const { return prompt_; }

    // Centred on `form`: the edited text after OK, nothing after Cancel.
    static std::optional<QString> Ask(QWidget* form, const QString& caption, const QString& initial,
                                      const QString& prompt);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* prompt_ = nullptr;
    QLineEdit* field_ = nullptr;
};

}  // namespace movra
