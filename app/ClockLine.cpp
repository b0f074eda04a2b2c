#include "ClockLine.h"

QString clockLine(const QDateTime &now, const QLocale &locale)
{
    return now.toString(QStringLiteral("dd.MM")) + QStringLiteral("\r\n") + locale.toString(now.time(), QLocale::ShortFormat);
}
