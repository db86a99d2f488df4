#pragma once
// CP932 (Shift-JIS with the Windows extensions) <-> UTF-8.
//
// Every text of the system is CP932 bytes; UTF-8 exists only at the edges (the windows, UTF-8
// input files). The conversion never loses a byte:
//   * the user-defined characters F040-F9FC are the private-use code points U+E000..U+E757,
//     188 per lead byte, as Windows maps them;
//   * a byte that has no character (a lone 80, A0, FD-FF, a lead byte without a valid trail
//     byte, both bytes of a double-byte code without a character) becomes the private-use code
//     point U+F780 + byte, and that code point becomes the byte again;
//   * invalid UTF-8 bytes pass to CP932 unchanged, as if they were such escape points.
// So Utf8ToCp932(Cp932ToUtf8(bytes)) == bytes for any bytes, except that the NEC and IBM
// duplicates (a code whose character has a preferred code elsewhere, e.g. ED40 or 8790) come
// back as the preferred code, the one Windows writes.
// A character with no CP932 code becomes "?".
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace movra {

inline constexpr char32_t kUserDefinedFirst = 0xE000;  // F040
inline constexpr char32_t kUserDefinedLast = 0xE757;   // F9FC
inline constexpr char32_t kByteEscapeFirst = 0xF780;   // byte 00
inline constexpr char32_t kByteEscapeLast = 0xF87F;    // byte FF

// The code F040-F9FC of a code point U+E000..U+E757: 188 codes per lead byte, trail bytes
// 40-7E then 80-FC.
constexpr long UserDefinedCode(char32_t c) {
    const long index = static_cast<long>(c - kUserDefinedFirst);
    const long trail = index % 188;
    return ((0xF0 + index / 188) << 8) | (trail < 0x3F ? 0x40 + trail : 0x41 + trail);
}

constexpr bool IsCp932LeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsCp932TrailByte(std::uint8_t b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// The CP932 code of a character (below 0x100: one byte) as Utf8ToCp932 writes it, or -1.
// Escape points give their byte.
long UnicodeToCp932Code(char32_t c);

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Every byte is ASCII, half-width katakana A1-DF, or a lead byte followed by a trail byte
// 40-7E/80-FC whose code has a character (the user-defined area counts).
bool IsValidCp932(std::string_view text);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);
// A file-system path as message texts show it: its UTF-8 names in CP932 (a name that is not
// UTF-8 keeps its bytes).
inline std::string PathText(const std::filesystem::path& path) {
    const std::string bytes = path.string();
    return IsValidUtf8(bytes) ? Utf8ToCp932(bytes) : bytes;
}

}  // namespace movra
