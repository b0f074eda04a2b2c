#include "MonitorServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <csignal>
#include <sys/prctl.h>

namespace {

// The outputs the dummy driver makes; each can show one monitor.
const int kOutputs = 16;

// What the first output shows at start, before the test gives it a monitor.
const QSize kStartSize(640, 480);

// The largest frame buffer the monitors can need; the dummy driver reserves this much memory.
const QSize kMaximumFramebuffer(4096, 4096);

// Not the first seat: a server on another seat leaves the virtual terminals alone, so that it
// neither takes over a console nor needs one (containers have none).
const QString kSeat = QStringLiteral("seat-monitor-server");

QString serverConfig()
{
    return QStringLiteral(R"(Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
    Option "DontZap" "true"
EndSection

Section "Device"
    Identifier "device"
    Driver "dummy"
    VideoRam %1
EndSection

Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection

Section "Screen"
    Identifier "screen"
    Device "device"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "%2x%3"
        Virtual %4 %5
    EndSubSection
EndSection
)")
        .arg(kMaximumFramebuffer.width() * kMaximumFramebuffer.height() * 4 / 1024)
        .arg(kStartSize.width())
        .arg(kStartSize.height())
        .arg(kMaximumFramebuffer.width())
        .arg(kMaximumFramebuffer.height());
}

bool writeConfig(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(serverConfig().toUtf8()) >= 0 && file.flush();
}

QString outputName(int index)
{
    return QStringLiteral("DUMMY%1").arg(index);
}

// A mode of the size at 60 frames a second, named after the size so that every output can
// share it. The name differs from the driver's own modes, which may have other timings.
QString modeName(const QSize &size)
{
    return QStringLiteral("monitor-%1x%2").arg(size.width()).arg(size.height());
}

QStringList modeLine(const QSize &size)
{
    const int width = size.width();
    const int height = size.height();
    const int totalWidth = width + 160;
    const int totalHeight = height + 30;
    const double megahertz = totalWidth * double(totalHeight) * 60 / 1e6;
    return {QString::number(megahertz, 'f', 2), QString::number(width), QString::number(width + 48),
            QString::number(width + 80), QString::number(totalWidth), QString::number(height),
            QString::number(height + 3), QString::number(height + 8), QString::number(totalHeight)};
}

QString framebufferSize(const QRect &bounds)
{
    return QStringLiteral("%1x%2").arg(bounds.right() + 1).arg(bounds.bottom() + 1);
}

} // namespace

MonitorServer::MonitorServer()
{
    if (!m_folder.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder for the server's files");
        return;
    }
    for (const QString &tool : {QStringLiteral("Xorg"), QStringLiteral("xrandr")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_whyNot = tool + QStringLiteral(" is not installed");
            return;
        }
    }
    if (!start())
        m_server.kill();
}

MonitorServer::~MonitorServer()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(10000)) {
        m_server.kill();
        m_server.waitForFinished(10000);
    }
}

bool MonitorServer::start()
{
    const QString config = m_folder.filePath(QStringLiteral("xorg.conf"));
    // A folder of snippets of its own, so that the system's snippets are not read.
    const QString snippets = m_folder.filePath(QStringLiteral("xorg.conf.d"));
    if (!writeConfig(config) || !QDir().mkpath(snippets)) {
        m_whyNot = QStringLiteral("cannot write the server's configuration");
        return false;
    }
    // The server is ended with the test program even when that one dies without cleaning up.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.setStandardErrorFile(m_folder.filePath(QStringLiteral("stderr.txt")));
    // The server picks a free display number and prints it once it accepts connections.
    m_server.start(QStringLiteral("Xorg"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-config"), config,
                    QStringLiteral("-configdir"), snippets, QStringLiteral("-logfile"),
                    m_folder.filePath(QStringLiteral("Xorg.log")), QStringLiteral("-seat"), kSeat,
                    QStringLiteral("-novtswitch"), QStringLiteral("-sharevts")});
    const QDeadlineTimer deadline(30000);
    while (!m_server.canReadLine() && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning)
        m_server.waitForReadyRead(100);
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty()) {
        m_whyNot = QStringLiteral("Xorg with the dummy driver did not start: ") + m_server.errorString()
                   + QLatin1Char('\n') + serverLogTail();
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    return true;
}

QString MonitorServer::serverLogTail() const
{
    for (const QString &name : {QStringLiteral("Xorg.log"), QStringLiteral("stderr.txt")}) {
        QFile log(m_folder.filePath(name));
        if (log.open(QIODevice::ReadOnly) && log.size() > 0)
            return QString::fromLocal8Bit(log.readAll().right(3000));
    }
    return {};
}

