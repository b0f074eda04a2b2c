#include "MonitorList.h"

#include <QGuiApplication>
#include <QScreen>

MonitorList &MonitorList::instance()
{
    static MonitorList list;
    return list;
}

MonitorList::MonitorList()
{
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        emit changed();
    });
    // The screen that goes is still in the list while this signal runs.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &MonitorList::changed, Qt::QueuedConnection);
}

void MonitorList::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &MonitorList::changed);
}

QList<QRect> MonitorList::monitors() const
{
    if (m_standIn)
        return *m_standIn;
    QList<QRect> bounds;
    for (const QScreen *screen : QGuiApplication::screens())
        bounds.append(screen->geometry());
    return bounds;
}

void MonitorList::setStandIn(const std::optional<QList<QRect>> &monitors)
{
    m_standIn = monitors;
    emit changed();
}
