#include "controls/LbSpeedButton.h"

#include "tests/TestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace LbButtons;

namespace {

// A TColor from red, green and blue, the way colours are written for people.
constexpr TColor rgb(int red, int green, int blue)
{
    return static_cast<TColor>(red | (green << 8) | (blue << 16));
}

const QColor kFace(210, 210, 210);
const QColor kHot(255, 0, 0);

// Counts its frames and runs on a screen of the depth a test chooses.
class ProbeButton : public TLbSpeedButton
{
public:
    using TLbSpeedButton::TLbSpeedButton;
    int paints = 0;
    int depth = 32;

protected:
    int screenDepth() const override { return depth; }
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TLbSpeedButton::paintEvent(event);
    }
};

// A parent that paints a checkerboard, so that a transparent button shows it.
class CheckeredHost : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        for (int y = 0; y < height(); y += 2)
            for (int x = 0; x < width(); x += 2)
                painter.fillRect(x, y, 2, 2, (x + y) % 4 == 0 ? Qt::black : Qt::white);
    }
};

class LbSpeedButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedPalette = QApplication::palette();
        QPalette palette = m_savedPalette;
        palette.setColor(QPalette::Button, kFace);
        QApplication::setPalette(palette);
        resetHost();
    }

    void resetHost(std::unique_ptr<QWidget> fresh = std::make_unique<QWidget>())
    {
        host = std::move(fresh);
        host->resize(300, 120);
    }

    void TearDown() override
    {
        host.reset();
        QApplication::setPalette(m_savedPalette);
    }

    ProbeButton *addButton(QPoint at = {10, 10})
    {
        auto *button = new ProbeButton(host.get());
        button->move(at);
        return button;
    }

    void showHost()
    {
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        QCoreApplication::processEvents();
        // The pointer starts on the bare host: the window takes it in before any button.
        QTest::mouseMove(host->windowHandle(), QPoint(1, 1));
    }

    // Through the window, as the platform reports it, so that the widgets get enter and
    // leave events.
    void movePointer(QWidget *onto, QPoint at = {20, 10})
    {
        QTest::mouseMove(host->windowHandle(), onto->mapTo(host.get(), at));
    }

    void movePointerAway() { movePointer(host.get(), QPoint(5, 100)); }

    static QColor centreOf(const TLbSpeedButton &button)
    {
        const QImage frame = button.renderFrame();
        return QColor(frame.pixel(frame.width() / 2, frame.height() / 2));
    }

    std::unique_ptr<QWidget> host;

private:
    QPalette m_savedPalette;
};

TEST_F(LbSpeedButtonTest, ConstructorValues)
{
    TLbSpeedButton button;
    EXPECT_EQ(button.size(), QSize(100, 23));
    const std::vector<std::pair<const char *, QVariant>> expected = {
        {"Alignment", QVariant::fromValue(TLabel3D::taLeftJustify)},
        {"AllowAllUp", false},
        {"Caption", QString()},
        {"Color", clBtnFace},
        {"ColorWhenDown", clNone},
        {"ColorStyle", QVariant::fromValue(lcsCustom)},
        {"Down", false},
        {"Flat", false},
        {"GroupIndex", 0},
        {"HotTrackColor", clNone},
        {"Layout", QVariant::fromValue(blGlyphLeft)},
        {"LightColor", rgb(255, 255, 255)},
        {"NumGlyphs", 0},
        {"ShadowColor", rgb(0, 0, 0)},
        {"SlowDecease", false},
        {"Style", QVariant::fromValue(bsNormal)},
        {"Transparent", false},
        {"UseHotTrackFont", false},
        {"WordWrap", false},
    };
    for (const auto &[name, value] : expected)
        EXPECT_EQ(button.property(name), value) << name;
    EXPECT_TRUE(button.glyph().isNull());
    EXPECT_EQ(button.popupMenu(), nullptr);
    EXPECT_FALSE(button.mouseInside());
    EXPECT_EQ(button.fadeLevel(), 0);
    EXPECT_EQ(button.fadeTimer(), nullptr);
}

