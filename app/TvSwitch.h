#pragma once

// The TV switch of the operator window: off, on, or on while its monitor is gone, waiting
// for it to come back. It decides; the window shows or hides the TV board as told.
class TvSwitch
{
public:
    enum class State { Off, On, Waiting };
    // What the TV board's window has to do for a step.
    enum class Window { Keep, Show, Hide };

    State state() const { return m_state; }
    // Whether the TV counts as switched on, as the settings keep it: waiting is on.
    bool isOn() const { return m_state != State::Off; }

    // The operator switched it on. The window shows; whether it could is told by shown().
    Window switchOn() const;
    // The window showed (after switchOn(), or because it was on at the last exit).
    void shown() { m_state = State::On; }
    // The window showed or hid, whoever asked it to: shown, the TV is on; hidden while on,
    // it is off. A window hidden while waiting for its monitor still waits.
    void windowVisibilityChanged(bool visible);
    // The operator switched it off: the board hides, whether shown or waiting.
    Window switchOff();
    // The monitors changed; the TV's monitor is there or not. A TV that is on hides and
    // waits when it goes, and shows again, on whatever the last monitor now is, when it
    // comes back. A TV that is off stays off.
    Window monitorsChanged(bool tvMonitorPresent);

private:
    State m_state = State::Off;
};
