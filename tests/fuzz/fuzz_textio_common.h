#pragma once
// What every text-reader fuzzer does after its reader: the game is played through on a game
// record, its header built and its store encoding made, exactly as an import does before it
// writes anything. Any bytes must end in a refusal or a game, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/record/kif_data.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/textio/apply_coded_moves.h"
#include "core/textio/coded_game.h"
#include "core/textio/imported_header.h"
#include "core/textio/text_lines.h"

namespace movra::fuzz {

inline constexpr std::string_view kNow = "2001-02-03 04:05:06";

inline TextLines LinesOf(const std::uint8_t* data, std::size_t size, const char* name) {
    TextLines lines;
    MakeTextLines(std::string_view(reinterpret_cast<const char*>(data), size), name, lines);
    return lines;
}

inline void FinishGame(ReadGame& game) {
    static std::unique_ptr<TKifData> record = std::make_unique<TKifData>();
    record->ClearMoves();
    record->ResetHeader(HandicapNumberOfChar(game.fields.handicap));
    record->SetUpStandard();
    AppliedMoves applied;
    if (!ApplyCodedMoves(game.coded, *record, applied).ok()) return;
    IndexRecord index;
    DetailRecord detail;
    MakeImportedHeader(game.fields, applied, game.consumedTimes[1], MasterTables{}, *record, index,
                       detail);
    SetAllowedTimes(game.fields, true, detail);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(*record, moves, info);
}

}  // namespace movra::fuzz
