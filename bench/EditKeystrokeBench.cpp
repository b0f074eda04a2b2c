#include "BenchSupport.h"
#include "tests/SettingsSandbox.h"
#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "platform/ProgramSettings.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

enum class Boards { PreviewOnly, PreviewAndTv };

// One keystroke in a rate field of the operator window, up to the boards laid out anew:
// the preview alone, or the preview and the TV board, which covers the last monitor
// (1080x1920 when run with the two-screen list). The window is built once (start-up
// included) and never shown: the layout and font fitting run all the same, only painting is
// left out. Settings go to a folder of the benchmark's own, never to the operator's.
void editKeystroke(benchmark::State &state, Boards boards)
{
    const testsupport::SettingsSandbox sandbox;

    auto form = std::make_unique<TForm1>();
    std::unique_ptr<TFormMon2> tv;
    if (boards == Boards::PreviewAndTv) {
        tv = form->createFormMon2();
        form->btn_TV_OnClick();
        if (!tv->isVisible()) {
            state.SkipWithError("the TV window did not show");
            return;
        }
    }
    benchsupport::fillEditorRows(*form, benchsupport::officeTable());
    if (form->FrameCorvane1->shownRowCount() != 8 || (tv && tv->FrameCorvane1->shownRowCount() != 8)) {
        state.SkipWithError("the eight rows did not reach the boards");
        return;
    }
    if (tv) {
        state.counters["tvBoardWidth"] = tv->FrameCorvane1->PanelTablo->width();
        state.counters["tvBoardHeight"] = tv->FrameCorvane1->PanelTablo->height();
    }

    benchsupport::typeAlternately(state, form->EditorRows[4]->Edit1);
    form.reset();
    tv.reset();
}

} // namespace

BENCHMARK_CAPTURE(editKeystroke, preview, Boards::PreviewOnly)->Name("BM_EditKeystroke/preview")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(editKeystroke, both, Boards::PreviewAndTv)->Name("BM_EditKeystroke/both")->Unit(benchmark::kMillisecond);
