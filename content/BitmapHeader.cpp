#include "BitmapHeader.h"

#include <QtEndian>
#include <cstdlib>

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kCoreHeaderSize = 12; // the oldest info header, with 16-bit sizes
constexpr quint32 kUncompressed = 0;
constexpr quint32 kBitFields = 3;
constexpr quint32 kAlphaBitFields = 6;

template<typename T>
T at(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

std::optional<BitmapHeader> BitmapHeader::read(const QByteArray &bytes)
{
    if (bytes.size() < kFileHeaderSize + 4 || !bytes.startsWith("BM"))
        return std::nullopt;
    BitmapHeader header;
    header.pixelOffset = at<quint32>(bytes, 10);
    const quint32 infoSize = at<quint32>(bytes, kFileHeaderSize);
    if (infoSize == kCoreHeaderSize) {
        if (bytes.size() < kFileHeaderSize + kCoreHeaderSize)
            return std::nullopt;
        header.width = at<quint16>(bytes, 18);
        header.height = at<quint16>(bytes, 20);
        header.bitsPerPixel = at<quint16>(bytes, 24);
        return header;
    }
    if (infoSize < 40 || bytes.size() < kFileHeaderSize + 40)
        return std::nullopt;
    header.width = std::llabs(at<qint32>(bytes, 18));
    header.height = std::llabs(at<qint32>(bytes, 22));
    header.bitsPerPixel = at<quint16>(bytes, 28);
    header.compression = at<quint32>(bytes, 30);
    return header;
}

qint64 BitmapHeader::bytesNeeded() const
{
    if (compression != kUncompressed && compression != kBitFields && compression != kAlphaBitFields)
        return 0;
    // Every row is padded to whole 32-bit words.
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelOffset + rowBytes * height;
}
