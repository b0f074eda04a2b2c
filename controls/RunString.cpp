#include "RunString.h"

#include "AssignIfChanged.h"
#include "RunPath.h"
#include "platform/FontUnits.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

// A strip larger than this (64 MB; a text of several hundred letters in a font as
// tall as a 4K board's bottom line) is not cached; such a frame is drawn directly,
// with the same pixels but at the cost of drawing the text every tick.
constexpr std::int64_t kMaxStripPixels = std::int64_t(1) << 24;
// Effect copies further apart than this are not worth a strip either.
constexpr int kMaxStripDepth = 1 << 16;

QFont inPixels(const QFont &font)
{
    QFont copy = font;
    if (copy.pixelSize() <= 0)
        copy.setPixelSize(std::max(1, pointsToPixels(copy.pointSize())));
    return copy;
}

} // namespace

TRunString::TRunString(QWidget *parent)
    : QWidget(parent)
{
    resize(192, 20);
    // Every paint covers the whole control, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_steps = width();
    m_stepToView = width() / 2;
    m_font = QFont(QStringLiteral("System"));
    m_font.setPixelSize(pointsToPixels(10));
    m_text = QStringLiteral("Running label");
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_speed);
    connect(&m_timer, &QTimer::timeout, this, &TRunString::TimerTick);
}

void TRunString::setLabelStyle(TRLabelStyle style)
{
    if (assignIfChanged(m_labelStyle, style))
        Recalculate();
}

void TRunString::setDepth(int depth)
{
    if (assignIfChanged(m_depth, depth))
        Recalculate();
}

void TRunString::setColor(TColor color)
{
    if (assignIfChanged(m_color, color))
        Recalculate();
}

void TRunString::setColorH(TColor color)
{
    if (assignIfChanged(m_colorH, color))
        Recalculate();
}

void TRunString::setColorS(TColor color)
{
    if (assignIfChanged(m_colorS, color))
        Recalculate();
}

void TRunString::setRText(const QString &text)
{
    if (assignIfChanged(m_text, text))
        Recalculate();
}

void TRunString::setDirection(TRDirection direction)
{
    m_direction = direction;
}

void TRunString::setSteps(int steps)
{
    if (steps == m_steps)
        return;
    m_steps = steps == 0 ? 1 : steps;
    if (m_designMode) {
        m_stepToView = m_steps / 2;
        update();
    }
}

void TRunString::setOneStep(int oneStep)
{
    if (oneStep == m_oneStep)
        return;
    m_oneStep = oneStep == 0 ? 1 : oneStep;
}

void TRunString::setSpeed(int speed)
{
    if (speed == m_speed)
        return;
    m_speed = std::clamp(speed, 1, 1000);
    m_timer.setInterval(m_speed);
}

void TRunString::setStepToView(int step)
{
    if (!m_designMode || step == m_stepToView || step < 0 || step > m_steps)
        return;
    m_stepToView = step;
    Recalculate();
}

void TRunString::setAutoRewind(bool autoRewind)
{
    m_autoRewind = autoRewind;
}

void TRunString::setDesignMode(bool on)
{
    if (assignIfChanged(m_designMode, on))
        update();
}

void TRunString::setRFont(const QFont &font)
{
    m_font = inPixels(font);
    fontChanged();
}

void TRunString::setRFont(const QFont &font, TColor color)
{
    m_font = inPixels(font);
    m_fontColor = color;
    fontChanged();
}

void TRunString::setRFontColor(TColor color)
{
    if (assignIfChanged(m_fontColor, color))
        fontChanged();
}

void TRunString::setRFontName(const QString &name)
{
    if (m_font.family() == name)
        return;
    m_font.setFamily(name);
    fontChanged();
}

int TRunString::rFontSize() const
{
    return pixelsToPoints(m_font.pixelSize());
}

void TRunString::setRFontSize(int points)
{
    const int pixels = std::max(1, pointsToPixels(points));
    if (m_font.pixelSize() == pixels)
        return;
    m_font.setPixelSize(pixels);
    fontChanged();
}

