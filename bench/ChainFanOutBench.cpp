#include "BenchSupport.h"
#include "tests/chain/MosquittoBroker.h"

#include "chain/ChainController.h"
#include "chain/ChainTopics.h"
#include "chain/MqttClient.h"
#include "chain/RatesMessage.h"
#include "content/BoardContent.h"
#include "platform/ProgramSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using testsupport::MosquittoBroker;

// One branch as the program runs it, without a window: its settings, its rates and its chain.
struct HeadlessBranch
{
    HeadlessBranch(const MosquittoBroker &broker, int number)
    {
        settings.setChainRole(ProgramSettings::kChainBranch);
        settings.setChainUrl(broker.url());
        settings.setChainId(QString::fromLatin1(MosquittoBroker::kChain));
        settings.setChainOffice(QStringLiteral("bench-%1").arg(number));
        settings.setChainUser(QStringLiteral("tver"));
        settings.setChainPassword(MosquittoBroker::passwordOf(QStringLiteral("tver")));
        settings.setChainCaFile(broker.caFile());
        chain = std::make_unique<ChainController>(content, settings);
    }

    ProgramSettings settings;
    BoardContent content;
    std::unique_ptr<ChainController> chain;
};

bool waitUntil(const std::function<bool()> &done, int deadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(fraction * double(samples.size())))];
}

