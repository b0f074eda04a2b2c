#include "RatesFeed.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray ratesJson(const QVector<RateRow> &rows, const QDateTime &lastChange)
{
    QJsonArray shown;
    for (const RateRow &row : rows) {
        if (!isShownRow(row.code))
            continue;
        shown.append(QJsonObject{{QStringLiteral("code"), row.code},
                                 {QStringLiteral("name"), row.name},
                                 {QStringLiteral("buy"), row.buy},
                                 {QStringLiteral("sell"), row.sell}});
    }
    const QJsonObject feed{{QStringLiteral("rates"), shown},
                           {QStringLiteral("changed"), lastChange.toOffsetFromUtc(lastChange.offsetFromUtc())
                                                           .toString(Qt::ISODate)}};
    return QJsonDocument(feed).toJson(QJsonDocument::Indented);
}

QByteArray entityTag(const QByteArray &body)
{
    const QByteArray digest = QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(32);
    return '"' + digest + '"';
}

bool entityTagMatches(const QByteArray &ifNoneMatch, const QByteArray &tag)
{
    for (QByteArray candidate : ifNoneMatch.split(',')) {
        candidate = candidate.trimmed();
        // A weak tag names the same body for this comparison.
        if (candidate.startsWith("W/"))
            candidate = candidate.mid(2);
        if (candidate == "*" || candidate == tag)
            return true;
    }
    return false;
}
