#include "gui/mainwindow/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/diagram/diagram_commands.h"
#include "gui/mainwindow/interchange_commands.h"
#include "gui/mainwindow/text_export_commands.h"
#include "gui/positions/position_commands.h"
#include "gui/publish/publish_commands.h"
#include "gui/ftp/ftp_commands.h"
#include "gui/printing/printing_commands.h"
#include "core/list/game_list_page.h"
#include "gui/list/detailed_search_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/list/search_dialog.h"
#include "core/session/file_commands.h"
#include "gui/mainwindow/board_input.h"
#include "gui/explorer/explorer_panel.h"
#include "core/viewing/move_entry.h"
#include "core/store/layout.h"
#include "gui/mainwindow/board_view.h"
#include "core/list/search_form.h"
#include "core/config/environment.h"
#include "gui/mainwindow/environment_dialog.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/piece_set_dialog.h"
#include "gui/mainwindow/read_aloud_button.h"
#include "core/sound/spoken_move.h"
#include "gui/mainwindow/window_sound.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/common/gui_prompter.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/positionedit/position_edit_commands.h"
#include "gui/maintenance/duplicate_dialog.h"
#include "gui/maintenance/master_opening_dialog.h"
#include "gui/maintenance/master_player_dialog.h"
#include "gui/maintenance/master_tournament_dialog.h"
#include "gui/mainwindow/move_list_view.h"
#include "gui/matesearch/king_choice_dialog.h"
#include "gui/matesearch/mate_command.h"
#include "gui/mainwindow/name_plate.h"
#include "core/config/piece_sets.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/mainwindow/status_line.h"
#include "core/session/stored_game.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/record/game_text.h"
#include "core/store/comments.h"
#include "gui/store/file_chooser.h"
#include "gui/store/store_commands.h"
#include "gui/maintenance/maintenance_commands.h"
#include "core/textio/export_game.h"
#include "core/textio/kif_writer.h"

namespace movra {
using namespace movra::literals;

namespace {

// Spacing, plate, caption and list-font sizes of the three board sizes.
struct Spacing {
    int gap;
    int plate;
    int caption;
    int listFont;
    int listWidth;
};
Spacing SpacingFor(int sizeMode) {
    switch (sizeMode) {
        case kLargeBoard: return {8, 30, 26, 15, 226};
        case kSmallBoard: return {4, 22, 20, 11, 146};
        default: return {6, 26, 22, 13, 184};
    }
}

// How long a piece slides: quick enough for the fastest replay.
int SlideMilliseconds(int interval) { return qBound(60, interval / 3, 160); }

}  // namespace

MainWindow::MainWindow(std::filesystem::path programFolder, Settings settings, Prompter* prompter)
    : programFolder_(std::move(programFolder)), settings_(std::move(settings)) {
    if (prompter == nullptr) {
        ownPrompter_ = std::make_unique<GuiPrompter>(this);
        prompter_ = ownPrompter_.get();
    } else {
        prompter_ = prompter;
    }
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString(WindowCaption(0, "")));
    record_.ResetHeader(0);
    record_.SetUpStandard();
    replayTimer_.setObjectName(QStringLiteral("KifTimer"));
    connect(&replayTimer_, &QTimer::timeout, this, &MainWindow::ReplayTick);
    BuildWindow();
    move(settings_.form.Left, settings_.form.Top);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildWindow() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainArea"));
    setCentralWidget(central);
    BuildParts(central);
    BuildBoardInput(central);
    ConnectViewCommands();
    BuildStoreCommands();
    BuildMateCommand();
    BuildEntryCommands();
    positionEdit_ = new PositionEditCommands(*this);
    publish_ = new PublishCommands(*this);
    publish_->Install();
    // A game published live goes on to every FTP server switched on.
    connect(publish_, &PublishCommands::livePublished, ftp_, &FtpCommands::uploadAfterLivePublish);
    menus_->setStoreOpen(false);
    setAcceptDrops(true);

    menus_->setColor(settings_.form.Color);
    menus_->setCommentChecked(settings_.form.Comment);
    RefreshRecentMenu();
    setFocusPolicy(Qt::StrongFocus);
}

void MainWindow::BuildParts(QWidget* central) {
    board_ = new BoardView(central);
    senteHand_ = new HandView(1, central);
    goteHand_ = new HandView(2, central);
    upperPlate_ = new NamePlate(QStringLiteral("ImgName2"), central);
    lowerPlate_ = new NamePlate(QStringLiteral("ImgName1"), central);
    caption_ = new ListCaption(central);
    moveList_ = new MoveListView(central);
    panel_ = new ReplayPanel(central);
    status_ = new StatusLine(this);
    setStatusBar(status_);
    menus_ = new MainMenus(menuBar());
    diagrams_ = new DiagramCommands(this, settings_, programFolder_, [this] {
        if (mode_ == Mode::Game) return GameDiagramSource(record_, texts_.senteName, texts_.goteName);
        return positionEdit_->EditingDiagramSource();
    }, *prompter_);
    for (QAction* a : menus_->imodeItems()) menus_->makeLive(a);
    menus_->makeLive(menus_->gaijiItem());
    diagrams_->Install(menus_->bitmapMenu(), menus_->imodeItems(), menus_->settingsMenu(), menus_->gaijiItem());
    BuildInterchangeCommands();
    BuildTextExportCommands();
    BuildPositionCommands();
    ftp_ = new FtpCommands(this, settings_, programFolder_, *prompter_);
    ftp_->Install();
    printing_ = new PrintingCommands(this, settings_, [this]() -> std::optional<PrintGame> {
        if (mode_ != Mode::Game) return std::nullopt;
        return ShownPrintGame(record_, texts_, extendedStore_, session_,
                              gameInput_ != nullptr ? gameInput_->recordNumber() : 0, *prompter_);
    }, *prompter_);
    menus_->makeLive(menus_->printAction());
    menus_->makeLive(menus_->printFormAction());
    printing_->Install(menus_->printAction(), menus_->printFormAction());
    BuildExplorer();
    comment_ = new CommentWindow(this);
    comment_->move(settings_.form.ComLeft, settings_.form.ComTop);
    connect(comment_, &CommentWindow::activated, this, &MainWindow::KeepKeyboard, Qt::QueuedConnection);
    sound_ = new WindowSound(settings_, this);
    readAloud_ = new ReadAloudButton(central);
}

// The shown game as the exports see it: a stored game with its details and comments, any other
// game with its moves and names.
std::unique_ptr<ExportGame> MainWindow::ShownExportGame() {
    const std::uint32_t k = gameInput_->recordNumber();
    if (mode_ == Mode::Game && k != 0 && session_.isOpen() && !gameInput_->active() && !gameInput_->unsaved()) {
        const MasterTables masters{&session_.players, &session_.tournaments, &session_.openings};
        if (std::optional<ExportGame> g = LoadExportGame(session_.store, masters, long(k), *prompter_)) {
            return std::make_unique<ExportGame>(std::move(*g));
        }
    }
    return UnstoredExportGame(record_, texts_.senteName, texts_.goteName);
}

