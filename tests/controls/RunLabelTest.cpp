#include "controls/RunLabel.h"
#include "controls/RunPath.h"

#include "tests/TestSupport.h"

#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;

// Bounding box of the pixels for which `match` holds.
QRect boxOf(const QImage &image, const std::function<bool(QRgb)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QRect colourBox(const QImage &image, QRgb colour)
{
    return boxOf(image, [colour](QRgb p) { return p == colour; });
}

QRect inkBox(const QImage &image, QRgb background)
{
    return boxOf(image, [background](QRgb p) { return p != background; });
}

// A font without antialiasing, so every text pixel has exactly one of the colours.
QFont crispFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont smoothFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

// Records the run events in order, with the position at which each was seen.
struct EventLog
{
    explicit EventLog(TRunString &run)
        : run(run)
    {
        QObject::connect(&run, &TRunString::OnBegin, [this](QObject *sender) { add("begin", sender); });
        QObject::connect(&run, &TRunString::OnStep, [this](QObject *sender) { add("step", sender); });
        QObject::connect(&run, &TRunString::OnEnd, [this](QObject *sender) { add("end", sender); });
    }
    void add(const char *name, QObject *sender)
    {
        EXPECT_EQ(sender, &run);
        events.push_back(std::string(name) + "@" + std::to_string(run.position()));
    }
    std::vector<std::string> take()
    {
        std::vector<std::string> taken;
        taken.swap(events);
        return taken;
    }
    TRunString &run;
    std::vector<std::string> events;
};

// The frame a control should show with its text box at `origin`: the same text drawn
// once at rest on a canvas large enough to hold all of it, cut out around origin.
QImage frameWithTextAt(TRunString &like, QPoint origin)
{
    TRunString canvas;
    canvas.setRFont(like.rFont(), like.rFontColor());
    canvas.setRText(like.rText());
    canvas.setLabelStyle(like.labelStyle());
    canvas.setDepth(like.depth());
    canvas.setColor(like.color());
    canvas.setColorH(like.colorH());
    canvas.setColorS(like.colorS());
    canvas.setDirection(TRunString::rdStatic);
    canvas.resize(like.textBoxWidth() + 400, like.textBoxHeight() + 400);
    const QPoint rest = canvas.textOrigin();
    EXPECT_EQ(rest, QPoint(200, 200));
    const QImage text = canvas.renderFrameFresh();
    QImage frame(like.size(), QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QPoint at = QPoint(x, y) - origin + rest;
            frame.setPixel(x, y, text.rect().contains(at) ? text.pixel(at) : text.pixel(0, 0));
        }
    return frame;
}

} // namespace

// ---------------------------------------------------------------- path arithmetic

TEST(RunPath, CentresOnlyWhatFits)
{
    EXPECT_EQ(runpath::centred(192, 100), 46);
    EXPECT_EQ(runpath::centred(192, 101), 45); // truncates
    EXPECT_EQ(runpath::centred(20, 20), 0);
    EXPECT_EQ(runpath::centred(20, 300), 0);
    EXPECT_EQ(runpath::centred(10, -5), 7);    // (10 + 5) div 2
    EXPECT_EQ(runpath::centred(-5, -10), 2);   // (-5 + 10) div 2
    EXPECT_EQ(runpath::centred(-10, -5), 0);
    EXPECT_EQ(runpath::centred(std::numeric_limits<int>::max(), std::numeric_limits<int>::min()),
              std::numeric_limits<int>::max());
}

TEST(RunPath, FractionOfARunWithoutLengthIsZero)
{
    EXPECT_DOUBLE_EQ(runpath::fraction(50, 200), 0.25);
    EXPECT_DOUBLE_EQ(runpath::fraction(5, 0), 0.0);
    EXPECT_DOUBLE_EQ(runpath::fraction(5, -6), 0.0);
}

