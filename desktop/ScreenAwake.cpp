#include "ScreenAwake.h"

#include "ScreenSaverInhibit.h"
#include "XScreenSaverSuspension.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace {

xcb_connection_t *programXConnection()
{
#if QT_CONFIG(xcb)
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x11->connection();
#endif
    return nullptr;
}

} // namespace

ScreenAwake::ScreenAwake(QObject *parent)
    : ScreenAwake(QDBusConnection::sessionBus(), programXConnection(), parent)
{
}

ScreenAwake::ScreenAwake(const QDBusConnection &bus, xcb_connection_t *xConnection, QObject *parent)
    : QObject(parent)
    , m_session(std::make_unique<ScreenSaverInhibit>(bus, QCoreApplication::applicationName()))
    , m_x(std::make_unique<XScreenSaverSuspension>(xConnection))
{
}

ScreenAwake::~ScreenAwake()
{
    releaseBeforeExit();
}

void ScreenAwake::follow(QWidget *window)
{
    stopFollowing();
    m_window = window;
    if (!window) {
        release();
        return;
    }
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &ScreenAwake::release, Qt::UniqueConnection);
    if (window->isVisible())
        hold();
    else
        release();
}

void ScreenAwake::hold()
{
    m_held = true;
    m_session->hold(tr("The rate board is on the screen for the customers"));
    m_x->hold();
}

void ScreenAwake::release()
{
    m_held = false;
    m_session->release();
    m_x->release();
}

// The board may still show while the program ends; it is not followed any more.
void ScreenAwake::releaseBeforeExit()
{
    stopFollowing();
    m_held = false;
    m_session->releaseBeforeExit();
    m_x->release();
}

void ScreenAwake::stopFollowing()
{
    if (m_window) {
        m_window->removeEventFilter(this);
        disconnect(m_window, &QObject::destroyed, this, &ScreenAwake::release);
    }
    m_window = nullptr;
}

bool ScreenAwake::sessionInhibited() const
{
    return m_session->held();
}

bool ScreenAwake::sessionAsking() const
{
    return m_session->pending();
}

bool ScreenAwake::xSuspended() const
{
    return m_x->held();
}

bool ScreenAwake::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show)
            hold();
        else if (event->type() == QEvent::Hide)
            release();
    }
    return QObject::eventFilter(watched, event);
}
