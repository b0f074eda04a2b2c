#include "platform/JournalCsv.h"

#include <QObject>
#include <QSaveFile>
#include <QStringList>

namespace {

// A field is quoted when it holds the separator, a quote or a line break. A field that a
// spreadsheet would take for a formula (a name sent by the head office, say) is made plain
// text with a leading apostrophe: an export must never run anything when it is opened.
QString csvField(QString field)
{
    if (field.startsWith(QLatin1Char('=')) || field.startsWith(QLatin1Char('+')) || field.startsWith(QLatin1Char('@')))
        field.prepend(QLatin1Char('\''));
    if (field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n'))
        || field.contains(QLatin1Char('\r'))) {
        field.replace(QLatin1String("\""), QLatin1String("\"\""));
        field = QLatin1Char('"') + field + QLatin1Char('"');
    }
    return field;
}

QString csvRecord(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted << csvField(field);
    return quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

} // namespace

QByteArray journalCsv(const QVector<JournalEntry> &entries)
{
    QString text = csvRecord({QObject::tr("Время"), QObject::tr("Источник"), QObject::tr("Строка"), QObject::tr("Код было"),
                              QObject::tr("Код"), QObject::tr("Название было"), QObject::tr("Название"),
                              QObject::tr("Покупка было"), QObject::tr("Покупка"), QObject::tr("Продажа было"),
                              QObject::tr("Продажа")});
    for (const JournalEntry &e : entries) {
        text += csvRecord({journalTimeText(e.time), journalSourceText(e),
                           QString::number(e.slot), e.before.code, e.after.code, e.before.name, e.after.name,
                           e.before.buy, e.after.buy, e.before.sell, e.after.sell});
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<QString> writeJournalCsv(const QVector<JournalEntry> &entries, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(journalCsv(entries)) < 0 || !file.commit())
        return QObject::tr("%1: %2").arg(path, file.errorString());
    return std::nullopt;
}
