#pragma once
// Windows bitmap files (BMP, BITMAPINFOHEADER) of 1, 4, 8 or 24 bits per pixel, written from an
// RGB picture. The paletted depths use the fixed palettes Windows uses for them: black and
// white; the sixteen standard colours; the sixteen followed by a 6 x 6 x 6 colour cube and 24
// greys. Each pixel takes the nearest palette colour, so black and white stay exact.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace movra {

// Pixels as 0xRRGGBB, row by row from the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, std::uint32_t fill = 0xFFFFFF)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpInfoHeaderBytes = 40;
// Resolution written into the header: 96 dots per inch as pixels per metre.
inline constexpr std::int32_t kBmpPixelsPerMetre = 3780;

// The palette of a depth (2, 16 or 256 colours; empty for 24 bits).
std::vector<std::uint32_t> BmpPalette(int bitsPerPixel);
// The bytes of one row, padded to a multiple of four.
std::size_t BmpRowBytes(int width, int bitsPerPixel);
// The depth of a colour setting: 1 two colours, 2 sixteen, 3 256; any other value two colours.
int BitsForColorSetting(int color);

// The whole file. Throws std::invalid_argument for a depth other than 1, 4, 8, 24 or an empty
// or oversized picture (more than 32767 pixels a side).
std::string EncodeBmp(const RgbImage& image, int bitsPerPixel);
// Writes the file through a temporary file beside it that replaces it at the end; false (and
// the old file as it was) when it cannot be written.
bool WriteBmpFile(const std::filesystem::path& path, const RgbImage& image, int bitsPerPixel);

}  // namespace movra
