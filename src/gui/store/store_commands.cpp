#include "gui/store/store_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "core/session/file_commands.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "gui/store/file_chooser.h"
#include "core/store/record_file.h"
#include "core/textio/import_text.h"
#include "core/textio/lisvek_reader.h"

namespace movra {

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

}  // namespace

StoreCommands::StoreCommands(Host host, QObject* parent) : QObject(parent), host_(std::move(host)) {}

FileChooser& StoreCommands::chooser() const {
    return chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
}

QString StoreCommands::StoreFolder() const {
    const StoreSession& s = *host_.session;
    if (s.isOpen()) return PathToQString(s.store.files.folder());
    return PathToQString(host_.programFolder);
}

void StoreCommands::RememberOpenedStore(const OpenStoreResult& opened) {
    StoreSession& s = *host_.session;
    Settings& settings = *host_.settings;
    if (opened.opened) {
        settings.shogi.LastKifFile = StoredPath(fs::path(ShownStoreName(s)));
        settings.shogi.LastKifMode = 1;
    }
    for (int i = 0; i < kRecentCount; ++i) {
        const std::string& entry = s.recent.entries()[std::size_t(i)];
        settings.shogi.Recent[std::size_t(i)] = entry.empty() ? std::string() : StoredPath(fs::path(entry));
    }
    if (host_.storeOpened) host_.storeOpened(opened);
}

// --- choosing and making stores -------------------------------------------------------------------

void StoreCommands::OpenStoreCommand() {
    if (!MayStart()) return;
    const QString chosen = chooser().OpenFile(
        host_.window, QStringLiteral("棋譜ファイルを開く"), StoreFolder(),
        QStringLiteral("Movraﾌﾟﾗｽ･ｲﾝﾃﾞｯｸｽ (*.ipx *.IPX);;Movraｲﾝﾃﾞｯｸｽ･ﾌｧｲﾙ (*.idx *.IDX)"));
    if (chosen.isEmpty()) return;
    OpenStoreResult opened;
    {
        WaitCursor wait;
        opened = OpenChosenStore(*host_.session, QStringToPath(chosen), *host_.prompter);
    }
    RememberOpenedStore(opened);
}

void StoreCommands::OpenRecentCommand(int entry) {
    if (!MayStart()) return;
    const std::optional<OpenStoreResult> opened =
        OpenRecentEntry(*host_.session, entry, *host_.prompter);
    if (opened) RememberOpenedStore(*opened);
}

void StoreCommands::OpenDataCollectionCommand(const fs::path& store) {
    if (!MayStart()) return;
    if (host_.prompter->Confirm(OpenConfirmText(PathText(store)), false, true) != Answer::Yes) {
        return;
    }
    OpenStoreResult opened;
    {
        WaitCursor wait;
        opened = OpenStore(*host_.session, store, true, *host_.prompter);
    }
    RememberOpenedStore(opened);
}

void StoreCommands::NewStoreCommand() {
    if (!MayStart()) return;
    const QString chosen =
        chooser().SaveFile(host_.window, QStringLiteral("新規作成"), StoreFolder(),
                           QStringLiteral("Movraﾌﾟﾗｽ/Movraｲﾝﾃﾞｯｸｽ (*.ipx *.idx)"));
    if (chosen.isEmpty()) return;
    std::optional<OpenStoreResult> opened;
    try {
        WaitCursor wait;
        opened = CreateNewStore(*host_.session, QStringToPath(chosen), *host_.prompter);
    } catch (const StoreIoError& e) {
        host_.prompter->Warn("\r" + PathText(e.path()) + " 書込エラー！"_sj);
        return;
    }
    if (opened) RememberOpenedStore(*opened);
}

void StoreCommands::RenameCommand() {
    StoreSession& s = *host_.session;
    if (!MayStart() || !s.isOpen()) return;
    const std::string before = ShownStoreName(s);
    RenameStoreDialog dialog(s, *host_.prompter, host_.window);
    PlaceCentred(&dialog, host_.window);
    dialog.exec();
    if (dialog.outcome() != RenameOutcome::Renamed) return;
    // The recent list names the store by its new name from now on.
    s.recent.Remove(before);
    s.recent.Add(ShownStoreName(s));
    OpenStoreResult renamed;
    renamed.opened = true;
    renamed.recentChanged = true;
    renamed.shownName = ShownStoreName(s);
    RememberOpenedStore(renamed);
}

