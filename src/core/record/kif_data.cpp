#include "core/record/kif_data.h"

#include <string>

#include "core/text/range_error.h"

namespace movra {

namespace {
// A position text, by 0-based offsets: 81 piece letters from kLettersAt, their 81 side
// characters from kSidesAt, then the hand counts of sente and of gote, kHandKinds each.
constexpr std::size_t kLettersAt = 32;
constexpr std::size_t kSidesAt = 113;
constexpr std::size_t kHandsAt = 194;
constexpr std::size_t kHandKinds = 8;
constexpr std::size_t kPositionTextSize = kHandsAt + 2 * kHandKinds;
constexpr int kSquares = 81;
constexpr std::string_view kHandCountDigits = "0123456789ABCDEFGHI";
// Hand counts of a position text are listed strongest first.
constexpr PieceKind kTextHandOrder[] = {kind::Gyoku, kind::Hi, kind::Kaku, kind::Kin,
                                        kind::Gin,   kind::Kei, kind::Kyo, kind::Fu};

int FirstInBox(const BoardPosition& p, PieceKind k) {
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.file == location::kBox && e.rank == k) return i;
    }
    return 0;
}
}  // namespace

TKifData::TKifData() {
    ResetHeader(0);
    SetUpStandard();
}

void TKifData::ResetHeader(int handicapNumber) {
    handicap = HandicapChar(handicapNumber);
    endCode = endcode::kInterrupted;
    parityOffset = 0;
    moveCount = 0;
    currentMove = 0;
}

void TKifData::CheckMoveNumber(int moveNumber) const {
    if (moveNumber < 1 || moveNumber > kMaxMoves) {
        throw RangeError("move number " + std::to_string(moveNumber) + " outside 1-512");
    }
}

std::optional<MoveRecord> TKifData::ResolveMove(const MoveCode& code, int side, int recordNumber) {
    int target = recordNumber == kAppendMove ? moveCount + 1 : recordNumber;
    CheckMoveNumber(target);
    MoveRecord record = moves[target];
    if (!movra::ResolveMove(position, code, side, record)) return std::nullopt;
    if (recordNumber == kAppendMove) ++moveCount;
    moves[target] = record;
    return record;
}

PieceCode TKifData::ApplyMove(int moveNumber) {
    CheckMoveNumber(moveNumber);
    return movra::ApplyMove(position, moves[moveNumber]);
}

void TKifData::UndoMove(int moveNumber) {
    CheckMoveNumber(moveNumber);
    movra::UndoMove(position, moves[moveNumber], SideOf(moveNumber));
}

bool TKifData::AppendAndApply(const MoveCode& code) {
    if (moveCount >= kMaxMoves) return false;
    int n = moveCount + 1;
    MoveRecord record = moves[n];
    if (!movra::ResolveMove(position, code, SideOf(n), record)) return false;
    movra::ApplyMove(position, record);
    moves[n] = record;
    moveCount = std::int16_t(n);
    currentMove = std::int16_t(n);
    movra::Rebuild(position);
    return true;
}

bool TKifData::StepForward() {
    if (currentMove >= moveCount) return false;
    ApplyMove(currentMove + 1);
    movra::Rebuild(position);
    ++currentMove;
    SlotAt(currentSlot).currentMove = currentMove;
    return true;
}

bool TKifData::StepBack() {
    if (currentMove <= 0) return false;
    UndoMove(currentMove);
    --currentMove;
    SlotAt(currentSlot).currentMove = currentMove;
    return true;
}

void TKifData::GoToMove(int moveNumber) {
    if (moveNumber < 0) moveNumber = 0;
    if (moveNumber > moveCount) moveNumber = moveCount;
    while (currentMove < moveNumber && StepForward()) {
    }
    while (currentMove > moveNumber && StepBack()) {
    }
}

