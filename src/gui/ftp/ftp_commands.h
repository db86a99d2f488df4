#pragma once
// The main window's FTP commands: Ctrl+F opens the FTP window in its full form (with web
// publishing switched on), and the automatic upload after live publishing: a second after the
// game was published the window opens in its short form, and half a second later it uploads and
// closes by itself.
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "core/config/settings.h"
#include "core/text/prompter.h"

class QAction;
class QWidget;

namespace movra {

class FtpWindow;

class FtpCommands : public QObject {
    Q_OBJECT
public:
    FtpCommands(QWidget* window, Settings& settings, std::filesystem::path programFolder, Prompter& prompter);

    // Adds the Ctrl+F key command to the window.
    void Install();

    // Ctrl+F: the window in its full form, modal; nothing without [FTP] Func.
    void OpenByHand();
    // The window, made on first use and kept for the whole run.
    FtpWindow* ftpWindow();
    QAction* action() const { return action_; }
    QTimer* uploadTimer() { return &uploadTimer_; }
    QTimer* startTimer() { return &startTimer_; }
    // Tests see the modal window instead of a person: called while it is shown.
    std::function<void(FtpWindow&)> whileOpen;

public slots:
    // After live publishing: starts the upload timer (1 s), which opens the short form and, after
    // 500 ms more, starts the transfer.
    void uploadAfterLivePublish();

private:
    void UploadTimerFired();

    QWidget* window_;
    Settings& settings_;
    std::filesystem::path programFolder_;
    Prompter& prompter_;
    FtpWindow* ftp_ = nullptr;
    QAction* action_ = nullptr;
    QTimer uploadTimer_;
    QTimer startTimer_;
};

}  // namespace movra
