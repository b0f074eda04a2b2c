// The web board's server in the test program itself: routes, answers, the rates feed, the
// event stream and the bounds on clients, asked through Qt's own HTTP client and raw sockets.

#include "tests/TestSupport.h"
#include "app/Form1.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/BoardContent.h"
#include "content/RateTable.h"
#include "controls/RunLabel.h"
#include "controls/Label3D.h"
#include "app/Frame1corvane.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "web/BoardSnapshot.h"
#include "web/ConnectionGuard.h"
#include "web/EventStream.h"
#include "web/HttpHead.h"
#include "web/WebBoard.h"
#include "web/WebBoardServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <memory>

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
    QMap<QByteArray, QByteArray> headers; // names in lower case
};

class WebBoardServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        windows.start();
        board = std::make_unique<WebBoard>(windows.tv->FrameCorvane1, windows.tv->FrameCorvane1->RunLabel,
                                           windows.form->content());
        QObject::connect(board.get(), &WebBoard::failed, [this](const QString &message) { failure = message; });
        board->start(0);
        ASSERT_TRUE(board->isListening()) << failure.toStdString();
        base = QStringLiteral("http://127.0.0.1:%1").arg(board->port());
    }

    void TearDown() override
    {
        board.reset();
        windows.stop();
    }

    Answer ask(const QByteArray &method, const QString &path, const QList<QPair<QByteArray, QByteArray>> &headers = {})
    {
        QNetworkRequest request(QUrl(base + path));
        for (const auto &[name, value] : headers)
            request.setRawHeader(name, value);
        QNetworkReply *reply = method == "HEAD" ? network.head(request)
                                                : network.sendCustomRequest(request, method, method == "POST" ? QByteArray("x=1") : QByteArray());
        EXPECT_TRUE(testsupport::waitUntil([reply] { return reply->isFinished(); }));
        Answer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        for (const auto &[name, value] : reply->rawHeaderPairs())
            answer.headers.insert(name.toLower(), value);
        reply->deleteLater();
        return answer;
    }

    // Changes a rate row the way typing in an editor row does.
    void typeRow(int slot, const RateRow &row) { windows.form->content().setRateSlot(slot, row); }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
    std::unique_ptr<WebBoard> board;
    QNetworkAccessManager network;
    QString base;
    QString failure;
};

TEST_F(WebBoardServerTest, AnswersEveryPathAndMethodAsARestrictedReadOnlyServer)
{
    struct Case
    {
        QByteArray method;
        QString path;
        int status;
        QByteArray type; // start of the content type, when the answer has a body to show
    };
    const Case cases[] = {
        {"GET", "/", 200, "text/html"},
        {"GET", "/board.js", 200, "text/javascript"},
        {"GET", "/board.css", 200, "text/css"},
        {"GET", "/rates.json", 200, "application/json"},
        {"GET", "/board.json?w=1080&h=1920", 200, "application/json"},
        {"GET", "/board.png?w=300&h=400", 200, "image/png"},
        {"GET", "/ticker.png?w=300&h=400", 200, "image/png"},
        {"GET", "/board.json", 400, "text/plain"},
        {"GET", "/board.png?w=wide&h=400", 400, "text/plain"},
        {"GET", "/index.html", 404, "text/plain"},
        {"GET", "/../etc/passwd", 404, "text/plain"},
        {"GET", "/board.js/x", 404, "text/plain"},
        {"POST", "/", 405, "text/plain"},
        {"PUT", "/rates.json", 405, "text/plain"},
        {"DELETE", "/", 405, "text/plain"},
        {"PATCH", "/events", 405, "text/plain"},
        {"OPTIONS", "/", 405, "text/plain"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.method.toStdString() + " " + c.path.toStdString());
        const Answer answer = ask(c.method, c.path);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_TRUE(answer.headers.value("content-type").startsWith(c.type)) << answer.headers.value("content-type").toStdString();
        EXPECT_EQ(answer.headers.value("content-security-policy"), WebBoardServer::kContentSecurityPolicy);
        EXPECT_EQ(answer.headers.value("x-content-type-options"), "nosniff");
        if (c.status == 405) {
            EXPECT_EQ(answer.headers.value("allow"), "GET, HEAD");
        }
    }
}

