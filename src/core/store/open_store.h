#pragma once
// Deciding whether a named file is a usable game store and of which kind, opening it as the
// current store (master tables and catalogue loaded), the recent-file list, and the core of the
// File-menu commands that make or rename a store. The windows show what these return.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"

namespace movra {

// --- validation ------------------------------------------------------------------------------------

enum class StoreCheck : int {
    Unusable = -1,  // missing or inconsistent files
    ReadOnly = -2,  // the files cannot be opened for writing
    Classic = 1,
    Extended = 2,
};

// The free bytes of the file system that holds a folder; nullopt when it cannot be asked.
std::optional<std::uint64_t> FreeDiskSpace(const std::filesystem::path& folder);
using FreeSpaceProbe = std::function<std::optional<std::uint64_t>(const std::filesystem::path&)>;

// Checks a store before it is opened (any file of the set names it). The index file must hold exactly count + 1
// records and the game-data file count records; the extended kind needs the detail file, the
// move-info file and comment file 0, the first two with count records each. A detail file of
// count records of 192 bytes (the older narrow form) is widened to 256-byte records through
// B.ip$, when the file system has more than count × 256 + 1024 bytes free (else the warning
// "\rディスクの残容量が不足しています。" and Unusable). On Classic or Extended the record count is
// set.
StoreCheck ValidateStore(const std::filesystem::path& path, std::uint32_t& recordCount,
                         Prompter& prompter, FileSystemHooks& fs = RealFileSystem(),
                         const FreeSpaceProbe& freeSpace = nullptr);

// --- the recent-file list --------------------------------------------------------------------------

class RecentFileList {
public:
    static constexpr int kSize = 10;

    // Entry 1 is the most recent; entries are kept closed up (no empty entry before a used one).
    const std::array<std::string, kSize>& entries() const { return entries_; }
    // Sets the entries as the settings keep them (Recent1 … Recent10), then closes them up.
    void Assign(const std::array<std::string, kSize>& entries);

    // Moves the path (compared in upper case) to entry 1, or puts it there, pushing the others
    // down and dropping the last. True when the list changed.
    bool Add(std::string_view path);
    // Empties the entry holding the path and closes up. True when the list changed.
    bool Remove(std::string_view path);

    struct MenuItem {
        std::string caption;  // "&1 " … "&9 ", "&0 " + the file name without its folder
        std::string path;
        bool visible = false;
    };
    std::array<MenuItem, kSize> MenuItems() const;

private:
    void CloseUp();
    std::array<std::string, kSize> entries_{};
};

// The question before opening a recent or data-collection entry:
// "\"path\" を読み込みます。\r\r　よろしいですか？".
std::string OpenConfirmText(std::string_view path);

// --- the open store ------------------------------------------------------------------------------------

// What kind of store is open, as the setting LastKifMode also keeps it. The other two kinds are
// other programs' game files (".MIX", ".KIF"), which are recognised by name but not read.
inline constexpr int kOpenStateNone = 0;
inline constexpr int kOpenStateMovra = 1;      // ".idx" / ".ipx", the stores of this program
inline constexpr int kOpenStateShiroyama = 2;  // ".mix"
inline constexpr int kOpenStateHalvik = 3;     // ".kif"

// What the main window keeps of the open store, with the master tables and the catalogue.
struct StoreSession {
    GameStore store;                     // files empty when no store is open
    std::filesystem::path storePath;     // the open store's index file; empty when none
    int openState = kOpenStateNone;      // one of kOpenState...
    RecentFileList recent;
    std::filesystem::path datFolder;     // empty: the program folder
    std::filesystem::path programFolder;
    bool playersInFileOrder = false;     // the setting KsOrder (0: sorted by category and kana)
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    GameCatalogue catalogue;

