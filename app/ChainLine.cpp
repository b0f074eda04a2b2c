#include "ChainLine.h"

#include "chain/ChainController.h"
#include "platform/ProgramSettings.h"

QStringList ChainLine::roleNames()
{
    return {QStringLiteral("Отдельный офис"), QStringLiteral("Филиал: курсы из центра"),
            QStringLiteral("Центр: публикует курсы")};
}

QString ChainLine::officeLine(const SeenOffice &office)
{
    const QString state = office.status.online ? QStringLiteral("в сети") : QStringLiteral("не в сети");
    const QString version = office.status.version > 0 ? QStringLiteral("версия %1").arg(office.status.version)
                                                      : QStringLiteral("курсов нет");
    return QStringLiteral("%1 — %2, %3, %4")
        .arg(office.office, state, version, office.lastSeen.toString(QStringLiteral("dd.MM HH:mm:ss")));
}

ChainLine::ChainLine(ProgramSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
    connect(&m_settings, &ProgramSettings::chainRoleChanged, this, &ChainLine::roleChanged);
    connect(&m_settings, &ProgramSettings::chainConnectionChanged, this, &ChainLine::fieldsChanged);
}

void ChainLine::follow(const ChainController &chain)
{
    const auto status = [this, &chain] { showStatus(chain.statusText(), chain.statusIsTrouble()); };
    const auto offices = [this, &chain] { showOffices(chain.offices()); };
    status();
    offices();
    connect(&chain, &ChainController::statusChanged, this, status);
    connect(&chain, &ChainController::officesChanged, this, offices);
}

int ChainLine::role() const
{
    return m_settings.chainRole();
}

QString ChainLine::fieldText(Field field) const
{
    switch (field) {
    case Field::Url:
        return m_settings.chainUrl();
    case Field::Chain:
        return m_settings.chainId();
    case Field::Office:
        return m_settings.chainOffice();
    case Field::User:
        return m_settings.chainUser();
    case Field::Password:
        return m_settings.chainPassword();
    case Field::CaFile:
        return m_settings.chainCaFile();
    }
    return {};
}

bool ChainLine::connectionFieldsEnabled() const
{
    return role() != ProgramSettings::kChainAlone;
}

bool ChainLine::officesVisible() const
{
    return role() == ProgramSettings::kChainHeadOffice;
}

void ChainLine::chooseRole(int role)
{
    m_settings.setChainRole(role);
}

void ChainLine::chooseField(Field field, const QString &text)
{
    switch (field) {
    case Field::Url:
        m_settings.setChainUrl(text);
        break;
    case Field::Chain:
        m_settings.setChainId(text);
        break;
    case Field::Office:
        m_settings.setChainOffice(text);
        break;
    case Field::User:
        m_settings.setChainUser(text);
        break;
    case Field::Password:
        m_settings.setChainPassword(text);
        break;
    case Field::CaFile:
        m_settings.setChainCaFile(text);
        break;
    }
}

void ChainLine::showStatus(const QString &text, bool isError)
{
    if (text == m_statusText && isError == m_statusIsError)
        return;
    m_statusText = text;
    m_statusIsError = isError;
    emit statusChanged(text, isError);
}

void ChainLine::showOffices(const QVector<SeenOffice> &offices)
{
    QStringList lines;
    for (const SeenOffice &office : offices)
        lines.append(officeLine(office));
    if (lines == m_officeLines)
        return;
    m_officeLines = lines;
    emit officeLinesChanged(lines);
}
