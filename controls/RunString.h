#pragma once

#include "platform/TColor.h"

#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;

// The moving-text control: one line of text drawn with a raised or lowered effect that
// travels across the control one step per tick of its own timer. It reports the start
// and the end of each run and holds all state; TRunLabel publishes the rest.
//
// Painting keeps the styled text, already drawn on the background colour, in a cached
// strip and only copies the visible part of it each tick; renderFrameFresh() draws a
// frame from scratch and gives the same pixels (a test holds the two together).
//
// While running, the control shows one frame per refresh of its screen rather than one per
// tick: each frame runs the ticks that are due by the clock (with their events) and draws
// the text where it stands at that moment, between the last tick's position and the next,
// so that the text moves the same pixels per second as tick by tick, in even steps. A
// frame repaints only the area the text leaves and enters.
class TRunString : public QWidget
{
    Q_OBJECT
public:
    enum TRLabelStyle { rlNormal, rlRaised, rlLowered };
    Q_ENUM(TRLabelStyle)
    enum TRDirection { rdStatic, rdRightToLeft, rdLeftToRight, rdTopToBottom, rdBottomToTop };
    Q_ENUM(TRDirection)

    Q_PROPERTY(TRLabelStyle LabelStyle READ labelStyle WRITE setLabelStyle)
    Q_PROPERTY(int Depth READ depth WRITE setDepth)
    Q_PROPERTY(int Steps READ steps WRITE setSteps)
    Q_PROPERTY(int OneStep READ oneStep WRITE setOneStep)
    Q_PROPERTY(int Speed READ speed WRITE setSpeed)
    Q_PROPERTY(TColor Color READ color WRITE setColor)
    Q_PROPERTY(TColor ColorH READ colorH WRITE setColorH)
    Q_PROPERTY(TColor ColorS READ colorS WRITE setColorS)
    Q_PROPERTY(QFont RFont READ rFont WRITE setRFont)
    Q_PROPERTY(TColor RFontColor READ rFontColor WRITE setRFontColor)
    Q_PROPERTY(bool AutoRewind READ autoRewind WRITE setAutoRewind)

    explicit TRunString(QWidget *parent = nullptr);

    TRLabelStyle labelStyle() const { return m_labelStyle; }
    void setLabelStyle(TRLabelStyle style);
    int depth() const { return m_depth; }
    void setDepth(int depth);
    int steps() const { return m_steps; }
    void setSteps(int steps);
    int oneStep() const { return m_oneStep; }
    void setOneStep(int oneStep);
    int speed() const { return m_speed; }
    void setSpeed(int speed);
    TColor color() const { return m_color; }
    void setColor(TColor color);
    TColor colorH() const { return m_colorH; }
    void setColorH(TColor color);
    TColor colorS() const { return m_colorS; }
    void setColorS(TColor color);
    bool autoRewind() const { return m_autoRewind; }
    void setAutoRewind(bool autoRewind);

    // The owned font. It is kept in pixels (see FontUnits.h); a font given in points is
    // converted. Every change of it, whole or one attribute, recalculates the run.
    QFont rFont() const { return m_font; }
    void setRFont(const QFont &font);
    void setRFont(const QFont &font, TColor color);
    TColor rFontColor() const { return m_fontColor; }
    void setRFontColor(TColor color);
    QString rFontName() const { return m_font.family(); }
    void setRFontName(const QString &name);
    int rFontSize() const; // points
    void setRFontSize(int points);

    // Published by TRunLabel.
    TRDirection direction() const { return m_direction; }
    void setDirection(TRDirection direction);
    QString rText() const { return m_text; }
    void setRText(const QString &text);
    int stepToView() const { return m_stepToView; }
    void setStepToView(int step);

    // Form-designer behaviour (Steps also sets StepToView, paint shows StepToView).
    // Off at run time.
    bool designMode() const { return m_designMode; }
    void setDesignMode(bool on);

    // Starts (or keeps) the step timer; FromStep in 0..Steps becomes the position.
    void Start(int fromStep);
    // Stops the step timer and returns the position, which is kept.
    int Stop();
    // Measures the text box again and makes one run the box's path across the width.
    void Recalculate();
    // One tick of the step timer; public so that callers can step the run themselves.
    void TimerTick();
    // One frame of a running control: the ticks due by the clock, then the picture of
    // the moment. The frame timer calls it; public so that a test or a benchmark holding
    // the clock can run frames itself.
    void ShowFrame();

