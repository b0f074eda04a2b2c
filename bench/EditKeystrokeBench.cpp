#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
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

constexpr OfficeRow kOffice[8] = {
    {"USD", "ДОЛЛАР США", "93,10", "94,50"},           {"EUR", "ЕВРО", "99,20", "101,00"},
    {"CNY", "КИТАЙСКИЙ ЮАНЬ", "12,70", "13,40"},       {"GBP", "ФУНТ СТЕРЛИНГОВ", "117,30", "120,80"},
    {"CHF", "ШВЕЙЦАРСКИЙ ФРАНК", "104,60", "108,20"}, {"JPY", "ЯПОНСКАЯ ИЕНА", "0,6120", "0,6480"},
    {"TRY", "ТУРЕЦКАЯ ЛИРА", "2,85", "3,10"},          {"GOLD", "ЗОЛОТО", "7450,00", "7890,00"},
};

// One keystroke in a rate field of the operator window, up to the preview laid out anew.
// The window is built once (start-up included) and never shown: the preview's layout and
// font fitting run all the same, only painting is left out. Its settings go to a folder of
// its own, never to the operator's.
void BM_EditKeystroke(benchmark::State &state)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    programSettings() = ProgramSettings{};

    auto form = std::make_unique<TForm1>();
    for (int i = 1; i <= 8; ++i) {
        const OfficeRow &row = kOffice[i - 1];
        TFrame1corvane *editor = form->EditorRows[static_cast<size_t>(i)];
        editor->EditK->setText(QString::fromUtf8(row.code));
        editor->Editname->setText(QString::fromUtf8(row.name));
        editor->Edit1->setText(QString::fromUtf8(row.buy));
        editor->Edit2->setText(QString::fromUtf8(row.sell));
    }
    if (form->FrameCorvane1->ShownRowCount != 8) {
        state.SkipWithError("the eight rows did not reach the preview");
        return;
    }

    QLineEdit *buy = form->EditorRows[4]->Edit1;
    const QString values[2] = {QStringLiteral("93,10"), QStringLiteral("93,11")};
    int next = 0;
    for (auto _ : state) {
        // The change handler runs inside setText and returns with the preview laid out.
        buy->setText(values[next]);
        next ^= 1;
    }
    benchmark::DoNotOptimize(programSettings().RateTableText.size());
    form.reset();
    programSettings() = ProgramSettings{};
}

} // namespace

BENCHMARK(BM_EditKeystroke)->Name("BM_EditKeystroke/preview")->Unit(benchmark::kMillisecond);
