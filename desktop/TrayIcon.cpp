#include "TrayIcon.h"

#include <QCursor>
#include <QEvent>
#include <QWindowStateChangeEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaMethod>
#include <QWidget>

namespace {

// Never ends the text inside a surrogate pair: half a character is not text.
QString leadingCharacters(const QString &text, int count)
{
    if (text.size() > count && text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

bool becameMinimized(const QWidget *window, const QEvent *event)
{
    if (event->type() != QEvent::WindowStateChange || !window->isMinimized())
        return false;
    const auto *change = static_cast<const QWindowStateChangeEvent *>(event);
    return !(change->oldState() & Qt::WindowMinimized);
}

} // namespace

TTrayIcon::TTrayIcon(QObject *parent)
    : QObject(parent)
    , m_tray(this)
    , m_animationTimer(this)
{
    // Stopped until Animate starts it.
    m_animationTimer.setInterval(m_animateInterval);
    connect(&m_animationTimer, &QTimer::timeout, this, &TTrayIcon::AnimationTick);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TTrayIcon::trayActivated);
}

TTrayIcon::~TTrayIcon()
{
    if (m_active)
        HideIcon();
}

bool TTrayIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active)
        ShowIcon();
    else
        HideIcon();
}

void TTrayIcon::setAnimate(bool animate)
{
    if (animate && (m_images.isEmpty() || !m_active))
        return;
    m_animate = animate;
    if (animate) {
        m_savedIcon = m_icon;
        m_frame = 0;
        m_animationTimer.start();
    } else {
        m_animationTimer.stop();
        setIcon(m_savedIcon);
    }
}

void TTrayIcon::setAnimateInterval(int interval)
{
    if (interval <= 0)
        return;
    m_animateInterval = interval;
    m_animationTimer.setInterval(interval);
}

void TTrayIcon::setIcon(const QIcon &icon)
{
    m_icon = icon;
    UpdateIcon(IconData::Icon);
}

void TTrayIcon::setImages(const QList<QIcon> &images)
{
    const bool picturesGone = !m_images.isEmpty() && images.isEmpty();
    m_images = images;
    if (picturesGone)
        setAnimate(false);
}

void TTrayIcon::setToolTip(const QString &toolTip)
{
    m_toolTip = leadingCharacters(toolTip, MaxToolTipLength);
    UpdateIcon(IconData::IconAndTip);
}

void TTrayIcon::setMainWindow(QWidget *window)
{
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
    m_mainWindow = window;
    if (window)
        window->installEventFilter(this);
}

void TTrayIcon::MinimizeToTray()
{
    if (m_active)
        return;
    // A hidden window has no taskbar entry either.
    if (m_mainWindow)
        m_mainWindow->hide();
    setActive(true);
}

void TTrayIcon::RestoreFromTray()
{
    if (!m_active)
        return;
    if (m_mainWindow) {
        // Only the minimised state is undone: a maximised window comes back maximised.
        m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    setActive(false);
}

bool TTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    // Hiding waits until the minimise is complete: QWidget::showMinimized() shows the
    // window again right after it has announced the new state.
    if (watched == m_mainWindow && becameMinimized(m_mainWindow, event))
        QMetaObject::invokeMethod(this, &TTrayIcon::ApplicationMinimized, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

bool TTrayIcon::ShowIcon()
{
    if (m_icon.isNull())
        setIcon(QGuiApplication::windowIcon());
    FillIconData(IconData::IconAndTip);
    m_tray.show();
    // An icon added without a tip is sent its (empty) tip once more, from the event loop
    // after the add has been handled.
    if (m_toolTip.isEmpty())
        QMetaObject::invokeMethod(this, &TTrayIcon::resetToolTip, Qt::QueuedConnection);
    return available();
}

bool TTrayIcon::HideIcon()
{
    m_tray.hide();
    return available();
}

bool TTrayIcon::UpdateIcon(IconData parts)
{
    if (!m_active)
        return true;
    FillIconData(parts);
    return available();
}

void TTrayIcon::FillIconData(IconData parts)
{
    m_tray.setIcon(m_icon);
    if (parts == IconData::IconAndTip)
        m_tray.setToolTip(m_toolTip);
}

void TTrayIcon::ApplicationMinimized()
{
    if (m_minimizeApp)
        MinimizeToTray();
}

void TTrayIcon::AnimationTick()
{
    m_frame = m_frame >= m_images.size() - 1 ? 0 : m_frame + 1;
    setIcon(m_images.at(m_frame));
}

void TTrayIcon::resetToolTip()
{
    setToolTip(m_toolTip);
}

void TTrayIcon::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit OnClick();
        break;
    case QSystemTrayIcon::DoubleClick:
        doubleClicked();
        break;
    case QSystemTrayIcon::Context:
        rightClicked();
        break;
    default:
        break;
    }
}

void TTrayIcon::doubleClicked()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TTrayIcon::OnDblClick)))
        emit OnDblClick();
    else
        RestoreFromTray();
}

// The menu is shown here rather than handed to QSystemTrayIcon::setContextMenu(), which
// would show it on its own schedule: the menu has to be up before OnRightClick runs.
void TTrayIcon::rightClicked()
{
    const QPoint cursor = QCursor::pos();
    if (m_popupMenu)
        m_popupMenu->popup(cursor);
    emit OnRightClick(Qt::RightButton, Qt::NoModifier, cursor);
}
