#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "core/duplicates/anomaly_search.h"
#include "core/duplicates/planted_store.h"
#include "core/store/catalogue.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::Joined;
using testing::PlantedGame;
using testing::RookShuffle;

using Hits = std::vector<std::pair<std::uint32_t, int>>;  // record number, position hit

Hits Listed(const GameCatalogue& c) {
    Hits out;
    for (const GameHeader& h : c.entries()) out.push_back({h.recordNumber, h.positionHit});
    return out;
}

PlantedGame Game(std::vector<std::string> moves, std::uint8_t handicap = 0) {
    PlantedGame g;
    g.moves = std::move(moves);
    g.handicap = handicap;
    return g;
}

// One game for each check and a near miss beside it. Most games start with an exchange of
// bishops so that a hand is not empty at their end.
std::vector<PlantedGame> AnomalyGames() {
    const std::vector<std::string> bishops = {"7776", "3334", "8822+"};
    const std::vector<std::string> handicapBishops = {"3334", "7776", "2288+"};
    const std::vector<std::string> fullFile = {"6152", "6958", "6354", "6756"};
    return {
        // 1: after move 3 the position comes back at 7, 11 and 15; the other positions of the
        //    cycle reach their fourth time at 16, 17 and 18.
        Game(Joined(bishops, RookShuffle(4, 15))),
        // 2: the same, three times only.
        Game(Joined(bishops, RookShuffle(4, 11))),
        // 3: the ninth piece of file 5 arrives with move 8; 4: it goes to file 4 instead.
        Game(Joined(Joined(bishops, fullFile), {"4355"})),
        Game(Joined(Joined(bishops, fullFile), {"4344"})),
        // 5: both bishops dropped back, hands empty after move 6; 6: one still in hand.
        Game({"7776", "3334", "8822+", "3122", "0655", "0645"}),
        Game({"7776", "3334", "8822+", "3122", "0655"}),
        // 7: the rook takes the king with move 5; 8: it stops beside it.
        Game(Joined(bishops, {"1314", "2851"})),
        Game(Joined(bishops, {"1314", "2852"})),
        // 9, 10: 100 moves (a lance handicap and an even game); 11, 12: 101 moves.
        Game(Joined(handicapBishops, RookShuffle(4, 97)), 1),
        Game(Joined(bishops, RookShuffle(4, 97))),
        Game(Joined(bishops, RookShuffle(4, 98))),
        Game(Joined(handicapBishops, RookShuffle(4, 98)), 1),
    };
}

class AnomalySearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_ / "odd.idx";
        testing::WritePlantedStore(path_, AnomalyGames());
        session_ = std::make_unique<StoreSession>();
        session_->store = GameStore(path_, StoreKind::Classic, 12);
        session_->storePath = path_;
        session_->openState = kOpenStateMovra;
    }
    // The check over the whole store, on one thread and on two.
    Hits Check(AnomalyCheck check, int value = 0) {
        Hits both[2];
        for (int threads : {1, 2}) {
            LoadCatalogue(session_->store, session_->catalogue);
            ScanOptions options;
            options.threads = threads;
            RunAnomalyCheck(*session_, check, value, prompter_, options);
            both[threads - 1] = Listed(session_->catalogue);
        }
        EXPECT_EQ(both[0], both[1]);
        return both[0];
    }
    testing::TempFolder folder_;
    std::filesystem::path path_;
    std::unique_ptr<StoreSession> session_;
    testing::RecordingPrompter prompter_;
};

TEST_F(AnomalySearchTest, EachCheckListsItsGamesWithTheirHitMove) {
    EXPECT_EQ(Check(AnomalyCheck::Repetition), (Hits{{1, 15}, {9, 15}, {10, 15}, {11, 15}, {12, 15}}));
    EXPECT_EQ(prompter_.texts().back(), "\r5件の千日手棋譜がありました。"_sj);
    EXPECT_EQ(Check(AnomalyCheck::FullFile), (Hits{{3, 8}}));
    EXPECT_EQ(prompter_.texts().back(), "\r1件の駒柱棋譜がありました。"_sj);
    EXPECT_EQ(Check(AnomalyCheck::EmptyHands), (Hits{{5, 6}}));
    EXPECT_EQ(prompter_.texts().back(), "\r1件の持駒なし終局棋譜がありました。"_sj);
    EXPECT_EQ(Check(AnomalyCheck::CapturedKing), (Hits{{7, 5}}));
    EXPECT_EQ(prompter_.texts().back(), "\r1件の玉素抜き棋譜がありました。"_sj);
    // At most 100 moves: the two games of 100 moves (the handicap game's first move is in slot
    // 2) and the short ones, not those of 101.
    EXPECT_EQ(Check(AnomalyCheck::Length, -100),
              (Hits{{1, -1}, {2, -1}, {3, -1}, {4, -1}, {5, -1}, {6, -1}, {7, -1}, {8, -1}, {9, -1}, {10, -1}}));
    EXPECT_EQ(Check(AnomalyCheck::Length, 100), (Hits{{11, -1}, {12, -1}}));
    EXPECT_EQ(prompter_.texts().back(), "\r2件の指定手数棋譜がありました。"_sj);
}

