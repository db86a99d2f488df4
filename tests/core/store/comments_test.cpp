#include "core/store/comments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/sjis_literal.h"
#include "core/store/game_io.h"
#include "core/store/store_edit.h"
#include "core/store/store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

class CommentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateStoreFiles(folder_ / "games.ipx", true));
        store_ = GameStore(folder_ / "games.idx", StoreKind::Extended);
    }

    // Appends a game of the given moves (and handicap) with empty comment links; returns k.
    long AppendGame(int handicapNumber, const std::vector<const char*>& codes) {
        TKifData record;
        record.ResetHeader(handicapNumber);
        record.ClearMoves();
        record.SetUpStandard();
        for (const char* c : codes) EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(c)));
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(record, moves, info);
        IndexRecord index;
        index.setHandicap(static_cast<std::uint16_t>(handicapNumber));
        const WrittenGame w = WriteGame(store_, index, moves, kAppendGame, false, prompter_);
        EXPECT_TRUE(w.ok);
        DetailRecord detail;
        detail.CopyIndexWords(index);
        EXPECT_TRUE(WriteGameDetail(store_, detail, info, kAppendGame, false).ok);
        return static_cast<long>(w.recordNumber);
    }

    std::vector<std::uint8_t> Cp0() { return FileBytes(store_.files.Path(".cp0")); }
    std::string Lines(const std::string& name) {
        const auto bytes = FileBytes(folder_ / name);
        return std::string(bytes.begin(), bytes.end());
    }

    TempFolder folder_;
    GameStore store_;
    RecordingPrompter prompter_;
};

TEST_F(CommentsTest, NumbersOneTo32ShareRecordOneAnd33StartsRecordTwo) {
    for (int n = 1; n <= 33; ++n) {
        const CommentWriteResult w = WriteComment(store_, 0, 0, "c" + std::to_string(n), prompter_);
        ASSERT_EQ(w.file, 0);
        ASSERT_EQ(w.number, n);
    }
    const auto bytes = Cp0();
    ASSERT_EQ(bytes.size(), 3 * kCommentRecordSize);
    EXPECT_EQ(bytes[0], 0xFF);  // numbers 1-8 in use
    EXPECT_EQ(bytes[4], 0x80);  // number 33
    EXPECT_EQ(bytes[kCommentRecordSize - 1], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[kCommentRecordSize + 31 * 256]), 3), "c32");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[2 * kCommentRecordSize]), 3), "c33");
    EXPECT_EQ(ReadComment(store_, 0, 33, prompter_), "c33");
    EXPECT_EQ(ReadComment(store_, 0, 1, prompter_), "c1");
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(CommentsTest, AFullFileZeroMovesTheNextCommentToFileOne) {
    std::vector<std::uint8_t> full(kCommentRecordSize, 0xFF);
    WriteFileBytes(store_.files.Path(".cp0"), full);
    const CommentWriteResult w = WriteComment(store_, 0, 0, "next", prompter_);
    EXPECT_EQ(w.file, 1);
    EXPECT_EQ(w.number, 1);
    const auto cp1 = FileBytes(folder_ / "games.cp1");
    ASSERT_EQ(cp1.size(), 2 * kCommentRecordSize);
    EXPECT_EQ(cp1[0], 0x80);
    EXPECT_EQ(cp1[kCommentRecordSize - 1], 0x01);
    EXPECT_EQ(ReadComment(store_, 1, 1, prompter_), "next");
}

TEST_F(CommentsTest, WhenEveryFileIsFullNothingIsWrittenAndTheLimitIsTold) {
    std::vector<std::uint8_t> full(kCommentRecordSize, 0xFF);
    for (int f = 0; f < kCommentFileCount; ++f) {
        WriteFileBytes(store_.files.folder() / ("games" + ext::CommentFile(f)), full);
    }
    const CommentWriteResult w = WriteComment(store_, 0, 0, "lost", prompter_);
    EXPECT_EQ(w.number, 0);
    EXPECT_TRUE(w.limitReached);
    EXPECT_EQ(CommentLimitText(), "棋譜コメント数が制限値を超えました。これ以上入力できません！"_sj);
    // A bitmap whose last byte was cleared by hand still never hands out 65536.
    full[kCommentRecordSize - 1] = 0xFE;
    WriteFileBytes(store_.files.Path(".cp0"), full);
    EXPECT_EQ(AllocateCommentNumber(store_, prompter_).number, 0);
}

