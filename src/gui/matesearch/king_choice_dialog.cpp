#include "gui/matesearch/king_choice_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "core/matesearch/mate_search.h"

namespace movra {

KingChoiceDialog::KingChoiceDialog(int preselected, bool handicapGame, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ToQString(KingChoiceCaption()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ToQString(KingChoiceQuestion()), this));
    list_ = new QListWidget(this);
    for (const std::string& entry : KingChoiceEntries(handicapGame)) list_->addItem(ToQString(entry));
    list_->setCurrentRow(preselected == 2 ? 1 : 0);
    list_->setFixedHeight(list_->sizeHintForRow(0) * 2 + 2 * list_->frameWidth() + 4);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    auto* start = new QPushButton(ToQString(KingChoiceStartText()), this);
    auto* cancel = new QPushButton(ToQString(KingChoiceCancelText()), this);
    start->setDefault(true);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(start, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int KingChoiceDialog::defender() const { return list_->currentRow() == 1 ? 2 : 1; }

int AskDefendingKing(int preselected, bool handicapGame, QWidget* parent) {
    KingChoiceDialog dialog(preselected, handicapGame, parent);
    PlaceCentred(&dialog, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.defender() : 0;
}

}  // namespace movra
