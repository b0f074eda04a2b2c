#include "controls/GreyedOut.h"
#include "controls/LbButtonPainter.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace LbButtons;

namespace {

// TColor values (0x00BBGGRR) of the fixture colours; every pass has a colour of its own.
constexpr TColor kFaceT = 0xC8C8C8;   // 200, 200, 200
constexpr TColor kLightT = 0x00FFFF;  // 255, 255, 0
constexpr TColor kShadowT = 0xFF0000; // 0, 0, 255
constexpr TColor kHotT = 0x0000FF;    // 255, 0, 0
constexpr TColor kDownT = 0x00FF00;   // 0, 255, 0
constexpr TColor kTextT = 0x800080;   // 128, 0, 128

const QColor kFace(200, 200, 200);
const QColor kLight(255, 255, 0);
const QColor kShadow(0, 0, 255);
const QColor kHot(255, 0, 0);
const QColor kDownFace(0, 255, 0);
const QColor kText(128, 0, 128);
const QColor kSeeThrough(Qt::transparent);
const QColor kBlack(0, 0, 0);

// Images of the test strips: a solid square on a white ground (the transparent key).
const QColor kImageColors[4] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 160, 0), QColor(255, 128, 0)};

QFont plainFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

LbButtonLook baseLook()
{
    LbButtonLook look;
    look.color = kFaceT;
    look.lightColor = kLightT;
    look.shadowColor = kShadowT;
    look.fontColor = kTextT;
    look.font = plainFont();
    return look;
}

// A strip of `count` images of size x size, each a square of its colour inset by a quarter.
QImage testStrip(int count, int size)
{
    QImage strip(count * size, size, QImage::Format_RGB32);
    strip.fill(Qt::white);
    for (int i = 0; i < count; ++i)
        for (int y = size / 4; y < size * 3 / 4; ++y)
            for (int x = size / 4; x < size * 3 / 4; ++x)
                strip.setPixel(i * size + x, y, kImageColors[i].rgb());
    return strip;
}

// Compares colours with transparency: every transparent pixel counts as one.
QColor pixelAt(const QImage &image, QPoint point)
{
    const QRgb pixel = image.pixel(point);
    return qAlpha(pixel) == 0 ? kSeeThrough : QColor::fromRgba(pixel);
}

using SetUp = std::function<void(LbButtonLook &, LbButtonState &)>;

struct PixelCase {
    const char *name;
    QSize size;
    SetUp setUp;
    std::vector<std::pair<QPoint, QColor>> expected;
};

const QSize kButton(40, 20);

// The operator window's help button: flat, transparent, a two-image 64 x 32 strip.
void helpButton(LbButtonLook &look, LbButtonState &)
{
    look.flat = true;
    look.transparent = true;
    look.glyph = testStrip(2, 32);
    look.numGlyphs = 2;
}

