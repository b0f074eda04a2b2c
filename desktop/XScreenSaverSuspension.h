#pragma once

struct xcb_connection_t;

// Suspends the X server's own screen saver and its display power management (DPMS) for
// one client connection, through the XScreenSaver extension. The server ends the
// suspension by itself when the connection closes, so a program that dies cannot leave
// the screen awake for good.
class XScreenSaverSuspension
{
public:
    // No connection (another platform than X11), or a server without the extension: there
    // is nothing to suspend, and nothing is sent.
    explicit XScreenSaverSuspension(xcb_connection_t *connection);
    ~XScreenSaverSuspension();
    XScreenSaverSuspension(const XScreenSaverSuspension &) = delete;
    XScreenSaverSuspension &operator=(const XScreenSaverSuspension &) = delete;

    // The server counts suspensions per client: each is sent once, and resumed once.
    bool hold();
    void release();
    bool held() const { return m_held; }
    bool available() const;

private:
    bool suspend(bool on);

    xcb_connection_t *m_connection;
    bool m_held = false;
};