TEST_F(CommentsTest, ALongTextKeepsItsFirst256BytesWithoutATerminator) {
    const std::string text(300, 'x');
    const CommentWriteResult w = WriteComment(store_, 0, 0, text, prompter_);
    ASSERT_EQ(w.number, 1);
    const auto bytes = Cp0();
    ASSERT_EQ(bytes.size(), 2 * kCommentRecordSize);
    EXPECT_EQ(bytes[kCommentRecordSize + 255], 'x');
    EXPECT_EQ(bytes[kCommentRecordSize + 256], 0);  // the next slot stays empty
    EXPECT_EQ(ReadComment(store_, 0, 1, prompter_), std::string(256, 'x'));
    // A double-byte character is not cut: one byte then 150 two-byte characters keeps 255 bytes.
    std::string mixed = "a";
    for (int i = 0; i < 150; ++i) mixed += "あ"_sj;
    const CommentWriteResult m = WriteComment(store_, 0, 0, mixed, prompter_);
    EXPECT_EQ(ReadComment(store_, m.file, m.number, prompter_), mixed.substr(0, 255));
}

TEST_F(CommentsTest, ADeletedNumberIsReusedAndItsTextOverwritten) {
    WriteComment(store_, 0, 0, "first long text", prompter_);
    WriteComment(store_, 0, 0, "second", prompter_);
    EXPECT_EQ(DeleteComment(store_, 0, 1, prompter_), 1);
    EXPECT_EQ(ReadComment(store_, 0, 1, prompter_), "first long text");  // the text stays
    EXPECT_EQ(Cp0()[0], 0x40);
    const CommentWriteResult w = WriteComment(store_, 0, 0, "new", prompter_);
    EXPECT_EQ(w.number, 1);
    EXPECT_EQ(ReadComment(store_, 0, 1, prompter_), "new");
    EXPECT_EQ(DeleteComment(store_, 0, 0, prompter_), 0);
    // Writing at a given number rewrites the text without touching the bitmap.
    EXPECT_EQ(WriteComment(store_, 0, 2, "again", prompter_).number, 2);
    EXPECT_EQ(Cp0()[0], 0xC0);
    EXPECT_EQ(ReadComment(store_, 0, 2, prompter_), "again");
}

TEST_F(CommentsTest, WorkingFileSlotsAndTable) {
    ASSERT_TRUE(CreateWorkingCommentFile(store_, prompter_));
    auto bytes = FileBytes(folder_ / "games.cp$");
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(bytes[255], '*');
    EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 255, 0), 255);

    for (int s = 1; s <= kWorkingSlotCount; ++s) {
        ASSERT_EQ(WriteComment(store_, kWorkingCommentFile, 0, "w" + std::to_string(s), prompter_).number, s);
    }
    EXPECT_EQ(WriteComment(store_, kWorkingCommentFile, 0, "none", prompter_).number, 0);
    EXPECT_EQ(ReadComment(store_, kWorkingCommentFile, 255, prompter_), "w255");
    EXPECT_EQ(DeleteComment(store_, kWorkingCommentFile, 7, prompter_), 1);
    EXPECT_EQ(WriteComment(store_, kWorkingCommentFile, 0, "seven", prompter_).number, 7);
    EXPECT_EQ(ReadComment(store_, kWorkingCommentFile, 7, prompter_), "seven");
    EXPECT_EQ(WriteComment(store_, kWorkingCommentFile, 256, "x", prompter_).number, 0);
    EXPECT_TRUE(prompter_.shown.empty());

    DeleteWorkingCommentFile(store_.files);
    EXPECT_FALSE(fs::exists(folder_ / "games.cp$"));
    GameStore classic(folder_ / "games.idx", StoreKind::Classic);
    EXPECT_FALSE(CreateWorkingCommentFile(classic, prompter_));
}

TEST_F(CommentsTest, ReadFailuresWarnAndGiveNothing) {
    EXPECT_EQ(ReadComment(store_, 0, 5000, prompter_), "");  // past the end: zeros, no message
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_EQ(ReadComment(store_, 3, 1, prompter_), "");    // no such file
    EXPECT_EQ(ReadComment(store_, 200, 1, prompter_), "");  // a garbage file number
    EXPECT_EQ(ReadComment(store_, kWorkingCommentFile, 1, prompter_), "");
    ASSERT_EQ(prompter_.shown.size(), 3u);
    const std::string expected =
        "コメントファイル・エラー(001)\r\r"_sj + (folder_.path() / "games.cp?").string();
    EXPECT_EQ(prompter_.shown[0].text, expected);
    EXPECT_EQ(prompter_.shown[0].kind, RecordingPrompter::Shown::Warning);
    EXPECT_EQ(DeleteComment(store_, 9, 1, prompter_), 1);
    EXPECT_EQ(prompter_.shown.back().text, std::string("コメントファイル削除エラー！"_sj));
}