TEST_F(LbSpeedButtonTest, FaceTakesTheParentsColourAndHotFontTheFormsFont)
{
    QPalette palette = host->palette();
    palette.setColor(host->backgroundRole(), QColor(10, 20, 30));
    host->setPalette(palette);
    QFont formFont(QStringLiteral("DejaVu Serif"));
    formFont.setPixelSize(17);
    host->setFont(formFont);
    const TLbSpeedButton button(host.get());
    EXPECT_EQ(button.color(), rgb(10, 20, 30));
    EXPECT_EQ(button.hotTrackFont(), formFont);
}

enum class Repaint { Now, Later, Never };

struct SetterCase {
    const char *property;
    QVariant value;
    bool transparentButton;
    Repaint repaint;
};

TEST_F(LbSpeedButtonTest, EachSetterRepaintsAtOnceLaterOrNotAtAll)
{
    const QVariant left = QVariant::fromValue(TLabel3D::taCenter);
    const std::vector<SetterCase> cases = {
        {"Alignment", left, false, Repaint::Now},
        {"ColorWhenDown", clRed, false, Repaint::Now},
        {"Flat", true, false, Repaint::Now},
        {"GroupIndex", 3, false, Repaint::Now},
        {"Layout", QVariant::fromValue(blGlyphTop), false, Repaint::Now},
        {"LightColor", clYellow, false, Repaint::Now},
        {"ShadowColor", clNavy, false, Repaint::Now},
        {"WordWrap", true, false, Repaint::Now},
        // Over a transparent face the same setters wait for the parent.
        {"Alignment", left, true, Repaint::Later},
        {"Flat", true, true, Repaint::Later},
        {"WordWrap", true, true, Repaint::Later},
        {"Caption", QStringLiteral("Go"), false, Repaint::Later},
        {"Glyph", QPixmap(32, 16), false, Repaint::Later},
        {"NumGlyphs", 3, false, Repaint::Later},
        {"Style", QVariant::fromValue(bsOld), false, Repaint::Later},
        {"Color", clTeal, false, Repaint::Later},
        {"SlowDecease", true, false, Repaint::Later},
        {"Transparent", true, false, Repaint::Later},
        {"Transparent", false, false, Repaint::Now},
        {"Down", true, false, Repaint::Now},
        {"Down", true, true, Repaint::Later},
        {"Down", false, false, Repaint::Never},
        {"ColorStyle", QVariant::fromValue(lcsAqua), true, Repaint::Now},
        {"HotTrackFont", QFont(QStringLiteral("DejaVu Serif")), false, Repaint::Never},
        {"HotTrackColor", clLime, false, Repaint::Never},
        {"UseHotTrackFont", true, false, Repaint::Never},
    };
    for (const SetterCase &c : cases) {
        resetHost();
        ProbeButton *button = addButton();
        button->setTransparent(c.transparentButton);
        showHost();
        // No setter but Down's compares with the value it holds: the same value repaints again.
        const int rounds = QByteArrayView(c.property) == "Down" ? 1 : 2;
        for (int round = 0; round < rounds; ++round) {
            button->paints = 0;
            ASSERT_TRUE(button->setProperty(c.property, c.value)) << c.property;
            EXPECT_EQ(button->paints, c.repaint == Repaint::Now ? 1 : 0) << c.property << " round " << round;
            QCoreApplication::processEvents();
            EXPECT_EQ(button->paints > 0, c.repaint != Repaint::Never) << c.property << " round " << round;
        }
        if (QByteArrayView(c.property) != "ColorStyle" && c.value.typeId() != QMetaType::QPixmap) {
            EXPECT_EQ(button->property(c.property), c.value) << c.property;
        }
    }
}

struct PresetCase {
    TLbColorStyle preset;
    TColor color, light, shadow, whenDown, hot, font;
    bool flat;
    TLbSpeedButtonStyle style;
};

