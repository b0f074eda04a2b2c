// The real program, started as a separate process on the offscreen platform with a home
// folder of its own, stopped from outside, and judged by the settings file it leaves.

#include "tests/PrivateSessionBus.h"
#include "tests/TestSupport.h"
#include "tests/chain/MosquittoBroker.h"

#include "app/FontButtons.h"
#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "app/TitleTab.h"
#include "desktop/HistoryComboBox.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <sys/syscall.h>

namespace {

using testsupport::readBytes;
using testsupport::readValues;

// Whether the process has its own handler for all three stop signals. The program installs
// them first thing at start; a stop after that is orderly.
bool catchesStopSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:"))
            continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        const auto caught = [mask](int signalNumber) { return (mask >> (signalNumber - 1)) & 1u; };
        return ok && caught(SIGTERM) && caught(SIGINT) && caught(SIGHUP);
    }
    return false;
}

// Whether the main thread sleeps in poll(), i.e. waits in the event loop. Layouts during
// start-up pump events without waiting, so this is seen only in passing before the program
// is up; the caller looks several times in a row. The system call numbers are this
// machine's own, as the C library defines them.
bool waitsInEventLoop(qint64 pid)
{
    const QList<QByteArray> fields = readBytes(QStringLiteral("/proc/%1/syscall").arg(pid)).split(' ');
    if (fields.size() < 4)
        return false;
    bool ok = false;
    const long number = fields[0].trimmed().toLong(&ok);
    if (!ok)
        return false;
#ifdef SYS_poll
    // poll() with a zero timeout only looks, it does not wait.
    if (number == SYS_poll)
        return fields[3] != "0x0";
#endif
    return number == SYS_ppoll;
}

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        config = home.filePath(QStringLiteral("config"));
        ASSERT_TRUE(QDir().mkpath(config));
        program = QStringLiteral(CORVANE_BINARY);
        ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    }

    QString settingsFile(const QString &title) const
    {
        return config + QStringLiteral("/Marrowgate/") + title + QStringLiteral(".conf");
    }

    enum class Wait { UntilIdle, UntilHandlersOnly };

    QProcessEnvironment environment(const QMap<QString, QString> &extra = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        for (auto it = extra.cbegin(); it != extra.cend(); ++it)
            env.insert(it.key(), it.value());
        testsupport::setProgramSanitizerOptions(env);
        return env;
    }

    std::unique_ptr<QProcess> start(const QString &binary, const QMap<QString, QString> &extra = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(extra));
        // The program's own diagnostics are shown only when something goes wrong.
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(binary, {});
        EXPECT_TRUE(process->waitForStarted(30000)) << process->errorString().toStdString();
        return process;
    }

    // Waits until the program would save on a stop: its stop handlers are in place and, with
    // UntilIdle, it waits in its event loop. False, with the reason added to the failures, when
    // it never gets there.
    bool waitUntilReady(QProcess &process, Wait wait = Wait::UntilIdle)
    {
        const QDeadlineTimer deadline(60000);
        const auto ready = [&] {
            if (!catchesStopSignals(process.processId()))
                return false;
            if (wait == Wait::UntilHandlersOnly)
                return true;
            // Five looks in a row, so that a short wait during start-up is not taken for it.
            for (int look = 0; look < 5; ++look) {
                if (!waitsInEventLoop(process.processId()))
                    return false;
                QThread::msleep(20);
            }
            return true;
        };
        while (!ready()) {
            if (process.state() != QProcess::Running) {
                ADD_FAILURE() << "ended before it was stopped\n" << process.readAll().toStdString();
                return false;
            }
            if (deadline.hasExpired()) {
                ADD_FAILURE() << "never got ready for a stop";
                return false;
            }
            // Waiting on the process, not sleeping, is what lets QProcess see it end.
            process.waitForFinished(wait == Wait::UntilIdle ? 20 : 1);
        }
        return true;
    }

    // Sends the signal and waits for the end; a program that does not end is killed and
    // the test fails with where it hung. Returns what the program printed.
    std::string stop(QProcess &process, int signalNumber, int patienceMs = 60000)
    {
        EXPECT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        if (!process.waitForFinished(patienceMs)) {
            QByteArray syscall = readBytes(QStringLiteral("/proc/%1/syscall").arg(process.processId()));
            for (const QByteArray &line : readBytes(QStringLiteral("/proc/%1/status").arg(process.processId())).split('\n'))
                if (line.startsWith("Sig") || line.startsWith("ShdPnd") || line.startsWith("Threads"))
                    syscall += "\n" + line;
            process.kill();
            process.waitForFinished(10000);
            ADD_FAILURE() << "did not end after signal " << signalNumber << "; was in system call "
                          << syscall.toStdString() << "\n" << process.readAll().right(4000).toStdString();
            return {};
        }
        const std::string output = process.readAll().right(4000).toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of closing\n" << output;
        EXPECT_EQ(process.exitCode(), 0) << output;
        return output;
    }

    // Starts the program, waits until it would save on a stop, sends the signal and
    // returns once it has ended.
    void runAndStop(const QString &binary, int signalNumber, Wait wait = Wait::UntilIdle)
    {
        const std::unique_ptr<QProcess> process = start(binary);
        if (waitUntilReady(*process, wait))
            stop(*process, signalNumber);
    }

    void replaceValues(const QString &file, const QMap<QString, QString> &changes)
    {
        QByteArray text;
        for (const QByteArray &line : readBytes(file).split('\n')) {
            const qsizetype equals = line.indexOf('=');
            const QString name = equals > 0 ? QString::fromUtf8(line.left(equals)).trimmed() : QString();
            text += changes.contains(name) ? name.toUtf8() + '=' + changes.value(name).toUtf8() : line;
            text += '\n';
        }
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(text.trimmed() + '\n');
    }

    QTemporaryDir home;
    QString config;
    QString program;
};

