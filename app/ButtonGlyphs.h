#pragma once

#include <QIcon>

// The pictures of the running-text tab's buttons, drawn for this program so that they read
// at the buttons' 28 x 28 pixels on any desktop, with or without an icon theme.
namespace ButtonGlyphs {

enum class Glyph { Open, Save, Play, Stop, Delete, Replace, Add };

QIcon icon(Glyph glyph);

} // namespace ButtonGlyphs
