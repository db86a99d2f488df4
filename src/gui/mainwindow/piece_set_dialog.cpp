#include "gui/mainwindow/piece_set_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/qtext.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

PieceSetDialog::PieceSetDialog(std::vector<PieceSetEntry> sets, int first, std::filesystem::path programFolder,
                               Prompter& prompter, QWidget* parent)
    : QDialog(parent), sets_(std::move(sets)), folder_(std::move(programFolder)), prompter_(prompter) {
    setObjectName(QStringLiteral("KomaChange"));
    setWindowTitle(QStringLiteral("駒変更"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("駒名："), this));
    list_ = new QComboBox(this);
    list_->setMinimumWidth(200);
    for (const PieceSetEntry& e : sets_) list_->addItem(ToQString(e.name));
    row->addWidget(list_, 1);
    layout->addLayout(row);
    preview_ = new QLabel(this);
    preview_->setMinimumSize(240, 80);
    preview_->setAlignment(Qt::AlignCenter);
    layout->addWidget(preview_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("ＯＫ"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (!sets_.empty()) {
        list_->setCurrentIndex(first >= 0 && first < int(sets_.size()) ? first : 0);
        ShowPreview(list_->currentIndex());
    }
    connect(list_, &QComboBox::currentIndexChanged, this, &PieceSetDialog::ShowPreview);
}

int PieceSetDialog::chosen() const { return sets_.empty() ? -1 : list_->currentIndex(); }

void PieceSetDialog::ShowPreview(int index) {
    if (index < 0 || index >= int(sets_.size())) return;
    QPixmap picture;
    const std::filesystem::path file = ResolvePath(folder_, sets_[std::size_t(index)].small);
    if (sets_[std::size_t(index)].small.empty() || !picture.load(PathToQString(file))) {
        preview_->clear();
        prompter_.Warn(std::string("\r駒表示用ビットマップがありません。"_sj));
        return;
    }
    // The piece set is a grid of 14 pieces a row: the preview shows the first row.
    const int rowHeight = picture.height() / 4;
    preview_->setPixmap(picture.copy(0, 0, picture.width(), rowHeight > 0 ? rowHeight : picture.height()));
}

}  // namespace movra