TEST(RunPath, EdgesOfThePath)
{
    // A box of 50 on an extent of 100: far edge at f = 0, past the near edge at f = 1.
    EXPECT_EQ(runpath::fromFarEdge(0.0, 50, 100), 100);
    EXPECT_EQ(runpath::fromFarEdge(1.0, 50, 100), -50);
    EXPECT_EQ(runpath::fromNearEdge(0.0, 50, 100), -50);
    EXPECT_EQ(runpath::fromNearEdge(1.0, 50, 100), 100);
    // (1 - 1/4) * 150 = 112.5 rounds to 112; 1/4 * 150 = 37.5 rounds to 38.
    EXPECT_EQ(runpath::fromFarEdge(0.25, 50, 100), 62);
    EXPECT_EQ(runpath::fromNearEdge(0.25, 50, 100), -12);
    // Nothing overflows at the ends of the int range.
    EXPECT_EQ(runpath::fromFarEdge(-1e10, std::numeric_limits<int>::max(), 10), 0);
    EXPECT_EQ(runpath::fromFarEdge(-1e10, -5, 10), std::numeric_limits<int>::max());
    EXPECT_EQ(runpath::fromNearEdge(-1e10, 5, 10), std::numeric_limits<int>::min());
}

// ---------------------------------------------------------------- properties

TEST(RunLabel, ConstructorValues)
{
    TRunLabel label;
    EXPECT_EQ(label.size(), QSize(192, 20));
    EXPECT_EQ(label.labelStyle(), TRunString::rlRaised);
    EXPECT_EQ(label.depth(), 1);
    EXPECT_EQ(label.steps(), 192);
    EXPECT_EQ(label.oneStep(), 1);
    EXPECT_EQ(label.speed(), 10);
    EXPECT_EQ(label.timerInterval(), 10);
    EXPECT_EQ(label.color(), 0);
    EXPECT_EQ(label.colorH(), clBlue);
    EXPECT_EQ(label.colorS(), clBlue);
    EXPECT_EQ(label.rFontName(), QStringLiteral("System"));
    EXPECT_EQ(label.rFontSize(), 10);
    EXPECT_EQ(label.rFontColor(), clWhite);
    EXPECT_TRUE(label.autoRewind());
    EXPECT_EQ(label.direction(), TRunString::rdRightToLeft);
    EXPECT_EQ(label.rText(), QStringLiteral("Running label"));
    EXPECT_EQ(label.stepToView(), 96);
    EXPECT_EQ(label.position(), 0);
    EXPECT_FALSE(label.isRunning());
    EXPECT_FALSE(label.designMode());
}

TEST(RunLabel, PublishesPropertiesUnderTheirNames)
{
    TRunLabel label;
    const struct
    {
        const char *name;
        QVariant value;
    } cases[] = {{"LabelStyle", QVariant::fromValue(TRunString::rlLowered)},
                 {"Depth", 3},
                 {"Steps", 77},
                 {"OneStep", 4},
                 {"Speed", 25},
                 {"Color", QVariant::fromValue<TColor>(clMaroon)},
                 {"ColorH", QVariant::fromValue<TColor>(clYellow)},
                 {"ColorS", QVariant::fromValue<TColor>(clTeal)},
                 {"RFontColor", QVariant::fromValue<TColor>(clRed)},
                 {"AutoRewind", false},
                 {"Direction", QVariant::fromValue(TRunString::rdBottomToTop)},
                 {"RText", QStringLiteral("Курс")}};
    for (const auto &c : cases) {
        ASSERT_TRUE(label.setProperty(c.name, c.value)) << c.name;
        EXPECT_EQ(label.property(c.name), c.value) << c.name;
    }
    EXPECT_EQ(label.steps(), label.textBoxWidth() + label.width()); // the text change recalculated
    label.setProperty("RFont", crispFont(30));
    EXPECT_EQ(label.rFont().pixelSize(), 30);
    EXPECT_EQ(label.property("StepToView").toInt(), 96);
    // The base class keeps Direction, RText and StepToView to itself.
    TRunString base;
    EXPECT_LT(base.metaObject()->indexOfProperty("Direction"), 0);
    EXPECT_LT(base.metaObject()->indexOfProperty("RText"), 0);
    EXPECT_LT(base.metaObject()->indexOfProperty("StepToView"), 0);
}

TEST(RunLabel, SpeedIsClampedAndDrivesTheTimer)
{
    const struct
    {
        int given;
        int stored;
    } cases[] = {{0, 1}, {5000, 1000}, {-7, 1}, {1000, 1000}, {1, 1}, {250, 250}};
    for (const auto &c : cases) {
        TRunLabel label;
        label.setSpeed(c.given);
        EXPECT_EQ(label.speed(), c.stored) << c.given;
        EXPECT_EQ(label.timerInterval(), c.stored) << c.given;
    }
}

