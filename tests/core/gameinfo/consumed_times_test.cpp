#include "core/gameinfo/consumed_times.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/gameinfo/move_comment.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::TempFolder;

// An extended store with one stored game of the given moves.
class GameInfoStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateStoreFiles(folder_ / "games.ipx", true));
        store_ = GameStore(folder_ / "games.idx", StoreKind::Extended);
    }
    long Append(int handicapNumber, const std::vector<const char*>& codes) {
        TKifData record;
        record.ResetHeader(handicapNumber);
        record.ClearMoves();
        record.SetUpStandard();
        for (const char* c : codes) EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(c)));
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(record, moves, info);
        index_ = IndexRecord{};
        index_.setHandicap(std::uint16_t(handicapNumber));
        const WrittenGame w = WriteGame(store_, index_, moves, kAppendGame, false, prompter_);
        EXPECT_TRUE(w.ok);
        DetailRecord detail;
        detail.CopyIndexWords(index_);
        detail.setMoveCount(std::uint16_t(codes.size()));
        EXPECT_TRUE(WriteGameDetail(store_, detail, info, kAppendGame, false).ok);
        store_.recordCount = w.recordNumber;
        return long(w.recordNumber);
    }

    TempFolder folder_;
    GameStore store_;
    IndexRecord index_;
    RecordingPrompter prompter_;
};

const std::vector<const char*> kFourMoves = {"7776 ", "3334 ", "2726 ", "8384 "};

// Per-move times typed line by line, their totals, the beep cases, rounding the measured times,
// and the update that writes them to the store, read back as the editor opens again.
TEST_F(GameInfoStoreTest, ConsumedTimesPerMoveAndBackFromTheStore) {
    const long k = Append(0, {"7776 ", "3334 ", "2726 "});
    auto source = ReadConsumedTimeSource(store_, k, index_, prompter_);
    ASSERT_TRUE(source.has_value());
    ConsumedTimeEditor editor(std::move(*source));
    // Three moves: four lines, the last for the final position.
    ASSERT_EQ(editor.lineCount(), 4);
    EXPECT_TRUE(editor.isLastLine(3));
    EXPECT_EQ(editor.Fields(0), (std::pair<std::string, std::string>{}));

    EXPECT_TRUE(editor.SetTime(0, "1", "30"));
    EXPECT_TRUE(editor.SetTime(2, "2", ""));
    EXPECT_TRUE(editor.SetTime(3, "10", "59"));  // the final position: the closing time
    EXPECT_TRUE(editor.modified());
    // 1:30 on move 1 and 2:00 on move 3 make sente's 3:30; the closing time counts for gote.
    EXPECT_EQ(editor.TotalLabels().first, "▲：  3分 30秒"_sj);
    EXPECT_EQ(editor.TotalLabels().second, "△： 10分 59秒"_sj);
    EXPECT_EQ(editor.LineText(0).substr(21), "  1分 30秒"_sj);
    EXPECT_EQ(editor.LineText(1).size(), 21u);
    // Only beeps: 1000 minutes, seconds of three characters or above 59.
    EXPECT_FALSE(editor.SetTime(1, "1000", "0"));
    EXPECT_FALSE(editor.SetTime(1, "1", "060"));
    EXPECT_FALSE(editor.SetTime(1, "1", "60"));
    EXPECT_EQ(editor.Time(1), 0);

    EXPECT_TRUE(editor.SetTime(1, "10", "58"));
    EXPECT_EQ(editor.RoundDownMeasured(), 1);  // 10:59 → 10:00, 10:58 stays
    EXPECT_EQ(editor.Time(3), 600);
    EXPECT_EQ(editor.Time(1), 658);

    std::optional<int> bad;
    ASSERT_TRUE(UpdateConsumedTimes(editor, store_, k, index_.overflowNumber(), prompter_, bad));
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(prompter_.texts().back(), TimesUpdatedMessage());

    auto again = ReadConsumedTimeSource(store_, k, index_, prompter_);
    ASSERT_TRUE(again.has_value());
    ConsumedTimeEditor reopened(std::move(*again));
    EXPECT_EQ(reopened.Time(0), 90);
    EXPECT_EQ(reopened.Time(1), 658);
    EXPECT_EQ(reopened.Time(2), 120);
    EXPECT_EQ(reopened.Time(3), 600);
    EXPECT_EQ(reopened.mode(), 0);
    // The times reach the game record as a stored game is read.
    TKifData record;
    ReadGameMoves(store_, k, 0, 0, true, 0, record, prompter_);
    EXPECT_EQ(record.moves[1].consumedTime, 90);
    EXPECT_EQ(record.moves[3].consumedTime, 120);
}

