// The benchmark stores: the generator's one-pass writer must give exactly the bytes that
// appending every game with WriteGame and WriteGameDetail gives, and a store that opens and
// reads back without damage.
#include <gtest/gtest.h>

#include "../../../bench/store_sample.h"
#include "core/store/open_store.h"
#include "store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;

void CheckAgainstWriteGame(bool extended) {
    TempFolder dir;
    sample::StoreOptions options;
    options.path = dir / (extended ? "gen.ipx" : "gen.idx");
    options.games = 400;
    options.pool = 40;  // pool game 7 fills all 512 slots
    options.randomStart = 5;
    options.extended = extended;
    options.dat = dir.path();
    const sample::StoreFigures figures = sample::GenerateStore(options);
    EXPECT_EQ(figures.games, 400);
    if (extended) {
        EXPECT_GT(figures.overflowNumbers, 0);
        EXPECT_GT(figures.comments, 0);
    }

    RecordingPrompter prompter;
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(options.path, count, prompter),
              extended ? StoreCheck::Extended : StoreCheck::Classic);
    ASSERT_EQ(count, 400u);
    const GameStore generated(options.path, extended ? StoreKind::Extended : StoreKind::Classic,
                              count);

    // The same games appended one by one through the writer the program uses.
    ASSERT_TRUE(CreateStoreFiles(dir / (extended ? "app.ipx" : "app.idx"), extended));
    const GameStore appended(dir / "app.idx", generated.kind);
    StoreReader reader(generated);
    TKifData record;
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord index;
        ASSERT_TRUE(reader.ReadIndexRecord(k, index));
        MoveBytes moves;
        ASSERT_TRUE(reader.ReadGameData(long(k), index.overflowNumber(), moves));
        record.endCode = char('0' + index.result());
        const GameMoves read = ReadGameMoves(reader, long(k), index.overflowNumber(),
                                             index.handicap(), true, 0, record, prompter);
        ASSERT_FALSE(read.damaged) << k;
        ASSERT_EQ(record.moveCount, CountMoves(moves)) << k;

        IndexRecord copy = index;
        copy.setOverflowNumber(0);
        const WrittenGame w = WriteGame(appended, copy, moves, kAppendGame, false, prompter);
        ASSERT_EQ(w.recordNumber, k);
        if (extended) {
            ASSERT_EQ(copy.overflowNumber(), index.overflowNumber()) << "numbers go out in order";
            DetailRecord detail;
            MoveInfo info;
            ASSERT_TRUE(reader.ReadDetailRecord(long(k), detail));
            ASSERT_TRUE(reader.ReadMoveInfo(long(k), index.overflowNumber(), info));
            EXPECT_EQ(detail.moveCount(), record.moveCount);
            ASSERT_TRUE(WriteGameDetail(appended, detail, info, long(k), false).ok);
        }
    }
    EXPECT_TRUE(prompter.shown.empty());
    std::vector<std::string> extensions = {".idx", ".kif"};
    if (extended) extensions.insert(extensions.end(), {".kf2", ".ipx", ".kpf", ".kp2"});
    for (const std::string& e : extensions) {
        EXPECT_EQ(FileBytes(dir / ("gen" + e)), FileBytes(dir / ("app" + e))) << e;
    }
    // The master tables name every player number the games use.
    PlayerTable players;
    ASSERT_TRUE(players.Load(dir.path(), false));
    EXPECT_FALSE(players.Entry(999).name.empty());
}

TEST(StoreSample, TheExtendedGeneratorWritesWhatWriteGameWrites) { CheckAgainstWriteGame(true); }
TEST(StoreSample, TheClassicGeneratorWritesWhatWriteGameWrites) { CheckAgainstWriteGame(false); }

}  // namespace
}  // namespace movra
