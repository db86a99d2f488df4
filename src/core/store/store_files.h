#pragma once
// The files of one game store and access to their records by number.
//
// A store is a set of files with one base name B in one folder: B.idx, B.kif, B.kf2 in both
// kinds, and B.ipx, B.kpf, B.kp2 and the comment files in the extended kind (the byte layouts
// are in store/layout.h). Extensions are found without regard to case, so a store written as
// "B.IDX" is found as well as "b.idx". Every operation opens what it needs and closes it again;
// nothing stays open between operations.
//
// Failures the user must see are told through the Prompter with the store's own texts; any
// other input/output failure (a file that cannot be opened or created, a disk full) raises
// StoreIoError (store/record_file.h) and ends the operation.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/text/prompter.h"
#include "core/store/layout.h"
#include "core/store/record_file.h"

namespace movra {

namespace ext {
inline constexpr std::string_view kIndex = ".idx";
inline constexpr std::string_view kGameData = ".kif";
inline constexpr std::string_view kOverflowGameData = ".kf2";
inline constexpr std::string_view kDetail = ".ipx";
inline constexpr std::string_view kMoveInfo = ".kpf";
inline constexpr std::string_view kMoveInfoOverflow = ".kp2";
inline constexpr std::string_view kWorkingComments = ".cp$";
// The temporary files of a rewrite, and where the old files wait until it has succeeded.
inline constexpr std::string_view kTempIndex = ".id$";
inline constexpr std::string_view kTempGameData = ".ki$";
inline constexpr std::string_view kTempDetail = ".ip$";
inline constexpr std::string_view kTempMoveInfo = ".kp$";
inline constexpr std::string_view kOldIndex = ".id~";
inline constexpr std::string_view kOldGameData = ".ki~";
inline constexpr std::string_view kOldDetail = ".ip~";
inline constexpr std::string_view kOldMoveInfo = ".kp~";
// The journal of a change to several files that is under way (store/store_journal.h).
inline constexpr std::string_view kJournal = ".jn$";
// ".cp0" … ".cpf" for file numbers 0-15.
std::string CommentFile(int fileNumber);
}  // namespace ext

enum class StoreKind : std::uint8_t { Classic = 0, Extended = 1 };

class StoreFiles {
public:
    StoreFiles() = default;
    // Any file of the set names it: "games.ipx", "GAMES.IDX", "games" (no extension).
    explicit StoreFiles(const std::filesystem::path& anyFileOfTheSet);

    // The file of the set with this extension (".idx", ".kif", ...): the existing file whose name
    // equals base name + extension without regard to case (the exact spelling first), else the
    // base name + the extension as given.
    std::filesystem::path Path(std::string_view extension) const;
    bool Exists(std::string_view extension) const;
    std::filesystem::path IndexPath() const { return Path(ext::kIndex); }

    const std::filesystem::path& folder() const { return folder_; }
    const std::string& baseName() const { return base_; }
    bool empty() const { return base_.empty(); }

private:
    std::filesystem::path folder_;
    std::string base_;
};

// The open store as the main window keeps it: the files, the kind, and the number of games
// the store held when it was last validated.
struct GameStore {
    StoreFiles files;
    StoreKind kind = StoreKind::Classic;
    std::uint32_t recordCount = 0;

