#include "WindowPlacement.h"

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
