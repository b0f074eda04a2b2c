#include "HttpExchange.h"

#include <QHttpServerRequest>
#include <QTcpServer>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QHttpHeaders>

namespace {

QHttpHeaders toHttpHeaders(const HttpHeaderList &headers)
{
    QHttpHeaders result;
    for (const auto &[name, value] : headers)
        result.append(QLatin1StringView(name), QLatin1StringView(value));
    return result;
}

} // namespace
#endif

HttpHeldAnswer::HttpHeldAnswer(QHttpServerResponder &&responder, QTcpSocket *socket)
    : m_responder(std::move(responder))
    , m_socket(socket)
{
    if (socket)
        m_closing = QObject::connect(socket, &QAbstractSocket::disconnected, socket, [this] { m_responder.reset(); });
    else
        m_responder.reset();
}

HttpHeldAnswer::~HttpHeldAnswer()
{
    QObject::disconnect(m_closing);
}

bool HttpHeldAnswer::isOpen() const
{
    return m_responder && m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void closeAfterAnswer(QTcpSocket *socket)
{
    if (socket)
        QMetaObject::invokeMethod(socket, &QAbstractSocket::disconnectFromHost, Qt::QueuedConnection);
}

HttpExchange::HttpExchange(const QHttpServerRequest &request, QHttpServerResponder &responder, QTcpSocket *socket)
    : m_request(request)
    , m_responder(responder)
    , m_socket(socket)
{
}

void HttpExchange::answer(QHttpServerResponder::StatusCode status, const HttpHeaderList &headers,
                          const QByteArray &body, bool withBody)
{
    answerOn(m_responder, m_socket, status, headers, body, withBody);
}

std::unique_ptr<HttpLaterAnswer> HttpExchange::answerLater()
{
    return std::make_unique<HttpLaterAnswer>(std::move(m_responder), m_socket);
}

void HttpLaterAnswer::answer(QHttpServerResponder::StatusCode status, const HttpHeaderList &headers,
                             const QByteArray &body, bool withBody)
{
    if (!isOpen())
        return;
    HttpExchange::answerOn(*m_responder, m_socket, status, headers, body, withBody);
    m_responder.reset();
}

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)

// Qt 6.4 writes an answer's parts one by one, and a stream goes on on the socket itself.

void HttpStream::write(const QByteArray &bytes)
{
    if (isOpen())
        m_socket->write(bytes);
}

void HttpExchange::answerOn(QHttpServerResponder &responder, QTcpSocket *, QHttpServerResponder::StatusCode status,
                            const HttpHeaderList &headers, const QByteArray &body, bool withBody)
{
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    for (const auto &[name, value] : headers)
        responder.writeHeader(name, value);
    responder.writeBody(withBody ? body : QByteArray());
}

std::unique_ptr<HttpStream> HttpExchange::openStream(const HttpHeaderList &headers, const QByteArray &firstBytes)
{
    m_responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    for (const auto &[name, value] : headers)
        m_responder.writeHeader(name, value);
    // No length: the stream ends when the connection does.
    m_responder.writeBody(firstBytes);
    return std::make_unique<HttpStream>(std::move(m_responder), m_socket);
}

bool HttpServerCore::attach(QTcpServer *listening)
{
    bind(listening);
    return true;
}

bool HttpServerCore::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    HttpExchange exchange(request, responder, socket);
    serve(exchange);
    return true;
}

void HttpServerCore::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    handleRequest(request, socket);
}

#else

// Qt 6.8 writes an answer in one call, and a stream as chunks of one chunked answer.

void HttpStream::write(const QByteArray &bytes)
{
    if (isOpen())
        m_responder->writeChunk(bytes);
}

void HttpExchange::answerOn(QHttpServerResponder &responder, QTcpSocket *socket, QHttpServerResponder::StatusCode status,
                            const HttpHeaderList &headers, const QByteArray &body, bool withBody)
{
    if (withBody || !socket) {
        responder.write(body, toHttpHeaders(headers), status);
        return;
    }
    // The responder always sends the length of what it writes, so a head that tells the
    // body's length without the body goes on the connection directly; Qt then reads the
    // connection's next request as usual.
    HttpHeaderList all = headers;
    all.prepend({"Content-Length", QByteArray::number(body.size())});
    socket->write(httpHead(int(status), all));
}

std::unique_ptr<HttpStream> HttpExchange::openStream(const HttpHeaderList &headers, const QByteArray &firstBytes)
{
    m_responder.writeBeginChunked(toHttpHeaders(headers), QHttpServerResponder::StatusCode::Ok);
    m_responder.writeChunk(firstBytes);
    return std::make_unique<HttpStream>(std::move(m_responder), m_socket);
}

bool HttpServerCore::attach(QTcpServer *listening)
{
    return bind(listening);
}

bool HttpServerCore::handleRequest(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    HttpExchange exchange(request, responder, connectionFrom(request.remoteAddress(), request.remotePort()));
    serve(exchange);
    return true;
}

void HttpServerCore::missingHandler(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    handleRequest(request, responder);
}

#endif
