#pragma once
// Where squares and pieces appear on the drawn board, unturned and turned.
#include "core/rules/piece.h"
#include "core/rules/position.h"

namespace movra {

// Column 0-8 from the left, row 0-8 from the top of the drawn board.
struct BoardCell {
    int column = 0;
    int row = 0;
    friend bool operator==(const BoardCell&, const BoardCell&) = default;
};

// Unturned, file f and rank r are drawn at column 9 - f and row r - 1 (sente at the bottom);
// turned, at column f - 1 and row 9 - r.
constexpr BoardCell CellOfSquare(int file, int rank, bool turned) {
    return turned ? BoardCell{file - 1, 9 - rank} : BoardCell{9 - file, rank - 1};
}
constexpr Square SquareOfCell(int column, int row, bool turned) {
    return turned ? Square{static_cast<std::uint8_t>(column + 1), static_cast<std::uint8_t>(9 - row)}
                  : Square{static_cast<std::uint8_t>(9 - column), static_cast<std::uint8_t>(row + 1)};
}

// Picture numbers of the piece pictures: 0 empty, 1-28 the piece codes, 29 and 30 the two
// kings drawn for the other side.
inline constexpr int kTurnedGoteKingPicture = 29;
inline constexpr int kTurnedSenteKingPicture = 30;
inline constexpr int kPictureCount = 31;

// The picture of a piece: its code, or when the board is turned the other side's picture (sente
// 1-13 take code + 14, sente's king 30, gote 15-27 code - 14, gote's king 29).
constexpr int PictureNumber(PieceCode code, bool turned) {
    if (!IsPiece(code)) return 0;
    if (!turned) return code;
    if (code == piece::Gyoku) return kTurnedSenteKingPicture;
    if (code == piece::Gyoku + piece::kGoteOffset) return kTurnedGoteKingPicture;
    return IsSente(code) ? code + piece::kGoteOffset : code - piece::kGoteOffset;
}

}  // namespace movra
