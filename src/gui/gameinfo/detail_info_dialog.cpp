#include "gui/gameinfo/detail_info_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/text/text_helpers.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

namespace {

std::string Text(const QLineEdit* e) { return ToCp932(e->text()); }
std::string Digits(const QLineEdit* e) { return e->text().toStdString(); }

template <std::size_t N>
std::array<std::string, N> Digits(const std::array<QLineEdit*, N>& fields) {
    std::array<std::string, N> out;
    for (std::size_t i = 0; i < N; ++i) out[i] = Digits(fields[i]);
    return out;
}

template <std::size_t N>
void SetDigits(const std::array<QLineEdit*, N>& fields, const std::array<std::string, N>& texts) {
    for (std::size_t i = 0; i < N; ++i) fields[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace

PresetLabel::PresetLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void PresetLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

DetailInfoDialog::DetailInfoDialog(const DetailRecord& detail, int subTournament,
                                   const DateTexts& mainDate,
                                   const std::filesystem::path& programFolder, Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), detail_(detail), subTournament_(subTournament), mainDate_(mainDate),
      programFolder_(programFolder), prompter_(prompter) {
    setObjectName(QStringLiteral("FormTkInf2"));
    setWindowTitle(QStringLiteral("棋譜詳細情報設定"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    int row = 0;
    const auto preset = [this](const QString& text, const QString& name, Preset p) {
        auto* l = new PresetLabel(text, this);
        l->setObjectName(name);
        connect(l, &PresetLabel::doubleClicked, this, [this, p] { ApplyPreset(p); });
        return l;
    };
    const std::vector<std::string> rankList = RankList(programFolder_);
    const QString sides[2] = {QStringLiteral("１．先手"), QStringLiteral("２．後手")};
    for (int side = 0; side < 2; ++side) {
        names_[std::size_t(side)] = new QLineEdit(this);
        names_[std::size_t(side)]->setObjectName(QStringLiteral("NameEdit%1").arg(side + 1));
        names_[std::size_t(side)]->setReadOnly(true);
        auto* rank = new QComboBox(this);
        rank->setObjectName(QStringLiteral("DanBox%1").arg(side + 1));
        rank->setEditable(true);
        rank->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& r : rankList) rank->addItem(ToQString(r));
        rank->lineEdit()->installEventFilter(this);
        ranks_[std::size_t(side)] = rank;
        grid->addWidget(new QLabel(sides[side], this), row, 0);
        grid->addWidget(names_[std::size_t(side)], row, 1, 1, 3);
        grid->addWidget(new QLabel(QStringLiteral("段級位"), this), row, 4);
        grid->addWidget(rank, row, 5, 1, 3);
        ++row;
    }
    tournamentText_ = new QLineEdit(this);
    tournamentText_->setObjectName(QStringLiteral("KisenEdit"));
    grid->addWidget(preset(QStringLiteral("３．棋戦名(詳細)"), QStringLiteral("KisenLabel"), Preset::Tournament), row, 0);
    grid->addWidget(tournamentText_, row, 1, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("(全角10文字まで)"), this), row, 6, 1, 2);
    ++row;
    place_ = new QLineEdit(this);
    place_->setObjectName(QStringLiteral("PlaceEdit"));
    grid->addWidget(preset(QStringLiteral("４．対局場所"), QStringLiteral("PlaceLabel"), Preset::Tokyo), row, 0);
    grid->addWidget(place_, row, 1, 1, 5);
    grid->addWidget(preset(QStringLiteral("(全角10文字まで)"), QStringLiteral("PlaceNote"), Preset::Kansai), row, 6, 1, 2);
    ++row;

    // The two date-times: year 年 month 月 day 日 hour 時 minute 分.
    const auto dateTimeRow = [&](std::array<QLineEdit*, 5>& f, const QString& caption,
                                 const QString& prefix, Preset datePreset, bool start) {
        grid->addWidget(preset(caption, prefix + QStringLiteral("Label"), datePreset), row, 0);
        auto* line = new QHBoxLayout;
        const QString units[5] = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日"),
                                  QStringLiteral("時"), QStringLiteral("分")};
        for (int i = 0; i < 5; ++i) {
            f[std::size_t(i)] = NumberField(i == 0 ? 4 : 2, i == 0 ? 48 : 30,
                                            prefix + QStringLiteral("%1").arg(i + 1));
            line->addWidget(f[std::size_t(i)]);
            QLabel* unit = nullptr;
            if (start && i == 3) unit = preset(units[i], prefix + QStringLiteral("HourLabel"), Preset::StartHour);
            else if (start && i == 4) unit = preset(units[i], prefix + QStringLiteral("MinuteLabel"), Preset::StartMinute);
            else if (!start && i == 2) unit = preset(units[i], prefix + QStringLiteral("DayLabel"), Preset::EndDay);
            else unit = new QLabel(units[i], this);
            line->addWidget(unit);
        }
        line->addStretch(1);
        grid->addLayout(line, row, 1, 1, 7);
        ++row;
        for (int i = 0; i < 4; ++i) Chain(f[std::size_t(i)], f[std::size_t(i + 1)], i == 0 ? 4 : 2);
    };
    dateTimeRow(start_, QStringLiteral("５．対局開始日時"), QStringLiteral("StartEdit"), Preset::StartDate, true);
    dateTimeRow(end_, QStringLiteral("６．対局終了日時"), QStringLiteral("EndEdit"), Preset::EndDate, false);

    const auto breakRow = [&](std::array<QLineEdit*, 4>& f, const QString& caption,
                              const QString& prefix, Preset p) {
        grid->addWidget(preset(caption, prefix + QStringLiteral("Label"), p), row, 0);
        auto* line = new QHBoxLayout;
        for (int i = 0; i < 4; ++i) {
            f[std::size_t(i)] = NumberField(2, 30, prefix + QStringLiteral("%1").arg(i + 1));
            line->addWidget(f[std::size_t(i)]);
            line->addWidget(new QLabel(i % 2 == 0 ? QStringLiteral("：") : (i == 1 ? QStringLiteral("～") : QString()), this));
        }
        line->addStretch(1);
        grid->addLayout(line, row, 1, 1, 7);
        ++row;
        for (int i = 0; i < 3; ++i) Chain(f[std::size_t(i)], f[std::size_t(i + 1)], 2);
    };
    breakRow(lunch_, QStringLiteral("７．昼休"), QStringLiteral("LunchEdit"), Preset::Lunch);
    breakRow(supper_, QStringLiteral("８．夕休"), QStringLiteral("SupperEdit"), Preset::Supper);

    grid->addWidget(preset(QStringLiteral("９．持時間"), QStringLiteral("AllowanceLabel"), Preset::Allowance), row, 0);
    auto* allowance = new QHBoxLayout;
    const QString who[2] = {QStringLiteral("先手"), QStringLiteral("後手")};
    for (int side = 0; side < 2; ++side) {
        auto& f = side == 0 ? senteAllowance_ : goteAllowance_;
        allowance->addWidget(new QLabel(who[side], this));
        f[0] = NumberField(3, 40, QStringLiteral("AllowHour%1").arg(side + 1));
        f[1] = NumberField(2, 30, QStringLiteral("AllowMinute%1").arg(side + 1));
        allowance->addWidget(f[0]);
        allowance->addWidget(new QLabel(QStringLiteral("時間"), this));
        allowance->addWidget(f[1]);
        allowance->addWidget(new QLabel(QStringLiteral("分"), this));
    }
    for (QLineEdit* e : senteAllowance_) e->installEventFilter(this);
    allowance->addStretch(1);
    grid->addLayout(allowance, row, 1, 1, 7);
    ++row;
    Chain(lunch_[3], supper_[0], 2);
    Chain(supper_[3], senteAllowance_[0], 2);

    recorder_ = new QLineEdit(this);
    recorder_->setObjectName(QStringLiteral("KirokuEdit"));
    recorderButton_ = new QPushButton(QStringLiteral("記録係一覧"), this);
    recorderButton_->setObjectName(QStringLiteral("KirokuBtn"));
    recorderButton_->setVisible(HasRecorderList(programFolder_));
    connect(recorderButton_, &QPushButton::clicked, this, &DetailInfoDialog::OpenRecorderList);
    grid->addWidget(new QLabel(QStringLiteral("10．記録係"), this), row, 0);
    grid->addWidget(recorder_, row, 1, 1, 5);
    grid->addWidget(recorderButton_, row, 6, 1, 2);
    ++row;
    remarks_ = new QLineEdit(this);
    remarks_->setObjectName(QStringLiteral("BikouEdit"));
    grid->addWidget(new QLabel(QStringLiteral("11．備考"), this), row, 0);
    grid->addWidget(remarks_, row, 1, 1, 7);
    ++row;
    for (QLineEdit* e : {tournamentText_, place_, recorder_, remarks_}) e->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &DetailInfoDialog::Ok);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    const auto number = [](const std::string& t) {
        const std::string s = Trim(t);
        int v = 0;
        for (char c : s) v = (c >= '0' && c <= '9') ? v * 10 + (c - '0') : v;
        return v;
    };
    SetForm(DetailFormFromRecord(detail_, number(mainDate_.year), number(mainDate_.month),
                                 number(mainDate_.day), rankList));
}

QLineEdit* DetailInfoDialog::NumberField(int maxLength, int width, const QString& name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setFixedWidth(width);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    return e;
}

// Typing a field full moves the focus on.
void DetailInfoDialog::Chain(QLineEdit* from, QWidget* to, int length) {
    connect(from, &QLineEdit::textEdited, this, [from, to, length](const QString& text) {
        if (text.size() >= length && from->hasFocus()) to->setFocus();
    });
}

void DetailInfoDialog::SetForm(const DetailForm& form) {
    for (int side = 0; side < 2; ++side) {
        names_[std::size_t(side)]->setText(ToQString(form.names[std::size_t(side)]));
        ranks_[std::size_t(side)]->setEditText(ToQString(form.ranks[std::size_t(side)]));
        const int at = ranks_[std::size_t(side)]->findText(ToQString(form.ranks[std::size_t(side)]));
        if (at >= 0) ranks_[std::size_t(side)]->setCurrentIndex(at);
    }
    tournamentText_->setText(ToQString(form.tournamentText));
    place_->setText(ToQString(form.place));
    recorder_->setText(ToQString(form.recorder));
    remarks_->setText(ToQString(form.remarks));
    SetDigits(start_, form.start);
    SetDigits(end_, form.end);
    SetDigits(lunch_, form.lunch);
    SetDigits(supper_, form.supper);
    SetDigits(senteAllowance_, form.senteAllowance);
    SetDigits(goteAllowance_, form.goteAllowance);
}

DetailForm DetailInfoDialog::Form() const {
    DetailForm form;
    for (int side = 0; side < 2; ++side) {
        form.names[std::size_t(side)] = Text(names_[std::size_t(side)]);
        form.ranks[std::size_t(side)] = ToCp932(ranks_[std::size_t(side)]->currentText());
    }
    form.tournamentText = Text(tournamentText_);
    form.place = Text(place_);
    form.recorder = Text(recorder_);
    form.remarks = Text(remarks_);
    form.start = Digits(start_);
    form.end = Digits(end_);
    form.lunch = Digits(lunch_);
    form.supper = Digits(supper_);
    form.senteAllowance = Digits(senteAllowance_);
    form.goteAllowance = Digits(goteAllowance_);
    return form;
}

QWidget* DetailInfoDialog::FieldOf(DetailField field, int part) const {
    const auto at = [part](const auto& fields) -> QWidget* {
        return fields[std::size_t(std::clamp(part, 0, int(fields.size()) - 1))];
    };
    switch (field) {
        case DetailField::SenteRank: return ranks_[0];
        case DetailField::GoteRank: return ranks_[1];
        case DetailField::TournamentText: return tournamentText_;
        case DetailField::Place: return place_;
        case DetailField::Recorder: return recorder_;
        case DetailField::Remarks: return remarks_;
        case DetailField::Start: return at(start_);
        case DetailField::End: return at(end_);
        case DetailField::Lunch: return at(lunch_);
        case DetailField::Supper: return at(supper_);
        case DetailField::SenteAllowance: return at(senteAllowance_);
        case DetailField::GoteAllowance: return at(goteAllowance_);
        case DetailField::None: break;
    }
    return nullptr;
}

void DetailInfoDialog::Ok() {
    DetailRecord edited = detail_;
    const DetailCheck check = ApplyDetailForm(Form(), edited);
    if (!check.ok()) {
        prompter_.Warn(check.message);
        if (QWidget* w = FieldOf(check.focus, check.part)) w->setFocus();
        return;
    }
    detail_ = edited;
    accept();
}

bool DetailInfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (int part = 0; part < 2; ++part) {
            if (watched == senteAllowance_[std::size_t(part)]) {
                DetailForm form = Form();
                CopyAllowanceToGote(form, part);
                goteAllowance_[std::size_t(part)]->setText(QString::fromStdString(form.goteAllowance[std::size_t(part)]));
            }
        }
        // Leaving a text field or a rank trims it.
        for (QLineEdit* e : {tournamentText_, place_, recorder_, remarks_, ranks_[0]->lineEdit(),
                             ranks_[1]->lineEdit()}) {
            if (watched == e) {
                const std::string trimmed = TrimFullWidth(Text(e));
                if (trimmed != Text(e)) e->setText(ToQString(trimmed));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DetailInfoDialog::ApplyPreset(Preset preset) {
    const std::string text = Text(tournamentText_);
    switch (preset) {
        case Preset::Tournament:
            if (auto numbered = NumberedTournamentText(text, Digits(start_[0]), Digits(start_[1]), subTournament_)) {
                tournamentText_->setText(ToQString(*numbered));
            }
            break;
        case Preset::Tokyo: place_->setText(ToQString(TokyoPlaceText())); break;
        case Preset::Kansai: place_->setText(ToQString(KansaiPlaceText())); break;
        case Preset::StartDate:
            start_[0]->setText(QString::fromStdString(mainDate_.year));
            start_[1]->setText(QString::fromStdString(mainDate_.month));
            start_[2]->setText(QString::fromStdString(mainDate_.day));
            break;
        case Preset::StartHour: start_[3]->setText(QStringLiteral("10")); break;
        case Preset::StartMinute: start_[4]->setText(QString::fromStdString(NextTwoDigits(Digits(start_[4])))); break;
        case Preset::EndDate:
            if (end_[0]->text().isEmpty() && end_[1]->text().isEmpty() && end_[2]->text().isEmpty()) {
                for (int i = 0; i < 3; ++i) end_[std::size_t(i)]->setText(start_[std::size_t(i)]->text());
            }
            break;
        case Preset::EndDay: end_[2]->setText(QString::fromStdString(NextTwoDigits(Digits(end_[2])))); break;
        case Preset::Lunch: SetDigits(lunch_, LunchPreset(text, subTournament_)); break;
        case Preset::Supper: SetDigits(supper_, SupperPreset(text, subTournament_)); break;
        case Preset::Allowance:
            if (auto hours = AllowancePreset(text, subTournament_)) {
                const std::array<std::string, 2> each{std::to_string(*hours), "00"};
                SetDigits(senteAllowance_, each);
                SetDigits(goteAllowance_, each);
            }
            break;
    }
}

void DetailInfoDialog::OpenRecorderList() {
    RecorderListDialog list(RecorderList(programFolder_), this);
    int answer = 0;
    if (recorderRunner_) {
        answer = recorderRunner_(list);
    } else {
        PlaceCentred(&list, this);
        answer = list.exec();
    }
    if (answer == QDialog::Accepted) recorder_->setText(ToQString(list.chosen()));
}

RecorderListDialog::RecorderListDialog(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormKiroku"));
    setWindowTitle(QStringLiteral("記録係一覧"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("KirokuList"));
    for (const std::string& l : lines) list_->addItem(ToQString(l));
    if (list_->count() > 0) list_->setCurrentRow(0);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(260, 300);
}

std::string RecorderListDialog::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item == nullptr ? std::string() : TrimFullWidth(ToCp932(item->text()));
}

}  // namespace movra
