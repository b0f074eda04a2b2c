#include "SystemTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installSystemTranslations(QCoreApplication &app, const QLocale &locale)
{
    auto *translator = new QTranslator(&app);
    // "qtbase" holds the widgets' texts; the catalogues of modules the program does not
    // show (designer, multimedia, ...) are not needed.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
