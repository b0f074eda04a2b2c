#include "TrayMinimiser.h"

bool TrayMinimiser::minimise(const QRect &bounds)
{
    if (m_inTray || !available())
        return false;
    m_inTray = true;
    m_boundsBefore = bounds;
    return true;
}
