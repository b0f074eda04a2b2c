#pragma once

#include <QPoint>
#include <array>

class TFrameCorvane;

// The font buttons are 28 x 20 and sit over the right-hand end of the field they set the
// font of, so they follow the preview's layout whenever it changes.
constexpr int kFontButtonWidth = 28;
constexpr int kFontButtonHeight = 20;

// Top-left corners of the font buttons bFont1..bFont9 (index 0..8) in the operator window's
// client coordinates, whose origin is the preview board's top-left corner.
std::array<QPoint, 9> fontButtonPlaces(const TFrameCorvane &preview);
