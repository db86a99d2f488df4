#pragma once
// The one path by which games reach the store: a writing session over the store's files.
//
// Saving one game from the board and importing a folder of ten thousand text files write the
// same records in the same order; they differ only in how many games one session holds. A
// session opens each file it needs once, keeps the header count, the usage bitmaps of the
// comment files and the overflow bitmap in memory, and keeps what it writes in memory until
// Commit. Commit first writes the store's journal (store/store_journal.h: the bytes every file
// holds where the commit will write, and each file's length) and puts it on the disk, then the
// pending records file by file in the order a reader relies on:
//
//   game data, overflow bitmap, overflow game data, index records;
//   the comment files (usage bitmap, then the texts);
//   detail records, move info, move-info overflow records;
//   everything put on the disk, then the header count last,
//
// so that the header never counts a game whose records are not all on the disk; the journal goes
// once the count is on the disk. When any write of a commit fails, every file is put back as it
// was before the commit (records it overwrote written back, files cut back to their old length,
// files made for its games removed) and StoreIoError is raised: the games of that commit are
// absent and every game committed before is whole. A process killed during a commit leaves the
// journal, and the next opening of the store (ValidateStore) puts the files back the same way.
// Any StoreIoError a session raises leaves it ready to go on from its last commit. A session
// dropped without Commit writes nothing more.
//
// WriteGame, WriteGameDetail (store/game_io.h), the comment operations of store/comments.h and
// the overflow numbers of store/store_files.h are each one short session.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/comment_layout.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra {

class StoreAppender {
public:
    // Games a session keeps before CommitDue asks for a commit, and the bytes it may hold.
    static constexpr std::size_t kCommitGames = 1024;
    static constexpr std::size_t kCommitBytes = 16u << 20;

    // Opens nothing yet: each file is opened when first needed. `writer` puts the bytes on the
    // disk (tests give one that fails).
    StoreAppender(const GameStore& store, Prompter& prompter,
                  RecordWriter& writer = DirectRecordWriter());
    StoreAppender(const StoreAppender&) = delete;
    StoreAppender& operator=(const StoreAppender&) = delete;
    // What was not committed is dropped.
    ~StoreAppender();

    const GameStore& store() const { return store_; }

    // --- the two halves of a game --------------------------------------------------------------

    // The rules of `WriteGame` (store/game_io.h): the index record and the move bytes as game k,
    // or appended (k < 0 or the game-data record count + 1), with the overflow part settled in
    // the extended kind and word 15 of `index` set accordingly. Refused (nothing kept) for a
    // record number past the end + 1.
    WrittenGame WriteGame(IndexRecord& index, const MoveBytes& moves, long k, bool keepMoves);
    // The rules of `WriteGameDetail`: the detail record and, unless keepMoves, the move info.
    WrittenGame WriteGameDetail(const DetailRecord& detail, const MoveInfo& info, long k,
                                bool keepMoves);

    // --- overflow numbers ------------------------------------------------------------------------

    // The lowest free number, marked in use; 0 when none is free, or (with the store's message)
    // when the bitmap cannot be read. Creates the move-info overflow file and the overflow
    // game-data file when the first number is handed out.
    int AllocateOverflowNumber();
    // Frees n; false for a number outside 1-16384 or a bitmap that cannot be read.
    bool ReleaseOverflowNumber(int n);

    // --- comments ---------------------------------------------------------------------------------

    // The lowest free number of the first comment file that has one (a missing file is created
    // on the way), not marked. `limitReached` when all sixteen are full, `failed` when a file
    // cannot be opened or created.
    CommentWriteResult FreeCommentNumber();
    // Stores a text as a new comment: the number is marked in use and the text's first 256
    // bytes go into its slot.
    CommentWriteResult AddComment(std::string_view text);
    // Writes a text into the slot of a given number of comment file f (0-15), leaving the usage
    // bitmap alone. False when the file cannot be opened or created.
    bool WriteCommentText(int file, int number, std::string_view text);
    // Stores the comment on move record `move` of a game of `moveCount` moves and links it:
    // move 0 (the starting position) and moveCount + 1 (the final position, while the game is
    // shorter than 512 moves) in the detail record, any other move in its move-info entry. A
    // move that has no place to link to stores nothing (number 0).
    CommentWriteResult AddGameComment(int move, int moveCount, int handicapNumber,
                                      std::string_view text, DetailRecord& detail, MoveInfo& info);
    // Frees comments (references to file numbers outside 0-15 or to number 0 are passed over).
    // Answers how many were freed; `failed` when a comment file could not be opened or read.
    int ReleaseComments(std::span<const CommentRef> refs, bool& failed);

