#pragma once

#include <QIcon>

// The pictures of the operator window's push and tool buttons (the running-text tab, the TV
// switch), drawn for this program so that they read at 28 x 28 pixels on any desktop, with or
// without an icon theme. A disabled button shows its picture greyed.
namespace ButtonGlyphs {

enum class Glyph { Open, Save, Play, Stop, Delete, Replace, Add, TvOn, TvOff };

QIcon icon(Glyph glyph);

} // namespace ButtonGlyphs
