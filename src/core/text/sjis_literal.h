#pragma once
// The "_sj" literal: Japanese text written in UTF-8 in the source becomes CP932 bytes at compile
// time.
//
//     using namespace movra::literals;
//     std::string side{"先手"_sj};
//     if (line.substr(0, 2) == "▲"_sj) ...
//     std::string title = "【"_sj + name + "】"_sj;
//
// The literal yields a reference to a constant with static storage, so keeping it as a
// std::string_view is safe (`constexpr std::string_view kMark = "▲"_sj;`). It converts
// implicitly to std::string_view and std::string, compares equal to anything that converts to a
// std::string_view, and `+` against std::string, std::string_view, C strings and other
// literals gives a std::string.
//
// A character with no CP932 code stops the compilation with an error that names
// LiteralCharacterHasNoCp932Code. The characters of the user-defined area (F040-F9FC) are
// written as their private-use code points U+E000.. ("\uE014"_sj is F054), and a byte escape
// point U+F780 + byte is that byte: the same rules as Utf8ToCp932.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/text/cp932.h"

namespace movra {

namespace sjis_detail {

#include "core/text/cp932_literal_table.inc"

// Not constexpr: reaching a call to one of these in the compile-time conversion is what makes
// the compiler stop, and the name is what it reports.
inline void LiteralCharacterHasNoCp932Code() {}
inline void LiteralIsNotValidUtf8() {}

template <std::size_t N>
struct Utf8Source {
    char text[N]{};
    consteval Utf8Source(const char (&source)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = source[i];
    }
    static constexpr std::size_t size() { return N - 1; }  // without the closing zero
};

struct DecodedChar {
    char32_t code;
    std::size_t length;
};

constexpr DecodedChar DecodeUtf8At(const char* text, std::size_t size, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned first = byte(at);
    if (first < 0x80) return {first, 1};
    std::size_t length = 0;
    char32_t code = 0;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        code = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        code = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        code = first & 0x07;
    } else {
        LiteralIsNotValidUtf8();
    }
    if (at + length > size) LiteralIsNotValidUtf8();
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) LiteralIsNotValidUtf8();
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return {code, length};
}

// The CP932 code of one character (a value below 0x100 is one byte), or -1.
constexpr long CodeOf(char32_t c) {
    if (c < 0x80) return static_cast<long>(c);
    if (c >= kUserDefinedFirst && c <= kUserDefinedLast) return UserDefinedCode(c);
    if (c >= kByteEscapeFirst && c <= kByteEscapeLast) return static_cast<long>(c - kByteEscapeFirst);
    std::size_t low = 0;
    std::size_t high = std::size(kCp932ByUnicode);
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        const char32_t key = kCp932ByUnicode[mid] >> 16;
        if (key == c) return static_cast<long>(kCp932ByUnicode[mid] & 0xFFFF);
        if (key < c) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return -1;
}

template <Utf8Source S>
consteval std::size_t EncodedSize() {
    std::size_t bytes = 0;
    for (std::size_t at = 0; at < S.size();) {
        const DecodedChar c = DecodeUtf8At(S.text, S.size(), at);
        const long code = CodeOf(c.code);
        if (code < 0) LiteralCharacterHasNoCp932Code();
        bytes += code > 0xFF ? 2 : 1;
        at += c.length;
    }
    return bytes;
}

}  // namespace sjis_detail

// CP932 bytes fixed at compile time; N is the byte count.
template <std::size_t N>
class SjisLiteral {
public:
    char bytes[N + 1]{};

    constexpr std::string_view view() const { return {bytes, N}; }
    std::string str() const { return std::string(bytes, N); }
    constexpr const char* data() const { return bytes; }
    constexpr const char* c_str() const { return bytes; }
    static constexpr std::size_t size() { return N; }
    static constexpr std::size_t length() { return N; }
    static constexpr bool empty() { return N == 0; }
    constexpr const char* begin() const { return bytes; }
    constexpr const char* end() const { return bytes + N; }

    constexpr operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    friend constexpr bool operator==(const SjisLiteral& a, std::string_view b) {
        return a.view() == b;
    }
    template <std::size_t M>
    friend constexpr bool operator==(const SjisLiteral& a, const SjisLiteral<M>& b) {
        return a.view() == b.view();
    }

    friend std::string operator+(const SjisLiteral& a, std::string_view b) {
        std::string joined;
        joined.reserve(N + b.size());
        joined.append(a.view()).append(b);
        return joined;
    }
    friend std::string operator+(std::string_view a, const SjisLiteral& b) {
        std::string joined;
        joined.reserve(a.size() + N);
        joined.append(a).append(b.view());
        return joined;
    }
    friend std::string operator+(std::string&& a, const SjisLiteral& b) {
        a.append(b.view());
        return std::move(a);
    }
    template <std::size_t M>
    friend std::string operator+(const SjisLiteral& a, const SjisLiteral<M>& b) {
        return a + b.view();
    }
};

namespace sjis_detail {

template <Utf8Source S>
consteval SjisLiteral<EncodedSize<S>()> Encode() {
    SjisLiteral<EncodedSize<S>()> out;
    std::size_t put = 0;
    for (std::size_t at = 0; at < S.size();) {
        const DecodedChar c = DecodeUtf8At(S.text, S.size(), at);
        const long code = CodeOf(c.code);
        if (code > 0xFF) out.bytes[put++] = static_cast<char>(code >> 8);
        out.bytes[put++] = static_cast<char>(code & 0xFF);
        at += c.length;
    }
    return out;
}

template <Utf8Source S>
inline constexpr auto kEncoded = Encode<S>();

}  // namespace sjis_detail

namespace literals {

template <sjis_detail::Utf8Source S>
consteval const auto& operator""_sj() {
    return sjis_detail::kEncoded<S>;
}

}  // namespace literals

}  // namespace movra
