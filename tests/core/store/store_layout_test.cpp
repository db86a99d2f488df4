// The record layouts of the game store: byte positions, boundaries of every field that a
// conversion can lose, and the slot encoding of moves.
#include <gtest/gtest.h>

#include <random>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"
#include "core/store/layout.h"
#include "store_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(StoreLayoutHeader, CountIsSplitIntoTwoLittleEndianWordsAndGarbageHighWordIsIgnored) {
    StoreHeader h;
    h.bytes.fill(0xAA);
    h.SetGameCount(0x00012345);
    EXPECT_EQ(h.bytes[0], 0x45);
    EXPECT_EQ(h.bytes[1], 0x23);
    EXPECT_EQ(h.bytes[2], 0x01);
    EXPECT_EQ(h.bytes[3], 0x00);
    for (std::size_t i = 4; i < 32; ++i) EXPECT_EQ(h.bytes[i], 0) << i;
    EXPECT_EQ(h.GameCount(0x12345 + 1), 0x12345u);

    // Garbage high word, but the index file holds exactly low word + 1 records.
    StoreHeader g;
    g.bytes[0] = 5;
    g.bytes[2] = 0x34;
    g.bytes[3] = 0x12;
    EXPECT_EQ(g.GameCount(6), 5u);
    EXPECT_EQ(g.GameCount(7), 0x12340005u);
    // 65,536 games: low word 0, high word 1, 65,537 records.
    StoreHeader big;
    big.SetGameCount(65536);
    EXPECT_EQ(big.GameCount(65537), 65536u);
}

TEST(StoreLayoutIndex, WordsAreLittleEndianAtTheirOffsets) {
    IndexRecord r;
    r.setSentePlayer(0x1234);
    r.setGotePlayer(2);
    r.setYear(2004);
    r.setOverflowNumber(0xBEEF);
    EXPECT_EQ(r.bytes[0], 0x34);
    EXPECT_EQ(r.bytes[1], 0x12);
    EXPECT_EQ(r.bytes[2], 2);
    EXPECT_EQ(r.bytes[8], 2004 & 0xFF);
    EXPECT_EQ(r.bytes[9], 2004 >> 8);
    EXPECT_EQ(r.bytes[30], 0xEF);
    EXPECT_EQ(r.bytes[31], 0xBE);
    EXPECT_EQ(IndexRecord::FromBytes(r.bytes.data()), r);
}

TEST(StoreLayoutIndex, HeaderConversionRefusesWordsThatDoNotFitAByte) {
    IndexRecord r;
    r.setSentePlayer(9999);
    r.setGotePlayer(65535);
    r.setYear(65535);
    for (int w : {2, 3, 5, 6, 8, 10, 11}) r.setWord(w, 255);
    r.setOpening(255);
    r.setWord(indexword::kWord9, 255);
    r.setOverflowNumber(16384);
    GameHeader h;
    ASSERT_TRUE(HeaderFromIndexRecord(r, 1000000, h));
    EXPECT_EQ(h.recordNumber, 1000000u);
    EXPECT_EQ(h.sentePlayer, 9999);
    EXPECT_EQ(h.gotePlayer, 65535);
    EXPECT_EQ(h.tournament, 255);
    EXPECT_EQ(h.subTournament, 255);
    EXPECT_EQ(h.opening, 255);
    EXPECT_EQ(h.word9, 255);
    EXPECT_EQ(h.overflowNumber, 16384);
    EXPECT_EQ(h.positionHit, -1);
    EXPECT_EQ(h.selectionMark, 0);
    EXPECT_EQ(IndexRecordFromHeader(h), r);

    for (int w : {2, 3, 5, 6, 8, 10, 11}) {
        IndexRecord bad = r;
        bad.setWord(w, 256);
        GameHeader untouched;
        untouched.year = 7;
        EXPECT_FALSE(HeaderFromIndexRecord(bad, 1, untouched)) << "word " << w;
        EXPECT_EQ(untouched.year, 7) << "a refused record leaves the header alone";
    }
    // The opening and word 9 above 255 are taken as 0 instead.
    IndexRecord wide = r;
    wide.setOpening(256);
    wide.setWord(indexword::kWord9, 0xFFFF);
    ASSERT_TRUE(HeaderFromIndexRecord(wide, 2, h));
    EXPECT_EQ(h.opening, 0);
    EXPECT_EQ(h.word9, 0);
}

