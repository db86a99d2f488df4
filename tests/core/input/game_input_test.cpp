// The rules of move input that need no window: the move limit, a different move dropping the rest
// of the game, ending a game with its result code, the slot chooser's lines, and live timing.
#include "core/input/game_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/input/live_timing.h"
#include "core/record/game_text.h"
#include "core/rules/notation.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::TempFolder;

// A game of the given move codes entered from the even-game start, with its lines.
struct Entered {
    std::unique_ptr<TKifData> record = std::make_unique<TKifData>();
    std::vector<std::string> full, visible;
};
Entered Enter(const std::vector<const char*>& codes, int handicapNumber = 0) {
    Entered e;
    e.record->ResetHeader(handicapNumber);
    e.record->ClearMoves();
    e.record->SetUpStandard();
    for (const char* c : codes) {
        const char* why = EnterMove(*e.record, e.full, e.visible, *MoveCode::Parse(c));
        EXPECT_EQ(why, nullptr) << c << ": " << (why ? why : "");
    }
    return e;
}

// 50 moves of a plausible even game: the two sides' pieces shuffle back and forth.
std::vector<const char*> FiftyMoves() {
    std::vector<const char*> codes = {"7776", "3334", "2726", "8384", "2625", "8485", "6978", "4132",
                                      "2524", "2324", "2824", "0123"};
    // Then the two gold-side silvers step out and back until 50 moves are made.
    const char* shuffle[] = {"3948", "7162", "4839", "6271"};
    for (int i = 0; codes.size() < 50; ++i) codes.push_back(shuffle[i % 4]);
    return codes;
}

TEST(GameInput, TheMoveLimitCountsTheHandicapPlaceholder) {
    EXPECT_EQ(MoveLimit(true, '0'), 512);
    EXPECT_EQ(MoveLimit(false, '0'), 256);
    EXPECT_EQ(MoveLimit(true, '1'), 511);
    EXPECT_EQ(MoveLimit(false, '1'), 255);
    // A handicap game in a classic store: the 255th move can be entered, a 256th cannot.
    TKifData record;
    record.ResetHeader(1);
    record.moveCount = 254;
    EXPECT_FALSE(MoveLimitReached(record, false));
    record.moveCount = 255;
    EXPECT_TRUE(MoveLimitReached(record, false));
    EXPECT_FALSE(MoveLimitReached(record, true));
    record.ResetHeader(0);
    record.moveCount = 255;
    EXPECT_FALSE(MoveLimitReached(record, false));
    record.moveCount = 256;
    EXPECT_TRUE(MoveLimitReached(record, false));
}

TEST(GameInput, TheSameMoveAsStoredKeepsTheRestAndADifferentOneDropsIt) {
    Entered e = Enter(FiftyMoves());
    ASSERT_EQ(e.record->moveCount, 50);
    ASSERT_EQ(e.full.size(), 50u);
    const std::vector<std::string> lines = e.full;
    // Comments on moves 11 and 30, and a comment waiting on the final position.
    e.record->moves[11].workingComment = 3;
    e.record->moves[30].workingComment = 4;
    e.record->moves[51].workingComment = 5;
    e.record->moves[11].consumedTime = 61;

    // At move 10, move 11 entered as stored: moves 12-50 stay, with their lines and comments.
    e.record->GoToMove(10);
    ASSERT_EQ(EnterMove(*e.record, e.full, e.visible, e.record->moves[11].moveCode()), nullptr);
    EXPECT_EQ(e.record->currentMove, 11);
    EXPECT_EQ(e.record->moveCount, 50);
    EXPECT_EQ(e.full, lines);
    EXPECT_EQ(e.record->moves[11].workingComment, 3);
    EXPECT_EQ(e.record->moves[11].consumedTime, 61);
    EXPECT_EQ(e.record->moves[30].workingComment, 4);

    // At move 10 a different move 11: moves 12-50 go, and with them every comment after move 11.
    e.record->GoToMove(10);
    const std::string stored = e.record->moves[11].moveCode().str();
    ASSERT_EQ(stored, "2824 ") << "a move code ends in a blank or '+'";
    ASSERT_EQ(EnterMove(*e.record, e.full, e.visible, *MoveCode::Parse("1716")), nullptr);
    EXPECT_EQ(e.record->moveCount, 11);
    EXPECT_EQ(e.record->currentMove, 11);
    ASSERT_EQ(e.full.size(), 11u);
    EXPECT_EQ(e.visible, e.full);
    EXPECT_TRUE(std::equal(lines.begin(), lines.begin() + 10, e.full.begin()));
    EXPECT_EQ(e.full[10], "011  ▲１六歩"_sj);
    EXPECT_EQ(e.record->moves[11].workingComment, 0) << "the comment belonged to the replaced move";
    EXPECT_EQ(e.record->moves[11].consumedTime, 0);
    EXPECT_EQ(e.record->moves[12].workingComment, 0) << "nothing becomes the final position's comment";
    EXPECT_EQ(e.record->moves[30].workingComment, 0);
    EXPECT_EQ(e.record->moves[51].workingComment, 0);
    // The game goes on from there as a whole game.
    ASSERT_EQ(EnterMove(*e.record, e.full, e.visible, *MoveCode::Parse("2425")), nullptr);
    EXPECT_EQ(e.record->moveCount, 12);
    EXPECT_EQ(MoveListLines(*e.record).size(), 13u);
}

