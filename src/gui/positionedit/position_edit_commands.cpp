#include "gui/positionedit/position_edit_commands.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include "core/positionedit/single_position.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/viewing/board_mapping.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_input.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/move_list_view.h"
#include "gui/mainwindow/read_aloud_button.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/mainwindow/status_line.h"
#include "gui/matesearch/mate_command.h"
#include "gui/positionedit/edit_buttons.h"
#include "gui/positionedit/position_dialogs.h"
#include "gui/positionedit/spare_box_view.h"
#include "gui/positions/position_commands.h"

namespace movra {
using namespace movra::literals;

PositionEditCommands::PositionEditCommands(MainWindow& window) : QObject(&window), w_(window) {
    QWidget* central = w_.centralWidget();
    box_ = new SpareBoxView(central);
    box_->hide();
    floating_ = new QLabel(central);
    floating_->setObjectName(QStringLiteral("EditHeldPiece"));
    floating_->setAttribute(Qt::WA_TransparentForMouseEvents);
    floating_->hide();
    for (QWidget* w : {static_cast<QWidget*>(w_.board_), static_cast<QWidget*>(w_.senteHand_),
                       static_cast<QWidget*>(w_.goteHand_), static_cast<QWidget*>(box_)}) {
        w->installEventFilter(this);
    }

    auto afterMenu = [this] {
        w_.RefreshBoard();
        Redraw();
    };
    boxMenu_ = new QMenu(&w_);
    boxMenu_->setObjectName(QStringLiteral("BoxMenu"));
    connect(boxMenu_->addAction(QStringLiteral("後手持駒へ移動(&G)")), &QAction::triggered, this, [this, afterMenu] {
        MoveBoxToHand(w_.record_.position, side::kGote);
        afterMenu();
    });
    connect(boxMenu_->addAction(QStringLiteral("先手持駒へ移動(&S)")), &QAction::triggered, this, [this, afterMenu] {
        MoveBoxToHand(w_.record_.position, side::kSente);
        afterMenu();
    });
    senteMenu_ = new QMenu(&w_);
    senteMenu_->setObjectName(QStringLiteral("SenteHandMenu"));
    connect(senteMenu_->addAction(QStringLiteral("不要駒置き場へ移動(&G)")), &QAction::triggered, this,
            [this, afterMenu] {
                MoveHandToBox(w_.record_.position, side::kSente);
                afterMenu();
            });
    goteMenu_ = new QMenu(&w_);
    goteMenu_->setObjectName(QStringLiteral("GoteHandMenu"));
    connect(goteMenu_->addAction(QStringLiteral("不要駒置き場へ移動(&G)")), &QAction::triggered, this,
            [this, afterMenu] {
                MoveHandToBox(w_.record_.position, side::kGote);
                afterMenu();
            });
}

PositionEditCommands::~PositionEditCommands() = default;

bool PositionEditCommands::active() const { return w_.mode_ == MainWindow::Mode::PositionEditing; }

// --- entering and leaving ------------------------------------------------------------------------

void PositionEditCommands::EnterCommand() {
    if (active()) return;
    if (!w_.session_.isOpen()) {
        w_.prompter_->Inform(std::string("棋譜ファイルが読み込まれていません！\r\r先に棋譜ファイルを読み込んでください。"_sj));
        return;
    }
    Begin();
}

bool PositionEditCommands::EditPosition(const BoardPosition& position, const std::string& senteName,
                                        const std::string& goteName) {
    if (w_.mode_ == MainWindow::Mode::None) return false;
    if (w_.gameInput_->active()) {
        w_.prompter_->Inform(std::string("\r対局／棋譜入力中はこの操作はできません！"_sj));
        return false;
    }
    if (w_.mate_->running()) return false;
    // From the game view the editing screen opens as button 6 opens it (an open store needed).
    if (!active()) EnterCommand();
    if (!active()) return false;
    BoardPosition p = position;
    Rebuild(p);
    w_.record_.ResetHeader(0);
    w_.record_.position = p;
    ClearNames();
    w_.texts_.senteName = senteName;
    w_.texts_.goteName = goteName;
    swapped_ = false;
    Redraw();
    return true;
}

void PositionEditCommands::Begin() {
    w_.StopReplay();
    w_.board_->finishSlide();
    keptTexts_ = w_.texts_;
    // Study mode is only paused: the moves tried so far stay in the record kept aside, and study
    // mode keeps the game it branched off until editing ends.
    keptStudy_ = w_.study_.active();
    if (keptStudy_) w_.panel_->setLatched(ReplayPanel::Study, false);
    gamesDeleted_ = false;
    w_.input_->setMovable(false);
    w_.mode_ = MainWindow::Mode::PositionEditing;

    // What cannot be used on a set-up board: opening or making a store, the game's output, game
    // input and import.
    locked_.clear();
    MainMenus* m = w_.menus_;
    std::vector<QAction*> actions = {m->openStoreAction(), m->newStoreAction(), m->textOutputAction(),
                                     m->clipboardOutputAction(), m->printAction(),
                                     m->gameEntryMenu()->menuAction(), m->importMenu()->menuAction()};
    for (int i = 0; i < 10; ++i) actions.push_back(m->recentAction(i));
    for (QAction* a : actions) {
        if (a == nullptr) continue;
        locked_.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    w_.readAloud_->hide();

    kept_ = std::make_unique<TKifData::Snapshot>(w_.record_.TakeSnapshot());
    swapped_ = false;
    held_ = 0;
    // Only the names stay on the plates; the status line is for the editing board.
    GameHeaderTexts names;
    names.senteName = w_.texts_.senteName;
    names.goteName = w_.texts_.goteName;
    w_.texts_ = names;
    w_.comment_->hide();
    w_.moveList_->hide();
    w_.caption_->hide();
    box_->show();
    box_->raise();
    pictureSize_ = QSize();
    for (QWidget* w : {static_cast<QWidget*>(w_.board_), static_cast<QWidget*>(w_.senteHand_),
                       static_cast<QWidget*>(w_.goteHand_), static_cast<QWidget*>(box_)}) {
        w->setCursor(Qt::OpenHandCursor);
    }
    w_.status_->setTimeText(QString());
    Redraw();
}

void PositionEditCommands::EndMode() {
    qApp->removeEventFilter(this);
    floating_->hide();
    held_ = 0;
    flipping_ = 0;
    w_.mode_ = MainWindow::Mode::Game;
    for (const auto& [action, enabled] : locked_) action->setEnabled(enabled);
    locked_.clear();
    box_->hide();
    w_.moveList_->show();
    w_.caption_->show();
    w_.readAloud_->show();
    for (QWidget* w : {static_cast<QWidget*>(w_.board_), static_cast<QWidget*>(w_.senteHand_),
                       static_cast<QWidget*>(w_.goteHand_), static_cast<QWidget*>(box_)}) {
        w->unsetCursor();
    }
    w_.panel_->setPictures(&w_.pictures_);
    for (int n = 1; n <= 12; ++n) {
        PictureButton* b = w_.panel_->button(n);
        if (b->isEnabled()) b->setToolTip(ReplayButtonName(n));
        if (n != ReplayPanel::MateSearch) w_.panel_->setLatched(n, false);
    }
    pictureSize_ = QSize();
}

void PositionEditCommands::Leave() {
    if (!active()) return;
    EndMode();
    // The kept game lost its move list to a deletion (or study mode its game): an empty new game
    // takes its place.
    if (kept_ && ((kept_->moveCount() > 0 && w_.replay_.fullList().empty()) || (keptStudy_ && gamesDeleted_))) {
        kept_.reset();
        w_.ShowEmptyGame();
        return;
    }
    if (kept_) w_.record_.Restore(*kept_);
    kept_.reset();
    w_.texts_ = keptTexts_;
    if (keptStudy_) {
        w_.input_->setMovable(true);
        w_.panel_->setLatched(ReplayPanel::Study, true);
    }
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshHeader();
    w_.RefreshTime();
    w_.RefreshComment();
}

void PositionEditCommands::Abandon() {
    if (!active()) return;
    EndMode();
    kept_.reset();
    w_.texts_ = keptTexts_;
}

void PositionEditCommands::GamesDeleted() {
    if (!active()) return;
    gamesDeleted_ = true;
    w_.gameInput_->FreeAllSlots();
    w_.replay_.Clear();
}

// --- the panel ---------------------------------------------------------------------------------

void PositionEditCommands::PressButton(int number) {
    if (!active()) return;
    if (w_.mate_->running() && number != ReplayPanel::MateSearch) return;
    // Every command but the mate search lets its button up again.
    if (number != ReplayPanel::MateSearch) w_.panel_->setLatched(number, false);
    switch (number) {
        case 1: LoadCommand(); break;
        case 2: SaveCommand(); break;
        case 3: SetUp(true); break;
        case 4: DeleteCommand(); break;
        case 5: w_.OpenSearch(false); break;
        case 6: SwapCommand(); break;
        case 7: Leave(); break;
        case 8:
            w_.TurnBoard();
            Redraw();
            break;
        case 9: SetUp(false); break;
        case 10: w_.OpenGameList(); break;
        case 11: MateSearchCommand(); break;
        case 12: w_.positions_->AddShownPosition(); break;
        default: break;
    }
}

void PositionEditCommands::MateSearchCommand() {
    if (w_.mate_->running()) {
        w_.mate_->Press();  // stops the search
        return;
    }
    // The set-up board has no moves: the search starts from move 0, with sente to move and no
    // previous move, whatever game was shown before. The counts come back when the search ends.
    TKifData& record = w_.record_;
    asideCounts_ = {record.moveCount, record.currentMove};
    record.moveCount = 0;
    record.currentMove = 0;
    connect(w_.mate_, &MateCommand::finished, this, &PositionEditCommands::RestoreCounts,
            Qt::UniqueConnection);
    w_.mate_->Press();
    if (!w_.mate_->running()) RestoreCounts();  // the king's choice was cancelled or refused
}

void PositionEditCommands::RestoreCounts() {
    if (!asideCounts_) return;
    w_.record_.moveCount = asideCounts_->first;
    w_.record_.currentMove = asideCounts_->second;
    asideCounts_.reset();
}

void PositionEditCommands::ClearNames() {
    w_.texts_.senteName.clear();
    w_.texts_.goteName.clear();
}

void PositionEditCommands::SetUp(bool standard) {
    ClearNames();
    w_.record_.ResetHeader(0);
    if (standard) {
        w_.record_.SetUpStandard();
    } else {
        w_.record_.SetUpEmpty();
    }
    swapped_ = false;
    Redraw();
}

void PositionEditCommands::SwapCommand() {
    std::string& sente = w_.texts_.senteName;
    std::string& gote = w_.texts_.goteName;
    // Names as the plates show them: an empty name is the side's plain word.
    const bool handicap = w_.record_.handicap != '0';
    const std::string shownSente = !sente.empty() ? sente : std::string(handicap ? "下手"_sj : "先手"_sj);
    const std::string shownGote = !gote.empty() ? gote : std::string(handicap ? "上手"_sj : "後手"_sj);
    if (SwapExchangesNames(shownSente, shownGote)) std::swap(sente, gote);
    SwapSides(w_.record_.position);
    swapped_ = !swapped_;
    Redraw();
}

void PositionEditCommands::LoadCommand() {
    LoadPositionDialog dialog(LoadPositionDialog::Purpose::Load, w_.programFolder_, *w_.prompter_, &w_);
    PlaceCentred(&dialog, &w_);
    const bool accepted = loadAnswer_ ? loadAnswer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted) return;
    if (const std::optional<std::string> refused = LoadSinglePositionText(w_.record_, dialog.positionText())) {
        w_.prompter_->Warn(*refused);
        return;
    }
    ClearNames();
    swapped_ = false;
    Redraw();
}

void PositionEditCommands::SaveCommand() {
    SavePositionDialog dialog(w_.programFolder_, *w_.prompter_, &w_);
    PlaceCentred(&dialog, &w_);
    const bool accepted = saveAnswer_ ? saveAnswer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || dialog.fileName().empty()) return;
    w_.record_.Rebuild();
    if (!WriteSinglePosition(w_.programFolder_, dialog.fileName(), dialog.positionName(), w_.record_.position)) {
        w_.prompter_->Warn("\r"_sj + dialog.fileName() + " に保存できませんでした！"_sj);
    }
}

