#include "PrivateSessionBus.h"

#include <QMetaObject>
#include <QMutexLocker>

namespace testsupport {

PrivateSessionBus::PrivateSessionBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                   QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(10000)) {
        m_whyNot = QStringLiteral("dbus-daemon does not start: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        m_whyNot = QStringLiteral("dbus-daemon told no address: ") + QString::fromUtf8(m_daemon.readAllStandardError());
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(10000))
            m_daemon.kill();
        m_daemon.waitForFinished(10000);
    }
}

QDBusConnection PrivateSessionBus::connect(const QString &name) const
{
    m_connections << name;
    return QDBusConnection::connectToBus(m_address, name);
}

StandInScreenSaver::StandInScreenSaver(const PrivateSessionBus &bus)
    : m_connection(bus.connect(QStringLiteral("stand-in-screen-saver")))
{
    m_thread.start();
    moveToThread(&m_thread);
    m_registered = m_connection.isConnected()
                   && m_connection.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this,
                                                  QDBusConnection::ExportAllSlots)
                   && m_connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
}

StandInScreenSaver::~StandInScreenSaver()
{
    m_connection.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    m_connection.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    m_thread.quit();
    m_thread.wait();
}

QList<ScreenSaverCall> StandInScreenSaver::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

QList<uint> StandInScreenSaver::outstanding() const
{
    QMutexLocker lock(&m_mutex);
    QList<uint> cookies;
    for (const ScreenSaverCall &call : m_calls) {
        if (call.method == QLatin1String("Inhibit"))
            cookies << call.cookie;
        else
            cookies.removeOne(call.cookie);
    }
    return cookies;
}

QList<ScreenSaverCall> StandInScreenSaver::strayUnInhibits() const
{
    QMutexLocker lock(&m_mutex);
    QList<uint> held;
    QList<ScreenSaverCall> stray;
    for (const ScreenSaverCall &call : m_calls) {
        if (call.method == QLatin1String("Inhibit"))
            held << call.cookie;
        else if (!held.removeOne(call.cookie))
            stray << call;
    }
    return stray;
}

void StandInScreenSaver::holdBackAnswers()
{
    QMutexLocker lock(&m_mutex);
    m_holdingBack = true;
}

void StandInScreenSaver::answerHeldBack()
{
    // Sent from the thread the service answers on, as its own answers are.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QMutexLocker lock(&m_mutex);
            for (const QDBusMessage &answer : std::as_const(m_heldBack))
                m_connection.send(answer);
            m_heldBack.clear();
        },
        Qt::BlockingQueuedConnection);
}

int StandInScreenSaver::answersHeldBack() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_heldBack.size());
}

uint StandInScreenSaver::Inhibit(const QString &applicationName, const QString &reason)
{
    QMutexLocker lock(&m_mutex);
    const uint cookie = m_nextCookie++;
    m_calls.append({QStringLiteral("Inhibit"), applicationName, reason, cookie});
    if (m_holdingBack) {
        setDelayedReply(true);
        m_heldBack << message().createReply(QVariantList{cookie});
    }
    return cookie;
}

void StandInScreenSaver::UnInhibit(uint cookie)
{
    QMutexLocker lock(&m_mutex);
    m_calls.append({QStringLiteral("UnInhibit"), QString(), QString(), cookie});
}

} // namespace testsupport
