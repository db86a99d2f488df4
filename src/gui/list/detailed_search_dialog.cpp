#include "gui/list/detailed_search_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "core/list/search_form.h"
#include "core/text/text_helpers.h"
#include "core/store/record_file.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

// A pair of radio buttons "一致" / "含む" in a group of their own.
std::pair<QRadioButton*, QRadioButton*> ExactOrContain(QWidget* parent, QHBoxLayout* line) {
    auto* group = new QButtonGroup(parent);
    auto* exact = new QRadioButton(QStringLiteral("一致"), parent);
    auto* contain = new QRadioButton(QStringLiteral("含む"), parent);
    group->addButton(exact);
    group->addButton(contain);
    line->addWidget(exact);
    line->addWidget(contain);
    return {exact, contain};
}

std::string Text(const QComboBox* box) { return ToCp932(box->currentText()); }

// The captions of the five condition ticks.
QString ConditionCaption(int condition) {
    switch (condition) {
        case 0: return QStringLiteral("１．棋士名１");
        case 1: return QStringLiteral("３．棋戦名(詳細)");
        case 2: return QStringLiteral("４．対局場所");
        case 3: return QStringLiteral("５．記録係");
        default: return QStringLiteral("６．備考");
    }
}

}  // namespace

DetailedSearchDialog::DetailedSearchDialog(StoreSession& session, Settings& settings,
                                           Prompter& prompter, std::filesystem::path programFolder,
                                           std::function<int()> handicapIndex, QWidget* parent)
    : QDialog(parent),
      session_(session),
      settings_(settings),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      handicapIndex_(std::move(handicapIndex)) {
    setObjectName(QStringLiteral("FormKensaku2"));
    setWindowTitle(QStringLiteral("詳細検索条件設定"));
    setModal(true);
    BuildWindow();
}

void DetailedSearchDialog::BuildWindow() {
    auto* outer = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    outer->addWidget(pages_);
    BuildMainPanel();
    BuildRatingPanel();
}

void DetailedSearchDialog::BuildMainPanel() {
    auto* main = new QWidget(pages_);
    main->setObjectName(QStringLiteral("MainPanel"));
    auto* grid = new QGridLayout(main);
    int row = 0;
    const QString boxNames[6] = {QStringLiteral("KishiBox1"), QStringLiteral("KishiBox2"),
                                 QStringLiteral("MovraBox"),  QStringLiteral("PlaceBox"),
                                 QStringLiteral("KirokuBox"), QStringLiteral("BikouBox")};
    for (int t = 0; t < 6; ++t) {
        texts_[std::size_t(t)] = new QComboBox(main);
        texts_[std::size_t(t)]->setEditable(true);
        texts_[std::size_t(t)]->setObjectName(boxNames[t]);
        texts_[std::size_t(t)]->setMinimumWidth(220);
        texts_[std::size_t(t)]->setInsertPolicy(QComboBox::NoInsert);
    }
    BuildPlayerRows(main, grid, row);
    BuildTextRows(main, grid, row);
    BuildCommentAndRatingRows(main, grid, row);
    BuildMainButtons(main, grid, row);
    pages_->addWidget(main);
}