void StoreCommands::SwitchDatFolderCommand() {
    if (!MayStart()) return;
    StoreSession& s = *host_.session;
    const fs::path folder = s.datFolder.empty() ? host_.programFolder : s.datFolder;
    const QString chosen = chooser().OpenFile(
        host_.window, QStringLiteral("棋士名ﾃﾞｰﾀ･ﾌｧｲﾙを開く"), PathToQString(folder),
        QStringLiteral("棋士名ﾃﾞｰﾀ･ﾌｧｲﾙ (Ksname.dat ksname.dat KSNAME.DAT)"),
        QStringLiteral("Ksname.dat"));
    if (chosen.isEmpty()) return;
    bool switched = false;
    {
        WaitCursor wait;
        switched = SwitchDatFolder(s, QStringToPath(chosen), *host_.prompter);
    }
    if (!switched) return;
    host_.settings->shogi.DatPath = StoredPath(s.datFolder);
    if (host_.mastersReloaded) host_.mastersReloaded();
}

// --- importing ---------------------------------------------------------------------------------------

void StoreCommands::RunImport(const std::function<ImportSummary(ImportContext&)>& run,
                              int progressDigits) {
    StoreSession& s = *host_.session;
    Prompter& prompter = *host_.prompter;
    // The progress line near the window's top-left corner; the banner is the progress panel.
    auto* line = new QLabel(host_.window);
    line->setObjectName(QStringLiteral("ImportLine"));
    line->setAutoFillBackground(true);
    line->move(12, 12);
    line->resize(360, line->sizeHint().height() + 4);
    line->show();
    if (host_.window != nullptr) host_.window->setEnabled(false);
    ImportSummary summary;
    {
        WaitCursor wait;
        ImportContext context{s.store, prompter,
                              MasterTables{&s.players, &s.tournaments, &s.openings}, importNow_,
                              [line](const std::string& text) {
                                  line->setText(ToQString(text));
                                  line->adjustSize();
                                  line->repaint();
                              },
                              progressDigits};
        try {
            summary = run(context);
        } catch (const StoreIoError& e) {
            prompter.EndProgress();
            prompter.Warn("\r" + PathText(e.path()) + " 書込エラー！"_sj);
        }
    }
    prompter.EndProgress();
    if (host_.window != nullptr) host_.window->setEnabled(true);
    delete line;
    if (summary.gamesStored < 1) return;
    // The catalogue is read again so that it holds the new games.
    const fs::path shown(ShownStoreName(s));
    OpenStoreResult opened;
    {
        WaitCursor wait;
        opened = OpenStore(s, shown, false, prompter);
    }
    RememberOpenedStore(opened);
    if (opened.opened && host_.imported) host_.imported(summary.gamesStored);
}

void StoreCommands::ImportFilesCommand() {
    if (!MayStart() || !host_.session->isOpen()) return;
    const QStringList chosen = chooser().OpenFiles(
        host_.window, QStringLiteral("棋譜ファイルのインポート"), StoreFolder(),
        QStringLiteral("柿木/森田/Halvik/KAYA/CSA 棋譜ファイル (*.kif *.ki2 *.KIF *.KI2 *.kifu *.ki2u *.csa *.CSA)"));
    if (chosen.isEmpty()) return;
    std::vector<fs::path> files;
    for (const QString& f : chosen) files.push_back(QStringToPath(f));
    if (host_.prompter->Confirm(ImportFilesQuestion(files), true, false) != Answer::Yes) return;
    RunImport([&files](ImportContext& context) { return ImportFiles(files, context); }, 5);
}

void StoreCommands::ImportFolderCommand() {
    if (!MayStart() || !host_.session->isOpen()) return;
    const QString chosen = chooser().Folder(
        host_.window, QStringLiteral("インポート元のフォルダを指定して下さい。"), StoreFolder());
    if (chosen.isEmpty()) return;
    QString shown = chosen;
    if (!shown.endsWith(QLatin1Char('/'))) shown += QLatin1Char('/');
    if (host_.prompter->Confirm(ImportFolderQuestion(ToCp932(shown)), true, false) != Answer::Yes) {
        return;
    }
    const std::vector<fs::path> files = FolderImportFiles(
        QStringToPath(chosen), host_.settings->import.SubFldr, &host_.session->store.files);
    RunImport([&files](ImportContext& context) { return ImportFiles(files, context); }, 6);
}

