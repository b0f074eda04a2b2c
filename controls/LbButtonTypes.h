#pragma once

#include "platform/TColor.h"

#include <QObject>

// A colour property that is not set: the button then falls back to its other colours.
constexpr TColor clNone = 0x1FFFFFFF;

// The enumerations of the styled speed button, shared by the button, its painter and its
// colour presets.
namespace LbButtons {
Q_NAMESPACE

enum TLbSpeedButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
Q_ENUM_NS(TLbSpeedButtonStyle)

enum TLbSpeedButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TLbSpeedButtonLayout)

enum TLbColorStyle {
    lcsCustom,
    lcsGold,
    lcsChrome,
    lcsBlue,
    lcsRed,
    lcsUltraFlat1,
    lcsUltraFlat2,
    lcsUltraFlatXP,
    lcsAqua,
    lcsDefault,
    lcsQuicken
};
Q_ENUM_NS(TLbColorStyle)

// Hover steps: full hot colour at the top, the plain face at zero.
constexpr int kFullFadeLevel = 8;
// Milliseconds between two fade steps.
constexpr int kFadeStepMs = 30;

} // namespace LbButtons