bool MonitorServer::runClient(const QString &program, const QStringList &arguments, QString *output) const
{
    if (!available())
        return false;
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    client.setProcessEnvironment(env);
    client.start(program, arguments);
    if (!client.waitForFinished(60000) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
        return false;
    if (output)
        *output = QString::fromLocal8Bit(client.readAllStandardOutput()).trimmed();
    return true;
}

QString MonitorServer::run(const QString &program, const QStringList &arguments) const
{
    QString output;
    return runClient(program, arguments, &output) ? output : QString();
}

bool MonitorServer::xrandr(const QStringList &arguments) const
{
    return runClient(QStringLiteral("xrandr"), arguments);
}

// Each mode is made once in the server and given to each output once.
bool MonitorServer::prepareMode(const QString &output, const QSize &size)
{
    const QString mode = modeName(size);
    if (!m_modes.contains(mode)) {
        if (!xrandr(QStringList{QStringLiteral("--newmode"), mode} + modeLine(size)))
            return false;
        m_modes.insert(mode);
    }
    const QString outputMode = output + QLatin1Char('/') + mode;
    if (!m_outputModes.contains(outputMode)) {
        if (!xrandr({QStringLiteral("--addmode"), output, mode}))
            return false;
        m_outputModes.insert(outputMode);
    }
    return true;
}

QStringList MonitorServer::showOn(const Monitor &monitor) const
{
    QStringList change = {QStringLiteral("--output"), monitor.output, QStringLiteral("--mode"), modeName(monitor.bounds.size()),
                          QStringLiteral("--pos"),
                          QStringLiteral("%1x%2").arg(monitor.bounds.x()).arg(monitor.bounds.y())};
    if (!m_monitors.isEmpty() && m_monitors.first().output == monitor.output)
        change.append(QStringLiteral("--primary"));
    return change;
}

// One xrandr call for the whole change, so that Qt sees the monitors only before and after
// it; xrandr grows the frame buffer before the outputs and shrinks it after them.
bool MonitorServer::apply(const QStringList &outputChanges) const
{
    QRect bounds(QPoint(0, 0), QSize(1, 1));
    for (const Monitor &monitor : m_monitors)
        bounds |= monitor.bounds;
    // The dummy driver tells an output's connection only when the outputs are probed (a real
    // driver learns it from the cable); the query probes them, so that clients read outputs
    // with a monitor as connected. Qt passes on no change of an output it takes as unplugged.
    return xrandr(QStringList{QStringLiteral("--fb"), framebufferSize(bounds)} + outputChanges)
           && xrandr({QStringLiteral("--query")});
}

qsizetype MonitorServer::indexOf(const QString &name) const
{
    for (qsizetype index = 0; index < m_monitors.size(); ++index)
        if (m_monitors.at(index).output == name)
            return index;
    return -1;
}

bool MonitorServer::setMonitors(const QList<QRect> &bounds)
{
    if (!available() || bounds.size() > kOutputs)
        return false;
    m_monitors.clear();
    QStringList changes;
    for (int index = 0; index < bounds.size(); ++index)
        m_monitors.append({outputName(index), bounds.at(index)});
    for (int index = 0; index < kOutputs; ++index) {
        if (index < bounds.size()) {
            if (!prepareMode(outputName(index), bounds.at(index).size()))
                return false;
            changes += showOn(m_monitors.at(index));
        } else {
            changes += {QStringLiteral("--output"), outputName(index), QStringLiteral("--off")};
        }
    }
    return apply(changes);
}

QString MonitorServer::addMonitor(const QRect &bounds)
{
    int free = 0;
    while (free < kOutputs && indexOf(outputName(free)) >= 0)
        ++free;
    if (!available() || free == kOutputs || !prepareMode(outputName(free), bounds.size()))
        return {};
    // The outputs before the free one are all in use: the server lists the new monitor there.
    m_monitors.insert(free, {outputName(free), bounds});
    return apply(showOn(m_monitors.at(free))) ? outputName(free) : QString();
}

bool MonitorServer::removeMonitor(const QString &name)
{
    const qsizetype index = indexOf(name);
    if (index < 0)
        return false;
    m_monitors.removeAt(index);
    return apply({QStringLiteral("--output"), name, QStringLiteral("--off")});
}

bool MonitorServer::resizeMonitor(const QString &name, const QRect &bounds)
{
    const qsizetype index = indexOf(name);
    if (index < 0 || !prepareMode(name, bounds.size()))
        return false;
    m_monitors[index].bounds = bounds;
    return apply(showOn(m_monitors.at(index)));
}

QStringList MonitorServer::monitorNames() const
{
    QStringList names;
    for (const Monitor &monitor : m_monitors)
        names.append(monitor.output);
    return names;
}

QList<QRect> MonitorServer::monitors() const
{
    static const QRegularExpression geometry(QStringLiteral(R"((\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+))"));
    QList<QRect> found;
    const QStringList lines = run(QStringLiteral("xrandr"), {QStringLiteral("--listmonitors")}).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = geometry.match(line);
        if (match.hasMatch())
            found.append(QRect(match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
                               match.captured(2).toInt()));
    }
    return found;
}

bool MonitorServer::screenshot(const QString &pngFile) const
{
    return runClient(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), pngFile})
           && QFile::exists(pngFile);
}
