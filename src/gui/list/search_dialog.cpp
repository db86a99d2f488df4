#include "gui/list/search_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "core/list/game_list_player_names.h"
#include "core/list/game_search.h"
#include "core/text/text_helpers.h"
#include "core/store/record_file.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

void Fill(QComboBox* box, const std::vector<std::string>& texts) {
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& t : texts) box->addItem(ToQString(t));
}

void Fill(QComboBox* box, const std::array<std::string_view, 3>& texts) {
    box->clear();
    for (std::string_view t : texts) box->addItem(ToQString(t));
}

void SetIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

QDate Today() { return QDate::currentDate(); }

}  // namespace

SearchDialog::SearchDialog(StoreSession& session, Settings& settings, Prompter& prompter,
                           std::function<BoardPosition()> board, QWidget* parent)
    : QDialog(parent), session_(session), settings_(settings), prompter_(prompter), board_(std::move(board)) {
    setObjectName(QStringLiteral("FormKensaku"));
    setWindowTitle(QStringLiteral("検索条件設定"));
    setModal(true);
    pickerTopRow_ = {settings_.form.KsTopRow[0], settings_.form.KsTopRow[1]};
    BuildWindow();
    FillConditionLists();
}

void SearchDialog::BuildWindow() {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    int row = 0;
    BuildPlayerRows(grid, row);
    BuildListRows(grid, row);
    BuildDateRows(grid, row);
    BuildPositionRows(grid, row);
    BuildButtons(layout);
}

QComboBox* SearchDialog::AddListRow(QGridLayout* grid, int& row, const QString& label, const QString& name) {
    auto* l = new QLabel(label, this);
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setMaxVisibleItems(20);
    grid->addWidget(l, row, 0);
    grid->addWidget(box, row, 1, 1, 3);
    ++row;
    return box;
}

void SearchDialog::BuildPlayerRows(QGridLayout* grid, int& row) {
    for (int i = 0; i < 2; ++i) {
        playerLabels_[i] = new QLabel(this);
        playerLabels_[i]->setObjectName(QStringLiteral("KishiLabel%1").arg(i + 1));
        players_[i] = new QComboBox(this);
        players_[i]->setObjectName(QStringLiteral("KishiBox%1").arg(i + 1));
        players_[i]->setMinimumWidth(240);
        players_[i]->setMaxVisibleItems(20);
        pickerButtons_[i] = new QPushButton(QStringLiteral("選択"), this);
        pickerButtons_[i]->setObjectName(QStringLiteral("KishiBtn%1").arg(i + 1));
        connect(pickerButtons_[i], &QPushButton::clicked, this, [this, i] { PickPlayer(i); });
        grid->addWidget(playerLabels_[i], row, 0);
        grid->addWidget(players_[i], row, 1, 1, 3);
        grid->addWidget(pickerButtons_[i], row, 4);
        ++row;
    }
    modeButton_ = new QPushButton(QStringLiteral("棋士指定切替"), this);
    modeButton_->setObjectName(QStringLiteral("KsModeBtn"));
    connect(modeButton_, &QPushButton::clicked, this, &SearchDialog::CyclePlayerMode);
    grid->addWidget(modeButton_, row++, 1);
}

void SearchDialog::BuildListRows(QGridLayout* grid, int& row) {
    tournament_ = AddListRow(grid, row, QStringLiteral("３．棋戦名"), QStringLiteral("MovraBox"));
    subTournament_ = AddListRow(grid, row, QStringLiteral("４．棋戦名詳細"), QStringLiteral("Movra2Box"));
    opening_ = AddListRow(grid, row, QStringLiteral("５．戦型"), QStringLiteral("SenkeiBox"));
    result_Box_ = AddListRow(grid, row, QStringLiteral("６．勝敗"), QStringLiteral("ShohaiBox"));
    handicap_ = AddListRow(grid, row, QStringLiteral("７．手合割"), QStringLiteral("TeaiBox"));
    connect(tournament_, &QComboBox::currentIndexChanged, this, [this] { FillSubTournaments(); });
    connect(handicap_, &QComboBox::currentIndexChanged, this, [this] { RefreshPlayerLabels(); });
}