TEST(GameInput, MovesTheBoardRefusesAreNotEntered) {
    Entered e = Enter({"7776"});
    const auto refused = [&](const char* code) {
        const auto before = std::make_unique<TKifData>(*e.record);
        const std::vector<std::string> lines = e.full;
        const char* why = EnterMove(*e.record, e.full, e.visible, *MoveCode::Parse(code));
        if (why == nullptr) return false;
        EXPECT_TRUE(*e.record == *before) << code;
        EXPECT_EQ(e.full, lines) << code;
        return true;
    };
    EXPECT_TRUE(refused("7675")) << "sente's pawn when gote is to move";
    EXPECT_TRUE(refused("5141")) << "the king onto its own gold";
    EXPECT_TRUE(refused("0155")) << "gote holds no pawn";
    EXPECT_TRUE(refused("2233")) << "the bishop onto its own pawn";
    EXPECT_TRUE(refused("3335+")) << "a pawn moves one square";
    EXPECT_TRUE(refused("4132+")) << "a gold does not promote";
    EXPECT_FALSE(refused("3334"));
    // A pawn reaching the last rank must promote; entering it unpromoted is refused.
    Entered f = Enter({"7776", "3334", "7675", "3435", "7574", "3536", "7473", "3637", "7372", "3738"});
    const auto before = std::make_unique<TKifData>(*f.record);
    EXPECT_NE(EnterMove(*f.record, f.full, f.visible, *MoveCode::Parse("7271")), nullptr);
    EXPECT_TRUE(*f.record == *before);
    EXPECT_EQ(EnterMove(*f.record, f.full, f.visible, *MoveCode::Parse("7271+")), nullptr);
}

TEST(GameInput, EndingCommandsGiveTheResultOfTheSideThatMovedLast) {
    EXPECT_EQ(EndCodeFor(EndCommand::Resign, 75, '0'), '1');
    EXPECT_EQ(EndCodeFor(EndCommand::Resign, 76, '0'), '2');
    EXPECT_EQ(EndCodeFor(EndCommand::Resign, 75, '3'), '2') << "上手 moves first in a handicap game";
    EXPECT_EQ(EndCodeFor(EndCommand::Resign, 76, '3'), '1');
    EXPECT_EQ(EndCodeFor(EndCommand::IllegalLoss, 75, '0'), '2');
    EXPECT_EQ(EndCodeFor(EndCommand::IllegalLoss, 75, '3'), '1');
    EXPECT_EQ(EndCodeFor(EndCommand::Resign, 0, '0'), '2') << "no move made: sente resigns at once";
    EXPECT_EQ(EndCodeFor(EndCommand::Repetition, 75, '0'), '3');
    EXPECT_EQ(EndCodeFor(EndCommand::Impasse, 75, '0'), '4');
    EXPECT_EQ(EndCodeFor(EndCommand::LaterSenteWins, 75, '0'), '5');
    EXPECT_EQ(EndCodeFor(EndCommand::LaterGoteWins, 75, '0'), '6');
    EXPECT_EQ(EndCodeFor(EndCommand::LaterRepetition, 75, '0'), '7');
    EXPECT_EQ(EndCodeFor(EndCommand::LaterImpasse, 75, '0'), '8');
    EXPECT_EQ(EndCodeFor(EndCommand::Interrupt, 75, '0'), '0');
}

