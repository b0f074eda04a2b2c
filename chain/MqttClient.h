#pragma once

#include "BrokerAddress.h"
#include "ReconnectBackoff.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct mosquitto;
struct mosquitto_message;

// What a connection to the broker needs. The password is handed to libmosquitto and to
// nothing else: no message of this class ever carries it.
struct MqttSession
{
    BrokerAddress broker;
    QString clientId;
    QString user;
    QString password;
    // A CA certificate for TLS; empty takes the system's CAs.
    QString caFile;
    // The retained message the broker publishes when this client vanishes without a word.
    QString willTopic;
    QByteArray willPayload;
    // Subscribed at QoS 1 after each connection.
    QStringList subscriptions;
    // A broker that stays silent this long (and as long again for the ping) counts as gone.
    int keepAliveSeconds = 5;
};

// A client of the chain's MQTT broker on a thread of its own, so that neither the window
// nor the boards ever wait on the network. It connects, keeps reconnecting with a growing
// pause while the broker is away, and tells the thread that owns it of every change through
// queued signals. Messages go out at QoS 1.
class MqttClient : public QObject
{
    Q_OBJECT
public:
    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    // Starts connecting; a running session is stopped first.
    void start(const MqttSession &session);
    // Asks the thread to end without waiting for it (many clients can then end together).
    void requestStop();
    // Ends the session: a connection still open is closed with a DISCONNECT, after what
    // was published before has been sent. Waits for the thread (at most a fraction of a second).
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    bool isConnected() const { return m_connected.load(); }

    // Queues a message at QoS 1; never waits. False when there is no connection to send it on.
    bool publish(const QString &topic, const QByteArray &payload, bool retain);

    // How long the thread's wait for the network lasts before it looks whether to stop.
    static constexpr int kLoopWakeMs = 100;

signals:
    void connected();
    // The broker could not be reached, refused us or went away; the reason is for a cashier.
    void disconnected(const QString &reason);
    void messageReceived(const QString &topic, const QByteArray &payload);
    // The thread has ended after requestStop(); deleting the client now waits for nothing.
    void finished();

private:
    static void onConnect(mosquitto *, void *self, int code);
    static void onMessage(mosquitto *, void *self, const mosquitto_message *message);
    static void onLog(mosquitto *, void *self, int level, const char *text);

    QString configure(const MqttSession &session);
    void run(int keepAliveSeconds);
    QString connectOnce(int keepAliveSeconds);
    void closeInOrder();
    void waitBeforeRetry();
    QString reasonFor(int code, int systemError) const;
    void post(std::function<void()> call);

    mosquitto *m_mosquitto = nullptr;
    QByteArray m_host;
    int m_port = 0;
    QStringList m_subscriptions;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_connected{false};
    // Counts the sessions; the reports of an ended one are not delivered.
    std::atomic<int> m_session{0};
    // Touched by the client's thread only.
    ReconnectBackoff m_backoff;
    QString m_refusal;
    QString m_tlsError;
    bool m_accepted = false;
};
