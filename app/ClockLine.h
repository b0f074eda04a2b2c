#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The board's date cell: day and month ("07.12"), a line break, then the time in the
// system's short format, e.g. "22:15" where the clock runs to 24 hours; never seconds.
QString clockLine(const QDateTime &now, const QLocale &locale = QLocale::system());
