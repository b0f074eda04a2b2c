#include "ClockLine.h"

#include <QRegularExpression>

namespace {

// The locale's short time format without seconds: the cell is refreshed every 15 seconds,
// so seconds (which the C locale's short format has) would be wrong most of the time.
QString minutesFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
}

} // namespace

QString clockLine(const QDateTime &now, const QLocale &locale)
{
    return now.toString(QStringLiteral("dd.MM")) + QStringLiteral("\r\n") + locale.toString(now.time(), minutesFormat(locale));
}
