#include "BoardAddresses.h"

#include <QNetworkInterface>

#include <algorithm>
#include <tuple>

namespace {

// An IPv4 address that reached us wrapped in IPv6 is written the way people know it.
QHostAddress unwrapped(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    QHostAddress plain = isIPv4 ? QHostAddress(ipv4) : address;
    // A zone names an interface of this machine; other machines have no use for it.
    plain.setScopeId(QString());
    return plain;
}

// Qt counts private networks and unique local IPv6 among the global addresses, which is
// what an office network needs; loopback, link-local, multicast and "any" are not.
bool reachesOtherMachines(const QHostAddress &address)
{
    return address.isGlobal();
}

// IPv4 before IPv6, then by the address's bytes, so 10.0.0.9 comes before 10.0.0.10.
auto orderKey(const QHostAddress &address)
{
    const Q_IPV6ADDR ipv6 = address.toIPv6Address();
    return std::make_tuple(address.protocol() != QAbstractSocket::IPv4Protocol, address.toIPv4Address(),
                           QByteArray(reinterpret_cast<const char *>(ipv6.c), sizeof ipv6.c));
}

QString urlOf(const QHostAddress &address, int port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

} // namespace

QStringList boardAddresses(const QList<QHostAddress> &addresses, int port)
{
    QList<QHostAddress> usable;
    for (const QHostAddress &address : addresses) {
        const QHostAddress plain = unwrapped(address);
        if (reachesOtherMachines(plain))
            usable << plain;
    }
    std::sort(usable.begin(), usable.end(),
              [](const QHostAddress &a, const QHostAddress &b) { return orderKey(a) < orderKey(b); });
    QStringList urls;
    for (const QHostAddress &address : usable) {
        const QString url = urlOf(address, port);
        if (urls.isEmpty() || urls.constLast() != url)
            urls << url;
    }
    if (urls.isEmpty())
        urls << QStringLiteral("http://localhost:%1/").arg(port);
    return urls;
}

QList<QHostAddress> machineAddresses()
{
    QList<QHostAddress> addresses;
    const auto wanted = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    for (const QNetworkInterface &networkInterface : QNetworkInterface::allInterfaces()) {
        const auto flags = networkInterface.flags();
        if ((flags & wanted) != wanted || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : networkInterface.addressEntries())
            addresses << entry.ip();
    }
    return addresses;
}
