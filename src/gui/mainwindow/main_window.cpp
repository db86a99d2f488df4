#include "mainwindow/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "common/qtext.h"
#include "mainwindow/board_view.h"
#include "mainwindow/comment_window.h"
#include "mainwindow/gui_prompter.h"
#include "mainwindow/hand_view.h"
#include "mainwindow/main_menus.h"
#include "mainwindow/move_list_view.h"
#include "mainwindow/name_plate.h"
#include "mainwindow/piece_sets.h"
#include "mainwindow/replay_panel.h"
#include "mainwindow/status_line.h"
#include "mainwindow/stored_game.h"
#include "mainwindow/program_folder.h"
#include "record/sjis_literal.h"
#include "rules/game_text.h"
#include "store/comments.h"

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
    comment_ = new CommentWindow(this);
    comment_->move(settings_.form.ComLeft, settings_.form.ComTop);

    for (int later : {ReplayPanel::Study, ReplayPanel::Search, ReplayPanel::EditPosition,
                      ReplayPanel::GameList, ReplayPanel::MateSearch, ReplayPanel::AddPosition}) {
        panel_->markNotAvailable(later);
    }
    connect(panel_, &ReplayPanel::buttonPressed, this, &MainWindow::PressButton);
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

    menus_->setColor(settings_.form.Color);
    menus_->setCommentChecked(settings_.form.Comment);
    RefreshRecentMenu();
    setFocusPolicy(Qt::StrongFocus);
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
    replay_.SetStyle(ListStyle::WholeGame);
    replay_.Clear();
    OpenStartupStore(chosen);
    mode_ = Mode::Game;
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
    setWindowTitle(ToQString(caption));
}

bool MainWindow::ShowStoredGame(long k, int showMove) {
    TKifData loaded;
    const StoredGame game = LoadStoredGame(session_, k, loaded, *prompter_);
    if (!game.found) return false;
    ShowGame(loaded, game.texts, true, game.extended, showMove);
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
    StopReplay();
    commentSource_ = nullptr;
    senteAllotted_ = 0;
    goteAllotted_ = 0;
    board_->finishSlide();
    const std::uint8_t flipped = record_.boardFlipped;
    record_ = record;
    record_.boardFlipped = flipped;
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
    if (mode_ != Mode::Game) return;
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
            StopReplay();
            StepForward();
            break;
        case ReplayPanel::Back:
            StepBack();
            break;
        case ReplayPanel::TurnBoard:
            TurnBoard();
            break;
        case ReplayPanel::ToStart:
            GoToStart();
            break;
        default:
            // The other buttons belong to functions of later stages and are disabled.
            break;
    }
}

void MainWindow::StepForward() {
    const ReplayStep step = replay_.Forward();
    if (step.reachedEnd) StopReplay();
    AfterStep(step, true);
}

void MainWindow::StepBack() {
    StopReplay();
    board_->finishSlide();
    AfterStep(replay_.Back(), false);
}

void MainWindow::GoToStart() {
    StopReplay();
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
    if (mode_ != Mode::Game) return;
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
    // Waiting for a move to be read aloud comes with the sounds; until then every tick steps.
    StepForward();
}

bool MainWindow::SetSizeMode(int mode) {
    if (mode < 0 || mode > 2 || mode == pictures_.sizeMode()) {
        menus_->setSizeMode(pictures_.sizeMode());
        return false;
    }
    StopReplay();
    const std::string old = settings_.shogi.Koma;
    const std::string wanted = WithSizeLetter(old, SizeLetter(mode));
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
}

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
    // The window follows the selection while AutoCom is on, for a store that keeps comments.
    bool show = false;
    int moveIndex = -1;
    if (mode_ == Mode::Game && extendedStore_ && settings_.shogi.AutoCom) {
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
    if (!comment_->isVisible()) comment_->show();
    if (replayKind_ == ReplayPanel::AutoReplay && settings_.shogi.ComWait) StopReplay();
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
                // The game list (button 10) comes with the list window.
                return;
            default:
                break;
        }
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
            return;
        }
        if (event->key() == Qt::Key_E && open && settings_.exportMenu.Kakinoki) {
            menus_->showExportMenu();
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
    // Nothing can be unsaved yet (entering games comes later), so the plain question is asked.
    if (prompter_->Confirm(std::string("\r本当に終了してよろしいですか？"_sj), true, false) != Answer::Yes) {
        if (wasReplaying != 0) StartReplay(wasReplaying);
        event->ignore();
        return;
    }
    if (settings_.shogi.Save) SaveSettingsAtExit();
    if (session_.isOpen()) DeleteWorkingCommentFile(session_.store.files);
    comment_->close();
    mode_ = Mode::None;
    event->accept();
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
