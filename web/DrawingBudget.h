#pragma once

#include <QtGlobal>

// The operator window's time the web board may spend drawing, counted in milliseconds of
// drawing rather than in requests: so much a second on average, with one second's worth
// at most saved up. A drawing that takes longer than the budget is paid off over the
// seconds after it, during which nothing fresh is drawn; so however long one drawing takes,
// the window's thread is the web board's for no more than its share.
class DrawingBudget
{
public:
    explicit DrawingBudget(qint64 msPerSecond)
        : m_msPerSecond(msPerSecond)
    {
    }

    // Whether a drawing may begin at `now` (a steady clock in milliseconds).
    bool mayDraw(qint64 now);
    // A drawing that took `ms` of the window's time has ended at `now`.
    void spend(qint64 ms, qint64 now);
    // How long until the next drawing may begin, rounded up to whole seconds, at least one.
    int secondsUntilAllowed(qint64 now);

private:
    void payOffUntil(qint64 now);

    qint64 m_msPerSecond;
    double m_owedMs = 0;
    qint64 m_lastNow = -1;
};
