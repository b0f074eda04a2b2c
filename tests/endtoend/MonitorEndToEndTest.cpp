// The real program on an X server whose monitors are plugged, unplugged and turned while it
// runs: the board belongs full-screen on the last monitor, whatever that monitor does.

#include "tests/TestSupport.h"
#include "tests/endtoend/HeadlessBrowser.h"
#include "tests/endtoend/MonitorServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
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
        testsupport::setProgramSanitizerOptions(env);
        return env;
    }

    // Starts the program with the board switched on in its settings and waits until the
    // board covers the monitor; false, with the reason among the failures, when it does not.
    bool startWithTheBoardOn(const QRect &tvMonitor, const QByteArray &moreSettings = {})
    {
        testsupport::writeBytes(home.filePath(QStringLiteral("config/Marrowgate/corvane.conf")),
                                kSettingsWithTheBoardOn + moreSettings);
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

    // The monitor's picture as the server shows it.
    QImage monitorPicture(const QRect &monitor) const
    {
        const QString file = home.filePath(QStringLiteral("screen.png"));
        return server->screenshot(file) ? QImage(file).copy(monitor).convertToFormat(QImage::Format_RGB32) : QImage();
    }

    // What the server shows drawn on the monitor; empty when no picture could be taken.
    QRect drawnOn(const QRect &monitor) const
    {
        const QImage picture = monitorPicture(monitor);
        return picture.isNull() ? QRect() : drawnPart(picture, picture.rect()).translated(monitor.topLeft());
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

namespace {

// A port nobody uses at the moment, below the system's range of ephemeral ports: a port the
// system hands out could be taken as the source of some other connection (the tests running
// beside this one open hundreds) before the program listens on it.
quint16 freePort()
{
    int firstEphemeral = 32768;
    const QList<QByteArray> range = testsupport::readBytes(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range")).simplified().split(' ');
    if (!range.isEmpty() && range.first().toInt() > 2048)
        firstEphemeral = range.first().toInt();
    const int span = firstEphemeral - 1024;
    const int start = int(QCoreApplication::applicationPid() % span);
    for (int i = 0; i < span; ++i) {
        const auto port = quint16(1024 + (start + i * 7919) % span);
        QTcpServer probe;
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
    return 0;
}

// The picture's drawn part: where the board lies on it.
QRect boardOn(const QImage &picture)
{
    return drawnPart(picture, picture.rect());
}

bool isLine(QRgb pixel)
{
    return qGray(pixel) > 150 && std::abs(qRed(pixel) - qBlue(pixel)) < 40 && std::abs(qRed(pixel) - qGreen(pixel)) < 40;
}

// The board's white separator lines: rows with a run of line pixels a fifth of the board's
// width long, columns with one a thirtieth of its height long (longer than any stroke of its
// texts); each line given once, by its first pixel.
struct Separators
{
    QList<int> rows;
    QList<int> columns;
};

int longestRun(const QImage &picture, QPoint from, QPoint step, int count)
{
    int longest = 0;
    int run = 0;
    for (QPoint at = from; count-- > 0; at += step) {
        run = isLine(picture.pixel(at)) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

Separators separatorsOf(const QImage &picture)
{
    const QRect board = boardOn(picture);
    Separators found;
    for (int y = board.top(); y <= board.bottom(); ++y) {
        const bool line = longestRun(picture, QPoint(board.left(), y), QPoint(1, 0), board.width()) >= board.width() / 5;
        if (line && (found.rows.isEmpty() || found.rows.last() != y - 1))
            found.rows.append(y);
    }
    for (int x = board.left(); x <= board.right(); ++x) {
        const bool line = longestRun(picture, QPoint(x, board.top()), QPoint(0, 1), board.height()) >= board.height() / 30;
        if (line && (found.columns.isEmpty() || found.columns.last() != x - 1))
            found.columns.append(x);
    }
    return found;
}

::testing::AssertionResult sameWithin(const QList<int> &page, const QList<int> &tv, int pixels)
{
    bool same = page.size() == tv.size();
    for (qsizetype i = 0; same && i < page.size(); ++i)
        same = std::abs(page.at(i) - tv.at(i)) <= pixels;
    if (same)
        return ::testing::AssertionSuccess();
    QStringList pageText;
    QStringList tvText;
    for (int at : page)
        pageText.append(QString::number(at));
    for (int at : tv)
        tvText.append(QString::number(at));
    return ::testing::AssertionFailure() << "page " << pageText.join(QLatin1Char(' ')).toStdString() << ", TV "
                                         << tvText.join(QLatin1Char(' ')).toStdString();
}

// Share of the pixels of two pictures of one size that differ by more than a little.
double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            differing += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 30;
        }
    return double(differing) / (qint64(a.width()) * a.height());
}

class WebBoardEndToEnd : public MonitorEndToEnd
{
protected:
    void SetUp() override
    {
        MonitorEndToEnd::SetUp();
        if (IsSkipped())
            return;
        browser = std::make_unique<HeadlessBrowser>();
        if (!browser->available())
            GTEST_SKIP() << "no headless browser here: " << browser->whyNot().toStdString();
        port = freePort();
        ASSERT_NE(port, 0);
    }

    // Starts the program with the TV board and the web board on, and waits for the web board.
    bool startWithTheWebBoardOn(const QRect &tvMonitor)
    {
        if (!startWithTheBoardOn(tvMonitor, QStringLiteral("WebBoard=1\nWebPort=%1\n").arg(port).toLatin1()))
            return false;
        return testsupport::waitUntil(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            },
            kReactionMs);
    }

    // The page's board state, once it shows a board.
    QString pageVersion() { return browser->evaluate(QStringLiteral("document.body.dataset.version || ''")).toString(); }

    bool openPage(QSize window)
    {
        return browser->open(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), window)
               && testsupport::waitUntil([&] { return !pageVersion().isEmpty(); }, kReactionMs);
    }

    // The page and the TV show the same board: its lines where the TV has them.
    void expectPageShowsTheTvBoard(const QRect &tvMonitor)
    {
        const QImage page = browser->screenshot();
        const QImage tv = monitorPicture(tvMonitor);
        ASSERT_EQ(page.size(), tvMonitor.size());
        ASSERT_EQ(tv.size(), tvMonitor.size());
        const Separators onPage = separatorsOf(page);
        const Separators onTv = separatorsOf(tv);
        // At least under the title and the heading and above the bottom band; the date cell's,
        // the name column's and the buy/sell lines.
        EXPECT_GE(onTv.rows.size(), 3) << "the TV board's bands";
        EXPECT_GE(onTv.columns.size(), 3) << "the TV board's columns";
        EXPECT_TRUE(sameWithin(onPage.rows, onTv.rows, 2));
        EXPECT_TRUE(sameWithin(onPage.columns, onTv.columns, 2));
        EXPECT_LT(differingShare(page, tv), 0.01);
    }

    std::unique_ptr<HeadlessBrowser> browser;
    quint16 port = 0;
};

// Where the first rate row's buy field lies on the operator's monitor, with the window where
// the settings put it.
const QPoint kFirstBuyField(730, 200);

TEST_F(WebBoardEndToEnd, PageShowsTheTvBoardAndWhatTheOperatorTypes)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheWebBoardOn(kTvUpright));
    ASSERT_TRUE(waitForBoardDrawnAcross(kTvUpright));
    ASSERT_TRUE(openPage(kTvUpright.size())) << browser->whyNot().toStdString();
    expectPageShowsTheTvBoard(kTvUpright);

    QString before = pageVersion();
    const QImage pageBefore = browser->screenshot();
    server->run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(kFirstBuyField.x()),
                                             QString::number(kFirstBuyField.y()), QStringLiteral("click"),
                                             QStringLiteral("1"), QStringLiteral("key"), QStringLiteral("ctrl+a"),
                                             QStringLiteral("type"), QStringLiteral("93,4")});
    ASSERT_TRUE(testsupport::waitUntil([&] { return pageVersion() != before; }, kReactionMs)) << "the page never changed";
    // One more keystroke: within a second of it the page shows the new state. The test gives
    // it more time only so as not to fail on a busy machine, and reports the time it took.
    before = pageVersion();
    QElapsedTimer typed;
    typed.start();
    server->run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("5")});
    ASSERT_TRUE(testsupport::waitUntil([&] { return pageVersion() != before; }, kReactionMs)) << "the page never changed";
    RecordProperty("keystroke_to_page_ms", int(typed.elapsed()));
    const QImage pageAfter = browser->screenshot();
    // A whole row comes up: code, name and both figures, not a digit of the clock.
    EXPECT_GT(differingShare(pageBefore, pageAfter), 0.005) << "the typed rate shows on the page";
    QNetworkAccessManager network;
    QNetworkReply *rates = network.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/rates.json").arg(port))));
    ASSERT_TRUE(testsupport::waitUntil([rates] { return rates->isFinished(); }));
    EXPECT_TRUE(rates->readAll().contains("\"buy\": \"93,45\"")) << "the feed has the typed rate too";
    delete rates;
    expectPageShowsTheTvBoard(kTvUpright);
}

