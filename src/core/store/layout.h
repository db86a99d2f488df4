#pragma once
// The byte layout of every record file of the game store, in one place.
//
// Each on-disk record is a byte image (`bytes`) with named accessors that read and write its
// fields at their offsets, little-endian, one byte at a time: nothing here reinterprets a record
// as a C++ struct, so unaligned fields and the byte order hold on any machine. The rest of the
// program reaches a record's fields only through these accessors.
//
//   B.idx  32-byte records: record 0 the header, record k the index record of game k
//   B.kif  512-byte records: record k-1 slots 1-256 of game k
//   B.kf2  512-byte records: record n-1 slots 257-512 of the game with overflow number n
//   B.ipx  256-byte records: record k-1 the detail record of game k            (extended kind)
//   B.kpf  2048-byte records: record k-1 move-info entries 0-255 of game k      (extended kind)
//   B.kp2  2048-byte records: record 0 the overflow bitmap, record n entries 256-511 of
//          overflow number n
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/rules/move.h"
#include "core/rules/position.h"
#include "core/record/game_header.h"

namespace movra {

// --- little-endian fields ---------------------------------------------------------------------

constexpr std::uint16_t LoadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
constexpr void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v & 0xFF);
    p[1] = std::uint8_t(v >> 8);
}
constexpr std::int16_t LoadI16(const std::uint8_t* p) { return std::int16_t(LoadU16(p)); }
constexpr void StoreI16(std::uint8_t* p, std::int16_t v) { StoreU16(p, std::uint16_t(v)); }

// --- record sizes and capacities --------------------------------------------------------------

inline constexpr std::size_t kIndexRecordSize = 32;
inline constexpr std::size_t kGameDataRecordSize = 512;
inline constexpr std::size_t kMoveBytesSize = 1024;      // slots 1-512 of one game
inline constexpr std::size_t kDetailRecordSize = 256;
inline constexpr std::size_t kNarrowDetailRecordSize = 192;  // the older detail file
inline constexpr std::size_t kMoveInfoRecordSize = 2048;
inline constexpr std::size_t kMoveInfoSize = 4096;       // entries 0-511 of one game
inline constexpr std::size_t kMoveInfoEntrySize = 8;
inline constexpr std::size_t kOverflowBitmapSize = 2048;

inline constexpr int kSlotsPerRecord = 256;
inline constexpr int kMaxSlots = 512;
inline constexpr int kMoveInfoEntries = 512;
inline constexpr int kMaxOverflowNumber = 16384;         // 2048 bytes × 8 bits
inline constexpr std::uint32_t kMaxCatalogueGames = 1000000;

// --- header record (record 0 of the index file) -----------------------------------------------
//
//   0  u16  game count, low 16 bits
//   2  u16  game count, high 16 bits
//   4  28   zero
struct StoreHeader {
    std::array<std::uint8_t, kIndexRecordSize> bytes{};

    std::uint16_t lowWord() const { return LoadU16(&bytes[0]); }
    std::uint16_t highWord() const { return LoadU16(&bytes[2]); }
    // The game count as stored. Older writers left garbage in the high word, so when the index
    // file holds exactly low word + 1 records the high word is ignored.
    std::uint32_t GameCount(std::uint64_t indexFileRecords) const {
        if (indexFileRecords == std::uint64_t(lowWord()) + 1) return lowWord();
        return (std::uint32_t(highWord()) << 16) | lowWord();
    }
    // Every writer stores the full count in both words and zeroes the rest.
    void SetGameCount(std::uint32_t count) {
        bytes = {};
        StoreU16(&bytes[0], std::uint16_t(count & 0xFFFF));
        StoreU16(&bytes[2], std::uint16_t(count >> 16));
    }
};
static_assert(sizeof(StoreHeader) == kIndexRecordSize);