TEST_F(AnomalySearchTest, ChecksTheCatalogueAsNarrowedAndKeepsItWhenNothingIsFound) {
    // A catalogue narrowed by an earlier search, out of store order: the hits keep its order.
    LoadCatalogue(session_->store, session_->catalogue);
    auto all = session_->catalogue.allEntries();
    const GameHeader tenth = all[9], first = all[0], fourth = all[3];
    all[0] = tenth;
    all[1] = first;
    all[2] = fourth;
    session_->catalogue.setCount(3);
    EXPECT_EQ(RunAnomalyCheck(*session_, AnomalyCheck::Repetition, 0, prompter_), 2);
    EXPECT_EQ(Listed(session_->catalogue), (Hits{{10, 15}, {1, 15}}));

    EXPECT_EQ(RunAnomalyCheck(*session_, AnomalyCheck::CapturedKing, 0, prompter_), 0);
    EXPECT_EQ(prompter_.texts().back(), "\r玉素抜き棋譜はありませんでした。"_sj);
    EXPECT_EQ(Listed(session_->catalogue), (Hits{{10, 15}, {1, 15}}));
}

TEST(AnomalyTextsTest, LengthValuesAndRepetitionOfTheLastPositions) {
    EXPECT_EQ(ParseLengthValue("-100"), -100);
    EXPECT_EQ(ParseLengthValue("255"), 255);
    EXPECT_EQ(ParseLengthValue("-255"), -255);
    EXPECT_EQ(ParseLengthValue("256"), std::nullopt);
    EXPECT_EQ(ParseLengthValue("-"), std::nullopt);
    EXPECT_EQ(ParseLengthValue("1O"), std::nullopt);
    EXPECT_EQ(ParseLengthValue(""), std::nullopt);
    EXPECT_EQ(AnomalyCaption(AnomalyCheck::FullFile), "【 駒柱検索中 】"_sj);
    EXPECT_EQ(AnomalyCounterText(1234), "(  1234 )");

    // Nothing but a cycle of four positions, each reached four times: every run of four counts,
    // whichever position sorts last, and the earliest fourth time is the answer.
    MoveBytes bytes;
    SlotScratch scratch;
    scratch.SetUp(0);
    int slot = 1;
    for (const std::string& text : RookShuffle(1, 16)) {
        std::uint8_t d = 0, o = 0;
        ASSERT_TRUE(EncodeSlot(scratch, (slot & 1) ? 1 : 2, *MoveCode::Parse(text), d, o));
        bytes.setSlot(slot++, d, o);
    }
    EXPECT_EQ(FirstFourfoldRepetition(bytes.firstRecord(), 0), 13);
}

// Sente's rook goes round three squares while gote's goes back and forth: the boards repeat
// every six moves but the side to move alternates, so a position is only reached for the fourth
// time with the same side to move at move 37 (counting boards alone would say 19).
TEST(AnomalyTextsTest, TheSideToMoveIsPartOfTheRepeatedPosition) {
    const char* const sente[] = {"2838", "3848", "4828"};
    const char* const gote[] = {"8272", "7282"};
    std::vector<std::string> moves;
    for (int t = 1; t <= 40; ++t) moves.push_back(t % 2 ? sente[(t / 2) % 3] : gote[(t / 2 - 1) % 2]);
    testing::TempFolder folder;
    const auto path = folder / "cycle.idx";
    testing::WritePlantedStore(path, {Game(moves), Game(std::vector<std::string>(moves.begin(), moves.begin() + 36))});
    GameStore store(path, StoreKind::Classic, 2);
    auto catalogue = std::make_unique<GameCatalogue>();
    LoadCatalogue(store, *catalogue);
    testing::RecordingPrompter prompter;
    EXPECT_EQ(FindAnomalies(store, *catalogue, AnomalyCheck::Repetition, 0, prompter).found, 1);
    EXPECT_EQ(Listed(*catalogue), (Hits{{1, 37}}));
}

}  // namespace
}  // namespace movra