const QMap<QString, QString> kFirstRunValues = {
    {QStringLiteral("Left"), QStringLiteral("324")},     {QStringLiteral("Top"), QStringLiteral("106")},
    {QStringLiteral("FileName"), QStringLiteral("Title.jpg")}, {QStringLiteral("TitleMode"), QStringLiteral("0")},
    {QStringLiteral("TV"), QStringLiteral("0")},          {QStringLiteral("ProTop"), QStringLiteral("20")},
    {QStringLiteral("ProBot"), QStringLiteral("10")},     {QStringLiteral("ProTit"), QStringLiteral("10")},
    {QStringLiteral("ProTitL"), QStringLiteral("30")},    {QStringLiteral("ProName"), QStringLiteral("35")},
    {QStringLiteral("ProTit2"), QStringLiteral("10")},
};

void expectValues(const QString &file, const QMap<QString, QString> &expected)
{
    ASSERT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    const QMap<QString, QString> values = readValues(file);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_TRUE(values.contains(it.key())) << it.key().toStdString();
        EXPECT_EQ(values.value(it.key()), it.value()) << it.key().toStdString();
    }
    EXPECT_TRUE(values.contains(QStringLiteral("Width")));
    EXPECT_TRUE(values.contains(QStringLiteral("Height")));
}

class EndToEndSignal : public EndToEnd, public ::testing::WithParamInterface<int>
{
};

TEST_P(EndToEndSignal, StopFromOutsideSavesTheSettings)
{
    runAndStop(program, GetParam());
    expectValues(settingsFile(QStringLiteral("corvane")), kFirstRunValues);
}

INSTANTIATE_TEST_SUITE_P(Signals, EndToEndSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto &info) {
                             switch (info.param) {
                             case SIGTERM: return std::string("SIGTERM");
                             case SIGINT: return std::string("SIGINT");
                             default: return std::string("SIGHUP");
                             }
                         });

TEST_F(EndToEnd, EditedValuesAreKeptAcrossRuns)
{
    const QString file = settingsFile(QStringLiteral("corvane"));
    runAndStop(program, SIGTERM);
    ASSERT_TRUE(QFileInfo(file).isFile());

    const QMap<QString, QString> edits = {{QStringLiteral("Left"), QStringLiteral("200")},
                                          {QStringLiteral("Top"), QStringLiteral("150")},
                                          {QStringLiteral("ProTop"), QStringLiteral("30")},
                                          {QStringLiteral("ProName"), QStringLiteral("42")},
                                          {QStringLiteral("TitleMode"), QStringLiteral("1")}};
    replaceValues(file, edits);
    runAndStop(program, SIGTERM);

    QMap<QString, QString> expected = kFirstRunValues;
    expected.insert(edits);
    expectValues(file, expected);

    // And once more: nothing drifts from run to run.
    const QByteArray afterSecond = readBytes(file);
    runAndStop(program, SIGHUP);
    EXPECT_EQ(readBytes(file), afterSecond);
}