TEST_F(WebBoardServerTest, PageLoadsNothingFromElsewhere)
{
    const QByteArray page = ask("GET", "/").body;
    ASSERT_TRUE(page.contains("<img id=\"board\""));
    EXPECT_FALSE(page.contains("http:")) << "no address outside the program";
    EXPECT_FALSE(page.contains("https:"));
    EXPECT_FALSE(page.contains("<script>")) << "no inline script, which the policy forbids";
    EXPECT_FALSE(page.contains("style=")) << "no inline style, which the policy forbids";
    const QByteArray script = ask("GET", "/board.js").body;
    EXPECT_TRUE(script.contains("new EventSource('/events')"));
    EXPECT_FALSE(script.contains("http"));
}

TEST_F(WebBoardServerTest, HeadGivesTheHeadersOfGetWithoutTheBody)
{
    const Answer get = ask("GET", "/rates.json");
    const Answer head = ask("HEAD", "/rates.json");
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.isEmpty());
    EXPECT_EQ(head.headers.value("content-length"), QByteArray::number(get.body.size()));
    EXPECT_EQ(head.headers.value("etag"), get.headers.value("etag"));

    // On the wire: the next answer on the connection follows the head's header block at once.
    QTcpSocket connection;
    connection.connectToHost(QHostAddress::LocalHost, board->port());
    connection.write("HEAD /rates.json HTTP/1.1\r\nHost: board\r\n\r\n"
                     "GET /rates.json HTTP/1.1\r\nHost: board\r\n\r\n");
    QByteArray wire;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        wire += connection.readAll();
        return wire.endsWith(get.body);
    })) << wire.toStdString();
    const qsizetype headEnd = wire.indexOf("\r\n\r\n");
    ASSERT_GT(headEnd, 0);
    EXPECT_TRUE(wire.mid(headEnd + 4).startsWith("HTTP/1.1 200")) << wire.toStdString();
}

TEST_F(WebBoardServerTest, RatesFeedListsTheShownRowsInBoardOrderAsTyped)
{
    RateSlots table;
    table[0] = {QStringLiteral("USD"), QStringLiteral("92.50"), QStringLiteral("93,10"), QStringLiteral("Доллар США")};
    table[1] = {QStringLiteral("-EUR"), QStringLiteral("99.00"), QStringLiteral("100.00"), QStringLiteral("Евро")};
    table[3] = {QStringLiteral("CNY"), QStringLiteral(" 12.7"), QStringLiteral("13"), QStringLiteral("Юань")};
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    windows.form->content().setRateSlots(table, RateOrigin::operatorTyped());

    const Answer answer = ask("GET", "/rates.json");
    ASSERT_EQ(answer.status, 200);
    const QJsonObject feed = QJsonDocument::fromJson(answer.body).object();
    const QJsonArray rates = feed.value(QStringLiteral("rates")).toArray();
    ASSERT_EQ(rates.size(), 2) << answer.body.toStdString();
    const QJsonObject usd = rates.at(0).toObject();
    EXPECT_EQ(usd.value(QStringLiteral("code")).toString(), QStringLiteral("USD"));
    EXPECT_EQ(usd.value(QStringLiteral("name")).toString(), QStringLiteral("Доллар США"));
    EXPECT_EQ(usd.value(QStringLiteral("buy")).toString(), QStringLiteral("92.50"));
    EXPECT_EQ(usd.value(QStringLiteral("sell")).toString(), QStringLiteral("93,10"));
    EXPECT_EQ(rates.at(1).toObject().value(QStringLiteral("code")).toString(), QStringLiteral("CNY"));
    EXPECT_EQ(rates.at(1).toObject().value(QStringLiteral("buy")).toString(), QStringLiteral(" 12.7"));

    const QString changed = feed.value(QStringLiteral("changed")).toString();
    const QDateTime when = QDateTime::fromString(changed, Qt::ISODate);
    ASSERT_TRUE(when.isValid()) << changed.toStdString();
    EXPECT_TRUE(changed.endsWith(QLatin1Char('Z')) || changed.contains(QRegularExpression(QStringLiteral("[+-]\\d\\d:\\d\\d$"))))
        << "the time carries its offset: " << changed.toStdString();
    EXPECT_GE(when, before);
    EXPECT_LE(when, QDateTime::currentDateTime());
}

