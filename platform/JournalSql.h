#pragma once

#include "platform/JournalEntry.h"

#include <QSqlDatabase>
#include <QString>

class QSqlQuery;
class QSqlRecord;

// What the journal's writer and its readers share: the connection, the table and how an
// entry maps to a row of it.
namespace JournalSql {

// A new connection to the file, under a name no other connection of the process has.
QSqlDatabase connect(const QString &path);
// Closes the connection and forgets its name. The database object must be the last copy.
void disconnect(QSqlDatabase &db);

// WAL, synchronous=FULL, the table and its indexes, and the schema version; an error text
// or empty. `nativeCode` receives SQLite's result code of a failure.
QString prepareForWriting(QSqlDatabase &db, int *nativeCode);

// The columns of a row, in the order readEntry expects them.
extern const char *const kColumns;
// Binds the entry to a prepared INSERT OR REPLACE of kColumns.
void bindEntry(QSqlQuery &query, const JournalEntry &entry);
JournalEntry readEntry(const QSqlRecord &record);

// The UTC milliseconds a row's time is sorted and searched by.
qint64 sortKey(const QDateTime &time);
// SQLite's primary result code of the last error of the query or database.
int primaryCode(const QString &nativeErrorCode);

// SQLite's result codes that say the file is not a (sound) database.
constexpr int kCorrupt = 11;
constexpr int kNotADatabase = 26;

} // namespace JournalSql
