#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "core/duplicates/duplicate_search.h"
#include "core/duplicates/slot_replay.h"
#include "core/duplicates/planted_store.h"
#include "core/store/catalogue.h"
#include "core/store/game_io.h"
#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::Joined;
using testing::PlantedGame;
using testing::RookShuffle;

std::vector<std::uint32_t> Listed(const GameCatalogue& c) {
    std::vector<std::uint32_t> out;
    for (const GameHeader& h : c.entries()) out.push_back(h.recordNumber);
    return out;
}

// Nine games: copies by players, by moves and by final position, and the near misses beside them.
std::vector<PlantedGame> DuplicateGames() {
    const std::vector<std::string> a = {"7776", "3334"};
    const std::vector<std::string> b = {"2726", "8384"};
    const std::vector<std::string> t1 = {"7776", "3334", "2726"};
    const std::vector<std::string> t2 = {"2726", "3334", "7776"};  // t1's position by another order
    const std::vector<std::string> long256 = RookShuffle(1, 256);
    std::vector<PlantedGame> g(9);
    g[0] = {10, 20, 2001, 1, 1, 1, 0, a};
    g[1] = {10, 20, 2001, 1, 2, 1, 0, b};
    g[2] = {20, 10, 2001, 1, 3, 2, 0, a};  // the players of game 1 the other way round
    g[3] = {30, 40, 2001, 2, 3, 1, 0, t1};
    g[4] = {50, 60, 2001, 2, 3, 1, 0, t2};
    g[5] = {30, 40, 2001, 1, 6, 1, 0, Joined(t1, {"8384"})};  // game 4 and one move more
    // 300 moves each, the same up to slot 256 and different after it.
    g[6] = {90, 91, 2001, 1, 7, 1, 0, Joined(Joined(long256, {"7776", "3334"}), RookShuffle(259, 42))};
    g[7] = {92, 93, 2001, 1, 8, 1, 0, Joined(Joined(long256, {"2726", "8384"}), RookShuffle(259, 42))};
    g[8] = {10, 20, 2001, 1, 9, 1, 0, a};
    return g;
}

class DuplicateSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_ / "dup.idx";
        testing::WritePlantedStore(path_, DuplicateGames());
        session_ = std::make_unique<StoreSession>();
        session_->store = GameStore(path_, StoreKind::Classic, 9);
        session_->storePath = path_;
        session_->openState = kOpenStateMovra;
    }
    std::vector<std::uint32_t> Search(DuplicateCriteria c, int threads = 1) {
        ScanOptions options;
        options.threads = threads;
        lastSizes_ = RunDuplicateSearch(*session_, c, prompter_, options).setSizes;
        return Listed(session_->catalogue);
    }
    testing::TempFolder folder_;
    std::filesystem::path path_;
    std::unique_ptr<StoreSession> session_;
    testing::RecordingPrompter prompter_;
    std::vector<std::uint32_t> lastSizes_;
};

TEST_F(DuplicateSearchTest, FindsCopiesByEachCriterionAndSkipsTheNearMisses) {
    DuplicateCriteria players;  // the dialog's initial ticks: players only
    // Same players side by side only (game 3 has them the other way round); the sets in the
    // order of the sort, each in record order.
    EXPECT_EQ(Search(players), (std::vector<std::uint32_t>{1, 2, 9, 4, 6}));
    EXPECT_EQ(prompter_.texts().back(), "\r2組の重複棋譜がありました。"_sj);

    DuplicateCriteria moves{};
    moves.players = false;
    moves.moves = true;
    // Games 7 and 8 differ only past slot 256, which is not compared.
    EXPECT_EQ(Search(moves), (std::vector<std::uint32_t>{1, 3, 9, 7, 8}));
    EXPECT_EQ(lastSizes_, (std::vector<std::uint32_t>{3, 2}));
    EXPECT_EQ(Search(moves, 2), (std::vector<std::uint32_t>{1, 3, 9, 7, 8}));
    // The result box does not count beside moves without players or date (game 3's differs).
    moves.result = true;
    EXPECT_EQ(Search(moves), (std::vector<std::uint32_t>{1, 3, 9, 7, 8}));

    DuplicateCriteria final{};
    final.players = false;
    final.finalPosition = true;
    // Games 4 and 5 reach one position by two move orders.
    EXPECT_EQ(Search(final, 2), (std::vector<std::uint32_t>{1, 3, 9, 4, 5, 7, 8}));

    DuplicateCriteria playersAndMoves;
    playersAndMoves.moves = true;
    // Inside the players' group {1, 2, 9} only 1 and 9 have the same moves; 4 and 6 differ.
    EXPECT_EQ(Search(playersAndMoves), (std::vector<std::uint32_t>{1, 9}));
    EXPECT_EQ(prompter_.texts().back(), "\r1組の重複棋譜がありました。"_sj);

    DuplicateCriteria dateAndResult{};
    dateAndResult.players = false;
    dateAndResult.date = true;
    dateAndResult.result = true;
    EXPECT_EQ(Search(dateAndResult), (std::vector<std::uint32_t>{4, 5}));
}