TEST_F(WebBoardServerTest, RatesFeedHonoursItsEntityTag)
{
    const Answer first = ask("GET", "/rates.json");
    const QByteArray tag = first.headers.value("etag");
    ASSERT_TRUE(tag.startsWith('"') && tag.endsWith('"')) << tag.toStdString();

    for (const QByteArray &ifNoneMatch : {tag, QByteArray("\"other\", ") + tag, "W/" + tag, QByteArray("*")}) {
        const Answer again = ask("GET", "/rates.json", {{"If-None-Match", ifNoneMatch}});
        EXPECT_EQ(again.status, 304) << ifNoneMatch.toStdString();
        EXPECT_TRUE(again.body.isEmpty());
        EXPECT_EQ(again.headers.value("etag"), tag);
    }
    EXPECT_EQ(ask("GET", "/rates.json", {{"If-None-Match", "\"other\""}}).status, 200);

    typeRow(1, {QStringLiteral("GBP"), QStringLiteral("110"), QStringLiteral("112"), QStringLiteral("Фунт")});
    const Answer changed = ask("GET", "/rates.json", {{"If-None-Match", tag}});
    EXPECT_EQ(changed.status, 200);
    EXPECT_NE(changed.headers.value("etag"), tag);
    EXPECT_TRUE(changed.body.contains("GBP"));
}

// The page's picture of the board at a monitor's size is the TV board on that monitor.
TEST_F(WebBoardServerTest, BoardPictureAtTheMonitorSizeIsTheTvBoard)
{
    typeRow(2, {QStringLiteral("JPY"), QStringLiteral("0.61"), QStringLiteral("0.66"), QStringLiteral("Иена")});
    TFormMon2 *tv = windows.tv.get();
    tv->FormShow();
    tv->FormResize();
    const QImage expected = testsupport::renderWidget(tv);

    const QSize size = expected.size();
    const Answer layout = ask("GET", QStringLiteral("/board.json?w=%1&h=%2").arg(size.width()).arg(size.height()));
    const QJsonObject described = QJsonDocument::fromJson(layout.body).object();
    const Answer picture = ask("GET", described.value(QStringLiteral("image")).toString());
    ASSERT_EQ(picture.status, 200);
    const QImage shown = QImage::fromData(picture.body, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), size);
    EXPECT_EQ(shown, expected);

    const QJsonObject band = described.value(QStringLiteral("band")).toObject();
    const TLabel3D *bottom = tv->FrameCorvane1->LabelBot;
    EXPECT_EQ(QRect(band.value(QStringLiteral("x")).toInt(), band.value(QStringLiteral("y")).toInt(),
                    band.value(QStringLiteral("width")).toInt(), band.value(QStringLiteral("height")).toInt()),
              QRect(bottom->mapTo(tv, QPoint(0, 0)), bottom->size()));
}

// Pictures are drawn on the operator's thread: a page asking for size after size is told to
// come back, while sizes drawn already are still served.
TEST_F(WebBoardServerTest, FreshPicturesAreRationedPerSecond)
{
    qint64 now = 0;
    board->setClock([&now] { return now; });
    const auto askSize = [&](int width) { return ask("GET", QStringLiteral("/board.png?w=%1&h=700").arg(width)); };
    for (int width = 300; width < 300 + WebBoard::kFreshPicturesPerSecond; ++width)
        EXPECT_EQ(askSize(width).status, 200) << width;
    const Answer refused = askSize(900);
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(refused.headers.value("retry-after"), "1");
    EXPECT_EQ(askSize(300).status, 200) << "a kept picture is always served";

    now += 999;
    EXPECT_EQ(askSize(901).status, 503);
    now += 1;
    EXPECT_EQ(askSize(902).status, 200) << "a new second, new pictures";
}

