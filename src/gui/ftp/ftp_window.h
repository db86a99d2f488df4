#pragma once
// The FTP window "マルチＦＴＰクライアント": the server list of MULTIFTP.INI with its editing
// (登　録, the folder buttons) and 転送開始, which uploads the source folders to every server
// switched on. The upload runs on a worker thread; the window shows its status texts, the
// progress of the file being sent and every failure, and stays responsive (中　止 stops it).
//
// Full form: everything. Short form (the automatic upload after live publishing): the list, the
// status and the buttons only. Ctrl+X and Ctrl+Z switch between them.
#include <QDialog>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ftp/ftp_upload.h"
#include "core/ftp/server_list.h"
#include "core/text/prompter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace movra {

class FtpWindow : public QDialog {
    Q_OBJECT
public:
    FtpWindow(std::filesystem::path programFolder, Prompter& prompter, QWidget* parent = nullptr);
    ~FtpWindow() override;

    // Reads MULTIFTP.INI, fills the list, shows entry 1 and lays the window out in the form asked.
    void Open(bool shortForm);
    void SetShortForm(bool shortForm);
    bool shortForm() const { return shortForm_; }

    // The list's choice: shows entry `entry` (1-based) in the fields.
    void ShowEntry(int entry);
    // 登　録: the fields into the shown entry and its section of the file; false after the warning.
    bool Register();
    void ChooseCommonFolder();
    void ChooseOwnFolder();
    // 転送開始: starts the upload on the worker thread; the window closes when it ends.
    void StartTransfer();
    // 中　止: stops a running upload.
    void CancelTransfer();
    bool transferring() const { return worker_ != nullptr; }

    const FtpServerList& list() const { return list_; }
    const std::filesystem::path& settingsFile() const { return file_; }
    // What the last transfer did (empty before the first).
    const FtpUploadReport& lastReport() const { return report_; }
    // Every status text and failure message shown since the window was opened.
    QStringList messages() const;

    // Tests stand in for the folder picker: the folder chosen, or empty for cancel.
    std::function<std::filesystem::path(const std::filesystem::path& current)> folderAnswer;
    // Tests choose their own time-outs.
    FtpOptions options;

signals:
    // The upload ended (the window is closing); true when every server got every file.
    void transferFinished(bool allComplete);

protected:
    void done(int result) override;
    // Ctrl+X and Ctrl+Z switch the forms even while a text field has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Listener;
    void Build();
    void FillList();
    void SetOwnFolderEnabled(bool enabled);
    void ShowStatus(int panel, const QString& text);
    void AddMessage(const QString& text);
    void ShowProgress(const QString& file, int percent);
    void Finish(const FtpUploadReport& report, int id);
    std::filesystem::path PickFolder(const std::filesystem::path& current);
    // Writes the common folder and every entry back (the window closing).
    void SaveList();
    void WaitForWorker();

    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    Prompter& prompter_;
    FtpServerList list_;
    int shown_ = 1;
    bool shortForm_ = false;
    bool saveOnClose_ = false;
    int transferId_ = 0;
    std::vector<std::string> failures_;
    FtpUploadReport report_;

    QComboBox* serverBox_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* addrEdit_ = nullptr;
    QLineEdit* dirEdit_ = nullptr;
    QLineEdit* userEdit_ = nullptr;
    QLineEdit* passEdit_ = nullptr;
    QCheckBox* transCheck_ = nullptr;
    QGroupBox* destination_ = nullptr;
    QGroupBox* ownGroup_ = nullptr;
    QCheckBox* ownCheck_ = nullptr;
    QLineEdit* ownEdit_ = nullptr;
    QPushButton* ownButton_ = nullptr;
    QGroupBox* commonGroup_ = nullptr;
    QLineEdit* commonEdit_ = nullptr;
    QPushButton* commonButton_ = nullptr;
    QPushButton* registerButton_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* log_ = nullptr;

    std::unique_ptr<Listener> listener_;
    std::unique_ptr<FtpUploader> uploader_;
    QPointer<QThread> worker_;
};

}  // namespace movra
