#include "controls/Label3D.h"

#include "tests/TestSupport.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// System colours of the fixture palette: solid and far apart, so every pixel tells
// which pass painted it.
const QColor kLight(255, 255, 0);    // clBtnHighlight
const QColor kDark(128, 0, 128);     // clBtnShadow
const QColor kGrayText(0, 255, 0);   // clGrayText
const QColor kFace(192, 192, 192);   // clBtnFace
const QColor kRed(255, 0, 0);        // clRed, the font colour
const QColor kWhite(255, 255, 255);  // clWhite, the background
const QColor kSentinel(255, 0, 255); // what the parent shows where nothing is painted

const QString kBlock = QStringLiteral("\u2588");

QFont bigFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    // Plain glyph pixels: every painted pixel has exactly the colour of its pass.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage render(const TLabel3D &label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(kSentinel);
    QPainter painter(&image);
    label.paintLabel(painter);
    return image;
}

QColor at(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// Bounding box of the pixels that have one of the colours (null when there are none).
QRect boxOf(const QImage &image, std::initializer_list<QColor> colors)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (const QColor &color : colors)
                if (image.pixel(x, y) == color.rgb())
                    box = box.united(QRect(x, y, 1, 1));
    return box;
}

int countOf(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color.rgb() ? 1 : 0;
    return count;
}

bool rowHas(const QImage &image, int y, const QColor &color)
{
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == color.rgb())
            return true;
    return false;
}

class Label3DTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedPalette = QApplication::palette();
        QPalette palette = m_savedPalette;
        palette.setColor(QPalette::Light, kLight);
        palette.setColor(QPalette::Dark, kDark);
        palette.setColor(QPalette::Button, kFace);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, kGrayText);
        QApplication::setPalette(palette);
    }

    void TearDown() override { QApplication::setPalette(m_savedPalette); }

    static std::unique_ptr<TLabel3D> makeLabel(const QString &caption, QSize size, QWidget *parent = nullptr)
    {
        auto label = std::make_unique<TLabel3D>(parent);
        label->setFont(bigFont());
        label->setFontColor(clRed);
        label->setColor(clWhite);
        label->setCaption(caption);
        label->resize(size);
        return label;
    }

    // A label with one block glyph in its middle, so copies on every side stay visible.
    static std::unique_ptr<TLabel3D> makeCentredBlock(QWidget *parent = nullptr)
    {
        auto label = makeLabel(kBlock, QSize(80, 60), parent);
        label->setAlignment(TLabel3D::taCenter);
        label->setLayout(TLabel3D::tlCenter);
        return label;
    }

    static QRect measure(const TLabel3D &label, QRect rect, unsigned flags = DT::Left | DT::WordBreak)
    {
        label.DrawLabelText(nullptr, rect, flags | DT::CalcRect);
        return rect;
    }

private:
    QPalette m_savedPalette;
};

TEST_F(Label3DTest, ConstructorValues)
{
    TLabel3D label;
    EXPECT_EQ(label.size(), QSize(65, 17));
    const std::vector<std::pair<const char *, QVariant>> expected = {
        {"Caption", QString()},
        {"Transparent", false},
        {"Alignment", QVariant::fromValue(TLabel3D::taLeftJustify)},
        {"Layout", QVariant::fromValue(TLabel3D::tlTop)},
        {"WordWrap", false},
        {"ShowAccelChar", true},
        {"FirstColor", clWhite},
        {"LastColor", clTeal},
        {"FillGradient", false},
        {"GradientOrientation", QVariant::fromValue(TLabel3D::goHorizontal)},
        {"HighLightColor", clBtnHighlight},
        {"ShadowColor", clBtnShadow},
        {"Bevel", QVariant::fromValue(TLabel3D::blRaised)},
        {"ShadowSize", 1},
        {"BorderColor", clBlack},
        {"BorderWidth", 1},
        {"BorderStyle", QVariant::fromValue(TLabel3D::lbNone)},
        {"ShadowNapr", 1},
    };
    for (const auto &[name, value] : expected)
        EXPECT_EQ(label.property(name), value) << name;
}