TEST_F(LbSpeedButtonTest, ColourPresetsWriteTheirValues)
{
    const TColor none = clNone;
    const TColor black = rgb(0, 0, 0);
    const std::vector<PresetCase> cases = {
        {lcsGold, rgb(192, 192, 0), rgb(255, 255, 0), rgb(128, 128, 0), none, rgb(223, 223, 0), black, false, bsModern},
        {lcsChrome, rgb(192, 192, 192), rgb(255, 255, 255), rgb(128, 128, 128), none, none, black, false, bsModern},
        {lcsBlue, rgb(0, 128, 255), rgb(0, 255, 255), rgb(0, 0, 255), none, none, black, false, bsModern},
        {lcsRed, rgb(255, 0, 0), rgb(255, 192, 192), rgb(192, 0, 0), none, none, black, false, bsModern},
        {lcsUltraFlat1, clBtnFace, rgb(132, 146, 181), rgb(132, 146, 181), rgb(132, 146, 181), rgb(214, 211, 222),
         black, true, bsNormal},
        {lcsUltraFlat2, clBtnFace, black, black, rgb(188, 218, 36), rgb(228, 246, 140), black, true, bsNormal},
        {lcsUltraFlatXP, rgb(219, 216, 209), rgb(132, 146, 181), rgb(133, 146, 181), rgb(133, 146, 181),
         rgb(182, 189, 210), black, true, bsNormal},
        {lcsAqua, rgb(148, 206, 236), rgb(212, 230, 252), black, none, none, black, false, bsModern},
        {lcsDefault, clBtnFace, rgb(255, 255, 255), rgb(128, 128, 128), none, none, black, false, bsNormal},
        {lcsQuicken, rgb(0, 48, 96), rgb(192, 192, 192), rgb(192, 192, 192), rgb(41, 101, 173),
         rgb(156, 174, 206), rgb(255, 255, 255), false, bsQuicken},
    };
    for (const PresetCase &c : cases) {
        ProbeButton button;
        button.depth = 8; // a preset sets its style even where the setter would refuse it
        button.setFlat(!c.flat);
        button.setColorStyle(c.preset);
        EXPECT_EQ(button.color(), c.color) << c.preset;
        EXPECT_EQ(button.lightColor(), c.light) << c.preset;
        EXPECT_EQ(button.shadowColor(), c.shadow) << c.preset;
        EXPECT_EQ(button.colorWhenDown(), c.whenDown) << c.preset;
        EXPECT_EQ(button.hotTrackColor(), c.hot) << c.preset;
        EXPECT_EQ(button.fontColor(), c.font) << c.preset;
        EXPECT_EQ(button.flat(), c.flat) << c.preset;
        EXPECT_EQ(button.style(), c.style) << c.preset;
        EXPECT_EQ(button.colorStyle(), lcsCustom) << c.preset;
    }
}

TEST_F(LbSpeedButtonTest, CustomPresetChangesNothing)
{
    TLbSpeedButton button;
    button.setColor(clTeal);
    button.setLightColor(clAqua);
    button.setFlat(true);
    button.setStyle(bsOld);
    const LbButtonLook before = button.look();
    button.setColorStyle(lcsCustom);
    const LbButtonLook after = button.look();
    EXPECT_EQ(after.color, before.color);
    EXPECT_EQ(after.lightColor, before.lightColor);
    EXPECT_EQ(after.flat, before.flat);
    EXPECT_EQ(after.style, before.style);
}

TEST_F(LbSpeedButtonTest, QuickenPresetDrawsADarkBlueFaceWithWhiteText)
{
    ProbeButton *button = addButton();
    button->resize(80, 24);
    button->setColorStyle(lcsQuicken);
    button->setCaption(QStringLiteral("\u2588\u2588\u2588"));
    button->setAlignment(TLabel3D::taCenter);
    const QImage frame = button->renderFrame();
    EXPECT_EQ(QColor(frame.pixel(40, 0)), QColor(192, 192, 192));
    EXPECT_EQ(QColor(frame.pixel(40, 23)), QColor(192, 192, 192));
    EXPECT_EQ(QColor(frame.pixel(6, 12)), QColor(0, 48, 96));
    EXPECT_EQ(QColor(frame.pixel(40, 12)), QColor(255, 255, 255));
}

