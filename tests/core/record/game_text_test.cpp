// A whole game as move-list lines, replayed from its start whatever move the record shows, and
// the checks on move codes replayed into a record.
#include "core/record/game_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/notation.h"

namespace movra {
namespace {

using namespace movra::literals;

struct Step {
    const char* code;
    std::string_view text;
};

// A 矢倉 opening and a fight on the rook file, written move by move with the words a printed
// record shows (５八金右, ４三金右, 同　歩, ３三銀成, ２三飛成, ８六銀打, ...).
const std::vector<Step>& Game() {
    static const std::vector<Step> steps{
        {"7776", "７六歩"_sj},   {"8384", "８四歩"_sj},   {"7968", "６八銀"_sj},
        {"3334", "３四歩"_sj},   {"6766", "６六歩"_sj},   {"7162", "６二銀"_sj},
        {"5756", "５六歩"_sj},   {"5354", "５四歩"_sj},   {"3948", "４八銀"_sj},
        {"3142", "４二銀"_sj},   {"4958", "５八金右"_sj}, {"4132", "３二金"_sj},
        {"6978", "７八金"_sj},   {"5141", "４一玉"_sj},   {"5969", "６九玉"_sj},
        {"6152", "５二金"_sj},   {"5867", "６七金右"_sj}, {"7374", "７四歩"_sj},
        {"6877", "７七銀"_sj},   {"4233", "３三銀"_sj},   {"8879", "７九角"_sj},
        {"2231", "３一角"_sj},   {"3736", "３六歩"_sj},   {"4344", "４四歩"_sj},
        {"7968", "６八角"_sj},   {"5243", "４三金右"_sj}, {"6979", "７九玉"_sj},
        {"8485", "８五歩"_sj},   {"4837", "３七銀"_sj},   {"3164", "６四角"_sj},
        {"3746", "４六銀"_sj},   {"4131", "３一玉"_sj},   {"3635", "３五歩"_sj},
        {"3435", "同　歩"_sj},   {"4635", "同　銀"_sj},   {"8586", "８六歩"_sj},
        {"8786", "同　歩"_sj},   {"8286", "同　飛"_sj},   {"0187", "８七歩"_sj},
        {"8682", "８二飛"_sj},   {"2726", "２六歩"_sj},   {"4445", "４五歩"_sj},
        {"2625", "２五歩"_sj},   {"8173", "７三桂"_sj},   {"2524", "２四歩"_sj},
        {"2324", "同　歩"_sj},   {"3524", "同　銀"_sj},   {"0123", "２三歩"_sj},
        {"2433+", "３三銀成"_sj}, {"2133", "同　桂"_sj},  {"2823+", "２三飛成"_sj},
        {"0122", "２二歩"_sj},   {"2324", "２四竜"_sj},   {"0423", "２三銀"_sj},
        {"2423", "同　竜"_sj},   {"5455", "５五歩"_sj},   {"0486", "８六銀打"_sj},
        {"6486", "同　角"_sj},   {"8786", "同　歩"_sj},
    };
    return steps;
}

TKifData Played(char endCode) {
    TKifData record;
    record.ResetHeader(0);
    record.ClearMoves();
    record.SetUpStandard();
    for (const Step& s : Game()) {
        const MoveCode code = *MoveCode::Parse(s.code);
        EXPECT_EQ(NextMoveProblem(record, code), nullptr) << s.code;
        EXPECT_TRUE(record.AppendAndApply(code)) << s.code;
    }
    record.endCode = endCode;
    return record;
}

TEST(MoveListLines, ALongGameReadsAsPrintedAndEveryLineIsWellFormed) {
    TKifData record = Played('2');
    const std::vector<std::string> lines = MoveListLines(record);
    const std::size_t count = Game().size();
    ASSERT_EQ(lines.size(), count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& line = lines[i];
        const int n = static_cast<int>(i) + 1;
        SCOPED_TRACE(Cp932ToUtf8(line));
        EXPECT_LE(line.size(), kMoveLineMaxBytes);
        EXPECT_TRUE(IsValidCp932(line));
        EXPECT_EQ(line.substr(0, 3), ZeroPad(n, 3));
        EXPECT_EQ(line.substr(3, 2), "  ");
        EXPECT_EQ(line.substr(5, 2), n % 2 == 1 ? "▲"_sj : "△"_sj);
        EXPECT_EQ(line.substr(kMoveTextOffset), Game()[i].text);
    }
    EXPECT_EQ(lines.back(), std::to_string(count) + "手まで後手勝ち"_sj);
}

TEST(MoveListLines, TheRecordMayStandAtAnyMoveAndIsLeftAsItWas) {
    TKifData record = Played('0');
    const std::vector<std::string> atEnd = MoveListLines(record);
    record.GoToMove(17);
    record.moves[17].commentRecord = 4;
    const BoardPosition before = record.position;
    std::vector<std::string> atSeventeen = MoveListLines(record);
    EXPECT_EQ(record.position, before);
    EXPECT_EQ(record.currentMove, 17);
    EXPECT_EQ(atSeventeen[16], "017* ▲６七金右"_sj);
    atSeventeen[16] = atEnd[16];
    EXPECT_EQ(atSeventeen, atEnd);
    record.GoToMove(0);
    EXPECT_EQ(MoveListLines(record).size(), atEnd.size());
}

TEST(MoveListLines, EmptyAndHandicapGames) {
    TKifData record;
    record.ResetHeader(0);
    record.SetUpStandard();
    EXPECT_EQ(MoveListLines(record), std::vector<std::string>{"0手まで"_sj});

    TKifData handicap;
    handicap.ResetHeader(5);  // 二枚落ち: 上手 moves first
    handicap.ClearMoves();
    handicap.SetUpStandard();
    for (const char* c : {"6152", "7776", "5142", "2726"}) {
        ASSERT_TRUE(handicap.AppendAndApply(*MoveCode::Parse(c))) << c;
    }
    handicap.endCode = '1';
    const std::vector<std::string> expected{"001  △５二金右"_sj, "002  ▲７六歩"_sj,
                                            "003  △４二玉"_sj, "004  ▲２六歩"_sj,
                                            "4手まで下手勝ち"_sj};
    EXPECT_EQ(MoveListLines(handicap), expected);
}

TEST(NextMoveProblem, RefusesWhatMoveEntryWouldRefuse) {
    TKifData record;
    record.ResetHeader(0);
    record.ClearMoves();
    record.SetUpStandard();
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("5554")), nullptr);  // empty origin
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("3334")), nullptr);  // gote's pawn
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("0155")), nullptr);  // empty hand
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("8877")), nullptr);  // takes its own
    EXPECT_EQ(NextMoveProblem(record, *MoveCode::Parse("7776")), nullptr);
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("7776")));
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("3334")));
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("8822+")));  // takes the bishop
    ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse("3122")));
    EXPECT_EQ(NextMoveProblem(record, *MoveCode::Parse("0655")), nullptr);
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("0676")), nullptr);  // occupied square
}

TEST(NextMoveProblem, AGameHoldsAtMost512Moves) {
    TKifData record;
    record.ResetHeader(0);
    record.ClearMoves();
    record.SetUpStandard();
    // Two kings stepping back and forth fill the game.
    const char* shuffle[] = {"5958", "5152", "5859", "5251"};
    for (int n = 0; n < kMaxMoves; ++n) {
        ASSERT_EQ(NextMoveProblem(record, *MoveCode::Parse(shuffle[n % 4])), nullptr) << n;
        ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse(shuffle[n % 4])));
    }
    EXPECT_NE(NextMoveProblem(record, *MoveCode::Parse("5958")), nullptr);
    const std::vector<std::string> lines = MoveListLines(record);
    ASSERT_EQ(lines.size(), 513u);
    EXPECT_EQ(lines[511], "512  △５一玉"_sj);
    EXPECT_EQ(lines[512], "512手まで"_sj);
}

}  // namespace
}  // namespace movra
