#include "BoardContent.h"

#include <algorithm>

namespace {

struct DesignRow
{
    const char *code;
    const char *name;
};

constexpr DesignRow kDesignRows[RateSlotCount] = {
    {"USD", "ДОЛЛАР США"}, {"EUR", "ЕВРО"},        {"YUAN", "КИТАЙ ЮАНЬ"},     {"GOLD", "ЗОЛОТО"},
    {"SILVER", "СЕРЕБРО"}, {"PLATINUM", "ПЛАТИНА"}, {"PALLADIUM", "ПАЛЛАДИЙ"}, {"", ""},
};

bool isSlot(int slot)
{
    return slot >= 1 && slot <= RateSlotCount;
}

} // namespace

BoardContent::BoardContent(QObject *parent)
    : QObject(parent)
    , m_rates(designRates())
{
}

RateSlots BoardContent::designRates()
{
    RateSlots rows;
    for (int i = 0; i < RateSlotCount; ++i) {
        const DesignRow &design = kDesignRows[i];
        rows[static_cast<size_t>(i)] = {QString::fromUtf8(design.code), QStringLiteral("0,000"),
                                        QStringLiteral("0,000"), QString::fromUtf8(design.name)};
    }
    return rows;
}

RateRow BoardContent::rateSlot(int slot) const
{
    return isSlot(slot) ? m_rates[static_cast<size_t>(slot - 1)] : RateRow{};
}

RateSlots BoardContent::boardRates() const
{
    RateSlots rows;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (m_onBoard[i])
            rows[i] = m_rates[i];
    }
    return rows;
}

bool BoardContent::isOnBoard(int slot) const
{
    return isSlot(slot) && m_onBoard[static_cast<size_t>(slot - 1)];
}

QVector<RateRow> BoardContent::shownRates() const
{
    QVector<RateRow> shown;
    for (const RateRow &row : boardRates()) {
        if (isShownRow(row.code))
            shown.append(row);
    }
    return shown;
}

QString BoardContent::rateTableText() const
{
    return writeRateTable(m_rates);
}

RateRow BoardContent::fitted(const RateRow &row)
{
    return fitToEditorLimits({sanitizeRateField(row.code), sanitizeRateField(row.buy), sanitizeRateField(row.sell),
                              sanitizeRateField(row.name)});
}

void BoardContent::setRateSlot(int slot, const RateRow &row)
{
    if (!isSlot(slot))
        return;
    const auto index = static_cast<size_t>(slot - 1);
    RateRow &held = m_rates[index];
    const RateRow wanted = fitted(row);
    if (held == wanted && m_onBoard[index])
        return;
    const RateRow before = m_onBoard[index] ? held : RateRow{};
    held = wanted;
    m_onBoard[index] = true;
    emit rateSlotChanged(slot, before);
    emit ratesChanged();
}

void BoardContent::setRateSlots(const RateSlots &rows, const RateOrigin &origin)
{
    RateSlots wanted;
    for (size_t i = 0; i < wanted.size(); ++i)
        wanted[i] = fitted(rows[i]);
    const bool allOnBoard = std::all_of(m_onBoard.begin(), m_onBoard.end(), [](bool on) { return on; });
    if (wanted == m_rates && allOnBoard)
        return;
    const RateSlots before = boardRates();
    m_rates = wanted;
    m_onBoard.fill(true);
    emit rateTableReplaced(before, origin);
    emit ratesChanged();
}

void BoardContent::loadRateTable(const QString &text)
{
    const QVector<RateRow> rows = parseRateTable(text);
    if (rows.isEmpty())
        return;
    setRateSlots(toRateSlots(rows), RateOrigin::storedTable());
}
