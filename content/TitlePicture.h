#pragma once

#include "PictureFormat.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QSvgRenderer;

// A picture for the title band, as loaded from its file: a raster picture (JPEG, bitmap,
// icon) or a vector one (a metafile, kept as SVG). Either is drawn at the size of the band
// it fills, so a metafile stays sharp on a large TV. A JPEG is decoded for the band it was
// loaded for and keeps its file's bytes, not a full-size decode, so that it can be decoded
// again when the band grows. Copies share the loaded picture.
class TitlePicture
{
public:
    struct Loaded;

    TitlePicture() = default;
    static TitlePicture fromImage(const QImage &image);
    // Null when the document does not render.
    static TitlePicture fromSvg(const QByteArray &svg);

    bool isNull() const;
    // The same for copies of one loaded picture and different for another picture, so a
    // view can tell whether what it shows has changed.
    quintptr identity() const;
    // The picture's own size in pixels (a metafile's view box).
    QSize naturalSize() const;

    // The picture scaled, proportions kept, to the largest size that fits `band`, smoothly.
    // Null for a null picture or an empty band.
    QImage render(QSize band) const;

    // Whether the picture as it is decoded shows sharp in a band of that size: not so a JPEG
    // decoded for a smaller band. Metafiles are drawn for every band, other rasters kept
    // whole, so they always are.
    bool isSharpFor(QSize band) const;
    // The picture as a fresh load for `band` would decode it: a JPEG decoded again from its
    // bytes when the band needs another scale; otherwise (or when the memory for it is
    // lacking) this same picture.
    TitlePicture decodedFor(QSize band) const;
    // The memory the picture holds: a JPEG's file bytes and its decode, or the raster.
    qint64 keptBytes() const;

    // The largest size of `picture` that fits `band` with its proportions kept.
    static QSize fittedSize(QSize picture, QSize band);

    // Loads a picture of a known format from the file's bytes, decoded for a band of that
    // size at the most (a JPEG is decoded at the smallest scale that still covers it).
    static Loaded fromBytes(PictureFormat format, const QByteArray &bytes, QSize band);
    // Loads the file named by `path`, its format told by the extension. A name without a
    // folder is looked up in the current working directory.
    static Loaded load(const QString &path, QSize band);

    // The largest file read at all: far beyond any logo or photo.
    static constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;

private:
    static TitlePicture fromJpeg(const QByteArray &bytes, QSize fullSize, const QImage &decoded, QSize band);

    QImage m_raster;
    std::shared_ptr<QSvgRenderer> m_vector;
    QByteArray m_jpeg;      // the file's bytes, for a JPEG
    QSize m_jpegSize;       // what the file declares
    int m_jpegEighths = 8;  // the scale m_raster is decoded at
};

struct TitlePicture::Loaded
{
    TitlePicture picture; // null on failure
    QString error;        // the reason, for the operator; empty on success
};
