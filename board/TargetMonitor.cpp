#include "TargetMonitor.h"

#include <QGuiApplication>
#include <QScreen>

QScreen *targetMonitor()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.last();
}

QRect targetMonitorGeometry()
{
    QScreen *screen = targetMonitor();
    // Without any monitor (all unplugged for a moment) keep the board in a common shape.
    return screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
}
