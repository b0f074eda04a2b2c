// The web board's rules without a window: what the operator's switch and port ask of the
// server, and what the group shows of the server's reports.

#include "tests/TestSupport.h"

#include "app/WebBoardLine.h"
#include "platform/ProgramSettings.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

const QList<QHostAddress> kOfficeAddresses = {QHostAddress(QStringLiteral("192.168.1.20")),
                                              QHostAddress(QStringLiteral("127.0.0.1")),
                                              QHostAddress(QStringLiteral("10.0.0.5"))};

class WebBoardLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        QObject::connect(&line, &::WebBoardLine::startRequested, &line,
                         [this](quint16 port) { requests << QStringLiteral("start %1").arg(port); });
        QObject::connect(&line, &::WebBoardLine::stopRequested, &line, [this] { requests << QStringLiteral("stop"); });
    }

    // Switched on and listening on the port the settings hold.
    void listen()
    {
        line.startUp();
        line.switchOn(true);
        line.serverListening(quint16(programSettings().webBoardPort()));
        requests.clear();
    }

    void expectStoppedLook() const
    {
        EXPECT_EQ(line.statusText(), "Выключено");
        EXPECT_FALSE(line.statusIsError());
        EXPECT_FALSE(line.addressesVisible());
        EXPECT_TRUE(line.addressLines().isEmpty());
        EXPECT_TRUE(line.qrText().isEmpty());
    }

    testsupport::SettingsSandbox sandbox;
    ::WebBoardLine line{[] { return kOfficeAddresses; }};
    QStringList requests;
};

TEST_F(WebBoardLine, AFirstRunIsSwitchedOffOnTheUsualPort)
{
    line.startUp();
    EXPECT_FALSE(line.switchedOn());
    EXPECT_EQ(line.port(), 8080);
    expectStoppedLook();
    EXPECT_TRUE(requests.isEmpty());
}

// Start-up reads the stored values first: only once they are all in does the server start,
// and only once, whichever of the two came first.
TEST_F(WebBoardLine, AStoredSwitchStartsTheServerOnceAtStartUp)
{
    QSignalSpy switched(&line, &::WebBoardLine::switchedOnChanged);
    QSignalSpy ported(&line, &::WebBoardLine::portChanged);
    programSettings().setWebBoardOn(true);
    programSettings().setWebBoardPort(8181);
    EXPECT_TRUE(requests.isEmpty()) << "the stored values are only being read";
    EXPECT_EQ(switched.count(), 1);
    ASSERT_EQ(ported.count(), 1);
    EXPECT_EQ(ported.first().first().toInt(), 8181);

    line.startUp();
    line.startUp();
    EXPECT_EQ(requests, QStringList({"start 8181"}));
    EXPECT_TRUE(line.statusText().isEmpty()) << "neither stopped nor listening yet";
    EXPECT_FALSE(line.addressesVisible());
}

TEST_F(WebBoardLine, TheSwitchStartsAndStopsTheServerAndIsKept)
{
    line.startUp();
    line.switchOn(true);
    EXPECT_TRUE(programSettings().webBoardOn());
    line.switchOn(true);
    EXPECT_EQ(requests, QStringList({"start 8080"})) << "switching on what is on asks nothing";

    line.switchOn(false);
    EXPECT_FALSE(programSettings().webBoardOn());
    EXPECT_EQ(requests, QStringList({"start 8080", "stop"}));
    expectStoppedLook();
}

