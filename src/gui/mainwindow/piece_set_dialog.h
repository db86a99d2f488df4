#pragma once
// "駒変更": one of the piece sets of "KOMATYPE.DAT", with a preview of its small pictures.
#include <QDialog>

#include <filesystem>
#include <vector>

#include "core/config/piece_sets.h"
#include "core/text/prompter.h"

class QComboBox;
class QLabel;

namespace movra {

class PieceSetDialog : public QDialog {
    Q_OBJECT
public:
    PieceSetDialog(std::vector<PieceSetEntry> sets, int first, std::filesystem::path programFolder,
                   Prompter& prompter, QWidget* parent = nullptr);
    // The set chosen, -1 when the list is empty.
    int chosen() const;
    QComboBox* list() const { return list_; }
    QLabel* preview() const { return preview_; }

private:
    void ShowPreview(int index);

    std::vector<PieceSetEntry> sets_;
    std::filesystem::path folder_;
    Prompter& prompter_;
    QComboBox* list_ = nullptr;
    QLabel* preview_ = nullptr;
};

}  // namespace movra