// The listing, the Kakinoki file and the position as text, to files and the clipboard.
void MainWindow::BuildTextExportCommands() {
    TextExportCommands::Host host;
    host.game = [this]() -> std::unique_ptr<ExportGame> {
        // The empty board the window starts with is no game.
        if (mode_ != Mode::Game || (record_.moveCount == 0 && gameInput_->recordNumber() == 0)) {
            prompter_->Inform("\r棋譜未選択のため棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj);
            return nullptr;
        }
        return ShownExportGame();
    };
    host.record = [this]() -> const TKifData& { return record_; };
    host.senteName = [this] { return texts_.senteName; };
    host.goteName = [this] { return texts_.goteName; };
    host.editing = [this] { return mode_ == Mode::PositionEditing; };
    host.hasPosition = [this] {
        if (mode_ != Mode::None) return true;
        prompter_->Inform("\r現在局面ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj);
        return false;
    };
    textExport_ = new TextExportCommands(this, std::move(host), *prompter_);
    const TextExportCommands::Items items{menus_->textOutputAction(), menus_->clipboardOutputAction(),
                                          menus_->kakinokiAction(), menus_->positionGaijiAction(),
                                          menus_->positionStandardAction(), menus_->positionClipboardAction()};
    for (QAction* a : {items.listingToFile, items.listingToClipboard, items.kakinoki, items.positionGaiji,
                       items.positionStandard, items.positionToClipboard}) {
        menus_->makeLive(a);
    }
    textExport_->Install(items);
}

// SFEN and USI through the clipboard, and the game saved as CSA, KI2 or USI.
void MainWindow::BuildInterchangeCommands() {
    InterchangeCommands::Host host;
    host.record = [this]() -> const TKifData& { return record_; };
    host.game = [this] { return ShownExportGame(); };
    host.showGame = [this](const TKifData& record) {
        if (!gameInput_->MayTakeGivenFile(false)) return false;
        ShowGame(record, GameHeaderTexts{}, true, false);
        gameInput_->UnstoredGameShown();
        return true;
    };
    // A pasted SFEN opens as a game of no moves rather than on the set-up board: the set-up board
    // has no side to move, and the SFEN's would be lost.
    interchange_ = new InterchangeCommands(this, std::move(host), *prompter_);
    interchange_->Install(qobject_cast<QMenu*>(menus_->bitmapMenu()->parent()), menus_->bitmapMenu()->menuAction());
}

// The position collection's File menu items, replay button 12 and the collection window.
void MainWindow::BuildPositionCommands() {
    PositionCommands::Host host;
    host.window = this;
    host.settings = &settings_;
    host.programFolder = programFolder_;
    host.prompter = prompter_;
    host.source = [this] {
        if (mode_ == Mode::Game) return GameDiagramSource(record_, texts_.senteName, texts_.goteName);
        return positionEdit_->EditingDiagramSource();
    };
    host.shownComment = [this] {
        const int n = record_.currentMove;
        if (!commentSource_ || n <= 0 || n > record_.moveCount || record_.moves[std::size_t(n)].commentRecord == 0) {
            return std::string();
        }
        const auto comment = commentSource_(n);
        return comment ? comment->first : std::string();
    };
    host.shownGame = [this] {
        return std::make_pair(mode_ == Mode::Game ? &record_ : nullptr, replay_.fullList());
    };
    host.editPosition = [this](const BoardPosition& position, const std::string& sente, const std::string& gote) {
        return positionEdit_->EditPosition(position, sente, gote);
    };
    positions_ = new PositionCommands(std::move(host), this);
    const auto items = menus_->positionItems();
    for (QAction* a : items) menus_->makeLive(a);
    positions_->Install({items[0], items[1], items[2], items[3], items[4]});
}

// The opening explorer's dock: it asks for the store and the position shown, plays its moves
// through study mode (or into the game being entered) and lists games as the searches do.
void MainWindow::BuildExplorer() {
    ExplorerPanel::Host host;
    host.request = [this]() -> std::optional<ExplorerRequest> {
        if (!session_.isOpen() || mode_ == Mode::None) return std::nullopt;
        ExplorerRequest r;
        r.store = session_.store;
        r.position = ExplorerPosition::From(record_.position, record_.SideOf(record_.currentMove + 1));
        for (const GameHeader& h : session_.catalogue.entries()) r.catalogue.push_back(h.recordNumber);
        r.players = &session_.players;
        return r;
    };
    host.play = [this](const MoveCode& code) {
        if (mode_ != Mode::Game) return;
        const bool entering = gameInput_ != nullptr && gameInput_->active();
        if (!entering && !study_.active()) ToggleStudyMode();
        // The move goes through the board's own entry, on a copy, to get its line and piece.
        TKifData copy = record_;
        SilentPrompter quiet;
        MoveEntry entry(copy, quiet, [&code](PieceCode, PieceCode) { return code.promotes(); });
        const int side = copy.SideOf(copy.currentMove + 1);
        const PickUpResult held = code.isDrop() ? entry.PickUpFromHand(side, code.fromRank())
                                                : entry.PickUpFromBoard(Square{std::uint8_t(code.fromFile()),
                                                                               std::uint8_t(code.fromRank())});
        EnteredMove entered;
        if (held != PickUpResult::PickedUp ||
            entry.Drop(Square{std::uint8_t(code.toFile()), std::uint8_t(code.toRank())}, &entered) !=
                DropResult::Entered) {
            return;
        }
        EnterMove(entered);
    };
    host.listGames = [this](const std::vector<std::uint32_t>& records) {
        StopReplay();
        GameCatalogue& catalogue = session_.catalogue;
        std::uint32_t n = 0;
        for (std::uint32_t k : records) {
            IndexRecord ix;
            GameHeader h;
            if (n < GameCatalogue::capacity() && ReadIndexRecord(session_.store, k, ix) &&
                HeaderFromIndexRecord(ix, k, h)) {
                catalogue.allEntries()[n++] = h;
            }
        }
        if (n == 0) return;
        catalogue.setCount(n);
        catalogue.setPageStart(1);
        GameListWindow* list = gameList();
        list->SetCatalogue();
        list->Open(pictures_.sizeMode());
        HandleGameListResult();
    };
    explorer_ = new ExplorerPanel(std::move(host), this);
    addDockWidget(Qt::RightDockWidgetArea, explorer_);
    explorer_->setFloating(true);
    explorer_->hide();
    QAction* toggle = explorer_->toggleViewAction();
    toggle->setText(QStringLiteral("定跡エクスプローラ(&X)"));
    toggle->setObjectName(QStringLiteral("MENU03_X"));
    menus_->viewMenu()->addAction(toggle);
}

void MainWindow::BuildBoardInput(QWidget* central) {
    BoardInput::Host input;
    input.record = &record_;
    input.prompter = prompter_;
    input.board = board_;
    input.senteHand = senteHand_;
    input.goteHand = goteHand_;
    input.pictures = &pictures_;
    input.entered = [this](const EnteredMove& move) { EnterMove(move); };
    input.redraw = [this] { RefreshBoard(); };
    input.mayMove = [this] { return mate_ == nullptr || !mate_->running(); };
    input_ = new BoardInput(std::move(input), central);
}

void MainWindow::ConnectViewCommands() {
    connect(panel_, &ReplayPanel::buttonPressed, this, &MainWindow::PressButton);
    connect(readAloud_, &QToolButton::clicked, this, &MainWindow::ToggleReadingAloud);
    connect(moveList_, &MoveListView::lineClicked, this, &MainWindow::JumpToLine);
    connect(caption_, &ListCaption::clicked, this, &MainWindow::ToggleListStyle);
    connect(status_, &StatusLine::timePanelClicked, this, [this] {
        if (status_->timeText().isEmpty()) return;
        consumedView_ = !consumedView_;
        RefreshTime();
    });
    connect(menus_, &MainMenus::sizeChosen, this, [this](int mode) { SetSizeMode(mode); });
    connect(menus_, &MainMenus::colorChosen, this, [this](int color) { SetColor(color); });
    connect(menus_, &MainMenus::commentToggled, this, [this](bool checked) {
        settings_.form.Comment = checked;
        RefreshComment();
    });
    connect(menus_, &MainMenus::exitChosen, this, &QWidget::close);
    connect(menus_, &MainMenus::environmentChosen, this, &MainWindow::OpenEnvironment);
    connect(menus_, &MainMenus::pieceSetChosen, this, &MainWindow::OpenPieceSets);
    connect(menus_, &MainMenus::duplicateSearchChosen, this, &MainWindow::OpenDuplicateSearch);
    connect(menus_, &MainMenus::masterPlayersChosen, this, [this] { OpenMasterDialog(0); });
    connect(menus_, &MainMenus::masterTournamentsChosen, this, [this] { OpenMasterDialog(1); });
    connect(menus_, &MainMenus::masterOpeningsChosen, this, [this] { OpenMasterDialog(2); });
}

void MainWindow::BuildStoreCommands() {
    StoreCommands::Host host;
    host.window = this;
    host.session = &session_;
    host.settings = &settings_;
    host.record = &record_;
    host.programFolder = programFolder_;
    host.prompter = prompter_;
    host.storeOpened = [this](const OpenStoreResult& opened) { ApplyOpenedStore(opened); };
    host.mastersReloaded = [this] {
        if (gameList_ != nullptr) gameList_->SetCatalogue();
        if (search_ != nullptr) search_->FillConditionLists();
    };
    host.imported = [this](long gamesStored) { AfterImport(gamesStored); };
    host.mayStart = [this] {
        StopReplay();
        return mode_ != Mode::None;
    };
    storeCommands_ = new StoreCommands(std::move(host), this);

    MaintenanceCommands::Host jobs;
    jobs.window = this;
    jobs.session = &session_;
    jobs.prompter = prompter_;
    jobs.storeOpened = [this](const OpenStoreResult& opened) { ApplyOpenedStore(opened); };
    jobs.mayStart = [this] {
        StopReplay();
        return mode_ != Mode::None;
    };
    maintenance_ = new MaintenanceCommands(std::move(jobs), this);
    connect(menus_, &MainMenus::maintenanceChosen, maintenance_, [this](int job) {
        using M = MaintenanceCommands;
        // In the order of MainMenus::MaintenanceJob.
        static constexpr void (M::*kJobs[])() = {
            &M::DistributedMergeCommand, &M::CompleteMergeCommand,   &M::MergeCommand,
            &M::ConcatenateCommand,      &M::SortDescendingCommand,  &M::SortAscendingCommand,
            &M::RemoveSameGamesCommand,  &M::ConvertCommand,         &M::SetPlayerNumbersCommand,
            &M::ReplacePlayerNumberCommand, &M::BackupStoreCommand, &M::BackupDatCommand};
        if (job >= 0 && job < int(std::size(kJobs))) (maintenance_->*kJobs[job])();
    });
    // Opening or making another store drops the game on the board: an unsaved one is asked about.
    connect(menus_, &MainMenus::openStoreChosen, storeCommands_, [this] {
        if (gameInput_->MayDiscardUnsaved()) storeCommands_->OpenStoreCommand();
    });
    connect(menus_, &MainMenus::newStoreChosen, storeCommands_, [this] {
        if (gameInput_->MayDiscardUnsaved()) storeCommands_->NewStoreCommand();
    });
    connect(menus_, &MainMenus::renameChosen, storeCommands_, &StoreCommands::RenameCommand);
    connect(menus_, &MainMenus::datSwitchChosen, storeCommands_, &StoreCommands::SwitchDatFolderCommand);
    connect(menus_, &MainMenus::importFilesChosen, storeCommands_, &StoreCommands::ImportFilesCommand);
    connect(menus_, &MainMenus::importFolderChosen, storeCommands_, &StoreCommands::ImportFolderCommand);
    connect(menus_, &MainMenus::importLisvekChosen, storeCommands_, &StoreCommands::ImportLisvekCommand);
    connect(menus_, &MainMenus::importClipboardChosen, storeCommands_,
            [this] { storeCommands_->ImportClipboardCommand(); });
    connect(menus_, &MainMenus::recentChosen, storeCommands_, [this](int index) {
        if (gameInput_->MayDiscardUnsaved()) storeCommands_->OpenRecentCommand(index + 1);
    });
    connect(menus_, &MainMenus::dataCollectionChosen, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < dataCollections_.size() && gameInput_->MayDiscardUnsaved()) {
            storeCommands_->OpenDataCollectionCommand(dataCollections_[std::size_t(index)]);
        }
    });
}

