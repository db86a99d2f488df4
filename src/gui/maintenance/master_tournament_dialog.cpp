#include "gui/maintenance/master_tournament_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/store/master_edit.h"
#include "core/text/prompter.h"
#include "gui/common/qtext.h"

namespace movra {

namespace {

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

MasterTournamentDialog::MasterTournamentDialog(const std::filesystem::path& datFolder, Prompter& prompter,
                                               QWidget* parent)
    : MasterDialog(datFolder, prompter, parent) {
    setObjectName(QStringLiteral("TFormKisenMnt"));
    setWindowTitle(QStringLiteral("棋戦名登録・変更"));
    panels_ = new QStackedWidget(this);

    auto* main = new QWidget(panels_);
    main->setObjectName(QStringLiteral("MainPanel"));
    list_ = MakeRowList(QStringLiteral("KisenList"), main);
    name_ = new QLineEdit(main);
    name_->setObjectName(QStringLiteral("KisenEdit"));
    QPushButton* change = Button(QStringLiteral("変更"), "ChangeBtn", main);
    QPushButton* update = Button(QStringLiteral("棋戦名データ更新"), "UpdateBtn", main);
    QPushButton* close = Button(QStringLiteral("閉じる"), "CloseBtn", main);
    auto* mainLayout = new QGridLayout(main);
    mainLayout->addWidget(list_, 0, 0, 1, 3);
    mainLayout->addWidget(new QLabel(QStringLiteral("棋戦名："), main), 1, 0);
    mainLayout->addWidget(name_, 1, 1);
    mainLayout->addWidget(change, 1, 2);
    auto* mainButtons = new QHBoxLayout;
    mainButtons->addStretch();
    mainButtons->addWidget(update);
    mainButtons->addWidget(close);
    mainLayout->addLayout(mainButtons, 2, 0, 1, 3);

    auto* detail = new QWidget(panels_);
    detail->setObjectName(QStringLiteral("DetailPanel"));
    details_ = MakeRowList(QStringLiteral("DetailList"), detail);
    detailName_ = new QLineEdit(detail);
    detailName_->setObjectName(QStringLiteral("DetailEdit"));
    QPushButton* detailChange = Button(QStringLiteral("変更"), "DetailChangeBtn", detail);
    QPushButton* back = Button(QStringLiteral("戻る"), "BackBtn", detail);
    auto* detailLayout = new QGridLayout(detail);
    detailLayout->addWidget(details_, 0, 0, 1, 3);
    detailLayout->addWidget(new QLabel(QStringLiteral("詳細棋戦名："), detail), 1, 0);
    detailLayout->addWidget(detailName_, 1, 1);
    detailLayout->addWidget(detailChange, 1, 2);
    auto* detailButtons = new QHBoxLayout;
    detailButtons->addStretch();
    detailButtons->addWidget(back);
    detailLayout->addLayout(detailButtons, 2, 0, 1, 3);

    panels_->addWidget(main);
    panels_->addWidget(detail);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panels_);
    resize(420, 480);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) name_->setText(ToQString(table_.Row(row).name));
    });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* show = menu.addAction(QStringLiteral("棋戦名詳細(&S)"));
        if (menu.exec(list_->viewport()->mapToGlobal(at)) == show) ShowDetail();
    });
    connect(details_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && detailOf_ > 0) {
            detailName_->setText(ToQString(SubTournamentOfRow(table_, detailOf_, row + 1).name));
        }
    });
    connect(change, &QPushButton::clicked, this, &MasterTournamentDialog::ChangeMain);
    connect(detailChange, &QPushButton::clicked, this, &MasterTournamentDialog::ChangeDetail);
    connect(update, &QPushButton::clicked, this, &MasterTournamentDialog::Update);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(back, &QPushButton::clicked, this, &MasterTournamentDialog::ShowMain);

    // A file that cannot be read (the warning is the table's) must not be replaced.
    if (!table_.Load(datFolder_, prompter_)) update->setEnabled(false);
    FillMain();
}

std::string MasterTournamentDialog::CloseQuestion() const {
    return MasterCloseQuestion(MasterNameKind::Tournament);
}

bool MasterTournamentDialog::detailShown() const { return panels_->currentIndex() == 1; }

void MasterTournamentDialog::FillMain() {
    const int current = list_->currentRow();
    list_->clear();
    // The file's two-digit column holds tournaments 1-99.
    for (int position = 1; position <= kTournamentFileRows; ++position) {
        list_->addItem(ToQString(MasterRowText(position, table_.Row(position - 1).name)));
    }
    list_->setCurrentRow(current < 0 ? 0 : current);
}

void MasterTournamentDialog::FillDetail() {
    const int current = details_->currentRow();
    details_->clear();
    for (int sub = 1; sub <= kSubTournamentRows; ++sub) {
        details_->addItem(ToQString(MasterRowText(sub, SubTournamentOfRow(table_, detailOf_, sub).name)));
    }
    details_->setCurrentRow(current < 0 ? 0 : current);
}

bool MasterTournamentDialog::ShowDetail() {
    const int row = list_->currentRow();
    if (row < 0) return false;
    if (table_.Row(row).name.empty()) {
        prompter_.Inform(TournamentNotNamedMessage());
        return false;
    }
    detailOf_ = row + 1;
    details_->setCurrentRow(-1);
    FillDetail();
    panels_->setCurrentIndex(1);
    return true;
}

void MasterTournamentDialog::ShowMain() {
    panels_->setCurrentIndex(0);
    detailOf_ = 0;
}

void MasterTournamentDialog::ChangeMain() {
    const int row = list_->currentRow();
    if (row < 0) return;
    const std::string name = ToCp932(name_->text());
    if (const std::string refused = CheckMasterName(MasterNameKind::Tournament, name); !refused.empty()) {
        prompter_.Warn(refused);
        name_->setFocus();
        return;
    }
    RenameTournament(table_, row + 1, name);
    MarkChanged();
    FillMain();
}

void MasterTournamentDialog::ChangeDetail() {
    const int row = details_->currentRow();
    if (row < 0 || detailOf_ == 0) return;
    const std::string name = ToCp932(detailName_->text());
    if (const std::string refused = CheckMasterName(MasterNameKind::SubTournament, name); !refused.empty()) {
        prompter_.Warn(refused);
        detailName_->setFocus();
        return;
    }
    RenameSubTournament(table_, detailOf_, row + 1, name);
    MarkChanged();
    FillDetail();
}

void MasterTournamentDialog::Update() {
    // Nothing to write while nothing changed.
    if (!changed()) return;
    AfterWrite(table_.Write(datFolder_), std::string(kTournamentFileName),
               MasterUpdatedMessage(MasterNameKind::Tournament));
}

}  // namespace movra
