#include "Label3D.h"

#include "AssignIfChanged.h"
#include "platform/FontUnits.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

struct Offset {
    int dx;
    int dy;
};

// Offsets of the text copies, one per direction bit of ShadowNapr (bit 0 first).
constexpr Offset kDirections[8] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}};

unsigned alignmentFlag(TLabel3D::TAlignment alignment)
{
    switch (alignment) {
    case TLabel3D::taRightJustify:
        return DT::Right;
    case TLabel3D::taCenter:
        return DT::Center;
    case TLabel3D::taLeftJustify:
        break;
    }
    return DT::Left;
}

} // namespace

TLabel3D::TLabel3D(QWidget *parent)
    : QWidget(parent)
{
    resize(65, 17);
}

void TLabel3D::invalidate()
{
    update();
    emit repaintRequested();
}

void TLabel3D::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        invalidate();
    QWidget::changeEvent(event);
}

int TLabel3D::fontSize() const
{
    return pixelsToPoints(font().pixelSize());
}

void TLabel3D::setFontSize(int points)
{
    if (fontSize() == points && font().pixelSize() == pointsToPixels(points))
        return;
    QFont f = font();
    f.setPixelSize(qMax(1, pointsToPixels(points)));
    setFont(f);
}

#define CORVANE_SETTER(Setter, field, Type)                                                                 \
    void TLabel3D::Setter(Type value)                                                                       \
    {                                                                                                       \
        if (assignIfChanged(field, value))                                                                           \
            invalidate();                                                                                   \
    }

CORVANE_SETTER(setFontColor, m_look.fontColor, TColor)
CORVANE_SETTER(setFontCharset, m_fontCharset, int)
CORVANE_SETTER(setColor, m_look.color, TColor)
CORVANE_SETTER(setTransparent, m_look.transparent, bool)
CORVANE_SETTER(setAlignment, m_look.alignment, TAlignment)
CORVANE_SETTER(setLayout, m_look.layout, TTextLayout)
CORVANE_SETTER(setWordWrap, m_look.wordWrap, bool)
CORVANE_SETTER(setShowAccelChar, m_look.showAccelChar, bool)
CORVANE_SETTER(setFirstColor, m_look.firstColor, TColor)
CORVANE_SETTER(setLastColor, m_look.lastColor, TColor)
CORVANE_SETTER(setFillGradient, m_look.fillGradient, bool)
CORVANE_SETTER(setGradientOrientation, m_look.gradientOrientation, TGradientOrientation)
CORVANE_SETTER(setHighLightColor, m_look.highLightColor, TColor)
CORVANE_SETTER(setShadowColor, m_look.shadowColor, TColor)
CORVANE_SETTER(setBevel, m_look.bevel, TLabel3DBevel)
CORVANE_SETTER(setBorderColor, m_look.borderColor, TColor)
CORVANE_SETTER(setBorderWidth, m_look.borderWidth, int)
CORVANE_SETTER(setBorderStyle, m_look.borderStyle, TLabel3DBorderStyle)
CORVANE_SETTER(setShadowNapr, m_look.shadowNapr, int)

#undef CORVANE_SETTER

void TLabel3D::setShadowSize(int size)
{
    if (assignIfChanged(m_look.shadowSize, size & 0xFF))
        invalidate();
}

void TLabel3D::setCaption(const QString &caption)
{
    if (!assignIfChanged(m_caption, caption))
        return;
    m_look.text = caption;
    m_look.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    invalidate();
    emit captionChanged();
}

bool TLabel3D::ownEnabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void TLabel3D::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLabel(painter);
}

void TLabel3D::paintLabel(QPainter &painter) const
{
    painting().paint(painter);
}

TLabel3D::Painting TLabel3D::painting() const
{
    Painting p = m_look;
    p.size = size();
    p.font = font();
    p.enabled = ownEnabled();
    return p;
}

