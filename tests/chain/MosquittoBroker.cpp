#include "MosquittoBroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace testsupport {

namespace {

// A port below the ephemeral range, so that no client's own port can take it between the
// look and the broker's start.
int freeLoopbackPort()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int port = 20000 + int(QRandomGenerator::global()->bounded(12000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, quint16(port)))
            return port;
    }
    return 0;
}

const char *const kAcl = R"(# The head office sets the rates and reads every office's status.
user center
topic readwrite corvane/north/#

# Every office reads the rates and keeps its own status, under its user name.
pattern read corvane/north/rates
pattern readwrite corvane/north/offices/%u
)";

} // namespace

MosquittoBroker::MosquittoBroker()
{
    if (!m_dir.isValid())
        m_error = QStringLiteral("no scratch folder");
    else if (prepare())
        start();
}

MosquittoBroker::~MosquittoBroker()
{
    resume();
    if (m_broker.state() != QProcess::NotRunning) {
        m_broker.terminate();
        if (!m_broker.waitForFinished(5000)) {
            m_broker.kill();
            m_broker.waitForFinished(5000);
        }
    }
}

QString MosquittoBroker::url(const QString &host) const
{
    return QStringLiteral("mqtts://%1:%2").arg(host).arg(m_port);
}

QString MosquittoBroker::caFile() const
{
    return path(QStringLiteral("ca.crt"));
}

QString MosquittoBroker::strangerCaFile() const
{
    return path(QStringLiteral("stranger-ca.crt"));
}

bool MosquittoBroker::prepare()
{
    m_port = freeLoopbackPort();
    if (m_port == 0) {
        m_error = QStringLiteral("no free port");
        return false;
    }
    if (!makeCertificates())
        return false;
    const QString passwords = path(QStringLiteral("passwords"));
    bool made = true;
    for (const QString &user : {QStringLiteral("center"), QStringLiteral("tver"), QStringLiteral("tula")}) {
        QStringList arguments{QStringLiteral("-b"), passwords, user, passwordOf(user)};
        if (user == QLatin1String("center"))
            arguments.prepend(QStringLiteral("-c"));
        made = made && run(QStringLiteral("mosquitto_passwd"), arguments);
    }
    return made && writeConfiguration();
}

// The output of the tools is kept from the test's: a password given to mosquitto_passwd
// must not turn up in a log.
bool MosquittoBroker::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = program + QStringLiteral(" failed");
        return false;
    }
    return true;
}

bool MosquittoBroker::makeCertificates()
{
    const QStringList ec{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const auto selfSigned = [&](const QString &name, const QString &subject) {
        return run(QStringLiteral("openssl"), QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec
                                                  + QStringList{QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                                                                QStringLiteral("-out"), name + QStringLiteral(".crt"),
                                                                QStringLiteral("-subj"), subject, QStringLiteral("-days"),
                                                                QStringLiteral("2")});
    };
    QFile extensions(path(QStringLiteral("server.ext")));
    // The broker is named by its address only: "localhost" is another name, which a client
    // must refuse.
    const bool written = extensions.open(QIODevice::WriteOnly)
        && extensions.write("subjectAltName=IP:127.0.0.1\n") > 0;
    extensions.close();
    return written && selfSigned(QStringLiteral("ca"), QStringLiteral("/CN=Corvane test CA"))
        && selfSigned(QStringLiteral("stranger-ca"), QStringLiteral("/CN=Somebody else"))
        && run(QStringLiteral("openssl"),
               QStringList{QStringLiteral("req")} + ec
                   + QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"), QStringLiteral("-out"),
                                 QStringLiteral("server.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")})
        && run(QStringLiteral("openssl"),
               {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), QStringLiteral("server.csr"),
                QStringLiteral("-CA"), QStringLiteral("ca.crt"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), QStringLiteral("server.crt"),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("server.ext")});
}

bool MosquittoBroker::writeConfiguration()
{
    QFile acl(path(QStringLiteral("acl")));
    if (!acl.open(QIODevice::WriteOnly) || acl.write(kAcl) < 0)
        return false;
    acl.close();
    QByteArray config = "per_listener_settings false\n"
                        "allow_anonymous false\n"
                        "password_file " + path(QStringLiteral("passwords")).toUtf8() + "\n"
                        "acl_file " + path(QStringLiteral("acl")).toUtf8() + "\n"
                        "persistence true\n"
                        "persistence_location " + m_dir.path().toUtf8() + "/\n"
                        "log_dest file " + path(QStringLiteral("mosquitto.log")).toUtf8() + "\n"
                        "listener " + QByteArray::number(m_port) + " 127.0.0.1\n"
                        "certfile " + path(QStringLiteral("server.crt")).toUtf8() + "\n"
                        "keyfile " + path(QStringLiteral("server.key")).toUtf8() + "\n";
    // Started as root, mosquitto would become the user "mosquitto", who cannot read this folder.
    if (geteuid() == 0)
        config += "user root\n";
    QFile file(path(QStringLiteral("mosquitto.conf")));
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(config) == config.size();
    if (!ok)
        m_error = QStringLiteral("cannot write the configuration");
    return ok;
}

bool MosquittoBroker::start()
{
    if (m_port == 0)
        return false;
    // What it says goes beside its log, out of the tests' output.
    m_broker.setProcessChannelMode(QProcess::MergedChannels);
    m_broker.setStandardOutputFile(path(QStringLiteral("mosquitto.out")), QIODevice::Append);
    m_broker.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), path(QStringLiteral("mosquitto.conf"))});
    if (!m_broker.waitForStarted(10000) || !waitUntilListening()) {
        m_error = QStringLiteral("mosquitto did not start");
        return false;
    }
    m_error.clear();
    return true;
}

bool MosquittoBroker::waitUntilListening()
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_broker.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (probe.waitForConnected(500))
            return true;
        QThread::msleep(20);
    }
    return false;
}

void MosquittoBroker::kill()
{
    resume();
    m_broker.kill();
    m_broker.waitForFinished(5000);
}

void MosquittoBroker::pause()
{
    if (m_broker.state() == QProcess::Running && !m_paused) {
        ::kill(pid_t(m_broker.processId()), SIGSTOP);
        m_paused = true;
    }
}

void MosquittoBroker::resume()
{
    if (m_paused) {
        ::kill(pid_t(m_broker.processId()), SIGCONT);
        m_paused = false;
    }
}

} // namespace testsupport