TEST(StoreLayoutSlots, SquareCodesRunRankByRank) {
    EXPECT_EQ(SquareCode(1, 1), 1);
    EXPECT_EQ(SquareCode(9, 1), 9);
    EXPECT_EQ(SquareCode(1, 2), 10);
    EXPECT_EQ(SquareCode(7, 6), 52);
    EXPECT_EQ(SquareCode(9, 9), 81);
    for (int f = 1; f <= 9; ++f) {
        for (int r = 1; r <= 9; ++r) {
            EXPECT_EQ(FileOfSquareCode(SquareCode(f, r)), f);
            EXPECT_EQ(RankOfSquareCode(SquareCode(f, r)), r);
        }
    }
}

// A scratch position with an empty board and the given hand for sente.
SlotScratch HandOnly(int hi, int kaku, int fu) {
    SlotScratch s;
    s.hands[0][kind::Hi] = std::uint8_t(hi);
    s.hands[0][kind::Kaku] = std::uint8_t(kaku);
    s.hands[0][kind::Fu] = std::uint8_t(fu);
    return s;
}

TEST(StoreLayoutSlots, DropNumberIsThePlaceOfTheFirstPieceOfItsKindInTheHand) {
    std::uint8_t d = 0, o = 0;
    // 飛, 角 and two 歩: dropping a 歩 is 103, the 角 102.
    SlotScratch s = HandOnly(1, 1, 2);
    ASSERT_TRUE(EncodeSlot(s, 1, *MoveCode::Parse("0155"), d, o));
    EXPECT_EQ(d, SquareCode(5, 5));
    EXPECT_EQ(o, 103);
    EXPECT_EQ(s.hands[0][kind::Fu], 1);
    s = HandOnly(1, 1, 2);
    ASSERT_TRUE(EncodeSlot(s, 1, *MoveCode::Parse("0655"), d, o));
    EXPECT_EQ(o, 102);
    // One 飛 and three 歩: 飛 101, 歩 102.
    s = HandOnly(1, 0, 3);
    ASSERT_TRUE(EncodeSlot(s, 1, *MoveCode::Parse("0755"), d, o));
    EXPECT_EQ(o, 101);
    s = HandOnly(1, 0, 3);
    ASSERT_TRUE(EncodeSlot(s, 1, *MoveCode::Parse("0155"), d, o));
    EXPECT_EQ(o, 102);

    // Decoding walks the same list; any place inside a kind's run names that kind.
    MoveCode c;
    s = HandOnly(1, 1, 2);
    ASSERT_TRUE(DecodeSlot(s, 1, 41, 103, c));
    EXPECT_EQ(c.str(), "0155 ");
    s = HandOnly(1, 1, 2);
    ASSERT_TRUE(DecodeSlot(s, 1, 41, 104, c));
    EXPECT_EQ(c.str(), "0155 ");
    s = HandOnly(1, 1, 2);
    ASSERT_TRUE(DecodeSlot(s, 1, 41, 102, c));
    EXPECT_EQ(c.str(), "0655 ");
    EXPECT_EQ(s.board[41], piece::Kaku);
    // Gote's drops come from gote's hand and put gote pieces down.
    SlotScratch g;
    g.hands[1][kind::Kin] = 1;
    ASSERT_TRUE(DecodeSlot(g, 2, 41, 101, c));
    EXPECT_EQ(c.str(), "0555 ");
    EXPECT_EQ(g.board[41], piece::Kin + piece::kGoteOffset);
}

