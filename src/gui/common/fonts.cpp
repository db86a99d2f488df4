#include "gui/common/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace movra {
namespace {

const QString kIpaMincho = QStringLiteral("IPAexMincho");
const QString kIpaGothic = QStringLiteral("IPAexGothic");

bool HasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void LoadFromFile(const QString& family, const QStringList& files) {
    if (HasFamily(family)) return;
    for (const QString& file : files) {
        if (QFontDatabase::addApplicationFont(file) >= 0 && HasFamily(family)) return;
    }
}

}  // namespace

bool RegisterFontSubstitutes() {
    LoadFromFile(kIpaMincho, {QStringLiteral("/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf"),
                              QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-mincho.ttf")});
    LoadFromFile(kIpaGothic, {QStringLiteral("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"),
                              QStringLiteral("/usr/share/fonts/truetype/fonts-japanese-gothic.ttf")});
    QFont::insertSubstitution(kMincho, kIpaMincho);
    QFont::insertSubstitution(kGothic, kIpaGothic);
    QFont::insertSubstitution(kPGothic, kIpaGothic);
    return HasFamily(kIpaMincho) || HasFamily(kIpaGothic);
}

QFont SystemFont(const QString& name, int pixelSize, bool bold) {
    QFont font(name);
    // The substitute is named too, so that a font database without substitution support still
    // finds the IPAex face before any other Japanese font.
    font.setFamilies({name, name == kMincho ? kIpaMincho : kIpaGothic});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace movra
