// Head office and branches in one process, talking through a real mosquitto.

#include "MosquittoBroker.h"

#include "chain/ChainController.h"
#include "chain/ChainTopics.h"
#include "chain/MqttClient.h"
#include "chain/RatesMessage.h"
#include "content/BoardContent.h"
#include "platform/ProgramSettings.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QThread>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using testsupport::MosquittoBroker;

// Deadlines only bound the waits: a passing test returns as soon as the state is reached.
constexpr int kArrivalMs = 5000;
// The broker's return is noticed at the next reconnect attempt, at most 10 s apart.
constexpr int kReconnectMs = 15000;
// A hanging broker is known once two keep-alive periods pass unanswered.
constexpr int kHangNoticedMs = 20000;

const QString kChain = QString::fromLatin1(MosquittoBroker::kChain);

struct OfficeSetup
{
    int role = ProgramSettings::kChainBranch;
    QString office;
    QString user;
    QString password;
    QString caFile;
    QString url;
};

// One office of the chain: its settings, its rates and its place in the chain.
struct Office
{
    explicit Office(const OfficeSetup &setup)
    {
        settings.setChainRole(setup.role);
        settings.setChainUrl(setup.url);
        settings.setChainId(kChain);
        settings.setChainOffice(setup.office);
        settings.setChainUser(setup.user);
        settings.setChainPassword(setup.password);
        settings.setChainCaFile(setup.caFile);
        content.setRateSlots(toRateSlots({{QStringLiteral("USD"), QStringLiteral("90"), QStringLiteral("91"), QString()}}),
                             RateOrigin::storedTable());
        chain = std::make_unique<ChainController>(content, settings);
    }

    ProgramSettings settings;
    BoardContent content;
    std::unique_ptr<ChainController> chain;
};

class ChainThroughBroker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(broker.setupError().isEmpty()) << broker.setupError().toStdString();
    }

    OfficeSetup setupFor(const QString &user, int role = ProgramSettings::kChainBranch) const
    {
        return {role, user, user, MosquittoBroker::passwordOf(user), broker.caFile(), broker.url()};
    }

    std::unique_ptr<Office> headOffice()
    {
        return std::make_unique<Office>(setupFor(QStringLiteral("center"), ProgramSettings::kChainHeadOffice));
    }

    std::unique_ptr<Office> branch(const QString &user = QStringLiteral("tver"))
    {
        return std::make_unique<Office>(setupFor(user));
    }

    static bool connected(const Office &office)
    {
        return QTest::qWaitFor([&] { return office.chain->isConnected(); }, kArrivalMs);
    }

    static void typeRate(Office &office, const QString &buy)
    {
        office.content.setRateSlot(1, {QStringLiteral("EUR"), buy, QStringLiteral("101"), QStringLiteral("Евро")});
    }

    static bool shows(const Office &branch, const Office &head, int deadlineMs = kArrivalMs)
    {
        return QTest::qWaitFor([&] { return branch.content.shownRates() == head.content.shownRates(); }, deadlineMs);
    }

    // A client of its own, outside any office: publishes whatever a test needs on the chain.
    std::unique_ptr<MqttClient> rawClient(const QString &user)
    {
        auto client = std::make_unique<MqttClient>();
        MqttSession session;
        session.broker = {QStringLiteral("127.0.0.1"), broker.port(), true};
        session.user = user;
        session.password = MosquittoBroker::passwordOf(user);
        session.caFile = broker.caFile();
        client->start(session);
        return client;
    }

    MosquittoBroker broker;
};