TEST_F(EndToEnd, ProgramUnderAnotherNameKeepsItsOwnSettings)
{
    const QString corvaneFile = settingsFile(QStringLiteral("corvane"));
    runAndStop(program, SIGTERM);
    replaceValues(corvaneFile, {{QStringLiteral("Left"), QStringLiteral("200")},
                                {QStringLiteral("ProTop"), QStringLiteral("30")}});
    const QByteArray corvaneBytes = readBytes(corvaneFile);

    const QString copy = home.filePath(QStringLiteral("kassa2"));
    ASSERT_TRUE(QFile::copy(program, copy));
    ASSERT_TRUE(QFile::setPermissions(copy, QFile::permissions(program) | QFile::ExeOwner));
    runAndStop(copy, SIGTERM);

    expectValues(settingsFile(QStringLiteral("kassa2")), kFirstRunValues);
    EXPECT_EQ(readBytes(corvaneFile), corvaneBytes);
}

// The TV board that shows at start keeps the screen awake; a stop from outside gives the
// screen back to the desktop before the program ends.
TEST_F(EndToEnd, StopWhileTheBoardShowsGivesTheScreenBack)
{
    const testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.available()) << bus.whyNot().toStdString();
    const testsupport::StandInScreenSaver screenSaver(bus);
    ASSERT_TRUE(screenSaver.registered());
    const QString file = settingsFile(QStringLiteral("corvane"));
    runAndStop(program, SIGTERM);
    replaceValues(file, {{QStringLiteral("TV"), QStringLiteral("1")}});

    const std::unique_ptr<QProcess> process = start(program, {{QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address()}});
    ASSERT_TRUE(waitUntilReady(*process));
    // The request is sent without waiting for the session, so it may come a little later.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !screenSaver.calls().isEmpty(); }));
    const QList<testsupport::ScreenSaverCall> whileRunning = screenSaver.calls();
    ASSERT_EQ(whileRunning.size(), 1);
    EXPECT_EQ(whileRunning.at(0).method, "Inhibit");
    EXPECT_EQ(whileRunning.at(0).applicationName, "corvane");
    stop(*process, SIGTERM);

    const QList<testsupport::ScreenSaverCall> afterStop = screenSaver.calls();
    ASSERT_EQ(afterStop.size(), 2);
    EXPECT_EQ(afterStop.at(1).method, "UnInhibit");
    EXPECT_EQ(afterStop.at(1).cookie, whileRunning.at(0).cookie);
    EXPECT_EQ(readValues(file).value(QStringLiteral("TV")), "1");
}

// A session that keeps its answer holds nothing up: the program waits in its event loop
// meanwhile, keeps the cookie that comes late and gives it back at the stop. A session
// that never answers does not hold the stop either.
TEST_F(EndToEnd, ASlowSessionHoldsNeitherTheBoardNorTheStop)
{
    const testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.available()) << bus.whyNot().toStdString();
    testsupport::StandInScreenSaver screenSaver(bus);
    ASSERT_TRUE(screenSaver.registered());
    screenSaver.holdBackAnswers();
    const QString file = settingsFile(QStringLiteral("corvane"));
    runAndStop(program, SIGTERM);
    replaceValues(file, {{QStringLiteral("TV"), QStringLiteral("1")}});
    const QMap<QString, QString> sessionBus = {{QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address()}};

    for (const bool sessionAnswers : {true, false}) {
        const qsizetype before = screenSaver.calls().size();
        const std::unique_ptr<QProcess> process = start(program, sessionBus);
        ASSERT_TRUE(testsupport::waitUntil([&] { return screenSaver.answersHeldBack() == 1; }));
        ASSERT_TRUE(waitUntilReady(*process)) << "the program does not wait in its event loop";
        if (sessionAnswers)
            screenSaver.answerHeldBack();
        stop(*process, SIGTERM);

        const QList<testsupport::ScreenSaverCall> calls = screenSaver.calls().mid(before);
        ASSERT_FALSE(calls.isEmpty());
        EXPECT_EQ(calls.at(0).method, "Inhibit");
        if (sessionAnswers) {
            ASSERT_EQ(calls.size(), 2);
            EXPECT_EQ(calls.at(1).method, "UnInhibit");
            EXPECT_EQ(calls.at(1).cookie, calls.at(0).cookie);
        } else {
            EXPECT_EQ(calls.size(), 1) << "nothing granted, nothing to give back";
        }
    }
    EXPECT_EQ(readValues(file).value(QStringLiteral("TV")), "1");
}