void PositionEditCommands::DeleteCommand() {
    LoadPositionDialog dialog(LoadPositionDialog::Purpose::Delete, w_.programFolder_, *w_.prompter_, &w_);
    PlaceCentred(&dialog, &w_);
    const bool accepted = loadAnswer_ ? loadAnswer_(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted) return;
    if (!DeleteSinglePosition(w_.programFolder_, dialog.fileName())) {
        w_.prompter_->Warn("\r"_sj + dialog.fileName() + " は削除できません！"_sj);
    }
}

DiagramSource PositionEditCommands::EditingDiagramSource() const {
    const TKifData& record = w_.record_;
    DiagramSource s;
    // The shown move's line is made from the game kept aside, which still stands at that move;
    // a set-up or loaded position has none (its current move is 0).
    if (kept_ && record.currentMove > 0 && record.currentMove == kept_->currentMove()) {
        TKifData game;
        game.Restore(*kept_);
        s = GameDiagramSource(game, {}, {});
        s.lastMove.reset();
    }
    s.position = record.position;
    s.gameView = false;
    s.turned = (record.boardFlipped != 0) != swapped_;
    s.handicapGame = record.handicap != '0';
    s.senteName = w_.texts_.senteName;
    s.goteName = w_.texts_.goteName;
    return s;
}

