#include "core/diagram/bmp.h"

#include <array>
#include <climits>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unordered_map>

namespace movra {
namespace {

constexpr std::array<std::uint32_t, 16> kSixteen = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int Distance(std::uint32_t a, std::uint32_t b) {
    const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

// Nearest palette entry, remembered per colour (a diagram has a handful of colours).
class Quantizer {
public:
    explicit Quantizer(const std::vector<std::uint32_t>& palette) : palette_(palette) {}
    std::uint8_t operator()(std::uint32_t rgb) {
        rgb &= 0xFFFFFF;
        if (auto it = cache_.find(rgb); it != cache_.end()) return it->second;
        std::size_t best = 0;
        int bestDistance = INT_MAX;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const int d = Distance(rgb, palette_[i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        cache_.emplace(rgb, static_cast<std::uint8_t>(best));
        return static_cast<std::uint8_t>(best);
    }

private:
    const std::vector<std::uint32_t>& palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

}  // namespace

std::vector<std::uint32_t> BmpPalette(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return {0x000000, 0xFFFFFF};
        case 4:
            return {kSixteen.begin(), kSixteen.end()};
        case 8: {
            std::vector<std::uint32_t> p(kSixteen.begin(), kSixteen.end());
            for (int r = 0; r < 6; ++r) {
                for (int g = 0; g < 6; ++g) {
                    for (int b = 0; b < 6; ++b) {
                        p.push_back(std::uint32_t(r * 51) << 16 | std::uint32_t(g * 51) << 8 | std::uint32_t(b * 51));
                    }
                }
            }
            for (int i = 0; i < 24; ++i) {
                const std::uint32_t v = std::uint32_t(8 + i * 10);
                p.push_back(v << 16 | v << 8 | v);
            }
            return p;
        }
        default:
            return {};
    }
}

std::size_t BmpRowBytes(int width, int bitsPerPixel) {
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

int BitsForColorSetting(int color) {
    switch (color) {
        case 2:
            return 4;
        case 3:
            return 8;
        default:
            return 1;
    }
}

std::string EncodeBmp(const RgbImage& image, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24) {
        throw std::invalid_argument("bitmap depth must be 1, 4, 8 or 24 bits");
    }
    if (image.width <= 0 || image.height <= 0 || image.width > 32767 || image.height > 32767 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        throw std::invalid_argument("bitmap size out of range");
    }
    const std::vector<std::uint32_t> palette = BmpPalette(bitsPerPixel);
    const std::size_t rowBytes = BmpRowBytes(image.width, bitsPerPixel);
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(image.height);
    const std::size_t offset = kBmpFileHeaderBytes + kBmpInfoHeaderBytes + palette.size() * 4;

    std::string out;
    out.reserve(offset + imageBytes);
    // BITMAPFILEHEADER
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(offset + imageBytes));
    Put32(out, 0);  // two reserved words
    Put32(out, static_cast<std::uint32_t>(offset));
    // BITMAPINFOHEADER; rows are stored bottom-up (positive height).
    Put32(out, kBmpInfoHeaderBytes);
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(image.height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB, no compression
    Put32(out, static_cast<std::uint32_t>(imageBytes));
    Put32(out, kBmpPixelsPerMetre);
    Put32(out, kBmpPixelsPerMetre);
    Put32(out, static_cast<std::uint32_t>(palette.size()));  // colours used
    Put32(out, 0);                                           // all of them important
    // RGBQUAD entries: blue, green, red, reserved.
    for (std::uint32_t c : palette) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
        out.push_back(static_cast<char>((c >> 16) & 0xFF));
        out.push_back(0);
    }

    Quantizer nearest(palette);
    std::string row(rowBytes, '\0');
    for (int y = image.height - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), '\0');
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t rgb = image.at(x, y);
            const std::size_t ux = static_cast<std::size_t>(x);
            switch (bitsPerPixel) {
                case 24:
                    row[ux * 3] = static_cast<char>(rgb & 0xFF);
                    row[ux * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
                    row[ux * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
                    break;
                case 8:
                    row[ux] = static_cast<char>(nearest(rgb));
                    break;
                case 4:
                    row[ux / 2] = static_cast<char>(row[ux / 2] | (nearest(rgb) << (x % 2 == 0 ? 4 : 0)));
                    break;
                default:
                    row[ux / 8] = static_cast<char>(row[ux / 8] | (nearest(rgb) << (7 - x % 8)));
                    break;
            }
        }
        out += row;
    }
    return out;
}

bool WriteBmpFile(const std::filesystem::path& path, const RgbImage& image, int bitsPerPixel) {
    const std::string bytes = EncodeBmp(image, bitsPerPixel);
    std::filesystem::path temporary = path;
    temporary += ".$$$";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace movra
