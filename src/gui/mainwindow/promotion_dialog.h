#pragma once
// The promotion choice "成/不成 選択": the unpromoted piece on the left, the promoted one on the
// right. It has no close button and closes only when one of the two pictures is clicked.
#include <QDialog>
#include <QPixmap>

namespace movra {

class PromotionDialog : public QDialog {
    Q_OBJECT
public:
    PromotionDialog(const QPixmap& unpromoted, const QPixmap& promoted, QWidget* parent = nullptr);
    // True when the promoted piece was clicked.
    bool promote() const { return promote_; }
    // Shows the dialog and waits for a click.
    static bool Ask(const QPixmap& unpromoted, const QPixmap& promoted, QWidget* parent);

protected:
    void reject() override {}  // Escape does not close it

private:
    bool promote_ = false;
};

}  // namespace movra
