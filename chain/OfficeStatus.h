#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What each office tells the chain about itself, kept retained on its own topic:
//   {"online": true, "version": 12, "since": "2026-12-11T10:00:00+03:00"}
// Its last will says the same with "online": false.
struct OfficeStatus
{
    bool online = false;
    // The version of the rate table the office shows; 0 before it has any.
    qint64 version = 0;
    QDateTime since;

    friend bool operator==(const OfficeStatus &, const OfficeStatus &) = default;
};

QByteArray writeOfficeStatus(const OfficeStatus &status);
// False for anything but such a document (a status is at most a few hundred bytes).
bool readOfficeStatus(const QByteArray &payload, OfficeStatus &status);
