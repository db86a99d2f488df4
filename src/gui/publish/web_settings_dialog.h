#pragma once
// The web settings dialog "WEB用設定": automatic transfer, the picture converter, the applet data
// file, the diagram bitmap, the HTML template and page, the two mobile templates and pages and
// the consumed-time switch. OK keeps the fields in the settings and writes them to the settings
// file; the four edit buttons (shown when [Tool] Editor names a program) open a template in it.
#include <QDialog>

#include <filesystem>
#include <functional>

#include "core/config/settings.h"

class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace movra {

class WebSettingsDialog : public QDialog {
    Q_OBJECT
public:
    WebSettingsDialog(Settings& settings, std::filesystem::path programFolder, QWidget* parent = nullptr);

    // OK: the fields into the settings and the settings file; false when the file could not be
    // written (the settings in memory are changed all the same).
    bool Apply();

    // Starts the editor with a file (tests watch it instead).
    std::function<void(const QString& editor, const QString& file)> launcher;
    // The file of an edit button, empty when its field is empty (1: the converter's ConvFile.txt,
    // 2: the HTML template, 3 and 4: the mobile templates).
    QString EditTarget(int button) const;

private:
    QLineEdit* AddPath(int row, const QString& label, const QString& name, const QString& filter, bool fileNameOnly,
                       bool startInProgramFolder, int editButton);
    void Browse(QLineEdit* field, const QString& filter, bool fileNameOnly, bool startInProgramFolder);
    void Edit(int button);

    Settings& settings_;
    std::filesystem::path programFolder_;
    QRadioButton* autoOn_ = nullptr;
    QRadioButton* autoOff_ = nullptr;
    QRadioButton* timeOn_ = nullptr;
    QRadioButton* timeOff_ = nullptr;
    QLineEdit* conv_ = nullptr;
    QLineEdit* applet_ = nullptr;
    QLineEdit* bitmap_ = nullptr;
    QLineEdit* source_ = nullptr;
    QLineEdit* output_ = nullptr;
    QLineEdit* mobileAsc_ = nullptr;
    QLineEdit* mobileDesc_ = nullptr;
    QLineEdit* pathAsc_ = nullptr;
    QLineEdit* pathDesc_ = nullptr;
    QGridLayout* grid_ = nullptr;
    bool editorFound_ = false;
};

}  // namespace movra
