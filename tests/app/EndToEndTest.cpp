// The real program, started as a separate process on the offscreen platform with a home
// folder of its own, stopped from outside, and judged by the settings file it leaves.

#include "tests/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

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
// is up; the caller looks several times in a row.
bool waitsInEventLoop(qint64 pid)
{
    const QList<QByteArray> fields = readBytes(QStringLiteral("/proc/%1/syscall").arg(pid)).split(' ');
    if (fields.size() < 4)
        return false;
    const QByteArray number = fields[0].trimmed();
    const bool noTimeout = number == "7" && fields[3] == "0x0";
    return (number == "7" && !noTimeout) || number == "271";
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

    // Starts the program, waits until it would save on a stop, sends the signal and
    // returns once it has ended.
    enum class Wait { UntilIdle, UntilHandlersOnly };

    void runAndStop(const QString &binary, int signalNumber, Wait wait = Wait::UntilIdle)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        process.setProcessEnvironment(env);
        // The program's own diagnostics are shown only when something goes wrong.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(binary, {});
        ASSERT_TRUE(process.waitForStarted(30000)) << process.errorString().toStdString();

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
            ASSERT_EQ(process.state(), QProcess::Running) << "ended before it was stopped";
            ASSERT_FALSE(deadline.hasExpired()) << "never got ready for a stop";
            QThread::msleep(wait == Wait::UntilIdle ? 20 : 0);
        }
        ASSERT_EQ(::kill(pid_t(process.processId()), signalNumber), 0);
        if (!process.waitForFinished(60000)) {
            QByteArray syscall = readBytes(QStringLiteral("/proc/%1/syscall").arg(process.processId()));
            for (const QByteArray &line : readBytes(QStringLiteral("/proc/%1/status").arg(process.processId())).split('\n'))
                if (line.startsWith("Sig") || line.startsWith("ShdPnd") || line.startsWith("Threads"))
                    syscall += "\n" + line;
            process.kill();
            process.waitForFinished(10000);
            FAIL() << "did not end after signal " << signalNumber << "; was in system call " << syscall.toStdString()
                   << "\n" << process.readAll().right(4000).toStdString();
        }
        const std::string output = process.readAll().right(4000).toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of closing\n" << output;
        EXPECT_EQ(process.exitCode(), 0) << output;
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

} // namespace
