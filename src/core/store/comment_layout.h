#pragma once
// The byte layout of the comment files, in one place.
//
//   B.cp0 … B.cpf  8192-byte records (file number 0-15, the letter is "0123456789abcdef"[f]):
//     record 0       usage bitmap: bit j (80 hex is j = 1 … 01 hex is j = 8) of byte i set means
//                    comment number i × 8 + j is in use. A new file has byte 8191 = 01, so
//                    number 65536 is never handed out: numbers are 1-65535.
//     record r >= 1  32 slots of 256 bytes; number n lies in record (n - 1) div 32 + 1 at byte
//                    ((n - 1) mod 32) × 256.
//   B.cp$          256-byte records, the working comment file of the game being entered:
//     record 0       slot table: byte s - 1 non-zero ("*") means working slot s is in use; a new
//                    table has bytes 0-254 zero and byte 255 "*"
//     record s       the text of working slot s, 1-255
//
// A slot holds the text's bytes followed by zero bytes; a text of 256 bytes fills it without a
// terminator. Records past the end of a file read as zeros.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/text/text_helpers.h"

namespace movra {

inline constexpr std::size_t kCommentRecordSize = 8192;
inline constexpr std::size_t kCommentSlotSize = 256;
inline constexpr int kCommentsPerRecord = 32;
inline constexpr int kCommentFileCount = 16;
inline constexpr int kMaxCommentNumber = 65535;
inline constexpr std::size_t kWorkingRecordSize = 256;
inline constexpr int kWorkingSlotCount = 255;
// The file number that addresses the working comment file.
inline constexpr int kWorkingCommentFile = -1;
inline constexpr std::string_view kCommentFileLetters = "0123456789abcdef";
inline constexpr std::uint8_t kWorkingSlotMark = '*';

static_assert(kCommentsPerRecord * kCommentSlotSize == kCommentRecordSize);

// Where a comment number's slot lies in its comment file.
struct CommentPlace {
    std::uint32_t record = 0;  // 1-based record of 8192 bytes
    std::size_t offset = 0;    // byte offset of the slot in that record
};
constexpr CommentPlace PlaceOfComment(int number) {
    return {static_cast<std::uint32_t>((number - 1) / kCommentsPerRecord + 1),
            static_cast<std::size_t>((number - 1) % kCommentsPerRecord) * kCommentSlotSize};
}

// Record 0 of a comment file.
struct CommentBitmap {
    std::array<std::uint8_t, kCommentRecordSize> bytes{};

    // A new file's bitmap: all free except number 65536.
    static CommentBitmap Fresh() {
        CommentBitmap b;
        b.bytes[kCommentRecordSize - 1] = 0x01;
        return b;
    }
    // Numbers outside 1-65536 are never in use and are not changed.
    bool InUse(int n) const {
        return IsBitNumber(n) && (bytes[ByteOf(n)] & MaskOf(n)) != 0;
    }
    void Set(int n) {
        if (IsBitNumber(n)) bytes[ByteOf(n)] |= MaskOf(n);
    }
    void Clear(int n) {
        if (IsBitNumber(n)) bytes[ByteOf(n)] &= static_cast<std::uint8_t>(~MaskOf(n));
    }
    // The first byte that is not FF and in it the first clear bit from the most significant end;
    // 0 when the file is full. 65536 is never answered, even from a bitmap whose last byte was
    // cleared by hand.
    int FirstFree() const {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == 0xFF) continue;
            for (int j = 1; j <= 8; ++j) {
                if ((bytes[i] & (0x80 >> (j - 1))) == 0) {
                    const int n = static_cast<int>(i) * 8 + j;
                    return n <= kMaxCommentNumber ? n : 0;
                }
            }
        }
        return 0;
    }

private:
    static constexpr bool IsBitNumber(int n) {
        return n >= 1 && n <= static_cast<int>(kCommentRecordSize) * 8;
    }
    static constexpr std::size_t ByteOf(int n) { return static_cast<std::size_t>(n - 1) / 8; }
    static constexpr std::uint8_t MaskOf(int n) {
        return static_cast<std::uint8_t>(0x80 >> ((n - 1) % 8));
    }
};
static_assert(sizeof(CommentBitmap) == kCommentRecordSize);

// Record 0 of the working comment file.
struct WorkingSlotTable {
    std::array<std::uint8_t, kWorkingRecordSize> bytes{};

    static WorkingSlotTable Fresh() {
        WorkingSlotTable t;
        t.bytes[kWorkingRecordSize - 1] = kWorkingSlotMark;
        return t;
    }
    // Slots outside 1-255 are never in use and are not changed.
    bool InUse(int s) const { return IsSlot(s) && bytes[static_cast<std::size_t>(s - 1)] != 0; }
    void Take(int s) {
        if (IsSlot(s)) bytes[static_cast<std::size_t>(s - 1)] = kWorkingSlotMark;
    }
    void Release(int s) {
        if (IsSlot(s)) bytes[static_cast<std::size_t>(s - 1)] = 0;
    }
    // The first slot 1-255 not in use; 0 when all are.
    int FirstFree() const {
        for (int s = 1; s <= kWorkingSlotCount; ++s) {
            if (bytes[static_cast<std::size_t>(s - 1)] == 0) return s;
        }
        return 0;
    }

private:
    static constexpr bool IsSlot(int s) { return s >= 1 && s <= kWorkingSlotCount; }
};
static_assert(sizeof(WorkingSlotTable) == kWorkingRecordSize);

// One 256-byte slot: the text's first 256 bytes, then zeros. A text is never cut inside a
// double-byte character: when byte 256 would be the first half of one, 255 bytes are kept.
inline void TextToCommentSlot(std::uint8_t* slot, std::string_view text) {
    std::size_t n = text.size() < kCommentSlotSize ? text.size() : kCommentSlotSize;
    if (n < text.size() && !IsCharBoundary(text, n)) --n;
    if (n > 0) std::memcpy(slot, text.data(), n);
    std::memset(slot + n, 0, kCommentSlotSize - n);
}
// The length of the slot's text: its bytes up to the first zero byte (256 when there is none).
inline std::size_t CommentSlotLength(const std::uint8_t* slot) {
    const void* zero = std::memchr(slot, 0, kCommentSlotSize);
    return zero == nullptr ? kCommentSlotSize
                           : static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - slot);
}
// The slot's bytes up to the first zero byte (all 256 when there is none).
inline std::string CommentSlotToText(const std::uint8_t* slot) {
    return std::string(reinterpret_cast<const char*>(slot), CommentSlotLength(slot));
}

}  // namespace movra
