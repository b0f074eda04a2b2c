// Feeds arbitrary bytes to the Windows Metafile (libwmf) converter: whatever the bytes, it returns
// either an SVG document that Qt can draw or a message, never both, never neither, and
// never a crash.

#include "MetafileCheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkMetafileResult(MetafilePicture::wmfToSvg(bytes), "wmf");
    return 0;
}
