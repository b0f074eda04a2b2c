#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <list>
#include <memory>

class HttpExchange;
class HttpStream;
class QTcpSocket;

// The open pages that listen for changes (Server-Sent Events). Every event goes to every
// page; a page that stops reading is let go before its unread events pile up, so one
// stalled browser never holds the others or the program back.
class EventStream : public QObject
{
    Q_OBJECT
public:
    explicit EventStream(QObject *parent = nullptr);
    ~EventStream() override;

    // The most pages that listen at once; one more is refused, the others go on.
    static constexpr int kMaxListeners = 64;
    // Unread bytes a page may leave waiting before it counts as stalled.
    static constexpr qint64 kMaxUnread = 256 * 1024;
    // A comment line this often keeps quiet connections open and finds dead ones.
    static constexpr int kKeepAliveMs = 20000;

    // How often the keep-alive line goes out; tests shorten it rather than wait 20 s.
    void setKeepAliveInterval(int ms) { m_keepAlive.setInterval(ms); }
    bool keepsAlive() const { return m_keepAlive.isActive(); }

    bool isFull() const { return listenerCount() >= kMaxListeners; }
    int listenerCount() const;
    // Whether the connection carries one of the streams.
    bool isListening(const QTcpSocket *socket) const;
    // Takes the connection over: answers with the stream's headers, then `greeting` (the
    // events that bring a new or returning page up to date).
    void listen(HttpExchange &exchange, const QByteArray &greeting);
    // Sends one event to every page.
    void send(const QByteArray &event);
    // Lets every page go.
    void closeAll();

    // One event in the stream's format: a name and a one-line data text.
    static QByteArray event(const QByteArray &name, const QByteArray &data);

signals:
    void listenerCountChanged(int count);

private:
    void write(HttpStream &listener, const QByteArray &bytes);
    void dropClosed();

    std::list<std::unique_ptr<HttpStream>> m_listeners;
    QTimer m_keepAlive;
};
