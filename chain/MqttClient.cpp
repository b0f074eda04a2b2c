#include "MqttClient.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <mutex>

namespace {

void initialiseLibraryOnce()
{
    static std::once_flag once;
    // OpenSSL writes to the broker's socket with a plain write(): a broker gone mid-write
    // would end the whole program with SIGPIPE instead of giving the client an error.
    std::call_once(once, [] {
        std::signal(SIGPIPE, SIG_IGN);
        mosquitto_lib_init();
    });
}

// errno as a cashier would put it; anything rarer keeps the system's own words.
QString systemErrorText(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return QStringLiteral("брокер не принимает соединения");
    case ETIMEDOUT:
        return QStringLiteral("брокер не отвечает");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return QStringLiteral("сеть недоступна");
    case ECONNRESET:
    case EPIPE:
        return QStringLiteral("связь с брокером прервана");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// OpenSSL's reason for a failed handshake names the certificate when the broker's could not
// be verified; any other TLS error (the broker closing the connection mid-record) is a cut.
bool isCertificateFault(const QString &openSslReason)
{
    return openSslReason.contains(QLatin1String("certificate")) || openSslReason.contains(QLatin1String("verify"));
}

} // namespace

MqttClient::MqttClient(QObject *parent)
    : QObject(parent)
{
    initialiseLibraryOnce();
}

MqttClient::~MqttClient()
{
    stop();
}

void MqttClient::start(const MqttSession &session)
{
    stop();
    m_mosquitto = mosquitto_new(session.clientId.isEmpty() ? nullptr : session.clientId.toUtf8().constData(), true, this);
    if (!m_mosquitto) {
        emit disconnected(QStringLiteral("нет связи с брокером: не хватает памяти"));
        return;
    }
    const QString problem = configure(session);
    if (!problem.isEmpty()) {
        mosquitto_destroy(m_mosquitto);
        m_mosquitto = nullptr;
        emit disconnected(problem);
        return;
    }
    m_host = session.broker.host.toUtf8();
    m_port = session.broker.port;
    m_subscriptions = session.subscriptions;
    m_stopping = false;
    m_backoff.reset();
    m_thread = std::thread([this, keepAlive = session.keepAliveSeconds] { run(keepAlive); });
}

QString MqttClient::configure(const MqttSession &session)
{
    mosquitto_threaded_set(m_mosquitto, true);
    mosquitto_int_option(m_mosquitto, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_mosquitto, &MqttClient::onConnect);
    mosquitto_message_callback_set(m_mosquitto, &MqttClient::onMessage);
    mosquitto_log_callback_set(m_mosquitto, &MqttClient::onLog);
    if (!session.user.isEmpty()
        && mosquitto_username_pw_set(m_mosquitto, session.user.toUtf8().constData(),
                                     session.password.isEmpty() ? nullptr : session.password.toUtf8().constData())
               != MOSQ_ERR_SUCCESS)
        return QStringLiteral("нет связи с брокером: неверное имя пользователя");
    if (!session.willTopic.isEmpty()) {
        const QByteArray topic = session.willTopic.toUtf8();
        mosquitto_will_set(m_mosquitto, topic.constData(), int(session.willPayload.size()), session.willPayload.constData(),
                           1, true);
    }
    if (!session.broker.tls)
        return {};
    int result = MOSQ_ERR_SUCCESS;
    if (session.caFile.isEmpty()) {
        mosquitto_int_option(m_mosquitto, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    } else {
        result = mosquitto_tls_set(m_mosquitto, session.caFile.toLocal8Bit().constData(), nullptr, nullptr, nullptr, nullptr);
    }
    if (result != MOSQ_ERR_SUCCESS)
        return QStringLiteral("сертификат брокера не проверен: файл CA не читается");
    // The certificate must be signed by the CA and name the host we asked for.
    mosquitto_tls_opts_set(m_mosquitto, 1, nullptr, nullptr);
    mosquitto_tls_insecure_set(m_mosquitto, false);
    return {};
}

void MqttClient::requestStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
}

void MqttClient::stop()
{
    if (m_thread.joinable()) {
        requestStop();
        m_thread.join();
    }
    ++m_session;
    m_connected = false;
    if (m_mosquitto) {
        mosquitto_destroy(m_mosquitto);
        m_mosquitto = nullptr;
    }
}

bool MqttClient::publish(const QString &topic, const QByteArray &payload, bool retain)
{
    if (!m_mosquitto || !m_connected)
        return false;
    const QByteArray name = topic.toUtf8();
    return mosquitto_publish(m_mosquitto, nullptr, name.constData(), int(payload.size()), payload.constData(), 1, retain)
        == MOSQ_ERR_SUCCESS;
}

// ---- The client's thread -------------------------------------------------------------------

void MqttClient::run(int keepAliveSeconds)
{
    while (!m_stopping) {
        const QString reason = connectOnce(keepAliveSeconds);
        if (m_stopping)
            break;
        post([this, reason] { emit disconnected(reason); });
        waitBeforeRetry();
    }
    QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
}

// One connection from its attempt to its end; returns why it ended.
QString MqttClient::connectOnce(int keepAliveSeconds)
{
    m_refusal.clear();
    m_tlsError.clear();
    m_accepted = false;
    errno = 0;
    int code = mosquitto_connect_async(m_mosquitto, m_host.constData(), m_port, keepAliveSeconds);
    if (code != MOSQ_ERR_SUCCESS)
        return reasonFor(code, errno);
    while (!m_stopping) {
        errno = 0;
        code = mosquitto_loop(m_mosquitto, kLoopWakeMs, 1);
        if (code != MOSQ_ERR_SUCCESS) {
            const int systemError = errno;
            m_connected = false;
            return reasonFor(code, systemError);
        }
    }
    closeInOrder();
    return {};
}

// What was queued goes out before the DISCONNECT; a broker that does not take it gets a
// moment only, for the program is closing.
void MqttClient::closeInOrder()
{
    if (!m_connected)
        return;
    m_connected = false;
    mosquitto_disconnect(m_mosquitto);
    for (int round = 0; round < 2; ++round) {
        if (mosquitto_loop(m_mosquitto, 50, 1) != MOSQ_ERR_SUCCESS)
            break;
    }
}

void MqttClient::waitBeforeRetry()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(m_backoff.nextDelayMs()), [this] { return m_stopping.load(); });
}

