#include "app/WindowPlacement.h"

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

} // namespace
