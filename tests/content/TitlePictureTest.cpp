// Title pictures: told apart by extension, loaded from their files, and drawn fitted into
// the band.

#include "tests/TestSupport.h"
#include "content/PictureFormat.h"
#include "content/TitlePicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using testsupport::near;

// Left half red, right half blue: a picture whose proportions and orientation show.
QImage halves(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::blue);
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// A BMP header that declares a size but carries no pixels.
QByteArray bitmapDeclaring(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    auto put32 = [&bytes](int at, quint32 value) { qToLittleEndian(value, bytes.data() + at); };
    auto put16 = [&bytes](int at, quint16 value) { qToLittleEndian(value, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);
    put16(28, 24);
    return bytes;
}

class TitlePictureFiles : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST(PictureFormats, ExtensionsChooseTheFormatWhateverTheirCase)
{
    const struct
    {
        const char *path;
        PictureFormat format;
    } cases[] = {
        {"logo.jpg", PictureFormat::Jpeg},          {"/a/b/LOGO.JPEG", PictureFormat::Jpeg},
        {"logo.bmp", PictureFormat::Bitmap},        {"logo.Ico", PictureFormat::Icon},
        {"logo.emf", PictureFormat::EnhancedMetafile}, {"logo.WMF", PictureFormat::Metafile},
        {"logo.png", PictureFormat::Unknown},       {"logo", PictureFormat::Unknown},
        {"logo.jpg.txt", PictureFormat::Unknown},   {"folder.jpg/logo", PictureFormat::Unknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PictureFormats::ofPath(QString::fromUtf8(c.path)), c.format) << c.path;
}

TEST(PictureFormats, TheDialogOffersAllFormatsFirstThenEachOne)
{
    EXPECT_EQ(PictureFormats::dialogFilters(),
              QStringList({"All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)", "JPEG Image File (*.jpg *.jpeg)", "Bitmaps (*.bmp)",
                           "Icons (*.ico)", "Enhanced Metafiles (*.emf)", "Metafiles (*.wmf)"}));
}

TEST(PictureFormats, AnUnknownExtensionIsNamedWithoutItsDot)
{
    EXPECT_EQ(PictureFormats::unknownExtensionMessage("/tmp/logo.png"), "Unknown picture file extension (.png)");
    EXPECT_EQ(PictureFormats::unknownExtensionMessage("logo"), "Unknown picture file extension (.)");
}

TEST(TitlePicture, FittedSizeKeepsTheProportionsAndFillsOneSide)
{
    const struct
    {
        QSize picture, band, fitted;
    } cases[] = {
        {{600, 400}, {270, 96}, {144, 96}},      // height decides
        {{600, 100}, {270, 96}, {270, 45}},      // width decides
        {{100, 50}, {2160, 768}, {1536, 768}},   // a small picture grows
        {{10000, 1}, {270, 96}, {270, 1}},       // never thinner than a line
        {{600, 400}, {0, 96}, {}},               // no band, no picture
        {{}, {270, 96}, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TitlePicture::fittedSize(c.picture, c.band), c.fitted) << c.picture.width() << "x" << c.picture.height();
}

TEST(TitlePicture, RasterPicturesRenderFittedAndSmooth)
{
    const TitlePicture picture = TitlePicture::fromImage(halves(QSize(400, 100)));
    const QImage shown = picture.render(QSize(200, 96));
    ASSERT_EQ(shown.size(), QSize(200, 50));
    EXPECT_TRUE(near(shown.pixel(10, 25), Qt::red));
    EXPECT_TRUE(near(shown.pixel(190, 25), Qt::blue));
    // Smooth scaling blends the two halves where they meet.
    const QRgb seam = shown.pixel(100, 25);
    EXPECT_FALSE(near(seam, Qt::red) && near(seam, Qt::blue));
    EXPECT_TRUE(picture.render(QSize()).isNull());
    EXPECT_TRUE(TitlePicture().render(QSize(200, 96)).isNull());
}

TEST(TitlePicture, VectorPicturesRenderAtTheBandsSize)
{
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 10" width="40" height="10">
        <rect x="0" y="0" width="20" height="10" fill="#ff0000"/><rect x="20" y="0" width="20" height="10" fill="#0000ff"/></svg>)";
    const TitlePicture picture = TitlePicture::fromSvg(svg);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.naturalSize(), QSize(40, 10));
    // Far larger than the picture's own size, and still sharp at the seam.
    const QImage shown = picture.render(QSize(2160, 384));
    ASSERT_EQ(shown.size(), QSize(1536, 384));
    EXPECT_TRUE(near(shown.pixel(765, 200), Qt::red));
    EXPECT_TRUE(near(shown.pixel(770, 200), Qt::blue));
    EXPECT_TRUE(TitlePicture::fromSvg("<svg").isNull());
    EXPECT_TRUE(TitlePicture::fromSvg(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 0 0"/>)").isNull());
}

TEST_F(TitlePictureFiles, JpegBitmapAndIconFilesLoad)
{
    const QImage image = halves(QSize(64, 32));
    for (const auto &[name, format] : {std::pair{"logo.jpg", "JPEG"}, {"logo.bmp", "BMP"}, {"logo.ico", "ICO"}}) {
        const TitlePicture::Loaded loaded = TitlePicture::load(write(name, encoded(image, format)), QSize(270, 96));
        ASSERT_FALSE(loaded.picture.isNull()) << name << ": " << loaded.error.toStdString();
        EXPECT_TRUE(loaded.error.isEmpty());
        EXPECT_EQ(loaded.picture.naturalSize(), QSize(64, 32)) << name;
        const QImage shown = loaded.picture.render(QSize(128, 64));
        EXPECT_TRUE(near(shown.pixel(10, 32), Qt::red)) << name;
        EXPECT_TRUE(near(shown.pixel(118, 32), Qt::blue)) << name;
    }
}

TEST_F(TitlePictureFiles, ABigJpegIsDecodedNoLargerThanTheBandNeeds)
{
    const QString path = write("photo.jpeg", encoded(halves(QSize(1600, 800)), "JPEG"));
    const TitlePicture::Loaded loaded = TitlePicture::load(path, QSize(270, 96));
    ASSERT_FALSE(loaded.picture.isNull()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.picture.naturalSize(), QSize(200, 100));
}

// A photo is kept as its file's bytes and a decode for the band it fills, never whole: a
// 3000x2000 photo for a board's title holds a small part of its 24 MB full-size decode.
TEST_F(TitlePictureFiles, AJpegKeepsItsFileBytesAndADecodeForItsBandOnly)
{
    const QByteArray bytes = encoded(halves(QSize(3000, 2000)), "JPEG");
    const TitlePicture::Loaded loaded = TitlePicture::load(write("photo.jpg", bytes), QSize(540, 192));
    ASSERT_FALSE(loaded.picture.isNull()) << loaded.error.toStdString();
    const qint64 fullDecode = 3000 * 2000 * 4;
    const qint64 bandDecode = qint64(loaded.picture.naturalSize().width()) * loaded.picture.naturalSize().height() * 4;
    EXPECT_LT(bandDecode, fullDecode / 16);
    // The bytes themselves, not the room the file was read into.
    EXPECT_EQ(loaded.picture.keptBytes(), bytes.size() + bandDecode);
    // Grown to a 2160x720 band, it is a 3/8 decode: still far from the whole.
    const TitlePicture grown = loaded.picture.decodedFor(QSize(2160, 720));
    EXPECT_EQ(grown.naturalSize(), QSize(1125, 750));
    EXPECT_LT(grown.keptBytes(), fullDecode / 4);
}

// Decoded again for another band, a JPEG is what a load for that band gives, pixel for pixel;
// a band of the same scale decodes nothing.
TEST_F(TitlePictureFiles, AJpegDecodedForAnotherBandEqualsALoadForIt)
{
    const QString path = write("photo.jpg", encoded(halves(QSize(1600, 800)), "JPEG"));
    const struct
    {
        QSize from, to;
        bool decodesAgain;
    } cases[] = {
        {{270, 96}, {2160, 768}, true},  // a quarter... whole
        {{2160, 768}, {270, 96}, true},  // and back
        {{540, 192}, {560, 200}, false}, // 3/8 for both
        {{400, 400}, {0, 0}, false},     // no band: kept as it is
    };
    for (const auto &c : cases) {
        const TitlePicture first = TitlePicture::load(path, c.from).picture;
        ASSERT_FALSE(first.isNull());
        const TitlePicture again = first.decodedFor(c.to);
        EXPECT_EQ(again.identity() != first.identity(), c.decodesAgain) << c.to.width();
        EXPECT_EQ(first.isSharpFor(c.to), !c.decodesAgain || c.to.width() < c.from.width()) << c.to.width();
        if (c.to.isEmpty())
            continue;
        EXPECT_TRUE(again.isSharpFor(c.to));
        EXPECT_EQ(again.render(c.to), TitlePicture::load(path, c.to).picture.render(c.to)) << c.to.width();
    }
}

// Only a JPEG is decoded for its band: a metafile is drawn for every band and a bitmap kept
// whole, so they show sharp in any band as they are.
TEST_F(TitlePictureFiles, OtherPicturesAreSharpForEveryBand)
{
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 10"><rect width="40" height="10"/></svg>)";
    const TitlePicture bitmap = TitlePicture::load(write("logo.bmp", encoded(halves(QSize(64, 32)), "BMP")), QSize(32, 16)).picture;
    for (const TitlePicture &picture : {TitlePicture::fromSvg(svg), bitmap}) {
        ASSERT_FALSE(picture.isNull());
        EXPECT_TRUE(picture.isSharpFor(QSize(4320, 1536)));
        EXPECT_EQ(picture.decodedFor(QSize(4320, 1536)).identity(), picture.identity());
    }
}

TEST_F(TitlePictureFiles, BadFilesGiveAMessageAndNoPicture)
{
    const QImage image = halves(QSize(64, 32));
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *saying; // part of the message
    } cases[] = {
        {"empty.jpg", QByteArray(), "пуст"},
        {"png-renamed.jpg", encoded(image, "PNG"), "JPEG"},
        {"truncated.jpg", encoded(image, "JPEG").left(200), "JPEG"},
        {"garbage.bmp", QByteArray(300, 'x'), "не является картинкой BMP"},
        {"truncated.bmp", encoded(image, "BMP").left(1000), "кончается раньше последней строки"},
        {"header-only.bmp", encoded(image, "BMP").left(20), "не является картинкой BMP"},
        {"giant.bmp", bitmapDeclaring(60000, 60000), "60000 x 60000"},
        {"garbage.ico", QByteArray("\0\0\1\0\1\0garbage", 14), "не читается"},
        {"truncated.ico", encoded(image, "ICO").left(500), "не читается"},
        {"garbage.emf", QByteArray(300, 'x'), ""},
        {"garbage.wmf", QByteArray(300, 'x'), ""},
        {"logo.png", encoded(image, "PNG"), "Unknown picture file extension (.png)"},
    };
    for (const auto &c : cases) {
        const QString path = write(QString::fromUtf8(c.name), c.bytes);
        const TitlePicture::Loaded loaded = TitlePicture::load(path, QSize(270, 96));
        EXPECT_TRUE(loaded.picture.isNull()) << c.name;
        EXPECT_FALSE(loaded.error.isEmpty()) << c.name;
        EXPECT_TRUE(loaded.error.contains(QString::fromUtf8(c.saying), Qt::CaseInsensitive))
            << c.name << ": " << loaded.error.toStdString();
    }
}

TEST_F(TitlePictureFiles, AMissingFileIsNamedInTheMessage)
{
    const QString path = dir.filePath("gone.jpg");
    const TitlePicture::Loaded loaded = TitlePicture::load(path, QSize(270, 96));
    EXPECT_TRUE(loaded.picture.isNull());
    EXPECT_TRUE(loaded.error.contains(path)) << loaded.error.toStdString();
}

TEST_F(TitlePictureFiles, ANameWithoutAFolderIsLookedUpInTheWorkingDirectory)
{
    write("here.bmp", encoded(halves(QSize(8, 4)), "BMP"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const TitlePicture::Loaded loaded = TitlePicture::load("here.bmp", QSize(270, 96));
    QDir::setCurrent(previous);
    EXPECT_FALSE(loaded.picture.isNull()) << loaded.error.toStdString();
}

} // namespace