TEST(StoreLayoutSlots, BytesThatAreNoMoveAreRefusedWithoutChangingTheScratchPosition) {
    SlotScratch start;
    start.SetUp(0);
    struct Case {
        std::uint8_t destination, origin;
        const char* why;
    };
    const Case cases[] = {
        {82, 61, "destination past 81"},     {100, 61, "destination 100"},
        {182, 61, "destination past 181"},   {255, 255, "placeholder in a move slot"},
        {52, 0, "origin 0"},                 {52, 82, "origin 82"},
        {52, 100, "origin 100"},             {52, 52, "a move that stays"},
        {41, 101, "drop from an empty hand"}, {141, 101, "promoting drop"},
        {61, 101, "drop onto a piece"},
    };
    for (const Case& c : cases) {
        SlotScratch s = start;
        s.hands[0][kind::Fu] = c.destination == 61 ? 1 : 0;
        SlotScratch before = s;
        MoveCode out;
        EXPECT_FALSE(DecodeSlot(s, 1, c.destination, c.origin, out)) << c.why;
        EXPECT_EQ(s.board, before.board) << c.why;
        EXPECT_EQ(s.hands, before.hands) << c.why;
    }
    // A drop number one past the end of the hand.
    SlotScratch s = HandOnly(0, 1, 2);
    MoveCode out;
    EXPECT_FALSE(DecodeSlot(s, 1, 41, 104, out));
}

TEST(StoreLayoutSlots, EncodingRefusesMovesTheStoreCannotHold) {
    SlotScratch s;
    s.SetUp(0);
    s.hands[0][kind::Gyoku] = 1;
    std::uint8_t d = 0, o = 0;
    MoveCode king;
    king.text = {'0', '8', '5', '5', ' '};
    EXPECT_FALSE(EncodeSlot(s, 1, king, d, o)) << "a king drop has no drop number";
    MoveCode garbage;
    garbage.text = {'7', '7', 'x', '6', ' '};
    EXPECT_FALSE(EncodeSlot(s, 1, garbage, d, o));
    EXPECT_FALSE(EncodeSlot(s, 1, *MoveCode::Parse("5556"), d, o)) << "no piece on 5五";
    EXPECT_FALSE(EncodeSlot(s, 1, *MoveCode::Parse("0155"), d, o)) << "no 歩 in hand";
    ASSERT_TRUE(EncodeSlot(s, 1, *MoveCode::Parse("8822+"), d, o));
    EXPECT_EQ(d, SquareCode(2, 2) + 100);
    EXPECT_EQ(o, SquareCode(8, 8));
    EXPECT_EQ(s.hands[0][kind::Kaku], 1) << "the captured 角 enters sente's hand";
    EXPECT_EQ(s.board[std::size_t(SquareCode(2, 2))], piece::Uma);
}

TEST(StoreLayoutSlots, CountMovesStopsAtTheFirstEmptySlotAndSkipsThePlaceholder) {
    MoveBytes m;
    EXPECT_EQ(CountMoves(m), 0);
    m.setSlot(1, 0xFF, 0xFF);
    EXPECT_EQ(CountMoves(m), 0);
    for (int s = 2; s <= 512; ++s) m.setSlot(s, 1, 2);
    EXPECT_EQ(CountMoves(m), 511) << "a 511-move handicap game";
    m.setSlot(1, 1, 2);
    EXPECT_EQ(CountMoves(m), 512);
    m.setSlot(257, 0, 0);
    EXPECT_EQ(CountMoves(m), 256);
    EXPECT_FALSE(m.usesOverflow());
    EXPECT_THROW(m.setSlot(513, 1, 1), RangeError);
    EXPECT_THROW((void)m.destination(0), RangeError);
}

