#pragma once

#include <QRect>

class QScreen;

// The monitor the board is shaped for and the TV window goes to: the last one in the
// system's monitor list.
QScreen *targetMonitor();
QRect targetMonitorGeometry();

// How many monitors there are now.
int monitorCount();
