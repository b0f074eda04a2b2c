#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the user-interface thread,
// so that a stop from outside closes the program the same way as the close box. Whatever
// the program is doing then, it ends within kGraceSeconds of the first stop: a shutdown must
// never wait for somebody to answer a window.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
#if defined(__SANITIZE_ADDRESS__)
    // A build under AddressSanitizer runs several times slower, start-up and close alike.
    static constexpr unsigned kGraceSeconds = 8;
#else
    static constexpr unsigned kGraceSeconds = 2;
#endif

    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

    // Whether a stop has come in, also one that arrived before anybody listened.
    bool wasRequested() const { return m_requested; }

signals:
    void shutdownRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
    bool m_requested = false;
};
