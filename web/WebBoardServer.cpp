#include "WebBoardServer.h"

#include "ConnectionGuard.h"
#include "EventStream.h"

#include <QHttpServerRequest>
#include <QTcpSocket>
#include <QUrlQuery>

const QByteArray WebBoardServer::kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

WebBoardServer::WebBoardServer(WebBoardContent &content, EventStream &events, QObject *parent)
    : QAbstractHttpServer(parent)
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
    if (!guard->listen(QHostAddress::Any, port)) {
        if (error)
            *error = portProblem(port, guard->errorString(), guard->serverError() == QAbstractSocket::AddressInUseError,
                                 guard->serverError() == QAbstractSocket::SocketAccessError);
        delete guard;
        return false;
    }
    m_guard = guard;
    bind(guard);
    return true;
}

quint16 WebBoardServer::port() const
{
    return m_guard ? m_guard->serverPort() : 0;
}

int WebBoardServer::connectionCount() const
{
    return m_guard ? m_guard->connectionCount() : 0;
}

bool WebBoardServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    if (m_guard)
        m_guard->requestAnswered(socket);
    QHttpServerResponder responder = makeResponder(request, socket);
    const auto method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        answer(responder, {QByteArrayLiteral("Only GET and HEAD.\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
                           {{"Allow", "GET, HEAD"}}, QHttpServerResponder::StatusCode::MethodNotAllowed},
               true);
        return true;
    }
    const QByteArray path = request.url().path().toUtf8();
    if (path == "/events" && method == QHttpServerRequest::Method::Get) {
        openEventStream(std::move(responder), socket);
        return true;
    }
    WebBoardContent::Reply reply = m_content.get(path, request.query(), request.value("If-None-Match"));
    if (reply.type.isNull())
        reply = {QByteArrayLiteral("Not here.\n"), QByteArrayLiteral("text/plain; charset=utf-8"), {},
                 QHttpServerResponder::StatusCode::NotFound};
    answer(responder, reply, method == QHttpServerRequest::Method::Get);
    return true;
}

void WebBoardServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    answer(responder, {QByteArrayLiteral("Not here.\n"), QByteArrayLiteral("text/plain; charset=utf-8"), {},
                       QHttpServerResponder::StatusCode::NotFound},
           true);
}

void WebBoardServer::answer(QHttpServerResponder &responder, const WebBoardContent::Reply &reply, bool withBody)
{
    responder.writeStatusLine(reply.status);
    if (!reply.type.isEmpty())
        responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Content-Security-Policy", kContentSecurityPolicy);
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    bool cacheGiven = false;
    for (const auto &[name, value] : reply.headers) {
        responder.writeHeader(name, value);
        cacheGiven = cacheGiven || name.compare("Cache-Control", Qt::CaseInsensitive) == 0;
    }
    if (!cacheGiven)
        responder.writeHeader("Cache-Control", "no-cache");
    responder.writeBody(withBody ? reply.body : QByteArray());
}

void WebBoardServer::openEventStream(QHttpServerResponder &&responder, QTcpSocket *socket)
{
    if (m_events.isFull()) {
        answer(responder, {QByteArrayLiteral("Too many pages open; try again later.\n"),
                           QByteArrayLiteral("text/plain; charset=utf-8"), {{"Retry-After", "5"}},
                           QHttpServerResponder::StatusCode::ServiceUnavailable},
               true);
        return;
    }
    if (m_guard)
        m_guard->keepOpen(socket);
    m_events.listen(std::move(responder), m_content.greeting());
}
