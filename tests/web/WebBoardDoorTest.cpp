// The web board's door: who may connect, how many connections one address may hold, how
// long a connection may take over a request or sit idle, and the answers given at the door.
// Clients come from loopback addresses of their own (127.0.0.2, 127.0.0.3) over real
// sockets; the connections' clock is the test's.

#include "tests/TestSupport.h"
#include "app/Form1.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "controls/RunLabel.h"
#include "web/AddressAllowList.h"
#include "web/ConnectionGuard.h"
#include "web/HttpHead.h"
#include "web/WebBoard.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const QHostAddress kFlooder(QStringLiteral("127.0.0.2"));
const QHostAddress kNeighbour(QStringLiteral("127.0.0.3"));

class WebBoardDoorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        windows.start();
        board = std::make_unique<WebBoard>(windows.tv->FrameCorvane1, windows.tv->FrameCorvane1->RunLabel,
                                           windows.form->content());
        board->start(0);
        ASSERT_TRUE(board->isListening());
        board->setClock([this] { return now; });
    }

    void TearDown() override
    {
        board.reset();
        windows.stop();
    }

    std::unique_ptr<QTcpSocket> connectFrom(const QHostAddress &from, const QByteArray &bytes = {})
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(from);
        socket->connectToHost(QHostAddress::LocalHost, board->port());
        if (!bytes.isEmpty())
            socket->write(bytes);
        return socket;
    }

    // Everything the server sends until it closes the connection.
    static QByteArray readUntilClosed(QTcpSocket &socket)
    {
        QByteArray wire;
        testsupport::waitUntil([&] {
            wire += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        });
        return wire + socket.readAll();
    }

    // Moves the test's clock on and lets the door look at its connections.
    void passMs(qint64 ms)
    {
        now += ms;
        board->connectionGuard()->closeOverdue();
        QCoreApplication::processEvents();
    }

    static void expectSecurityHeaders(const QByteArray &wire)
    {
        for (const auto &[name, value] : securityHeaders())
            EXPECT_TRUE(testsupport::hasHttpHeader(wire, name, value)) << name.toStdString() << " in " << wire.left(400).toStdString();
    }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
    std::unique_ptr<WebBoard> board;
    qint64 now = 1000;
};

const QByteArray kGetRates = "GET /rates.json HTTP/1.1\r\nHost: board\r\n\r\n";
const QByteArray kGetRatesAndClose = "GET /rates.json HTTP/1.1\r\nHost: board\r\nConnection: close\r\n\r\n";

TEST_F(WebBoardDoorTest, UnfinishedRequestsFromOneAddressLeaveTheOthersServed)
{
    std::vector<std::unique_ptr<QTcpSocket>> flood;
    for (int i = 0; i < 400; ++i)
        flood.push_back(connectFrom(kFlooder, "GET / HTTP/1.1\r\nHost: bo"));
    const auto closedCount = [&] {
        return std::count_if(flood.begin(), flood.end(),
                             [](const auto &socket) { return socket->state() == QAbstractSocket::UnconnectedState; });
    };
    ASSERT_TRUE(testsupport::waitUntil([&] { return closedCount() == 400 - ConnectionGuard::kMaxPerAddress; }, 20000))
        << closedCount();

    int served = 0;
    const int asked = 100;
    for (int i = 0; i < asked; ++i) {
        auto neighbour = connectFrom(kNeighbour, kGetRatesAndClose);
        served += readUntilClosed(*neighbour).startsWith("HTTP/1.1 200") ? 1 : 0;
    }
    EXPECT_GE(served, asked * 95 / 100);
    EXPECT_EQ(closedCount(), 400 - ConnectionGuard::kMaxPerAddress) << "the flood's admitted connections wait";

    auto oneMore = connectFrom(kFlooder, kGetRates);
    const QByteArray refusal = readUntilClosed(*oneMore);
    EXPECT_TRUE(refusal.startsWith("HTTP/1.1 503")) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains("Retry-After: "));
    expectSecurityHeaders(refusal);
}

// Many machines with unfinished requests, each within its own share: the door still keeps a
// bound on all request connections together, with its own answer; event streams count apart.
TEST_F(WebBoardDoorTest, AllRequestConnectionsTogetherAreBounded)
{
    const int perMachine = ConnectionGuard::kMaxPerAddress - 4;
    const int machines = (ConnectionGuard::kMaxRequestConnections + perMachine - 1) / perMachine;
    std::vector<std::unique_ptr<QTcpSocket>> waiting;
    for (int machine = 0; machine < machines; ++machine)
        for (int i = 0; i < perMachine && int(waiting.size()) < ConnectionGuard::kMaxRequestConnections; ++i)
            waiting.push_back(connectFrom(QHostAddress(QStringLiteral("127.0.2.%1").arg(machine + 1)), "GET / HTTP/1.1\r\n"));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return board->connectionCount() == ConnectionGuard::kMaxRequestConnections; }))
        << board->connectionCount();

    auto oneMore = connectFrom(kNeighbour, kGetRatesAndClose);
    const QByteArray refusal = readUntilClosed(*oneMore);
    EXPECT_TRUE(refusal.startsWith("HTTP/1.1 503")) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains("Too many connections; try again later."));
    EXPECT_TRUE(refusal.contains("Retry-After: "));
    expectSecurityHeaders(refusal);

    waiting.pop_back();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return board->connectionCount() == ConnectionGuard::kMaxRequestConnections - 1; }));
    auto welcome = connectFrom(kNeighbour, kGetRatesAndClose);
    EXPECT_TRUE(readUntilClosed(*welcome).startsWith("HTTP/1.1 200")) << "a freed place is taken";
}