    std::filesystem::path masterFolder() const { return MasterFolder(datFolder, programFolder); }
    bool isOpen() const { return openState == kOpenStateMovra && !storePath.empty(); }
};

struct OpenStoreResult {
    int result = 1;                // 0 refused, 1 otherwise
    bool opened = false;           // validated, tables and catalogue loaded
    bool storeChanged = false;     // another store than before: reset the game display
    bool resetGameSlots = false;   // as asked: the caller resets the record's game slots
    bool playersRead = false;      // "Ksname.dat" could be read
    bool recentChanged = false;    // rebuild the recent-file menu
    std::string shownName;         // the name in the caption
    CatalogueLoad catalogue;
};

// Opens the store X for the windows (`reset`: the caller is to reset the record's game slots).
// A missing X is removed from the recent list and nothing is opened. Only ".idx" and ".ipx" names are opened here (".kif" sets the open state of
// another program's store). A store that is not usable is removed from the recent list with the
// broken-store warning; one that cannot be written gives the read-only warning; both answer 0.
// An ".ipx" name of a classic store opens nothing. Otherwise: the kind, the store path (the
// ".idx"), open state 1, the three master tables, the catalogue, and X (as ".ipx" when that file
// exists) at the top of the recent list.
OpenStoreResult OpenStore(StoreSession& session, const std::filesystem::path& path, bool reset,
                          Prompter& prompter);

// The name the caption shows for the open store: the index file's path in the classic kind,
// the detail file's (".ipx") in the extended kind.
std::string ShownStoreName(const StoreSession& session);

// The main window's caption: title + "　（棋譜ファイル： " + name + "）".
std::string StoreCaption(std::string_view appTitle, std::string_view shownName);

// Chooses recent entry i (1-10): asks OpenConfirmText (Yes/Cancel) and on Yes opens the store
// with reset. nullopt when the entry is empty or the user cancels.
std::optional<OpenStoreResult> OpenRecentEntry(StoreSession& session, int entry, Prompter& prompter);

// The open command after the file dialog: the open store's working comment file is deleted,
// then the chosen store is opened with reset.
OpenStoreResult OpenChosenStore(StoreSession& session, const std::filesystem::path& path,
                                Prompter& prompter);

// Switching the DAT folder to the folder of a chosen "Ksname.dat": when the folder lacks one of
// the three files, the warning of CheckDatFolder and false (nothing changes). Otherwise the DAT
// folder becomes that folder, the tables are reloaded (tournaments only while a store is open)
// and "DATファイルを下記のフォルダのデータに切り替えました。\r\r" + the folder is shown.
bool SwitchDatFolder(StoreSession& session, const std::filesystem::path& chosenFile,
                     Prompter& prompter);

// --- new store and rename ------------------------------------------------------------------------------

// The new-store command after the save dialog: the name must end in ".idx" (classic) or ".ipx"
// or have no extension (extended), else "\rファイル名が正しくありません！". A store that exists
// gives "\r" + path + " は既に存在します。". Otherwise the open store's working comment file is
// deleted, the files are created and the store opened. nullopt when nothing was created.
std::optional<OpenStoreResult> CreateNewStore(StoreSession& session,
                                              const std::filesystem::path& chosen,
                                              Prompter& prompter);

// The name the rename dialog shows: the index file's name, or the detail file's in the
// extended kind.
std::string CurrentStoreName(const StoreSession& session);
// "'" + name + "' の新しい名前を指定してください。"
std::string RenamePromptText(const StoreSession& session);

enum class RenameOutcome {
    Unchanged,  // the same name: the dialog closes
    Refused,    // a wrong extension or a name in use: the dialog stays
    Failed,     // a rename failed; every file has its old name again
    Renamed,
};
// Renames the open store's files (.idx .kif .kf2; .ipx .kpf .kp2 and the comment files .cp0 …
// as far as they run unbroken) to the new base name; the working comment file keeps its name.
// A failed rename puts back the files already renamed, so the store stays whole under its old
// name. On success the session's store path changes and "\r棋譜ファイル名を変更しました。" is
// shown.
RenameOutcome RenameStore(StoreSession& session, std::string_view newName, Prompter& prompter,
                          FileSystemHooks& fs = RealFileSystem());

}  // namespace movra