TEST_F(WebBoardLine, ListeningShowsTheReachableAddressesAndTheFirstAsQrCode)
{
    line.startUp();
    line.switchOn(true);
    QSignalSpy lines(&line, &::WebBoardLine::addressLinesChanged);
    QSignalSpy qr(&line, &::WebBoardLine::qrTextChanged);
    QSignalSpy status(&line, &::WebBoardLine::statusChanged);
    QSignalSpy visible(&line, &::WebBoardLine::addressesVisibleChanged);
    line.serverListening(8080);

    const QStringList expected = {"http://10.0.0.5:8080/", "http://192.168.1.20:8080/"};
    EXPECT_EQ(line.addressLines(), expected);
    EXPECT_EQ(line.qrText(), "http://10.0.0.5:8080/");
    EXPECT_EQ(line.statusText(), "Работает");
    EXPECT_FALSE(line.statusIsError());
    EXPECT_TRUE(line.addressesVisible());
    ASSERT_EQ(lines.count(), 1);
    EXPECT_EQ(lines.first().first().toStringList(), expected);
    ASSERT_EQ(qr.count(), 1);
    EXPECT_EQ(qr.first().first().toString(), "http://10.0.0.5:8080/");
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.first(), QList<QVariant>({QStringLiteral("Работает"), false}));
    ASSERT_EQ(visible.count(), 1);
    EXPECT_TRUE(visible.first().first().toBool());

    line.serverStopped();
    expectStoppedLook();
    EXPECT_EQ(visible.count(), 2);
}

TEST_F(WebBoardLine, AFailureIsShownAsAnErrorInsteadOfTheAddresses)
{
    listen();
    QSignalSpy status(&line, &::WebBoardLine::statusChanged);
    line.serverFailed(QStringLiteral("Порт 8080 занят"));
    EXPECT_EQ(line.statusText(), "Порт 8080 занят");
    EXPECT_TRUE(line.statusIsError());
    EXPECT_FALSE(line.addressesVisible());
    EXPECT_TRUE(line.qrText().isEmpty());
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.first(), QList<QVariant>({QStringLiteral("Порт 8080 занят"), true}));
    EXPECT_TRUE(programSettings().webBoardOn()) << "the operator's choice stays";

    // The server's stop after its failure does not hide why.
    line.serverStopped();
    EXPECT_EQ(line.statusText(), "Порт 8080 занят");

    line.switchOn(false);
    expectStoppedLook();
}

// A new port while on is a restart; while off it is only kept for the next start.
TEST_F(WebBoardLine, ANewPortRestartsARunningServer)
{
    listen();
    line.choosePort(9090);
    EXPECT_EQ(requests, QStringList({"stop", "start 9090"}));
    EXPECT_EQ(programSettings().webBoardPort(), 9090);
    EXPECT_FALSE(line.addressesVisible()) << "the old port's addresses are gone";

    line.switchOn(false);
    requests.clear();
    line.choosePort(9191);
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_EQ(programSettings().webBoardPort(), 9191);
    line.switchOn(true);
    EXPECT_EQ(requests, QStringList({"start 9191"}));
}

TEST_F(WebBoardLine, NoPortIsNoRequest)
{
    listen();
    for (int port : {0, -1, 65536, 8080})
        line.choosePort(port);
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_EQ(programSettings().webBoardPort(), 8080);
    EXPECT_TRUE(line.addressesVisible());
}

// A server that reports at once, as a real one in the same thread does: the stop of the old
// port comes while the new start is on its way and must not end it.
TEST_F(WebBoardLine, ARestartWithAServerThatReportsAtOnceEndsListening)
{
    QObject::connect(&line, &::WebBoardLine::stopRequested, &line, [this] { line.serverStopped(); });
    QObject::connect(&line, &::WebBoardLine::startRequested, &line,
                     [this](quint16 port) { line.serverListening(port); });
    listen();
    line.choosePort(8443);
    EXPECT_EQ(line.statusText(), "Работает");
    EXPECT_EQ(line.addressLines(), QStringList({"http://10.0.0.5:8443/", "http://192.168.1.20:8443/"}));
}

// A report that arrives after the operator switched off is about a server on its way down.
TEST_F(WebBoardLine, ReportsAfterSwitchingOffChangeNothing)
{
    line.startUp();
    line.switchOn(true);
    line.switchOn(false);
    line.serverListening(8080);
    expectStoppedLook();
    line.serverFailed(QStringLiteral("Порт 8080 занят"));
    expectStoppedLook();
}

} // namespace
