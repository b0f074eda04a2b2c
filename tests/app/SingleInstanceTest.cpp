#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Upper bound for things that normally happen at once; never a measure of speed.
constexpr int kPatienceMs = 10000;
// How long to keep the event loop turning to give a wrong extra signal its chance.
constexpr int kQuietMs = 200;

bool waitForSignals(QSignalSpy &spy, int count)
{
    const QDeadlineTimer deadline(kPatienceMs);
    while (spy.count() < count && !deadline.hasExpired())
        spy.wait(int(deadline.remainingTime()));
    return spy.count() >= count;
}

// A socket bound to `path` but not listening, as a crashed copy leaves it; -1 on failure.
int boundSocket(const QString &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (size_t(native.size()) >= sizeof(address.sun_path))
        return -1;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

enum class Leftover { Nothing, RegularFile, DeadSocket };

const char *leftoverName(Leftover leftover)
{
    switch (leftover) {
    case Leftover::Nothing:
        return "nothing";
    case Leftover::RegularFile:
        return "regular file";
    case Leftover::DeadSocket:
        return "dead socket";
    }
    return "?";
}

bool leaveAt(const QString &path, Leftover leftover)
{
    switch (leftover) {
    case Leftover::Nothing:
        return true;
    case Leftover::RegularFile: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("left over") > 0;
    }
    case Leftover::DeadSocket: {
        const int fd = boundSocket(path);
        if (fd < 0)
            return false;
        ::close(fd);
        return QFileInfo::exists(path);
    }
    }
    return false;
}

// Runs `body` in a child process, which has to end itself with _exit(), and returns the
// child's exit code, or -1 when it did not end normally.
template<typename Body>
int runChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(2);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        m_previousRuntime = qgetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                | QFileDevice::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void TearDown() override
    {
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_previousRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

    QString runtimePath() const { return m_runtime.path(); }

    // A later start of `title` reaches the running copy watched by `spy`, once.
    void expectActivationReaches(const QString &title, QSignalSpy &spy)
    {
        const qsizetype before = spy.count();
        SingleInstance later(title);
        EXPECT_FALSE(later.claim());
        EXPECT_TRUE(later.activateRunning());
        EXPECT_TRUE(waitForSignals(spy, int(before) + 1));
        EXPECT_FALSE(spy.wait(kQuietMs));
        EXPECT_EQ(spy.count(), before + 1);
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_previousRuntime;
    bool m_hadRuntime = false;
};

TEST_F(SingleInstanceTest, OneCopyPerTitleWhileTitlesRunSideBySide)
{
    const QStringList titles = {QStringLiteral("corvane"), QStringLiteral("kassa2"), QStringLiteral("corvane2")};
    std::vector<std::unique_ptr<SingleInstance>> running;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QString &title : titles) {
        SCOPED_TRACE(title.toStdString());
        auto copy = std::make_unique<SingleInstance>(title);
        EXPECT_EQ(copy->lockFilePath(), runtimePath() + QStringLiteral("/Marrowgate-") + title + QStringLiteral(".lock"));
        EXPECT_EQ(copy->serverPath(), runtimePath() + QStringLiteral("/Marrowgate-") + title + QStringLiteral(".socket"));
        EXPECT_TRUE(copy->claim());
        EXPECT_TRUE(QFileInfo::exists(copy->lockFilePath()));
        // Other users on the machine must not be able to poke the program.
        const QFileInfo socket(copy->serverPath());
        EXPECT_TRUE(socket.exists());
        EXPECT_EQ(socket.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther
                                          | QFileDevice::WriteOther),
                  QFileDevice::Permissions());
        spies.push_back(std::make_unique<QSignalSpy>(copy.get(), &SingleInstance::activationRequested));
        running.push_back(std::move(copy));
    }

    // A refused start must leave the running copy's lock and socket alone, so ask twice.
    for (int round = 0; round < 2; ++round) {
        for (const QString &title : titles) {
            SCOPED_TRACE(title.toStdString());
            SingleInstance later(title);
            EXPECT_FALSE(later.claim());
        }
    }

    // Only the copy with the asking title hears the request.
    expectActivationReaches(QStringLiteral("kassa2"), *spies[1]);
    EXPECT_EQ(spies[0]->count(), 0);
    EXPECT_EQ(spies[2]->count(), 0);
}

TEST_F(SingleInstanceTest, EveryRequestActivatesTheRunningCopyOnce)
{
    SingleInstance first(QStringLiteral("corvane"));
    ASSERT_TRUE(first.claim());
    QSignalSpy spy(&first, &SingleInstance::activationRequested);

    SingleInstance second(QStringLiteral("corvane"));
    ASSERT_FALSE(second.claim());

    // One request, then several sent before the running copy gets to read any of them.
    int expected = 0;
    for (int burst : {1, 3}) {
        SCOPED_TRACE(burst);
        for (int request = 0; request < burst; ++request)
            EXPECT_TRUE(second.activateRunning());
        expected += burst;
        EXPECT_TRUE(waitForSignals(spy, expected));
        EXPECT_FALSE(spy.wait(kQuietMs));
        EXPECT_EQ(spy.count(), expected);
    }
}

