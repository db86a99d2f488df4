#pragma once
// The two name pickers of the search dialogs, without their windows: the player picker
// ("棋士名選択"), a grid of one category's players from the player table, and the player-name
// reference ("対局者名一覧") of the detailed search, a list read from "Player.txt".
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/master_data.h"

namespace movra {

// --- the player picker ------------------------------------------------------------------------

// The categories in the picker's order: "現役棋士" 'A', "引退棋士" 'B', "奨励会棋士" 'C',
// "女流棋士" 'D', "アマ棋士" 'E'.
inline constexpr char kPickerCategories[] = {'A', 'B', 'C', 'D', 'E'};
std::string PickerCategoryName(int index);

inline constexpr int kPickerColumns = 5;
// The names of the category's players (numbers 1-9999 in order), trimmed, one a cell row by row.
std::vector<std::string> PickerNames(const PlayerTable& players, char category);
// (count + 4) div 5 rows, at least 11.
int PickerRows(int count);
// The number of the first player of the category whose name (trimmed) is the cell's; 0 for an
// empty cell or no such player.
int PickerAnswer(const PlayerTable& players, char category, std::string_view cell);

// --- the player-name reference -----------------------------------------------------------------

inline constexpr std::string_view kPlayerNamesFileName = "Player.txt";

struct PlayerNames {
    enum class State { Missing, Failed, Loaded } state = State::Missing;
    std::vector<std::string> names;  // in file order, as read (CP932)
};
// Reads "Player.txt" from the folder (found without regard to case), one name a line.
PlayerNames LoadPlayerNames(const std::filesystem::path& folder);
// "Player.txt read error!"
std::string PlayerNamesErrorMessage();

// The entry the index field points at: the first whose lower-cased text sorts after the typed
// text (trimmed, lower-cased), else the last one; -1 for an empty list.
int PlayerNameIndex(const std::vector<std::string>& names, std::string_view typed);

}  // namespace movra