void TRunString::fontChanged()
{
    Recalculate();
}

void TRunString::setCachedPainting(bool cached)
{
    m_cachedPainting = cached;
}

void TRunString::Start(int fromStep)
{
    if (fromStep >= 0 && fromStep <= m_steps)
        m_position = fromStep;
    if (!m_timer.isActive())
        m_timer.start();
}

int TRunString::Stop()
{
    m_timer.stop();
    return m_position;
}

void TRunString::Recalculate()
{
    storeTextBox(metrics().size);
    m_steps = runpath::saturate(std::int64_t(m_boxWidth) + width());
    update();
}

void TRunString::TimerTick()
{
    if (!m_timer.isActive())
        return;
    if (m_position == 0)
        emit OnBegin(this);
    m_position = runpath::saturate(std::int64_t(m_position) + m_oneStep);
    repaint();
    emit OnStep(this);
    if (m_position < m_steps)
        return;
    if (!m_autoRewind)
        m_timer.stop();
    emit OnEnd(this);
    m_position = 0;
}

const TRunString::TextMetrics &TRunString::metrics()
{
    if (m_metrics.valid && m_metrics.text == m_text && m_metrics.font == m_font)
        return m_metrics;
    const QFontMetrics fm(m_font);
    m_metrics.text = m_text;
    m_metrics.font = m_font;
    m_metrics.size = QSize(fm.horizontalAdvance(m_text), fm.height());
    m_metrics.ascent = fm.ascent();
    m_metrics.ink = m_text.isEmpty() ? QRect() : fm.boundingRect(m_text);
    m_metrics.valid = true;
    return m_metrics;
}

void TRunString::storeTextBox(QSize textSize)
{
    const std::int64_t twice = 2 * std::int64_t(m_depth);
    m_boxWidth = runpath::saturate(textSize.width() + twice);
    m_boxHeight = runpath::saturate(textSize.height() + twice);
    m_offsetX = runpath::centred(width(), m_boxWidth);
    m_offsetY = runpath::centred(height(), m_boxHeight);
}

double TRunString::currentFraction() const
{
    return runpath::fraction(m_designMode ? m_stepToView : m_position, m_steps);
}

QPoint TRunString::originFor(double f) const
{
    switch (m_direction) {
    case rdRightToLeft:
        return {runpath::fromFarEdge(f, m_boxWidth, width()), m_offsetY};
    case rdLeftToRight:
        return {runpath::fromNearEdge(f, m_boxWidth, width()), m_offsetY};
    case rdTopToBottom:
        return {m_offsetX, runpath::fromFarEdge(f, m_boxHeight, height())};
    case rdBottomToTop:
        return {m_offsetX, runpath::fromNearEdge(f, m_boxHeight, height())};
    default:
        return {m_offsetX, m_offsetY};
    }
}

QPoint TRunString::textOrigin()
{
    storeTextBox(metrics().size);
    return originFor(currentFraction());
}

void TRunString::DrawStyledText(QPainter &painter, int x, int y)
{
    painter.setFont(m_font);
    painter.setBackgroundMode(Qt::TransparentMode);
    const std::int64_t baseline = std::int64_t(y) + painter.fontMetrics().ascent();
    const auto put = [&](std::int64_t shift, TColor color) {
        painter.setPen(resolveColor(color));
        painter.drawText(QPoint(runpath::saturate(x + shift), runpath::saturate(baseline + shift)), m_text);
    };
    const std::int64_t depth = m_depth;
    if (m_labelStyle == rlRaised) {
        put(0, m_colorH);
        put(2 * depth, m_colorS);
    } else if (m_labelStyle == rlLowered) {
        put(0, m_colorS);
        put(2 * depth, m_colorH);
    }
    put(depth, m_fontColor);
}

TRunString::StripKey TRunString::currentStripKey() const
{
    return StripKey{m_text,
                    m_font,
                    resolveColor(m_color).rgb(),
                    resolveColor(m_fontColor).rgb(),
                    resolveColor(m_colorH).rgb(),
                    resolveColor(m_colorS).rgb(),
                    m_labelStyle,
                    m_depth};
}