// --- index record (records 1 … count of the index file) ---------------------------------------
//
// Sixteen little-endian 16-bit words:
namespace indexword {
inline constexpr int kSentePlayer = 0;    // PlayerTable number of sente (下手); 0 = name in detail
inline constexpr int kGotePlayer = 1;     // gote (上手)
inline constexpr int kTournament = 2;     // TournamentTable 0-99; 0 = none
inline constexpr int kGameNumber = 3;     // game in a series (局); 0 = none
inline constexpr int kYear = 4;           // 0 = not given
inline constexpr int kMonth = 5;          // 1-12; 0 = not given
inline constexpr int kDay = 6;            // 1-31; 0 = not given
inline constexpr int kOpening = 7;        // OpeningTable; 0 = none
inline constexpr int kResult = 8;         // end code 0-8
inline constexpr int kWord9 = 9;          // not used; 0 in new records
inline constexpr int kHandicap = 10;      // handicap number 0-14
inline constexpr int kSubTournament = 11; // 1-10; 0 = none
// words 12-14 not used, 0
inline constexpr int kOverflow = 15;      // overflow number, 0 = none
inline constexpr int kWordCount = 16;
}  // namespace indexword

struct IndexRecord {
    std::array<std::uint8_t, kIndexRecordSize> bytes{};

    static IndexRecord FromBytes(const std::uint8_t* p) {
        IndexRecord r;
        for (std::size_t i = 0; i < kIndexRecordSize; ++i) r.bytes[i] = p[i];
        return r;
    }
    std::uint16_t word(int i) const { return LoadU16(&bytes[std::size_t(i) * 2]); }
    void setWord(int i, std::uint16_t v) { StoreU16(&bytes[std::size_t(i) * 2], v); }

    std::uint16_t sentePlayer() const { return word(indexword::kSentePlayer); }
    std::uint16_t gotePlayer() const { return word(indexword::kGotePlayer); }
    std::uint16_t tournament() const { return word(indexword::kTournament); }
    std::uint16_t gameNumber() const { return word(indexword::kGameNumber); }
    std::uint16_t year() const { return word(indexword::kYear); }
    std::uint16_t month() const { return word(indexword::kMonth); }
    std::uint16_t day() const { return word(indexword::kDay); }
    std::uint16_t opening() const { return word(indexword::kOpening); }
    std::uint16_t result() const { return word(indexword::kResult); }
    std::uint16_t handicap() const { return word(indexword::kHandicap); }
    std::uint16_t subTournament() const { return word(indexword::kSubTournament); }
    std::uint16_t overflowNumber() const { return word(indexword::kOverflow); }

    void setSentePlayer(std::uint16_t v) { setWord(indexword::kSentePlayer, v); }
    void setGotePlayer(std::uint16_t v) { setWord(indexword::kGotePlayer, v); }
    void setTournament(std::uint16_t v) { setWord(indexword::kTournament, v); }
    void setGameNumber(std::uint16_t v) { setWord(indexword::kGameNumber, v); }
    void setYear(std::uint16_t v) { setWord(indexword::kYear, v); }
    void setMonth(std::uint16_t v) { setWord(indexword::kMonth, v); }
    void setDay(std::uint16_t v) { setWord(indexword::kDay, v); }
    void setOpening(std::uint16_t v) { setWord(indexword::kOpening, v); }
    void setResult(std::uint16_t v) { setWord(indexword::kResult, v); }
    void setHandicap(std::uint16_t v) { setWord(indexword::kHandicap, v); }
    void setSubTournament(std::uint16_t v) { setWord(indexword::kSubTournament, v); }
    void setOverflowNumber(std::uint16_t v) { setWord(indexword::kOverflow, v); }

    // year × 10000 + month × 100 + day, the one way the store compares dates.
    std::uint32_t dateValue() const { return year() * 10000u + month() * 100u + day(); }
    friend bool operator==(const IndexRecord&, const IndexRecord&) = default;
};
static_assert(sizeof(IndexRecord) == kIndexRecordSize);

