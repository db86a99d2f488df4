#include "gui/gameinfo/game_info_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/gameinfo/consumed_times.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/gameinfo/consumed_time_dialog.h"
#include "gui/gameinfo/detail_info_dialog.h"
#include "gui/list/search_dialog.h"

namespace movra {

using namespace movra::literals;

namespace {

void FillBox(QComboBox* box, const std::vector<ListChoice>& list) {
    const QSignalBlocker block(box);
    box->clear();
    for (const ListChoice& c : list) box->addItem(ToQString(c.text));
}

void FillBox(QComboBox* box, const std::vector<std::string>& list) {
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& t : list) box->addItem(ToQString(t));
}

void Select(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

QLineEdit* DigitField(QWidget* parent, int length, int width, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(length);
    e->setFixedWidth(width);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    return e;
}

}  // namespace

GameInfoDialog::GameInfoDialog(GameInfoMode mode, bool editMovesPreset, const IndexRecord& index,
                               const DetailRecord& detail, std::uint32_t recordNumber,
                               GameInfoContext& context, QWidget* parent)
    : QDialog(parent), mode_(mode), context_(context), index_(index), detail_(detail),
      recordNumber_(recordNumber) {
    setObjectName(QStringLiteral("FormTkInf"));
    setWindowTitle(QStringLiteral("棋譜情報設定"));
    setModal(true);
    if (context_.pickerTopRows != nullptr) topRows_ = *context_.pickerTopRows;
    lists_ = GameInfoLists::Make(context_.session.players, context_.session.tournaments,
                                 context_.session.openings, bulk());
    Build();
    Fill();
    if (mode_ == GameInfoMode::Correction) {
        editMoves_->setChecked(editMovesPreset);
        keepMoves_->setChecked(!editMovesPreset);
    }
    RefreshResultLock();
}

void GameInfoDialog::Build() {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    int row = 0;
    const auto label = [this](const QString& text, const QString& name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    for (int side = 0; side < 2; ++side) {
        playerLabels_[std::size_t(side)] = label(QString(), QStringLiteral("KishiLabel%1").arg(side + 1));
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("KishiBox%1").arg(side + 1));
        box->setMinimumWidth(200);
        box->setMaxVisibleItems(20);
        // The extended kind keeps names of players without a master entry: the box takes text.
        box->setEditable(extended() || bulk());
        box->setInsertPolicy(QComboBox::NoInsert);
        if (box->lineEdit() != nullptr) box->lineEdit()->installEventFilter(this);
        players_[std::size_t(side)] = box;
        auto* pick = new QPushButton(QStringLiteral("選択"), this);
        pick->setObjectName(QStringLiteral("KishiBtn%1").arg(side + 1));
        connect(pick, &QPushButton::clicked, this, [this, side] { PickPlayer(side); });
        pickers_[std::size_t(side)] = pick;
        ratingLabels_[std::size_t(side)] = label(QStringLiteral("R:"), QStringLiteral("RateLabel%1").arg(side + 1));
        ratings_[std::size_t(side)] = DigitField(this, 4, 48, QStringLiteral("RateEdit%1").arg(side + 1));
        grid->addWidget(playerLabels_[std::size_t(side)], row, 0);
        grid->addWidget(box, row, 1, 1, 3);
        grid->addWidget(pick, row, 4);
        grid->addWidget(ratingLabels_[std::size_t(side)], row, 5);
        grid->addWidget(ratings_[std::size_t(side)], row, 6);
        ++row;
    }
    tournament_ = new QComboBox(this);
    tournament_->setObjectName(QStringLiteral("MovraBox"));
    subTournament_ = new QComboBox(this);
    subTournament_->setObjectName(QStringLiteral("Movra2Box"));
    connect(tournament_, &QComboBox::currentIndexChanged, this, [this] { FillSubTournaments(0); });
    grid->addWidget(label(QStringLiteral("３．棋戦名"), QStringLiteral("MovraLabel")), row, 0);
    grid->addWidget(tournament_, row, 1, 1, 2);
    grid->addWidget(subTournament_, row, 3, 1, 4);
    ++row;
    gameNumber_ = new QComboBox(this);
    gameNumber_->setObjectName(QStringLiteral("KyokuBox"));
    grid->addWidget(label(QStringLiteral("４．局"), QStringLiteral("KyokuLabel")), row, 0);
    grid->addWidget(gameNumber_, row, 1);
    ++row;
    opening_ = new QComboBox(this);
    opening_->setObjectName(QStringLiteral("SenkeiBox"));
    grid->addWidget(label(QStringLiteral("５．戦型"), QStringLiteral("SenkeiLabel")), row, 0);
    grid->addWidget(opening_, row, 1, 1, 3);
    ++row;

    // The date: year, month and day, each with its spin buttons, and the era label.
    auto* dateLabel = label(QStringLiteral("６．対局日"), QStringLiteral("DateLabel"));
    auto* dateLine = new QHBoxLayout;
    const QString names[3] = {QStringLiteral("YearEdit"), QStringLiteral("MonthEdit"), QStringLiteral("DayEdit")};
    const QString units[3] = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日")};
    dateRow_.push_back(dateLabel);
    for (int f = 0; f < 3; ++f) {
        date_[std::size_t(f)] = DigitField(this, f == 0 ? 4 : 2, f == 0 ? 52 : 32, names[f]);
        connect(date_[std::size_t(f)], &QLineEdit::textChanged, this, [this] { RefreshEraLabel(); });
        dateLine->addWidget(date_[std::size_t(f)]);
        dateRow_.push_back(date_[std::size_t(f)]);
        for (bool up : {true, false}) {
            auto* b = new QToolButton(this);
            b->setObjectName(QStringLiteral("Spin%1%2").arg(names[f], up ? QStringLiteral("Up") : QStringLiteral("Down")));
            b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
            b->setAutoRepeat(true);
            connect(b, &QToolButton::clicked, this, [this, f, up] { Spin(DatePart(f), up); });
            dateLine->addWidget(b);
            dateRow_.push_back(b);
        }
        auto* unit = new QLabel(units[f], this);
        dateLine->addWidget(unit);
        dateRow_.push_back(unit);
    }
    era_ = label(QString(), QStringLiteral("WarekiLabel"));
    dateLine->addWidget(era_);
    dateLine->addStretch(1);
    dateRow_.push_back(era_);
    grid->addWidget(dateLabel, row, 0);
    grid->addLayout(dateLine, row, 1, 1, 6);
    ++row;
    handicap_ = new QComboBox(this);
    handicap_->setObjectName(QStringLiteral("TeaiBox"));
    handicapLabel_ = label(QStringLiteral("７．手合い"), QStringLiteral("TeaiLabel"));
    connect(handicap_, &QComboBox::currentIndexChanged, this, [this] { RefreshPlayerLabels(); });
    grid->addWidget(handicapLabel_, row, 0);
    grid->addWidget(handicap_, row, 1, 1, 2);
    ++row;
    result_ = new QComboBox(this);
    result_->setObjectName(QStringLiteral("ShohaiBox"));
    resultLabel_ = label(bulk() ? QStringLiteral("６．勝敗") : QStringLiteral("８．勝敗"), QStringLiteral("ShohaiLabel"));
    grid->addWidget(resultLabel_, row, 0);
    grid->addWidget(result_, row, 1, 1, 2);
    ++row;

    editMoves_ = new QRadioButton(QStringLiteral("棋譜も変更する"), this);
    editMoves_->setObjectName(QStringLiteral("KifEditRadio"));
    keepMoves_ = new QRadioButton(QStringLiteral("棋譜は変更しない"), this);
    keepMoves_->setObjectName(QStringLiteral("KifKeepRadio"));
    connect(editMoves_, &QRadioButton::toggled, this, [this] { RefreshResultLock(); });
    auto* radios = new QHBoxLayout;
    radios->addWidget(editMoves_);
    radios->addWidget(keepMoves_);
    radios->addStretch(1);
    layout->addLayout(radios);

    auto* buttons = new QHBoxLayout;
    detailButton_ = new QPushButton(QStringLiteral("詳細情報"), this);
    detailButton_->setObjectName(QStringLiteral("DetailBtn"));
    connect(detailButton_, &QPushButton::clicked, this, &GameInfoDialog::OpenDetailed);
    timeButton_ = new QPushButton(QStringLiteral("消費時間一括入力"), this);
    timeButton_->setObjectName(QStringLiteral("TimeBtn"));
    connect(timeButton_, &QPushButton::clicked, this, &GameInfoDialog::OpenConsumedTimes);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OkBtn"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &GameInfoDialog::Ok);
    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(detailButton_);
    buttons->addWidget(timeButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    // The arrangement for the mode and the store kind.
    const bool modeTwo = mode_ == GameInfoMode::Correction;
    for (QWidget* w : dateRow_) w->setVisible(!bulk());
    handicapLabel_->setVisible(!bulk());
    handicap_->setVisible(!bulk());
    handicap_->setEnabled(mode_ == GameInfoMode::NewGame);
    const bool resultShown = bulk() || modeTwo;
    resultLabel_->setVisible(resultShown);
    result_->setVisible(resultShown);
    editMoves_->setVisible(modeTwo);
    keepMoves_->setVisible(modeTwo);
    for (int side = 0; side < 2; ++side) {
        ratingLabels_[std::size_t(side)]->setVisible(extended() && !bulk());
        ratings_[std::size_t(side)]->setVisible(extended() && !bulk());
    }
    detailButton_->setVisible(extended() && !bulk());
    timeButton_->setVisible(extended() && modeTwo);
    timeButton_->setEnabled(detail_.moveCount() != 0);
}

void GameInfoDialog::Fill() {
    for (QComboBox* box : players_) FillBox(box, lists_.players);
    FillBox(tournament_, lists_.tournaments);
    FillBox(opening_, lists_.openings);
    FillBox(gameNumber_, GameNumberList(bulk()));
    FillBox(handicap_, HandicapList());
    FillBox(result_, ResultList(bulk()));
    if (bulk()) {
        FillSubTournaments(0);
        RefreshPlayerLabels();
        return;
    }
    const GameInfoForm form = GameInfoFormFromImages(mode_, false, index_, detail_, extended(),
                                                     lists_, context_.session.tournaments);
    for (int side = 0; side < 2; ++side) {
        QComboBox* box = players_[std::size_t(side)];
        Select(box, form.player[std::size_t(side)]);
        if (form.player[std::size_t(side)] == 0 && !form.playerText[std::size_t(side)].empty()) {
            box->setEditText(ToQString(form.playerText[std::size_t(side)]));
        }
        ratings_[std::size_t(side)]->setText(QString::fromStdString(form.rating[std::size_t(side)]));
    }
    {
        const QSignalBlocker block(tournament_);
        Select(tournament_, form.tournament);
    }
    FillSubTournaments(form.subTournament);
    Select(gameNumber_, form.gameNumber);
    Select(opening_, form.opening);
    date_[0]->setText(QString::fromStdString(form.date.year));
    date_[1]->setText(QString::fromStdString(form.date.month));
    date_[2]->setText(QString::fromStdString(form.date.day));
    Select(handicap_, form.handicap);
    Select(result_, form.result);
    RefreshPlayerLabels();
    RefreshEraLabel();
}

void GameInfoDialog::FillSubTournaments(int select) {
    const int position = tournament_->currentIndex();
    const int number = position > 0 && std::size_t(position) < lists_.tournaments.size()
                           ? lists_.tournaments[std::size_t(position)].number
                           : 0;
    subList_ = GameInfoSubTournamentList(context_.session.tournaments, number, bulk());
    FillBox(subTournament_, subList_);
    Select(subTournament_, select);
}

void GameInfoDialog::RefreshPlayerLabels() {
    const bool handicapGame = !bulk() && handicap_->currentIndex() > 0;
    playerLabels_[0]->setText(handicapGame ? QStringLiteral("１．下手") : QStringLiteral("１．先手"));
    playerLabels_[1]->setText(handicapGame ? QStringLiteral("２．上手") : QStringLiteral("２．後手"));
}

void GameInfoDialog::RefreshResultLock() {
    if (mode_ != GameInfoMode::Correction) return;
    // With the moves edited too, the result will follow from them: the stored one is shown, locked.
    if (editMoves_->isChecked()) Select(result_, index_.result() <= 8 ? index_.result() : 0);
    result_->setEnabled(!editMoves_->isChecked());
}

void GameInfoDialog::RefreshEraLabel() {
    if (bulk()) return;
    const GameInfoForm form = Form();
    era_->setText(ToQString(GameInfoEraLabel(form.date, context_.settings.shogi.WarekiDisp)));
    eraValid_ = GameInfoEraLabelValid(form.date, context_.settings.shogi.WarekiDisp);
    if (eraValid_ && extended() && context_.settings.shogi.DateUp) {
        CopyDateToStart(form.date, context_.settings.shogi.WarekiDisp, detail_);
    }
}

GameInfoForm GameInfoDialog::Form() const {
    GameInfoForm form;
    for (int side = 0; side < 2; ++side) {
        QComboBox* box = players_[std::size_t(side)];
        const int index = box->currentIndex();
        if (!box->isEditable()) {
            form.player[std::size_t(side)] = std::max(0, index);
        } else if (index > 0 && box->currentText() == box->itemText(index)) {
            form.player[std::size_t(side)] = index;
        } else {
            form.playerText[std::size_t(side)] = ToCp932(box->currentText());
        }
        form.rating[std::size_t(side)] = ratings_[std::size_t(side)]->text().toStdString();
    }
    form.tournament = std::max(0, tournament_->currentIndex());
    form.subTournament = std::max(0, subTournament_->currentIndex());
    form.gameNumber = std::max(0, gameNumber_->currentIndex());
    form.opening = std::max(0, opening_->currentIndex());
    form.date = {date_[0]->text().toStdString(), date_[1]->text().toStdString(),
                 date_[2]->text().toStdString()};
    form.handicap = std::max(0, handicap_->currentIndex());
    form.result = std::max(0, result_->currentIndex());
    form.editMoves = mode_ == GameInfoMode::Correction && editMoves_->isChecked();
    return form;
}

bool GameInfoDialog::LeavePlayerBox(int side) {
    QComboBox* box = players_[std::size_t(side)];
    const std::string text = ToCp932(box->currentText());
    const std::string trimmed = TrimFullWidth(text);
    if (trimmed != text) box->setEditText(ToQString(trimmed));
    if (PlayerNameFits(trimmed)) return true;
    context_.prompter.Warn(PlayerNameTooLongMessage());
    QTimer::singleShot(0, box, [box] { box->setFocus(); });
    return false;
}

bool GameInfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (int side = 0; side < 2; ++side) {
            if (players_[std::size_t(side)]->lineEdit() == watched) LeavePlayerBox(side);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void GameInfoDialog::Spin(DatePart part, bool up) {
    const DateTexts next = SpinGameDate(Form().date, part, up, eraValid_);
    date_[0]->setText(QString::fromStdString(next.year));
    date_[1]->setText(QString::fromStdString(next.month));
    date_[2]->setText(QString::fromStdString(next.day));
}

void GameInfoDialog::PickPlayer(int side) {
    if (side < 0 || side > 1) return;
    int number = -1;
    if (pickerAnswer_) {
        number = pickerAnswer_(topRows_[std::size_t(side)]);
    } else {
        PlayerPicker picker(context_.session.players, topRows_[std::size_t(side)], this);
        PlaceCentred(&picker, this);
        if (picker.exec() == QDialog::Accepted) number = picker.answer();
        topRows_[std::size_t(side)] = picker.topRow();
        if (context_.pickerTopRows != nullptr) *context_.pickerTopRows = topRows_;
    }
    if (number < 0) return;
    Select(players_[std::size_t(side)], PositionOfNumber(lists_.players, number));
}

int GameInfoDialog::RunNested(QDialog& dialog) {
    if (nestedRunner_) return nestedRunner_(dialog);
    PlaceCentred(&dialog, parentWidget());
    return dialog.exec();
}

void GameInfoDialog::OpenDetailed() {
    if (!extended()) return;
    const GameInfoForm form = Form();
    // The detailed dialog starts from the main date: it must be numbers at least.
    const auto number = [](const std::string& t) {
        const std::string s = Trim(t);
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!number(form.date.year) || !number(form.date.month) || !number(form.date.day)) {
        context_.prompter.Warn(GameDateMessage());
        date_[1]->setFocus();
        return;
    }
    const DetailRecord handed =
        DetailForDetailedDialog(form, detail_, lists_, context_.session.tournaments);
    const int sub = form.subTournament > 0 && std::size_t(form.subTournament) < subList_.size()
                        ? subList_[std::size_t(form.subTournament)].number
                        : 0;
    DetailInfoDialog detailed(handed, sub, form.date, context_.session.programFolder,
                              context_.prompter, this);
    hide();
    if (RunNested(detailed) == QDialog::Accepted) detail_ = detailed.detail();
    show();
}

void GameInfoDialog::OpenConsumedTimes() {
    if (!extended() || mode_ != GameInfoMode::Correction || detail_.moveCount() == 0) return;
    const GameStore& store = context_.session.store;
    std::optional<ConsumedTimeSource> source;
    if (recordNumber_ >= 1 && recordNumber_ <= store.recordCount) {
        source = ReadConsumedTimeSource(store, long(recordNumber_), index_, context_.prompter);
    } else if (context_.workingMoveLines != nullptr && context_.workingMoveInfo != nullptr) {
        source = ConsumedTimeSource{*context_.workingMoveLines, detail_, *context_.workingMoveInfo, false};
    }
    if (!source) return;
    ConsumedTimeDialog times(std::move(*source), store, long(recordNumber_),
                             index_.overflowNumber(), context_.prompter, this);
    hide();
    RunNested(times);
    show();
    if (times.updated()) {
        outcome_.times = times.Times();
        TakeConsumedTimes(*outcome_.times, detail_);
    }
}

void GameInfoDialog::Ok() {
    const GameInfoForm form = Form();
    if (bulk()) {
        outcome_.bulk = BulkSetFromForm(form, lists_, context_.session.players,
                                        context_.session.tournaments);
        if (context_.prompter.Confirm(BulkConfirmText(), false, true) != Answer::Yes) return;
        outcome_.answer = GameInfoAnswer::Ok;
        accept();
        return;
    }
    const GameInfoCheck check =
        ApplyGameInfoForm(form, mode_, extended(), lists_, context_.session.players,
                          context_.session.tournaments, index_, detail_);
    if (!check.ok()) {
        context_.prompter.Warn(check.message);
        switch (check.focus) {
            case GameInfoField::SentePlayer: players_[0]->setFocus(); break;
            case GameInfoField::GotePlayer: players_[1]->setFocus(); break;
            default: date_[1]->setFocus(); break;
        }
        return;
    }
    outcome_.answer = OkAnswer(mode_, form);
    accept();
}

GameInfoOutcome RunGameInfoDialog(QWidget* parent, GameInfoMode mode, bool editMovesPreset,
                                  IndexRecord& index, DetailRecord& detail,
                                  std::uint32_t recordNumber, GameInfoContext& context) {
    GameInfoDialog dialog(mode, editMovesPreset, index, detail, recordNumber, context, parent);
    PlaceCentred(&dialog, parent);
    dialog.exec();
    GameInfoOutcome outcome = dialog.outcome();
    if (outcome.answer != GameInfoAnswer::Cancel) {
        index = dialog.index();
        detail = dialog.detail();
    } else if (outcome.times) {
        TakeConsumedTimes(*outcome.times, detail);
    }
    return outcome;
}

}  // namespace movra
