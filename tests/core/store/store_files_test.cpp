// The store's files: a golden store written by hand from the layout tables, record access with
// its messages, and the overflow scheme of WriteGame.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/store/game_io.h"
#include "core/store/store_files.h"
#include "core/store/store_appender.h"
#include "store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = std::uint8_t(v & 0xFF);
    b[at + 1] = std::uint8_t(v >> 8);
}
void PutText(Bytes& b, std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) b[at + i] = std::uint8_t(text[i]);
}

TKifData GameOf(int handicap, std::initializer_list<const char*> codes) {
    TKifData r;
    r.ResetHeader(handicap);
    r.ClearMoves();
    r.SetUpStandard();
    for (const char* c : codes) {
        if (!r.AppendAndApply(*MoveCode::Parse(c))) throw std::runtime_error(c);
    }
    return r;
}

TEST(StoreFilesGolden, ASmallExtendedStoreHasExactlyTheDescribedBytes) {
    TempFolder dir;
    ASSERT_TRUE(CreateStoreFiles(dir / "gold.ipx", true));
    GameStore store(dir / "gold.idx", StoreKind::Extended);
    RecordingPrompter prompter;

    // Game 1, even: ▲７六歩 △３四歩 ▲２二角成 △同銀 ▲５五角打.
    TKifData one = GameOf(0, {"7776", "3334", "8822+", "3122", "0655"});
    one.moves[1].consumedTime = 10;
    one.moves[2].consumedTime = 258;
    one.moves[3].consumedTime = 59940;
    one.moves[5].consumedTime = 1;
    MoveBytes moves;
    MoveInfo info;
    ASSERT_EQ(FillMoveBuffers(one, moves, info), 5);
    info.setCommentNumber(1, 7);  // a comment on move 2 in comment file 0
    IndexRecord index;
    index.setSentePlayer(12);
    index.setGotePlayer(345);
    index.setTournament(3);
    index.setGameNumber(2);
    index.setYear(2004);
    index.setMonth(5);
    index.setDay(6);
    index.setOpening(17);
    index.setResult(1);
    index.setSubTournament(4);
    ASSERT_EQ(WriteGame(store, index, moves, kAppendGame, false, prompter).recordNumber, 1u);
    DetailRecord detail;
    detail.setSenteName("羽生善治"_sj);
    detail.setGoteName("森内俊之"_sj);
    detail.CopyIndexWords(index);
    detail.setMoveCount(5);
    detail.setClosingTime(30);
    ASSERT_TRUE(WriteGameDetail(store, detail, info, kAppendGame, false).ok);

    // Game 2, 角落ち: 上手 moves first, so slot 1 and entry 0 hold the placeholder.
    TKifData two = GameOf(2, {"3334", "7776"});
    ASSERT_EQ(FillMoveBuffers(two, moves, info), 2);
    IndexRecord index2;
    index2.setYear(1999);
    index2.setResult(2);
    index2.setHandicap(2);
    ASSERT_EQ(WriteGame(store, index2, moves, kAppendGame, false, prompter).recordNumber, 2u);
    DetailRecord detail2;
    detail2.setSenteName("甲"_sj);
    detail2.setGoteName("乙"_sj);
    detail2.CopyIndexWords(index2);
    detail2.setMoveCount(2);
    ASSERT_TRUE(WriteGameDetail(store, detail2, info, kAppendGame, false).ok);
    EXPECT_TRUE(prompter.shown.empty());

    Bytes idx(96, 0);
    idx[0] = 2;
    const unsigned words1[16] = {12, 345, 3, 2, 2004, 5, 6, 17, 1, 0, 0, 4, 0, 0, 0, 0};
    const unsigned words2[16] = {0, 0, 0, 0, 1999, 0, 0, 0, 2, 0, 2, 0, 0, 0, 0, 0};
    for (std::size_t w = 0; w < 16; ++w) {
        Put16(idx, 32 + 2 * w, words1[w]);
        Put16(idx, 64 + 2 * w, words2[w]);
    }
    EXPECT_EQ(FileBytes(dir / "gold.idx"), idx);

    Bytes kif(1024, 0);
    // 7六 = 52 from 7七 = 61; 3四 = 30 from 3三 = 21; 2二 promoted = 111 from 8八 = 71;
    // 2二 = 11 from 3一 = 3; 5五 = 41 dropping the first piece of the hand (角) = 101.
    const Bytes slots1 = {52, 61, 30, 21, 111, 71, 11, 3, 41, 101};
    std::copy(slots1.begin(), slots1.end(), kif.begin());
    const Bytes slots2 = {0xFF, 0xFF, 30, 21, 52, 61};
    std::copy(slots2.begin(), slots2.end(), kif.begin() + 512);
    EXPECT_EQ(FileBytes(dir / "gold.kif"), kif);

    Bytes kpf(4096, 0);
    const Bytes entries1 = {
        67,   77,   0, 0, 0, 0, 10,   0,     // 7六 from 7七, 10 s
        43,   33,   0, 0, 7, 0, 0x02, 0x01,  // 3四 from 3三, comment 7 in file 0, 258 s
        0xEA, 88,   0, 0, 0, 0, 0x24, 0xEA,  // -22 (promotes) from 8八, 59940 s
        22,   13,   0, 0, 0, 0, 0,    0,     // 2二 from 3一
        55,   2,    0, 0, 0, 0, 1,    0,     // 5五, 角 dropped (8 - 6)
    };
    std::copy(entries1.begin(), entries1.end(), kpf.begin());
    const Bytes entries2 = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 43, 33, 0, 0, 0, 0, 0, 0,
                            67,   77,   0, 0, 0, 0, 0, 0};
    std::copy(entries2.begin(), entries2.end(), kpf.begin() + 2048);
    EXPECT_EQ(FileBytes(dir / "gold.kpf"), kpf);

    Bytes ipx(512, 0);
    PutText(ipx, 0, "羽生善治"_sj);
    PutText(ipx, 14, "森内俊之"_sj);
    ipx[112] = 3;
    ipx[113] = 2;
    ipx[115] = 17;
    ipx[118] = 1;
    ipx[120] = 5;
    ipx[188] = 30;
    ipx[192] = 4;
    PutText(ipx, 256 + 0, "甲"_sj);
    PutText(ipx, 256 + 14, "乙"_sj);
    ipx[256 + 114] = 2;
    ipx[256 + 118] = 2;
    ipx[256 + 120] = 2;
    EXPECT_EQ(FileBytes(dir / "gold.ipx"), ipx);

    Bytes cp0(8192, 0);
    cp0[8191] = 0x01;
    EXPECT_EQ(FileBytes(dir / "gold.cp0"), cp0);
    EXPECT_FALSE(std::filesystem::exists(dir / "gold.kf2")) << "overflow files come on first use";
    EXPECT_FALSE(std::filesystem::exists(dir / "gold.kp2"));
}

