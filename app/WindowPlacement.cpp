#include "WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

qint64 squaredDistance(QPoint a, QPoint b)
{
    const qint64 dx = a.x() - b.x();
    const qint64 dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

} // namespace

int monitorOf(const QRect &window, const QList<QRect> &monitors)
{
    int best = -1;
    qint64 bestOverlap = 0;
    for (int i = 0; i < monitors.size(); ++i) {
        const qint64 area = overlap(window, monitors[i]);
        if (area > bestOverlap) {
            bestOverlap = area;
            best = i;
        }
    }
    if (best >= 0)
        return best;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < monitors.size(); ++i) {
        const qint64 distance = squaredDistance(window.center(), monitors[i].center());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

QPoint keepOnFirstMonitor(const QRect &window, const QList<QRect> &monitors)
{
    const int current = monitorOf(window, monitors);
    if (current <= 0)
        return window.topLeft();
    const QRect &first = monitors.first();
    QPoint position = first.topLeft() + (window.topLeft() - monitors[current].topLeft());
    const int overRight = position.x() + window.width() - (first.x() + first.width());
    if (overRight > 0)
        position.rx() -= overRight;
    const int overBottom = position.y() + window.height() - (first.y() + first.height());
    if (overBottom > 0)
        position.ry() -= overBottom;
    return position;
}

namespace {

int clampIntoRange(int start, int length, int rangeStart, int rangeLength)
{
    const qint64 last = qint64(rangeStart) + rangeLength - length;
    if (last < rangeStart)
        return rangeStart;
    return int(std::clamp<qint64>(start, rangeStart, last));
}

} // namespace

QPoint keepFullyVisible(const QRect &window, const QList<QRect> &monitors)
{
    for (const QRect &monitor : monitors) {
        if (monitor.contains(window))
            return window.topLeft();
    }
    const int index = monitorOf(window, monitors);
    if (index < 0)
        return window.topLeft();
    const QRect &monitor = monitors[index];
    return {clampIntoRange(window.x(), window.width(), monitor.x(), monitor.width()),
            clampIntoRange(window.y(), window.height(), monitor.y(), monitor.height())};
}

QPoint placeOperatorWindow(const QRect &window, const QList<QRect> &monitors)
{
    const QPoint onFirst = keepOnFirstMonitor(window, monitors);
    return keepFullyVisible(QRect(onFirst, window.size()), monitors);
}
