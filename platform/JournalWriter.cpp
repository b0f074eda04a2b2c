#include "platform/JournalWriter.h"

#include "platform/JournalSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

JournalWriter::JournalWriter(const QString &path, int pendingLimit)
    : m_path(path)
    , m_pendingLimit(pendingLimit)
{
}

JournalWriter::Opening JournalWriter::open()
{
    Opening opening;
    if (!ensureOpen(&opening))
        return opening;
    QSqlQuery query(m_db);
    if (query.exec(QStringLiteral("SELECT count(*), coalesce(max(id), 0) FROM entries")) && query.next()) {
        opening.empty = query.value(0).toLongLong() == 0;
        opening.lastId = query.value(1).toLongLong();
    }
    return opening;
}

bool JournalWriter::ensureOpen(Opening *opening)
{
    if (m_ready)
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_db = JournalSql::connect(m_path);
        int code = 0;
        const QString error = JournalSql::prepareForWriting(m_db, &code);
        if (error.isEmpty()) {
            m_ready = true;
            return true;
        }
        JournalSql::disconnect(m_db);
        const bool damaged = code == JournalSql::kNotADatabase || code == JournalSql::kCorrupt;
        if (!damaged || attempt > 0) {
            reportFailure(error);
            return false;
        }
        const QString aside = moveAside();
        if (aside.isEmpty()) {
            reportFailure(QObject::tr("the damaged journal cannot be moved aside"));
            return false;
        }
        if (opening)
            opening->setAside = aside;
    }
    return false;
}

// journal.sqlite.bad, or the first of .bad.1, .bad.2, ... that is free. The WAL and shared
// memory files go with it: they belong to the damaged file, not to the new one.
QString JournalWriter::moveAside()
{
    QString target = m_path + QStringLiteral(".bad");
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = m_path + QStringLiteral(".bad.%1").arg(n);
    if (!QFile::rename(m_path, target))
        return {};
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !QFile::rename(companion, target + QLatin1String(suffix)))
            QFile::remove(companion);
    }
    return target;
}

void JournalWriter::keep(const JournalEntry &entry)
{
    for (JournalEntry &pending : m_pending) {
        if (pending.id == entry.id) {
            pending = entry;
            return;
        }
    }
    m_pending.append(entry);
    // Memory is bounded: past the limit the oldest go, and the failure says how many.
    while (m_pending.size() > m_pendingLimit) {
        m_pending.removeFirst();
        ++m_dropped;
    }
}

void JournalWriter::write(const JournalEntry &entry)
{
    keep(entry);
    writePending();
}

void JournalWriter::writePending()
{
    if (m_pending.isEmpty() || !ensureOpen(nullptr))
        return;
    const QString insert = QStringLiteral("INSERT OR REPLACE INTO entries (%1) VALUES (?%2)")
                               .arg(QLatin1String(JournalSql::kColumns), QStringLiteral(", ?").repeated(14));
    QString error;
    if (!m_db.transaction()) {
        error = m_db.lastError().text();
    } else {
        QSqlQuery query(m_db);
        query.prepare(insert);
        for (const JournalEntry &entry : std::as_const(m_pending)) {
            JournalSql::bindEntry(query, entry);
            if (!query.exec()) {
                error = query.lastError().text();
                break;
            }
        }
        if (error.isEmpty() && !m_db.commit())
            error = m_db.lastError().text();
        if (!error.isEmpty())
            m_db.rollback();
    }
    if (!error.isEmpty()) {
        reportFailure(error);
        return;
    }
    m_pending.clear();
    emit written(0);
}

void JournalWriter::reportFailure(QString reason)
{
    if (m_dropped > 0)
        reason += QObject::tr(" (%1 oldest entries dropped: more than %2 waited)").arg(m_dropped).arg(m_pendingLimit);
    emit failed(m_path, reason, static_cast<int>(m_pending.size()));
}

void JournalWriter::close()
{
    writePending();
    if (m_db.isValid())
        JournalSql::disconnect(m_db);
    m_ready = false;
}
