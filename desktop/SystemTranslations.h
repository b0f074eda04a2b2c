#pragma once

#include <QLocale>

class QCoreApplication;

// Qt's own dialogs and their buttons (file, font, colour, message boxes) are written in
// English; the distribution ships their translations separately. Installs the ones for
// `locale` on `app`, so that a Russian session sees "Отмена", not "Cancel". Without them
// installed the dialogs stay English and the program goes on. Returns whether Qt's base
// catalogue for the locale was found.
bool installSystemTranslations(QCoreApplication &app, const QLocale &locale = QLocale::system());
