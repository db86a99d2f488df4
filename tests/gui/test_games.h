#pragma once
// Games written for the window tests: a 矢倉 opening that turns into a fight on the third file,
// 46 moves, with captures, promotions and drops.
#include <optional>
#include <stdexcept>
#include <string>

#include "core/record/game_from_moves.h"

namespace movra::testing {

inline constexpr char kYaguraMoves[] =
    "7g7f 8c8d 7i6h 3c3d 6g6f 7a6b 5g5f 5c5d 3i4h 3a4b "
    "4i5h 4a3b 6i7h 5a4a 5h6g 6a5b 6h7g 4b3c 8h7i 2b3a "
    "3g3f 4c4d 5i6i 7c7d 4h3g 3a6d 3g4f 5b4c 7i6h 8d8e "
    "2g2f 8a7c 3f3e 3d3e 4f3e P*3f 2f2e 3f3g+ 2i3g 4d4e "
    "2e2d 2c2d 3e2d P*2c 2d3c+ 2a3c";

inline TKifData YaguraGame() {
    std::string error;
    std::optional<TKifData> game = GameFromMoves("", 0, SplitMoves(kYaguraMoves), &error);
    if (!game) throw std::runtime_error("test game: " + error);
    game->endCode = '0';
    return *game;
}

}  // namespace movra::testing