const std::vector<PixelCase> &pixelCases()
{
    const QColor darkShadow = QColor::fromRgb(resolveColor(cl3DDkShadow).rgb());
    static const std::vector<PixelCase> cases = {
        {"normal up", kButton, [](LbButtonLook &, LbButtonState &) {},
         {{{0, 0}, kLight}, {{0, 19}, kLight}, {{20, 0}, kLight}, {{0, 10}, kLight}, {{39, 0}, kShadow},
          {{39, 19}, kShadow}, {{20, 19}, kShadow}, {{39, 10}, kShadow}, {{20, 10}, kFace}}},
        {"normal down", kButton, [](LbButtonLook &, LbButtonState &s) { s.down = true; },
         {{{0, 0}, kShadow}, {{0, 19}, kShadow}, {{20, 0}, kShadow}, {{39, 0}, kLight}, {{39, 19}, kLight},
          {{20, 19}, kLight}, {{20, 10}, kFace}}},
        {"normal down with its own face colour", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.colorWhenDown = kDownT, s.down = true; },
         {{{20, 10}, kDownFace}, {{1, 1}, kDownFace}}},
        {"hot, pointer just entered", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.hotTrackColor = kHotT, s.mouseInside = true, s.fadeLevel = 8; },
         {{{20, 10}, kHot}, {{0, 0}, kLight}, {{39, 19}, kShadow}}},
        {"hot, half faded", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.hotTrackColor = kHotT, s.fadeLevel = 4; },
         {{{20, 10}, QColor(227, 100, 100)}}},
        {"hot colour ignored while disabled", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.hotTrackColor = kHotT, s.fadeLevel = 8, s.enabled = false; },
         {{{20, 10}, kFace}}},
        {"disabled is drawn up", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.colorWhenDown = kDownT, s.down = true, s.enabled = false; },
         {{{0, 0}, kLight}, {{39, 19}, kShadow}, {{20, 10}, kFace}}},
        {"flat, pointer away", kButton, [](LbButtonLook &l, LbButtonState &) { l.flat = true; },
         {{{0, 0}, kFace}, {{39, 19}, kFace}, {{20, 0}, kFace}}},
        {"flat, hovered", kButton, [](LbButtonLook &l, LbButtonState &s) { l.flat = true, s.mouseInside = true; },
         {{{0, 0}, kLight}, {{39, 19}, kShadow}}},
        {"flat, down", kButton, [](LbButtonLook &l, LbButtonState &s) { l.flat = true, s.down = true; },
         {{{0, 0}, kShadow}, {{39, 19}, kLight}}},
        {"flat, disabled under the pointer", kButton,
         [](LbButtonLook &l, LbButtonState &s) { l.flat = true, s.mouseInside = true, s.enabled = false; },
         {{{0, 0}, kFace}, {{39, 19}, kFace}}},
        {"transparent keeps its edges", kButton, [](LbButtonLook &l, LbButtonState &) { l.transparent = true; },
         {{{20, 10}, kSeeThrough}, {{0, 0}, kLight}, {{39, 19}, kShadow}}},
        {"transparent and flat shows nothing", kButton,
         [](LbButtonLook &l, LbButtonState &) { l.transparent = true, l.flat = true; },
         {{{20, 10}, kSeeThrough}, {{0, 0}, kSeeThrough}, {{39, 19}, kSeeThrough}}},
        {"magenta face is keyed out when transparent", kButton,
         [](LbButtonLook &l, LbButtonState &) { l.transparent = true, l.color = clFuchsia; },
         {{{0, 0}, kLight}}},
        {"encarta down", kButton, [](LbButtonLook &l, LbButtonState &s) { l.style = bsEncarta, s.down = true; },
         {{{0, 0}, kShadow}, {{39, 19}, kLight}, {{20, 10}, kFace}}},
        {"old up", kButton, [](LbButtonLook &l, LbButtonState &) { l.style = bsOld; },
         {{{0, 0}, kLight}, {{0, 10}, kLight}, {{38, 0}, kLight}, {{38, 10}, kShadow}, {{20, 18}, kShadow},
          {{39, 0}, darkShadow}, {{39, 10}, darkShadow}, {{20, 19}, darkShadow}, {{0, 19}, darkShadow},
          {{1, 10}, kFace}}},
        {"old down", kButton, [](LbButtonLook &l, LbButtonState &s) { l.style = bsOld, s.down = true; },
         {{{0, 10}, darkShadow}, {{20, 0}, darkShadow}, {{1, 10}, kShadow}, {{20, 1}, kShadow}, {{39, 10}, kLight},
          {{20, 19}, kLight}, {{0, 19}, kLight}, {{38, 10}, kFace}}},
        // Rows 2..4 shade from the light colour towards the face, rows 5..18 back again; where
        // several bands share a row the last one shows: bands 10, 30, 2, 28 and (pressed) 2.
        {"modern up", kButton, [](LbButtonLook &l, LbButtonState &) { l.style = bsModern; },
         {{{0, 0}, kSeeThrough}, {{39, 19}, kSeeThrough}, {{0, 10}, kShadow}, {{20, 0}, kShadow},
          {{39, 10}, kShadow}, {{20, 19}, kShadow}, {{1, 10}, kFace}, {{20, 1}, kFace}, {{20, 18}, kFace},
          {{20, 2}, QColor(237, 237, 64)}, {{20, 4}, QColor(201, 201, 193)}, {{20, 5}, QColor(203, 203, 187)},
          {{20, 17}, QColor(249, 249, 19)}}},
        {"modern down", kButton, [](LbButtonLook &l, LbButtonState &s) { l.style = bsModern, s.down = true; },
         {{{1, 10}, kShadow}, {{20, 1}, kShadow}, {{0, 10}, kShadow}, {{20, 6}, QColor(203, 203, 187)}}},
        {"modern transparent", kButton,
         [](LbButtonLook &l, LbButtonState &) { l.style = bsModern, l.transparent = true; },
         {{{20, 10}, kSeeThrough}, {{1, 10}, kFace}, {{0, 10}, kShadow}}},
        {"shape", kButton, [](LbButtonLook &l, LbButtonState &) { l.style = bsShape; },
         {{{0, 0}, kSeeThrough}, {{20, 10}, kSeeThrough}, {{39, 19}, kSeeThrough}}},
        {"quicken", kButton, [](LbButtonLook &l, LbButtonState &) { l.style = bsQuicken; },
         {{{20, 0}, kShadow}, {{4, 0}, kShadow}, {{34, 0}, kShadow}, {{3, 0}, kSeeThrough},
          {{35, 0}, kSeeThrough}, {{20, 19}, kShadow}, {{20, 10}, kFace}, {{0, 10}, kFace}, {{38, 10}, kFace},
          {{39, 10}, kSeeThrough}, {{0, 0}, kSeeThrough}}},
        {"popup arrow", kButton, [](LbButtonLook &l, LbButtonState &) { l.popupArrow = true; },
         {{{29, 9}, kBlack}, {{33, 9}, kBlack}, {{30, 10}, kBlack}, {{32, 10}, kBlack}, {{31, 11}, kBlack},
          {{28, 9}, kFace}, {{34, 9}, kFace}, {{29, 10}, kFace}, {{31, 12}, kFace}}},
        // Image 0 at (4, 2): its white ground is keyed out, its square starts 8 pixels in.
        {"help button at rest", QSize(38, 36), helpButton,
         {{{0, 0}, kSeeThrough}, {{37, 35}, kSeeThrough}, {{12, 10}, kImageColors[0]}, {{11, 9}, kSeeThrough},
          {{27, 25}, kImageColors[0]}, {{28, 26}, kSeeThrough}}},
        {"help button hovered", QSize(38, 36),
         [](LbButtonLook &l, LbButtonState &s) { helpButton(l, s), s.mouseInside = true; },
         {{{0, 0}, kLight}, {{0, 35}, kLight}, {{37, 35}, kShadow}, {{37, 0}, kShadow},
          {{12, 10}, kImageColors[0]}, {{1, 1}, kSeeThrough}}},
        {"help button pressed", QSize(38, 36),
         [](LbButtonLook &l, LbButtonState &s) { helpButton(l, s), s.mouseInside = true, s.down = true; },
         {{{0, 0}, kShadow}, {{37, 35}, kLight}, {{13, 11}, kImageColors[0]}, {{12, 10}, kSeeThrough}}},
        {"help button disabled", QSize(38, 36),
         [](LbButtonLook &l, LbButtonState &s) { helpButton(l, s), s.enabled = false; },
         {{{12, 10}, kImageColors[1]}, {{0, 0}, kSeeThrough}}},
    };
    return cases;
}