// The running text's strip is drawn once per text and size and counts against the same
// ration as the board's pictures: every page is served from that one drawing.
TEST_F(WebBoardServerTest, TickerStripIsDrawnOncePerTextAndSize)
{
    qint64 now = 0;
    board->setClock([&now] { return now; });
    windows.tv->startTicker(QStringLiteral("Курс дня"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->tickerText() == QStringLiteral("Курс дня"); }));
    const Answer first = ask("GET", "/ticker.png?w=1080&h=1920");
    ASSERT_EQ(first.status, 200);
    for (int width = 300; width < 300 + WebBoard::kFreshPicturesPerSecond; ++width)
        ask("GET", QStringLiteral("/board.png?w=%1&h=700").arg(width));
    ASSERT_EQ(ask("GET", "/ticker.png?w=1000&h=1920").status, 503) << "a new size is a new drawing";
    for (int page = 0; page < 3; ++page) {
        const Answer again = ask("GET", "/ticker.png?w=1080&h=1920");
        EXPECT_EQ(again.status, 200);
        EXPECT_EQ(again.body, first.body);
    }
    windows.tv->startTicker(QStringLiteral("Новый курс"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->tickerText() == QStringLiteral("Новый курс"); }));
    EXPECT_EQ(ask("GET", "/ticker.png?w=1080&h=1920").status, 503) << "a new text is a new drawing";
    now += 1000;
    const Answer changed = ask("GET", "/ticker.png?w=1080&h=1920");
    EXPECT_EQ(changed.status, 200);
    EXPECT_NE(changed.body, first.body);
    windows.tv->stopTicker();
}

// A picture is packed off the window's thread; pages asking for it meanwhile wait for that
// one drawing, which counts once against the ration, and a HEAD or a closing request is
// answered as any other.
TEST_F(WebBoardServerTest, PagesAskingForOnePictureAtOnceShareOneDrawing)
{
    qint64 now = 0;
    board->setClock([&now] { return now; });
    QList<QNetworkReply *> replies;
    for (int page = 0; page < 4; ++page)
        replies.append(network.get(QNetworkRequest(QUrl(base + QStringLiteral("/board.png?w=640&h=480")))));
    QTcpSocket closing;
    closing.connectToHost(QHostAddress::LocalHost, board->port());
    closing.write("HEAD /board.png?w=640&h=480 HTTP/1.1\r\nHost: board\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return std::all_of(replies.begin(), replies.end(), [](QNetworkReply *reply) { return reply->isFinished(); })
               && closing.state() == QAbstractSocket::UnconnectedState;
    }));
    const QByteArray first = replies.first()->readAll();
    EXPECT_EQ(QImage::fromData(first, "PNG").size(), QSize(640, 480));
    for (QNetworkReply *reply : replies) {
        EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        EXPECT_EQ(reply == replies.first() ? first : reply->readAll(), first);
        reply->deleteLater();
    }
    const QByteArray head = closing.readAll();
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200")) << head.toStdString();
    EXPECT_TRUE(head.contains("Content-Length: " + QByteArray::number(first.size()) + "\r\n")) << head.toStdString();
    EXPECT_TRUE(head.endsWith("\r\n\r\n")) << "a head without its body";

    for (int width = 300; width < 300 + WebBoard::kFreshPicturesPerSecond - 1; ++width)
        EXPECT_EQ(ask("GET", QStringLiteral("/board.png?w=%1&h=700").arg(width)).status, 200) << width;
    EXPECT_EQ(ask("GET", "/board.png?w=999&h=700").status, 503) << "the shared drawing counted once";
}

