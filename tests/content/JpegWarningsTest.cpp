// Which of libjpeg's warnings refuse a title picture. Each case is a small file made here
// from a clean one by byte surgery, and the library itself is asked first which warning the
// file gives, so that every case shows the warning it is named after.

#include "content/JpegPicture.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>
#include <jpeglib.h>
// After jpeglib.h: the message codes.
#include <jerror.h>

namespace {

// A picture with edges and colours everywhere, so that a lost block shows in the pixels.
QImage sample()
{
    QImage image(96, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(30, 60, 200));
    painter.fillRect(8, 8, 40, 24, QColor(240, 200, 20));
    painter.setPen(Qt::white);
    painter.drawLine(0, 63, 95, 0);
    painter.drawEllipse(50, 20, 36, 36);
    return image;
}

struct Encoding
{
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0; // a restart marker after every that many rows of blocks
};

// The sample as libjpeg writes it: a JFIF header, then tables, the frame and the scans.
QByteArray encode(Encoding encoding)
{
    const QImage image = sample();
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors); // the library's own handler ends the test program
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (encoding.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = encoding.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = encoding.restartRows;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPROW>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

// The warnings libjpeg gives while decoding the whole file, in order.
struct WarningLog
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int codes[16];
    int count;
};

void logWarning(j_common_ptr info, int level)
{
    auto *log = reinterpret_cast<WarningLog *>(info->err);
    if (level < 0 && log->count < 16)
        log->codes[log->count++] = info->err->msg_code;
}

void stopDecoding(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<WarningLog *>(info->err)->jump, 1);
}

bool decodeLogging(jpeg_decompress_struct &info, WarningLog &log, const QByteArray &bytes, unsigned char *row)
{
    if (setjmp(log.jump))
        return false;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, &row, 1);
    jpeg_finish_decompress(&info);
    return true;
}

// Nothing when the library fails outright instead of warning.
std::optional<std::vector<int>> libraryWarnings(const QByteArray &bytes)
{
    jpeg_decompress_struct info = {};
    WarningLog log = {};
    info.err = jpeg_std_error(&log.base);
    log.base.emit_message = logWarning;
    log.base.error_exit = stopDecoding;
    jpeg_create_decompress(&info);
    std::vector<unsigned char> row(size_t(sample().width()) * 4 * 8);
    const bool decoded = decodeLogging(info, log, bytes, row.data());
    jpeg_destroy_decompress(&info);
    if (!decoded)
        return std::nullopt;
    return std::vector<int>(log.codes, log.codes + log.count);
}

// Where the marker `second` byte follows 0xFF, from `from` on; -1 when it does not.
qsizetype markerAt(const QByteArray &bytes, unsigned char second, qsizetype from = 0)
{
    return bytes.indexOf(QByteArray("\xFF", 1) + char(second), from);
}

qsizetype segmentLength(const QByteArray &bytes, qsizetype marker)
{
    return (qsizetype(uchar(bytes[marker + 2])) << 8 | uchar(bytes[marker + 3])) + 2;
}

// The first byte of the (last) scan's entropy-coded data, and where the file's EOI is.
qsizetype scanDataStart(const QByteArray &bytes)
{
    const qsizetype scan = bytes.lastIndexOf(QByteArray("\xFF\xDA", 2));
    return scan + segmentLength(bytes, scan);
}

qsizetype endOfImage(const QByteArray &bytes)
{
    return bytes.size() - 2;
}

// The byte of a start-of-scan segment that holds Ah and Al, for a scan of `components`.
qsizetype approximationByte(const QByteArray &bytes, qsizetype scan)
{
    const int components = uchar(bytes[scan + 4]);
    return scan + 5 + 2 * components + 2;
}

// ---- the byte surgery ----

QByteArray strayBytesBeforeTables(const QByteArray &clean)
{
    QByteArray bytes = clean;
    return bytes.insert(markerAt(bytes, 0xDB), QByteArray("\x00\x13\x37\x42", 4));
}

// Padding after the scan: more than the decoder reads ahead into its bit buffer.
QByteArray strayBytesBeforeTheEnd(const QByteArray &clean)
{
    QByteArray bytes = clean;
    return bytes.insert(endOfImage(bytes), QByteArray(64, '\0'));
}

