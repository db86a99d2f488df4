#pragma once
// Importing text game records into the open store: one file (`ImportTextFile`) and the import
// run over chosen files or a folder, with progress and a summary.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/store_appender.h"
#include "core/store/store_files.h"
#include "core/textio/coded_game.h"
#include "core/textio/imported_header.h"

namespace movra {

// Places of the file ordinal in the progress line: chosen files are counted in five, the files
// of a folder (which may be many more) in six.
inline constexpr int kChosenFilesProgressDigits = 5;
inline constexpr int kFolderProgressDigits = 6;

// What an import works with. Every entry point plays the games it reads through on a game record
// of its own, so the game on the caller's board is never touched by an import.
struct ImportContext {
    GameStore& store;
    Prompter& prompter;
    MasterTables masters;
    // The start date of games whose file gives none, "yyyy-mm-dd hh:mm:ss"; empty: the clock.
    std::string now;
    // Told the progress line of each file ("    1: game.kif"): the file's ordinal in
    // progressDigits places and its name.
    std::function<void(const std::string& line)> progressLine;
    int progressDigits = kChosenFilesProgressDigits;
    // The most games the store may hold when the import ends (the catalogue's capacity; a test
    // may set a smaller one to reach it quickly).
    std::uint32_t gameLimit = kMaxCatalogueGames;
};

struct FileImport {
    int stored = 0;        // games stored from the file
    std::string refusal;   // why nothing (or, for a coded file, not everything) was stored
    std::vector<std::string> notes;  // what the reader decided for itself about a stored game
};

// Reads one file and appends its game (or, for a coded file, its games) to the store. A file
// with the extension ".ki2" (or ".ki2u") is read as KI2; any other is recognised by its lines.
// Nothing is written for a game until it has been read, its moves played through and its store
// encoding made, so a refused game leaves the store as it was.
FileImport ImportTextFile(const std::filesystem::path& path, ImportContext& context);

// One game read by any reader into the store: the moves applied to a game record, the header
// built, the game appended with its comments and consumed times. The comments are kept as the
// temporary comment area keeps them: the first 255 the reader found, each cut to 256 bytes.
ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context);
// The same within a session of the store that the caller commits. A store that cannot be
// written raises StoreIoError, the session then being back at its last commit.
ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context,
                         StoreAppender& appender);

// The first game of a game-record file of any format the import reads, played through on
// `record` from its start, without a store: what a double click on a file shows. The names are
// the file's. A refusal says why there is no game to show.
struct FileGame {
    std::string senteName, goteName;
};
ReadStatus ReadFirstGame(const std::filesystem::path& path, TKifData& record, FileGame& names);

struct ImportScratch;

// A run that stores games of readers of their own (a Lisvek collection) one after another: one
// session of the store, committed a thousand games or so at a time, with the game record and
// buffers kept from game to game. Each game is stored as StoreReadGame stores it.
class GameImportSession {
public:
    explicit GameImportSession(ImportContext& context, RecordWriter& writer = DirectRecordWriter());
    GameImportSession(const GameImportSession&) = delete;
    GameImportSession& operator=(const GameImportSession&) = delete;
    // What was not committed is dropped.
    ~GameImportSession();

    // Stores one game, committing when enough is pending. A store that cannot be written raises
    // StoreIoError: the games since the last commit are then gone and the store is as it was at
    // that commit.
    ReadStatus Store(ReadGame& game, bool withBreaks);
    // Writes what is pending (StoreIoError as above).
    void Commit();
    // Games committed so far.
    long committed() const { return committed_; }
    // The store holds as many games as it may: nothing more can be stored.
    bool storeFull() const;
    // Long games stored with their first 256 slots only.
    std::size_t cutGames() const;

private:
    ImportContext& context_;
    std::unique_ptr<StoreAppender> appender_;
    std::unique_ptr<ImportScratch> scratch_;
    std::uint32_t committedCount_;
    long committed_ = 0;
    long pending_ = 0;
};

struct ImportSummary {
    long filesRead = 0;
    long gamesStored = 0;
    // Long games stored with their first 256 slots only: no overflow number was free.
    long gamesCut = 0;
    struct Refused {
        std::filesystem::path path;
        std::string reason;
    };
    std::vector<Refused> refused;
    // Games stored with something the reader had to decide for itself (an end word it does not
    // know, stored as unfinished), one entry per note.
    std::vector<Refused> noted;
    // The store reached the number of games it can hold; the games and files after that point
    // were not stored (they are among the refused).
    bool storeFull = false;
};

// The close of an import run: the progress at its end and the count of games stored
// ("\rN件の棋譜をインポートしました。", or "\r棋譜はインポートされませんでした。" for none).
void EndImportRun(const std::string& banner, long total, const ImportSummary& summary,
                  Prompter& prompter);

// Why a game or file was not stored once the store holds the most games it can.
inline constexpr char kStoreFullReason[] = "the store holds the most games it can (1,000,000)";
// Said once when an import stops at the store's limit.
std::string StoreFullMessage();

// The import run over a list of files, in order: each refused file is told through the prompter
// ("棋譜のインポートに失敗しました。\r\r( path )"), and the run ends with the count
// ("\rN件の棋譜をインポートしました。" or "\r棋譜はインポートされませんでした。").
// The whole run is one session of the store, committed a thousand games or so at a time. When
// the store cannot be written the run ends: the message "\r<path> 書込エラー！" is shown, and the
// files whose games were not committed yet are refused with the store's error, as are the files
// the run did not come to (every game is either whole in the store or absent).
ImportSummary ImportFiles(const std::vector<std::filesystem::path>& files, ImportContext& context);
// The same with the store's records put on the disk by `writer` (tests give one that fails).
ImportSummary ImportFiles(const std::vector<std::filesystem::path>& files, ImportContext& context,
                          RecordWriter& writer);

// The game-record files of a folder: ".kif" and ".ki2" (and their UTF-8 forms ".kifu" and
// ".ki2u"), any case, by name; the store's own game-data file is left out. With `levels` above 0
// the sub-folders are searched too, that many levels down (a negative number: all of them).
std::vector<std::filesystem::path> GameRecordFiles(const std::filesystem::path& folder,
                                                   int levels, const StoreFiles* store);

// The message texts of the run.
std::string ImportFailedMessage(const std::filesystem::path& path);
std::string ImportedCountMessage(long count);
std::string NothingImportedMessage();

}  // namespace movra
