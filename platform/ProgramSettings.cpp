#include "ProgramSettings.h"

#include <type_traits>

int Proportions::at(int tag) const
{
    const int values[kCount] = {ProTop, ProBot, ProTit, ProTitL, ProName, ProTit2};
    return tag >= 0 && tag < kCount ? values[tag] : 0;
}

void Proportions::set(int tag, int value)
{
    int *targets[kCount] = {&ProTop, &ProBot, &ProTit, &ProTitL, &ProName, &ProTit2};
    if (tag >= 0 && tag < kCount)
        *targets[tag] = value;
}

QString ProgramSettings::settingsRoot()
{
    return QStringLiteral("\\Software\\Marrowgate\\");
}

ProgramSettings::ProgramSettings(QObject *parent)
    : QObject(parent)
{
    reset();
}

void ProgramSettings::reset()
{
    m_settingsKey = settingsRoot();
    m_fileName = QStringLiteral("Title.jpg");
    m_titleMode = 0;
    m_tv = false;
    m_proportions = Proportions{};
    m_rateTableText.clear();
    m_keepStoredTable = false;
    m_windowBounds = QRect();
    m_runningTexts.clear();
    m_fontRecords = {};
    m_runSpeed = 1;
    m_webBoardOn = false;
    m_webBoardPort = kDefaultWebBoardPort;
    m_webBoardAllowed.clear();
    m_titleHistory.clear();
    m_chainRole = kChainAlone;
    for (QString *text : {&m_chainUrl, &m_chainId, &m_chainOffice, &m_chainUser, &m_chainPassword, &m_chainCaFile})
        text->clear();
    m_chainVersion = 0;
    m_settingsLoaded = false;
}

template<typename T, typename Signal>
void ProgramSettings::assign(T &member, const T &value, Signal signal)
{
    if (member == value)
        return;
    member = value;
    // A signal that carries the new value gets it.
    if constexpr (std::is_invocable_v<Signal, ProgramSettings *, const T &>)
        emit(this->*signal)(value);
    else
        emit(this->*signal)();
    emit changed();
}

void ProgramSettings::setFileName(const QString &fileName)
{
    assign(m_fileName, fileName, &ProgramSettings::fileNameChanged);
}

void ProgramSettings::setTitleMode(int mode)
{
    assign(m_titleMode, mode, &ProgramSettings::titleModeChanged);
}

void ProgramSettings::setTV(bool on)
{
    assign(m_tv, on, &ProgramSettings::tvChanged);
}

void ProgramSettings::setProportions(const Proportions &proportions)
{
    assign(m_proportions, proportions, &ProgramSettings::proportionsChanged);
}

void ProgramSettings::setProportion(int tag, int value)
{
    Proportions proportions = m_proportions;
    proportions.set(tag, value);
    setProportions(proportions);
}

void ProgramSettings::setRateTableText(const QString &text)
{
    const bool wasKept = m_keepStoredTable;
    m_keepStoredTable = false;
    if (m_rateTableText == text) {
        if (wasKept)
            emit changed(); // the edited table now replaces the stored one
        return;
    }
    m_rateTableText = text;
    emit rateTableTextChanged();
    emit changed();
}

void ProgramSettings::setWindowBounds(const QRect &bounds)
{
    assign(m_windowBounds, bounds, &ProgramSettings::windowBoundsChanged);
}

BoardFont ProgramSettings::fontRecord(int field) const
{
    return field >= 1 && field <= kFontFields ? m_fontRecords[size_t(field - 1)] : BoardFont{};
}

void ProgramSettings::setFontRecord(int field, const BoardFont &font)
{
    if (field >= 1 && field <= kFontFields)
        assign(m_fontRecords[size_t(field - 1)], font, &ProgramSettings::fontRecordsChanged);
}

void ProgramSettings::setRunningTexts(const QStringList &texts)
{
    assign(m_runningTexts, texts, &ProgramSettings::runningTextsChanged);
}

void ProgramSettings::setRunSpeed(int speed)
{
    assign(m_runSpeed, speed, &ProgramSettings::runSpeedChanged);
}

void ProgramSettings::setWebBoardOn(bool on)
{
    assign(m_webBoardOn, on, &ProgramSettings::webBoardOnChanged);
}

void ProgramSettings::setWebBoardPort(int port)
{
    if (port >= kFirstPort && port <= kLastPort)
        assign(m_webBoardPort, port, &ProgramSettings::webBoardPortChanged);
}

void ProgramSettings::setWebBoardAllowed(const QString &ranges)
{
    assign(m_webBoardAllowed, ranges.trimmed(), &ProgramSettings::webBoardAllowedChanged);
}

void ProgramSettings::setTitleHistory(const QStringList &history)
{
    assign(m_titleHistory, history, &ProgramSettings::titleHistoryChanged);
}

void ProgramSettings::setChainRole(int role)
{
    if (role >= kChainAlone && role <= kChainHeadOffice)
        assign(m_chainRole, role, &ProgramSettings::chainRoleChanged);
}

void ProgramSettings::setChainUrl(const QString &url)
{
    assign(m_chainUrl, url.trimmed(), &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainId(const QString &id)
{
    assign(m_chainId, id.trimmed(), &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainOffice(const QString &office)
{
    assign(m_chainOffice, office.trimmed(), &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainUser(const QString &user)
{
    assign(m_chainUser, user, &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainPassword(const QString &password)
{
    assign(m_chainPassword, password, &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainCaFile(const QString &path)
{
    assign(m_chainCaFile, path.trimmed(), &ProgramSettings::chainConnectionChanged);
}

void ProgramSettings::setChainVersion(qint64 version)
{
    if (version > 0)
        assign(m_chainVersion, version, &ProgramSettings::chainVersionChanged);
}

ProgramSettings &programSettings()
{
    static ProgramSettings settings;
    return settings;
}
