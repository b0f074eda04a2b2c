#include "BenchSupport.h"
#include "board/FrameCorvane.h"

#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "platform/ProgramSettings.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace benchsupport {

RateSlots officeTable()
{
    return {{
        {QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США")},
        {QStringLiteral("EUR"), QStringLiteral("99,20"), QStringLiteral("101,00"), QStringLiteral("ЕВРО")},
        {QStringLiteral("CNY"), QStringLiteral("12,70"), QStringLiteral("13,40"), QStringLiteral("КИТАЙСКИЙ ЮАНЬ")},
        {QStringLiteral("GBP"), QStringLiteral("117,30"), QStringLiteral("120,80"), QStringLiteral("ФУНТ СТЕРЛИНГОВ")},
        {QStringLiteral("CHF"), QStringLiteral("104,60"), QStringLiteral("108,20"),
         QStringLiteral("ШВЕЙЦАРСКИЙ ФРАНК")},
        {QStringLiteral("JPY"), QStringLiteral("0,6120"), QStringLiteral("0,6480"), QStringLiteral("ЯПОНСКАЯ ИЕНА")},
        {QStringLiteral("TRY"), QStringLiteral("2,85"), QStringLiteral("3,10"), QStringLiteral("ТУРЕЦКАЯ ЛИРА")},
        {QStringLiteral("GOLD"), QStringLiteral("7450,00"), QStringLiteral("7890,00"), QStringLiteral("ЗОЛОТО")},
    }};
}

void fillBoard(TFrameCorvane &board)
{
    programSettings().setProportions(Proportions{});
    board.InitBoard();
    const RateSlots table = officeTable();
    for (int i = 1; i <= 8; ++i)
        board.setRowCaptions(i, table[static_cast<size_t>(i - 1)]);
}

void fillEditorRows(TForm1 &form, const RateSlots &table)
{
    for (int i = 1; i <= 8; ++i) {
        const RateRow &row = table[static_cast<size_t>(i - 1)];
        TFrame1corvane *editor = form.EditorRows[static_cast<size_t>(i)];
        editor->EditK->setText(row.code);
        editor->Editname->setText(row.name);
        editor->Edit1->setText(row.buy);
        editor->Edit2->setText(row.sell);
    }
}

void typeAlternately(benchmark::State &state, QLineEdit *field)
{
    const QString values[2] = {QStringLiteral("93,10"), QStringLiteral("93,11")};
    int next = 0;
    for (auto _ : state) {
        field->setText(values[next]);
        next ^= 1;
    }
    benchmark::DoNotOptimize(programSettings().rateTableText().size());
}

} // namespace benchsupport
