#include "core/store/layout.h"

#include <algorithm>
#include <string>

#include "core/text/text_helpers.h"
#include "core/text/range_error.h"

namespace movra {

IndexRecord IndexRecordFromHeader(const GameHeader& h) {
    IndexRecord r;
    r.setSentePlayer(h.sentePlayer);
    r.setGotePlayer(h.gotePlayer);
    r.setTournament(h.tournament);
    r.setGameNumber(h.gameNumber);
    r.setYear(h.year);
    r.setMonth(h.month);
    r.setDay(h.day);
    r.setOpening(h.opening);
    r.setResult(h.result);
    r.setWord(indexword::kWord9, h.word9);
    r.setHandicap(h.handicap);
    r.setSubTournament(h.subTournament);
    r.setOverflowNumber(h.overflowNumber);
    return r;
}

// --- move bytes -------------------------------------------------------------------------------

std::size_t MoveBytes::Offset(int slot) {
    if (slot < 1 || slot > kMaxSlots) {
        throw RangeError("slot " + std::to_string(slot) + " outside 1-512");
    }
    return std::size_t(slot - 1) * 2;
}

int CountMoves(const MoveBytes& moves) {
    int slots = 0;
    while (slots < kMaxSlots && moves.bytes[std::size_t(slots) * 2] != 0) ++slots;
    if (slots > 0 && moves.hasPlaceholder()) --slots;
    return slots;
}

void SlotScratch::SetUp(int handicapNumber) {
    BoardPosition p;
    SetUpStandard(p, HandicapChar(handicapNumber));
    SetUp(p);
}

void SlotScratch::SetUp(const BoardPosition& position) {
    board = {};
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            board[std::size_t(SquareCode(file, rank))] = position.board[std::size_t(BoardIndex(file, rank))];
        }
    }
    hands[0] = position.senteHand;
    hands[1] = position.goteHand;
}

namespace {

// A digit character 1-9 as its value, 0 for anything else.
int Digit19(char c) { return c >= '1' && c <= '9' ? c - '0' : 0; }

// The piece on `origin` moves to `destination`; what stood there goes, unpromoted, into the
// mover's hand.
void ScratchBoardMove(SlotScratch& s, int side, int origin, int destination, bool promotes) {
    PieceCode moving = s.board[std::size_t(origin)];
    PieceCode taken = s.board[std::size_t(destination)];
    if (taken != 0) {
        PieceKind k = KindOf(taken);
        std::uint8_t& count = s.hands[std::size_t(side - 1)][k];
        if (count < 255) ++count;
    }
    if (promotes && IsPromotable(moving)) moving = Promote(moving);
    s.board[std::size_t(destination)] = moving;
    s.board[std::size_t(origin)] = 0;
}

void ScratchDrop(SlotScratch& s, int side, PieceKind k, int destination) {
    --s.hands[std::size_t(side - 1)][k];
    PieceCode code = CodeOfKind(k);
    if (side == side::kGote) code = PieceCode(code + piece::kGoteOffset);
    s.board[std::size_t(destination)] = code;
}

MoveCode MakeCode(int fromFile, int fromRank, int toFile, int toRank, bool promotes) {
    MoveCode c;
    c.text = {char('0' + fromFile), char('0' + fromRank), char('0' + toFile), char('0' + toRank),
              promotes ? '+' : ' '};
    return c;
}

}  // namespace

bool DecodeSlot(SlotScratch& scratch, int side, std::uint8_t destinationByte,
                std::uint8_t originByte, MoveCode& out) {
    int destination = destinationByte;
    bool promotes = false;
    if (destination > kPromotionAdd) {
        destination -= kPromotionAdd;
        promotes = true;
    }
    if (destination < 1 || destination > 81) return false;
    const int toFile = FileOfSquareCode(destination);
    const int toRank = RankOfSquareCode(destination);

    if (originByte >= 1 && originByte <= 81) {
        if (originByte == destination) return false;
        out = MakeCode(FileOfSquareCode(originByte), RankOfSquareCode(originByte), toFile, toRank,
                       promotes);
        ScratchBoardMove(scratch, side, originByte, destination, promotes);
        return true;
    }
    if (originByte <= kDropOriginBase || promotes) return false;
    if (scratch.board[std::size_t(destination)] != 0) return false;
    // Walk the hand as it is listed: 飛 角 金 銀 桂 香 歩, each kind as often as it is held.
    int n = originByte - kDropOriginBase;
    const auto& hand = scratch.hands[std::size_t(side - 1)];
    for (PieceKind k = kind::Hi; k >= kind::Fu; --k) {
        if (n <= hand[k]) {
            out = MakeCode(0, k, toFile, toRank, false);
            ScratchDrop(scratch, side, k, destination);
            return true;
        }
        n -= hand[k];
    }
    return false;
}