void MainWindow::BuildEntryCommands() {
    gameInput_ = new GameInput(*this);
    connect(menus_, &MainMenus::newGameChosen, gameInput_, &GameInput::NewGameCommand);
    connect(menus_, &MainMenus::correctionChosen, gameInput_, &GameInput::CorrectionCommand);
    connect(menus_, &MainMenus::changeInfoChosen, gameInput_, &GameInput::ChangeInfoCommand);
    connect(menus_, &MainMenus::saveNewChosen, gameInput_, &GameInput::SaveNewCommand);
    connect(menus_, &MainMenus::saveOverChosen, gameInput_, &GameInput::SaveOverCommand);
    connect(menus_, &MainMenus::endChosen, gameInput_, &GameInput::EndCommand);
    gameInput_->RefreshMenus();
}

void MainWindow::BuildMateCommand() {
    MateCommand::Host mateHost;
    mateHost.window = this;
    mateHost.record = &record_;
    mateHost.prompter = prompter_;
    mateHost.positionEditing = [this] { return mode_ == Mode::PositionEditing; };
    mateHost.depthLimit = [this] { return settings_.shogi.TumeTesu; };
    mateHost.redraw = [this] {
        RefreshBoard();
        RefreshList();
        RefreshTime();
    };
    mateHost.lock = [this](bool locked) {
        // While a search runs only the mate-search button answers.
        menuBar()->setEnabled(!locked);
        moveList_->setEnabled(!locked);
        caption_->setEnabled(!locked);
    };
    mateHost.latch = [this](bool down) { panel_->setLatched(ReplayPanel::MateSearch, down); };
    mateHost.chooseKing = [this](int preselected, bool handicapGame) {
        return AskDefendingKing(preselected, handicapGame, this);
    };
    mate_ = new MateCommand(std::move(mateHost), this);
}

void MainWindow::RefreshRecentMenu() {
    std::array<QString, 10> recent;
    for (int i = 0; i < 10; ++i) recent[i] = ToQString(settings_.shogi.Recent[i]);
    menus_->setRecentStores(recent);
}

bool MainWindow::Start() {
    ValidateRecentStores(settings_, programFolder_);
    const StartupStore chosen = ChooseStartupStore(settings_, programFolder_, DefaultStorePaths());
    const PictureSet::Missing missing =
        pictures_.Load(programFolder_, settings_.shogi.Koma, settings_.form.Color);
    if (missing != PictureSet::Missing::None) {
        const std::string message = PictureSet::MissingMessage(missing);
        if (ownPrompter_) {
            ownPrompter_->Error(message);
        } else {
            prompter_->Warn(message);
        }
        return false;
    }
    menus_->setLargeModeAvailable(LargeModeAvailable(programFolder_));
    ApplyPictures();
    // The piece sound is tried once; without it the program goes on silently.
    const std::string soundProblem = sound_->Probe(programFolder_);
    if (!soundProblem.empty()) prompter_->Inform(soundProblem);
    readAloud_->setOn(sound_->readingAloud());
    replay_.SetStyle(ListStyle::WholeGame);
    replay_.Clear();
    OpenStartupStore(chosen);
    mode_ = Mode::Game;
    positions_->ReopenLast();
    RefreshBoard();
    RefreshList();
    RefreshHeader();
    RefreshTime();
    return true;
}

