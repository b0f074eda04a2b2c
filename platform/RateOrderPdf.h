#pragma once

#include "platform/JournalEntry.h"

#include <QDateTime>
#include <QString>

#include <optional>

// The rate order: the office's written order that set the rates a board showed at a moment.
struct RateOrder
{
    QString office;
    // The moment asked for, and the rates in force then.
    QDateTime moment;
    RatesInForce rates;
};

// The order's heading, as it stands on the page.
QString rateOrderHeading();

// Writes the order as a one-page A4 PDF: heading, office, the time the rates came into force,
// the table of code, name, buy and sell, and lines for a signature and a name. The reason
// when the file cannot be written. Needs a QGuiApplication (fonts).
std::optional<QString> writeRateOrderPdf(const RateOrder &order, const QString &path);