TEST(StoreFilesSet, ExtensionsAreFoundWithoutRegardToCase) {
    TempFolder dir;
    testing::WriteFileBytes(dir / "Games.IDX", Bytes(32, 0));
    testing::WriteFileBytes(dir / "Games.Kif", Bytes());
    StoreFiles files(dir / "Games.ipx");
    EXPECT_EQ(files.baseName(), "Games");
    EXPECT_EQ(files.IndexPath(), dir / "Games.IDX");
    EXPECT_EQ(files.Path(".kif"), dir / "Games.Kif");
    EXPECT_EQ(files.Path(".kf2"), dir / "Games.kf2") << "a missing file gets the spelling asked for";
    EXPECT_TRUE(files.Exists(".KIF"));
    EXPECT_FALSE(files.Exists(".ipx"));
    EXPECT_EQ(StoreFiles(dir / "Games").baseName(), "Games");
    EXPECT_EQ(ext::CommentFile(15), ".cpf");
}

TEST(StoreFilesCreate, ClassicAndExtendedStoresStartEmpty) {
    TempFolder dir;
    ASSERT_TRUE(CreateStoreFiles(dir / "c.idx", false));
    EXPECT_EQ(FileBytes(dir / "c.idx"), Bytes(32, 0));
    EXPECT_EQ(std::filesystem::file_size(dir / "c.kif"), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "c.ipx"));
    ASSERT_TRUE(CreateStoreFiles(dir / "e", true));
    for (const char* name : {"e.kif", "e.ipx", "e.kpf"}) {
        EXPECT_EQ(std::filesystem::file_size(dir / name), 0u) << name;
    }
    EXPECT_EQ(std::filesystem::file_size(dir / "e.cp0"), 8192u);
    EXPECT_FALSE(CreateStoreFiles(dir / "no-such-folder" / "x.idx", false));
}

class StoreFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateStoreFiles(dir / "s.ipx", true));
        store = GameStore(dir / "s.idx", StoreKind::Extended);
    }
    // Appends a game of the given moves with matching detail and move info.
    std::uint32_t Append(const TKifData& game, IndexRecord index = {}) {
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        index.setHandicap(std::uint16_t(HandicapNumber(game.handicap)));
        WrittenGame w = WriteGame(store, index, moves, kAppendGame, false, prompter);
        DetailRecord detail;
        detail.CopyIndexWords(index);
        WriteGameDetail(store, detail, info, kAppendGame, false);
        return w.recordNumber;
    }
    TempFolder dir;
    GameStore store;
    RecordingPrompter prompter;
};

TEST(StoreFilesCreate, AStoreThatCannotBeMadeWhollyLeavesNothingBehind) {
    // The disk fills at each write in turn (the index header, comment file 0's bitmap) or the
    // folder cannot take another file: nothing of the half-made store stays, and a second try
    // with room to spare makes it.
    struct DiskFull : RecordWriter {
        int failWrite = 0, failOpen = 0, writes = 0, opens = 0;
        bool Write(RecordFile& f, std::uint64_t o, const std::uint8_t* b, std::size_t n) override {
            return ++writes != failWrite && RecordWriter::Write(f, o, b, n);
        }
        bool OpenForWriting(RecordFile& f, const std::filesystem::path& p, std::size_t size,
                            RecordFile::Access a) override {
            return ++opens != failOpen && RecordWriter::OpenForWriting(f, p, size, a);
        }
    };
    testing::TempFolder dir;
    for (int failWrite = 0; failWrite <= 2; ++failWrite) {
        for (int failOpen = failWrite == 0 ? 1 : 0; failOpen <= (failWrite == 0 ? 5 : 0); ++failOpen) {
            SCOPED_TRACE(std::to_string(failWrite) + " " + std::to_string(failOpen));
            DiskFull full;
            full.failWrite = failWrite;
            full.failOpen = failOpen;
            EXPECT_FALSE(CreateStoreFiles(dir / "n.ipx", true, full));
            EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
        }
    }
    ASSERT_TRUE(CreateStoreFiles(dir / "n.ipx", true));
    std::uint32_t count = 1;
    ASSERT_TRUE(ReadGameCount(GameStore(dir / "n.idx", StoreKind::Extended), count));
    EXPECT_EQ(count, 0u);

}

TEST_F(StoreFilesTest, DetailRecordsOfAShortFileReadAsZerosWithoutAMessage) {
    Append(GameOf(0, {"7776"}));
    Append(GameOf(0, {"2726"}));
    std::filesystem::resize_file(dir / "s.ipx", 256);  // the detail file lost game 2
    DetailRecord d;
    d.bytes.fill(1);
    EXPECT_TRUE(ReadDetailRecord(store, 2, d, prompter));
    EXPECT_EQ(d, DetailRecord{});
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(ReadDetailRecord(store, 0, d, prompter));
    EXPECT_FALSE(ReadDetailRecord(store, -4, d, prompter));
    EXPECT_TRUE(prompter.shown.empty());

    std::filesystem::remove(dir / "s.ipx");
    EXPECT_FALSE(ReadDetailRecord(store, 1, d, prompter));
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{(dir / "s.ipx").string() + " 読込エラー！"_sj});
}

