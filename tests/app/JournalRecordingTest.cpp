#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "content/BoardContent.h"
#include "platform/JournalReader.h"
#include "platform/ProgramSettings.h"
#include "platform/RateJournal.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The operator window keeps the journal: a first start begins it with what the board
// shows, a rate typed digit by digit and then left is one entry, and a table from the
// head office is an entry per changed row with its source.
TEST(JournalRecording, TheWindowRecordsTypedAndReceivedRatesAsTheyReachTheBoard)
{
    testsupport::SettingsSandbox sandbox;
    const QString path = RateJournal::defaultPath(TForm1::programTitle());
    QDir(QFileInfo(path).absolutePath()).removeRecursively();
    programSettings().reset();
    programSettings().setRateTableText(QStringLiteral("USD\t93,00\t94,00\tДОЛЛАР США\r\nEUR\t99,00\t101,00\tЕВРО\r\n"));

    testsupport::ProgramWindows windows;
    windows.start();
    TForm1 &form = *windows.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QDate today = QDate::currentDate();
    const auto entries = [&] { return JournalReader(path).entries(today, today, QString()); };
    ASSERT_TRUE(testsupport::waitUntil([&] { return entries().size() == 2; })) << entries().size();

    QLineEdit *buy = form.EditorRows[1]->Edit1;
    buy->setFocus();
    buy->selectAll();
    for (const char key : {'9', '3', ',', '1', '0'})
        QTest::keyClick(buy, key);
    QTest::keyClick(buy, Qt::Key_Tab);
    // The entry is on disk from the first key and grows with each; the journal writes on
    // its own thread, so the last key may still be on its way.
    const auto typedEntry = [&] {
        for (const JournalEntry &entry : entries())
            if (entry.slot == 1 && entry.after.buy == QStringLiteral("93,10"))
                return std::optional<JournalEntry>(entry);
        return std::optional<JournalEntry>();
    };
    ASSERT_TRUE(testsupport::waitUntil([&] { return typedEntry().has_value(); }));
    EXPECT_EQ(entries().size(), 3) << "the keys made more than one entry";
    const std::optional<JournalEntry> typed = typedEntry();
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(typed->source, JournalEntry::Source::Operator);
    EXPECT_EQ(typed->before.buy, QStringLiteral("93,00"));

    RateSlots table = form.content().rateSlots();
    table[1].sell = QStringLiteral("102,00");
    form.content().setRateSlots(table, RateOrigin::headOffice(QStringLiteral("hq"), 5));
    ASSERT_TRUE(testsupport::waitUntil([&] { return entries().size() == 4; })) << entries().size();
    bool fromHeadOffice = false;
    for (const JournalEntry &entry : entries())
        fromHeadOffice |= entry.source == JournalEntry::Source::HeadOffice && entry.office == QStringLiteral("hq")
                          && entry.version == 5 && entry.slot == 2 && entry.after.sell == QStringLiteral("102,00");
    EXPECT_TRUE(fromHeadOffice);
    windows.stop();
    QDir(QFileInfo(path).absolutePath()).removeRecursively();
    programSettings().reset();
}

} // namespace
