#include "content/BoardContent.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

RateRow row(const char *code, const char *buy, const char *sell, const char *name = "")
{
    return {QString::fromUtf8(code), QString::fromUtf8(buy), QString::fromUtf8(sell), QString::fromUtf8(name)};
}

QString twoLineTable()
{
    return QStringLiteral("USD\t93,10\t94,50\tДОЛЛАР США\r\nEUR\t99,20\t101,00\tЕВРО\r\n");
}

} // namespace

TEST(BoardContent, ATypedRowIsOneChangeThatNamesWhatTheSlotHeld)
{
    BoardContent content;
    QSignalSpy slotChanged(&content, &BoardContent::rateSlotChanged);
    QSignalSpy replaced(&content, &BoardContent::rateTableReplaced);
    QSignalSpy changed(&content, &BoardContent::ratesChanged);
    content.setRateSlot(2, row("EUR", "99,20", "101,00", "ЕВРО"));
    content.setRateSlot(2, row("EUR", "99,30", "101,00", "ЕВРО"));
    ASSERT_EQ(slotChanged.count(), 2);
    EXPECT_EQ(slotChanged[1][0].toInt(), 2);
    EXPECT_EQ(slotChanged[1][1].value<RateRow>(), row("EUR", "99,20", "101,00", "ЕВРО"));
    // Before its first edit a first-run slot was not on the board: it showed nothing.
    EXPECT_EQ(slotChanged[0][1].value<RateRow>(), RateRow{});
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(content.rateSlot(2), row("EUR", "99,30", "101,00", "ЕВРО"));

    // The same row again, or a slot that does not exist, is no change.
    content.setRateSlot(2, row("EUR", "99,30", "101,00", "ЕВРО"));
    content.setRateSlot(0, row("X", "1", "1"));
    content.setRateSlot(RateSlotCount + 1, row("X", "1", "1"));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(content.rateSlot(0), RateRow{});
}

// A first run: the editors show the design rows, the board none of them until a slot is
// edited, and then that slot alone; even an edit that ends on the design text puts it there.
TEST(BoardContent, AFirstRunSlotReachesTheBoardWhenItIsFirstEdited)
{
    BoardContent content;
    EXPECT_EQ(content.rateSlots(), BoardContent::designRates());
    EXPECT_EQ(content.boardRates(), RateSlots{});
    EXPECT_TRUE(content.shownRates().isEmpty());

    QSignalSpy changed(&content, &BoardContent::ratesChanged);
    content.setRateSlot(3, BoardContent::designRates()[2]);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(content.isOnBoard(3));
    EXPECT_FALSE(content.isOnBoard(1));
    ASSERT_EQ(content.shownRates().size(), 1);
    EXPECT_EQ(content.shownRates()[0].code, QStringLiteral("YUAN"));
    // The stored table still holds every slot as the editors show it.
    BoardContent reread;
    reread.loadRateTable(content.rateTableText());
    EXPECT_EQ(reread.rateSlots(), BoardContent::designRates());
    EXPECT_EQ(reread.boardRates(), reread.rateSlots());
}

// Whatever arrives, what the content holds is what an editor row can show and what the
// stored table reads back unchanged.
TEST(BoardContent, RowsAreKeptAsTheEditorsAndTheStoredTableCanHoldThem)
{
    BoardContent content;
    const QString longName(RateNameMaxLength + 5, QLatin1Char('N'));
    content.setRateSlot(1, {QStringLiteral("US\tD"), QStringLiteral("93,1\r\n0"), QStringLiteral("12345678901234"),
                            longName});
    const RateRow held = content.rateSlot(1);
    EXPECT_EQ(held.code, QStringLiteral("US D"));
    EXPECT_EQ(held.buy, QStringLiteral("93,1  0"));
    EXPECT_EQ(held.sell.size(), RateFigureMaxLength);
    EXPECT_EQ(held.name, longName.left(RateNameMaxLength));

    BoardContent reread;
    reread.loadRateTable(content.rateTableText());
    EXPECT_EQ(reread.rateSlots(), content.rateSlots());
}

TEST(BoardContent, AReplacedTableIsOneChangeWithItsOrigin)
{
    BoardContent content;
    content.setRateSlot(1, row("USD", "1", "2"));
    QSignalSpy slotChanged(&content, &BoardContent::rateSlotChanged);
    QSignalSpy replaced(&content, &BoardContent::rateTableReplaced);
    const RateSlots before = content.boardRates();
    RateSlots table;
    table[0] = row("USD", "93,10", "94,50");

    content.setRateSlots(table, RateOrigin::headOffice(QStringLiteral("moscow-1"), 17));
    ASSERT_EQ(replaced.count(), 1);
    EXPECT_EQ(slotChanged.count(), 0);
    EXPECT_EQ(replaced[0][0].value<RateSlots>(), before);
    const auto origin = replaced[0][1].value<RateOrigin>();
    EXPECT_EQ(origin.kind, RateOrigin::Kind::HeadOffice);
    EXPECT_EQ(origin.office, QStringLiteral("moscow-1"));
    EXPECT_EQ(origin.version, 17);
    EXPECT_EQ(content.rateSlots(), table);

    content.setRateSlots(table, RateOrigin::operatorTyped());
    EXPECT_EQ(replaced.count(), 1);
}

// A stored table is the whole table; no stored table leaves the first-run rows.
TEST(BoardContent, TheStoredTableReplacesEverySlotAndNoTableChangesNothing)
{
    BoardContent content;
    QSignalSpy replaced(&content, &BoardContent::rateTableReplaced);
    content.loadRateTable(QString());
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(content.rateSlots(), BoardContent::designRates());

    content.loadRateTable(twoLineTable());
    ASSERT_EQ(replaced.count(), 1);
    EXPECT_EQ(replaced[0][1].value<RateOrigin>().kind, RateOrigin::Kind::Stored);
    EXPECT_EQ(content.rateSlot(2), row("EUR", "99,20", "101,00", "ЕВРО"));
    for (int slot = 3; slot <= RateSlotCount; ++slot)
        EXPECT_EQ(content.rateSlot(slot), RateRow{}) << "slot " << slot;
}

TEST(BoardContent, ShownRatesAreTheRowsTheBoardShowsInBoardOrder)
{
    BoardContent content;
    RateSlots table;
    table[0] = row("-USD", "1", "2");
    table[2] = row("EUR", "3", "4");
    table[5] = row("GBP", "5", "6");
    content.setRateSlots(table, RateOrigin::operatorTyped());
    const QVector<RateRow> shown = content.shownRates();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].code, QStringLiteral("EUR"));
    EXPECT_EQ(shown[1].code, QStringLiteral("GBP"));
}
