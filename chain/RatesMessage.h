#pragma once

#include "content/RateTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// The head office's rate table as it travels between offices: one JSON document
//   {"version": n, "changed": "2026-12-11T10:00:00+03:00", "from": "office",
//    "rates": [{"code", "buy", "sell", "name"}, ...]}
// with the rows the board shows, in board order, as they were typed.
struct ChainRates
{
    qint64 version = 0;
    QDateTime changed;
    QString from;
    QVector<RateRow> rates;

    friend bool operator==(const ChainRates &, const ChainRates &) = default;
};

// What the reader accepts. A table that breaks any of them is refused as a whole: a branch
// shows either the whole new table or the old one.
namespace ChainRatesLimits {
constexpr qsizetype kMaxPayloadBytes = 64 * 1024;
constexpr int kMaxRows = RateSlotCount;
constexpr int kMaxFieldLength = 60;
// The largest whole number a JSON number carries exactly.
constexpr qint64 kMaxVersion = (qint64(1) << 53) - 1;
} // namespace ChainRatesLimits

struct ChainRatesReading
{
    bool ok = false;
    ChainRates rates;
    // Why the payload was refused, in words for the office: empty when it was read.
    QString reason;
};

// Reads a received payload. Never throws and never reads past the 64 KB limit.
ChainRatesReading readChainRates(const QByteArray &payload);

// The payload for a table; the rows are taken as given (the caller passes the shown rows).
QByteArray writeChainRates(const ChainRates &rates);