// --- drawing -----------------------------------------------------------------------------------

void PositionEditCommands::Redraw() {
    w_.RefreshBoard();  // calls Refresh() back while editing
    w_.RefreshHeader();
    Refresh();
}

void PositionEditCommands::Refresh() {
    if (!active()) return;
    w_.board_->setFramedSquare(std::nullopt);
    box_->setPictures(&w_.pictures_);
    box_->setGeometry(w_.caption_->geometry().united(w_.moveList_->geometry()));
    box_->setBox(BoxCounts(w_.record_.position));
    ApplyPanelPictures();
    problems_ = PositionProblems(w_.record_.position);
    QString text;
    for (const std::string& line : problems_) text += ToQString(line);
    w_.status_->setHeaderText(text);
}

void PositionEditCommands::ApplyPanelPictures() {
    const QSize size = w_.pictures_.buttonSize();
    if (size != pictureSize_) {
        for (int n = 1; n <= 12; ++n) {
            pictures_[std::size_t(n - 1)] = {EditButtonPicture(n, false, size), EditButtonPicture(n, true, size)};
        }
    }
    // The window's size and colour switches give the panel its replay pictures again.
    for (int n = 1; n <= 12; ++n) {
        PictureButton* b = w_.panel_->button(n);
        const auto& [up, down] = pictures_[std::size_t(n - 1)];
        if (size != pictureSize_ || b->property("editPicture").toLongLong() != up.cacheKey()) {
            b->setPictures(up, down);
            b->setProperty("editPicture", up.cacheKey());
            if (b->isEnabled()) b->setToolTip(EditButtonName(n));
        }
    }
    pictureSize_ = size;
}

