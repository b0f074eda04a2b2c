#include "LbButtonPainter.h"

#include "GreyedOut.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>

using namespace LbButtons;

namespace {

constexpr QRgb kKeyColor = 0xFFFF00FF; // magenta: the parent shows through
constexpr int kBandCount = 32;
const QColor kDisabledText(0x80, 0x80, 0x80);

// DT alignment flags indexed by TLabel3D::TAlignment.
constexpr std::array<unsigned, 3> kAlignmentFlags = {DT::Left, DT::Right, DT::Center};

// A disabled button always looks up.
LbButtonState shownState(const LbButtonState &state)
{
    LbButtonState shown = state;
    shown.down = state.down && state.enabled;
    return shown;
}

int pressOffset(const LbButtonLook &look, const LbButtonState &state)
{
    return state.down && look.style != bsEncarta ? 1 : 0;
}

bool keysOutMagenta(const LbButtonLook &look)
{
    return look.transparent || look.style == bsModern || look.style == bsShape || look.style == bsQuicken;
}

void makeTransparent(QImage &image, QRgb key)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::replace(line, line + image.width(), key, QRgb(0));
    }
}

// A line as the platform draws it: from the pen position up to, not including, `to`.
// Only horizontal and vertical lines are needed.
void lineTo(QPainter &painter, QPoint &pen, QPoint to, const QColor &color)
{
    const QPoint step((to.x() > pen.x()) - (to.x() < pen.x()), (to.y() > pen.y()) - (to.y() < pen.y()));
    if (pen != to) {
        const QPoint last = to - step;
        painter.fillRect(QRect(QPoint(std::min(pen.x(), last.x()), std::min(pen.y(), last.y())),
                               QPoint(std::max(pen.x(), last.x()), std::max(pen.y(), last.y()))),
                         color);
    }
    pen = to;
}

void drawBackground(QPainter &painter, const LbButtonLook &look, const LbButtonState &state, const QColor &face,
                    QSize size)
{
    const int w = size.width();
    const int h = size.height();
    if (look.style == bsShape) {
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    if (look.transparent || look.style == bsQuicken)
        return;
    if (look.style != bsModern) {
        painter.fillRect(QRect(QPoint(0, 0), size), face);
        return;
    }
    const QColor light = resolveColor(look.lightColor);
    const int middle = h / 4 + pressOffset(look, state);
    shadeBands(painter, light, face, QRect(QPoint(2, 2), QPoint(w - 3, middle - 1)));
    shadeBands(painter, face, light, QRect(QPoint(2, middle), QPoint(w - 3, h - 2)));
}

void drawSunkenOrRaisedEdges(QPainter &painter, const LbButtonLook &look, bool down, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    const QColor light = resolveColor(look.lightColor);
    const QColor shadow = resolveColor(look.shadowColor);
    QPoint pen(0, h - 1);
    lineTo(painter, pen, {0, 0}, down ? shadow : light);
    lineTo(painter, pen, {w - 1, 0}, down ? shadow : light);
    lineTo(painter, pen, {w - 1, h - 1}, down ? light : shadow);
    lineTo(painter, pen, {0, h - 1}, down ? light : shadow);
}

void drawOldEdges(QPainter &painter, const LbButtonLook &look, bool down, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    const QColor light = resolveColor(look.lightColor);
    const QColor shadow = resolveColor(look.shadowColor);
    const QColor darkShadow = resolveColor(cl3DDkShadow);
    QPoint pen = down ? QPoint(1, h - 3) : QPoint(w - 2, 0);
    lineTo(painter, pen, down ? QPoint(1, 1) : QPoint(w - 2, h - 2), shadow);
    lineTo(painter, pen, down ? QPoint(w - 2, 1) : QPoint(0, h - 2), shadow);
    pen = QPoint(0, h - 1);
    lineTo(painter, pen, {0, 0}, down ? darkShadow : light);
    lineTo(painter, pen, {w - 1, 0}, down ? darkShadow : light);
    lineTo(painter, pen, {w - 1, h - 1}, down ? light : darkShadow);
    lineTo(painter, pen, {-1, h - 1}, down ? light : darkShadow);
}

void drawModernEdges(QPainter &painter, const LbButtonLook &look, bool down, const QColor &face, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    const QColor inner = down ? resolveColor(look.shadowColor) : face;
    QPoint pen(1, 1);
    lineTo(painter, pen, {w - 2, 1}, inner);
    lineTo(painter, pen, {w - 2, h - 2}, inner);
    lineTo(painter, pen, {1, h - 2}, inner);
    lineTo(painter, pen, {1, 1}, inner);
    painter.setPen(QPen(resolveColor(look.shadowColor), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0, 0, w - 1, h - 1), 3, 3);
}

void drawQuickenEdges(QPainter &painter, const LbButtonLook &look, const QColor &face, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    // Filled without an outline, the platform leaves out the last column and row.
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRect(0, 1, w - 1, h - 2), 2, 2);
    const QColor shadow = resolveColor(look.shadowColor);
    QPoint pen(4, 0);
    lineTo(painter, pen, {w - 5, 0}, shadow);
    pen = QPoint(4, h - 1);
    lineTo(painter, pen, {w - 5, h - 1}, shadow);
}

