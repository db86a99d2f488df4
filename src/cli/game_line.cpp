#include "game_line.h"

#include <cstdio>

#include "core/rules/notation.h"
#include "core/store/layout.h"

namespace movra::cli {

std::string GameLine(const StoreReader& reader, const GameHeader& h,
                     const PlayerTable& players) {
    // A kept name is padded like the player table's display names.
    constexpr std::size_t kNameBytes = 30;
    constexpr std::size_t kResultBytes = 14;
    const GameNames kept = ReadGameNames(reader, h.recordNumber);
    const auto name = [&](int number, const std::string& keptName) {
        return number != 0 ? players.DisplayName(number) : PadOrCut(keptName, kNameBytes);
    };
    MoveBytes moves;
    const int moveCount =
        reader.ReadGameData(h.recordNumber, h.overflowNumber, moves) ? CountMoves(moves) : 0;
    char date[32];
    std::snprintf(date, sizeof date, "%04u/%02u/%02u", h.year, h.month, h.day);
    return std::to_string(h.recordNumber) + "  " + name(h.sentePlayer, kept.sente) + "  " +
           name(h.gotePlayer, kept.gote) + "  " + date + "  " +
           PadOrCut(ResultName(h.result, h.handicap != 0), kResultBytes) + "  " +
           std::to_string(moveCount);
}

}  // namespace movra::cli
