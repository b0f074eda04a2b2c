// Feeds arbitrary bytes to the bitmap and icon loaders of the title band (Qt's readers behind
// the program's own checks): whatever the bytes, a whole picture within the pixel cap or a
// message, never a crash. The first byte chooses the format.

#include "content/JpegPicture.h"
#include "content/TitlePicture.h"

#include <QByteArray>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const PictureFormat format = data[0] % 2 ? PictureFormat::Icon : PictureFormat::Bitmap;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const TitlePicture::Loaded loaded = TitlePicture::fromBytes(format, bytes, QSize(270, 96));
    const QSize natural = loaded.picture.naturalSize();
    const bool pictureOrMessage = loaded.picture.isNull() != loaded.error.isEmpty();
    const bool withinCap = qint64(natural.width()) * natural.height() <= JpegPicture::kMaxPixels;
    if (!pictureOrMessage || !withinCap) {
        std::fprintf(stderr, "bitmap fuzz: %s\n", !pictureOrMessage ? "neither a picture nor a message" : "over the cap");
        std::abort();
    }
    return 0;
}
