#include "board/BoardGeometry.h"
#include "content/TitlePicture.h"
#include "platform/ProgramSettings.h"
#include "tests/MetafileSamples.h"

#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The title bands the picture fills: the preview's, 480 high, and a 2160x3840 TV board's.
const QSize kTvMonitor(2160, 3840);
const QSize kTvBand = fullScreenTitleBand(kTvMonitor, Proportions{});
const BoardBands kPreview = boardBands(480, kTvMonitor, Proportions{});
const QSize kPreviewBand(kPreview.width, kPreview.titleHeight);

// Something like a camera photo: soft gradients, shapes and grain, so that the decoder has
// the work a real one gives it.
QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(230, 200, 150));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 120 + random.bounded(100), 80 + random.bounded(170)));
        painter.setPen(Qt::NoPen);
        const int w = 50 + random.bounded(600);
        painter.drawEllipse(random.bounded(size.width()), random.bounded(size.height()), w, w / 2 + random.bounded(w));
    }
    painter.end();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(random.bounded(16)) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255), qBound(0, qBlue(p) + grain, 255));
        }
    }
    return image;
}

// Loading a picture file for both boards: decoded once for the larger band, then scaled
// for each board's band as its title element shows it.
// What the picture keeps in memory between uses is reported as kept_MB.
void loadForBothBoards(benchmark::State &state, const QString &path)
{
    qint64 kept = 0;
    for (auto _ : state) {
        const TitlePicture::Loaded loaded = TitlePicture::load(path, kTvBand);
        if (loaded.picture.isNull()) {
            state.SkipWithError(qPrintable(loaded.error));
            return;
        }
        benchmark::DoNotOptimize(loaded.picture.render(kPreviewBand));
        benchmark::DoNotOptimize(loaded.picture.render(kTvBand));
        kept = loaded.picture.keptBytes();
    }
    state.counters["kept_MB"] = double(kept) / (1024 * 1024);
}

void jpegPhoto(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!photoLike(QSize(6000, 4000)).save(path, "JPEG", 90)) {
        state.SkipWithError("the photo could not be written");
        return;
    }
    state.counters["file_MB"] = double(QFile(path).size()) / (1024 * 1024);
    loadForBothBoards(state, path);
}

void emfDrawing(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logo.emf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MetafileSamples::sampleEmf(300)) <= 0) {
        state.SkipWithError("the metafile could not be written");
        return;
    }
    file.close();
    loadForBothBoards(state, path);
}

} // namespace

BENCHMARK(jpegPhoto)->Name("BM_TitlePicture/6000x4000")->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);
BENCHMARK(emfDrawing)->Name("BM_TitlePicture/emf")->Unit(benchmark::kMillisecond);
