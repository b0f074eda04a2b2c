#include "chain/BrokerAddress.h"
#include "chain/ReconnectBackoff.h"

#include <gtest/gtest.h>

namespace {

struct AddressCase
{
    const char *name;
    const char *url;
    bool ok;
    const char *host;
    int port;
    bool tls;
};

class BrokerAddressReads : public ::testing::TestWithParam<AddressCase>
{
};

TEST_P(BrokerAddressReads, AsTheOfficeTypedIt)
{
    const AddressCase &c = GetParam();
    const BrokerAddressReading reading = readBrokerAddress(QString::fromUtf8(c.url));
    ASSERT_EQ(reading.ok, c.ok) << reading.reason.toStdString();
    if (c.ok) {
        EXPECT_EQ(reading.address, (BrokerAddress{QString::fromUtf8(c.host), c.port, c.tls}));
        EXPECT_TRUE(reading.reason.isEmpty());
    } else {
        EXPECT_FALSE(reading.reason.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Urls, BrokerAddressReads,
    ::testing::Values(AddressCase{"PlainDefaultPort", "mqtt://broker.office", true, "broker.office", 1883, false},
                      AddressCase{"TlsDefaultPort", "mqtts://broker.office", true, "broker.office", 8883, true},
                      AddressCase{"TlsOwnPort", " MQTTS://10.0.0.5:18883/ ", true, "10.0.0.5", 18883, true},
                      AddressCase{"Ipv6", "mqtt://[::1]:2000", true, "::1", 2000, false},
                      AddressCase{"Empty", "", false, "", 0, false},
                      AddressCase{"WebScheme", "https://broker.office", false, "", 0, false},
                      AddressCase{"NoHost", "mqtt://:1883", false, "", 0, false},
                      AddressCase{"PortZero", "mqtt://broker:0", false, "", 0, false},
                      AddressCase{"PortTooLarge", "mqtt://broker:70000", false, "", 0, false},
                      // Credentials belong in their own (masked) fields, never in the address.
                      AddressCase{"UserInUrl", "mqtt://user:pw@broker", false, "", 0, false},
                      AddressCase{"Path", "mqtt://broker/rates", false, "", 0, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReconnectBackoff, StartsAtHalfASecondDoublesToTenAndStartsAgainAfterASuccess)
{
    ReconnectBackoff backoff;
    std::vector<int> waits;
    for (int i = 0; i < 8; ++i)
        waits.push_back(backoff.nextDelayMs());
    EXPECT_EQ(waits, (std::vector<int>{500, 1000, 2000, 4000, 8000, 10000, 10000, 10000}));
    backoff.reset();
    EXPECT_EQ(backoff.nextDelayMs(), 500);
}

} // namespace
