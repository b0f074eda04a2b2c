#pragma once

// The one place that knows which Qt HTTP Server the program is built against. Qt 6.4 hands
// a request over with its socket and writes answers piece by piece; from 6.5 on a request
// comes with a responder only, and from 6.8 an answer is written in one call or in chunks.
// Everything above this file sees a request with its connection and answers it through
// `HttpExchange` and `HttpStream`, the same on every version.

#include "HttpHead.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHttpServerResponder>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QTcpSocket>
#include <QtGlobal>

#include <memory>
#include <optional>

class QHostAddress;
class QHttpServerRequest;
class QTcpServer;

// An answer taken out of the request's handling, to be written to later; let go as the
// connection closes.
class HttpHeldAnswer
{
public:
    HttpHeldAnswer(QHttpServerResponder &&responder, QTcpSocket *socket);
    ~HttpHeldAnswer();
    HttpHeldAnswer(const HttpHeldAnswer &) = delete;
    HttpHeldAnswer &operator=(const HttpHeldAnswer &) = delete;
    // The connection behind the answer, for its state and its unread bytes; null once gone.
    QTcpSocket *socket() const { return m_socket; }
    bool isOpen() const;

protected:
    // The responder still speaks to the connection when it ends, and the connection is
    // deleted soon after it closes, so it is let go as the connection closes.
    std::optional<QHttpServerResponder> m_responder;
    QPointer<QTcpSocket> m_socket;
    QMetaObject::Connection m_closing;
};

// An answer that stays open: an event stream, written to as events come.
class HttpStream : public HttpHeldAnswer
{
public:
    using HttpHeldAnswer::HttpHeldAnswer;
    void write(const QByteArray &bytes);
};

// An answer given once its body is ready (a picture packed off the window's thread).
class HttpLaterAnswer : public HttpHeldAnswer
{
public:
    using HttpHeldAnswer::HttpHeldAnswer;
    // As `HttpExchange::answer`; nothing when the connection has gone meanwhile.
    void answer(QHttpServerResponder::StatusCode status, const HttpHeaderList &headers, const QByteArray &body,
                bool withBody);
};

// Closes the connection once what is queued on it is out. Qt's own handling of the request
// still runs after an answer is written (from 6.8 it drops a connection that is closing
// under it), so the close waits until that handling has returned.
void closeAfterAnswer(QTcpSocket *socket);

// One request, the connection it came on, and the way to answer it.
class HttpExchange
{
public:
    HttpExchange(const QHttpServerRequest &request, QHttpServerResponder &responder, QTcpSocket *socket);

    const QHttpServerRequest &request() const { return m_request; }
    // Null when the connection is not known (it closed while the request was handled).
    QTcpSocket *socket() const { return m_socket; }

    // A whole answer; with `withBody` false (HEAD) the length still tells the body's size.
    void answer(QHttpServerResponder::StatusCode status, const HttpHeaderList &headers, const QByteArray &body,
                bool withBody);
    // Answers 200 with `headers` and `firstBytes`, and keeps the answer open for more.
    std::unique_ptr<HttpStream> openStream(const HttpHeaderList &headers, const QByteArray &firstBytes);
    // Takes the answer over, to be given later; the exchange answers nothing after this.
    std::unique_ptr<HttpLaterAnswer> answerLater();

private:
    static void answerOn(QHttpServerResponder &responder, QTcpSocket *socket, QHttpServerResponder::StatusCode status,
                         const HttpHeaderList &headers, const QByteArray &body, bool withBody);
    friend class HttpLaterAnswer;

    const QHttpServerRequest &m_request;
    QHttpServerResponder &m_responder;
    QTcpSocket *m_socket;
};

// Qt's HTTP server with the request hook of every version turned into `serve`.
class HttpServerCore : public QAbstractHttpServer
{
    Q_OBJECT
public:
    using QAbstractHttpServer::QAbstractHttpServer;

protected:
    // Hands the server's connections, accepted by `listening`, to Qt's HTTP parsing.
    bool attach(QTcpServer *listening);
    virtual void serve(HttpExchange &exchange) = 0;
    // The accepted connection from this peer; Qt from 6.5 on names the peer, not the socket.
    virtual QTcpSocket *connectionFrom(const QHostAddress &address, quint16 port) const = 0;

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;
#elif QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    bool handleRequest(const QHttpServerRequest &request, QHttpServerResponder &responder) override;
    void missingHandler(const QHttpServerRequest &request, QHttpServerResponder &responder) override;
#else
#error "Qt HTTP Server 6.5 to 6.7 is not supported: build with Qt 6.4 or with 6.8 and later"
#endif
};