void MainWindow::OpenStartupStore(const StartupStore& chosen) {
    session_.programFolder = programFolder_;
    session_.playersInFileOrder = settings_.shogi.KsOrder == 1;
    if (!settings_.shogi.DatPath.empty()) {
        // A DAT folder that lacks the master files is forgotten: the program folder's are used.
        const std::filesystem::path dat = ResolvePath(programFolder_, settings_.shogi.DatPath);
        if (CheckDatFolder(dat, nullptr)) {
            session_.datFolder = dat;
        } else {
            settings_.shogi.DatPath.clear();
        }
    }
    // The store keeps paths as this file system names them; the settings keep CP932 text.
    std::array<std::string, kRecentCount> recent;
    for (int i = 0; i < kRecentCount; ++i) {
        if (!settings_.shogi.Recent[i].empty()) recent[i] = NativePath(settings_.shogi.Recent[i]).string();
    }
    session_.recent.Assign(recent);
    for (std::size_t i = 0; i + 1 < chosen.addToRecent.size(); ++i) {
        session_.recent.Add(ResolvePath(programFolder_, chosen.addToRecent[i]).string());
    }
    std::string caption = WindowCaption(0, "");
    if (chosen.kind == 1) {
        const OpenStoreResult opened =
            OpenStore(session_, ResolvePath(programFolder_, chosen.path), true, *prompter_);
        if (opened.opened) {
            settings_.shogi.LastKifFile = chosen.path;
            settings_.shogi.LastKifMode = 1;
            caption = WindowCaption(1, StoredPath(std::filesystem::path(ShownStoreName(session_))));
        } else {
            settings_.shogi.LastKifFile.clear();
        }
    } else if (chosen.kind == 2 || chosen.kind == 3) {
        // Another program's store: recognised for the caption, nothing is read.
        caption = WindowCaption(chosen.kind, chosen.path);
    }
    for (int i = 0; i < kRecentCount; ++i) {
        const std::string& entry = session_.recent.entries()[i];
        settings_.shogi.Recent[i] = entry.empty() ? std::string() : StoredPath(std::filesystem::path(entry));
    }
    RefreshRecentMenu();
    RefreshDataCollections();
    menus_->setStoreOpen(session_.isOpen());
    menus_->setStoreKind(session_.isOpen() && session_.store.extended() ? 1 : 0);
    setWindowTitle(ToQString(caption));
}

bool MainWindow::ShowStoredGame(long k, int showMove) {
    TKifData loaded;
    const StoredGame game = LoadStoredGame(session_, k, loaded, *prompter_);
    if (!game.found || !gameInput_->MakeRoomForOtherGame()) return false;
    ShowGame(loaded, game.texts, true, game.extended, showMove);
    gameInput_->StoredGameShown(std::uint32_t(k));
    senteAllotted_ = game.senteAllotted;
    goteAllotted_ = game.goteAllotted;
    RefreshTime();
    setCommentSource([this](int moveIndex) {
        const std::vector<std::string>& full = replay_.fullList();
        const std::string line = moveIndex >= 1 && moveIndex <= static_cast<int>(full.size())
                                     ? full[moveIndex - 1]
                                     : std::string();
        return StoredComment(session_, record_, moveIndex, line, *prompter_);
    });
    return true;
}

void MainWindow::ApplyPictures() {
    const int mode = pictures_.sizeMode();
    const Spacing s = SpacingFor(mode);
    board_->setPictures(&pictures_);
    senteHand_->setPictures(&pictures_);
    goteHand_->setPictures(&pictures_);
    panel_->setPictures(&pictures_);
    moveList_->setBackground(pictures_.kifBox());
    moveList_->setLineFont(s.listFont);
    caption_->setBackground(pictures_.panel());
    menus_->setSizeMode(mode);
    menus_->setColor(settings_.form.Color);
    LayOut();
    // The window may have grown: it stays where it was as far as the screen allows.
    PlaceAt(this, pos(), this);
    update();
}

HandView* MainWindow::upperHand() const { return record_.boardFlipped ? senteHand_ : goteHand_; }
HandView* MainWindow::lowerHand() const { return record_.boardFlipped ? goteHand_ : senteHand_; }

void MainWindow::LayOut() {
    if (!pictures_.loaded()) return;
    const Spacing s = SpacingFor(pictures_.sizeMode());
    const QSize boardSize = pictures_.board().size();
    const QSize stand = pictures_.stand().size();
    const QSize panel = pictures_.panel().size();
    const int g = s.gap;
    const int leftWidth = qMax(stand.width(), panel.width());
    const int boardX = g + leftWidth + g;
    const int rightX = boardX + boardSize.width() + g;
    const int rightWidth = qMax(s.listWidth, stand.width());

    // Left: gote's plate and stand at the top, the replay panel at the foot of the board.
    upperPlate_->setGeometry(g, g, stand.width(), s.plate);
    upperHand()->move(g, g + s.plate + 2);
    panel_->move(g + (leftWidth - panel.width()) / 2, g + boardSize.height() - panel.height());
    // The read-aloud button stands just above the panel, at its left edge.
    const int side = s.plate + 4;
    readAloud_->setSide(side);
    readAloud_->move(g + (leftWidth - panel.width()) / 2, g + boardSize.height() - panel.height() - side - 2);
    board_->move(boardX, g);
    // Right: the move list above sente's stand and plate.
    const int lowerStandY = g + boardSize.height() - s.plate - 2 - stand.height();
    caption_->setGeometry(rightX, g, rightWidth, s.caption);
    moveList_->setGeometry(rightX, g + s.caption, rightWidth, lowerStandY - 4 - (g + s.caption));
    lowerHand()->move(rightX, lowerStandY);
    lowerPlate_->setGeometry(rightX, g + boardSize.height() - s.plate, stand.width(), s.plate);

    centralWidget()->setFixedSize(rightX + rightWidth + g, g + boardSize.height() + g);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

void MainWindow::paintEvent(QPaintEvent*) {
    // A dark, warm background like a lacquered table.
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0.0, QColor(70, 52, 40));
    g.setColorAt(1.0, QColor(38, 26, 18));
    p.fillRect(rect(), g);
}

void MainWindow::ShowGame(const TKifData& record, const GameHeaderTexts& texts, bool indexStore,
                          bool extendedStore, int showMove) {
    // A game taken over while editing a position ends the editing; the game kept aside is dropped.
    if (positionEdit_ != nullptr) positionEdit_->Abandon();
    if (study_.active()) ToggleStudyMode();
    StopReplay();
    commentSource_ = nullptr;
    senteAllotted_ = 0;
    goteAllotted_ = 0;
    board_->finishSlide();
    // The game replaces the one on the board; the slots and how the board is turned stay.
    record_.Restore(record.TakeSnapshot());
    texts_ = texts;
    indexStore_ = indexStore;
    extendedStore_ = extendedStore;
    consumedView_ = true;
    replay_.TakeOver(MoveListLines(record_), indexStore_);
    if (showMove > 0) replay_.JumpTo(showMove);
    RefreshBoard();
    RefreshList();
    RefreshHeader();
    RefreshTime();
    RefreshComment();
}

void MainWindow::setCommentSource(CommentSource source) {
    commentSource_ = std::move(source);
    RefreshComment();
}

// --- commands ---------------------------------------------------------------------------------

