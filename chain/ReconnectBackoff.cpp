#include "ReconnectBackoff.h"

#include <algorithm>

int ReconnectBackoff::nextDelayMs()
{
    const int delay = m_nextMs;
    m_nextMs = std::min(m_nextMs * 2, kLongestMs);
    return delay;
}
