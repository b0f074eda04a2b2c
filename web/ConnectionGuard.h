#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// The web board's listening socket, and the bounds every connection keeps: so many open
// connections at most, so many bytes a request, so much time to send one. A connection
// over a bound is closed; the others go on as before.
class ConnectionGuard : public QTcpServer
{
    Q_OBJECT
public:
    explicit ConnectionGuard(QObject *parent = nullptr);

    // Open connections at most: the pages' event streams, their requests and some spare.
    static constexpr int kMaxConnections = 160;
    // The largest request: a browser's GET is well under a few kilobytes.
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    // A connection must bring its next whole request within this time, or it is closed.
    static constexpr int kRequestTimeoutMs = 10000;

    int connectionCount() const { return int(m_connections.size()); }
    // A request of the connection has been answered: its byte count and clock start anew.
    void requestAnswered(QTcpSocket *socket);
    // The connection stays open without requests (an event stream) until its peer goes.
    void keepOpen(QTcpSocket *socket);
    // The open connection from this peer, or null.
    QTcpSocket *connectionFrom(const QHostAddress &address, quint16 port) const;
    // Closes every connection (the server stops).
    void closeAll();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Bounds
    {
        qint64 bytes = 0;
        QElapsedTimer since;
        bool keptOpen = false;
    };
    void countIncoming(QTcpSocket *socket);
    void closeOverdue();
    static void refuse(QTcpSocket *socket);

    QHash<QTcpSocket *, Bounds> m_connections;
    QTimer m_sweep;
};
