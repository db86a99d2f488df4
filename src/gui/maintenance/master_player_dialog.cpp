#include "gui/maintenance/master_player_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "core/text/prompter.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"

namespace movra {

namespace {

constexpr char kCategories[] = "ABCDE";

}  // namespace

MasterPlayerDialog::MasterPlayerDialog(const std::filesystem::path& datFolder, Prompter& prompter,
                                       QWidget* parent)
    : MasterDialog(datFolder, prompter, parent) {
    setObjectName(QStringLiteral("TFormKsMnt"));
    setWindowTitle(QStringLiteral("棋士名登録・変更"));
    category_ = new QComboBox(this);
    category_->setObjectName(QStringLiteral("KubunBox"));
    category_->addItems({QStringLiteral("現役棋士"), QStringLiteral("引退棋士"), QStringLiteral("奨励会棋士"),
                         QStringLiteral("女流棋士"), QStringLiteral("アマ棋士")});
    auto* add = new QPushButton(QStringLiteral("新規登録"), this);
    add->setObjectName(QStringLiteral("NewBtn"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("KishiList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("棋士番号"), QStringLiteral("漢字氏名"), QStringLiteral("カナ氏名")});
    list_->header()->setSectionsClickable(true);
    list_->setFont(SystemFont(kGothic, 14));
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setColumnWidth(0, 80);
    list_->setColumnWidth(1, 180);
    number_ = new QLineEdit(this);
    number_->setObjectName(QStringLiteral("NumberEdit"));
    number_->setReadOnly(true);
    kanji_ = new QLineEdit(this);
    kanji_->setObjectName(QStringLiteral("KanjiEdit"));
    kana_ = new QLineEdit(this);
    kana_->setObjectName(QStringLiteral("KanaEdit"));
    store_ = new QPushButton(QStringLiteral("変更"), this);
    store_->setObjectName(QStringLiteral("ChangeBtn"));
    auto* update = new QPushButton(QStringLiteral("棋士名データ更新"), this);
    update->setObjectName(QStringLiteral("UpdateBtn"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));

    auto* layout = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(category_);
    top->addStretch();
    top->addWidget(add);
    layout->addLayout(top, 0, 0, 1, 3);
    layout->addWidget(list_, 1, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("棋士番号"), this), 2, 0);
    layout->addWidget(number_, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("漢字氏名"), this), 3, 0);
    layout->addWidget(kanji_, 3, 1);
    layout->addWidget(new QLabel(QStringLiteral("カナ氏名"), this), 4, 0);
    layout->addWidget(kana_, 4, 1);
    layout->addWidget(store_, 4, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(update);
    buttons->addWidget(close);
    layout->addLayout(buttons, 5, 0, 1, 3);
    resize(520, 520);

    connect(category_, &QComboBox::currentIndexChanged, this, [this] { Fill(0); });
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        SortBy(section == 0 ? PlayerColumn::Number : section == 1 ? PlayerColumn::Kanji : PlayerColumn::Kana);
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { Select(); });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (list_->itemAt(at) == nullptr) return;
        QMenu menu(this);
        QAction* remove = menu.addAction(QStringLiteral("削除"));
        if (menu.exec(list_->viewport()->mapToGlobal(at)) == remove) DeleteSelected();
    });
    connect(add, &QPushButton::clicked, this, &MasterPlayerDialog::StartNew);
    connect(store_, &QPushButton::clicked, this, &MasterPlayerDialog::Store);
    connect(update, &QPushButton::clicked, this, &MasterPlayerDialog::Update);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // A file that cannot be read must not be replaced by the few names entered here.
    if (!LoadPlayersForEditing(datFolder_, table_)) {
        prompter_.Warn(PlayersUnreadableMessage());
        update->setEnabled(false);
    }
    Fill(0);
}

std::string MasterPlayerDialog::CloseQuestion() const { return PlayersCloseQuestion(); }

char MasterPlayerDialog::category() const { return kCategories[std::max(0, category_->currentIndex())]; }

void MasterPlayerDialog::ChooseCategory(int index) { category_->setCurrentIndex(index); }

void MasterPlayerDialog::SortBy(PlayerColumn column) {
    const QTreeWidgetItem* current = list_->currentItem();
    order_ = column;
    Fill(current != nullptr ? current->data(0, Qt::UserRole).toInt() : 0);
}

// Rebuilds the list of the category and selects the row of the number (the first row when the
// number is not listed).
void MasterPlayerDialog::Fill(int select) {
    const QSignalBlocker block(list_);
    list_->clear();
    QTreeWidgetItem* chosen = nullptr;
    for (int n : PlayerListNumbers(table_, category(), order_)) {
        const PlayerEntry& e = table_.Entry(n);
        auto* item = new QTreeWidgetItem(list_, {QString::asprintf("%6d", n), ToQString(e.name), ToQString(e.kana)});
        item->setData(0, Qt::UserRole, n);
        if (n == select) chosen = item;
    }
    if (chosen == nullptr && list_->topLevelItemCount() > 0) chosen = list_->topLevelItem(0);
    list_->setCurrentItem(chosen);
    if (chosen != nullptr) {
        Select();
    } else {
        number_->clear();
        kanji_->clear();
        kana_->clear();
    }
}

void MasterPlayerDialog::Select() {
    const QTreeWidgetItem* item = list_->currentItem();
    if (item == nullptr) return;
    const int n = item->data(0, Qt::UserRole).toInt();
    const PlayerEntry& e = table_.Entry(n);
    number_->setText(QString::number(n));
    kanji_->setText(ToQString(e.name).trimmed());
    kana_->setText(ToQString(e.kana).trimmed());
    store_->setText(QStringLiteral("変更"));
}

void MasterPlayerDialog::StartNew() {
    kanji_->clear();
    kana_->clear();
    if (const int slot = SlotForNewPlayer(table_, category()); slot != 0) {
        number_->setText(QString::number(slot));
    } else {
        number_->clear();
    }
    store_->setText(QStringLiteral("登録"));
    kanji_->setFocus();
}

void MasterPlayerDialog::Store() {
    const int number = number_->text().toInt();
    if (number < 1 || number > kLargestFilePlayer) {
        prompter_.Warn(NoPlayerSlotMessage());
        return;
    }
    const std::string kanji = ToCp932(kanji_->text());
    const std::string kana = ToCp932(kana_->text());
    if (const std::string refused = CheckPlayerNames(kanji, kana); !refused.empty()) {
        prompter_.Warn(refused);
        (CheckPlayerNames(kanji, "").empty() ? kana_ : kanji_)->setFocus();
        return;
    }
    StorePlayer(table_, number, category(), kanji, kana);
    MarkChanged();
    Fill(number);
}

void MasterPlayerDialog::DeleteSelected() {
    const QTreeWidgetItem* item = list_->currentItem();
    if (item == nullptr) return;
    FreePlayer(table_, item->data(0, Qt::UserRole).toInt());
    MarkChanged();
    Fill(0);
}

void MasterPlayerDialog::Update() {
    AfterWrite(table_.Write(datFolder_), std::string(kPlayerFileName), PlayersUpdatedMessage());
}

}  // namespace movra
