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
// The kept games' index and game-data records (and in the extended kind their detail and
// move-info records) are copied in order into the temporary files B.id$, B.ki$ (B.ip$, B.kp$)
// under a header with the new count; then the temporaries replace the store files, the extended
// ones first. Until every file is in place the old files are kept: a failure on the way (shown
// as DeleteError or RenameError) puts back every file already swapped, so the store
// reads exactly as before. Only after that are the deleted games' comments released (read from
// the old files), the overflow numbers no kept game uses freed, and the old files removed.
// store.recordCount becomes the new count. The catalogue is the caller's to update.
// Files that disagree with the header count show BrokenStoreMessage and delete nothing.
std::uint32_t DeleteGames(GameStore& store, std::uint32_t recordNumber,
                          std::span<const GameHeader> catalogue, std::uint32_t markedCount,
                          Prompter& prompter, const DeleteOptions& options = {});

// Exchanges the index records and game-data records of games k1 and k2, and in the
// extended kind their detail and move-info records. Overflow records stay where they are: they
// travel by number. False (nothing written) for a record number outside the store or records
// that cannot be read.
bool SwapGames(const GameStore& store, std::uint32_t k1, std::uint32_t k2);

// Update marked games: for every catalogue entry with selection mark 1, words 0, 1, 2, 11, 3, 7
// and 8 of its index record are replaced by the template's where the template's word is not 0;
// the record is written back in place and the entry takes the same values. A template whose
// tournament, sub-tournament, game number or result does not fit a catalogue entry (above 255)
// changes nothing. Returns the number of records written.
std::uint32_t UpdateMarkedGames(const GameStore& store, const IndexRecord& templateRecord,
                                std::span<GameHeader> catalogue, Prompter& prompter);

}  // namespace movra
