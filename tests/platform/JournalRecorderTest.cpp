#include "platform/JournalReader.h"
#include "platform/JournalRecorder.h"
#include "platform/RateJournal.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const RateRow kUsd{QStringLiteral("USD"), QStringLiteral("92,50"), QStringLiteral("93,10"), QStringLiteral("Доллар США")};
const RateRow kEur{QStringLiteral("EUR"), QStringLiteral("99,00"), QStringLiteral("101,20"), QStringLiteral("Евро")};
const RateRow kHidden{QStringLiteral("-GBP"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("Фунт")};

RateSlots table(std::initializer_list<RateRow> rows)
{
    RateSlots rates;
    std::copy(rows.begin(), rows.end(), rates.begin());
    return rates;
}

// A board whose journal is a fresh file and whose clock moves a second at every reading.
class JournalRecorderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        content.setRateSlots(table({kUsd, kEur, kHidden}), RateOrigin::storedTable());
        open();
    }

    void open()
    {
        journal = std::make_unique<RateJournal>(folder.filePath(QStringLiteral("journal.sqlite")));
        recorder = std::make_unique<JournalRecorder>(content, *journal, [this] { return clock = clock.addSecs(1); });
    }

    QVector<JournalEntry> entries()
    {
        journal->waitForWrites();
        return JournalReader(journal->path()).entries(QDate(2026, 1, 1), QDate(2026, 12, 31), QString());
    }

    void type(int slot, const QString &buy)
    {
        RateRow row = content.rateSlot(slot);
        row.buy = buy;
        content.setRateSlot(slot, row);
    }

    QTemporaryDir folder;
    BoardContent content;
    QDateTime clock = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
    std::unique_ptr<RateJournal> journal;
    std::unique_ptr<JournalRecorder> recorder;
};

TEST_F(JournalRecorderTest, KeystrokesInOneFieldAreOneEntryWrittenBeforeTheFieldIsLeft)
{
    for (const char *buy : {"9", "93", "93,", "93,1", "93,10"})
        type(1, QLatin1String(buy));
    // Written already, so that a crash while the cashier still sits in the field loses nothing.
    QVector<JournalEntry> written = entries();
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].before, kUsd);
    EXPECT_EQ(written[0].after.buy, QStringLiteral("93,10"));
    EXPECT_EQ(written[0].time, QDateTime(QDate(2026, 3, 2), QTime(9, 0, 5)));
    EXPECT_TRUE(recorder->quietTimer().isActive());
    EXPECT_EQ(recorder->quietTimer().interval(), JournalRecorder::kQuietMs);

    recorder->flush();
    EXPECT_FALSE(recorder->quietTimer().isActive());
    type(1, QStringLiteral("93,2"));
    written = entries();
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0].before.buy, QStringLiteral("93,10"));
    EXPECT_EQ(written[0].after.buy, QStringLiteral("93,2"));
}

TEST_F(JournalRecorderTest, TypingInAnotherFieldEndsTheChange)
{
    type(1, QStringLiteral("1"));
    type(2, QStringLiteral("2"));
    type(1, QStringLiteral("3"));
    const QVector<JournalEntry> written = entries();
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[0].slot, 1);
    EXPECT_EQ(written[0].before.buy, QStringLiteral("1"));
    EXPECT_EQ(written[1].slot, 2);
    EXPECT_EQ(written[2].before, kUsd);
}

TEST_F(JournalRecorderTest, ACodeOrNameChangeIsAnEntry)
{
    const RateRow renamed{kUsd.code, kUsd.buy, kUsd.sell, QStringLiteral("Доллар")};
    const RateRow recoded{QStringLiteral("CNY"), kUsd.buy, kUsd.sell, renamed.name};
    const RateRow hidden{QStringLiteral("-CNY"), kUsd.buy, kUsd.sell, renamed.name};
    for (const RateRow &row : {renamed, recoded, hidden}) {
        recorder->flush();
        content.setRateSlot(1, row);
    }
    const QVector<JournalEntry> written = entries();
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[2].before, kUsd);
    EXPECT_EQ(written[2].after, renamed);
    EXPECT_EQ(written[1].after, recoded);
    EXPECT_EQ(written[0].before, recoded);
    EXPECT_EQ(written[0].after, hidden);
}

TEST_F(JournalRecorderTest, AReplacedTableIsOneEntryPerChangedRowWithItsSource)
{
    const RateRow usdNew{kUsd.code, QStringLiteral("94,00"), QStringLiteral("95,00"), kUsd.name};
    struct Case { RateOrigin origin; JournalEntry::Source source; QString office; qint64 version; };
    const Case cases[] = {
        {RateOrigin::headOffice(QStringLiteral("HQ-7"), 42), JournalEntry::Source::HeadOffice, QStringLiteral("HQ-7"), 42},
        {RateOrigin::operatorTyped(), JournalEntry::Source::Operator, QString(), 0},
    };
    RateRow previous = kUsd;
    int expected = 0;
    for (const Case &c : cases) {
        const RateRow next{kUsd.code, usdNew.buy + QString::number(expected), usdNew.sell, kUsd.name};
        content.setRateSlots(table({next, kEur, kHidden}), c.origin);
        ++expected;
        const QVector<JournalEntry> written = entries();
        ASSERT_EQ(written.size(), expected);
        EXPECT_EQ(written[0].slot, 1);
        EXPECT_EQ(written[0].before, previous);
        EXPECT_EQ(written[0].after, next);
        EXPECT_EQ(written[0].source, c.source);
        EXPECT_EQ(written[0].office, c.office);
        EXPECT_EQ(written[0].version, c.version);
        previous = next;
    }
    // Two rows at once are two entries.
    content.setRateSlots(table({kEur, kUsd}), RateOrigin::headOffice(QStringLiteral("HQ-7"), 43));
    EXPECT_EQ(entries().size(), expected + 3); // slots 1, 2 and the hidden row gone from 3
}

TEST_F(JournalRecorderTest, AStoredTableShownAgainRecordsNothing)
{
    content.loadRateTable(writeRateTable(table({kEur, kUsd})));
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(JournalRecorderTest, AFirstStartBeginsTheJournalWithTheShownRowsAndALaterStartDoesNot)
{
    recorder->recordStartingTable();
    QVector<JournalEntry> written = entries();
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[1].after, kUsd);
    EXPECT_EQ(written[1].before, RateRow());
    EXPECT_EQ(written[0].after, kEur);

    recorder.reset();
    journal.reset();
    open();
    recorder->recordStartingTable();
    EXPECT_EQ(entries().size(), 2);
}

TEST_F(JournalRecorderTest, WhatWasTypedIsInTheJournalAfterAnOrderlyExit)
{
    type(2, QStringLiteral("100"));
    const QString path = journal->path();
    recorder.reset();
    journal.reset();
    const QVector<JournalEntry> written = JournalReader(path).entries(QDate(2026, 1, 1), QDate(2026, 12, 31), QString());
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].after.buy, QStringLiteral("100"));
}

} // namespace
