#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// Keeps one running copy of the program per program title. The first copy holds a lock file
// and listens on a local socket; a later start with the same title asks it to come to the
// front and then ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &title, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the program's lock; true when no other copy with this title runs. The first copy
    // then listens for later starts. A lock whose owner process no longer exists is taken over.
    bool claim();

    // For a later copy: asks the running copy to come to the front. True when the request was
    // delivered. Retries until timeoutMs while the first copy is still starting (lock taken but
    // not yet listening).
    bool activateRunning(int timeoutMs = 3000);

    QString lockFilePath() const; // <runtime folder>/Marrowgate-<title>.lock
    QString serverPath() const;   // <runtime folder>/Marrowgate-<title>.socket

signals:
    // A later start asked this copy to show itself.
    void activationRequested();

private:
    void acceptConnections();
    void readRequests(QLocalSocket *socket);

    QString m_basePath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
