#include "gui/ftp/ftp_commands.h"

#include <QAction>
#include <QWidget>

#include "gui/common/placement.h"
#include "gui/ftp/ftp_window.h"

namespace movra {

FtpCommands::FtpCommands(QWidget* window, Settings& settings, std::filesystem::path programFolder,
                         Prompter& prompter)
    : QObject(window), window_(window), settings_(settings), programFolder_(std::move(programFolder)),
      prompter_(prompter) {
    uploadTimer_.setObjectName(QStringLiteral("FtpUploadTimer"));
    uploadTimer_.setSingleShot(true);
    uploadTimer_.setInterval(1000);
    connect(&uploadTimer_, &QTimer::timeout, this, &FtpCommands::UploadTimerFired);
    startTimer_.setSingleShot(true);
    startTimer_.setInterval(500);
    connect(&startTimer_, &QTimer::timeout, this, [this] {
        if (ftp_ && ftp_->isVisible()) ftp_->StartTransfer();
    });
}

void FtpCommands::Install() {
    action_ = new QAction(QStringLiteral("マルチＦＴＰクライアント"), window_);
    action_->setObjectName(QStringLiteral("FtpCommand"));
    action_->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    action_->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(action_);
    connect(action_, &QAction::triggered, this, &FtpCommands::OpenByHand);
}

FtpWindow* FtpCommands::ftpWindow() {
    if (!ftp_) ftp_ = new FtpWindow(programFolder_, prompter_, window_);
    return ftp_;
}

void FtpCommands::OpenByHand() {
    if (!settings_.ftp.Func) return;
    FtpWindow* w = ftpWindow();
    if (w->isVisible()) return;
    w->Open(false);
    PlaceCentred(w, window_);
    if (whileOpen) {
        w->show();
        whileOpen(*w);
        if (w->isVisible()) w->reject();
        return;
    }
    w->exec();
}

void FtpCommands::uploadAfterLivePublish() { uploadTimer_.start(); }

void FtpCommands::UploadTimerFired() {
    FtpWindow* w = ftpWindow();
    if (w->transferring() || w->isVisible()) {
        // The upload before this one is still going or telling how it ended, or the window is
        // open by hand: this one follows once the window has closed.
        uploadTimer_.start();
        return;
    }
    w->Open(true);
    PlaceCentred(w, window_);
    w->show();
    w->raise();
    startTimer_.start();
}

}  // namespace movra
