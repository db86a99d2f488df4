#pragma once
// The position collection the main window keeps: which file it is, the page the collection
// window opens on, and the page new positions are added to, held in memory until it is full or
// written out. A collection is always edited through its working copy "無題.kk$" in the program
// folder; the named ".kkm" file is read when it is opened and written when it is saved.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/positions/collection_file.h"
#include "core/positions/collection_layout.h"
#include "core/text/prompter.h"

namespace movra {

// The person behind the file dialogs. Each returns the chosen file, or an empty path to cancel.
struct CollectionDialogs {
    std::function<std::filesystem::path(const std::filesystem::path& folder)> openFile;
    std::function<std::filesystem::path(const std::filesystem::path& proposed)> saveFile;
};

// "局面図01.kkm" … "局面図98.kkm" in the folder, the first that does not exist; the folder alone
// when they all do.
std::filesystem::path ProposedCollectionPath(const std::filesystem::path& folder);

class PositionCollection {
public:
    // The working copy and the compaction's "TEMP.kk$" live in `folder` (the program folder).
    explicit PositionCollection(std::filesystem::path folder);

    // --- state ---------------------------------------------------------------------------------
    bool exists() const { return !current_.empty(); }
    bool untitled() const { return exists() && current_ == workingCopy(); }
    const std::filesystem::path& currentFile() const { return current_; }
    std::filesystem::path workingCopy() const;
    std::filesystem::path tempFile() const;
    // The file-name part of the current file, "無題" for the untitled collection (CP932).
    std::string displayName() const;
    // The name the changed-collection question uses: "無題.kkm" for the untitled collection.
    std::string questionName() const;
    int pageToShow() const { return pageToShow_; }  // 1-based (0 for a new collection)
    void setPageToShow(int page) { pageToShow_ = page; }
    int appendPage() const { return appendPage_; }  // 0-based
    int usedSlots() const { return usedSlots_; }
    const CollectionPage& appendBuffer() const { return buffer_; }
    bool changed() const { return changed_; }
    void setChanged() { changed_ = true; }
    std::filesystem::path lastFolder;  // where the file dialogs start

    // --- commands -------------------------------------------------------------------------------
    // Writes the append buffer into the working copy at the append page (page 0 makes the file
    // anew). False after a warning when it cannot be written.
    bool Flush(Prompter& prompter);
    // A new untitled collection of one empty page; asks about a changed one first (Cancel: false).
    bool New(Prompter& prompter, const CollectionDialogs& dialogs, bool message = true);
    // The file dialog, then OpenFile. False when cancelled or failed.
    bool Open(Prompter& prompter, const CollectionDialogs& dialogs);
    // The chosen file copied over the working copy and its last page taken as the append page.
    // Damaged slots are left out with a warning that names them; the rest of the file is kept.
    // A file that cannot be read changes nothing.
    bool OpenFile(const std::filesystem::path& path, Prompter& prompter);
    // At start-up: the last collection again, when its file still exists, shown at `lastPage`.
    // False (nothing open) otherwise.
    bool Reopen(const std::filesystem::path& path, int lastPage, Prompter& prompter);
    bool Save(Prompter& prompter, const CollectionDialogs& dialogs);
    bool SaveAs(Prompter& prompter, const CollectionDialogs& dialogs);
    // Asks about a changed collection: Yes saves (No when saving failed or was cancelled, so the
    // caller keeps its state), No goes on, Cancel stops. No without asking when nothing changed.
    Answer AskToSave(Prompter& prompter, const CollectionDialogs& dialogs);
    // Puts a position into the next slot of the append page (making an untitled collection when
    // none exists), and flushes a page that became full. False when a flush failed.
    bool Add(const SlotTexts& texts, const PieceTable& pieces, Prompter& prompter);
    // The append state read again from the working copy (after the collection window has
    // rewritten it): the last page, its used slots, a new empty page after a full one.
    bool ReloadAppendState(Prompter& prompter);

private:
    // Last page of `pages` as the append page, with the page to show.
    void TakeAppendState(const std::vector<CollectionPage>& pages);
    bool CopyWorkingCopyTo(const std::filesystem::path& target, Prompter& prompter);
    bool FlushIfFilled(Prompter& prompter);

    std::filesystem::path folder_;
    std::filesystem::path current_;
    int pageToShow_ = 1;
    int appendPage_ = 0;
    int usedSlots_ = 0;
    CollectionPage buffer_;
    bool changed_ = false;
};

}  // namespace movra