    // The steady clock the run is timed by, in nanoseconds. A test holds its own.
    using Clock = std::function<std::int64_t()>;
    void setClock(Clock clock);

    bool isRunning() const { return m_timer.isActive(); }
    // The interval of the step timer: one tick per Speed milliseconds.
    int timerInterval() const { return m_speed; }
    // The interval of the frames while running, from the screen's refresh rate.
    int frameInterval() const { return m_timer.interval(); }
    int position() const { return m_position; }
    // The position the control shows: Position, or while running, between Position and
    // the next tick's.
    int shownPosition() const { return m_shownPosition; }

    // Text box (text size plus twice Depth) and its centring offsets, as last stored by
    // Recalculate or a paint.
    int textBoxWidth() const { return m_boxWidth; }
    int textBoxHeight() const { return m_boxHeight; }
    int offsetX() const { return m_offsetX; }
    int offsetY() const { return m_offsetY; }

    // Top-left corner of the text box for the current position, size and direction
    // (also stores the box and offsets as a paint does).
    QPoint textOrigin();

    // Everything the text looks like, copied out of the control: it draws the same on any
    // thread.
    struct StripKey
    {
        QString text;
        QFont font;
        QRgb background = 0;
        QRgb main = 0;
        QRgb highlight = 0;
        QRgb shadow = 0;
        TRLabelStyle style = rlRaised;
        int depth = 0;
        bool operator==(const StripKey &) const = default;
    };
    StripKey currentStripKey() const;

    // The text with its effect copies, top-left of the text box at (x, y).
    void DrawStyledText(QPainter &painter, int x, int y);
    static void DrawStyledText(QPainter &painter, int x, int y, const StripKey &look);

    // One frame through the cached strip, onto a painter whose origin is the control's
    // top-left corner (only the pixels within `area`, by default all), or into a new image
    // of the control's size.
    void paintFrame(QPainter &painter);
    void paintFrame(QPainter &painter, const QRect &area);
    QImage renderFrame();
    // The same frame drawn from scratch into a new bitmap, without any cache.
    QImage renderFrameFresh();

    // The widget paints through the strip (default) or from scratch every frame.
    bool cachedPainting() const { return m_cachedPainting; }
    void setCachedPainting(bool cached);

    // Visible as the board means it: not hidden on purpose (a control on a form that
    // is not shown yet still counts as visible and paints when rendered).
    bool isVisibleFlag() const;

signals:
    void OnBegin(QObject *sender);
    void OnStep(QObject *sender);
    void OnEnd(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct TextMetrics
    {
        QString text;
        QFont font;
        QSize size;     // advance width and line height
        int ascent = 0; // baseline below the top of the text
        QRect ink;      // glyph coverage around the baseline origin
        bool valid = false;
    };

    const TextMetrics &metrics();
    void storeTextBox(QSize textSize);
    QPoint originFor(double f) const;
    double currentFraction() const;
    void fontChanged();
    bool prepareStrip();
    void stepForward();
    void endRunIfDone();
    int positionDue(std::int64_t now) const;
    QRect stripOnScreen(QPoint origin) const;
    QRect areaToRepaint();
    bool scrollBand(QPoint shift);
    void forgetShownStrip();
    void updateFrameInterval();

    TRLabelStyle m_labelStyle = rlRaised;
    int m_depth = 1;
    int m_steps = 0;
    int m_oneStep = 1;
    int m_speed = 10;
    TColor m_color = clBlack;
    TColor m_colorH = clBlue;
    TColor m_colorS = clBlue;
    QFont m_font;
    TColor m_fontColor = clWhite;
    bool m_autoRewind = true;
    TRDirection m_direction = rdRightToLeft;
    QString m_text;
    int m_stepToView = 0;
    bool m_designMode = false;

    int m_position = 0;
    int m_shownPosition = 0;
    Clock m_clock;
    std::int64_t m_lastTickAt = 0; // clock time of the last tick, or of the start
    int m_boxWidth = 0;
    int m_boxHeight = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    QTimer m_timer;

    TextMetrics m_metrics;
    bool m_cachedPainting = true;
    StripKey m_stripKey;
    QImage m_strip;
    QPoint m_stripOrigin; // strip's top-left relative to the text box's top-left
    QRect m_shownStrip;   // where the strip stands on screen after the last frame
    bool m_shownStripKnown = false;
    bool m_inFrame = false;
    bool m_stripValid = false;
    bool m_stripUsable = false;
};
