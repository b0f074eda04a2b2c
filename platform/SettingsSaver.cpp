#include "SettingsSaver.h"

#include "ProgramSettings.h"
#include "SettingsStore.h"
#include "StoredSettings.h"

#include <algorithm>

SettingsSaver::SettingsSaver(ProgramSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_steady.start();
    m_clock = [this] { return m_steady.elapsed(); };
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SettingsSaver::saveIfDue);
    connect(&m_settings, &ProgramSettings::changed, this, &SettingsSaver::scheduleSave);
}

// The write comes once the changes pause, and at the latest kMaxDelayMs after the first.
void SettingsSaver::scheduleSave()
{
    const qint64 now = m_clock();
    if (!m_pending)
        m_firstPendingChange = now;
    m_pending = true;
    m_due = std::min(now + kPauseMs, m_firstPendingChange + kMaxDelayMs);
    wakeAt(m_due);
}

void SettingsSaver::wakeAt(qint64 due)
{
    m_timer.start(int(std::clamp<qint64>(due - m_clock(), 0, kMaxDelayMs)));
}

void SettingsSaver::saveIfDue()
{
    if (!m_pending)
        return;
    if (m_clock() < m_due) {
        wakeAt(m_due);
        return;
    }
    const bool failedBefore = !m_lastError.isEmpty();
    if (!saveNow())
        emit saveFailed(m_lastError);
    else if (failedBefore)
        emit saveRecovered();
}

bool SettingsSaver::saveNow()
{
    m_timer.stop();
    m_pending = false;
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
