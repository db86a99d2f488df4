#include "gui/diagram/gaiji_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>

#include "gui/common/qtext.h"

namespace movra {
namespace {

bool HasGlyphs(char32_t first, char32_t last, char32_t step) {
    if (!QFontDatabase::families().contains(GaijiFamily())) return false;
    QFont font(GaijiFamily());
    font.setPixelSize(16);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.familyName() != GaijiFamily()) return false;
    for (char32_t c = first; c <= last; c += step) {
        if (!raw.supportsCharacter(static_cast<uint>(c))) return false;
    }
    return true;
}

}  // namespace

QString GaijiFamily() { return QStringLiteral("Zodazi"); }

bool LoadGaijiFont(const std::filesystem::path& folder) {
    if (QFontDatabase::families().contains(GaijiFamily())) return true;
    return QFontDatabase::addApplicationFont(PathToQString(folder / kGaijiFontFile)) >= 0 &&
           QFontDatabase::families().contains(GaijiFamily());
}

bool GaijiFontHasMarks() { return HasGlyphs(0xE01A, 0xE01D, 1); }
bool GaijiFontHasPieces() { return HasGlyphs(0xE020, 0xE03E, 2); }

}  // namespace movra
