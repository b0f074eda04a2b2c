#include "BenchSupport.h"
#include "platform/JournalReader.h"
#include "platform/JournalSql.h"
#include "platform/RateJournal.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

namespace {

// Ten busy years: 82 entries a day between 08:00 and 20:00, each a change of one of the
// office table's eight rows.
constexpr int kEntriesPerDay = 82;
const QDate kFirstDay(2016, 1, 1);

JournalEntry officeEntry(qint64 id, const RateSlots &table)
{
    const qint64 day = (id - 1) / kEntriesPerDay;
    const qint64 inDay = (id - 1) % kEntriesPerDay;
    JournalEntry e;
    e.id = id;
    e.time = QDateTime(kFirstDay.addDays(day), QTime(8, 0)).addSecs(inDay * 12 * 3600 / kEntriesPerDay);
    e.slot = static_cast<int>(id % RateSlotCount) + 1;
    e.before = table[static_cast<size_t>(e.slot - 1)];
    e.after = e.before;
    e.after.buy = QString::number(90 + id % 7) + QStringLiteral(",") + QString::number(id % 100);
    return e;
}

// A journal file of `count` entries, made once per size and kept for the process.
struct Fixture
{
    QTemporaryDir folder;
    QString path;
    qint64 count = 0;
};

const Fixture &journalOf(qint64 count)
{
    static std::map<qint64, std::unique_ptr<Fixture>> made;
    std::unique_ptr<Fixture> &fixture = made[count];
    if (fixture)
        return *fixture;
    fixture = std::make_unique<Fixture>();
    fixture->path = fixture->folder.filePath(QStringLiteral("journal.sqlite"));
    fixture->count = count;
    { RateJournal journal(fixture->path); } // the file as the program makes it
    QSqlDatabase db = JournalSql::connect(fixture->path);
    int code = 0;
    JournalSql::prepareForWriting(db, &code);
    const RateSlots table = benchsupport::officeTable();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO entries (%1) VALUES (?%2)")
                       .arg(QLatin1String(JournalSql::kColumns), QStringLiteral(", ?").repeated(14)));
    for (qint64 id = 1; id <= count; ++id) {
        JournalSql::bindEntry(insert, officeEntry(id, table));
        insert.exec();
    }
    db.commit();
    QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    insert = QSqlQuery();
    JournalSql::disconnect(db);
    return *fixture;
}

qint64 days(qint64 count)
{
    return count / kEntriesPerDay;
}

// What a change costs the window's thread: handing the entry to the journal's writer.
// The writer is let catch up outside the measured time, so the queue stays short.
void BM_JournalAppend(benchmark::State &state)
{
    QTemporaryDir folder;
    RateJournal journal(folder.filePath(QStringLiteral("journal.sqlite")));
    const RateSlots table = benchsupport::officeTable();
    int sinceWait = 0;
    for (auto _ : state) {
        journal.record(officeEntry(journal.nextId(), table));
        if (++sinceWait == 64) {
            state.PauseTiming();
            journal.waitForWrites();
            sinceWait = 0;
            state.ResumeTiming();
        }
    }
    journal.waitForWrites();
}

// An entry handed over and on the disk, synchronised: what a kill may not lose.
void BM_JournalAppendDurable(benchmark::State &state)
{
    QTemporaryDir folder;
    RateJournal journal(folder.filePath(QStringLiteral("journal.sqlite")));
    const RateSlots table = benchsupport::officeTable();
    for (auto _ : state) {
        journal.record(officeEntry(journal.nextId(), table));
        journal.waitForWrites();
    }
}

// One day's entries out of the whole journal, as the tab and the export read them.
void BM_JournalDay(benchmark::State &state)
{
    const Fixture &fixture = journalOf(state.range(0));
    JournalReader reader(fixture.path);
    std::mt19937 random(25);
    std::uniform_int_distribution<qint64> day(0, days(fixture.count) - 1);
    qint64 read = 0;
    for (auto _ : state) {
        const QDate date = kFirstDay.addDays(day(random));
        const QVector<JournalEntry> entries = reader.entries(date, date, QString());
        read += entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    if (read != kEntriesPerDay * static_cast<qint64>(state.iterations()))
        state.SkipWithError("a day did not read its entries");
    state.counters["file_MB"] = QFileInfo(fixture.path).size() / 1e6;
}

// The rates in force at a moment, as the rate order reads them.
void BM_RateOrderAt(benchmark::State &state)
{
    const Fixture &fixture = journalOf(state.range(0));
    JournalReader reader(fixture.path);
    std::mt19937 random(25);
    std::uniform_int_distribution<qint64> minute(0, days(fixture.count) * 24 * 60 - 1);
    for (auto _ : state) {
        const QDateTime moment = QDateTime(kFirstDay, QTime(0, 0)).addSecs(minute(random) * 60);
        const std::optional<RatesInForce> rates = reader.ratesAt(moment);
        benchmark::DoNotOptimize(rates.has_value());
    }
    state.counters["file_MB"] = QFileInfo(fixture.path).size() / 1e6;
}

} // namespace

BENCHMARK(BM_JournalAppend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JournalAppendDurable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalDay)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RateOrderAt)->Arg(300000)->Unit(benchmark::kMillisecond);
