#pragma once

#include <QRect>

#include <functional>

// Whether a minimised operator window goes to the notification area, and what it keeps
// while there. Without a notification area (a bare X server) the window minimises the
// ordinary way, or nothing could bring it back; the desktop is asked at each minimise, as
// its panel may come up after a program started with the session.
class TrayMinimiser
{
public:
    using Availability = std::function<bool()>;

    explicit TrayMinimiser(Availability available) : m_available(std::move(available)) {}
    void setAvailability(Availability available) { m_available = std::move(available); }
    bool available() const { return m_available && m_available(); }

    bool inTray() const { return m_inTray; }
    // A minimise of the window with these bounds: true when it goes to the notification
    // area, which it then keeps the bounds of.
    bool minimise(const QRect &bounds);
    // The window is back, however it came.
    void restored() { m_inTray = false; }
    // The bounds the settings keep: in the notification area, those from before it.
    QRect boundsToKeep(const QRect &current) const { return m_inTray ? m_boundsBefore : current; }

private:
    Availability m_available;
    bool m_inTray = false;
    QRect m_boundsBefore;
};
