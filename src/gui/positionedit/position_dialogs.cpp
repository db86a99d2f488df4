#include "gui/positionedit/position_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"

namespace movra {
using namespace movra::literals;

namespace {

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

SavePositionDialog::SavePositionDialog(std::filesystem::path programFolder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)), prompter_(prompter) {
    setObjectName(QStringLiteral("KyokumenSaveDlg"));
    setWindowTitle(QStringLiteral("局面データのセーブ"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("局面ファイル名："), this));
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("FileNameBox"));
    box_->setMinimumWidth(260);
    layout->addWidget(box_);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("OkBtn"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    layout->addLayout(ButtonRow(ok_, cancel));
    connect(ok_, &QPushButton::clicked, this, &SavePositionDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SavePositionDialog::Confirm() {
    const std::optional<std::string> name = SinglePositionFileName(ToCp932(box_->text()));
    if (!name) {
        prompter_.Warn(std::string("\rファイル名が入力されていません！"_sj));
        box_->setFocus();
        return;
    }
    if (SinglePositionExists(programFolder_, *name) &&
        prompter_.Confirm(*name + " は既に存在します。"_sj + "\r\r上書きしますか？"_sj, true, false) != Answer::Yes) {
        box_->setFocus();
        return;
    }
    fileName_ = *name;
    positionName_ = SinglePositionName(*name);
    accept();
}

LoadPositionDialog::LoadPositionDialog(Purpose purpose, std::filesystem::path programFolder, Prompter& prompter,
                                       QWidget* parent)
    : QDialog(parent), prompter_(prompter), entries_(ListSinglePositions(programFolder)) {
    const bool load = purpose == Purpose::Load;
    setObjectName(load ? QStringLiteral("KyokumenLoadDlg") : QStringLiteral("KyokumenDeleteDlg"));
    setWindowTitle(load ? QStringLiteral("局面データのロード") : QStringLiteral("局面データの削除"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("登録局面："), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("KyokumenList"));
    list_->setFont(SystemFont(kGothic, 14));
    list_->setMinimumSize(300, 260);
    for (const SinglePositionEntry& e : entries_) list_->addItem(ToQString(e.shownName()));
    layout->addWidget(list_);
    ok_ = new QPushButton(load ? QStringLiteral("ロード") : QStringLiteral("削除"), this);
    ok_->setObjectName(QStringLiteral("OkBtn"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    layout->addLayout(ButtonRow(ok_, cancel));
    connect(ok_, &QPushButton::clicked, this, &LoadPositionDialog::Confirm);
    connect(list_, &QListWidget::itemDoubleClicked, this, &LoadPositionDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void LoadPositionDialog::Confirm() {
    const int row = list_->currentRow();
    if (row < 0 || std::size_t(row) >= entries_.size() || list_->selectedItems().isEmpty()) {
        prompter_.Warn(std::string("\r局面が選択されていません！"_sj));
        return;
    }
    positionText_ = entries_[std::size_t(row)].positionText();
    fileName_ = Trim(entries_[std::size_t(row)].fileName);
    accept();
}

}  // namespace movra
