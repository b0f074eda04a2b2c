#include "RunString.h"

#include "AssignIfChanged.h"
#include "RunPath.h"
#include "platform/FontUnits.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

// A strip larger than this (64 MB; a text of several hundred letters in a font as
// tall as a 4K board's bottom line) is not cached; such a frame is drawn directly,
// with the same pixels but at the cost of drawing the text every tick.
constexpr std::int64_t kMaxStripPixels = std::int64_t(1) << 24;
// Effect copies further apart than this are not worth a strip either.
constexpr int kMaxStripDepth = 1 << 16;
// A frame that comes this late (a machine waking from sleep) does not run every tick it
// missed: the run goes on from there, as a timer's missed ticks would.
constexpr std::int64_t kMaxCatchUpNs = 1'000'000'000;
// Frame rate when the screen does not tell its own.
constexpr double kDefaultRefreshRate = 60.0;

std::int64_t steadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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
    m_clock = steadyNow;
    m_timer.setTimerType(Qt::PreciseTimer);
    updateFrameInterval();
    connect(&m_timer, &QTimer::timeout, this, &TRunString::ShowFrame);
}

void TRunString::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(steadyNow);
}

void TRunString::updateFrameInterval()
{
    const double rate = screen() && screen()->refreshRate() >= 1.0 ? screen()->refreshRate() : kDefaultRefreshRate;
    m_timer.setInterval(std::max(1, int(std::lround(1000.0 / rate))));
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
    forgetShownStrip();
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
    if (m_shownPosition != m_position) {
        m_shownPosition = m_position;
        forgetShownStrip();
    }
    if (m_timer.isActive())
        return;
    // Ticks count from here; a start made by a tick's handler inside a frame counts from
    // that tick, as if the timer had been started then.
    if (!m_inFrame)
        m_lastTickAt = m_clock();
    updateFrameInterval();
    m_timer.start();
}

int TRunString::Stop()
{
    m_timer.stop();
    if (m_shownPosition != m_position) {
        m_shownPosition = m_position;
        forgetShownStrip();
    }
    return m_position;
}

void TRunString::Recalculate()
{
    storeTextBox(metrics().size);
    m_steps = runpath::saturate(std::int64_t(m_boxWidth) + width());
    forgetShownStrip();
    update();
}

void TRunString::TimerTick()
{
    if (!m_timer.isActive())
        return;
    stepForward();
    m_shownPosition = m_position;
    repaint(areaToRepaint());
    emit OnStep(this);
    endRunIfDone();
}

void TRunString::ShowFrame()
{
    if (!m_timer.isActive())
        return;
    const std::int64_t now = m_clock();
    const std::int64_t period = std::int64_t(m_speed) * 1'000'000;
    if (now - m_lastTickAt > kMaxCatchUpNs)
        m_lastTickAt = now - period;
    m_inFrame = true;
    while (m_timer.isActive() && now - m_lastTickAt >= period) {
        m_lastTickAt += period;
        stepForward();
        emit OnStep(this);
        endRunIfDone();
    }
    m_inFrame = false;
    const int shown = m_timer.isActive() ? positionDue(now) : m_position;
    if (shown == m_shownPosition)
        return;
    const QPoint before = textOrigin();
    m_shownPosition = shown;
    if (!scrollBand(textOrigin() - before))
        repaint(areaToRepaint());
}

bool TRunString::scrollBand(QPoint shift)
{
    if (!m_shownStripKnown || !isVisible() || !prepareStrip() || m_strip.isNull() || m_shownStrip.isEmpty())
        return false;
    const bool across = shift.y() == 0 && std::abs(shift.x()) < width();
    const bool upOrDown = shift.x() == 0 && std::abs(shift.y()) < height();
    if (!across && !upOrDown)
        return false;
    // The band moves with the text: its pixels are moved where the window system can move
    // them, and only what the move uncovers is drawn. The band is the strip's rows (or
    // columns) across the whole control; outside them there is only background.
    const QRect strip = stripOnScreen(textOrigin());
    const QRect both = m_shownStrip | strip;
    const QRect band = across ? QRect(0, both.top(), width(), both.height()) : QRect(both.left(), 0, both.width(), height());
    scroll(shift.x(), shift.y(), band);
    m_shownStrip = strip;
    // What the move uncovers, painted now rather than on the next pass of the event loop.
    repaint(QRegion(band).subtracted(QRegion(band.translated(shift))));
    return true;
}

void TRunString::stepForward()
{
    if (m_position == 0)
        emit OnBegin(this);
    m_position = runpath::saturate(std::int64_t(m_position) + m_oneStep);
}

void TRunString::endRunIfDone()
{
    if (m_position < m_steps)
        return;
    if (!m_autoRewind)
        m_timer.stop();
    emit OnEnd(this);
    m_position = 0;
}

