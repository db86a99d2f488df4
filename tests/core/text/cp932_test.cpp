#include "core/text/cp932.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string Pair(int code) { return Bytes({code >> 8, code & 0xFF}); }

std::string Utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s = Bytes({0xC0 | static_cast<int>(c >> 6), 0x80 | static_cast<int>(c & 0x3F)});
    } else {
        s = Bytes({0xE0 | static_cast<int>(c >> 12), 0x80 | static_cast<int>((c >> 6) & 0x3F),
                   0x80 | static_cast<int>(c & 0x3F)});
    }
    return s;
}

// The first character of a valid UTF-8 text.
char32_t FirstCharacter(std::string_view utf8) {
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<std::uint8_t>(utf8[i])); };
    if (b(0) < 0x80) return b(0);
    if (b(0) < 0xE0) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (b(0) < 0xF0) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

// Next trail byte in code order (40-7E then 80-FC) for walking a range of codes.
int NextCode(int code) {
    const int trail = code & 0xFF;
    if (trail == 0x7E) return code + 2;
    if (trail == 0xFC) return code + 0x100 - 0xFC + 0x40;
    return code + 1;
}

// The codes whose character Windows writes with another code, written down from the layout of
// the NEC and IBM extensions rather than from the conversion tables.
std::map<int, int> ExpectedDuplicates() {
    std::map<int, int> d = {
        // NEC row 13 symbols that JIS X 0208 already has.
        {0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7}, {0x8795, 0x81E3},
        {0x8796, 0x81DB}, {0x8797, 0x81DA}, {0x879A, 0x81E6}, {0x879B, 0x81BF},
        {0x879C, 0x81BE},
        // IBM extension symbols found in JIS X 0208 or NEC row 13.
        {0xFA54, 0x81CA}, {0xFA58, 0x878A}, {0xFA59, 0x8782}, {0xFA5A, 0x8784},
        {0xFA5B, 0x81E6},
        // NEC-selected IBM extension symbols.
        {0xEEF9, 0x81CA}, {0xEEFA, 0xFA55}, {0xEEFB, 0xFA56}, {0xEEFC, 0xFA57},
    };
    for (int i = 0; i < 10; ++i) {
        d[0xFA4A + i] = 0x8754 + i;  // Roman numerals I-X -> NEC row 13
        d[0xEEEF + i] = 0xFA40 + i;  // small roman numerals -> IBM extension
    }
    // The NEC-selected IBM kanji ED40-EEEC are the IBM kanji FA5C-FC4B, in the same order.
    for (int nec = 0xED40, ibm = 0xFA5C; nec <= 0xEEEC; nec = NextCode(nec), ibm = NextCode(ibm)) {
        d[nec] = ibm;
    }
    return d;
}

TEST(Cp932Test, EveryDoubleByteCodeRoundTrips) {
    const std::map<int, int> duplicates = ExpectedDuplicates();
    ASSERT_EQ(duplicates.size(), 398u);
    int mapped = 0;
    int userDefined = 0;
    std::map<int, int> cameBackOther;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead == 0xA0) lead = 0xE0;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const int code = (lead << 8) | trail;
            const std::string bytes = Pair(code);
            const std::string utf8 = Cp932ToUtf8(bytes);
            ASSERT_TRUE(IsValidUtf8(utf8));
            const std::string back = Utf8ToCp932(utf8);
            if (!IsValidCp932(bytes)) {
                // Unmapped: both bytes come back through their escape points.
                EXPECT_EQ(utf8, Utf8Of(kByteEscapeFirst + lead) + Utf8Of(kByteEscapeFirst + trail))
                    << std::hex << code;
                EXPECT_EQ(back, bytes) << std::hex << code;
                continue;
            }
            ++mapped;
            if (lead >= 0xF0 && lead <= 0xF9) ++userDefined;
            // One character, and not one of the escape points of unmapped bytes.
            const char32_t c = FirstCharacter(utf8);
            EXPECT_EQ(utf8, Utf8Of(c)) << std::hex << code;
            EXPECT_FALSE(c >= kByteEscapeFirst && c <= kByteEscapeLast) << std::hex << code;
            ASSERT_EQ(back.size(), 2u) << std::hex << code;
            const int backCode = (static_cast<std::uint8_t>(back[0]) << 8) |
                                 static_cast<std::uint8_t>(back[1]);
            if (backCode != code) cameBackOther[code] = backCode;
        }
    }
    EXPECT_EQ(mapped, 9604);
    EXPECT_EQ(userDefined, 1880);
    EXPECT_EQ(cameBackOther, duplicates);
}

