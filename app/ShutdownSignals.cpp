#include "ShutdownSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only do async-signal-safe work: it writes the signal number into a
// socket that the event loop watches.
int g_signalSocket[2] = {-1, -1};

void forwardSignal(int signalNumber)
{
    // The orderly close saves and ends long before this; the alarm only ends a program that
    // hangs on the way out.
    ::alarm(ShutdownSignals::kGraceSeconds);
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

void endAfterGrace(int)
{
    static const char message[] = "Stopped from outside and still not ended: ending now.\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
    action.sa_handler = endAfterGrace;
    ::sigaction(SIGALRM, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    ::alarm(0);
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP, SIGALRM})
        ::signal(signalNumber, SIG_DFL);
    if (g_signalSocket[0] >= 0) {
        ::close(g_signalSocket[0]);
        ::close(g_signalSocket[1]);
        g_signalSocket[0] = g_signalSocket[1] = -1;
    }
}

void ShutdownSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(g_signalSocket[1], &byte, 1) == 1) {
        m_requested = true;
        emit shutdownRequested(byte);
    }
}
