#pragma once
// The player dialog (TFormKsMnt, "棋士名登録・変更"): the used slots of one category, changed,
// registered into a free slot or freed, written to "Ksname.dat" by "棋士名データ更新".
#include "core/store/master_data.h"
#include "core/store/master_edit.h"
#include "gui/maintenance/master_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace movra {

class MasterPlayerDialog : public MasterDialog {
    Q_OBJECT
public:
    MasterPlayerDialog(const std::filesystem::path& datFolder, Prompter& prompter, QWidget* parent = nullptr);
    const PlayerTable& table() const { return table_; }

    // Category 0-4 ("A"-"E").
    void ChooseCategory(int index);
    // The list header: the order by number, kanji or kana.
    void SortBy(PlayerColumn column);
    // "新規登録": empty names, the category's slot for a new player.
    void StartNew();
    // The popup "削除" on the selected row.
    void DeleteSelected();
    QTreeWidget* list() const { return list_; }

protected:
    std::string CloseQuestion() const override;

private:
    char category() const;
    void Fill(int select);
    void Select();
    void Store();
    void Update();

    PlayerTable table_;
    PlayerColumn order_ = PlayerColumn::Kana;
    QComboBox* category_;
    QTreeWidget* list_;
    QLineEdit* number_;
    QLineEdit* kanji_;
    QLineEdit* kana_;
    QPushButton* store_;
};

}  // namespace movra