TEST_F(StoreFilesTest, MoveInfoReadsTellMissingRecordsAndLeaveMissingOverflowZero) {
    Append(GameOf(0, {"7776"}));
    MoveInfo info;
    EXPECT_TRUE(ReadMoveInfo(store, 1, 5, info, prompter)) << "no overflow file: entries 256+ zero";
    EXPECT_EQ(info.consumedTime(0), 0);
    EXPECT_EQ(info.bytes[0], 67);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(ReadMoveInfo(store, 2, 0, info, prompter));
    EXPECT_EQ(info, MoveInfo{});
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{(dir / "s.kpf").string() + " 読込エラー！"_sj});

    // Writing the overflow part needs the record to exist or be the next one.
    info.setConsumedTime(300, 77);
    EXPECT_TRUE(WriteMoveInfo(store, 1, 1, info, prompter));
    EXPECT_FALSE(std::filesystem::exists(dir / "s.kp2"));
    ASSERT_EQ(AllocateOverflowNumber(store, prompter), 1);
    EXPECT_TRUE(WriteMoveInfo(store, 1, 3, info, prompter));
    EXPECT_EQ(std::filesystem::file_size(dir / "s.kp2"), 2048u) << "record 3 would leave a gap";
    EXPECT_TRUE(WriteMoveInfo(store, 1, 1, info, prompter));
    MoveInfo back;
    EXPECT_TRUE(ReadMoveInfo(store, 1, 1, back, prompter));
    EXPECT_EQ(back.consumedTime(300), 77);
    EXPECT_FALSE(WriteMoveInfo(store, 3, 0, info, prompter)) << "a gap in the move-info file";
    EXPECT_EQ(prompter.texts().back(), (dir / "s.kpf").string() + " 書込エラー！"_sj);
}

TEST_F(StoreFilesTest, GameCountIgnoresAGarbageHighWordWhenTheFileSizeAgrees) {
    Append(GameOf(0, {"7776"}));
    Append(GameOf(0, {"7776"}));
    Bytes idx = FileBytes(dir / "s.idx");
    idx[2] = 0x77;
    idx[3] = 0x01;
    testing::WriteFileBytes(dir / "s.idx", idx);
    std::uint32_t count = 0;
    ASSERT_TRUE(ReadGameCount(store, count));
    EXPECT_EQ(count, 2u);
}

TEST_F(StoreFilesTest, AppendingTakesTheCountFromTheGameDataFile) {
    Append(GameOf(0, {"7776"}));
    Append(GameOf(0, {"2726"}));
    Bytes idx = FileBytes(dir / "s.idx");
    idx[0] = 9;  // the header disagrees with the files
    testing::WriteFileBytes(dir / "s.idx", idx);
    EXPECT_EQ(Append(GameOf(0, {"5756"})), 3u);
    std::uint32_t count = 0;
    ASSERT_TRUE(ReadGameCount(store, count));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(FileBytes(dir / "s.idx").size(), 4u * 32);
    EXPECT_EQ(FileBytes(dir / "s.kif").size(), 3u * 512);
    // k = count + 1 appends as well; past that is refused before anything is written.
    TKifData g = GameOf(0, {"7776"});
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(g, moves, info);
    IndexRecord index;
    const Bytes before = FileBytes(dir / "s.idx");
    EXPECT_FALSE(WriteGame(store, index, moves, 5, false, prompter).ok);
    EXPECT_FALSE(WriteGame(store, index, moves, 0, false, prompter).ok);
    EXPECT_EQ(FileBytes(dir / "s.idx"), before);
    EXPECT_EQ(WriteGame(store, index, moves, 4, false, prompter).recordNumber, 4u);
    EXPECT_FALSE(WriteGameDetail(store, DetailRecord{}, info, 6, false).ok);
}

// An even game of n moves that shuffles the rooks back and forth after opening their files.
TKifData LongGame(int n, int handicap = 0) {
    TKifData r;
    r.ResetHeader(handicap);
    r.ClearMoves();
    r.SetUpStandard();
    const char* cycle[] = {"2818", "8292", "1828", "9282"};
    const char* cycleHandicap[] = {"8292", "2818", "9282", "1828"};
    for (int i = 0; r.moveCount < n; ++i) {
        const char* c = handicap == 0 ? cycle[i % 4] : cycleHandicap[i % 4];
        if (!r.AppendAndApply(*MoveCode::Parse(c))) throw std::runtime_error(c);
    }
    return r;
}

