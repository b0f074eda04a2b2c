#include "tests/TestSupport.h"
#include "content/JpegPicture.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::near;

// A picture with four coloured quarters, saved as JPEG by Qt's own writer.
QByteArray quartersJpeg(QSize size, int quality = 95)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::white);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

TEST(JpegPicture, DecodesAtFullSizeWithTheRightColours)
{
    const JpegPicture::Result result = JpegPicture::decode(quartersJpeg(QSize(320, 200)));
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    EXPECT_EQ(result.image.size(), QSize(320, 200));
    EXPECT_TRUE(near(result.image.pixel(40, 40), Qt::red));
    EXPECT_TRUE(near(result.image.pixel(280, 40), Qt::green));
    EXPECT_TRUE(near(result.image.pixel(40, 160), Qt::blue));
    EXPECT_TRUE(near(result.image.pixel(280, 160), Qt::white));
    EXPECT_EQ(qAlpha(result.image.pixel(0, 0)), 255);
}

// The decoded picture is the smallest libjpeg can make that still covers what the band
// shows of it.
struct ScaleCase
{
    QSize picture;
    QSize band;
    int eighths;
};

class JpegScale : public ::testing::TestWithParam<ScaleCase>
{
};

TEST_P(JpegScale, ChoosesTheSmallestCoveringScale)
{
    const ScaleCase c = GetParam();
    EXPECT_EQ(JpegPicture::scaleEighths(c.picture, c.band), c.eighths);
    const JpegPicture::Result result = JpegPicture::decode(quartersJpeg(c.picture), c.band);
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    const double fit = std::min(double(c.band.width()) / c.picture.width(), double(c.band.height()) / c.picture.height());
    if (!c.band.isEmpty()) {
        EXPECT_GE(result.image.width(), int(c.picture.width() * std::min(fit, 1.0)));
        EXPECT_GE(result.image.height(), int(c.picture.height() * std::min(fit, 1.0)));
    }
    EXPECT_EQ(result.image.width(), (c.picture.width() * c.eighths + 7) / 8);
}

INSTANTIATE_TEST_SUITE_P(Cases, JpegScale,
                         ::testing::Values(ScaleCase{QSize(1600, 1200), QSize(), 8},
                                           ScaleCase{QSize(1600, 1200), QSize(1920, 1080), 8},
                                           ScaleCase{QSize(1600, 1200), QSize(800, 600), 4},
                                           ScaleCase{QSize(1600, 1200), QSize(900, 700), 5},
                                           ScaleCase{QSize(1600, 1200), QSize(270, 96), 1},
                                           ScaleCase{QSize(1600, 400), QSize(607, 216), 4},
                                           ScaleCase{QSize(400, 1600), QSize(607, 216), 2}));

// Damaged or foreign bytes are an error in the library's words, never a crash and never a
// partly grey picture.
TEST(JpegPicture, DamagedFilesAreErrorsWithoutAPicture)
{
    const QByteArray good = quartersJpeg(QSize(320, 200));
    const QByteArray cases[] = {QByteArray(), QByteArray("not a picture at all"), good.left(good.size() / 2),
                                good.left(40), QByteArray(2000, '\xFF')};
    for (const QByteArray &bytes : cases) {
        const JpegPicture::Result result = JpegPicture::decode(bytes);
        EXPECT_TRUE(result.image.isNull()) << bytes.size();
        EXPECT_FALSE(result.error.isEmpty()) << bytes.size();
    }
    EXPECT_TRUE(JpegPicture::decode("not a picture").error.contains(QStringLiteral("JPEG")));
}

// A header may claim any size; an absurd one is refused before memory is taken for it.
TEST(JpegPicture, DeclaredSizeBeyondTheCapIsRefused)
{
    QByteArray bytes = quartersJpeg(QSize(64, 64));
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(frame, 0);
    // The frame header: marker, length (2), precision (1), height (2), width (2).
    for (const qsizetype at : {frame + 5, frame + 7}) {
        bytes[at] = char(0xEA);
        bytes[at + 1] = char(0x60); // 60000
    }
    const JpegPicture::Result result = JpegPicture::decode(bytes);
    EXPECT_TRUE(result.image.isNull());
    EXPECT_EQ(result.error, QStringLiteral("Картинка слишком большая для титула (60000 x 60000 точек). Уменьшите её в графическом "
                                           "редакторе."));
}

TEST(JpegPicture, FilesAreReadAndTheirFailuresNamed)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Title.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(quartersJpeg(QSize(100, 50)));
    file.close();
    EXPECT_EQ(JpegPicture::load(path).image.size(), QSize(100, 50));

    const QString missing = folder.filePath(QStringLiteral("missing.jpg"));
    const JpegPicture::Result result = JpegPicture::load(missing);
    EXPECT_TRUE(result.image.isNull());
    EXPECT_TRUE(result.error.contains(missing)) << result.error.toStdString();
}

} // namespace
