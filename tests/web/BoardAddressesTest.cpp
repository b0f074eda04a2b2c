// The addresses the settings tab offers for opening the web board from another machine.

#include "web/BoardAddresses.h"

#include <QNetworkInterface>
#include <gtest/gtest.h>

namespace {

struct AddressCase
{
    const char *name;
    QStringList addresses;
    int port;
    QStringList urls;
};

// The case's name instead of its bytes in the test list.
void PrintTo(const AddressCase &value, std::ostream *out)
{
    *out << value.name;
}

class BoardAddresses : public ::testing::TestWithParam<AddressCase>
{
};

TEST_P(BoardAddresses, AreTheReachableOnesInOrder)
{
    QList<QHostAddress> addresses;
    for (const QString &text : GetParam().addresses) {
        const QHostAddress address(text);
        ASSERT_FALSE(address.isNull()) << text.toStdString();
        addresses << address;
    }
    EXPECT_EQ(boardAddresses(addresses, GetParam().port), GetParam().urls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoardAddresses,
    ::testing::Values(
        AddressCase{"OneOfTheOffice", {"192.168.1.20"}, 8080, {"http://192.168.1.20:8080/"}},
        AddressCase{"TheGivenPort", {"10.1.2.3"}, 65535, {"http://10.1.2.3:65535/"}},
        AddressCase{"NoneAtAll", {}, 9000, {"http://localhost:9000/"}},
        AddressCase{"OnlyLoopback", {"127.0.0.1", "127.0.1.1", "::1"}, 8080, {"http://localhost:8080/"}},
        AddressCase{"OnlyLinkLocal", {"169.254.10.2", "fe80::1ff:fe23:4567:890a%eth0"}, 8081,
                    {"http://localhost:8081/"}},
        AddressCase{"NoneForOneMachine",
                    {"0.0.0.0", "::", "224.0.0.251", "ff02::1", "255.255.255.255"},
                    8080,
                    {"http://localhost:8080/"}},
        AddressCase{"IPv4FirstEachInNumericOrderOnce",
                    {"2001:db8::10", "192.168.1.10", "fe80::2", "10.0.0.10", "192.168.1.9", "127.0.0.1",
                     "2001:db8::9", "192.168.1.9", "2001:db8::9"},
                    8080,
                    {"http://10.0.0.10:8080/", "http://192.168.1.9:8080/", "http://192.168.1.10:8080/",
                     "http://[2001:db8::9]:8080/", "http://[2001:db8::10]:8080/"}},
        AddressCase{"IPv4WrappedInIPv6",
                    {"::ffff:192.168.0.7", "192.168.0.7"},
                    8080,
                    {"http://192.168.0.7:8080/"}},
        AddressCase{"UniqueLocalIPv6", {"fd12:3456:789a::1"}, 8080, {"http://[fd12:3456:789a::1]:8080/"}},
        AddressCase{"ZoneOfAGlobalIPv6", {"2001:db8::1%eth0"}, 8080, {"http://[2001:db8::1]:8080/"}}),
    [](const auto &info) { return std::string(info.param.name); });

// Whatever the machine has: only its own addresses, and none that stays on it.
TEST(BoardAddressesOfTheMachine, AreItsOwnWithoutLoopback)
{
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress &address : machineAddresses()) {
        EXPECT_TRUE(all.contains(address)) << address.toString().toStdString();
        EXPECT_FALSE(address.isLoopback()) << address.toString().toStdString();
    }
}

} // namespace