TEST(StoreLayoutSlots, RandomGamesSurviveEncodingAndDecoding) {
    std::mt19937 rng(20240611);
    TKifData record;
    for (int game = 0; game < 300; ++game) {
        const int handicap = game % 15;
        testing::PlayRandomGame(rng, handicap, 40 + game % 200, record);
        SlotScratch s;
        s.SetUp(handicap);
        MoveBytes bytes;
        int slot = FirstMoveSlot(handicap);
        for (int n = 1; n <= record.moveCount; ++n, ++slot) {
            std::uint8_t d = 0, o = 0;
            ASSERT_TRUE(EncodeSlot(s, (slot & 1) ? 1 : 2, record.moves[n].moveCode(), d, o));
            bytes.setSlot(slot, d, o);
        }
        std::array<MoveCode, kMaxSlots> codes;
        bool damaged = true;
        ASSERT_EQ(DecodeMoveBytes(bytes, handicap, kMaxSlots, codes, damaged), record.moveCount);
        EXPECT_FALSE(damaged);
        for (int n = 1; n <= record.moveCount; ++n) {
            ASSERT_EQ(codes[std::size_t(n - 1)], record.moves[n].moveCode()) << "game " << game << " move " << n;
        }
        // A limit reads only the first moves.
        EXPECT_EQ(DecodeMoveBytes(bytes, handicap, 3, codes, damaged), std::min(3, int(record.moveCount)));
    }
}

TEST(StoreLayoutMoveInfo, EntriesAreEightBytesWithTheCommentFileInTheLowNibble) {
    MoveInfo info;
    MoveInfoEntry e;
    MoveInfoPlacement(*MoveCode::Parse("7776"), e.destination, e.origin);
    EXPECT_EQ(e.destination, 67);
    EXPECT_EQ(e.origin, 77);
    MoveInfoPlacement(*MoveCode::Parse("2822+"), e.destination, e.origin);
    EXPECT_EQ(e.destination, -22);
    EXPECT_EQ(e.origin, 82);
    MoveInfoPlacement(*MoveCode::Parse("0155"), e.destination, e.origin);
    EXPECT_EQ(e.origin, 7) << "歩 drops as 8 - kind";
    MoveInfoPlacement(*MoveCode::Parse("0755"), e.destination, e.origin);
    EXPECT_EQ(e.origin, 1);

    e.commentByte = 0xA0;
    e.setCommentFile(0x1F);
    e.commentNumber = 0x1234;
    e.consumedTime = 59940;
    info.setEntry(511, e);
    const std::size_t at = 511 * 8;
    EXPECT_EQ(info.bytes[at + 0], 55);
    EXPECT_EQ(info.bytes[at + 1], 1);
    info.setEntry(3, e);
    EXPECT_EQ(info.bytes[3 * 8 + 3], 0xAF) << "the high nibble stays";
    EXPECT_EQ(info.bytes[3 * 8 + 4], 0x34);
    EXPECT_EQ(info.bytes[3 * 8 + 5], 0x12);
    EXPECT_EQ(info.bytes[3 * 8 + 6], 59940 & 0xFF);
    EXPECT_EQ(info.bytes[3 * 8 + 7], 59940 >> 8);
    EXPECT_EQ(info.commentFile(3), 0xF);
    info.setCommentFile(3, 2);
    EXPECT_EQ(info.bytes[3 * 8 + 3], 0xA2);
    EXPECT_EQ(info.entry(3).commentNumber, 0x1234);
    EXPECT_THROW((void)info.entry(512), RangeError);
    EXPECT_THROW(info.setCommentNumber(-1, 1), RangeError);
    EXPECT_EQ(MoveInfoEntryOfMove(1, 0), 0);
    EXPECT_EQ(MoveInfoEntryOfMove(1, 3), 1);
}

