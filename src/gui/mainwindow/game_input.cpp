#include "gui/mainwindow/game_input.h"

#include <QApplication>
#include <QDate>
#include <QTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QAbstractButton>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "core/gameinfo/move_comment.h"
#include "core/input/game_input.h"
#include "core/input/live_timing.h"
#include "core/input/save_game.h"
#include "core/record/game_text.h"
#include "core/rules/notation.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/session/stored_game.h"
#include "gui/common/fonts.h"
#include "gui/common/gui_prompter.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/gameinfo/game_info_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/board_input.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/status_line.h"
#include "gui/mainwindow/window_sound.h"
#include "gui/store/store_commands.h"

namespace movra {
using namespace movra::literals;

namespace {

// "棋譜切り替え": the five slots, a free one refused with a beep while the chooser stays open.
int AskSlot(const QStringList& lines, int preselected, const std::vector<bool>& used, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SlotChooser"));
    dialog.setWindowTitle(QStringLiteral("棋譜切り替え"));
    auto* list = new QListWidget(&dialog);
    list->setFont(SystemFont(QStringLiteral("ＭＳ ゴシック"), 14));
    list->addItems(lines);
    list->setCurrentRow(preselected);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    const auto choose = [&] {
        const int row = list->currentRow();
        if (row >= 0 && row < static_cast<int>(used.size()) && !used[std::size_t(row)]) {
            QApplication::beep();
            return;
        }
        dialog.accept();
    };
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, choose);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, choose);
    dialog.resize(460, 200);
    PlaceCentred(&dialog, parent);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return list->currentRow();
}

// A text padded with blanks and cut to `width` bytes, never inside a double-byte character.
std::string PadCut(std::string_view text, std::size_t width) {
    std::size_t n = std::min(text.size(), width);
    while (n > 0 && !IsCharBoundary(text, n)) --n;
    std::string out(text.substr(0, n));
    out.resize(width, ' ');
    return out;
}

// The core's ending command of a menu item.
EndCommand EndCommandFor(GameEnding how) {
    switch (how) {
        case GameEnding::Resign: return EndCommand::Resign;
        case GameEnding::Foul: return EndCommand::IllegalLoss;
        case GameEnding::Repetition: return EndCommand::Repetition;
        case GameEnding::Impasse: return EndCommand::Impasse;
        case GameEnding::LaterSenteWins: return EndCommand::LaterSenteWins;
        case GameEnding::LaterGoteWins: return EndCommand::LaterGoteWins;
        case GameEnding::LaterRepetition: return EndCommand::LaterRepetition;
        case GameEnding::LaterImpasse: return EndCommand::LaterImpasse;
        case GameEnding::Interrupt: break;
    }
    return EndCommand::Interrupt;
}

}  // namespace

GameInput::GameInput(MainWindow& window) : QObject(&window), w_(window) {
    thinkingTimer_.setObjectName(QStringLiteral("ThinkTimer"));
    thinkingTimer_.setInterval(2000);
    connect(&thinkingTimer_, &QTimer::timeout, this, &GameInput::ShowThinkingTime);
    w_.board_->installEventFilter(this);
}

// --- state shown in the menus and the status line ---------------------------------------------------

void GameInput::RefreshMenus() {
    EntryState state;
    state.inputActive = active_;
    state.storedGameShown = w_.session_.isOpen() && recordNumber_ >= 1 &&
                            recordNumber_ <= w_.session_.store.recordCount && kind_ != 1;
    state.saveNew = saveNew_;
    state.saveOver = saveOver_;
    w_.menus_->setEntryState(state);
}

int GameInput::MoveLimit() const {
    return movra::MoveLimit(!w_.session_.isOpen() || w_.session_.store.extended(), w_.record_.handicap);
}

void GameInput::Activate() {
    active_ = true;
    unsaved_ = true;
    ended_ = false;
    w_.input_->entry().setMoveLimit(MoveLimit());
    w_.input_->setMovable(true);
    w_.menus_->setInputLock(true);
    RefreshMenus();
    w_.RefreshTime();
    if (!w_.settings_.html.OutPath[0].empty()) {
        StartKifTime();
        thinkingTimer_.start();
    }
}

void GameInput::Deactivate() {
    active_ = false;
    thinkingTimer_.stop();
    w_.input_->setMovable(false);
    w_.menus_->setInputLock(false);
    RefreshMenus();
    w_.RefreshTime();
    w_.RefreshHeader();
}