// --- the mouse ---------------------------------------------------------------------------------

PositionEditCommands::PointTarget PositionEditCommands::TargetAt(QPoint global) const {
    PointTarget at;
    const QPoint onBoard = w_.board_->mapFromGlobal(global);
    if (w_.board_->isVisible() && w_.board_->rect().contains(onBoard)) {
        if (const std::optional<Square> square = w_.board_->squareAt(onBoard)) {
            at.target = {EditPlace::Board, *square};
        }
        return at;
    }
    for (HandView* hand : {w_.senteHand_, w_.goteHand_}) {
        const QPoint p = hand->mapFromGlobal(global);
        if (!hand->rect().contains(p)) continue;
        at.target.place = hand->side() == side::kGote ? EditPlace::GoteHand : EditPlace::SenteHand;
        for (int k = kind::Fu; k <= kind::Gyoku; ++k) {
            if (hand->hand()[std::size_t(k)] > 0 && hand->kindRect(k).contains(p)) at.kind = k;
        }
        return at;
    }
    const QPoint inBox = box_->mapFromGlobal(global);
    if (box_->isVisible() && box_->rect().contains(inBox)) {
        at.target.place = EditPlace::Box;
        for (int k = kind::Fu; k <= kind::Gyoku; ++k) {
            if (box_->box()[std::size_t(k)] > 0 && box_->kindRect(k).contains(inBox)) at.kind = k;
        }
    }
    return at;
}

int PositionEditCommands::PieceAt(const PointTarget& at) const {
    if (at.target.place == EditPlace::Board) return PieceOnSquare(w_.record_.position, at.target.square);
    if (at.kind == 0) return 0;
    return PieceInGroup(w_.record_.position, at.target.place, PieceKind(at.kind));
}