TEST_F(Label3DTest, SettingTheHeldValueRequestsNoRepaintAndAChangeDoes)
{
    const std::vector<std::pair<const char *, QVariant>> changes = {
        {"Caption", QStringLiteral("USD")},
        {"FontColor", clYellow},
        {"Color", clBlack},
        {"Transparent", true},
        {"Alignment", QVariant::fromValue(TLabel3D::taCenter)},
        {"Layout", QVariant::fromValue(TLabel3D::tlBottom)},
        {"WordWrap", true},
        {"ShowAccelChar", false},
        {"FirstColor", clNavy},
        {"LastColor", clMaroon},
        {"FillGradient", true},
        {"GradientOrientation", QVariant::fromValue(TLabel3D::goVertical)},
        {"HighLightColor", clAqua},
        {"ShadowColor", clGreen},
        {"Bevel", QVariant::fromValue(TLabel3D::blShadow)},
        {"ShadowSize", 3},
        {"BorderColor", clRed},
        {"BorderWidth", 0},
        {"BorderStyle", QVariant::fromValue(TLabel3D::lbInn)},
        {"ShadowNapr", 255},
    };
    for (const auto &[name, value] : changes) {
        TLabel3D label;
        QSignalSpy spy(&label, &TLabel3D::repaintRequested);
        ASSERT_TRUE(label.setProperty(name, label.property(name))) << name;
        EXPECT_EQ(spy.count(), 0) << name;
        ASSERT_TRUE(label.setProperty(name, value)) << name;
        EXPECT_EQ(label.property(name), value) << name;
        EXPECT_EQ(spy.count(), 1) << name;
        label.setProperty(name, value);
        EXPECT_EQ(spy.count(), 1) << name;
    }
}

TEST_F(Label3DTest, EnabledAndFontChangesRequestRepaintOnlyWhenTheyChange)
{
    TLabel3D label;
    QSignalSpy spy(&label, &TLabel3D::repaintRequested);
    label.setEnabled(true);
    EXPECT_EQ(spy.count(), 0);
    label.setEnabled(false);
    EXPECT_EQ(spy.count(), 1);
    label.setFont(bigFont());
    EXPECT_EQ(spy.count(), 2);
}

struct RingCase {
    TLabel3D::TLabel3DBorderStyle style;
    QColor outerTop, outerBottom, innerTop, innerBottom;
};

TEST_F(Label3DTest, FrameRingColoursAndCorners)
{
    const QColor lime(0, 255, 0);
    const std::vector<RingCase> cases = {
        {TLabel3D::lbNone, kWhite, kWhite, kWhite, kWhite},
        {TLabel3D::lbNormal, lime, lime, kWhite, kWhite},
        {TLabel3D::lbLowered, kDark, kLight, kWhite, kWhite},
        {TLabel3D::lbRaised, kLight, kDark, kWhite, kWhite},
        {TLabel3D::lbInn, kDark, kLight, kLight, kDark},
        {TLabel3D::lbOut, kLight, kDark, kDark, kLight},
    };
    const int w = 12;
    const int h = 9;
    for (const RingCase &c : cases) {
        auto label = makeLabel(QString(), QSize(w, h));
        label->setBorderStyle(c.style);
        label->setBorderColor(clLime);
        // The 3-D rings must not take the text effect's colours.
        label->setHighLightColor(clAqua);
        label->setShadowColor(clNavy);
        const QImage image = render(*label);
        for (int k = 0; k < 2; ++k) {
            const QColor top = k == 0 ? c.outerTop : c.innerTop;
            const QColor bottom = k == 0 ? c.outerBottom : c.innerBottom;
            const int right = w - 1 - k;
            const int lower = h - 1 - k;
            const std::vector<std::pair<QPoint, QColor>> pixels = {
                {{k, k}, top},          {{w / 2, k}, top},      {{k, h / 2}, top},
                {{right - 1, k}, top},  {{right, k}, bottom},   {{k, lower}, bottom},
                {{right, h / 2}, bottom}, {{w / 2, lower}, bottom}, {{right, lower}, bottom},
            };
            for (const auto &[point, color] : pixels)
                EXPECT_EQ(at(image, point.x(), point.y()), color)
                    << "style " << c.style << " ring " << k << " at " << point.x() << "," << point.y();
        }
        EXPECT_EQ(at(image, w / 2, h / 2), kWhite) << "style " << c.style;
    }
}