TEST_F(StoreFilesTest, A257thMoveTakesTheLowestFreeOverflowNumberAndGivesItBackWhenRemoved) {
    // Numbers 1 and 2 were handed out earlier; 1 is free again.
    ASSERT_EQ(AllocateOverflowNumber(store, prompter), 1);
    ASSERT_EQ(AllocateOverflowNumber(store, prompter), 2);
    ASSERT_TRUE(ReleaseOverflowNumber(store, 1));
    EXPECT_EQ(FileBytes(dir / "s.kp2")[0], 0x40);

    TKifData g = LongGame(256);
    g.moves[256].consumedTime = 11;
    MoveBytes moves;
    MoveInfo info;
    ASSERT_EQ(FillMoveBuffers(g, moves, info), 256);
    IndexRecord index;
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    EXPECT_EQ(index.overflowNumber(), 0) << "256 moves need no overflow number";

    // The 257th move, saved again as game 1.
    g = LongGame(257);
    g.moves[257].consumedTime = 42;
    ASSERT_EQ(FillMoveBuffers(g, moves, info), 257);
    ASSERT_EQ(WriteGame(store, index, moves, 1, false, prompter).recordNumber, 1u);
    EXPECT_EQ(index.overflowNumber(), 1);
    EXPECT_EQ(FileBytes(dir / "s.kp2")[0], 0xC0);
    DetailRecord detail;
    detail.CopyIndexWords(index);
    ASSERT_TRUE(WriteGameDetail(store, detail, info, 1, false).ok);
    const Bytes kf2 = FileBytes(dir / "s.kf2");
    ASSERT_EQ(kf2.size(), 512u);
    EXPECT_EQ(kf2[0], moves.destination(257));
    EXPECT_EQ(kf2[2], 0);
    const Bytes kp2 = FileBytes(dir / "s.kp2");
    ASSERT_EQ(kp2.size(), 4096u);
    EXPECT_EQ(kp2[2048 + 6], 42) << "entry 256 in move-info overflow record 1";
    IndexRecord stored;
    ASSERT_TRUE(ReadIndexRecord(store, 1, stored));
    EXPECT_EQ(stored.overflowNumber(), 1);

    TKifData back;
    GameMoves read = ReadGameMoves(store, 1, 1, 0, true, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 257);
    EXPECT_EQ(back.moves[257].consumedTime, 42);
    EXPECT_EQ(read.lines.size(), 258u);

    // Back to 256 moves: the number is released and the overflow game data zeroed.
    g = LongGame(256);
    FillMoveBuffers(g, moves, info);
    WriteGame(store, index, moves, 1, false, prompter);
    EXPECT_EQ(index.overflowNumber(), 0);
    EXPECT_EQ(FileBytes(dir / "s.kf2"), Bytes(512, 0));
    EXPECT_EQ(FileBytes(dir / "s.kp2")[0], 0x40);
    ASSERT_TRUE(ReadIndexRecord(store, 1, stored));
    EXPECT_EQ(stored.overflowNumber(), 0);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StoreFilesTest, WithTheBitmapFullALongGameKeepsItsFirst256Slots) {
    Bytes full(2048, 0xFF);
    testing::WriteFileBytes(dir / "s.kp2", full);
    TKifData g = LongGame(300);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(g, moves, info);
    IndexRecord index;
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    EXPECT_EQ(index.overflowNumber(), 0);
    TKifData back;
    ReadGameMoves(store, 1, index.overflowNumber(), 0, false, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 256);
    // The user is told which game lost its moves past slot 256.
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{LongGameCutMessage(1)});
    EXPECT_EQ(FileBytes(dir / "s.kp2"), full) << "a full bitmap is not written";
}

TEST_F(StoreFilesTest, AnUnreadableBitmapIsToldAndTheGameKeepsItsFirst256Slots) {
    testing::WriteFileBytes(dir / "s.kp2", Bytes(100, 0));
    EXPECT_EQ(AllocateOverflowNumber(store, prompter), 0);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{
                                    "\r棋譜ファイルが壊れています。[GetChainNo]\r\r"_sj + "\"" +
                                    (dir / "s.kp2").string() + "\""});
    TKifData g = LongGame(280);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(g, moves, info);
    IndexRecord index;
    EXPECT_TRUE(WriteGame(store, index, moves, kAppendGame, false, prompter).ok);
    EXPECT_EQ(index.overflowNumber(), 0);
    EXPECT_FALSE(ReleaseOverflowNumber(store, 1));
}