// Running totals: a side's total may not go down; the refusal writes nothing. A handicap game's
// list starts at move-info entry 1 and its first total is gote's.
TEST_F(GameInfoStoreTest, RunningTotalsAndHandicapOffset) {
    const long k = Append(0, kFourMoves);
    auto source = ReadConsumedTimeSource(store_, k, index_, prompter_);
    ASSERT_TRUE(source.has_value());
    ConsumedTimeEditor editor(std::move(*source));
    editor.setMode(1);
    ASSERT_TRUE(editor.SetTime(0, "5", ""));
    ASSERT_TRUE(editor.SetTime(2, "4", ""));  // sente's total goes down
    EXPECT_EQ(editor.FirstBadRunningTotal(), 2);
    std::optional<int> bad;
    EXPECT_FALSE(UpdateConsumedTimes(editor, store_, k, 0, prompter_, bad));
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(prompter_.texts().back(), RunningTotalMessage());
    auto unchanged = ReadConsumedTimeSource(store_, k, index_, prompter_);
    EXPECT_EQ(ConsumedTimeEditor(std::move(*unchanged)).Time(0), 0);

    ASSERT_TRUE(editor.SetTime(2, "6", ""));
    // The last move is not compared; the final time must pass the total of the side to move.
    ASSERT_TRUE(editor.SetTime(3, "1", ""));
    EXPECT_EQ(editor.FirstBadRunningTotal(), std::nullopt);
    ASSERT_TRUE(editor.SetTime(4, "6", ""));
    EXPECT_EQ(editor.FirstBadRunningTotal(), 4);
    ASSERT_TRUE(editor.SetTime(4, "7", ""));
    ASSERT_TRUE(UpdateConsumedTimes(editor, store_, k, 0, prompter_, bad));
    auto stored = ReadConsumedTimeSource(store_, k, index_, prompter_);
    EXPECT_EQ(stored->detail.timeMode(), 1);
    EXPECT_EQ(stored->detail.closingTime(), 420);

    // 香落ち: 上手 moves first, so the first line is entry 1 and the first total is 上手's (△).
    const long h = Append(1, {"3334 ", "7776 "});
    auto handicap = ReadConsumedTimeSource(store_, h, index_, prompter_);
    ASSERT_TRUE(handicap.has_value());
    ConsumedTimeEditor h1(std::move(*handicap));
    ASSERT_EQ(h1.lineCount(), 3);
    ASSERT_TRUE(h1.SetTime(0, "2", ""));
    EXPECT_EQ(h1.info().consumedTime(1), 120);
    EXPECT_EQ(h1.info().consumedTime(0), 0);
    EXPECT_EQ(h1.TotalLabels().first, "△：  2分  0秒"_sj);
    // Taken into the game record: move 1 of the handicap game is entry 1.
    ASSERT_TRUE(h1.SetTime(2, "0", "45"));
    TKifData game;
    ReadGameMoves(store_, h, 0, 1, true, 0, game, prompter_);
    TakeConsumedTimes(h1.Times(), 1, game);
    EXPECT_EQ(game.moves[1].consumedTime, 120);
    EXPECT_EQ(game.moves[2].consumedTime, 0);
    EXPECT_EQ(game.moves[3].consumedTime, 45);
}

