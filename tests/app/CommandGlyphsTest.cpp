#include "app/CommandGlyphs.h"

#include "controls/LbSpeedButton.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

struct GlyphSample {
    const char *name;
    QPixmap (*make)();
};

bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

TEST(CommandGlyphsTest, TwoImagesNormalAndGreyedOnATransparentGround)
{
    for (const GlyphSample &sample : {GlyphSample{"help", helpButtonGlyph}, GlyphSample{"info", infoButtonGlyph}}) {
        const QImage strip = sample.make().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(strip.size(), QSize(64, 32)) << sample.name;
        TLbSpeedButton button;
        button.setGlyph(sample.make());
        EXPECT_EQ(button.numGlyphs(), 2) << sample.name;

        int colouredPixels = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb normal = strip.pixel(x, y);
                const QRgb disabled = strip.pixel(x + 32, y);
                EXPECT_EQ(qAlpha(normal), qAlpha(disabled)) << sample.name << " " << x << "," << y;
                EXPECT_TRUE(isGrey(disabled)) << sample.name << " " << x << "," << y;
                colouredPixels += qAlpha(normal) == 255 && !isGrey(normal) ? 1 : 0;
            }
        // A disc of some 600 pixels, most of it coloured; corners see-through, so the
        // bottom-left key leaves the picture as drawn.
        EXPECT_GT(colouredPixels, 300) << sample.name;
        for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31), QPoint(32, 31)})
            EXPECT_EQ(qAlpha(strip.pixel(corner)), 0) << sample.name;
        // The white mark in the middle of the disc.
        EXPECT_EQ(QColor(strip.pixel(16, 22)), QColor(Qt::white)) << sample.name;
    }
    EXPECT_NE(helpButtonGlyph().toImage(), infoButtonGlyph().toImage());
}

} // namespace