TEST_F(ChainThroughBroker, ATypedRateReachesTheBranchWhichTellsTheHeadOfficeItsVersion)
{
    auto head = headOffice();
    auto tver = branch();
    EXPECT_FALSE(head->chain->ratesReadOnly());
    EXPECT_TRUE(tver->chain->ratesReadOnly());
    ASSERT_TRUE(connected(*head) && connected(*tver)) << tver->chain->statusText().toStdString();
    EXPECT_TRUE(head->chain->statusText().startsWith(QStringLiteral("подключено с ")));

    typeRate(*head, QStringLiteral("99,50"));
    head->chain->flush(); // the cashier leaves the field
    ASSERT_TRUE(shows(*tver, *head));
    EXPECT_EQ(tver->content.rateSlot(1).buy, QStringLiteral("99,50"));
    EXPECT_EQ(tver->chain->version(), head->chain->version());
    EXPECT_EQ(tver->settings.chainVersion(), head->chain->version()) << "the version survives a restart";
    EXPECT_EQ(head->settings.chainVersion(), head->chain->version());

    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const SeenOffice &seen : head->chain->offices()) {
                if (seen.office == QLatin1String("tver"))
                    return seen.status.online && seen.status.version == head->chain->version();
            }
            return false;
        },
        kArrivalMs));

    // Without leaving the field: the quiet second sends it.
    const qint64 before = head->chain->version();
    typeRate(*head, QStringLiteral("99,70"));
    ASSERT_TRUE(shows(*tver, *head));
    EXPECT_GT(tver->chain->version(), before) << "the version only grows";
    EXPECT_FALSE(tver->chain->statusIsTrouble()) << tver->chain->statusText().toStdString();
}

// A branch that starts after the table was set gets it from the broker's retained copy, and
// the branch's going away shows at the head office through its last will.
TEST_F(ChainThroughBroker, ALateBranchGetsTheRetainedTableAndItsDeathIsSeen)
{
    auto head = headOffice();
    ASSERT_TRUE(connected(*head));
    typeRate(*head, QStringLiteral("98"));
    head->chain->flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return head->settings.chainVersion() > 0; }, kArrivalMs));

    auto tula = branch(QStringLiteral("tula"));
    ASSERT_TRUE(shows(*tula, *head));
    tula.reset();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto &offices = head->chain->offices();
            return std::any_of(offices.begin(), offices.end(), [](const SeenOffice &seen) {
                return seen.office == QLatin1String("tula") && !seen.status.online;
            });
        },
        kArrivalMs));
}

// A restarted head office goes on above the version it published, whether its settings kept
// that version or were restored from an older copy: the broker's retained table tells it.
class HeadOfficeRestart : public ChainThroughBroker, public ::testing::WithParamInterface<bool>
{
};

TEST_P(HeadOfficeRestart, PublishesAboveTheVersionTheBranchesShow)
{
    const bool settingsKept = GetParam();
    auto tver = branch();
    qint64 published = 0;
    {
        auto head = headOffice();
        ASSERT_TRUE(connected(*head) && connected(*tver));
        for (const char *buy : {"90", "91", "92"}) {
            typeRate(*head, QString::fromLatin1(buy));
            head->chain->flush();
        }
        ASSERT_TRUE(shows(*tver, *head));
        published = head->chain->version();
        if (settingsKept)
            published = head->settings.chainVersion();
    }
    OfficeSetup setup = setupFor(QStringLiteral("center"), ProgramSettings::kChainHeadOffice);
    auto head = std::make_unique<Office>(setup);
    if (settingsKept) {
        head->settings.setChainVersion(published);
        head->chain->restartNow();
    }
    typeRate(*head, QStringLiteral("77"));
    head->chain->flush();
    ASSERT_TRUE(shows(*tver, *head)) << tver->chain->statusText().toStdString();
    EXPECT_GT(tver->chain->version(), published);
}

INSTANTIATE_TEST_SUITE_P(Settings, HeadOfficeRestart, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "VersionKept" : "VersionLost"; });

TEST_F(ChainThroughBroker, AChangeMadeWhileTheBrokerWasDownArrivesAfterItsReturn)
{
    auto head = headOffice();
    auto tver = branch();
    ASSERT_TRUE(connected(*head) && connected(*tver));

    broker.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return head->chain->statusIsTrouble() && tver->chain->statusIsTrouble(); },
                                kArrivalMs));
    EXPECT_TRUE(tver->chain->statusText().startsWith(QStringLiteral("нет связи с брокером: ")))
        << tver->chain->statusText().toStdString();
    const QVector<RateRow> shownBefore = tver->content.shownRates();
    typeRate(*head, QStringLiteral("97"));
    head->chain->flush();
    EXPECT_EQ(tver->content.shownRates(), shownBefore) << "the branch keeps its last good table";

    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(shows(*tver, *head, kReconnectMs)) << tver->chain->statusText().toStdString();
    EXPECT_FALSE(tver->chain->statusIsTrouble());
}

