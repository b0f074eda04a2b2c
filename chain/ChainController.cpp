#include "ChainController.h"

#include "BrokerAddress.h"
#include "ChainTopics.h"
#include "OfficeStatus.h"
#include "RatesMessage.h"
#include "content/BoardContent.h"
#include "platform/ProgramSettings.h"

#include <algorithm>

namespace {

ChainController::Role roleOf(int stored)
{
    switch (stored) {
    case ProgramSettings::kChainBranch:
        return ChainController::Role::Branch;
    case ProgramSettings::kChainHeadOffice:
        return ChainController::Role::HeadOffice;
    default:
        return ChainController::Role::Alone;
    }
}

QString momentText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

} // namespace

ChainController::ChainController(BoardContent &content, ProgramSettings &settings, QObject *parent)
    : QObject(parent)
    , m_content(content)
    , m_settings(settings)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &ChainController::flush);
    m_restart.setSingleShot(true);
    m_restart.setInterval(kRestartDelayMs);
    connect(&m_restart, &QTimer::timeout, this, &ChainController::restartNow);

    connect(&m_settings, &ProgramSettings::chainRoleChanged, this, &ChainController::scheduleRestart);
    connect(&m_settings, &ProgramSettings::chainConnectionChanged, this, &ChainController::scheduleRestart);
    connect(&m_content, &BoardContent::rateSlotChanged, this, &ChainController::tableEdited);
    connect(&m_content, &BoardContent::rateTableReplaced, this, [this](const RateSlots &, const RateOrigin &origin) {
        // A table shown again at start-up, or the head office's own, is no edit of ours.
        if (origin.kind == RateOrigin::Kind::Operator)
            tableEdited();
    });

    newClient();
    restartNow();
}

ChainController::~ChainController()
{
    stop();
}

QString ChainController::readOnlyNote()
{
    return QStringLiteral("Курсы задаёт центр");
}

QString ChainController::statusText() const
{
    if (m_note.isEmpty())
        return m_connectionText;
    return m_connectionText + QStringLiteral("; ") + m_note;
}

void ChainController::scheduleRestart()
{
    m_restart.start();
}

void ChainController::newClient()
{
    m_client = new MqttClient(this);
    connect(m_client, &MqttClient::connected, this, &ChainController::onConnected);
    connect(m_client, &MqttClient::disconnected, this, &ChainController::onDisconnected);
    connect(m_client, &MqttClient::messageReceived, this, &ChainController::onMessage);
}

// The window never waits for the old connection to end: it is told to, and goes when it has.
void ChainController::leaveChain()
{
    m_quiet.stop();
    m_connectedSince = {};
    if (!m_client->isRunning())
        return;
    if (m_client->isConnected())
        publishStatus(false);
    MqttClient *old = m_client;
    disconnect(old, nullptr, this, nullptr);
    connect(old, &MqttClient::finished, old, &QObject::deleteLater);
    old->requestStop();
    newClient();
}

void ChainController::restartNow()
{
    m_restart.stop();
    leaveChain();
    m_roster.clear();
    emit officesChanged();
    m_note.clear();
    m_noteIsTrouble = false;
    m_staleToldFor = 0;

    const Role role = roleOf(m_settings.chainRole());
    const bool wasReadOnly = ratesReadOnly();
    m_role = role;
    if (ratesReadOnly() != wasReadOnly)
        emit ratesReadOnlyChanged(ratesReadOnly());
    if (m_role == Role::Alone) {
        setConnectionState({}, false);
        return;
    }
    const QString problem = sessionProblem();
    if (!problem.isEmpty()) {
        setConnectionState(problem, true);
        return;
    }
    m_chainId = m_settings.chainId();
    m_office = m_settings.chainOffice();
    m_version = m_settings.chainVersion();
    // A head office publishes its table at its first connection: it may have changed
    // while the office stood alone or the program was closed.
    m_dirty = m_role == Role::HeadOffice;
    setConnectionState(QStringLiteral("подключение к брокеру…"), false);
    m_client->start(session());
}

QString ChainController::sessionProblem() const
{
    const BrokerAddressReading address = readBrokerAddress(m_settings.chainUrl());
    if (!address.ok)
        return QStringLiteral("Брокер: ") + address.reason;
    QString problem = ChainTopics::idProblem(m_settings.chainId());
    if (!problem.isEmpty())
        return QStringLiteral("Сеть: ") + problem;
    problem = ChainTopics::idProblem(m_settings.chainOffice());
    if (!problem.isEmpty())
        return QStringLiteral("Офис: ") + problem;
    return {};
}

MqttSession ChainController::session() const
{
    MqttSession session;
    session.broker = readBrokerAddress(m_settings.chainUrl()).address;
    session.clientId = QStringLiteral("corvane-%1-%2").arg(m_chainId, m_office);
    session.user = m_settings.chainUser();
    session.password = m_settings.chainPassword();
    session.caFile = m_settings.chainCaFile();
    session.willTopic = ChainTopics::office(m_chainId, m_office);
    session.willPayload = writeOfficeStatus({false, m_version, QDateTime::currentDateTime()});
    session.subscriptions = {ChainTopics::rates(m_chainId)};
    if (m_role == Role::HeadOffice)
        session.subscriptions.append(ChainTopics::allOffices(m_chainId));
    return session;
}