// The date range: year and month fields, each with its spin buttons, and the era labels.
void SearchDialog::BuildDateRows(QGridLayout* grid, int& row) {
    const QString names[4] = {QStringLiteral("FromYY"), QStringLiteral("FromMM"), QStringLiteral("ToYY"),
                              QStringLiteral("ToMM")};
    for (int pair = 0; pair < 2; ++pair) {
        auto* line = new QHBoxLayout;
        for (int k = 0; k < 2; ++k) {
            const int f = pair * 2 + k;
            dates_[f] = new QLineEdit(this);
            dates_[f]->setObjectName(names[f]);
            dates_[f]->setMaxLength(k == 0 ? 4 : 2);
            dates_[f]->setFixedWidth(k == 0 ? 56 : 34);
            connect(dates_[f], &QLineEdit::textChanged, this, [this] { RefreshEraLabels(); });
            line->addWidget(dates_[f]);
            for (bool up : {true, false}) {
                auto* b = new QToolButton(this);
                b->setObjectName(QStringLiteral("Spin%1%2").arg(names[f], up ? QStringLiteral("Up")
                                                                             : QStringLiteral("Down")));
                b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
                b->setAutoRepeat(true);
                connect(b, &QToolButton::clicked, this, [this, f, up] { Spin(f, up); });
                spins_[std::size_t(f * 2 + (up ? 0 : 1))] = b;
                line->addWidget(b);
            }
            line->addWidget(new QLabel(k == 0 ? QStringLiteral("年") : QStringLiteral("月"), this));
        }
        eras_[pair] = new QLabel(this);
        eras_[pair]->setObjectName(QStringLiteral("EraLabel%1").arg(pair + 1));
        line->addWidget(eras_[pair]);
        line->addStretch();
        grid->addWidget(new QLabel(pair == 0 ? QStringLiteral("８．対局日") : QStringLiteral("　　～"), this),
                        row, 0);
        grid->addLayout(line, row, 1, 1, 4);
        ++row;
    }
}

void SearchDialog::BuildPositionRows(QGridLayout* grid, int& row) {
    position_ = AddListRow(grid, row, QStringLiteral("９．局面検索"), QStringLiteral("KyokumenBox"));
    Fill(position_, PositionListTexts());
    connect(position_, &QComboBox::currentIndexChanged, this, [this] { RefreshDepthEnabling(); });
    depthLabel_ = new QLabel(QStringLiteral("検索範囲"), this);
    depthLabel_->setObjectName(QStringLiteral("TesuLabel"));
    depth_ = new QComboBox(this);
    depth_->setObjectName(QStringLiteral("TesuBox"));
    for (std::string_view t : DepthListTexts()) depth_->addItem(ToQString(t));
    grid->addWidget(depthLabel_, row, 0);
    grid->addWidget(depth_, row, 1);
    ++row;
}

void SearchDialog::BuildButtons(QVBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    startButton_ = new QPushButton(QStringLiteral("検索開始"), this);
    startButton_->setObjectName(QStringLiteral("KensakuBtn"));
    startButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    clearButton_ = new QPushButton(QStringLiteral("条件クリア"), this);
    clearButton_->setObjectName(QStringLiteral("ClearBtn"));
    releaseButton_ = new QPushButton(QStringLiteral("絞込解除"), this);
    releaseButton_->setObjectName(QStringLiteral("KaijoBtn"));
    detailedButton_ = new QPushButton(QStringLiteral("詳 細 検 索"), this);
    detailedButton_->setObjectName(QStringLiteral("Kensaku2Btn"));
    connect(startButton_, &QPushButton::clicked, this, &SearchDialog::StartSearch);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        result_ = Result::Cancel;
        reject();
    });
    connect(clearButton_, &QPushButton::clicked, this, &SearchDialog::ClearConditions);
    connect(releaseButton_, &QPushButton::clicked, this, &SearchDialog::ReleaseNarrowing);
    connect(detailedButton_, &QPushButton::clicked, this, &SearchDialog::AskDetailed);
    for (QPushButton* b : {startButton_, cancelButton_, clearButton_, releaseButton_, detailedButton_}) {
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
}

