#include "gui/common/gui_prompter.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "core/session/startup_store.h"

namespace movra {
namespace {

const QString kTitle = QString::fromLatin1(kApplicationTitle);

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const std::string& text,
                                 QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, kTitle, MessageText(text), buttons, owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString MessageText(const std::string& text) {
    QString s = ToQString(text);
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

GuiPrompter::GuiPrompter(QWidget* owner) : owner_(owner) {}

GuiPrompter::~GuiPrompter() { EndProgress(); }

void GuiPrompter::Warn(const std::string& text) { Show(owner_, QMessageBox::Warning, text, QMessageBox::Ok); }

void GuiPrompter::Inform(const std::string& text) {
    Show(owner_, QMessageBox::Information, text, QMessageBox::Ok);
}

void GuiPrompter::Error(const std::string& text) { Show(owner_, QMessageBox::Critical, text, QMessageBox::Ok); }

Answer GuiPrompter::Confirm(const std::string& text, bool offerNo, bool offerCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes;
    if (offerNo) buttons |= QMessageBox::No;
    if (offerCancel) buttons |= QMessageBox::Cancel;
    switch (Show(owner_, QMessageBox::Question, text, buttons)) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return offerCancel ? Answer::Cancel : Answer::No;
    }
}

bool GuiPrompter::Progress(const std::string& caption, long done, long total) {
    if (panel_ == nullptr) {
        auto* panel = new QWidget(owner_, Qt::Dialog | Qt::FramelessWindowHint);
        panel->setObjectName(QStringLiteral("ProgressPanel"));
        panel->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(panel);
        caption_ = new QLabel(panel);
        caption_->setAlignment(Qt::AlignCenter);
        bar_ = new QProgressBar(panel);
        layout->addWidget(caption_);
        layout->addWidget(bar_);
        panel->resize(280, 80);
        PlaceCentred(panel, owner_);
        panel->show();
        panel_ = panel;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    caption_->setText(ToQString(caption));
    bar_->setRange(0, total > 0 ? static_cast<int>(qMin<long>(total, 1 << 30)) : 0);
    bar_->setValue(static_cast<int>(qMin<long>(done, 1 << 30)));
    // Keep the windows painted while the operation runs on this thread.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void GuiPrompter::EndProgress() {
    if (panel_ != nullptr) {
        panel_->close();
        panel_ = nullptr;
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace movra
