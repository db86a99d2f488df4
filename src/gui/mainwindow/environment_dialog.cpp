#include "gui/mainwindow/environment_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/common/qtext.h"

namespace movra {

namespace {

QWidget* Page(QTabWidget* tabs, const QString& caption) {
    auto* page = new QWidget(tabs);
    auto* layout = new QVBoxLayout(page);
    layout->setAlignment(Qt::AlignTop);
    tabs->addTab(page, caption);
    return page;
}

bool Yes(const QButtonGroup* group) { return group->checkedId() == 1; }

}  // namespace

EnvironmentDialog::EnvironmentDialog(const EnvironmentChoices& choices, std::function<void(int)> trial,
                                     QWidget* parent)
    : QDialog(parent), trial_(std::move(trial)), start_(choices) {
    setObjectName(QStringLiteral("Kankyo"));
    setWindowTitle(QStringLiteral("動作環境"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);
    BuildGeneralPage(tabs, choices);
    BuildSoundPage(tabs, choices);
    BuildOtherPage(tabs, choices);
    // The rows that Alt+X shows; they are set and read all the same.
    for (std::size_t i = 0; const char* setting : {"ComWait", "TimeDisp", "WarekiDisp", "Multi"})
        hidden_[i++] = static_cast<QWidget*>(row(setting)->parent());
    for (QWidget* w : hidden_) w->setVisible(false);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

// 全般: the replay speed, smooth moves, comments shown by themselves, the mate-search depth.
void EnvironmentDialog::BuildGeneralPage(QTabWidget* tabs, const EnvironmentChoices& choices) {
    QWidget* general = Page(tabs, QStringLiteral("全般"));
    auto* speedBox = new QGroupBox(QStringLiteral("１．棋譜再生速度"), general);
    auto* speedRow = new QHBoxLayout(speedBox);
    speedRow->addWidget(new QLabel(QStringLiteral("遅い"), speedBox));
    speed_ = new QSlider(Qt::Horizontal, speedBox);
    speed_->setObjectName(QStringLiteral("TrackBar1"));
    speed_->setRange(1, 12);
    speed_->setPageStep(1);
    speed_->setTickPosition(QSlider::TicksBelow);
    speed_->setValue(choices.speedPosition);
    speedRow->addWidget(speed_, 1);
    speedRow->addWidget(new QLabel(QStringLiteral("速い"), speedBox));
    interval_ = new QLabel(speedBox);
    interval_->setMinimumWidth(60);
    speedRow->addWidget(interval_);
    general->layout()->addWidget(speedBox);
    connect(speed_, &QSlider::valueChanged, this, &EnvironmentDialog::UpdateInterval);
    UpdateInterval();
    AddPair(general, "Smooth", QStringLiteral("２．駒のスムーズ移動"), QStringLiteral("する"), QStringLiteral("しない"),
            choices.smooth);
    AddPair(general, "AutoCom", QStringLiteral("３．コメント自動表示"), QStringLiteral("する"), QStringLiteral("しない"),
            choices.autoCom);
    AddPair(general, "ComWait", QStringLiteral("コメントを自動表示した場合に再生を停止する"), QStringLiteral("はい"),
            QStringLiteral("いいえ"), choices.comWait);
    auto* depthBox = new QGroupBox(QStringLiteral("４．詰将棋探索深度"), general);
    auto* depthRow = new QHBoxLayout(depthBox);
    depth_ = new QComboBox(depthBox);
    depth_->setObjectName(QStringLiteral("TumeBox"));
    for (const std::string& entry : DepthEntries()) depth_->addItem(ToQString(entry));
    depth_->setCurrentIndex(choices.depthIndex);
    depthRow->addWidget(depth_);
    depthRow->addStretch(1);
    general->layout()->addWidget(depthBox);
}

// 音声: the piece sound, reading aloud and its voice.
void EnvironmentDialog::BuildSoundPage(QTabWidget* tabs, const EnvironmentChoices& choices) {
    QWidget* sound = Page(tabs, QStringLiteral("音声"));
    auto* effects = new QGroupBox(QStringLiteral("効果音"), sound);
    effects->setLayout(new QVBoxLayout);
    sound->layout()->addWidget(effects);
    AddPair(effects, "Sarnovi", QStringLiteral("１．駒音"), QStringLiteral("あり"), QStringLiteral("なし"),
            choices.pieceSound);
    QButtonGroup* read = AddPair(effects, "Yomiage", QStringLiteral("２．棋譜読み上げ"), QStringLiteral("あり"),
                                 QStringLiteral("なし"), choices.readAloud);
    QButtonGroup* wait = AddPair(effects, "YomiWait", QStringLiteral("棋譜再生時に１手毎の読み上げ終了を待つ"),
                                 QStringLiteral("はい"), QStringLiteral("いいえ"), choices.waitForWords);
    auto* voiceBox = new QGroupBox(QStringLiteral("声の種類"), effects);
    auto* voiceRow = new QHBoxLayout(voiceBox);
    voice_ = new QButtonGroup(voiceBox);
    for (int v : {1, 2}) {
        auto* b = new QRadioButton(v == 1 ? QStringLiteral("Ａタイプ") : QStringLiteral("Ｂタイプ"), voiceBox);
        voice_->addButton(b, v);
        b->setChecked(choices.voice == v);
        voiceRow->addWidget(b);
    }
    trialButton_ = new QPushButton(QStringLiteral("試聴"), voiceBox);
    voiceRow->addWidget(trialButton_);
    voiceRow->addStretch(1);
    effects->layout()->addWidget(voiceBox);
    connect(trialButton_, &QPushButton::clicked, this, [this] {
        if (trial_) trial_(voice_->checkedId() == 1 || voice_->checkedId() == 2 ? voice_->checkedId() : 0);
    });
    if (!choices.voiceRowsEnabled) {
        // No voice set is installed: nothing about reading aloud can be chosen.
        for (QButtonGroup* g : {voice_, read, wait})
            for (QAbstractButton* b : g->buttons()) b->setEnabled(false);
        trialButton_->setEnabled(false);
    }
}

// その他: the player-name order, consumed times, eras of unknown dates, a single copy.
void EnvironmentDialog::BuildOtherPage(QTabWidget* tabs, const EnvironmentChoices& choices) {
    QWidget* other = Page(tabs, QStringLiteral("その他"));
    AddPair(other, "KsOrder", QStringLiteral("１．棋士名表示順（縦一列表示項目の表示順）"), QStringLiteral("名前順"),
            QStringLiteral("登録順（ファイル登録順）"), choices.playerOrder == 0);
    AddPair(other, "TimeDisp", QStringLiteral("２．消費時間表示（棋譜窓の一手毎の指し手）"), QStringLiteral("する"),
            QStringLiteral("しない"), choices.timeDisp);
    AddPair(other, "WarekiDisp", QStringLiteral("３．不明日の和暦変換（月/日がゼロの対局日：0を1に置き換えて変換）"),
            QStringLiteral("する"), QStringLiteral("しない"), choices.warekiDisp);
    AddPair(other, "Multi", QStringLiteral("４．多重起動の抑止（DadevoroDadの多重起動を抑止する）"), QStringLiteral("する"),
            QStringLiteral("しない"), choices.preventSeveralCopies);
}

QButtonGroup* EnvironmentDialog::AddPair(QWidget* page, const char* setting, const QString& caption,
                                         const QString& yes, const QString& no, bool yesChecked) {
    auto* box = new QGroupBox(caption, page);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(setting));
    int id = 1;
    for (const QString& text : {yes, no}) {
        auto* b = new QRadioButton(text, box);
        group->addButton(b, id);
        b->setChecked((id == 1) == yesChecked);
        row->addWidget(b);
        id = 0;
    }
    row->addStretch(1);
    page->layout()->addWidget(box);
    return group;
}

QButtonGroup* EnvironmentDialog::row(const char* setting) const {
    return findChild<QButtonGroup*>(QString::fromLatin1(setting));
}

bool EnvironmentDialog::hiddenRowsShown() const { return !hidden_[0]->isHidden(); }

void EnvironmentDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_X && (event->modifiers() & Qt::AltModifier)) {
        for (QWidget* w : hidden_) w->setVisible(true);
        return;
    }
    QDialog::keyPressEvent(event);
}

void EnvironmentDialog::UpdateInterval() { interval_->setText(ToQString(IntervalLabel(speed_->value()))); }

EnvironmentChoices EnvironmentDialog::choices() const {
    EnvironmentChoices c = start_;
    c.speedPosition = speed_->value();
    c.smooth = Yes(row("Smooth"));
    c.autoCom = Yes(row("AutoCom"));
    c.comWait = Yes(row("ComWait"));
    c.depthIndex = depth_->currentIndex();
    c.pieceSound = Yes(row("Sarnovi"));
    c.readAloud = Yes(row("Yomiage"));
    c.waitForWords = Yes(row("YomiWait"));
    c.voice = voice_->checkedId() == 1 || voice_->checkedId() == 2 ? voice_->checkedId() : 0;
    c.playerOrder = Yes(row("KsOrder")) ? 0 : 1;
    c.timeDisp = Yes(row("TimeDisp"));
    c.warekiDisp = Yes(row("WarekiDisp"));
    c.preventSeveralCopies = Yes(row("Multi"));
    return c;
}

}  // namespace movra
