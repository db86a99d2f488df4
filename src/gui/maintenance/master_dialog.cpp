#include "gui/maintenance/master_dialog.h"

#include "gui/common/fonts.h"
#include <QListWidget>

#include "core/store/master_data.h"
#include "core/store/master_edit.h"
#include "core/text/prompter.h"
#include "gui/common/placement.h"

namespace movra {

MasterDialog::MasterDialog(std::filesystem::path datFolder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), datFolder_(std::move(datFolder)), prompter_(prompter) {}

bool MasterDialog::Open() {
    PlaceCentred(this, parentWidget());
    exec();
    return written_;
}

void MasterDialog::reject() {
    if (changed_ && prompter_.Confirm(CloseQuestion(), false, true) != Answer::Yes) return;
    QDialog::reject();
}

void MasterDialog::AfterWrite(bool ok, const std::string& fileName, const std::string& message) {
    if (!ok) {
        prompter_.Warn(MasterWriteFailedMessage(FindFileNoCase(datFolder_, fileName)));
        return;
    }
    prompter_.Inform(message);
    written_ = true;
    changed_ = false;
}

QListWidget* MakeRowList(const QString& objectName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    // The rows line up their numbers in columns.
    list->setFont(SystemFont(kGothic, 14));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return list;
}

}  // namespace movra
