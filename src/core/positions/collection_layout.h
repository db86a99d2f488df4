#pragma once
// The byte layout of a position collection (局面図ファイル, ".kkm", and its working copy
// "無題.kk$"), in one place.
//
// The file is a run of 2048-byte pages; page p (0-based) lies at byte 2048 × p and holds four
// 512-byte slots, slot s at byte 512 × s of the page:
//
//     0  int16  position number = 4 × page + slot + 1; 0 = empty slot
//     2  36     title, zero-terminated CP932 (at most 35 bytes)
//    38  16     sente label, zero-terminated (at most 15 bytes)
//    54  16     gote label, zero-terminated (at most 15 bytes)
//    70  196    comment, zero-terminated (at most 195 bytes), lines separated by CR LF
//   266  246    the piece table: entries 0-40, six bytes each: present, code, file, rank (one
//               byte each) and the picture number (16-bit)
//
// Multi-byte numbers are little-endian. Slots and pages are byte images with accessors: the rest
// of the program never indexes their bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/rules/position.h"

namespace movra {

inline constexpr std::size_t kCollectionSlotSize = 512;
inline constexpr int kSlotsPerPage = 4;
inline constexpr std::size_t kCollectionPageSize = kCollectionSlotSize * kSlotsPerPage;

namespace slotfield {
inline constexpr std::size_t kNumber = 0;
inline constexpr std::size_t kTitle = 2;
inline constexpr std::size_t kTitleSize = 36;
inline constexpr std::size_t kSenteLabel = 38;
inline constexpr std::size_t kGoteLabel = 54;
inline constexpr std::size_t kLabelSize = 16;
inline constexpr std::size_t kComment = 70;
inline constexpr std::size_t kCommentSize = 196;
inline constexpr std::size_t kPieces = 266;
inline constexpr std::size_t kPieceEntrySize = 6;
}  // namespace slotfield
static_assert(slotfield::kPieces + (kPieceCount + 1) * slotfield::kPieceEntrySize == kCollectionSlotSize);

// The texts a slot keeps beside its position, CP932.
struct SlotTexts {
    std::string title;
    std::string senteLabel;
    std::string goteLabel;
    std::string comment;
    friend bool operator==(const SlotTexts&, const SlotTexts&) = default;
};

struct PositionSlot {
    std::array<std::uint8_t, kCollectionSlotSize> bytes{};

    static PositionSlot FromBytes(const std::uint8_t* p);

    std::int16_t number() const;
    void setNumber(std::int16_t number);
    bool filled() const { return number() != 0; }

    std::string title() const;
    std::string senteLabel() const;
    std::string goteLabel() const;
    std::string comment() const;
    SlotTexts texts() const { return {title(), senteLabel(), goteLabel(), comment()}; }
    // Each text cut to its field (35, 15, 15 and 195 bytes) without splitting a double-byte
    // character; the whole field is cleared first, so nothing of an older text survives.
    void setTitle(std::string_view text);
    void setSenteLabel(std::string_view text);
    void setGoteLabel(std::string_view text);
    void setComment(std::string_view text);
    void setTexts(const SlotTexts& texts);

    PieceTable pieces() const;
    void setPieces(const PieceTable& pieces);
    // The position with its board and hands derived from the piece table. Only for a slot that
    // Problem() passes.
    BoardPosition position() const;

    // Why the slot cannot be shown: a negative number, or a piece table no position can come
    // from (a flag other than 0 or 1, a piece code outside 1-28, a place off the board, hands
    // and box, two pieces on one square). Empty for a sound slot; an empty slot is always sound.
    std::string Problem() const;

    friend bool operator==(const PositionSlot&, const PositionSlot&) = default;
};
static_assert(sizeof(PositionSlot) == kCollectionSlotSize);

// The player name a label carries: the label without its leading side mark (▲ △ ▼ ▽ or the
// diagram font's own two marks, CP932 0xF054 and 0xF055); empty when it begins with no mark, so
// a label of plain text gives no name.
std::string LabelName(std::string_view label);

struct CollectionPage {
    std::array<std::uint8_t, kCollectionPageSize> bytes{};

    static CollectionPage FromBytes(const std::uint8_t* p);
    PositionSlot slot(int s) const;
    void setSlot(int s, const PositionSlot& slot);
    // Highest filled slot + 1 (0 for an empty page): where adding goes on.
    int UsedSlots() const;
    bool HasPositions() const { return UsedSlots() > 0; }
    int FilledCount() const;

    friend bool operator==(const CollectionPage&, const CollectionPage&) = default;
};
static_assert(sizeof(CollectionPage) == kCollectionPageSize);

}  // namespace movra
