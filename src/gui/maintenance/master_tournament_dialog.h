#pragma once
// The tournament dialog ("棋戦名登録・変更") with its two panels: the tournament rows, and the
// ten sub-tournaments of one of them ("棋戦名詳細"). "棋戦名データ更新" writes "Movra.dat".
#include "core/store/master_data.h"
#include "gui/maintenance/master_dialog.h"

class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace movra {

class MasterTournamentDialog : public MasterDialog {
    Q_OBJECT
public:
    MasterTournamentDialog(const std::filesystem::path& datFolder, Prompter& prompter, QWidget* parent = nullptr);
    const TournamentTable& table() const { return table_; }
    // The popup "棋戦名詳細(&S)" on the selected row: its detail panel, or the message when the
    // row has no name. True when the detail panel shows.
    bool ShowDetail();
    void ShowMain();
    bool detailShown() const;

protected:
    std::string CloseQuestion() const override;

private:
    void FillMain();
    void FillDetail();
    void ChangeMain();
    void ChangeDetail();
    void Update();

    TournamentTable table_;
    QStackedWidget* panels_;
    QListWidget* list_;
    QLineEdit* name_;
    QListWidget* details_;
    QLineEdit* detailName_;
    int detailOf_ = 0;  // position of the tournament whose sub-tournaments show
};

}  // namespace movra
