// The screen stays awake while a window shows: the session is asked over a private D-Bus
// session bus, where a stand-in screen saver records what reaches it, and the X server's
// screen saver is suspended on an Xvfb of the test's own.

#include "tests/PrivateSessionBus.h"
#include "tests/TestSupport.h"

#include "desktop/ScreenAwake.h"
#include "desktop/ScreenSaverInhibit.h"
#include "desktop/XScreenSaverSuspension.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <memory>
#include <ostream>

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

// The session hears about the board only through the event loop now.
bool callsArrive(const StandInScreenSaver &screenSaver, int count)
{
    return testsupport::waitUntil([&] { return screenSaver.calls().size() >= count; });
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

// Calls from one connection reach the session in the order they were sent, so a request
// sent by mistake shows up in the sequence that follows.
TEST_F(ScreenAwakeOnTheSessionBus, InhibitsWhileTheBoardShowsAndGivesTheSameCookieBack)
{
    const auto screenSaver = offerScreenSaver();
    auto awake = awakeFor(board);
    EXPECT_TRUE(screenSaver->calls().isEmpty()) << "hidden board, nothing asked";

    board.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return awake->sessionInhibited(); }));
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
    EXPECT_FALSE(awake->held() || awake->sessionInhibited());
    ASSERT_TRUE(callsArrive(*screenSaver, 2));
    ASSERT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit"}));
    EXPECT_EQ(screenSaver->calls().at(1).cookie, inhibit.cookie);
    board.hide();
    awake->release();

    board.show();
    board.hide();
    ASSERT_TRUE(callsArrive(*screenSaver, 4));
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit", "Inhibit", "UnInhibit"}));
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
    awake.reset();
    EXPECT_EQ(screenSaver->calls().size(), 4) << "nothing held, nothing to give back at the end";
    EXPECT_TRUE(screenSaver->strayUnInhibits().isEmpty());
}

// The end of the program, and a board window that goes away while it shows.
TEST_F(ScreenAwakeOnTheSessionBus, GivesBackAtItsEndAndWhenTheBoardIsDestroyed)
{
    const auto screenSaver = offerScreenSaver();
    board.show();
    auto awake = awakeFor(board);
    ASSERT_TRUE(testsupport::waitUntil([&] { return awake->sessionInhibited(); }))
        << "a board that shows already is followed at once";
    ASSERT_EQ(screenSaver->outstanding().size(), 1);
    // The end waits until the session has the cookie back: no event loop runs after it.
    awake.reset();
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit", "UnInhibit"}));

    auto tv = std::make_unique<QWidget>();
    tv->show();
    awake = awakeFor(*tv);
    ASSERT_TRUE(testsupport::waitUntil([&] { return awake->sessionInhibited(); }));
    ASSERT_EQ(screenSaver->outstanding().size(), 1);
    tv.reset();
    EXPECT_FALSE(awake->held());
    EXPECT_TRUE(testsupport::waitUntil([&] { return screenSaver->outstanding().isEmpty(); }));
    EXPECT_TRUE(screenSaver->strayUnInhibits().isEmpty());
}

// A program started with the session may come up before the desktop's screen saver does.
TEST_F(ScreenAwakeOnTheSessionBus, WithoutAScreenSaverOnTheBusNothingIsHeldUntilOneComes)
{
    const auto awake = awakeFor(board);
    board.show();
    EXPECT_TRUE(awake->held());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !awake->sessionAsking(); })) << "the bus tells nobody is there";
    EXPECT_FALSE(awake->sessionInhibited());
    board.hide();

    const auto screenSaver = offerScreenSaver();
    board.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return awake->sessionInhibited(); }));
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit"}));
}

// A session service that is slow to answer (or hangs) must not hold the operator window's
// thread, where the customers' board runs: its timers tick on while the answer is awaited.
// The board hides before the answer comes, which takes longer than the end of the program
// would wait; the cookie that comes is still taken, and given back at once.
TEST_F(ScreenAwakeOnTheSessionBus, ASlowSessionHoldsNothingAndALateCookieIsGivenBack)
{
    const auto screenSaver = offerScreenSaver();
    screenSaver->holdBackAnswers();
    const auto awake = awakeFor(board);
    int ticks = 0;
    QTimer boardTimer;
    // Never early: two hundred ticks take two seconds at the least.
    boardTimer.setTimerType(Qt::PreciseTimer);
    boardTimer.setInterval(10);
    QObject::connect(&boardTimer, &QTimer::timeout, [&ticks] { ++ticks; });
    boardTimer.start();

    board.show();
    EXPECT_TRUE(awake->held());
    EXPECT_TRUE(awake->sessionAsking());
    ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver->answersHeldBack() == 1; }));
    const int ticksWhenAsked = ticks;
    ASSERT_TRUE(testsupport::waitUntil([&] { return ticks >= ticksWhenAsked + 200; }))
        << "the board's timer stood still while the session kept its answer";
    EXPECT_TRUE(awake->sessionAsking());
    EXPECT_FALSE(awake->sessionInhibited());

    board.hide();
    EXPECT_FALSE(awake->held());
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit"})) << "nothing granted yet, nothing to give back";
    screenSaver->answerHeldBack();
    ASSERT_TRUE(callsArrive(*screenSaver, 2));
    const QList<ScreenSaverCall> calls = screenSaver->calls();
    ASSERT_EQ(methods(calls), QStringList({"Inhibit", "UnInhibit"}));
    EXPECT_EQ(calls.at(1).cookie, calls.at(0).cookie);
    EXPECT_FALSE(awake->sessionAsking());
    EXPECT_FALSE(awake->sessionInhibited());
}

