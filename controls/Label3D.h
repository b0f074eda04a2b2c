#pragma once

#include "platform/TColor.h"

#include <QWidget>

class QPainter;

// Flags of the text routine, with the values of the platform call they stand for.
namespace DT {
constexpr unsigned Left = 0x0;
constexpr unsigned Center = 0x1;
constexpr unsigned Right = 0x2;
constexpr unsigned WordBreak = 0x10;
constexpr unsigned ExpandTabs = 0x40;
constexpr unsigned CalcRect = 0x400;
constexpr unsigned NoPrefix = 0x800;
} // namespace DT

// The text cell of the board: a label that draws, in this order, an optional frame of
// pixel rings, an optional two-colour gradient and its caption with an optional
// embossed, engraved or drop-shadow effect.
class TLabel3D : public QWidget
{
    Q_OBJECT
public:
    enum TLabel3DBevel { blNone, blLowered, blRaised, blShadow };
    Q_ENUM(TLabel3DBevel)
    enum TLabel3DBorderStyle { lbNone, lbNormal, lbLowered, lbRaised, lbInn, lbOut };
    Q_ENUM(TLabel3DBorderStyle)
    enum TGradientOrientation { goHorizontal, goVertical };
    Q_ENUM(TGradientOrientation)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)

    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(TColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(int FontCharset READ fontCharset WRITE setFontCharset)
    Q_PROPERTY(TColor Color READ color WRITE setColor)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(TTextLayout Layout READ layout WRITE setLayout)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ showAccelChar WRITE setShowAccelChar)
    Q_PROPERTY(TColor FirstColor READ firstColor WRITE setFirstColor)
    Q_PROPERTY(TColor LastColor READ lastColor WRITE setLastColor)
    Q_PROPERTY(bool FillGradient READ fillGradient WRITE setFillGradient)
    Q_PROPERTY(TGradientOrientation GradientOrientation READ gradientOrientation WRITE setGradientOrientation)
    Q_PROPERTY(TColor HighLightColor READ highLightColor WRITE setHighLightColor)
    Q_PROPERTY(TColor ShadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(TLabel3DBevel Bevel READ bevel WRITE setBevel)
    Q_PROPERTY(int ShadowSize READ shadowSize WRITE setShadowSize)
    Q_PROPERTY(TColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(TLabel3DBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(int ShadowNapr READ shadowNapr WRITE setShadowNapr)

    explicit TLabel3D(QWidget *parent = nullptr);

    // The caption and the font colour, which the board's fields keep apart from their font.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TColor fontColor() const { return m_look.fontColor; }
    void setFontColor(TColor color);
    int fontCharset() const { return m_fontCharset; }
    void setFontCharset(int charset);
    // The font size in points (the font itself is held in pixels, see FontUnits.h).
    int fontSize() const;
    void setFontSize(int points);
    TColor color() const { return m_look.color; }
    void setColor(TColor color);
    bool transparent() const { return m_look.transparent; }
    void setTransparent(bool transparent);
    TAlignment alignment() const { return m_look.alignment; }
    void setAlignment(TAlignment alignment);
    TTextLayout layout() const { return m_look.layout; }
    void setLayout(TTextLayout layout);
    bool wordWrap() const { return m_look.wordWrap; }
    void setWordWrap(bool wordWrap);
    bool showAccelChar() const { return m_look.showAccelChar; }
    void setShowAccelChar(bool show);

    // Own properties.
    TColor firstColor() const { return m_look.firstColor; }
    void setFirstColor(TColor color);
    TColor lastColor() const { return m_look.lastColor; }
    void setLastColor(TColor color);
    bool fillGradient() const { return m_look.fillGradient; }
    void setFillGradient(bool fill);
    TGradientOrientation gradientOrientation() const { return m_look.gradientOrientation; }
    void setGradientOrientation(TGradientOrientation orientation);
    TColor highLightColor() const { return m_look.highLightColor; }
    void setHighLightColor(TColor color);
    TColor shadowColor() const { return m_look.shadowColor; }
    void setShadowColor(TColor color);
    TLabel3DBevel bevel() const { return m_look.bevel; }
    void setBevel(TLabel3DBevel bevel);
    int shadowSize() const { return m_look.shadowSize; }
    void setShadowSize(int size); // 0..255, stored as an unsigned byte
    TColor borderColor() const { return m_look.borderColor; }
    void setBorderColor(TColor color);
    int borderWidth() const { return m_look.borderWidth; }
    void setBorderWidth(int width);
    TLabel3DBorderStyle borderStyle() const { return m_look.borderStyle; }
    void setBorderStyle(TLabel3DBorderStyle style);
    int shadowNapr() const { return m_look.shadowNapr; }
    void setShadowNapr(int directions);

    // The text routine: draws the caption into rect with the given DT flags, or with
    // DT::CalcRect only measures it and returns the text's bounding rectangle in rect.
    // painter may be null when measuring.
    void DrawLabelText(QPainter *painter, QRect &rect, unsigned flags) const;

    // Draws `rings` one-pixel rings inside rect and returns rect shrunk by them.
    static void DrawFrameRings(QPainter &painter, QRect &rect, TColor topColor, TColor bottomColor, int rings);
    // Fills rect with one solid band per pixel column (or row) from first to last.
    static void PaintGradient(QPainter &painter, const QRect &rect, TColor first,
                              TGradientOrientation orientation, TColor last);

    // Paints the whole label onto painter, whose origin is the label's top-left corner.
    void paintLabel(QPainter &painter) const;

    // What the label shows, copied out of it: paints as the label does, on any painter and
    // on any thread, whatever becomes of the label meanwhile.
    struct Painting
    {
        QSize size;
        QFont font;
        bool enabled = true;
        QString text;
        TColor fontColor = clBtnText;
        TColor color = clBtnFace;
        bool transparent = false;
        TAlignment alignment = taLeftJustify;
        TTextLayout layout = tlTop;
        bool wordWrap = false;
        bool showAccelChar = true;
        TColor firstColor = clWhite;
        TColor lastColor = clTeal;
        bool fillGradient = false;
        TGradientOrientation gradientOrientation = goHorizontal;
        TColor highLightColor = clBtnHighlight;
        TColor shadowColor = clBtnShadow;
        TLabel3DBevel bevel = blRaised;
        int shadowSize = 1;
        TColor borderColor = clBlack;
        int borderWidth = 1;
        TLabel3DBorderStyle borderStyle = lbNone;
        int shadowNapr = 1;

        void paint(QPainter &painter) const;
        // As DrawLabelText.
        void drawText(QPainter *painter, QRect &rect, unsigned flags) const;

    private:
        void drawFrame(QPainter &painter, QRect &rect) const;
        void textPass(QPainter *painter, QRect &rect, int qtFlags, bool measuring, const QString &passText,
                      TColor passColor) const;
    };
    Painting painting() const;

    // The QPainter text flags standing for a set of DT flags (DT::CalcRect aside).
    static int toQtTextFlags(unsigned flags);
    // Where a text block measured as `measured` (from rect's top-left) is drawn for
    // `layout`: centred or bottom-aligned on rect, and stretched over the whole block
    // when it is taller than rect, so that only the label's own bounds cut it.
    static QRect placeTextBlock(const QRect &rect, const QRect &measured, TTextLayout layout);

signals:
    // Emitted whenever a change asks for the label to be drawn again.
    void repaintRequested();
    // Emitted after the caption has changed, so that whoever sizes the font to the caption
    // can size it again.
    void captionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void invalidate();
    // The label's own Enabled state; a disabled parent (the board's hosts) does not grey it.
    bool ownEnabled() const;

    QString m_caption;
    int m_fontCharset = 1;
    // What is painted, but for the size, the font and the enabled state, which the widget
    // holds; the caption is kept with its CR LF pairs made single line breaks, so that
    // painting does not convert it again every time.
    Painting m_look;
};