// One table published by the head office, from the publish call until every branch has
// applied it to its rates (received, read, checked and set in one step on the window's thread).
void BM_ChainFanOut(benchmark::State &state)
{
    MosquittoBroker broker;
    if (!broker.setupError().isEmpty()) {
        state.SkipWithError(qPrintable(broker.setupError()));
        return;
    }
    const int count = int(state.range(0));
    std::vector<std::unique_ptr<HeadlessBranch>> branches;
    int applied = 0;
    for (int i = 0; i < count; ++i) {
        branches.push_back(std::make_unique<HeadlessBranch>(broker, i));
        QObject::connect(branches.back()->chain.get(), &ChainController::ratesApplied, [&applied] { ++applied; });
    }
    MqttClient head;
    MqttSession session;
    session.broker = {QStringLiteral("127.0.0.1"), broker.port(), true};
    session.user = QStringLiteral("center");
    session.password = MosquittoBroker::passwordOf(session.user);
    session.caFile = broker.caFile();
    head.start(session);
    const auto allConnected = [&] {
        return head.isConnected()
            && std::all_of(branches.begin(), branches.end(), [](const auto &b) { return b->chain->isConnected(); });
    };
    if (!waitUntil(allConnected, 60000)) {
        state.SkipWithError("the branches did not all connect");
        return;
    }
    // Their subscriptions settle before the first measured table.
    waitUntil([] { return false; }, 500);

    const RateSlots table = benchsupport::officeTable();
    ChainRates rates{0, QDateTime::currentDateTime(), QStringLiteral("center"), QVector<RateRow>(table.begin(), table.end())};
    std::vector<double> samples;
    for (auto _ : state) {
        ++rates.version;
        applied = 0;
        QElapsedTimer clock;
        clock.start();
        head.publish(ChainTopics::rates(QString::fromLatin1(MosquittoBroker::kChain)), writeChainRates(rates), true);
        if (!waitUntil([&] { return applied == count; }, 10000)) {
            state.SkipWithError("not every branch applied the table");
            break;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        samples.push_back(seconds * 1000);
        state.SetIterationTime(seconds);
    }
    state.counters["p50_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
    // Every client ends at once rather than one after another.
    head.requestStop();
    for (const auto &branch : branches)
        branch->chain->stop();
}

} // namespace

BENCHMARK(BM_ChainFanOut)->Arg(200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

namespace {

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// A head office and a branch connected with nothing changing, as an office runs all day: the
// share of one core the program's process spends on the chain (its threads and its event
// loop), in percent.
void BM_ChainIdleCpu(benchmark::State &state)
{
    MosquittoBroker broker;
    if (!broker.setupError().isEmpty()) {
        state.SkipWithError(qPrintable(broker.setupError()));
        return;
    }
    HeadlessBranch branch(broker, 1);
    if (!waitUntil([&] { return branch.chain->isConnected(); }, 10000)) {
        state.SkipWithError("the branch did not connect");
        return;
    }
    std::vector<double> shares;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        // A real wait of the event loop, as the program's: nothing runs unless something comes.
        QEventLoop idle;
        QTimer::singleShot(5000, &idle, &QEventLoop::quit);
        idle.exec();
        shares.push_back(100 * (processCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9));
    }
    state.counters["cpu_percent"] = percentile(shares, 0.5);
}

} // namespace

BENCHMARK(BM_ChainIdleCpu)->Iterations(3)->Unit(benchmark::kSecond);

namespace {

struct HeadlessHeadOffice
{
    explicit HeadlessHeadOffice(const MosquittoBroker &broker)
    {
        settings.setChainRole(ProgramSettings::kChainHeadOffice);
        settings.setChainUrl(broker.url());
        settings.setChainId(QString::fromLatin1(MosquittoBroker::kChain));
        settings.setChainOffice(QStringLiteral("center"));
        settings.setChainUser(QStringLiteral("center"));
        settings.setChainPassword(MosquittoBroker::passwordOf(QStringLiteral("center")));
        settings.setChainCaFile(broker.caFile());
        content.setRateSlots(benchsupport::officeTable(), RateOrigin::storedTable());
        chain = std::make_unique<ChainController>(content, settings);
    }

    // A rate as the cashier types it, then leaves the field.
    void typeAndLeave(int iteration)
    {
        RateRow row = content.rateSlot(1);
        row.buy = iteration % 2 ? QStringLiteral("92,10") : QStringLiteral("92,20");
        content.setRateSlot(1, row);
        chain->flush();
    }

    ProgramSettings settings;
    BoardContent content;
    std::unique_ptr<ChainController> chain;
};

// From a rate the head office's cashier typed (and the field left) to the branch's rates
// holding it: the branch's boards, web feed and stored table follow its rates at once.
void BM_ChainKeystrokeToBranch(benchmark::State &state)
{
    MosquittoBroker broker;
    if (!broker.setupError().isEmpty()) {
        state.SkipWithError(qPrintable(broker.setupError()));
        return;
    }
    HeadlessHeadOffice head(broker);
    HeadlessBranch branch(broker, 1);
    if (!waitUntil([&] { return head.chain->isConnected() && branch.chain->isConnected(); }, 10000)) {
        state.SkipWithError("the offices did not connect");
        return;
    }
    int iteration = 0;
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        head.typeAndLeave(++iteration);
        if (!waitUntil([&] { return branch.content.rateSlot(1) == head.content.rateSlot(1); }, 10000)) {
            state.SkipWithError("the branch did not get the rate");
            break;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        samples.push_back(seconds * 1000);
        state.SetIterationTime(seconds);
    }
    state.counters["p50_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
}

// The same keystroke while the broker hangs (stopped with its connections open): what the
// window's thread spends on it, for it must not wait on the network.
void BM_ChainKeystrokeWhileBrokerHangs(benchmark::State &state)
{
    MosquittoBroker broker;
    if (!broker.setupError().isEmpty()) {
        state.SkipWithError(qPrintable(broker.setupError()));
        return;
    }
    HeadlessHeadOffice head(broker);
    if (!waitUntil([&] { return head.chain->isConnected(); }, 10000)) {
        state.SkipWithError("the head office did not connect");
        return;
    }
    broker.pause();
    int iteration = 0;
    for (auto _ : state)
        head.typeAndLeave(++iteration);
    broker.resume();
}

} // namespace

BENCHMARK(BM_ChainKeystrokeToBranch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_ChainKeystrokeWhileBrokerHangs)->Unit(benchmark::kMicrosecond);
