#pragma once

#include "platform/JournalEntry.h"

#include <QObject>
#include <QString>
#include <QThread>

class JournalWriter;

// The journal of every shown rate, a SQLite file written on a thread of its own so that a
// slow or full disk never holds the window or the ticker.
//
// Each entry is written in its own transaction with synchronous=FULL as soon as it is
// handed over: once the board shows a rate, a kill of the program cannot lose it. A write
// that fails keeps the entry in memory and tries again with the next one; up to
// kPendingLimit entries wait so, and the oldest beyond that are dropped and reported.
class RateJournal : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPendingLimit = 10000;
    static constexpr int kSchemaVersion = 1;

    // Where the journal of the program `title` lives: $XDG_DATA_HOME/Marrowgate/<title>/.
    static QString defaultPath(const QString &title);

    // Opens (or starts) the journal at `path`. A file that is no database or is damaged is
    // set aside as path.bad (then .bad.1, ...) and a new journal begins; setAside() says
    // where it went. Returns once the file is open or found unusable.
    explicit RateJournal(const QString &path, QObject *parent = nullptr);
    // Writes what is still pending, then stops the thread.
    ~RateJournal() override;

    QString path() const { return m_path; }
    // The file a damaged journal was moved to at opening; empty when none was.
    QString setAside() const { return m_setAside; }
    // True when the journal held no entry when it was opened.
    bool wasEmpty() const { return m_wasEmpty; }

    // A new id for an entry about to be recorded.
    qint64 nextId() { return m_nextId++; }
    // Hands the entry to the writer; an entry with an id already written replaces it.
    void record(const JournalEntry &entry);
    // Returns when every entry handed over so far has been tried (tests, exit).
    void waitForWrites();
    // Entries not yet written (failed writes), as the writer last told.
    int pendingCount() const { return m_pending; }

signals:
    // A write failed: the file and the reason. The entries stay pending.
    void writeFailed(const QString &file, const QString &reason);
    // A write succeeded after a failure: nothing is pending any more.
    void writeRecovered();
    // Entries reached the file (a list of them may read again).
    void written();

private:
    QString m_path;
    QString m_setAside;
    bool m_wasEmpty = true;
    qint64 m_nextId = 1;
    int m_pending = 0;
    bool m_failing = false;
    QThread m_thread;
    JournalWriter *m_writer = nullptr;
};
