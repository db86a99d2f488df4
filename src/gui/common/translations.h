#pragma once
// Qt's own texts (the Yes/No/Cancel buttons, the file and print dialogs) in Japanese, like every
// other text of the program, whatever language the desktop runs in.
#include <QString>

class QCoreApplication;

namespace movra {

// Installs Qt's Japanese translations (Debian: qt6-translations-l10n) into the application.
// False when they are not installed: Qt's texts then stay English.
bool InstallJapaneseQtTexts(QCoreApplication& app);

// Where they are looked for: Qt's translation folder.
QString QtTranslationFolder();

}  // namespace movra
