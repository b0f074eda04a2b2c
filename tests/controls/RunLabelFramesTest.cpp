// The running text shown frame by frame against a clock the test holds: it keeps the pace
// of one step per Speed milliseconds, the same entries at the same times as tick by tick,
// and on screen the same pixels as a whole frame painted at the position it shows.

#include "controls/RunLabel.h"

#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr std::int64_t kMs = 1'000'000; // clock units (nanoseconds) per millisecond

// A clock that moves only when the test moves it.
struct HeldClock
{
    std::int64_t now = 5'000 * kMs; // any start will do
    TRunString::Clock clock()
    {
        return [this] { return now; };
    }
};

// The clock time of frame `k` of a 60 Hz display counted from `start`, rounded up to the
// nanosecond.
std::int64_t frameAt(std::int64_t start, std::int64_t k)
{
    return start + (k * 1'000'000'000 + 59) / 60;
}

void lookLikeTheBoard(TRunString &label, int width)
{
    label.resize(width, 108);
    label.setLabelStyle(TRunString::rlNormal);
    label.setDepth(0);
    label.setAutoRewind(true);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(72);
    label.setRFont(font, clYellow);
    label.setRText(QStringLiteral("Курсы валют действительны на момент совершения операции"));
}

struct PaceCase
{
    int oneStep;
};

class RunLabelPace : public ::testing::TestWithParam<PaceCase>
{
};

// At every speed the text moves OneStep pixels per 10 ms of the clock: the position a
// frame shows is the distance covered by then, whatever the frame rate, and the ticks run
// with their events as often as before.
TEST_P(RunLabelPace, PixelsPerSecondFollowTheClockAtEveryFrame)
{
    const int oneStep = GetParam().oneStep;
    HeldClock held;
    TRunLabel label;
    lookLikeTheBoard(label, 4000);
    label.setSpeed(10);
    label.setOneStep(oneStep);
    label.setClock(held.clock());
    ASSERT_GT(label.steps(), 9 * 100 * 2) << "the run must outlast the two seconds";
    int steps = 0;
    QObject::connect(&label, &TRunString::OnStep, [&steps] { ++steps; });
    const std::int64_t start = held.now;
    label.Start(0);
    for (std::int64_t k = 1; k <= 120; ++k) {
        held.now = frameAt(start, k);
        label.ShowFrame();
        const std::int64_t elapsed = held.now - start;
        ASSERT_EQ(steps, elapsed / (10 * kMs)) << "frame " << k;
        ASSERT_EQ(label.position(), oneStep * (elapsed / (10 * kMs))) << "frame " << k;
        ASSERT_EQ(label.shownPosition(), oneStep * elapsed / (10 * kMs)) << "frame " << k;
    }
    // Two seconds: 200 ticks, 200 × OneStep pixels.
    EXPECT_EQ(label.shownPosition(), 200 * oneStep);
}

INSTANTIATE_TEST_SUITE_P(Speeds, RunLabelPace,
                         ::testing::Values(PaceCase{1}, PaceCase{2}, PaceCase{3}, PaceCase{4}, PaceCase{5}, PaceCase{6},
                                           PaceCase{7}, PaceCase{8}, PaceCase{9}),
                         [](const auto &info) { return "Step" + std::to_string(info.param.oneStep); });

// On a 60 Hz display the board's 300 pixels a second are five pixels in every frame, not
// three or six as the 10 ms ticks fall.
TEST(RunLabelFrames, SixtyHertzGetsOneEvenStepPerFrame)
{
    HeldClock held;
    TRunLabel label;
    lookLikeTheBoard(label, 607);
    label.setOneStep(3);
    label.setClock(held.clock());
    const std::int64_t start = held.now;
    label.Start(0);
    int previous = label.shownPosition();
    for (std::int64_t k = 1; k <= 60; ++k) {
        held.now = frameAt(start, k);
        label.ShowFrame();
        ASSERT_EQ(label.shownPosition() - previous, 5) << "frame " << k;
        previous = label.shownPosition();
    }
}

// The board's playlist: each run's end loads the next entry and starts again. Shown with
// uneven frames, every entry is where the same run ticked every 10 ms would have it, and
// the frames never show the text ahead of the next tick.
TEST(RunLabelFrames, UnevenFramesKeepTheEntriesWhereTicksWouldHaveThem)
{
    const QStringList entries{QStringLiteral("USD 92,50"), QStringLiteral("EUR 99,80 — евро"), QStringLiteral("Ж")};
    HeldClock held;
    TRunLabel framed;
    TRunLabel ticked;
    for (TRunLabel *label : {&framed, &ticked}) {
        lookLikeTheBoard(*label, 300);
        label->setAutoRewind(false);
        label->setOneStep(7);
        label->setRText(entries.first());
        auto next = std::make_shared<int>(0);
        QObject::connect(label, &TRunString::OnEnd, label, [label, next, entries] {
            *next = (*next + 1) % int(entries.size());
            label->setRText(entries.at(*next));
            label->Start(0);
        });
    }
    framed.setClock(held.clock());
    const std::int64_t start = held.now;
    framed.Start(0);
    ticked.Start(0);
    std::int64_t ticks = 0;
    // Frames 9 to 31 ms apart, in a fixed pattern, over 20 seconds: several runs of each entry.
    const std::int64_t gaps[] = {16, 17, 9, 31, 16, 22, 13, 17};
    int entriesSeen = 0;
    QString last;
    for (std::size_t k = 0; held.now - start < 20'000 * kMs; ++k) {
        held.now += gaps[k % std::size(gaps)] * kMs + 123'457;
        framed.ShowFrame();
        for (; (ticks + 1) * 10 * kMs <= held.now - start; ++ticks)
            ticked.TimerTick();
        ASSERT_EQ(framed.rText(), ticked.rText()) << "after " << (held.now - start) / kMs << " ms";
        ASSERT_EQ(framed.position(), ticked.position()) << "after " << (held.now - start) / kMs << " ms";
        ASSERT_GE(framed.shownPosition(), framed.position());
        ASSERT_LT(framed.shownPosition(), framed.position() + 7);
        if (framed.rText() != last) {
            last = framed.rText();
            ++entriesSeen;
        }
    }
    EXPECT_GT(entriesSeen, 6);
}

// What reaches the screen: the band as the window holds it after each frame, moved on the
// window's side and completed with the uncovered columns, against the whole frame painted
// at the position shown, as every tick painted it before frames.
TEST(RunLabelFrames, TheWindowHoldsTheWholeFramePaintedAtEachPosition)
{
    QWidget form;
    form.resize(700, 160);
    auto *label = new TRunLabel(&form);
    label->setGeometry(40, 30, 607, 108);
    lookLikeTheBoard(*label, 607);
    label->setColor(clNavy);
    label->setOneStep(9); // past the end of a run and into the next
    HeldClock held;
    label->setClock(held.clock());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QScreen *screen = form.windowHandle()->screen();
    const auto shownBand = [&] {
        return screen->grabWindow(form.winId(), label->x(), label->y(), label->width(), label->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const std::int64_t start = held.now;
    label->Start(0);
    int compared = 0;
    // Frames at 60 Hz for most of a run, then a pause and a burst of late frames.
    for (std::int64_t k = 1; k <= 240; ++k) {
        held.now = frameAt(start, k) + (k > 200 ? 400 * kMs : 0);
        label->ShowFrame();
        if (k % 7 != 0 && k < 200)
            continue;
        const QImage band = shownBand();
        ASSERT_EQ(band.size(), label->size());
        ASSERT_EQ(band, label->renderFrame()) << "frame " << k << " at position " << label->shownPosition();
        ++compared;
    }
    EXPECT_GT(label->shownPosition(), 0);
    EXPECT_GE(compared, 60);
    label->Stop();
}

} // namespace
