#include "OfficeStatus.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr qsizetype kMaxStatusBytes = 1024;
}

QByteArray writeOfficeStatus(const OfficeStatus &status)
{
    const QJsonObject object{{QStringLiteral("online"), status.online},
                             {QStringLiteral("version"), double(status.version)},
                             {QStringLiteral("since"), status.since.toOffsetFromUtc(status.since.offsetFromUtc())
                                                           .toString(Qt::ISODate)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool readOfficeStatus(const QByteArray &payload, OfficeStatus &status)
{
    if (payload.size() > kMaxStatusBytes)
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    const QJsonObject object = document.object();
    const QJsonValue online = object.value(QLatin1String("online"));
    const QJsonValue version = object.value(QLatin1String("version"));
    if (!document.isObject() || !online.isBool() || !version.isDouble() || version.toDouble() < 0)
        return false;
    status.online = online.toBool();
    status.version = qint64(version.toDouble());
    status.since = QDateTime::fromString(object.value(QLatin1String("since")).toString(), Qt::ISODate);
    return true;
}
