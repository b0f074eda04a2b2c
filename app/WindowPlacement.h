#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

// Where the operator window goes when it is shown: it stays on the first monitor. A window
// that lies on another monitor moves onto the first one at the same offset from that
// monitor's top-left corner, pulled back left and up just enough to keep its right and
// bottom edges on it. A window already on the first monitor stays where it is.
QPoint keepOnFirstMonitor(const QRect &window, const QList<QRect> &monitors);

// The monitor a window lies on: the one it overlaps most, or the nearest one when it
// overlaps none. -1 without monitors.
int monitorOf(const QRect &window, const QList<QRect> &monitors);

// Where a window goes so that it lies wholly on one monitor: a window already wholly on one
// stays; any other moves the least distance onto the monitor it lies on (see monitorOf). A
// window larger than that monitor keeps its top-left corner on it. Unchanged without monitors.
QPoint keepFullyVisible(const QRect &window, const QList<QRect> &monitors);

// The operator window's place when it is shown: on the first monitor, and wholly on it.
QPoint placeOperatorWindow(const QRect &window, const QList<QRect> &monitors);
