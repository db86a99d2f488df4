#include "core/positions/collection_layout.h"

#include <algorithm>

#include "core/text/text_helpers.h"

namespace movra {

namespace {

std::uint16_t LoadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v & 0xFF);
    p[1] = std::uint8_t(v >> 8);
}

void SetField(std::uint8_t* field, std::size_t size, std::string_view text) {
    std::fill(field, field + size, std::uint8_t(0));
    // One byte stays zero: the terminator.
    TextToField(field, size, text, size - 1);
}

}  // namespace

PositionSlot PositionSlot::FromBytes(const std::uint8_t* p) {
    PositionSlot s;
    std::copy(p, p + kCollectionSlotSize, s.bytes.begin());
    return s;
}

std::int16_t PositionSlot::number() const { return std::int16_t(LoadU16(&bytes[slotfield::kNumber])); }
void PositionSlot::setNumber(std::int16_t n) { StoreU16(&bytes[slotfield::kNumber], std::uint16_t(n)); }

std::string PositionSlot::title() const { return FieldToText(&bytes[slotfield::kTitle], slotfield::kTitleSize); }
std::string PositionSlot::senteLabel() const {
    return FieldToText(&bytes[slotfield::kSenteLabel], slotfield::kLabelSize);
}
std::string PositionSlot::goteLabel() const { return FieldToText(&bytes[slotfield::kGoteLabel], slotfield::kLabelSize); }
std::string PositionSlot::comment() const { return FieldToText(&bytes[slotfield::kComment], slotfield::kCommentSize); }

void PositionSlot::setTitle(std::string_view text) { SetField(&bytes[slotfield::kTitle], slotfield::kTitleSize, text); }
void PositionSlot::setSenteLabel(std::string_view text) {
    SetField(&bytes[slotfield::kSenteLabel], slotfield::kLabelSize, text);
}
void PositionSlot::setGoteLabel(std::string_view text) {
    SetField(&bytes[slotfield::kGoteLabel], slotfield::kLabelSize, text);
}
void PositionSlot::setComment(std::string_view text) {
    SetField(&bytes[slotfield::kComment], slotfield::kCommentSize, text);
}
void PositionSlot::setTexts(const SlotTexts& t) {
    setTitle(t.title);
    setSenteLabel(t.senteLabel);
    setGoteLabel(t.goteLabel);
    setComment(t.comment);
}

PieceTable PositionSlot::pieces() const {
    PieceTable table{};
    for (int i = 0; i <= kPieceCount; ++i) {
        const std::uint8_t* p = &bytes[slotfield::kPieces + std::size_t(i) * slotfield::kPieceEntrySize];
        table[std::size_t(i)] = PieceEntry{p[0], p[1], p[2], p[3], LoadU16(p + 4)};
    }
    return table;
}

void PositionSlot::setPieces(const PieceTable& table) {
    for (int i = 0; i <= kPieceCount; ++i) {
        std::uint8_t* p = &bytes[slotfield::kPieces + std::size_t(i) * slotfield::kPieceEntrySize];
        const PieceEntry& e = table[std::size_t(i)];
        p[0] = e.present;
        p[1] = e.code;
        p[2] = e.file;
        p[3] = e.rank;
        StoreU16(p + 4, e.image);
    }
}

BoardPosition PositionSlot::position() const {
    BoardPosition position;
    position.pieces = pieces();
    Rebuild(position);
    return position;
}

std::string PositionSlot::Problem() const {
    if (number() == 0) return {};
    if (number() < 0) return "negative position number";
    const PieceTable table = pieces();
    std::array<bool, kBoardSize> taken{};
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = table[std::size_t(i)];
        const std::string which = "piece " + std::to_string(i);
        if (e.present > 1) return which + ": presence flag " + std::to_string(e.present);
        if (e.present == 0) continue;
        if (e.code < 1 || e.code > 28) return which + ": piece code " + std::to_string(e.code);
        if (IsBoardSquare(e.file, e.rank)) {
            const int index = BoardIndex(e.file, e.rank);
            if (taken[std::size_t(index)]) return which + ": square already taken";
            taken[std::size_t(index)] = true;
        } else if (e.file == location::kSenteHand || e.file == location::kGoteHand) {
            if (e.rank < 1 || e.rank > 8) return which + ": hand kind " + std::to_string(e.rank);
        } else if (e.file != location::kBox) {
            return which + ": place " + std::to_string(e.file) + "," + std::to_string(e.rank);
        }
    }
    return {};
}

std::string LabelName(std::string_view label) {
    if (label.size() < 2) return {};
    const auto lead = std::uint8_t(label[0]), trail = std::uint8_t(label[1]);
    const bool mark = (lead == 0x81 && trail >= 0xA2 && trail <= 0xA5) || (lead == 0xF0 && (trail == 0x54 || trail == 0x55));
    return mark ? std::string(label.substr(2)) : std::string();
}

CollectionPage CollectionPage::FromBytes(const std::uint8_t* p) {
    CollectionPage page;
    std::copy(p, p + kCollectionPageSize, page.bytes.begin());
    return page;
}

PositionSlot CollectionPage::slot(int s) const {
    return PositionSlot::FromBytes(&bytes[std::size_t(s) * kCollectionSlotSize]);
}

void CollectionPage::setSlot(int s, const PositionSlot& slot) {
    std::copy(slot.bytes.begin(), slot.bytes.end(), bytes.begin() + std::ptrdiff_t(std::size_t(s) * kCollectionSlotSize));
}

int CollectionPage::UsedSlots() const {
    for (int s = kSlotsPerPage - 1; s >= 0; --s) {
        if (slot(s).filled()) return s + 1;
    }
    return 0;
}

int CollectionPage::FilledCount() const {
    int n = 0;
    for (int s = 0; s < kSlotsPerPage; ++s) n += slot(s).filled() ? 1 : 0;
    return n;
}

}  // namespace movra