TEST(RunLabel, ZeroStepsAndZeroStepSizeBecomeOne)
{
    TRunLabel label;
    label.setSteps(0);
    EXPECT_EQ(label.steps(), 1);
    label.setOneStep(0);
    EXPECT_EQ(label.oneStep(), 1);
    label.setOneStep(-3);
    EXPECT_EQ(label.oneStep(), -3); // negative step sizes are kept
    label.setSteps(-4);
    EXPECT_EQ(label.steps(), -4);
}

TEST(RunLabel, ChangedLookRecalculatesUnchangedDoesNot)
{
    const struct
    {
        const char *what;
        std::function<void(TRunLabel &)> same;
        std::function<void(TRunLabel &)> changed;
    } cases[] = {
        {"RText", [](TRunLabel &l) { l.setRText(l.rText()); }, [](TRunLabel &l) { l.setRText("Другой текст"); }},
        {"LabelStyle", [](TRunLabel &l) { l.setLabelStyle(TRunString::rlRaised); },
         [](TRunLabel &l) { l.setLabelStyle(TRunString::rlLowered); }},
        {"Depth", [](TRunLabel &l) { l.setDepth(1); }, [](TRunLabel &l) { l.setDepth(4); }},
        {"Color", [](TRunLabel &l) { l.setColor(0); }, [](TRunLabel &l) { l.setColor(clGray); }},
        {"ColorH", [](TRunLabel &l) { l.setColorH(clBlue); }, [](TRunLabel &l) { l.setColorH(clRed); }},
        {"ColorS", [](TRunLabel &l) { l.setColorS(clBlue); }, [](TRunLabel &l) { l.setColorS(clRed); }},
        {"RFontColor", [](TRunLabel &l) { l.setRFontColor(clWhite); }, [](TRunLabel &l) { l.setRFontColor(clLime); }},
        {"RFontSize", [](TRunLabel &l) { l.setRFontSize(10); }, [](TRunLabel &l) { l.setRFontSize(24); }},
        // Assigning a whole font always recalculates, even the same one.
        {"RFont", [](TRunLabel &) {}, [](TRunLabel &l) { l.setRFont(l.rFont()); }},
    };
    for (const auto &c : cases) {
        TRunLabel label;
        label.setSteps(5);
        c.same(label);
        EXPECT_EQ(label.steps(), 5) << c.what;
        c.changed(label);
        EXPECT_EQ(label.steps(), label.textBoxWidth() + 192) << c.what;
        EXPECT_GT(label.steps(), 192) << c.what;
    }
}

TEST(RunLabel, RecalculateMeasuresTheTextBox)
{
    TRunLabel label;
    label.setRFont(crispFont(16));
    label.setDepth(3);
    const QFontMetrics fm(crispFont(16));
    const int bw = fm.horizontalAdvance(label.rText()) + 6;
    const int bh = fm.height() + 6;
    EXPECT_EQ(label.textBoxWidth(), bw);
    EXPECT_EQ(label.textBoxHeight(), bh);
    EXPECT_EQ(label.steps(), bw + 192);
    EXPECT_EQ(label.offsetX(), bw < 192 ? (192 - bw) / 2 : 0);
    EXPECT_EQ(label.offsetY(), 0); // the box is taller than 20
    // A resize alone keeps Steps.
    label.resize(400, 60);
    EXPECT_EQ(label.steps(), bw + 192);
    label.Recalculate();
    EXPECT_EQ(label.steps(), bw + 400);
    EXPECT_EQ(label.offsetY(), (60 - bh) / 2);
}

TEST(RunLabel, DirectionAndAutoRewindOnlyStore)
{
    TRunLabel label;
    label.setSteps(5);
    label.setDirection(TRunString::rdTopToBottom);
    label.setAutoRewind(false);
    EXPECT_EQ(label.direction(), TRunString::rdTopToBottom);
    EXPECT_FALSE(label.autoRewind());
    EXPECT_EQ(label.steps(), 5);
}

