#pragma once
// Small searches over CP932 lines shared by the text readers. A search only matches where a
// character starts, so the trail byte of one character and the lead byte of the next are never
// taken for a third character, and ASCII needles such as "MAKE" are never found inside a
// double-byte character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"

namespace movra::sjis {

inline constexpr std::size_t npos = std::string_view::npos;

// Byte length of the character at text[at] (a lead byte at the very end counts as one).
inline std::size_t CharLength(std::string_view text, std::size_t at) {
    return IsCp932LeadByte(static_cast<std::uint8_t>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Offset of the first occurrence of needle at a character start, from offset `from` (which must
// itself be a character start); npos when none.
inline std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0) {
    if (needle.empty()) return from <= text.size() ? from : npos;
    // A byte below 40 hex is never the second half of a character: where it stands, a
    // character starts.
    if (static_cast<unsigned char>(needle[0]) < 0x40) return text.find(needle, from);
    std::size_t boundary = from;
    for (std::size_t hit = text.find(needle, from); hit != npos; hit = text.find(needle, hit + 1)) {
        while (boundary < hit) boundary += CharLength(text, boundary);
        if (boundary == hit) return hit;
    }
    return npos;
}

inline bool Contains(std::string_view text, std::string_view needle) {
    return Find(text, needle) != npos;
}

inline bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// At most `length` bytes from offset `at` (0-based), one byte fewer when the last would be the
// first half of a double-byte character; empty when `at` lies beyond the text.
inline std::string_view Cut(std::string_view text, std::size_t at, std::size_t length) {
    if (at >= text.size()) return std::string_view("", 0);
    std::string_view rest = text.substr(at);
    std::size_t end = 0;
    while (end < rest.size()) {
        const std::size_t len = CharLength(rest, end);
        if (end + len > length) break;
        end += len;
    }
    return rest.substr(0, end);
}

// The part of the text after its first occurrence of key; npos-safe (empty when absent).
inline std::string_view After(std::string_view text, std::string_view key) {
    const std::size_t at = Find(text, key);
    return at == npos ? std::string_view("", 0) : text.substr(at + key.size());
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first `count` runs of ASCII digits in the text, in order; fewer when the text holds fewer.
// The readers take dates and times this way ("2024/5/1", " 1:05") without caring what separates
// the numbers.
inline std::vector<std::string_view> DigitRuns(std::string_view text, std::size_t count) {
    std::vector<std::string_view> runs;
    std::size_t at = 0;
    while (runs.size() < count) {
        while (at < text.size() && !IsDigit(text[at])) ++at;
        if (at == text.size()) break;
        const std::size_t start = at;
        while (at < text.size() && IsDigit(text[at])) ++at;
        runs.push_back(text.substr(start, at - start));
    }
    return runs;
}

// The value of a run of ASCII digits, held at `cap` when it is larger (a long run cannot wrap).
inline std::uint32_t DigitValue(std::string_view digits, std::uint32_t cap) {
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value >= cap) return cap;
    }
    return static_cast<std::uint32_t>(value);
}

// The 1-based position of the two-byte character at text[at] in a list of two-byte characters,
// 0 when it is not there (or text has no full character at `at`).
inline int IndexInList(std::string_view list, std::string_view text, std::size_t at) {
    if (at + 2 > text.size()) return 0;
    const char a = text[at];
    const char b = text[at + 1];
    for (std::size_t i = 0; i + 2 <= list.size(); i += 2) {
        if (list[i] == a && list[i + 1] == b) return static_cast<int>(i / 2 + 1);
    }
    return 0;
}

}  // namespace movra::sjis
