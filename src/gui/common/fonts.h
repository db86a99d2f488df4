#pragma once
// The Japanese fonts of the system ("ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック") and the IPAex fonts
// that stand in for them: one substitution table, registered once at start-up, so that every
// window can ask for the font by the system's own name.
#include <QFont>
#include <QString>

namespace movra {

// The system's font names (UTF-8 here: these are Qt names, not stored texts).
inline const QString kMincho = QStringLiteral("ＭＳ 明朝");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

// Maps the three names to IPAexMincho and IPAexGothic, loading the font files from their Debian
// places when fontconfig does not know them. False when neither family can be found.
bool RegisterFontSubstitutes();

// A font of the system by name and pixel size.
QFont SystemFont(const QString& name, int pixelSize, bool bold = false);

}  // namespace movra