TEST(RunLabel, StepToViewBelongsToDesignMode)
{
    TRunLabel label;
    label.setSteps(50);
    label.setStepToView(10);
    EXPECT_EQ(label.stepToView(), 96); // run time: neither follows Steps nor takes a value

    label.setDesignMode(true);
    label.setSteps(50);
    EXPECT_EQ(label.stepToView(), 96); // unchanged Steps: nothing happens
    label.setSteps(60);
    EXPECT_EQ(label.stepToView(), 30);
    label.setStepToView(61);
    EXPECT_EQ(label.stepToView(), 30); // beyond Steps
    label.setStepToView(-1);
    EXPECT_EQ(label.stepToView(), 30);
    label.setStepToView(20);
    EXPECT_EQ(label.stepToView(), 20);
    EXPECT_EQ(label.steps(), label.textBoxWidth() + 192); // stored, then recalculated
}

// ---------------------------------------------------------------- the run

TEST(RunLabel, FreshControlRunsInSteps192)
{
    TRunLabel label;
    EventLog log(label);
    label.Start(0);
    EXPECT_TRUE(log.take().empty()); // Start fires nothing
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"begin@0", "step@1"}));
    for (int tick = 2; tick < 192; ++tick)
        label.TimerTick();
    EXPECT_EQ(log.take().size(), 190u); // steps only
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"step@192", "end@192"}));
    EXPECT_EQ(label.position(), 0);
    EXPECT_TRUE(label.isRunning());
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"begin@0", "step@1"}));
}

TEST(RunLabel, FreshControlPathIsScaledToItsSteps)
{
    // Not recalculated: 192 steps carry the box over BW + 192 pixels.
    TRunLabel label;
    label.setLabelStyle(TRunString::rlNormal);
    label.setDepth(0);
    label.setRFont(crispFont(14), clWhite);
    label.setRText("Wide running text on the board");
    label.setSteps(192);
    const int bw = label.textBoxWidth();
    ASSERT_GT(bw, 100);

    label.Start(0);
    int previous = label.textOrigin().x();
    EXPECT_EQ(previous, 192);
    for (int tick = 1; tick <= 192; ++tick) {
        label.TimerTick();
        const int position = tick == 192 ? 192 : label.position();
        label.Stop();
        label.Start(position); // show the last frame of the run too
        const int x = label.textOrigin().x();
        const double exact = (1.0 - position / 192.0) * (bw + 192) - bw;
        EXPECT_LE(std::abs(x - exact), 0.5) << tick;
        const int stride = previous - x;
        EXPECT_TRUE(stride == (bw + 192) / 192 || stride == (bw + 192) / 192 + 1) << tick;
        previous = x;
        if (tick % 8 == 0 || tick == 192) {
            EXPECT_EQ(label.renderFrame(), frameWithTextAt(label, QPoint(x, label.offsetY()))) << tick;
        }
    }
    EXPECT_EQ(previous, -bw); // just beyond the left edge
}

TEST(RunLabel, RecalculatedControlMovesOnePixelPerTick)
{
    TRunLabel label;
    label.setLabelStyle(TRunString::rlNormal);
    label.setRFont(crispFont(14), clWhite);
    const int bw = label.textBoxWidth();
    ASSERT_EQ(label.steps(), bw + 192);

    EventLog log(label);
    label.Start(0);
    for (int tick = 1; tick < bw + 192; ++tick) {
        label.TimerTick();
        ASSERT_EQ(label.textOrigin().x(), 192 - tick);
        if (tick % 17 == 0) {
            EXPECT_EQ(label.renderFrame(), frameWithTextAt(label, QPoint(192 - tick, label.offsetY()))) << tick;
        }
    }
    EXPECT_EQ(log.take().back(), "step@" + std::to_string(bw + 191));
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"step@" + std::to_string(bw + 192), "end@" + std::to_string(bw + 192)}));
}

TEST(RunLabel, StepsOfNineOverOneHundred)
{
    TRunLabel label;
    label.setSteps(100);
    label.setOneStep(9);
    EventLog log(label);
    label.Start(0);
    std::vector<std::string> expected{"begin@0"};
    for (int position = 9; position <= 99; position += 9)
        expected.push_back("step@" + std::to_string(position));
    expected.push_back("step@108");
    expected.push_back("end@108");
    for (int tick = 0; tick < 12; ++tick)
        label.TimerTick();
    EXPECT_EQ(log.take(), expected);
    EXPECT_EQ(label.position(), 0);
}