void ChainController::stop()
{
    m_quiet.stop();
    if (m_client->isConnected())
        publishStatus(false);
    m_client->stop();
    m_connectedSince = {};
    // Connections of earlier settings still ending are waited for too.
    for (MqttClient *client : findChildren<MqttClient *>(Qt::FindDirectChildrenOnly))
        client->stop();
}

void ChainController::tableEdited()
{
    if (m_role != Role::HeadOffice)
        return;
    m_dirty = true;
    m_quiet.start();
}

void ChainController::flush()
{
    m_quiet.stop();
    if (m_dirty)
        publishTable();
}

// A changed table gets the next version; an unchanged one goes out again as it was, so that
// a broker that lost it while away has it back.
void ChainController::publishTable()
{
    if (m_role != Role::HeadOffice || !m_client->isConnected())
        return;
    const qint64 version = m_dirty || m_version == 0 ? std::max(m_version, m_settings.chainVersion()) + 1 : m_version;
    const ChainRates rates{version, QDateTime::currentDateTime(), m_office, m_content.shownRates()};
    if (!m_client->publish(ChainTopics::rates(m_chainId), writeChainRates(rates), true))
        return;
    m_dirty = false;
    m_version = version;
    m_settings.setChainVersion(version);
    publishStatus(true);
    emit ratesPublished(version);
}

void ChainController::publishStatus(bool online)
{
    const OfficeStatus status{online, m_version, online ? m_connectedSince : QDateTime::currentDateTime()};
    m_client->publish(ChainTopics::office(m_chainId, m_office), writeOfficeStatus(status), true);
}

void ChainController::onConnected()
{
    m_connectedSince = QDateTime::currentDateTime();
    setConnectionState(QStringLiteral("подключено с ") + momentText(m_connectedSince), false);
    publishStatus(true);
    if (m_role == Role::HeadOffice)
        publishTable();
}

void ChainController::onDisconnected(const QString &reason)
{
    m_connectedSince = {};
    setConnectionState(reason, true);
}

void ChainController::onMessage(const QString &topic, const QByteArray &payload)
{
    if (topic == ChainTopics::rates(m_chainId)) {
        receiveRates(payload);
        return;
    }
    const QString office = ChainTopics::officeOf(m_chainId, topic);
    if (m_role == Role::HeadOffice && !office.isEmpty())
        receiveOfficeStatus(office, payload);
}

void ChainController::receiveRates(const QByteArray &payload)
{
    if (m_role == Role::Branch)
        applyRates(payload);
    else if (m_role == Role::HeadOffice)
        noteHeadOfficeVersion(payload);
}

void ChainController::applyRates(const QByteArray &payload)
{
    const ChainRatesReading reading = readChainRates(payload);
    if (!reading.ok) {
        setNote(QStringLiteral("получены неверные курсы, не применены: ") + reading.reason, true);
        return;
    }
    const qint64 version = reading.rates.version;
    if (version <= m_version) {
        // The same version again is the table we show, sent once more; only an older one is news.
        if (version < m_version && m_staleToldFor != version) {
            m_staleToldFor = version;
            setNote(QStringLiteral("пришли устаревшие курсы (версия %1, показана %2), не применены").arg(version).arg(m_version),
                    false);
        }
        return;
    }
    m_content.setRateSlots(toRateSlots(reading.rates.rates), RateOrigin::headOffice(reading.rates.from, version));
    m_version = version;
    m_settings.setChainVersion(version);
    setNote(QStringLiteral("курсы центра, версия %1").arg(version), false);
    publishStatus(true);
    emit ratesApplied(version);
}

// The retained table may be newer than this head office knows (its settings were restored
// from an old copy): its own table then goes out above it, for the head office sets the rates.
void ChainController::noteHeadOfficeVersion(const QByteArray &payload)
{
    const ChainRatesReading reading = readChainRates(payload);
    if (!reading.ok || reading.rates.version <= m_version)
        return;
    m_version = reading.rates.version;
    m_settings.setChainVersion(m_version);
    m_dirty = true;
    publishTable();
}

void ChainController::receiveOfficeStatus(const QString &office, const QByteArray &payload)
{
    OfficeStatus status;
    if (ChainTopics::idProblem(office).isEmpty() && readOfficeStatus(payload, status)
        && m_roster.note(office, status, QDateTime::currentDateTime()))
        emit officesChanged();
}

void ChainController::setConnectionState(const QString &text, bool trouble)
{
    if (text == m_connectionText && trouble == m_trouble)
        return;
    m_connectionText = text;
    m_trouble = trouble;
    emit statusChanged();
}

void ChainController::setNote(const QString &note, bool trouble)
{
    if (note == m_note && trouble == m_noteIsTrouble)
        return;
    m_note = note;
    m_noteIsTrouble = trouble;
    emit statusChanged();
}