void MainWindow::PressButton(int number) {
    if (mode_ == Mode::PositionEditing) {
        positionEdit_->PressButton(number);
        return;
    }
    if (mode_ != Mode::Game) return;
    if (mate_->running() && number != ReplayPanel::MateSearch) return;
    if (gameInput_->active()) {
        switch (number) {
            case ReplayPanel::AutoReplay:
            case ReplayPanel::Study:
            case ReplayPanel::Search:
            case ReplayPanel::EditPosition:
            case ReplayPanel::FastReplay:
            case ReplayPanel::GameList:
            case ReplayPanel::MateSearch:
                prompter_->Inform("\r対局／棋譜入力中はこの操作はできません！"_sj);
                return;
            default:
                break;
        }
    }
    switch (number) {
        case ReplayPanel::AutoReplay:
        case ReplayPanel::FastReplay:
            // The latching button was pressed again: stop.
            if (replayKind_ == number) {
                StopReplay();
            } else {
                StartReplay(number);
            }
            break;
        case ReplayPanel::Forward:
            // A step by hand first drops what is still queued to be heard.
            StopReplay();
            sound_->Silence();
            StepForward();
            break;
        case ReplayPanel::Back:
            StepBack();
            break;
        case ReplayPanel::Study:
            ToggleStudyMode();
            break;
        case ReplayPanel::AddPosition:
            StopReplay();
            positions_->AddShownPosition();
            break;
        case ReplayPanel::TurnBoard:
            TurnBoard();
            break;
        case ReplayPanel::ToStart:
            GoToStart();
            break;
        case ReplayPanel::GameList:
            OpenGameList();
            break;
        case ReplayPanel::Search:
            OpenSearch(false);
            break;
        case ReplayPanel::EditPosition:
            positionEdit_->EnterCommand();
            break;
        case ReplayPanel::MateSearch:
            StopReplay();
            board_->finishSlide();
            mate_->Press();
            break;
        default:
            // The other buttons belong to functions of later stages and are disabled.
            break;
    }
}

void MainWindow::StepForward() {
    const ReplayStep step = replay_.Forward();
    if (step.reachedEnd) StopReplay();
    if (step.moved) {
        sound_->Forward(study_.active(), SpokenLine(step.moveNumber));
    } else if (step.reachedEnd) {
        const bool shown = replay_.closingLineSelected();
        const std::vector<std::string>& lines = replay_.visibleList();
        const std::size_t closing = static_cast<std::size_t>(record_.moveCount);
        sound_->Closing(study_.active(), shown,
                        shown && closing < lines.size() ? SpeakClosing(lines[closing], record_.endCode) : std::string());
    }
    AfterStep(step, true);
}

std::string MainWindow::SpokenLine(int moveNumber) const {
    if (!sound_->readingAloud() || moveNumber < 1) return {};
    // The move's line as the list shows it, from its side mark on.
    const std::vector<std::string>& visible = replay_.visibleList();
    const std::vector<std::string>& lines =
        static_cast<std::size_t>(moveNumber) <= visible.size() ? visible : replay_.fullList();
    if (static_cast<std::size_t>(moveNumber) > lines.size() || lines[moveNumber - 1].size() <= 5) return {};
    return SpeakMove(std::string_view(lines[moveNumber - 1]).substr(5), record_.handicap);
}

void MainWindow::ToggleReadingAloud() {
    // Without a voice set the button does nothing.
    if (!sound_->voice().readingAloudAvailable()) return;
    sound_->SetReadingAloud(!sound_->readingAloud());
    readAloud_->setOn(sound_->readingAloud());
}

void MainWindow::StepBack() {
    StopReplay();
    board_->finishSlide();
    input_->PutBack();
    sound_->Silence();
    // In study mode only the moves tried since it began are taken back, and they go.
    const ReplayStep step = study_.active() ? study_.StepBack() : replay_.Back();
    if (step.moved) sound_->Back();
    AfterStep(step, false);
}

void MainWindow::ToggleStudyMode() {
    StopReplay();
    board_->finishSlide();
    if (!study_.active()) {
        study_.Enter();
        input_->setMovable(true);
        // Game input and the text and clipboard output of the game are off meanwhile.
        studyLocked_.clear();
        for (QAction* a : {menus_->gameEntryMenu()->menuAction(), menus_->textOutputAction(),
                           menus_->clipboardOutputAction()}) {
            studyLocked_.emplace_back(a, a->isEnabled());
            a->setEnabled(false);
        }
    } else {
        input_->setMovable(false);
        study_.Leave();
        for (const auto& [action, enabled] : studyLocked_) action->setEnabled(enabled);
        studyLocked_.clear();
    }
    panel_->setLatched(ReplayPanel::Study, study_.active());
    RefreshBoard();
    RefreshList();
    RefreshTime();
    RefreshComment();
}

void MainWindow::EnterMove(const EnteredMove& move) {
    if (gameInput_->active()) {
        gameInput_->Accept(move);
        return;
    }
    // Outside input pieces move only in study mode; the move is shown without sliding.
    if (!study_.active()) {
        RefreshBoard();
        return;
    }
    const ReplayStep step = study_.Accept(move);
    if (step.moved) sound_->Forward(true, SpokenLine(step.moveNumber));
    AfterStep(step, false);
}

void MainWindow::GoToStart() {
    StopReplay();
    sound_->Silence();
    board_->finishSlide();
    replay_.ToStart();
    RefreshBoard();
    RefreshList();
    RefreshTime();
    RefreshComment();
}

void MainWindow::GoToEnd() {
    StopReplay();
    board_->finishSlide();
    replay_.ToEnd();
    RefreshBoard();
    RefreshList();
    RefreshTime();
    RefreshComment();
}

void MainWindow::JumpToLine(int lineIndex) {
    StopReplay();
    board_->finishSlide();
    replay_.JumpTo(lineIndex + 1);
    RefreshBoard();
    RefreshList();
    RefreshTime();
    RefreshComment();
}

void MainWindow::AfterStep(const ReplayStep& step, bool animate) {
    board_->finishSlide();
    RefreshBoard();
    if (step.moved && step.forward && animate && settings_.shogi.Smooth && !step.move.isDrop()) {
        const int interval = ReplayInterval(settings_.shogi.Speed, replayKind_ == ReplayPanel::FastReplay);
        board_->slidePiece(Square{step.move.fromFile, step.move.fromRank},
                           Square{step.move.toFile, step.move.toRank}, SlideMilliseconds(interval));
    }
    RefreshList();
    RefreshTime();
    RefreshComment();
}

void MainWindow::TurnBoard() {
    record_.boardFlipped = record_.boardFlipped ? 0 : 1;
    LayOut();
    RefreshBoard();
    RefreshHeader();
}

void MainWindow::ToggleListStyle() {
    if (mode_ != Mode::Game || study_.active() || gameInput_->active()) return;
    StopReplay();
    replay_.SetStyle(replay_.style() == ListStyle::WholeGame ? ListStyle::MoveByMove
                                                             : ListStyle::WholeGame);
    RefreshList();
}

void MainWindow::StartReplay(int kind) {
    StopReplay();
    if (record_.moveCount == 0) {
        // Nothing to replay: the button comes straight back up.
        ReleaseReplayButtons();
        return;
    }
    replayKind_ = kind;
    panel_->setLatched(ReplayPanel::AutoReplay, kind == ReplayPanel::AutoReplay);
    panel_->setLatched(ReplayPanel::FastReplay, kind == ReplayPanel::FastReplay);
    replayTimer_.start(ReplayInterval(settings_.shogi.Speed, kind == ReplayPanel::FastReplay));
}

void MainWindow::StopReplay() {
    replayTimer_.stop();
    replayKind_ = 0;
    ReleaseReplayButtons();
}

void MainWindow::ReleaseReplayButtons() {
    panel_->setLatched(ReplayPanel::AutoReplay, false);
    panel_->setLatched(ReplayPanel::FastReplay, false);
}

void MainWindow::ReplayTick() {
    // A tick is skipped while the words of the last move are still being read aloud.
    if (sound_->ReplayMustWait()) return;
    StepForward();
}

bool MainWindow::SetSizeMode(int mode) {
    if (mode < 0 || mode > 2 || mode == pictures_.sizeMode()) {
        menus_->setSizeMode(pictures_.sizeMode());
        return false;
    }
    StopReplay();
    return SwitchPieces(settings_.shogi.Koma, mode);
}

