#include "app/JournalCommands.h"
#include "platform/RateJournal.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

class JournalCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        RateJournal journal(journalPath);
        JournalEntry e;
        e.id = journal.nextId();
        e.time = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
        e.slot = 1;
        e.after = {QStringLiteral("USD"), QStringLiteral("92,50"), QStringLiteral("93,10"), QStringLiteral("Доллар США")};
        journal.record(e);
    }

    // Runs the command; the exit code, with what it said on the error stream.
    int run(const QStringList &arguments, const QString &journal)
    {
        errorText.clear();
        QTextStream errors(&errorText);
        return JournalCommands::run(arguments, journal, QStringLiteral("Офис"), errors);
    }

    QString file(const char *name) const { return folder.filePath(QLatin1String(name)); }

    QTemporaryDir folder;
    QString journalPath = folder.filePath(QStringLiteral("journal.sqlite"));
    QString errorText;
};

TEST_F(JournalCommandsTest, SuccessWritesTheFileAndSaysNothing)
{
    struct Case { QStringList arguments; const char *output; QByteArray start; };
    const Case cases[] = {
        {{"--journal-csv", "2026-03-02", "2026-03-02", file("day.csv")}, "day.csv", "\xEF\xBB\xBF"},
        {{"--journal-csv", "2026-01-01", "2026-12-31", file("year.csv")}, "year.csv", "\xEF\xBB\xBF"},
        // A range without entries of a journal that has some is an export of the header.
        {{"--journal-csv", "2025-01-01", "2025-01-01", file("none.csv")}, "none.csv", "\xEF\xBB\xBF"},
        {{"--rate-order", "2026-03-02 09:00", file("order.pdf")}, "order.pdf", "%PDF"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(run(c.arguments, journalPath), 0) << qPrintable(c.arguments.join(' ') + ": " + errorText);
        EXPECT_TRUE(errorText.isEmpty()) << qPrintable(errorText);
        QFile output(file(c.output));
        ASSERT_TRUE(output.open(QIODevice::ReadOnly)) << c.output;
        EXPECT_TRUE(output.readAll().startsWith(c.start)) << c.output;
    }
}

TEST_F(JournalCommandsTest, EachFailureExitsWithOneAndOneLine)
{
    const QString damaged = file("damaged.sqlite");
    {
        QFile bytes(damaged);
        ASSERT_TRUE(bytes.open(QIODevice::WriteOnly));
        bytes.write(QByteArray("no database at all\n").repeated(100));
    }
    const QString empty = file("empty.sqlite");
    { RateJournal journal(empty); }
    const QString csv = file("out.csv");
    const QString pdf = file("out.pdf");
    const QString unwritableCsv = file("missing/folder/out.csv");
    const QString unwritablePdf = file("missing/folder/out.pdf");
    struct Case { QStringList arguments; QString journal; const char *says; };
    const Case cases[] = {
        {{"--journal-csv", "2026-03-32", "2026-04-01", csv}, journalPath, "2026-03-32"},
        {{"--journal-csv", "02.03.2026", "2026-04-01", csv}, journalPath, "02.03.2026"},
        {{"--journal-csv", "2026-04-02", "2026-04-01", csv}, journalPath, "2026-04-02"},
        {{"--journal-csv", "2026-03-01", "2026-04-01", csv}, empty, "no entries"},
        {{"--journal-csv", "2026-03-01", "2026-04-01", csv}, file("absent.sqlite"), "absent.sqlite"},
        {{"--journal-csv", "2026-03-01", "2026-04-01", csv}, damaged, "damaged.sqlite"},
        {{"--journal-csv", "2026-03-01", "2026-04-01", unwritableCsv}, journalPath, "out.csv"},
        {{"--journal-csv", "2026-03-01", csv}, journalPath, "--journal-csv"},
        {{"--rate-order", "2026-03-02 25:00", pdf}, journalPath, "25:00"},
        {{"--rate-order", "2026-03-02", pdf}, journalPath, "2026-03-02"},
        {{"--rate-order", "2026-03-02 08:59", pdf}, journalPath, "08:59"},
        {{"--rate-order", "2026-03-02 10:00", pdf}, empty, "no entries"},
        {{"--rate-order", "2026-03-02 10:00", pdf}, damaged, "damaged.sqlite"},
        {{"--rate-order", "2026-03-02 10:00", unwritablePdf}, journalPath, "out.pdf"},
    };
    for (const Case &c : cases) {
        const QString call = c.arguments.join(QLatin1Char(' '));
        EXPECT_EQ(run(c.arguments, c.journal), 1) << qPrintable(call);
        EXPECT_EQ(errorText.count(QLatin1Char('\n')), 1) << qPrintable(call + ": " + errorText);
        EXPECT_TRUE(errorText.contains(QLatin1String(c.says))) << qPrintable(call + ": " + errorText);
        EXPECT_FALSE(QFileInfo::exists(csv) || QFileInfo::exists(pdf)) << qPrintable(call);
    }
    // A damaged journal is read, never repaired or moved by a command.
    QFile bytes(damaged);
    ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
    EXPECT_EQ(bytes.readAll(), QByteArray("no database at all\n").repeated(100));
}

TEST_F(JournalCommandsTest, ACommandLineOfTheWindowIsNoCommand)
{
    EXPECT_EQ(run({}, journalPath), 2);
    EXPECT_EQ(run({QStringLiteral("-platform")}, journalPath), 2);
    EXPECT_TRUE(errorText.isEmpty());
    EXPECT_TRUE(JournalCommands::usage().contains(QStringLiteral("--journal-csv FROM TO FILE")));
    EXPECT_TRUE(JournalCommands::usage().contains(QStringLiteral("--rate-order \"YYYY-MM-DD HH:MM\" FILE.pdf")));
}

} // namespace
