#include "app/WindowPlacement.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// The operator window's outer size.
constexpr int kW = 582;
constexpr int kH = 518;

const QRect kMain(0, 0, 1920, 1080);
const QRect kTvRight(1920, 0, 1080, 1920);
const QRect kBigRight(1920, 0, 3840, 2160);
const QRect kLeftOfMain(-1280, 0, 1280, 1024);

struct PlacementCase
{
    const char *name;
    QList<QRect> monitors;
    QPoint window;   // top-left of a kW x kH window
    int monitor;     // what monitorOf says
    QPoint expected; // where keepOnFirstMonitor puts it
};

void PrintTo(const PlacementCase &c, std::ostream *os)
{
    *os << c.name;
}

class Placement : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(Placement, KeepsTheWindowOnTheFirstMonitor)
{
    const PlacementCase &c = GetParam();
    const QRect window(c.window, QSize(kW, kH));
    EXPECT_EQ(monitorOf(window, c.monitors), c.monitor);
    EXPECT_EQ(keepOnFirstMonitor(window, c.monitors), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlacementCase{"DesignPositionStays", {kMain, kTvRight}, {324, 106}, 0, {324, 106}},
        PlacementCase{"OneMonitorStays", {kMain}, {324, 106}, 0, {324, 106}},
        // Off the desktop at the left and bottom, but still mostly on the first monitor.
        PlacementCase{"PartlyOffStays", {kMain, kTvRight}, {-100, 900}, 0, {-100, 900}},
        PlacementCase{"PartlyOffAloneStays", {kMain}, {1700, 800}, 0, {1700, 800}},
        // Straddling the two, more of it on the first.
        PlacementCase{"StraddlingMostlyFirstStays", {kMain, kTvRight}, {1500, 100}, 0, {1500, 100}},
        // Straddling the two, more of it on the second: it counts as on the second and keeps
        // its (negative) offset from that monitor's corner.
        PlacementCase{"StraddlingMostlySecondMoves", {kMain, kTvRight}, {1700, 100}, 1, {-220, 100}},
        PlacementCase{"SameOffsetOnFirst", {kMain, kTvRight}, {2000, 300}, 1, {80, 300}},
        PlacementCase{"PulledUpToKeepBottomEdge", {kMain, kTvRight}, {2500, 1000}, 1, {580, 562}},
        PlacementCase{"PulledLeftToKeepRightEdge", {kMain, kBigRight}, {5420, 100}, 1, {1338, 100}},
        PlacementCase{"PulledLeftAndUp", {kMain, kBigRight}, {5420, 1600}, 1, {1338, 562}},
        // On no monitor at all: the nearest one decides.
        PlacementCase{"NowhereNearestSecondMoves", {kMain, kTvRight}, {5000, 5000}, 1, {1338, 562}},
        PlacementCase{"NowhereNearestFirstStays", {kMain, kTvRight}, {-2000, 100}, 0, {-2000, 100}},
        // A monitor to the left of the first has negative coordinates.
        PlacementCase{"NegativeMonitorMoves", {kMain, kLeftOfMain}, {-1000, 200}, 1, {280, 200}},
        PlacementCase{"NegativeMonitorPulledUp", {kMain, kLeftOfMain}, {-600, 800}, 1, {680, 562}},
        // The first monitor need not be at the origin.
        PlacementCase{"FirstMonitorOffOrigin", {QRect(1920, 0, 1920, 1080), kMain}, {100, 100}, 1, {2020, 100}},
        PlacementCase{"ThirdMonitor",
                      {kMain, kTvRight, QRect(3000, 0, 1920, 1080)},
                      {3100, 50},
                      2,
                      {100, 50}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Placement, WithoutMonitorsNothingMoves)
{
    const QRect window(QPoint(5000, -300), QSize(kW, kH));
    EXPECT_EQ(monitorOf(window, {}), -1);
    EXPECT_EQ(keepOnFirstMonitor(window, {}), QPoint(5000, -300));
}

TEST(Placement, EvenSplitDoesNotJump)
{
    // Half on each monitor of the same height: the window is not moved.
    const QList<QRect> monitors = {kMain, QRect(1920, 0, 1920, 1080)};
    const QRect window(QPoint(1920 - kW / 2, 100), QSize(kW, kH));
    EXPECT_EQ(monitorOf(window, monitors), 0);
    EXPECT_EQ(keepOnFirstMonitor(window, monitors), window.topLeft());
}

TEST(Placement, ResultLiesOnTheFirstMonitorForEveryStartOnTheSecond)
{
    // Sweep the second monitor: wherever the window was, its right and bottom edges end up
    // on the first monitor and its offset is kept where it fits.
    const QList<QRect> monitors = {kMain, kTvRight};
    for (int x = kTvRight.left(); x < kTvRight.right(); x += 97) {
        for (int y = 0; y < kTvRight.bottom(); y += 131) {
            const QRect window(QPoint(x, y), QSize(kW, kH));
            if (monitorOf(window, monitors) != 1)
                continue;
            const QPoint p = keepOnFirstMonitor(window, monitors);
            const QRect placed(p, window.size());
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_LE(placed.right(), kMain.right());
            EXPECT_LE(placed.bottom(), kMain.bottom());
            EXPECT_EQ(monitorOf(placed, monitors), 0);
            EXPECT_EQ(p.x(), qMin(x - kTvRight.left(), kMain.width() - kW));
            EXPECT_EQ(p.y(), qMin(y, kMain.height() - kH));
        }
    }
}

struct VisibleCase
{
    const char *name;
    QList<QRect> monitors;
    QRect window;
    QPoint expected; // where keepFullyVisible puts it
};

void PrintTo(const VisibleCase &c, std::ostream *os)
{
    *os << c.name;
}

class FullyVisible : public ::testing::TestWithParam<VisibleCase>
{
};

TEST_P(FullyVisible, MovesTheLeastDistanceOntoOneMonitor)
{
    const VisibleCase &c = GetParam();
    const QPoint p = keepFullyVisible(c.window, c.monitors);
    EXPECT_EQ(p, c.expected);
    const QRect placed(p, c.window.size());
    const int monitor = monitorOf(placed, c.monitors);
    if (monitor >= 0 && c.window.width() <= c.monitors[monitor].width()) {
        EXPECT_TRUE(c.monitors[monitor].contains(placed));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullyVisible,
    ::testing::Values(
        VisibleCase{"WhollyOnTheFirstStays", {kMain, kTvRight}, {324, 106, kW, kH}, {324, 106}},
        VisibleCase{"WhollyOnTheSecondStays", {kMain, kTvRight}, {2000, 1300, kW, kH}, {2000, 1300}},
        VisibleCase{"OffTheLeftEdge", {kMain}, {-300, 50, kW, kH}, {0, 50}},
        VisibleCase{"OffTheBottomRight", {kMain}, {1900, 1000, kW, kH}, {1920 - kW, 1080 - kH}},
        VisibleCase{"AboveTheTop", {kMain, kTvRight}, {100, -40, kW, kH}, {100, 0}},
        // Straddling two monitors: onto the one that holds more of it.
        VisibleCase{"StraddlingMostlyFirst", {kMain, kTvRight}, {1500, 100, kW, kH}, {1920 - kW, 100}},
        VisibleCase{"StraddlingMostlySecond", {kMain, kTvRight}, {1700, 100, kW, kH}, {1920, 100}},
        // On none: onto the nearest, at its nearest edge.
        VisibleCase{"FarBelowTheTv", {kMain, kTvRight}, {2100, 100000, kW, kH}, {2100, 1920 - kH}},
        VisibleCase{"FarLeftOfEverything", {kMain, kLeftOfMain}, {-100000, 200, kW, kH}, {-1280, 200}},
        VisibleCase{"FarOutAtTheLimits",
                    {kMain},
                    {-QWIDGETSIZE_MAX, QWIDGETSIZE_MAX, kW, kH},
                    {0, 1080 - kH}},
        // Larger than the monitor: its top-left corner stays on it.
        VisibleCase{"LargerThanTheMonitor", {QRect(0, 0, 400, 300)}, {-50, -50, kW, kH}, {0, 0}},
        VisibleCase{"NoMonitorsNoMove", {}, {-5000, 5000, kW, kH}, {-5000, 5000}}),
    [](const auto &info) { return std::string(info.param.name); });

// The whole placement on showing: first onto the first monitor, then wholly on it.
TEST(Placement, OperatorWindowEndsWhollyOnTheFirstMonitor)
{
    const QList<QRect> monitors = {kMain, kTvRight};
    for (const QPoint corner : {QPoint(2500, 1700), QPoint(-900, -900), QPoint(1700, 1000), QPoint(5000, 5000)}) {
        const QPoint p = placeOperatorWindow(QRect(corner, QSize(kW, kH)), monitors);
        EXPECT_TRUE(kMain.contains(QRect(p, QSize(kW, kH)))) << corner.x() << "," << corner.y();
    }
}

} // namespace
