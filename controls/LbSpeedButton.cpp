#include "LbSpeedButton.h"

#include "LbButtonColors.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

using namespace LbButtons;

TLbSpeedButton::TLbSpeedButton(QWidget *parent)
    : QWidget(parent)
    , m_hotTrackFont(parent ? parent->window()->font() : QApplication::font())
    , m_accelerator(new QShortcut(this))
{
    resize(100, 23);
    // The face takes the colour of what it sits on, as a control that follows its parent.
    m_look.color = parent ? toTColor(parent->palette().color(parent->backgroundRole())) : clBtnFace;
    setMouseTracking(true);
    m_accelerator->setContext(Qt::WindowShortcut);
    connect(m_accelerator, &QShortcut::activated, this, [this] {
        const QKeySequence key = m_accelerator->key();
        if (!key.isEmpty())
            DialogChar(QChar(static_cast<char16_t>(key[0].key())));
    });
}

TLbSpeedButton::~TLbSpeedButton()
{
    stopFading();
}

void TLbSpeedButton::repaintFace()
{
    // Over a transparent face the parent has to draw the background first.
    if (m_look.transparent)
        update();
    else
        repaint();
}

#define CORVANE_REPAINTING_SETTER(Setter, field, Type)                                                      \
    void TLbSpeedButton::Setter(Type value)                                                                 \
    {                                                                                                       \
        field = value;                                                                                      \
        repaintFace();                                                                                      \
    }

CORVANE_REPAINTING_SETTER(setAlignment, m_look.alignment, TLabel3D::TAlignment)
CORVANE_REPAINTING_SETTER(setColorWhenDown, m_look.colorWhenDown, TColor)
CORVANE_REPAINTING_SETTER(setFlat, m_look.flat, bool)
CORVANE_REPAINTING_SETTER(setGroupIndex, m_groupIndex, int)
CORVANE_REPAINTING_SETTER(setLayout, m_look.layout, TLbSpeedButtonLayout)
CORVANE_REPAINTING_SETTER(setLightColor, m_look.lightColor, TColor)
CORVANE_REPAINTING_SETTER(setShadowColor, m_look.shadowColor, TColor)
CORVANE_REPAINTING_SETTER(setWordWrap, m_look.wordWrap, bool)

#undef CORVANE_REPAINTING_SETTER

void TLbSpeedButton::setCaption(const QString &caption)
{
    m_look.caption = caption;
    updateAcceleratorKey();
    update();
}

void TLbSpeedButton::setColor(TColor color)
{
    m_look.color = color;
    update();
}

void TLbSpeedButton::setFontColor(TColor color)
{
    m_look.fontColor = color;
    update();
}

// Read only while painting, so a change shows with the next frame.
void TLbSpeedButton::setHotTrackColor(TColor color)
{
    m_look.hotTrackColor = color;
}

void TLbSpeedButton::setUseHotTrackFont(bool use)
{
    m_useHotTrackFont = use;
}

void TLbSpeedButton::setColorStyle(TLbColorStyle colorStyle)
{
    const std::optional<LbColorPreset> preset = colorPreset(colorStyle);
    if (!preset)
        return;
    setColor(preset->color);
    m_look.lightColor = preset->lightColor;
    m_look.shadowColor = preset->shadowColor;
    m_look.colorWhenDown = preset->colorWhenDown;
    m_look.hotTrackColor = preset->hotTrackColor;
    m_look.fontColor = preset->fontColor;
    m_look.flat = preset->flat;
    // A preset chooses its style whatever the screen offers.
    m_look.style = preset->style;
    repaint();
}

void TLbSpeedButton::setDown(bool down)
{
    // A group whose members were pressed before they were grouped would otherwise release
    // one another without end.
    if (down == m_down || m_settingDown)
        return;
    m_settingDown = true;
    if (m_groupIndex != 0 && parentWidget()) {
        const auto siblings = parentWidget()->findChildren<TLbSpeedButton *>(Qt::FindDirectChildrenOnly);
        for (TLbSpeedButton *sibling : siblings)
            if (sibling != this && sibling->m_groupIndex == m_groupIndex)
                sibling->setDown(false);
    }
    m_down = down;
    m_settingDown = false;
    repaintFace();
}

void TLbSpeedButton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    m_look.glyph = glyph.toImage();
    m_look.numGlyphs = glyph.height() > 0 ? glyph.width() / glyph.height() : 0;
    update();
}

void TLbSpeedButton::setNumGlyphs(int count)
{
    m_look.numGlyphs = count;
    update();
}

int TLbSpeedButton::screenDepth() const
{
    const QScreen *shownOn = screen();
    return shownOn ? shownOn->depth() : 32;
}

