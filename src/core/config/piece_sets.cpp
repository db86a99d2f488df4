#include "core/config/piece_sets.h"

#include <fstream>
#include <iterator>

#include "core/text/paths.h"
#include "core/text/text_helpers.h"

namespace movra {

std::vector<PieceSetEntry> ParsePieceSetList(std::string_view text) {
    std::vector<PieceSetEntry> sets;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end;
        while (at < text.size() && (text[at] == '\r' || text[at] == '\n')) ++at;
        auto field = [&](std::size_t first) {
            return first < line.size() ? Trim(line.substr(first, 20)) : std::string();
        };
        PieceSetEntry e{field(0), field(20), field(40), field(60)};
        if (e.name.empty() && e.small.empty() && e.standard.empty() && e.large.empty()) continue;
        sets.push_back(std::move(e));
    }
    return sets;
}

std::vector<PieceSetEntry> ReadPieceSetList(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParsePieceSetList(text);
}

int SizeModeOfPieceWidth(int width) {
    if (width == 40) return kStandardBoard;
    if (width == 33) return kSmallBoard;
    return kLargeBoard;
}

char SizeLetter(int sizeMode) {
    switch (sizeMode) {
        case kSmallBoard: return 'S';
        case kStandardBoard: return 'L';
        default: return 'E';
    }
}

std::string WithSizeLetter(std::string_view file, char letter) {
    std::string name(file);
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of("/\\");
    if (dot == std::string::npos || dot == 0 || (slash != std::string::npos && dot <= slash + 1)) {
        return name;
    }
    name[dot - 1] = letter;
    return name;
}

BoardPictureFiles PictureFilesFor(int sizeMode, int color) {
    const char letter = SizeLetter(sizeMode);
    const std::string set = color == 1 ? "1" : "3";
    // The move list and the panel have a small form and one for the two larger boards.
    const std::string panelLetter = sizeMode == kSmallBoard ? "S" : "L";
    return {"Ban" + set + letter + ".BMP", "Dai" + set + letter + ".BMP",
            "KifBox3" + panelLetter + ".BMP", "PBtn" + set + panelLetter + ".bmp",
            "Panel" + set + panelLetter + ".bmp"};
}

bool LargeModeAvailable(const std::filesystem::path& programFolder) {
    bool named = false;
    for (const PieceSetEntry& set : ReadPieceSetList(ResolvePath(programFolder, kPieceSetListName))) {
        if (!set.large.empty()) named = true;
    }
    if (!named) return false;
    return (FileExistsNoCase(programFolder, "Ban1e.bmp") && FileExistsNoCase(programFolder, "Dai1e.bmp")) ||
           (FileExistsNoCase(programFolder, "Ban3e.bmp") && FileExistsNoCase(programFolder, "Dai3e.bmp"));
}

}  // namespace movra