GameInfoAnswer GameInput::AskInfo(GameInfoMode mode) {
    if (infoAsker_) return infoAsker_(mode, index_, detail_);
    TKifData& record = w_.record_;
    // A game not in the store yet has its times edited on the window's copies.
    MoveBytes moves{};
    MoveInfo info{};
    FillMoveBuffers(record, moves, info);
    GameInfoContext context{w_.session_, w_.settings_, *w_.prompter_, &w_.replay_.fullList(), &info};
    context.pickerTopRows = &pickerRows_;
    const GameInfoOutcome outcome = RunGameInfoDialog(&w_, mode, false, index_, detail_, recordNumber_, context);
    if (outcome.times) {
        // The consumed times the editor stored go into the game record too.
        const bool handicap = record.handicap != '0';
        for (int m = 1; m <= record.moveCount; ++m) {
            const int entry = handicap ? m : m - 1;
            if (entry < kMoveInfoEntries) record.moves[std::size_t(m)].consumedTime = outcome.times->entryTimes[std::size_t(entry)];
        }
        if (record.moveCount + 1 <= kMaxMoves) record.moves[std::size_t(record.moveCount + 1)].consumedTime = outcome.times->closingTime;
        w_.RefreshList();
        w_.RefreshTime();
    }
    return outcome.answer;
}

GameHeader GameInput::CurrentHeader() const {
    GameHeader header;
    HeaderFromIndexRecord(index_, recordNumber_, header);
    return header;
}

void GameInput::ApplyHeaderTexts() {
    const StoreSession& s = w_.session_;
    GameHeaderTexts t;
    t.senteName = Trim(s.players.DisplayName(index_.sentePlayer()));
    t.goteName = Trim(s.players.DisplayName(index_.gotePlayer()));
    if (index_.sentePlayer() == 0) t.senteName = Trim(detail_.senteName());
    if (index_.gotePlayer() == 0) t.goteName = Trim(detail_.goteName());
    t.dateText = StoredDateText(index_.year(), index_.month(), index_.day());
    t.tournament = Trim(s.tournaments.DisplayName(index_.tournament()));
    t.tournamentDetail = Trim(s.tournaments.SubDisplayName(index_.tournament(), index_.subTournament()));
    t.gameNumber = index_.gameNumber() == 0 ? std::string() : ZeroPad(index_.gameNumber(), 2);
    t.opening = Trim(s.openings.DisplayName(index_.opening()));
    w_.texts_ = t;
    w_.RefreshHeader();
}

// --- questions -------------------------------------------------------------------------------------

bool GameInput::MayDiscardUnsaved() {
    if (!unsaved_) return true;
    if (w_.prompter_->Confirm(DiscardUnsavedQuestion(),
                              false, true) != Answer::Yes) {
        return false;
    }
    unsaved_ = false;
    headerOnly_ = false;
    saveNew_ = false;
    saveOver_ = false;
    FreeCurrentSlot();
    RefreshMenus();
    return true;
}

bool GameInput::MayClose(bool* asked) {
    if (asked != nullptr) *asked = false;
    if (active_) {
        if (asked != nullptr) *asked = true;
        const std::string text("棋譜入力中のため終了できません！\r\r強制終了する場合は「中止」をクリックして下さい。"_sj);
        if (w_.ownPrompter_) {
            // The warning has the buttons OK and 中止; only 中止 closes the program.
            QMessageBox box(QMessageBox::Warning, w_.windowTitle(), MessageText(text),
                            QMessageBox::Ok | QMessageBox::Abort, &w_);
            box.button(QMessageBox::Abort)->setText(QStringLiteral("中止"));
            return box.exec() == QMessageBox::Abort;
        }
        // A prompter of its own answers Cancel for 中止.
        return w_.prompter_->Confirm(text, false, true) == Answer::Cancel;
    }
    // The game on the board first, then any other slot's game that was left unsaved (shown
    // before it is asked about).
    for (int pass = 0; pass <= kSlotCount; ++pass) {
        if (!unsaved_) {
            int other = -1;
            for (int s = 0; s < kSlotCount && other < 0; ++s) {
                if (s != w_.record_.currentSlot && w_.record_.SlotInUse(s) && slots_[std::size_t(s)].unsaved) other = s;
            }
            if (other < 0) return true;
            SwitchToSlot(other);
        }
        if (asked != nullptr) *asked = true;
        switch (w_.prompter_->Confirm(SaveUnsavedQuestion(), true, true)) {
            case Answer::Yes:
                // A game never stored is stored as a new game; the program stays open when the
                // save fails.
                if (!Save(kind_ == 1)) return false;
                break;
            case Answer::No:
                unsaved_ = false;
                break;
            case Answer::Cancel:
                return false;
        }
    }
    return true;
}

