#include "platform/JournalSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <atomic>

namespace JournalSql {

const char *const kColumns = "id, at_ms, at_text, source, office, version, slot, "
                             "code_old, name_old, buy_old, sell_old, code_new, name_new, buy_new, sell_new";

QSqlDatabase connect(const QString &path)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("rate-journal-%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    // A reader that meets the writer mid-transaction waits a little instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    return db;
}

void disconnect(QSqlDatabase &db)
{
    const QString name = db.connectionName();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

int primaryCode(const QString &nativeErrorCode)
{
    bool ok = false;
    const int code = nativeErrorCode.toInt(&ok);
    return ok ? (code & 0xff) : 0;
}

QString prepareForWriting(QSqlDatabase &db, int *nativeCode)
{
    *nativeCode = 0;
    if (!db.open()) {
        *nativeCode = primaryCode(db.lastError().nativeErrorCode());
        return db.lastError().text();
    }
    static const char *const statements[] = {
        "PRAGMA journal_mode=WAL",
        "PRAGMA synchronous=FULL",
        "CREATE TABLE IF NOT EXISTS entries ("
        " id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL, at_text TEXT NOT NULL,"
        " source INTEGER NOT NULL, office TEXT NOT NULL, version INTEGER NOT NULL,"
        " slot INTEGER NOT NULL,"
        " code_old TEXT NOT NULL, name_old TEXT NOT NULL, buy_old TEXT NOT NULL, sell_old TEXT NOT NULL,"
        " code_new TEXT NOT NULL, name_new TEXT NOT NULL, buy_new TEXT NOT NULL, sell_new TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS entries_at ON entries(at_ms)",
        // The rates in force at a moment: the last entry of each slot before it.
        "CREATE INDEX IF NOT EXISTS entries_slot_at ON entries(slot, at_ms)",
        "PRAGMA user_version=1",
        // Reads every page of the table once, so that a damaged file is found at opening
        // and not by the first entry of the day.
        "SELECT count(*) FROM entries",
    };
    for (const char *statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(QLatin1String(statement))) {
            *nativeCode = primaryCode(query.lastError().nativeErrorCode());
            return query.lastError().text();
        }
    }
    return {};
}

qint64 sortKey(const QDateTime &time)
{
    return time.toMSecsSinceEpoch();
}

void bindEntry(QSqlQuery &query, const JournalEntry &e)
{
    const QVariant values[] = {
        e.id, sortKey(e.time), e.time.toString(Qt::ISODateWithMs),
        e.source == JournalEntry::Source::HeadOffice ? 1 : 0, e.office, e.version, e.slot,
        e.before.code, e.before.name, e.before.buy, e.before.sell,
        e.after.code, e.after.name, e.after.buy, e.after.sell,
    };
    int index = 0;
    for (const QVariant &value : values) {
        // An empty field is stored as '' and not NULL: the columns are NOT NULL.
        if (value.typeId() == QMetaType::QString && value.toString().isNull())
            query.bindValue(index++, QStringLiteral(""));
        else
            query.bindValue(index++, value);
    }
}

JournalEntry readEntry(const QSqlRecord &q)
{
    JournalEntry e;
    e.id = q.value(0).toLongLong();
    e.time = QDateTime::fromString(q.value(2).toString(), Qt::ISODateWithMs);
    e.source = q.value(3).toInt() == 1 ? JournalEntry::Source::HeadOffice : JournalEntry::Source::Operator;
    e.office = q.value(4).toString();
    e.version = q.value(5).toLongLong();
    e.slot = q.value(6).toInt();
    e.before = {q.value(7).toString(), q.value(9).toString(), q.value(10).toString(), q.value(8).toString()};
    e.after = {q.value(11).toString(), q.value(13).toString(), q.value(14).toString(), q.value(12).toString()};
    return e;
}

} // namespace JournalSql
