// The screen stays awake while a window shows: the session is asked over a private D-Bus
// session bus, where a stand-in screen saver records what reaches it, and the X server's
// screen saver is suspended on an Xvfb of the test's own.

#include "tests/PrivateSessionBus.h"

#include "desktop/ScreenAwake.h"
#include "desktop/ScreenSaverInhibit.h"
#include "desktop/XScreenSaverSuspension.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <memory>

namespace {

using testsupport::PrivateSessionBus;
using testsupport::ScreenSaverCall;
using testsupport::StandInScreenSaver;

QStringList methods(const QList<ScreenSaverCall> &calls)
{
    QStringList names;
    for (const ScreenSaverCall &call : calls)
        names << call.method;
    return names;
}

class ScreenAwakeOnTheSessionBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.available()) << bus.whyNot().toStdString();
        QCoreApplication::setApplicationName(QStringLiteral("kassa2"));
    }
    void TearDown() override { QCoreApplication::setApplicationName(applicationName); }

    std::unique_ptr<StandInScreenSaver> offerScreenSaver()
    {
        auto screenSaver = std::make_unique<StandInScreenSaver>(bus);
        EXPECT_TRUE(screenSaver->registered());
        return screenSaver;
    }
    std::unique_ptr<ScreenAwake> awakeFor(QWidget &window)
    {
        auto awake = std::make_unique<ScreenAwake>(bus.connect(QStringLiteral("board-%1").arg(++clients)), nullptr);
        awake->follow(&window);
        return awake;
    }

    const QString applicationName = QCoreApplication::applicationName();
    PrivateSessionBus bus;
    int clients = 0;
    QWidget board;
};

TEST_F(ScreenAwakeOnTheSessionBus, InhibitsWhileTheBoardShowsAndGivesTheSameCookieBack)
{
    const auto screenSaver = offerScreenSaver();
    const auto awake = awakeFor(board);
    EXPECT_TRUE(screenSaver->calls().isEmpty()) << "hidden board, nothing asked";

    board.show();
    ASSERT_EQ(screenSaver->calls().size(), 1);
    const ScreenSaverCall inhibit = screenSaver->calls().at(0);
    EXPECT_EQ(inhibit.method, "Inhibit");
    EXPECT_EQ(inhibit.applicationName, "kassa2");
    EXPECT_FALSE(inhibit.reason.isEmpty());
    EXPECT_TRUE(awake->held() && awake->sessionInhibited());

    // Showing what shows already asks nothing more.
    board.show();
    awake->hold();
    EXPECT_EQ(screenSaver->calls().size(), 1);

    board.hide();
    ASSERT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit"}));
    EXPECT_EQ(screenSaver->calls().at(1).cookie, inhibit.cookie);
    EXPECT_FALSE(awake->held() || awake->sessionInhibited());
    board.hide();
    awake->release();
    EXPECT_EQ(screenSaver->calls().size(), 2);

    board.show();
    board.hide();
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit", "Inhibit", "UnInhibit"}));
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
}

// The end of the program, and a board window that goes away while it shows.
TEST_F(ScreenAwakeOnTheSessionBus, GivesBackAtItsEndAndWhenTheBoardIsDestroyed)
{
    const auto screenSaver = offerScreenSaver();
    board.show();
    auto awake = awakeFor(board);
    ASSERT_EQ(screenSaver->outstanding().size(), 1) << "a board that shows already is followed at once";
    awake.reset();
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit"}));

    auto tv = std::make_unique<QWidget>();
    tv->show();
    awake = awakeFor(*tv);
    ASSERT_EQ(screenSaver->outstanding().size(), 1);
    tv.reset();
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
    EXPECT_FALSE(awake->held());
}

// A program started with the session may come up before the desktop's screen saver does.
TEST_F(ScreenAwakeOnTheSessionBus, WithoutAScreenSaverOnTheBusNothingIsHeldUntilOneComes)
{
    const auto awake = awakeFor(board);
    board.show();
    EXPECT_TRUE(awake->held());
    EXPECT_FALSE(awake->sessionInhibited());
    board.hide();

    const auto screenSaver = offerScreenSaver();
    board.show();
    EXPECT_TRUE(awake->sessionInhibited());
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit"}));
}

TEST(ScreenSaverInhibit, WithoutASessionBusNothingIsHeld)
{
    ScreenSaverInhibit inhibit(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                             QStringLiteral("no-bus")),
                               QStringLiteral("corvane"));
    EXPECT_FALSE(inhibit.hold(QStringLiteral("test")));
    inhibit.release();
    EXPECT_FALSE(inhibit.held());
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

// An X server of the test's own; the extension can be left out, as some servers do.
class XvfbServer
{
public:
    explicit XvfbServer(const QStringList &arguments = {})
    {
        m_server.start(QStringLiteral("Xvfb"), QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")}
                                                   + arguments);
        if (!m_server.waitForStarted(10000))
            return;
        while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) {
        }
        const QByteArray number = m_server.readLine().trimmed();
        if (!number.isEmpty())
            m_connection = xcb_connect(":" + number, nullptr);
    }
    ~XvfbServer()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
        m_server.terminate();
        if (!m_server.waitForFinished(10000))
            m_server.kill();
        m_server.waitForFinished(10000);
    }
    xcb_connection_t *connection() const { return m_connection; }
    bool available() const { return m_connection && !xcb_connection_has_error(m_connection); }

private:
    QProcess m_server;
    xcb_connection_t *m_connection = nullptr;
};

TEST(XScreenSaverSuspension, SuspendsOnceAndResumesOnceOnAnXServer)
{
    XvfbServer server;
    ASSERT_TRUE(server.available());
    XScreenSaverSuspension suspension(server.connection());
    EXPECT_TRUE(suspension.available());
    // Taken for held only when the server accepted the request.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(suspension.hold());
        EXPECT_TRUE(suspension.hold());
        EXPECT_TRUE(suspension.held());
        suspension.release();
        EXPECT_FALSE(suspension.held());
    }
    EXPECT_EQ(xcb_connection_has_error(server.connection()), 0);
    // The extension still answers this client: nothing it sent broke the connection.
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(server.connection())).data;
    xcb_screensaver_query_info_reply_t *info = xcb_screensaver_query_info_reply(
        server.connection(), xcb_screensaver_query_info(server.connection(), screen->root), nullptr);
    EXPECT_NE(info, nullptr);
    std::free(info);
}

TEST(XScreenSaverSuspension, AServerWithoutTheExtensionOrNoServerIsLeftAlone)
{
    XvfbServer server({QStringLiteral("-extension"), QStringLiteral("MIT-SCREEN-SAVER")});
    ASSERT_TRUE(server.available());
    for (xcb_connection_t *connection : {server.connection(), static_cast<xcb_connection_t *>(nullptr)}) {
        XScreenSaverSuspension suspension(connection);
        EXPECT_FALSE(suspension.available());
        EXPECT_FALSE(suspension.hold());
        suspension.release();
    }
    EXPECT_EQ(xcb_connection_has_error(server.connection()), 0);
}

TEST(ScreenAwakeOnX, TheBoardSuspendsTheXScreenSaverWhileItShows)
{
    XvfbServer server;
    ASSERT_TRUE(server.available());
    QWidget board;
    ScreenAwake awake(QDBusConnection(QStringLiteral("none")), server.connection());
    awake.follow(&board);
    EXPECT_FALSE(awake.xSuspended());
    board.show();
    EXPECT_TRUE(awake.xSuspended());
    EXPECT_FALSE(awake.sessionInhibited());
    board.hide();
    EXPECT_FALSE(awake.xSuspended());
}

} // namespace
