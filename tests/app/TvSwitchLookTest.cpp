// The TV switch and its status label look disabled when they are: grey caption, grey picture.

#include "tests/TestSupport.h"

#include "app/ButtonGlyphs.h"
#include "app/Form1.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// A pixel whose channels differ this much shows a colour rather than a shade of grey.
constexpr int kColourfulSpread = 60;

bool isColourful(QRgb pixel)
{
    const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return qAlpha(pixel) > 0 && high - low > kColourfulSpread;
}

// Pixels in which the channel of the caption's colour stands out.
int pixelsOfColour(const QImage &image, int (*channel)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (isColourful(pixel) && channel(pixel) == std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}))
                ++count;
        }
    }
    return count;
}

int colourfulPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isColourful(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

int greenOf(QRgb pixel)
{
    return qGreen(pixel);
}

int redOf(QRgb pixel)
{
    return qRed(pixel);
}

class TvSwitchLook : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        windows.start();
    }
    void TearDown() override { windows.stop(); }

    TForm1 &form() const { return *windows.form; }

    static QImage shot(QWidget *widget) { return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32); }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
};

// With one monitor there is nothing to switch on: the button is disabled and shows no colour.
TEST_F(TvSwitchLook, SwitchOnLooksAsUsableAsItIs)
{
    const bool secondMonitor = QGuiApplication::screens().size() > 1;
    ASSERT_EQ(form().btn_TV_On->isEnabled(), secondMonitor);
    const QImage look = shot(form().btn_TV_On);
    if (secondMonitor)
        EXPECT_GT(pixelsOfColour(look, greenOf), 20) << "an enabled switch has its green caption and picture";
    else
        EXPECT_EQ(colourfulPixels(look), 0) << "a disabled switch is drawn in greys only";
}

struct WidgetCase
{
    const char *name;
    std::function<QWidget *(TForm1 &)> widget;
    int (*channel)(QRgb);
};

class TvSwitchStates : public TvSwitchLook, public ::testing::WithParamInterface<WidgetCase>
{
};

TEST_P(TvSwitchStates, EnabledShowsItsColourAndDisabledOnlyGreys)
{
    QWidget *widget = GetParam().widget(form());
    widget->setEnabled(true);
    const QImage enabled = shot(widget);
    widget->setEnabled(false);
    const QImage disabled = shot(widget);

    EXPECT_GT(pixelsOfColour(enabled, GetParam().channel), 20);
    EXPECT_EQ(colourfulPixels(disabled), 0);
    EXPECT_NE(disabled, enabled) << "the caption is still drawn, in grey";
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, TvSwitchStates,
    ::testing::Values(WidgetCase{"SwitchOn", [](TForm1 &f) -> QWidget * { return f.btn_TV_On; }, greenOf},
                      WidgetCase{"SwitchOff", [](TForm1 &f) -> QWidget * { return f.btn_TV_Off; }, redOf},
                      WidgetCase{"Status", [](TForm1 &f) -> QWidget * { return f.lbl_TV_status; }, redOf}),
    [](const auto &info) { return std::string(info.param.name); });

// The pictures' disabled images are their normal ones in grey, with the same outline.
TEST(ButtonPictures, DisabledImageIsTheNormalOneGreyed)
{
    using ButtonGlyphs::Glyph;
    for (const Glyph glyph : {Glyph::Open, Glyph::Save, Glyph::Play, Glyph::Stop, Glyph::Delete, Glyph::Replace,
                              Glyph::Add, Glyph::TvOn, Glyph::TvOff}) {
        const QIcon icon = ButtonGlyphs::icon(glyph);
        const QImage normal = icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage disabled =
            icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(normal.size(), disabled.size());
        EXPECT_GT(colourfulPixels(normal), 0) << int(glyph);
        EXPECT_EQ(colourfulPixels(disabled), 0) << int(glyph);
        for (int y = 0; y < normal.height(); ++y) {
            for (int x = 0; x < normal.width(); ++x)
                ASSERT_EQ(qAlpha(normal.pixel(x, y)), qAlpha(disabled.pixel(x, y))) << int(glyph) << ' ' << x << ',' << y;
        }
    }
}

} // namespace
