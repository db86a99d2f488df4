#pragma once
// Saving a game entered or corrected on the board into the open store: as a new game at the end,
// or over the stored game it came from.
//
// Everything one save writes goes through one writing session of the store (StoreAppender) and
// one commit: the index record, the game data and its overflow part, the comment texts made from
// the working comments, the comments the game held before and no longer does (freed), the detail
// record and the move info. A write that fails, or a process killed half-way, leaves the store as
// it was before the save (the session's journal puts back what was written); every other game's
// bytes stay as they are.
//
// The caller holds the 32-byte index record and the 256-byte detail record of the game (as the
// game-information dialog fills them); the moves, consumed times and comment links come from the
// game record. The messages the windows show around a save ("\r棋譜を保存しました！", the
// questions) are below; a save itself only warns (write errors, a long game cut to 256 moves,
// the comment limit).
#include <cstdint>
#include <string>

#include "core/record/kif_data.h"
#include "core/session/stored_game.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

struct SavedGame {
    bool ok = false;                  // written and committed; false: the store is as it was
    std::uint32_t recordNumber = 0;   // where the game is now
    // The new record lies beyond the catalogue: the store is to be opened again so that the
    // game list shows it (SaveNewGame on a session does that itself and says so here).
    bool reloadCatalogue = false;
    int commentsWritten = 0;          // stored comments made from working slots
    int commentsReleased = 0;         // comments of the game as it was stored, now freed
    bool commentLimitReached = false; // some comment could not be stored (every file full)
    bool cut = false;                 // a long game kept its first 256 slots (no overflow number)
};

// --- the store alone ------------------------------------------------------------------------------

// Comments. Each position of the record says what its comment is: move record 0 the starting
// position (the detail record's opening fields), 1 … n the moves (their move-info entries), n + 1
// the final position (the closing fields). A working slot (workingComment) becomes a new stored
// comment. Otherwise a stored reference (commentFile, commentRecord) stays the game's comment
// when saving over the stored game, and is copied into a new stored comment when saving a new
// game (two games never share a comment). A position with neither has no comment: to remove a
// comment, clear both. The new references go into the record's move records.
//
// Appends the game: its index record (handicap and result from the record, word 15 settled here,
// the rest as the caller set it) with the move bytes made from the record, then in the extended
// kind the comments, the index words copied into the detail record, the move count and the
// closing time (the consumed time of move record moveCount + 1), the detail record and the move
// info. `index` and `detail` come back as they were written. A write error: the warning
// SaveFailedMessage, ok false, and store, index, detail and record as they were.
SavedGame SaveNewGame(const GameStore& store, TKifData& record, IndexRecord& index,
                      DetailRecord& detail, Prompter& prompter,
                      RecordWriter& writer = DirectRecordWriter());

// Writes the game over stored game k (1 … the store's count), keeping the stored game's overflow
// number (or freeing it when the game no longer needs it). With `headerOnly` only the index record
// and the detail record are written (word 15 and the comment links as stored): the moves, move
// info and every comment stay as they are on the disk. Otherwise as SaveNewGame at k, and every
// comment the game referred to before (the moves of `asStored`, the game as it was when its
// correction began, and the detail record's two positions as the caller passes it) and no longer
// does is freed. A record number outside the store is refused (ok false, nothing written).
SavedGame SaveOverStoredGame(const GameStore& store, long k, TKifData& record,
                             IndexRecord& index, DetailRecord& detail,
                             const TKifData::Snapshot& asStored, bool headerOnly,
                             Prompter& prompter, RecordWriter& writer = DirectRecordWriter());

// After a save that goes on with the same game (live publishing saves every entered move): the
// positions whose working comment became a stored comment drop the working slot, so that the
// next save keeps the stored comment instead of writing it again. When the save could not store
// every comment (every comment file full), all working comments stay for the next save to try.
void ForgetStoredWorkingComments(TKifData& record, const SavedGame& saved);

// --- the open store of the main window ----------------------------------------------------------------

// SaveNewGame on the open store; when the new record lies beyond the catalogue the store is
// opened again (catalogue and master tables; reloadCatalogue set).
SavedGame SaveNewGame(StoreSession& session, TKifData& record, IndexRecord& index,
                      DetailRecord& detail, Prompter& prompter,
                      RecordWriter& writer = DirectRecordWriter());
// SaveOverStoredGame on the open store; the game's catalogue entry (found by its record number,
// wherever a search put it) gets the new header.
SavedGame SaveOverStoredGame(StoreSession& session, long k, TKifData& record, IndexRecord& index,
                             DetailRecord& detail, const TKifData::Snapshot& asStored,
                             bool headerOnly, Prompter& prompter,
                             RecordWriter& writer = DirectRecordWriter());

// The record and its catalogue entry of game k read for a correction: the index record and, in
// the extended kind, the detail record (zeros in the classic kind). False when the store has no
// game k or a record cannot be read.
bool ReadStoredRecords(const GameStore& store, long k, IndexRecord& index, DetailRecord& detail,
                       Prompter& prompter);

// Game k as a correction starts from it: its index record and (extended kind) detail record, its
// moves with their comment references and consumed times, the end code from the result, and the
// comments and time of the starting and final positions in move records 0 and moveCount + 1. The
// record ends at its last move. False (the record in an unspecified state) when game k is not in
// the store or its moves are damaged: such a game is not to be saved over.
bool LoadGameForCorrection(const GameStore& store, long k, TKifData& record, IndexRecord& index,
                           DetailRecord& detail, Prompter& prompter);

// --- texts ---------------------------------------------------------------------------------------------

// "\r棋譜を保存しました！"
std::string GameSavedMessage();
// "\r棋譜を保存してよろしいですか？"
std::string SaveGameQuestion();
// "\r続けて棋譜入力を行いますか？"
std::string ContinueInputQuestion();
// "保存されていない棋譜が残っています。\r破棄してよろしいですか？" (Yes, Cancel)
std::string DiscardUnsavedQuestion();
// "保存されていない棋譜が残っています。\r\r保存しますか？" (Yes, No, Cancel), before closing
std::string SaveUnsavedQuestion();
// "\r棋譜ファイルが読み込まれていません。"
std::string NoStoreForInputMessage();
// "\r棋譜を保存できませんでした。\r\r" + the path: a save whose writes failed (nothing changed)
std::string SaveFailedMessage(const std::string& path);

}  // namespace movra
