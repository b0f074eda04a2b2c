#include "WebBoardServer.h"

#include "ConnectionGuard.h"
#include "EventStream.h"

#include <QFutureWatcher>
#include <QHttpServerRequest>
#include <QTcpSocket>
#include <QUrlQuery>

const QByteArray WebBoardServer::kContentSecurityPolicy = contentSecurityPolicy();

WebBoardServer::WebBoardServer(WebBoardContent &content, EventStream &events, QObject *parent)
    : HttpServerCore(parent)
    , m_content(content)
    , m_events(events)
{
}

WebBoardServer::~WebBoardServer()
{
    m_events.closeAll();
    if (m_guard)
        m_guard->closeAll();
}

QString portProblem(quint16 port, const QString &reason, bool inUse, bool denied)
{
    if (inUse)
        return QStringLiteral("Порт %1 занят другой программой").arg(port);
    if (denied)
        return QStringLiteral("Порт %1 открыть нельзя: нет прав (берите 1024 и выше)").arg(port);
    return QStringLiteral("Порт %1 не открылся: %2").arg(port).arg(reason);
}

bool WebBoardServer::start(quint16 port, QString *error)
{
    auto *guard = new ConnectionGuard(this);
    guard->setAllowed(m_allowed);
    if (!guard->listen(QHostAddress::Any, port) || !attach(guard)) {
        if (error)
            *error = portProblem(port, guard->errorString(), guard->serverError() == QAbstractSocket::AddressInUseError,
                                 guard->serverError() == QAbstractSocket::SocketAccessError);
        delete guard;
        return false;
    }
    m_guard = guard;
    return true;
}

quint16 WebBoardServer::port() const
{
    return m_guard ? m_guard->serverPort() : 0;
}

void WebBoardServer::setAllowed(const AddressAllowList &allowed)
{
    m_allowed = allowed;
    if (m_guard)
        m_guard->setAllowed(allowed);
}

ConnectionGuard *WebBoardServer::guard() const
{
    return m_guard;
}

int WebBoardServer::connectionCount() const
{
    return m_guard ? m_guard->connectionCount() : 0;
}

QTcpSocket *WebBoardServer::connectionFrom(const QHostAddress &address, quint16 port) const
{
    return m_guard ? m_guard->connectionFrom(address, port) : nullptr;
}

void WebBoardServer::serve(HttpExchange &exchange)
{
    QTcpSocket *socket = exchange.socket();
    bool closes = false;
    if (m_guard) {
        m_guard->requestAnswered(socket);
        closes = m_guard->closesAfterAnswer(socket);
    }
    if (route(exchange, closes) && closes && !m_events.isListening(socket))
        closeAfterAnswer(socket);
}

bool WebBoardServer::route(HttpExchange &exchange, bool closes)
{
    const QHttpServerRequest &request = exchange.request();
    const auto method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        answer(exchange, {QByteArrayLiteral("Only GET and HEAD.\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
                          {{"Allow", "GET, HEAD"}}, QHttpServerResponder::StatusCode::MethodNotAllowed},
               true);
        return true;
    }
    const QByteArray path = request.url().path().toUtf8();
    if (path == "/events" && method == QHttpServerRequest::Method::Get) {
        openEventStream(exchange);
        return true;
    }
    WebBoardContent::Reply reply = m_content.get(path, request.query(), request.value("If-None-Match"));
    if (reply.type.isNull())
        reply = {QByteArrayLiteral("Not here.\n"), QByteArrayLiteral("text/plain; charset=utf-8"), {},
                 QHttpServerResponder::StatusCode::NotFound};
    const bool withBody = method == QHttpServerRequest::Method::Get;
    if (reply.later.isValid()) {
        answerWhenReady(exchange, reply, withBody, closes);
        return false;
    }
    answer(exchange, reply, withBody);
    return true;
}

HttpHeaderList WebBoardServer::headersFor(const WebBoardContent::Reply &reply)
{
    HttpHeaderList headers;
    if (!reply.type.isEmpty())
        headers.emplaceBack("Content-Type", reply.type);
    headers += securityHeaders();
    bool cacheGiven = false;
    for (const auto &header : reply.headers) {
        headers.append(header);
        cacheGiven = cacheGiven || header.first.compare("Cache-Control", Qt::CaseInsensitive) == 0;
    }
    if (!cacheGiven)
        headers.emplaceBack("Cache-Control", "no-cache");
    return headers;
}

void WebBoardServer::answer(HttpExchange &exchange, const WebBoardContent::Reply &reply, bool withBody)
{
    exchange.answer(reply.status, headersFor(reply), reply.body, withBody);
}

void WebBoardServer::answerWhenReady(HttpExchange &exchange, const WebBoardContent::Reply &reply, bool withBody,
                                     bool closes)
{
    auto *watcher = new QFutureWatcher<QByteArray>(this);
    const std::shared_ptr<HttpLaterAnswer> later = exchange.answerLater();
    const HttpHeaderList headers = headersFor(reply);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, later, headers, status = reply.status, withBody, closes] {
        later->answer(status, headers, watcher->result(), withBody);
        if (closes)
            closeAfterAnswer(later->socket());
        watcher->deleteLater();
    });
    watcher->setFuture(reply.later);
}

void WebBoardServer::openEventStream(HttpExchange &exchange)
{
    if (m_events.isFull()) {
        answer(exchange, {QByteArrayLiteral("Too many pages open; try again later.\n"),
                          QByteArrayLiteral("text/plain; charset=utf-8"), {{"Retry-After", "5"}},
                          QHttpServerResponder::StatusCode::ServiceUnavailable},
               true);
        return;
    }
    if (m_guard)
        m_guard->keepOpen(exchange.socket());
    m_events.listen(exchange, m_content.greeting());
}
