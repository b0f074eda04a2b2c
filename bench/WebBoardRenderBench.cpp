#include "BenchSupport.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"
#include "web/BoardSnapshot.h"

#include <benchmark/benchmark.h>

namespace {

// What a page waits for after a rate is typed: the followed board has changed, so the web
// board takes its state, lays itself out for the browser's size, draws and packs a PNG.
void webBoardRender(benchmark::State &state, QSize browser)
{
    TFrameCorvane followed;
    benchsupport::fillBoard(followed);
    BoardSnapshot snapshot(&followed);
    int toggle = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        followed.row(4).Pok->setCaption(toggle++ % 2 ? QStringLiteral("117,30") : QStringLiteral("117,31"));
        bytes = snapshot.picture(browser).png.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["png_kb"] = double(bytes) / 1024;
}

// What the window's thread spends on a fresh picture: the board laid out and copied out of
// its widgets; the drawing in pixels and the packing go to another thread.
void webBoardWindowThreadCost(benchmark::State &state, QSize browser)
{
    TFrameCorvane followed;
    benchsupport::fillBoard(followed);
    BoardSnapshot snapshot(&followed);
    int toggle = 0;
    for (auto _ : state) {
        followed.row(4).Pok->setCaption(toggle++ % 2 ? QStringLiteral("117,30") : QStringLiteral("117,31"));
        benchmark::DoNotOptimize(snapshot.drawing(browser).size());
    }
}

} // namespace

BENCHMARK_CAPTURE(webBoardRender, 1080x1920, QSize(1080, 1920))->Name("BM_WebBoardRender/1080x1920")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(webBoardRender, 1920x1080, QSize(1920, 1080))->Name("BM_WebBoardRender/1920x1080")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(webBoardWindowThreadCost, 1080x1920, QSize(1080, 1920))->Name("BM_WebBoardWindowThreadCost/1080x1920")->Unit(benchmark::kMillisecond);
