#pragma once
// The in-memory catalogue entry of one game, built from its index record and record number.
#include <cstdint>

namespace movra {

struct GameHeader {
    std::uint32_t recordNumber = 0;    // 1-based position of the game in the store
    std::uint16_t overflowNumber = 0;  // 0 = the game has no overflow records
    std::uint16_t sentePlayer = 0;     // player numbers; 0 = no master entry
    std::uint16_t gotePlayer = 0;
    std::uint8_t tournament = 0;
    std::uint8_t subTournament = 0;
    std::uint8_t gameNumber = 0;
    std::uint16_t year = 0;
    std::uint8_t month = 0;            // 0 = not given
    std::uint8_t day = 0;              // 0 = not given
    std::uint8_t opening = 0;
    std::uint8_t result = 0;           // end code 0-8
    std::uint8_t word9 = 0;
    std::uint8_t handicap = 0;         // handicap number 0-14
    std::int16_t positionHit = -1;     // move where a search matched, -1 = none
    std::uint8_t selectionMark = 0;    // 1 when marked in the game list

    // Dates compare as year × 10000 + month × 100 + day throughout the store.
    std::uint32_t dateValue() const { return year * 10000u + month * 100u + day; }
    friend bool operator==(const GameHeader&, const GameHeader&) = default;
};
// A million of these, twice over, must stay within 64 MB.
static_assert(sizeof(GameHeader) <= 32, "catalogue entries stay small");

}  // namespace movra