// Players: the tick, two boxes with their labels and reference buttons, the choice, the mode.
void DetailedSearchDialog::BuildPlayerRows(QWidget* main, QGridLayout* grid, int& row) {
    conditions_[0] = new QCheckBox(ConditionCaption(0), main);
    grid->addWidget(conditions_[0], row++, 0, 1, 3);
    for (int i = 0; i < 2; ++i) {
        playerLabels_[std::size_t(i)] = new QLabel(main);
        playerLabels_[std::size_t(i)]->setObjectName(QStringLiteral("KishiLabel%1").arg(i + 1));
        referenceButtons_[std::size_t(i)] = new QPushButton(QStringLiteral("参照"), main);
        referenceButtons_[std::size_t(i)]->setObjectName(QStringLiteral("SansyoBtn%1").arg(i + 1));
        connect(referenceButtons_[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { PickReferenceName(i); });
        grid->addWidget(playerLabels_[std::size_t(i)], row, 0);
        grid->addWidget(texts_[std::size_t(i)], row, 1);
        grid->addWidget(referenceButtons_[std::size_t(i)], row, 2);
        ++row;
    }
    {
        auto* line = new QHBoxLayout;
        auto pair = ExactOrContain(main, line);
        exact_[0] = pair.first;
        contain_[0] = pair.second;
        modeButton_ = new QPushButton(QStringLiteral("棋士指定切替"), main);
        modeButton_->setObjectName(QStringLiteral("KsModeBtn"));
        connect(modeButton_, &QPushButton::clicked, this, &DetailedSearchDialog::CyclePlayerMode);
        line->addWidget(modeButton_);
        line->addStretch();
        grid->addLayout(line, row++, 1, 1, 2);
    }
}

// Tournament, place, recorder and remarks: the tick, the box, exact or contained.
void DetailedSearchDialog::BuildTextRows(QWidget* main, QGridLayout* grid, int& row) {
    for (int c = 1; c < 5; ++c) {
        conditions_[std::size_t(c)] = new QCheckBox(ConditionCaption(c), main);
        grid->addWidget(conditions_[std::size_t(c)], row, 0);
        grid->addWidget(texts_[std::size_t(c + 1)], row, 1);
        auto* line = new QHBoxLayout;
        auto pair = ExactOrContain(main, line);
        exact_[std::size_t(c)] = pair.first;
        contain_[std::size_t(c)] = pair.second;
        grid->addLayout(line, row, 2);
        ++row;
    }
    conditions_[0]->setObjectName(QStringLiteral("KishiCheck"));
    conditions_[1]->setObjectName(QStringLiteral("MovraCheck"));
    conditions_[2]->setObjectName(QStringLiteral("PlaceCheck"));
    conditions_[3]->setObjectName(QStringLiteral("KirokuCheck"));
    conditions_[4]->setObjectName(QStringLiteral("BikouCheck"));
}

void DetailedSearchDialog::BuildCommentAndRatingRows(QWidget* main, QGridLayout* grid, int& row) {
    {
        commentCheck_ = new QCheckBox(QStringLiteral("指し手コメント検索"), main);
        commentCheck_->setObjectName(QStringLiteral("CommentCheck"));
        auto* line = new QHBoxLayout;
        auto* group = new QButtonGroup(main);
        withComments_ = new QRadioButton(QStringLiteral("コメント有の棋譜"), main);
        withoutComments_ = new QRadioButton(QStringLiteral("コメント無の棋譜"), main);
        group->addButton(withComments_);
        group->addButton(withoutComments_);
        withComments_->setChecked(true);
        line->addWidget(withComments_);
        line->addWidget(withoutComments_);
        grid->addWidget(commentCheck_, row, 0);
        grid->addLayout(line, row, 1, 1, 2);
        ++row;
    }
    {
        auto* ratings = new QPushButton(QStringLiteral("レーティング検索"), main);
        ratings->setObjectName(QStringLiteral("RatingBtn"));
        connect(ratings, &QPushButton::clicked, this, &DetailedSearchDialog::ShowRatingPanel);
        ratingIndicator_ = new QCheckBox(QStringLiteral("レーティング条件設定"), main);
        ratingIndicator_->setObjectName(QStringLiteral("RatingCheck"));
        ratingIndicator_->setAttribute(Qt::WA_TransparentForMouseEvents);
        ratingIndicator_->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(ratings, row, 0);
        grid->addWidget(ratingIndicator_, row, 1);
        ++row;
    }
}

void DetailedSearchDialog::BuildMainButtons(QWidget* main, QGridLayout* grid, int& row) {
    {
        auto* line = new QHBoxLayout;
        auto* start = new QPushButton(QStringLiteral("検索開始"), main);
        start->setObjectName(QStringLiteral("KensakuBtn"));
        start->setDefault(true);
        auto* clear = new QPushButton(QStringLiteral("条件クリア"), main);
        clear->setObjectName(QStringLiteral("ClearBtn"));
        auto* back = new QPushButton(QStringLiteral("戻る"), main);
        back->setObjectName(QStringLiteral("BackBtn"));
        connect(start, &QPushButton::clicked, this, &DetailedSearchDialog::StartSearch);
        connect(clear, &QPushButton::clicked, this, &DetailedSearchDialog::ClearConditions);
        connect(back, &QPushButton::clicked, this, [this] {
            result_ = Result::Back;
            reject();
        });
        line->addWidget(start);
        line->addWidget(clear);
        line->addWidget(back);
        grid->addLayout(line, row++, 0, 1, 3);
    }
}

// Low and high values for each side, their ticks and copy buttons, AND or OR, OK and cancel.
void DetailedSearchDialog::BuildRatingPanel() {
    auto* panel = new QWidget(pages_);
    panel->setObjectName(QStringLiteral("RatingPanel"));
    auto* rg = new QGridLayout(panel);
    const QString rowCaptions[2] = {QStringLiteral("≦  先手(下手)  ≦"), QStringLiteral("≦  後手(上手)  ≦")};
    const QString enableCaptions[2] = {QStringLiteral("先手(下手)レーティング設定"),
                                       QStringLiteral("後手(上手)レーティング設定")};
    for (int r = 0; r < 2; ++r) {
        ratingEnabled_[std::size_t(r)] = new QCheckBox(enableCaptions[r], panel);
        ratingEnabled_[std::size_t(r)]->setObjectName(QStringLiteral("RatingCheck%1").arg(r + 1));
        rg->addWidget(ratingEnabled_[std::size_t(r)], r * 2, 0, 1, 4);
        for (int k = 0; k < 2; ++k) {
            auto* field = new QLineEdit(panel);
            field->setObjectName(QStringLiteral("Rating%1%2").arg(r + 1).arg(k == 0 ? QStringLiteral("F")
                                                                                 : QStringLiteral("T")));
            field->setMaxLength(5);
            field->setFixedWidth(64);
            // Digits only; the sente low field may start with "-" (a rating difference).
            const bool minus = r == 0 && k == 0;
            field->setValidator(new QRegularExpressionValidator(
                QRegularExpression(minus ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*")), field));
            ratingFields_[std::size_t(r * 2 + k)] = field;
        }
        rg->addWidget(ratingFields_[std::size_t(r * 2)], r * 2 + 1, 0);
        rg->addWidget(new QLabel(rowCaptions[r], panel), r * 2 + 1, 1);
        rg->addWidget(ratingFields_[std::size_t(r * 2 + 1)], r * 2 + 1, 2);
        auto* copy = new QPushButton(QStringLiteral("条件コピー"), panel);
        copy->setObjectName(QStringLiteral("CopyBtn%1").arg(r + 1));
        connect(copy, &QPushButton::clicked, this, [this, r] { CopyRatingRow(r == 0); });
        rg->addWidget(copy, r * 2 + 1, 3);
    }
    {
        auto* line = new QHBoxLayout;
        auto* group = new QButtonGroup(panel);
        ratingAnd_ = new QRadioButton(QStringLiteral("かつ(AND)"), panel);
        ratingOr_ = new QRadioButton(QStringLiteral("または(OR)"), panel);
        group->addButton(ratingAnd_);
        group->addButton(ratingOr_);
        ratingAnd_->setChecked(true);
        line->addWidget(ratingAnd_);
        line->addWidget(ratingOr_);
        line->addStretch();
        auto* ok = new QPushButton(QStringLiteral("OK"), panel);
        ok->setObjectName(QStringLiteral("RatingOkBtn"));
        auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), panel);
        cancel->setObjectName(QStringLiteral("RatingCancelBtn"));
        connect(ok, &QPushButton::clicked, this, &DetailedSearchDialog::AcceptRatings);
        connect(cancel, &QPushButton::clicked, this, &DetailedSearchDialog::CancelRatings);
        line->addWidget(ok);
        line->addWidget(cancel);
        rg->addLayout(line, 4, 0, 1, 4);
    }
    pages_->addWidget(panel);
}

// --- opening ----------------------------------------------------------------------------------------

void DetailedSearchDialog::Prepare() {
    result_ = Result::Back;
    pages_->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("詳細検索条件設定"));
    mode_ = PlayerMode::Either;
    RefreshPlayerLabels();
    PlaceCentred(this, parentWidget());
}

void DetailedSearchDialog::Load() {
    if (!namesLoaded_) {
        namesLoaded_ = true;
        names_ = LoadPlayerNames(programFolder_);
        if (names_.state == PlayerNames::State::Failed) {
            names_.names.clear();
            prompter_.Warn(PlayerNamesErrorMessage());
        }
    }
    for (QPushButton* b : referenceButtons_) b->setVisible(names_.state != PlayerNames::State::Missing);
    ranges_ = LoadRatingRanges(settings_.kensaku2);
    ShowRanges(ranges_);
    const Settings::Kensaku2& k = settings_.kensaku2;
    const std::array<const std::array<std::string, kSearchListCount>*, 6> histories{
        &k.Kishi1, &k.Kishi2, &k.Movra, &k.Place, &k.Kiroku, &k.Bikou};
    for (std::size_t t = 0; t < 6; ++t) {
        QComboBox* box = texts_[t];
        const QString typed = box->currentText();
        box->clear();
        for (const std::string& h : *histories[t]) {
            if (!h.empty()) box->addItem(ToQString(h));
        }
        box->setEditText(typed);
    }
    ratingIndicator_->setChecked(ranges_.senteEnabled || ranges_.goteEnabled);
    if (exact_[0]->isChecked() == contain_[0]->isChecked()) exact_[0]->setChecked(true);
    for (std::size_t c = 1; c < 5; ++c) {
        if (exact_[c]->isChecked() == contain_[c]->isChecked()) contain_[c]->setChecked(true);
    }
}

DetailedSearchDialog::Result DetailedSearchDialog::Open() {
    Prepare();
    Load();
    exec();
    return result_;
}

void DetailedSearchDialog::RefreshPlayerLabels() {
    const auto labels = SearchPlayerLabels(mode_, handicapIndex_ ? handicapIndex_() : 0);
    playerLabels_[0]->setText(ToQString(labels.first));
    playerLabels_[1]->setText(ToQString(labels.second));
}

void DetailedSearchDialog::CyclePlayerMode() {
    mode_ = NextPlayerMode(mode_);
    RefreshPlayerLabels();
}

// --- the form ----------------------------------------------------------------------------------------

Kensaku2Form DetailedSearchDialog::Form() const {
    Kensaku2Form f;
    f.players = conditions_[0]->isChecked();
    f.player1 = Text(texts_[0]);
    f.player2 = Text(texts_[1]);
    f.playersContain = contain_[0]->isChecked();
    f.playerMode = mode_;
    f.tournament = conditions_[1]->isChecked();
    f.tournamentText = Text(texts_[2]);
    f.tournamentExact = exact_[1]->isChecked();
    f.place = conditions_[2]->isChecked();
    f.placeText = Text(texts_[3]);
    f.placeExact = exact_[2]->isChecked();
    f.recorder = conditions_[3]->isChecked();
    f.recorderText = Text(texts_[4]);
    f.recorderExact = exact_[3]->isChecked();
    f.remarks = conditions_[4]->isChecked();
    f.remarksText = Text(texts_[5]);
    f.remarksExact = exact_[4]->isChecked();
    f.comments = commentCheck_->isChecked();
    f.withComments = withComments_->isChecked();
    f.ratings = ranges_;
    f.ratingOr = ratingOr_->isChecked();
    return f;
}

QWidget* DetailedSearchDialog::FieldWidget(Kensaku2Field field) const {
    switch (field) {
        case Kensaku2Field::Player1: return texts_[0];
        case Kensaku2Field::Tournament: return texts_[2];
        case Kensaku2Field::Place: return texts_[3];
        case Kensaku2Field::Recorder: return texts_[4];
        case Kensaku2Field::Remarks: return texts_[5];
        case Kensaku2Field::SenteLow: return ratingFields_[0];
        case Kensaku2Field::GoteLow: return ratingFields_[2];
        case Kensaku2Field::None: break;
    }
    return nullptr;
}

void DetailedSearchDialog::StartSearch() {
    const Kensaku2Form form = Form();
    Kensaku2Check check = CheckKensaku2Form(form);
    TKensaku2 k;
    if (check.ok()) check = BuildKensaku2(form, k);
    if (!check.ok()) {
        prompter_.Warn(check.message);
        if (check.focus == Kensaku2Field::SenteLow || check.focus == Kensaku2Field::GoteLow) {
            ShowRatingPanel();
        }
        if (QWidget* w = FieldWidget(check.focus)) w->setFocus();
        return;
    }
    if (!session_.isOpen()) return;
    SearchOutcome outcome;
    setEnabled(false);
    try {
        outcome = DetailSearch(session_.store, k, session_.catalogue, prompter_);
    } catch (const StoreIoError& e) {
        prompter_.EndProgress();
        prompter_.Warn("\r" + PathText(e.path()) + " 読込エラー！"_sj);
    }
    prompter_.EndProgress();
    setEnabled(true);
    if (outcome.hits == 0) return;
    PushHistories(form, settings_.kensaku2);
    result_ = Result::Ok;
    accept();
}

void DetailedSearchDialog::ClearConditions() {
    for (QCheckBox* c : conditions_) c->setChecked(false);
    commentCheck_->setChecked(false);
    exact_[0]->setChecked(true);
    for (std::size_t c = 1; c < 5; ++c) contain_[c]->setChecked(true);
    ranges_.senteEnabled = false;
    ranges_.goteEnabled = false;
    ShowRanges(ranges_);
    ratingIndicator_->setChecked(false);
    SaveRatingRanges(ranges_, settings_.kensaku2);
}

// --- the rating panel ------------------------------------------------------------------------------

bool DetailedSearchDialog::ratingPanelShown() const { return pages_->currentIndex() == 1; }

void DetailedSearchDialog::ShowRanges(const RatingRanges& r) {
    ratingEnabled_[0]->setChecked(r.senteEnabled);
    ratingEnabled_[1]->setChecked(r.goteEnabled);
    ratingFields_[0]->setText(ToQString(r.senteLow));
    ratingFields_[1]->setText(ToQString(r.senteHigh));
    ratingFields_[2]->setText(ToQString(r.goteLow));
    ratingFields_[3]->setText(ToQString(r.goteHigh));
}

RatingRanges DetailedSearchDialog::TypedRanges() const {
    RatingRanges r;
    r.senteEnabled = ratingEnabled_[0]->isChecked();
    r.goteEnabled = ratingEnabled_[1]->isChecked();
    r.senteLow = ToCp932(ratingFields_[0]->text());
    r.senteHigh = ToCp932(ratingFields_[1]->text());
    r.goteLow = ToCp932(ratingFields_[2]->text());
    r.goteHigh = ToCp932(ratingFields_[3]->text());
    return r;
}

void DetailedSearchDialog::ShowRatingPanel() {
    pages_->setCurrentIndex(1);
    setWindowTitle(QStringLiteral("レーティング検索条件設定"));
}

void DetailedSearchDialog::AcceptRatings() {
    RatingRanges typed = TypedRanges();
    const Kensaku2Check check = CheckRatingPanel(typed);
    ShowRanges(typed);  // a high value of 0 shows as 9999
    if (!check.ok()) {
        prompter_.Warn(check.message);
        if (QWidget* w = FieldWidget(check.focus)) w->setFocus();
        return;
    }
    ranges_ = typed;
    SaveRatingRanges(ranges_, settings_.kensaku2);
    ratingIndicator_->setChecked(ranges_.senteEnabled || ranges_.goteEnabled);
    pages_->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("詳細検索条件設定"));
}