// The catalogue entry of the index record at `record` (32 bytes) with its record number.
// Words 2, 3, 5, 6, 8, 10 and 11 must be 0-255 to fit: otherwise false and `out` is untouched
// (catalogue loading stops before such a record). The opening (word 7) and word 9 above 255 are
// taken as 0. Position hit -1, selection mark 0. No allocation: the catalogue loader calls this
// a million times over a block of raw index bytes.
inline bool HeaderFromIndexBytes(const std::uint8_t* record, std::uint32_t recordNumber,
                                 GameHeader& out) {
    const auto w = [record](int i) { return LoadU16(record + i * 2); };
    const std::uint16_t mustFit = w(indexword::kTournament) | w(indexword::kGameNumber) |
                                  w(indexword::kMonth) | w(indexword::kDay) |
                                  w(indexword::kResult) | w(indexword::kHandicap) |
                                  w(indexword::kSubTournament);
    if (mustFit > 0xFF) return false;
    GameHeader h;
    h.recordNumber = recordNumber;
    h.overflowNumber = w(indexword::kOverflow);
    h.sentePlayer = w(indexword::kSentePlayer);
    h.gotePlayer = w(indexword::kGotePlayer);
    h.tournament = std::uint8_t(w(indexword::kTournament));
    h.subTournament = std::uint8_t(w(indexword::kSubTournament));
    h.gameNumber = std::uint8_t(w(indexword::kGameNumber));
    h.year = w(indexword::kYear);
    h.month = std::uint8_t(w(indexword::kMonth));
    h.day = std::uint8_t(w(indexword::kDay));
    const std::uint16_t opening = w(indexword::kOpening);
    h.opening = opening > 0xFF ? 0 : std::uint8_t(opening);
    h.result = std::uint8_t(w(indexword::kResult));
    const std::uint16_t word9 = w(indexword::kWord9);
    h.word9 = word9 > 0xFF ? 0 : std::uint8_t(word9);
    h.handicap = std::uint8_t(w(indexword::kHandicap));
    h.positionHit = -1;
    h.selectionMark = 0;
    out = h;
    return true;
}
inline bool HeaderFromIndexRecord(const IndexRecord& r, std::uint32_t recordNumber,
                                  GameHeader& out) {
    return HeaderFromIndexBytes(r.bytes.data(), recordNumber, out);
}
// The index record a header stands for (words 12-14 zero).
IndexRecord IndexRecordFromHeader(const GameHeader& h);

// --- game data: the 1024 move bytes of one game -----------------------------------------------
//
// Slot s (1-512) is two bytes at 2(s - 1): slots 1-256 are the game-data record, 257-512 the
// overflow game-data record. Odd slots hold 先手's (下手's) moves, even slots 後手's (上手's); in a
// handicap game 上手 moves first, so slot 1 holds the placeholder FF FF. The moves end at the
// first slot whose destination byte is 0.
//
//   byte 0 destination: square code (rank - 1) × 9 + file, 1-81; + 100 when the move promotes
//   byte 1 origin:      square code of a board move; 100 + n for a drop, where n is the place of
//                       the first piece of the dropped kind in the mover's hand listed 飛 角 金
//                       銀 桂 香 歩, each kind as many times as held
inline constexpr std::uint8_t kPlaceholderByte = 0xFF;
inline constexpr int kPromotionAdd = 100;
inline constexpr int kDropOriginBase = 100;

constexpr int SquareCode(int file, int rank) { return (rank - 1) * 9 + file; }
constexpr int FileOfSquareCode(int code) { return (code - 1) % 9 + 1; }
constexpr int RankOfSquareCode(int code) { return (code - 1) / 9 + 1; }

// Move m (1-based) of a game is in slot m + FirstMoveSlot - 1, and its move-info entry is
// m - 1 + (FirstMoveSlot - 1).
constexpr int FirstMoveSlot(int handicapNumber) { return handicapNumber != 0 ? 2 : 1; }
constexpr int MoveInfoEntryOfMove(int moveNumber, int handicapNumber) {
    return moveNumber - 1 + (handicapNumber != 0 ? 1 : 0);
}

struct MoveBytes {
    std::array<std::uint8_t, kMoveBytesSize> bytes{};

    // Slots are 1-based; a slot outside 1-512 raises RangeError.
    std::uint8_t destination(int slot) const { return bytes[Offset(slot)]; }
    std::uint8_t origin(int slot) const { return bytes[Offset(slot) + 1]; }
    void setSlot(int slot, std::uint8_t destinationByte, std::uint8_t originByte) {
        std::size_t at = Offset(slot);
        bytes[at] = destinationByte;
        bytes[at + 1] = originByte;
    }
    bool hasPlaceholder() const { return bytes[0] == kPlaceholderByte; }

    // The game-data record (slots 1-256) and the overflow game-data record (257-512).
    std::uint8_t* firstRecord() { return bytes.data(); }
    const std::uint8_t* firstRecord() const { return bytes.data(); }
    std::uint8_t* overflowRecord() { return bytes.data() + kGameDataRecordSize; }
    const std::uint8_t* overflowRecord() const { return bytes.data() + kGameDataRecordSize; }
    // Whether the game goes on past slot 256 (destination byte of slot 257).
    bool usesOverflow() const { return bytes[kGameDataRecordSize] != 0; }

