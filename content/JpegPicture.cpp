#include "JpegPicture.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
// After jpeglib.h: the message codes.
#include <jerror.h>

namespace JpegPicture {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps
// back to the decoder with the library's message. A warning that leaves pixels damaged or
// missing ends the decoding the same way, since the picture decoded past it is partly grey;
// the other warnings are passed over.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void failDecoding(j_common_ptr info)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Whether a warning of the library's (the JWRN_ codes in jerror.h) means that some pixels
// are not the file's. A code this list does not know counts as damage.
bool damagesPixels(int code)
{
    switch (code) {
    // Stray bytes between two segments, or after a scan's data before the next marker:
    // the library skips them to the marker. Cameras and editors write them; every pixel is
    // still decoded from its own data.
    case JWRN_EXTRANEOUS_DATA:
    // A JFIF header of an unknown major version: only the header's version number is odd,
    // the frame and scans are read as always.
    case JWRN_JFIF_MAJOR:
    // Odd spectral-selection or approximation fields in a sequential scan. Some baseline
    // writers leave them zero; the sequential decoder does not use them and decodes every
    // coefficient all the same.
    case JWRN_NOT_SEQUENTIAL:
    // An Adobe marker with an unknown colour transform and no JFIF header: the library takes
    // the data for YCbCr, as it does for any three-component file without a marker, and
    // decodes every pixel.
    case JWRN_ADOBE_XFORM:
    // Only jpeg_read_icc_profile() gives it, which this decoder does not call; a broken
    // colour profile leaves the pixels as they are anyway.
    case JWRN_BOGUS_ICC:
        return false;
    // The data ends early (JWRN_JPEG_EOF) or a marker cuts a scan short (JWRN_HIT_MARKER):
    // the rest is grey. Corrupt entropy data (JWRN_HUFF_BAD_CODE, JWRN_ARITH_BAD_CODE), a
    // lost restart marker (JWRN_MUST_RESYNC) and scans that contradict the earlier ones
    // (JWRN_BOGUS_PROGRESSION) leave wrong or missing blocks. Too many scanlines
    // (JWRN_TOO_MUCH_DATA) would be this decoder's own fault and is not let through either.
    default:
        return true;
    }
}

void noteMessage(j_common_ptr info, int level)
{
    if (level < 0 && damagesPixels(info->err->msg_code))
        failDecoding(info);
}

struct Header
{
    JDIMENSION width = 0;
    JDIMENSION height = 0;
};

// Only plain data lives in the frames between setjmp and longjmp, so the jump skips no
// destructor. Returns false with the message in `errors` on failure.
bool readHeader(jpeg_decompress_struct &info, ErrorManager &errors, const QByteArray &bytes, Header &header)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    header.width = info.image_width;
    header.height = info.image_height;
    return true;
}

bool startScaled(jpeg_decompress_struct &info, ErrorManager &errors, int eighths)
{
    if (setjmp(errors.jump))
        return false;
    info.scale_num = static_cast<unsigned>(eighths);
    info.scale_denom = 8;
    // Four bytes a pixel, the fourth 0xFF: the layout of QImage::Format_RGB32 in memory.
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    return true;
}

bool readLines(jpeg_decompress_struct &info, ErrorManager &errors, unsigned char *bits, qsizetype bytesPerLine)
{
    if (setjmp(errors.jump))
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = bits + qsizetype(info.output_scanline) * bytesPerLine;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

Result failure(const QString &message)
{
    return {QImage(), message, QSize()};
}

// The library's own words stay after ours, for whoever looks into the file.
QString libraryMessage(const ErrorManager &errors)
{
    return QStringLiteral("Картинка JPEG повреждена или это не JPEG. Выберите другой файл или сохраните картинку "
                          "заново. (%1)")
        .arg(QString::fromLocal8Bit(errors.message));
}

} // namespace

int scaleEighths(QSize picture, QSize band)
{
    if (band.isEmpty() || picture.isEmpty())
        return 8;
    const double fit = std::min(double(band.width()) / picture.width(), double(band.height()) / picture.height());
    return std::clamp(int(std::ceil(fit * 8 - 1e-9)), 1, 8);
}

Result decode(const QByteArray &bytes, QSize band)
{
    jpeg_decompress_struct info = {};
    ErrorManager errors = {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = failDecoding;
    errors.base.emit_message = noteMessage;
    jpeg_create_decompress(&info);

    Result result;
    Header header;
    if (!readHeader(info, errors, bytes, header)) {
        result = failure(libraryMessage(errors));
    } else if (qint64(header.width) * header.height > kMaxPixels) {
        result = failure(QStringLiteral("Картинка слишком большая для титула (%1 x %2 точек). Уменьшите её в графическом редакторе.").arg(header.width).arg(header.height));
    } else if (!startScaled(info, errors, scaleEighths(QSize(int(header.width), int(header.height)), band))) {
        result = failure(libraryMessage(errors));
    } else {
        QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
        if (image.isNull())
            result = failure(QStringLiteral("Для картинки не хватает памяти. Закройте другие программы или уменьшите картинку."));
        else if (!readLines(info, errors, image.bits(), image.bytesPerLine()))
            result = failure(libraryMessage(errors)); // no half picture reaches a board
        else
            result.image = image;
    }
    jpeg_destroy_decompress(&info);
    result.fullSize = QSize(int(header.width), int(header.height));
    return result;
}

Result load(const QString &path, QSize band)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    // A file larger than any sensible picture is refused before it is read into memory.
    if (file.size() > kMaxPixels * 3)
        return failure(QStringLiteral("Файл картинки слишком велик. Уменьшите картинку в графическом редакторе. «%1»").arg(QFileInfo(path).absoluteFilePath()));
    const Result result = decode(file.readAll(), band);
    if (result.image.isNull())
        return failure(QStringLiteral("%1: %2").arg(QFileInfo(path).absoluteFilePath(), result.error));
    return result;
}

} // namespace JpegPicture
