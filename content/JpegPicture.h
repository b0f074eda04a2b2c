#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// JPEG title pictures, decoded with libjpeg itself: a large photo is decoded near the size
// the board shows it at, a damaged file is an error with the library's own words instead of
// a grey half picture, and a file declaring an absurd size is refused before any memory is
// taken for it. Warnings that leave every pixel as the file has it (stray bytes before a
// marker, an odd header version) do not count as damage.
namespace JpegPicture {

// The most pixels a file may declare (a 100-megapixel camera's).
constexpr qint64 kMaxPixels = 100'000'000;

struct Result
{
    QImage image; // null on failure
    QString error;
    QSize fullSize; // what the file declares, once its header is read
};

// The decoding scale in eighths (1..8): the smallest one whose picture still covers what a
// picture of `picture` pixels becomes when it is fitted, proportions kept, into `band`.
// An empty band decodes at full size.
int scaleEighths(QSize picture, QSize band);

// Decodes the bytes of a JPEG file for a band of that size.
Result decode(const QByteArray &bytes, QSize band = QSize());

// Reads and decodes the file; a file that cannot be read names the path and the reason.
Result load(const QString &path, QSize band = QSize());

} // namespace JpegPicture
