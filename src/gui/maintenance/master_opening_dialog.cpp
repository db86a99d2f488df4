#include "gui/maintenance/master_opening_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/store/master_edit.h"
#include "core/text/prompter.h"
#include "gui/common/qtext.h"

namespace movra {

MasterOpeningDialog::MasterOpeningDialog(const std::filesystem::path& datFolder, Prompter& prompter,
                                         QWidget* parent)
    : MasterDialog(datFolder, prompter, parent) {
    setObjectName(QStringLiteral("TFormSnkMnt"));
    setWindowTitle(QStringLiteral("戦型名登録・変更"));
    list_ = MakeRowList(QStringLiteral("SenkeiList"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("SenkeiEdit"));
    auto* change = new QPushButton(QStringLiteral("変更"), this);
    change->setObjectName(QStringLiteral("ChangeBtn"));
    auto* update = new QPushButton(QStringLiteral("戦型名データ更新"), this);
    update->setObjectName(QStringLiteral("UpdateBtn"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("戦型名："), this), 1, 0);
    layout->addWidget(name_, 1, 1);
    layout->addWidget(change, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(update);
    buttons->addWidget(close);
    layout->addLayout(buttons, 2, 0, 1, 3);
    resize(420, 480);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) name_->setText(ToQString(table_.Row(row).name));
    });
    connect(change, &QPushButton::clicked, this, &MasterOpeningDialog::Change);
    connect(update, &QPushButton::clicked, this, &MasterOpeningDialog::Update);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // A file that cannot be read (the warning is the table's) must not be replaced.
    if (!table_.Load(datFolder_, prompter_)) update->setEnabled(false);
    Fill();
}

std::string MasterOpeningDialog::CloseQuestion() const { return MasterCloseQuestion(MasterNameKind::Opening); }

void MasterOpeningDialog::Fill() {
    const int current = list_->currentRow();
    list_->clear();
    for (int position = 1; position <= kOpeningRows; ++position) {
        list_->addItem(ToQString(MasterRowText(position, table_.Row(position - 1).name)));
    }
    list_->setCurrentRow(current < 0 ? 0 : current);
}

void MasterOpeningDialog::Change() {
    const int row = list_->currentRow();
    if (row < 0) return;
    const std::string name = ToCp932(name_->text());
    if (const std::string refused = CheckMasterName(MasterNameKind::Opening, name); !refused.empty()) {
        prompter_.Warn(refused);
        name_->setFocus();
        return;
    }
    RenameOpening(table_, row + 1, name);
    MarkChanged();
    Fill();
}

void MasterOpeningDialog::Update() {
    AfterWrite(table_.Write(datFolder_), std::string(kOpeningFileName), MasterUpdatedMessage(MasterNameKind::Opening));
}

}  // namespace movra
