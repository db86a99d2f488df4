#pragma once
// The store maintenance commands of the tools menu: merging stores and distributed data, sorting,
// removing identical games, the conversion of a classic store, the player-number jobs and the
// backups. Each checks what it needs, asks through the file dialogs, the order dialog and the
// prompter (whose progress panel shows while the job runs), calls core (core/maintenance) and
// opens the store again when its files changed.
#include <QDialog>
#include <QObject>

#include <functional>

#include "core/maintenance/store_sort.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace movra {

class FileChooser;

class MaintenanceCommands : public QObject {
    Q_OBJECT
public:
    struct Host {
        QWidget* window = nullptr;
        StoreSession* session = nullptr;
        Prompter* prompter = nullptr;
        // The store was opened again after a job changed it.
        std::function<void(const OpenStoreResult&)> storeOpened;
        // Whether a command may start: false while the window is busy or an unsaved game is kept.
        std::function<bool()> mayStart;
        // The order dialog; by default ソート順指定ダイアログ. nullopt when cancelled.
        std::function<std::optional<maintenance::SortOrder>()> askOrder;
    };
    explicit MaintenanceCommands(Host host, QObject* parent = nullptr);
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }

public slots:
    void DistributedMergeCommand();
    void CompleteMergeCommand();
    void MergeCommand();
    void ConcatenateCommand();
    void SortDescendingCommand();
    void SortAscendingCommand();
    void RemoveSameGamesCommand();
    void ConvertCommand();
    void SetPlayerNumbersCommand();
    void ReplacePlayerNumberCommand();
    void BackupStoreCommand();
    void BackupDatCommand();

private:
    FileChooser& chooser() const;
    bool MayStart() const { return !host_.mayStart || host_.mayStart(); }
    // The merge group's common start: an open store of this program's format.
    bool MergeStoreOpen() const;
    void MergeWith(int kind);
    void Sort(maintenance::SortOrder order);
    std::optional<maintenance::SortOrder> AskOrder() const;
    // Opens the store again (catalogue emptied first) and tells the main window.
    void Reopen(bool reset);

    Host host_;
    FileChooser* chooser_ = nullptr;
};

// ソート順指定ダイアログ: newest first or oldest first.
class SortOrderDialog : public QDialog {
    Q_OBJECT
public:
    explicit SortOrderDialog(QWidget* parent = nullptr);
    maintenance::SortOrder order() const;
    QRadioButton* descendingButton() const { return descending_; }

private:
    QRadioButton* descending_ = nullptr;
    QRadioButton* ascending_ = nullptr;
};

// 棋士番号一括変換: the number before and after, and whether to check that the new number is
// unused. OK replaces and keeps the dialog open for the next pair.
class PlayerNumberDialog : public QDialog {
    Q_OBJECT
public:
    PlayerNumberDialog(StoreSession& session, Prompter& prompter, std::function<void()> changed,
                       QWidget* parent = nullptr);
    QLineEdit* fromEdit() const { return from_; }
    QLineEdit* toEdit() const { return to_; }
    QCheckBox* checkBox() const { return check_; }
    void Confirm();

private:
    StoreSession& session_;
    Prompter& prompter_;
    std::function<void()> changed_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QCheckBox* check_ = nullptr;
};

}  // namespace movra
