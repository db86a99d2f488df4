#pragma once
// Fixed-width CP932 lines drawn on a grid of byte cells: a one-byte character takes one cell, a
// double-byte character two, whatever the font's own widths. The list's columns are byte
// columns, so this is what keeps them aligned with a proportional Japanese font.
#include <QFont>
#include <QPainter>
#include <QRect>

#include <string_view>

namespace movra {

// The cell width for a font: half the width of a full-width character.
int ByteCellWidth(const QFont& font);

// Draws the text from `left`, vertically centred in `row`, one character a cell or two.
void DrawByteGridText(QPainter& painter, int left, const QRect& row, int cellWidth,
                      std::string_view cp932);

}  // namespace movra