TEST_F(ChainThroughBroker, AHangingBrokerHoldsNothingUpAndTheChangeArrivesWhenItWakes)
{
    auto head = headOffice();
    auto tver = branch();
    ASSERT_TRUE(connected(*head) && connected(*tver));

    broker.pause();
    typeRate(*head, QStringLiteral("96"));
    head->chain->flush();
    // The window's thread went on at once: its own timers still fire while the broker hangs.
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticked; }, kArrivalMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver->chain->statusIsTrouble(); }, kHangNoticedMs));
    // The hang is noticed as silence, or, when a try to reconnect comes first, as a connection
    // that fails; which one depends on the machine's pace. Either way the cashier reads that
    // the broker cannot be reached, and nothing blames the password or the certificate.
    const QString status = tver->chain->statusText();
    EXPECT_TRUE(status.startsWith(QStringLiteral("нет связи с брокером: "))) << status.toStdString();
    EXPECT_FALSE(status.contains(QStringLiteral("пароль")) || status.contains(QStringLiteral("сертификат")))
        << status.toStdString();

    broker.resume();
    ASSERT_TRUE(shows(*tver, *head, kReconnectMs)) << tver->chain->statusText().toStdString();
}

TEST_F(ChainThroughBroker, AWrongPasswordIsToldAndNeverShown)
{
    OfficeSetup setup = setupFor(QStringLiteral("tver"));
    setup.password = QStringLiteral("Secret-Wrong-77");
    Office tver(setup);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver.chain->statusIsTrouble(); }, kArrivalMs));
    EXPECT_EQ(tver.chain->statusText(), QStringLiteral("брокер отказал: неверный пользователь или пароль"));
    EXPECT_FALSE(tver.chain->isConnected());
}

struct CertificateCase
{
    const char *name;
    bool strangerCa;
    const char *host;
};

class UntrustedBroker : public ChainThroughBroker, public ::testing::WithParamInterface<CertificateCase>
{
};

TEST_P(UntrustedBroker, IsRefusedWithAClearStatus)
{
    OfficeSetup setup = setupFor(QStringLiteral("tver"));
    setup.caFile = GetParam().strangerCa ? broker.strangerCaFile() : broker.caFile();
    setup.url = broker.url(QString::fromLatin1(GetParam().host));
    Office tver(setup);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver.chain->statusIsTrouble(); }, kArrivalMs));
    EXPECT_TRUE(tver.chain->statusText().startsWith(QStringLiteral("сертификат брокера не проверен: ")))
        << tver.chain->statusText().toStdString();
    EXPECT_FALSE(tver.chain->isConnected());
}

INSTANTIATE_TEST_SUITE_P(Certificates, UntrustedBroker,
                         ::testing::Values(CertificateCase{"SignedByAnotherCa", true, "127.0.0.1"},
                                           CertificateCase{"IssuedToAnotherName", false, "localhost"}),
                         [](const auto &info) { return std::string(info.param.name); });

// A branch's user may read the rates but not set them: the broker drops its forgery, so a
// later table of the head office's, with a lower version, still applies.
TEST_F(ChainThroughBroker, ARateTableForgedByABranchUserIsDroppedByTheBroker)
{
    auto head = headOffice();
    auto tver = branch();
    ASSERT_TRUE(connected(*head) && connected(*tver));
    QSignalSpy applied(tver->chain.get(), &ChainController::ratesApplied);

    auto forger = rawClient(QStringLiteral("tula"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return forger->isConnected(); }, kArrivalMs));
    const ChainRates forged{1000, QDateTime::currentDateTime(), QStringLiteral("center"),
                            {{QStringLiteral("USD"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("даром")}}};
    ASSERT_TRUE(forger->publish(ChainTopics::rates(kChain), writeChainRates(forged), true));

    typeRate(*head, QStringLiteral("95"));
    head->chain->flush();
    ASSERT_TRUE(shows(*tver, *head));
    for (const QList<QVariant> &arguments : applied)
        EXPECT_LT(arguments.first().toLongLong(), 1000);
    EXPECT_LT(tver->chain->version(), 1000);
}

