#include "gui/positions/position_commands.h"

#include <QAction>

#include "core/diagram/diagram_layout.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/qtext.h"
#include "gui/diagram/title_dialog.h"
#include "gui/positions/collection_window.h"
#include "gui/store/file_chooser.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

const QString kFilter = QStringLiteral("局面図ﾌｧｲﾙ(*.kkm)");

// The text cut to `limit` bytes without splitting a double-byte character.
std::string CutText(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t n = limit;
    while (n > 0 && !IsCharBoundary(text, n)) --n;
    return text.substr(0, n);
}

}  // namespace

PositionCommands::PositionCommands(Host host, QObject* parent)
    : QObject(parent), host_(std::move(host)), collection_(host_.programFolder) {}

PositionCommands::~PositionCommands() = default;

void PositionCommands::Install(const Items& items) {
    items_ = items;
    auto wire = [this](QAction* a, auto slot) {
        if (a != nullptr) connect(a, &QAction::triggered, this, slot);
    };
    wire(items.newCollection, [this] { NewCollection(); });
    wire(items.open, [this] { OpenCollection(); });
    wire(items.save, [this] { Save(); });
    wire(items.saveAs, [this] { SaveAs(); });
    wire(items.window, [this] { OpenWindow(); });
    Refresh();
}

void PositionCommands::Refresh() {
    // 上書き保存 follows the changes; the others are always there.
    if (items_.save != nullptr) items_.save->setEnabled(collection_.exists() && collection_.changed());
}

CollectionDialogs PositionCommands::Dialogs() {
    CollectionDialogs d;
    FileChooser& chooser = chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
    QWidget* parent = window_ != nullptr && window_->isVisible() ? static_cast<QWidget*>(window_) : host_.window;
    d.openFile = [&chooser, parent](const fs::path& folder) {
        return QStringToPath(chooser.OpenFile(parent, QStringLiteral("局面図ファイルを開く"), PathToQString(folder), kFilter));
    };
    d.saveFile = [&chooser, parent](const fs::path& proposed) {
        return QStringToPath(chooser.SaveFile(parent, QString(), PathToQString(proposed), kFilter));
    };
    return d;
}

bool PositionCommands::NewCollection() {
    const bool ok = collection_.New(*host_.prompter, Dialogs());
    Refresh();
    return ok;
}

bool PositionCommands::OpenCollection() {
    const bool ok = collection_.Open(*host_.prompter, Dialogs());
    Refresh();
    return ok;
}

bool PositionCommands::Save() {
    const bool ok = collection_.Save(*host_.prompter, Dialogs());
    Refresh();
    return ok;
}

bool PositionCommands::SaveAs() {
    const bool ok = collection_.SaveAs(*host_.prompter, Dialogs());
    Refresh();
    return ok;
}

bool PositionCommands::AddShownPosition() {
    const DiagramSource source = host_.source();
    const Settings::Btimap& b = host_.settings->btimap;
    // Without a title format of its own, the whole title is asked for.
    const std::string format =
        ChosenTitleFormat(source.gameView, b.TitleNo, b.TitleNo2, {b.Title1, b.Title2, b.Title3, b.Title4, b.Title5, b.Title6})
            .value_or("%d");
    TitleContext context;
    context.gameView = source.gameView;
    context.shownMove = source.shownMove;
    context.moveLine = source.moveLine;
    context.turned = source.turned;
    const std::string proposedComment =
        source.gameView && host_.shownComment ? CutText(host_.shownComment(), 150) : std::string();
    const std::optional<ExpandedTitle> title =
        ExpandDiagramTitle(host_.window, format, context, proposedComment, true, *host_.prompter, titleAnswer);
    if (!title) return false;
    const LabelSettings labels{b.MNameS, b.MNameG, b.TNameS, b.TNameG};
    const DiagramLabelPair pair = DiagramLabels(b.TNameNo, source.handicapGame, source.senteName, source.goteName, labels);
    SlotTexts texts;
    texts.title = title->title;
    texts.senteLabel = pair.sente;
    texts.goteLabel = pair.gote.substr(0, pair.gote.find('*'));
    texts.comment = title->comment;
    const bool ok = collection_.Add(texts, source.position.pieces, *host_.prompter);
    Refresh();
    return ok;
}

CollectionWindow* PositionCommands::window() {
    if (window_ == nullptr) {
        window_ = new CollectionWindow(collection_, *host_.settings, *host_.prompter, host_.window);
        window_->programFolder = host_.programFolder;
        window_->shownGame = host_.shownGame;
        window_->toEditing = host_.editPosition;
        if (imode_) window_->showImode();
        if (enlargedPrint_) window_->showEnlargedPrint();
        window_->setPrintToFileOffer(printToFile_);
    }
    return window_;
}

void PositionCommands::OpenWindow() {
    CollectionWindow* w = window();
    if (!w->Prepare()) return;
    if (windowAnswer) {
        windowAnswer(*w);
    } else {
        w->exec();
    }
    w->Finish();
    Refresh();
}

bool PositionCommands::MayClose(bool* asked) {
    if (asked != nullptr) *asked = collection_.exists() && collection_.changed();
    const bool ok = collection_.AskToSave(*host_.prompter, Dialogs()) != Answer::Cancel;
    Refresh();
    return ok;
}

void PositionCommands::ReopenLast() {
    Settings::Shogi& s = host_.settings->shogi;
    const fs::path last = s.LastKkmFile.empty() ? fs::path() : ResolvePath(host_.programFolder, s.LastKkmFile);
    if (last.empty() || !collection_.Reopen(last, s.LastKkmPage, *host_.prompter)) {
        s.LastKkmFile.clear();
        s.LastKkmPage = 1;
    }
    Refresh();
}

void PositionCommands::StoreSettings() {
    Settings::Shogi& s = host_.settings->shogi;
    s.LastKkmFile = collection_.exists() ? StoredPath(collection_.currentFile()) : std::string();
    s.LastKkmPage = collection_.exists() ? std::max(1, collection_.pageToShow()) : 1;
}

void PositionCommands::showImode() {
    imode_ = true;
    if (window_ != nullptr) window_->showImode();
}

void PositionCommands::showEnlargedPrint() {
    enlargedPrint_ = true;
    if (window_ != nullptr) window_->showEnlargedPrint();
}

void PositionCommands::setPrintToFileOffer(bool on) {
    printToFile_ = on;
    if (window_ != nullptr) window_->setPrintToFileOffer(on);
}

}  // namespace movra
