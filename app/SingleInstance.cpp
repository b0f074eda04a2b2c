#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kActivate = QByteArrayLiteral("activate\n");
constexpr int kRetryMs = 50;
constexpr int kWriteMs = 1000;

} // namespace

SingleInstance::SingleInstance(const QString &title, QObject *parent)
    : QObject(parent)
{
    // Fixed for the object's lifetime: the lock must be released where it was taken.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_basePath = folder + QStringLiteral("/Marrowgate-") + title;
}

SingleInstance::~SingleInstance()
{
    // Closing the server deletes its socket file, so it has to happen while the lock still
    // keeps the next copy from putting its own socket there.
    delete m_server;
    m_server = nullptr;
    m_lock.reset();
}

QString SingleInstance::lockFilePath() const
{
    return m_basePath + QStringLiteral(".lock");
}

QString SingleInstance::serverPath() const
{
    return m_basePath + QStringLiteral(".socket");
}

bool SingleInstance::claim()
{
    if (m_lock)
        return true;
    QDir().mkpath(QFileInfo(m_basePath).path());

    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // Only a dead owner makes a lock stale: a copy may run for months.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError || !lock->removeStaleLockFile()
            || !lock->tryLock(0))
            return false;
    }
    m_lock = std::move(lock);

    // A crashed copy leaves its socket file behind, and listen() refuses an existing path.
    // Removing it is safe because the lock is ours.
    QLocalServer::removeServer(serverPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!m_server->listen(serverPath()))
        qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(serverPath()),
                 qPrintable(m_server->errorString()));
    return true;
}

bool SingleInstance::activateRunning(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(serverPath());
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            // No reply is awaited: the running copy reads the request from its event loop.
            bool sent = socket.write(kActivate) == kActivate.size();
            socket.flush();
            if (socket.bytesToWrite() > 0)
                socket.waitForBytesWritten(kWriteMs);
            sent = sent && socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(kWriteMs);
            return sent;
        }
        // Nobody listens yet: the first copy may hold the lock but still be starting.
        if (deadline.hasExpired())
            return false;
        const qint64 left = deadline.remainingTime();
        QThread::msleep(left < 0 ? kRetryMs : quint64(qMin<qint64>(kRetryMs, left)));
    }
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
        // The request may still sit in the buffer when the peer has already gone.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            readRequests(socket);
            socket->deleteLater();
        });
        readRequests(socket);
    }
}

void SingleInstance::readRequests(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine() == kActivate)
            emit activationRequested();
    }
    // A peer that does not speak our protocol must not make us buffer without end.
    if (socket->bytesAvailable() >= kActivate.size())
        socket->readAll();
}
