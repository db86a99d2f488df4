#include "gui/maintenance/maintenance_commands.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QVBoxLayout>

#include "core/maintenance/backup.h"
#include "core/maintenance/classic_conversion.h"
#include "core/maintenance/command_texts.h"
#include "core/maintenance/player_numbers.h"
#include "core/maintenance/store_merge.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/common/gui_prompter.h"
#include "gui/common/qtext.h"
#include "gui/store/file_chooser.h"

namespace movra {

using namespace movra::maintenance;
using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Keeps the main window disabled while a job runs, however it ends.
class WindowDisabled {
public:
    explicit WindowDisabled(QWidget* w) : w_(w) {
        if (w_) w_->setEnabled(false);
    }
    ~WindowDisabled() {
        if (w_) w_->setEnabled(true);
    }
    WindowDisabled(const WindowDisabled&) = delete;
    WindowDisabled& operator=(const WindowDisabled&) = delete;

private:
    QWidget* w_;
};

QString StoreFolderOf(const StoreSession& s) { return PathToQString(s.store.files.folder()); }

}  // namespace

MaintenanceCommands::MaintenanceCommands(Host host, QObject* parent) : QObject(parent), host_(std::move(host)) {}

FileChooser& MaintenanceCommands::chooser() const { return chooser_ ? *chooser_ : DefaultFileChooser(); }

bool MaintenanceCommands::MergeStoreOpen() const {
    const StoreSession& s = *host_.session;
    if (s.openState == kOpenStateNone || s.storePath.empty()) {
        host_.prompter->Warn(NoStoreToMergeText());
        return false;
    }
    if (s.openState != kOpenStateMovra) {
        host_.prompter->Warn(NotMovraStoreText());
        return false;
    }
    return true;
}

std::optional<SortOrder> MaintenanceCommands::AskOrder() const {
    if (host_.askOrder) return host_.askOrder();
    SortOrderDialog dialog(host_.window);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.order();
}

void MaintenanceCommands::Reopen(bool reset) {
    StoreSession& s = *host_.session;
    s.catalogue.Clear();
    s.store.recordCount = 0;
    OpenStoreResult opened;
    {
        WaitCursor wait;
        opened = OpenStore(s, s.storePath, reset, *host_.prompter);
    }
    if (host_.storeOpened) host_.storeOpened(opened);
}

void MaintenanceCommands::DistributedMergeCommand() {
    if (!MayStart() || !MergeStoreOpen()) return;
    StoreSession& s = *host_.session;
    if (!CheckStoreSortedForDistribution(s.store, *host_.prompter)) return;
    // The first removable drive stands for the floppy of old; without one the dialog starts at
    // the root folder.
    QString removable;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && volume.rootPath().startsWith(QStringLiteral("/media"))) {
            removable = volume.rootPath();
            break;
        }
    }
    QString start = QStringLiteral("/");
    if (!removable.isEmpty()) {
        const std::string question = ToCp932(removable) + " ドライブに"_sj + "\r" + "配布データをセットして下さい。"_sj +
                                     "\r\r" + "ＦＤ以外から併合する場合は"_sj + "\r" + "「いいえ」をクリックして下さい。"_sj;
        const Answer a = host_.prompter->Confirm(question, true, true);
        if (a == Answer::Cancel) return;
        if (a == Answer::Yes) start = removable;
    }
    const QString chosen = chooser().OpenFile(host_.window, QStringLiteral("配布データを開く"), start,
                                              QStringLiteral("Movraｲﾝﾃﾞｯｸｽ･ﾌｧｲﾙ (*.idx *.IDX)"), QStringLiteral("KIFU.IDX"));
    if (chosen.isEmpty()) return;
    MergeResult r;
    {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        r = MergeDistributedData(s.store, QStringToPath(chosen), *host_.prompter);
    }
    if (r.ok) Reopen(false);
}

void MaintenanceCommands::CompleteMergeCommand() { MergeWith(int(MergeKind::Complete)); }
void MaintenanceCommands::MergeCommand() { MergeWith(int(MergeKind::Merge)); }
void MaintenanceCommands::ConcatenateCommand() { MergeWith(int(MergeKind::Concatenate)); }

