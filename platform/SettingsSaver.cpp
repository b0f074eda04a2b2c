#include "SettingsSaver.h"

#include "ProgramSettings.h"
#include "SettingsStore.h"
#include "StoredSettings.h"

#include <algorithm>

SettingsSaver::SettingsSaver(ProgramSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SettingsSaver::saveScheduled);
    connect(&m_settings, &ProgramSettings::changed, this, &SettingsSaver::scheduleSave);
}

void SettingsSaver::scheduleSave()
{
    if (!m_timer.isActive())
        m_firstPendingChange.start();
    const qint64 untilLatest = kMaxDelayMs - m_firstPendingChange.elapsed();
    m_timer.start(int(std::clamp<qint64>(untilLatest, 0, kPauseMs)));
}

void SettingsSaver::saveScheduled()
{
    const bool failedBefore = !m_lastError.isEmpty();
    if (!saveNow())
        emit saveFailed(m_lastError);
    else if (failedBefore)
        emit saveRecovered();
}

bool SettingsSaver::saveNow()
{
    m_timer.stop();
    ++m_saveCount;
    const std::unique_ptr<SettingsStore> store =
        SettingsStore::open(m_settings.settingsKey(), SettingsStore::Mode::Create);
    if (!store) {
        m_lastError = tr("%1: the settings cannot be opened").arg(SettingsStore::filePathFor(m_settings.settingsKey()));
        return false;
    }
    writeStoredSettings(m_settings, *store);
    m_lastError = store->commit() ? QString() : store->errorString();
    return m_lastError.isEmpty();
}
