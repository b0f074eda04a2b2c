#include "platform/RateJournal.h"

#include "platform/JournalWriter.h"

#include <QCoreApplication>
#include <QStandardPaths>

QString RateJournal::defaultPath(const QString &title)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Marrowgate/")
           + title + QStringLiteral("/journal.sqlite");
}

RateJournal::RateJournal(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    qRegisterMetaType<JournalEntry>();
    m_thread.setObjectName(QStringLiteral("RateJournal"));
    m_writer = new JournalWriter(path, kPendingLimit);
    m_writer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &JournalWriter::failed, this, [this](const QString &file, const QString &reason, int pending) {
        m_pending = pending;
        emit writeFailed(file, reason);
    });
    connect(m_writer, &JournalWriter::written, this, [this](int pending) {
        const bool recovered = m_pending > 0 || m_failing;
        m_pending = pending;
        m_failing = false;
        if (recovered)
            emit writeRecovered();
        emit written();
    });
    connect(this, &RateJournal::writeFailed, this, [this] { m_failing = true; });
    m_thread.start();

    JournalWriter::Opening opening;
    QMetaObject::invokeMethod(m_writer, [this, &opening] { opening = m_writer->open(); }, Qt::BlockingQueuedConnection);
    m_setAside = opening.setAside;
    m_wasEmpty = opening.empty;
    m_nextId = opening.lastId + 1;
}

RateJournal::~RateJournal()
{
    QMetaObject::invokeMethod(m_writer, [writer = m_writer] { writer->close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void RateJournal::record(const JournalEntry &entry)
{
    QMetaObject::invokeMethod(m_writer, [writer = m_writer, entry] { writer->write(entry); }, Qt::QueuedConnection);
}

void RateJournal::waitForWrites()
{
    QMetaObject::invokeMethod(m_writer, [] {}, Qt::BlockingQueuedConnection);
    // What the writer said meanwhile is delivered before this returns.
    QCoreApplication::sendPostedEvents(this);
}
