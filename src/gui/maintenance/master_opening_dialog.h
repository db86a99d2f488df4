#pragma once
// The opening dialog (TFormSnkMnt, "戦型名登録・変更"): the opening rows, renamed one at a time,
// written to "Senkei.dat" by "戦型名データ更新".
#include "core/store/master_data.h"
#include "gui/maintenance/master_dialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace movra {

class MasterOpeningDialog : public MasterDialog {
    Q_OBJECT
public:
    MasterOpeningDialog(const std::filesystem::path& datFolder, Prompter& prompter, QWidget* parent = nullptr);
    const OpeningTable& table() const { return table_; }

protected:
    std::string CloseQuestion() const override;

private:
    void Fill();
    void Change();
    void Update();

    OpeningTable table_;
    QListWidget* list_;
    QLineEdit* name_;
};

}  // namespace movra