TEST(LbButtonPainterTest, PixelsOfEachStyleInEachState)
{
    for (const PixelCase &c : pixelCases()) {
        LbButtonLook look = baseLook();
        LbButtonState state;
        c.setUp(look, state);
        const QImage frame = renderButtonFrame(look, state, c.size);
        ASSERT_EQ(frame.size(), c.size) << c.name;
        for (const auto &[point, color] : c.expected)
            EXPECT_EQ(pixelAt(frame, point), color) << c.name << " at " << point.x() << "," << point.y();
    }
}

struct StripCase {
    int images;
    bool enabled;
    bool down;
    bool hot;
    int shownImage;
};

TEST(LbButtonPainterTest, GlyphStripShowsTheImageOfTheState)
{
    const std::vector<StripCase> cases = {
        {1, true, false, false, 0}, {1, true, true, true, 0},
        {2, false, false, false, 1}, {2, true, false, true, 0},  {2, true, true, false, 0},
        {3, true, true, false, 2},  {3, true, false, true, 0},  {4, true, false, true, 3},
        {4, true, true, true, 2},   {4, false, true, true, 1},
    };
    for (const StripCase &c : cases) {
        LbButtonLook look = baseLook();
        look.glyph = testStrip(c.images, 16);
        look.numGlyphs = c.images;
        const LbButtonState state{c.enabled, c.down, c.hot, c.hot ? 8 : 0};
        const QImage frame = renderButtonFrame(look, state, QSize(40, 24));
        // Glyph left and top are 4, one more while pressed.
        const int press = c.down && c.enabled ? 1 : 0;
        const QString where = QStringLiteral("%1 images, enabled %2 down %3 hot %4")
                                  .arg(c.images).arg(c.enabled).arg(c.down).arg(c.hot);
        EXPECT_EQ(pixelAt(frame, QPoint(12 + press, 12 + press)), kImageColors[c.shownImage]) << where.toStdString();
        EXPECT_EQ(pixelAt(frame, QPoint(4 + press, 19 + press)), faceColor(look, state)) << where.toStdString();
    }
}

