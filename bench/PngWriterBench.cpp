#include "BenchSupport.h"
#include "board/FrameCorvane.h"
#include "web/PngWriter.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// A filled board at a TV's size, as the web board packs it.
QImage boardPicture(QSize size)
{
    TFrameCorvane board;
    benchsupport::fillBoard(board);
    board.resize(size);
    board.FrameResize();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    board.render(&image);
    return image;
}

void BM_PngWriter(benchmark::State &state)
{
    const QImage picture = boardPicture(QSize(1080, 1920));
    qint64 bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = encodePng(picture).size());
    state.counters["png_kb"] = double(bytes) / 1024;
}

// Qt's own PNG writer on the same picture, for comparison.
void BM_QtPngWriter(benchmark::State &state)
{
    const QImage picture = boardPicture(QSize(1080, 1920));
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        picture.save(&out, "PNG");
        benchmark::DoNotOptimize(bytes = out.size());
    }
    state.counters["png_kb"] = double(bytes) / 1024;
}

} // namespace

BENCHMARK(BM_PngWriter)->Name("BM_PngWriter/1080x1920")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtPngWriter)->Name("BM_QtPngWriter/1080x1920")->Unit(benchmark::kMillisecond);
