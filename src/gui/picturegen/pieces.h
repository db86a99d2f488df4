#pragma once
// Piece sets: every piece of both sides and their masks in the 14 × 4 grid of a piece file.
#include <QImage>
#include <QSize>
#include <QString>

namespace movra::picturegen {

enum class PieceStyle {
    OneCharacter,  // 玉 飛 角 ... with the cursive single characters of the promoted pieces
    TwoCharacter,  // 玉将 飛車 角行 ...: the names written out in two characters
};

// The whole file: row 1 sente's pieces, row 2 gote's (turned upside down), rows 3 and 4 their
// masks (black where the piece is, white where the board shows through, grey at the edges).
QImage DrawPieceSet(QSize piece, PieceStyle style);

}  // namespace movra::picturegen
