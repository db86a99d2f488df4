// Taking a stored game over into the window's record.
#include <gtest/gtest.h>

#include <random>

#include "core/session/stored_game.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"
#include "core/store/store_test_support.h"

namespace movra {
namespace {

using testing::RecordingPrompter;
using testing::TempFolder;

// Appends `game` with consumed times 1, 2, 3 ... and the given closing time.
void AppendTimedGame(const GameStore& store, TKifData& game, std::uint16_t closingTime, Prompter& prompter) {
    for (int i = 1; i <= game.moveCount; ++i) game.moves[std::size_t(i)].consumedTime = std::uint32_t(i);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(game, moves, info);
    IndexRecord index;
    index.setHandicap(0);
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    DetailRecord detail;
    detail.setOverflowNumber(index.overflowNumber());
    detail.CopyIndexWords(index);
    detail.setClosingTime(closingTime);
    WriteGameDetail(store, detail, info, kAppendGame, false);
}

TEST(StoredGameTest, TheClosingTimeGoesAfterTheLastMoveAndNeverOverAMove) {
    TempFolder dir;
    const auto path = dir / "timed.idx";
    ASSERT_TRUE(CreateStoreFiles(path, true));
    const GameStore store(path, StoreKind::Extended);
    RecordingPrompter prompter;
    std::mt19937 rng(512);
    for (int wanted : {512, 40}) {
        TKifData game;
        for (int attempt = 0; attempt < 20 && game.moveCount != wanted; ++attempt) {
            testing::PlayRandomGame(rng, 0, wanted, game);
        }
        ASSERT_EQ(game.moveCount, wanted);
        AppendTimedGame(store, game, 77, prompter);
    }

    StoreSession session;
    session.datFolder = dir.path();
    ASSERT_TRUE(OpenStore(session, path, true, prompter).opened);
    TKifData shown;
    ASSERT_TRUE(LoadStoredGame(session, 1, shown, prompter).found);
    ASSERT_EQ(shown.moveCount, 512);
    EXPECT_EQ(shown.moves[512].consumedTime, 512u) << "the last move of the longest game keeps its time";
    EXPECT_EQ(shown.moves[511].consumedTime, 511u);

    ASSERT_TRUE(LoadStoredGame(session, 2, shown, prompter).found);
    ASSERT_EQ(shown.moveCount, 40);
    EXPECT_EQ(shown.moves[40].consumedTime, 40u);
    EXPECT_EQ(shown.moves[41].consumedTime, 77u) << "the closing time in the slot after the last move";
}

}  // namespace
}  // namespace movra
