#include "PngWriter.h"

#include <QThread>
#include <QtEndian>
#include <zlib.h>
#include <array>
#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> made{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            made[n] = c;
        }
        return made;
    }();
    return table;
}

// The CRC-32 that every PNG chunk ends with, over its type and data.
quint32 chunkCrc(const char *bytes, qsizetype length)
{
    const auto &table = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < length; ++i)
        c = table[(c ^ quint8(bytes[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void appendBigEndian(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendChunk(QByteArray &out, const char type[4], const QByteArray &data)
{
    appendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    appendBigEndian(out, chunkCrc(out.constData() + start, out.size() - start));
}

QByteArray header(const QImage &rgb)
{
    QByteArray data;
    appendBigEndian(data, quint32(rgb.width()));
    appendBigEndian(data, quint32(rgb.height()));
    data.append(char(8)); // bits per sample
    data.append(char(2)); // colour type: RGB
    data.append(char(0)); // deflate
    data.append(char(0)); // adaptive filtering, each row saying its own filter
    data.append(char(0)); // not interlaced
    return data;
}

// Each row: its filter (0, none), then its samples as they are.
QByteArray rows(const QImage &rgb)
{
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    QByteArray raw(rgb.height() * (rowBytes + 1), Qt::Uninitialized);
    char *out = raw.data();
    for (int y = 0; y < rgb.height(); ++y) {
        *out++ = 0;
        std::memcpy(out, rgb.constScanLine(y), size_t(rowBytes));
        out += rowBytes;
    }
    return raw;
}

// One piece of the rows as raw deflate blocks. Every piece but the last ends on a byte
// boundary without closing the stream, so the pieces put one after the other make one
// stream: each is packed on its own, at the same time as the others.
QByteArray deflatePiece(const char *bytes, qsizetype length, bool last)
{
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(length))) + 16, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes));
    stream.avail_in = uInt(length);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return done ? out : QByteArray();
}

// The rows as a zlib stream, packed in as many pieces as the machine has cores.
QByteArray deflateRows(const QByteArray &raw, int pieces)
{
    struct Piece
    {
        QByteArray packed;
        uLong checksum = 1;
        qsizetype length = 0;
    };
    const qsizetype pieceLength = (raw.size() + pieces - 1) / pieces;
    std::vector<Piece> packed(static_cast<size_t>(pieces));
    const auto pack = [&](int index) {
        Piece &piece = packed[size_t(index)];
        const qsizetype start = std::min(raw.size(), index * pieceLength);
        piece.length = std::min(pieceLength, raw.size() - start);
        piece.packed = deflatePiece(raw.constData() + start, piece.length, index == pieces - 1);
        piece.checksum = adler32(1, reinterpret_cast<const Bytef *>(raw.constData() + start), uInt(piece.length));
    };
    std::vector<std::thread> helpers;
    for (int index = 1; index < pieces; ++index)
        helpers.emplace_back(pack, index);
    pack(0);
    for (std::thread &helper : helpers)
        helper.join();

    QByteArray stream("\x78\x01", 2); // deflate, 32 KB window, fastest level
    uLong checksum = packed.front().checksum;
    for (size_t index = 0; index < packed.size(); ++index) {
        const Piece &piece = packed[index];
        if (piece.packed.isEmpty())
            return {};
        stream.append(piece.packed);
        if (index > 0)
            checksum = adler32_combine(checksum, piece.checksum, z_off_t(piece.length));
    }
    appendBigEndian(stream, quint32(checksum));
    return stream;
}

} // namespace

QByteArray encodePng(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int pieces = std::clamp(QThread::idealThreadCount(), 1, 4);
    const QByteArray deflated = deflateRows(rows(rgb), rgb.height() >= 64 ? pieces : 1);
    if (deflated.isEmpty())
        return {};
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(deflated.size() + 64);
    appendChunk(png, "IHDR", header(rgb));
    appendChunk(png, "IDAT", deflated);
    appendChunk(png, "IEND", QByteArray());
    return png;
}