bool showsBevel(const LbButtonLook &look, const LbButtonState &state)
{
    if (!state.enabled)
        return !look.flat;
    return !look.flat || state.mouseInside || state.down;
}

void drawEdges(QPainter &painter, const LbButtonLook &look, const LbButtonState &state, const QColor &face,
               QSize size)
{
    switch (look.style) {
    case bsNormal:
    case bsEncarta:
        if (showsBevel(look, state))
            drawSunkenOrRaisedEdges(painter, look, state.down, size);
        break;
    case bsOld:
        if (showsBevel(look, state))
            drawOldEdges(painter, look, state.down, size);
        break;
    case bsModern:
        drawModernEdges(painter, look, state.down, face, size);
        break;
    case bsQuicken:
        drawQuickenEdges(painter, look, face, size);
        break;
    case bsShape:
        break;
    }
}

int imageIndex(const LbButtonLook &look, const LbButtonState &state)
{
    if (!state.enabled)
        return 1;
    if (state.down && look.numGlyphs > 2)
        return 2;
    if (state.mouseInside && look.numGlyphs > 3)
        return 3;
    return 0;
}

// Text width and height of the caption broken into lines no wider than the limit.
QSize measureCaption(const QFontMetrics &metrics, const QString &caption, int limit, int flags)
{
    if (caption.isEmpty())
        return {0, 0};
    return metrics.boundingRect(QRect(0, 0, limit, 1 << 20), flags, caption).size();
}

int alignedGlyphLeft(TLabel3D::TAlignment alignment, int left, int right, int centre)
{
    switch (alignment) {
    case TLabel3D::taRightJustify:
        return right;
    case TLabel3D::taCenter:
        return centre;
    case TLabel3D::taLeftJustify:
        break;
    }
    return left;
}

struct PlacementInput {
    int w;
    int h;
    int press;
    int glyphWidth;
    int glyphHeight;
    QSize text;
    int limit;
};

void placeShape(LbButtonPlacement &placed, const PlacementInput &in)
{
    placed.glyphPos = {(in.w - in.glyphWidth) / 2, (in.h - in.glyphHeight) / 2};
    const int top = (in.h - in.text.height()) / 2 + in.press;
    placed.textRect = QRect(QPoint(in.press, top), QPoint(in.w - 1, in.h - 1));
    placed.textFlags = TLabel3D::toQtTextFlags(DT::Center | DT::WordBreak);
}

void placeAboveOrBelow(LbButtonPlacement &placed, const LbButtonLook &look, const PlacementInput &in)
{
    const int block = in.text.height() + (in.glyphHeight > 0 ? in.glyphHeight + 4 : 0);
    const int top = (in.h - block) / 2 + in.press;
    const bool glyphOnTop = look.layout == blGlyphTop;
    const int textTop = glyphOnTop ? top + in.glyphHeight : top;
    const int glyphTop = glyphOnTop ? top : top + in.text.height();
    placed.textRect = QRect(in.press + 4, textTop, in.limit, in.text.height());
    placed.glyphPos = {alignedGlyphLeft(look.alignment, in.press + 4, in.w + in.press - in.glyphWidth - 4,
                                        (in.w - in.glyphWidth) / 2 + in.press),
                       glyphTop};
}