bool TRunString::prepareStrip()
{
    StripKey key = currentStripKey();
    if (m_stripValid && key == m_stripKey)
        return m_stripUsable;
    m_stripKey = std::move(key);
    m_stripValid = true;
    m_strip = QImage();
    m_stripUsable = std::abs(m_depth) <= kMaxStripDepth;
    if (!m_stripUsable)
        return false;

    // The strip covers every pixel the three drawings can touch, with room for
    // antialiasing, so that copying it gives what drawing the text would.
    const TextMetrics &m = metrics();
    if (m.ink.isEmpty())
        return true;
    const auto inkAt = [&](int shift) { return m.ink.translated(shift, shift + m.ascent); };
    QRect cover = inkAt(m_depth);
    if (m_labelStyle == rlRaised || m_labelStyle == rlLowered)
        cover |= inkAt(0) | inkAt(2 * m_depth);
    const int margin = 2 + m_font.pixelSize() / 8;
    cover.adjust(-margin, -margin, margin, margin);
    if (std::int64_t(cover.width()) * cover.height() > kMaxStripPixels) {
        m_stripUsable = false;
        return false;
    }

    m_strip = QImage(cover.size(), QImage::Format_RGB32);
    m_strip.fill(resolveColor(m_color));
    QPainter painter(&m_strip);
    DrawStyledText(painter, -cover.x(), -cover.y());
    m_stripOrigin = cover.topLeft();
    return true;
}

void TRunString::paintFrame(QPainter &painter)
{
    const QPoint origin = textOrigin();
    const QColor background = resolveColor(m_color);
    if (!prepareStrip()) {
        painter.fillRect(rect(), background);
        DrawStyledText(painter, origin.x(), origin.y());
        return;
    }
    // The visible part of the strip, in 64 bits: the origin may lie far outside.
    const std::int64_t left = std::int64_t(origin.x()) + m_stripOrigin.x();
    const std::int64_t top = std::int64_t(origin.y()) + m_stripOrigin.y();
    const int l = int(std::clamp<std::int64_t>(left, 0, width()));
    const int t = int(std::clamp<std::int64_t>(top, 0, height()));
    const int r = int(std::clamp<std::int64_t>(left + m_strip.width(), l, width()));
    const int b = int(std::clamp<std::int64_t>(top + m_strip.height(), t, height()));
    if (m_strip.isNull() || l == r || t == b) {
        painter.fillRect(rect(), background);
        return;
    }
    // Fill only around the copied part: every pixel is written once.
    painter.fillRect(QRect(0, 0, width(), t), background);
    painter.fillRect(QRect(0, b, width(), height() - b), background);
    painter.fillRect(QRect(0, t, l, b - t), background);
    painter.fillRect(QRect(r, t, width() - r, b - t), background);
    painter.drawImage(QPoint(l, t), m_strip, QRect(int(l - left), int(t - top), r - l, b - t));
}

QImage TRunString::renderFrame()
{
    QImage frame(size(), QImage::Format_RGB32);
    if (frame.isNull())
        return frame;
    QPainter painter(&frame);
    paintFrame(painter);
    return frame;
}

QImage TRunString::renderFrameFresh()
{
    QImage frame(size(), QImage::Format_RGB32);
    if (frame.isNull())
        return frame;
    QPainter painter(&frame);
    painter.setFont(m_font);
    const QFontMetrics fm = painter.fontMetrics();
    storeTextBox(QSize(fm.horizontalAdvance(m_text), fm.height()));
    painter.fillRect(frame.rect(), resolveColor(m_color));
    const QPoint origin = originFor(currentFraction());
    DrawStyledText(painter, origin.x(), origin.y());
    return frame;
}

bool TRunString::isVisibleFlag() const
{
    return !(isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide));
}

void TRunString::paintEvent(QPaintEvent *)
{
    if (!isVisibleFlag())
        return;
    QPainter painter(this);
    if (m_cachedPainting)
        paintFrame(painter);
    else
        painter.drawImage(0, 0, renderFrameFresh());
}