void StoreCommands::ImportLisvekCommand() {
    if (!MayStart() || !host_.session->isOpen()) return;
    const QString chosen = chooser().OpenFile(host_.window, QStringLiteral("Lisvek 棋譜ファイルのインポート"),
                                              StoreFolder(), QStringLiteral("Lisvek 棋譜ファイル (kifu.kif)"),
                                              QStringLiteral("kifu.kif"));
    if (chosen.isEmpty()) return;
    const fs::path kifuKif = QStringToPath(chosen);
    if (!MissingLisvekFiles(kifuKif).empty()) {
        host_.prompter->Warn(LisvekNotInstalledMessage());
        return;
    }
    const long count = CountLisvekGames(kifuKif.parent_path());
    if (host_.prompter->Confirm(LisvekImportQuestion(count), true, false) != Answer::Yes) return;
    RunImport(
        [&](ImportContext& context) {
            ImportSummary summary;
            if (context.progressLine) context.progressLine("    1: " + PathText(kifuKif.filename()));
            const std::string banner = "【 棋譜インポート中 】"_sj;
            const LisvekImport run = ImportLisvekFolder(kifuKif, context, [&](long game, long all) {
                if (game % 100 == 1) {
                    context.prompter.Progress(banner, game - 1, all);
                    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                }
            });
            summary.filesRead = 1;
            summary.gamesStored = run.stored;
            summary.storeFull = run.storeFull;
            for (const auto& [game, reason] : run.refused) {
                summary.refused.push_back({kifuKif, "game " + std::to_string(game) + ": " + reason});
            }
            if (run.stored < 1) context.prompter.Inform(ImportFailedMessage(kifuKif));
            EndImportRun(banner, count, summary, context.prompter);
            return summary;
        },
        5);
}

void StoreCommands::ImportClipboardCommand(const QByteArray& clipboardBytes) {
    if (!MayStart() || !host_.session->isOpen()) return;
    QByteArray bytes = clipboardBytes;
    if (bytes.isEmpty()) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data != nullptr) {
            // Text offered as Shift-JIS is taken as it is; any other text as Unicode.
            for (const QString& format : data->formats()) {
                const QString f = format.toLower();
                if (f.startsWith(QStringLiteral("text/plain")) &&
                    (f.contains(QStringLiteral("shift_jis")) || f.contains(QStringLiteral("cp932")) ||
                     f.contains(QStringLiteral("sjis")))) {
                    bytes = data->data(format);
                    break;
                }
            }
            if (bytes.isEmpty() && data->hasText()) bytes = data->text().toUtf8();
        }
    }
    const std::vector<std::string> lines =
        ClipboardLines(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    const std::vector<std::vector<std::string>> games = SplitClipboardGames(lines);
    if (games.empty()) {
        host_.prompter->Inform(ClipboardEmptyMessage());
        return;
    }
    if (host_.prompter->Confirm(ImportClipboardQuestion(), true, false) != Answer::Yes) return;
    const fs::path temporary = FindFileNoCase(host_.session->masterFolder(), kClipboardTempName);
    RunImport([&](ImportContext& context) { return ImportClipboardGames(games, temporary, context); },
              5);
}

void StoreCommands::DropCommand(const fs::path& file) {
    if (!MayStart()) return;
    const std::optional<fs::path> store = DroppedStore(file);
    if (!store) return;
    OpenStoreResult opened;
    {
        WaitCursor wait;
        opened = OpenStore(*host_.session, *store, true, *host_.prompter);
    }
    RememberOpenedStore(opened);
}

// --- the rename dialog ----------------------------------------------------------------------------

RenameStoreDialog::RenameStoreDialog(StoreSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), session_(session), prompter_(prompter) {
    setObjectName(QStringLiteral("FormRename"));
    setWindowTitle(QStringLiteral("棋譜ファイル名の変更"));
    const QString current = PathToQString(fs::path(CurrentStoreName(session)));
    auto* layout = new QVBoxLayout(this);
    prompt_ = new QLabel(QStringLiteral("'%1' の新しい名前を指定してください。").arg(current), this);
    prompt_->setObjectName(QStringLiteral("Label1"));
    folder_ = new QLabel(PathToQString(session.store.files.folder()), this);
    folder_->setObjectName(QStringLiteral("Label2"));
    edit_ = new QLineEdit(current, this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &RenameStoreDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(prompt_);
    layout->addWidget(folder_);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

void RenameStoreDialog::Confirm() {
    outcome_ = RenameStore(session_, QStringToPath(edit_->text()).native(), prompter_);
    if (outcome_ == RenameOutcome::Unchanged || outcome_ == RenameOutcome::Renamed) {
        accept();
    } else {
        edit_->setFocus();
    }
}

}  // namespace movra