void placeBeside(LbButtonPlacement &placed, const LbButtonLook &look, const PlacementInput &in)
{
    const int textTop = (in.h - in.text.height()) / 2 + in.press;
    const int glyphTop = (in.h - in.glyphHeight) / 2 + in.press;
    const int gap = in.text.width() > 0 ? in.text.width() + 4 : 0;
    int textLeft = in.press + 4;
    int glyphLeft = in.press + 4;
    if (look.layout == blGlyphRight) {
        glyphLeft += gap;
        if (!look.wordWrap)
            glyphLeft = alignedGlyphLeft(look.alignment, glyphLeft, in.w + in.press - in.glyphWidth - 4,
                                         (in.w - in.glyphWidth) / 2 + in.press + gap / 2);
    } else {
        if (in.glyphWidth > 0)
            textLeft += in.glyphWidth + 4;
        if (!look.wordWrap)
            glyphLeft = alignedGlyphLeft(look.alignment, glyphLeft, in.w + in.press - in.glyphWidth - gap - 4,
                                         (in.w - in.glyphWidth) / 2 + in.press - gap / 2);
    }
    placed.textRect = QRect(textLeft, textTop, in.limit, in.text.height());
    placed.glyphPos = {glyphLeft, glyphTop};
}

int captionLimit(const LbButtonLook &look, int width, int glyphWidth)
{
    const bool beside = look.layout == blGlyphLeft || look.layout == blGlyphRight;
    if (look.style == bsShape || !beside || glyphWidth <= 0)
        return std::max(width - 8, 0);
    return std::max(width - glyphWidth - 12, 0);
}

void drawCaption(QPainter &painter, const LbButtonLook &look, const LbButtonState &state,
                 const LbButtonPlacement &placed)
{
    if (placed.caption.isEmpty())
        return;
    const bool grey = !state.enabled;
    painter.setFont(captionFont(look, state));
    painter.setPen(grey ? kDisabledText : resolveColor(look.fontColor));
    painter.drawText(placed.textRect, placed.textFlags, placed.caption);
}

// A strip without an image of its own for the disabled state shows its normal image greyed,
// so that a disabled button never shows the colours of an enabled one.
void drawGlyph(QPainter &painter, const LbButtonLook &look, const LbButtonState &state,
               const LbButtonPlacement &placed)
{
    const int width = glyphImageWidth(look);
    if (width <= 0 || look.glyph.height() <= 0)
        return;
    const QImage image = glyphImage(look.glyph, placed.imageIndex * width, width);
    const bool hasDisabledImage = look.numGlyphs > 1;
    painter.drawImage(placed.glyphPos, !state.enabled && !hasDisabledImage ? greyedOut(image) : image);
}

void drawContent(QPainter &painter, const LbButtonLook &look, const LbButtonState &state, QSize size)
{
    const LbButtonPlacement placed = placeButtonContent(look, state, size);
    if (look.style == bsShape) {
        drawGlyph(painter, look, state, placed);
        drawCaption(painter, look, state, placed);
    } else {
        drawCaption(painter, look, state, placed);
        drawGlyph(painter, look, state, placed);
    }
}

// A small black triangle pointing down, five pixels wide.
void drawPopupArrow(QPainter &painter, QSize size)
{
    const QPoint origin(size.width() - 11, size.height() / 2 - 1);
    for (int row = 0; row < 3; ++row)
        painter.fillRect(QRect(origin.x() + row, origin.y() + row, 5 - 2 * row, 1), Qt::black);
}

} // namespace

QColor blendHotColor(TColor color, TColor hotColor, int fadeLevel)
{
    const double k = fadeLevel / static_cast<double>(kFullFadeLevel);
    const QColor u = resolveColor(color);
    const QColor v = resolveColor(hotColor);
    const auto mix = [k](int a, int b) { return static_cast<int>(a * (1 - k) + b * k); };
    return QColor(mix(u.red(), v.red()), mix(u.green(), v.green()), mix(u.blue(), v.blue()));
}

