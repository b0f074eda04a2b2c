#include "platform/JournalEntry.h"

#include <QObject>

#include <cstdlib>

QString journalSourceText(const JournalEntry &entry)
{
    if (entry.source == JournalEntry::Source::Operator)
        return QObject::tr("оператор");
    return QObject::tr("головной офис %1, версия %2").arg(entry.office).arg(entry.version);
}

QString journalTimeText(const QDateTime &time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
           + QStringLiteral("%1%2:%3")
                 .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
