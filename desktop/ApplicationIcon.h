#pragma once

#include <QIcon>
#include <QList>

// The sizes the build draws the icon in, for themes and window managers that pick a
// bitmap rather than scale one.
QList<int> applicationIconSizes();

// The program's icon from its resources (":/corvane/"): the drawn bitmap where one of
// exactly the asked size exists, the SVG scaled for every other size.
QIcon applicationIcon();
