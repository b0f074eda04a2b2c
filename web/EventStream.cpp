#include "EventStream.h"

EventStream::EventStream(QObject *parent)
    : QObject(parent)
{
    m_keepAlive.setInterval(kKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] { send(QByteArrayLiteral(": still here\n\n")); });
}

int EventStream::listenerCount() const
{
    int count = 0;
    for (const Listener &listener : m_listeners)
        if (listener.socket && listener.socket->state() == QAbstractSocket::ConnectedState)
            ++count;
    return count;
}

QByteArray EventStream::event(const QByteArray &name, const QByteArray &data)
{
    QByteArray line = data;
    line.replace('\n', ' ').replace('\r', ' ');
    return "event: " + name + "\ndata: " + line + "\n\n";
}

void EventStream::listen(QHttpServerResponder &&responder, const QByteArray &greeting)
{
    QTcpSocket *socket = responder.socket();
    responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    // The page tries again this soon after losing the connection.
    responder.writeBody("retry: 1000\n\n" + greeting);
    m_listeners.push_back(Listener{std::move(responder), socket});
    connect(socket, &QTcpSocket::disconnected, this, &EventStream::dropClosed, Qt::QueuedConnection);
    connect(socket, &QObject::destroyed, this, &EventStream::dropClosed, Qt::QueuedConnection);
    m_keepAlive.start();
    emit listenerCountChanged(listenerCount());
}

void EventStream::write(Listener &listener, const QByteArray &bytes)
{
    QTcpSocket *socket = listener.socket;
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (socket->bytesToWrite() > kMaxUnread) {
        socket->abort();
        return;
    }
    socket->write(bytes);
}

void EventStream::send(const QByteArray &event)
{
    for (Listener &listener : m_listeners)
        write(listener, event);
    dropClosed();
}

void EventStream::dropClosed()
{
    const std::size_t before = m_listeners.size();
    m_listeners.remove_if([](const Listener &listener) {
        return !listener.socket || listener.socket->state() != QAbstractSocket::ConnectedState;
    });
    if (m_listeners.empty())
        m_keepAlive.stop();
    if (m_listeners.size() != before)
        emit listenerCountChanged(listenerCount());
}

void EventStream::closeAll()
{
    for (Listener &listener : m_listeners)
        if (listener.socket)
            listener.socket->abort();
    m_listeners.clear();
    m_keepAlive.stop();
}
