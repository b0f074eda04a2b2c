#include "WebBoard.h"

#include "PngWriter.h"
#include "RatesFeed.h"
#include "content/BoardContent.h"
#include "content/RateTable.h"
#include "controls/RunString.h"
#include "platform/ProgramSettings.h"
#include "web/ConnectionGuard.h"

#include <QFile>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {

QByteArray resourceFile(const QString &name)
{
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The screen size a page asks for; invalid when a figure is missing or not a number.
QSize requestedSize(const QUrlQuery &query)
{
    bool wide = false;
    bool high = false;
    const int width = query.queryItemValue(QStringLiteral("w")).toInt(&wide);
    const int height = query.queryItemValue(QStringLiteral("h")).toInt(&high);
    return wide && high ? QSize(width, height) : QSize();
}

WebBoardContent::Reply badRequest()
{
    return {QByteArrayLiteral("The size is given as w and h in pixels.\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
            {}, QHttpServerResponder::StatusCode::BadRequest};
}

QJsonObject rectObject(const QRect &rect)
{
    return {{QStringLiteral("x"), rect.x()},
            {QStringLiteral("y"), rect.y()},
            {QStringLiteral("width"), rect.width()},
            {QStringLiteral("height"), rect.height()}};
}

QByteArray compactJson(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

WebBoard::WebBoard(const TFrameCorvane *followed, const TRunString *ticker, const BoardContent &content,
                   QObject *parent)
    : QObject(parent)
    , m_followed(followed)
    , m_content(content)
    , m_ticker(ticker)
    , m_snapshot(followed)
    , m_ratesChanged(QDateTime::currentDateTime())
{
    m_steady.start();
    m_clock = [this] { return m_steady.elapsed(); };
    m_follow.setInterval(kFollowMs);
    connect(&m_follow, &QTimer::timeout, this, &WebBoard::boardMayHaveChanged);
    connect(&m_follow, &QTimer::timeout, this, &WebBoard::followTicker);
    if (ticker)
        connect(ticker, &TRunString::OnBegin, this, &WebBoard::followTicker);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &WebBoard::boardMayHaveChanged);
    connect(&m_events, &EventStream::listenerCountChanged, this, [this](int count) {
        if (count > 0)
            m_follow.start();
        else
            m_follow.stop();
    });
    connect(&programSettings(), &ProgramSettings::changed, this, &WebBoard::followSoon);
    setAllowed(AddressAllowList(programSettings().webBoardAllowed()));
    connect(&programSettings(), &ProgramSettings::webBoardAllowedChanged, this,
            [this](const QString &ranges) { setAllowed(AddressAllowList(ranges)); });
    connect(&content, &BoardContent::ratesChanged, this, [this] { m_ratesChanged = QDateTime::currentDateTime(); });
}

WebBoard::~WebBoard()
{
    m_server.reset();
}

quint16 WebBoard::port() const
{
    return m_server ? m_server->port() : 0;
}

int WebBoard::connectionCount() const
{
    return m_server ? m_server->connectionCount() : 0;
}

ConnectionGuard *WebBoard::connectionGuard() const
{
    return m_server ? m_server->guard() : nullptr;
}

void WebBoard::start(quint16 port)
{
    m_server.reset();
    WebBoardContent &content = *this;
    auto server = std::make_unique<WebBoardServer>(content, m_events);
    QString problem;
    if (!server->start(port, &problem)) {
        emit failed(problem);
        return;
    }
    m_server = std::move(server);
    m_server->setAllowed(m_allowed);
    m_server->guard()->setClock(m_clock);
    m_announcedKey = m_snapshot.stateKey();
    emit listening(m_server->port());
}

void WebBoard::setClock(Clock clock)
{
    m_clock = std::move(clock);
    if (m_server)
        m_server->guard()->setClock(m_clock);
}

void WebBoard::setAllowed(const AddressAllowList &allowed)
{
    m_allowed = allowed;
    if (m_server)
        m_server->setAllowed(allowed);
}

void WebBoard::stop()
{
    if (!m_server)
        return;
    m_server.reset();
    emit stopped();
}

void WebBoard::followSoon()
{
    if (m_server && m_events.listenerCount() > 0)
        m_soon.start();
}

void WebBoard::boardMayHaveChanged()
{
    if (!m_server)
        return;
    const QByteArray key = m_snapshot.stateKey();
    if (key == m_announcedKey)
        return;
    m_announcedKey = key;
    m_events.send(boardEvent());
}

void WebBoard::tickerRunning(const QString &text, double fraction, int runMs)
{
    // A new run of the text is a new strip for the pages only when the text changes.
    if (text != m_run.text || !m_run.running)
        ++m_run.id;
    m_run.running = true;
    m_run.text = text;
    m_run.fraction = fraction;
    m_run.runMs = runMs;
    m_run.since.start();
    if (m_server)
        m_events.send(tickerEvent());
}

void WebBoard::tickerStopped()
{
    m_run.running = false;
    if (m_server)
        m_events.send(tickerEvent());
}

// The ticker has no signal for a stop or a change of speed, so its state is compared with
// what the pages were told at each run's beginning and while pages listen.
void WebBoard::followTicker()
{
    if (!m_ticker)
        return;
    const TRunString &ticker = *m_ticker;
    const bool running = ticker.isRunning() && ticker.isVisibleFlag();
    if (!running) {
        if (m_run.running)
            tickerStopped();
        return;
    }
    const int steps = std::max(1, ticker.steps());
    const int step = std::max(1, ticker.oneStep());
    const int runMs = (steps + step - 1) / step * std::max(1, ticker.timerInterval());
    const bool began = ticker.position() == 0;
    if (m_run.running && !began && ticker.rText() == m_run.text && runMs == m_run.runMs)
        return;
    tickerRunning(ticker.rText(), double(ticker.position()) / steps, runMs);
}

QByteArray WebBoard::boardEvent() const
{
    return EventStream::event("board", compactJson({{QStringLiteral("version"), QString::fromLatin1(m_announcedKey)}}));
}

QByteArray WebBoard::tickerEvent() const
{
    QJsonObject run{{QStringLiteral("running"), m_run.running}, {QStringLiteral("id"), m_run.id}};
    if (m_run.running) {
        const double elapsed = m_run.runMs > 0 ? double(m_run.since.elapsed()) / m_run.runMs : 1.0;
        run.insert(QStringLiteral("fraction"), std::min(1.0, m_run.fraction + elapsed));
        run.insert(QStringLiteral("runMs"), m_run.runMs);
    }
    return EventStream::event("ticker", compactJson(run));
}

QByteArray WebBoard::greeting()
{
    followTicker();
    m_announcedKey = m_snapshot.stateKey();
    return boardEvent() + tickerEvent();
}

WebBoardContent::Reply WebBoard::get(const QByteArray &path, const QUrlQuery &query, const QByteArray &ifNoneMatch)
{
    if (path == "/")
        return {resourceFile(QStringLiteral("board.html")), QByteArrayLiteral("text/html; charset=utf-8"), {}};
    if (path == "/board.js")
        return {resourceFile(QStringLiteral("board.js")), QByteArrayLiteral("text/javascript; charset=utf-8"), {}};
    if (path == "/board.css")
        return {resourceFile(QStringLiteral("board.css")), QByteArrayLiteral("text/css; charset=utf-8"), {}};
    if (path == "/rates.json")
        return rates(ifNoneMatch);
    if (path == "/board.json" || path == "/board.png" || path == "/ticker.png") {
        const QSize size = requestedSize(query);
        if (!size.isValid())
            return badRequest();
        // Laying the board out lets the window's events run, requests among them: the one
        // board being laid out is not laid out for another page meanwhile.
        if (m_drawing)
            return path == "/board.png" ? pictureBeingPacked(size, query.queryItemValue(QStringLiteral("v")).toLatin1())
                                        : busyDrawing();
        if (path == "/board.json")
            return boardLayout(size);
        if (path == "/board.png")
            return boardPicture(size, query.queryItemValue(QStringLiteral("v")).toLatin1());
        return tickerPicture(size);
    }
    return {};
}

WebBoardContent::Reply WebBoard::boardLayout(QSize size)
{
    size = BoardSnapshot::boundedSize(size);
    m_drawing = true;
    const QRect band = m_snapshot.tickerBand(size);
    m_drawing = false;
    const QString version = QString::fromLatin1(m_snapshot.followedKey());
    const QString image = QStringLiteral("/board.png?w=%1&h=%2&v=%3").arg(size.width()).arg(size.height()).arg(version);
    const QJsonObject layout{{QStringLiteral("version"), version},
                             {QStringLiteral("width"), size.width()},
                             {QStringLiteral("height"), size.height()},
                             {QStringLiteral("image"), image},
                             {QStringLiteral("band"), rectObject(band)}};
    return {compactJson(layout), QByteArrayLiteral("application/json"), {}};
}

bool WebBoard::mayDrawAfresh()
{
    const qint64 now = m_clock();
    if (!m_drawingBudget.mayDraw(now))
        return false;
    if (m_drawingSecond < 0 || now - m_drawingSecond >= 1000) {
        m_drawingSecond = now;
        m_drawnThisSecond = 0;
    }
    return m_drawnThisSecond++ < kFreshPicturesPerSecond;
}

WebBoardContent::Reply WebBoard::boardPicture(QSize size, const QByteArray &version)
{
    size = BoardSnapshot::boundedSize(size);
    if (const BoardSnapshot::Picture *kept = m_snapshot.kept(size))
        return pictureReply(kept->png, kept->version, version);
    if (m_packing.contains(packingKey(size)))
        return pictureBeingPacked(size, version);
    if (m_packing.size() >= kPackingAtOnce || !mayDrawAfresh())
        return busyDrawing();
    drawAndPackOffThread(size);
    return pictureBeingPacked(size, version);
}

QByteArray WebBoard::packingKey(QSize size) const
{
    size = BoardSnapshot::boundedSize(size);
    return m_snapshot.followedKey() + ' ' + QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
}

WebBoardContent::Reply WebBoard::pictureBeingPacked(QSize size, const QByteArray &version)
{
    const auto packing = m_packing.constFind(packingKey(size));
    if (packing == m_packing.constEnd())
        return busyDrawing();
    Reply reply = pictureReply({}, m_snapshot.followedKey(), version);
    reply.later = *packing;
    return reply;
}

WebBoardContent::Reply WebBoard::pictureReply(const QByteArray &png, const QByteArray &shows, const QByteArray &version)
{
    // A picture asked for by the version it shows never changes; others are asked again.
    const QByteArray cache = version == shows ? QByteArrayLiteral("private, max-age=86400, immutable")
                                              : QByteArrayLiteral("no-cache");
    return {png, QByteArrayLiteral("image/png"), {{"Cache-Control", cache}}};
}

// The board is laid out and copied out of its widgets on the window's thread; the drawing
// in pixels and the packing, most of the work, are done on another, and the picture is
// kept once it is packed.
void WebBoard::drawAndPackOffThread(QSize size)
{
    const QByteArray shows = m_snapshot.followedKey();
    const auto packing = awaitPacking(packingKey(size), [this, size, shows](const QByteArray &png) {
        m_snapshot.keep(size, {png, shows});
    });
    const BoardDrawing drawing = timedDrawing([&] { return m_snapshot.drawing(size); });
    packOffThread(packing, [drawing] { return drawing.draw(); });
}

// Pages asking for a picture from now on, even while it is being drawn, wait for this one;
// `keep` takes it on this thread once it is packed.
std::shared_ptr<QPromise<QByteArray>> WebBoard::awaitPacking(const QByteArray &key,
                                                            std::function<void(const QByteArray &)> keep)
{
    auto promise = std::make_shared<QPromise<QByteArray>>();
    promise->start();
    const QFuture<QByteArray> packed = promise->future();
    m_packing.insert(key, packed);
    auto *watcher = new QFutureWatcher<QByteArray>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key, keep = std::move(keep)] {
        m_packing.remove(key);
        if (watcher->future().resultCount() > 0)
            keep(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(packed);
    return promise;
}

void WebBoard::packOffThread(const std::shared_ptr<QPromise<QByteArray>> &packing, std::function<QImage()> draw)
{
    QThreadPool::globalInstance()->start([packing, draw = std::move(draw)] {
        packing->addResult(encodePng(draw()));
        packing->finish();
    });
}

WebBoardContent::Reply WebBoard::busyDrawing()
{
    const QByteArray wait = QByteArray::number(m_drawingBudget.secondsUntilAllowed(m_clock()));
    return {QByteArrayLiteral("Busy drawing; ask again in a moment.\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
            {{"Retry-After", wait}}, QHttpServerResponder::StatusCode::ServiceUnavailable};
}

// Everything a strip shows: the text, the ticker's look, the board's bottom band and size.
QByteArray WebBoard::tickerStripKey(QSize size) const
{
    const TRunString &ticker = *m_ticker;
    const QSize bounded = BoardSnapshot::boundedSize(size);
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8x%9")
               .arg(m_run.text)
               .arg(int(ticker.labelStyle()))
               .arg(ticker.depth())
               .arg(int(ticker.color()))
               .arg(int(ticker.colorH()))
               .arg(int(ticker.colorS()))
               .arg(QString::fromLatin1(m_snapshot.stateKey()))
               .arg(bounded.width())
               .arg(bounded.height())
               .toUtf8();
}

WebBoardContent::Reply WebBoard::tickerPicture(QSize size)
{
    if (!m_ticker)
        return {};
    const QByteArray key = tickerStripKey(size);
    if (const auto kept = m_tickerStrips.constFind(key); kept != m_tickerStrips.constEnd())
        return {*kept, QByteArrayLiteral("image/png"), {}};
    const QByteArray packing = "ticker " + key;
    if (!m_packing.contains(packing)) {
        if (m_packing.size() >= kPackingAtOnce || !mayDrawAfresh())
            return busyDrawing();
        const auto promise = awaitPacking(packing, [this, key](const QByteArray &png) {
            if (m_tickerStrips.size() >= qsizetype(BoardSnapshot::kKeptSizes))
                m_tickerStrips.clear();
            m_tickerStrips.insert(key, png);
        });
        const BoardSnapshot::TickerStrip strip =
            timedDrawing([&] { return m_snapshot.tickerStrip(size, m_run.text, *m_ticker); });
        packOffThread(promise, [strip] { return strip.draw(); });
    }
    Reply reply{{}, QByteArrayLiteral("image/png"), {}};
    reply.later = m_packing.value(packing);
    return reply;
}

WebBoardContent::Reply WebBoard::rates(const QByteArray &ifNoneMatch)
{
    const QByteArray body = ratesJson(m_content.shownRates(), m_ratesChanged);
    const QByteArray tag = entityTag(body);
    if (entityTagMatches(ifNoneMatch, tag))
        return {QByteArray(), QByteArray(""), {{"ETag", tag}}, QHttpServerResponder::StatusCode::NotModified};
    return {body, QByteArrayLiteral("application/json; charset=utf-8"), {{"ETag", tag}}};
}