// A picture asked for by the board state it shows never changes, so a browser may keep it;
// asked for without that state, or for a state gone by, it must be asked again.
TEST_F(WebBoardServerTest, PictureOfANamedStateIsKeptByTheBrowserAndOthersAreAskedAgain)
{
    const QJsonObject layout = QJsonDocument::fromJson(ask("GET", "/board.json?w=640&h=480").body).object();
    const QString image = layout.value(QStringLiteral("image")).toString();
    ASSERT_TRUE(image.contains(QStringLiteral("&v="))) << image.toStdString();
    const Answer named = ask("GET", image);
    ASSERT_EQ(named.status, 200);
    EXPECT_EQ(named.headers.value("cache-control"), "private, max-age=86400, immutable");

    const Answer unnamed = ask("GET", "/board.png?w=640&h=480");
    ASSERT_EQ(unnamed.status, 200);
    EXPECT_EQ(unnamed.headers.value("cache-control"), "no-cache");
    EXPECT_EQ(unnamed.body, named.body);

    typeRow(3, {QStringLiteral("GBP"), QStringLiteral("117"), QStringLiteral("121"), QStringLiteral("Фунт")});
    const Answer stale = ask("GET", image);
    ASSERT_EQ(stale.status, 200);
    EXPECT_EQ(stale.headers.value("cache-control"), "no-cache") << "the state it names is gone";
    EXPECT_NE(stale.body, named.body);
}

// The snapshot keeps pictures of a handful of sizes; past that it lets them go and makes
// them again, alike, when asked.
TEST_F(WebBoardServerTest, KeptPicturesAreBoundedAndMadeAgainAlike)
{
    BoardSnapshot snapshot(windows.tv->FrameCorvane1);
    const auto size = [](int i) { return QSize(300 + i, 400); };
    const QByteArray first = snapshot.picture(size(0)).png;
    for (int i = 1; i < int(BoardSnapshot::kKeptSizes); ++i)
        snapshot.picture(size(i));
    for (int i = 0; i < int(BoardSnapshot::kKeptSizes); ++i)
        EXPECT_TRUE(snapshot.isKept(size(i))) << i;

    snapshot.picture(size(int(BoardSnapshot::kKeptSizes)));
    EXPECT_TRUE(snapshot.isKept(size(int(BoardSnapshot::kKeptSizes))));
    EXPECT_FALSE(snapshot.isKept(size(0))) << "no more than the handful are held";
    EXPECT_EQ(snapshot.picture(size(0)).png, first);
}

TEST_F(WebBoardServerTest, BoardPictureIsBoundedInSize)
{
    const Answer huge = ask("GET", "/board.json?w=100000&h=3");
    const QJsonObject described = QJsonDocument::fromJson(huge.body).object();
    EXPECT_EQ(described.value(QStringLiteral("width")).toInt(), BoardSnapshot::kMaximumSize.width());
    EXPECT_EQ(described.value(QStringLiteral("height")).toInt(), BoardSnapshot::kMinimumSize.height());
}

// The answer's head and its body as the page reads it: a chunked body (Qt 6.8 sends
// streams that way) without its chunk framing.
QByteArray withoutChunkFraming(const QByteArray &raw)
{
    const qsizetype headEnd = raw.indexOf("\r\n\r\n");
    if (headEnd < 0 || !raw.left(headEnd).toLower().contains("transfer-encoding: chunked"))
        return raw;
    QByteArray result = raw.left(headEnd + 4);
    qsizetype at = headEnd + 4;
    while (at < raw.size()) {
        const qsizetype lineEnd = raw.indexOf("\r\n", at);
        if (lineEnd < 0)
            break;
        bool ok = false;
        const qsizetype size = raw.mid(at, lineEnd - at).toLongLong(&ok, 16);
        if (!ok || raw.size() < lineEnd + 2 + size)
            break;
        result += raw.mid(lineEnd + 2, size);
        at = lineEnd + 2 + size + 2;
    }
    return result;
}

// Reads an event stream over a raw socket, as a browser would.
class StreamReader
{
public:
    explicit StreamReader(quint16 port, bool read = true, const QHostAddress &from = QHostAddress::LocalHost)
    {
        // A page that does not read takes nothing off the connection.
        if (!read)
            socket.setReadBufferSize(1);
        socket.bind(from);
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write("GET /events HTTP/1.1\r\nHost: board\r\nAccept: text/event-stream\r\n\r\n");
        if (read)
            QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
                raw += socket.readAll();
                received = withoutChunkFraming(raw);
            });
    }
    int count(const QByteArray &event) const { return int(received.count("event: " + event + "\n")); }
    QTcpSocket socket;
    QByteArray raw;
    QByteArray received;
};

