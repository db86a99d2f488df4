#pragma once
// Entering and correcting games on the main window: the entry menu's commands, the moves made with
// the mouse while input is active, taking back, the ways a game ends, saving into the store, the
// questions about a game not yet saved, the five game slots and the live thinking-time display.
// The window's parts (board, lists, status line, menus) stay the main window's; this drives them.
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/store/layout.h"
#include "core/record/game_header.h"
#include "core/gameinfo/game_info.h"
#include "core/input/live_timing.h"
#include "core/input/save_game.h"
#include "core/list/game_list_edit.h"
#include "core/record/kif_data.h"
#include "core/viewing/move_entry.h"
#include "core/text/prompter.h"
#include "gui/mainwindow/main_menus.h"

namespace movra {

class MainWindow;

class GameInput : public QObject {
    Q_OBJECT
public:
    // The game-information dialog: it edits the index record and the detail record in place.
    // Tests answer it here instead of a person; the dialog itself otherwise.
    using InfoAsker = std::function<GameInfoAnswer(GameInfoMode mode, IndexRecord& index, DetailRecord& detail)>;
    // The slot chooser: the five lines and the slot preselected; the slot chosen, or -1 (Cancel).
    // Choosing a free slot beeps and keeps the chooser open, so the answer is asked again.
    using SlotAsker = std::function<int(const QStringList& lines, int preselected)>;
    // The comment dialog of a move during new input (tests; EditComment otherwise).
    using CommentOpener = std::function<void(int moveIndex)>;

    explicit GameInput(MainWindow& window);

    // --- the entry menu ------------------------------------------------------------------------
    void NewGameCommand();
    void CorrectionCommand();
    void ChangeInfoCommand();
    // The game list's "棋譜修正" answered with "棋譜も変更する": the game just shown is opened for
    // move editing with the header the dialog gave. False when it cannot be.
    bool CorrectMoves(const IndexRecord& index, const DetailRecord& detail);
    void EndCommand(GameEnding how);
    // Saving as a new game and over the stored one; false when nothing was saved.
    bool SaveNewCommand();
    bool SaveOverCommand();

    // --- questions other commands ask --------------------------------------------------------
    // "保存されていない棋譜が残っています。\r破棄してよろしいですか？" when a game is unsaved;
    // true when the command may go on (nothing unsaved, or Yes: the game is dropped and its slot
    // freed).
    bool MayDiscardUnsaved();
    // Closing the program: refused while moves are entered (unless aborted), and the unsaved game
    // saved, dropped or the close cancelled. True when the program may close; `asked` tells
    // whether a question was put, so that the plain closing question is not asked as well.
    bool MayClose(bool* asked);

    // --- the board ------------------------------------------------------------------------------
    // A move accepted on the board while input is active.
    void Accept(const EnteredMove& move);
    // Right click on the board: the comment dialog during new input, the slot chooser in game mode.
    void RightClick();
    void OpenSlotChooser();
    // The comment of the move shown, edited in the comment window and kept as a working comment.
    void EditComment();
    // Before a game of the store replaces the one on the board: an unsaved game moves aside into
    // its slot and the new one gets a free slot (when none is free, the unsaved-game question).
    // False when the game on the board is to stay.
    bool MakeRoomForOtherGame();
    // A file handed to the program (on its command line or by a second copy) is about to replace
    // the game: refused while moves are entered; a store asks about an unsaved game, a game
    // record moves an unsaved game aside. False when the file is not to be taken.
    bool MayTakeGivenFile(bool store);
    // A game that is not in the store was put on the board.
    void UnstoredGameShown();
    // A game of the store was put on the board: it takes the current slot.
    void StoredGameShown(std::uint32_t recordNumber);
    // Another store was opened: every slot is free again.
    void StoreChanged();
    // Every slot freed: the games they held are no longer where they were in the store.
    void FreeAllSlots();
    // Games were deleted or exchanged in the store: the game on the board and those of the
    // slots follow their records to their new numbers, so that saving over one never writes on
    // another game. One that was deleted is no longer a stored game.
    void FollowRecords(const RecordRenumbering& renumbering);

