#pragma once
// Positions as SFEN lines and moves in USI notation: the forms other shogi programs exchange.
#include <optional>
#include <string>
#include <string_view>

#include "core/rules/move.h"
#include "core/rules/position.h"

namespace movra {

struct SfenPosition {
    BoardPosition position;
    int sideToMove = 1;  // 1 sente, 2 gote
    int moveNumber = 1;
};

// Reads "board side hands [move number]" (a leading "sfen " and the word "startpos" are
// accepted). Pieces are taken from a full set, so a position needing more pieces of a kind than
// a set holds is refused. On failure `error` (when given) says why.
std::optional<SfenPosition> ParseSfen(std::string_view sfen, std::string* error = nullptr);
std::string ToSfen(const BoardPosition& position, int sideToMove, int moveNumber);

// "7g7f", "8h2b+", "P*5e".
std::string MoveCodeToUsi(const MoveCode& code);
std::optional<MoveCode> UsiToMoveCode(std::string_view usi);

}  // namespace movra