// Where the running-text tab's controls lie on the operator's monitor, with the window where
// the settings put it.
const QPoint kRunTextTab(829, 161);
const QPoint kNewEntryField(740, 224);
const QPoint kAddEntryButton(882, 193);
const QPoint kFirstEntry(650, 250);

// The bottom tenth of a board as tall as the area: the band the running text runs in.
QRect bottomBand(const QRect &area)
{
    return QRect(area.left(), area.top() + area.height() * 9 / 10, area.width(), area.height() / 10);
}

TEST_F(WebBoardEndToEnd, PageRunsTheTextTheTvRuns)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheWebBoardOn(kTvUpright));
    ASSERT_TRUE(waitForBoardDrawnAcross(kTvUpright));
    const auto clickAt = [&](QPoint point, int times = 1) {
        server->run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(point.x()),
                                                 QString::number(point.y()), QStringLiteral("click"),
                                                 QStringLiteral("--repeat"), QString::number(times), QStringLiteral("1")});
    };
    clickAt(kRunTextTab);
    clickAt(kNewEntryField);
    // Typing takes the rest of the command line, so it goes on its own.
    server->run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("type"),
                                             QStringLiteral("Rates without commission")});
    clickAt(kAddEntryButton);
    clickAt(kFirstEntry, 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !drawnOn(bottomBand(kTvUpright)).isEmpty(); }, kReactionMs))
        << "the TV runs the text";

    ASSERT_TRUE(openPage(kTvUpright.size())) << browser->whyNot().toStdString();
    const QString stripShown = QStringLiteral(
        "(() => { const strip = document.getElementById('strip');"
        " return strip.naturalWidth > 0 && getComputedStyle(strip).visibility === 'visible'; })()");
    ASSERT_TRUE(testsupport::waitUntil([&] { return browser->evaluate(stripShown).toBool(); }, kReactionMs));
    const QRect band = bottomBand(QRect(QPoint(0, 0), kTvUpright.size()));
    const QImage first = browser->screenshot().copy(band);
    QImage later;
    // The text moves: a later picture of the band differs.
    EXPECT_TRUE(testsupport::waitUntil([&] {
        later = browser->screenshot().copy(band);
        return differingShare(first, later) > 0.001;
    }));
    EXPECT_FALSE(drawnPart(first, first.rect()).isEmpty()) << "the page shows the text in its bottom band";
}

TEST_F(WebBoardEndToEnd, LyingPageShowsTheLyingTvBoard)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvLying}));
    ASSERT_TRUE(startWithTheWebBoardOn(kTvLying));
    ASSERT_TRUE(waitForBoardDrawnAcross(kTvLying));
    ASSERT_TRUE(openPage(kTvLying.size())) << browser->whyNot().toStdString();
    expectPageShowsTheTvBoard(kTvLying);
}

TEST_F(WebBoardEndToEnd, ServerOnlyReads)
{
    ASSERT_TRUE(server->setMonitors({kOperatorMonitor, kTvUpright}));
    ASSERT_TRUE(startWithTheWebBoardOn(kTvUpright));
    QNetworkAccessManager network;
    QNetworkReply *reply = network.post(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port))), QByteArray("x"));
    ASSERT_TRUE(testsupport::waitUntil([reply] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 405) << reply->errorString().toStdString();
    delete reply;
}

} // namespace
