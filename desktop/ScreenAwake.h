#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;
class ScreenSaverInhibit;
class XScreenSaverSuspension;
struct xcb_connection_t;

// Keeps the screen awake while a window shows: the customers' board must not go black
// because nobody touches the operator's mouse. It asks the desktop session not to blank
// (D-Bus) and, on X11, suspends the server's own screen saver and DPMS; it gives both
// back when the window hides, is destroyed, or the program ends. Only the end waits for
// the session (see ScreenSaverInhibit).
class ScreenAwake : public QObject
{
    Q_OBJECT
public:
    // The session bus, and the X server the program runs on when its platform is X11.
    explicit ScreenAwake(QObject *parent = nullptr);
    // Where the requests go; tests give a private bus and an X server of their own.
    ScreenAwake(const QDBusConnection &bus, xcb_connection_t *xConnection, QObject *parent = nullptr);
    ~ScreenAwake() override;

    // From now on the screen stays awake exactly while this window shows.
    void follow(QWidget *window);
    // Return at once: the session's answer comes later.
    void hold();
    void release();
    // For the program's end (also when this object ends): gives everything back, waits
    // briefly until the session has it, and follows the window no more.
    void releaseBeforeExit();
    // Whether the screen is to stay awake; what each side granted is told apart.
    bool held() const { return m_held; }
    bool sessionInhibited() const;
    // The session is asked and has not answered yet.
    bool sessionAsking() const;
    bool xSuspended() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stopFollowing();

    std::unique_ptr<ScreenSaverInhibit> m_session;
    std::unique_ptr<XScreenSaverSuspension> m_x;
    QPointer<QWidget> m_window;
    bool m_held = false;
};
