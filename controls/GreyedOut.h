#pragma once

#include <QImage>

// The disabled look of any button picture: the same picture in pale grey, its transparency
// kept, so that a disabled button never shows its colours.
QImage greyedOut(const QImage &image);
