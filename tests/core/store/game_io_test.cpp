// Reading stored games into the game record and filling the move buffers from it: round trips
// through real store files, the longest handicap game, damaged move bytes.
#include <gtest/gtest.h>

#include <random>

#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/store/game_io.h"
#include "store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::TempFolder;

class GameIoTest : public ::testing::Test {
protected:
    void Make(StoreKind kind) {
        const bool extended = kind == StoreKind::Extended;
        ASSERT_TRUE(CreateStoreFiles(dir / (extended ? "g.ipx" : "g.idx"), extended));
        store = GameStore(dir / "g.idx", kind);
    }
    // Writes the game as the main window saves it; returns its index record.
    IndexRecord Save(const TKifData& game, const MoveInfo* links = nullptr, long k = kAppendGame) {
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        if (links != nullptr) {
            for (int e = 0; e < kMoveInfoEntries; ++e) {
                info.setCommentFile(e, links->commentFile(e));
                info.setCommentNumber(e, links->commentNumber(e));
            }
        }
        IndexRecord index;
        index.setHandicap(std::uint16_t(HandicapNumber(game.handicap)));
        index.setResult(std::uint16_t(game.endCode - '0'));
        WrittenGame w = WriteGame(store, index, moves, k, false, prompter);
        EXPECT_TRUE(w.ok);
        if (store.extended()) {
            DetailRecord detail;
            detail.CopyIndexWords(index);
            detail.setMoveCount(std::uint16_t(game.moveCount));
            EXPECT_TRUE(WriteGameDetail(store, detail, info, long(w.recordNumber), false).ok);
        }
        return index;
    }
    TempFolder dir;
    GameStore store;
    RecordingPrompter prompter;
};