bool EncodeSlot(SlotScratch& scratch, int side, const MoveCode& code,
                std::uint8_t& destinationByte, std::uint8_t& originByte) {
    const int toFile = Digit19(code.text[2]);
    const int toRank = Digit19(code.text[3]);
    const char fifth = code.text[4];
    if (toFile == 0 || toRank == 0 || (fifth != '+' && fifth != ' ')) return false;
    const bool promotes = fifth == '+';
    const int destination = SquareCode(toFile, toRank);

    if (code.text[0] == '0') {
        const int k = code.text[1] - '0';
        const auto& hand = scratch.hands[std::size_t(side - 1)];
        if (k < kind::Fu || k > kind::Hi || promotes) return false;
        if (hand[std::size_t(k)] == 0 || scratch.board[std::size_t(destination)] != 0) return false;
        // The place of the first piece of this kind: after every stronger piece held.
        int n = 1;
        for (int stronger = kind::Hi; stronger > k; --stronger) n += hand[std::size_t(stronger)];
        destinationByte = std::uint8_t(destination);
        originByte = std::uint8_t(kDropOriginBase + n);
        ScratchDrop(scratch, side, PieceKind(k), destination);
        return true;
    }
    const int fromFile = Digit19(code.text[0]);
    const int fromRank = Digit19(code.text[1]);
    if (fromFile == 0 || fromRank == 0) return false;
    const int origin = SquareCode(fromFile, fromRank);
    if (origin == destination || scratch.board[std::size_t(origin)] == 0) return false;
    destinationByte = std::uint8_t(destination + (promotes ? kPromotionAdd : 0));
    originByte = std::uint8_t(origin);
    ScratchBoardMove(scratch, side, origin, destination, promotes);
    return true;
}

int DecodeMoveBytes(const MoveBytes& moves, int handicapNumber, int maxMoves,
                    std::array<MoveCode, kMaxSlots>& out, bool& damaged) {
    damaged = false;
    const int first = FirstMoveSlot(handicapNumber);
    const int limit = std::min(kMaxSlots, std::max(0, maxMoves) + first - 1);
    SlotScratch scratch;
    scratch.SetUp(handicapNumber);
    int count = 0;
    for (int slot = first; slot <= limit; ++slot) {
        const std::size_t at = std::size_t(slot - 1) * 2;
        const std::uint8_t destination = moves.bytes[at];
        if (destination == 0) break;
        const int side = (slot & 1) ? side::kSente : side::kGote;
        if (!DecodeSlot(scratch, side, destination, moves.bytes[at + 1], out[std::size_t(count)])) {
            damaged = true;
            break;
        }
        ++count;
    }
    return count;
}

// --- move info --------------------------------------------------------------------------------

MoveInfoEntry MoveInfoEntry::FromBytes(const std::uint8_t* p) {
    MoveInfoEntry e;
    e.destination = std::int8_t(p[0]);
    e.origin = std::int8_t(p[1]);
    e.reserved = p[2];
    e.commentByte = p[3];
    e.commentNumber = LoadU16(p + 4);
    e.consumedTime = LoadU16(p + 6);
    return e;
}

void MoveInfoEntry::ToBytes(std::uint8_t* p) const {
    p[0] = std::uint8_t(destination);
    p[1] = std::uint8_t(origin);
    p[2] = reserved;
    p[3] = commentByte;
    StoreU16(p + 4, commentNumber);
    StoreU16(p + 6, consumedTime);
}

