#pragma once

// The property setters of the board's controls store a value and repaint only when it
// differs from the one they hold. Returns whether it did.
template <typename T>
bool assignIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