TEST_F(CommentsTest, AMoveCommentOfAHandicapGameGoesIntoEntryOne) {
    const long k = AppendGame(1, {"5152", "7776"});
    ASSERT_TRUE(LinkMoveComment(store_, k, 1, 1, 0, 42, 3, prompter_));
    MoveInfo info;
    ASSERT_TRUE(ReadMoveInfo(store_, k, 0, info, prompter_));
    EXPECT_EQ(info.bytes[0], 0xFF);  // the placeholder stays
    EXPECT_EQ(info.bytes[1], 0xFF);
    EXPECT_EQ(info.commentNumber(0), 0);
    EXPECT_EQ(info.commentNumber(1), 42);
    EXPECT_EQ(info.commentFile(1), 3);
    // The high nibble of byte 3 is kept.
    info.bytes[8 + 3] = 0xA3;
    ASSERT_TRUE(WriteMoveInfo(store_, k, 0, info, prompter_));
    ASSERT_TRUE(LinkMoveComment(store_, k, 1, 1, 0, 43, 5, prompter_));
    ASSERT_TRUE(ReadMoveInfo(store_, k, 0, info, prompter_));
    EXPECT_EQ(info.bytes[8 + 3], 0xA5);
    EXPECT_FALSE(LinkMoveComment(store_, k, 0, 1, 0, 1, 0, prompter_));
    EXPECT_FALSE(LinkMoveComment(store_, k, 512, 1, 0, 1, 0, prompter_));

    ASSERT_TRUE(SetConsumedTime(store_, k, 2, 1, false, 0, 95, prompter_));
    ASSERT_TRUE(SetConsumedTime(store_, k, 0, 1, true, 0, 61, prompter_));
    ASSERT_TRUE(LinkGameComment(store_, k, GameCommentPlace::Closing, 2, 77, prompter_));
    ASSERT_TRUE(ReadMoveInfo(store_, k, 0, info, prompter_));
    EXPECT_EQ(info.consumedTime(2), 95);
    DetailRecord detail;
    ASSERT_TRUE(ReadDetailRecord(store_, k, detail, prompter_));
    EXPECT_EQ(detail.closingTime(), 61);
    EXPECT_EQ(detail.closingCommentFile(), 2);
    EXPECT_EQ(detail.closingCommentNumber(), 77);
    EXPECT_EQ(detail.openingCommentNumber(), 0);
}

