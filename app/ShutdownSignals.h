#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the user-interface thread,
// so that a stop from outside closes the program the same way as the close box.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
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