QString MqttClient::reasonFor(int code, int systemError) const
{
    if (!m_refusal.isEmpty())
        return m_refusal;
    if (isCertificateFault(m_tlsError)) {
        return QStringLiteral("сертификат брокера не проверен: ")
            + QStringLiteral("он выдан не этому узлу или не подписан доверенным центром");
    }
    QString why;
    switch (code) {
    case MOSQ_ERR_EAI:
        why = QStringLiteral("имя брокера не найдено");
        break;
    case MOSQ_ERR_KEEPALIVE:
        why = QStringLiteral("брокер не отвечает");
        break;
    case MOSQ_ERR_CONN_LOST:
        why = systemError ? systemErrorText(systemError) : QStringLiteral("связь с брокером прервана");
        break;
    case MOSQ_ERR_TLS:
        // A connection the broker had accepted was cut; one that never got so far failed in TLS.
        why = m_accepted || m_tlsError.isEmpty() ? QStringLiteral("связь с брокером прервана")
                                                 : QStringLiteral("ошибка TLS: ") + m_tlsError;
        break;
    case MOSQ_ERR_ERRNO:
        why = systemErrorText(systemError);
        break;
    default:
        why = QString::fromUtf8(mosquitto_strerror(code));
        break;
    }
    return QStringLiteral("нет связи с брокером: ") + why;
}

// A report still queued when its session ends is dropped: it would tell of a connection that
// is gone, after the session that replaced it had started.
void MqttClient::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(
        this,
        [this, session = m_session.load(), call = std::move(call)] {
            if (session == m_session.load())
                call();
        },
        Qt::QueuedConnection);
}

void MqttClient::onConnect(mosquitto *, void *self, int code)
{
    auto *client = static_cast<MqttClient *>(self);
    if (code != 0) {
        // 4 and 5 are MQTT 3.1.1's "bad user name or password" and "not authorised".
        client->m_refusal = code == 4 || code == 5
            ? QStringLiteral("брокер отказал: неверный пользователь или пароль")
            : QStringLiteral("брокер отказал: %1").arg(QString::fromUtf8(mosquitto_connack_string(code)));
        return;
    }
    client->m_backoff.reset();
    client->m_accepted = true;
    for (const QString &topic : std::as_const(client->m_subscriptions))
        mosquitto_subscribe(client->m_mosquitto, nullptr, topic.toUtf8().constData(), 1);
    client->m_connected = true;
    client->post([client] { emit client->connected(); });
}

void MqttClient::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<MqttClient *>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    client->post([client, topic, payload] { emit client->messageReceived(topic, payload); });
}

// Only OpenSSL's own reason is kept, for the status line; libmosquitto's log never holds the
// password, and nothing of it is written anywhere else.
void MqttClient::onLog(mosquitto *, void *self, int level, const char *text)
{
    if (level != MOSQ_LOG_ERR || !text)
        return;
    const QString line = QString::fromUtf8(text);
    if (!line.startsWith(QLatin1String("OpenSSL Error")))
        return;
    auto *client = static_cast<MqttClient *>(self);
    client->m_tlsError = line.section(u':', -1).trimmed();
}
