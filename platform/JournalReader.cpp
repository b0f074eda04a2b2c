#include "platform/JournalReader.h"

#include "platform/JournalSql.h"

#include <QFileInfo>
#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

JournalReader::Selection JournalReader::selection(QDate from, QDate to, const QString &currency)
{
    Selection s;
    s.sql = QStringLiteral("SELECT %1 FROM entries WHERE at_ms >= ? AND at_ms < ?").arg(QLatin1String(JournalSql::kColumns));
    s.values = {from.startOfDay().toMSecsSinceEpoch(), to.addDays(1).startOfDay().toMSecsSinceEpoch()};
    if (!currency.isEmpty()) {
        s.sql += QStringLiteral(" AND (code_new = ? OR code_old = ?)");
        s.values << currency << currency;
    }
    s.sql += QStringLiteral(" ORDER BY at_ms DESC, id DESC");
    return s;
}

JournalReader::JournalReader(const QString &path)
{
    // Opening a missing file would make an empty one: a reader never creates the journal.
    if (!QFileInfo::exists(path)) {
        m_error = QObject::tr("%1: the journal does not exist").arg(path);
        return;
    }
    m_db = JournalSql::connect(path);
    if (!m_db.open()) {
        fail(m_db.lastError().text());
        return;
    }
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM entries")))
        fail(query.lastError().text());
}

JournalReader::~JournalReader()
{
    if (m_db.isValid())
        JournalSql::disconnect(m_db);
}

bool JournalReader::fail(const QString &error)
{
    m_error = QObject::tr("%1: %2").arg(m_db.databaseName(), error);
    return false;
}

bool JournalReader::isEmpty()
{
    QSqlQuery query(m_db);
    return !m_error.isEmpty() || !query.exec(QStringLiteral("SELECT 1 FROM entries LIMIT 1")) || !query.next();
}

QVector<JournalEntry> JournalReader::entries(QDate from, QDate to, const QString &currency)
{
    QVector<JournalEntry> result;
    if (!m_error.isEmpty())
        return result;
    const Selection s = selection(from, to, currency);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(s.sql);
    for (int i = 0; i < s.values.size(); ++i)
        query.bindValue(i, s.values[i]);
    if (!query.exec()) {
        fail(query.lastError().text());
        return result;
    }
    while (query.next())
        result.append(JournalSql::readEntry(query.record()));
    return result;
}

std::optional<RatesInForce> JournalReader::ratesAt(const QDateTime &moment)
{
    if (!m_error.isEmpty())
        return std::nullopt;
    const qint64 key = JournalSql::sortKey(moment);
    RatesInForce rates;
    qint64 latest = -1;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM entries WHERE slot = ? AND at_ms <= ? ORDER BY at_ms DESC, id DESC LIMIT 1")
                      .arg(QLatin1String(JournalSql::kColumns)));
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        query.bindValue(0, slot);
        query.bindValue(1, key);
        if (!query.exec()) {
            fail(query.lastError().text());
            return std::nullopt;
        }
        if (!query.next())
            continue;
        const JournalEntry entry = JournalSql::readEntry(query.record());
        if (JournalSql::sortKey(entry.time) > latest) {
            latest = JournalSql::sortKey(entry.time);
            rates.since = entry.time;
        }
        if (isShownRow(entry.after.code))
            rates.rows.append(entry.after);
    }
    if (latest < 0)
        return std::nullopt;
    return rates;
}

QStringList JournalReader::currencies()
{
    QStringList codes;
    QSqlQuery query(m_db);
    if (!m_error.isEmpty() || !query.exec(QStringLiteral("SELECT DISTINCT code_new FROM entries ORDER BY code_new")))
        return codes;
    while (query.next()) {
        const QString code = query.value(0).toString();
        if (isShownRow(code))
            codes << code;
    }
    return codes;
}
