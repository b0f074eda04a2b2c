#include "XScreenSaverSuspension.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

XScreenSaverSuspension::XScreenSaverSuspension(xcb_connection_t *connection)
    : m_connection(connection)
{
}

XScreenSaverSuspension::~XScreenSaverSuspension()
{
    release();
}

bool XScreenSaverSuspension::available() const
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return false;
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(m_connection, &xcb_screensaver_id);
    return extension && extension->present;
}

bool XScreenSaverSuspension::hold()
{
    if (!m_held && available())
        m_held = suspend(true);
    return m_held;
}

void XScreenSaverSuspension::release()
{
    if (!m_held)
        return;
    m_held = false;
    if (available())
        suspend(false);
}

// Checked, so that a request the server refuses is not taken for one in effect.
bool XScreenSaverSuspension::suspend(bool on)
{
    xcb_generic_error_t *error = xcb_request_check(m_connection, xcb_screensaver_suspend_checked(m_connection, on ? 1 : 0));
    const bool accepted = error == nullptr;
    std::free(error);
    return accepted;
}
