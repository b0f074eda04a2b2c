#include "controls/GreyedOut.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <iterator>

namespace {

struct GreyCase {
    const char *name;
    QRgb pixel;
    QRgb greyed;
};

// Pale grey: black becomes middle grey and white stays white, so a disabled picture never
// darkens; whatever is see-through stays exactly as see-through.
TEST(GreyedOutTest, PaleGreyWithTheTransparencyKept)
{
    const GreyCase cases[] = {
        {"black", qRgba(0, 0, 0, 255), qRgba(128, 128, 128, 255)},
        {"white", qRgba(255, 255, 255, 255), qRgba(255, 255, 255, 255)},
        {"red", qRgba(255, 0, 0, 255), qRgba(171, 171, 171, 255)},
        {"blue, half see-through", qRgba(0, 0, 255, 128), qRgba(147, 147, 147, 128)},
        {"see-through", qRgba(0, 0, 0, 0), qRgba(128, 128, 128, 0)},
    };
    QImage image(static_cast<int>(std::size(cases)), 1, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 0, cases[x].pixel);

    const QImage greyed = greyedOut(image);

    ASSERT_EQ(greyed.size(), image.size());
    for (int x = 0; x < image.width(); ++x)
        EXPECT_EQ(QColor::fromRgba(greyed.pixel(x, 0)), QColor::fromRgba(cases[x].greyed)) << cases[x].name;
}

// Pictures come in whatever format they were loaded in; an opaque one stays opaque.
TEST(GreyedOutTest, OpaquePictureOfAnyFormatStaysOpaque)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(10, 200, 30));
    image.setPixel(1, 0, qRgb(255, 255, 0));
    const QImage greyed = greyedOut(image);
    for (int x = 0; x < 2; ++x) {
        const QRgb pixel = greyed.pixel(x, 0);
        EXPECT_EQ(qAlpha(pixel), 255) << x;
        EXPECT_EQ(qRed(pixel), qGreen(pixel)) << x;
        EXPECT_EQ(qGreen(pixel), qBlue(pixel)) << x;
        EXPECT_GE(qRed(pixel), 128) << x;
    }
}

} // namespace
