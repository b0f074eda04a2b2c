#pragma once

#include "AddressAllowList.h"
#include "HttpExchange.h"

#include <QByteArray>
#include <QFuture>
#include <QHttpServerResponder>
#include <QList>
#include <QPair>
#include <QPointer>

class ConnectionGuard;
class EventStream;
class QUrlQuery;

// What the web board serves; the server only routes and answers.
class WebBoardContent
{
public:
    virtual ~WebBoardContent() = default;
    struct Reply
    {
        QByteArray body;
        QByteArray type;
        QList<QPair<QByteArray, QByteArray>> headers; // besides the ones every answer has
        QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok;
        // The body when it is made off the window's thread: the answer goes once it is ready.
        QFuture<QByteArray> later = {};
    };
    // The answer to a GET of a path other than the event stream; a null type is 404.
    virtual Reply get(const QByteArray &path, const QUrlQuery &query, const QByteArray &ifNoneMatch) = 0;
    // The events that bring a page that starts listening up to date.
    virtual QByteArray greeting() = 0;
};

// The web board's HTTP server: read only, on Qt's HTTP server. Every method but GET and
// HEAD gets 405, every path it does not serve 404, and every answer a strict content
// policy: the page loads nothing from anywhere but here.
class WebBoardServer : public HttpServerCore
{
    Q_OBJECT
public:
    WebBoardServer(WebBoardContent &content, EventStream &events, QObject *parent = nullptr);
    ~WebBoardServer() override;

    // Opens the port on every address of the machine; false, with the reason for the
    // operator in `error`, when it cannot.
    bool start(quint16 port, QString *error);
    quint16 port() const;
    int connectionCount() const;
    // Who may connect; the default is loopback and the private networks.
    void setAllowed(const AddressAllowList &allowed);
    // The door of the open port (its bounds and clock), or null.
    ConnectionGuard *guard() const;

    static const QByteArray kContentSecurityPolicy;

protected:
    void serve(HttpExchange &exchange) override;
    QTcpSocket *connectionFrom(const QHostAddress &address, quint16 port) const override;

private:
    // False when the answer is given later.
    bool route(HttpExchange &exchange, bool closes);
    void answer(HttpExchange &exchange, const WebBoardContent::Reply &reply, bool withBody);
    void answerWhenReady(HttpExchange &exchange, const WebBoardContent::Reply &reply, bool withBody, bool closes);
    static HttpHeaderList headersFor(const WebBoardContent::Reply &reply);
    void openEventStream(HttpExchange &exchange);

    WebBoardContent &m_content;
    EventStream &m_events;
    QPointer<ConnectionGuard> m_guard;
    AddressAllowList m_allowed;
};

// The operator's message for a port that cannot be opened.
QString portProblem(quint16 port, const QString &reason, bool inUse, bool denied);
