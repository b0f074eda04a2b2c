#include "BenchSupport.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"

#include <benchmark/benchmark.h>

namespace {

// The whole-board layout of a full board, all font fitting included. The board's shape
// comes from the last monitor; run with a portrait (or landscape 16:9) last screen.
void frameResize(benchmark::State &state, int height)
{
    TFrameCorvane frame;
    benchsupport::fillBoard(frame);
    frame.resize(height, height);
    int toggle = 0;
    for (auto _ : state) {
        // A changed figure each time, so the fitting measures afresh.
        frame.row(4).Pok->setCaption(toggle++ % 2 ? QStringLiteral("117,30") : QStringLiteral("117,31"));
        frame.FrameResize();
    }
}

} // namespace

BENCHMARK_CAPTURE(frameResize, 1080x1920, 1920)->Name("BM_FrameResize/1080x1920")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(frameResize, 2160x3840, 3840)->Name("BM_FrameResize/2160x3840")->Unit(benchmark::kMillisecond);
