#pragma once
// The store's journal: how a change to several files of a store survives a crash.
//
// A change that touches more than one file cannot be made in one step, so before its first step
// it writes a small journal file beside the store (B.jn$), puts it on the disk, and removes it
// after its last step. Whoever opens the store next and finds a journal finishes or takes back
// what it names (RecoverStoreJournal), so that the store is always found as it was before the
// change or as it is after it, never in between. A journal that is not whole (the process died
// while writing it) means no step was taken: it is simply removed.
//
// Two kinds of change use it:
//   - replacing files (ReplaceStoreFiles): new files written beside the store take the names of
//     the store's files, one rename each; recovery completes the renames;
//   - writing records in place (WriteUndoJournal): the journal keeps the bytes each file had
//     where they are overwritten and each file's length; recovery puts them back.
//
// Every step goes through the file layer (store/record_file.h), so that tests can stop the
// process at any write, rename or removal.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra {

// One file a replacement puts in place: `from`, written beside the store and on the disk,
// takes the name `to`; the file that had that name waits under `aside` until the replacement is
// over. All three are in the store's folder.
struct FileReplacementStep {
    std::filesystem::path from, to, aside;
    // Told when the old file cannot move aside, or the new one cannot take its name.
    std::string asideFailure, renameFailure;
};

struct StoreReplacement {
    std::vector<FileReplacementStep> files;
    // Files of the store that go once the new ones are in (a file the new set does not have).
    std::vector<std::filesystem::path> removals;
};

// Replaces files of the store named by `store` all at once:
//   1. the journal naming every step is written and put on the disk;
//   2. each old file moves aside and the new one takes its name, in the order given;
//   3. the removals go, then the journal: the store is the new one;
//   4. `afterRenames` is called (the old files can still be read under their aside names), and
//      the aside files go.
// False when the journal cannot be written or a rename fails: the files already swapped are put
// back and the journal removed, so the store is as it was (the new files stay under their own
// names). A process killed anywhere leaves a journal that the next opening completes.
bool ReplaceStoreFiles(const StoreFiles& store, const StoreReplacement& plan, Prompter& prompter,
                       RecordWriter& layer = DirectRecordWriter(),
                       const std::function<void()>& afterRenames = {});

// The old state of one file that is about to be written in place: whether it existed, its
// length, and the bytes it has where it is overwritten.
struct FileUndo {
    std::filesystem::path path;
    bool existed = true;
    std::uint64_t size = 0;
    std::vector<BufferedRecordFile::OldRecord> records;
};

// Writes the journal of an in-place change and puts it on the disk; false (no journal left
// behind) when it cannot be written.
bool WriteUndoJournal(const StoreFiles& store, std::span<const FileUndo> files,
                      RecordWriter& layer = DirectRecordWriter());
// Removes the journal once the change is on the disk; false when it cannot be removed.
bool RemoveStoreJournal(const StoreFiles& store, RecordWriter& layer = DirectRecordWriter());
bool HasStoreJournal(const StoreFiles& store);

enum class JournalRecovery {
    None,        // no journal
    Discarded,   // a journal that was not whole: nothing had been changed
    Completed,   // a replacement finished
    RolledBack,  // an in-place change taken back
    Failed,      // the journal could not be carried out (it stays for the next attempt)
};
JournalRecovery RecoverStoreJournal(const StoreFiles& store,
                                    RecordWriter& layer = DirectRecordWriter());

}  // namespace movra