bool GameInput::MakeRoomForOtherGame() {
    if (!unsaved_) return true;
    // The unsaved game keeps its slot; the game coming takes a free one.
    TKifData& record = w_.record_;
    const int free = record.FindFreeSlot(-1);
    if (free < 0) return MayDiscardUnsaved();
    SaveCurrentToSlot();
    slots_[std::size_t(record.currentSlot)] = Capture();
    record.currentSlot = free;
    Adopt(SlotState{});
    recordNumber_ = 0;
    return true;
}

// --- new game and correction -------------------------------------------------------------------------

void GameInput::NewGameCommand() {
    if (active_ || w_.mode_ != MainWindow::Mode::Game) return;
    w_.StopReplay();
    if (w_.study_.active()) w_.ToggleStudyMode();
    if (!MayDiscardUnsaved()) return;
    if (!w_.session_.isOpen()) {
        w_.storeCommands_->NewStoreCommand();
        if (!w_.session_.isOpen()) {
            w_.prompter_->Inform(NoStoreForInputMessage());
            return;
        }
    }
    w_.replay_.SetStyle(ListStyle::WholeGame);
    const SlotState before = Capture();
    const std::string beforeLabel = SlotLabel();
    const GameHeader beforeHeader = CurrentHeader();
    const IndexRecord oldIndex = index_;
    const DetailRecord oldDetail = detail_;
    const std::uint32_t oldRecord = recordNumber_;
    const int oldKind = kind_;
    index_ = IndexRecord{};
    detail_ = DetailRecord{};
    const QDate today = QDate::currentDate();
    index_.setYear(std::uint16_t(today.year()));
    index_.setMonth(std::uint16_t(today.month()));
    index_.setDay(std::uint16_t(today.day()));
    recordNumber_ = w_.session_.store.recordCount + 1;
    kind_ = 1;
    if (AskInfo(GameInfoMode::NewGame) != GameInfoAnswer::Ok) {
        index_ = oldIndex;
        detail_ = oldDetail;
        recordNumber_ = oldRecord;
        kind_ = oldKind;
        return;
    }
    TKifData& record = w_.record_;
    // The game shown keeps its slot; the new one takes a free slot (the current one when all
    // five are in use).
    slots_[std::size_t(record.currentSlot)] = before;
    if (record.SlotInUse(record.currentSlot)) {
        StoreSlot(record.currentSlot, std::int32_t(oldRecord), beforeLabel, beforeHeader);
    }
    const int slot = record.FindFreeSlot(record.currentSlot);
    record.currentSlot = slot;
    const int handicap = std::min<int>(index_.handicap(), kHandicapCount - 1);
    record.ResetHeader(handicap);
    record.ClearMoves();
    record.boardFlipped = 0;
    record.SetUpStandard();
    ApplyHeaderTexts();
    headerOnly_ = false;
    saveNew_ = false;
    saveOver_ = false;
    StoreSlot(slot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
    record.SetSlotInUse(slot, true);
    asStored_ = record.TakeSnapshot();
    CreateWorkingCommentFile(w_.session_.store, *w_.prompter_);
    w_.extendedStore_ = w_.session_.store.extended();
    w_.indexStore_ = true;
    w_.commentSource_ = nullptr;
    w_.senteAllotted_ = detail_.senteAllowedMinutes() * 60u;
    w_.goteAllotted_ = detail_.goteAllowedMinutes() * 60u;
    w_.replay_.Clear();
    w_.LayOut();
    ApplyHeaderTexts();
    Activate();
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshComment();
}

void GameInput::CorrectionCommand() {
    if (active_ || w_.mode_ != MainWindow::Mode::Game) return;
    w_.StopReplay();
    if (w_.study_.active()) w_.ToggleStudyMode();
    if (!MayDiscardUnsaved()) return;
    const GameStore& store = w_.session_.store;
    if (!w_.session_.isOpen() || recordNumber_ < 1 || recordNumber_ > store.recordCount) return;
    w_.replay_.SetStyle(ListStyle::WholeGame);
    IndexRecord index;
    DetailRecord detail;
    // A game whose moves cannot all be read is not corrected (saving it over would lose them).
    TKifData check;
    if (!LoadGameForCorrection(store, long(recordNumber_), check, index, detail, *w_.prompter_)) return;
    index_ = index;
    detail_ = detail;
    const int oldKind = kind_;
    kind_ = 2;
    const std::uint16_t oldResult = index_.result();
    const GameInfoAnswer answer = AskInfo(GameInfoMode::Correction);
    if (answer == GameInfoAnswer::Cancel) {
        kind_ = oldKind;
        return;
    }
    TKifData& record = w_.record_;
    if (answer == GameInfoAnswer::Ok) {
        // "棋譜は変更しない": the header alone is saved over the stored game.
        unsaved_ = true;
        headerOnly_ = true;
        saveNew_ = true;
        saveOver_ = true;
        ApplyHeaderTexts();
        const char endCode = index_.result() <= 8 ? char('0' + index_.result()) : '0';
        const std::vector<std::string>& full = w_.replay_.fullList();
        if (index_.result() != oldResult && full.size() == std::size_t(record.moveCount) + 1) {
            record.endCode = endCode;
            const int shown = record.currentMove;
            const bool closingShown = w_.replay_.closingLineSelected();
            w_.replay_.PutEnteredLine(record.moveCount + 1, ResultLine(record.moveCount, record.handicap, endCode));
            w_.replay_.JumpTo(closingShown ? record.moveCount + 1 : shown);
        }
        record.endCode = endCode;
        RefreshMenus();
        w_.RefreshList();
        if (w_.prompter_->Confirm(SaveGameQuestion(), true, false) == Answer::Yes) {
            Save(false);
            saveOver_ = false;
            RefreshMenus();
        }
        return;
    }
    BeginMoveEditing();
}

bool GameInput::CorrectMoves(const IndexRecord& index, const DetailRecord& detail) {
    if (active_ || w_.mode_ != MainWindow::Mode::Game) return false;
    const GameStore& store = w_.session_.store;
    if (!w_.session_.isOpen() || recordNumber_ < 1 || recordNumber_ > store.recordCount) return false;
    IndexRecord stored;
    DetailRecord storedDetail;
    TKifData check;
    if (!LoadGameForCorrection(store, long(recordNumber_), check, stored, storedDetail, *w_.prompter_)) return false;
    w_.replay_.SetStyle(ListStyle::WholeGame);
    index_ = index;
    detail_ = detail;
    kind_ = 2;
    BeginMoveEditing();
    return true;
}

void GameInput::BeginMoveEditing() {
    // "棋譜も変更する": the moves are open for editing from any move on.
    TKifData& record = w_.record_;
    const GameStore& store = w_.session_.store;
    unsaved_ = true;
    headerOnly_ = false;
    record.endCode = endcode::kInterrupted;
    if (record.moveCount + 1 <= kMaxMoves) record.moves[record.moveCount + 1].consumedTime = 0;
    const int shown = std::min<int>(record.currentMove, record.moveCount);
    w_.replay_.CutLines(std::size_t(record.moveCount));
    w_.replay_.JumpTo(shown);
    if (store.extended()) {
        StoredGameEdit edit = BeginEditingStoredGame(store, record, *w_.prompter_);
        asStored_ = edit.asStored;
    } else {
        asStored_ = record.TakeSnapshot();
    }
    ApplyHeaderTexts();
    Activate();
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshComment();
}

void GameInput::ChangeInfoCommand() {
    if (!active_) return;
    const IndexRecord oldIndex = index_;
    const DetailRecord oldDetail = detail_;
    if (AskInfo(GameInfoMode::HeaderChange) == GameInfoAnswer::Cancel) {
        index_ = oldIndex;
        detail_ = oldDetail;
        return;
    }
    ApplyHeaderTexts();
}

// --- moves -----------------------------------------------------------------------------------------------

void GameInput::Accept(const EnteredMove& move) {
    GameReplay& replay = w_.replay_;
    // The line goes into both lists; a move other than the stored one drops the rest of the game.
    ReplayLists lists = replay.SaveLists();
    PlaceEnteredLine(w_.record_, lists.full, lists.visible, move.moveNumber, move.line);
    replay.RestoreLists(std::move(lists));
    const ReplayStep step = replay.Forward();
    if (step.moved) {
        RecordMoveTime(step.moveNumber);
        w_.sound_->Forward(false, w_.SpokenLine(step.moveNumber));
    }
    unsaved_ = true;
    w_.AfterStep(step, false);
    if (LivePublishing()) SaveEnteredMove();
    emit moveEntered();
}

bool GameInput::LivePublishing() const { return w_.settings_.ftp.Auto && w_.settings_.ftp.Func; }

void GameInput::SaveEnteredMove() {
    // The game goes on: it is stored without a result, and input stays as it is. A failed write
    // has said so; the game stays unsaved and the next move tries again.
    const SavedGame saved = WriteGame(false);
    if (!saved.ok) return;
    unsaved_ = false;
    // The working comments are stored comments now; a comment edited later gets a working slot
    // of its own again, and the save after it frees the stored one it replaces.
    ForgetStoredWorkingComments(w_.record_, saved);
    asStored_ = w_.record_.TakeSnapshot();
}

// --- ending and saving ------------------------------------------------------------------------------------

void GameInput::EndCommand(GameEnding how) {
    if (!active_) return;
    w_.StopReplay();
    w_.input_->PutBack();
    TKifData& record = w_.record_;
    GameReplay& replay = w_.replay_;
    const EndTruncation truncation = AskEndTruncation(record, *w_.prompter_);
    if (truncation == EndTruncation::Cancel) return;
    Deactivate();
    ReplayLists lists = replay.SaveLists();
    const char code = EndGame(record, lists.full, lists.visible, EndCommandFor(how), truncation);
    replay.RestoreLists(std::move(lists));
    index_.setResult(std::uint16_t(code - '0'));
    // The closing line is selected.
    replay.JumpTo(record.moveCount + 1);
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
    record.SetSlotInUse(record.currentSlot, true);
    ended_ = true;
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshTime();
    const bool livePublishing = LivePublishing();
    emit moveEntered();
    if (kind_ == 1) {
        saveNew_ = true;
        saveOver_ = false;
        RefreshMenus();
        if (livePublishing) {
            Save(false);
            return;
        }
        if (w_.prompter_->Confirm(SaveGameQuestion(), true, false) != Answer::Yes) return;
        if (!Save(true)) return;
        if (w_.prompter_->Confirm(ContinueInputQuestion(), true, false) == Answer::Yes) {
            NewGameCommand();
        }
    } else {
        saveNew_ = true;
        saveOver_ = true;
        RefreshMenus();
        if (livePublishing ||
            w_.prompter_->Confirm(SaveGameQuestion(), true, false) == Answer::Yes) {
            Save(false);
        }
    }
}

bool GameInput::SaveNewCommand() {
    if (active_ || !saveNew_) return false;
    return Save(true);
}

bool GameInput::SaveOverCommand() {
    if (active_ || !saveOver_) return false;
    return Save(false);
}

SavedGame GameInput::WriteGame(bool asNew) {
    StoreSession& session = w_.session_;
    if (!session.isOpen()) return SavedGame{};
    TKifData& record = w_.record_;
    if (recordNumber_ < 1 || recordNumber_ > session.store.recordCount) asNew = true;
    index_.setResult(std::uint16_t(record.endCode >= '0' && record.endCode <= '8' ? record.endCode - '0' : 0));
    index_.setHandicap(std::uint16_t(HandicapNumber(record.handicap)));
    const SavedGame saved =
        asNew ? SaveNewGame(session, record, index_, detail_, *w_.prompter_)
              : SaveOverStoredGame(session, long(recordNumber_), record, index_, detail_, asStored_,
                                   headerOnly_, *w_.prompter_);
    if (!saved.ok) return saved;
    recordNumber_ = saved.recordNumber;
    if (w_.gameList_ != nullptr) w_.gameList_->SetCatalogue();
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
    record.SetSlotInUse(record.currentSlot, true);
    return saved;
}

bool GameInput::Save(bool asNew) {
    if (!WriteGame(asNew).ok) return false;
    TKifData& record = w_.record_;
    if (!LivePublishing()) w_.prompter_->Inform(GameSavedMessage());
    saveNew_ = false;
    saveOver_ = false;
    unsaved_ = false;
    headerOnly_ = false;
    kind_ = 0;
    // The comments the game now refers to are the stored ones.
    asStored_ = record.TakeSnapshot();
    // The move list marks the moves with stored comments.
    const int shown = w_.replay_.selection() + 1;
    const std::vector<std::string> lines = MoveListLines(record);
    ReplayLists lists = w_.replay_.SaveLists();
    lists.full = lines;
    lists.visible = lines;
    w_.replay_.RestoreLists(std::move(lists));
    w_.replay_.JumpTo(shown);
    w_.RefreshList();
    RefreshMenus();
    return true;
}

// --- game slots ------------------------------------------------------------------------------------------

GameInput::SlotState GameInput::Capture() const {
    return SlotState{kind_, unsaved_, headerOnly_, saveNew_, saveOver_, index_, detail_};
}

void GameInput::Adopt(const SlotState& state) {
    kind_ = state.kind;
    unsaved_ = state.unsaved;
    headerOnly_ = state.headerOnly;
    saveNew_ = state.saveNew;
    saveOver_ = state.saveOver;
    index_ = state.index;
    detail_ = state.detail;
}

void GameInput::StoreSlot(int slot, std::int32_t recordNumber, const std::string& label,
                          const GameHeader& header) {
    w_.record_.SaveSlot(slot, recordNumber, label, header);
}

void GameInput::SaveCurrentToSlot() {
    TKifData& record = w_.record_;
    if (!record.SlotInUse(record.currentSlot)) return;
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
}

void GameInput::FreeCurrentSlot() {
    TKifData& record = w_.record_;
    record.SetSlotInUse(record.currentSlot, false);
}

void GameInput::StoreChanged() { FreeAllSlots(); }

void GameInput::FollowRecords(const RecordRenumbering& renumbering) {
    if (renumbering.empty()) return;
    TKifData& record = w_.record_;
    for (int s = 0; s < kSlotCount; ++s) {
        const std::int32_t n = record.SlotRecordNumber(s);
        if (record.SlotInUse(s) && n > 0) record.SetSlotRecordNumber(s, std::int32_t(renumbering.Follow(std::uint32_t(n))));
    }
    if (recordNumber_ == 0) return;
    recordNumber_ = renumbering.Follow(recordNumber_);
    // The comments of a deleted game are gone with it.
    if (recordNumber_ == 0) w_.setCommentSource(nullptr);
    RefreshMenus();
}

void GameInput::FreeAllSlots() {
    for (int s = 0; s < kSlotCount; ++s) {
        w_.record_.SetSlotInUse(s, false);
        slots_[std::size_t(s)] = SlotState{};
    }
    w_.record_.currentSlot = 0;
    Adopt(SlotState{});
    recordNumber_ = 0;
    RefreshMenus();
}

bool GameInput::MayTakeGivenFile(bool store) {
    if (active_) {
        w_.prompter_->Inform("\r対局／棋譜入力中はこの操作はできません！"_sj);
        return false;
    }
    return store ? MayDiscardUnsaved() : MakeRoomForOtherGame();
}

void GameInput::UnstoredGameShown() {
    Adopt(SlotState{});
    recordNumber_ = 0;
    asStored_ = w_.record_.TakeSnapshot();
    RefreshMenus();
}

void GameInput::StoredGameShown(std::uint32_t recordNumber) {
    TKifData& record = w_.record_;
    recordNumber_ = recordNumber;
    kind_ = 0;
    unsaved_ = false;
    headerOnly_ = false;
    saveNew_ = false;
    saveOver_ = false;
    ReadIndexRecord(w_.session_.store, recordNumber, index_);
    detail_ = DetailRecord{};
    if (w_.session_.store.extended()) ReadDetailRecord(w_.session_.store, long(recordNumber), detail_, *w_.prompter_);
    asStored_ = record.TakeSnapshot();
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
    record.SetSlotInUse(record.currentSlot, true);
    RefreshMenus();
}

void GameInput::RightClick() {
    if (w_.mode_ != MainWindow::Mode::Game) return;
    if (active_) {
        if (kind_ != 1) return;
        if (commentOpener_) {
            commentOpener_(w_.record_.currentMove);
        } else {
            EditComment();
        }
        return;
    }
    if (!w_.input_->movable()) OpenSlotChooser();
}

void GameInput::EditComment() {
    TKifData& record = w_.record_;
    const GameStore& store = w_.session_.store;
    const int point = record.currentMove;
    const std::vector<std::string>& lines = w_.replay_.fullList();
    const std::string line = point >= 1 && std::size_t(point) <= lines.size() ? lines[std::size_t(point - 1)] : std::string();
    const MoveRecord& move = record.moves[std::size_t(point)];
    std::string text;
    if (move.workingComment != 0) {
        text = ReadComment(store, kWorkingCommentFile, move.workingComment, *w_.prompter_);
    } else if (move.commentRecord != 0) {
        text = ReadComment(store, move.commentFile, move.commentRecord, *w_.prompter_);
    }
    const std::optional<CommentEdit> edit =
        w_.comment_->Edit(point, record.moveCount, line, text, move.consumedTime, *w_.prompter_);
    if (!edit) return;
    // The comment waits in the working comment file until the game is saved.
    if (StoreWorkingComment(store, record, *edit, *w_.prompter_)) unsaved_ = true;
    w_.RefreshList();
}

void GameInput::OpenSlotChooser() {
    if (active_) return;
    w_.StopReplay();
    const TKifData& record = w_.record_;
    SaveCurrentToSlot();
    const QStringList lines = SlotLines();
    std::vector<bool> used;
    for (int s = 0; s < kSlotCount; ++s) used.push_back(record.SlotInUse(s));
    for (;;) {
        const int chosen = slotAsker_ ? slotAsker_(lines, record.currentSlot)
                                      : AskSlot(lines, record.currentSlot, used, &w_);
        if (chosen < 0 || chosen >= kSlotCount || chosen == record.currentSlot) return;
        if (!used[std::size_t(chosen)]) {
            QApplication::beep();
            continue;
        }
        SwitchToSlot(chosen);
        return;
    }
}

void GameInput::SwitchToSlot(int slot) {
    TKifData& record = w_.record_;
    if (!MayDiscardUnsaved()) return;
    SaveCurrentToSlot();
    slots_[std::size_t(record.currentSlot)] = Capture();
    const SlotContents contents = record.LoadSlot(slot);
    record.currentSlot = slot;
    Adopt(slots_[std::size_t(slot)]);
    recordNumber_ = std::uint32_t(contents.recordNumber);
    record.Rebuild();
    const int shown = record.currentMove;
    w_.replay_.TakeOver(MoveListLines(record), true);
    w_.replay_.JumpTo(shown);
    asStored_ = record.TakeSnapshot();
    ApplyHeaderTexts();
    RefreshMenus();
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshTime();
    w_.RefreshComment();
}

std::string GameInput::SlotLabel() const {
    // The record number, then both names in columns wide enough for the chooser's 14 bytes.
    char number[16];
    std::snprintf(number, sizeof number, "%8u ", unsigned(recordNumber_));
    return number + PadCut(w_.texts_.senteName, 24) + PadCut(w_.texts_.goteName, 24);
}

QStringList GameInput::SlotLines() const {
    QStringList lines;
    for (const std::string& line : SlotChooserLines(w_.record_)) lines.append(ToQString(line));
    return lines;
}

}  // namespace movra

