#pragma once
// Single position files (".pat"): three CP932 lines with CR LF in the folder "DATA\Kyokumen" of
// the program folder: "99", the position name, and the 178-character position line. This file is
// the one place that knows the line's layout.
//
//   position line   offset  width
//     piece letters      0     81   rank 1 to 9, within a rank file 9 down to 1; "1" 玉 ... "8"
//                                   歩, "B" 龍 ... "H" と, "0" empty
//     sides             81     81   "1" sente, "2" gote, "0" empty, square by square as above
//     hand counts      162     16   sente's 玉 飛 角 金 銀 桂 香 歩, then gote's; one character
//                                   each of "0123456789ABCDEFGHI" (0-18)
//
// Pieces in the spare-piece box are not written. The position text that the record loads
// (TKifData::LoadPositionText) is the two-character number, the name padded to 30 characters and
// this line.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/position.h"

namespace movra {

namespace patlayout {
inline constexpr std::size_t kLettersAt = 0;
inline constexpr std::size_t kSidesAt = 81;
inline constexpr std::size_t kHandsAt = 162;
inline constexpr std::size_t kHandKinds = 8;
inline constexpr std::size_t kLineSize = kHandsAt + 2 * kHandKinds;  // 178
inline constexpr std::size_t kNameSize = 30;
inline constexpr std::size_t kNumberSize = 2;
// Number, name and line: what the record's LoadPositionText reads.
inline constexpr std::size_t kPositionTextSize = kNumberSize + kNameSize + kLineSize;  // 210
inline constexpr std::string_view kCountDigits = "0123456789ABCDEFGHI";
}  // namespace patlayout

// The 178-character line of a position (board and hands; the box is left out).
std::string PositionLine(const BoardPosition& position);
// Why a line cannot be loaded without losing pieces (CP932 message), or nothing when it can: a
// character outside the layout, or more pieces of a kind than the set has.
std::optional<std::string> PositionLineProblem(std::string_view line);

// The whole file: "99", the name and the line, each ended by CR LF.
std::string SinglePositionFileText(std::string_view positionName, const BoardPosition& position);

// The folder of single positions under the program folder (the existing one in any case of
// letters, else "DATA/Kyokumen").
std::filesystem::path SinglePositionFolder(const std::filesystem::path& programFolder);

// The save dialog's answer from the typed text (CP932): the name part of the text only, its
// extension made ".pat" (any other is replaced); nothing when no name is left.
std::optional<std::string> SinglePositionFileName(std::string_view typed);
// The position name of a file name: the name without its last four characters (".pat").
std::string SinglePositionName(std::string_view fileName);

// Writes the file (CP932 names) into the folder, made when missing, through a temporary file
// that replaces the old one only when complete. False when it could not be written.
bool WriteSinglePosition(const std::filesystem::path& programFolder, std::string_view fileName,
                         std::string_view positionName, const BoardPosition& position);
// Whether the folder holds a file of that name (ASCII case ignored).
bool SinglePositionExists(const std::filesystem::path& programFolder, std::string_view fileName);
// Deletes the file; false when it could not be deleted (missing included).
bool DeleteSinglePosition(const std::filesystem::path& programFolder, std::string_view fileName);

struct SinglePositionEntry {
    // Number (2), name (30), line (178) and the file name: the list is sorted by this text.
    std::string text;
    std::string fileName;  // CP932
    bool readable = false;
    // The name as the list shows it: characters 3-32 of the text.
    std::string shownName() const;
    // What choosing the entry answers: the first 210 characters (number, name, position line).
    std::string positionText() const;
};
// Every "*.pat" of the folder, sorted; a file that cannot be read is an entry of its bare name.
std::vector<SinglePositionEntry> ListSinglePositions(const std::filesystem::path& programFolder);

}  // namespace movra

namespace movra {
class TKifData;
// Loads a chosen entry's position text into the record (all pieces into the box, then onto the
// squares and into the hands the text names). A text that is too short, carries characters
// outside the layout or names more pieces than the set has is refused: the record is left as it
// was and the message is returned.
std::optional<std::string> LoadSinglePositionText(TKifData& record, std::string_view positionText);
}  // namespace movra
