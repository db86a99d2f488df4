#pragma once
// The two small dialogs of single positions: saving under a file name ("局面データのセーブ") and
// choosing a saved position to load or delete ("局面データのロード" / "局面データの削除").
#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

#include "core/positionedit/single_position.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace movra {

class Prompter;

class SavePositionDialog : public QDialog {
    Q_OBJECT
public:
    SavePositionDialog(std::filesystem::path programFolder, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* fileNameBox() const { return box_; }
    QPushButton* okButton() const { return ok_; }
    // The answer once accepted (CP932): the file name with ".pat" and the position name.
    const std::string& fileName() const { return fileName_; }
    const std::string& positionName() const { return positionName_; }

private:
    void Confirm();

    std::filesystem::path programFolder_;
    Prompter& prompter_;
    QLineEdit* box_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::string fileName_;
    std::string positionName_;
};

class LoadPositionDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Load, Delete };
    LoadPositionDialog(Purpose purpose, std::filesystem::path programFolder, Prompter& prompter,
                       QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    const std::vector<SinglePositionEntry>& entries() const { return entries_; }
    // The answer once accepted: the entry's position text (210 characters) and its file name.
    const std::string& positionText() const { return positionText_; }
    const std::string& fileName() const { return fileName_; }

private:
    void Confirm();

    Prompter& prompter_;
    std::vector<SinglePositionEntry> entries_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::string positionText_;
    std::string fileName_;
};

}  // namespace movra
