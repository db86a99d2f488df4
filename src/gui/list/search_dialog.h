#pragma once
// The search dialog (the system's TFormKensaku, "検索条件設定") and its player picker (TFormKishi,
// "棋士名選択"). The conditions, their checks, the saved values and the searches themselves are
// core's (list/search_form.h, list/game_search.h); the dialog holds the choices and shows them.
#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/list/search_form.h"
#include "core/config/settings.h"
#include "core/text/prompter.h"
#include "core/rules/position.h"
#include "core/store/open_store.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;
class QVBoxLayout;

namespace movra {

class PlayerPicker;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // How the dialog closed: hits found, nothing done, or the detailed search asked for.
    enum class Result { Ok, Cancel, Detailed };

    // `board` answers the main window's current position, the pattern of a position search.
    SearchDialog(StoreSession& session, Settings& settings, Prompter& prompter,
                 std::function<BoardPosition()> board, QWidget* parent = nullptr);

    // `fill condition lists`: the lists from the master tables, and the fresh-lists flag set.
    void FillConditionLists();
    // The fresh-lists flag: set by FillConditionLists, cleared by every search with hits.
    bool freshLists() const { return fresh_; }
    void ClearFreshLists() { fresh_ = false; }

    // `open`: prepares the dialog (Prepare) and shows it modally.
    Result Open(bool narrowing, bool positionPreset);
    void Prepare(bool narrowing, bool positionPreset);
    Result result() const { return result_; }
    bool narrowing() const { return narrowing_; }

    // --- the controls' choices -------------------------------------------------------------------
    SearchChoices Choices() const;
    void ApplyChoices(const SearchChoices& choices);

    // --- buttons (public for tests) ------------------------------------------------------------------
    void StartSearch();    // "検索開始"
    void ClearConditions();  // "条件クリア"
    void ReleaseNarrowing();  // "絞込解除"
    void CyclePlayerMode();   // "棋士指定切替"
    void AskDetailed();       // "詳 細 検 索"
    // A player picker button (0 or 1): the picker, then the list entry of the chosen player.
    void PickPlayer(int which);
    void Spin(int field, bool up);  // field 0 from year, 1 from month, 2 to year, 3 to month

    // Tests answer the picker through this instead of a window: the player number, or -1 for
    // "ｷｬﾝｾﾙ".
    void setPickerAnswer(std::function<int(int topRow)> answer) { pickerAnswer_ = std::move(answer); }

    QComboBox* playerBox(int which) const { return players_[which]; }
    QComboBox* tournamentBox() const { return tournament_; }
    QComboBox* resultBox() const { return result_Box_; }
    QComboBox* handicapBox() const { return handicap_; }
    QComboBox* positionBox() const { return position_; }
    QComboBox* depthBox() const { return depth_; }
    QLineEdit* dateField(int field) const { return dates_[field]; }
    QLabel* eraLabel(int which) const { return eras_[which]; }
    QLabel* playerLabel(int which) const { return playerLabels_[which]; }
    QPushButton* detailedButton() const { return detailedButton_; }
    QPushButton* releaseButton() const { return releaseButton_; }
    PlayerMode playerMode() const { return mode_; }

private:
    // The rows top to bottom: the players, the list conditions (tournament to handicap), the
    // dates, the position search; then the buttons.
    void BuildWindow();
    void BuildPlayerRows(QGridLayout* grid, int& row);
    void BuildListRows(QGridLayout* grid, int& row);
    void BuildDateRows(QGridLayout* grid, int& row);
    void BuildPositionRows(QGridLayout* grid, int& row);
    void BuildButtons(QVBoxLayout* layout);
    // A labelled list box on the next row of the grid.
    QComboBox* AddListRow(QGridLayout* grid, int& row, const QString& label, const QString& name);
    void RefreshEraLabels();
    void RefreshPlayerLabels();
    void RefreshDepthEnabling();
    void FillSubTournaments();
    void SetNarrowing(bool on);
    QWidget* FieldWidget(SearchField field) const;

    StoreSession& session_;
    Settings& settings_;
    Prompter& prompter_;
    std::function<BoardPosition()> board_;
    std::function<int(int)> pickerAnswer_;

    std::vector<std::string> playerList_;
    bool fresh_ = true;
    bool narrowing_ = false;
    PlayerMode mode_ = PlayerMode::Either;
    Result result_ = Result::Cancel;
    std::array<int, 2> pickerTopRow_{};

    std::array<QComboBox*, 2> players_{};
    std::array<QPushButton*, 2> pickerButtons_{};
    std::array<QLabel*, 2> playerLabels_{};
    QPushButton* modeButton_ = nullptr;
    QComboBox* tournament_ = nullptr;
    QComboBox* subTournament_ = nullptr;
    QComboBox* opening_ = nullptr;
    QComboBox* result_Box_ = nullptr;
    QComboBox* handicap_ = nullptr;
    std::array<QLineEdit*, 4> dates_{};
    std::array<QToolButton*, 8> spins_{};
    std::array<QLabel*, 2> eras_{};
    QComboBox* position_ = nullptr;
    QComboBox* depth_ = nullptr;
    QLabel* depthLabel_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* releaseButton_ = nullptr;
    QPushButton* detailedButton_ = nullptr;
};

// The player picker: five categories, the names of one category in a grid of five columns.
class PlayerPicker : public QDialog {
    Q_OBJECT
public:
    PlayerPicker(const PlayerTable& players, int topRow, QWidget* parent = nullptr);
    void ShowCategory(int index);
    // The answer of OK or a double click: the player number, 0 for an empty cell.
    int answer() const { return answer_; }
    int topRow() const;
    QTableWidget* grid() const { return grid_; }
    void Choose();

private:
    const PlayerTable& players_;
    int category_ = 0;
    int answer_ = 0;
    QTableWidget* grid_ = nullptr;
    std::array<QPushButton*, 5> categories_{};
};

}  // namespace movra
