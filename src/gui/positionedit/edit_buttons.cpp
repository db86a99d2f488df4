#include "gui/positionedit/edit_buttons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "gui/common/fonts.h"

namespace movra {
namespace {

struct EditButton {
    const char16_t* sign;
    const char16_t* name;
};

// Buttons 1-12 of the editing panel.
constexpr EditButton kButtons[12] = {
    {u"読", u"局面の読込"},     {u"保", u"局面の保存"},   {u"平", u"平手の初期配置"},
    {u"削", u"局面ファイルの削除"}, {u"索", u"この局面で棋譜検索"}, {u"換", u"先後入替"},
    {u"戻", u"棋譜に戻る"},     {u"反", u"盤面反転"},     {u"空", u"玉だけの配置"},
    {u"覧", u"棋譜一覧"},       {u"詰", u"詰将棋解答"},   {u"図", u"局面図に追加"},
};

}  // namespace

QString EditButtonSign(int number) {
    if (number < 1 || number > 12) return {};
    return QString::fromUtf16(kButtons[number - 1].sign);
}

QString EditButtonName(int number) {
    if (number < 1 || number > 12) return {};
    return QString::fromUtf16(kButtons[number - 1].name);
}

QPixmap EditButtonPicture(int number, bool down, QSize size) {
    if (size.isEmpty()) return {};
    QPixmap picture(size);
    picture.fill(QColor(40, 18, 8));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF body = QRectF(picture.rect()).adjusted(1, 1, -1, -1);
    const double radius = size.width() / 6.0;
    // A lighter, greener face than the replay buttons, so that the mode shows at a glance.
    QLinearGradient face(body.topLeft(), body.bottomLeft());
    face.setColorAt(0.0, down ? QColor(150, 160, 120) : QColor(222, 228, 196));
    face.setColorAt(1.0, down ? QColor(190, 198, 160) : QColor(160, 170, 128));
    p.setPen(QPen(QColor(40, 30, 10), 1.2));
    p.setBrush(face);
    p.drawRoundedRect(body, radius, radius);
    const QRectF symbol = body.adjusted(size.width() * 0.16, size.height() * 0.14, -size.width() * 0.16,
                                        -size.height() * 0.16)
                              .translated(down ? 1 : 0, down ? 1 : 0);
    QFont font = SystemFont(kMincho, qMax(8, int(symbol.height() * 0.9)), true);
    p.setFont(font);
    p.setPen(down ? QColor(150, 20, 10) : QColor(20, 40, 90));
    p.drawText(symbol, Qt::AlignCenter, EditButtonSign(number));
    p.end();
    return picture;
}

}  // namespace movra