struct DepthCase {
    int depth;
    TLbSpeedButtonStyle asked;
    TLbSpeedButtonStyle kept;
};

TEST_F(LbSpeedButtonTest, ModernStyleNeedsMoreThanEightBitsPerPixel)
{
    const std::vector<DepthCase> cases = {
        {1, bsModern, bsNormal}, {8, bsModern, bsNormal},   {15, bsModern, bsModern},
        {24, bsModern, bsModern}, {8, bsQuicken, bsQuicken}, {8, bsShape, bsShape},
    };
    for (const DepthCase &c : cases) {
        ProbeButton button;
        button.depth = c.depth;
        button.setStyle(c.asked);
        EXPECT_EQ(button.style(), c.kept) << c.depth << " bits, style " << c.asked;
    }
}

struct GlyphCase {
    QSize size;
    int images;
};

TEST_F(LbSpeedButtonTest, GlyphCountsSquareImages)
{
    const std::vector<GlyphCase> cases = {
        {{64, 32}, 2}, {{16, 16}, 1}, {{48, 16}, 3}, {{64, 16}, 4}, {{10, 20}, 0}, {{0, 0}, 0},
    };
    for (const GlyphCase &c : cases) {
        TLbSpeedButton button;
        button.setNumGlyphs(7);
        button.setGlyph(c.size.isEmpty() ? QPixmap() : QPixmap(c.size));
        EXPECT_EQ(button.numGlyphs(), c.images) << c.size.width() << "x" << c.size.height();
        EXPECT_EQ(button.glyph().isNull(), c.size.isEmpty());
    }
}

TEST_F(LbSpeedButtonTest, GroupKeepsOneButtonDown)
{
    std::vector<ProbeButton *> group;
    for (int i = 0; i < 3; ++i) {
        group.push_back(addButton({10 + 100 * i, 10}));
        group.back()->resize(90, 23);
        group.back()->setGroupIndex(1);
    }
    ProbeButton *other = addButton({10, 60});
    other->setGroupIndex(2);
    other->setDown(true);
    showHost();
    const auto downs = [&] { return std::vector<bool>{group[0]->down(), group[1]->down(), group[2]->down()}; };

    QTest::mouseClick(group[0], Qt::LeftButton);
    EXPECT_EQ(downs(), (std::vector<bool>{true, false, false}));
    QTest::mouseClick(group[1], Qt::LeftButton);
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
    QTest::mouseClick(group[1], Qt::LeftButton);
    EXPECT_EQ(downs(), (std::vector<bool>{false, true, false}));
    group[2]->setDown(true);
    EXPECT_EQ(downs(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(other->down());

    group[2]->setAllowAllUp(true);
    QTest::mouseClick(group[2], Qt::LeftButton);
    EXPECT_EQ(downs(), (std::vector<bool>{false, false, false}));
}

TEST_F(LbSpeedButtonTest, PressedBeforeGroupingReleaseEachOtherOnce)
{
    ProbeButton *a = addButton();
    ProbeButton *b = addButton({120, 10});
    a->setDown(true);
    b->setDown(true);
    a->setGroupIndex(5);
    b->setGroupIndex(5);
    a->setDown(false);
    EXPECT_FALSE(a->down());
    EXPECT_FALSE(b->down());
}

TEST_F(LbSpeedButtonTest, UngroupedButtonIsDownOnlyWhileTheLeftButtonIsHeld)
{
    ProbeButton *button = addButton();
    showHost();
    QSignalSpy clicks(button, &TLbSpeedButton::OnClick);
    QSignalSpy presses(button, &TLbSpeedButton::OnMouseDown);
    QSignalSpy releases(button, &TLbSpeedButton::OnMouseUp);
    bool downDuringClick = false;
    QObject::connect(button, &TLbSpeedButton::OnClick, button, [&] { downDuringClick = button->down(); });

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->down());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(6, 5));
    EXPECT_FALSE(button->down());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(downDuringClick);
    ASSERT_EQ(presses.count(), 1);
    EXPECT_EQ(presses[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(presses[0][2].toPoint(), QPoint(5, 5));
    EXPECT_EQ(releases.count(), 1);

    // Released outside: no click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button->down());

    // The right button neither presses nor clicks.
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->down());
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(presses.last()[0].value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(LbSpeedButtonTest, DoubleClickPressesAgainButClicksNoSecondTime)
{
    ProbeButton *button = addButton();
    showHost();
    QSignalSpy clicks(button, &TLbSpeedButton::OnClick);
    QSignalSpy presses(button, &TLbSpeedButton::OnMouseDown);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(presses.count(), 2);
    EXPECT_TRUE(button->down());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->down());
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LbSpeedButtonTest, PointerEnteringAndLeavingSignalsAndTracksHover)
{
    ProbeButton *button = addButton();
    ProbeButton *disabled = addButton({150, 10});
    disabled->setEnabled(false);
    showHost();
    QSignalSpy entered(button, &TLbSpeedButton::OnMouseEnter);
    QSignalSpy left(button, &TLbSpeedButton::OnMouseExit);
    QSignalSpy disabledEntered(disabled, &TLbSpeedButton::OnMouseEnter);
    QSignalSpy moves(button, &TLbSpeedButton::OnMouseMove);

    movePointer(button);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(button->mouseInside());
    EXPECT_EQ(button->fadeLevel(), 8);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][1].toPoint(), QPoint(20, 10));
    movePointerAway();
    EXPECT_EQ(left.count(), 1);
    EXPECT_FALSE(button->mouseInside());
    EXPECT_EQ(button->fadeLevel(), 0);

    movePointer(disabled);
    EXPECT_EQ(disabledEntered.count(), 0);
    EXPECT_FALSE(disabled->mouseInside());
}

