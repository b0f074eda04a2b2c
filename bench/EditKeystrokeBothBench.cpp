#include "BenchSupport.h"
#include "tests/SettingsSandbox.h"
#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/RateTable.h"
#include "platform/ProgramSettings.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One keystroke in a rate field with the TV switched on: the change handler lays out the
// preview and the TV board, which covers the last monitor (1080x1920 when run with the
// two-screen list). Settings go to a folder of the benchmark's own.
void BM_EditKeystrokeBoth(benchmark::State &state)
{
    const testsupport::SettingsSandbox sandbox;

    auto form = std::make_unique<TForm1>();
    auto tv = form->createFormMon2();
    form->btn_TV_OnClick();
    if (!tv->isVisible()) {
        state.SkipWithError("the TV window did not show");
        return;
    }
    benchsupport::fillEditorRows(*form, benchsupport::officeTable());
    if (tv->FrameCorvane1->ShownRowCount != 8 || form->FrameCorvane1->ShownRowCount != 8) {
        state.SkipWithError("the eight rows did not reach both boards");
        return;
    }
    state.counters["tvBoardWidth"] = tv->FrameCorvane1->PanelTablo->width();
    state.counters["tvBoardHeight"] = tv->FrameCorvane1->PanelTablo->height();

    benchsupport::typeAlternately(state, form->EditorRows[4]->Edit1);
    form.reset();
    tv.reset();
}

} // namespace

BENCHMARK(BM_EditKeystrokeBoth)->Name("BM_EditKeystroke/both")->Unit(benchmark::kMillisecond);