    // --- a whole game -----------------------------------------------------------------------------

    struct GameComment {
        int move = 0;               // the move record it belongs to
        std::string_view text;
        CommentRef stored;          // where it went; number 0 when it was not stored
    };
    struct AppendedGame {
        WrittenGame written;
        bool commentLimitReached = false;  // a comment found every comment file full
    };
    // Appends a game read from elsewhere: the index record and moves (the first half), then in
    // the extended kind its comments in the order given, linked into `detail` and `info`, the
    // index words copied into the detail record, and the second half.
    AppendedGame AppendGame(IndexRecord& index, const MoveBytes& moves, DetailRecord& detail,
                            MoveInfo& info, int moveCount, int handicapNumber,
                            std::span<GameComment> comments);

    // --- committing -------------------------------------------------------------------------------

    // Writes everything pending in the store's order (above). On a failed write the store is
    // put back as it was at the last commit, the pending games are dropped and StoreIoError is
    // raised.
    void Commit();
    // Forgets everything not committed, putting back what a failed commit had written.
    void Abandon();
    // Whether enough is pending that a long run should commit now.
    bool CommitDue() const;
    // Games appended since the last commit.
    std::size_t pendingGames() const { return pendingGames_; }
    // The game-data file's record count, the pending games included (the record number of the
    // last game appended).
    std::uint32_t gameCount();
    // Long games this session stored with their first 256 slots only (no overflow number free).
    std::size_t cutGames() const { return cutGames_; }

private:
    struct CommentFileState {
        BufferedRecordFile file;
        std::unique_ptr<CommentBitmap> bitmap;  // loaded when first needed
        int firstMaybeFree = 1;                 // no number below it is free
        bool dirty = false;
    };

    BufferedRecordFile& Required(BufferedRecordFile& file, std::string_view extension,
                                 std::size_t recordSize);
    BufferedRecordFile* Optional(BufferedRecordFile& file, std::string_view extension,
                                 std::size_t recordSize, RecordFile::Access access);
    // Opens the file, making it when missing; a file made is remembered until the next commit.
    bool OpenOrMake(BufferedRecordFile& file, const std::filesystem::path& path,
                    std::size_t recordSize);
    BufferedRecordFile* OverflowGameData(bool create);
    BufferedRecordFile* MoveInfoOverflow();
    OverflowBitmap* LoadOverflowBitmap();
    CommentFileState* CommentFile(int f, bool create);
    int FindFreeComment(CommentFileState& state);
    void WriteSlot(CommentFileState& state, int number, std::string_view text);
    std::vector<BufferedRecordFile*> Files();
    void Put(BufferedRecordFile& file, std::uint64_t record, const std::uint8_t* bytes);
    void CommitWrites();
    void Flush(BufferedRecordFile& file, std::uint64_t first = 0,
               std::uint64_t last = BufferedRecordFile::kEnd);
    void Settle();

    GameStore store_;
    Prompter& prompter_;
    RecordWriter& writer_;
    BufferedRecordFile index_, gameData_, overflowGameData_, detail_, moveInfo_,
        moveInfoOverflow_;
    std::unique_ptr<OverflowBitmap> overflowBitmap_;
    bool overflowBitmapDirty_ = false;
    std::vector<CommentFileState> comments_;
    // Files made since the last commit: a failed commit removes them again.
    std::vector<std::filesystem::path> made_;
    std::size_t pendingGames_ = 0;
    std::size_t pendingBytes_ = 0;
    std::size_t cutGames_ = 0;
    bool pending_ = false;
    bool journal_ = false;  // this session's journal is on the disk
};

// "\r延長番号に空きがないため、N番目の棋譜は257手目以降が保存されませんでした。": a long game
// stored without its overflow part because no overflow number could be had.
std::string LongGameCutMessage(std::uint32_t recordNumber);

}  // namespace movra
