#pragma once
// How the picture files of the program folder are laid out: the generator draws them this way and
// the main window reads them this way. Sizes that the windows need are taken from the pictures
// themselves; this header only fixes the arrangement inside each file.
//
//   Koma (piece set)   14 columns × 4 rows: sente's pieces, gote's pieces, then the masks of
//                      both rows (black opaque, white transparent, grey partly). Columns 玉 飛 角
//                      金 銀 桂 香 歩 龍 馬 成銀 成桂 成香 と. The square pitch is the piece size + 2.
//   Ban (board)        the 9 × 9 grid of that pitch centred in the picture; the margin around it
//                      carries the file and rank labels, which the window draws.
//   Dai (piece stand)  one picture for each hand and the spare box.
//   KifBox3            the move list's background, stretched to the list.
//   PBtn               the twelve replay buttons in 12 columns (button 1 to 12) × 2 rows (up, down).
//   Panel              the replay panel's background; the buttons sit on it in kPanelColumns ×
//                      kPanelRows, in the order of kPanelOrder.
#include <array>

namespace movra::pictures {

inline constexpr int kPieceColumns = 14;
inline constexpr int kPieceRows = 4;
inline constexpr int kButtonCount = 12;
inline constexpr int kButtonRows = 2;  // up, down
inline constexpr int kPanelColumns = 4;
inline constexpr int kPanelRows = 3;

// Button numbers (1-12) in panel order, row by row: the replay steps first, then the board and
// list commands, then the functions of later stages.
inline constexpr std::array<int, kButtonCount> kPanelOrder{9, 3, 2, 1, 7, 8, 4, 10, 5, 6, 11, 12};

// The piece code (1-14, sente's) of each column.
inline constexpr std::array<int, kPieceColumns> kColumnCode{14, 12, 10, 9, 7, 5, 3, 1,
                                                            13, 11, 8, 6, 4, 2};

// The three board sizes: 0 large (1024×768 screens), 1 standard (800×600), 2 small (640×480),
// with the size letter of their file names.
inline constexpr std::array<char, 3> kSizeLetter{'E', 'L', 'S'};

}  // namespace movra::pictures
