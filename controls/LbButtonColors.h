#pragma once

#include "LbButtonTypes.h"

#include <optional>

// The values a colour preset writes into a button.
struct LbColorPreset {
    TColor color;
    TColor lightColor;
    TColor shadowColor;
    TColor colorWhenDown;
    TColor hotTrackColor;
    TColor fontColor;
    bool flat;
    LbButtons::TLbSpeedButtonStyle style;
};

// The preset for a colour style; none for lcsCustom, which leaves the button as it is.
std::optional<LbColorPreset> colorPreset(LbButtons::TLbColorStyle colorStyle);