// A comment edited on a stored game is written and linked at once and reads back with the game;
// emptying it frees the number and the link. A working comment lands in a working slot.
TEST_F(GameInfoStoreTest, EditedCommentsSurviveReading) {
    const long k = Append(0, kFourMoves);
    TKifData record;
    ReadGameMoves(store_, k, 0, 0, true, 0, record, prompter_);
    ASSERT_EQ(record.moveCount, 4);

    ASSERT_TRUE(StoreGameComment(store_, k, index_, record, {2, "急所の一手"_sj, 75}, prompter_));
    ASSERT_TRUE(StoreGameComment(store_, k, index_, record, {0, "開始"_sj, 99}, prompter_));
    ASSERT_TRUE(StoreGameComment(store_, k, index_, record, {5, "終局"_sj, 30}, prompter_));
    // Rewriting keeps its number.
    const int number = record.moves[2].commentRecord;
    ASSERT_TRUE(StoreGameComment(store_, k, index_, record, {2, "次の一手"_sj, 80}, prompter_));
    EXPECT_EQ(record.moves[2].commentRecord, number);

    TKifData read;
    ReadGameMoves(store_, k, 0, 0, true, 0, read, prompter_);
    ASSERT_NE(read.moves[2].commentRecord, 0);
    EXPECT_EQ(ReadComment(store_, read.moves[2].commentFile, read.moves[2].commentRecord, prompter_),
              "次の一手"_sj);
    EXPECT_EQ(read.moves[2].consumedTime, 80);
    DetailRecord detail;
    ASSERT_TRUE(ReadDetailRecord(store_, k, detail, prompter_));
    EXPECT_EQ(ReadComment(store_, detail.openingCommentFile(), detail.openingCommentNumber(), prompter_),
              "開始"_sj);
    EXPECT_EQ(ReadComment(store_, detail.closingCommentFile(), detail.closingCommentNumber(), prompter_),
              "終局"_sj);
    EXPECT_EQ(detail.closingTime(), 30);

    ASSERT_TRUE(StoreGameComment(store_, k, index_, record, {2, "", 80}, prompter_));
    ReadGameMoves(store_, k, 0, 0, true, 0, read, prompter_);
    EXPECT_EQ(read.moves[2].commentRecord, 0);

    ASSERT_TRUE(CreateWorkingCommentFile(store_, prompter_));
    ASSERT_TRUE(StoreWorkingComment(store_, record, {3, "作業中"_sj, 12}, prompter_));
    ASSERT_NE(record.moves[3].workingComment, 0);
    EXPECT_EQ(ReadComment(store_, kWorkingCommentFile, record.moves[3].workingComment, prompter_),
              "作業中"_sj);
    EXPECT_EQ(record.moves[3].consumedTime, 12);
    ASSERT_TRUE(StoreWorkingComment(store_, record, {3, "", 12}, prompter_));
    EXPECT_EQ(record.moves[3].workingComment, 0);
    // A point past the final position is refused.
    EXPECT_FALSE(StoreWorkingComment(store_, record, {6, "x", 0}, prompter_));
}

TEST(MoveComment, InputChecks) {
    const std::vector<std::string> five = {"a", "b", "c", "d", "e"};
    EXPECT_EQ(CheckCommentInput(five, "0", "0", true).focus, CommentField::Memo);
    // Four lines of 64 bytes: 256 bytes of text plus the line breaks between them.
    const std::vector<std::string> full(4, std::string(64, 'x'));
    const CommentCheck tooLong = CheckCommentInput(full, "0", "0", true);
    EXPECT_EQ(tooLong.focus, CommentField::Memo);
    EXPECT_EQ(tooLong.message, "コメントの文字数が長すぎます！\r\r全角１２８文字以内で入力して下さい。"_sj);
    const std::vector<std::string> fits = {std::string(64, 'x'), std::string(64, 'x'),
                                           std::string(64, 'x'), std::string(58, 'x')};
    EXPECT_TRUE(CheckCommentInput(fits, "0", "0", true).ok());
    // Blank lines only: no comment.
    const CommentCheck blank = CheckCommentInput({" ", "　"_sj, "", ""}, "0", "0", true);
    ASSERT_TRUE(blank.ok());
    EXPECT_EQ(blank.comment, "");
    EXPECT_EQ(CheckCommentInput({"", "ab", "cd", ""}, "1", "5", true).comment, "ab\r\ncd");
    EXPECT_EQ(CheckCommentInput({"ab", "cd"}, "1", "5", true).seconds, 65);
    // 999:59 is the largest time; the starting position has none to check.
    EXPECT_EQ(CheckCommentInput({"x"}, "999", "59", true).seconds, 59999);
    EXPECT_EQ(CheckCommentInput({"x"}, "999", "60", true).focus, CommentField::Minutes);
    EXPECT_EQ(CheckCommentInput({"x"}, "", "1", true).focus, CommentField::Minutes);
    EXPECT_TRUE(CheckCommentInput({"x"}, "", "", false).ok());
    EXPECT_EQ(SpinCommentMinutes("999", true), "0");
    EXPECT_EQ(SpinCommentMinutes("0", false), "999");
    EXPECT_EQ(SpinCommentSeconds("59", true), "0");
    EXPECT_EQ(SplitCommentLines("ab\r\ncd\r\n"), (std::vector<std::string>{"ab", "cd"}));

    EXPECT_EQ(CommentHeading(0, 3, ""), " 開始局面のコメント"_sj);
    EXPECT_EQ(CommentHeading(4, 3, ""), " 最終局面のコメント"_sj);
    EXPECT_EQ(CommentHeading(2, 3, "  2  △３四歩(33)"_sj), " 2手目 △３四歩(33) のコメント"_sj);
}

}  // namespace
}  // namespace movra