TEST_F(CommentsTest, SavingTurnsWorkingCommentsIntoStoredOnesAndFreesTheOldOnes) {
    // The game as stored: moves 1 and 2 had comments 1 and 2, the opening position comment 3.
    WriteComment(store_, 0, 0, "old 1", prompter_);
    WriteComment(store_, 0, 0, "old 2", prompter_);
    WriteComment(store_, 0, 0, "old opening", prompter_);
    MoveList snapshot{};
    snapshot[1].commentRecord = 1;
    snapshot[2].commentRecord = 2;

    ASSERT_TRUE(CreateWorkingCommentFile(store_, prompter_));
    TKifData record;
    record.ResetHeader(1);  // a handicap game: move m is in entry m
    record.ClearMoves();
    record.SetUpStandard();
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("5152")));
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("7776")));
    record.moves[0].workingComment = static_cast<std::uint8_t>(
        WriteComment(store_, kWorkingCommentFile, 0, "start", prompter_).number);
    record.moves[2].workingComment = static_cast<std::uint8_t>(
        WriteComment(store_, kWorkingCommentFile, 0, "move two", prompter_).number);
    record.moves[3].workingComment = static_cast<std::uint8_t>(
        WriteComment(store_, kWorkingCommentFile, 0, "the end", prompter_).number);

    DetailRecord detail;
    detail.setOpeningComment(0, 3);
    MoveInfo info;
    const SaveCommentsResult r =
        SaveGameComments(store_, record, snapshot, 2, detail, info, prompter_);
    EXPECT_EQ(r.written, 3);
    EXPECT_EQ(r.released, 3);  // moves 1 and 2 of the snapshot, and the replaced opening comment
    EXPECT_FALSE(r.limitReached);
    // New numbers 4, 5, 6 in the order opening, move 2, closing.
    EXPECT_EQ(detail.openingCommentNumber(), 4);
    EXPECT_EQ(info.commentNumber(2), 5);  // move 2 of a handicap game is entry 2
    EXPECT_EQ(info.commentNumber(1), 0);
    EXPECT_EQ(detail.closingCommentNumber(), 6);
    EXPECT_EQ(record.moves[2].commentRecord, 5);
    EXPECT_EQ(ReadComment(store_, 0, 5, prompter_), "move two");
    EXPECT_EQ(Cp0()[0], 0x1C);  // 1, 2, 3 free; 4, 5, 6 in use
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(CommentsTest, SavingNeverFreesANumberTheGameNowUses) {
    // A damaged snapshot names number 1, which is free: the new comment gets it and keeps it.
    TKifData record;
    record.ResetHeader(0);
    record.ClearMoves();
    record.SetUpStandard();
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("7776")));
    ASSERT_TRUE(CreateWorkingCommentFile(store_, prompter_));
    record.moves[1].workingComment = 1;
    WriteComment(store_, kWorkingCommentFile, 1, "kept", prompter_);
    MoveList snapshot{};
    snapshot[1].commentRecord = 1;
    DetailRecord detail;
    MoveInfo info;
    const SaveCommentsResult r = SaveGameComments(store_, record, snapshot, 1, detail, info, prompter_);
    EXPECT_EQ(r.released, 0);
    EXPECT_EQ(info.commentNumber(0), 1);
    EXPECT_EQ(Cp0()[0], 0x80);
}

TEST_F(CommentsTest, EditingAStoredGameCopiesItsCommentsAndSavingReplacesThem) {
    const long k = AppendGame(0, {"7776", "3334", "2726"});
    const int c1 = WriteComment(store_, 0, 0, "first", prompter_).number;
    const int c3 = WriteComment(store_, 0, 0, "third", prompter_).number;
    ASSERT_TRUE(LinkMoveComment(store_, k, 1, 0, 0, c1, 0, prompter_));
    ASSERT_TRUE(LinkMoveComment(store_, k, 3, 0, 0, c3, 0, prompter_));

    TKifData record;
    ASSERT_TRUE(ReadGameMoves(store_, k, 0, 0, true, 0, record, prompter_).found);
    const StoredGameEdit edit = BeginEditingStoredGame(store_, record, prompter_);
    EXPECT_EQ(edit.copied, 2);
    EXPECT_EQ(record.moves[1].workingComment, 1);
    EXPECT_EQ(record.moves[3].workingComment, 2);
    EXPECT_EQ(edit.asStored.moveCount(), 3);
    EXPECT_EQ(ReadComment(store_, kWorkingCommentFile, 2, prompter_), "third");

    // The user drops the comment on move 1 and keeps the one on move 3.
    DeleteComment(store_, kWorkingCommentFile, record.moves[1].workingComment, prompter_);
    record.moves[1].workingComment = 0;
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(record, moves, info);
    DetailRecord detail;
    const SaveCommentsResult r = SaveGameComments(store_, record, edit.asStored, detail, info, prompter_);
    EXPECT_EQ(r.written, 1);
    EXPECT_EQ(r.released, 2);
    EXPECT_EQ(info.commentNumber(0), 0);
    // The new comment is written before the old ones are freed, so it takes number 3.
    EXPECT_EQ(info.commentNumber(2), 3);
    EXPECT_EQ(ReadComment(store_, 0, 3, prompter_), "third");
    EXPECT_EQ(Cp0()[0], 0x20);
}

TEST_F(CommentsTest, ReleasingADeletedGamesCommentsCoversBothHalvesAndThePositions) {
    for (int i = 0; i < 6; ++i) WriteComment(store_, 0, 0, "c", prompter_);
    MoveInfo info;
    info.setCommentNumber(0, 1);
    info.setCommentNumber(300, 2);  // in the move-info overflow record
    info.setCommentNumber(511, 3);
    DetailRecord detail;
    detail.setOpeningComment(0, 4);
    detail.setClosingComment(0, 5);
    ReleaseCommentsOfGame(store_, detail, info, prompter_);
    EXPECT_EQ(Cp0()[0], 0x04);  // only number 6 stays
    EXPECT_TRUE(prompter_.shown.empty());

    // A link to a file that is not there is told, not followed.
    info = MoveInfo{};
    info.setCommentFile(0, 9);
    info.setCommentNumber(0, 1);
    CommentReleaser(store_, prompter_)(DetailRecord{}, info);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, std::string("コメントファイル削除エラー！"_sj));
}