QColor faceColor(const LbButtonLook &look, const LbButtonState &state)
{
    if (state.down && look.colorWhenDown != clNone)
        return resolveColor(look.colorWhenDown);
    if (state.enabled && look.hotTrackColor != clNone)
        return blendHotColor(look.color, look.hotTrackColor, state.fadeLevel);
    return resolveColor(look.color);
}

QString fitCaption(QString caption, const QFontMetrics &metrics, int limit)
{
    while (!caption.isEmpty() && metrics.horizontalAdvance(caption) > limit)
        caption.chop(caption.size() > 1 && caption.back().isLowSurrogate() ? 2 : 1);
    return caption;
}

int glyphImageWidth(const LbButtonLook &look)
{
    return look.numGlyphs > 0 ? look.glyph.width() / look.numGlyphs : 0;
}

QFont captionFont(const LbButtonLook &look, const LbButtonState &state)
{
    QFont font = look.font;
    if (look.style == bsEncarta && state.down)
        font.setBold(true);
    return font;
}

LbButtonPlacement placeButtonContent(const LbButtonLook &look, const LbButtonState &rawState, QSize size)
{
    const LbButtonState state = shownState(rawState);
    const QFontMetrics metrics(captionFont(look, state));
    PlacementInput in{size.width(), size.height(), pressOffset(look, state), glyphImageWidth(look),
                      look.glyph.height(), {}, 0};
    in.limit = captionLimit(look, in.w, in.glyphWidth);

    LbButtonPlacement placed;
    placed.caption = look.wordWrap ? look.caption : fitCaption(look.caption, metrics, in.limit);
    placed.textFlags = TLabel3D::toQtTextFlags(DT::WordBreak | kAlignmentFlags[look.alignment]);
    in.text = measureCaption(metrics, placed.caption, in.limit, placed.textFlags);
    placed.imageIndex = imageIndex(look, state);

    if (look.style == bsShape)
        placeShape(placed, in);
    else if (look.layout == blGlyphTop || look.layout == blGlyphBottom)
        placeAboveOrBelow(placed, look, in);
    else
        placeBeside(placed, look, in);
    return placed;
}

QImage glyphImage(const QImage &strip, int offset, int width)
{
    if (strip.isNull() || width <= 0)
        return {};
    QImage image = strip.copy(0, 0, width, strip.height()).convertToFormat(QImage::Format_ARGB32);
    {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(-offset, 0, strip);
    }
    makeTransparent(image, image.pixel(0, image.height() - 1));
    return image;
}

void shadeBands(QPainter &painter, const QColor &a, const QColor &b, QRect area)
{
    const int span = area.height();
    const int bandHeight = span / (kBandCount - 1) + 1;
    // a + i (b - a) / 31 with the product taken first, so that the last band is exactly b.
    const auto channel = [](int from, int to, int i) {
        return static_cast<int>(from + i * (to - from) / static_cast<double>(kBandCount - 1));
    };
    for (int i = 0; i < kBandCount; ++i) {
        const int top = area.top() + i * span / (kBandCount - 1);
        const int bottom = std::min(top + bandHeight, area.top() + span);
        if (bottom <= top)
            continue;
        const QColor color(channel(a.red(), b.red(), i), channel(a.green(), b.green(), i),
                           channel(a.blue(), b.blue(), i));
        painter.fillRect(QRect(area.left(), top, area.width(), bottom - top), color);
    }
}

void PaintButtonFace(QPainter &painter, const LbButtonLook &look, const LbButtonState &rawState, QSize size)
{
    const LbButtonState state = shownState(rawState);
    const QColor face = faceColor(look, state);
    drawBackground(painter, look, state, face, size);
    drawEdges(painter, look, state, face, size);
    drawContent(painter, look, state, size);
    if (look.popupArrow)
        drawPopupArrow(painter, size);
}

QImage renderButtonFrame(const LbButtonLook &look, const LbButtonState &state, QSize size)
{
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    {
        QPainter painter(&frame);
        PaintButtonFace(painter, look, state, size);
    }
    if (keysOutMagenta(look))
        makeTransparent(frame, kKeyColor);
    return frame;
}
