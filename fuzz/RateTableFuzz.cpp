// Feeds arbitrary text to the rate table reader and checks that whatever it reads can be
// written and read back unchanged. Needs no QApplication: the rate table is plain QString
// work.

#include "content/RateTable.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "rate table fuzz: %s\n", what);
        std::abort();
    }
}

// The first byte picks how the rest becomes text, so that every UTF-16 code unit can
// turn up: UTF-8 (with its replacement characters), Latin-1, or raw UTF-16 units,
// lone surrogates included.
QString decode(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    switch (data[0] % 3) {
    case 0:
        return QString::fromUtf8(bytes, length);
    case 1:
        return QString::fromLatin1(bytes, length);
    default: {
        QString text(length / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(static_cast<char16_t>(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));
        return text;
    }
    }
}

bool hasSeparator(const QString &field)
{
    return field.contains(u'\t') || field.contains(u'\r') || field.contains(u'\n');
}

RateRow sanitized(const RateRow &row)
{
    return {sanitizeRateField(row.code), sanitizeRateField(row.buy), sanitizeRateField(row.sell),
            sanitizeRateField(row.name)};
}

void checkField(const QString &field)
{
    const QString clean = sanitizeRateField(field);
    require(clean.size() == field.size(), "sanitising changed the length");
    require(!hasSeparator(clean), "sanitised field holds a separator");
    require(sanitizeRateField(clean) == clean, "sanitising is not idempotent");
}

void checkWrittenShape(const QString &text)
{
    require(text.count(u'\t') == 3 * RateSlotCount, "written text does not hold three TABs a line");
    require(text.count(u'\r') == RateSlotCount, "written text has stray CRs");
    require(text.count(u'\n') == RateSlotCount, "written text has stray LFs");
    require(text.count(QStringLiteral("\r\n")) == RateSlotCount, "written lines do not end in CR LF");
}

// Writes the rows, reads them back and writes again: the reader must return exactly the
// sanitised rows and the second text must equal the first.
void checkRoundTrip(const RateSlots &rows)
{
    const QString text = writeRateTable(rows);
    checkWrittenShape(text);
    const QVector<RateRow> back = parseRateTable(text);
    require(back.size() == RateSlotCount, "written table does not read back as eight rows");
    for (qsizetype i = 0; i < RateSlotCount; ++i)
        require(back[i] == sanitized(rows[static_cast<size_t>(i)]), "row changed on the way back");
    require(writeRateTable(toRateSlots(back)) == text, "second write differs from the first");
}

void checkParsed(const QString &text)
{
    const QVector<RateRow> rows = parseRateTable(text);
    require(rows.size() <= RateSlotCount, "more than eight rows");
    for (const RateRow &row : rows) {
        require(!hasSeparator(row.code) && !hasSeparator(row.buy) && !hasSeparator(row.sell)
                    && !hasSeparator(row.name),
                "parsed field holds a separator");
    }
    const RateSlots padded = toRateSlots(rows);
    require(countShownRows(rows) == countShownRows(padded), "padding changed the shown count");
    for (size_t i = 0; i < padded.size(); ++i)
        require(sanitized(padded[i]) == padded[i], "parsed row is not already clean");
    checkRoundTrip(padded);
}

// Thirty-two TAB-free fields cut straight from the input (CR and LF left in), so that the
// writer sees content the reader never produces.
RateSlots rowsFromInput(QStringView text)
{
    RateSlots rows;
    qsizetype start = 0;
    for (RateRow &row : rows) {
        for (QString *field : {&row.code, &row.buy, &row.sell, &row.name}) {
            if (start > text.size())
                return rows;
            qsizetype tab = text.indexOf(u'\t', start);
            if (tab < 0)
                tab = text.size();
            *field = text.sliced(start, tab - start).toString();
            checkField(*field);
            start = tab + 1;
        }
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decode(data, size);
    checkParsed(text);
    checkRoundTrip(rowsFromInput(text));
    return 0;
}