bool MainWindow::SwitchPieces(const std::string& from, int mode) {
    const std::string old = settings_.shogi.Koma;
    const std::string wanted = WithSizeLetter(from, SizeLetter(mode));
    if (wanted == old || !PictureSet::PieceFileLoads(programFolder_, wanted)) {
        menus_->setSizeMode(pictures_.sizeMode());
        return false;
    }
    PictureSet next;
    const PictureSet::Missing missing = next.Load(programFolder_, wanted, settings_.form.Color);
    if (missing != PictureSet::Missing::None) {
        ShowMessage(PictureSet::MissingMessage(missing), true);
        menus_->setSizeMode(pictures_.sizeMode());
        return false;
    }
    settings_.shogi.Koma = wanted;
    pictures_ = next;
    ApplyPictures();
    RefreshBoard();
    RefreshList();
    return true;
}

void MainWindow::OpenEnvironment() {
    StopReplay();
    const EnvironmentChoices before = ChoicesFromSettings(settings_);
    EnvironmentDialog dialog(before, [this](int voice) {
        if (const auto folder = TrialVoiceFolder(voice)) sound_->PlayTrial(ResolvePath(programFolder_, *folder), TrialWords());
    }, this);
    PlaceCentred(&dialog, this);
    const bool accepted = environmentAnswer_ ? environmentAnswer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (accepted) {
        const EnvironmentChoices chosen = dialog.choices();
        // The player list in the old order, to carry the saved search players over to the new one.
        std::vector<std::string> oldPlayers;
        if (chosen.playerOrder != settings_.shogi.KsOrder) oldPlayers = PlayerSearchList(session_.players);
        const EnvironmentChange change = ApplyChoices(chosen, settings_);
        if (!SaveDisplaySwitches(programFolder_, settings_)) {
            prompter_->Warn(std::string("\r設定ファイルに書き込めませんでした。"_sj));
        }
        if (chosen.voiceRowsEnabled) sound_->UseVoice(settings_.shogi.VoiceType, programFolder_);
        if (change.playerOrderChanged) {
            session_.playersInFileOrder = settings_.shogi.KsOrder == 1;
            session_.players.Load(session_.masterFolder(), !session_.playersInFileOrder);
            RemapSavedPlayers(settings_.kensaku, oldPlayers, PlayerSearchList(session_.players));
            // The search dialog's player lists follow the new order at once.
            if (search_ != nullptr) search_->FillConditionLists();
        }
    }
    sound_->RestoreVoiceFolder();
    if (!accepted) return;
    update();
    RefreshBoard();
    RefreshList();
    RefreshHeader();
    RefreshTime();
    sound_->SetReadingAloud(settings_.shogi.Yomiage);
    readAloud_->setOn(sound_->readingAloud());
}

void MainWindow::OpenPieceSets() {
    StopReplay();
    std::vector<PieceSetEntry> sets = ReadPieceSetList(ResolvePath(programFolder_, kPieceSetListName));
    const int first = FirstPieceSet(sets, settings_.shogi.Koma);
    PieceSetDialog dialog(sets, first, programFolder_, *prompter_, this);
    PlaceCentred(&dialog, this);
    const bool accepted = pieceSetAnswer_ ? pieceSetAnswer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || dialog.chosen() < 0) return;
    const int mode = pictures_.sizeMode();
    const std::optional<std::string> from =
        PieceFileToSwitchTo(sets[std::size_t(dialog.chosen())], mode, settings_.shogi.Koma);
    if (from) SwitchPieces(*from, mode);
}

bool MainWindow::SetColor(int color) {
    color = color == 1 ? 1 : 0;
    if (color == settings_.form.Color) return false;
    PictureSet next;
    if (next.Load(programFolder_, settings_.shogi.Koma, color) != PictureSet::Missing::None) {
        ShowMessage(PictureSet::MissingMessage(PictureSet::Missing::Board), true);
        menus_->setColor(settings_.form.Color);
        return false;
    }
    settings_.form.Color = color;
    pictures_ = next;
    ApplyPictures();
    RefreshBoard();
    return true;
}

// --- display ----------------------------------------------------------------------------------

void MainWindow::RefreshBoard() {
    const bool turned = record_.boardFlipped != 0;
    board_->setTurned(turned);
    board_->setPosition(record_.position);
    board_->setFramedSquare(replay_.framedSquare());
    for (HandView* hand : {senteHand_, goteHand_}) hand->setTurned(turned);
    senteHand_->setHand(record_.position.senteHand);
    goteHand_->setHand(record_.position.goteHand);
    if (mode_ == Mode::PositionEditing) positionEdit_->Refresh();
    if (explorer_ != nullptr) explorer_->PositionChanged();
}

void MainWindow::editPosition(const BoardPosition& position) { positionEdit_->EditPosition(position); }

void MainWindow::RefreshList() {
    QStringList lines;
    const std::vector<std::string>& visible = replay_.visibleList();
    lines.reserve(static_cast<qsizetype>(visible.size()));
    for (std::size_t i = 0; i < visible.size(); ++i) {
        const int moveNumber = i < static_cast<std::size_t>(record_.moveCount) ? static_cast<int>(i) + 1 : 0;
        const std::uint16_t time = moveNumber > 0 ? record_.moves[moveNumber].consumedTime : 0;
        lines.append(ToQString(MoveListText(visible[i], settings_.shogi.TimeDisp, extendedStore_,
                                            moveNumber, time)));
    }
    moveList_->setLines(lines, replay_.selection(), replay_.topLine());
    caption_->setWholeGame(replay_.style() == ListStyle::WholeGame);
}

void MainWindow::RefreshTime() {
    if (gameInput_ != nullptr && gameInput_->active()) {
        status_->setTimeText(ToQString(" 棋譜入力中．．．"_sj));
        return;
    }
    if (!extendedStore_) {
        status_->setTimeText(QString());
        return;
    }
    TimeDisplayOptions options;
    options.consumedView = consumedView_;
    options.minutesOnly = !settings_.html.OutPath[0].empty();
    options.senteAllotted = senteAllotted_;
    options.goteAllotted = goteAllotted_;
    status_->setTimeText(ToQString(TimeDisplayText(record_, replay_.timeMove(), options)));
}

void MainWindow::RefreshHeader() {
    const bool handicap = record_.handicap != '0';
    const std::string sente = !texts_.senteName.empty() ? texts_.senteName
                                                        : std::string(handicap ? "下手"_sj : "先手"_sj);
    const std::string gote = !texts_.goteName.empty() ? texts_.goteName
                                                      : std::string(handicap ? "上手"_sj : "後手"_sj);
    const bool turned = record_.boardFlipped != 0;
    // Sente's name on the lower plate and gote's on the upper one, swapped when turned.
    lowerPlate_->setName(ToQString(turned ? gote : sente));
    upperPlate_->setName(ToQString(turned ? sente : gote));
    lowerPlate_->setMark(turned ? QStringLiteral("△") : QStringLiteral("▲"));
    upperPlate_->setMark(turned ? QStringLiteral("▲") : QStringLiteral("△"));
    const bool anyHeader = !texts_.dateText.empty() || !texts_.tournament.empty() || !texts_.opening.empty();
    status_->setHeaderText(anyHeader ? ToQString(StatusHeaderText(texts_, settings_.form.DateType,
                                                                  settings_.shogi.WarekiDisp))
                                     : QString());
}

