#include "core/list/game_list_player_names.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/list/detail_search.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/text_lines.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string PickerCategoryName(int index) {
    switch (index) {
        case 0: return std::string("現役棋士"_sj);
        case 1: return std::string("引退棋士"_sj);
        case 2: return std::string("奨励会棋士"_sj);
        case 3: return std::string("女流棋士"_sj);
        case 4: return std::string("アマ棋士"_sj);
        default: return {};
    }
}

std::vector<std::string> PickerNames(const PlayerTable& players, char category) {
    std::vector<std::string> names;
    for (int n = 1; n < kPlayerCapacity; ++n) {
        const PlayerEntry& e = players.Entry(n);
        if (e.number != 0 && e.category == category) names.push_back(Trim(e.name));
    }
    return names;
}

int PickerRows(int count) { return std::max(11, (count + 4) / kPickerColumns); }

int PickerAnswer(const PlayerTable& players, char category, std::string_view cell) {
    const std::string wanted = Trim(cell);
    if (wanted.empty()) return 0;
    for (int n = 1; n < kPlayerCapacity; ++n) {
        const PlayerEntry& e = players.Entry(n);
        if (e.number != 0 && e.category == category && Trim(e.name) == wanted) return n;
    }
    return 0;
}

PlayerNames LoadPlayerNames(const fs::path& folder) {
    PlayerNames out;
    const fs::path path = FindFileNoCase(folder, kPlayerNamesFileName);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return out;
    TextLines lines;
    if (!LoadTextLines(path, lines).empty()) {
        out.state = PlayerNames::State::Failed;
        return out;
    }
    for (std::string_view line : lines.lines) {
        // A last line break makes no empty name; empty lines inside the file are names too.
        out.names.emplace_back(line);
    }
    while (!out.names.empty() && Trim(out.names.back()).empty()) out.names.pop_back();
    out.state = PlayerNames::State::Loaded;
    return out;
}

std::string PlayerNamesErrorMessage() { return "Player.txt read error!"; }

int PlayerNameIndex(const std::vector<std::string>& names, std::string_view typed) {
    if (names.empty()) return -1;
    const std::string key = LowerAscii(Trim(typed));
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (LowerAscii(names[i]) > key) return int(i);
    }
    return int(names.size()) - 1;
}

}  // namespace movra
