#include "gui/list/byte_grid.h"

#include <QFontMetrics>

#include "gui/common/qtext.h"
#include "core/text/text_helpers.h"

namespace movra {

int ByteCellWidth(const QFont& font) {
    const QFontMetrics m(font);
    return qMax(1, (m.horizontalAdvance(QStringLiteral("あ")) + 1) / 2);
}

void DrawByteGridText(QPainter& painter, int left, const QRect& row, int cellWidth,
                      std::string_view cp932) {
    std::size_t i = 0;
    int x = left;
    while (i < cp932.size()) {
        const std::size_t width =
            IsLeadByte(static_cast<std::uint8_t>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
        const std::string_view ch = cp932.substr(i, width);
        if (ch != " ") {
            const QRect cell(x, row.top(), int(width) * cellWidth, row.height());
            painter.drawText(cell, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip,
                             ToQString(ch));
        }
        x += int(width) * cellWidth;
        i += width;
    }
}

}  // namespace movra