void TKifData::LoadPositionText(std::string_view text) {
    if (text.size() < kPositionTextSize) {
        throw RangeError("a position text has at least " + std::to_string(kPositionTextSize) +
                         " characters");
    }
    ResetHeader(0);
    BoardPosition p;
    movra::SetUpEmpty(p);
    // Every piece goes to the box with a sente code, the kings too.
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        e.code = OwnCode(e.code);
        e.file = location::kBox;
        e.rank = KindOf(e.code);
    }
    // Square i (1-81) runs from 9一 to 1一, then rank by rank down to 1九.
    for (int i = 1; i <= kSquares; ++i) {
        PieceCode code = LetterToCode(text[kLettersAt + i - 1], text[kSidesAt + i - 1]);
        if (code == 0) continue;
        int index = FirstInBox(p, KindOf(code));
        if (index == 0) continue;  // no piece of that kind left: the letter is ignored
        PieceEntry& e = p.pieces[index];
        e.code = code;
        e.file = std::uint8_t(9 - (i - 1) % 9);
        e.rank = std::uint8_t((i - 1) / 9 + 1);
    }
    for (const bool gote : {false, true}) {
        const std::size_t counts = kHandsAt + (gote ? kHandKinds : 0);
        for (std::size_t j = 0; j < kHandKinds; ++j) {
            std::size_t value = kHandCountDigits.find(text[counts + j]);
            if (value == std::string_view::npos || value == 0) continue;
            PieceKind k = kTextHandOrder[j];
            for (std::size_t n = 0; n < value; ++n) {
                int index = FirstInBox(p, k);
                if (index == 0) break;
                PieceEntry& e = p.pieces[index];
                e.file = gote ? location::kGoteHand : location::kSenteHand;
                if (gote) e.code = PieceCode(e.code + piece::kGoteOffset);
            }
        }
    }
    movra::Rebuild(p);
    position = p;
}

TKifData::Slot& TKifData::SlotAt(int slot) {
    if (slot < 0 || slot >= kSlotCount) throw RangeError("slot " + std::to_string(slot) + " outside 0-4");
    return slots_[slot];
}

const TKifData::Slot& TKifData::SlotAt(int slot) const {
    if (slot < 0 || slot >= kSlotCount) throw RangeError("slot " + std::to_string(slot) + " outside 0-4");
    return slots_[slot];
}

int TKifData::FindFreeSlot(int fallback) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (slots_[i].inUse != 1) return i;
    }
    return fallback;
}

void TKifData::SaveSlot(int slot, std::int32_t recordNumber, const std::string& label,
                        const GameHeader& header) {
    Slot& s = SlotAt(slot);
    s.recordNumber = recordNumber;
    s.parityOffset = parityOffset;
    s.moveCount = moveCount;
    s.currentMove = currentMove;
    s.endCode = endCode;
    s.header = header;
    s.pieces = position.pieces;
    s.places = places;
    s.moves = moves;
    s.label = label;
}

SlotContents TKifData::LoadSlot(int slot) {
    const Slot& s = SlotAt(slot);
    parityOffset = s.parityOffset;
    moveCount = s.moveCount;
    currentMove = s.currentMove;
    endCode = s.endCode;
    position.pieces = s.pieces;
    places = s.places;
    moves = s.moves;
    return SlotContents{s.recordNumber, s.label, s.header};
}

bool TKifData::SlotInUse(int slot) const { return SlotAt(slot).inUse == 1; }
void TKifData::SetSlotInUse(int slot, bool inUse) { SlotAt(slot).inUse = inUse ? 1 : 0; }
std::int16_t TKifData::SlotCurrentMove(int slot) const { return SlotAt(slot).currentMove; }
void TKifData::SetSlotRecordNumber(int slot, std::int32_t recordNumber) {
    Slot& s = SlotAt(slot);
    s.recordNumber = recordNumber;
    s.header.recordNumber = std::uint32_t(std::max(0, recordNumber));
}

void TKifData::WriteCurrentMoveToSlot() { SlotAt(currentSlot).currentMove = currentMove; }

TKifData::Snapshot TKifData::TakeSnapshot() const {
    Snapshot s;
    s.parityOffset_ = parityOffset;
    s.moveCount_ = moveCount;
    s.currentMove_ = currentMove;
    s.handicap_ = handicap;
    s.endCode_ = endCode;
    s.moves_ = moves;
    s.position_ = position;
    s.places_ = places;
    return s;
}

void TKifData::Restore(const Snapshot& s) {
    parityOffset = s.parityOffset_;
    moveCount = s.moveCount_;
    currentMove = s.currentMove_;
    handicap = s.handicap_;
    endCode = s.endCode_;
    moves = s.moves_;
    position = s.position_;
    places = s.places_;
}

}  // namespace movra
