#pragma once

#include "platform/JournalEntry.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// The journal's side on its own thread: it owns the connection and the entries not yet
// written. RateJournal is its only user.
class JournalWriter : public QObject
{
    Q_OBJECT
public:
    struct Opening
    {
        QString setAside; // where a damaged file went; empty when none was moved
        bool empty = true;
        qint64 lastId = 0;
    };

    JournalWriter(const QString &path, int pendingLimit);

    // Opens the file, setting a damaged one aside. A file that cannot be opened for another
    // reason (a read-only folder) is reported and tried again with the next entry.
    Opening open();
    // Keeps the entry (replacing a pending one of the same id) and writes all pending ones.
    void write(const JournalEntry &entry);
    // Tries what is pending once more, then closes the connection.
    void close();

signals:
    void failed(const QString &file, const QString &reason, int pending);
    void written(int pending);

private:
    bool ensureOpen(Opening *opening);
    QString moveAside();
    void writePending();
    void keep(const JournalEntry &entry);
    // Says why, with how many entries were dropped if any were.
    void reportFailure(QString reason);

    QString m_path;
    int m_pendingLimit;
    QSqlDatabase m_db;
    bool m_ready = false;
    QVector<JournalEntry> m_pending;
    int m_dropped = 0;
};
