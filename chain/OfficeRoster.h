#pragma once

#include "OfficeStatus.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// The offices the head office has heard of, in the order of their ids.
struct SeenOffice
{
    QString office;
    OfficeStatus status;
    // When the head office last heard from it.
    QDateTime lastSeen;

    friend bool operator==(const SeenOffice &, const SeenOffice &) = default;
};

class OfficeRoster
{
public:
    // A chain has tens of offices, not thousands; a flood of made-up ids stops here.
    static constexpr int kMaxOffices = 1000;

    // Notes a status heard now; false when the roster is full and the office new to it.
    bool note(const QString &office, const OfficeStatus &status, const QDateTime &now);
    void clear() { m_offices.clear(); }
    const QVector<SeenOffice> &offices() const { return m_offices; }

private:
    QVector<SeenOffice> m_offices;
};
