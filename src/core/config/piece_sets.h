#pragma once
// Piece sets and board sizes: the list "KOMATYPE.DAT", the size letter in the piece file's name,
// and which picture files each size and colour set uses.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace movra {

inline constexpr char kPieceSetListName[] = "KOMATYPE.DAT";

// Board size modes: 0 large (1024×768 screens), 1 standard (800×600), 2 small (640×480).
inline constexpr int kLargeBoard = 0;
inline constexpr int kStandardBoard = 1;
inline constexpr int kSmallBoard = 2;

struct PieceSetEntry {
    std::string name;      // bytes 1-20, trimmed (CP932)
    std::string small;     // 21-40: the small board's file, also the preview
    std::string standard;  // 41-60
    std::string large;     // 61-80, blank when the set has no large pictures
};

// The sets in file order; an unreadable file gives none. Lines of blanks are skipped.
std::vector<PieceSetEntry> ReadPieceSetList(const std::filesystem::path& file);
std::vector<PieceSetEntry> ParsePieceSetList(std::string_view text);

// The size mode of a piece picture width: 40 standard, 33 small, anything else large.
int SizeModeOfPieceWidth(int width);
// "E", "L", "S" for modes 0, 1, 2.
char SizeLetter(int sizeMode);
// The file name with the letter just before its extension replaced; unchanged when the name has
// no extension or nothing before it.
std::string WithSizeLetter(std::string_view file, char letter);

// The picture files of a size mode and colour setting ([Form] Color: 1 high colour, else 256).
struct BoardPictureFiles {
    std::string board;
    std::string stand;
    std::string kifBox;
    std::string buttons;
    std::string panel;
};
BoardPictureFiles PictureFilesFor(int sizeMode, int color);

// The large mode is offered when KOMATYPE.DAT names a set with a large file and "Ban1e.bmp" and
// "Dai1e.bmp", or "Ban3e.bmp" and "Dai3e.bmp", exist in the program folder (any case).
bool LargeModeAvailable(const std::filesystem::path& programFolder);

}  // namespace movra