TEST(LbButtonPainterTest, GlyphImageKeysOnItsBottomLeftPixel)
{
    QImage strip = testStrip(2, 8);
    strip.setPixel(8, 7, qRgb(1, 2, 3)); // the second image has another key colour
    strip.setPixel(9, 0, qRgb(1, 2, 3));
    const QImage second = glyphImage(strip, 8, 8);
    EXPECT_EQ(qAlpha(second.pixel(0, 7)), 0);
    EXPECT_EQ(qAlpha(second.pixel(1, 0)), 0);
    EXPECT_EQ(QColor(second.pixel(0, 0)), QColor(Qt::white));
    EXPECT_EQ(QColor(second.pixel(4, 4)), kImageColors[1]);
}

struct PlacementCase {
    TLbSpeedButtonLayout layout;
    TLabel3D::TAlignment alignment;
    TLbSpeedButtonStyle style;
    bool down;
    QPoint glyph;
};

TEST(LbButtonPainterTest, GlyphPlacementByLayoutAndAlignment)
{
    // A 100 x 30 button with one 16 x 16 image and no caption.
    const std::vector<PlacementCase> cases = {
        {blGlyphLeft, TLabel3D::taLeftJustify, bsNormal, false, {4, 7}},
        {blGlyphLeft, TLabel3D::taLeftJustify, bsNormal, true, {5, 8}},
        {blGlyphLeft, TLabel3D::taLeftJustify, bsEncarta, true, {4, 7}},
        {blGlyphLeft, TLabel3D::taRightJustify, bsNormal, false, {80, 7}},
        {blGlyphLeft, TLabel3D::taCenter, bsNormal, false, {42, 7}},
        {blGlyphRight, TLabel3D::taRightJustify, bsNormal, true, {81, 8}},
        {blGlyphRight, TLabel3D::taCenter, bsNormal, false, {42, 7}},
        {blGlyphTop, TLabel3D::taCenter, bsNormal, false, {42, 5}},
        {blGlyphBottom, TLabel3D::taLeftJustify, bsNormal, false, {4, 5}},
        {blGlyphTop, TLabel3D::taRightJustify, bsNormal, true, {81, 6}},
        {blGlyphTop, TLabel3D::taLeftJustify, bsShape, true, {42, 7}},
    };
    for (const PlacementCase &c : cases) {
        LbButtonLook look = baseLook();
        look.layout = c.layout;
        look.alignment = c.alignment;
        look.style = c.style;
        look.glyph = testStrip(1, 16);
        look.numGlyphs = 1;
        LbButtonState state;
        state.down = c.down;
        EXPECT_EQ(placeButtonContent(look, state, QSize(100, 30)).glyphPos, c.glyph)
            << "layout " << c.layout << " alignment " << c.alignment << " style " << c.style << " down " << c.down;
    }
}

TEST(LbButtonPainterTest, CaptionBesideAGlyphStartsAfterIt)
{
    LbButtonLook look = baseLook();
    look.caption = QStringLiteral("Rates");
    look.glyph = testStrip(1, 16);
    look.numGlyphs = 1;
    const LbButtonPlacement placed = placeButtonContent(look, {}, QSize(100, 30));
    EXPECT_EQ(placed.textRect.left(), 24);
    EXPECT_EQ(placed.textRect.width(), 100 - 16 - 12);
    EXPECT_EQ(placed.caption, look.caption);
}

