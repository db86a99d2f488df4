#pragma once
// The detailed search dialog (the system's TFormKensaku2, "詳細検索条件設定") with its rating
// panel ("レーティング検索条件設定") and the player-name reference ("対局者名一覧"). The checks, the
// condition record, the histories and the search are core's (list/detail_search.h).
#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "core/list/detail_search.h"
#include "core/list/game_list_player_names.h"
#include "core/config/settings.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace movra {

class DetailedSearchDialog : public QDialog {
    Q_OBJECT
public:
    enum class Result { Ok, Back };

    // `handicapIndex` answers the search dialog's handicap choice, which decides the player
    // labels' words.
    DetailedSearchDialog(StoreSession& session, Settings& settings, Prompter& prompter,
                         std::filesystem::path programFolder, std::function<int()> handicapIndex,
                         QWidget* parent = nullptr);

    // `prepare` and `load`, then modal.
    Result Open();
    void Prepare();
    void Load();
    Result result() const { return result_; }

    Kensaku2Form Form() const;

    // Buttons (public for tests).
    void StartSearch();       // "検索開始"
    void ClearConditions();   // "条件クリア"
    void CyclePlayerMode();   // "棋士指定切替"
    void ShowRatingPanel();   // "レーティング検索"
    void AcceptRatings();     // the rating panel's "OK"
    void CancelRatings();     // its "ｷｬﾝｾﾙ"
    void CopyRatingRow(bool senteToGote);  // "条件コピー"
    // The player-name reference for player box 0 or 1; tests answer through setReferenceAnswer.
    void PickReferenceName(int which);
    void setReferenceAnswer(std::function<QString()> answer) { referenceAnswer_ = std::move(answer); }

    // Controls, for the main window and tests.
    QCheckBox* condition(int index) const { return conditions_[std::size_t(index)]; }  // 0 players … 4 remarks
    QComboBox* textBox(int index) const { return texts_[std::size_t(index)]; }  // 0 player1, 1 player2, 2 tournament … 5 remarks
    QRadioButton* containButton(int index) const { return contain_[std::size_t(index)]; }
    QCheckBox* ratingIndicator() const { return ratingIndicator_; }
    QCheckBox* ratingEnabled(int row) const { return ratingEnabled_[std::size_t(row)]; }
    QLineEdit* ratingField(int index) const { return ratingFields_[std::size_t(index)]; }  // 0 sente low, 1 sente high, 2 gote low, 3 gote high
    QLabel* playerLabel(int which) const { return playerLabels_[std::size_t(which)]; }
    QPushButton* referenceButton(int which) const { return referenceButtons_[std::size_t(which)]; }
    bool ratingPanelShown() const;

private:
    // Two pages: the main panel (its rows top to bottom, then its buttons) and the rating panel.
    void BuildWindow();
    void BuildMainPanel();
    void BuildPlayerRows(QWidget* main, QGridLayout* grid, int& row);
    void BuildTextRows(QWidget* main, QGridLayout* grid, int& row);
    void BuildCommentAndRatingRows(QWidget* main, QGridLayout* grid, int& row);
    void BuildMainButtons(QWidget* main, QGridLayout* grid, int& row);
    void BuildRatingPanel();
    void RefreshPlayerLabels();
    void ShowRanges(const RatingRanges& ranges);
    RatingRanges TypedRanges() const;
    QWidget* FieldWidget(Kensaku2Field field) const;

    StoreSession& session_;
    Settings& settings_;
    Prompter& prompter_;
    std::filesystem::path programFolder_;
    std::function<int()> handicapIndex_;
    std::function<QString()> referenceAnswer_;
    Result result_ = Result::Back;
    PlayerMode mode_ = PlayerMode::Either;
    RatingRanges ranges_;      // as stored by the rating panel's OK
    bool namesLoaded_ = false;
    PlayerNames names_;

    QStackedWidget* pages_ = nullptr;
    std::array<QCheckBox*, 5> conditions_{};
    std::array<QComboBox*, 6> texts_{};
    std::array<QRadioButton*, 5> exact_{};
    std::array<QRadioButton*, 5> contain_{};
    std::array<QLabel*, 2> playerLabels_{};
    std::array<QPushButton*, 2> referenceButtons_{};
    QPushButton* modeButton_ = nullptr;
    QCheckBox* commentCheck_ = nullptr;
    QRadioButton* withComments_ = nullptr;
    QRadioButton* withoutComments_ = nullptr;
    QCheckBox* ratingIndicator_ = nullptr;
    std::array<QCheckBox*, 2> ratingEnabled_{};
    std::array<QLineEdit*, 4> ratingFields_{};
    QRadioButton* ratingAnd_ = nullptr;
    QRadioButton* ratingOr_ = nullptr;
};

// The player-name reference: the names of "Player.txt" with an index field.
class PlayerNameList : public QDialog {
    Q_OBJECT
public:
    PlayerNameList(const std::vector<std::string>& names, QWidget* parent = nullptr);
    // The highlighted name, trimmed.
    QString chosen() const;
    QListWidget* list() const { return list_; }

private:
    void FollowIndex();
    const std::vector<std::string>& names_;
    QLineEdit* index_ = nullptr;
    QListWidget* list_ = nullptr;
};

}  // namespace movra