    friend bool operator==(const MoveBytes&, const MoveBytes&) = default;

private:
    static std::size_t Offset(int slot);
};
static_assert(sizeof(MoveBytes) == kMoveBytesSize);

// The number of slots before the first slot whose destination byte is 0, less one when slot 1
// holds the placeholder; at most 512.
int CountMoves(const MoveBytes& moves);

// The scratch position that slot encoding and decoding keep: which piece code stands on each
// square (by square code 1-81) and how many pieces of each kind each side holds. Drops are
// numbered from the hand, so both directions must replay the game.
struct SlotScratch {
    std::array<std::uint8_t, 82> board{};                  // by square code; 0 is no square
    std::array<std::array<std::uint8_t, 9>, 2> hands{};    // [side - 1][kind]

    // The starting position for a handicap number (0-14; others give the even game).
    void SetUp(int handicapNumber);
    void SetUp(const BoardPosition& position);
};

// One slot of a stored game turned into a move code, using and updating the scratch position.
// `side` is side::kSente for odd slots, side::kGote for even ones. False for bytes that are no
// move: a destination outside 1-81 and 101-181, an origin outside 1-81 and above 100, a drop
// number past the end of the hand, a promoting drop, a drop onto an occupied square, a move that
// stays on its square; the scratch position is then unchanged.
bool DecodeSlot(SlotScratch& scratch, int side, std::uint8_t destinationByte,
                std::uint8_t originByte, MoveCode& out);
// The reverse: false when the move cannot be stored (digits off the board, a drop of a kind the
// side does not hold, a king drop); the scratch position is then unchanged.
bool EncodeSlot(SlotScratch& scratch, int side, const MoveCode& code,
                std::uint8_t& destinationByte, std::uint8_t& originByte);

// Decodes the moves of a game, at most `maxMoves` of them (the slots end at 512 in any case),
// from its first slot into `out`, stopping at the first slot whose destination byte is 0.
// Returns the number of moves decoded; `damaged` tells whether decoding stopped at bytes that
// are no move (the moves before them are kept).
int DecodeMoveBytes(const MoveBytes& moves, int handicapNumber, int maxMoves,
                    std::array<MoveCode, kMaxSlots>& out, bool& damaged);

// --- move-info entry (8 bytes) and the move info of a game (4096 bytes) ----------------------
//
//   0  i8   destination as rank × 10 + file, negative when the move promotes (written, not read)
//   1  i8   origin as rank × 10 + file; for a drop 8 - kind (written, not read)
//   2  u8   zero
//   3  u8   low nibble: comment file 0-15; the high nibble is kept as found
//   4  u16  comment number, 0 = no comment
//   6  u16  consumed time in seconds (or the running total, by the detail record's input mode)
//
// Entry e belongs to slot e + 1, so in a handicap game entry 0 is the placeholder (bytes 0 and 1
// FF, the rest 0). Entries 0-255 are the move-info record, 256-511 the move-info overflow record.
struct MoveInfoEntry {
    std::int8_t destination = 0;
    std::int8_t origin = 0;
    std::uint8_t reserved = 0;
    std::uint8_t commentByte = 0;
    std::uint16_t commentNumber = 0;
    std::uint16_t consumedTime = 0;

    int commentFile() const { return commentByte & 0x0F; }
    void setCommentFile(int file) {
        commentByte = std::uint8_t((commentByte & 0xF0) | (file & 0x0F));
    }
    static MoveInfoEntry FromBytes(const std::uint8_t* p);
    void ToBytes(std::uint8_t* p) const;
    friend bool operator==(const MoveInfoEntry&, const MoveInfoEntry&) = default;
};

// Bytes 0 and 1 of the entry of a move: the destination and origin in the rank × 10 + file form.
void MoveInfoPlacement(const MoveCode& code, std::int8_t& destination, std::int8_t& origin);

struct MoveInfo {
    std::array<std::uint8_t, kMoveInfoSize> bytes{};

