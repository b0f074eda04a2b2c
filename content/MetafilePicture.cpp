#include "MetafilePicture.h"

#include <QRect>
#include <QRectF>
#include <QSvgRenderer>
#include <QtEndian>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace MetafilePicture {

namespace {

// Limits far beyond any title picture, so that a damaged header cannot make a library
// allocate or loop without end.
constexpr qsizetype kMaxFileBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxRecords = 1'000'000;
// The widest drawing accepted, in the header's own units (device pixels or 0.01 mm).
constexpr qint64 kMaxExtent = 1 << 20;

// What the walk over the records found: the bytes up to and including the end-of-file
// record, which is all a library is given, or the reason the file is refused.
struct Walk
{
    qsizetype length = 0;
    quint32 largestRecordWords = 0; // WMF only
    QString problem;
};

Walk refusal(const QString &problem)
{
    Walk walk;
    walk.problem = problem;
    return walk;
}

quint16 u16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

qint16 i16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<qint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

qint32 i32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

bool sensibleExtent(qint64 low, qint64 high)
{
    return high > low && high - low <= kMaxExtent;
}

QString damaged(const QString &reason)
{
    return QStringLiteral("Метафайл повреждён (%1). Выберите другой файл или сохраните рисунок заново.").arg(reason);
}

Result failure(const QString &error)
{
    return Result{QByteArray(), error};
}

// Callers draw the result without checking it again, so a document Qt cannot draw at a
// size is a failure here.
Result checkedSvg(QByteArray svg)
{
    if (svg.isEmpty())
        return failure(QStringLiteral("Метафайл не удалось превратить в рисунок. Выберите другой файл или сохраните рисунок заново."));
    const QSvgRenderer renderer(svg);
    const QRectF box = renderer.viewBoxF();
    const bool finite = std::isfinite(box.x()) && std::isfinite(box.y()) && std::isfinite(box.width())
                        && std::isfinite(box.height());
    if (!renderer.isValid() || !finite || box.isEmpty())
        return failure(QStringLiteral("Рисунок из метафайла нельзя показать. Выберите другой файл или сохраните рисунок заново."));
    return Result{svg, QString()};
}

// --- Enhanced Metafile ---------------------------------------------------------------------

constexpr quint32 kEmrHeader = 1;
constexpr quint32 kEmrEof = 14;
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr qsizetype kEmfHeaderBytes = 88;

// The description and the pixel format, when the header has them, must lie inside it.
bool insideHeader(quint32 offset, qint64 bytes, quint32 headerBytes)
{
    return bytes == 0 || (offset >= kEmfHeaderBytes && offset + bytes <= headerBytes);
}

QString emfHeaderProblem(const QByteArray &bytes)
{
    const quint32 headerBytes = u32(bytes, 4);
    if (headerBytes < kEmfHeaderBytes || headerBytes % 4 != 0 || headerBytes > quint64(bytes.size()))
        return damaged(QStringLiteral("заголовок невозможной длины"));
    if (!sensibleExtent(i32(bytes, 8), i32(bytes, 16)) || !sensibleExtent(i32(bytes, 12), i32(bytes, 20)))
        return damaged(QStringLiteral("заголовок задаёт пустой или слишком большой рисунок"));
    if (!sensibleExtent(i32(bytes, 24), i32(bytes, 32)) || !sensibleExtent(i32(bytes, 28), i32(bytes, 36)))
        return damaged(QStringLiteral("заголовок задаёт пустую или слишком большую рамку"));
    if (i32(bytes, 72) <= 0 || i32(bytes, 76) <= 0 || i32(bytes, 80) <= 0 || i32(bytes, 84) <= 0)
        return damaged(QStringLiteral("в заголовке нет устройства отсчёта"));
    if (!insideHeader(u32(bytes, 64), qint64(u32(bytes, 60)) * 2, headerBytes))
        return damaged(QStringLiteral("описание лежит за пределами заголовка"));
    if (headerBytes >= 100 && !insideHeader(u32(bytes, 92), u32(bytes, 88), headerBytes))
        return damaged(QStringLiteral("формат точек лежит за пределами заголовка"));
    return QString();
}

Walk walkEmf(const QByteArray &bytes)
{
    if (bytes.size() < kEmfHeaderBytes || u32(bytes, 0) != kEmrHeader || u32(bytes, 40) != kEmfSignature)
        return refusal(QStringLiteral("Файл не является метафайлом EMF. Выберите файл с рисунком EMF."));
    if (const QString problem = emfHeaderProblem(bytes); !problem.isEmpty())
        return refusal(problem);
    qsizetype at = 0;
    for (qint64 count = 1; count <= kMaxRecords; ++count) {
        if (bytes.size() - at < 8)
            return refusal(damaged(QStringLiteral("файл кончается раньше последней записи")));
        const quint32 type = u32(bytes, at);
        const quint32 size = u32(bytes, at + 4);
        if (size < 8 || size % 4 != 0)
            return refusal(damaged(QStringLiteral("запись %1 невозможной длины %2").arg(count).arg(size)));
        if (size > quint64(bytes.size() - at))
            return refusal(damaged(QStringLiteral("запись %1 выходит за конец файла").arg(count)));
        if (count > 1 && type == kEmrHeader)
            return refusal(damaged(QStringLiteral("второй заголовок")));
        at += size;
        if (type == kEmrEof)
            return Walk{at, 0, QString()};
    }
    return refusal(damaged(QStringLiteral("больше %1 записей").arg(kMaxRecords)));
}

// libemf2svg reads a description of no declared length up to a terminating zero, past the
// end of the file if need be; such a description is dropped.
QByteArray withoutDanglingDescription(QByteArray records)
{
    if (u32(records, 60) == 0)
        qToLittleEndian<quint32>(0, records.data() + 64);
    return records;
}

// An empty namespace gives plain SVG element names, which is what Qt reads.
Result convertEmf(QByteArray records)
{
    char noNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = noNamespace;
    options.verbose = false;
    // EMF+ records repeat the plain drawing in files that carry both; the plain one is enough.
    options.emfplus = false;
    options.svgDelimiter = true;
    char *out = nullptr;
    size_t outLength = 0;
    const int status = emf2svg(records.data(), size_t(records.size()), &out, &outLength, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
    if (status == 0 || out == nullptr)
        return failure(damaged(QStringLiteral("преобразователь не прочёл записи")));
    return checkedSvg(QByteArray(out, qsizetype(outLength)));
}

// --- Windows Metafile ----------------------------------------------------------------------

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableBytes = 22;
constexpr qsizetype kWmfHeaderBytes = 18;
constexpr quint16 kMetaEof = 0;

// Where the metafile header starts (after the placeable header, if there is one), or -1 with
// the problem when the placeable header is unusable.
qsizetype wmfHeaderStart(const QByteArray &bytes, QString *problem)
{
    if (bytes.size() < 4 || u32(bytes, 0) != kPlaceableKey)
        return 0;
    if (bytes.size() < kPlaceableBytes + kWmfHeaderBytes) {
        *problem = damaged(QStringLiteral("файл кончается внутри заголовка"));
        return -1;
    }
    if (!sensibleExtent(i16(bytes, 6), i16(bytes, 10)) || !sensibleExtent(i16(bytes, 8), i16(bytes, 12))
        || u16(bytes, 14) == 0) {
        *problem = damaged(QStringLiteral("заголовок задаёт пустой рисунок"));
        return -1;
    }
    return kPlaceableBytes;
}

bool isWmfHeader(const QByteArray &bytes, qsizetype at)
{
    if (bytes.size() - at < kWmfHeaderBytes)
        return false;
    const quint16 type = u16(bytes, at);
    const quint16 version = u16(bytes, at + 4);
    return (type == 1 || type == 2) && u16(bytes, at + 2) == 9 && (version == 0x0100 || version == 0x0300);
}

constexpr quint16 kMetaSetWindowOrg = 0x020B;
constexpr quint16 kMetaSetWindowExt = 0x020C;

Walk walkWmfRecords(const QByteArray &bytes, qsizetype at)
{
    quint32 largest = 0;
    for (qint64 count = 1; count <= kMaxRecords; ++count) {
        if (bytes.size() - at < 6)
            return refusal(damaged(QStringLiteral("файл кончается раньше последней записи")));
        const quint32 words = u32(bytes, at);
        const quint16 function = u16(bytes, at + 4);
        if (words < 3)
            return refusal(damaged(QStringLiteral("запись %1 невозможной длины %2").arg(count).arg(words)));
        if (qint64(words) * 2 > bytes.size() - at)
            return refusal(damaged(QStringLiteral("запись %1 выходит за конец файла").arg(count)));
        largest = std::max(largest, words);
        at += qsizetype(words) * 2;
        if (function == kMetaEof)
            return Walk{at, largest, QString()};
    }
    return refusal(damaged(QStringLiteral("больше %1 записей").arg(kMaxRecords)));
}

Walk walkWmf(const QByteArray &bytes)
{
    QString problem;
    const qsizetype start = wmfHeaderStart(bytes, &problem);
    if (start < 0)
        return refusal(problem);
    if (!isWmfHeader(bytes, start))
        return refusal(start == 0 ? QStringLiteral("Файл не является метафайлом WMF. Выберите файл с рисунком WMF.")
                                  : damaged(QStringLiteral("нет заголовка метафайла")));
    return walkWmfRecords(bytes, start + kWmfHeaderBytes);
}

// The drawing's window as the file's first window records set it up: origin, then extent.
QRect firstWindow(const QByteArray &bytes, qsizetype at, qsizetype end)
{
    QPoint origin;
    while (at < end) {
        const qsizetype next = at + qsizetype(u32(bytes, at)) * 2;
        const quint16 function = u16(bytes, at + 4);
        if (function == kMetaSetWindowOrg && next - at >= 10)
            origin = QPoint(i16(bytes, at + 8), i16(bytes, at + 6));
        if (function == kMetaSetWindowExt && next - at >= 10)
            return QRect(origin, QSize(i16(bytes, at + 8), i16(bytes, at + 6))).normalized();
        at = next;
    }
    return QRect();
}

QByteArray placeableHeaderFor(QRect window)
{
    QByteArray header(kPlaceableBytes, '\0');
    char *data = header.data();
    qToLittleEndian<quint32>(kPlaceableKey, data);
    const qint16 box[] = {qint16(window.left()), qint16(window.top()), qint16(window.left() + window.width()),
                          qint16(window.top() + window.height())};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<qint16>(box[i], data + 6 + 2 * i);
    qToLittleEndian<quint16>(96, data + 14);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(data + i);
    qToLittleEndian<quint16>(checksum, data + 20);
    return header;
}

// Without a placeable header libwmf sizes the picture from its own device space, which
// distorts it; the window the file draws into gives its true proportions.
QByteArray withPlaceableHeader(const QByteArray &bytes)
{
    if (u32(bytes, 0) == kPlaceableKey)
        return bytes;
    const QRect window = firstWindow(bytes, kWmfHeaderBytes, bytes.size());
    const bool fits = window.left() >= -32768 && window.top() >= -32768 && window.left() + window.width() <= 32767
                      && window.top() + window.height() <= 32767;
    if (window.width() <= 0 || window.height() <= 0 || !fits)
        return bytes;
    return placeableHeaderFor(window) + bytes;
}

// libwmf sizes its record buffer from the header's file and record sizes without checking
// them against the records, so the copy it reads carries the sizes the walk measured.
QByteArray withMeasuredSizes(const QByteArray &bytes, const Walk &walk)
{
    QByteArray copy = bytes.left(walk.length);
    const qsizetype header = u32(copy, 0) == kPlaceableKey ? kPlaceableBytes : 0;
    qToLittleEndian<quint32>(quint32((walk.length - header) / 2), copy.data() + header + 6);
    qToLittleEndian<quint32>(walk.largestRecordWords, copy.data() + header + 12);
    return copy;
}

QString wmfErrorText(wmf_error_t error)
{
    switch (error) {
    case wmf_E_None: return QString();
    case wmf_E_InsMem: return QStringLiteral("Для метафайла не хватает памяти. Закройте другие программы и попробуйте снова.");
    case wmf_E_EOF: return damaged(QStringLiteral("файл кончается посреди записи"));
    case wmf_E_DeviceError: return QStringLiteral("Метафайл не удалось нарисовать (SVG). Выберите другой файл.");
    // Reading from memory, the only file the library opens is a font.
    case wmf_E_BadFile: return QStringLiteral("Для метафайла не найдены шрифты: установите пакет fonts-urw-base35.");
    default: return damaged(QStringLiteral("преобразователь не прочёл записи"));
    }
}

struct WmfApiDeleter
{
    void operator()(wmfAPI *api) const { wmf_api_destroy(api); }
};
using WmfApi = std::unique_ptr<wmfAPI, WmfApiDeleter>;

// The library's own messages would go to stderr; its error codes become ours instead.
WmfApi createWmfApi()
{
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI *api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return WmfApi();
    }
    return WmfApi(api);
}

// Plays the metafile into an SVG document held in memory.
Result playWmf(wmfAPI *api)
{
    wmfD_Rect box{};
    if (const wmf_error_t error = wmf_scan(api, 0, &box); error != wmf_E_None)
        return failure(wmfErrorText(error));
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_display_size(api, &width, &height, 72, 72) != wmf_E_None || width == 0 || height == 0
        || width > kMaxExtent || height > kMaxExtent)
        return failure(damaged(QStringLiteral("задан пустой или слишком большой рисунок")));
    wmf_svg_t *device = WMF_SVG_GetData(api);
    device->out = wmf_stream_create(api, nullptr);
    if (device->out == nullptr)
        return failure(wmfErrorText(wmf_E_InsMem));
    device->bbox = box;
    device->width = width;
    device->height = height;
    // Pictures inside the metafile go into the document instead of files beside it.
    device->flags |= WMF_SVG_INLINE_IMAGES;
    const wmf_error_t error = wmf_play(api, 0, &box);
    char *buffer = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api, device->out, &buffer, &length);
    device->out = nullptr;
    const QByteArray svg(buffer, qsizetype(length));
    wmf_free(api, buffer);
    if (error != wmf_E_None)
        return failure(wmfErrorText(error));
    return checkedSvg(svg);
}

