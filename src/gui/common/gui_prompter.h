#pragma once
// The windowed program's Prompter: message boxes centred on the window that asks, and a progress
// panel for long store operations.
#include <QPointer>
#include <QWidget>

#include "core/text/prompter.h"

class QLabel;
class QProgressBar;

namespace movra {

class GuiPrompter : public Prompter {
public:
    explicit GuiPrompter(QWidget* owner);
    ~GuiPrompter() override;

    void Warn(const std::string& text) override;
    void Inform(const std::string& text) override;
    // An error (stop icon): the pictures missing at start-up.
    void Error(const std::string& text);
    Answer Confirm(const std::string& text, bool offerNo = true, bool offerCancel = false) override;
    bool Progress(const std::string& caption, long done, long total) override;
    // Closes the progress panel.
    void EndProgress() override;

private:
    QPointer<QWidget> owner_;
    QPointer<QWidget> panel_;
    QLabel* caption_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

// A message text of the system as Qt shows it: CP932 to QString, "\r" as a line break.
QString MessageText(const std::string& text);

}  // namespace movra