TEST_F(ChainThroughBroker, MalformedAndStaleTablesChangeNothingAndAreTold)
{
    auto tver = branch();
    ASSERT_TRUE(connected(*tver));
    auto center = rawClient(QStringLiteral("center"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return center->isConnected(); }, kArrivalMs));
    const QString topic = ChainTopics::rates(kChain);
    const ChainRates good{10, QDateTime::currentDateTime(), QStringLiteral("center"),
                          {{QStringLiteral("GBP"), QStringLiteral("120"), QStringLiteral("125"), QString()}}};
    const QVector<RateRow> shownBefore = tver->content.shownRates();

    ASSERT_TRUE(center->publish(topic, R"({"version":11,"changed":"2026-12-11T10:00:00Z","from":"center","rates":[)", true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver->chain->statusIsTrouble(); }, kArrivalMs));
    EXPECT_TRUE(tver->chain->statusText().contains(QStringLiteral("получены неверные курсы, не применены: не JSON")))
        << tver->chain->statusText().toStdString();
    EXPECT_EQ(tver->content.shownRates(), shownBefore);

    ASSERT_TRUE(center->publish(topic, writeChainRates(good), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver->chain->version() == 10; }, kArrivalMs));
    EXPECT_EQ(tver->content.shownRates(), good.rates);
    EXPECT_FALSE(tver->chain->statusIsTrouble());

    ChainRates stale = good;
    stale.version = 9;
    stale.rates[0].buy = QStringLiteral("1");
    ASSERT_TRUE(center->publish(topic, writeChainRates(stale), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tver->chain->statusText().contains(QStringLiteral("устаревшие")); },
                                kArrivalMs));
    EXPECT_EQ(tver->content.shownRates(), good.rates);
    EXPECT_EQ(tver->chain->version(), 10);
    EXPECT_FALSE(tver->chain->statusIsTrouble());
}

} // namespace

namespace {

// The reports a session queued before it was stopped do not reach the owner afterwards: a
// stale "connected" would otherwise describe a connection that no longer exists.
TEST_F(ChainThroughBroker, AStoppedClientReportsNothingMore)
{
    MqttClient client;
    QSignalSpy connections(&client, &MqttClient::connected);
    QSignalSpy cuts(&client, &MqttClient::disconnected);
    MqttSession session;
    session.broker = {QStringLiteral("127.0.0.1"), broker.port(), true};
    session.user = QStringLiteral("tver");
    session.password = MosquittoBroker::passwordOf(session.user);
    session.caFile = broker.caFile();
    client.start(session);
    // Connected on its own thread, its report not yet delivered to this one.
    const QDeadlineTimer deadline(kArrivalMs);
    while (!client.isConnected() && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_TRUE(client.isConnected());
    client.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(connections.count(), 0);
    EXPECT_EQ(cuts.count(), 0);
    EXPECT_FALSE(client.isConnected());
}

} // namespace

namespace {

bool seenOnline(const Office &head, const char *office, bool online)
{
    const auto &offices = head.chain->offices();
    return std::any_of(offices.begin(), offices.end(), [&](const SeenOffice &seen) {
        return seen.office == QLatin1String(office) && seen.status.online == online;
    });
}

// A branch that leaves the chain says so before its connection ends, and comes back online
// when it takes its role again.
TEST_F(ChainThroughBroker, ABranchThatLeavesTheChainIsSeenOfflineAndBackAgain)
{
    auto head = headOffice();
    auto tver = branch();
    ASSERT_TRUE(connected(*head) && connected(*tver));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seenOnline(*head, "tver", true); }, kArrivalMs));

    tver->settings.setChainRole(ProgramSettings::kChainAlone);
    tver->chain->restartNow();
    EXPECT_FALSE(tver->chain->ratesReadOnly());
    EXPECT_TRUE(tver->chain->statusText().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return seenOnline(*head, "tver", false); }, kArrivalMs));

    tver->settings.setChainRole(ProgramSettings::kChainBranch);
    tver->chain->restartNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seenOnline(*head, "tver", true); }, kArrivalMs));
}

} // namespace