bool PositionEditCommands::eventFilter(QObject* watched, QEvent* event) {
    if (!active()) return false;
    const QEvent::Type type = event->type();
    const bool ours = watched == w_.board_ || watched == w_.senteHand_ || watched == w_.goteHand_ ||
                      watched == box_;
    if (!ours) {
        // While a piece is held the whole program is watched (see PickUp): released over any
        // other widget, the piece goes back where it was.
        if (held_ != 0 && type == QEvent::MouseButtonRelease && watched->isWidgetType() &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            Drop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove) {
        return false;
    }
    // While a mate search runs the set-up board does not answer.
    if (w_.mate_->running()) return type != QEvent::MouseMove;
    auto* e = static_cast<QMouseEvent*>(event);
    const QPoint global = e->globalPosition().toPoint();
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (e->button() == Qt::LeftButton) {
                if (held_ == 0) {
                    const int index = PieceAt(TargetAt(global));
                    if (index != 0) PickUp(index, global);
                }
            } else if (e->button() == Qt::RightButton && held_ == 0) {
                const PointTarget at = TargetAt(global);
                flipping_ = at.target.place == EditPlace::Board ? PieceAt(at) : 0;
            }
            return true;
        case QEvent::MouseMove:
            if (held_ != 0) MoveFloating(global);
            return held_ != 0;
        case QEvent::MouseButtonRelease:
            if (e->button() == Qt::LeftButton) {
                if (held_ != 0) Drop(global);
            } else if (e->button() == Qt::RightButton && held_ == 0) {
                const PointTarget at = TargetAt(global);
                if (at.target.place == EditPlace::Board) {
                    if (flipping_ != 0 && PieceAt(at) == flipping_ && FlipPiece(w_.record_.position, flipping_)) {
                        Redraw();
                    }
                } else if (at.target.place != EditPlace::Nowhere) {
                    ShowMenu(at, global);
                }
                flipping_ = 0;
            }
            return true;
        default:
            return false;
    }
}

void PositionEditCommands::PickUp(int index, QPoint global) {
    held_ = index;
    // The piece leaves its place while it is held: the board, hands and box are drawn without it.
    BoardPosition shown = w_.record_.position;
    shown.pieces[std::size_t(index)].present = 0;
    Rebuild(shown);
    w_.board_->setPosition(shown);
    w_.senteHand_->setHand(shown.senteHand);
    w_.goteHand_->setHand(shown.goteHand);
    box_->setBox(BoxCounts(shown));
    const PieceEntry& e = w_.record_.position.pieces[std::size_t(index)];
    const bool upright = e.file == location::kBox ? false : w_.board_->turned();
    const QPixmap& picture = w_.pictures_.piece(PictureNumber(e.code, upright));
    floating_->setPixmap(picture);
    floating_->resize(picture.size());
    for (QWidget* w : {static_cast<QWidget*>(w_.board_), static_cast<QWidget*>(w_.senteHand_),
                       static_cast<QWidget*>(w_.goteHand_), static_cast<QWidget*>(box_)}) {
        w->setMouseTracking(true);
        w->setCursor(Qt::ClosedHandCursor);
    }
    MoveFloating(global);
    floating_->show();
    floating_->raise();
    qApp->installEventFilter(this);
}

void PositionEditCommands::MoveFloating(QPoint global) {
    const QPoint p = floating_->parentWidget()->mapFromGlobal(global);
    floating_->move(p - QPoint(floating_->width() / 2, floating_->height() / 2));
}

void PositionEditCommands::Drop(QPoint global) {
    const int index = held_;
    held_ = 0;
    qApp->removeEventFilter(this);
    floating_->hide();
    for (QWidget* w : {static_cast<QWidget*>(w_.board_), static_cast<QWidget*>(w_.senteHand_),
                       static_cast<QWidget*>(w_.goteHand_), static_cast<QWidget*>(box_)}) {
        w->setMouseTracking(false);
        w->setCursor(Qt::OpenHandCursor);
    }
    // Dropped nowhere or on its own square: the piece is simply drawn where it was.
    DropPiece(w_.record_.position, index, TargetAt(global).target);
    Redraw();
}

void PositionEditCommands::ShowMenu(const PointTarget& at, QPoint global) {
    QMenu* menu = at.target.place == EditPlace::Box         ? boxMenu_
                  : at.target.place == EditPlace::SenteHand ? senteMenu_
                                                            : goteMenu_;
    menu->popup(global);
}

}  // namespace movra
