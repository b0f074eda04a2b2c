#pragma once

#include "content/RateTable.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QVector>

// One change of a shown rate: who made it, when, and the row's values before and after.
struct JournalEntry
{
    enum class Source { Operator, HeadOffice };

    // Handed out by the journal; an entry written again under the same id replaces itself
    // (a typed change grows keystroke by keystroke but stays one entry).
    qint64 id = 0;
    // With the UTC offset it was taken in, so the journal reads the same after a move of
    // the time zone.
    QDateTime time;
    Source source = Source::Operator;
    QString office;     // the head office's id; empty for the operator
    qint64 version = 0; // the head office's table version; 0 for the operator
    int slot = 0;       // 1 is the top line
    RateRow before;
    RateRow after;

    friend bool operator==(const JournalEntry &, const JournalEntry &) = default;
};

// The rates a board showed at a moment, as the rate order prints them.
struct RatesInForce
{
    // The time of the last entry at or before the moment asked for.
    QDateTime since;
    // The shown rows in slot order.
    QVector<RateRow> rows;
};

// "this operator" or the head office with its id and version, as the list and CSV name it.
QString journalSourceText(const JournalEntry &entry);

// The time with its UTC offset, "2026-03-02 09:00:00 +03:00".
QString journalTimeText(const QDateTime &time);

Q_DECLARE_METATYPE(JournalEntry)
