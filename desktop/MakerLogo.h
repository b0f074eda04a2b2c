#pragma once

#include <QPixmap>

// The maker's logo as the about window shows it: 230 x 62 pixels on a transparent
// background. Its lower left corner stays empty, because the icon panel of the about
// window overlaps it there.
QPixmap makerLogo();
