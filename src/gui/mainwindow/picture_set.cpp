#include "gui/mainwindow/picture_set.h"

#include <QImage>
#include <QString>
#include <QTransform>

#include "gui/common/picture_layout.h"
#include "gui/common/qtext.h"
#include "core/config/piece_sets.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {
using namespace movra::literals;

namespace {

QImage ReadImage(const std::filesystem::path& folder, const std::string& name) {
    const std::filesystem::path path = ResolvePath(folder, name);
    return QImage(PathToQString(path));
}

// The older piece files of 16 columns and 2 rows are recognised by their exact sizes; their
// arrangement is not the one this program draws, so they are not used.
bool IsOlderPieceLayout(const QSize& size) {
    return size == QSize(864, 120) || size == QSize(640, 90) || size == QSize(528, 72);
}

// Cuts the 14 × 4 grid into the 28 piece pictures; the mask rows become the transparency
// (black opaque, white clear, grey in between).
bool CutPieces(const QImage& file, std::array<QPixmap, kPictureCount>& out, QSize& pieceSize) {
    if (file.isNull() || IsOlderPieceLayout(file.size())) return false;
    const int w = file.width() / pictures::kPieceColumns;
    const int h = file.height() / pictures::kPieceRows;
    if (w < 8 || h < 8) return false;
    const QImage rgb = file.convertToFormat(QImage::Format_RGB32);
    std::array<QImage, kPictureCount> images{};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < pictures::kPieceColumns; ++column) {
            QImage piece(w, h, QImage::Format_ARGB32);
            for (int y = 0; y < h; ++y) {
                const auto* colour =
                    reinterpret_cast<const QRgb*>(rgb.constScanLine(row * h + y)) + column * w;
                const auto* mask =
                    reinterpret_cast<const QRgb*>(rgb.constScanLine((row + 2) * h + y)) + column * w;
                auto* target = reinterpret_cast<QRgb*>(piece.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    const int alpha = 255 - qGray(mask[x]);
                    target[x] = qRgba(qRed(colour[x]), qGreen(colour[x]), qBlue(colour[x]), alpha);
                }
            }
            const int code = pictures::kColumnCode[column] + row * piece::kGoteOffset;
            images[code] = piece;
        }
    }
    // The kings drawn for the other side when the board is turned: each king turned round,
    // keeping its own character.
    const QTransform half = QTransform().rotate(180);
    images[kTurnedGoteKingPicture] = images[piece::Gyoku + piece::kGoteOffset].transformed(half);
    images[kTurnedSenteKingPicture] = images[piece::Gyoku].transformed(half);
    for (int i = 1; i < kPictureCount; ++i) out[i] = QPixmap::fromImage(images[i]);
    out[0] = QPixmap();
    pieceSize = QSize(w, h);
    return true;
}

}  // namespace

std::string PictureSet::MissingMessage(Missing missing) {
    switch (missing) {
        case Missing::Pieces: return std::string("\r駒表示用ビットマップがありません。"_sj);
        case Missing::Board: return std::string("将棋盤のビットマップファイルが見つかりません"_sj);
        case Missing::Panel: return std::string("\r操作パネル用のビットマップがありません。"_sj);
        default: return {};
    }
}

bool PictureSet::PieceFileLoads(const std::filesystem::path& programFolder, const std::string& koma) {
    std::array<QPixmap, kPictureCount> pieces{};
    QSize size;
    return CutPieces(ReadImage(programFolder, koma), pieces, size);
}

PictureSet::Missing PictureSet::Load(const std::filesystem::path& programFolder,
                                     const std::string& koma, int color) {
    std::array<QPixmap, kPictureCount> pieces{};
    QSize pieceSize;
    if (!CutPieces(ReadImage(programFolder, koma), pieces, pieceSize)) return Missing::Pieces;
    const int mode = SizeModeOfPieceWidth(pieceSize.width());
    const BoardPictureFiles files = PictureFilesFor(mode, color);
    const QImage board = ReadImage(programFolder, files.board);
    const QImage stand = ReadImage(programFolder, files.stand);
    if (board.isNull() || stand.isNull()) return Missing::Board;
    const QImage kifBox = ReadImage(programFolder, files.kifBox);
    const QImage buttons = ReadImage(programFolder, files.buttons);
    const QImage panel = ReadImage(programFolder, files.panel);
    if (kifBox.isNull() || buttons.isNull() || panel.isNull()) return Missing::Panel;

    sizeMode_ = mode;
    pieceSize_ = pieceSize;
    pieces_ = pieces;
    board_ = QPixmap::fromImage(board);
    stand_ = QPixmap::fromImage(stand);
    kifBox_ = QPixmap::fromImage(kifBox);
    buttons_ = QPixmap::fromImage(buttons);
    panel_ = QPixmap::fromImage(panel);
    return Missing::None;
}

const QPixmap& PictureSet::piece(int pictureNumber) const {
    if (pictureNumber < 0 || pictureNumber >= kPictureCount) return pieces_[0];
    return pieces_[pictureNumber];
}

QSize PictureSet::buttonSize() const {
    return QSize(buttons_.width() / pictures::kButtonCount, buttons_.height() / pictures::kButtonRows);
}

QPixmap PictureSet::button(int number, bool down) const {
    const QSize b = buttonSize();
    if (number < 1 || number > pictures::kButtonCount || b.isEmpty()) return {};
    return buttons_.copy((number - 1) * b.width(), down ? b.height() : 0, b.width(), b.height());
}

}  // namespace movra
