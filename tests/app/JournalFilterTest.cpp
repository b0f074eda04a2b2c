#include "app/JournalFilter.h"

#include <gtest/gtest.h>

namespace {

// Moving one end of the range past the other takes the other along; an invalid date
// changes nothing.
TEST(JournalFilter, TheRangeStartsTodayAndNeverTurnsOver)
{
    const QDate today(2026, 3, 10);
    struct Case { const char *what; bool movesFrom; QDate date; QDate from, to; };
    const Case cases[] = {
        {"from earlier", true, QDate(2026, 3, 1), QDate(2026, 3, 1), today},
        {"from past to", true, QDate(2026, 3, 15), QDate(2026, 3, 15), QDate(2026, 3, 15)},
        {"to later", false, QDate(2026, 3, 20), today, QDate(2026, 3, 20)},
        {"to before from", false, QDate(2026, 3, 5), QDate(2026, 3, 5), QDate(2026, 3, 5)},
        {"invalid from", true, QDate(), today, today},
        {"invalid to", false, QDate(), today, today},
    };
    for (const Case &c : cases) {
        JournalFilter filter(today);
        EXPECT_EQ(filter.from(), today);
        EXPECT_EQ(filter.to(), today);
        if (c.movesFrom)
            filter.setFrom(c.date);
        else
            filter.setTo(c.date);
        EXPECT_EQ(filter.from(), c.from) << c.what;
        EXPECT_EQ(filter.to(), c.to) << c.what;
    }
}

} // namespace
