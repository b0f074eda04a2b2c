#include "TitlePicture.h"

#include "BitmapHeader.h"
#include "JpegPicture.h"
#include "MetafilePicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <optional>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TitlePicture", text);
}

TitlePicture::Loaded failed(const QString &error)
{
    return TitlePicture::Loaded{TitlePicture(), error};
}

bool tooManyPixels(qint64 width, qint64 height)
{
    return width * height > JpegPicture::kMaxPixels;
}

TitlePicture::Loaded tooLarge(qint64 width, qint64 height)
{
    return failed(tr("Картинка слишком большая для титула (%1 x %2 точек). Уменьшите её в графическом редакторе.").arg(width).arg(height));
}

// A bitmap shorter than its rows would show blank rows: it is refused as damaged. The
// declared size is checked before any pixel memory is taken.
std::optional<QString> bitmapProblem(const QByteArray &bytes)
{
    const std::optional<BitmapHeader> header = BitmapHeader::read(bytes);
    if (!header)
        return tr("Файл не является картинкой BMP. Выберите другой файл.");
    if (tooManyPixels(header->width, header->height))
        return tooLarge(header->width, header->height).error;
    if (bytes.size() < header->bytesNeeded())
        return tr("Картинка BMP повреждена: файл кончается раньше последней строки. Выберите другой файл "
                  "или сохраните картинку заново.");
    return std::nullopt;
}

// Bitmaps and icons through Qt's own readers, with the same cap on the pixels as a JPEG.
TitlePicture::Loaded readWithQt(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize declared = reader.size();
    if (declared.isValid() && tooManyPixels(declared.width(), declared.height()))
        return tooLarge(declared.width(), declared.height());
    const QImage image = reader.read();
    if (image.isNull())
        return failed(tr("Картинка не читается. Выберите другой файл или сохраните картинку заново. (%1)").arg(reader.errorString()));
    return TitlePicture::Loaded{TitlePicture::fromImage(image), QString()};
}

TitlePicture::Loaded fromBitmap(const QByteArray &bytes)
{
    if (const std::optional<QString> problem = bitmapProblem(bytes))
        return failed(*problem);
    return readWithQt(bytes, "bmp");
}

TitlePicture::Loaded fromVector(const MetafilePicture::Result &converted)
{
    if (converted.svg.isEmpty())
        return failed(converted.error);
    TitlePicture picture = TitlePicture::fromSvg(converted.svg);
    if (picture.isNull())
        return failed(tr("Метафайл нельзя нарисовать. Выберите другой файл."));
    return TitlePicture::Loaded{picture, QString()};
}

} // namespace

TitlePicture TitlePicture::fromImage(const QImage &image)
{
    TitlePicture picture;
    picture.m_raster = image;
    return picture;
}

TitlePicture TitlePicture::fromJpeg(const QByteArray &bytes, QSize fullSize, const QImage &decoded, QSize band)
{
    TitlePicture picture = fromImage(decoded);
    picture.m_jpeg = bytes;
    picture.m_jpegSize = fullSize;
    picture.m_jpegEighths = JpegPicture::scaleEighths(fullSize, band);
    return picture;
}

TitlePicture TitlePicture::fromSvg(const QByteArray &svg)
{
    auto renderer = std::make_shared<QSvgRenderer>(svg);
    TitlePicture picture;
    if (renderer->isValid() && !renderer->viewBoxF().isEmpty())
        picture.m_vector = std::move(renderer);
    return picture;
}

quintptr TitlePicture::identity() const
{
    return m_vector ? reinterpret_cast<quintptr>(m_vector.get()) : static_cast<quintptr>(m_raster.cacheKey());
}

bool TitlePicture::isNull() const
{
    return m_raster.isNull() && !m_vector;
}

QSize TitlePicture::naturalSize() const
{
    if (m_vector) {
        const QSizeF box = m_vector->viewBoxF().size();
        return QSize(std::max(1, int(std::lround(box.width()))), std::max(1, int(std::lround(box.height()))));
    }
    return m_raster.size();
}

bool TitlePicture::isSharpFor(QSize band) const
{
    return m_jpeg.isEmpty() || band.isEmpty() || JpegPicture::scaleEighths(m_jpegSize, band) <= m_jpegEighths;
}

TitlePicture TitlePicture::decodedFor(QSize band) const
{
    if (m_jpeg.isEmpty() || band.isEmpty() || JpegPicture::scaleEighths(m_jpegSize, band) == m_jpegEighths)
        return *this;
    const JpegPicture::Result decoded = JpegPicture::decode(m_jpeg, band);
    if (decoded.image.isNull())
        return *this;
    return fromJpeg(m_jpeg, decoded.fullSize, decoded.image, band);
}

qint64 TitlePicture::keptBytes() const
{
    return m_jpeg.capacity() + m_raster.sizeInBytes();
}

QSize TitlePicture::fittedSize(QSize picture, QSize band)
{
    if (picture.isEmpty() || band.isEmpty())
        return QSize();
    QSize fitted = picture.scaled(band, Qt::KeepAspectRatio);
    // A thin picture in a wide band still shows as a line, not as nothing.
    return fitted.expandedTo(QSize(1, 1));
}

QImage TitlePicture::render(QSize band) const
{
    const QSize size = fittedSize(naturalSize(), band);
    if (size.isEmpty())
        return QImage();
    if (!m_vector) {
        if (size == m_raster.size())
            return m_raster;
        return m_raster.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_vector->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

TitlePicture::Loaded TitlePicture::fromBytes(PictureFormat format, const QByteArray &bytes, QSize band)
{
    if (bytes.isEmpty())
        return failed(tr("Файл картинки пуст. Выберите другой файл."));
    switch (format) {
    case PictureFormat::Jpeg: {
        const JpegPicture::Result decoded = JpegPicture::decode(bytes, band);
        if (decoded.image.isNull())
            return failed(decoded.error);
        return Loaded{fromJpeg(bytes, decoded.fullSize, decoded.image, band), QString()};
    }
    case PictureFormat::Bitmap: return fromBitmap(bytes);
    case PictureFormat::Icon: return readWithQt(bytes, "ico");
    case PictureFormat::EnhancedMetafile: return fromVector(MetafilePicture::emfToSvg(bytes));
    case PictureFormat::Metafile: return fromVector(MetafilePicture::wmfToSvg(bytes));
    case PictureFormat::Unknown: break;
    }
    return failed(tr("Формат картинки неизвестен. Выберите картинку JPEG, BMP, ICO, EMF или WMF."));
}

TitlePicture::Loaded TitlePicture::load(const QString &path, QSize band)
{
    const PictureFormat format = PictureFormats::ofPath(path);
    if (format == PictureFormat::Unknown)
        return failed(PictureFormats::unknownExtensionMessage(path));
    const QString shownPath = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(tr("Cannot open file \"%1\". %2").arg(shownPath, file.errorString()));
    if (file.size() > kMaxFileBytes)
        return failed(tr("Файл картинки слишком велик. Уменьшите картинку в графическом редакторе. «%1»").arg(shownPath));
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(tr("Файл картинки не читается. Проверьте диск или выберите другой файл. «%1» %2").arg(shownPath, file.errorString()));
    // Read into room for the largest file allowed; a JPEG keeps its bytes, not that room.
    bytes.squeeze();
    Loaded loaded = fromBytes(format, bytes, band);
    if (loaded.picture.isNull())
        loaded.error = QStringLiteral("%1: %2").arg(shownPath, loaded.error);
    return loaded;
}
