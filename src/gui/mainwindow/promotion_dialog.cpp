#include "gui/mainwindow/promotion_dialog.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "gui/common/placement.h"

namespace movra {

PromotionDialog::PromotionDialog(const QPixmap& unpromoted, const QPixmap& promoted, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("NariForm"));
    setWindowTitle(QStringLiteral("成/不成 選択"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    const QPixmap pictures[2] = {unpromoted, promoted};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(i == 0 ? QStringLiteral("ImgFunari") : QStringLiteral("ImgNari"));
        button->setIcon(QIcon(pictures[i]));
        button->setIconSize(pictures[i].size());
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] {
            promote_ = i == 1;
            accept();
        });
        layout->addWidget(button);
    }
    setFixedSize(sizeHint());
}

bool PromotionDialog::Ask(const QPixmap& unpromoted, const QPixmap& promoted, QWidget* parent) {
    PromotionDialog dialog(unpromoted, promoted, parent);
    PlaceCentred(&dialog, parent != nullptr ? parent->window() : nullptr);
    dialog.exec();
    return dialog.promote();
}

}  // namespace movra
