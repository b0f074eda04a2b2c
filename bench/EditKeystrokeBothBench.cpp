#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "board/RateTable.h"
#include "platform/ProgramSettings.h"

#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct OfficeRow
{
    const char *code;
    const char *name;
    const char *buy;
    const char *sell;
};

constexpr OfficeRow kOfficeRows[8] = {
    {"USD", "ДОЛЛАР США", "93,10", "94,50"},           {"EUR", "ЕВРО", "99,20", "101,00"},
    {"CNY", "КИТАЙСКИЙ ЮАНЬ", "12,70", "13,40"},       {"GBP", "ФУНТ СТЕРЛИНГОВ", "117,30", "120,80"},
    {"CHF", "ШВЕЙЦАРСКИЙ ФРАНК", "104,60", "108,20"}, {"JPY", "ЯПОНСКАЯ ИЕНА", "0,6120", "0,6480"},
    {"TRY", "ТУРЕЦКАЯ ЛИРА", "2,85", "3,10"},          {"GOLD", "ЗОЛОТО", "7450,00", "7890,00"},
};

// One keystroke in a rate field with the TV switched on: the change handler lays out the
// preview and the TV board, which covers the last monitor (1080x1920 when run with the
// two-screen list). Settings go to a folder of the benchmark's own.
void BM_EditKeystrokeBoth(benchmark::State &state)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    programSettings() = ProgramSettings{};

    auto form = std::make_unique<TForm1>();
    TForm1 *operatorWindow = form.get();
    auto tv = std::make_unique<TFormMon2>(operatorWindow->FrameCorvane1,
                                          [operatorWindow](int slot, const RateRow &row) {
                                              operatorWindow->writeEditorRow(slot, row);
                                          });
    form->attachFormMon2(tv.get());
    form->btn_TV_OnClick();
    if (!tv->isVisible()) {
        state.SkipWithError("the TV window did not show");
        return;
    }
    for (int i = 1; i <= 8; ++i) {
        const OfficeRow &row = kOfficeRows[i - 1];
        TFrame1corvane *editor = form->EditorRows[static_cast<size_t>(i)];
        editor->EditK->setText(QString::fromUtf8(row.code));
        editor->Editname->setText(QString::fromUtf8(row.name));
        editor->Edit1->setText(QString::fromUtf8(row.buy));
        editor->Edit2->setText(QString::fromUtf8(row.sell));
    }
    if (tv->FrameCorvane1->ShownRowCount != 8 || form->FrameCorvane1->ShownRowCount != 8) {
        state.SkipWithError("the eight rows did not reach both boards");
        return;
    }
    state.counters["tvBoardWidth"] = tv->FrameCorvane1->PanelTablo->width();
    state.counters["tvBoardHeight"] = tv->FrameCorvane1->PanelTablo->height();

    QLineEdit *buy = form->EditorRows[4]->Edit1;
    const QString values[2] = {QStringLiteral("93,10"), QStringLiteral("93,11")};
    int next = 0;
    for (auto _ : state) {
        buy->setText(values[next]);
        next ^= 1;
    }
    benchmark::DoNotOptimize(programSettings().RateTableText.size());
    form.reset();
    tv.reset();
    programSettings() = ProgramSettings{};
}

} // namespace

BENCHMARK(BM_EditKeystrokeBoth)->Name("BM_EditKeystroke/both")->Unit(benchmark::kMillisecond);
