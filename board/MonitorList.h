#pragma once

#include <QList>
#include <QObject>
#include <QRect>

#include <optional>

// The monitors as the windows see them: the system's list, in its order, and word of every
// change to it (a monitor plugged in or out, a new mode, a turn to portrait). Tests put in
// a list of their own and change it as a TV would.
class MonitorList : public QObject
{
    Q_OBJECT
public:
    static MonitorList &instance();

    // The bounds of each monitor, the first one first.
    QList<QRect> monitors() const;

    // From now on the windows see this list instead of the system's; nullopt gives the
    // system's back. Either way counts as a change.
    void setStandIn(const std::optional<QList<QRect>> &monitors);

signals:
    void changed();

private:
    MonitorList();
    void watchScreen(class QScreen *screen);

    std::optional<QList<QRect>> m_standIn;
};
