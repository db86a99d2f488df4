#pragma once
// Changes to stored games other than writing one: deleting games through rewritten files,
// exchanging two neighbours, and changing header fields of the marked games in place.
#include <cstdint>
#include <functional>
#include <span>

#include "core/text/prompter.h"
#include "core/record/game_header.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra {

// Frees the comments a deleted game refers to: every move-info entry with a comment number (all
// 512 entries, the overflow part included) and the opening and closing comments of its detail
// record. The comment files' own code supplies it.
using ReleaseGameComments = std::function<void(const DetailRecord& detail, const MoveInfo& info)>;

struct DeleteOptions {
    ReleaseGameComments releaseComments;    // extended kind; none: comments are left as they are
    FileSystemHooks* fileSystem = nullptr;  // null: the real file system
};

// Deletes game `recordNumber`, or with markedCount > 0 every game whose catalogue entry carries
// selection mark 1. Returns the number of games deleted (0: the store is unchanged).
//
// The store is checked first (ValidateStore, which repairs a half-done change): files that
// disagree with the header count show BrokenStoreMessage, a store that cannot be written
// ReadOnlyStoreMessage, and nothing is deleted. The kept games' index and game-data records (and
// in the extended kind their detail and move-info records) are copied in order into the
// temporary files B.id$, B.ki$ (B.ip$, B.kp$) under a header with the new count; then the
// temporaries replace the store files, the extended ones first, in one replacement of the
// store's journal (ReplaceStoreFiles, store/store_journal.h): a failed rename (the
// DeleteError/RenameError messages) puts back every file already swapped, so the store reads
// exactly as before, and a process stopped anywhere leaves a store that opens as before or as
// after the deletion. While the old files still wait aside the deleted games' comments are
// released; after that the overflow numbers no kept game uses are freed (a stop in between
// leaves them marked in use, never a game damaged). store.recordCount becomes the new count.
// The catalogue is the caller's to update.
std::uint32_t DeleteGames(GameStore& store, std::uint32_t recordNumber,
                          std::span<const GameHeader> catalogue, std::uint32_t markedCount,
                          Prompter& prompter, const DeleteOptions& options = {});

// Exchanges the index records and game-data records of games k1 and k2, and in the
// extended kind their detail and move-info records. Overflow records stay where they are: they
// travel by number. False (nothing written) for a record number outside the store, records that
// cannot be read, or a store with a half-done change pending. The old records go into the store's
// journal first (store/store_journal.h), so that a process stopped half-way leaves a store that
// opens with both games as they were.
bool SwapGames(const GameStore& store, std::uint32_t k1, std::uint32_t k2,
               FileSystemHooks& fs = RealFileSystem());

// Update marked games: for every catalogue entry with selection mark 1, words 0, 1, 2, 11, 3, 7
// and 8 of its index record are replaced by the template's where the template's word is not 0;
// the record is written back in place and the entry takes the same values. A template whose
// tournament, sub-tournament, game number or result does not fit a catalogue entry (above 255)
// changes nothing. Returns the number of records written.
std::uint32_t UpdateMarkedGames(const GameStore& store, const IndexRecord& templateRecord,
                                std::span<GameHeader> catalogue, Prompter& prompter);

}  // namespace movra