    // Entries are 0-511; outside raises RangeError.
    MoveInfoEntry entry(int e) const { return MoveInfoEntry::FromBytes(&bytes[Offset(e)]); }
    void setEntry(int e, const MoveInfoEntry& v) { v.ToBytes(&bytes[Offset(e)]); }
    int commentFile(int e) const { return bytes[Offset(e) + 3] & 0x0F; }
    void setCommentFile(int e, int file) {
        std::uint8_t& b = bytes[Offset(e) + 3];
        b = std::uint8_t((b & 0xF0) | (file & 0x0F));
    }
    std::uint16_t commentNumber(int e) const { return LoadU16(&bytes[Offset(e) + 4]); }
    void setCommentNumber(int e, std::uint16_t n) { StoreU16(&bytes[Offset(e) + 4], n); }
    std::uint16_t consumedTime(int e) const { return LoadU16(&bytes[Offset(e) + 6]); }
    void setConsumedTime(int e, std::uint16_t t) { StoreU16(&bytes[Offset(e) + 6], t); }

    std::uint8_t* firstRecord() { return bytes.data(); }
    const std::uint8_t* firstRecord() const { return bytes.data(); }
    std::uint8_t* overflowRecord() { return bytes.data() + kMoveInfoRecordSize; }
    const std::uint8_t* overflowRecord() const { return bytes.data() + kMoveInfoRecordSize; }
    // Whether entry 256 holds a move (its byte 0 is not 0): only then is the overflow part written.
    bool usesOverflow() const { return bytes[kMoveInfoRecordSize] != 0; }

    friend bool operator==(const MoveInfo&, const MoveInfo&) = default;

private:
    static std::size_t Offset(int e);
};
static_assert(sizeof(MoveInfo) == kMoveInfoSize);

// --- overflow bitmap (record 0 of the move-info overflow file) --------------------------------
//
// Bit j of byte i, counted from the most significant bit (80 hex is j = 1), set means overflow
// number i × 8 + j is in use. Numbers are 1-16384. One number addresses overflow game-data
// record n - 1 and move-info overflow record n.
struct OverflowBitmap {
    std::array<std::uint8_t, kOverflowBitmapSize> bytes{};

    // Numbers outside 1-16384 are never in use and are not changed.
    bool InUse(int n) const;
    void Set(int n);
    void Clear(int n);
    // The lowest free number (the first byte that is not FF, its first clear bit from the most
    // significant end); 0 when all 16384 are in use.
    int FirstFree() const;
};
static_assert(sizeof(OverflowBitmap) == kOverflowBitmapSize);

constexpr bool IsOverflowNumber(int n) { return n >= 1 && n <= kMaxOverflowNumber; }

// --- detail record (extended kind, 256 bytes) -------------------------------------------------
//
// Text fields are CP932 padded with zero bytes, never split inside a double-byte character.
namespace detail {
inline constexpr std::size_t kSenteName = 0;         // 14  shown when the player number is 0
inline constexpr std::size_t kGoteName = 14;         // 14
inline constexpr std::size_t kSenteRank = 28;        // 8   rank or title, bytes 1-8
inline constexpr std::size_t kGoteRank = 36;         // 8
inline constexpr std::size_t kTournamentText = 44;   // 20  棋戦名(詳細)
inline constexpr std::size_t kPlace = 64;            // 20  対局場所
inline constexpr std::size_t kStart = 84;            // 6   year u16, month, day, hour, minute
inline constexpr std::size_t kEnd = 90;              // 6
inline constexpr std::size_t kLunch = 96;            // 4   from hour, from minute, to hour, to minute
inline constexpr std::size_t kDinner = 100;          // 4
inline constexpr std::size_t kSenteAllowed = 104;    // u16 allowed time in minutes
inline constexpr std::size_t kGoteAllowed = 106;     // u16
// 108: 4 zero
inline constexpr std::size_t kTournament = 112;      // u8  copy of index word 2
inline constexpr std::size_t kGameNumber = 113;      // u8  copy of index word 3
inline constexpr std::size_t kHandicap = 114;        // u8  copy of index word 10
inline constexpr std::size_t kOpening = 115;         // u8  copy of index word 7
// 116: 2 zero
inline constexpr std::size_t kResult = 118;          // u8  copy of index word 8
inline constexpr std::size_t kTimeMode = 119;        // u8  0 per move, 1 running totals
inline constexpr std::size_t kMoveCount = 120;       // u16
inline constexpr std::size_t kRecorder = 122;        // 20  記録係
inline constexpr std::size_t kRemarks = 142;         // 40  備考
inline constexpr std::size_t kOpeningCommentFile = 182;       // u8
inline constexpr std::size_t kClosingCommentFile = 183;       // u8
inline constexpr std::size_t kOpeningCommentNumber = 184;     // u16, 0 = none
inline constexpr std::size_t kClosingCommentNumber = 186;     // u16, 0 = none
inline constexpr std::size_t kClosingTime = 188;     // u16 seconds after the last move, 0 = none
// 190: 2 zero
inline constexpr std::size_t kSubTournament = 192;   // u8  copy of index word 11
// 193: 1 zero
inline constexpr std::size_t kOverflow = 194;        // u16 copy of index word 15
inline constexpr std::size_t kSenteRankMore = 196;   // 8   rank or title, bytes 9-16
inline constexpr std::size_t kGoteRankMore = 204;    // 8
inline constexpr std::size_t kSenteRating = 212;     // i16
inline constexpr std::size_t kGoteRating = 214;      // i16
// 216: 40 zero

inline constexpr std::size_t kNameWidth = 14;
inline constexpr std::size_t kRankPartWidth = 8;
inline constexpr std::size_t kRankWidth = 16;        // both parts together
inline constexpr std::size_t kTournamentTextWidth = 20;
inline constexpr std::size_t kPlaceWidth = 20;
inline constexpr std::size_t kRecorderWidth = 20;
inline constexpr std::size_t kRemarksWidth = 40;
}  // namespace detail