TEST_F(CommentsTest, TheCheckListsErrorsDuplicatesAndEveryReference) {
    const long k1 = AppendGame(0, {"7776", "3334", "2726"});
    const long k2 = AppendGame(0, {"2726"});
    WriteComment(store_, 0, 0, "one", prompter_);
    ASSERT_TRUE(LinkMoveComment(store_, k1, 1, 0, 0, 1, 0, prompter_));
    ASSERT_TRUE(LinkMoveComment(store_, k1, 3, 0, 0, 1, 0, prompter_));   // the same number twice
    ASSERT_TRUE(LinkMoveComment(store_, k2, 1, 0, 0, 77, 0, prompter_));  // a free number
    const CommentCheckResult r = CheckComments(store_, folder_.path(), prompter_);
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.games, 2);
    EXPECT_EQ(r.references, 3);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.duplicates, 1);
    EXPECT_EQ(Lines("ComErr.txt"),
              "Comment Idx Duplicate! --- 棋譜=001,手数=003,Ｎｏ=1\r\n"
              "Comment Idx Error!     --- 棋譜=002,手数=001,Ｎｏ=77\r\n"_sj);
    EXPECT_EQ(Lines("ComIdx.txt"),
              "Comment --- 棋譜=001,手数=001,Ｎｏ=1\r\n"
              "Comment --- 棋譜=001,手数=003,Ｎｏ=1\r\n"
              "Comment --- 棋譜=002,手数=001,Ｎｏ=77\r\n"_sj);
    ASSERT_FALSE(prompter_.shown.empty());
    EXPECT_EQ(prompter_.shown.back().text, "Comment Check Finished.");
}

TEST_F(CommentsTest, TheCheckFollowsEachReferenceToItsOwnFile) {
    const long k = AppendGame(0, {"7776", "3334"});
    // File 1 number 1 is in use; file 0 number 1 is not.
    std::vector<std::uint8_t> full(kCommentRecordSize, 0xFF);
    WriteFileBytes(store_.files.Path(".cp0"), full);
    WriteComment(store_, 0, 0, "in file one", prompter_);
    full[0] = 0x7F;
    WriteFileBytes(store_.files.Path(".cp0"), full);
    ASSERT_TRUE(LinkMoveComment(store_, k, 1, 0, 0, 1, 1, prompter_));
    ASSERT_TRUE(LinkMoveComment(store_, k, 2, 0, 0, 1, 0, prompter_));
    const CommentCheckResult r = CheckComments(store_, folder_.path(), prompter_);
    EXPECT_EQ(r.references, 2);
    EXPECT_EQ(r.errors, 1);      // file 0 number 1
    EXPECT_EQ(r.duplicates, 0);  // the two number 1s are different comments
}

TEST_F(CommentsTest, TheCheckOfAStoreWithoutMoveInfoFailsCleanly) {
    fs::remove(store_.files.Path(".kpf"));
    EXPECT_THROW(CheckComments(store_, folder_.path(), prompter_), StoreIoError);
}

TEST_F(CommentsTest, DeletingAGameThroughTheStoreReleasesItsComments) {
    const long k1 = AppendGame(0, {"7776", "3334"});
    AppendGame(0, {"2726"});
    const int c1 = WriteComment(store_, 0, 0, "of game 1", prompter_).number;
    const int c2 = WriteComment(store_, 0, 0, "of game 2", prompter_).number;
    ASSERT_TRUE(LinkMoveComment(store_, k1, 2, 0, 0, c1, 0, prompter_));
    ASSERT_TRUE(LinkMoveComment(store_, 2, 1, 0, 0, c2, 0, prompter_));
    store_.recordCount = 2;
    DeleteOptions options;
    options.releaseComments = CommentReleaser(store_, prompter_);
    ASSERT_EQ(DeleteGames(store_, 1, {}, 0, prompter_, options), 1u);
    EXPECT_EQ(Cp0()[0], 0x40);  // only game 2's comment is still in use
    MoveInfo info;
    ASSERT_TRUE(ReadMoveInfo(store_, 1, 0, info, prompter_));
    EXPECT_EQ(info.commentNumber(0), c2);
}

}  // namespace
}  // namespace movra
