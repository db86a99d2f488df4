#include "core/textio/flavour.h"

#include "core/textio/csa_reader.h"
#include "core/textio/usi_reader.h"

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kLinesLooked = 50;
constexpr std::size_t kLongLine = 100;

bool IsPlainText(std::string_view line) {
    for (char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t') return false;
    }
    return IsValidCp932(line);
}

// " 1 " with an opening parenthesis before the first closing one: a Kakinoki move line.
bool LooksLikeKakinokiMove(std::string_view line) {
    const std::size_t open = sjis::Find(line, "(");
    const std::size_t close = sjis::Find(line, ")");
    if (open == sjis::npos || close == sjis::npos || open > close) return false;
    return sjis::Contains(line, " 1 ");
}

}  // namespace

TextFlavour DetectFlavour(const TextLines& lines) {
    const std::size_t n = std::min(lines.size(), kLinesLooked);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view line = lines[i];
        if (line.size() > kLongLine && !IsPlainText(line)) return TextFlavour::Unreadable;
        if (sjis::StartsWith(line, "*")) continue;
        if (sjis::StartsWith(line, "# 森田"_sj)) return TextFlavour::Morita;
        if (sjis::StartsWith(line, "# ----  Kifu ")) return TextFlavour::Kakinoki;
        if (sjis::StartsWith(line, "# ----") && sjis::Find(line, "東大将棋"_sj, 1) != sjis::npos) {
            return TextFlavour::Todai;
        }
        if (sjis::StartsWith(line, "##") && !sjis::Contains(line, "柿木"_sj) &&
            !sjis::Contains(line, "森田"_sj)) {
            return TextFlavour::CodedFile;
        }
        if (sjis::StartsWith(line, "手数----指手"_sj) || LooksLikeKakinokiMove(line)) {
            return TextFlavour::Kakinoki;
        }
        if (sjis::StartsWith(line, "▲"_sj) || sjis::StartsWith(line, "△"_sj) ||
            sjis::StartsWith(line, "▽"_sj)) {
            return TextFlavour::Ki2;
        }
        if (sjis::StartsWith(line, "\xEB\xA7") || sjis::StartsWith(line, "\xEB\xA5") ||
            sjis::StartsWith(line, "・"_sj)) {
            return TextFlavour::Morita;
        }
    }
    if (LooksLikeCsa(lines)) return TextFlavour::Csa;
    if (LooksLikeUsi(lines)) return TextFlavour::Usi;
    return TextFlavour::NotRecognised;
}

TextFlavour DetectFlavour(const std::filesystem::path& path) {
    TextLines lines;
    if (!LoadTextLines(path, lines).empty()) return TextFlavour::NotRecognised;
    return DetectFlavour(lines);
}

}  // namespace movra
