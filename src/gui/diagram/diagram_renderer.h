#pragma once
// Drawing position diagrams with QPainter: the picture of bitmap files and the clipboard, the
// small picture for mobile phones, and the printed diagram. Where things go is decided by
// core/diagram/diagram_layout; this file only paints. Works on the offscreen platform.
#include <QFont>
#include <QImage>
#include <QPainter>

#include <optional>
#include <string>

#include "core/diagram/bmp.h"
#include "core/diagram/diagram_layout.h"
#include "core/rules/position.h"

namespace movra {

struct DiagramInputs {
    BoardPosition position;
    std::optional<Square> lastMove;  // the shown move's destination
    std::string senteLabel;          // CP932
    std::string goteLabel;           // may hold "*" (gote's hand not listed)
    std::string title;
    std::string comment;             // lines separated by line breaks
};

// The diagram font of a point size at 96 dots per inch ("ＭＳ 明朝", our user-defined characters
// behind it), unsmoothed as bitmaps are drawn.
QFont DiagramFont(int pixelHeight, bool bold = false);

// A white picture of DiagramSize(sizeMode, zoom, printingSize) with the diagram drawn in black;
// the comment's lines are wrapped to the board's width.
QImage DrawDiagram(const DiagramInputs& inputs, const DiagramOptions& options);
// The 94 x 84 picture for mobile phones, layout 0 (whole board), 1 (7 x 6) or 2 (6 x 5).
QImage DrawMobileDiagram(const BoardPosition& position, int layout);
// The diagram on a printer page (or any paint device), in page quarter 0-3, scale 1 or 2.
void PrintDiagram(QPainter& painter, const DiagramInputs& inputs, const DiagramOptions& options,
                  int quarter, int scale, int fontSet);

// The picture's pixels for the BMP writer, and the picture reduced to a colour setting's depth
// (1, 4 or 8 bits) as the clipboard receives it.
RgbImage ToRgbImage(const QImage& image);
QImage ReduceToDepth(const QImage& image, int bitsPerPixel);

}  // namespace movra
