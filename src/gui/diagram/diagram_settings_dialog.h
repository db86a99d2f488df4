#pragma once
// 局面図設定: the options every diagram shares (titles, labels, bitmap size, colours and zoom,
// hand counts, the empty-hand text, user-defined marks). OK stores every control back into the
// settings; Cancel changes nothing.
#include <QDialog>

#include <array>

#include "core/config/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace movra {

class DiagramSettingsDialog : public QDialog {
    Q_OBJECT
public:
    DiagramSettingsDialog(const Settings::Btimap& settings, QWidget* parent = nullptr);
    // The settings with the controls' values (what OK stores).
    Settings::Btimap result() const;

    QTabWidget* tabs() const { return tabs_; }
    QButtonGroup* group(const char* name) const;
    QLineEdit* titleEdit(int i) const { return titles_[std::size_t(i - 1)]; }  // 1-6
    QLineEdit* mkCharEdit() const { return mkChar_; }
    QComboBox* zoomBox() const { return zoom_; }
    QCheckBox* gaijiBox() const { return gaiji_; }

private:
    Settings::Btimap original_;
    QTabWidget* tabs_ = nullptr;
    std::array<QLineEdit*, 6> titles_{};
    QButtonGroup* titleNo_ = nullptr;
    QButtonGroup* titleNo2_ = nullptr;
    QButtonGroup* nameNo_ = nullptr;
    QButtonGroup* size_ = nullptr;
    QButtonGroup* color_ = nullptr;
    QButtonGroup* countStyle_ = nullptr;
    QButtonGroup* emptyHand_ = nullptr;
    QLineEdit* mNameS_ = nullptr;
    QLineEdit* mNameG_ = nullptr;
    QLineEdit* tNameS_ = nullptr;
    QLineEdit* tNameG_ = nullptr;
    QLineEdit* mkChar_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QCheckBox* gaiji_ = nullptr;
};

}  // namespace movra