void MainWindow::RefreshComment() {
    if (study_.active()) return;  // study mode leaves the comment window alone
    // The window follows the selection while AutoCom is on, for a store that keeps comments.
    bool show = false;
    int moveIndex = -1;
    if (mode_ == Mode::Game && extendedStore_ && settings_.shogi.AutoCom &&
        (gameInput_ == nullptr || !gameInput_->active())) {
        if (replay_.closingLineSelected()) {
            moveIndex = record_.moveCount + 1;
            show = record_.moves[std::min<int>(moveIndex, kMaxMoves)].commentRecord != 0;
        } else if (replay_.selection() < 0) {
            moveIndex = 0;
            show = record_.moves[0].commentRecord != 0;
        } else {
            moveIndex = replay_.selection() + 1;
            show = replay_.selectedLineHasComment();
        }
    }
    std::optional<std::pair<std::string, std::string>> content;
    if (show && commentSource_) content = commentSource_(moveIndex);
    if (!content) {
        comment_->hide();
        return;
    }
    comment_->setComment(ToQString(content->first), ToQString(content->second));
    if (!comment_->isVisible()) {
        PlaceAt(comment_, comment_->pos(), this);
        // Shown only: the keys stay with the board. A window system that makes it active all
        // the same (at once or a little later) has the activation handed back (`activated`).
        comment_->show();
    }
    if (replayKind_ == ReplayPanel::AutoReplay && settings_.shogi.ComWait) StopReplay();
}

void MainWindow::KeepKeyboard() {
    if (!isVisible() || QApplication::activeModalWidget() != nullptr) return;
    const QWidget* active = QApplication::activeWindow();
    if (active == nullptr || active == comment_) activateWindow();
    if (QApplication::focusWidget() == nullptr || QApplication::focusWidget()->window() != this) setFocus();
}

void MainWindow::ShowMessage(const std::string& text, bool warning) {
    if (warning) {
        prompter_->Warn(text);
    } else {
        prompter_->Inform(text);
    }
}

void MainWindow::RaiseFromOtherCopy() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

