#pragma once

// The waits between attempts to reach the broker: the first is short so that a brief cut
// heals at once, each failure doubles it up to a ceiling so that a broker that stays away
// costs nothing, and a connection the broker accepted starts the series again.
class ReconnectBackoff
{
public:
    static constexpr int kFirstMs = 500;
    static constexpr int kLongestMs = 10000;

    // The wait before the next attempt; each call doubles the one after it.
    int nextDelayMs();
    void reset() { m_nextMs = kFirstMs; }

private:
    int m_nextMs = kFirstMs;
};
