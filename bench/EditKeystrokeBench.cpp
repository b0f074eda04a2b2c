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

// One keystroke in a rate field of the operator window, up to the preview laid out anew.
// The window is built once (start-up included) and never shown: the preview's layout and
// font fitting run all the same, only painting is left out. Its settings go to a folder of
// its own, never to the operator's.
void BM_EditKeystroke(benchmark::State &state)
{
    const testsupport::SettingsSandbox sandbox;

    auto form = std::make_unique<TForm1>();
    benchsupport::fillEditorRows(*form, benchsupport::officeTable());
    if (form->FrameCorvane1->ShownRowCount != 8) {
        state.SkipWithError("the eight rows did not reach the preview");
        return;
    }

    benchsupport::typeAlternately(state, form->EditorRows[4]->Edit1);
    form.reset();
}

} // namespace

BENCHMARK(BM_EditKeystroke)->Name("BM_EditKeystroke/preview")->Unit(benchmark::kMillisecond);
