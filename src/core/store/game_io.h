#pragma once
// Reading one stored game into the game record, and writing one game into the store.
//
// Writing goes through the store's one append path (store/store_appender.h): WriteGame writes
// the game data, the overflow game data and the index record, and the header count last; then
// the caller saves the comment texts; then WriteGameDetail writes the detail record, the move
// info and the move-info overflow record. A whole run of games (an import) uses one session of
// that path instead of these calls.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra {

// "棋譜の一部が壊れています。\r\rこの棋譜は使用できません！"
std::string DamagedGameMessage();

struct GameMoves {
    bool found = false;        // the game-data record was there
    bool damaged = false;      // some stored moves could not be decoded or applied (warned)
    // With lists: one move-list line a move, then the closing line.
    std::vector<std::string> lines;
    // With a move of interest m: the line of move m, or "999  終局" when the game is shorter.
    std::string lineOfInterest;
};

// Loads game k: the starting position of the handicap number, then every
// stored move resolved and applied in order, so that the record ends at the last move with
// currentMove = moveCount. The end code is the caller's (it comes with the catalogue entry).
// With `fillLists` the move records also get their comment links (comment number not 0) and
// consumed times from the move info (extended kind), and the lines are built. With a move of
// interest m > 0 only the first m moves are read. k <= 0 or a missing game-data record: nothing
// found, the record as it was. Moves that cannot be decoded or applied show DamagedGameMessage
// and leave the moves before them.
GameMoves ReadGameMoves(const GameStore& store, long k, int overflowNumber, int handicapNumber,
                        bool fillLists, int moveOfInterest, TKifData& record, Prompter& prompter);
// The same with the store's files already open (loops over many games).
GameMoves ReadGameMoves(const StoreReader& reader, long k, int overflowNumber,
                        int handicapNumber, bool fillLists, int moveOfInterest, TKifData& record,
                        Prompter& prompter);
// The same from move bytes and move info in memory (`info` null: no comments or times).
GameMoves LoadGameMoves(const MoveBytes& moves, const MoveInfo* info, int handicapNumber,
                        bool fillLists, int moveOfInterest, TKifData& record, Prompter& prompter);

// Fills the move bytes and the move info from the game record: the placeholder FF FF in slot 1
// and entry 0 of a handicap game, then each move encoded by replaying the game from its
// starting position, with the consumed time in its move-info entry (comment links are written
// when the comments are saved). Encoding stops at a move that cannot be stored (a move code
// that is not well formed or does not fit the position, a king drop) and when the 512 slots are
// full. Returns the number of moves stored.
int FillMoveBuffers(const TKifData& record, MoveBytes& moves, MoveInfo& info);

// Any negative record number asks for an append.
inline constexpr long kAppendGame = -1;

struct WrittenGame {
    bool ok = false;
    std::uint32_t recordNumber = 0;  // where the game went
};

// Writes a game's index record and move bytes as game k, or appends it (k < 0 or
// k = the game-data file's record count + 1; the header count then becomes that + 1). Unless
// `keepMoves` (only header information changed; an append always writes the moves), slots
// 1-256 go to the game-data record, and in the extended kind the overflow part is settled:
// an overflow number is allocated when the game reaches slot 257 and has none, released (and its
// game-data record zeroed) when the game no longer reaches it, and slots 257-512 written to its
// record. Word 15 of `index` is updated accordingly (a number outside 1-16384 is taken as none).
// When no number is free the game keeps its first 256 slots. In the classic kind the overflow
// part is never written and word 15 is written as given. A record number past the end + 1 is
// refused (false) before anything is written. A file that cannot be opened or written raises
// StoreIoError; nothing of the game is then on the disk and `index` is as it was given.
WrittenGame WriteGame(const GameStore& store, IndexRecord& index, const MoveBytes& moves, long k,
                      bool keepMoves, Prompter& prompter);

// The extended kind's second half: the detail record (bytes 194-195 already hold word 15, see
// DetailRecord::CopyIndexWords) to record k - 1 of the detail file, and unless `keepMoves`
// (appends always write) the move info: entries 0-255 to move-info record k - 1 and, when the
// game has an overflow number, entries 256-511 (or zeros when entry 256 holds no move) to its
// move-info overflow record. k < 0 or k = the move-info file's record count + 1 appends.
WrittenGame WriteGameDetail(const GameStore& store, const DetailRecord& detail,
                            const MoveInfo& info, long k, bool keepMoves);

}  // namespace movra
