#include "HeadlessBrowser.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const int kAnswerTimeoutMs = 30000;

QString browserProgram()
{
    for (const QString &name : {QStringLiteral("chromium"), QStringLiteral("chromium-browser")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace

HeadlessBrowser::HeadlessBrowser()
{
    if (!m_profile.isValid())
        m_whyNot = QStringLiteral("no temporary folder for the browser's profile");
    else if (browserProgram().isEmpty())
        m_whyNot = QStringLiteral("chromium is not installed");
    else if (!start())
        m_process.kill();
}

HeadlessBrowser::~HeadlessBrowser()
{
    if (m_toBrowser >= 0)
        ::close(m_toBrowser);
    if (m_fromBrowser >= 0)
        ::close(m_fromBrowser);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(10000);
    }
}

// The protocol runs over the browser's file descriptors 3 (commands in) and 4 (answers out).
bool HeadlessBrowser::start()
{
    int commands[2];
    int answers[2];
    if (::pipe2(commands, O_CLOEXEC) != 0 || ::pipe2(answers, O_CLOEXEC) != 0) {
        m_whyNot = QStringLiteral("no pipes for the browser");
        return false;
    }
    const int commandsIn = commands[0];
    const int answersOut = answers[1];
    m_process.setChildProcessModifier([commandsIn, answersOut] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // Out of the way of 3 and 4 first, so that neither overwrites the other.
        const int in = ::fcntl(commandsIn, F_DUPFD, 10);
        const int out = ::fcntl(answersOut, F_DUPFD, 10);
        ::dup2(in, 3);
        ::dup2(out, 4);
    });
    // Its complaints about the missing desktop bus and the like are of no use to a test.
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_profile.filePath(QStringLiteral("stderr.txt")));
    m_process.start(browserProgram(),
                    {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                     QStringLiteral("--no-first-run"), QStringLiteral("--hide-scrollbars"),
                     QStringLiteral("--force-device-scale-factor=1"), QStringLiteral("--disable-dev-shm-usage"),
                     QStringLiteral("--remote-debugging-pipe"), QStringLiteral("--user-data-dir=") + m_profile.path(),
                     QStringLiteral("about:blank")});
    ::close(commandsIn);
    ::close(answersOut);
    m_toBrowser = commands[1];
    m_fromBrowser = answers[0];
    if (!m_process.waitForStarted(30000)) {
        m_whyNot = QStringLiteral("chromium did not start: ") + m_process.errorString();
        return false;
    }
    if (call(QStringLiteral("Browser.getVersion"), {}, false).isEmpty()) {
        m_whyNot = QStringLiteral("chromium does not answer on its DevTools pipe");
        return false;
    }
    return true;
}

bool HeadlessBrowser::send(const QJsonObject &message)
{
    QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact);
    bytes.append('\0');
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t part = ::write(m_toBrowser, bytes.constData() + written, size_t(bytes.size() - written));
        if (part <= 0)
            return false;
        written += part;
    }
    return true;
}

QJsonObject HeadlessBrowser::receive(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const qsizetype end = m_pending.indexOf('\0');
        if (end >= 0) {
            const QByteArray message = m_pending.left(end);
            m_pending.remove(0, end + 1);
            return QJsonDocument::fromJson(message).object();
        }
        pollfd readable{m_fromBrowser, POLLIN, 0};
        const int waited = ::poll(&readable, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (waited <= 0)
            return {};
        char buffer[65536];
        const ssize_t got = ::read(m_fromBrowser, buffer, sizeof buffer);
        if (got <= 0)
            return {};
        m_pending.append(buffer, got);
    }
}

QJsonObject HeadlessBrowser::call(const QString &method, const QJsonObject &params, bool toPage)
{
    const int id = m_nextId++;
    QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    if (toPage && !m_session.isEmpty())
        message.insert(QStringLiteral("sessionId"), m_session);
    if (!send(message))
        return {};
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (!deadline.hasExpired()) {
        const QJsonObject answer = receive(int(deadline.remainingTime()));
        if (answer.isEmpty())
            return {};
        if (answer.value(QStringLiteral("id")).toInt() != id)
            continue; // an event, or the answer to another command
        if (answer.contains(QStringLiteral("error"))) {
            m_whyNot = method + QStringLiteral(": ")
                       + QString::fromUtf8(QJsonDocument(answer.value(QStringLiteral("error")).toObject()).toJson());
            return {};
        }
        QJsonObject result = answer.value(QStringLiteral("result")).toObject();
        // Some answers have no result to give; they still count as done.
        if (result.isEmpty())
            result.insert(QStringLiteral("done"), true);
        return result;
    }
    return {};
}

bool HeadlessBrowser::open(const QUrl &url, QSize window)
{
    const QJsonObject target =
        call(QStringLiteral("Target.createTarget"), {{QStringLiteral("url"), QStringLiteral("about:blank")}}, false);
    if (target.isEmpty())
        return false;
    const QJsonObject attached =
        call(QStringLiteral("Target.attachToTarget"),
             {{QStringLiteral("targetId"), target.value(QStringLiteral("targetId"))}, {QStringLiteral("flatten"), true}}, false);
    m_session = attached.value(QStringLiteral("sessionId")).toString();
    if (m_session.isEmpty())
        return false;
    const bool sized = !call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
                             {{QStringLiteral("width"), window.width()},
                              {QStringLiteral("height"), window.height()},
                              {QStringLiteral("deviceScaleFactor"), 1},
                              {QStringLiteral("mobile"), false}})
                           .isEmpty();
    return sized && !call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url.toString()}}).isEmpty();
}

QVariant HeadlessBrowser::evaluate(const QString &expression)
{
    const QJsonObject result = call(QStringLiteral("Runtime.evaluate"),
                                    {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), true}});
    if (result.isEmpty() || result.contains(QStringLiteral("exceptionDetails")))
        return {};
    return result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value")).toVariant();
}

QImage HeadlessBrowser::screenshot()
{
    const QJsonObject shot = call(QStringLiteral("Page.captureScreenshot"), {{QStringLiteral("format"), QStringLiteral("png")}});
    return QImage::fromData(QByteArray::fromBase64(shot.value(QStringLiteral("data")).toString().toLatin1()), "PNG");
}
