#include "LbButtonColors.h"

#include <array>

using namespace LbButtons;

namespace {

// Indexed by TLbColorStyle from lcsGold on; values are 0x00BBGGRR.
constexpr std::array<LbColorPreset, 10> kPresets = {{
    {0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, clBlack, false, bsModern},   // lcsGold
    {0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, clBlack, false, bsModern},     // lcsChrome
    {0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, clBlack, false, bsModern},     // lcsBlue
    {0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, clBlack, false, bsModern},     // lcsRed
    {clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, clBlack, true, bsNormal}, // lcsUltraFlat1
    {clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, clBlack, true, bsNormal}, // lcsUltraFlat2
    {0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, clBlack, true, bsNormal},  // lcsUltraFlatXP
    {0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, clBlack, false, bsModern},     // lcsAqua
    {clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, clBlack, false, bsNormal},    // lcsDefault
    {0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, clWhite, false, bsQuicken}, // lcsQuicken
}};

} // namespace

std::optional<LbColorPreset> colorPreset(TLbColorStyle colorStyle)
{
    const int index = static_cast<int>(colorStyle) - static_cast<int>(lcsGold);
    if (index < 0 || index >= static_cast<int>(kPresets.size()))
        return std::nullopt;
    return kPresets[static_cast<std::size_t>(index)];
}
