#pragma once
// "動作環境": the replay, sound, reading-aloud and display settings on three pages. The dialog
// works on a copy of the choices; the window applies them after OK.
#include <QDialog>

#include <array>
#include <functional>

#include "core/config/environment.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;

namespace movra {

class EnvironmentDialog : public QDialog {
    Q_OBJECT
public:
    // `trial` plays the trial words in voice 1 or 2 ("試聴").
    EnvironmentDialog(const EnvironmentChoices& choices, std::function<void(int voice)> trial,
                      QWidget* parent = nullptr);
    EnvironmentChoices choices() const;

    // The rows shown only after Alt+X.
    bool hiddenRowsShown() const;
    QSlider* speedBar() const { return speed_; }
    QLabel* intervalLabel() const { return interval_; }
    QComboBox* depthList() const { return depth_; }
    QPushButton* trialButton() const { return trialButton_; }
    // The yes/no pair of a row by its setting name ("Smooth", "Sarnovi", "Multi" ...).
    QButtonGroup* row(const char* setting) const;
    QButtonGroup* voiceRow() const { return voice_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The three tabs.
    void BuildGeneralPage(QTabWidget* tabs, const EnvironmentChoices& choices);
    void BuildSoundPage(QTabWidget* tabs, const EnvironmentChoices& choices);
    void BuildOtherPage(QTabWidget* tabs, const EnvironmentChoices& choices);
    QButtonGroup* AddPair(QWidget* page, const char* setting, const QString& caption, const QString& yes,
                          const QString& no, bool yesChecked);
    void UpdateInterval();

    std::function<void(int)> trial_;
    EnvironmentChoices start_;
    QSlider* speed_ = nullptr;
    QLabel* interval_ = nullptr;
    QComboBox* depth_ = nullptr;
    QButtonGroup* voice_ = nullptr;
    QPushButton* trialButton_ = nullptr;
    std::array<QWidget*, 4> hidden_{};
};

}  // namespace movra