struct DetailDateTime {
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    friend bool operator==(const DetailDateTime&, const DetailDateTime&) = default;
};

struct BreakTime {
    std::uint8_t fromHour = 0;
    std::uint8_t fromMinute = 0;
    std::uint8_t toHour = 0;
    std::uint8_t toMinute = 0;
    friend bool operator==(const BreakTime&, const BreakTime&) = default;
};

struct DetailRecord {
    std::array<std::uint8_t, kDetailRecordSize> bytes{};

    // Texts (CP932). Setters cut a text that does not fit at a character boundary.
    std::string senteName() const { return Text(detail::kSenteName, detail::kNameWidth); }
    std::string goteName() const { return Text(detail::kGoteName, detail::kNameWidth); }
    void setSenteName(std::string_view t) { SetText(detail::kSenteName, detail::kNameWidth, t); }
    void setGoteName(std::string_view t) { SetText(detail::kGoteName, detail::kNameWidth, t); }
    // The rank or title is one 16-byte text kept in two 8-byte parts.
    std::string senteRank() const { return Rank(detail::kSenteRank, detail::kSenteRankMore); }
    std::string goteRank() const { return Rank(detail::kGoteRank, detail::kGoteRankMore); }
    void setSenteRank(std::string_view t) { SetRank(detail::kSenteRank, detail::kSenteRankMore, t); }
    void setGoteRank(std::string_view t) { SetRank(detail::kGoteRank, detail::kGoteRankMore, t); }
    std::string tournamentText() const {
        return Text(detail::kTournamentText, detail::kTournamentTextWidth);
    }
    void setTournamentText(std::string_view t) {
        SetText(detail::kTournamentText, detail::kTournamentTextWidth, t);
    }
    std::string place() const { return Text(detail::kPlace, detail::kPlaceWidth); }
    void setPlace(std::string_view t) { SetText(detail::kPlace, detail::kPlaceWidth, t); }
    std::string recorder() const { return Text(detail::kRecorder, detail::kRecorderWidth); }
    void setRecorder(std::string_view t) { SetText(detail::kRecorder, detail::kRecorderWidth, t); }
    std::string remarks() const { return Text(detail::kRemarks, detail::kRemarksWidth); }
    void setRemarks(std::string_view t) { SetText(detail::kRemarks, detail::kRemarksWidth, t); }

    DetailDateTime start() const { return DateTime(detail::kStart); }
    DetailDateTime end() const { return DateTime(detail::kEnd); }
    void setStart(const DetailDateTime& v) { SetDateTime(detail::kStart, v); }
    void setEnd(const DetailDateTime& v) { SetDateTime(detail::kEnd, v); }
    BreakTime lunch() const { return Break(detail::kLunch); }
    BreakTime dinner() const { return Break(detail::kDinner); }
    void setLunch(const BreakTime& v) { SetBreak(detail::kLunch, v); }
    void setDinner(const BreakTime& v) { SetBreak(detail::kDinner, v); }