// --- the lists and the labels ------------------------------------------------------------------------

void SearchDialog::FillConditionLists() {
    playerList_ = PlayerSearchList(session_.players);
    for (QComboBox* box : players_) {
        const QSignalBlocker block(box);
        box->clear();
        for (const std::string& entry : playerList_) {
            // The entry shows its name; the number stays with it for the search.
            box->addItem(ToQString(Trim(entry.size() > 30 ? entry.substr(0, 30) : entry)),
                         QByteArray(entry.data(), qsizetype(entry.size())));
        }
    }
    Fill(tournament_, TournamentSearchList(session_.tournaments));
    FillSubTournaments();
    Fill(opening_, OpeningSearchList(session_.openings));
    {
        const QSignalBlocker block(result_Box_);
        result_Box_->clear();
        for (std::string_view t : ResultListTexts()) result_Box_->addItem(ToQString(t));
    }
    Fill(handicap_, HandicapSearchList());
    fresh_ = true;
}

void SearchDialog::FillSubTournaments() {
    const int number = session_.tournaments.NumberByPosition(tournament_->currentIndex());
    Fill(subTournament_, SubTournamentSearchList(session_.tournaments, number));
    subTournament_->setCurrentIndex(0);
}

void SearchDialog::RefreshEraLabels() {
    for (int pair = 0; pair < 2; ++pair) {
        eras_[pair]->setText(ToQString(SearchEraLabel(ToCp932(dates_[pair * 2]->text()),
                                                      ToCp932(dates_[pair * 2 + 1]->text()))));
    }
}

void SearchDialog::RefreshPlayerLabels() {
    const auto labels = SearchPlayerLabels(mode_, handicap_->currentIndex());
    playerLabels_[0]->setText(ToQString(labels.first));
    playerLabels_[1]->setText(ToQString(labels.second));
}

void SearchDialog::RefreshDepthEnabling() {
    const bool on = position_->currentIndex() > 0;
    depth_->setEnabled(on);
    depthLabel_->setEnabled(on);
}

// --- choices ---------------------------------------------------------------------------------------

SearchChoices SearchDialog::Choices() const {
    SearchChoices c;
    c.player1 = players_[0]->currentIndex();
    c.player2 = players_[1]->currentIndex();
    c.playerMode = mode_;
    c.tournament = tournament_->currentIndex();
    c.subTournament = subTournament_->currentIndex();
    c.opening = opening_->currentIndex();
    c.result = result_Box_->currentIndex();
    c.handicap = handicap_->currentIndex();
    c.dates.fromYear = ToCp932(dates_[0]->text());
    c.dates.fromMonth = ToCp932(dates_[1]->text());
    c.dates.toYear = ToCp932(dates_[2]->text());
    c.dates.toMonth = ToCp932(dates_[3]->text());
    c.position = position_->currentIndex();
    c.depth = depth_->currentIndex();
    return c;
}

void SearchDialog::ApplyChoices(const SearchChoices& c) {
    SetIndex(players_[0], c.player1);
    SetIndex(players_[1], c.player2);
    mode_ = c.playerMode;
    SetIndex(tournament_, c.tournament);
    FillSubTournaments();
    SetIndex(subTournament_, c.subTournament);
    SetIndex(opening_, c.opening);
    SetIndex(result_Box_, c.result);
    SetIndex(handicap_, c.handicap);
    dates_[0]->setText(ToQString(c.dates.fromYear));
    dates_[1]->setText(ToQString(c.dates.fromMonth));
    dates_[2]->setText(ToQString(c.dates.toYear));
    dates_[3]->setText(ToQString(c.dates.toMonth));
    SetIndex(position_, c.position);
    SetIndex(depth_, c.depth);
    RefreshEraLabels();
    RefreshPlayerLabels();
    RefreshDepthEnabling();
}

