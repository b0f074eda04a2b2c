#include "board/FontFit.h"
#include "platform/FontUnits.h"

#include <QSize>
#include <gtest/gtest.h>

namespace {

// Widths grow by `perChar` pixels per character and pixel of font size, like a fixed-pitch
// font; the line height is 1.15 times the pixel size. Simple enough to work out by hand.
class LinearMeasure : public FontMeasure
{
public:
    explicit LinearMeasure(double perChar = 0.5)
        : m_perChar(perChar)
    {
    }
    int textWidth(const QString &text, int points) override
    {
        ++calls;
        return int(text.size() * m_perChar * pointsToPixels(points));
    }
    int lineHeight(int points) override
    {
        ++calls;
        return int(pointsToPixels(points) * 1.15);
    }
    int calls = 0;

private:
    double m_perChar;
};

struct FitCase
{
    const char *caption;
    int width;
    int height;
    int expectedPoints;
};

} // namespace

TEST(FontFit, FollowsTheSteppingRulesOnAKnownMeasure)
{
    // Start size for a 40 px box is 30 pt (40 px). Widths: n chars * 0.5 * px.
    const FitCase cases[] = {
        // One short line that fits at the start size still ends one point smaller.
        {"AB", 100, 40, 29},
        // 4 chars at 30 pt are exactly 80 px: as wide as the box, so it still shrinks to 29 pt.
        {"ABCD", 80, 40, 28},
        // Empty caption: nothing shrinks, one point less than the start.
        {"", 10, 40, 29},
        // Far too long: stops at 5 points, minus one for a single line.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 40, 4},
        // Two lines: no final reduction; the second line must stay under half the height:
        // 1.15 * px < 20 gives px <= 17, i.e. 13 pt (17 px).
        {"AB\r\nCD", 200, 40, 13},
        // Two lines, the first one decides the width.
        {"ABCDEFGHIJ\r\nA", 100, 100, 14},
        // Only the first CR LF splits; the rest belongs to line two.
        {"A\r\nBB\r\nCC", 1000, 400, 130},
        // A start size of 5 points or less: nothing shrinks.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 2, 6, 4},
        {"ABCDEFGHIJ\r\nKLMNOPQRSTUVWXYZ", 2, 6, 5},
    };
    for (const FitCase &c : cases) {
        LinearMeasure reference;
        LinearMeasure fast;
        const QString caption = QString::fromUtf8(c.caption);
        const int stepped = fitFontPointsByStepping(caption, c.width, c.height, reference);
        EXPECT_EQ(stepped, c.expectedPoints) << c.caption << " in " << c.width << "x" << c.height;
        EXPECT_EQ(fitFontPoints(caption, c.width, c.height, fast), stepped) << c.caption;
    }
}

TEST(FontFit, SecondLineIsCutAfter255Characters)
{
    // All 300 characters would need 9 px (7 pt); the 255 that count fit at 11 px (8 pt).
    const QString caption = QStringLiteral("A\r\n") + QString(300, QLatin1Char('x'));
    LinearMeasure measure(1.0);
    const int points = fitFontPointsByStepping(caption, 3000, 200, measure);
    EXPECT_EQ(points, 8);
    EXPECT_EQ(fitFontPoints(caption, 3000, 200, measure), points);
}

TEST(FontFit, NeedsFewMeasurementsForALargeBoard)
{
    // A 4K board row: the stepping loop walks down hundreds of points.
    const QString caption = QStringLiteral("1234567,89");
    LinearMeasure stepping;
    LinearMeasure predicting;
    const int expected = fitFontPointsByStepping(caption, 500, 1500, stepping);
    EXPECT_EQ(fitFontPoints(caption, 500, 1500, predicting), expected);
    EXPECT_GT(stepping.calls, 500);
    EXPECT_LT(predicting.calls, 12);
}

TEST(FontFit, MatchesTheSteppingLoopWithRealFonts)
{
    const QStringList families = {QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans")};
    const QStringList captions = {
        QStringLiteral("USD"), QStringLiteral("ДОЛЛАР США"), QStringLiteral("93,10"),
        QStringLiteral("1234567,890"), QStringLiteral("ПАЛЛАДИЙ"), QStringLiteral("W"),
        QStringLiteral("КУРСЫ ОБМЕНА ВАЛЮТ\r\nEXCHANGE RATES"), QStringLiteral("ПОКУПКА\r\nWE BUY AT"),
        QStringLiteral("ПРОДАЖА\r\nWE SELL AT"), QStringLiteral("09.12.2026\r\n21:45"),
        QStringLiteral("Tитульная строка или лого"), QString(), QStringLiteral("&&&& iii lll")};
    // Preview-sized boxes, a few TV-sized ones and degenerate ones.
    const QList<QSize> boxes = {{90, 19},  {60, 40},  {270, 96}, {81, 48}, {120, 48}, {45, 120},
                                {300, 60}, {607, 96}, {200, 13}, {5, 5},   {1, 40},   {350, 200}};
    for (const QString &family : families) {
        for (bool bold : {false, true}) {
            QFont font(family);
            font.setBold(bold);
            for (const QString &caption : captions) {
                for (const QSize &box : boxes) {
                    QtFontMeasure stepping(font);
                    QtFontMeasure predicting(font);
                    const int expected = fitFontPointsByStepping(caption, box.width(), box.height(), stepping);
                    ASSERT_EQ(fitFontPoints(caption, box.width(), box.height(), predicting), expected)
                        << family.toStdString() << (bold ? " bold " : " ") << caption.toStdString() << " in "
                        << box.width() << "x" << box.height();
                }
            }
        }
    }
}
