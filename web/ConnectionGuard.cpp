#include "ConnectionGuard.h"

#include "HttpHead.h"

#include <QTcpSocket>

ConnectionGuard::ConnectionGuard(QObject *parent)
    : QTcpServer(parent)
{
    m_sweep.setInterval(kRequestTimeoutMs / 4);
    connect(&m_sweep, &QTimer::timeout, this, &ConnectionGuard::closeOverdue);
}

void ConnectionGuard::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (connectionCount() >= kMaxConnections) {
        refuse(socket);
        return;
    }
    Bounds bounds;
    bounds.since.start();
    m_connections.insert(socket, bounds);
    // Connected before the server takes the socket, so this counts each piece of a request
    // before it is parsed.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { countIncoming(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    m_sweep.start();
    addPendingConnection(socket);
}

// A fixed, complete answer: the server is busy, come back later.
void ConnectionGuard::refuse(QTcpSocket *socket)
{
    socket->write(httpHead(503, {{"Content-Length", "0"}, {"Retry-After", "5"}, {"Connection", "close"}}));
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void ConnectionGuard::countIncoming(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    if (bounds == m_connections.end())
        return;
    bounds->bytes += socket->bytesAvailable();
    if (bounds->bytes > kMaxRequestBytes)
        socket->abort();
}

void ConnectionGuard::requestAnswered(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    if (bounds == m_connections.end())
        return;
    bounds->bytes = 0;
    bounds->since.restart();
}

void ConnectionGuard::keepOpen(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    if (bounds != m_connections.end())
        bounds->keptOpen = true;
}

QTcpSocket *ConnectionGuard::connectionFrom(const QHostAddress &address, quint16 port) const
{
    for (auto connection = m_connections.keyBegin(); connection != m_connections.keyEnd(); ++connection)
        if ((*connection)->peerPort() == port && (*connection)->peerAddress().isEqual(address))
            return *connection;
    return nullptr;
}

void ConnectionGuard::closeOverdue()
{
    const QList<QTcpSocket *> sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets) {
        const Bounds &bounds = m_connections.value(socket);
        if (!bounds.keptOpen && bounds.since.hasExpired(kRequestTimeoutMs))
            socket->abort();
    }
    if (m_connections.isEmpty())
        m_sweep.stop();
}

void ConnectionGuard::closeAll()
{
    close();
    const QList<QTcpSocket *> sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets)
        socket->abort();
}
