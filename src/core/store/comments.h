#pragma once
// Comments of the extended store kind: the comment files B.cp0-B.cpf and the working comment
// file B.cp$ (byte layouts in store/comment_layout.h), the links from games to comments, the
// saving protocol of a game's comments and the comment check.
//
// A comment is found by a file number (0-15) and a comment number (1-65535); file number -1
// (kWorkingCommentFile) addresses the working comment file, whose slots 1-255 hold the comments
// of the game being entered or corrected. A game keeps only the two numbers: move comments in
// its move-info entries, the comments on the starting and the final position in its detail
// record. Deleting a comment only clears its usage bit (or slot-table byte); the text stays until
// the number is handed out again.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/comment_layout.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra {

struct CommentRef {
    int file = 0;    // 0-15, or kWorkingCommentFile
    int number = 0;  // 0 = no comment
    friend bool operator==(const CommentRef&, const CommentRef&) = default;
};

struct CommentWriteResult {
    int file = 0;
    int number = 0;             // the number written; 0 when nothing was written
    bool limitReached = false;  // no comment number free in any of the sixteen files
    bool failed = false;        // a comment file could not be opened, made or written
};

// The status-bar text when every comment file is full:
// "棋譜コメント数が制限値を超えました。これ以上入力できません！".
std::string CommentLimitText();

// --- the working comment file -----------------------------------------------------------------

// Rewrites B.cp$ with an empty slot table (extended kind only; false for a classic store or a
// write error).
bool CreateWorkingCommentFile(const GameStore& store, Prompter& prompter);
// Deletes B.cp$ when it exists (another store is opened or created, the program closes).
void DeleteWorkingCommentFile(const StoreFiles& files);

// --- single comments ----------------------------------------------------------------------------

// The text of comment n of file f (f = -1: working slot n). n <= 0, or a slot past the end of
// its file: empty. A file that cannot be read, or a file number outside -1..15: the warning
// "コメントファイル・エラー(001)\r\r" + the store path with the extension ".cp?", empty.
std::string ReadComment(const GameStore& store, int file, int number, Prompter& prompter);

// Writes a text (its first 256 bytes) as comment n of file f. With n = 0 a number is chosen: the
// first free working slot for f = -1, else the lowest free number of the first comment file
// that has one (which may be another file than f). Answers the number and file written; number
// 0 when nothing was written (no free slot or number, a number outside the file's range, or a
// write error, which shows "コメントファイル・エラー(002)\r\r" + the store path with ".cp$").
CommentWriteResult WriteComment(const GameStore& store, int file, int number,
                                std::string_view text, Prompter& prompter);

// Frees comment n of file f (working slot n for f = -1). 0 when n <= 0, else 1. A file that
// cannot be read or written shows "コメントファイル削除エラー！".
int DeleteComment(const GameStore& store, int file, int number, Prompter& prompter);

// The lowest free number of the first comment file 0-15 that has one, creating a missing file
// on the way; its bit is not set here (WriteComment sets it). Number 0 and limitReached when
// all sixteen are full; number 0 and the message 002 on a write error.
CommentWriteResult AllocateCommentNumber(const GameStore& store, Prompter& prompter);

// --- links ----------------------------------------------------------------------------------------

enum class GameCommentPlace { Opening, Closing };

// Links comment (file, number) to move m of game k: the move-info entry of the move gets the
// file number in the low nibble of byte 3 (the high nibble kept) and the number in bytes 4-5.
// False when the move has no entry (m < 1, past entry 511) or the move info cannot be read or
// written.
bool LinkMoveComment(const GameStore& store, long k, int move, int handicapNumber,
                     int overflowNumber, int number, int file, Prompter& prompter);
// Links the comment on the starting (opening) or final (closing) position of game k in its
// detail record.
bool LinkGameComment(const GameStore& store, long k, GameCommentPlace place, int file,
                     int number, Prompter& prompter);
// Stores a consumed time: closing: the detail record's closing time; otherwise the move-info
// entry of move m (m > 0).
bool SetConsumedTime(const GameStore& store, long k, int move, int handicapNumber, bool closing,
                     int overflowNumber, std::uint16_t seconds, Prompter& prompter);

// --- saving and editing a game --------------------------------------------------------------------

struct SaveCommentsResult {
    int written = 0;            // stored comments made from working slots
    int released = 0;           // stored comments of the game as it was, now freed
    bool limitReached = false;  // some comment could not be stored (the status-bar text)
};

// Turns the working comments of the game record into stored comments, between the two halves
// of writing a game (after its index record and game data, before its detail record and move
// info). Move record 0's comment goes into the detail record's opening fields, move record
// moveCount + 1's into its closing fields, move m's into the move-info entry of move m; each
// reference also goes into its move record. Then the stored comments of the snapshot's moves
// 1 … snapshot count (the game as it was in the store) are freed, except any the new game still
// refers to. When the starting or final position got a new comment, the one the detail record
// held before is freed as well.
// Only for saves that rewrite the moves and move info: a header-only save keeps the move info on
// disk and must not free the comments it refers to.
SaveCommentsResult SaveGameComments(const GameStore& store, TKifData& record,
                                    std::span<const MoveRecord> snapshotMoves, int snapshotCount,
                                    DetailRecord& detail, MoveInfo& moveInfo, Prompter& prompter);
// The same with the snapshot BeginEditingStoredGame took of the game as stored.
SaveCommentsResult SaveGameComments(const GameStore& store, TKifData& record,
                                    const TKifData::Snapshot& asStored, DetailRecord& detail,
                                    MoveInfo& moveInfo, Prompter& prompter);

struct StoredGameEdit {
    int copied = 0;               // comments copied into working slots
    TKifData::Snapshot asStored;  // the game as stored, for SaveGameComments
};
// Starts correcting a stored game: rewrites the working comment file empty, copies each move's
// stored comment into a new working slot (its number goes into the move record; a move beyond
// the 255 working slots keeps none), then takes the snapshot of the game.
StoredGameEdit BeginEditingStoredGame(const GameStore& store, TKifData& record, Prompter& prompter);

// Frees every comment a deleted game refers to: the move comments of all its move-info entries
// (both halves) and the comments on its starting and final positions. Each comment file is read
// and written once. For DeleteGames.
void ReleaseCommentsOfGame(const GameStore& store, const DetailRecord& detail,
                           const MoveInfo& moveInfo, Prompter& prompter);
// The same as the callback DeleteGames takes (DeleteOptions::releaseComments). The store and the
// prompter must outlive it.
std::function<void(const DetailRecord&, const MoveInfo&)> CommentReleaser(const GameStore& store,
                                                                          Prompter& prompter);

// --- the comment check ------------------------------------------------------------------------------

struct CommentCheckResult {
    bool done = false;     // false when the move-info file or a report cannot be opened
    long games = 0;        // move-info records read
    long references = 0;   // lines written to ComIdx.txt
    long errors = 0;       // "Comment Idx Error!" lines
    long duplicates = 0;   // "Comment Idx Duplicate!" lines
};

// Checks every comment reference of the move-info files against the usage bitmaps and writes
// "ComErr.txt" (references to numbers not in use, numbers referenced twice) and "ComIdx.txt"
// (every reference) into the report folder, then shows "Comment Check Finished.".
// Each reference is checked against the bitmap of its own comment file, and the move-info
// overflow records of long games are read too.
CommentCheckResult CheckComments(const GameStore& store, const std::filesystem::path& reportFolder,
                                 Prompter& prompter);

}  // namespace movra
