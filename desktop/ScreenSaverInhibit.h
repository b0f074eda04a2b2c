#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

// One request to the desktop session not to blank the screen for being idle, through the
// freedesktop.org screen saver interface on the session bus. Where nobody on the bus offers
// that interface (no desktop, a bare X server) nothing is held and nothing is started.
//
// While the program runs nothing here waits for the session: the operator window's thread
// drives the customers' board, and a slow or hanging session service must not stall it. The
// request is sent and its cookie kept when the answer comes; a cookie that comes after the
// board has hidden is given back at once. Only the program's end waits, briefly, so that
// the last give-back reaches the bus before the process is gone.
class ScreenSaverInhibit : public QObject
{
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
    // A session service answers at once; the most the program's end waits for it in all.
    static constexpr int kExitWaitMs = 1000;

    ScreenSaverInhibit(const QDBusConnection &bus, const QString &applicationName, QObject *parent = nullptr);
    ~ScreenSaverInhibit() override;

    // Asks once and returns at once; granted or on its way already, it asks nothing more.
    // Returns whether a request is granted or on its way (false without a bus).
    bool hold(const QString &reason);
    // Gives the granted request back without waiting; one still on its way is given back
    // when its cookie comes. Nothing granted or asked, nothing is sent.
    void release();
    // As release(), for a program about to end: waits for an answer still on its way and
    // for the give-back to reach the session, at most kExitWaitMs in all.
    void releaseBeforeExit();

    // The session granted the request and it is not given back.
    bool held() const { return m_cookie.has_value(); }
    // A request is sent and its answer has not come yet.
    bool pending() const { return m_pending != nullptr; }

private:
    void inhibitAnswered();
    void takeAnswer(const QDBusPendingCallWatcher &answer);

    QDBusConnection m_bus;
    QString m_applicationName;
    std::optional<uint> m_cookie;
    // A child of this object, so that it cannot outlive it.
    QDBusPendingCallWatcher *m_pending = nullptr;
    // Whether the screen is to stay awake; decides what becomes of a cookie that comes late.
    bool m_wanted = false;
};
