#include "content/CommaText.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Running texts as an operator keeps them: short words, sentences with blanks and commas,
// quoted names, Cyrillic and currency signs, in a mix that repeats with varying numbers.
QStringList runningTexts(int count)
{
    static const QStringList patterns = {
        QStringLiteral("Курс_%1"),
        QStringLiteral("Обменный пункт работает ежедневно с 9:00 до 21:00, без перерыва. №%1"),
        QStringLiteral("USD%1"),
        QStringLiteral("Акция \"Выгодный обмен\": от 1000 € по курсу %1,50"),
        QStringLiteral("Welcome! Exchange rates, %1 currencies"),
        QStringLiteral("\u00AB\u0415\u0432\u0440\u043E\u00BB-%1"),
    };
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries.append(patterns[i % patterns.size()].arg(i));
    return entries;
}

void BM_CommaText(benchmark::State &state)
{
    const QStringList entries = runningTexts(int(state.range(0)));
    for (auto _ : state) {
        const QStringList back = CommaText::read(CommaText::write(entries));
        benchmark::DoNotOptimize(back.constData());
        if (back.size() != entries.size()) {
            state.SkipWithError("the list did not read back whole");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_CommaText)->Arg(100000)->Unit(benchmark::kMillisecond);