// --- opening ---------------------------------------------------------------------------------------

void SearchDialog::Prepare(bool narrowing, bool positionPreset) {
    result_ = Result::Cancel;
    detailedButton_->setVisible(session_.store.extended());
    const QDate today = Today();
    SearchChoices c = RestoreSearchChoices(settings_.kensaku, fresh_, positionPreset,
                                           session_.tournaments, session_.openings,
                                           playerList_.size(), today.year(), today.month());
    c.depth = 4;  // " 50手まで"
    ReleaseNarrowing();
    ApplyChoices(c);
    SetNarrowing(narrowing);
}

SearchDialog::Result SearchDialog::Open(bool narrowing, bool positionPreset) {
    Prepare(narrowing, positionPreset);
    PlaceCentred(this, parentWidget());
    exec();
    return result_;
}

void SearchDialog::SetNarrowing(bool on) {
    narrowing_ = on;
    setWindowTitle(on ? QStringLiteral("検索条件設定 --- 絞込検索") : QStringLiteral("検索条件設定"));
    releaseButton_->setEnabled(on);
    if (!on) return;
    // A condition already chosen stays as it is while the hits are narrowed.
    const bool player1 = players_[0]->currentIndex() > 0;
    const bool player2 = players_[1]->currentIndex() > 0;
    players_[0]->setEnabled(!player1);
    pickerButtons_[0]->setEnabled(!player1);
    players_[1]->setEnabled(!player2);
    pickerButtons_[1]->setEnabled(!player2);
    modeButton_->setEnabled(!(player1 || player2));
    for (QComboBox* box : {tournament_, subTournament_, opening_, result_Box_, handicap_}) {
        box->setEnabled(box->currentIndex() <= 0);
    }
}

void SearchDialog::ReleaseNarrowing() {
    narrowing_ = false;
    setWindowTitle(QStringLiteral("検索条件設定"));
    for (QWidget* w : std::initializer_list<QWidget*>{players_[0], players_[1], pickerButtons_[0],
                                                      pickerButtons_[1], modeButton_, tournament_,
                                                      subTournament_, opening_, result_Box_,
                                                      handicap_, dates_[0], dates_[1], dates_[2],
                                                      dates_[3]}) {
        w->setEnabled(true);
    }
    releaseButton_->setEnabled(false);
}

// --- buttons -----------------------------------------------------------------------------------------

QWidget* SearchDialog::FieldWidget(SearchField field) const {
    switch (field) {
        case SearchField::FromYear: return dates_[0];
        case SearchField::FromMonth: return dates_[1];
        case SearchField::ToYear: return dates_[2];
        case SearchField::ToMonth: return dates_[3];
        case SearchField::None: break;
    }
    return nullptr;
}

void SearchDialog::StartSearch() {
    const SearchChoices choices = Choices();
    const SearchPattern pattern =
        SearchPattern::FromPosition(board_ ? board_() : BoardPosition{});
    SearchConditions conditions;
    const SearchDateCheck check = BuildSearchConditions(choices, playerList_, session_.tournaments,
                                                        session_.openings, pattern, conditions);
    if (!check.ok()) {
        prompter_.Warn(check.message);
        if (QWidget* w = FieldWidget(check.focus)) w->setFocus();
        return;
    }
    if (!session_.isOpen()) return;
    if (!narrowing_) {
        settings_.kensaku = SaveSearchChoices(choices, session_.tournaments, session_.openings);
    }
    SearchOutcome outcome;
    setEnabled(false);
    try {
        outcome = narrowing_ ? NarrowSearch(session_.store, conditions, session_.catalogue, prompter_)
                             : FullSearch(session_.store, conditions, session_.catalogue, prompter_);
    } catch (const StoreIoError& e) {
        prompter_.EndProgress();
        prompter_.Warn("\r" + PathText(e.path()) + " 読込エラー！"_sj);
    }
    prompter_.EndProgress();
    setEnabled(true);
    if (outcome.hits == 0) return;
    if (narrowing_) {
        settings_.kensaku = SaveSearchChoices(choices, session_.tournaments, session_.openings);
    }
    fresh_ = false;
    result_ = Result::Ok;
    accept();
}

