// The window's time the web board may draw in: counted in milliseconds of drawing, so a
// long drawing holds off the next ones for as long as it took more than its share.

#include "web/DrawingBudget.h"

#include <gtest/gtest.h>

namespace {

TEST(DrawingBudget, ShortDrawingsGoOnUntilTheSecondsShareIsSpent)
{
    DrawingBudget budget(100);
    qint64 now = 0;
    int drawn = 0;
    while (budget.mayDraw(now) && drawn < 100) {
        budget.spend(30, now);
        ++drawn;
    }
    EXPECT_EQ(drawn, 4) << "30 ms each: the fourth begins with 90 ms spent";
    EXPECT_FALSE(budget.mayDraw(now + 199)) << "120 ms owed, 100 allowed: 20 ms to pay at 0.1 ms a ms";
    EXPECT_TRUE(budget.mayDraw(now + 201));
}

TEST(DrawingBudget, ALongDrawingHoldsOffTheNextOnesForItsLength)
{
    struct Case
    {
        qint64 drawingMs;
        qint64 waitMs; // till the next drawing may begin
    };
    const Case cases[] = {{50, 0}, {100, 1}, {1700, 16001}, {400, 3001}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.drawingMs);
        DrawingBudget budget(100);
        ASSERT_TRUE(budget.mayDraw(1000));
        budget.spend(c.drawingMs, 1000 + c.drawingMs);
        const qint64 free = 1000 + c.drawingMs + c.waitMs;
        if (c.waitMs > 0) {
            EXPECT_FALSE(budget.mayDraw(free - 11));
            EXPECT_GE(budget.secondsUntilAllowed(free - 11), 1);
        }
        EXPECT_TRUE(budget.mayDraw(free));
    }
}

TEST(DrawingBudget, IdleTimeSavesUpNoMoreThanOneSecondsShare)
{
    DrawingBudget budget(100);
    budget.spend(0, 0);
    int drawn = 0;
    const qint64 later = 60 * 1000;
    while (budget.mayDraw(later) && drawn < 100) {
        budget.spend(10, later);
        ++drawn;
    }
    EXPECT_EQ(drawn, 10);
}

} // namespace
