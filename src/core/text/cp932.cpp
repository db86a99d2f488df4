#include "core/text/cp932.h"

#include <cstddef>

namespace movra {

namespace {

#include "core/text/cp932_table.inc"

constexpr char32_t kHalfWidthKatakanaFirst = 0xFF61;  // byte A1

int LeadIndex(std::uint8_t lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// 0 when the pair has no character (including a byte that is not a lead or trail byte).
char32_t PairToUnicode(std::uint8_t lead, std::uint8_t trail) {
    if (!IsCp932LeadByte(lead) || !IsCp932TrailByte(trail)) return 0;
    return kCp932ToUnicode[LeadIndex(lead) * kCp932TrailCount + (trail - 0x40)];
}

void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void PutEscape(std::string& out, std::uint8_t b) { PutUtf8(out, kByteEscapeFirst + b); }

// The length of the well-formed UTF-8 sequence at text[at] and its code point; 0 when the
// bytes there do not form one.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t first = byte(at);
    std::size_t length;
    char32_t c;
    std::uint8_t low = 0x80;  // allowed range of the second byte
    std::uint8_t high = 0xBF;
    if (first < 0x80) {
        code = first;
        return 1;
    } else if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        c = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        c = first & 0x0F;
        if (first == 0xE0) low = 0xA0;   // overlong
        if (first == 0xED) high = 0x9F;  // surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        c = first & 0x07;
        if (first == 0xF0) low = 0x90;   // overlong
        if (first == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    const std::uint8_t second = byte(at + 1);
    if (second < low || second > high) return 0;
    c = (c << 6) | (second & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        const std::uint8_t next = byte(at + i);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    code = c;
    return length;
}

}  // namespace

long UnicodeToCp932Code(char32_t c) {
    if (c < 0x80) return static_cast<long>(c);
    if (c >= kUserDefinedFirst && c <= kUserDefinedLast) return UserDefinedCode(c);
    if (c >= kByteEscapeFirst && c <= kByteEscapeLast) return static_cast<long>(c - kByteEscapeFirst);
    if (c > 0xFFFF) return -1;
    const int page = kUnicodePageIndex[c >> 8];
    if (page == 0) return -1;
    const std::uint16_t code = kUnicodeToCp932[page * 256 + (c & 0xFF)];
    return code == 0 ? -1 : static_cast<long>(code);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    const std::size_t size = cp932.size();
    for (std::size_t i = 0; i < size;) {
        const auto b = static_cast<std::uint8_t>(cp932[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            PutUtf8(out, kHalfWidthKatakanaFirst + (b - 0xA1));
            ++i;
        } else if (IsCp932LeadByte(b) && i + 1 < size &&
                   IsCp932TrailByte(static_cast<std::uint8_t>(cp932[i + 1]))) {
            const auto trail = static_cast<std::uint8_t>(cp932[i + 1]);
            const char32_t c = PairToUnicode(b, trail);
            if (c != 0) {
                PutUtf8(out, c);
            } else {
                // A code without a character is kept as a pair, so that its trail byte is not
                // read as a character of its own.
                PutEscape(out, b);
                PutEscape(out, trail);
            }
            i += 2;
        } else {
            // 80, A0, FD-FF, or a lead byte whose trail byte is missing or not a trail byte:
            // the byte alone; what follows is read afresh.
            PutEscape(out, b);
            ++i;
        }
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::size_t size = utf8.size();
    for (std::size_t i = 0; i < size;) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(utf8, i, c);
        if (length == 0) {
            out.push_back(static_cast<char>(b));  // not UTF-8: the byte itself
            ++i;
            continue;
        }
        i += length;
        const long code = UnicodeToCp932Code(c);
        if (code < 0) {
            out.push_back('?');
        } else if (code > 0xFF) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
    return out;
}

bool IsValidCp932(std::string_view text) {
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
            ++i;
        } else if (i + 1 < size && PairToUnicode(b, static_cast<std::uint8_t>(text[i + 1])) != 0) {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, i, c);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace movra
