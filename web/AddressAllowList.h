#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

// Who may connect to the web board: ranges of addresses written as CIDR ("10.0.0.0/8",
// "fe80::/10", or one address), separated by commas, spaces or semicolons. A list replaces
// the default as a whole; an empty one is the default.
class AddressAllowList
{
public:
    // Loopback and the private networks: the office, never the internet.
    static QString defaultText();

    // The default list.
    AddressAllowList();
    // A list from its text; unreadable parts are left out (see `problems`).
    explicit AddressAllowList(const QString &text);

    bool allows(const QHostAddress &address) const;
    // The parts of the text that are no range, for the operator.
    const QStringList &problems() const { return m_problems; }

private:
    QList<QPair<QHostAddress, int>> m_ranges;
    QStringList m_problems;
};