TEST(RunLabel, WithoutAutoRewindTheRunStopsAfterOnEnd)
{
    TRunLabel label;
    label.setSteps(3);
    label.setAutoRewind(false);
    bool runningInOnEnd = true;
    QObject::connect(&label, &TRunString::OnEnd, [&] { runningInOnEnd = label.isRunning(); });
    EventLog log(label);
    label.Start(0);
    for (int tick = 0; tick < 3; ++tick)
        label.TimerTick();
    EXPECT_FALSE(runningInOnEnd); // the timer is off before OnEnd fires
    EXPECT_FALSE(label.isRunning());
    EXPECT_EQ(label.position(), 0);
    log.take();
    label.TimerTick(); // a late tick does nothing
    EXPECT_TRUE(log.take().empty());
    EXPECT_EQ(label.position(), 0);
}

TEST(RunLabel, StopKeepsThePositionAndStartMinusOneResumes)
{
    TRunLabel label;
    for (int tick = 0; tick < 5; ++tick)
        label.TimerTick(); // not started: nothing moves
    EXPECT_EQ(label.position(), 0);
    label.Start(0);
    for (int tick = 0; tick < 5; ++tick)
        label.TimerTick();
    EXPECT_EQ(label.Stop(), 5);
    EXPECT_FALSE(label.isRunning());
    label.TimerTick();
    EXPECT_EQ(label.position(), 5);
    label.Start(-1);
    EXPECT_TRUE(label.isRunning());
    EXPECT_EQ(label.position(), 5);
    label.TimerTick();
    EXPECT_EQ(label.position(), 6);
    label.Start(label.steps() + 1); // out of range: kept
    EXPECT_EQ(label.position(), 6);
    label.Start(label.steps()); // the upper end is in range
    EXPECT_EQ(label.position(), label.steps());
}

TEST(RunLabel, OnEndMayLoadTheNextTextAndStartAgain)
{
    TRunLabel label;
    label.setAutoRewind(false);
    label.setSteps(4);
    int ends = 0;
    QObject::connect(&label, &TRunString::OnEnd, [&] {
        if (++ends == 1) {
            label.setRText("Следующая строка");
            label.Start(0);
        }
    });
    EventLog log(label);
    label.Start(0);
    for (int tick = 0; tick < 4; ++tick)
        label.TimerTick();
    EXPECT_TRUE(label.isRunning());
    EXPECT_EQ(label.position(), 0);
    const int newSteps = label.textBoxWidth() + 192;
    EXPECT_EQ(label.steps(), newSteps);
    log.take();
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"begin@0", "step@1"}));
    for (int tick = 1; tick < newSteps; ++tick)
        label.TimerTick();
    EXPECT_EQ(ends, 2);
    EXPECT_FALSE(label.isRunning());
}

TEST(RunLabel, HugeStepSizeDoesNotOverflow)
{
    TRunLabel label;
    label.setSteps(std::numeric_limits<int>::max());
    label.setOneStep(std::numeric_limits<int>::max() - 1);
    EventLog log(label);
    label.Start(0);
    label.TimerTick();
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"begin@0", "step@2147483646", "step@2147483647", "end@2147483647"}));
    label.setOneStep(std::numeric_limits<int>::min());
    label.TimerTick();
    label.TimerTick();
    EXPECT_EQ(label.position(), std::numeric_limits<int>::min());
    (void)label.renderFrame();
}

TEST(RunLabel, RunWithoutLengthIsDrawnAtItsStart)
{
    // Empty text, no depth, no width: Steps becomes 0; with a negative depth below 0.
    TRunLabel label;
    label.resize(0, 20);
    label.setRText("");
    label.setDepth(0);
    EXPECT_EQ(label.steps(), 0);
    EventLog log(label);
    label.Start(0);
    label.TimerTick();
    EXPECT_EQ(log.take(), (std::vector<std::string>{"begin@0", "step@1", "end@1"}));

    label.resize(4, 20);
    label.setRText("x");
    label.setRFont(crispFont(8));
    label.setDepth(-20);
    ASSERT_LT(label.steps(), 0);
    label.Start(0);
    label.TimerTick();
    label.Stop();
    label.Start(0);
    EXPECT_EQ(label.textOrigin().x(), 4); // drawn as f = 0: at the right edge
    EXPECT_EQ(label.renderFrame(), label.renderFrameFresh());
}