    GameStore() = default;
    GameStore(const std::filesystem::path& path, StoreKind k, std::uint32_t count = 0)
        : files(path), kind(k), recordCount(count) {}
    bool extended() const { return kind == StoreKind::Extended; }
};

// --- the header and index records -------------------------------------------------------------

// The game count of the header together with the index file's size (a garbage high word is
// ignored when the file holds exactly low word + 1 records). False when the index file cannot be
// read.
bool ReadGameCount(const GameStore& store, std::uint32_t& count);
// Index record k (1-based). False when k is 0 or past the end of the index file.
bool ReadIndexRecord(const GameStore& store, std::uint32_t k, IndexRecord& record);
// Writes index record k in place (or as the next record); false for k = 0 or past that.
bool WriteIndexRecord(const GameStore& store, std::uint32_t k, const IndexRecord& record);

// --- detail records, move info, game data (k is the 1-based record number) -------------------

// k <= 0: all zero, false. A detail file holding fewer than k records: all zero, true. A file
// that cannot be read: "<path> 読込エラー！", all zero, false.
bool ReadDetailRecord(const GameStore& store, long k, DetailRecord& detail, Prompter& prompter);
// Written at record k - 1 (in place or as the next record; a gap is refused).
// Failure: "<path> 書込エラー！", false.
bool WriteDetailRecord(const GameStore& store, long k, const DetailRecord& detail,
                       Prompter& prompter);
// Move-info record k - 1 fills entries 0-255 (nothing read: "<path> 読込エラー！", false, all
// zero); with an overflow number n, move-info overflow record n fills entries 256-511 (a missing
// file or record, or a number outside 1-16384, leaves them zero).
bool ReadMoveInfo(const GameStore& store, long k, int overflowNumber, MoveInfo& info,
                  Prompter& prompter);
// Entries 0-255 to move-info record k - 1 (failure: "<path> 書込エラー！", false); with an
// overflow number n, entries 256-511 to move-info overflow record n, only when that file exists
// and already holds at least n records.
bool WriteMoveInfo(const GameStore& store, long k, int overflowNumber, const MoveInfo& info,
                   Prompter& prompter);
// Game-data record k - 1 fills slots 1-256 (nothing read: false); with an overflow number n and
// an overflow game-data file, its record n - 1 fills slots 257-512, else they are zero.
bool ReadGameData(const GameStore& store, long k, int overflowNumber, MoveBytes& moves);
// Slots 1-256 to game-data record k - 1; with an overflow number n (1-16384) slots 257-512 to
// overflow game-data record n - 1. False when a write fails or k is out of range.
bool WriteGameData(const GameStore& store, long k, int overflowNumber, const MoveBytes& moves);

// --- overflow numbers ---------------------------------------------------------------------------

// The lowest free overflow number, marked in use; 0 when all 16384 are taken. Creates the
// move-info overflow file (with an empty bitmap) and the overflow game-data file when missing.
// An unreadable bitmap shows "\r棋譜ファイルが壊れています。[GetChainNo]\r\r" and the file's path
// in double quotes, and answers 0.
int AllocateOverflowNumber(const GameStore& store, Prompter& prompter);
// Frees number n. False for a number outside 1-16384 or a bitmap that cannot be read or written.
bool ReleaseOverflowNumber(const GameStore& store, int n);

// --- creating a store ----------------------------------------------------------------------------

// A new, empty store: the index file with its header of 32 zero bytes and an empty game-data
// file; in the extended kind also empty detail and move-info files and comment file 0 with its
// bitmap. The overflow files are made on first use. Existing files of these names are emptied:
// callers make sure no store is there first (this is the only path that empties a store file).
// False when a file cannot be made or written; every file it made is then removed again, so that
// no half-made store stays. Each file is on the disk when it answers true.
bool CreateStoreFiles(const std::filesystem::path& path, bool extended,
                      RecordWriter& layer = DirectRecordWriter());

// --- sequential readers for whole-store paths ----------------------------------------------------

// Index records from record 1 (the header skipped), `blockRecords` at a time.
bool OpenIndexReader(const GameStore& store, RecordBlockReader& reader,
                     std::size_t blockRecords = 4096);
// Game-data records (slots 1-256 of games 1, 2, …), `blockRecords` at a time.
bool OpenGameDataReader(const GameStore& store, RecordBlockReader& reader,
                        std::size_t blockRecords = 4096);

// Game-by-game access with the files kept open, for loops over many games within one
// operation (searches, checks, exports). Files that do not exist are simply not read.
class StoreReader {
public:
    explicit StoreReader(const GameStore& store);
    // The same rules as the free functions above, without messages.
    bool ReadIndexRecord(std::uint32_t k, IndexRecord& record) const;
    bool ReadGameData(long k, int overflowNumber, MoveBytes& moves) const;
    bool ReadDetailRecord(long k, DetailRecord& detail) const;
    bool ReadMoveInfo(long k, int overflowNumber, MoveInfo& info) const;
    const GameStore& store() const { return store_; }

private:
    const GameStore& store_;
    RecordFile index_, gameData_, overflowGameData_, detail_, moveInfo_, moveInfoOverflow_;
};

// --- swapping rewritten files in ---------------------------------------------------------------

// The file-system steps of a rewrite: the store's file layer (store/record_file.h), replaceable
// so that tests can make one of them fail.
using FileSystemHooks = RecordWriter;

// The default hooks: the real file system.
FileSystemHooks& RealFileSystem();

// The message when a store's files disagree: "\r棋譜ファイルが壊れています。\r\r" + the path in
// double quotes.
std::string BrokenStoreMessage(const std::filesystem::path& path);

}  // namespace movra
