#include "app/JournalFilter.h"

JournalFilter::JournalFilter(QDate today)
    : m_from(today)
    , m_to(today)
{
}

void JournalFilter::setFrom(QDate date)
{
    if (!date.isValid())
        return;
    m_from = date;
    if (m_to < m_from)
        m_to = m_from;
}

void JournalFilter::setTo(QDate date)
{
    if (!date.isValid())
        return;
    m_to = date;
    if (m_from > m_to)
        m_from = m_to;
}
