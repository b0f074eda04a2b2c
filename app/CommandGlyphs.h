#pragma once

#include <QPixmap>

// Glyph strips of the operator window's command buttons: 64 x 32, two 32 x 32 images
// side by side (normal, disabled) on a transparent background.

// A question mark in a blue disc, for the help button.
QPixmap helpButtonGlyph();

// A lower-case "i" in a green disc, for the about button.
QPixmap infoButtonGlyph();