TEST_F(WebBoardServerTest, EventStreamGreetsAPageAndTellsItOfEachChange)
{
    StreamReader page(board->port());
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.count("board") == 1 && page.count("ticker") == 1; }))
        << page.received.toStdString();
    EXPECT_TRUE(page.received.startsWith("HTTP/1.1 200")) << page.received.toStdString();
    EXPECT_TRUE(page.received.contains("text/event-stream"));
    for (const auto &[name, value] : securityHeaders())
        EXPECT_TRUE(testsupport::hasHttpHeader(page.received, name, value)) << name.toStdString();

    typeRow(1, {QStringLiteral("CHF"), QStringLiteral("101"), QStringLiteral("103"), QStringLiteral("Франк")});
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.count("board") == 2; }, WebBoard::kFollowMs * 3));
    // A change on the board alone (the clock) reaches the page too, without any stored value.
    windows.tv->FrameCorvane1->LabelData->setCaption(QStringLiteral("11.12\r\n09:15"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return page.count("board") == 3; }, WebBoard::kFollowMs * 3));

    // The TV's ticker starts: the page hears of the run as it begins.
    windows.tv->startTicker(QStringLiteral("Добро пожаловать"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.count("ticker") >= 2; }));
    EXPECT_TRUE(page.received.contains("\"running\":true")) << page.received.toStdString();
    EXPECT_TRUE(page.received.contains("\"runMs\":"));

    // A page that comes back hears where things stand now.
    StreamReader returning(board->port());
    ASSERT_TRUE(testsupport::waitUntil([&] { return returning.count("ticker") >= 1; }));
    EXPECT_TRUE(returning.received.contains("\"running\":true")) << returning.received.toStdString();

    // Stopped on the TV, stopped on the page, though no signal tells of a stop.
    windows.tv->stopTicker();
    EXPECT_TRUE(testsupport::waitUntil([&] { return page.received.endsWith("\"running\":false}\n\n"); },
                                       WebBoard::kFollowMs * 3))
        << page.received.right(200).toStdString();
}

// A quiet stream still carries a comment line now and then, so that proxies keep it open and
// a dead page is found; a browser shows nothing of it. With no page left it stops.
TEST_F(WebBoardServerTest, AQuietStreamIsKeptAliveByCommentsUntilThePageGoes)
{
    board->eventStream().setKeepAliveInterval(50);
    auto page = std::make_unique<StreamReader>(board->port());
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->count("board") == 1; })) << page->received.toStdString();
    const int eventsBefore = int(page->received.count("event: "));
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->received.count(": still here\n\n") >= 2; }))
        << page->received.right(200).toStdString();
    EXPECT_EQ(int(page->received.count("event: ")), eventsBefore) << "a keep-alive line reached the page as an event";
    EXPECT_TRUE(board->eventStream().keepsAlive());

    page->socket.disconnectFromHost();
    page.reset();
    EXPECT_TRUE(testsupport::waitUntil([&] { return board->listenerCount() == 0 && !board->eventStream().keepsAlive(); }));
}

// The running text's strip: as high as the bottom band, as long as its text.
TEST_F(WebBoardServerTest, TickerStripIsTheRunningTextInTheBandsHeight)
{
    const QSize size(1080, 1920);
    const QString query = QStringLiteral("?w=%1&h=%2").arg(size.width()).arg(size.height());
    const QJsonObject band =
        QJsonDocument::fromJson(ask("GET", QStringLiteral("/board.json") + query).body).object().value(QStringLiteral("band")).toObject();
    const auto stripFor = [&](const QString &text) {
        windows.tv->startTicker(text);
        EXPECT_TRUE(testsupport::waitUntil([&] { return board->tickerText() == text; }));
        return QImage::fromData(ask("GET", QStringLiteral("/ticker.png") + query).body, "PNG");
    };
    const QImage shortStrip = stripFor(QStringLiteral("Курс"));
    const QImage longStrip = stripFor(QStringLiteral("Курс дня: доллар, евро, юань — без комиссии"));
    EXPECT_EQ(shortStrip.height(), band.value(QStringLiteral("height")).toInt());
    EXPECT_EQ(longStrip.height(), shortStrip.height());
    EXPECT_GT(shortStrip.width(), 0);
    EXPECT_GT(longStrip.width(), shortStrip.width() * 5);
    windows.tv->stopTicker();
}

