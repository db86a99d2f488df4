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

// Appends the game: its index record (result, handicap and the rest as the caller set them;
// word 15 is settled here) with the move bytes made from the record; in the extended kind then
// the working comments as stored comments (the starting position's into the detail record's
// opening fields, the final position's into its closing fields, each move's into its move-info
// entry; the references also go into the record's move records), the index words copied into the
// detail record, the move count and the closing time (the consumed time of move record
// moveCount + 1), the detail record and the move info. Nothing of the game as it may have been
// stored before is freed (a new game has no snapshot). `index` and `detail` come back as they
// were written. A write error: the warning "\r棋譜を保存できませんでした。" + the path, ok false,
// store, index, detail and record as they were.
SavedGame SaveNewGame(const GameStore& store, TKifData& record, IndexRecord& index,
                      DetailRecord& detail, Prompter& prompter,
                      RecordWriter& writer = DirectRecordWriter());

// Writes the game over stored game k (1 … the store's count). With `headerOnly` only the index
// record and the detail record are written: the moves, move info and every comment stay as they
// are on the disk. Otherwise as SaveNewGame, at k, and then the stored comments `asStored` (the
// game as it was when its correction began, BeginEditingStoredGame) referred to and the game no
// longer does are freed. A record number outside the store is refused (ok false, nothing
// written, the warning of a write error not shown).
SavedGame SaveOverStoredGame(const GameStore& store, long k, TKifData& record,
                             IndexRecord& index, DetailRecord& detail,
                             const TKifData::Snapshot& asStored, bool headerOnly,
                             Prompter& prompter, RecordWriter& writer = DirectRecordWriter());

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
