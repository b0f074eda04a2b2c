#include "ConnectionGuard.h"

#include "HttpHead.h"

#include <QTcpSocket>

#include <sys/socket.h>

ConnectionGuard::ConnectionGuard(QObject *parent)
    : QTcpServer(parent)
{
    m_steady.start();
    m_clock = [this] { return m_steady.elapsed(); };
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &ConnectionGuard::closeOverdue);
}

QHostAddress ConnectionGuard::plainAddress(const QHostAddress &address)
{
    // A dual-stack socket names IPv4 peers as IPv4-mapped IPv6 addresses.
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4) : address;
}

void ConnectionGuard::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress peer = plainAddress(socket->peerAddress());
    if (const QByteArray refusal = refusalFor(peer); !refusal.isEmpty()) {
        answerAtDoor(socket, refusal);
        return;
    }
    admit(socket, peer);
}

QByteArray ConnectionGuard::refusalFor(const QHostAddress &peer) const
{
    if (!m_allowed.allows(peer))
        return closingAnswer(403, "This address may not see the board.");
    int fromPeer = 0;
    int requestConnections = 0;
    for (const Bounds &bounds : m_connections) {
        fromPeer += bounds.peer == peer ? 1 : 0;
        requestConnections += bounds.keptOpen ? 0 : 1;
    }
    if (fromPeer >= kMaxPerAddress)
        return closingAnswer(503, "Too many connections from this address; try again later.", {{"Retry-After", "5"}});
    if (requestConnections >= kMaxRequestConnections)
        return closingAnswer(503, "Too many connections; try again later.", {{"Retry-After", "5"}});
    return {};
}

void ConnectionGuard::admit(QTcpSocket *socket, const QHostAddress &peer)
{
    Bounds bounds;
    bounds.peer = peer;
    bounds.since = m_clock();
    m_connections.insert(socket, bounds);
    // Connected before the server takes the socket, so this sees each piece of a request
    // before Qt parses it.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readIncoming(socket); });
    // Connected once Qt's parser is connected too: what the parser leaves unread is not new.
    QMetaObject::invokeMethod(
        socket,
        [this, socket] {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                if (auto bounds = m_connections.find(socket); bounds != m_connections.end())
                    bounds->unparsed = socket->bytesAvailable();
            });
        },
        Qt::QueuedConnection);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // A closed connection no longer counts, though the socket lives on until it is deleted.
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_connections.remove(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    m_sweep.start();
    addPendingConnection(socket);
}

// A whole answer, and the connection closes; whatever the client sends meanwhile is read
// and dropped, so Qt's parser never sees it and the answer is not lost to a reset. The
// client is told the end once the answer is out, and given a moment to finish sending.
void ConnectionGuard::answerAtDoor(QTcpSocket *socket, const QByteArray &answer)
{
    m_connections.remove(socket);
    disconnect(socket, nullptr, this, nullptr);
    socket->readAll();
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater, Qt::UniqueConnection);
    connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
        if (socket->bytesToWrite() == 0)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    });
    QTimer::singleShot(kLingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->write(answer);
    socket->flush();
}

void ConnectionGuard::readIncoming(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    if (bounds == m_connections.end() || bounds->keptOpen)
        return;
    const qint64 available = socket->bytesAvailable();
    const QByteArray fresh = socket->peek(available).mid(bounds->unparsed);
    if (bounds->idle && !fresh.isEmpty()) {
        bounds->idle = false;
        bounds->since = m_clock();
    }
    // The head is looked at first: an oversized one gets its answer, not a reset.
    if (const QByteArray answer = doorAnswerFor(bounds->heads.take(fresh)); !answer.isEmpty()) {
        answerAtDoor(socket, answer);
        return;
    }
    bounds->bytes += fresh.size();
    if (bounds->bytes > kMaxRequestBytes)
        socket->abort();
}

QByteArray ConnectionGuard::doorAnswerFor(RequestHeadReader::Verdict verdict)
{
    switch (verdict) {
    case RequestHeadReader::Verdict::Reading:
        return {};
    case RequestHeadReader::Verdict::UriTooLong:
        return closingAnswer(414, "The address asked for is too long.");
    case RequestHeadReader::Verdict::HeadTooLarge:
        return closingAnswer(431, "The request's headers are too large.");
    case RequestHeadReader::Verdict::Upgrade:
        // One answer, and no switch: the board speaks plain HTTP only.
        return closingAnswer(404, "Not here.");
    }
    return {};
}

void ConnectionGuard::requestAnswered(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    if (bounds == m_connections.end())
        return;
    bounds->bytes = 0;
    bounds->since = m_clock();
    bounds->idle = !bounds->heads.isInHead();
}

bool ConnectionGuard::closesAfterAnswer(QTcpSocket *socket)
{
    auto bounds = m_connections.find(socket);
    return bounds != m_connections.end() && bounds->heads.takeClosesAfterAnswer();
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
    const qint64 now = m_clock();
    const QList<QTcpSocket *> sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets) {
        const Bounds &bounds = m_connections.value(socket);
        const qint64 allowed = bounds.idle ? kIdleTimeoutMs : kHeadTimeoutMs;
        if (!bounds.keptOpen && now - bounds.since >= allowed)
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