TEST(GameInput, EndingAtAnEarlierMoveAsksWhetherToKeepTheMovesAfterIt) {
    std::vector<const char*> codes = FiftyMoves();
    codes.resize(40);
    for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
        Entered e = Enter(codes);
        e.record->GoToMove(30);
        e.record->moves[35].workingComment = 9;
        RecordingPrompter prompter;
        prompter.answers = {answer};
        const EndTruncation t = AskEndTruncation(*e.record, prompter);
        ASSERT_EQ(prompter.texts(), std::vector<std::string>{KeepAllMovesQuestion()});
        const char code = EndGame(*e.record, e.full, e.visible, EndCommand::Resign, t);
        if (answer == Answer::Cancel) {
            EXPECT_EQ(code, '\0');
            EXPECT_EQ(e.record->moveCount, 40);
            EXPECT_EQ(e.full.size(), 40u) << "no closing line";
            continue;
        }
        const int kept = answer == Answer::Yes ? 40 : 30;
        EXPECT_EQ(e.record->moveCount, kept);
        EXPECT_EQ(code, '2') << "an even move count: gote made the last move";
        EXPECT_EQ(e.record->endCode, '2');
        ASSERT_EQ(e.visible.size(), std::size_t(kept + 1));
        EXPECT_EQ(e.visible.back(), ResultLine(kept, '0', '2'));
        EXPECT_EQ(e.full, e.visible);
        EXPECT_EQ(e.record->moves[35].workingComment, answer == Answer::Yes ? 9 : 0);
    }
    // At the last move nothing is asked.
    Entered e = Enter({"7776", "3334", "2726"});
    RecordingPrompter prompter;
    EXPECT_EQ(AskEndTruncation(*e.record, prompter), EndTruncation::KeepAll);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(EndGame(*e.record, e.full, e.visible, EndCommand::Interrupt, EndTruncation::KeepAll), '0');
    EXPECT_EQ(e.visible.back(), "3手まで"_sj);
}

TEST(GameInput, TheSlotChooserShowsNamesMovesAndFreeSlots) {
    TKifData record;
    // A label laid out as the game list lays out its lines: the sente name from character 10, the
    // gote name from character 34; a long name is cut at a character boundary.
    std::string label = "    1    "_sj;
    label += "羽生善治　竜王x"_sj;  // 15 bytes: the 15th is cut
    label.resize(33, ' ');
    label += "藤井聡太"_sj;
    record.SaveSlot(1, 12, label, GameHeader{});
    record.SetSlotInUse(1, true);
    const std::array<std::string, kSlotCount> lines = SlotChooserLines(record);
    EXPECT_EQ(lines[0], std::string("  1   ") + "未読込"_sj + std::string(8, ' ') + std::string(15, ' ') + std::string(6, ' '));
    EXPECT_EQ(lines[1], std::string("  2   ") + "羽生善治　竜王"_sj + " " + "藤井聡太"_sj + std::string(6, ' ') + "      0");
    EXPECT_EQ(lines[1].size(), 6u + 14 + 1 + 14 + 7);
    EXPECT_EQ(lines[0].size(), 6u + 14 + 15 + 6) << "six blanks stand for the move";
    EXPECT_EQ(SlotChooserLine(5, true, "short", 123), "  5   " + std::string(14, ' ') + " " + std::string(14, ' ') + "    123");
}

