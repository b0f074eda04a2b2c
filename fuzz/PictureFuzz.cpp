// Feeds arbitrary bytes to the JPEG title-picture decoder: whatever the bytes, it returns
// either a whole picture within the pixel cap or a message, never a crash. The first two
// bytes give the band the picture is decoded for, so that every decoding scale is reached.

#include "content/JpegPicture.h"

#include <QByteArray>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QSize band(data[0] * 16, data[1] * 8);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    const JpegPicture::Result result = JpegPicture::decode(bytes, band);
    const bool pictureOrMessage = result.image.isNull() != result.error.isEmpty();
    const bool withinCap = qint64(result.image.width()) * result.image.height() <= JpegPicture::kMaxPixels;
    if (!pictureOrMessage || !withinCap) {
        std::fprintf(stderr, "picture fuzz: %s\n", !pictureOrMessage ? "neither a picture nor a message" : "over the cap");
        std::abort();
    }
    return 0;
}
