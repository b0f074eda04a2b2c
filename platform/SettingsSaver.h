#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class ProgramSettings;

// Saves the program's settings as the operator goes: every change is written to the store
// shortly after it, so that a crash or a power cut loses at most the last moment. A burst of
// changes (typing a rate) is one write, made once the burst pauses and at the latest
// kMaxDelayMs after its first change.
class SettingsSaver : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPauseMs = 300;
    static constexpr int kMaxDelayMs = 1000;

    explicit SettingsSaver(ProgramSettings &settings, QObject *parent = nullptr);

    // Writes every setting now, whether or not something changed. On failure returns false
    // and lastError() gives the file and the reason.
    bool saveNow();
    QString lastError() const { return m_lastError; }
    // A change is waiting for its write.
    bool isSavePending() const { return m_pending; }
    // Writes a waiting change once its time has come on the clock; the saver's own timer
    // calls it, and a test that holds the clock may too.
    void saveIfDue();
    // The clock the pauses are counted on, in milliseconds; tests hold one of their own.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // How many writes were made; for tests that look at the coalescing.
    int saveCount() const { return m_saveCount; }

signals:
    // A save in the background failed; the next change tries again.
    void saveFailed(const QString &error);
    // A save succeeded after an earlier one had failed.
    void saveRecovered();

private:
    void scheduleSave();
    void wakeAt(qint64 due);

    ProgramSettings &m_settings;
    QTimer m_timer;
    QElapsedTimer m_steady;
    Clock m_clock;
    bool m_pending = false;
    qint64 m_firstPendingChange = 0;
    qint64 m_due = 0;
    QString m_lastError;
    int m_saveCount = 0;
};