void DetailedSearchDialog::CancelRatings() {
    ShowRanges(ranges_);
    pages_->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("詳細検索条件設定"));
}

void DetailedSearchDialog::CopyRatingRow(bool senteToGote) {
    const int from = senteToGote ? 0 : 1;
    const int to = 1 - from;
    ratingEnabled_[std::size_t(to)]->setChecked(ratingEnabled_[std::size_t(from)]->isChecked());
    // The gote low field takes no "-": a difference stays with the sente row.
    QString low = ratingFields_[std::size_t(from * 2)]->text();
    if (to == 1) low.remove(QLatin1Char('-'));
    ratingFields_[std::size_t(to * 2)]->setText(low);
    ratingFields_[std::size_t(to * 2 + 1)]->setText(ratingFields_[std::size_t(from * 2 + 1)]->text());
}

// --- the player-name reference ---------------------------------------------------------------------

void DetailedSearchDialog::PickReferenceName(int which) {
    QString name;
    if (referenceAnswer_) {
        name = referenceAnswer_();
    } else {
        PlayerNameList list(names_.names, this);
        PlaceAt(&list, frameGeometry().topRight() + QPoint(8, 0), this);
        if (list.exec() != QDialog::Accepted) return;
        name = list.chosen();
    }
    if (name.isNull()) return;
    texts_[std::size_t(which)]->setEditText(name.trimmed());
    texts_[std::size_t(which)]->setFocus();
}

PlayerNameList::PlayerNameList(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), names_(names) {
    setObjectName(QStringLiteral("FormPlayer"));
    setWindowTitle(QStringLiteral("対局者名一覧"));
    auto* layout = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    line->addWidget(new QLabel(QStringLiteral("Ｉｎｄｅｘ："), this));
    index_ = new QLineEdit(this);
    index_->setObjectName(QStringLiteral("IndexEdit"));
    line->addWidget(index_);
    layout->addLayout(line);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("PlayerList"));
    for (const std::string& n : names_) list_->addItem(ToQString(n));
    list_->setMinimumSize(240, 360);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(index_, &QLineEdit::textChanged, this, &PlayerNameList::FollowIndex);
    if (list_->count() > 0) list_->setCurrentRow(0);
}

void PlayerNameList::FollowIndex() {
    const int at = PlayerNameIndex(names_, ToCp932(index_->text()));
    if (at < 0) return;
    list_->setCurrentRow(at);
    list_->scrollToItem(list_->item(at), QAbstractItemView::PositionAtTop);
}

QString PlayerNameList::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item == nullptr ? QString() : item->text().trimmed();
}

}  // namespace movra