void TLabel3D::Painting::paint(QPainter &painter) const
{
    QRect r(QPoint(0, 0), size);
    drawFrame(painter, r);
    if (fillGradient)
        PaintGradient(painter, r, firstColor, gradientOrientation, lastColor);
    else if (!transparent && !r.isEmpty())
        painter.fillRect(r, resolveColor(color));
    painter.setBackgroundMode(Qt::TransparentMode);

    const unsigned flags = alignmentFlag(alignment) | DT::ExpandTabs | DT::WordBreak;
    if (layout != tlTop) {
        QRect measured = r;
        drawText(nullptr, measured, flags | DT::CalcRect);
        r = placeTextBlock(r, measured, layout);
    }
    drawText(&painter, r, flags);
}

void TLabel3D::Painting::drawFrame(QPainter &painter, QRect &rect) const
{
    const int w = borderWidth;
    switch (borderStyle) {
    case lbNone:
        break;
    case lbNormal:
        DrawFrameRings(painter, rect, borderColor, borderColor, w);
        break;
    case lbLowered:
        DrawFrameRings(painter, rect, clBtnShadow, clBtnHighlight, w);
        break;
    case lbRaised:
        DrawFrameRings(painter, rect, clBtnHighlight, clBtnShadow, w);
        break;
    case lbInn:
        DrawFrameRings(painter, rect, clBtnShadow, clBtnHighlight, w);
        DrawFrameRings(painter, rect, clBtnHighlight, clBtnShadow, w);
        break;
    case lbOut:
        DrawFrameRings(painter, rect, clBtnHighlight, clBtnShadow, w);
        DrawFrameRings(painter, rect, clBtnShadow, clBtnHighlight, w);
        break;
    }
}

QRect TLabel3D::placeTextBlock(const QRect &rect, const QRect &measured, TTextLayout layout)
{
    if (layout == tlTop)
        return rect;
    const int overflow = rect.height() - measured.height();
    // C++ division truncates toward zero, which is what centring a taller block needs.
    const int shift = layout == tlCenter ? overflow / 2 : overflow;
    QRect r = rect.translated(0, shift);
    if (measured.height() > r.height()) {
        if (measured.bottom() > r.bottom())
            r.setBottom(measured.bottom());
        if (measured.top() < r.top())
            r.setTop(measured.top());
    }
    return r;
}