QByteArray laterJfifVersion(const QByteArray &clean)
{
    QByteArray bytes = clean;
    bytes[markerAt(bytes, 0xE0) + 9] = char(2); // FF E0, length, "JFIF\0", then major.minor
    return bytes;
}

// Zeroes in Ss, Se, Ah and Al of the (sequential) scan.
QByteArray zeroedScanFields(const QByteArray &clean)
{
    QByteArray bytes = clean;
    const qsizetype scan = markerAt(bytes, 0xDA);
    const qsizetype approximation = approximationByte(bytes, scan);
    for (qsizetype at = approximation - 2; at <= approximation; ++at)
        bytes[at] = 0;
    return bytes;
}

// The JFIF header replaced by an Adobe one whose colour transform is 7, which no writer uses.
QByteArray unknownAdobeTransform(const QByteArray &clean)
{
    QByteArray bytes = clean;
    const qsizetype jfif = markerAt(bytes, 0xE0);
    const QByteArray adobe("\xFF\xEE\x00\x0E"
                           "Adobe\x00\x64\x00\x00\x00\x00\x07",
                           16);
    return bytes.replace(jfif, segmentLength(bytes, jfif), adobe);
}

QByteArray cutInsideTheScan(const QByteArray &clean)
{
    const qsizetype data = scanDataStart(clean);
    return clean.left(data + (endOfImage(clean) - data) / 2);
}

QByteArray scanCutShortByTheEnd(const QByteArray &clean)
{
    return cutInsideTheScan(clean) + QByteArray("\xFF\xD9", 2);
}

// A run of one bits, which no Huffman table assigns a code to, in the middle of the scan.
QByteArray onesInTheScan(const QByteArray &clean)
{
    QByteArray bytes = clean;
    const qsizetype middle = (scanDataStart(bytes) + endOfImage(bytes)) / 2;
    QByteArray ones;
    for (int i = 0; i < 8; ++i)
        ones += QByteArray("\xFF\x00", 2); // a stuffed 0xFF is eight one bits
    return bytes.replace(middle, ones.size(), ones);
}

// The second restart marker (RST1) renumbered: the decoder finds RST5 where RST1 belongs.
QByteArray renumberedRestart(const QByteArray &clean)
{
    QByteArray bytes = clean;
    bytes[markerAt(bytes, 0xD1, scanDataStart(bytes)) + 1] = char(0xD5);
    return bytes;
}

// The DC refinement scan claims a refinement of bit 2 when the first DC scan left bit 1.
QByteArray contradictingRefinement(const QByteArray &clean)
{
    QByteArray bytes = clean;
    for (qsizetype scan = markerAt(bytes, 0xDA); scan >= 0; scan = markerAt(bytes, 0xDA, scan + 2)) {
        const qsizetype approximation = approximationByte(bytes, scan);
        const bool dcRefinement = bytes[approximation - 2] == 0 && bytes[approximation] == char(0x10);
        if (dcRefinement) {
            bytes[approximation] = char(0x21);
            return bytes;
        }
    }
    ADD_FAILURE() << "no DC refinement scan";
    return bytes;
}

// Arithmetic-coded data rarely notices damage; the first of a few overwritten stretches that
// the library does notice is taken, always the same one for the same encoder.
QByteArray brokenArithmeticData(const QByteArray &clean)
{
    const qsizetype data = scanDataStart(clean);
    for (qsizetype at = data; at + 4 < endOfImage(clean); ++at) {
        for (const char *pattern : {"\x7F\xFF\x00\x7F", "\x00\x00\x00\x00", "\xFE\xFE\xFE\xFE"}) {
            QByteArray bytes = clean;
            bytes.replace(at, 4, QByteArray(pattern, 4));
            const std::optional<std::vector<int>> warnings = libraryWarnings(bytes);
            if (warnings && !warnings->empty() && warnings->front() == JWRN_ARITH_BAD_CODE)
                return bytes;
        }
    }
    ADD_FAILURE() << "no stretch of the arithmetic-coded data gives a bad-code warning";
    return clean;
}

struct WarningCase
{
    const char *name;
    Encoding encoding;
    std::function<QByteArray(const QByteArray &)> surgery;
    int warning;          // what the library says first about the file
    bool damagesPixels;   // whether the title refuses it
    const char *words;    // of the library's message, for a refused file
};