// ---------------------------------------------------------------- pixels

namespace {

// A crisp 300 x 80 control whose text box fits both ways.
void setUpCrisp(TRunLabel &label)
{
    label.resize(300, 80);
    label.setLabelStyle(TRunString::rlNormal);
    label.setDepth(0);
    label.setRFont(crispFont(18), clWhite);
    label.setRText("Wg Курс");
}

} // namespace

TEST(RunLabel, DirectionOrigins)
{
    using D = TRunString::TRDirection;
    struct Box
    {
        int bw, bh, w, h, ox, oy;
    };
    // Steps is set to the horizontal or the vertical path, so that Position pixels
    // are covered exactly; fractions in between round half to even.
    const struct
    {
        D direction;
        bool verticalPath;
        int position;
        std::function<QPoint(const Box &, int)> expected;
    } cases[] = {
        {D::rdRightToLeft, false, 0, [](const Box &b, int) { return QPoint(b.w, b.oy); }},
        {D::rdRightToLeft, false, 120, [](const Box &b, int p) { return QPoint(b.w - p, b.oy); }},
        {D::rdRightToLeft, false, -1, [](const Box &b, int) { return QPoint(-b.bw, b.oy); }},
        {D::rdLeftToRight, false, 0, [](const Box &b, int) { return QPoint(-b.bw, b.oy); }},
        {D::rdLeftToRight, false, 150, [](const Box &b, int p) { return QPoint(p - b.bw, b.oy); }},
        {D::rdLeftToRight, false, -1, [](const Box &b, int) { return QPoint(b.w, b.oy); }},
        {D::rdTopToBottom, true, 0, [](const Box &b, int) { return QPoint(b.ox, b.h); }},
        {D::rdTopToBottom, true, 40, [](const Box &b, int p) { return QPoint(b.ox, b.h - p); }},
        {D::rdTopToBottom, true, -1, [](const Box &b, int) { return QPoint(b.ox, -b.bh); }},
        {D::rdBottomToTop, true, 0, [](const Box &b, int) { return QPoint(b.ox, -b.bh); }},
        {D::rdBottomToTop, true, 60, [](const Box &b, int p) { return QPoint(b.ox, p - b.bh); }},
        {D::rdBottomToTop, true, -1, [](const Box &b, int) { return QPoint(b.ox, b.h); }},
        {D::rdStatic, false, 0, [](const Box &b, int) { return QPoint(b.ox, b.oy); }},
        {D::rdStatic, false, 77, [](const Box &b, int) { return QPoint(b.ox, b.oy); }},
    };
    TRunLabel label;
    setUpCrisp(label);
    label.setDirection(TRunString::rdStatic);
    label.textOrigin();
    const Box box{label.textBoxWidth(), label.textBoxHeight(), 300, 80, label.offsetX(), label.offsetY()};
    ASSERT_GT(box.ox, 0);
    ASSERT_GT(box.oy, 0);

    for (const auto &c : cases) {
        const int steps = c.verticalPath ? box.bh + box.h : box.bw + box.w;
        const int position = c.position < 0 ? steps : c.position; // -1: the end of the run
        label.setDirection(c.direction);
        label.setSteps(steps);
        label.Start(position);
        label.Stop();
        const QPoint expected = c.expected(box, position);
        EXPECT_EQ(label.textOrigin(), expected) << c.direction << " at " << position;
        EXPECT_EQ(label.renderFrame(), frameWithTextAt(label, expected)) << c.direction << " at " << position;
    }
}