// A stop that arrives while the window is still being shown closes it from inside a layout's
// event pumping, before the event loop runs; the program must still end and save.
TEST_F(EndToEnd, StopDuringStartUpStillSaves)
{
    const QString file = settingsFile(QStringLiteral("corvane"));
    for (int attempt = 0; attempt < 10 && !HasFailure(); ++attempt) {
        QFile::remove(file);
        runAndStop(program, SIGTERM, Wait::UntilHandlersOnly);
        EXPECT_TRUE(QFileInfo(file).isFile()) << "attempt " << attempt;
    }
}

// A copy of the program under another name, so that it keeps settings and a lock of its own.
QString copyOfProgram(const QTemporaryDir &folder, const QString &program, const QString &name)
{
    const QString copy = folder.filePath(name);
    if (!QFileInfo::exists(copy)) {
        QFile::copy(program, copy);
        QFile::setPermissions(copy, QFile::permissions(program) | QFile::ExeOwner);
    }
    return copy;
}

TEST_F(EndToEnd, SecondStartWithTheSameNameHandsOverAndEnds)
{
    const std::unique_ptr<QProcess> first = start(program);
    ASSERT_TRUE(waitUntilReady(*first));

    const std::unique_ptr<QProcess> second = start(program);
    ASSERT_TRUE(second->waitForFinished(60000)) << "the second copy runs on";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0) << second->readAll().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first, SIGTERM);
}

TEST_F(EndToEnd, CopiesUnderTwoNamesRunSideBySide)
{
    const std::unique_ptr<QProcess> corvane = start(program);
    const std::unique_ptr<QProcess> kassa2 = start(copyOfProgram(home, program, QStringLiteral("kassa2")));
    ASSERT_TRUE(waitUntilReady(*corvane));
    ASSERT_TRUE(waitUntilReady(*kassa2));
    stop(*kassa2, SIGTERM);
    stop(*corvane, SIGTERM);
    EXPECT_TRUE(QFileInfo(settingsFile(QStringLiteral("kassa2"))).isFile());
    EXPECT_TRUE(QFileInfo(settingsFile(QStringLiteral("corvane"))).isFile());
}

// A copy killed outright leaves its lock behind; the next start takes it over and runs.
TEST_F(EndToEnd, LockOfAKilledCopyIsTakenOver)
{
    const std::unique_ptr<QProcess> crashed = start(program);
    ASSERT_TRUE(waitUntilReady(*crashed));
    ASSERT_EQ(::kill(pid_t(crashed->processId()), SIGKILL), 0);
    ASSERT_TRUE(crashed->waitForFinished(30000));

    runAndStop(program, SIGTERM);
    expectValues(settingsFile(QStringLiteral("corvane")), kFirstRunValues);
}

// The warning about an unreadable settings file waits for nobody: a stop ends the program.
TEST_F(EndToEnd, UnreadableSettingsFileDoesNotHoldAStop)
{
    const QString file = settingsFile(QStringLiteral("corvane"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    const QByteArray bad = "[General]\nLeft\n=3\n";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bad);
    }
    runAndStop(program, SIGTERM);
    EXPECT_EQ(readBytes(file + QStringLiteral(".bad")), bad);
    expectValues(file, kFirstRunValues);
}

