// The web board's PNG writer: whatever it packs, a PNG reader gives back pixel for pixel.

#include "web/PngWriter.h"

#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <string>

namespace {

QImage decoded(const QByteArray &png)
{
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

QImage boardLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QFont font;
    font.setPixelSize(std::max(8, size.height() / 12));
    painter.setFont(font);
    painter.setPen(Qt::yellow);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("USD 92,50 93,10\nEUR 99,00 100,00"));
    painter.fillRect(QRect(0, size.height() / 3, size.width(), 1), Qt::white);
    return image;
}

QImage noise(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, 0xFF000000u | random.bounded(0x1000000u));
    return image;
}

TEST(PngWriter, ReadsBackPixelForPixel)
{
    const std::pair<const char *, QImage> cases[] = {
        {"one pixel", noise(QSize(1, 1))},
        {"odd sizes", noise(QSize(3, 5))},
        {"fewer rows than pieces", boardLike(QSize(200, 3))},
        {"rows in uneven pieces", noise(QSize(101, 67))},
        {"portrait board", boardLike(QSize(1080, 1920))},
        {"landscape board", boardLike(QSize(1920, 1080))},
        {"wide noise", noise(QSize(640, 480))},
    };
    // Every way of splitting, whatever this machine's cores: the pieces must join into one
    // stream with one checksum, even where there are more pieces asked than rows.
    for (const int pieces : {0, 1, 2, 3, 7}) {
        for (const auto &[name, image] : cases) {
            SCOPED_TRACE(std::string(name) + ", pieces " + std::to_string(pieces));
            const QByteArray png = encodePng(image, pieces);
            ASSERT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
            EXPECT_EQ(decoded(png), image);
        }
    }
}

TEST(PngWriter, TakesAnyImageFormatAndDropsAlpha)
{
    QImage withAlpha(40, 30, QImage::Format_ARGB32);
    withAlpha.fill(QColor(10, 200, 30, 255));
    withAlpha.setPixel(5, 5, qRgba(255, 0, 0, 255));
    EXPECT_EQ(decoded(encodePng(withAlpha)), withAlpha.convertToFormat(QImage::Format_RGB32));
    const QImage indexed = boardLike(QSize(120, 90)).convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(decoded(encodePng(indexed)), indexed.convertToFormat(QImage::Format_RGB32));
}

TEST(PngWriter, NullPictureGivesNothing)
{
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
}

TEST(PngWriter, BoardShrinksWellBelowItsRawSize)
{
    const QImage board = boardLike(QSize(1080, 1920));
    EXPECT_LT(encodePng(board).size(), 1080 * 1920 * 3 / 20);
}

} // namespace
