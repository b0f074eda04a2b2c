#include "DrawingBudget.h"

#include <algorithm>
#include <cmath>

void DrawingBudget::payOffUntil(qint64 now)
{
    if (m_lastNow >= 0 && now > m_lastNow)
        m_owedMs = std::max(0.0, m_owedMs - double(now - m_lastNow) * double(m_msPerSecond) / 1000.0);
    m_lastNow = std::max(m_lastNow, now);
}

bool DrawingBudget::mayDraw(qint64 now)
{
    payOffUntil(now);
    return m_owedMs < double(m_msPerSecond);
}

void DrawingBudget::spend(qint64 ms, qint64 now)
{
    payOffUntil(now);
    m_owedMs += double(std::max<qint64>(0, ms));
}

int DrawingBudget::secondsUntilAllowed(qint64 now)
{
    payOffUntil(now);
    const double overMs = m_owedMs - double(m_msPerSecond) + 1;
    return std::max(1, int(std::ceil(overMs / double(m_msPerSecond))));
}