// A settings folder on a small file system of its own that can be filled up; needs the
// right to mount, which a test run as root has.
class FullDisk
{
public:
    explicit FullDisk(const QString &folder)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=64k"), QStringLiteral("tmpfs"), folder});
        m_mounted = mount.waitForFinished(30000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        m_why = QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    }
    ~FullDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder});
    }
    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_why; }

    // Takes every block that is left.
    void fill() const
    {
        QFile filler(m_folder + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_why;
};

// What the file holds once it has stopped changing: it has left `written` (or never did
// within a few seconds) and then held still for longer than a save-as-you-go burst lasts.
static QByteArray settledContent(const QString &file, const QByteArray &written)
{
    const QDeadlineTimer deadline(10000);
    QByteArray content = readBytes(file);
    while (content == written && !deadline.hasExpired()) {
        QThread::msleep(50);
        content = readBytes(file);
    }
    QDeadlineTimer still(1500);
    while (!still.hasExpired()) {
        QThread::msleep(50);
        const QByteArray now = readBytes(file);
        if (now != content) {
            content = now;
            still.setRemainingTime(1500);
        }
    }
    return content;
}

TEST_F(EndToEnd, FullDiskAtExitKeepsTheOldFileAndTellsWhy)
{
    const QString file = settingsFile(QStringLiteral("corvane"));
    const FullDisk disk(QFileInfo(file).absolutePath());
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small file system here (needs root): " << disk.whyNot().toStdString();
    // A short file with a width the program corrects, so that what it writes differs.
    const QByteArray before = "[General]\nLeft=200\nTop=150\nWidth=1\n";
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(before);
    }
    const std::unique_ptr<QProcess> process = start(program);
    ASSERT_TRUE(waitUntilReady(*process));
    // Start-up completes the file as it goes; on a busy machine that save can land after the
    // program looks idle. The disk fills only once it has, so what the exit must keep is known.
    const QByteArray stored = settledContent(file, before);
    ASSERT_TRUE(stored.startsWith("[General]")) << stored.toStdString();
    disk.fill();

    // Far beyond the program's own grace time: only a hang would take this long.
    const std::string output = stop(*process, SIGTERM, 20000);
    EXPECT_EQ(readBytes(file), stored);
    EXPECT_NE(output.find(file.toStdString()), std::string::npos) << output;
    EXPECT_NE(output.find(std::strerror(ENOSPC)), std::string::npos) << output;
    const QStringList left = QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{QStringLiteral("corvane.conf"), QStringLiteral("filler")}));
}

// An X server of the test's own (Xvfb), for what only a real display shows: windows a person
// sees and keys a person types.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return;
        // The server picks a free display number and prints it.
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                QStringLiteral("0"), QStringLiteral("1920x1080x24"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const QDeadlineTimer deadline(30000);
        while (!m_server.canReadLine() && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning)
            m_server.waitForReadyRead(100);
        const QByteArray number = m_server.readLine().trimmed();
        if (!number.isEmpty())
            m_name = QStringLiteral(":") + QString::fromLatin1(number);
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(10000);
    }
    bool isRunning() const { return !m_name.isEmpty(); }
    QString name() const { return m_name; }

    // Runs xdotool on this display; returns what it printed, or nothing when it failed.
    QString xdotool(const QStringList &arguments) const
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
            return {};
        return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    }

    // The ids of the shown windows with this title; waits up to a while for the first.
    QStringList windows(const QString &title) const
    {
        const QDeadlineTimer deadline(30000);
        QString ids;
        while (ids.isEmpty() && !deadline.hasExpired()) {
            ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                           QStringLiteral("^") + title + QStringLiteral("$")});
            if (ids.isEmpty())
                QThread::msleep(50);
        }
        return ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QProcess m_server;
    QString m_name;
};

