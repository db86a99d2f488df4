#pragma once
// Text helpers shared by every reader, writer and dialog: fixed-width CP932 fields, blanks,
// zero-padded numbers, the consumed-time text, the export form of a move text, and the drives.
//
// All texts are CP932 bytes; every length and position is in bytes. A character is one byte
// when it is below 0x80 or a half-width katakana (A0-DF), two bytes otherwise.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace movra {

// The largest count FieldToText copies.
inline constexpr std::size_t kMaxFieldBytes = 1001;

// Copies count bytes of a field and ends the text at the first zero byte.
// A count above kMaxFieldBytes raises RangeError.
std::string FieldToText(const std::uint8_t* bytes, std::size_t count);
inline std::string FieldToText(const char* bytes, std::size_t count) {
    return FieldToText(reinterpret_cast<const std::uint8_t*>(bytes), count);
}

// Zero-fills the first `length` bytes of the destination, then copies at most `length` bytes of
// the text into it, one byte fewer when the last one would be the first half of a double-byte
// character. A length above the capacity raises RangeError before anything is written.
void TextToField(std::uint8_t* destination, std::size_t capacity, std::string_view text,
                 std::size_t length);
inline void TextToField(char* destination, std::size_t capacity, std::string_view text,
                        std::size_t length) {
    TextToField(reinterpret_cast<std::uint8_t*>(destination), capacity, text, length);
}
// The whole of a fixed array is the field.
template <std::size_t N>
void TextToField(std::uint8_t (&field)[N], std::string_view text) {
    TextToField(field, N, text, N);
}
template <std::size_t N>
void TextToField(char (&field)[N], std::string_view text) {
    TextToField(field, N, text, N);
}

// Whether the first `length` bytes of the text end on a character boundary. Walking from the
// first byte, a byte below 0x80 or in A0-DF is one character and any other byte starts a
// two-byte one; a text shorter than length gives false.
bool IsCharBoundary(std::string_view text, std::size_t length);

// 81-9F or E0-FC.
bool IsLeadByte(std::uint8_t b);

// Removes every byte up to 0x20 at both ends (blanks and control characters).
std::string Trim(std::string_view text);
// Trims, then removes every half-width and every full-width space.
std::string RemoveSpaces(std::string_view text);
// Trims, then removes full-width spaces at both ends.
std::string TrimFullWidth(std::string_view text);

// A field of a form as a number: digits only once blanks are trimmed, at most `maxDigits` of
// them; nullopt for anything else.
std::optional<int> FieldNumber(std::string_view text, std::size_t maxDigits);

// The decimal number padded with "0" on the left to width digits; a longer number keeps only its
// first width digits (ZeroPad(123, 2) is "12"). A width outside 0..10 raises RangeError.
std::string ZeroPad(long long number, int width);


// "( 1:05/01:23:45)" for 65 seconds on the move and 5025 seconds in all: minutes of the move
// as "%2d", its seconds, then hours, minutes and seconds of the total, two digits each (an hour
// count above 99 keeps its first two digits).
std::string TimeText(std::uint32_t secondsOfMove, std::uint32_t totalSeconds);

// A move-list text as the game-record export writes it: without full-width spaces, the relative
// words (右 左 直 寄 上 引 行 入) and 不成, 同 followed by a full-width space, 龍 for 竜, and 打
// added to a drop (from-file 0 or above 9) that lacks it.
std::string ExportMoveText(std::string_view moveText, int fromFile);


// The mount point, with a trailing "/", of the first mounted removable medium: a block device
// whose /sys/block/<disk>/removable is 1, or anything mounted under /media or /run/media.
// Empty when there is none. The path keeps the file system's own bytes.
std::string FirstRemovableDrive();
// The same, reading <systemRoot>/proc/mounts and <systemRoot>/sys/block.
std::string FirstRemovableDrive(const std::filesystem::path& systemRoot);

}  // namespace movra