TEST_F(WebBoardServerTest, SixtyFifthPageIsRefusedAndTheOthersGoOn)
{
    // Pages on many machines: one address may open only so many connections.
    const auto machine = [](int page) { return QHostAddress(QStringLiteral("127.0.1.%1").arg(1 + page / 8)); };
    std::vector<std::unique_ptr<StreamReader>> pages;
    for (int i = 0; i < EventStream::kMaxListeners; ++i)
        pages.push_back(std::make_unique<StreamReader>(board->port(), true, machine(i)));
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->listenerCount() == EventStream::kMaxListeners; }));

    StreamReader refused(board->port(), true, machine(EventStream::kMaxListeners));
    ASSERT_TRUE(testsupport::waitUntil([&] { return refused.received.startsWith("HTTP/1.1 503"); }))
        << refused.received.toStdString();
    EXPECT_TRUE(testsupport::hasHttpHeader(refused.received, "Content-Security-Policy", WebBoardServer::kContentSecurityPolicy));
    EXPECT_EQ(board->listenerCount(), EventStream::kMaxListeners);

    typeRow(1, {QStringLiteral("SEK"), QStringLiteral("8.5"), QStringLiteral("9.1"), QStringLiteral("Крона")});
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return std::all_of(pages.begin(), pages.end(), [](const auto &page) { return page->count("board") == 2; });
    }));
    EXPECT_EQ(ask("GET", "/rates.json").status, 200) << "other requests are still answered";

    pages.pop_back();
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->listenerCount() == EventStream::kMaxListeners - 1; }));
    StreamReader welcome(board->port(), true, machine(EventStream::kMaxListeners));
    EXPECT_TRUE(testsupport::waitUntil([&] { return welcome.count("board") == 1; })) << welcome.received.toStdString();
}

// A page on a connection that takes nothing off it: a plain socket with a small receive
// buffer that is never read.
class StalledPage
{
public:
    explicit StalledPage(quint16 port)
        : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        const int small = 4096;
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const QByteArray request = "GET /events HTTP/1.1\r\nHost: board\r\n\r\n";
        m_connected = ::connect(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                      && ::send(m_socket, request.constData(), size_t(request.size()), 0) == request.size();
    }
    ~StalledPage() { ::close(m_socket); }
    bool connected() const { return m_connected; }

private:
    int m_socket;
    bool m_connected = false;
};

// A page that stops reading is let go once its unread events pile up; the others go on.
TEST_F(WebBoardServerTest, StalledPageIsLetGoWithoutHoldingTheOthers)
{
    StalledPage stalled(board->port());
    ASSERT_TRUE(stalled.connected());
    StreamReader reading(board->port());
    ASSERT_TRUE(testsupport::waitUntil([&] { return board->listenerCount() == 2 && reading.count("board") == 1; }));

    // Events are small: it takes some megabytes of them to fill the connection's buffers.
    // They go in small bursts, each far below what a page may leave unread, so that the
    // page that reads keeps up between them however slow the build.
    int sent = 0;
    testsupport::waitUntil(
        [&] {
            for (int i = 0; i < 250 && board->listenerCount() == 2; ++i)
                board->tickerRunning(QStringLiteral("Курс дня %1").arg(++sent), 0, 1000);
            return board->listenerCount() == 1;
        },
        60000);
    EXPECT_EQ(board->listenerCount(), 1) << "after " << sent << " events";
    // Every event sent reaches the page that reads (and maybe a stop the board noticed on the
    // followed ticker meanwhile).
    EXPECT_TRUE(testsupport::waitUntil([&] { return reading.count("ticker") >= sent + 1; }))
        << reading.count("ticker") << " of " << sent + 1;
}