TEST_F(LbSpeedButtonTest, HotTrackFontReplacesTheFontOnlyUnderThePointer)
{
    ProbeButton *button = addButton();
    QFont hot(QStringLiteral("DejaVu Serif"));
    hot.setPixelSize(19);
    button->setHotTrackFont(hot);
    button->setUseHotTrackFont(true);
    showHost();
    EXPECT_NE(button->look().font, hot);
    movePointer(button);
    EXPECT_EQ(button->look().font, hot);
    button->setUseHotTrackFont(false);
    EXPECT_NE(button->look().font, hot);
}

TEST_F(LbSpeedButtonTest, AcceleratorKeyClicksWhileShownAndEnabled)
{
    ProbeButton *button = addButton();
    button->setCaption(QStringLiteral("&Help"));
    showHost();
    QSignalSpy clicks(button, &TLbSpeedButton::OnClick);
    bool downDuringClick = false;
    QObject::connect(button, &TLbSpeedButton::OnClick, button, [&] { downDuringClick = button->down(); });

    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    QTest::keyClick(host.get(), Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(downDuringClick);
    EXPECT_FALSE(button->down());

    EXPECT_TRUE(button->DialogChar(QChar(u'h')));
    EXPECT_FALSE(button->DialogChar(QChar(u'e')));
    EXPECT_EQ(clicks.count(), 2);
    button->setEnabled(false);
    EXPECT_FALSE(button->DialogChar(QChar(u'H')));
    button->setEnabled(true);
    button->setCaption(QStringLiteral("Help"));
    EXPECT_FALSE(button->DialogChar(QChar(u'H')));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(LbSpeedButtonTest, ClickOpensThePopupMenuUnderTheButtonFirst)
{
    ProbeButton *button = addButton({30, 20});
    auto *menu = new QMenu(host.get());
    menu->addAction(QStringLiteral("One"));
    button->setPopupMenu(menu);
    showHost();
    EXPECT_TRUE(button->look().popupArrow);
    bool menuShownAtClick = false;
    QObject::connect(button, &TLbSpeedButton::OnClick, button, [&] { menuShownAtClick = menu->isVisible(); });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(menuShownAtClick);
    EXPECT_EQ(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu->close();
}

TEST_F(LbSpeedButtonTest, TransparentButtonShowsThePatternedParent)
{
    resetHost(std::make_unique<CheckeredHost>());
    ProbeButton *button = addButton({10, 10});
    button->setTransparent(true);
    button->setFlat(true);
    button->resize(40, 20);
    showHost();
    const QImage image = testsupport::renderWidget(host.get());
    for (const QPoint inside : {QPoint(20, 20), QPoint(22, 20), QPoint(10, 10), QPoint(49, 29)})
        EXPECT_EQ(image.pixel(inside), image.pixel(inside + QPoint(60, 0))) << inside.x() << "," << inside.y();
    EXPECT_NE(image.pixel(20, 20), image.pixel(22, 20));
}

class LbButtonFadeTest : public LbSpeedButtonTest
{
protected:
    ProbeButton *hotButton(bool slow)
    {
        ProbeButton *button = addButton();
        button->setColor(toTColor(kFace));
        button->setHotTrackColor(toTColor(kHot));
        button->setSlowDecease(slow);
        showHost();
        movePointer(button);
        return button;
    }

};

TEST_F(LbButtonFadeTest, LeavingFadesBackInEightStepsOfThirtyMilliseconds)
{
    ProbeButton *button = hotButton(true);
    ASSERT_NE(button->fadeTimer(), nullptr);
    EXPECT_FALSE(button->fadeTimer()->isActive());
    EXPECT_EQ(centreOf(*button), kHot);

    movePointerAway();
    EXPECT_EQ(button->fadeLevel(), 8);
    EXPECT_TRUE(button->fadeTimer()->isActive());
    EXPECT_EQ(button->fadeTimer()->interval(), 30);
    EXPECT_EQ(centreOf(*button), kHot);
    // Red goes from 255 to 210 and the others from 0 to 210 in eighths, truncated.
    const int red[8] = {249, 243, 238, 232, 226, 221, 215, 210};
    const int rest[8] = {26, 52, 78, 105, 131, 157, 183, 210};
    for (int step = 0; step < 8; ++step) {
        button->FadeStep();
        EXPECT_EQ(button->fadeLevel(), 7 - step);
        EXPECT_EQ(centreOf(*button), QColor(red[step], rest[step], rest[step])) << "step " << step;
        EXPECT_EQ(button->fadeTimer()->isActive(), step < 7) << "step " << step;
    }
    EXPECT_NE(button->fadeTimer(), nullptr);
}

TEST_F(LbButtonFadeTest, WithoutSlowDeceaseLeavingRestoresTheFaceAtOnce)
{
    ProbeButton *button = hotButton(false);
    EXPECT_EQ(centreOf(*button), kHot);
    movePointerAway();
    EXPECT_EQ(button->fadeLevel(), 0);
    EXPECT_EQ(button->fadeTimer(), nullptr);
    EXPECT_EQ(centreOf(*button), kFace);
}

TEST_F(LbButtonFadeTest, ClearingSlowDeceaseMidFadeEndsIt)
{
    ProbeButton *button = hotButton(true);
    movePointerAway();
    button->FadeStep();
    const QPointer<QTimer> timer = button->fadeTimer();
    button->setSlowDecease(false);
    EXPECT_TRUE(timer.isNull());
    EXPECT_EQ(button->fadeLevel(), 0);
    EXPECT_EQ(centreOf(*button), kFace);
}

TEST_F(LbButtonFadeTest, DestroyingTheButtonMidFadeStopsTheTimer)
{
    for (const bool withParent : {false, true}) {
        ProbeButton *button = hotButton(true);
        movePointerAway();
        button->FadeStep();
        button->FadeStep();
        const QPointer<QTimer> timer = button->fadeTimer();
        ASSERT_TRUE(timer && timer->isActive());
        if (withParent)
            host.reset();
        else
            delete button;
        EXPECT_TRUE(timer.isNull()) << "with parent " << withParent;
        resetHost();
    }
}

} // namespace
