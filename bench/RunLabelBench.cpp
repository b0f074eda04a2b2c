#include "controls/RunLabel.h"

#include <QCoreApplication>
#include <QWindow>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The board's bottom line at full size: a band as wide as the screen, a 120-pixel
// font and a long running text, on a shown window so that every tick really paints.
struct Band
{
    explicit Band(int width, bool cached)
        : Band(QSize(width, 200), QRect(0, 20, width, 150), 120, cached)
    {
    }
    Band(QSize formSize, QRect bandBounds, int fontPixels, bool cached)
    {
        form = std::make_unique<QWidget>();
        form->resize(formSize);
        label = new TRunLabel(form.get());
        label->setGeometry(bandBounds);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(fontPixels);
        label->setRFont(font, clYellow);
        label->setColorH(clNavy);
        label->setColorS(clMaroon);
        label->setDepth(2);
        label->setRText(QStringLiteral("Уважаемые клиенты! Обменный пункт работает ежедневно с 9:00 до 21:00 "
                                       "без перерыва на обед. Курсы валют действительны на момент операции."));
        label->setCachedPainting(cached);
        form->show();
        // The window must be exposed before a synchronous repaint reaches the control.
        for (int round = 0; round < 1000 && !form->windowHandle()->isExposed(); ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        label->Start(0);
    }
    ~Band() { label->Stop(); }

    std::unique_ptr<QWidget> form;
    TRunLabel *label = nullptr;
};

// Counts the paint events that reach the control, to make sure a tick painted.
struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void runTicks(benchmark::State &state, bool cached)
{
    Band band(static_cast<int>(state.range(0)), cached);
    PaintCounter counter;
    band.label->installEventFilter(&counter);
    // Begin a little into the run, with the text across the whole band.
    band.label->Start(band.label->width());
    std::int64_t ticks = 0;
    for (auto _ : state) {
        band.label->TimerTick();
        ++ticks;
    }
    if (counter.count != ticks)
        state.SkipWithError("a tick did not paint the control");
    state.counters["steps"] = band.label->steps();
}

void BM_RunLabelTick(benchmark::State &state)
{
    runTicks(state, true);
}

void BM_RunLabelTickFresh(benchmark::State &state)
{
    runTicks(state, false);
}

// One frame of the board's ticker on a 1920x1080 screen (the upright board 607 pixels wide,
// its bottom band 108 high), as the list plays it at speed 3 on a 60 Hz display: the ticks
// that fell due, the band moved and the uncovered columns drawn, ready to flush.
void BM_TickerFrame(benchmark::State &state)
{
    Band band(QSize(607, 1080), QRect(0, 972, 607, 108), 80, true);
    band.label->setOneStep(3);
    std::int64_t now = 0;
    band.label->setClock([&now] { return now; });
    band.label->Stop();
    band.label->Start(band.label->width());
    PaintCounter counter;
    band.label->installEventFilter(&counter);
    std::int64_t frames = 0;
    for (auto _ : state) {
        ++frames;
        now = frames * 1'000'000'000 / 60;
        band.label->ShowFrame();
        // Before the text leaves the band it starts again across it, so that every frame
        // moves text; a real list has a start like this once per entry.
        if (band.label->shownPosition() > band.label->steps() - band.label->width())
            band.label->Start(band.label->width());
    }
    if (counter.count < frames)
        state.SkipWithError("a frame did not paint the band");
}

} // namespace

BENCHMARK(BM_RunLabelTick)->Arg(1920)->Arg(3840)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunLabelTickFresh)->Arg(3840)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickerFrame)->Name("BM_TickerFrame/1920x1080")->Unit(benchmark::kMicrosecond);
