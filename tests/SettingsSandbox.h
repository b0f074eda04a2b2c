#pragma once

#include "platform/ErrorBox.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// For its lifetime the program keeps its settings in a folder of its own that goes away
// with it: the settings store and whatever else asks for the configuration folder
// (XDG_CONFIG_HOME) look there, error messages are collected in `messages` instead of
// being shown (nobody is there to answer a box), and the program settings start from their
// first-run values. The operator's own settings are never touched. The tests and the
// benchmarks share it. Sandboxes may nest; each gives back what was in force before it.
class SettingsSandbox
{
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox &) = delete;
    SettingsSandbox &operator=(const SettingsSandbox &) = delete;

    bool isValid() const { return m_config.isValid(); }
    QStringList messages;

private:
    QTemporaryDir m_config;
    QString m_previousSettingsPath;
    bool m_hadConfigHome;
    QByteArray m_previousConfigHome;
    ErrorBox::Handler m_previousHandler;
};

} // namespace testsupport