void MaintenanceCommands::MergeWith(int kindNumber) {
    if (!MayStart() || !MergeStoreOpen()) return;
    StoreSession& s = *host_.session;
    const MergeKind kind = MergeKind(kindNumber);
    const QString title = kind == MergeKind::Complete ? QStringLiteral("棋譜ファイルの完全合併")
                          : kind == MergeKind::Merge  ? QStringLiteral("棋譜ファイルの合併")
                                                      : QStringLiteral("棋譜ファイルの接合");
    const QString filter = kind == MergeKind::Concatenate && s.store.extended()
                               ? QStringLiteral("Movraﾌﾟﾗｽｲﾝﾃﾞｯｸｽ (*.ipx *.IPX)")
                               : QStringLiteral("Movraｲﾝﾃﾞｯｸｽ･ﾌｧｲﾙ (*.idx *.IDX)");
    const QString chosen = chooser().OpenFile(host_.window, title, StoreFolderOf(s), filter);
    if (chosen.isEmpty()) return;
    SortOrder order = SortOrder::Descending;
    if (kind != MergeKind::Concatenate) {
        const std::optional<SortOrder> asked = AskOrder();
        if (!asked) return;
        order = *asked;
    }
    // The master tables of the other store's folder, when it has its own.
    const fs::path otherFolder = StoreFiles(QStringToPath(chosen)).folder();
    PlayerTable otherPlayers;
    TournamentTable otherTournaments;
    OpeningTable otherOpenings;
    SilentPrompter quiet;
    std::error_code ec;
    const fs::path datFolder = s.masterFolder();
    const bool ownTables = CheckDatFolder(otherFolder, nullptr) &&
                           !fs::equivalent(FindFileNoCase(otherFolder, kPlayerFileName),
                                           FindFileNoCase(datFolder, kPlayerFileName), ec);
    if (ownTables) {
        otherPlayers.Load(otherFolder, false);
        otherTournaments.Load(otherFolder, quiet);
        otherOpenings.Load(otherFolder, quiet);
    }
    MasterMerge masters{&otherPlayers, &otherTournaments, &otherOpenings, &s.players, &s.tournaments, &s.openings,
                        datFolder};
    MergeResult r;
    try {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        r = MergeStores(s.store, QStringToPath(chosen).replace_extension(".idx"), kind, order, *host_.prompter,
                        ownTables ? &masters : nullptr);
    } catch (const std::exception& e) {
        host_.prompter->Warn(e.what());
    }
    if (r.ok || r.maps.added > 0) Reopen(false);
}

void MaintenanceCommands::SortDescendingCommand() { Sort(SortOrder::Descending); }
void MaintenanceCommands::SortAscendingCommand() { Sort(SortOrder::Ascending); }

void MaintenanceCommands::Sort(SortOrder order) {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen()) {
        host_.prompter->Warn(NoStoreText());
        return;
    }
    if (host_.prompter->Confirm(SortTakesTimeText(), false, true) != Answer::Yes) return;
    if (host_.prompter->Confirm(SortQuestion(s.store, order), true, false) != Answer::Yes) return;
    if (!EnoughSpaceToRewrite(s.store)) {
        host_.prompter->Warn(NoSpaceToSortText());
        return;
    }
    RewriteResult r;
    try {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        r = SortStore(s.store, order, *host_.prompter);
        host_.prompter->EndProgress();
    } catch (const std::exception& e) {
        host_.prompter->EndProgress();
        host_.prompter->Warn(e.what());
    }
    if (!r.ok) return;
    Reopen(false);
    host_.prompter->Inform(SortDoneText());
}

void MaintenanceCommands::RemoveSameGamesCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen()) {
        host_.prompter->Warn(NoMovraStoreText());
        return;
    }
    if (host_.prompter->Confirm(RemoveSameQuestion(), false, true) != Answer::Yes) return;
    if (!EnoughSpaceToRewrite(s.store)) {
        host_.prompter->Warn(NoSpaceToRemoveText());
        return;
    }
    const std::optional<SortOrder> order = AskOrder();
    if (!order) return;
    RewriteResult r;
    try {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        r = RemoveSameGames(s.store, *order, *host_.prompter);
        host_.prompter->EndProgress();
    } catch (const std::exception& e) {
        host_.prompter->EndProgress();
        host_.prompter->Warn(e.what());
    }
    if (!r.ok) return;
    host_.prompter->Inform(RemoveSameDoneText(r.removed));
    Reopen(false);
}

void MaintenanceCommands::ConvertCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen() || s.store.extended()) {
        host_.prompter->Warn(NoClassicStoreText());
        return;
    }
    if (host_.prompter->Confirm(ConvertQuestion(s.store.files.IndexPath()), true, false) != Answer::Yes) return;
    Conversion c;
    try {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        c = ConvertToExtended(s.store, s.players, *host_.prompter);
    } catch (const std::exception& e) {
        host_.prompter->Warn(e.what());
    }
    if (!c.ok) return;
    host_.prompter->Inform(ConvertDoneText());
    Reopen(true);
}

