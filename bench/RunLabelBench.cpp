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
    {
        form = std::make_unique<QWidget>();
        form->resize(width, 200);
        label = new TRunLabel(form.get());
        label->setGeometry(0, 20, width, 150);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(120);
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

} // namespace

BENCHMARK(BM_RunLabelTick)->Arg(1920)->Arg(3840)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunLabelTickFresh)->Arg(3840)->Unit(benchmark::kMicrosecond);