int TRunString::positionDue(std::int64_t now) const
{
    // The part of the next step that the time since the last tick covers, so that the
    // text moves on in every frame, not only in frames that follow a tick.
    const std::int64_t period = std::int64_t(m_speed) * 1'000'000;
    const std::int64_t since = std::clamp<std::int64_t>(now - m_lastTickAt, 0, period - 1);
    const std::int64_t part = std::int64_t(m_oneStep) * since / period;
    std::int64_t due = std::int64_t(m_position) + part;
    // The text does not run past the end of the run before the tick that ends it.
    if (m_oneStep > 0 && m_position < m_steps)
        due = std::min<std::int64_t>(due, m_steps);
    return runpath::saturate(due);
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
    return runpath::fraction(m_designMode ? m_stepToView : m_shownPosition, m_steps);
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
    DrawStyledText(painter, x, y, currentStripKey());
}

void TRunString::DrawStyledText(QPainter &painter, int x, int y, const StripKey &look)
{
    painter.setFont(look.font);
    painter.setBackgroundMode(Qt::TransparentMode);
    const std::int64_t baseline = std::int64_t(y) + painter.fontMetrics().ascent();
    const auto put = [&](std::int64_t shift, QRgb color) {
        painter.setPen(QColor(color));
        painter.drawText(QPoint(runpath::saturate(x + shift), runpath::saturate(baseline + shift)), look.text);
    };
    const std::int64_t depth = look.depth;
    if (look.style == rlRaised) {
        put(0, look.highlight);
        put(2 * depth, look.shadow);
    } else if (look.style == rlLowered) {
        put(0, look.shadow);
        put(2 * depth, look.highlight);
    }
    put(depth, look.main);
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

QRect TRunString::stripOnScreen(QPoint origin) const
{
    // The visible part of the strip, in 64 bits: the origin may lie far outside.
    const std::int64_t left = std::int64_t(origin.x()) + m_stripOrigin.x();
    const std::int64_t top = std::int64_t(origin.y()) + m_stripOrigin.y();
    const int l = int(std::clamp<std::int64_t>(left, 0, width()));
    const int t = int(std::clamp<std::int64_t>(top, 0, height()));
    const int r = int(std::clamp<std::int64_t>(left + m_strip.width(), l, width()));
    const int b = int(std::clamp<std::int64_t>(top + m_strip.height(), t, height()));
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

void TRunString::forgetShownStrip()
{
    m_shownStripKnown = false;
}

QRect TRunString::areaToRepaint()
{
    const QPoint origin = textOrigin();
    if (!prepareStrip()) {
        forgetShownStrip();
        return rect();
    }
    // Outside the strip the control is background before and after the step, so only the
    // area the strip leaves and the area it enters change.
    const QRect strip = m_strip.isNull() ? QRect() : stripOnScreen(origin);
    const QRect area = m_shownStripKnown ? (m_shownStrip | strip) : rect();
    m_shownStrip = strip;
    m_shownStripKnown = true;
    return area & rect();
}

void TRunString::paintFrame(QPainter &painter)
{
    paintFrame(painter, rect());
}

void TRunString::paintFrame(QPainter &painter, const QRect &area)
{
    const QPoint origin = textOrigin();
    const QColor background = resolveColor(m_color);
    if (!prepareStrip()) {
        painter.fillRect(rect(), background);
        DrawStyledText(painter, origin.x(), origin.y());
        return;
    }
    const QRect strip = m_strip.isNull() ? QRect() : stripOnScreen(origin);
    if (strip.isEmpty()) {
        painter.fillRect(area, background);
        return;
    }
    // Fill only around the copied part: every pixel is written once.
    const QRect around[] = {QRect(0, 0, width(), strip.top()),
                            QRect(0, strip.bottom() + 1, width(), height() - strip.bottom() - 1),
                            QRect(0, strip.top(), strip.left(), strip.height()),
                            QRect(strip.right() + 1, strip.top(), width() - strip.right() - 1, strip.height())};
    for (const QRect &part : around)
        if (const QRect inArea = part & area; !inArea.isEmpty())
            painter.fillRect(inArea, background);
    const QRect copied = strip & area;
    if (copied.isEmpty())
        return;
    const QPoint inStrip = copied.topLeft() - (origin + m_stripOrigin);
    painter.drawImage(copied.topLeft(), m_strip, QRect(inStrip, copied.size()));
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

void TRunString::paintEvent(QPaintEvent *event)
{
    if (!isVisibleFlag())
        return;
    QPainter painter(this);
    if (m_cachedPainting)
        paintFrame(painter, event->rect());
    else
        painter.drawImage(0, 0, renderFrameFresh());
}

void TRunString::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    forgetShownStrip();
}