TEST_F(Label3DTest, InnFrameOfWidthTwoHasFourRingsAndContentFourPixelsIn)
{
    const int w = 20;
    const int h = 12;
    auto label = makeLabel(QString(), QSize(w, h));
    label->setBorderStyle(TLabel3D::lbInn);
    label->setBorderWidth(2);
    label->setFillGradient(true);
    label->setFirstColor(clRed);
    label->setLastColor(clBlue);
    const QImage image = render(*label);
    const QColor ringTop[4] = {kDark, kDark, kLight, kLight};
    const QColor ringBottom[4] = {kLight, kLight, kDark, kDark};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(at(image, k, k), ringTop[k]) << k;
        EXPECT_EQ(at(image, k, h / 2), ringTop[k]) << k;
        EXPECT_EQ(at(image, w - 1 - k, h - 1 - k), ringBottom[k]) << k;
        EXPECT_EQ(at(image, w / 2, h - 1 - k), ringBottom[k]) << k;
    }
    EXPECT_EQ(at(image, 4, 4), kRed);
    EXPECT_EQ(at(image, 4, h - 5), kRed);
    EXPECT_EQ(at(image, w - 5, 4), QColor(0, 0, 255));
    EXPECT_EQ(at(image, w - 5, h - 5), QColor(0, 0, 255));
}

TEST_F(Label3DTest, TextSitsInsideTheFrame)
{
    auto plain = makeLabel(kBlock, QSize(80, 50));
    plain->setBevel(TLabel3D::blNone);
    auto framed = makeLabel(kBlock, QSize(80, 50));
    framed->setBevel(TLabel3D::blNone);
    framed->setBorderStyle(TLabel3D::lbInn);
    framed->setBorderWidth(2);
    const QRect text = boxOf(render(*plain), {kRed});
    ASSERT_FALSE(text.isNull());
    EXPECT_EQ(boxOf(render(*framed), {kRed}), text.translated(4, 4));
}

TEST_F(Label3DTest, BorderWidthZeroOrLessDrawsNoFrame)
{
    auto reference = makeLabel(QString(), QSize(10, 6));
    reference->setFillGradient(true);
    reference->setFirstColor(clRed);
    reference->setLastColor(clBlue);
    const QImage expected = render(*reference);
    EXPECT_EQ(at(expected, 0, 0), kRed);
    const std::vector<std::pair<TLabel3D::TLabel3DBorderStyle, int>> cases = {
        {TLabel3D::lbNormal, 0}, {TLabel3D::lbNormal, -2}, {TLabel3D::lbInn, 0}, {TLabel3D::lbRaised, -1}};
    for (const auto &[style, width] : cases) {
        reference->setBorderStyle(style);
        reference->setBorderWidth(width);
        EXPECT_EQ(render(*reference), expected) << style << " " << width;
    }
}