void TLbSpeedButton::setStyle(TLbSpeedButtonStyle style)
{
    // The shaded face needs more colours than a palette display has.
    if (style == bsModern && screenDepth() <= 8)
        style = bsNormal;
    m_look.style = style;
    update();
}

void TLbSpeedButton::setTransparent(bool transparent)
{
    m_look.transparent = transparent;
    if (transparent)
        update();
    else
        repaint();
}

void TLbSpeedButton::setSlowDecease(bool slow)
{
    m_slowDecease = slow;
    if (slow && !m_fadeTimer) {
        m_fadeTimer = std::make_unique<QTimer>();
        m_fadeTimer->setInterval(kFadeStepMs);
        connect(m_fadeTimer.get(), &QTimer::timeout, this, &TLbSpeedButton::FadeStep);
    } else if (!slow) {
        m_fadeLevel = 0;
        stopFading();
    }
    update();
}

void TLbSpeedButton::stopFading()
{
    m_fadeTimer.reset();
}

void TLbSpeedButton::FadeStep()
{
    if (--m_fadeLevel <= 0) {
        m_fadeLevel = 0;
        if (m_fadeTimer)
            m_fadeTimer->stop();
    }
    repaintFace();
}

void TLbSpeedButton::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
    update();
}

void TLbSpeedButton::updateAcceleratorKey()
{
    m_accelerator->setKey(QKeySequence::mnemonic(m_look.caption));
}

bool TLbSpeedButton::parentShowing() const
{
    return parentWidget() && parentWidget()->isVisible();
}

bool TLbSpeedButton::respondsToPointer() const
{
    return isEnabled() && isVisible() && parentShowing();
}

bool TLbSpeedButton::DialogChar(QChar key)
{
    const QKeySequence accelerator = QKeySequence::mnemonic(m_look.caption);
    if (accelerator.isEmpty() || accelerator != QKeySequence::mnemonic(QStringLiteral("&") + key))
        return false;
    if (!respondsToPointer())
        return false;
    const bool wasDown = m_down;
    m_down = true;
    repaint();
    const QPointer<TLbSpeedButton> alive(this);
    Click();
    if (!alive)
        return true;
    m_down = wasDown;
    repaint();
    return true;
}

void TLbSpeedButton::Click()
{
    if (m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
    emit OnClick();
}

LbButtonLook TLbSpeedButton::look() const
{
    LbButtonLook shown = m_look;
    shown.font = m_mouseInside && m_useHotTrackFont ? m_hotTrackFont : font();
    shown.popupArrow = !m_popupMenu.isNull();
    return shown;
}

LbButtonState TLbSpeedButton::state() const
{
    return {isEnabled(), m_down, m_mouseInside, m_fadeLevel};
}

QImage TLbSpeedButton::renderFrame() const
{
    return renderButtonFrame(look(), state(), size());
}

void TLbSpeedButton::paintEvent(QPaintEvent *)
{
    // The frame is finished off-screen, so the parent never shows a half-drawn button.
    QPainter painter(this);
    painter.drawImage(0, 0, renderFrame());
}

void TLbSpeedButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (!respondsToPointer())
        return;
    m_mouseInside = true;
    m_fadeLevel = kFullFadeLevel;
    repaintFace();
    emit OnMouseEnter();
}

void TLbSpeedButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_mouseInside = false;
    if (m_slowDecease) {
        if (m_fadeTimer && !m_fadeTimer->isActive())
            m_fadeTimer->start();
    } else {
        m_fadeLevel = 0;
        repaintFace();
    }
    if (respondsToPointer())
        emit OnMouseExit();
}

void TLbSpeedButton::pressWithLeftButton()
{
    if (m_groupIndex == 0 || !m_down)
        setDown(true);
    else if (m_allowAllUp)
        setDown(false);
}

void TLbSpeedButton::mousePressEvent(QMouseEvent *event)
{
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() != Qt::LeftButton)
        return;
    m_clickPending = true;
    pressWithLeftButton();
}

// The second press of a double click counts as a press but clicks no second time.
void TLbSpeedButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        pressWithLeftButton();
}

void TLbSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_clickPending) {
        m_clickPending = false;
        if (rect().contains(position)) {
            // A click handler may close the window the button is on.
            const QPointer<TLbSpeedButton> alive(this);
            Click();
            if (!alive)
                return;
        }
    }
    emit OnMouseUp(event->button(), event->modifiers(), position);
    if (m_groupIndex == 0)
        setDown(false);
}

void TLbSpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    emit OnMouseMove(event->modifiers(), event->position().toPoint());
}