    std::uint16_t senteAllowedMinutes() const { return U16(detail::kSenteAllowed); }
    std::uint16_t goteAllowedMinutes() const { return U16(detail::kGoteAllowed); }
    void setSenteAllowedMinutes(std::uint16_t v) { SetU16(detail::kSenteAllowed, v); }
    void setGoteAllowedMinutes(std::uint16_t v) { SetU16(detail::kGoteAllowed, v); }

    // Copies of index words.
    std::uint8_t tournament() const { return bytes[detail::kTournament]; }
    std::uint8_t gameNumber() const { return bytes[detail::kGameNumber]; }
    std::uint8_t handicap() const { return bytes[detail::kHandicap]; }
    std::uint8_t opening() const { return bytes[detail::kOpening]; }
    std::uint8_t result() const { return bytes[detail::kResult]; }
    std::uint8_t subTournament() const { return bytes[detail::kSubTournament]; }
    void setTournament(std::uint8_t v) { bytes[detail::kTournament] = v; }
    void setGameNumber(std::uint8_t v) { bytes[detail::kGameNumber] = v; }
    void setHandicap(std::uint8_t v) { bytes[detail::kHandicap] = v; }
    void setOpening(std::uint8_t v) { bytes[detail::kOpening] = v; }
    void setResult(std::uint8_t v) { bytes[detail::kResult] = v; }
    void setSubTournament(std::uint8_t v) { bytes[detail::kSubTournament] = v; }

    std::uint8_t timeMode() const { return bytes[detail::kTimeMode]; }
    void setTimeMode(std::uint8_t v) { bytes[detail::kTimeMode] = v; }
    std::uint16_t moveCount() const { return U16(detail::kMoveCount); }
    void setMoveCount(std::uint16_t v) { SetU16(detail::kMoveCount, v); }

    // Comment links of the positions before the first and after the last move.
    std::uint8_t openingCommentFile() const { return bytes[detail::kOpeningCommentFile]; }
    std::uint8_t closingCommentFile() const { return bytes[detail::kClosingCommentFile]; }
    std::uint16_t openingCommentNumber() const { return U16(detail::kOpeningCommentNumber); }
    std::uint16_t closingCommentNumber() const { return U16(detail::kClosingCommentNumber); }
    void setOpeningComment(std::uint8_t file, std::uint16_t number) {
        bytes[detail::kOpeningCommentFile] = file;
        SetU16(detail::kOpeningCommentNumber, number);
    }
    void setClosingComment(std::uint8_t file, std::uint16_t number) {
        bytes[detail::kClosingCommentFile] = file;
        SetU16(detail::kClosingCommentNumber, number);
    }
    std::uint16_t closingTime() const { return U16(detail::kClosingTime); }
    void setClosingTime(std::uint16_t v) { SetU16(detail::kClosingTime, v); }
    std::uint16_t overflowNumber() const { return U16(detail::kOverflow); }
    void setOverflowNumber(std::uint16_t v) { SetU16(detail::kOverflow, v); }
    std::int16_t senteRating() const { return LoadI16(&bytes[detail::kSenteRating]); }
    std::int16_t goteRating() const { return LoadI16(&bytes[detail::kGoteRating]); }
    void setSenteRating(std::int16_t v) { StoreI16(&bytes[detail::kSenteRating], v); }
    void setGoteRating(std::int16_t v) { StoreI16(&bytes[detail::kGoteRating], v); }

    // Copies index words 2, 3, 10, 7, 8, 11 and 15 into bytes 112-115, 118, 192 and 194
    // (the byte copies keep the low byte of each word).
    void CopyIndexWords(const IndexRecord& index);

    friend bool operator==(const DetailRecord&, const DetailRecord&) = default;

private:
    std::uint16_t U16(std::size_t at) const { return LoadU16(&bytes[at]); }
    void SetU16(std::size_t at, std::uint16_t v) { StoreU16(&bytes[at], v); }
    std::string Text(std::size_t at, std::size_t width) const;
    void SetText(std::size_t at, std::size_t width, std::string_view text);
    std::string Rank(std::size_t first, std::size_t more) const;
    void SetRank(std::size_t first, std::size_t more, std::string_view text);
    DetailDateTime DateTime(std::size_t at) const;
    void SetDateTime(std::size_t at, const DetailDateTime& v);
    BreakTime Break(std::size_t at) const;
    void SetBreak(std::size_t at, const BreakTime& v);
};
static_assert(sizeof(DetailRecord) == kDetailRecordSize);

}  // namespace movra