class EndToEndOnADisplay : public EndToEnd
{
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        // The virtual display is one 1920x1080 monitor, as the screen list "one" is; the
        // test program lays its window out the same way only there.
        if (testsupport::screenSet() != QStringLiteral("one"))
            GTEST_SKIP() << "runs with the screen list that matches the virtual display";
        if (!display.isRunning())
            GTEST_SKIP() << "needs Xvfb and xdotool";
    }

    std::unique_ptr<QProcess> startOnDisplay()
    {
        QMap<QString, QString> env = {{QStringLiteral("DISPLAY"), display.name()},
                                      {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")}};
        return start(program, env);
    }

    // Where a control lies inside the operator window, taken from the window as this test
    // program builds it.
    static QPoint centreOf(const std::function<QWidget *(TForm1 &)> &control)
    {
        testsupport::SettingsSandbox sandbox;
        TForm1 form;
        form.show(); // the tabs lay out their pages when shown
        QWidget *widget = control(form);
        return widget->mapTo(&form, widget->rect().center());
    }
    static QPoint firstBuyField()
    {
        return centreOf([](TForm1 &form) { return form.EditorRows[1]->Edit1; });
    }

    void click(const QString &window, QPoint at) const
    {
        display.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(at.x()),
                         QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    }

    VirtualDisplay display;
};

// Where the operator clicks to pick a title: the settings tab, the arrow of the title box,
// and the row of the open list, taken from the window as this test program builds it with
// the same history.
struct TitlePickPoints
{
    QPoint settingsTab;
    QPoint arrow;
    QPoint row;
};

TitlePickPoints titlePickPoints(const QStringList &history, int row)
{
    testsupport::SettingsSandbox sandbox;
    TForm1 form;
    form.show();
    TitlePickPoints points;
    QTabBar *tabs = form.PageControl1->tabBar();
    points.settingsTab = tabs->mapTo(&form, tabs->tabRect(form.PageControl1->indexOf(form.TabNastroyki)).center());
    form.PageControl1->setCurrentWidget(form.TabNastroyki);
    THistoryComboBox *box = form.TitleTab->eTextList;
    for (qsizetype i = history.size() - 1; i >= 0; --i)
        box->AddToHistory(history.at(i));
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    points.arrow = box->mapTo(
        &form, box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box).center());
    box->showPopup();
    QAbstractItemView *view = box->view();
    const QPoint inRow = view->visualRect(view->model()->index(row, 0)).center();
    points.row = form.mapFromGlobal(view->viewport()->mapToGlobal(inRow));
    box->hidePopup();
    return points;
}

// The way the issue was found: three remembered titles, the settings tab, the arrow of the
// title box and a click on the second title, with the mouse of a real display.
TEST_F(EndToEndOnADisplay, ATitleClickedInItsListIsKeptAsTheHeadOfTheHistoryAndTheSource)
{
    const QStringList history{QStringLiteral("Rates today"), QStringLiteral("Exchange office"),
                              QStringLiteral("Cash desk")};
    testsupport::writeBytes(settingsFile(QStringLiteral("corvane")),
                            "[Hi]\nH0=Rates today\nH1=Exchange office\nH2=Cash desk\n");
    const TitlePickPoints points = titlePickPoints(history, 1);
    const std::unique_ptr<QProcess> process = startOnDisplay();
    ASSERT_TRUE(waitUntilReady(*process));
    const QStringList windows = display.windows(QStringLiteral("Corvane 1.0"));
    ASSERT_EQ(windows.size(), 1);
    click(windows.first(), points.settingsTab);
    const auto shownWindows = [&] {
        return display.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                QString::number(process->processId())})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .size();
    };
    const qsizetype before = shownWindows();
    click(windows.first(), points.arrow);
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownWindows() > before; })) << "the list did not open";
    click(windows.first(), points.row);

    const auto kept = [this] {
        const QMap<QString, QString> values = readValues(settingsFile(QStringLiteral("corvane")));
        return values.value(QStringLiteral("H0")) == QStringLiteral("Exchange office")
               && values.value(QStringLiteral("H1")) == QStringLiteral("Rates today")
               && values.value(QStringLiteral("H2")) == QStringLiteral("Cash desk")
               && values.value(QStringLiteral("FileName")) == QStringLiteral("Exchange office");
    };
    EXPECT_TRUE(testsupport::waitUntil(kept)) << readBytes(settingsFile(QStringLiteral("corvane"))).toStdString();
    stop(*process, SIGTERM);
    EXPECT_TRUE(kept()) << readBytes(settingsFile(QStringLiteral("corvane"))).toStdString();
}

