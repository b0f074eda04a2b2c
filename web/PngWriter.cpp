#include "PngWriter.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtEndian>
#include <zlib.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The CRC-32 that every PNG chunk ends with, over its type and data.
quint32 chunkCrc(const char *bytes, qsizetype length)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes), uInt(length)));
}

// The threads that pack the pieces of a picture: the pictures' own callers are on other
// pools, so a piece never waits behind the picture that waits for it.
Q_GLOBAL_STATIC(QThreadPool, pieceThreadPool)

QThreadPool &pieceThreads()
{
    return *pieceThreadPool();
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

// One row as the file stores it: its filter (0, none), then red, green and blue of each
// pixel.
void putRow(const QImage &rgb32, int y, char *out)
{
    *out++ = 0;
    const auto *pixel = reinterpret_cast<const QRgb *>(rgb32.constScanLine(y));
    for (int x = 0; x < rgb32.width(); ++x) {
        *out++ = char(qRed(pixel[x]));
        *out++ = char(qGreen(pixel[x]));
        *out++ = char(qBlue(pixel[x]));
    }
}

// Rows [first, end) as raw deflate blocks, each row made and packed in turn, so that no
// copy of the whole picture is held. Every piece but the last ends on a byte boundary
// without closing the stream, so the pieces put one after the other make one stream: each
// is packed on its own, at the same time as the others. `checksum` is the rows' Adler-32.
QByteArray deflatePiece(const QImage &rgb32, int first, int end, bool last, uLong &checksum)
{
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray row(qsizetype(rgb32.width()) * 3 + 1, Qt::Uninitialized);
    QByteArray out(64 * 1024, Qt::Uninitialized);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    bool done = false;
    checksum = adler32(0, nullptr, 0);
    for (int y = first; y < end; ++y) {
        putRow(rgb32, y, row.data());
        checksum = adler32(checksum, reinterpret_cast<const Bytef *>(row.constData()), uInt(row.size()));
        stream.next_in = reinterpret_cast<Bytef *>(row.data());
        stream.avail_in = uInt(row.size());
        const int flush = y + 1 < end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
        int result = Z_OK;
        do {
            if (stream.avail_out == 0) {
                out.resize(out.size() * 2);
                stream.next_out = reinterpret_cast<Bytef *>(out.data()) + stream.total_out;
                stream.avail_out = uInt(out.size() - qsizetype(stream.total_out));
            }
            result = deflate(&stream, flush);
        } while (stream.avail_out == 0 && result != Z_STREAM_ERROR);
        done = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
        if (!done)
            break;
    }
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return done ? out : QByteArray();
}

// The rows as a zlib stream, packed in `pieces` pieces at once.
QByteArray deflateRows(const QImage &rgb32, int pieces)
{
    struct Piece
    {
        QByteArray packed;
        uLong checksum = 1;
        qsizetype length = 0;
    };
    const int height = rgb32.height();
    const int pieceRows = (height + pieces - 1) / pieces;
    const qsizetype rowLength = qsizetype(rgb32.width()) * 3 + 1;
    std::vector<Piece> packed(static_cast<size_t>(pieces));
    const auto pack = [&](int index) {
        Piece &piece = packed[size_t(index)];
        const int first = std::min(height, index * pieceRows);
        const int end = std::min(height, first + pieceRows);
        piece.length = rowLength * (end - first);
        piece.packed = deflatePiece(rgb32, first, end, index == pieces - 1, piece.checksum);
    };
    QSemaphore packedElsewhere;
    for (int index = 1; index < pieces; ++index) {
        pieceThreads().start([&pack, &packedElsewhere, index] {
            pack(index);
            packedElsewhere.release();
        });
    }
    pack(0);
    packedElsewhere.acquire(pieces - 1);

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

int defaultPngPieces()
{
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

QByteArray encodePng(const QImage &image, int pieces)
{
    if (image.isNull())
        return {};
    // A board is drawn in RGB32 already; anything else is brought to it once.
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    // A piece is a run of whole rows; a small picture is not worth splitting.
    const int wanted = pieces > 0 ? pieces : rgb.height() >= 64 ? defaultPngPieces() : 1;
    const QByteArray deflated = deflateRows(rgb, std::min(wanted, rgb.height()));
    if (deflated.isEmpty())
        return {};
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(deflated.size() + 64);
    appendChunk(png, "IHDR", header(rgb));
    appendChunk(png, "IDAT", deflated);
    appendChunk(png, "IEND", QByteArray());
    return png;
}