TEST_F(Label3DTest, HugeBorderWidthLeavesOnlyRings)
{
    auto label = makeLabel(QStringLiteral("X"), QSize(7, 5));
    label->setBorderStyle(TLabel3D::lbNormal);
    label->setBorderColor(clLime);
    label->setBorderWidth(1'000'000'000);
    const QImage image = render(*label);
    EXPECT_EQ(countOf(image, QColor(0, 255, 0)), 7 * 5);
}

struct GradientCase {
    TLabel3D::TGradientOrientation orientation;
    int length;
    TColor first, last;
    bool transparent;
    std::vector<QColor> bands;
};

TEST_F(Label3DTest, GradientBands)
{
    const TColor first = 0x0A00FF; // red 255, green 0, blue 10
    const TColor last = 0x03FF00;  // red 0, green 255, blue 3
    const std::vector<GradientCase> cases = {
        {TLabel3D::goHorizontal, 3, first, last, false, {{255, 0, 10}, {127, 127, 6}, {0, 255, 3}}},
        {TLabel3D::goHorizontal, 3, first, last, true, {{255, 0, 10}, {127, 127, 6}, {0, 255, 3}}},
        {TLabel3D::goVertical, 3, first, last, false, {{255, 0, 10}, {127, 127, 6}, {0, 255, 3}}},
        {TLabel3D::goHorizontal, 2, first, last, false, {{255, 0, 10}, {0, 255, 3}}},
        {TLabel3D::goVertical, 5, clBlack, clWhite, true, {{0, 0, 0}, {63, 63, 63}, {127, 127, 127}, {191, 191, 191}, {255, 255, 255}}},
    };
    for (const GradientCase &c : cases) {
        const bool horizontal = c.orientation == TLabel3D::goHorizontal;
        const int across = 4;
        auto label = makeLabel(QString(), horizontal ? QSize(c.length, across) : QSize(across, c.length));
        label->setFillGradient(true);
        label->setGradientOrientation(c.orientation);
        label->setFirstColor(c.first);
        label->setLastColor(c.last);
        label->setTransparent(c.transparent);
        const QImage image = render(*label);
        for (int i = 0; i < c.length; ++i)
            for (int j = 0; j < across; ++j)
                EXPECT_EQ(horizontal ? at(image, i, j) : at(image, j, i), c.bands[size_t(i)])
                    << "orientation " << c.orientation << " length " << c.length << " band " << i;
    }
}

TEST_F(Label3DTest, GradientOnePixelLongPaintsNothing)
{
    for (const auto orientation : {TLabel3D::goHorizontal, TLabel3D::goVertical}) {
        auto label = makeLabel(QString(), orientation == TLabel3D::goHorizontal ? QSize(1, 5) : QSize(5, 1));
        label->setFillGradient(true);
        label->setGradientOrientation(orientation);
        const QImage image = render(*label);
        EXPECT_EQ(countOf(image, kSentinel), 5) << orientation;
    }
}

struct EffectCase {
    TLabel3D::TLabel3DBevel bevel;
    QColor upLeft, downRight;
};

TEST_F(Label3DTest, EffectCopiesAroundTheText)
{
    // Default directions: the first pass up-left, bit 0 down-right, the text on top.
    const std::vector<EffectCase> cases = {
        {TLabel3D::blRaised, kLight, kDark},
        {TLabel3D::blLowered, kDark, kLight},
    };
    for (const EffectCase &c : cases) {
        auto label = makeCentredBlock();
        label->setBevel(c.bevel);
        const QImage image = render(*label);
        const QRect text = boxOf(image, {kRed});
        ASSERT_FALSE(text.isNull());
        ASSERT_EQ(countOf(image, kRed), text.width() * text.height()) << "the block glyph is a solid rectangle";
        EXPECT_EQ(boxOf(image, {c.upLeft}), text.translated(-1, -1)) << c.bevel;
        EXPECT_EQ(boxOf(image, {c.downRight}), text.translated(1, 1)) << c.bevel;
        EXPECT_EQ(countOf(image, kGrayText), 0);
    }
}

TEST_F(Label3DTest, WidgetPaintMatchesPaintLabel)
{
    auto label = makeCentredBlock();
    EXPECT_EQ(testsupport::renderWidget(label.get()), render(*label));
}

TEST_F(Label3DTest, ShadowHaloOfEightCopies)
{
    auto label = makeCentredBlock();
    label->setBevel(TLabel3D::blShadow);
    label->setShadowNapr(255);
    label->setShadowSize(2);
    const QImage image = render(*label);
    const QRect text = boxOf(image, {kRed});
    ASSERT_FALSE(text.isNull());
    EXPECT_EQ(countOf(image, kLight), 0);
    EXPECT_EQ(boxOf(image, {kDark}), text.adjusted(-2, -2, 2, 2));
    EXPECT_EQ(countOf(image, kDark), (text.width() + 4) * (text.height() + 4) - text.width() * text.height());
}

TEST_F(Label3DTest, EachDirectionBitPlacesOneCopy)
{
    const int s = 3;
    const std::vector<std::pair<int, QPoint>> directions = {
        {1, {s, s}},   {2, {-s, s}}, {4, {-s, -s}}, {8, {s, -s}},
        {16, {s, 0}}, {32, {0, s}}, {64, {-s, 0}}, {128, {0, -s}},
    };
    for (const auto &[mask, offset] : directions) {
        auto label = makeCentredBlock();
        label->setBevel(TLabel3D::blShadow);
        label->setShadowSize(s);
        label->setShadowNapr(mask | 0x100);
        const QImage image = render(*label);
        const QRect text = boxOf(image, {kRed});
        ASSERT_FALSE(text.isNull());
        EXPECT_GT(countOf(image, kDark), 0) << mask;
        EXPECT_EQ(boxOf(image, {kRed, kDark}), text.united(text.translated(offset))) << mask;
    }
}

TEST_F(Label3DTest, NoDirectionBitsLeaveOnlyTheFirstPass)
{
    for (const int mask : {0, 0x100, 0x7F00}) {
        auto label = makeCentredBlock();
        label->setShadowNapr(mask);
        const QImage image = render(*label);
        const QRect text = boxOf(image, {kRed});
        ASSERT_FALSE(text.isNull());
        EXPECT_EQ(countOf(image, kDark), 0) << mask;
        EXPECT_EQ(boxOf(image, {kLight}), text.translated(-1, -1)) << mask;
    }
}

TEST_F(Label3DTest, DisabledRaisedLabel)
{
    auto label = makeCentredBlock();
    label->setEnabled(false);
    const QImage image = render(*label);
    const QRect text = boxOf(image, {kGrayText});
    ASSERT_FALSE(text.isNull());
    EXPECT_EQ(countOf(image, kRed), 0);
    EXPECT_EQ(countOf(image, kLight), 0);
    EXPECT_EQ(boxOf(image, {kDark}), text.translated(1, 1));
}

TEST_F(Label3DTest, DisabledPlainLabelKeepsItsFontColour)
{
    auto label = makeCentredBlock();
    label->setBevel(TLabel3D::blNone);
    label->setEnabled(false);
    const QImage image = render(*label);
    EXPECT_GT(countOf(image, kRed), 0);
    EXPECT_EQ(countOf(image, kGrayText), 0);
    EXPECT_EQ(countOf(image, kDark), 0);
}

TEST_F(Label3DTest, ADisabledParentDoesNotGreyTheLabel)
{
    // The board's hosts disable the whole board; its labels keep their own Enabled.
    QWidget host;
    auto label = makeCentredBlock(&host);
    host.setEnabled(false);
    const QImage image = render(*label);
    EXPECT_GT(countOf(image, kRed), 0);
    EXPECT_GT(countOf(image, kLight), 0);
    EXPECT_EQ(countOf(image, kGrayText), 0);
}

TEST_F(Label3DTest, PlaceTextBlock)
{
    struct Case {
        TLabel3D::TTextLayout layout;
        QRect rect;
        int measuredHeight;
        QRect expected;
    };
    const std::vector<Case> cases = {
        {TLabel3D::tlTop, QRect(0, 0, 10, 20), 25, QRect(0, 0, 10, 20)},
        {TLabel3D::tlCenter, QRect(0, 0, 10, 20), 10, QRect(0, 5, 10, 20)},
        {TLabel3D::tlCenter, QRect(0, 0, 10, 20), 11, QRect(0, 4, 10, 20)},
        // Overflow -5: up by 2 (not 3), then stretched down to the block's bottom.
        {TLabel3D::tlCenter, QRect(0, 0, 10, 20), 25, QRect(0, -2, 10, 27)},
        {TLabel3D::tlBottom, QRect(0, 0, 10, 20), 8, QRect(0, 12, 10, 20)},
        {TLabel3D::tlBottom, QRect(0, 0, 10, 20), 25, QRect(0, -5, 10, 30)},
        {TLabel3D::tlCenter, QRect(2, 2, 10, 20), 11, QRect(2, 6, 10, 20)},
    };
    for (const Case &c : cases) {
        const QRect measured(c.rect.topLeft(), QSize(7, c.measuredHeight));
        EXPECT_EQ(TLabel3D::placeTextBlock(c.rect, measured, c.layout), c.expected)
            << c.layout << " " << c.measuredHeight;
    }
}

TEST_F(Label3DTest, CentredTwoLinesOnOneLineLabelOverflowBothWays)
{
    const QString caption = kBlock + QStringLiteral("\r\n") + kBlock;
    auto probe = makeLabel(kBlock, QSize(80, 300));
    const int oneLine = measure(*probe, probe->rect()).height();
    probe->setCaption(caption);
    const int twoLines = measure(*probe, probe->rect()).height();
    ASSERT_GE(twoLines, 2 * oneLine - 1) << "CR LF is one line break";

    // An odd overflow shows that the half is truncated toward zero.
    const int height = (twoLines - oneLine) % 2 == 1 ? oneLine : oneLine + 1;
    const int shift = -((twoLines - height) / 2);

    auto reference = makeLabel(caption, QSize(80, 300));
    reference->setBevel(TLabel3D::blNone);
    const QImage top = render(*reference);

    auto centred = makeLabel(caption, QSize(80, height));
    centred->setBevel(TLabel3D::blNone);
    centred->setLayout(TLabel3D::tlCenter);
    const QImage image = render(*centred);

    bool firstLineShown = false;
    bool secondLineShown = false;
    for (int y = 0; y < height; ++y) {
        const int source = y - shift;
        const bool expected = rowHas(top, source, kRed);
        EXPECT_EQ(rowHas(image, y, kRed), expected) << "row " << y;
        if (expected)
            (source < twoLines / 2 ? firstLineShown : secondLineShown) = true;
    }
    EXPECT_TRUE(firstLineShown);
    EXPECT_TRUE(secondLineShown);
}

TEST_F(Label3DTest, EmptyCaptionMeasuresOneLine)
{
    auto label = makeLabel(QStringLiteral("x"), QSize(80, 60));
    const int oneLine = measure(*label, label->rect()).height();
    ASSERT_GT(oneLine, 0);
    for (const QString &caption : {QString(), QStringLiteral("&")}) {
        label->setCaption(caption);
        const QRect measured = measure(*label, label->rect());
        EXPECT_EQ(measured.height(), oneLine) << caption.toStdString();
        EXPECT_GT(measured.width(), 0) << caption.toStdString();
    }
}

TEST_F(Label3DTest, CentredEmptyCaptionPaintsOnlyTheBackground)
{
    for (const auto bevel : {TLabel3D::blNone, TLabel3D::blRaised}) {
        auto label = makeLabel(QString(), QSize(40, 30));
        label->setBevel(bevel);
        label->setLayout(TLabel3D::tlCenter);
        EXPECT_EQ(countOf(render(*label), kWhite), 40 * 30) << bevel;
    }
}

TEST_F(Label3DTest, MeasurementKeepsTopLeftAndIgnoresOffsetCopies)
{
    auto label = makeLabel(QStringLiteral("USD 12"), QSize(200, 60));
    label->setWordWrap(true);
    label->setShadowNapr(255);
    label->setShadowSize(5);
    const QRect given(5, 7, 200, 100);
    const QRect raised = measure(*label, given, DT::Center | DT::WordBreak);
    label->setBevel(TLabel3D::blNone);
    const QRect plain = measure(*label, given, DT::Center | DT::WordBreak);
    EXPECT_EQ(raised.topLeft(), given.topLeft());
    EXPECT_LT(raised.width(), given.width());
    EXPECT_EQ(raised, plain);
}

TEST_F(Label3DTest, WordBreakingByBevelAndWordWrap)
{
    const QString caption = kBlock + QLatin1Char(' ') + kBlock;
    auto probe = makeLabel(kBlock, QSize(300, 200));
    const int oneLine = measure(*probe, probe->rect()).height();
    probe->setCaption(caption);
    const int fullWidth = measure(*probe, probe->rect(), DT::Left).width();
    struct Case {
        TLabel3D::TLabel3DBevel bevel;
        bool wordWrap;
        bool breaks;
    };
    const std::vector<Case> cases = {
        {TLabel3D::blNone, false, true},
        {TLabel3D::blNone, true, true},
        {TLabel3D::blRaised, false, false},
        {TLabel3D::blRaised, true, true},
    };
    for (const Case &c : cases) {
        auto label = makeLabel(caption, QSize(fullWidth - 2, 3 * oneLine));
        label->setBevel(c.bevel);
        label->setWordWrap(c.wordWrap);
        const QImage image = render(*label);
        const QRect text = boxOf(image, {kRed});
        ASSERT_FALSE(text.isNull());
        EXPECT_EQ(text.height() > oneLine, c.breaks) << c.bevel << " " << c.wordWrap;
        if (!c.breaks) {
            EXPECT_EQ(text.right(), image.width() - 1) << "one line, cut at the right edge";
        }
    }
}

TEST_F(Label3DTest, AcceleratorMarks)
{
    auto marked = makeLabel(QStringLiteral("A&&B"), QSize(120, 40));
    auto literal = makeLabel(QStringLiteral("A&B"), QSize(120, 40));
    literal->setShowAccelChar(false);
    EXPECT_EQ(render(*marked), render(*literal));

    auto prefixed = makeLabel(QStringLiteral("&B"), QSize(120, 40));
    const int hidden = measure(*prefixed, prefixed->rect()).width();
    prefixed->setShowAccelChar(false);
    EXPECT_GT(measure(*prefixed, prefixed->rect()).width(), hidden);
}

} // namespace
