#pragma once

#include "AddressAllowList.h"
#include "RequestHeadReader.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

#include <functional>

class QTcpSocket;

// The web board's listening socket, and the bounds every connection keeps, so no client
// holds the door for the others: who may connect, so many connections from one address
// and so many in all, so many bytes a request, so much time to send its head and to stay
// idle between requests. A connection over a bound gets its answer at the door and is
// closed; the others go on as before.
class ConnectionGuard : public QTcpServer
{
    Q_OBJECT
public:
    explicit ConnectionGuard(QObject *parent = nullptr);

    // Connections from one address at most: a browser opens six, a few pages more.
    static constexpr int kMaxPerAddress = 16;
    // Connections that bring requests at most, besides the pages' event streams.
    static constexpr int kMaxRequestConnections = 96;
    // Event streams at most; the streams' own count refuses a page over it with an answer.
    static constexpr int kMaxStreamConnections = 64;
    // The largest request: a browser's GET is well under a few kilobytes.
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    // A request's head must arrive whole within this time of its first byte (or of the
    // connection's start), or the connection is closed.
    static constexpr int kHeadTimeoutMs = 5000;
    // A connection without a request this long after its last answer is closed.
    static constexpr int kIdleTimeoutMs = 15000;
    // A connection answered at the door is closed this long after at the latest.
    static constexpr int kLingerMs = 2000;

    // Milliseconds on a steady clock; tests give one they move themselves.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setAllowed(const AddressAllowList &allowed) { m_allowed = allowed; }

    int connectionCount() const { return int(m_connections.size()); }
    // A request of the connection is being answered: its byte count starts anew, and the
    // connection is idle from now.
    void requestAnswered(QTcpSocket *socket);
    // Whether the answer just given ends the connection (HTTP/1.0, `Connection: close`).
    bool closesAfterAnswer(QTcpSocket *socket);
    // The connection stays open without requests (an event stream) until its peer goes.
    void keepOpen(QTcpSocket *socket);
    // The open connection from this peer, or null.
    QTcpSocket *connectionFrom(const QHostAddress &address, quint16 port) const;
    // Closes the connections past their time (done every second on its own).
    void closeOverdue();
    // Closes every connection (the server stops).
    void closeAll();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Bounds
    {
        QHostAddress peer;
        qint64 bytes = 0;
        qint64 since = 0;   // when the head began, or the last answer was given
        bool idle = false;  // answered, no new request begun
        bool keptOpen = false;
        qint64 unparsed = 0; // bytes Qt's parser left on the connection
        RequestHeadReader heads;
    };
    // Why a new connection is turned away at the door, or empty.
    QByteArray refusalFor(const QHostAddress &peer) const;
    void admit(QTcpSocket *socket, const QHostAddress &peer);
    void readIncoming(QTcpSocket *socket);
    static QByteArray doorAnswerFor(RequestHeadReader::Verdict verdict);
    void answerAtDoor(QTcpSocket *socket, const QByteArray &answer);
    static QHostAddress plainAddress(const QHostAddress &address);

    QHash<QTcpSocket *, Bounds> m_connections;
    AddressAllowList m_allowed;
    QElapsedTimer m_steady;
    Clock m_clock;
    QTimer m_sweep;
};