Result convertWmf(QByteArray metafile)
{
    const WmfApi api = createWmfApi();
    if (!api)
        return failure(QStringLiteral("Преобразователь метафайлов не запустился. Попробуйте ещё раз или выберите другой файл."));
    const auto data = reinterpret_cast<unsigned char *>(metafile.data());
    if (const wmf_error_t error = wmf_mem_open(api.get(), data, long(metafile.size())); error != wmf_E_None)
        return failure(wmfErrorText(error));
    return playWmf(api.get());
}

// Both kinds refuse an empty file, and one beyond the size cap, before any walk.
QString lengthProblem(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("Файл пуст. Выберите другой файл.");
    if (bytes.size() > kMaxFileBytes)
        return QStringLiteral("Метафайл больше 64 МБ. Выберите файл поменьше.");
    return QString();
}

} // namespace

Result emfToSvg(const QByteArray &bytes)
{
    if (const QString problem = lengthProblem(bytes); !problem.isEmpty())
        return failure(problem);
    const Walk walk = walkEmf(bytes);
    if (!walk.problem.isEmpty())
        return failure(walk.problem);
    return convertEmf(withoutDanglingDescription(bytes.left(walk.length)));
}

Result wmfToSvg(const QByteArray &bytes)
{
    if (const QString problem = lengthProblem(bytes); !problem.isEmpty())
        return failure(problem);
    const Walk walk = walkWmf(bytes);
    if (!walk.problem.isEmpty())
        return failure(walk.problem);
    return convertWmf(withPlaceableHeader(withMeasuredSizes(bytes, walk)));
}

} // namespace MetafilePicture