TEST(RunLabel, VerticalPathsUseTheHorizontalSteps)
{
    // After Recalculate both vertical paths take BW + Width steps, so a step moves the
    // text (BH + Height) / Steps pixels, rounded half to even per frame.
    TRunLabel label;
    setUpCrisp(label);
    label.Recalculate();
    const int steps = label.steps();
    const int bh = label.textBoxHeight();
    const struct
    {
        TRunString::TRDirection direction;
        int sign;
    } cases[] = {{TRunString::rdTopToBottom, -1}, {TRunString::rdBottomToTop, 1}};
    for (const auto &c : cases) {
        label.setDirection(c.direction);
        for (int position = 0; position <= steps; position += 13) {
            label.Start(position);
            label.Stop();
            const double travelled = double(position) / steps * (bh + 80);
            const double exact = c.sign < 0 ? 80 - travelled : travelled - bh;
            const int y = label.textOrigin().y();
            EXPECT_LE(std::abs(y - exact), 0.5) << position;
            if (std::abs(y - exact) == 0.5) {
                // y + BH (or y - Height) is the rounded value itself.
                EXPECT_EQ((y - (c.sign < 0 ? 80 : -bh)) % 2, 0) << "ties go to even, " << position;
            }
        }
    }
}

TEST(RunLabel, EffectCopiesSitAroundTheMainText)
{
    const struct
    {
        TRunString::TRLabelStyle style;
        QRgb topLeft;
        QRgb bottomRight;
    } cases[] = {{TRunString::rlRaised, kRed, kGreen}, {TRunString::rlLowered, kGreen, kRed}};
    TRunLabel label;
    setUpCrisp(label);
    label.setDirection(TRunString::rdStatic);
    const QPoint rest = label.textOrigin();
    const QRect ink = inkBox(label.renderFrameFresh(), kBlack).translated(-rest);

    label.setColorH(clRed);
    label.setColorS(clLime);
    label.setDepth(2);
    for (const auto &c : cases) {
        label.setLabelStyle(c.style);
        const QPoint origin = label.textOrigin();
        EXPECT_EQ(origin, QPoint(label.offsetX(), label.offsetY()));
        const QImage frame = label.renderFrame();
        EXPECT_EQ(colourBox(frame, kWhite), ink.translated(origin + QPoint(2, 2)));
        EXPECT_EQ(colourBox(frame, c.topLeft).topLeft(), ink.translated(origin).topLeft());
        EXPECT_EQ(colourBox(frame, c.bottomRight).bottomRight(), ink.translated(origin + QPoint(4, 4)).bottomRight());
    }
    // rlNormal has no copies but is still moved by Depth.
    label.setLabelStyle(TRunString::rlNormal);
    const QImage frame = label.renderFrame();
    EXPECT_TRUE(colourBox(frame, kRed).isEmpty());
    EXPECT_TRUE(colourBox(frame, kGreen).isEmpty());
    EXPECT_EQ(colourBox(frame, kWhite), ink.translated(label.textOrigin() + QPoint(2, 2)));
}

TEST(RunLabel, StaticTextWiderThanTheControlStartsAtDepth)
{
    TRunLabel label;
    label.setLabelStyle(TRunString::rlNormal);
    label.setRFont(crispFont(16), clWhite);
    label.setRText("Wide text");
    label.setDirection(TRunString::rdStatic);
    label.resize(40, 20);
    const auto inkLeft = [&](int depth) {
        label.setDepth(depth);
        EXPECT_GT(label.textBoxWidth(), 40);
        EXPECT_EQ(label.textOrigin().x(), 0);
        const QImage frame = label.renderFrame();
        EXPECT_EQ(frame, frameWithTextAt(label, QPoint(0, label.offsetY()))); // cut at the right edge
        return colourBox(frame, kWhite).left();
    };
    const int flush = inkLeft(0);
    EXPECT_EQ(inkLeft(1), flush + 1);
    EXPECT_EQ(inkLeft(3), flush + 3);
    // The run still counts steps and fires its events.
    label.Recalculate();
    EventLog log(label);
    label.Start(0);
    for (int tick = 0; tick < label.steps(); ++tick)
        label.TimerTick();
    const auto events = log.take();
    EXPECT_EQ(events.front(), "begin@0");
    EXPECT_EQ(events.back(), "end@" + std::to_string(label.textBoxWidth() + 40));
}

