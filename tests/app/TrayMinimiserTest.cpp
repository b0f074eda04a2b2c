#include "app/TrayMinimiser.h"

#include <gtest/gtest.h>

// In the notification area the window keeps the bounds it had before; a second minimise
// meanwhile (the window system repeats itself) does not take the hidden window's bounds.
TEST(TrayMinimiser, TheBoundsFromBeforeTheTrayAreKeptUntilTheWindowIsBack)
{
    TrayMinimiser tray([] { return true; });
    const QRect before(100, 80, 600, 520);
    const QRect hidden(0, 0, 160, 28);
    EXPECT_EQ(tray.boundsToKeep(before), before);

    EXPECT_TRUE(tray.minimise(before));
    EXPECT_TRUE(tray.inTray());
    EXPECT_FALSE(tray.minimise(hidden));
    EXPECT_EQ(tray.boundsToKeep(hidden), before);

    tray.restored();
    EXPECT_FALSE(tray.inTray());
    EXPECT_EQ(tray.boundsToKeep(hidden), hidden);
}

// The desktop is asked at each minimise: its panel may come up after the program started.
TEST(TrayMinimiser, WithoutANotificationAreaTheWindowMinimisesTheOrdinaryWay)
{
    bool panel = false;
    TrayMinimiser tray([&panel] { return panel; });
    EXPECT_FALSE(tray.minimise(QRect(0, 0, 10, 10)));
    EXPECT_FALSE(tray.inTray());
    panel = true;
    EXPECT_TRUE(tray.minimise(QRect(0, 0, 10, 10)));

    TrayMinimiser none(nullptr);
    EXPECT_FALSE(none.available());
    EXPECT_FALSE(none.minimise(QRect(0, 0, 10, 10)));
}
