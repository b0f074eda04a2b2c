#include "ScreenSaverInhibit.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDeadlineTimer>
#include <QThread>

#include <limits>
#include <utility>

namespace {

QDBusMessage screenSaverCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(ScreenSaverInhibit::kService, ScreenSaverInhibit::kPath,
                                                       ScreenSaverInhibit::kInterface, method);
    call.setArguments(arguments);
    // Only a service that runs already: the bus is not to start one for us.
    call.setAutoStartService(false);
    return call;
}

QDBusMessage unInhibitCall(uint cookie)
{
    return screenSaverCall(QStringLiteral("UnInhibit"), {cookie});
}

// An answer however late is still taken, so that its cookie can be given back; the bus
// itself answers with an error when the service goes away without answering.
constexpr int kNoTimeout = std::numeric_limits<int>::max();

// The answer is taken in by the bus's own thread, so it comes without an event loop here.
void waitForAnswer(const QDBusPendingCall &call, QDeadlineTimer deadline)
{
    constexpr int kLookEveryMs = 2;
    while (!call.isFinished() && !deadline.hasExpired())
        QThread::msleep(kLookEveryMs);
}

} // namespace

ScreenSaverInhibit::ScreenSaverInhibit(const QDBusConnection &bus, const QString &applicationName, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_applicationName(applicationName)
{
}

ScreenSaverInhibit::~ScreenSaverInhibit()
{
    releaseBeforeExit();
}

bool ScreenSaverInhibit::hold(const QString &reason)
{
    m_wanted = true;
    if (m_cookie || m_pending)
        return true;
    if (!m_bus.isConnected())
        return false;
    const QDBusPendingCall call =
        m_bus.asyncCall(screenSaverCall(QStringLiteral("Inhibit"), {m_applicationName, reason}), kNoTimeout);
    m_pending = new QDBusPendingCallWatcher(call, this);
    connect(m_pending, &QDBusPendingCallWatcher::finished, this, &ScreenSaverInhibit::inhibitAnswered);
    return true;
}

void ScreenSaverInhibit::release()
{
    m_wanted = false;
    if (!m_cookie)
        return;
    // Sent without a reply to wait for; a session that lost the request meanwhile has
    // nothing to give back, which is as good.
    m_bus.send(unInhibitCall(*m_cookie));
    m_cookie.reset();
}

void ScreenSaverInhibit::releaseBeforeExit()
{
    m_wanted = false;
    const QDeadlineTimer end(kExitWaitMs);
    if (QDBusPendingCallWatcher *answer = std::exchange(m_pending, nullptr)) {
        // Taken here, not by inhibitAnswered(), which would give it back without waiting.
        answer->disconnect(this);
        waitForAnswer(*answer, QDeadlineTimer(kExitWaitMs / 2));
        // A session that has not answered by now keeps the request until the program's
        // connection to the bus closes, which the desktops take as a give-back.
        if (answer->isFinished())
            takeAnswer(*answer);
        delete answer;
    }
    if (!m_cookie)
        return;
    const uint cookie = *m_cookie;
    m_cookie.reset();
    // Waited for, so that it has left before the program does.
    m_bus.call(unInhibitCall(cookie), QDBus::Block, int(end.remainingTime()));
}

void ScreenSaverInhibit::inhibitAnswered()
{
    QDBusPendingCallWatcher *answer = std::exchange(m_pending, nullptr);
    takeAnswer(*answer);
    // The board hid before the session answered: no request granted is left behind.
    if (!m_wanted)
        release();
    // Its signal is being delivered: it goes once that is done.
    answer->deleteLater();
}

// A session that refuses, is not there or went away without answering grants nothing.
void ScreenSaverInhibit::takeAnswer(const QDBusPendingCallWatcher &answer)
{
    const QDBusPendingReply<uint> reply = answer;
    if (reply.isValid())
        m_cookie = reply.value();
}
