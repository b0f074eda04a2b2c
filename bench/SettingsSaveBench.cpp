#include "BenchSupport.h"
#include "tests/SettingsSandbox.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsSaver.h"

#include <benchmark/benchmark.h>

namespace {

// One save of every setting with a full rate table, as the saver makes it after a change:
// the store's working copy, the check of what was written, and the flushed replacement of
// the settings file. Each iteration changes a proportion, so that the file really changes.
void BM_SettingsSave(benchmark::State &state)
{
    const testsupport::SettingsSandbox sandbox;
    ProgramSettings &settings = programSettings();
    settings.setSettingsKey(ProgramSettings::settingsRoot() + QStringLiteral("bench"));
    RateSlots table = benchsupport::officeTable();
    settings.setRateTableText(writeRateTable(table));
    SettingsSaver saver(settings);
    int value = 0;
    for (auto _ : state) {
        settings.setProportion(0, ++value % 50);
        if (!saver.saveNow()) {
            state.SkipWithError(qPrintable(saver.lastError()));
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_SettingsSave)->Unit(benchmark::kMillisecond);