// Typed in, and a second and a half later the power is cut: the edit is in the store.
TEST_F(EndToEndOnADisplay, EditSurvivesAKillASecondLater)
{
    const std::unique_ptr<QProcess> process = startOnDisplay();
    ASSERT_TRUE(waitUntilReady(*process));
    const QStringList windows = display.windows(QStringLiteral("Corvane 1.0"));
    ASSERT_EQ(windows.size(), 1);
    const QPoint field = firstBuyField();
    display.xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), windows.first(),
                     QString::number(field.x()), QString::number(field.y()), QStringLiteral("click"),
                     QStringLiteral("1")});
    display.xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    display.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("9310")});
    QThread::msleep(1500);
    ASSERT_EQ(::kill(pid_t(process->processId()), SIGKILL), 0);
    ASSERT_TRUE(process->waitForFinished(30000));

    const QString table = readValues(settingsFile(QStringLiteral("corvane"))).value(QStringLiteral("CorvaneFile"));
    EXPECT_TRUE(table.contains(QStringLiteral("\\t9310\\t"))) << table.toStdString();

    // And the next start shows it: the rate comes back into the table the exit writes.
    runAndStop(program, SIGTERM);
    EXPECT_TRUE(readValues(settingsFile(QStringLiteral("corvane")))
                    .value(QStringLiteral("CorvaneFile"))
                    .contains(QStringLiteral("\\t9310\\t")));
}

// A stop while a modal dialog waits for the operator still closes the program the orderly
// way, at once: nothing waits for an answer.
TEST_F(EndToEndOnADisplay, StopWithAModalDialogOpenEndsAndSaves)
{
    const std::unique_ptr<QProcess> process = startOnDisplay();
    ASSERT_TRUE(waitUntilReady(*process));
    const QStringList windows = display.windows(QStringLiteral("Corvane 1.0"));
    ASSERT_EQ(windows.size(), 1);
    click(windows.first(), centreOf([](TForm1 &form) { return form.FontButtons->bFont[0]; }));
    ASSERT_EQ(display.windows(QStringLiteral("Select Font")).size(), 1) << "the font dialog did not open";

    stop(*process, SIGTERM, 20000);
    expectValues(settingsFile(QStringLiteral("corvane")), kFirstRunValues);
}

TEST_F(EndToEndOnADisplay, SecondStartLeavesOneProcessAndOneWindow)
{
    const std::unique_ptr<QProcess> first = startOnDisplay();
    ASSERT_TRUE(waitUntilReady(*first));
    ASSERT_EQ(display.windows(QStringLiteral("Corvane 1.0")).size(), 1);

    const std::unique_ptr<QProcess> second = startOnDisplay();
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(display.windows(QStringLiteral("Corvane 1.0")).size(), 1);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first, SIGTERM);
}

} // namespace

namespace {

// The journal's commands and --help run without a display and beside a running copy: they
// take no one-copy lock (with it, a second start would only bring the running window
// forward and exit 0).
TEST_F(EndToEnd, JournalCommandsRunWithoutADisplayBesideARunningCopy)
{
    const std::unique_ptr<QProcess> running = start(program);
    ASSERT_TRUE(waitUntilReady(*running));

    struct Case { QStringList arguments; int exitCode; const char *says; const char *on; };
    const Case cases[] = {
        {{QStringLiteral("--help")}, 0, "--rate-order", "out"},
        {{QStringLiteral("--journal-csv"), QStringLiteral("2026-13-01"), QStringLiteral("2026-12-31"), home.filePath("a.csv")}, 1, "2026-13-01", "err"},
        {{QStringLiteral("--rate-order"), QStringLiteral("yesterday"), home.filePath("a.pdf")}, 1, "yesterday", "err"},
    };
    for (const Case &c : cases) {
        QProcess command;
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        command.setProcessEnvironment(env);
        command.start(program, c.arguments);
        ASSERT_TRUE(command.waitForFinished(60000)) << c.says;
        EXPECT_EQ(command.exitStatus(), QProcess::NormalExit) << c.says;
        EXPECT_EQ(command.exitCode(), c.exitCode) << c.says;
        const QByteArray out = command.readAllStandardOutput();
        const QByteArray err = command.readAllStandardError();
        const QByteArray &said = QByteArray(c.on) == "out" ? out : err;
        EXPECT_TRUE(said.contains(c.says)) << c.says << "\nout: " << out.constData() << "\nerr: " << err.constData();
        if (c.exitCode != 0) {
            EXPECT_EQ(err.count('\n'), 1) << err.constData();
        }
    }
    stop(*running, SIGTERM);
}

} // namespace

namespace {

// A port for a web board that nothing else holds now, below the range the system hands out
// for outgoing connections.
quint16 freeWebPort()
{
    for (quint16 port = 20000 + quint16(QCoreApplication::applicationPid() % 5000); port < 30000; port += 7) {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, port))
            return port;
    }
    return 0;
}