// --- keys and closing -------------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (mate_->running()) return;  // only the mate-search button answers during a search
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool open = session_.isOpen();
    if (mods == Qt::NoModifier && mode_ == Mode::Game) {
        switch (event->key()) {
            case Qt::Key_Right:
            case Qt::Key_Down:
                PressButton(ReplayPanel::Forward);
                return;
            case Qt::Key_Left:
            case Qt::Key_Up:
                PressButton(ReplayPanel::Back);
                return;
            case Qt::Key_Home:
                PressButton(ReplayPanel::ToStart);
                return;
            case Qt::Key_End:
                GoToEnd();
                return;
            case Qt::Key_P:
                PressButton(ReplayPanel::AutoReplay);
                return;
            case Qt::Key_I:
                PressButton(ReplayPanel::GameList);
                return;
            case Qt::Key_E:
                StopReplay();
                positions_->OpenWindow();
                return;
            default:
                break;
        }
    }
    // The collection window opens from the set-up board too.
    if (mods == Qt::NoModifier && mode_ == Mode::PositionEditing && event->key() == Qt::Key_E) {
        positions_->OpenWindow();
        return;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_V) {
        if (menus_->importClipboardAction()->isEnabled() && menus_->importMenu()->isEnabled()) {
            storeCommands_->ImportClipboardCommand();
        } else {
            prompter_->Warn(ImportWhileEditingMessage());
        }
        return;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_C) {
        // The game as text to the clipboard, when its menu item may be used.
        if (menus_->clipboardOutputAction()->isEnabled()) {
            menus_->clipboardOutputAction()->trigger();
        } else if (mode_ == Mode::PositionEditing) {
            prompter_->Inform("\r局面作成画面での棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj);
        } else {
            prompter_->Inform("\r棋譜未選択のため棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj);
        }
        return;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_N) {
        // The position as text to the clipboard: an item of the text-output menu.
        if (menus_->positionClipboardAction()->isEnabled()) {
            menus_->positionClipboardAction()->trigger();
        } else {
            prompter_->Inform("\r現在局面ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj);
        }
        return;
    }
    if (mods == Qt::ControlModifier && event->key() == Qt::Key_B) {
        lower();
        return;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_M && open) {
        menus_->showPlayerNumberItem();
        return;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) {
        if (event->key() == Qt::Key_I && open) {
            menus_->showImodeItems();
            positions_->showImode();
            return;
        }
        if (event->key() == Qt::Key_P && open) {
            positions_->showEnlargedPrint();
            return;
        }
        if (event->key() == Qt::Key_F) {
            positions_->setPrintToFileOffer(true);
            return;
        }
        if (event->key() == Qt::Key_E && open && settings_.exportMenu.Kakinoki) {
            menus_->showExportMenu();
            if (gameList_ != nullptr) gameList_->setExportMenuVisible(true);
            return;
        }
        if (event->key() == Qt::Key_C && open) {
            // The comment-file check writes its two reports into the program folder.
            StopReplay();
            QApplication::setOverrideCursor(Qt::WaitCursor);
            CheckComments(session_.store, programFolder_, *prompter_);
            QApplication::restoreOverrideCursor();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    const int wasReplaying = replayKind_;
    StopReplay();
    // A game being entered or not saved is asked about; only when nothing was asked comes the
    // plain question.
    bool asked = false;
    bool collectionAsked = false;
    const bool mayClose = gameInput_->MayClose(&asked) && positions_->MayClose(&collectionAsked);
    asked = asked || collectionAsked;
    if (!mayClose || (!asked && prompter_->Confirm(std::string("\r本当に終了してよろしいですか？"_sj), true,
                                                    false) != Answer::Yes)) {
        if (wasReplaying != 0) StartReplay(wasReplaying);
        event->ignore();
        return;
    }
    sound_->StopPlayer();
    positions_->StoreSettings();
    if (settings_.shogi.Save) SaveSettingsAtExit();
    if (session_.isOpen()) DeleteWorkingCommentFile(session_.store.files);
    comment_->close();
    mode_ = Mode::None;
    event->accept();
}

// --- the game list and the store commands --------------------------------------------------------

GameListWindow* MainWindow::gameList() {
    if (gameList_ == nullptr) {
        gameList_ = new GameListWindow(session_, settings_, programFolder_, *prompter_, this);
        gameList_->setFileChooser(chooser_);
        gameList_->setExportHook([this](const GameHeader& entry, const std::filesystem::path& path) {
            return ExportListedGame(entry, path);
        });
        gameList_->setExportMenuVisible(menus_->exportMenu()->menuAction()->isVisible());
        // The timed print opens each game on the board, then prints it as shown.
        gameList_->setPrintHooks({[this] { return printing_->BeginRun(); },
                                  [this](const GameHeader& entry) {
                                      return ShowStoredGame(long(entry.recordNumber)) && printing_->PrintRunGame();
                                  },
                                  [this] { printing_->EndRun(); }});
        gameList_->SetCatalogue();
    }
    return gameList_;
}

void MainWindow::setFileChooser(FileChooser* chooser) {
    chooser_ = chooser;
    storeCommands_->setFileChooser(chooser);
    maintenance_->setFileChooser(chooser);
    interchange_->setFileChooser(chooser);
    textExport_->setFileChooser(chooser);
    if (gameList_ != nullptr) gameList_->setFileChooser(chooser);
}

void MainWindow::OpenGameList() {
    if (mode_ == Mode::None) return;
    StopReplay();
    // The editing panel's button says it on a line of its own.
    const std::string none =
        std::string(mode_ == Mode::PositionEditing ? "\r" : "") + "一覧表に表示する棋譜はありません。"_sj;
    if (!session_.isOpen()) {
        prompter_->Inform(none);
        return;
    }
    if (session_.catalogue.count() == 0) {
        // The catalogue may have been left empty; the store is read again first.
        LoadCatalogue(session_.store, session_.catalogue);
        gameList()->SetCatalogue();
        if (session_.catalogue.count() == 0) {
            prompter_->Inform(none);
            return;
        }
    }
    gameList()->Open(pictures_.sizeMode());
    HandleGameListResult();
}

SearchDialog* MainWindow::searchDialog() {
    if (search_ == nullptr) {
        search_ = new SearchDialog(session_, settings_, *prompter_, [this] { return record_.position; }, this);
    }
    return search_;
}

DetailedSearchDialog* MainWindow::detailedSearchDialog() {
    if (detailed_ == nullptr) {
        detailed_ = new DetailedSearchDialog(session_, settings_, *prompter_, programFolder_,
                                             [this] { return searchDialog()->handicapBox()->currentIndex(); },
                                             this);
    }
    return detailed_;
}

void MainWindow::OpenSearch(bool fromList) {
    if (mode_ == Mode::None) return;
    StopReplay();
    if (!session_.isOpen()) {
        prompter_->Inform("棋譜が読み込まれていません！\r\r先に棋譜ファイルを読み込んで下さい。"_sj);
        return;
    }
    SearchDialog* dialog = searchDialog();
    const bool narrowing = fromList && !dialog->freshLists();
    for (;;) {
        const SearchDialog::Result r = dialog->Open(narrowing, mode_ == Mode::PositionEditing);
        if (r == SearchDialog::Result::Detailed && !narrowing) {
            if (detailedSearchDialog()->Open() != DetailedSearchDialog::Result::Ok) continue;
            dialog->ClearFreshLists();
        } else if (r != SearchDialog::Result::Ok && !narrowing) {
            return;
        }
        break;
    }
    // The hits (or, after a narrowing without one, the list as it was).
    GameListWindow* list = gameList();
    list->SetCatalogue();
    if (session_.catalogue.count() == 0) return;
    list->Open(pictures_.sizeMode());
    HandleGameListResult();
}

void MainWindow::OpenDuplicateSearch() {
    if (mode_ == Mode::None) return;
    StopReplay();
    if (!session_.isOpen()) {
        prompter_->Warn(NoStoreMessage());
        return;
    }
    DuplicateDialog dialog(session_, *prompter_, this);
    const bool found = dialog.Open();
    // The search reloaded the catalogue (and the games found replaced it): the list follows.
    GameListWindow* list = gameList();
    list->SetCatalogue();
    if (!found) return;
    list->Open(pictures_.sizeMode());
    HandleGameListResult();
}

void MainWindow::OpenMasterDialog(int table) {
    StopReplay();
    const std::filesystem::path folder = session_.masterFolder();
    std::unique_ptr<MasterDialog> dialog;
    if (table == 0) dialog = std::make_unique<MasterPlayerDialog>(folder, *prompter_, this);
    else if (table == 1) dialog = std::make_unique<MasterTournamentDialog>(folder, *prompter_, this);
    else dialog = std::make_unique<MasterOpeningDialog>(folder, *prompter_, this);
    if (!dialog->Open()) return;
    if (table == 0) session_.players.Load(folder, !session_.playersInFileOrder);
    else if (table == 1 && session_.isOpen()) session_.tournaments.Load(folder, *prompter_);
    else if (table == 2) session_.openings.Load(folder, *prompter_);
    if (gameList_ != nullptr) gameList_->SetCatalogue();
    if (search_ != nullptr) search_->FillConditionLists();
}

void MainWindow::HandleGameListResult() {
    GameListWindow* list = gameList();
    const RecordRenumbering& moved = list->renumbering();
    if (mode_ == Mode::PositionEditing && moved.anyDeleted()) {
        positionEdit_->GamesDeleted();
    } else {
        gameInput_->FollowRecords(moved);
    }
    switch (list->result()) {
        case GameListWindow::Result::ShowGame: {
            const GameHeader& entry = list->selectedEntry();
            ShowStoredGame(long(entry.recordNumber), std::max(0, MatchedMove(entry)));
            // The keys step through the game just opened.
            activateWindow();
            KeepKeyboard();
            break;
        }
        case GameListWindow::Result::Narrow:
            // The search dialog comes back once the list has closed.
            QTimer::singleShot(0, this, [this] { OpenSearch(true); });
            break;
        case GameListWindow::Result::EditMoves: {
            // The list's correction chose to change the moves: the game opens for move editing.
            const GameHeader& entry = list->selectedEntry();
            if (ShowStoredGame(long(entry.recordNumber))) {
                gameInput_->CorrectMoves(list->editedIndex(), list->editedDetail());
            }
            activateWindow();
            KeepKeyboard();
            break;
        }
        case GameListWindow::Result::Cancel:
            break;
    }
}

void MainWindow::ApplyOpenedStore(const OpenStoreResult& opened) {
    RefreshRecentMenu();
    if (!opened.opened) return;
    menus_->setStoreOpen(session_.isOpen());
    menus_->setStoreKind(session_.store.extended() ? 1 : 0);
    setWindowTitle(ToQString(WindowCaption(1, StoredPath(std::filesystem::path(ShownStoreName(session_))))));
    if (gameList_ != nullptr) {
        gameList_->SetCatalogue();
        if (!session_.store.extended()) gameList_->ResetInformationColumn();
    }
    if (search_ != nullptr) search_->FillConditionLists();
    if (opened.storeChanged) gameInput_->StoreChanged();
    // Another store: the game shown belonged to the one before.
    if (opened.storeChanged) ShowEmptyGame();
}

void MainWindow::ShowEmptyGame() {
    TKifData empty;
    empty.ResetHeader(0);
    empty.SetUpStandard();
    ShowGame(empty, GameHeaderTexts{}, true, session_.store.extended());
    // No game is shown yet: an empty list, not the closing line of a game of no moves.
    replay_.Clear();
    RefreshList();
    RefreshTime();
}

void MainWindow::AfterImport(long gamesStored) {
    (void)gamesStored;
    const std::uint32_t count = session_.catalogue.count();
    if (count == 0) return;
    // The last game of the store is shown, and the list opens on it.
    ShowStoredGame(long(session_.catalogue.at(count - 1).recordNumber));
    GameListWindow* list = gameList();
    list->SetCatalogue();
    list->ShowPosition(count - 1);
}

bool MainWindow::ExportListedGame(const GameHeader& entry, const std::filesystem::path& path) {
    // The game is opened on the board first, then written as the Kakinoki file.
    if (!ShowStoredGame(long(entry.recordNumber))) return false;
    const MasterTables masters{&session_.players, &session_.tournaments, &session_.openings};
    const std::optional<ExportGame> game =
        LoadExportGame(session_.store, masters, long(entry.recordNumber), *prompter_);
    if (!game) return false;
    return WriteKakinokiFile(*game, path).empty();
}

void MainWindow::RefreshDataCollections() {
    dataCollections_ = DataCollectionStores(programFolder_);
    QStringList names;
    for (const std::filesystem::path& p : dataCollections_) names.append(PathToQString(p.filename()));
    menus_->setDataCollections(names);
    RefreshRecentMenu();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    // Only the first file counts, and only while a store may be opened.
    if (urls.isEmpty() || !urls.front().isLocalFile() || !menus_->openStoreAction()->isEnabled()) return;
    if (!gameInput_->MayDiscardUnsaved()) return;
    event->acceptProposedAction();
    storeCommands_->DropCommand(QStringToPath(urls.front().toLocalFile()));
}

bool MainWindow::SaveSettingsAtExit() {
    settings_.form.Left = pos().x();
    settings_.form.Top = pos().y();
    settings_.form.ComLeft = comment_->pos().x();
    settings_.form.ComTop = comment_->pos().y();
    settings_.form.Comment = menus_->commentChecked();
    return SaveSettings(programFolder_, settings_);
}

}  // namespace movra
