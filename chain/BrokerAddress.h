#pragma once

#include <QString>

// Where the chain's broker listens, as the office types it: mqtt://host[:1883] for a plain
// connection, mqtts://host[:8883] for TLS.
struct BrokerAddress
{
    QString host;
    int port = 0;
    bool tls = false;

    static constexpr int kPlainPort = 1883;
    static constexpr int kTlsPort = 8883;

    friend bool operator==(const BrokerAddress &, const BrokerAddress &) = default;
};

struct BrokerAddressReading
{
    bool ok = false;
    BrokerAddress address;
    // Why the text is no broker address, in words for the office.
    QString reason;
};

BrokerAddressReading readBrokerAddress(const QString &url);
