#include "content/BitmapHeader.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A file header and an info header of `infoSize` bytes, with sizes as that header keeps them.
QByteArray headers(quint32 infoSize, qint32 width, qint32 height, quint16 bits, quint32 compression = 0)
{
    QByteArray bytes(14 + int(infoSize), '\0');
    char *data = bytes.data();
    data[0] = 'B';
    data[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), data + 10);
    qToLittleEndian<quint32>(infoSize, data + 14);
    if (infoSize == 12) {
        qToLittleEndian<quint16>(quint16(width), data + 18);
        qToLittleEndian<quint16>(quint16(height), data + 20);
        qToLittleEndian<quint16>(bits, data + 24);
    } else {
        qToLittleEndian<qint32>(width, data + 18);
        qToLittleEndian<qint32>(height, data + 22);
        qToLittleEndian<quint16>(bits, data + 28);
        qToLittleEndian<quint32>(compression, data + 30);
    }
    return bytes;
}

TEST(BitmapHeader, TheBytesARowNeedIncludeItsPadding)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        qint64 needed;
    } cases[] = {
        {"24-bit, 3 pixels pad to 12 bytes a row", headers(40, 3, 2, 24), 54 + 2 * 12},
        {"rows running top down count the same", headers(40, 3, -2, 24), 54 + 2 * 12},
        {"1-bit, 33 pixels take two words", headers(40, 33, 1, 1), 54 + 8},
        {"bit fields are uncompressed", headers(108, 4, 4, 32, 3), 14 + 108 + 4 * 16},
        {"the oldest header has 16-bit sizes", headers(12, 10, 10, 8), 26 + 10 * 12},
        {"run-length rows cannot be counted", headers(40, 100, 100, 8, 1), 0},
    };
    for (const auto &c : cases) {
        const std::optional<BitmapHeader> header = BitmapHeader::read(c.bytes);
        ASSERT_TRUE(header.has_value()) << c.name;
        EXPECT_EQ(header->bytesNeeded(), c.needed) << c.name;
    }
}

TEST(BitmapHeader, WhatIsNoBitmapHasNoHeader)
{
    for (const QByteArray &bytes : {QByteArray(), QByteArray("BM"), QByteArray("PK\3\4") + QByteArray(60, '\0'),
                                    headers(40, 3, 2, 24).left(30), headers(20, 3, 2, 24)})
        EXPECT_FALSE(BitmapHeader::read(bytes).has_value()) << bytes.toHex().toStdString();
}

} // namespace
