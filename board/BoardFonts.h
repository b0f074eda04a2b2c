#pragma once

#include "platform/FontRecord.h"

class TLabel3D;

// A label's font, colour and character set, with the size in points.
BoardFont boardFontOf(const TLabel3D &label);

// Gives the label the font as it is, without fitting it to the label's box. A label whose
// size already reads as the font's points keeps its pixel size, so that a font taken from a
// label and handed back unchanged (the operator closing the font dialog with OK) leaves the
// label exactly as it was.
void applyBoardFont(TLabel3D &label, const BoardFont &font);