namespace movra {

// --- live timing --------------------------------------------------------------------------------------------

std::optional<LiveTimingFile> GameInput::TimingFile() const {
    if (w_.settings_.html.OutPath[0].empty()) return std::nullopt;
    // [HTML] KifTime holds five fields at fixed places: hh:nn:ss,hh:nn:ss,mm,hh:nn:ss,mm.
    const std::string& text = w_.settings_.html.KifTime;
    const auto field = [&text](std::size_t at, std::size_t length) {
        return at < text.size() ? text.substr(at, length) : std::string();
    };
    const std::array<std::string, 5> fields{field(0, 8), field(9, 8), field(18, 2), field(21, 8), field(30, 2)};
    return LiveTimingFile(w_.programFolder_, ParseTimingSchedule(fields));
}

int GameInput::Now() const {
    if (clock_) return clock_();
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

void GameInput::StartKifTime() {
    if (auto file = TimingFile()) file->Start(w_.record_.currentMove);
}

void GameInput::RecordMoveTime(int moveNumber) {
    auto file = TimingFile();
    if (!file) return;
    if (const auto seconds = file->RecordMove(moveNumber, Now())) {
        w_.record_.moves[std::size_t(moveNumber)].consumedTime = *seconds;
    }
}

void GameInput::ShowThinkingTime() {
    const auto file = TimingFile();
    if (!active_ || ended_ || !file) return;
    if (const auto text = file->StatusText(w_.record_.currentMove + 1, Now())) {
        w_.status_->setHeaderText(ToQString(*text));
    }
}

bool GameInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w_.board_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        RightClick();
        return true;
    }
    return false;
}

}  // namespace movra
