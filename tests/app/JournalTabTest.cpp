#include "app/JournalTab.h"
#include "platform/ErrorBox.h"
#include "platform/RateJournal.h"
#include "tests/OperatorInput.h"
#include "tests/ScriptedDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(12, 0));
const RateRow kUsd{QStringLiteral("USD"), QStringLiteral("92,50"), QStringLiteral("93,10"), QStringLiteral("Доллар США")};
const RateRow kEur{QStringLiteral("EUR"), QStringLiteral("99,00"), QStringLiteral("101,20"), QStringLiteral("Евро")};

// A journal of yesterday's and today's entries, and the tab over it, shown and active.
class JournalTabTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        {
            RateJournal journal(path);
            record(journal, kNow.addDays(-1), 1, {}, kUsd);
            record(journal, kNow.addSecs(-3600), 2, {}, kEur);
            record(journal, kNow.addSecs(-60), 1, kUsd, {kUsd.code, QStringLiteral("93,00"), QStringLiteral("94,00"), kUsd.name});
        }
        ErrorBox::setHandler([this](const QString &text) { errors << text; });
        tab = std::make_unique<JournalTab>(path, [] { return QStringLiteral("Офис"); }, [this]() -> Dialogs & { return dialogs; },
                                           [] { return kNow; });
        tab->resize(600, 400);
        ASSERT_TRUE(operatorinput::showActive(*tab));
    }
    void TearDown() override { ErrorBox::setHandler({}); }

    static void record(RateJournal &journal, const QDateTime &time, int slot, const RateRow &before, const RateRow &after)
    {
        JournalEntry e;
        e.id = journal.nextId();
        e.time = time;
        e.slot = slot;
        e.before = before;
        e.after = after;
        journal.record(e);
    }

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < tab->list->model()->rowCount(); ++row)
            texts << tab->list->model()->index(row, column).data().toString();
        return texts;
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("journal.sqlite"));
    ScriptedDialogs dialogs;
    QStringList errors;
    std::unique_ptr<JournalTab> tab;
};

TEST_F(JournalTabTest, TodaysEntriesShowNewestFirstWithTheirChanges)
{
    EXPECT_EQ(tab->dateFrom->date(), kNow.date());
    EXPECT_EQ(tab->dateTo->date(), kNow.date());
    EXPECT_EQ(column(0), QStringList({journalTimeText(kNow.addSecs(-60)), journalTimeText(kNow.addSecs(-3600))}));
    EXPECT_EQ(column(1), QStringList({QStringLiteral("оператор"), QStringLiteral("оператор")}));
    EXPECT_EQ(column(2), QStringList({QStringLiteral("USD Доллар США"), QStringLiteral("EUR Евро")}));
    EXPECT_EQ(column(3), QStringList({QStringLiteral("92,50 → 93,00"), QStringLiteral("99,00")}));
    EXPECT_EQ(column(4), QStringList({QStringLiteral("93,10 → 94,00"), QStringLiteral("101,20")}));
}

TEST_F(JournalTabTest, TheOperatorPicksACurrencyAndAnEarlierDay)
{
    ASSERT_TRUE(operatorinput::openListByMouse(*tab->currency));
    const int usd = tab->currency->findText(QStringLiteral("USD"));
    ASSERT_GE(usd, 1);
    operatorinput::clickListRow(*tab->currency, usd);
    ASSERT_TRUE(operatorinput::waitForListClosed(*tab->currency));
    EXPECT_EQ(column(2), QStringList({QStringLiteral("USD Доллар США")}));

    // The day of the "from" date, one down with the arrow key.
    QTest::mouseClick(tab->dateFrom, Qt::LeftButton, {}, QPoint(8, tab->dateFrom->height() / 2));
    operatorinput::pressKey(Qt::Key_Down);
    EXPECT_EQ(tab->dateFrom->date(), kNow.date().addDays(-1));
    EXPECT_EQ(column(2), QStringList({QStringLiteral("USD Доллар США"), QStringLiteral("USD Доллар США")}));
}

TEST_F(JournalTabTest, ExportWritesTheListedEntriesToTheChosenFile)
{
    const QString csv = folder.filePath(QStringLiteral("export.csv"));
    dialogs.answerExportFile(csv);
    operatorinput::clickButton(tab->exportButton);
    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings()[0].suffix, QStringLiteral("csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 3); // the header and today's two entries
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(JournalTabTest, TheRateOrderAsksForAMomentThenAFile)
{
    const QString pdf = folder.filePath(QStringLiteral("order.pdf"));
    dialogs.answerMoment(kNow.addSecs(-1800));
    dialogs.answerExportFile(pdf);
    operatorinput::clickButton(tab->orderButton);
    ASSERT_EQ(dialogs.openings().size(), 2);
    EXPECT_EQ(dialogs.openings()[0].moment, kNow);
    EXPECT_EQ(dialogs.openings()[1].suffix, QStringLiteral("pdf"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(JournalTabTest, AMomentBeforeTheJournalIsSaidAndWritesNothing)
{
    dialogs.answerMoment(kNow.addDays(-2));
    operatorinput::clickButton(tab->orderButton);
    EXPECT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(dialogs.unusedAnswers(), 0);
}

} // namespace
