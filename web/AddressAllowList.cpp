#include "AddressAllowList.h"

#include <QRegularExpression>

QString AddressAllowList::defaultText()
{
    return QStringLiteral("127.0.0.0/8, ::1/128, 10.0.0.0/8, 172.16.0.0/12, 192.168.0.0/16, 169.254.0.0/16, fc00::/7, fe80::/10");
}

AddressAllowList::AddressAllowList()
    : AddressAllowList(defaultText())
{
}

AddressAllowList::AddressAllowList(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        *this = AddressAllowList();
        return;
    }
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    for (const QString &part : text.split(separators, Qt::SkipEmptyParts)) {
        const QString range = part.contains(QLatin1Char('/')) ? part
                              : part.contains(QLatin1Char(':')) ? part + QStringLiteral("/128")
                                                                : part + QStringLiteral("/32");
        const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(range);
        if (subnet.first.isNull())
            m_problems.append(part);
        else
            m_ranges.append(subnet);
    }
}

bool AddressAllowList::allows(const QHostAddress &address) const
{
    // A dual-stack socket names IPv4 peers as IPv4-mapped IPv6 addresses.
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    const QHostAddress peer = isIpv4 ? QHostAddress(ipv4) : address;
    for (const auto &[network, prefix] : m_ranges)
        if (peer.isInSubnet(network, prefix))
            return true;
    return false;
}
