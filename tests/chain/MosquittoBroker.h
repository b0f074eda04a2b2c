#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A real mosquitto for the chain's tests, configured as the README tells a small chain to:
// one TLS listener on a free loopback port, a password file made with mosquitto_passwd and
// an ACL file. Its CA and server certificate are made with openssl when it starts, together
// with a second CA that signed nothing of the broker's (a client that trusts only that one
// must refuse the broker). It stops when it goes.
//
// The chain is "north"; its users are the head office "center" and the branches "tver"
// and "tula", each with the password "<user>-pw".
class MosquittoBroker
{
public:
    static constexpr const char *kChain = "north";

    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    // Empty when the broker runs; otherwise what went wrong setting it up.
    QString setupError() const { return m_error; }

    int port() const { return m_port; }
    QString url(const QString &host = QStringLiteral("127.0.0.1")) const;
    QString caFile() const;
    QString strangerCaFile() const;
    static QString passwordOf(const QString &user) { return user + QStringLiteral("-pw"); }

    // The broker dies at once (SIGKILL) and comes back on the same port.
    void kill();
    bool start();
    // The broker hangs (SIGSTOP) with its connections open, and goes on (SIGCONT).
    void pause();
    void resume();

private:
    bool prepare();
    bool run(const QString &program, const QStringList &arguments);
    bool makeCertificates();
    bool writeConfiguration();
    bool waitUntilListening();
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QProcess m_broker;
    int m_port = 0;
    bool m_paused = false;
    QString m_error;
};

} // namespace testsupport