void SearchDialog::ClearConditions() {
    ReleaseNarrowing();
    const QDate today = Today();
    ApplyChoices(ClearedSearchChoices(today.year(), today.month()));
    depth_->setEnabled(false);
    depthLabel_->setEnabled(false);
}

void SearchDialog::CyclePlayerMode() {
    mode_ = NextPlayerMode(mode_);
    RefreshPlayerLabels();
}

void SearchDialog::AskDetailed() {
    result_ = Result::Detailed;
    accept();
}

void SearchDialog::Spin(int field, bool up) {
    if (field < 0 || field > 3) return;
    const std::string text = ToCp932(dates_[field]->text());
    dates_[field]->setText(ToQString(field % 2 == 0 ? SpinYear(text, up) : SpinMonth(text, up)));
}

void SearchDialog::PickPlayer(int which) {
    if (which < 0 || which > 1) return;
    int number = -1;
    if (pickerAnswer_) {
        number = pickerAnswer_(pickerTopRow_[which]);
    } else {
        PlayerPicker picker(session_.players, pickerTopRow_[which], this);
        PlaceCentred(&picker, this);
        if (picker.exec() == QDialog::Accepted) number = picker.answer();
        // Each button remembers where the picker was scrolled to.
        pickerTopRow_[which] = picker.topRow();
        settings_.form.KsTopRow[std::size_t(which)] = pickerTopRow_[which];
    }
    if (number < 0) return;
    int index = 0;
    for (std::size_t i = 1; i < playerList_.size(); ++i) {
        if (PlayerNumberOfListEntry(playerList_[i]) == number) {
            index = int(i);
            break;
        }
    }
    players_[which]->setCurrentIndex(index);
    players_[which]->setFocus();
}

// --- the player picker ----------------------------------------------------------------------------

PlayerPicker::PlayerPicker(const PlayerTable& players, int topRow, QWidget* parent)
    : QDialog(parent), players_(players) {
    setObjectName(QStringLiteral("FormKishi"));
    setWindowTitle(QStringLiteral("棋士名選択"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        categories_[std::size_t(i)] = new QPushButton(ToQString(PickerCategoryName(i)), this);
        categories_[std::size_t(i)]->setCheckable(true);
        categories_[std::size_t(i)]->setAutoExclusive(true);
        connect(categories_[std::size_t(i)], &QPushButton::clicked, this, [this, i] { ShowCategory(i); });
        tabs->addWidget(categories_[std::size_t(i)]);
    }
    layout->addLayout(tabs);
    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("KishiGrid"));
    grid_->setColumnCount(kPickerColumns);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->setMinimumSize(600, 300);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, &PlayerPicker::Choose);
    layout->addWidget(grid_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &PlayerPicker::Choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    categories_[0]->setChecked(true);
    ShowCategory(0);
    grid_->verticalScrollBar()->setValue(topRow);
}

void PlayerPicker::ShowCategory(int index) {
    category_ = index;
    const std::vector<std::string> names = PickerNames(players_, kPickerCategories[index]);
    grid_->clear();
    grid_->setRowCount(PickerRows(int(names.size())));
    for (std::size_t i = 0; i < names.size(); ++i) {
        grid_->setItem(int(i / kPickerColumns), int(i % kPickerColumns),
                       new QTableWidgetItem(ToQString(names[i])));
    }
}

int PlayerPicker::topRow() const { return grid_->verticalScrollBar()->value(); }

void PlayerPicker::Choose() {
    const QTableWidgetItem* cell = grid_->currentItem();
    answer_ = cell == nullptr ? 0 : PickerAnswer(players_, kPickerCategories[category_], ToCp932(cell->text()));
    accept();
}

}  // namespace movra
