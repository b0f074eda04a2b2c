#include "Label3D.h"

#include "platform/FontUnits.h"

#include <QEvent>
#include <QPainter>

namespace {

// Stores value into field and asks for a repaint, unless nothing changes.
template <typename T>
bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
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
        if (assign(field, value))                                                                           \
            invalidate();                                                                                   \
    }

CORVANE_SETTER(setCaption, m_caption, const QString &)
CORVANE_SETTER(setFontColor, m_fontColor, TColor)
CORVANE_SETTER(setFontCharset, m_fontCharset, int)
CORVANE_SETTER(setColor, m_color, TColor)
CORVANE_SETTER(setTransparent, m_transparent, bool)
CORVANE_SETTER(setAlignment, m_alignment, TAlignment)
CORVANE_SETTER(setLayout, m_layout, TTextLayout)
CORVANE_SETTER(setWordWrap, m_wordWrap, bool)
CORVANE_SETTER(setShowAccelChar, m_showAccelChar, bool)
CORVANE_SETTER(setFirstColor, m_firstColor, TColor)
CORVANE_SETTER(setLastColor, m_lastColor, TColor)
CORVANE_SETTER(setFillGradient, m_fillGradient, bool)
CORVANE_SETTER(setGradientOrientation, m_gradientOrientation, TGradientOrientation)
CORVANE_SETTER(setHighLightColor, m_highLightColor, TColor)
CORVANE_SETTER(setShadowColor, m_shadowColor, TColor)
CORVANE_SETTER(setBevel, m_bevel, TLabel3DBevel)
CORVANE_SETTER(setBorderColor, m_borderColor, TColor)
CORVANE_SETTER(setBorderWidth, m_borderWidth, int)
CORVANE_SETTER(setBorderStyle, m_borderStyle, TLabel3DBorderStyle)
CORVANE_SETTER(setShadowNapr, m_shadowNapr, int)

#undef CORVANE_SETTER

void TLabel3D::setShadowSize(int size)
{
    if (assign(m_shadowSize, size & 0xFF))
        invalidate();
}

void TLabel3D::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLabel(painter);
}

// Placeholder drawing until the full paint lands: background and plain text.
void TLabel3D::paintLabel(QPainter &painter) const
{
    QRect r = rect();
    if (!m_transparent)
        painter.fillRect(r, resolveColor(m_color));
    DrawLabelText(&painter, r, DT::WordBreak);
}

void TLabel3D::DrawLabelText(QPainter *painter, QRect &rect, unsigned flags) const
{
    QString text = m_caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (flags & DT::CalcRect) {
        rect = fontMetrics().boundingRect(rect, Qt::AlignTop | Qt::TextWordWrap, text.isEmpty() ? QStringLiteral(" ") : text);
        return;
    }
    if (!painter)
        return;
    painter->setFont(font());
    painter->setPen(resolveColor(m_fontColor));
    painter->drawText(rect, Qt::AlignTop | Qt::TextWordWrap, text);
}

void TLabel3D::DrawFrameRings(QPainter &, QRect &, TColor, TColor, int) {}

void TLabel3D::PaintGradient(QPainter &, const QRect &, TColor, TGradientOrientation, TColor) {}