TEST_F(WebBoardServerTest, OversizedOrUnfinishedRequestsAreClosed)
{
    QTcpSocket oversized;
    oversized.connectToHost(QHostAddress::LocalHost, board->port());
    ASSERT_TRUE(oversized.waitForConnected(5000));
    oversized.write("GET / HTTP/1.1\r\nHost: board\r\nX-Padding: " + QByteArray(ConnectionGuard::kMaxRequestBytes, 'a'));
    EXPECT_TRUE(testsupport::waitUntil([&] { return oversized.state() == QAbstractSocket::UnconnectedState; }));

    EXPECT_EQ(ask("GET", "/").status, 200);
}

TEST_F(WebBoardServerTest, TakenPortIsToldAndTheProgramGoesOn)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    board->start(other.serverPort());
    EXPECT_FALSE(board->isListening());
    EXPECT_EQ(failure, QStringLiteral("Порт %1 занят другой программой").arg(other.serverPort()));

    board->start(0);
    EXPECT_TRUE(board->isListening());
    EXPECT_EQ(ask("GET", QString()).status, 0) << "the old address is gone";
}

TEST_F(WebBoardServerTest, StoppedServerAnswersNobody)
{
    StreamReader page(board->port());
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.count("board") == 1; }));
    const quint16 port = board->port();
    board->stop();
    EXPECT_FALSE(board->isListening());
    EXPECT_TRUE(testsupport::waitUntil([&] { return page.socket.state() == QAbstractSocket::UnconnectedState; }));
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(late.waitForConnected(2000));
}

} // namespace

namespace {

QString storedRateTable()
{
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QSettings file(SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\") + title), QSettings::NativeFormat);
    return file.value(QStringLiteral("CorvaneFile")).toString();
}

QStringList feedCodes(const QByteArray &body)
{
    QStringList codes;
    for (const QJsonValue &rate : QJsonDocument::fromJson(body).object().value(QStringLiteral("rates")).toArray())
        codes << rate.toObject().value(QStringLiteral("code")).toString();
    return codes;
}

} // namespace

// A change made on the content itself, with no editor row involved (as a table from the
// head office arrives), reaches the editors, both boards, the feed and the settings file;
// the editor rows show it without sending it back as a change of their own.
TEST_F(WebBoardServerTest, AChangeMadeOnTheContentReachesEveryViewAndTheFile)
{
    BoardContent &content = windows.form->content();
    QSignalSpy changes(&content, &BoardContent::ratesChanged);
    RateSlots table;
    table[0] = {QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США")};
    table[1] = {QStringLiteral("CHF"), QStringLiteral("104,60"), QStringLiteral("108,20"), QStringLiteral("ФРАНК")};
    content.setRateSlots(table, RateOrigin::headOffice(QStringLiteral("hq"), 3));
    const RateRow gbp{QStringLiteral("GBP"), QStringLiteral("117,30"), QStringLiteral("120,80"), QStringLiteral("ФУНТ")};
    content.setRateSlot(3, gbp);
    table[2] = gbp;
    EXPECT_EQ(changes.count(), 2);

    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(windows.form->EditorRows[size_t(slot)]->rateRow(), table[size_t(slot - 1)]);
    }
    EXPECT_EQ(windows.form->FrameCorvane1->rowCaptions(), table);
    EXPECT_EQ(windows.tv->FrameCorvane1->rowCaptions(), table);
    EXPECT_EQ(windows.form->FrameCorvane1->shownRowCount(), 3);
    EXPECT_EQ(windows.tv->FrameCorvane1->shownRowCount(), 3);
    EXPECT_EQ(feedCodes(ask("GET", "/rates.json").body),
              (QStringList{QStringLiteral("USD"), QStringLiteral("CHF"), QStringLiteral("GBP")}));
    EXPECT_TRUE(testsupport::waitUntil([&] { return storedRateTable() == writeRateTable(table); }))
        << storedRateTable().toStdString();
    EXPECT_EQ(changes.count(), 2) << "an editor row sent a shown row back as a change";
}