void MaintenanceCommands::SetPlayerNumbersCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen()) {
        host_.prompter->Warn(NoStoreText());
        return;
    }
    if (host_.prompter->Confirm(SetFromNamesQuestion(), false, true) != Answer::Yes) return;
    IndexRewrite r;
    try {
        WindowDisabled disabled(host_.window);
        WaitCursor wait;
        r = SetPlayerNumbersFromNames(s.store, s.players, *host_.prompter);
    } catch (const std::exception& e) {
        host_.prompter->Warn(e.what());
    }
    if (!r.ok) return;
    host_.prompter->Inform(SetFromNamesDoneText(r.changed));
    Reopen(false);
}

void MaintenanceCommands::ReplacePlayerNumberCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen()) {
        host_.prompter->Warn(NoStoreText());
        return;
    }
    PlayerNumberDialog dialog(s, *host_.prompter, [this] { Reopen(false); }, host_.window);
    dialog.exec();
}

void MaintenanceCommands::BackupStoreCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    if (!s.isOpen()) {
        host_.prompter->Warn(NoStoreText());
        return;
    }
    const QString chosen = chooser().Folder(host_.window, ToQString(BackupFolderTitle()), StoreFolderOf(s));
    if (chosen.isEmpty()) return;
    WaitCursor wait;
    BackupStore(s.store.files, QStringToPath(chosen), *host_.prompter);
}

void MaintenanceCommands::BackupDatCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    const QString chosen =
        chooser().Folder(host_.window, ToQString(BackupFolderTitle()), PathToQString(s.masterFolder()));
    if (chosen.isEmpty()) return;
    WaitCursor wait;
    BackupDatFiles(s.masterFolder(), QStringToPath(chosen), *host_.prompter);
}

// --- the dialogs ---------------------------------------------------------------------------------

SortOrderDialog::SortOrderDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ToQString(OrderDialogCaption()));
    auto* layout = new QVBoxLayout(this);
    descending_ = new QRadioButton(ToQString(DescendingChoiceText()), this);
    ascending_ = new QRadioButton(ToQString(AscendingChoiceText()), this);
    descending_->setChecked(true);
    layout->addWidget(descending_);
    layout->addWidget(ascending_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OkBtn"));
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

SortOrder SortOrderDialog::order() const {
    return ascending_->isChecked() ? SortOrder::Ascending : SortOrder::Descending;
}

PlayerNumberDialog::PlayerNumberDialog(StoreSession& session, Prompter& prompter, std::function<void()> changed,
                                       QWidget* parent)
    : QDialog(parent), session_(session), prompter_(prompter), changed_(std::move(changed)) {
    setWindowTitle(QStringLiteral("棋士番号一括変換"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    from_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("BeforeEdit"));
    to_ = new QLineEdit(this);
    to_->setObjectName(QStringLiteral("AfterEdit"));
    form->addRow(QStringLiteral("変更前棋士番号"), from_);
    form->addRow(QStringLiteral("変更後棋士番号"), to_);
    layout->addLayout(form);
    check_ = new QCheckBox(QStringLiteral("変更後棋士番号の存在チェックを行う"), this);
    check_->setChecked(true);
    layout->addWidget(check_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OkBtn"));
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PlayerNumberDialog::Confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PlayerNumberDialog::Confirm() {
    const PlayerNumberPair pair = CheckPlayerNumberPair(ToCp932(from_->text()), ToCp932(to_->text()));
    if (pair.field != 0) {
        prompter_.Warn(pair.message);
        (pair.field == 1 ? from_ : to_)->setFocus();
        return;
    }
    try {
        if (check_->isChecked()) {
            const std::uint32_t c = CountGamesOfPlayer(session_.store, pair.to);
            if (c > 0) {
                prompter_.Warn(TargetNumberInUseText(c));
                return;
            }
        }
        const IndexRewrite r = ReplacePlayerNumber(session_.store, pair.from, pair.to, prompter_);
        if (!r.ok) return;
        prompter_.Inform(ReplacedNumbersText(r.changed));
        if (r.changed > 0 && changed_) changed_();
    } catch (const std::exception& e) {
        prompter_.Warn(e.what());
    }
}

}  // namespace movra
