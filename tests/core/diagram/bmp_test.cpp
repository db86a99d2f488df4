#include "core/diagram/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace movra {
namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint32_t Le16(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
}

// A 3 x 2 picture written out byte by byte from the format: black/white pattern, bottom row first,
// each row padded to four bytes.
TEST(Bmp, OneBitFileIsExactBytes) {
    RgbImage image(3, 2);
    image.at(0, 0) = 0x000000;  // top row: black white black
    image.at(2, 0) = 0x000000;
    image.at(1, 1) = 0x202020;  // bottom row: white, near-black, white
    const std::string b = EncodeBmp(image, 1);
    const std::string expected = std::string("BM") +
        std::string("\x46\x00\x00\x00", 4) +                  // file size 14 + 40 + 8 + 8
        std::string("\x00\x00\x00\x00", 4) +
        std::string("\x3E\x00\x00\x00", 4) +                  // pixels at 62
        std::string("\x28\x00\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00", 12) +
        std::string("\x01\x00\x01\x00", 4) +                  // planes 1, 1 bit
        std::string("\x00\x00\x00\x00\x08\x00\x00\x00", 8) +  // BI_RGB, 8 bytes of pixels
        std::string("\xC4\x0E\x00\x00\xC4\x0E\x00\x00", 8) +  // 3780 pixels a metre
        std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8) +
        std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8) +  // palette: black, white
        std::string("\xA0\x00\x00\x00", 4) +                  // bottom row 1 0 1
        std::string("\x40\x00\x00\x00", 4);                   // top row 0 1 0
    EXPECT_EQ(b, expected);
}

TEST(Bmp, PalettedDepthsPadRowsAndPickNearestColours) {
    RgbImage image(5, 3);
    image.at(0, 0) = 0xFF0000;  // red
    image.at(1, 0) = 0x000000;
    image.at(4, 2) = 0x0000F0;  // near blue
    for (int bits : {4, 8, 24}) {
        SCOPED_TRACE(bits);
        const std::string b = EncodeBmp(image, bits);
        const std::size_t colours = bits == 24 ? 0 : (1u << bits);
        const std::size_t row = BmpRowBytes(5, bits);
        EXPECT_EQ(row, bits == 4 ? 4u : bits == 8 ? 8u : 16u);
        const std::size_t offset = 54 + colours * 4;
        EXPECT_EQ(Le32(b, 2), offset + row * 3);
        EXPECT_EQ(b.size(), offset + row * 3);
        EXPECT_EQ(Le32(b, 10), offset);
        EXPECT_EQ(Le16(b, 28), std::uint32_t(bits));
        EXPECT_EQ(Le32(b, 34), row * 3);
        EXPECT_EQ(Le32(b, 46), colours);
        const std::string top = b.substr(offset + row * 2, row);     // stored last
        const std::string bottom = b.substr(offset, row);
        if (bits == 4) {
            EXPECT_EQ(std::uint8_t(top[0]), 0x90);  // red is entry 9, black 0
            EXPECT_EQ(std::uint8_t(top[1]), 0xFF);
            EXPECT_EQ(std::uint8_t(bottom[2]) & 0xF0, 0xC0);  // blue is entry 12
            EXPECT_EQ(top[3], '\0');                          // padding
        } else if (bits == 8) {
            EXPECT_EQ(std::uint8_t(top[0]), 9);
            EXPECT_EQ(std::uint8_t(top[1]), 0);
            EXPECT_EQ(std::uint8_t(top[2]), 15);
            EXPECT_EQ(std::uint8_t(bottom[4]), 12);
            EXPECT_EQ(top.substr(5), std::string(3, '\0'));
            // The 6 x 6 x 6 cube and the greys follow the sixteen colours.
            EXPECT_EQ(Le32(b, 54 + 4 * 16), 0u);
            EXPECT_EQ(Le32(b, 54 + 4 * 255), 0x00EEEEEEu);
        } else {
            EXPECT_EQ(top.substr(0, 6), std::string("\x00\x00\xFF\x00\x00\x00", 6));
            EXPECT_EQ(bottom.substr(12, 3), std::string("\xF0\x00\x00", 3));
            EXPECT_EQ(top[15], '\0');
        }
    }
    EXPECT_THROW(EncodeBmp(image, 2), std::invalid_argument);
    EXPECT_THROW(EncodeBmp(RgbImage(), 1), std::invalid_argument);
    EXPECT_EQ(BitsForColorSetting(1), 1);
    EXPECT_EQ(BitsForColorSetting(2), 4);
    EXPECT_EQ(BitsForColorSetting(3), 8);
    EXPECT_EQ(BitsForColorSetting(7), 1);
}

TEST(Bmp, WritingReplacesTheFileOnlyWhenComplete) {
    const auto folder = std::filesystem::temp_directory_path() / "movra_bmp_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto path = folder / "BANT001.bmp";
    RgbImage image(285, 269);
    ASSERT_TRUE(WriteBmpFile(path, image, 1));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, EncodeBmp(image, 1));
    EXPECT_EQ(bytes.size(), 62u + 36u * 269u);
    EXPECT_FALSE(std::filesystem::exists(folder / "BANT001.bmp.$$$"));
    // A folder that does not exist: nothing written, no error thrown.
    EXPECT_FALSE(WriteBmpFile(folder / "missing" / "x.bmp", image, 4));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace movra
