#include "gui/mainwindow/game_input.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

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
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_input.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/status_line.h"
#include "gui/mainwindow/window_sound.h"
#include "gui/store/store_commands.h"

namespace movra {
using namespace movra::literals;

namespace {

// Two lines of the move list name the same move when they differ at most in the comment mark
// (bytes 4-5): a stored move with a comment and the same move entered again are one move.
bool SameMoveLine(const std::string& a, const std::string& b) {
    if (a.size() < 5 || b.size() < 5) return a == b;
    return a.compare(0, 3, b, 0, 3) == 0 && a.compare(5, std::string::npos, b, 5, std::string::npos) == 0;
}

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

// The result of ending a game: resigning makes the side that made the last move the winner, a foul
// the loser.
char EndCodeFor(GameEnding how, const TKifData& record) {
    const bool lastBySente = record.SideOf(record.moveCount) == 1;
    switch (how) {
        case GameEnding::Resign: return lastBySente ? endcode::kSenteWins : endcode::kGoteWins;
        case GameEnding::Foul: return lastBySente ? endcode::kGoteWins : endcode::kSenteWins;
        case GameEnding::Repetition: return endcode::kRepetition;
        case GameEnding::Impasse: return endcode::kImpasse;
        case GameEnding::LaterSenteWins: return endcode::kLaterSenteWins;
        case GameEnding::LaterGoteWins: return endcode::kLaterGoteWins;
        case GameEnding::LaterRepetition: return endcode::kLaterRepetition;
        case GameEnding::LaterImpasse: return endcode::kLaterImpasse;
        case GameEnding::Interrupt: break;
    }
    return endcode::kInterrupted;
}

// A text padded with blanks and cut to `width` bytes, never inside a double-byte character.
std::string PadCut(std::string_view text, std::size_t width) {
    std::size_t n = std::min(text.size(), width);
    while (n > 0 && !IsCharBoundary(text, n)) --n;
    std::string out(text.substr(0, n));
    out.resize(width, ' ');
    return out;
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
    const int limit = w_.session_.isOpen() && !w_.session_.store.extended() ? 256 : kMaxMoves;
    // A handicap game keeps a placeholder before 上手's first move.
    return w_.record_.handicap != '0' ? limit - 1 : limit;
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

InfoAnswer GameInput::AskInfo(InfoMode mode) {
    if (infoAsker_) return infoAsker_(mode, index_, detail_);
    return InfoAnswer::Cancel;
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
    if (w_.prompter_->Confirm(std::string("保存されていない棋譜が残っています。\r破棄してよろしいですか？"_sj),
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
        // Only the abort button (Cancel here) closes the program with a game on the board.
        return w_.prompter_->Confirm(
                   std::string("棋譜入力中のため終了できません！\r\r強制終了する場合は「中止」をクリックして下さい。"_sj),
                   false, true) == Answer::Cancel;
    }
    if (!unsaved_) return true;
    if (asked != nullptr) *asked = true;
    switch (w_.prompter_->Confirm(std::string("保存されていない棋譜が残っています。\r\r保存しますか？"_sj), true, true)) {
        case Answer::Yes:
            // A game never stored is stored as a new game; the program stays open when it fails.
            return Save(kind_ == 1);
        case Answer::No:
            return true;
        case Answer::Cancel:
            return false;
    }
    return false;
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
            w_.prompter_->Inform(std::string("\r棋譜ファイルが読み込まれていません。"_sj));
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
    if (AskInfo(InfoMode::NewGame) != InfoAnswer::Ok) {
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
    if (!ReadIndexRecord(store, recordNumber_, index)) return;
    if (store.extended() && !ReadDetailRecord(store, long(recordNumber_), detail, *w_.prompter_)) return;
    index_ = index;
    detail_ = detail;
    const int oldKind = kind_;
    kind_ = 2;
    const std::uint16_t oldResult = index_.result();
    const InfoAnswer answer = AskInfo(InfoMode::Correction);
    if (answer == InfoAnswer::Cancel) {
        kind_ = oldKind;
        return;
    }
    TKifData& record = w_.record_;
    if (answer == InfoAnswer::Ok) {
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
        if (w_.prompter_->Confirm(std::string("\r棋譜を保存してよろしいですか？"_sj), true, false) == Answer::Yes) {
            Save(false);
            saveOver_ = false;
            RefreshMenus();
        }
        return;
    }
    // "棋譜も変更する": the moves are open for editing from any move on.
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
    if (AskInfo(InfoMode::HeaderChange) == InfoAnswer::Cancel) {
        index_ = oldIndex;
        detail_ = oldDetail;
        return;
    }
    ApplyHeaderTexts();
}

// --- moves -----------------------------------------------------------------------------------------------

void GameInput::Accept(const EnteredMove& move) {
    TKifData& record = w_.record_;
    GameReplay& replay = w_.replay_;
    const int n = move.moveNumber;
    const std::vector<std::string>& visible = replay.visibleList();
    if (static_cast<int>(visible.size()) < n) {
        replay.PutEnteredLine(n, move.line);
    } else if (!SameMoveLine(visible[std::size_t(n - 1)], move.line)) {
        // Another move than the one stored: the rest of the game goes.
        replay.CutLines(std::size_t(n - 1));
        replay.PutEnteredLine(n, move.line);
        record.moveCount = std::int16_t(n);
    }
    const ReplayStep step = replay.Forward();
    if (step.moved) {
        RecordMoveTime(n);
        w_.sound_->Forward(false, w_.SpokenLine(step.moveNumber));
    }
    unsaved_ = true;
    w_.AfterStep(step, false);
}

// --- ending and saving ------------------------------------------------------------------------------------

void GameInput::EndCommand(GameEnding how) {
    if (!active_) return;
    w_.StopReplay();
    w_.input_->PutBack();
    TKifData& record = w_.record_;
    GameReplay& replay = w_.replay_;
    if (record.currentMove < record.moveCount) {
        const Answer a = w_.prompter_->Confirm(
            std::string("最終手までの棋譜を有効にします。\rよろしいですか？\r\r現在の指し手までの棋譜を有効にする場合は\r「いいえ」を押して下さい"_sj),
            true, true);
        if (a == Answer::Cancel) return;
        if (a == Answer::No) {
            replay.CutLines(std::size_t(record.currentMove));
            record.moveCount = record.currentMove;
        }
    }
    Deactivate();
    record.moveCount = std::int16_t(std::min<std::size_t>(replay.visibleList().size(), kMaxMoves));
    const char code = EndCodeFor(how, record);
    record.endCode = code;
    index_.setResult(std::uint16_t(code - '0'));
    replay.PutEnteredLine(record.moveCount + 1, ResultLine(record.moveCount, record.handicap, code));
    replay.JumpTo(record.moveCount + 1);
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), CurrentHeader());
    record.SetSlotInUse(record.currentSlot, true);
    ended_ = true;
    w_.RefreshBoard();
    w_.RefreshList();
    w_.RefreshTime();
    const bool livePublishing = w_.settings_.ftp.Auto && w_.settings_.ftp.Func;
    if (kind_ == 1) {
        saveNew_ = true;
        saveOver_ = false;
        RefreshMenus();
        if (livePublishing) {
            Save(false);
            return;
        }
        if (w_.prompter_->Confirm(std::string("\r棋譜を保存してよろしいですか？"_sj), true, false) != Answer::Yes) return;
        if (!Save(true)) return;
        if (w_.prompter_->Confirm(std::string("\r続けて棋譜入力を行いますか？"_sj), true, false) == Answer::Yes) {
            NewGameCommand();
        }
    } else {
        saveNew_ = true;
        saveOver_ = true;
        RefreshMenus();
        if (livePublishing ||
            w_.prompter_->Confirm(std::string("\r棋譜を保存してよろしいですか？"_sj), true, false) == Answer::Yes) {
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

bool GameInput::Save(bool asNew) {
    StoreSession& session = w_.session_;
    if (!session.isOpen()) return false;
    TKifData& record = w_.record_;
    const GameStore& store = session.store;
    // A game not yet in the store is appended even when saved "over" itself.
    if (recordNumber_ < 1 || recordNumber_ > store.recordCount) asNew = true;
    const bool keepMoves = !asNew && headerOnly_;
    index_.setResult(std::uint16_t(record.endCode >= '0' && record.endCode <= '8' ? record.endCode - '0' : 0));
    index_.setHandicap(std::uint16_t(HandicapNumber(record.handicap)));
    MoveBytes moves{};
    MoveInfo info{};
    FillMoveBuffers(record, moves, info);
    WrittenGame written;
    try {
        written = WriteGame(store, index_, moves, asNew ? kAppendGame : long(recordNumber_), keepMoves, *w_.prompter_);
        if (!written.ok) return false;
        if (store.extended()) {
            if (!keepMoves) {
                // A new game frees nothing; a corrected one frees the comments it no longer has.
                if (asNew) {
                    SaveGameComments(store, record, std::span<const MoveRecord>(), 0, detail_, info, *w_.prompter_);
                } else {
                    SaveGameComments(store, record, asStored_, detail_, info, *w_.prompter_);
                }
                if (record.moveCount + 1 <= kMaxMoves) {
                    detail_.setClosingTime(record.moves[record.moveCount + 1].consumedTime);
                }
            }
            detail_.CopyIndexWords(index_);
            WriteGameDetail(store, detail_, info, long(written.recordNumber), keepMoves);
        }
    } catch (const StoreIoError& e) {
        w_.prompter_->Warn(e.what());
        return false;
    }
    recordNumber_ = written.recordNumber;
    GameCatalogue& catalogue = session.catalogue;
    const GameHeader header = CurrentHeader();
    bool inCatalogue = false;
    for (GameHeader& entry : catalogue.entries()) {
        if (entry.recordNumber == recordNumber_) {
            entry = header;
            inCatalogue = true;
        }
    }
    if (!inCatalogue) {
        // The new game lies beyond the catalogue: the store is opened again so that the list
        // holds it.
        const OpenStoreResult reopened = OpenStore(session, session.storePath, false, *w_.prompter_);
        if (reopened.opened) w_.ApplyOpenedStore(reopened);
    }
    if (!(w_.settings_.ftp.Auto && w_.settings_.ftp.Func)) {
        w_.prompter_->Inform(std::string("\r棋譜を保存しました！"_sj));
    }
    saveNew_ = false;
    saveOver_ = false;
    unsaved_ = false;
    headerOnly_ = false;
    kind_ = 0;
    asStored_ = record.TakeSnapshot();
    StoreSlot(record.currentSlot, std::int32_t(recordNumber_), SlotLabel(), header);
    record.SetSlotInUse(record.currentSlot, true);
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
    slotLabels_[std::size_t(slot)] = label;
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

void GameInput::StoreChanged() {
    for (int s = 0; s < kSlotCount; ++s) {
        w_.record_.SetSlotInUse(s, false);
        slots_[std::size_t(s)] = SlotState{};
        slotLabels_[std::size_t(s)].clear();
    }
    w_.record_.currentSlot = 0;
    Adopt(SlotState{});
    recordNumber_ = 0;
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
        if (kind_ == 1 && commentOpener_) commentOpener_(w_.record_.currentMove);
        return;
    }
    if (!w_.input_->movable()) OpenSlotChooser();
}

void GameInput::OpenSlotChooser() {
    if (active_) return;
    w_.StopReplay();
    const TKifData& record = w_.record_;
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
    const TKifData& record = w_.record_;
    QStringList lines;
    for (int s = 0; s < kSlotCount; ++s) {
        char head[16];
        std::snprintf(head, sizeof head, "%3d   ", s + 1);
        std::string line = head;
        if (!record.SlotInUse(s)) {
            line += std::string("未読込      "_sj) + std::string(14, ' ') + std::string(6, ' ');
        } else {
            // The slot's label: the sente name from character 10, the gote name from 34.
            const std::string label = s == record.currentSlot ? SlotLabel() : slotLabels_[std::size_t(s)];
            const std::string_view l(label);
            line += PadCut(l.size() > 9 ? l.substr(9, 14) : std::string_view(), 14) + " " +
                    PadCut(l.size() > 33 ? l.substr(33, 14) : std::string_view(), 14);
            char moveText[16];
            std::snprintf(moveText, sizeof moveText, "%7d",
                          s == record.currentSlot ? int(record.currentMove) : int(record.SlotCurrentMove(s)));
            line += moveText;
        }
        lines.append(ToQString(line));
    }
    return lines;
}

}  // namespace movra

namespace movra {

void GameInput::StartKifTime() {}

void GameInput::RecordMoveTime(int moveNumber) { (void)moveNumber; }

void GameInput::ShowThinkingTime() {}

bool GameInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w_.board_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        RightClick();
        return true;
    }
    return false;
}

}  // namespace movra
