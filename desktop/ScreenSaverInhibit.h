#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

// One request to the desktop session not to blank the screen for being idle, through the
// freedesktop.org screen saver interface on the session bus. Where nobody on the bus offers
// that interface (no desktop, a bare X server) nothing is held and nothing is started.
class ScreenSaverInhibit
{
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
    // A session service answers at once; one that hangs must not hold the operator's window.
    static constexpr int kCallTimeoutMs = 1000;

    ScreenSaverInhibit(const QDBusConnection &bus, const QString &applicationName);
    ~ScreenSaverInhibit();
    ScreenSaverInhibit(const ScreenSaverInhibit &) = delete;
    ScreenSaverInhibit &operator=(const ScreenSaverInhibit &) = delete;

    // Asks once; holding already, it asks nothing more. Returns whether the session granted it.
    bool hold(const QString &reason);
    // Gives the granted request back; nothing to give back, nothing is sent.
    void release();
    bool held() const { return m_cookie.has_value(); }

private:
    QDBusConnection m_bus;
    QString m_applicationName;
    std::optional<uint> m_cookie;
};
