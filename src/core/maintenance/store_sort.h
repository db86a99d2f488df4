#pragma once
// Sorting a store by date and removing identical games. Both rewrite the store's index,
// game-data, detail and move-info files in the new order: the new files are written under
// working names (B.id$, B.ki$, B.ip$, B.kp$) and take the store's names in one replacement of the
// store's journal (store/store_journal.h) only when they are whole, so a failure anywhere, or a
// process stopped anywhere, leaves the store as it was or as the job makes it. Overflow records
// and comments stay where they are: the records that move carry their numbers.
//
// The order is worked out in memory from the index records (32 bytes a game, so 32 MB for a
// million games); the records are then copied in their new order, read by number from the old
// files and written in large blocks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/prompter.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

enum class SortOrder { Descending, Ascending };

// The captions of the progress panel.
std::string SortCaption();             // "【 ソート中 】"
std::string RemoveSameCaption();       // "【 重複棋譜削除中 】"

// Whether the store's games are sorted newest first: no date is greater than the smallest date
// seen before it. An empty store is sorted, with newest 0 and oldest 99999999. Dates are
// year × 10000 + month × 100 + day.
struct SortedCheck {
    bool sorted = true;
    std::uint32_t newest = 0;
    std::uint32_t oldest = 99999999;
};
// Throws StoreIoError when the index file cannot be read.
SortedCheck CheckSorted(const GameStore& store);

// Whether the file system holding the store has room for a rewrite: the detail and move-info
// files (extended kind) or the index and game-data files (classic kind) + 4096 bytes must be
// less than the free space. A file system that cannot be asked counts as having room.
bool EnoughSpaceToRewrite(const GameStore& store);

// A store being rewritten may leave its first `count` game-data, detail and move-info records
// to another store's files, where they stand as records 1 … count (a merge's working store does
// so rather than copy the open store's largest files only to read them once more): the rewrite
// reads those records there, and then always writes every rewritten file anew.
struct LeadingRecords {
    StoreFiles files;
    std::uint32_t count = 0;
};
// Whether the rewrite of a store of the kind reads the file of this extension through
// LeadingRecords (the index file is always the store's own).
bool ReadsLeadingRecords(std::string_view extension, bool extended);

// The most memory one pass of the reordering copy gathers records into: 768 MiB, so that a
// million games' move info (2 GB) is read three times. Tests set it small to copy in many passes.
std::size_t RewritePassBytes();
void SetRewritePassBytes(std::size_t bytes);

struct RewriteResult {
    bool ok = false;            // the store holds the new order (or needed no change)
    std::uint32_t removed = 0;  // identical games removed
    std::uint32_t count = 0;    // games in the store afterwards
};

// Sorts the games by date, newest first (Descending) or oldest first; games of the same date by
// sente number, then gote number, then tournament, game number, opening, result and handicap
// together, and games equal in all of these keep their order. The store is checked first
// (ValidateStore, which finishes a half-done change): a store that is not whole is refused with
// BrokenStoreMessage or ReadOnlyStoreMessage. A failed step tells the user (the DeleteError
// message when an old file cannot move aside) and leaves the store as it was. The user may stop
// at a progress report (every 1000 records), with the same effect.
RewriteResult SortStore(GameStore& store, SortOrder order, Prompter& prompter,
                        RecordWriter& layer = DirectRecordWriter(), const LeadingRecords* leading = nullptr);

// Sorts as SortStore and removes every game identical to one before it in the new order: the
// same date, players, tournament, game number, opening, result, handicap and sub-tournament
// (index words 0-8, 10, 11), and the same moves in slots 1-256 up to the end of the moves. The
// first of each set of identical games is kept. In the extended kind the removed games'
// comments are released, and the overflow numbers no kept game uses are freed. When the
// working memory cannot be had: "\rメモリ不足のため処理できません。" and nothing changes.
RewriteResult RemoveSameGames(GameStore& store, SortOrder order, Prompter& prompter,
                              RecordWriter& layer = DirectRecordWriter(),
                              const LeadingRecords* leading = nullptr);

}  // namespace movra::maintenance