TEST(Cp932Test, KnownCharacters) {
    EXPECT_EQ(Cp932ToUtf8(Pair(0x82A0)), "あ");
    EXPECT_EQ(Cp932ToUtf8(Pair(0x8160)), "\uFF5E");  // Windows' wave dash is the full-width tilde
    EXPECT_EQ(Cp932ToUtf8(Pair(0x815F)), "\uFF3C");
    EXPECT_EQ(Cp932ToUtf8(Pair(0x8740)), "①");
    EXPECT_EQ(Cp932ToUtf8(Bytes({0x5C, 0x7E})), "\\~");
    EXPECT_EQ(Cp932ToUtf8(Bytes({0xA1, 0xB1, 0xDF})), "｡ｱﾟ");
    EXPECT_EQ(Utf8ToCp932("▲７六歩　同　銀"), Bytes({0x81, 0xA3, 0x82, 0x56, 0x98, 0x5A, 0x95, 0xE0,
                                                 0x81, 0x40, 0x93, 0xAF, 0x81, 0x40, 0x8B, 0xE2}));
    // Where a character has several codes, the one Windows writes.
    EXPECT_EQ(Utf8ToCp932("ⅰ"), Pair(0xFA40));
    EXPECT_EQ(Utf8ToCp932("髙"), Pair(0xFBFC));
    EXPECT_EQ(Utf8ToCp932("Ⅰ"), Pair(0x8754));
    EXPECT_EQ(Utf8ToCp932("∵"), Pair(0x81E6));
    EXPECT_EQ(Utf8ToCp932("￢"), Pair(0x81CA));
    EXPECT_EQ(Utf8ToCp932("㈱"), Pair(0x878A));
    // Characters of the JIS mappings that other systems write.
    EXPECT_EQ(Utf8ToCp932("\u301C\u2212\u2016\u00A2\u00A3\u00AC\u2014"),
              Pair(0x8160) + Pair(0x817C) + Pair(0x8161) + Pair(0x8191) + Pair(0x8192) +
                  Pair(0x81CA) + Pair(0x815C));
}

TEST(Cp932Test, UserDefinedAreaIsPrivateUse) {
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF040)), Utf8Of(0xE000));
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF07E)), Utf8Of(0xE03E));
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF080)), Utf8Of(0xE03F));
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF0FC)), Utf8Of(0xE0BB));
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF140)), Utf8Of(0xE0BC));
    EXPECT_EQ(Cp932ToUtf8(Pair(0xF9FC)), Utf8Of(0xE757));
    for (char32_t c = kUserDefinedFirst; c <= kUserDefinedLast; ++c) {
        const std::string bytes = Utf8ToCp932(Utf8Of(c));
        ASSERT_TRUE(IsValidCp932(bytes)) << std::hex << static_cast<unsigned>(c);
        EXPECT_EQ(Cp932ToUtf8(bytes), Utf8Of(c));
    }
    // The next private-use code point has no code.
    EXPECT_EQ(Utf8ToCp932(Utf8Of(kUserDefinedLast + 1)), "?");
}

TEST(Cp932Test, BytesWithoutCharacterSurvive) {
    struct Case {
        std::string bytes;
        std::string utf8;
    };
    const auto esc = [](int b) { return Utf8Of(kByteEscapeFirst + b); };
    const Case cases[] = {
        {Bytes({0x80}), esc(0x80)},
        {Bytes({0xA0}), esc(0xA0)},
        {Bytes({0xFD, 0xFE, 0xFF}), esc(0xFD) + esc(0xFE) + esc(0xFF)},
        {Bytes({'a', 0x81}), "a" + esc(0x81)},                 // lead byte at the end
        {Bytes({0x81, 0x0D, 0x0A}), esc(0x81) + "\r\n"},       // trail byte not a trail byte
        {Bytes({0x81, 0x7F}), esc(0x81) + "\x7F"},
        {Bytes({0x81, 0xFD}), esc(0x81) + esc(0xFD)},
        {Bytes({0x81, 0x81, 0x81}), "＝" + esc(0x81)},          // 81 81 is ＝
        {Bytes({0x85, 0x40}), esc(0x85) + esc(0x40)},          // a code without character
        {Bytes({0xEB, 0x9F, 0x82, 0xA0}), esc(0xEB) + esc(0x9F) + "あ"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(IsValidCp932(c.bytes));
        EXPECT_EQ(Cp932ToUtf8(c.bytes), c.utf8);
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.bytes);
    }
}

TEST(Cp932Test, RandomBytesRoundTrip) {
    const std::map<int, int> duplicates = ExpectedDuplicates();
    std::mt19937 random(932);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes) {
            // Mostly high bytes, where the trouble is.
            b = static_cast<char>(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        const std::string utf8 = Cp932ToUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(utf8));
        const std::string back = Utf8ToCp932(utf8);
        EXPECT_EQ(Cp932ToUtf8(back), utf8);
        // Only duplicates may change, and then into their preferred code.
        ASSERT_EQ(back.size(), bytes.size());
        for (std::size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<std::uint8_t>(bytes[i]);
            const bool pair = IsCp932LeadByte(b) && i + 1 < bytes.size() &&
                              IsCp932TrailByte(static_cast<std::uint8_t>(bytes[i + 1]));
            const std::size_t length = pair ? 2 : 1;
            if (back.compare(i, length, bytes, i, length) != 0) {
                ASSERT_TRUE(pair);
                const int code = (b << 8) | static_cast<std::uint8_t>(bytes[i + 1]);
                const int backCode = (static_cast<std::uint8_t>(back[i]) << 8) |
                                     static_cast<std::uint8_t>(back[i + 1]);
                const auto found = duplicates.find(code);
                ASSERT_NE(found, duplicates.end()) << std::hex << code;
                EXPECT_EQ(found->second, backCode);
            }
            i += length;
        }
    }
}

