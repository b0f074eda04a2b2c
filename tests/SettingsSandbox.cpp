#include "SettingsSandbox.h"

#include "platform/ProgramSettings.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace testsupport {

namespace {

const char kConfigHome[] = "XDG_CONFIG_HOME";

} // namespace

// QSettings cannot tell the folder it was given last, but every sandbox points it at the
// configuration folder, so that folder is what to go back to.
SettingsSandbox::SettingsSandbox()
    : m_previousSettingsPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
    , m_hadConfigHome(qEnvironmentVariableIsSet(kConfigHome))
    , m_previousConfigHome(qgetenv(kConfigHome))
{
    qputenv(kConfigHome, QFile::encodeName(m_config.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    m_previousHandler = ErrorBox::setHandler([this](const QString &text) { messages << text; });
    programSettings().reset();
}

SettingsSandbox::~SettingsSandbox()
{
    programSettings().reset();
    ErrorBox::setHandler(m_previousHandler);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_previousSettingsPath);
    if (m_hadConfigHome)
        qputenv(kConfigHome, m_previousConfigHome);
    else
        qunsetenv(kConfigHome);
}

} // namespace testsupport
