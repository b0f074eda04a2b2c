#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

// Text measurement at a given font size in points, as the font fitting needs it.
class FontMeasure
{
public:
    virtual ~FontMeasure() = default;
    virtual int textWidth(const QString &text, int points) = 0;
    // The font's full line height (ascent + descent) at that size.
    virtual int lineHeight(int points) = 0;
};

// Measures with a real font; each size's metrics are built once per instance.
class QtFontMeasure : public FontMeasure
{
public:
    explicit QtFontMeasure(const QFont &font);
    int textWidth(const QString &text, int points) override;
    int lineHeight(int points) override;

private:
    const class QFontMetrics &metricsAt(int points);
    QFont m_font;
    QHash<int, QFontMetrics> m_metrics;
};

// The size in points that the board's font fitting gives a caption in a box of
// width x height pixels: start from a character height equal to the box height, shrink one
// point at a time while a line is at least as wide as the box (and, for a two-line caption,
// while a line is at least half the box high), never below 5 points, and end one point
// smaller for a one-line caption.
//
// fitFontPoints() gives exactly the sizes of that loop but finds them with a handful of
// measurements: it predicts the size from one measurement (widths and heights grow in
// proportion to the size) and then checks the neighbours of the prediction.
int fitFontPoints(const QString &caption, int width, int height, FontMeasure &measure);

// The loop itself, one point at a time; kept as the reference for fitFontPoints().
int fitFontPointsByStepping(const QString &caption, int width, int height, FontMeasure &measure);
