#pragma once
// The game information dialog (the system's TFormTkInf, "棋譜情報設定"): the header of one game
// (modes 1-3) or the bulk change of the marked games (mode 4). It edits the index and detail
// images it is handed; nothing is written to the store here except the consumed times, which
// their editor stores at once. The rules are core's (gameinfo/game_info.h).
#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/config/settings.h"
#include "core/gameinfo/game_info.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/text/prompter.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace movra {

// What the dialog works with besides the two images: the open store (its kind, files and master
// tables), the settings ([Shogi] WarekiDisp and DateUp) and the prompter for its messages.
struct GameInfoContext {
    StoreSession& session;
    Settings& settings;
    Prompter& prompter;
    // For a game not stored yet (record number beyond the store's count) the consumed-time
    // editor works on the main window's copies: one move-list line a move and the closing line,
    // and the move info. Null: such a game offers no consumed-time editor.
    const std::vector<std::string>* workingMoveLines = nullptr;
    const MoveInfo* workingMoveInfo = nullptr;
    // Where each player picker was scrolled to, kept by the caller for the rest of the run.
    std::array<int, 2>* pickerTopRows = nullptr;
};

struct GameInfoOutcome {
    GameInfoAnswer answer = GameInfoAnswer::Cancel;
    // Mode 4 with OK: the values to apply to the marked games (UpdateMarkedGames).
    GameInfoBulkSet bulk;
    // Set when the consumed-time editor stored new times (it writes a stored game's times to the
    // store itself); the caller takes them into its game record (TakeConsumedTimes,
    // core/gameinfo/consumed_times.h). The detail image holds them already.
    std::optional<ConsumedTimes> times;
};

// Opens the dialog modally. On OK (answers Ok and OkEditMoves) `index` and `detail` hold the
// edited images; on Cancel they are as they were given, except for consumed times stored by
// their editor, which `detail` takes in any case. `editMovesPreset` chooses "棋譜も変更する" in
// mode 2. `recordNumber` is the game's place in the store (beyond the count for a new game).
GameInfoOutcome RunGameInfoDialog(QWidget* parent, GameInfoMode mode, bool editMovesPreset,
                                  IndexRecord& index, DetailRecord& detail,
                                  std::uint32_t recordNumber, GameInfoContext& context);

class GameInfoDialog : public QDialog {
    Q_OBJECT
public:
    GameInfoDialog(GameInfoMode mode, bool editMovesPreset, const IndexRecord& index,
                   const DetailRecord& detail, std::uint32_t recordNumber,
                   GameInfoContext& context, QWidget* parent = nullptr);

    GameInfoOutcome outcome() const { return outcome_; }
    const IndexRecord& index() const { return index_; }
    const DetailRecord& detail() const { return detail_; }

    // The controls' contents as the core form.
    GameInfoForm Form() const;

    // Buttons (public for tests).
    void Ok();
    void OpenDetailed();      // "詳細情報"
    void OpenConsumedTimes(); // "消費時間一括入力"
    void PickPlayer(int side);
    void Spin(DatePart part, bool up);

    // Tests answer the nested windows through these instead of showing them.
    void setPickerAnswer(std::function<int(int topRow)> answer) { pickerAnswer_ = std::move(answer); }
    // Runs a nested dialog (the detailed dialog, the consumed-time editor) modally.
    void setNestedRunner(std::function<int(QDialog&)> run) { nestedRunner_ = std::move(run); }

private:
    void Build();
    void Fill();
    void RefreshEraLabel();
    void RefreshPlayerLabels();
    void RefreshResultLock();
    void FillSubTournaments(int select);
    bool LeavePlayerBox(int side);
    int RunNested(QDialog& dialog);
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool extended() const { return context_.session.store.extended(); }
    bool bulk() const { return mode_ == GameInfoMode::Bulk; }

    GameInfoMode mode_;
    GameInfoContext& context_;
    IndexRecord index_;
    DetailRecord detail_;
    std::uint32_t recordNumber_;
    GameInfoLists lists_;
    std::vector<ListChoice> subList_;
    GameInfoOutcome outcome_;
    bool eraValid_ = false;
    std::array<int, 2> topRows_{};
    std::function<int(int)> pickerAnswer_;
    std::function<int(QDialog&)> nestedRunner_;

    std::array<QLabel*, 2> playerLabels_{};
    std::array<QComboBox*, 2> players_{};
    std::array<QPushButton*, 2> pickers_{};
    std::array<QLineEdit*, 2> ratings_{};
    std::array<QLabel*, 2> ratingLabels_{};
    QComboBox* tournament_ = nullptr;
    QComboBox* subTournament_ = nullptr;
    QComboBox* gameNumber_ = nullptr;
    QComboBox* opening_ = nullptr;
    std::array<QLineEdit*, 3> date_{};
    QLabel* era_ = nullptr;
    std::vector<QWidget*> dateRow_;
    QComboBox* handicap_ = nullptr;
    QLabel* handicapLabel_ = nullptr;
    QComboBox* result_ = nullptr;
    QLabel* resultLabel_ = nullptr;
    QRadioButton* editMoves_ = nullptr;
    QRadioButton* keepMoves_ = nullptr;
    QPushButton* detailButton_ = nullptr;
    QPushButton* timeButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace movra
