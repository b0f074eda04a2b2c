#include "platform/JournalEntry.h"

#include <QObject>

QString journalSourceText(const JournalEntry &entry)
{
    if (entry.source == JournalEntry::Source::Operator)
        return QObject::tr("оператор");
    return QObject::tr("головной офис %1, версия %2").arg(entry.office).arg(entry.version);
}