TEST(LbButtonPainterTest, TooWideCaptionLosesCharactersFromTheEnd)
{
    LbButtonLook look = baseLook();
    look.caption = QStringLiteral("ABCDE");
    const QFontMetrics metrics(look.font);
    ASSERT_GT(metrics.horizontalAdvance(look.caption), 22);
    const LbButtonPlacement placed = placeButtonContent(look, {}, QSize(30, 23));
    ASSERT_FALSE(placed.caption.isEmpty());
    ASSERT_LT(placed.caption.size(), look.caption.size());
    EXPECT_TRUE(look.caption.startsWith(placed.caption));
    EXPECT_LE(metrics.horizontalAdvance(placed.caption), 22);
    EXPECT_GT(metrics.horizontalAdvance(look.caption.left(placed.caption.size() + 1)), 22);
}

TEST(LbButtonPainterTest, WordWrapKeepsTheCaptionWholeOnSeveralLines)
{
    LbButtonLook look = baseLook();
    look.caption = QStringLiteral("AB CD");
    look.wordWrap = true;
    const QFontMetrics metrics(look.font);
    ASSERT_GT(metrics.horizontalAdvance(look.caption), 22);
    const LbButtonPlacement placed = placeButtonContent(look, {}, QSize(30, 40));
    EXPECT_EQ(placed.caption, look.caption);
    EXPECT_GE(placed.textRect.height(), 2 * metrics.height());
    EXPECT_EQ(placed.textRect.width(), 22);
}

// Lowest row holding a pixel of the colour, or -1.
int lowestRowOf(const QImage &image, const QColor &color)
{
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color.rgb())
                return y;
    return -1;
}

TEST(LbButtonPainterTest, AcceleratorCharacterIsUnderlinedAndTheAmpersandHidden)
{
    LbButtonLook look = baseLook();
    look.caption = QStringLiteral("Hm");
    const QImage plain = renderButtonFrame(look, {}, QSize(60, 30));
    look.caption = QStringLiteral("&Hm");
    const QImage marked = renderButtonFrame(look, {}, QSize(60, 30));
    const int plainBottom = lowestRowOf(plain, kText);
    ASSERT_GE(plainBottom, 0);
    EXPECT_GT(lowestRowOf(marked, kText), plainBottom);
    // Above the underline both captions are the same text.
    EXPECT_EQ(plain.copy(0, 0, 60, plainBottom + 1), marked.copy(0, 0, 60, plainBottom + 1));
}

// Every style, shapes included: a disabled button's caption never keeps the enabled colour.
TEST(LbButtonPainterTest, DisabledCaptionIsGreyInEveryStyle)
{
    for (const TLbSpeedButtonStyle style : {bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken}) {
        LbButtonLook look = baseLook();
        look.caption = QStringLiteral("HHH");
        look.style = style;
        const LbButtonState disabled{false, false, false, 0};
        const QImage frame = renderButtonFrame(look, disabled, QSize(60, 30));
        EXPECT_GE(lowestRowOf(frame, QColor(128, 128, 128)), 0) << int(style);
        EXPECT_LT(lowestRowOf(frame, kText), 0) << int(style);
        EXPECT_GE(lowestRowOf(renderButtonFrame(look, {}, QSize(60, 30)), kText), 0) << int(style);
    }
}

// A strip with one image has no disabled image of its own: the normal one is shown greyed,
// pixel for pixel where the enabled button shows it, and the enabled button is unchanged.
TEST(LbButtonPainterTest, DisabledOneImageStripShowsItsImageGreyed)
{
    LbButtonLook look = baseLook();
    look.glyph = testStrip(1, 16);
    look.numGlyphs = 1;
    const QImage enabled = renderButtonFrame(look, {}, QSize(40, 24));
    const QImage disabled = renderButtonFrame(look, {false, false, false, 0}, QSize(40, 24));
    const QImage greyed = greyedOut(glyphImage(look.glyph, 0, 16));
    EXPECT_EQ(pixelAt(enabled, QPoint(12, 12)), kImageColors[0]);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor shown = pixelAt(disabled, QPoint(4 + x, 4 + y));
            if (qAlpha(greyed.pixel(x, y)) == 0)
                continue;
            ASSERT_EQ(shown, QColor(greyed.pixel(x, y))) << x << ',' << y;
            ASSERT_EQ(shown.red(), shown.green()) << x << ',' << y;
            ASSERT_EQ(shown.green(), shown.blue()) << x << ',' << y;
        }
    }
}

} // namespace
