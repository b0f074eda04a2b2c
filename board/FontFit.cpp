#include "FontFit.h"

#include "platform/FontUnits.h"

#include <QFontMetrics>
#include <algorithm>
#include <functional>

namespace {

constexpr int kSmallestPoints = 5;

struct CaptionLines
{
    bool twoLines = false;
    QString first;
    QString second;
};

// Only the first CR LF splits; the second line keeps at most 255 characters after it.
CaptionLines splitCaption(const QString &caption)
{
    CaptionLines lines;
    const qsizetype breakAt = caption.indexOf(QLatin1String("\r\n"));
    if (breakAt < 0) {
        lines.second = caption;
        return lines;
    }
    lines.twoLines = true;
    lines.first = caption.left(breakAt);
    lines.second = caption.mid(breakAt + 2, 255);
    return lines;
}

int startPoints(int height)
{
    return pixelsToPoints(height);
}

using TooBig = std::function<bool(int points)>;

// The size at which `while (s > 5 && tooBig(s)) --s;` stops, for a tooBig that holds from
// some size upward. `guess` is a prediction of the answer.
int shrinkWhile(int s, const TooBig &tooBig, int guess)
{
    if (s <= kSmallestPoints || !tooBig(s))
        return s;
    // Invariant below: `fits` does not hold tooBig (or is the floor), `big` does.
    int big = s;
    int fits = std::clamp(guess, kSmallestPoints, s - 1);
    if (tooBig(fits)) {
        big = fits;
        int step = 1;
        for (;;) {
            const int candidate = big - step;
            if (candidate <= kSmallestPoints) {
                fits = kSmallestPoints;
                if (tooBig(fits))
                    return kSmallestPoints;
                break;
            }
            if (!tooBig(candidate)) {
                fits = candidate;
                break;
            }
            big = candidate;
            step *= 2;
        }
    } else {
        int step = 1;
        while (fits + step < big) {
            if (tooBig(fits + step)) {
                big = fits + step;
                break;
            }
            fits += step;
            step *= 2;
        }
    }
    while (big - fits > 1) {
        const int middle = fits + (big - fits) / 2;
        if (tooBig(middle))
            big = middle;
        else
            fits = middle;
    }
    return fits;
}

// Predicts the largest size at which a measure that grows in proportion to the size,
// and is `measured` at `points`, stays below `limit`.
int predictPoints(int points, int measured, int limit)
{
    if (measured <= 0)
        return points;
    const double pixels = double(pointsToPixels(points)) * (limit - 0.5) / measured;
    return int(pixels * 72.0 / 96.0);
}

int shrinkForWidth(int s, const QString &line, int width, FontMeasure &measure)
{
    if (s <= kSmallestPoints)
        return s;
    const int measured = measure.textWidth(line, s);
    if (measured < width)
        return s;
    const auto tooWide = [&](int points) { return measure.textWidth(line, points) >= width; };
    return shrinkWhile(s, tooWide, predictPoints(s, measured, width));
}

int shrinkForHeight(int s, int limit, FontMeasure &measure)
{
    if (s <= kSmallestPoints)
        return s;
    const int measured = measure.lineHeight(s);
    if (measured < limit)
        return s;
    const auto tooHigh = [&](int points) { return measure.lineHeight(points) >= limit; };
    return shrinkWhile(s, tooHigh, predictPoints(s, measured, limit));
}

} // namespace

int fitFontPoints(const QString &caption, int width, int height, FontMeasure &measure)
{
    const CaptionLines lines = splitCaption(caption);
    int s = startPoints(height);
    if (lines.twoLines)
        s = shrinkForWidth(s, lines.first, width, measure);
    s = shrinkForWidth(s, lines.second, width, measure);
    if (lines.twoLines)
        s = shrinkForHeight(s, height / 2, measure);
    return lines.twoLines ? s : s - 1;
}

int fitFontPointsByStepping(const QString &caption, int width, int height, FontMeasure &measure)
{
    const CaptionLines lines = splitCaption(caption);
    int s = startPoints(height);
    if (lines.twoLines) {
        while (measure.textWidth(lines.first, s) >= width && s > kSmallestPoints)
            --s;
    }
    while (measure.textWidth(lines.second, s) >= width && s > kSmallestPoints)
        --s;
    if (lines.twoLines) {
        while (measure.lineHeight(s) >= height / 2 && s > kSmallestPoints)
            --s;
    }
    return lines.twoLines ? s : s - 1;
}

QtFontMeasure::QtFontMeasure(const QFont &font)
    : m_font(font)
{
}

const QFontMetrics &QtFontMeasure::metricsAt(int points)
{
    auto found = m_metrics.find(points);
    if (found == m_metrics.end()) {
        QFont sized = m_font;
        sized.setPixelSize(std::max(1, pointsToPixels(points)));
        found = m_metrics.insert(points, QFontMetrics(sized));
    }
    return *found;
}

int QtFontMeasure::textWidth(const QString &text, int points)
{
    return metricsAt(points).horizontalAdvance(text);
}

int QtFontMeasure::lineHeight(int points)
{
    return metricsAt(points).height();
}
