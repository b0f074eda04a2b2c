#pragma once

#include "platform/JournalEntry.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

// Reads the journal on the calling thread through a connection of its own, beside the
// program's writer if it runs: the list, the export and the rate order.
class JournalReader
{
public:
    // The entries of the days from..to (local dates, both inclusive), of one currency or of
    // all (an empty code): the SQL and its values, for a list model or for entries().
    struct Selection
    {
        QString sql;
        QVector<QVariant> values;
    };
    static Selection selection(QDate from, QDate to, const QString &currency);

    explicit JournalReader(const QString &path);
    ~JournalReader();
    JournalReader(const JournalReader &) = delete;
    JournalReader &operator=(const JournalReader &) = delete;

    // Why the journal cannot be read (missing, damaged, not a database); empty when it can.
    QString error() const { return m_error; }
    QSqlDatabase database() const { return m_db; }

    bool isEmpty();
    // Newest first.
    QVector<JournalEntry> entries(QDate from, QDate to, const QString &currency);
    // The rates shown at the moment; nullopt when the journal begins after it.
    std::optional<RatesInForce> ratesAt(const QDateTime &moment);
    // The currencies the journal names, for the filter.
    QStringList currencies();

private:
    bool fail(const QString &error);

    QSqlDatabase m_db;
    QString m_error;
};
