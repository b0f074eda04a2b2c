#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QThread>

#include <memory>

namespace testsupport {

// A session bus of the test's own: a dbus-daemon started for it and ended with it, so that
// nothing reaches the desktop the tests happen to run in.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool available() const { return !m_address.isEmpty(); }
    QString whyNot() const { return m_whyNot; }
    // What DBUS_SESSION_BUS_ADDRESS would say.
    QString address() const { return m_address; }
    // A fresh connection to it under that name, for a client or a service of the test.
    QDBusConnection connect(const QString &name) const;

private:
    QProcess m_daemon;
    QString m_address;
    QString m_whyNot;
    mutable QStringList m_connections;
};

// One call that reached the stand-in screen saver.
struct ScreenSaverCall
{
    QString method;
    QString applicationName;
    QString reason;
    uint cookie = 0;
};

// The desktop's screen saver as far as the freedesktop.org interface goes: it grants
// every Inhibit a new cookie and records every call. It answers from a thread of its own,
// so that a client that waits for the answer on the test's thread gets one. Told to, it
// holds its answers to Inhibit back until the test lets them go, as a slow or hanging
// session service would.
class StandInScreenSaver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    // Offers the service on the bus; registered() tells whether that worked.
    explicit StandInScreenSaver(const PrivateSessionBus &bus);
    ~StandInScreenSaver() override;

    bool registered() const { return m_registered; }
    // Every call in the order it arrived; an Inhibit counts from its arrival, with the
    // cookie it is (or will be) answered with.
    QList<ScreenSaverCall> calls() const;
    // Cookies granted and not given back yet.
    QList<uint> outstanding() const;
    // Calls that gave back a cookie nobody held: never granted, or given back already.
    QList<ScreenSaverCall> strayUnInhibits() const;

    // From now on every Inhibit waits for its answer until answerHeldBack().
    void holdBackAnswers();
    // Sends the answers held back so far; they have left for the bus when this returns.
    void answerHeldBack();
    int answersHeldBack() const;

public slots:
    uint Inhibit(const QString &applicationName, const QString &reason);
    void UnInhibit(uint cookie);

private:
    QThread m_thread;
    QDBusConnection m_connection;
    mutable QMutex m_mutex;
    QList<ScreenSaverCall> m_calls;
    QList<QDBusMessage> m_heldBack;
    bool m_holdingBack = false;
    uint m_nextCookie = 41;
    bool m_registered = false;
};

} // namespace testsupport
