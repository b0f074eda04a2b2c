#include "ScreenSaverInhibit.h"

#include <QDBusMessage>

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

} // namespace

ScreenSaverInhibit::ScreenSaverInhibit(const QDBusConnection &bus, const QString &applicationName)
    : m_bus(bus)
    , m_applicationName(applicationName)
{
}

ScreenSaverInhibit::~ScreenSaverInhibit()
{
    release();
}

bool ScreenSaverInhibit::hold(const QString &reason)
{
    if (m_cookie)
        return true;
    if (!m_bus.isConnected())
        return false;
    const QDBusMessage reply =
        m_bus.call(screenSaverCall(QStringLiteral("Inhibit"), {m_applicationName, reason}), QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1)
        m_cookie = reply.arguments().constFirst().toUInt();
    return m_cookie.has_value();
}

void ScreenSaverInhibit::release()
{
    if (!m_cookie)
        return;
    const uint cookie = *m_cookie;
    m_cookie.reset();
    // Waited for, so that it has left before the program does; a session that lost the
    // request meanwhile has nothing to give back, which is as good.
    m_bus.call(screenSaverCall(QStringLiteral("UnInhibit"), {cookie}), QDBus::Block, kCallTimeoutMs);
}