// A GET on a web board, the whole answer with its head; empty when nobody answered.
QByteArray fetch(quint16 port, const QByteArray &path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(1000))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: board\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(2000))
        answer += socket.readAll();
    return answer + socket.readAll();
}

QByteArray chainSettings(const testsupport::MosquittoBroker &broker, int role, const QString &office)
{
    return QStringLiteral("ChainRole=%1\nChainUrl=%2\nChainId=%3\nChainOffice=%4\nChainUser=%4\nChainPassword=%5\n"
                          "ChainCaFile=%6\n")
        .arg(role)
        .arg(broker.url(), QString::fromLatin1(testsupport::MosquittoBroker::kChain), office,
             testsupport::MosquittoBroker::passwordOf(office), broker.caFile())
        .toUtf8();
}

} // namespace

// Two offices of a chain, each a copy of the program under its own name, through a real
// broker: a rate typed at the head office with the keys of a real display, the field then
// left, shows on the branch's board and in its rates feed. How long that took is printed
// for the notes; the deadline here only catches a table that never arrives.
TEST_F(EndToEndOnADisplay, ARateTypedAtTheHeadOfficeShowsAtTheBranch)
{
    testsupport::MosquittoBroker broker;
    if (!broker.setupError().isEmpty())
        GTEST_SKIP() << "no broker: " << broker.setupError().toStdString();
    const quint16 port = freeWebPort();
    ASSERT_NE(port, 0);
    testsupport::writeBytes(settingsFile(QStringLiteral("corvane")), chainSettings(broker, 2, QStringLiteral("center")));
    const QString branchProgram = home.filePath(QStringLiteral("branch"));
    ASSERT_TRUE(QFile::copy(program, branchProgram));
    ASSERT_TRUE(QFile::setPermissions(branchProgram, QFile::permissions(program) | QFile::ExeOwner));
    testsupport::writeBytes(settingsFile(QStringLiteral("branch")),
                            chainSettings(broker, 1, QStringLiteral("tver"))
                                + QStringLiteral("WebBoard=1\nWebPort=%1\n").arg(port).toLatin1());

    const std::unique_ptr<QProcess> branch = start(branchProgram);
    ASSERT_TRUE(waitUntilReady(*branch));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !fetch(port, "/rates.json").isEmpty(); }, 30000));
    const std::unique_ptr<QProcess> headOffice = startOnDisplay();
    ASSERT_TRUE(waitUntilReady(*headOffice));
    const QStringList windows = display.windows(QStringLiteral("Corvane 1.0"));
    ASSERT_EQ(windows.size(), 1);

    // What the branch's board shows has a version of its own; a new table draws a new board.
    const auto boardVersion = [&] {
        const QByteArray answer = fetch(port, "/board.json?w=1080&h=1920");
        const qsizetype at = answer.indexOf("\"version\":\"");
        return at < 0 ? QByteArray() : answer.mid(at + 11, answer.indexOf('"', at + 11) - at - 11);
    };
    const QByteArray versionBefore = boardVersion();
    ASSERT_FALSE(versionBefore.isEmpty());

    click(windows.first(), firstBuyField());
    display.xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    display.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("9310")});
    // Timed from before the key that leaves the field, xdotool's own start included.
    QElapsedTimer sinceLeft;
    sinceLeft.start();
    display.xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
    ASSERT_TRUE(testsupport::waitUntil([&] { return fetch(port, "/rates.json").contains("\"9310\""); }, 20000))
        << fetch(port, "/rates.json").toStdString();
    const qint64 tookMs = sinceLeft.elapsed();
    RecordProperty("field_left_to_branch_feed_ms", int(tookMs));
    std::printf("A rate left at the head office was in the branch's feed after %lld ms\n", static_cast<long long>(tookMs));
    EXPECT_TRUE(testsupport::waitUntil([&] { return boardVersion() != versionBefore; }))
        << "the branch's board was not drawn again";

    stop(*headOffice, SIGTERM);
    stop(*branch, SIGTERM);
    const QString stored = readValues(settingsFile(QStringLiteral("branch"))).value(QStringLiteral("CorvaneFile"));
    EXPECT_TRUE(stored.contains(QStringLiteral("\\t9310\\t"))) << stored.toStdString();
}
