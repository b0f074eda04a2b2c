// The real program on an X server whose monitors are plugged, unplugged and turned while it
// runs: the board belongs full-screen on the last monitor, whatever that monitor does.

#include "tests/TestSupport.h"
#include "tests/app/MonitorServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QRect kOperatorMonitor(0, 0, 1920, 1080);
const QRect kTvUpright(1920, 0, 1080, 1920);
const QRect kTvLying(1920, 0, 1920, 1080);

// Patience for the program to react to a change of monitors; a board that does not react in
// this time is taken as not following.
const int kReactionMs = 10000;

// The first-run values of the guarded group with the board switched on; the program reads
// the group only when all of it is there.
const QByteArray kSettingsWithTheBoardOn = "[General]\n"
                                           "Left=324\n"
                                           "Top=106\n"
                                           "FileName=Title.jpg\n"
                                           "TitleMode=0\n"
                                           "TV=1\n"
                                           "ProTop=20\n"
                                           "ProBot=10\n"
                                           "ProTit=10\n"
                                           "ProTitL=30\n"
                                           "ProName=35\n"
                                           "ProTit2=10\n"
                                           "RsSpeed=5\n";

struct ShownWindow
{
    QString id;
    QRect bounds;
};

QString describe(const QList<ShownWindow> &windows)
{
    QStringList parts;
    for (const ShownWindow &window : windows)
        parts.append(QStringLiteral("%1 %2x%3+%4+%5")
                         .arg(window.id)
                         .arg(window.bounds.width())
                         .arg(window.bounds.height())
                         .arg(window.bounds.x())
                         .arg(window.bounds.y()));
    return parts.isEmpty() ? QStringLiteral("no window shown") : parts.join(QStringLiteral(", "));
}

// Where the picture has anything on the area but the black ground of the board (and of the
// empty screen).
QRect drawnPart(const QImage &picture, const QRect &area)
{
    QRect drawn;
    const QRect inside = area & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); y += 2)
        for (int x = inside.left(); x <= inside.right(); x += 2)
            if (qGray(picture.pixel(x, y)) > 40)
                drawn |= QRect(x, y, 1, 1);
    return drawn;
}

class MonitorEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // One X server serves every screen list alike; once is enough.
        if (testsupport::screenSet() != QStringLiteral("one"))
            GTEST_SKIP() << "runs with the screen list \"one\" only";
        server = std::make_unique<MonitorServer>();
        if (!server->available())
            GTEST_SKIP() << "no X server with changeable monitors here: " << server->whyNot().toStdString();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QFileInfo(QStringLiteral(CORVANE_BINARY)).isExecutable()) << CORVANE_BINARY;
    }

    void TearDown() override
    {
        if (!program)
            return;
        program->terminate();
        if (!program->waitForFinished(30000)) {
            program->kill();
            program->waitForFinished(10000);
        }
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), server->display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        // The X keyboard library hands strndup() a name that is not terminated within its
        // buffer, which is allowed, but the sanitizer's strict string checks take it for an
        // overflow in the library before the program's own code runs.
        QString sanitizer = env.value(QStringLiteral("ASAN_OPTIONS"));
        if (!sanitizer.isEmpty())
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       sanitizer.replace(QStringLiteral("strict_string_checks=1"), QStringLiteral("strict_string_checks=0")));
        return env;
    }

    // Starts the program with the board switched on in its settings and waits until the
    // board covers the monitor; false, with the reason among the failures, when it does not.
    bool startWithTheBoardOn(const QRect &tvMonitor)
    {
        testsupport::writeBytes(home.filePath(QStringLiteral("config/Marrowgate/corvane.conf")), kSettingsWithTheBoardOn);
        program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment());
        program->setProcessChannelMode(QProcess::MergedChannels);
        program->start(QStringLiteral(CORVANE_BINARY), {});
        if (!program->waitForStarted(30000)) {
            ADD_FAILURE() << program->errorString().toStdString();
            return false;
        }
        if (!waitForBoardCovering(tvMonitor, 60000)) {
            ADD_FAILURE() << "the board never covered the TV at start; shown: " << describe(shownWindows()).toStdString()
                          << "\n" << program->readAll().right(3000).toStdString();
            return false;
        }
        return true;
    }

    // The program's windows that are shown (mapped and viewable), with where they lie.
    QList<ShownWindow> shownWindows() const
    {
        const QStringList ids = server->run(QStringLiteral("xdotool"),
                                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--pid"), QString::number(program->processId())})
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QList<ShownWindow> windows;
        for (const QString &id : ids)
            windows.append({id, geometryOf(id)});
        return windows;
    }

    QRect geometryOf(const QString &window) const
    {
        const QString shell = server->run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                                     QStringLiteral("--shell"), window});
        static const QRegularExpression field(QStringLiteral(R"(^(X|Y|WIDTH|HEIGHT)=(-?\d+)$)"),
                                              QRegularExpression::MultilineOption);
        QMap<QString, int> values;
        for (auto match = field.globalMatch(shell); match.hasNext();) {
            const QRegularExpressionMatch next = match.next();
            values.insert(next.captured(1), next.captured(2).toInt());
        }
        return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                     values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
    }

    // The shown window that lies exactly on the area; empty when there is none.
    QString windowCovering(const QRect &area) const
    {
        for (const ShownWindow &window : shownWindows())
            if (window.bounds == area)
                return window.id;
        return {};
    }

    // What the server shows drawn on the monitor; empty when no picture could be taken.
    QRect drawnOn(const QRect &monitor) const
    {
        const QString file = home.filePath(QStringLiteral("screen.png"));
        return server->screenshot(file) ? drawnPart(QImage(file), monitor) : QRect();
    }

    // Whether the board is drawn across its whole shape on the monitor, not in a corner of
    // it: the board is the monitor's shape turned upright, as high as the monitor, so on a
    // lying TV it is that much narrower. What it shows reaches across that width and most
    // of the way down. On failure, says where it is drawn.
    ::testing::AssertionResult waitForBoardDrawnAcross(const QRect &monitor) const
    {
        const int boardWidth = int(qint64(monitor.height()) * std::min(monitor.width(), monitor.height())
                                   / std::max(monitor.width(), monitor.height()));
        QRect drawn;
        const bool across = testsupport::waitUntil(
            [&] {
                drawn = drawnOn(monitor);
                return drawn.width() >= boardWidth * 9 / 10 && drawn.height() >= monitor.height() * 3 / 4;
            },
            kReactionMs);
        if (across)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "drawn only on " << describe({{QStringLiteral("part"), drawn}}).toStdString();
    }

    bool waitForBoardCovering(const QRect &area, int timeoutMs = kReactionMs) const
    {
        return testsupport::waitUntil([&] { return !windowCovering(area).isEmpty(); }, timeoutMs);
    }

    // Whether any shown window of the program takes up a whole monitor or the area.
    bool showsABoardOn(const QRect &area) const
    {
        QList<QRect> places = server->monitors();
        places.append(area);
        for (const ShownWindow &window : shownWindows())
            if (places.contains(window.bounds))
                return true;
        return false;
    }

    std::unique_ptr<MonitorServer> server;
    QTemporaryDir home;
    std::unique_ptr<QProcess> program;
};

