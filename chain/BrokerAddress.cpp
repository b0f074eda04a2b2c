#include "BrokerAddress.h"

#include <QUrl>

BrokerAddressReading readBrokerAddress(const QString &text)
{
    const auto refused = [](const QString &reason) { return BrokerAddressReading{false, {}, reason}; };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")))
        return refused(QStringLiteral("адрес брокера не вида mqtt://узел или mqtts://узел"));
    if (url.host().isEmpty())
        return refused(QStringLiteral("в адресе брокера нет узла"));
    // A user, a path or a query would be silently dropped; the office should see that.
    if (!url.userInfo().isEmpty() || (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery()
        || url.hasFragment())
        return refused(QStringLiteral("в адресе брокера лишнее: нужны только узел и порт"));
    const bool tls = scheme == QLatin1String("mqtts");
    const int port = url.port(tls ? BrokerAddress::kTlsPort : BrokerAddress::kPlainPort);
    if (port < 1 || port > 65535)
        return refused(QStringLiteral("неверный порт брокера"));
    return {true, {url.host(), port, tls}, {}};
}
