#include "game_line.h"

#include <cstdio>

#include "core/rules/notation.h"
#include "core/store/layout.h"

namespace movra::cli {

std::string GameLine(const GameStore& store, const StoreReader& reader, const GameHeader& h,
                     const PlayerTable& players) {
    // Player names are as wide as the list window shows them, the result as its column.
    constexpr std::size_t kNameBytes = 30;
    constexpr std::size_t kResultBytes = 14;
    DetailRecord detail;
    if (store.extended()) reader.ReadDetailRecord(h.recordNumber, detail);
    const auto name = [&](int number, const std::string& detailName) {
        if (number != 0) return players.DisplayName(number);
        return PadOrCut(detailName.empty() ? UnregisteredPlayerText() : detailName, kNameBytes);
    };
    MoveBytes moves;
    const int moveCount =
        reader.ReadGameData(h.recordNumber, h.overflowNumber, moves) ? CountMoves(moves) : 0;
    char date[32];
    std::snprintf(date, sizeof date, "%04u/%02u/%02u", h.year, h.month, h.day);
    return std::to_string(h.recordNumber) + "  " + name(h.sentePlayer, detail.senteName()) + "  " +
           name(h.gotePlayer, detail.goteName()) + "  " + date + "  " +
           PadOrCut(ResultName(h.result, h.handicap != 0), kResultBytes) + "  " +
           std::to_string(moveCount);
}

}  // namespace movra::cli
