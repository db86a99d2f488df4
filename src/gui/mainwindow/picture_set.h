#pragma once
// The pictures of one board size and colour set, loaded from the program folder: the board, the
// piece stand, the pieces (with their masks turned into transparency), the move-list background,
// the replay buttons and their panel.
#include <QPixmap>
#include <QSize>

#include <array>
#include <filesystem>
#include <string>

#include "core/viewing/board_mapping.h"

namespace movra {

class PictureSet {
public:
    enum class Missing { None, Pieces, Board, Panel };

    // Loads every picture for the piece file `koma` (a name in the program folder) and the colour
    // set (1 high colour, 0 256 colours). On failure nothing changes and the first missing group
    // is returned.
    Missing Load(const std::filesystem::path& programFolder, const std::string& koma, int color);

    // The message of a missing group (CP932), as the program shows it before it ends.
    static std::string MissingMessage(Missing missing);
    // Only the piece file: whether it can be loaded (the size switch tries before it commits).
    static bool PieceFileLoads(const std::filesystem::path& programFolder, const std::string& koma);

    bool loaded() const { return !board_.isNull(); }
    int sizeMode() const { return sizeMode_; }
    QSize pieceSize() const { return pieceSize_; }
    // The square pitch on the board: the piece size + 2.
    QSize pitch() const { return pieceSize_ + QSize(2, 2); }
    // Picture 0-30 (0 is empty: a null pixmap).
    const QPixmap& piece(int pictureNumber) const;
    const QPixmap& board() const { return board_; }
    const QPixmap& stand() const { return stand_; }
    const QPixmap& kifBox() const { return kifBox_; }
    const QPixmap& panel() const { return panel_; }
    // Replay button 1-12, raised or pressed.
    QPixmap button(int number, bool down) const;
    QSize buttonSize() const;

private:

    int sizeMode_ = 1;
    QSize pieceSize_;
    std::array<QPixmap, kPictureCount> pieces_{};
    QPixmap board_;
    QPixmap stand_;
    QPixmap kifBox_;
    QPixmap buttons_;
    QPixmap panel_;
};

}  // namespace movra
