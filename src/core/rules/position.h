#pragma once
// The position: a table of the forty pieces of a shogi set, from which the board and the two
// hands are derived.
#include <array>
#include <cstdint>
#include <string>

#include "core/rules/piece.h"

namespace movra {

// Where a piece stands. Files 1-9 with ranks 1-9 are board squares; the file takes three more
// values, and the rank then holds the piece kind.
namespace location {
inline constexpr std::uint8_t kSenteHand = 0;
inline constexpr std::uint8_t kGoteHand = 10;
inline constexpr std::uint8_t kBox = 20;  // spare pieces of position editing
}  // namespace location

struct Square {
    std::uint8_t file = 0;
    std::uint8_t rank = 0;
    friend bool operator==(const Square&, const Square&) = default;
};

constexpr bool IsBoardSquare(int file, int rank) {
    return file >= 1 && file <= 9 && rank >= 1 && rank <= 9;
}
// Board index of a square: 1 (1一) to 81 (9九); index 0 is no square.
constexpr int BoardIndex(int file, int rank) { return (file - 1) * 9 + rank; }

inline constexpr int kPieceCount = 40;  // pieces 1-40; entry 0 is a scratch entry
inline constexpr int kBoardSize = 82;

struct PieceEntry {
    std::uint8_t present = 0;  // 1 when the piece takes part in this game
    PieceCode code = 0;
    std::uint8_t file = 0;     // 1-9, or a hand or the box (see location)
    std::uint8_t rank = 0;     // 1-9 on the board, else the piece kind
    std::uint16_t image = 0;   // picture number of the board display; no rule reads it
    friend bool operator==(const PieceEntry&, const PieceEntry&) = default;
};

using PieceTable = std::array<PieceEntry, kPieceCount + 1>;
using Board = std::array<std::uint8_t, kBoardSize>;
using HandCounts = std::array<std::uint8_t, 9>;  // by piece kind 0-8

struct BoardPosition {
    PieceTable pieces{};
    Board board{};
    HandCounts senteHand{};
    HandCounts goteHand{};
    friend bool operator==(const BoardPosition&, const BoardPosition&) = default;
};

// Handicap numbers 0-14 and the one-character codes the game record keeps.
inline constexpr int kHandicapCount = 15;
char HandicapChar(int handicapNumber);       // "0" for a number outside 0-14
std::string HandicapName(int handicapNumber);  // CP932; "？？" for a number outside 0-14
// The number of a handicap character, -1 for a character that names no handicap.
int HandicapNumber(char handicapChar);

// Derives board and hands from the piece table. Throws CorruptPosition (and leaves the position
// as it was) for a square outside the board, a hand kind above 8 or a count above 255.
void Rebuild(BoardPosition& position);
// The even game or a handicap setup: the stronger player (gote) loses pieces.
void SetUpStandard(BoardPosition& position, char handicapChar);
// Both kings on their squares, every other piece in the box.
void SetUpEmpty(BoardPosition& position);

// The two sides as the game record numbers them.
namespace side {
inline constexpr int kSente = 1;  // 先手, 下手 in a handicap game
inline constexpr int kGote = 2;   // 後手, 上手 in a handicap game
constexpr int Opponent(int s) { return kSente + kGote - s; }
}  // namespace side

// side::kSente (下手) or side::kGote (上手) for move number n; in a handicap game 上手 moves first.
int SideToMove(int moveNumber, int parityOffset, char handicapChar);

}  // namespace movra