void PrintTo(const WarningCase &c, std::ostream *out)
{
    *out << c.name;
}

class JpegWarnings : public ::testing::TestWithParam<WarningCase>
{
};

TEST_P(JpegWarnings, OnlyWarningsThatLeaveBadPixelsRefuseThePicture)
{
    const WarningCase c = GetParam();
    const QByteArray clean = encode(c.encoding);
    ASSERT_EQ(libraryWarnings(clean), std::vector<int>());
    const QByteArray fixture = c.surgery(clean);
    ASSERT_NE(fixture, clean);
    const std::optional<std::vector<int>> warnings = libraryWarnings(fixture);
    ASSERT_TRUE(warnings && !warnings->empty()) << "the library fails outright or says nothing";
    EXPECT_EQ(warnings->front(), c.warning);

    const JpegPicture::Result result = JpegPicture::decode(fixture);
    if (c.damagesPixels) {
        EXPECT_TRUE(result.image.isNull());
        EXPECT_TRUE(result.error.contains(QLatin1String(c.words))) << result.error.toStdString();
        return;
    }
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());
    // Not one pixel differs from the clean file's.
    EXPECT_EQ(result.image, JpegPicture::decode(clean).image);
}

const Encoding kBaseline;
const Encoding kRestarts{false, false, 1};
const Encoding kProgressive{true, false, 0};
const Encoding kArithmetic{false, true, 0};

INSTANTIATE_TEST_SUITE_P(
    Fixtures, JpegWarnings,
    ::testing::Values(
        WarningCase{"StrayBytesBeforeTables", kBaseline, strayBytesBeforeTables, JWRN_EXTRANEOUS_DATA, false, ""},
        WarningCase{"StrayBytesBeforeTheEnd", kBaseline, strayBytesBeforeTheEnd, JWRN_EXTRANEOUS_DATA, false, ""},
        WarningCase{"LaterJfifVersion", kBaseline, laterJfifVersion, JWRN_JFIF_MAJOR, false, ""},
        WarningCase{"ZeroedScanFields", kBaseline, zeroedScanFields, JWRN_NOT_SEQUENTIAL, false, ""},
        WarningCase{"UnknownAdobeTransform", kBaseline, unknownAdobeTransform, JWRN_ADOBE_XFORM, false, ""},
        WarningCase{"FileEndsInsideTheScan", kBaseline, cutInsideTheScan, JWRN_JPEG_EOF, true,
                    "Premature end of JPEG file"},
        WarningCase{"ScanCutShortByAMarker", kBaseline, scanCutShortByTheEnd, JWRN_HIT_MARKER, true,
                    "premature end of data segment"},
        WarningCase{"CorruptHuffmanData", kBaseline, onesInTheScan, JWRN_HUFF_BAD_CODE, true, "bad Huffman code"},
        WarningCase{"LostRestartMarker", kRestarts, renumberedRestart, JWRN_MUST_RESYNC, true, "instead of RST1"},
        WarningCase{"ContradictingProgressiveScans", kProgressive, contradictingRefinement, JWRN_BOGUS_PROGRESSION,
                    true, "Inconsistent progression sequence"},
        WarningCase{"CorruptArithmeticData", kArithmetic, brokenArithmeticData, JWRN_ARITH_BAD_CODE, true,
                    "bad arithmetic code"}),
    [](const ::testing::TestParamInfo<WarningCase> &info) { return std::string(info.param.name); });

// A harmless warning does not hide damage further on: stray bytes and a cut scan together
// are still refused.
TEST(JpegWarnings, DamageAfterAHarmlessWarningStillRefuses)
{
    const QByteArray fixture = cutInsideTheScan(strayBytesBeforeTables(encode(kBaseline)));
    const std::optional<std::vector<int>> warnings = libraryWarnings(fixture);
    ASSERT_TRUE(warnings && warnings->size() >= 2);
    EXPECT_EQ(warnings->front(), JWRN_EXTRANEOUS_DATA);
    const JpegPicture::Result result = JpegPicture::decode(fixture);
    EXPECT_TRUE(result.image.isNull());
    EXPECT_TRUE(result.error.contains(QStringLiteral("Premature end of JPEG file"))) << result.error.toStdString();
}

} // namespace
