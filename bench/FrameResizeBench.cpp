#include "board/FrameCorvane.h"
#include "board/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"

#include <benchmark/benchmark.h>

namespace {

// The whole-board layout of a full board, all font fitting included. The board's shape
// comes from the last monitor; run with a portrait (or landscape 16:9) last screen.
void frameResize(benchmark::State &state, int height)
{
    programSettings().proportions = Proportions{};
    TFrameCorvane frame;
    frame.InitBoard();
    const RateRow rows[] = {{"USD", "93,10", "94,50", "ДОЛЛАР США"},      {"EUR", "101,20", "103,40", "ЕВРО"},
                            {"CNY", "12,75", "13,20", "КИТАЙСКИЙ ЮАНЬ"},  {"GBP", "117,30", "120,10", "ФУНТ СТЕРЛИНГОВ"},
                            {"CHF", "104,60", "107,90", "ШВЕЙЦАРСКИЙ ФРАНК"}, {"JPY", "0,6120", "0,6480", "ЯПОНСКАЯ ИЕНА"},
                            {"TRY", "2,710", "2,950", "ТУРЕЦКАЯ ЛИРА"},    {"GOLD", "7450,00", "7690,00", "ЗОЛОТО"}};
    for (int i = 1; i <= 8; ++i)
        frame.setRowCaptions(i, rows[i - 1]);
    frame.ShownRowCount = 8;
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
