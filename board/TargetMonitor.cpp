#include "TargetMonitor.h"

#include "MonitorList.h"

#include <QGuiApplication>
#include <QScreen>

QScreen *targetMonitor()
{
    const QRect target = targetMonitorGeometry();
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen->geometry() == target)
            return screen;
    }
    return screens.isEmpty() ? nullptr : screens.last();
}

QRect targetMonitorGeometry()
{
    const QList<QRect> monitors = MonitorList::instance().monitors();
    // Without any monitor (all unplugged for a moment) keep the board in a common shape.
    return monitors.isEmpty() ? QRect(0, 0, 1920, 1080) : monitors.last();
}

int monitorCount()
{
    return int(MonitorList::instance().monitors().size());
}
