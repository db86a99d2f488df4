#pragma once
// What the three master-data dialogs share: a working copy of their table that only their update
// button writes, the changed flag every accepted edit sets, the written flag the main window
// reads afterwards, and the question before closing with unsaved changes.
#include <QDialog>

#include <filesystem>
#include <string>

class QListWidget;

namespace movra {

class Prompter;

class MasterDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modally. True when it wrote its file (the caller reloads that table).
    bool Open();
    bool changed() const { return changed_; }
    bool written() const { return written_; }

    // "閉じる", the window's close box and Escape: with unsaved changes the question first.
    void reject() override;

protected:
    MasterDialog(std::filesystem::path datFolder, Prompter& prompter, QWidget* parent);
    // The question before closing with changes.
    virtual std::string CloseQuestion() const = 0;
    void MarkChanged() { changed_ = true; }
    // After a write: the message, written set, changed cleared; a failed write only says so.
    void AfterWrite(bool ok, const std::string& fileName, const std::string& message);

    std::filesystem::path datFolder_;
    Prompter& prompter_;

private:
    bool changed_ = false;
    bool written_ = false;
};

// A plain list of rows for the tournament and opening dialogs.
QListWidget* MakeRowList(const QString& objectName, QWidget* parent);

}  // namespace movra
