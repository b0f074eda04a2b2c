#pragma once

#include <QByteArray>
#include <optional>

// What the headers of a BMP file declare. Qt's reader stops quietly at the end of a short
// file and hands back a picture whose missing rows are blank, so the title band checks the
// length itself before it shows a bitmap.
struct BitmapHeader
{
    qint64 width = 0;
    qint64 height = 0;  // rows, whichever way they run
    int bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 pixelOffset = 0;

    // The bytes the file needs to hold every row; 0 when the rows are compressed and their
    // length cannot be known from the header.
    qint64 bytesNeeded() const;

    // The headers of a BMP file; nullopt when the bytes are too short to hold them or are
    // not a bitmap.
    static std::optional<BitmapHeader> read(const QByteArray &bytes);
};
