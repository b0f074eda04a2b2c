#pragma once

#include "platform/JournalReader.h"

#include <QDate>
#include <QString>

// What the journal tab lists: the days from..to and one currency or all. Today by default.
// The range never turns over: moving one end past the other takes the other along.
class JournalFilter
{
public:
    explicit JournalFilter(QDate today);

    QDate from() const { return m_from; }
    QDate to() const { return m_to; }
    // Empty for every currency.
    QString currency() const { return m_currency; }

    void setFrom(QDate date);
    void setTo(QDate date);
    void setCurrency(const QString &code) { m_currency = code; }

    JournalReader::Selection selection() const { return JournalReader::selection(m_from, m_to, m_currency); }

private:
    QDate m_from;
    QDate m_to;
    QString m_currency;
};