TEST_F(DuplicateSearchTest, NothingFoundOrNothingTickedLeavesTheWholeStoreListed) {
    DuplicateCriteria none{};
    none.players = false;
    EXPECT_EQ(RunDuplicateSearch(*session_, none, prompter_).sets, 0);
    EXPECT_EQ(prompter_.texts().back(), "\rチェック項目を選択して下さい！"_sj);

    DuplicateCriteria dateAndPlayers;
    dateAndPlayers.date = true;
    EXPECT_EQ(Search(dateAndPlayers), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(prompter_.texts().back(), "\r重複棋譜はありませんでした。"_sj);
    EXPECT_EQ(session_->catalogue.pageStart(), 1u);

    // A stop asked through the progress panel leaves the catalogue as reloaded, without a message.
    DuplicateCriteria moves{};
    moves.moves = true;
    moves.players = false;
    const std::size_t shown = prompter_.shown.size();
    prompter_.stopAt = true;
    EXPECT_EQ(RunDuplicateSearch(*session_, moves, prompter_).sets, 0);
    EXPECT_EQ(session_->catalogue.count(), 9u);
    EXPECT_EQ(prompter_.shown.size(), shown);
    EXPECT_FALSE(prompter_.progressShown);

    session_->openState = kOpenStateNone;
    prompter_.stopAt = false;
    EXPECT_EQ(RunDuplicateSearch(*session_, moves, prompter_).sets, 0);
    EXPECT_EQ(prompter_.texts().back(), "\rMovra形式の棋譜ファイルが読み込まれていません。"_sj);
}

// The fast replay must reach the positions the rules reach, move after move, for random games
// of every handicap, including captures, promotions and drops.
TEST(SlotReplayTest, ReachesThePositionsOfTheRules) {
    std::mt19937 rng(20261210);
    for (int game = 0; game < 300; ++game) {
        const int handicap = game % kHandicapCount;
        TKifData record;
        const int played = testing::PlayRandomGame(rng, handicap, 200, record);
        MoveBytes bytes;
        MoveInfo info;
        ASSERT_EQ(FillMoveBuffers(record, bytes, info), played);

        TKifData again;
        again.ResetHeader(handicap);
        again.ClearMoves();
        again.SetUpStandard();
        SlotReplay replay;
        const int replayed = replay.Run(bytes.firstRecord(), handicap, [&](int t) {
            EXPECT_TRUE(again.AppendAndApply(record.moves[std::size_t(t)].moveCode()));
            PositionBytes expected{};
            std::copy(again.position.board.begin(), again.position.board.end(), expected.begin());
            std::copy(again.position.senteHand.begin(), again.position.senteHand.end(), expected.begin() + 82);
            std::copy(again.position.goteHand.begin(), again.position.goteHand.end(), expected.begin() + 91);
            EXPECT_EQ(replay.Bytes(), expected) << "game " << game << " move " << t;
            return !::testing::Test::HasFailure();
        });
        EXPECT_EQ(replayed, std::min(played, kSlotsPerRecord - FirstMoveSlot(handicap) + 1));
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
}  // namespace movra