int TLabel3D::toQtTextFlags(unsigned flags)
{
    int qt = Qt::AlignTop;
    if (flags & DT::Right)
        qt |= Qt::AlignRight;
    else if (flags & DT::Center)
        qt |= Qt::AlignHCenter;
    else
        qt |= Qt::AlignLeft;
    if (flags & DT::WordBreak)
        qt |= Qt::TextWordWrap;
    if (flags & DT::ExpandTabs)
        qt |= Qt::TextExpandTabs;
    if (!(flags & DT::NoPrefix))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

void TLabel3D::DrawLabelText(QPainter *painter, QRect &rect, unsigned flags) const
{
    painting().drawText(painter, rect, flags);
}

void TLabel3D::Painting::drawText(QPainter *painter, QRect &rect, unsigned flags) const
{
    const bool measuring = (flags & DT::CalcRect) != 0;
    // An empty label (or a lone accelerator mark) still measures one line high.
    const bool padded = measuring && (text.isEmpty() || (showAccelChar && text == QLatin1String("&")));
    const QString shown = padded ? text + QLatin1Char(' ') : text;
    if (!showAccelChar)
        flags |= DT::NoPrefix;
    if (painter && !measuring)
        painter->setFont(font);

    if (bevel == blNone) {
        textPass(painter, rect, toQtTextFlags(flags), measuring, shown, fontColor);
        return;
    }

    // Unlike the plain text above, the effect passes break lines only under WordWrap.
    const int passFlags = toQtTextFlags(wordWrap ? flags : flags & ~DT::WordBreak);
    // Measuring only needs the last, unshifted pass: offset copies never widen the block.
    if (!measuring && painter) {
        const int s = shadowSize;
        const TColor first = bevel == blLowered ? shadowColor : highLightColor;
        const TColor direction = bevel == blLowered ? highLightColor : shadowColor;
        if (bevel != blShadow && enabled) {
            QRect shifted = rect.translated(-s, -s);
            textPass(painter, shifted, passFlags, false, shown, first);
        }
        for (int bit = 0; bit < 8; ++bit) {
            if (!(shadowNapr & (1 << bit)))
                continue;
            QRect shifted = rect.translated(kDirections[bit].dx * s, kDirections[bit].dy * s);
            textPass(painter, shifted, passFlags, false, shown, direction);
        }
    }
    textPass(painter, rect, passFlags, measuring, shown, enabled ? fontColor : clGrayText);
}

void TLabel3D::Painting::textPass(QPainter *painter, QRect &rect, int qtFlags, bool measuring,
                                  const QString &passText, TColor passColor) const
{
    if (measuring) {
        // Like the platform's measuring call: the block keeps the given top-left corner.
        const QRect block = QFontMetrics(font).boundingRect(rect, qtFlags, passText);
        rect = QRect(rect.topLeft(), block.size());
        return;
    }
    // The text is clipped to rect, so an empty rect shows nothing at all.
    if (!painter || rect.isEmpty())
        return;
    // QPainter clips only when the line boxes overflow, but glyph ink (a block
    // character, say) can reach past them, onto the frame; so clip every pass.
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setPen(resolveColor(passColor));
    painter->drawText(rect, qtFlags | Qt::TextDontClip, passText);
    painter->restore();
}

void TLabel3D::DrawFrameRings(QPainter &painter, QRect &rect, TColor topColor, TColor bottomColor, int rings)
{
    if (rings <= 0)
        return;
    const QColor top = resolveColor(topColor);
    const QColor bottom = resolveColor(bottomColor);
    // QRect's right and bottom are already the inclusive edges.
    int left = rect.left();
    int upper = rect.top();
    int right = rect.right();
    int lower = rect.bottom();
    // Once the rectangle is used up, further rings could not draw inside it; stopping
    // there also keeps a huge ring count from looping for nothing.
    for (int ring = 0; ring < rings && left <= right && upper <= lower; ++ring) {
        painter.fillRect(QRect(QPoint(left, upper), QPoint(left, lower)), top);
        if (right > left)
            painter.fillRect(QRect(QPoint(left, upper), QPoint(right - 1, upper)), top);
        // The bottom colour goes on last, so it owns the top-right and bottom-left corners.
        painter.fillRect(QRect(QPoint(right, upper), QPoint(right, lower)), bottom);
        painter.fillRect(QRect(QPoint(left, lower), QPoint(right, lower)), bottom);
        ++left;
        ++upper;
        --right;
        --lower;
    }
    rect.setCoords(left, upper, right, lower);
}

void TLabel3D::PaintGradient(QPainter &painter, const QRect &rect, TColor first, TGradientOrientation orientation,
                             TColor last)
{
    const bool horizontal = orientation == goHorizontal;
    const qint64 n = qint64(horizontal ? rect.width() : rect.height()) - 1;
    if (n <= 0)
        return;
    const QColor c1 = resolveColor(first);
    const QColor c2 = resolveColor(last);
    const qint64 r1 = c1.red(), g1 = c1.green(), b1 = c1.blue();
    const qint64 r2 = c2.red(), g2 = c2.green(), b2 = c2.blue();
    for (qint64 i = 0; i <= n; ++i) {
        const QColor band(int((r1 * (n - i) + r2 * i) / n), int((g1 * (n - i) + g2 * i) / n),
                          int((b1 * (n - i) + b2 * i) / n));
        const int offset = int(i);
        if (horizontal)
            painter.fillRect(rect.left() + offset, rect.top(), 1, rect.height(), band);
        else
            painter.fillRect(rect.left(), rect.top() + offset, rect.width(), 1, band);
    }
}
