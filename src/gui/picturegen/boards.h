#pragma once
// The board, piece-stand, move-list and replay-panel pictures.
#include <QImage>
#include <QSize>

namespace movra::picturegen {

// One board size: the piece picture and the sizes of everything drawn around it.
struct SizeSet {
    char letter;        // "E", "L" or "S" in the file names
    QSize piece;        // one piece picture; the square pitch is this + 2
    int boardMargin;    // wood around the grid, where the labels go
    QSize stand;        // piece stand
    QSize kifBox;       // move-list background
    int button;         // one replay button (square)
    QSize panel;        // replay panel
    QSize pitch() const { return piece + QSize(2, 2); }
    QSize board() const {
        return QSize(9 * pitch().width() + 2 * boardMargin, 9 * pitch().height() + 2 * boardMargin);
    }
};

// Colour set 1 is the high-colour set, 3 the 256-colour set of the file names.
QImage DrawBoard(const SizeSet& dims, int colourSet);
QImage DrawStand(const SizeSet& dims, int colourSet);
QImage DrawKifBox(const SizeSet& dims);
QImage DrawButtons(const SizeSet& dims, int colourSet);
QImage DrawPanel(const SizeSet& dims, int colourSet);

// The 256-colour form of a picture (8 bits per pixel with a palette).
QImage To256Colours(const QImage& image);

}  // namespace movra::picturegen