TEST(LiveTiming, ConsumedTimesCountWholeMinutesLessTheBreaks) {
    const TimingSchedule schedule = ParseTimingSchedule({"10:00:00", "12:10:00", "50", "18:10:00", "50"});
    EXPECT_EQ(schedule.startSeconds, 36000);
    EXPECT_EQ(schedule.lunchStart, 12 * 3600 + 600);
    EXPECT_EQ(schedule.eveningMinutes, 50);
    const auto at = [](int h, int m, int s) { return h * 3600 + m * 60 + s; };
    EXPECT_EQ(ElapsedSeconds(at(10, 0, 0), at(10, 3, 20), schedule), 200);
    EXPECT_EQ(RecordedTime(200), 3 * 60 + 59);
    EXPECT_EQ(RecordedTime(59), 59);
    // Across the lunch break its fifty minutes do not count; across both, neither counts.
    EXPECT_EQ(ElapsedSeconds(at(12, 0, 0), at(13, 5, 0), schedule), 15 * 60);
    EXPECT_EQ(ElapsedSeconds(at(12, 0, 0), at(18, 20, 0), schedule), at(6, 20, 0) - 100 * 60);
    // Ending exactly at the break's start is before it.
    EXPECT_EQ(ElapsedSeconds(at(12, 0, 0), at(12, 10, 0), schedule), 600);
    // A move during the break itself: the subtraction can make it negative.
    EXPECT_EQ(ElapsedSeconds(at(12, 9, 0), at(12, 20, 0), schedule), kOverlongTime);
    // Eleven hours: not believed.
    EXPECT_EQ(RecordedTime(ElapsedSeconds(at(9, 0, 0), at(20, 0, 0), TimingSchedule{0, 0, 0, 0, 0})), kOverlongTime);
    EXPECT_EQ(RecordedTime(35999), 35999 / 60 * 60 + 59);
    EXPECT_EQ(RecordedTime(36000), kOverlongTime);
    // A field that cannot be read keeps its default.
    EXPECT_EQ(ParseTimingSchedule({"25:00:00", "x", "", "18:00:00", "30"}).startSeconds, 36000);

    EXPECT_EQ(ThinkingTimeText(12, 125), "考慮時間   12 手目:    2 分   5 秒"_sj);
    EXPECT_EQ(TimingLine({7, at(9, 5, 3)}), "007,09:05:03");
    ASSERT_TRUE(ParseTimingLine("012,10:23:45\r\n"));
    EXPECT_EQ(ParseTimingLine("012,10:23:45")->seconds, at(10, 23, 45));
    EXPECT_FALSE(ParseTimingLine("12,10:23:45"));
    EXPECT_FALSE(ParseTimingLine("012,10:73:45"));
}

TEST(LiveTiming, TheFileCarriesTheLastMoveFromOneEntryToTheNext) {
    TempFolder dir;
    const TimingSchedule schedule = ParseTimingSchedule({"10:00:00", "12:10:00", "50", "18:10:00", "50"});
    LiveTimingFile file(dir.path(), schedule);
    const auto at = [](int h, int m, int s) { return h * 3600 + m * 60 + s; };
    EXPECT_FALSE(file.StatusText(1, at(10, 0, 5)));
    EXPECT_FALSE(file.RecordMove(1, at(10, 1, 0))) << "no file, no time";
    ASSERT_TRUE(file.Start(0));
    const auto content = [&] {
        std::ifstream in(file.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(content(), "000,10:00:00\r\n");
    EXPECT_EQ(file.StatusText(1, at(10, 2, 30)), "考慮時間    1 手目:    2 分  30 秒"_sj);
    EXPECT_EQ(file.RecordMove(1, at(10, 2, 30)), std::uint16_t(2 * 60 + 59));
    EXPECT_EQ(content(), "001,10:02:30\r\n");
    // Move 3 while the file names move 1: no time, and the file follows the board.
    EXPECT_FALSE(file.RecordMove(3, at(10, 4, 0)));
    EXPECT_EQ(content(), "003,10:04:00\r\n");
    EXPECT_EQ(file.RecordMove(4, at(13, 4, 0)), std::uint16_t(3 * 3600 - 50 * 60 + 59)) << "the lunch break";
    // Input starting again mid-game keeps the file; at move 0 it starts over.
    ASSERT_TRUE(file.Start(4));
    EXPECT_EQ(content(), "004,13:04:00\r\n");
    ASSERT_TRUE(file.Start(0));
    EXPECT_EQ(content(), "000,10:00:00\r\n");
}

}  // namespace
}  // namespace movra