TEST_F(GameIoTest, A511MoveHandicapGameFillsSlots2To512) {
    Make(StoreKind::Extended);
    std::mt19937 rng(511);
    TKifData game;
    // Random play can run dry; try seeds until a game reaches the limit.
    while (testing::PlayRandomGame(rng, 1, 511, game) < 511) {
    }
    for (int n = 1; n <= 511; ++n) game.moves[n].consumedTime = std::uint16_t(n);
    MoveBytes moves;
    MoveInfo info;
    ASSERT_EQ(FillMoveBuffers(game, moves, info), 511);
    EXPECT_EQ(moves.destination(1), 0xFF);
    EXPECT_EQ(moves.origin(1), 0xFF);
    EXPECT_EQ(info.bytes[0], 0xFF);
    EXPECT_EQ(info.bytes[1], 0xFF);
    for (int i = 2; i < 8; ++i) EXPECT_EQ(info.bytes[std::size_t(i)], 0);
    EXPECT_NE(moves.destination(512), 0);
    EXPECT_EQ(CountMoves(moves), 511);
    EXPECT_EQ(info.consumedTime(511), 511) << "move 511 is entry 511";

    const IndexRecord index = Save(game);
    EXPECT_NE(index.overflowNumber(), 0);
    TKifData back;
    back.endCode = '2';
    GameMoves read = ReadGameMoves(store, 1, index.overflowNumber(), 1, true, 0, back, prompter);
    EXPECT_TRUE(read.found);
    EXPECT_FALSE(read.damaged);
    ASSERT_EQ(back.moveCount, 511);
    EXPECT_EQ(back.currentMove, 511);
    EXPECT_EQ(back.handicap, '1');
    for (int n = 1; n <= 511; ++n) {
        ASSERT_EQ(back.moves[n].moveCode(), game.moves[n].moveCode()) << n;
        ASSERT_EQ(back.moves[n].consumedTime, n);
    }
    EXPECT_EQ(back.position, game.position);
    ASSERT_EQ(read.lines.size(), 512u);
    EXPECT_EQ(read.lines.back(), ResultLine(511, '1', '2'));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(GameIoTest, RandomGamesComeBackWithTheirMovesTimesAndCommentLinks) {
    Make(StoreKind::Extended);
    std::mt19937 rng(3110);
    struct Stored {
        TKifData game;
        MoveInfo links;
        int overflow;
    };
    std::vector<Stored> stored;
    for (int i = 0; i < 60; ++i) {
        const int handicap = i % 7 == 0 ? int(rng() % 15) : 0;
        const int length = i % 10 == 0 ? 257 + int(rng() % 255) : int(rng() % 200);
        Stored s;
        testing::PlayRandomGame(rng, handicap, length, s.game);
        s.game.endCode = char('0' + rng() % 9);
        for (int n = 1; n <= s.game.moveCount; ++n) {
            s.game.moves[n].consumedTime = std::uint16_t(rng() % 60000);
            if (rng() % 8 == 0) {
                const int e = MoveInfoEntryOfMove(n, handicap);
                s.links.setCommentFile(e, int(rng() % 16));
                s.links.setCommentNumber(e, std::uint16_t(1 + rng() % 65535));
            }
        }
        s.overflow = Save(s.game, &s.links).overflowNumber();
        stored.push_back(s);
    }
    StoreReader reader(store);
    TKifData back;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const Stored& s = stored[i];
        const int handicap = HandicapNumber(s.game.handicap);
        back.endCode = s.game.endCode;
        GameMoves read = ReadGameMoves(reader, long(i + 1), s.overflow, handicap, true, 0, back,
                                       prompter);
        ASSERT_EQ(back.moveCount, s.game.moveCount) << "game " << i + 1;
        for (int n = 1; n <= back.moveCount; ++n) {
            const MoveRecord& got = back.moves[n];
            const int e = MoveInfoEntryOfMove(n, handicap);
            ASSERT_EQ(got.moveCode(), s.game.moves[n].moveCode()) << i << ":" << n;
            ASSERT_EQ(got.consumedTime, s.game.moves[n].consumedTime);
            ASSERT_EQ(got.commentRecord, s.links.commentNumber(e));
            ASSERT_EQ(got.commentFile, s.links.commentNumber(e) ? s.links.commentFile(e) : 0);
            ASSERT_EQ(read.lines[std::size_t(n - 1)].substr(3, 1),
                      got.commentRecord ? "*" : " ");
        }
        EXPECT_EQ(read.lines.back(), ResultLine(back.moveCount, s.game.handicap, s.game.endCode));
        // Without lists the records carry neither comments nor times.
        ReadGameMoves(reader, long(i + 1), s.overflow, handicap, false, 0, back, prompter);
        for (int n = 1; n <= back.moveCount; ++n) {
            ASSERT_EQ(back.moves[n].consumedTime, 0);
            ASSERT_EQ(back.moves[n].commentRecord, 0);
        }
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(GameIoTest, TheClassicKindKeepsTheFirst256SlotsAndNoTimes) {
    Make(StoreKind::Classic);
    std::mt19937 rng(77);
    TKifData game;
    while (testing::PlayRandomGame(rng, 3, 300, game) < 300) {
    }
    game.moves[1].consumedTime = 5;
    const IndexRecord index = Save(game);
    EXPECT_EQ(index.overflowNumber(), 0);
    TKifData back;
    ReadGameMoves(store, 1, 0, 3, true, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 255) << "a handicap game: slots 2-256";
    EXPECT_EQ(back.moves[1].consumedTime, 0);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(GameIoTest, AMoveOfInterestReadsOnlyUpToItAndGivesItsLine) {
    Make(StoreKind::Extended);
    TKifData game;
    game.ResetHeader(0);
    game.ClearMoves();
    game.SetUpStandard();
    for (const char* c : {"7776", "3334", "8822+", "3122"}) game.AppendAndApply(*MoveCode::Parse(c));
    Save(game);
    TKifData back;
    GameMoves read = ReadGameMoves(store, 1, 0, 0, false, 3, back, prompter);
    EXPECT_EQ(back.moveCount, 3);
    EXPECT_EQ(read.lineOfInterest, std::string{"003  ▲２二角成"_sj});
    EXPECT_TRUE(read.lines.empty());
    read = ReadGameMoves(store, 1, 0, 0, true, 5, back, prompter);
    EXPECT_EQ(back.moveCount, 4);
    EXPECT_EQ(read.lineOfInterest, std::string{"999  終局"_sj});
    EXPECT_EQ(read.lines.size(), 5u);
    EXPECT_EQ(read.lines[3], std::string{"004  △同　銀"_sj});
    read = ReadGameMoves(store, 1, 0, 0, true, 0, back, prompter);
    EXPECT_TRUE(read.lineOfInterest.empty());
}

TEST_F(GameIoTest, AMissingGameLeavesTheRecordAsItWas) {
    Make(StoreKind::Extended);
    TKifData back;
    back.ResetHeader(3);
    back.AppendAndApply(*MoveCode::Parse("4142"));
    const TKifData before = back;
    EXPECT_FALSE(ReadGameMoves(store, 1, 0, 0, true, 0, back, prompter).found);
    EXPECT_FALSE(ReadGameMoves(store, 0, 0, 0, true, 0, back, prompter).found);
    EXPECT_FALSE(ReadGameMoves(store, -1, 0, 0, true, 0, back, prompter).found);
    EXPECT_EQ(back.moveCount, before.moveCount);
    EXPECT_EQ(back.moves, before.moves);
    EXPECT_EQ(back.position, before.position);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(GameIoDamage, GarbageMoveBytesStopTheGameWithTheWarningAndKeepTheMovesBefore) {
    MoveBytes moves;
    moves.setSlot(1, 52, 61);   // ▲７六歩
    moves.setSlot(2, 30, 21);   // △３四歩
    moves.setSlot(3, 200, 61);  // no square
    moves.setSlot(4, 11, 3);
    RecordingPrompter prompter;
    TKifData record;
    GameMoves read = LoadGameMoves(moves, nullptr, 0, true, 0, record, prompter);
    EXPECT_TRUE(read.damaged);
    EXPECT_EQ(record.moveCount, 2);
    EXPECT_EQ(read.lines.size(), 3u);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{
                                    "棋譜の一部が壊れています。\r\rこの棋譜は使用できません！"_sj});

    // Bytes that decode but name an empty square: the rules cannot resolve the move.
    moves.setSlot(3, 41, 50);  // from 5六, where nothing stands
    prompter.shown.clear();
    read = LoadGameMoves(moves, nullptr, 0, false, 0, record, prompter);
    EXPECT_TRUE(read.damaged);
    EXPECT_EQ(record.moveCount, 2);
    EXPECT_EQ(record.moves[3], MoveRecord{});
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST(GameIoDamage, RandomBytesNeverBreakOutOfTheRecord) {
    std::mt19937 rng(99);
    RecordingPrompter prompter;
    TKifData record;
    MoveInfo info;
    for (int round = 0; round < 2000; ++round) {
        MoveBytes moves;
        // Mostly plausible bytes, so that decoding goes some way before it fails.
        const int slots = int(rng() % 513);
        for (int s = 1; s <= slots; ++s) {
            std::uint8_t d = std::uint8_t(rng() % 4 == 0 ? rng() : 1 + rng() % 181);
            std::uint8_t o = std::uint8_t(rng() % 4 == 0 ? rng() : 1 + rng() % 110);
            moves.setSlot(s, d, o);
        }
        for (auto& b : info.bytes) b = std::uint8_t(rng());
        const int handicap = int(rng() % 16);
        LoadGameMoves(moves, &info, handicap, rng() % 2 == 0, int(rng() % 600) - 50, record,
                      prompter);
        ASSERT_LE(record.moveCount, 512);
        ASSERT_GE(record.moveCount, 0);
    }
}

TEST(GameIoFill, AMalformedMoveCodeEndsTheStoredMoves) {
    TKifData game;
    game.ResetHeader(0);
    game.ClearMoves();
    game.SetUpStandard();
    for (const char* c : {"7776", "3334", "2726"}) game.AppendAndApply(*MoveCode::Parse(c));
    game.moves[2].codeLength = 3;  // "333" and blanks
    game.moves[2].code = {'3', '3', '3', 0, 0};
    MoveBytes moves;
    MoveInfo info;
    EXPECT_EQ(FillMoveBuffers(game, moves, info), 1);
    EXPECT_EQ(CountMoves(moves), 1);
    EXPECT_EQ(info.bytes[8], 0) << "no entry for the move that was not stored";

    // A game that claims more moves than a record holds stops at 512 slots.
    game.moveCount = 600;
    EXPECT_LE(FillMoveBuffers(game, moves, info), 512);
}

}  // namespace
}  // namespace movra