// Quick changes while answers are on their way: at the end exactly one request is held
// (the board shows), every other one is given back, and none is given back twice. An answer
// still on its way is never asked for again.
struct QuickChanges
{
    const char *name;
    bool slowSession;   // answers held back until all changes are done
    bool settleBetween; // the event loop runs between the changes
    int shows;          // show, hide, show, ... ending shown
    int inhibitsSent;
};

void PrintTo(const QuickChanges &changes, std::ostream *out)
{
    *out << changes.name;
}

class ScreenAwakeQuickChanges : public ScreenAwakeOnTheSessionBus, public ::testing::WithParamInterface<QuickChanges>
{
};

TEST_P(ScreenAwakeQuickChanges, LeaveExactlyOneRequestHeld)
{
    const QuickChanges changes = GetParam();
    const auto screenSaver = offerScreenSaver();
    if (changes.slowSession)
        screenSaver->holdBackAnswers();
    auto awake = awakeFor(board);
    const auto settle = [&] {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return !awake->sessionAsking() || screenSaver->answersHeldBack() > 0; }));
    };

    for (int show = 0; show < changes.shows; ++show) {
        if (show > 0) {
            board.hide();
            if (changes.settleBetween)
                settle();
        }
        board.show();
        awake->hold();
        if (changes.settleBetween)
            settle();
    }
    if (changes.slowSession) {
        ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver->answersHeldBack() > 0; }));
        EXPECT_FALSE(awake->sessionInhibited());
        screenSaver->answerHeldBack();
    }
    ASSERT_TRUE(testsupport::waitUntil([&] { return awake->sessionInhibited(); }));
    ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver->outstanding().size() == 1; }))
        << methods(screenSaver->calls()).join(' ').toStdString();
    EXPECT_EQ(methods(screenSaver->calls()).count(QStringLiteral("Inhibit")), changes.inhibitsSent);
    EXPECT_EQ(screenSaver->calls().constLast().method, "Inhibit") << "the one held is the last one granted";
    EXPECT_TRUE(screenSaver->strayUnInhibits().isEmpty());

    awake.reset();
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
    EXPECT_TRUE(screenSaver->strayUnInhibits().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    ShowHideShow, ScreenAwakeQuickChanges,
    ::testing::Values(QuickChanges{"AllAtOnce", false, false, 2, 1}, QuickChanges{"AllAtOnceSlowSession", true, false, 3, 1},
                      QuickChanges{"EachAnswered", false, true, 3, 3}, QuickChanges{"EachWhileTheSessionIsSlow", true, true, 3, 1}),
    [](const auto &info) { return std::string(info.param.name); });

// The end of the program while the session's answer is on its way: the end waits for it
// (briefly) and gives the cookie back before the process is gone, shown or hidden.
TEST_F(ScreenAwakeOnTheSessionBus, TheEndGivesBackACookieStillOnItsWay)
{
    const auto screenSaver = offerScreenSaver();
    screenSaver->holdBackAnswers();
    for (const bool hiddenFirst : {false, true}) {
        const qsizetype before = screenSaver->calls().size();
        auto awake = awakeFor(board);
        board.show();
        ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver->answersHeldBack() == 1; }));
        if (hiddenFirst)
            board.hide();
        screenSaver->answerHeldBack();
        // No event loop runs from here on, as at the program's end.
        awake.reset();
        const QList<ScreenSaverCall> calls = screenSaver->calls().mid(before);
        ASSERT_EQ(methods(calls), QStringList({"Inhibit", "UnInhibit"})) << "hidden first: " << hiddenFirst;
        EXPECT_EQ(calls.at(1).cookie, calls.at(0).cookie);
        board.hide();
    }
    EXPECT_TRUE(screenSaver->outstanding().isEmpty());
}

// A session that never answers holds the end no longer than its short wait; nothing was
// granted, so nothing is given back.
TEST_F(ScreenAwakeOnTheSessionBus, TheEndDoesNotWaitForASessionThatNeverAnswers)
{
    const auto screenSaver = offerScreenSaver();
    screenSaver->holdBackAnswers();
    auto awake = awakeFor(board);
    board.show();
    ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver->answersHeldBack() == 1; }));
    awake.reset();
    EXPECT_EQ(methods(screenSaver->calls()), QStringList({"Inhibit"}));
}

TEST(ScreenSaverInhibit, WithoutASessionBusNothingIsHeld)
{
    ScreenSaverInhibit inhibit(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                             QStringLiteral("no-bus")),
                               QStringLiteral("corvane"));
    EXPECT_FALSE(inhibit.hold(QStringLiteral("test")));
    EXPECT_FALSE(inhibit.pending());
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
