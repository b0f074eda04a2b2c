#pragma once

#include <QByteArray>
#include <QImage>

// A picture as PNG, packed for speed rather than size: 8-bit RGB rows without filtering,
// deflated with run-length matching only. A board is black but for its texts, so the long
// runs shrink well all the same, in a fraction of the time a general PNG writer takes.
// A null picture gives an empty result.
QByteArray encodePng(const QImage &image);