TEST(Cp932Test, Utf8WithoutCp932Code) {
    EXPECT_EQ(Utf8ToCp932("a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("\u00A5"), "?");
    EXPECT_EQ(Utf8ToCp932("\u0080"), "?");
    EXPECT_EQ(Utf8ToCp932("\uF8F0"), "?");
    EXPECT_EQ(Utf8ToCp932("𠮷"), "?");
}

TEST(Cp932Test, InvalidUtf8PassesThrough) {
    const std::string cases[] = {
        Bytes({0x80}),                    // a continuation byte alone
        Bytes({0xE5, 0xB0}),              // a sequence cut short
        Bytes({0xE5, 0xB0, 'x'}),
        Bytes({0xC0, 0xAF}),              // overlong
        Bytes({0xE0, 0x80, 0xAF}),        // overlong
        Bytes({0xED, 0xA0, 0x80}),        // surrogate
        Bytes({0xF4, 0x90, 0x80, 0x80}),  // above U+10FFFF
        Bytes({0xFF, 0xFE}),
    };
    for (const std::string& bytes : cases) {
        EXPECT_FALSE(IsValidUtf8(bytes));
        EXPECT_EQ(Utf8ToCp932(bytes), bytes);
        EXPECT_EQ(Utf8ToCp932("あ" + bytes + "い"), Pair(0x82A0) + bytes + Pair(0x82A2));
    }
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("abc将棋\U0001F600\uFFFF"));
    EXPECT_TRUE(IsValidCp932(""));
    EXPECT_TRUE(IsValidCp932(Utf8ToCp932("平手ｱ\\")));
}

TEST(Cp932Test, TablesAgree) {
    // The compile-time table of the literal and the run-time pages hold the same characters.
    for (std::uint32_t entry : sjis_detail::kCp932ByUnicode) {
        const char32_t c = entry >> 16;
        EXPECT_EQ(UnicodeToCp932Code(c), static_cast<long>(entry & 0xFFFF)) << std::hex << entry;
        EXPECT_EQ(sjis_detail::CodeOf(c), static_cast<long>(entry & 0xFFFF));
    }
    EXPECT_EQ(UnicodeToCp932Code(0xE014), 0xF054);
    EXPECT_EQ(UnicodeToCp932Code(kByteEscapeFirst + 0xFD), 0xFD);
    EXPECT_EQ(UnicodeToCp932Code(0x10000), -1);
}

TEST(SjisLiteralTest, MatchesRunTimeConversion) {
    const char* text = "ぁァヶΑωАя─╂①⑳㍉㈱≒∵纊黑ｱﾟ￢〜−‖—▲△▼▽☗☖";
    EXPECT_EQ(std::string{"ぁァヶΑωАя─╂①⑳㍉㈱≒∵纊黑ｱﾟ￢〜−‖—▲△▼▽"_sj},
              Utf8ToCp932("ぁァヶΑωАя─╂①⑳㍉㈱≒∵纊黑ｱﾟ￢〜−‖—▲△▼▽"));
    EXPECT_EQ(Utf8ToCp932(text).substr(Utf8ToCp932(text).size() - 2), "??");
    static_assert("平手"_sj.size() == 4);
    static_assert("ｱｲ将"_sj.size() == 4);
    static_assert("abc"_sj == std::string_view("abc"));
    static_assert(""_sj.empty());
    static_assert("\uE014"_sj == std::string_view("\xF0\x54"));
    static_assert("\uF800"_sj == std::string_view("\x80"));  // an escape point is its byte
}

TEST(SjisLiteralTest, BehavesLikeAString) {
    constexpr std::string_view kept = "先手"_sj;  // static storage: the view stays valid
    const std::string sente = "先手"_sj;
    std::string built{"後手"_sj};
    EXPECT_EQ(kept, sente);
    EXPECT_TRUE(sente == "先手"_sj);
    EXPECT_TRUE("先手"_sj == sente);
    EXPECT_TRUE("先手"_sj != built);
    EXPECT_TRUE("先手"_sj == "先手"_sj);
    EXPECT_EQ("▲"_sj + sente + "-" + built + "："_sj + "△"_sj, Utf8ToCp932("▲先手-後手：△"));
    EXPECT_EQ(std::string("x") + "歩"_sj, Utf8ToCp932("x歩"));
    EXPECT_EQ("歩"_sj + std::string_view("y"), Utf8ToCp932("歩y"));
    EXPECT_EQ("歩"_sj + "金"_sj, Utf8ToCp932("歩金"));
    built += "番"_sj;
    EXPECT_EQ(built, Utf8ToCp932("後手番"));
    built = "香"_sj;
    EXPECT_EQ(built, "香"_sj.str());
    const auto take = [](const std::string& s) { return s.size(); };
    EXPECT_EQ(take("桂馬"_sj), 4u);
}

}  // namespace
}  // namespace movra
