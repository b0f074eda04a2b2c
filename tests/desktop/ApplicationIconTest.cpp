#include "desktop/ApplicationIcon.h"

#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

QImage drawnSize(int size)
{
    return QImage(QStringLiteral(":/corvane/%1x%1/corvane.png").arg(size));
}

class ApplicationIconSize : public ::testing::TestWithParam<int>
{
};

TEST_P(ApplicationIconSize, IsTheBitmapDrawnForThatSize)
{
    const int size = GetParam();
    const QIcon icon = applicationIcon();
    const QImage bitmap = drawnSize(size);
    ASSERT_EQ(bitmap.size(), QSize(size, size));
    EXPECT_EQ(icon.pixmap(size, size).toImage().convertToFormat(bitmap.format()), bitmap);
}

// The rounded board: clear corners, a dark inside, drawn at every size.
TEST_P(ApplicationIconSize, ShowsTheRoundedBoard)
{
    const int size = GetParam();
    const QImage bitmap = drawnSize(size);
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(bitmap.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(bitmap.pixelColor(size - 1, size - 1).alpha(), 0);
    const QColor inside = bitmap.pixelColor(size / 2, size * 7 / 8);
    EXPECT_EQ(inside.alpha(), 255);
    EXPECT_LT(inside.lightness(), 64);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ApplicationIconSize, ::testing::ValuesIn(applicationIconSizes().toVector()));

TEST(ApplicationIcon, ScalesTheDrawingToSizesWithoutABitmap)
{
    ASSERT_TRUE(QSvgRenderer(QStringLiteral(":/corvane/corvane.svg")).isValid());
    for (const int size : {20, 100, 512}) {
        const QPixmap pixmap = applicationIcon().pixmap(size, size);
        EXPECT_EQ(pixmap.size(), QSize(size, size));
        EXPECT_EQ(pixmap.toImage().pixelColor(size / 2, size * 7 / 8).alpha(), 255) << size;
    }
}

} // namespace
