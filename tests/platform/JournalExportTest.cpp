#include "platform/JournalCsv.h"
#include "platform/RateOrderPdf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

JournalEntry entry(int slot, RateRow before, RateRow after, JournalEntry::Source source = JournalEntry::Source::Operator)
{
    JournalEntry e;
    e.time = QDateTime(QDate(2026, 3, 2), QTime(9, 15, 30), QTimeZone(3 * 3600));
    e.source = source;
    if (source == JournalEntry::Source::HeadOffice) {
        e.office = QStringLiteral("HQ-7");
        e.version = 42;
    }
    e.slot = slot;
    e.before = std::move(before);
    e.after = std::move(after);
    return e;
}

// Reads a CSV file with Python's csv module, an independent reader, as a list of records.
QList<QStringList> readCsvWithPython(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
                  path});
    if (!python.waitForFinished() || python.exitCode() != 0)
        return {};
    QList<QStringList> records;
    for (const QJsonValue &record : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &field : record.toArray())
            fields << field.toString();
        records << fields;
    }
    return records;
}

TEST(JournalCsv, ASpreadsheetReadsBackEveryFieldAsTyped)
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed: no independent CSV reader";
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("journal.csv"));
    const RateRow usd{QStringLiteral("USD"), QStringLiteral("92,50"), QStringLiteral("93,10"), QStringLiteral("Доллар; США")};
    const RateRow odd{QStringLiteral("XAU"), QStringLiteral("7 000,5"), QStringLiteral("7 100"), QStringLiteral("\"Золото\" =SUM(1)")};
    const RateRow formula{QStringLiteral("EUR"), QStringLiteral("99"), QStringLiteral("101"), QStringLiteral("=HYPERLINK(\"x\")")};
    const QVector<JournalEntry> entries = {entry(1, {}, usd), entry(2, usd, odd, JournalEntry::Source::HeadOffice),
                                           entry(3, {}, formula)};
    ASSERT_FALSE(writeJournalCsv(entries, path).has_value());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF"));

    const QList<QStringList> records = readCsvWithPython(path);
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].size(), 11);
    EXPECT_EQ(records[0][0], QStringLiteral("Время"));
    const QStringList expected[] = {
        {QStringLiteral("2026-03-02 09:15:30 +03:00"), QStringLiteral("оператор"), QStringLiteral("1"), QString(), usd.code,
         QString(), usd.name, QString(), usd.buy, QString(), usd.sell},
        {QStringLiteral("2026-03-02 09:15:30 +03:00"), QStringLiteral("головной офис HQ-7, версия 42"), QStringLiteral("2"),
         usd.code, odd.code, usd.name, odd.name, usd.buy, odd.buy, usd.sell, odd.sell},
        // A name a spreadsheet would run as a formula stays text.
        {QStringLiteral("2026-03-02 09:15:30 +03:00"), QStringLiteral("оператор"), QStringLiteral("3"), QString(), formula.code,
         QString(), QLatin1Char('\'') + formula.name, QString(), formula.buy, QString(), formula.sell},
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(records[i + 1], expected[i]) << "record " << i + 1;
}

TEST(JournalCsv, AnUnwritableFileIsAReasonNotASuccess)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("no/such/folder/journal.csv"));
    const std::optional<QString> error = writeJournalCsv({}, path);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(path));
}

QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished() || pdftotext.exitCode() != 0)
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST(RateOrderPdf, TheOrderNamesTheOfficeTheTimeAndEveryShownRate)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("order.pdf"));
    RateOrder order;
    order.office = QStringLiteral("Обменный пункт №3");
    order.moment = QDateTime(QDate(2026, 3, 2), QTime(12, 0), QTimeZone(3 * 3600));
    order.rates.since = QDateTime(QDate(2026, 3, 2), QTime(9, 15, 30), QTimeZone(3 * 3600));
    order.rates.rows = {{QStringLiteral("USD"), QStringLiteral("92,50"), QStringLiteral("93,10"), QStringLiteral("Доллар США")},
                        {QStringLiteral("EUR"), QStringLiteral("99,05"), QStringLiteral("101,20"), QStringLiteral("Евро")}};
    ASSERT_FALSE(writeRateOrderPdf(order, path).has_value());

    const QString text = pdfText(path);
    const QString simplified = text.simplified();
    EXPECT_TRUE(simplified.contains(rateOrderHeading())) << qPrintable(text);
    EXPECT_TRUE(text.contains(order.office)) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("2026-03-02 09:15:30 +03:00"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Подпись"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Ф. И. О."))) << qPrintable(text);
    // Each rate stands on its row, in order: code, name, buy, sell.
    for (const RateRow &row : order.rates.rows) {
        const QRegularExpression line(QStringLiteral("%1\\s+%2\\s+%3\\s+%4")
                                          .arg(QRegularExpression::escape(row.code), QRegularExpression::escape(row.name),
                                               QRegularExpression::escape(row.buy), QRegularExpression::escape(row.sell)));
        EXPECT_TRUE(line.match(text).hasMatch()) << qPrintable(row.code + "\n" + text);
    }
}

TEST(RateOrderPdf, AnUnwritableFileIsAReasonNotASuccess)
{
    QTemporaryDir folder;
    const std::optional<QString> error = writeRateOrderPdf({}, folder.filePath(QStringLiteral("no/folder/order.pdf")));
    EXPECT_TRUE(error.has_value());
}

} // namespace
