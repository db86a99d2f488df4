#pragma once
// The File-menu commands that choose, make or rename a store, switch the DAT folder, and bring
// text game records in: each asks through the file dialogs and the prompter, calls core
// (store/open_store.h, textio/import_text.h, session/file_commands.h) and tells the main
// window what changed through its hooks.
#include <QDialog>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/config/settings.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"
#include "core/textio/import_text.h"

class QLabel;
class QLineEdit;

namespace movra {

class FileChooser;

class StoreCommands : public QObject {
    Q_OBJECT
public:
    // What the commands work on; all of it is the main window's.
    struct Host {
        QWidget* window = nullptr;
        StoreSession* session = nullptr;
        Settings* settings = nullptr;
        TKifData* record = nullptr;
        std::filesystem::path programFolder;
        Prompter* prompter = nullptr;
        // A store was opened (or the open one renamed): caption, recent menu, lists.
        std::function<void(const OpenStoreResult&)> storeOpened;
        // The master tables were read again (DAT folder switched).
        std::function<void()> mastersReloaded;
        // An import stored games: the store has been opened again; show its last game.
        std::function<void(long gamesStored)> imported;
        // Whether a command may start: false while the window is busy (a replay is stopped by
        // the main window itself before a command).
        std::function<bool()> mayStart;
    };

    explicit StoreCommands(Host host, QObject* parent = nullptr);

    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    // Tests: the current time that imported games without a date get.
    void setImportClock(std::string now) { importNow_ = std::move(now); }

    // "棋譜読込(&O)"
    void OpenStoreCommand();
    // A recent entry (1-10) or a data-collection store: the confirmation, then the store.
    void OpenRecentCommand(int entry);
    void OpenDataCollectionCommand(const std::filesystem::path& store);
    // "新規作成(&N)"
    void NewStoreCommand();
    // "棋譜ﾌｧｲﾙ名変更(&C)": the rename dialog.
    void RenameCommand();
    // "DATﾌｧｲﾙ切替(&D)"
    void SwitchDatFolderCommand();
    // 棋譜ｲﾝﾎﾟｰﾄ: "ファイル指定(&F)", "フォルダ指定(&D)", "クリップボード(&C)" (the clipboard's
    // bytes as given; empty: read the system clipboard).
    void ImportFilesCommand();
    void ImportFolderCommand();
    // A Lisvek collection, chosen by its kifu.kif.
    void ImportLisvekCommand();
    void ImportClipboardCommand(const QByteArray& clipboardBytes = {});
    // A file dropped on the main window.
    void DropCommand(const std::filesystem::path& file);

    // The opened store's name in the settings and the caption (after any opening).
    void RememberOpenedStore(const OpenStoreResult& opened);

private:
    FileChooser& chooser() const;
    QString StoreFolder() const;
    void RunImport(const std::function<ImportSummary(ImportContext&)>& run, int progressDigits);
    bool MayStart() const { return !host_.mayStart || host_.mayStart(); }

    Host host_;
    FileChooser* chooser_ = nullptr;
    std::string importNow_;
};

// The rename dialog ("棋譜ファイル名の変更"): the question, the folder and the new name; OK
// renames through RenameStore and stays open while the name is refused.
class RenameStoreDialog : public QDialog {
    Q_OBJECT
public:
    RenameStoreDialog(StoreSession& session, Prompter& prompter, QWidget* parent = nullptr);
    RenameOutcome outcome() const { return outcome_; }
    QLineEdit* nameEdit() const { return edit_; }
    QLabel* promptLabel() const { return prompt_; }
    // OK: Unchanged and Renamed close the dialog; Refused and Failed keep it open.
    void Confirm();

private:
    StoreSession& session_;
    Prompter& prompter_;
    QLabel* prompt_ = nullptr;
    QLabel* folder_ = nullptr;
    QLineEdit* edit_ = nullptr;
    RenameOutcome outcome_ = RenameOutcome::Unchanged;
};

}  // namespace movra