TEST_F(StoreFilesTest, AnOverflowNumberOutsideTheBitmapIsNeverUsedAsARecordNumber) {
    TKifData g = LongGame(300);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(g, moves, info);
    IndexRecord index;
    index.setOverflowNumber(40000);  // garbage from the caller
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    EXPECT_EQ(index.overflowNumber(), 1) << "taken as none: a fresh number is allocated";
    EXPECT_EQ(std::filesystem::file_size(dir / "s.kf2"), 512u);
    EXPECT_FALSE(ReleaseOverflowNumber(store, 0));
    EXPECT_FALSE(ReleaseOverflowNumber(store, 16385));

    // Reading with a number outside the bitmap leaves slots 257+ empty.
    MoveBytes back;
    ASSERT_TRUE(ReadGameData(store, 1, 40000, back));
    EXPECT_FALSE(back.usesOverflow());
}

TEST(StoreFilesClassic, TheClassicKindNeverWritesTheOverflowPart) {
    TempFolder dir;
    ASSERT_TRUE(CreateStoreFiles(dir / "c.idx", false));
    GameStore store(dir / "c.idx", StoreKind::Classic);
    RecordingPrompter prompter;
    TKifData g = LongGame(300);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(g, moves, info);
    IndexRecord index;
    index.setOverflowNumber(7);  // copied from another store: written as given
    WriteGame(store, index, moves, kAppendGame, false, prompter);
    EXPECT_EQ(index.overflowNumber(), 7);
    EXPECT_FALSE(std::filesystem::exists(dir / "c.kf2"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.kp2"));
    TKifData back;
    ReadGameMoves(store, 1, 0, 0, true, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 256);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StoreFilesTest, KeepMovesRewritesOnlyTheHeaderInformation) {
    Append(GameOf(0, {"7776", "3334"}));
    TKifData other = GameOf(0, {"2726"});
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(other, moves, info);
    IndexRecord index;
    index.setYear(2020);
    ASSERT_TRUE(WriteGame(store, index, moves, 1, true, prompter).ok);
    DetailRecord detail;
    detail.setPlace("大阪"_sj);
    ASSERT_TRUE(WriteGameDetail(store, detail, info, 1, true).ok);
    TKifData back;
    ReadGameMoves(store, 1, 0, 0, false, 0, back, prompter);
    EXPECT_EQ(back.moveCount, 2) << "the stored moves stay";
    IndexRecord stored;
    ReadIndexRecord(store, 1, stored);
    EXPECT_EQ(stored.year(), 2020);
    MoveInfo storedInfo;
    ReadMoveInfo(store, 1, 0, storedInfo, prompter);
    EXPECT_EQ(storedInfo.bytes[0], 67) << "the move info stays";
    DetailRecord storedDetail;
    ReadDetailRecord(store, 1, storedDetail, prompter);
    EXPECT_EQ(storedDetail.place(), std::string{"大阪"_sj});
}

TEST_F(StoreFilesTest, ATruncatedGameDataRecordKeepsWhatWasRead) {
    Append(GameOf(0, {"7776", "3334", "2726"}));
    std::filesystem::resize_file(dir / "s.kif", 4);  // two slots survive
    MoveBytes moves;
    ASSERT_TRUE(ReadGameData(store, 1, 0, moves));
    EXPECT_EQ(CountMoves(moves), 2);
    EXPECT_FALSE(ReadGameData(store, 2, 0, moves));
    EXPECT_FALSE(ReadGameData(store, 0, 0, moves));
}

TEST_F(StoreFilesTest, BlockReadersDeliverWholeRecordsInOrder) {
    for (int i = 0; i < 10; ++i) {
        IndexRecord index;
        index.setYear(std::uint16_t(1990 + i));
        Append(GameOf(0, {"7776"}), index);
    }
    std::filesystem::resize_file(dir / "s.idx", 11 * 32 + 5);  // a part record at the end
    RecordBlockReader reader;
    ASSERT_TRUE(OpenIndexReader(store, reader, 3));
    int seen = 0;
    const std::uint8_t* block = nullptr;
    for (std::size_t n; (n = reader.Next(block)) != 0;) {
        EXPECT_LE(n, 3u);
        for (std::size_t i = 0; i < n; ++i, ++seen) {
            EXPECT_EQ(IndexRecord::FromBytes(block + i * 32).year(), 1990 + seen);
        }
    }
    EXPECT_EQ(seen, 10);
    RecordBlockReader games;
    ASSERT_TRUE(OpenGameDataReader(store, games));
    EXPECT_EQ(games.Next(block), 10u);
    EXPECT_EQ(block[0], 52);
}

}  // namespace
}  // namespace movra
