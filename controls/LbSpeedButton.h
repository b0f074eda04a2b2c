#pragma once

#include "LbButtonPainter.h"
#include "LbButtonTypes.h"

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>

class QShortcut;
class QTimer;

// A push button without a window of its own: a glyph strip, an optional caption, six
// drawing styles, colour presets, hover highlighting that may fade out slowly, radio
// groups among its siblings and an optional drop-down menu.
class TLbSpeedButton : public QWidget
{
    Q_OBJECT
public:
    Q_PROPERTY(TLabel3D::TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool AllowAllUp READ allowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(TColor Color READ color WRITE setColor)
    Q_PROPERTY(TColor ColorWhenDown READ colorWhenDown WRITE setColorWhenDown)
    Q_PROPERTY(LbButtons::TLbColorStyle ColorStyle READ colorStyle WRITE setColorStyle)
    Q_PROPERTY(bool Down READ down WRITE setDown)
    Q_PROPERTY(bool Flat READ flat WRITE setFlat)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int GroupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(TColor HotTrackColor READ hotTrackColor WRITE setHotTrackColor)
    Q_PROPERTY(QFont HotTrackFont READ hotTrackFont WRITE setHotTrackFont)
    Q_PROPERTY(LbButtons::TLbSpeedButtonLayout Layout READ layout WRITE setLayout)
    Q_PROPERTY(TColor LightColor READ lightColor WRITE setLightColor)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(TColor ShadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(bool SlowDecease READ slowDecease WRITE setSlowDecease)
    Q_PROPERTY(LbButtons::TLbSpeedButtonStyle Style READ style WRITE setStyle)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool UseHotTrackFont READ useHotTrackFont WRITE setUseHotTrackFont)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    // The colour of Font (a QFont has none).
    Q_PROPERTY(TColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QMenu *PopupMenu READ popupMenu WRITE setPopupMenu)

    explicit TLbSpeedButton(QWidget *parent = nullptr);
    ~TLbSpeedButton() override;

    TLabel3D::TAlignment alignment() const { return m_look.alignment; }
    void setAlignment(TLabel3D::TAlignment alignment);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow) { m_allowAllUp = allow; }
    QString caption() const { return m_look.caption; }
    void setCaption(const QString &caption);
    TColor color() const { return m_look.color; }
    void setColor(TColor color);
    TColor colorWhenDown() const { return m_look.colorWhenDown; }
    void setColorWhenDown(TColor color);
    // A preset is applied, never kept: this always reads lcsCustom.
    LbButtons::TLbColorStyle colorStyle() const { return LbButtons::lcsCustom; }
    void setColorStyle(LbButtons::TLbColorStyle colorStyle);
    bool down() const { return m_down; }
    void setDown(bool down);
    bool flat() const { return m_look.flat; }
    void setFlat(bool flat);
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    TColor hotTrackColor() const { return m_look.hotTrackColor; }
    void setHotTrackColor(TColor color);
    QFont hotTrackFont() const { return m_hotTrackFont; }
    void setHotTrackFont(const QFont &font) { m_hotTrackFont = font; }
    LbButtons::TLbSpeedButtonLayout layout() const { return m_look.layout; }
    void setLayout(LbButtons::TLbSpeedButtonLayout layout);
    TColor lightColor() const { return m_look.lightColor; }
    void setLightColor(TColor color);
    int numGlyphs() const { return m_look.numGlyphs; }
    void setNumGlyphs(int count);
    TColor shadowColor() const { return m_look.shadowColor; }
    void setShadowColor(TColor color);
    bool slowDecease() const { return m_slowDecease; }
    void setSlowDecease(bool slow);
    LbButtons::TLbSpeedButtonStyle style() const { return m_look.style; }
    void setStyle(LbButtons::TLbSpeedButtonStyle style);
    bool transparent() const { return m_look.transparent; }
    void setTransparent(bool transparent);
    bool useHotTrackFont() const { return m_useHotTrackFont; }
    void setUseHotTrackFont(bool use);
    bool wordWrap() const { return m_look.wordWrap; }
    void setWordWrap(bool wrap);
    TColor fontColor() const { return m_look.fontColor; }
    void setFontColor(TColor color);
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu);

    bool mouseInside() const { return m_mouseInside; }
    int fadeLevel() const { return m_fadeLevel; }
    // The fade timer while SlowDecease is on, else null. It runs only while a fade does.
    QTimer *fadeTimer() const { return m_fadeTimer.get(); }
    // One step of the hover fade, as the fade timer runs it.
    void FadeStep();

    // The accelerator key of the caption: presses and releases the button as a click
    // would. Returns whether the key was the button's.
    bool DialogChar(QChar key);

    // What the button looks like now and the frame it paints for that.
    LbButtonLook look() const;
    LbButtonState state() const;
    QImage renderFrame() const;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, QPoint position);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void OnMouseEnter();
    void OnMouseExit();

protected:
    // Bits per pixel of the screen the button is on.
    virtual int screenDepth() const;

    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Click();
    void pressWithLeftButton();
    // Paints at once, or, over a transparent face, after the parent has drawn.
    void repaintFace();
    bool parentShowing() const;
    bool respondsToPointer() const;
    void stopFading();
    void updateAcceleratorKey();

    LbButtonLook m_look;
    QPixmap m_glyph;
    QFont m_hotTrackFont;
    QPointer<QMenu> m_popupMenu;
    std::unique_ptr<QTimer> m_fadeTimer;
    QShortcut *m_accelerator = nullptr;
    int m_groupIndex = 0;
    int m_fadeLevel = 0;
    bool m_allowAllUp = false;
    bool m_down = false;
    bool m_settingDown = false;
    bool m_slowDecease = false;
    bool m_useHotTrackFont = false;
    bool m_mouseInside = false;
    bool m_clickPending = false;
};
