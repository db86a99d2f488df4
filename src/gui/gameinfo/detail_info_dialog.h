#pragma once
// The detailed game information dialog (TFormTkInf2, "棋譜詳細情報設定") and the recorder list
// (TFormKiroku, "記録係一覧"). The form, its checks and the label presets are core's
// (gameinfo/detail_info.h).
#include <QDialog>
#include <QLabel>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/gameinfo/detail_info.h"
#include "core/gameinfo/game_info.h"
#include "core/store/layout.h"
#include "core/text/prompter.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace movra {

// A label that reports a double click (the presets).
class PresetLabel : public QLabel {
    Q_OBJECT
public:
    PresetLabel(const QString& text, QWidget* parent);
signals:
    void doubleClicked();
protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class DetailInfoDialog : public QDialog {
    Q_OBJECT
public:
    // `mainDate` is the main form's date; `subTournament` the index image's sub-tournament.
    DetailInfoDialog(const DetailRecord& detail, int subTournament, const DateTexts& mainDate,
                     const std::filesystem::path& programFolder, Prompter& prompter,
                     QWidget* parent = nullptr);

    const DetailRecord& detail() const { return detail_; }
    DetailForm Form() const;
    void Ok();
    void OpenRecorderList();
    // The presets of the labels (public for tests): "３．棋戦名(詳細)" … "９．持時間".
    enum class Preset { Tournament, Tokyo, Kansai, StartDate, StartHour, StartMinute, EndDate, EndDay,
                        Lunch, Supper, Allowance };
    void ApplyPreset(Preset preset);
    void setRecorderRunner(std::function<int(QDialog&)> run) { recorderRunner_ = std::move(run); }

private:
    QLineEdit* NumberField(int maxLength, int width, const QString& name);
    void Chain(QLineEdit* from, QWidget* to, int length);
    void SetForm(const DetailForm& form);
    QWidget* FieldOf(DetailField field, int part) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    DetailRecord detail_;
    int subTournament_;
    DateTexts mainDate_;
    std::filesystem::path programFolder_;
    Prompter& prompter_;
    std::function<int(QDialog&)> recorderRunner_;

    std::array<QLineEdit*, 2> names_{};
    std::array<QComboBox*, 2> ranks_{};
    QLineEdit* tournamentText_ = nullptr;
    QLineEdit* place_ = nullptr;
    std::array<QLineEdit*, 5> start_{};
    std::array<QLineEdit*, 5> end_{};
    std::array<QLineEdit*, 4> lunch_{};
    std::array<QLineEdit*, 4> supper_{};
    std::array<QLineEdit*, 2> senteAllowance_{};
    std::array<QLineEdit*, 2> goteAllowance_{};
    QLineEdit* recorder_ = nullptr;
    QLineEdit* remarks_ = nullptr;
    QPushButton* recorderButton_ = nullptr;
};

// The lines of "kiroku.txt"; OK or a double click hands the highlighted line, trimmed.
class RecorderListDialog : public QDialog {
    Q_OBJECT
public:
    RecorderListDialog(const std::vector<std::string>& lines, QWidget* parent = nullptr);
    std::string chosen() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_ = nullptr;
};

}  // namespace movra
