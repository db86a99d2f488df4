#include "gui/common/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace movra {

QString QtTranslationFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallJapaneseQtTexts(QCoreApplication& app) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    // "qt_ja" gathers every Qt module's texts; "qtbase_ja" alone holds the widgets' ones.
    for (const char* name : {"qt", "qtbase"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(japanese, QString::fromLatin1(name), QStringLiteral("_"), QtTranslationFolder()) &&
            QCoreApplication::installTranslator(translator)) {
            return true;
        }
        delete translator;
    }
    return false;
}

}  // namespace movra
