#include "content/RateTable.h"

#include <QStringView>

#include <algorithm>

namespace {

constexpr QChar Tab = u'\t';
constexpr QChar Cr = u'\r';
constexpr QChar Lf = u'\n';
constexpr int FieldCount = 4;

bool isLineBreak(QChar c)
{
    return c == Cr || c == Lf;
}

// Fields run up to the first three TABs; the fourth runs to the next TAB or the end of
// the line, and whatever follows a fourth TAB is dropped.
RateRow splitRateLine(QStringView line)
{
    std::array<QStringView, FieldCount> fields;
    qsizetype start = 0;
    for (QStringView &field : fields) {
        const qsizetype tab = line.indexOf(Tab, start);
        const qsizetype end = tab < 0 ? line.size() : tab;
        field = line.sliced(start, end - start);
        if (tab < 0)
            break;
        start = tab + 1;
    }
    return {fields[0].toString(), fields[1].toString(), fields[2].toString(), fields[3].toString()};
}

// The writer ends every line with CR LF. Text from elsewhere may carry a lone CR or a
// bare LF: each of them ends the line too, and a CR swallows only an LF right after it,
// never another character, so no field loses its first letter.
qsizetype nextLineStart(QStringView text, qsizetype lineEnd)
{
    if (lineEnd >= text.size())
        return text.size();
    if (text[lineEnd] == Cr && lineEnd + 1 < text.size() && text[lineEnd + 1] == Lf)
        return lineEnd + 2;
    return lineEnd + 1;
}

template <typename Rows>
int countShown(const Rows &rows)
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const RateRow &row) { return isShownRow(row.code); }));
}

} // namespace

bool isShownRow(const QString &code)
{
    return !code.isEmpty() && !code.startsWith(u'-');
}

QVector<RateRow> parseRateTable(const QString &text)
{
    QVector<RateRow> rows;
    const QStringView input(text);
    qsizetype pos = 0;
    // Stops as soon as the filled are full, so a huge tail is never even scanned.
    while (pos < input.size() && rows.size() < RateSlotCount) {
        qsizetype end = pos;
        while (end < input.size() && !isLineBreak(input[end]))
            ++end;
        const QStringView line = input.sliced(pos, end - pos);
        // Empty lines and lines without TAB take no slot.
        if (line.contains(Tab))
            rows.append(splitRateLine(line));
        pos = nextLineStart(input, end);
    }
    return rows;
}

RateSlots toRateSlots(const QVector<RateRow> &rows)
{
    RateSlots filled;
    const qsizetype count = std::min<qsizetype>(rows.size(), RateSlotCount);
    for (qsizetype i = 0; i < count; ++i)
        filled[static_cast<size_t>(i)] = rows[i];
    return filled;
}

int countShownRows(const QVector<RateRow> &rows)
{
    return countShown(rows);
}

int countShownRows(const RateSlots &rows)
{
    return countShown(rows);
}

QString writeRateTable(const RateSlots &rows)
{
    QString text;
    for (const RateRow &row : rows) {
        text += sanitizeRateField(row.code);
        text += Tab;
        text += sanitizeRateField(row.buy);
        text += Tab;
        text += sanitizeRateField(row.sell);
        text += Tab;
        text += sanitizeRateField(row.name);
        text += Cr;
        text += Lf;
    }
    return text;
}

QString sanitizeRateField(const QString &field)
{
    // Most fields are clean: hand back the shared copy without touching it.
    const auto separator = [](QChar c) { return c == Tab || isLineBreak(c); };
    if (std::none_of(field.cbegin(), field.cend(), separator))
        return field;
    QString clean = field;
    std::replace_if(clean.begin(), clean.end(), separator, u' ');
    return clean;
}

RateRow fitToEditorLimits(const RateRow &row)
{
    return {row.code.left(RateNameMaxLength), row.buy.left(RateFigureMaxLength),
            row.sell.left(RateFigureMaxLength), row.name.left(RateNameMaxLength)};
}