TEST_F(SingleInstanceTest, OnlyCompleteRequestLinesActivate)
{
    SingleInstance first(QStringLiteral("corvane"));
    ASSERT_TRUE(first.claim());
    QSignalSpy spy(&first, &SingleInstance::activationRequested);

    struct Case
    {
        const char *name;
        QList<QByteArray> chunks; // sent one by one, the running copy reading in between
        int activations;
    };
    const Case cases[] = {
        {"whole line", {"activate\n"}, 1},
        {"line in pieces", {"acti", "vate", "\n"}, 1},
        {"two lines at once", {"activate\nactivate\n"}, 2},
        {"unknown line first", {"hello\n", "activate\n"}, 1},
        {"request inside a longer line", {"please activate now\n"}, 0},
        {"no line end before leaving", {"activate"}, 0},
        {"long chatter before a request", {QByteArray(100, 'x'), "\nactivate\n"}, 1},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        spy.clear();
        QLocalSocket client;
        client.connectToServer(first.serverPath());
        ASSERT_TRUE(client.waitForConnected(kPatienceMs));
        for (const QByteArray &chunk : c.chunks) {
            // Nothing before the last chunk completes a request.
            EXPECT_EQ(spy.count(), 0);
            ASSERT_EQ(client.write(chunk), chunk.size());
            ASSERT_TRUE(client.waitForBytesWritten(kPatienceMs));
            QTest::qWait(50);
        }
        client.disconnectFromServer();

        // A proper request afterwards shows that the case's bytes have all been seen.
        SingleInstance later(QStringLiteral("corvane"));
        EXPECT_TRUE(later.activateRunning());
        EXPECT_TRUE(waitForSignals(spy, c.activations + 1));
        EXPECT_FALSE(spy.wait(kQuietMs));
        EXPECT_EQ(spy.count(), c.activations + 1);
    }
}

TEST_F(SingleInstanceTest, RequestWithNobodyRunningIsNotDelivered)
{
    for (Leftover leftover : {Leftover::Nothing, Leftover::RegularFile, Leftover::DeadSocket}) {
        SCOPED_TRACE(leftoverName(leftover));
        SingleInstance lone(QStringLiteral("lone-") + QString::number(int(leftover)));
        ASSERT_TRUE(leaveAt(lone.serverPath(), leftover));
        EXPECT_FALSE(lone.activateRunning(150));
    }
}

TEST_F(SingleInstanceTest, RequestWaitsForACopyThatIsStillStarting)
{
    SingleInstance later(QStringLiteral("corvane"));
    QByteArray received;

    // Starts listening only once the request has had time to find nobody there.
    std::thread starting([&received, path = later.serverPath()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int listener = boundSocket(path);
        if (listener < 0 || ::listen(listener, 1) != 0)
            return;
        pollfd ready = {listener, POLLIN, 0};
        const int peer = ::poll(&ready, 1, kPatienceMs) == 1 ? ::accept(listener, nullptr, nullptr) : -1;
        char buffer[64];
        ssize_t got = 0;
        while (peer >= 0 && (got = ::read(peer, buffer, sizeof(buffer))) > 0)
            received.append(buffer, got);
        if (peer >= 0)
            ::close(peer);
        ::close(listener);
    });
    const bool delivered = later.activateRunning(kPatienceMs);
    starting.join();

    EXPECT_TRUE(delivered);
    EXPECT_EQ(received, QByteArray("activate\n"));
}

TEST_F(SingleInstanceTest, DestroyedCopyLetsTheNextOneRun)
{
    auto first = std::make_unique<SingleInstance>(QStringLiteral("corvane"));
    ASSERT_TRUE(first->claim());
    {
        SingleInstance refused(QStringLiteral("corvane"));
        EXPECT_FALSE(refused.claim());
    }
    SingleInstance waiting(QStringLiteral("corvane"));
    EXPECT_FALSE(waiting.claim());

    first.reset();
    EXPECT_TRUE(waiting.claim());
    QSignalSpy spy(&waiting, &SingleInstance::activationRequested);
    expectActivationReaches(QStringLiteral("corvane"), spy);
}

TEST_F(SingleInstanceTest, LockOfALiveProcessHoldsUntilItEnds)
{
    SingleInstance copy(QStringLiteral("corvane"));
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const QString lockPath = copy.lockFilePath();

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Its own copies of the parent's ends would keep the release pipe open.
        ::close(ready[0]);
        ::close(release[1]);
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        const char locked = lock.lock() ? 1 : 0;
        char go = 0;
        const bool told = ::write(ready[1], &locked, 1) == 1;
        const bool released = ::read(release[0], &go, 1) >= 0;
        // Ends without unlocking, like a crash, but only once the parent has looked.
        ::_exit(told && released ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char locked = 0;
    EXPECT_EQ(::read(ready[0], &locked, 1), 1);
    EXPECT_EQ(locked, 1);

    EXPECT_FALSE(copy.claim());

    ::close(release[1]);
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    ::close(ready[0]);
    EXPECT_TRUE(QFileInfo::exists(lockPath));
    EXPECT_TRUE(copy.claim());
}

TEST_F(SingleInstanceTest, CrashedCopyIsTakenOver)
{
    for (Leftover leftover : {Leftover::Nothing, Leftover::RegularFile, Leftover::DeadSocket}) {
        SCOPED_TRACE(leftoverName(leftover));
        const QString title = QStringLiteral("crashed-") + QString::number(int(leftover));
        SingleInstance copy(title);
        const QString lockPath = copy.lockFilePath();
        // Ends without unlocking, the way a killed copy does.
        const int exitCode = runChild([&lockPath] {
            QLockFile lock(lockPath);
            lock.setStaleLockTime(0);
            ::_exit(lock.lock() ? 0 : 1);
        });
        ASSERT_EQ(exitCode, 0);
        ASSERT_TRUE(QFileInfo::exists(lockPath));
        ASSERT_TRUE(leaveAt(copy.serverPath(), leftover));

        EXPECT_TRUE(copy.claim());
        QSignalSpy spy(&copy, &SingleInstance::activationRequested);
        expectActivationReaches(title, spy);
    }
}

} // namespace
