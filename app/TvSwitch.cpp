#include "TvSwitch.h"

TvSwitch::Window TvSwitch::switchOn() const
{
    return m_state == State::On ? Window::Keep : Window::Show;
}

void TvSwitch::windowVisibilityChanged(bool visible)
{
    if (visible)
        m_state = State::On;
    else if (m_state == State::On)
        m_state = State::Off;
}

TvSwitch::Window TvSwitch::switchOff()
{
    if (m_state == State::Off)
        return Window::Keep;
    m_state = State::Off;
    return Window::Hide;
}

TvSwitch::Window TvSwitch::monitorsChanged(bool tvMonitorPresent)
{
    if (m_state == State::Off)
        return Window::Keep;
    if (tvMonitorPresent) {
        m_state = State::On;
        return Window::Show;
    }
    if (m_state == State::Waiting)
        return Window::Keep;
    m_state = State::Waiting;
    return Window::Hide;
}