TEST(StoreLayoutOverflowBitmap, NumbersCountFromTheMostSignificantBit) {
    OverflowBitmap b;
    EXPECT_EQ(b.FirstFree(), 1);
    b.Set(1);
    EXPECT_EQ(b.bytes[0], 0x80);
    b.Set(8);
    EXPECT_EQ(b.bytes[0], 0x81);
    b.Set(9);
    EXPECT_EQ(b.bytes[1], 0x80);
    EXPECT_EQ(b.FirstFree(), 2);
    b.Set(16384);
    EXPECT_EQ(b.bytes[2047], 0x01);
    b.Clear(1);
    EXPECT_EQ(b.FirstFree(), 1);
    b.bytes.fill(0xFF);
    EXPECT_EQ(b.FirstFree(), 0) << "all 16384 numbers in use";
    b.Clear(12345);
    EXPECT_EQ(b.FirstFree(), 12345);
    // Numbers outside the bitmap are never in use and change nothing.
    OverflowBitmap before = b;
    b.Set(0);
    b.Set(16385);
    b.Clear(-3);
    b.Clear(40000);
    EXPECT_EQ(b.bytes, before.bytes);
    EXPECT_FALSE(b.InUse(0));
    EXPECT_FALSE(b.InUse(16385));
}

TEST(StoreLayoutDetail, FieldsSitAtTheirOffsets) {
    DetailRecord d;
    d.setSenteName("羽生善治"_sj);
    d.setGoteName("森内俊之名人位"_sj);  // exactly 14 bytes
    d.setTournamentText("第６２期名人戦七番勝負第４局"_sj);  // 28 bytes: cut to 20
    d.setPlace("東京都渋谷区"_sj);
    d.setStart({2004, 5, 6, 9, 30});
    d.setEnd({2004, 5, 7, 21, 5});
    d.setLunch({12, 10, 13, 0});
    d.setDinner({18, 0, 18, 40});
    d.setSenteAllowedMinutes(540);
    d.setGoteAllowedMinutes(0xFFFF);
    d.setTimeMode(1);
    d.setMoveCount(511);
    d.setRecorder("記録係"_sj);
    d.setRemarks("備考"_sj);
    d.setOpeningComment(3, 0x0102);
    d.setClosingComment(15, 65535);
    d.setClosingTime(59940);
    d.setOverflowNumber(16384);
    d.setSenteRating(-5);
    d.setGoteRating(2800);

    const auto& b = d.bytes;
    const std::string_view habu = "羽生善治"_sj;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 8), habu);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(d.goteName(), std::string{"森内俊之名人位"_sj});
    EXPECT_EQ(d.tournamentText(), std::string{"第６２期名人戦七番勝"_sj}) << "cut to 20 bytes";
    EXPECT_EQ(b[84], 2004 & 0xFF);
    EXPECT_EQ(b[85], 2004 >> 8);
    EXPECT_EQ(b[86], 5);
    EXPECT_EQ(b[88], 9);
    EXPECT_EQ(b[89], 30);
    EXPECT_EQ(b[90 + 3], 7);
    EXPECT_EQ(b[96], 12);
    EXPECT_EQ(b[99], 0);
    EXPECT_EQ(b[103], 40);
    EXPECT_EQ(b[104], 540 & 0xFF);
    EXPECT_EQ(b[105], 540 >> 8);
    EXPECT_EQ(b[106], 0xFF);
    EXPECT_EQ(b[119], 1);
    EXPECT_EQ(b[120], 0xFF);
    EXPECT_EQ(b[121], 0x01);
    EXPECT_EQ(b[182], 3);
    EXPECT_EQ(b[183], 15);
    EXPECT_EQ(b[184], 0x02);
    EXPECT_EQ(b[185], 0x01);
    EXPECT_EQ(b[186], 0xFF);
    EXPECT_EQ(b[188], 59940 & 0xFF);
    EXPECT_EQ(b[194], 0x00);
    EXPECT_EQ(b[195], 0x40);
    EXPECT_EQ(b[212], 0xFB);
    EXPECT_EQ(b[213], 0xFF);
    EXPECT_EQ(d.senteRating(), -5);
    EXPECT_EQ(d.goteRating(), 2800);
    EXPECT_EQ(d.start(), (DetailDateTime{2004, 5, 6, 9, 30}));
    EXPECT_EQ(d.dinner(), (BreakTime{18, 0, 18, 40}));
    // The zero areas stay zero.
    for (std::size_t z : {108u, 109u, 110u, 111u, 116u, 117u, 190u, 191u, 193u}) EXPECT_EQ(b[z], 0) << z;
    for (std::size_t z = 216; z < 256; ++z) EXPECT_EQ(b[z], 0) << z;
}