void MoveInfoPlacement(const MoveCode& code, std::int8_t& destination, std::int8_t& origin) {
    const int to = Digit19(code.text[3]) * 10 + Digit19(code.text[2]);
    destination = std::int8_t(code.text[4] == '+' ? -to : to);
    if (code.text[0] == '0') {
        origin = std::int8_t(8 - (code.text[1] - '0'));
    } else {
        origin = std::int8_t(Digit19(code.text[1]) * 10 + Digit19(code.text[0]));
    }
}

std::size_t MoveInfo::Offset(int e) {
    if (e < 0 || e >= kMoveInfoEntries) {
        throw RangeError("move-info entry " + std::to_string(e) + " outside 0-511");
    }
    return std::size_t(e) * kMoveInfoEntrySize;
}

// --- overflow bitmap --------------------------------------------------------------------------

bool OverflowBitmap::InUse(int n) const {
    if (!IsOverflowNumber(n)) return false;
    return (bytes[std::size_t(n - 1) / 8] & (0x80u >> ((n - 1) % 8))) != 0;
}

void OverflowBitmap::Set(int n) {
    if (!IsOverflowNumber(n)) return;
    bytes[std::size_t(n - 1) / 8] |= std::uint8_t(0x80u >> ((n - 1) % 8));
}

void OverflowBitmap::Clear(int n) {
    if (!IsOverflowNumber(n)) return;
    bytes[std::size_t(n - 1) / 8] &= std::uint8_t(~(0x80u >> ((n - 1) % 8)));
}

int OverflowBitmap::FirstFree() const {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0xFF) continue;
        for (int j = 0; j < 8; ++j) {
            if ((bytes[i] & (0x80u >> j)) == 0) return int(i) * 8 + j + 1;
        }
    }
    return 0;
}

// --- detail record ----------------------------------------------------------------------------

std::string DetailRecord::Text(std::size_t at, std::size_t width) const {
    return FieldToText(&bytes[at], width);
}

void DetailRecord::SetText(std::size_t at, std::size_t width, std::string_view text) {
    TextToField(&bytes[at], width, text, width);
}

std::string DetailRecord::Rank(std::size_t first, std::size_t more) const {
    // Each part ends at its own zero byte: a writer that keeps double-byte characters whole puts
    // 7 bytes and a zero into the first part when the 8th byte would split a character, and the
    // text goes on in the second part.
    const std::string head = FieldToText(&bytes[first], detail::kRankPartWidth);
    if (head.empty()) return head;
    return head + FieldToText(&bytes[more], detail::kRankPartWidth);
}

void DetailRecord::SetRank(std::size_t first, std::size_t more, std::string_view text) {
    // One 16-byte field; a double-byte character may straddle the two parts.
    std::uint8_t joined[detail::kRankWidth];
    TextToField(joined, detail::kRankWidth, text, detail::kRankWidth);
    std::copy_n(joined, detail::kRankPartWidth, &bytes[first]);
    std::copy_n(joined + detail::kRankPartWidth, detail::kRankPartWidth, &bytes[more]);
}

DetailDateTime DetailRecord::DateTime(std::size_t at) const {
    return {LoadU16(&bytes[at]), bytes[at + 2], bytes[at + 3], bytes[at + 4], bytes[at + 5]};
}

void DetailRecord::SetDateTime(std::size_t at, const DetailDateTime& v) {
    StoreU16(&bytes[at], v.year);
    bytes[at + 2] = v.month;
    bytes[at + 3] = v.day;
    bytes[at + 4] = v.hour;
    bytes[at + 5] = v.minute;
}

BreakTime DetailRecord::Break(std::size_t at) const {
    return {bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]};
}

void DetailRecord::SetBreak(std::size_t at, const BreakTime& v) {
    bytes[at] = v.fromHour;
    bytes[at + 1] = v.fromMinute;
    bytes[at + 2] = v.toHour;
    bytes[at + 3] = v.toMinute;
}

void DetailRecord::CopyIndexWords(const IndexRecord& index) {
    setTournament(std::uint8_t(index.tournament()));
    setGameNumber(std::uint8_t(index.gameNumber()));
    setHandicap(std::uint8_t(index.handicap()));
    setOpening(std::uint8_t(index.opening()));
    setResult(std::uint8_t(index.result()));
    setSubTournament(std::uint8_t(index.subTournament()));
    setOverflowNumber(index.overflowNumber());
}

}  // namespace movra