TEST_F(WebBoardDoorTest, ConnectionsAreClosedOnTimeAndNotBefore)
{
    struct Case
    {
        const char *what;
        QByteArray sent;
        bool answered;
        qint64 limitMs;
    };
    const Case cases[] = {
        {"nothing sent", {}, false, ConnectionGuard::kHeadTimeoutMs},
        {"unfinished head", "GET / HTTP/1.1\r\nHost: bo", false, ConnectionGuard::kHeadTimeoutMs},
        {"idle after an answer", kGetRates, true, ConnectionGuard::kIdleTimeoutMs},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectFrom(kNeighbour, c.sent);
        QByteArray wire;
        ASSERT_TRUE(testsupport::waitUntil([&] {
            wire += client->readAll();
            return board->connectionCount() == 1 && (!c.answered || wire.trimmed().endsWith("}"));
        })) << wire.toStdString() << " on " << board->connectionCount() << " connections";
        passMs(c.limitMs - 1);
        EXPECT_EQ(client->state(), QAbstractSocket::ConnectedState);
        EXPECT_EQ(board->connectionCount(), 1);
        passMs(1);
        EXPECT_TRUE(testsupport::waitUntil([&] { return client->state() == QAbstractSocket::UnconnectedState; }));
        ASSERT_TRUE(testsupport::waitUntil([&] { return board->connectionCount() == 0; }));
    }

    // A head sent a byte at a time gets no more time than one sent at once.
    auto trickle = connectFrom(kNeighbour, "G");
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->connectionCount() == 1; }));
    for (const char byte : QByteArray("ET / HTTP/1.1\r\n")) {
        passMs(ConnectionGuard::kHeadTimeoutMs / 20);
        trickle->write(&byte, 1);
        trickle->flush();
    }
    passMs(ConnectionGuard::kHeadTimeoutMs);
    EXPECT_TRUE(testsupport::waitUntil([&] { return trickle->state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(WebBoardDoorTest, ConnectionClosesAfterTheAnswerWhenTheClientSaysSo)
{
    struct Case
    {
        const char *what;
        QByteArray sent;
        int answers;
        bool closes;
    };
    const Case cases[] = {
        {"HTTP/1.0", "GET /rates.json HTTP/1.0\r\n\r\n", 1, true},
        {"Connection: close", kGetRatesAndClose, 1, true},
        {"Connection: close among other options", "GET / HTTP/1.1\r\nHost: b\r\nConnection: TE, Close\r\n\r\n", 1, true},
        {"HTTP/1.1 keeps the connection", kGetRates, 1, false},
        {"the second of two requests closes", kGetRates + kGetRatesAndClose, 2, true},
        {"a request with a body, then one that closes",
         "POST / HTTP/1.1\r\nHost: b\r\nContent-Length: 5\r\n\r\nx=1\r\n" + kGetRatesAndClose, 2, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectFrom(kNeighbour, c.sent);
        QByteArray wire;
        ASSERT_TRUE(testsupport::waitUntil([&] {
            wire += client->readAll();
            return wire.count("HTTP/1.1 ") == c.answers && (wire.endsWith("}") || wire.endsWith("\n"));
        })) << wire.toStdString();
        if (c.closes) {
            EXPECT_TRUE(testsupport::waitUntil([&] { return client->state() == QAbstractSocket::UnconnectedState; }));
        } else {
            client->write(kGetRates);
            EXPECT_TRUE(testsupport::waitUntil([&] {
                wire += client->readAll();
                return wire.count("HTTP/1.1 200") == 2;
            })) << "the connection serves the next request";
        }
        client.reset();
        ASSERT_TRUE(testsupport::waitUntil([&] { return board->connectionCount() == 0; }));
    }
}

TEST_F(WebBoardDoorTest, OversizedHeadsAndUpgradesGetOneAnswerAndTheConnectionCloses)
{
    QByteArray manyHeaders = "GET / HTTP/1.1\r\nHost: b\r\n";
    for (int i = 0; i < 10000; ++i)
        manyHeaders += "X-" + QByteArray::number(i) + ": 1\r\n";
    struct Case
    {
        const char *what;
        QByteArray sent;
        int status;
    };
    const Case cases[] = {
        {"a 1 MB URL", "GET /" + QByteArray(1024 * 1024, 'a') + " HTTP/1.1\r\nHost: b\r\n\r\n", 414},
        {"a 100 kB header", "GET / HTTP/1.1\r\nHost: b\r\nX-Big: " + QByteArray(100 * 1024, 'a') + "\r\n\r\n", 431},
        {"10 000 headers", manyHeaders + "\r\n", 431},
        {"a WebSocket upgrade",
         "GET /events HTTP/1.1\r\nHost: b\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
         "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n",
         404},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectFrom(kNeighbour, c.sent);
        const QByteArray wire = readUntilClosed(*client);
        EXPECT_TRUE(wire.startsWith("HTTP/1.1 " + QByteArray::number(c.status) + ' ')) << wire.left(200).toStdString();
        EXPECT_EQ(wire.count("HTTP/1.1 "), 1) << wire.toStdString();
        EXPECT_TRUE(wire.contains("Connection: close\r\n"));
        expectSecurityHeaders(wire);
    }
    auto next = connectFrom(kNeighbour, kGetRatesAndClose);
    EXPECT_TRUE(readUntilClosed(*next).startsWith("HTTP/1.1 200"));
}

TEST_F(WebBoardDoorTest, OnlyTheAllowedAddressesAreAnswered)
{
    board->setAllowed(AddressAllowList(QStringLiteral("127.0.0.3/32, 192.168.0.0/16")));
    auto outsider = connectFrom(kFlooder, kGetRatesAndClose);
    const QByteArray refusal = readUntilClosed(*outsider);
    EXPECT_TRUE(refusal.startsWith("HTTP/1.1 403")) << refusal.toStdString();
    expectSecurityHeaders(refusal);
    auto allowed = connectFrom(kNeighbour, kGetRatesAndClose);
    const QByteArray allowedAnswer = readUntilClosed(*allowed);
    EXPECT_TRUE(allowedAnswer.startsWith("HTTP/1.1 200")) << allowedAnswer.toStdString();

    // A list set while the port is closed holds when it opens.
    board->stop();
    board->setAllowed(AddressAllowList(QStringLiteral("127.0.0.2")));
    board->start(0);
    auto nowAllowed = connectFrom(kFlooder, kGetRatesAndClose);
    EXPECT_TRUE(readUntilClosed(*nowAllowed).startsWith("HTTP/1.1 200"));
    auto nowRefused = connectFrom(kNeighbour, kGetRatesAndClose);
    EXPECT_TRUE(readUntilClosed(*nowRefused).startsWith("HTTP/1.1 403"));
}

TEST(AddressAllowList, DefaultIsLoopbackAndThePrivateNetworks)
{
    const AddressAllowList standard;
    const struct
    {
        const char *address;
        bool allowed;
    } cases[] = {
        {"127.0.0.1", true},    {"127.4.5.6", true},      {"::1", true},           {"10.20.30.40", true},
        {"172.16.0.1", true},   {"172.31.255.255", true}, {"172.32.0.1", false},   {"192.168.1.10", true},
        {"192.169.0.1", false}, {"169.254.3.4", true},    {"fd12::1", true},       {"fe80::1", true},
        {"fec0::1", false},     {"8.8.8.8", false},       {"2001:db8::1", false},  {"::ffff:192.168.0.5", true},
        {"::ffff:8.8.8.8", false}, {"11.0.0.1", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(standard.allows(QHostAddress(QString::fromLatin1(c.address))), c.allowed) << c.address;
    EXPECT_TRUE(standard.problems().isEmpty());
}

TEST(AddressAllowList, AListReplacesTheDefaultAndNamesWhatItCannotRead)
{
    const AddressAllowList list(QStringLiteral("192.168.5.0/24; 2001:db8::/32  203.0.113.7, nonsense,10.0.0.0/99"));
    EXPECT_TRUE(list.allows(QHostAddress(QStringLiteral("192.168.5.77"))));
    EXPECT_TRUE(list.allows(QHostAddress(QStringLiteral("2001:db8::5"))));
    EXPECT_TRUE(list.allows(QHostAddress(QStringLiteral("203.0.113.7"))));
    EXPECT_FALSE(list.allows(QHostAddress(QStringLiteral("203.0.113.8"))));
    EXPECT_FALSE(list.allows(QHostAddress(QStringLiteral("192.168.6.1"))));
    EXPECT_FALSE(list.allows(QHostAddress(QStringLiteral("127.0.0.1")))) << "the list replaces the default";
    EXPECT_EQ(list.problems(), QStringList({QStringLiteral("nonsense"), QStringLiteral("10.0.0.0/99")}));
    EXPECT_TRUE(AddressAllowList(QStringLiteral("  ")).allows(QHostAddress(QStringLiteral("10.1.1.1"))))
        << "an empty list is the default";
}

} // namespace