TEST(RunLabel, CachedStripGivesTheSamePixelsAsDrawingAfresh)
{
    const TRunString::TRDirection directions[] = {TRunString::rdStatic, TRunString::rdRightToLeft,
                                                  TRunString::rdLeftToRight, TRunString::rdTopToBottom,
                                                  TRunString::rdBottomToTop};
    const TRunString::TRLabelStyle styles[] = {TRunString::rlNormal, TRunString::rlRaised, TRunString::rlLowered};
    TRunLabel label;
    label.resize(260, 44);
    label.setRFont(smoothFont(26), clYellow);
    label.setRText("Курс доллара — 92,50 ₽ Wj");
    label.setColor(clNavy);
    label.setColorH(clAqua);
    label.setColorS(clMaroon);
    label.setDepth(2);
    int compared = 0;
    for (const auto style : styles) {
        label.setLabelStyle(style);
        for (const auto direction : directions) {
            label.setDirection(direction);
            for (int position = 0; position <= label.steps(); position += 11) {
                label.Start(position);
                label.Stop();
                ASSERT_EQ(label.renderFrame(), label.renderFrameFresh())
                    << "style " << style << " direction " << direction << " position " << position;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 15 * 20);
}

TEST(RunLabel, VeryLongTextsGiveTheSamePixelsAsDrawingAfresh)
{
    // One strip wider than 32767 pixels, and one too large to be cached at all.
    const struct
    {
        int pixels;
        int repeats;
    } cases[] = {{20, 300}, {200, 120}};
    for (const auto &c : cases) {
        TRunLabel label;
        label.resize(500, c.pixels + 20);
        label.setRFont(smoothFont(c.pixels), clWhite);
        label.setRText(QStringLiteral("Обмен валют 24 часа. ").repeated(c.repeats));
        ASSERT_GT(label.textBoxWidth(), 40000);
        const int steps = label.steps();
        for (const int position : {0, 700, steps / 3, steps - 400, steps}) {
            label.Start(position);
            label.Stop();
            EXPECT_EQ(label.renderFrame(), label.renderFrameFresh()) << c.pixels << " at " << position;
        }
    }
}

TEST(RunLabel, CachedStripFollowsEveryChange)
{
    TRunLabel label;
    label.resize(300, 50);
    label.setRFont(smoothFont(24));
    label.Start(150);
    label.Stop();
    const std::function<void()> changes[] = {
        [&] { label.setRText("Новый текст"); },
        [&] { label.setRFontColor(clRed); },
        [&] { label.setColorH(clLime); },
        [&] { label.setColorS(clFuchsia); },
        [&] { label.setColor(clGray); },
        [&] { label.setDepth(3); },
        [&] { label.setLabelStyle(TRunString::rlLowered); },
        [&] { label.setRFontSize(20); },
        [&] { label.setRFontName("Liberation Serif"); },
        [&] { label.resize(320, 60); },
        [&] { label.setColor(clBtnFace); },
    };
    for (const auto &change : changes) {
        const QImage before = label.renderFrame();
        change();
        const QImage after = label.renderFrame();
        EXPECT_NE(before, after);
        EXPECT_EQ(after, label.renderFrameFresh());
    }
}

TEST(RunLabel, WidgetPaintsTheFrameAndNothingWhenHidden)
{
    QWidget form;
    form.resize(400, 100);
    auto *label = new TRunLabel(&form);
    label->setGeometry(10, 10, 300, 60);
    label->setRFont(smoothFont(30));
    label->Recalculate();
    label->Start(200);
    label->Stop();
    // On a form not shown yet the control still counts as visible.
    EXPECT_TRUE(label->isVisibleFlag());
    const QImage expected = label->renderFrameFresh();
    EXPECT_EQ(testsupport::renderWidget(label), expected);
    label->setCachedPainting(false);
    EXPECT_EQ(testsupport::renderWidget(label), expected);
    label->setCachedPainting(true);

    label->hide();
    EXPECT_FALSE(label->isVisibleFlag());
    const QImage hidden = testsupport::renderWidget(label);
    EXPECT_EQ(colourBox(hidden, 0xFFFF00FF), hidden.rect()); // untouched
}

TEST(RunLabel, TickPaintsAtOnce)
{
    QWidget form;
    form.resize(400, 100);
    auto *label = new TRunLabel(&form);
    label->setGeometry(0, 0, 300, 60);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int paints = 0;
    struct Counter : QObject
    {
        int &count;
        explicit Counter(int &c)
            : count(c)
        {
        }
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter(paints);
    label->installEventFilter(&counter);
    label->Start(0);
    label->TimerTick();
    EXPECT_EQ(paints, 1); // painted inside the tick, not later
    label->TimerTick();
    EXPECT_EQ(paints, 2);
    label->Stop();
}
