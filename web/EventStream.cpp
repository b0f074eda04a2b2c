#include "EventStream.h"

#include "HttpExchange.h"

#include <algorithm>

EventStream::EventStream(QObject *parent)
    : QObject(parent)
{
    m_keepAlive.setInterval(kKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] { send(QByteArrayLiteral(": still here\n\n")); });
}

EventStream::~EventStream() = default;

int EventStream::listenerCount() const
{
    int count = 0;
    for (const auto &listener : m_listeners)
        if (listener->isOpen())
            ++count;
    return count;
}

bool EventStream::isListening(const QTcpSocket *socket) const
{
    return std::any_of(m_listeners.begin(), m_listeners.end(),
                       [socket](const auto &listener) { return listener->socket() == socket; });
}

QByteArray EventStream::event(const QByteArray &name, const QByteArray &data)
{
    QByteArray line = data;
    line.replace('\n', ' ').replace('\r', ' ');
    return "event: " + name + "\ndata: " + line + "\n\n";
}

void EventStream::listen(HttpExchange &exchange, const QByteArray &greeting)
{
    QTcpSocket *socket = exchange.socket();
    if (!socket)
        return;
    // The page tries again this soon after losing the connection.
    HttpHeaderList headers{{"Content-Type", "text/event-stream; charset=utf-8"}, {"Cache-Control", "no-store"}};
    headers += securityHeaders();
    m_listeners.push_back(exchange.openStream(headers, "retry: 1000\n\n" + greeting));
    connect(socket, &QTcpSocket::disconnected, this, &EventStream::dropClosed, Qt::QueuedConnection);
    connect(socket, &QObject::destroyed, this, &EventStream::dropClosed, Qt::QueuedConnection);
    m_keepAlive.start();
    emit listenerCountChanged(listenerCount());
}

void EventStream::write(HttpStream &listener, const QByteArray &bytes)
{
    if (!listener.isOpen())
        return;
    if (listener.socket()->bytesToWrite() > kMaxUnread) {
        listener.socket()->abort();
        return;
    }
    listener.write(bytes);
}

void EventStream::send(const QByteArray &event)
{
    for (const auto &listener : m_listeners)
        write(*listener, event);
    dropClosed();
}

void EventStream::dropClosed()
{
    const std::size_t before = m_listeners.size();
    m_listeners.remove_if([](const auto &listener) { return !listener->isOpen(); });
    if (m_listeners.empty())
        m_keepAlive.stop();
    if (m_listeners.size() != before)
        emit listenerCountChanged(listenerCount());
}

void EventStream::closeAll()
{
    for (const auto &listener : m_listeners)
        if (listener->socket())
            listener->socket()->abort();
    m_listeners.clear();
    m_keepAlive.stop();
}