TEST(StoreLayoutDetail, TextsAreCutAtCharacterBoundaries) {
    DetailRecord d;
    d.setSenteName("ab将棋盤将棋盤"_sj);  // 2 + 12 bytes: fits exactly
    EXPECT_EQ(d.senteName(), std::string{"ab将棋盤将棋盤"_sj});
    d.setSenteName("a将棋盤将棋盤x"_sj);  // a + 12 bytes = 13, then x = 14
    EXPECT_EQ(d.senteName().size(), 14u);
    d.setSenteName("a将棋盤将棋盤将"_sj);  // the 将 would start at byte 14 and end past it
    EXPECT_EQ(d.senteName(), std::string{"a将棋盤将棋盤"_sj});
    EXPECT_EQ(d.bytes[13], 0);
    EXPECT_EQ(d.bytes[14], 0) << "the gote name is untouched";
}

TEST(StoreLayoutDetail, RankTextSpansBothParts) {
    DetailRecord d;
    // 16 bytes: 竜王名人九段 is 12 bytes, "abcd" 4 more; the split at 8 falls between 名 and 人.
    d.setSenteRank("竜王名人九段abcd"_sj);
    EXPECT_EQ(d.senteRank(), std::string{"竜王名人九段abcd"_sj});
    const std::string_view full = "竜王名人九段abcd"_sj;
    EXPECT_EQ(std::string(d.bytes.begin() + 28, d.bytes.begin() + 36), full.substr(0, 8));
    EXPECT_EQ(std::string(d.bytes.begin() + 196, d.bytes.begin() + 204), full.substr(8, 8));
    // An odd split: "a" then double-byte characters puts a character across the two parts.
    d.setGoteRank("a竜王名人九段"_sj);  // 13 bytes
    EXPECT_EQ(d.goteRank(), std::string{"a竜王名人九段"_sj});
    EXPECT_EQ(d.bytes[36 + 7], std::uint8_t(std::string_view{"a竜王名人九段"_sj}[7]));
    // A short rank leaves the second part zero.
    d.setGoteRank("五段"_sj);
    for (std::size_t i = 204; i < 212; ++i) EXPECT_EQ(d.bytes[i], 0);
}

TEST(StoreLayoutDetail, CopiesOfIndexWordsTakeTheLowByte) {
    // Every word has a high byte, so a copy that kept it (or wrote it into the next byte of the
    // detail record) shows.
    IndexRecord r;
    r.setTournament(0x010C);
    r.setGameNumber(0x0203);
    r.setHandicap(0x030E);
    r.setOpening(0x0463);
    r.setResult(0x0508);
    r.setSubTournament(0x060A);
    r.setOverflowNumber(0x1309);
    DetailRecord d;
    d.CopyIndexWords(r);
    EXPECT_EQ(d.bytes[112], 0x0C);
    EXPECT_EQ(d.bytes[113], 0x03);
    EXPECT_EQ(d.bytes[114], 0x0E);
    EXPECT_EQ(d.bytes[115], 0x63);
    EXPECT_EQ(d.bytes[116], 0);
    EXPECT_EQ(d.bytes[118], 0x08);
    EXPECT_EQ(d.bytes[119], 0);
    EXPECT_EQ(d.bytes[192], 0x0A);
    EXPECT_EQ(d.bytes[193], 0);
    // The overflow number is a whole word in both records.
    EXPECT_EQ(d.overflowNumber(), 0x1309);
}

}  // namespace
}  // namespace movra