TEST_F(MonitorEndToEnd, BoardFillsTheSecondMonitorAtStart)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_EQ(server->monitors(), (QList<QRect>{kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheBoardOn(kTvUpright));

    // And it is painted there, not just placed.
    EXPECT_TRUE(waitForBoardDrawnAcross(kTvUpright));
}

// A TV unplugged takes the board with it; plugged in again, lying, it gets the board back.
TEST_F(MonitorEndToEnd, BoardLeavesWithTheUnpluggedTvAndComesBackWithIt)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheBoardOn(kTvUpright));

    const QString tv = server->monitorNames().last();
    ASSERT_TRUE(server->removeMonitor(tv));
    ASSERT_EQ(server->monitors(), QList<QRect>{kOperatorMonitor});
    EXPECT_TRUE(testsupport::waitUntil([&] { return !showsABoardOn(kTvUpright); }, kReactionMs))
        << "the board stays shown: " << describe(shownWindows()).toStdString();

    ASSERT_EQ(server->addMonitor(kTvLying), tv) << "plugged into the same socket";
    EXPECT_TRUE(waitForBoardCovering(kTvLying)) << "shown: " << describe(shownWindows()).toStdString();
    EXPECT_TRUE(waitForBoardDrawnAcross(kTvLying));
}

// A TV turned while the board shows on it: the board follows each turn without a restart.
TEST_F(MonitorEndToEnd, BoardFollowsTheTvTurnedWhileItShows)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheBoardOn(kTvUpright));
    const QString tv = server->monitorNames().last();

    for (const QRect &turned : {kTvLying, kTvUpright}) {
        ASSERT_TRUE(server->resizeMonitor(tv, turned));
        ASSERT_EQ(server->monitors(), (QList<QRect>{kOperatorMonitor, turned}));
        EXPECT_TRUE(waitForBoardCovering(turned)) << "shown: " << describe(shownWindows()).toStdString();
        EXPECT_TRUE(waitForBoardDrawnAcross(turned));
    }
}

// A TV whose link flickers: ten times off and on within two seconds, the board ends on it,
// one board and the operator window, nothing left behind.
TEST_F(MonitorEndToEnd, BoardEndsOnAFlickeringTv)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheBoardOn(kTvUpright));
    const QString tv = server->monitorNames().last();

    for (int flicker = 0; flicker < 10; ++flicker) {
        ASSERT_TRUE(server->removeMonitor(tv));
        ASSERT_EQ(server->addMonitor(kTvUpright), tv);
    }

    EXPECT_TRUE(waitForBoardCovering(kTvUpright)) << "shown: " << describe(shownWindows()).toStdString();
    EXPECT_TRUE(waitForBoardDrawnAcross(kTvUpright));
    EXPECT_EQ(shownWindows().size(), 2) << describe(shownWindows()).toStdString();
    EXPECT_EQ(program->state(), QProcess::Running);
}

} // namespace