    // --- state ---------------------------------------------------------------------------------
    bool active() const { return active_; }
    // 0 none, 1 a new game, 2 a correction.
    int kind() const { return kind_; }
    bool unsaved() const { return unsaved_; }
    bool headerOnly() const { return headerOnly_; }
    bool saveNewEnabled() const { return saveNew_; }
    bool saveOverEnabled() const { return saveOver_; }
    std::uint32_t recordNumber() const { return recordNumber_; }
    const IndexRecord& indexRecord() const { return index_; }
    const DetailRecord& detailRecord() const { return detail_; }
    // The most moves the board takes for the open store and the game's handicap.
    int MoveLimit() const;
    // The five lines of the slot chooser.
    QStringList SlotLines() const;
    QTimer* thinkingTimer() { return &thinkingTimer_; }
    // Live timing reads the clock here (seconds since midnight); tests set their own.
    void setClock(std::function<int()> clock) { clock_ = std::move(clock); }
    // Shows the thinking time of the move being made (the 2-second timer).
    void ShowThinkingTime();

    void setInfoAsker(InfoAsker asker) { infoAsker_ = std::move(asker); }
    void setSlotAsker(SlotAsker asker) { slotAsker_ = std::move(asker); }
    void setCommentOpener(CommentOpener opener) { commentOpener_ = std::move(opener); }
    // The menu items follow the state (also after a store was opened or a game shown).
    void RefreshMenus();

signals:
    // A move was entered on the board, or the game was ended (and saved when publishing live).
    void moveEntered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What each slot keeps of entering besides the game itself.
    struct SlotState {
        int kind = 0;
        bool unsaved = false;
        bool headerOnly = false;
        bool saveNew = false;
        bool saveOver = false;
        IndexRecord index;
        DetailRecord detail;
    };
    SlotState Capture() const;
    void Adopt(const SlotState& state);
    void SaveCurrentToSlot();
    void StoreSlot(int slot, std::int32_t recordNumber, const std::string& label, const GameHeader& header);
    void StartKifTime();
    std::optional<LiveTimingFile> TimingFile() const;
    int Now() const;
    GameInfoAnswer AskInfo(GameInfoMode mode);
    void BeginMoveEditing();
    void Activate();
    void Deactivate();
    void SwitchToSlot(int slot);
    bool Save(bool asNew);
    // Writes the game to the store: appended, or over stored game recordNumber_ (a game not yet
    // in the store is appended either way). The game's slot and the comments it refers to follow.
    SavedGame WriteGame(bool asNew);
    // Live publishing ([FTP] Auto and Func): each entered move goes to the store at once.
    bool LivePublishing() const;
    void SaveEnteredMove();
    void ApplyHeaderTexts();
    void RecordMoveTime(int moveNumber);
    std::string SlotLabel() const;
    GameHeader CurrentHeader() const;
    void FreeCurrentSlot();

    MainWindow& w_;
    bool active_ = false;
    int kind_ = 0;
    bool unsaved_ = false;
    bool headerOnly_ = false;
    bool saveNew_ = false;
    bool saveOver_ = false;
    bool ended_ = false;
    std::uint32_t recordNumber_ = 0;
    IndexRecord index_;
    DetailRecord detail_;
    TKifData::Snapshot asStored_;  // the game as the store holds it (its comments are freed on saving)
    std::array<SlotState, kSlotCount> slots_{};
    std::function<int()> clock_;
    std::array<int, 2> pickerRows_{};
    QTimer thinkingTimer_;
    InfoAsker infoAsker_;
    SlotAsker slotAsker_;
    CommentOpener commentOpener_;
};

}  // namespace movra
