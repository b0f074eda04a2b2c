#pragma once

#include "LbButtonTypes.h"
#include "controls/Label3D.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QFontMetrics;
class QPainter;

// What a styled speed button shows, as its properties hold it.
struct LbButtonLook {
    LbButtons::TLbSpeedButtonStyle style = LbButtons::bsNormal;
    LbButtons::TLbSpeedButtonLayout layout = LbButtons::blGlyphLeft;
    TLabel3D::TAlignment alignment = TLabel3D::taLeftJustify;
    TColor color = clBtnFace;
    TColor colorWhenDown = clNone;
    TColor hotTrackColor = clNone;
    TColor lightColor = clWhite;
    TColor shadowColor = clBlack;
    TColor fontColor = clBtnText;
    bool flat = false;
    bool transparent = false;
    bool wordWrap = false;
    bool popupArrow = false;
    QString caption;
    QFont font;
    QImage glyph;
    int numGlyphs = 0;
};

// The button's state at the moment of painting.
struct LbButtonState {
    bool enabled = true;
    bool down = false;
    bool mouseInside = false;
    int fadeLevel = 0;
};

// Where the caption and the glyph image of one frame go.
struct LbButtonPlacement {
    QString caption; // after fitting
    QRect textRect;
    int textFlags = 0; // QPainter text flags
    QPoint glyphPos;
    int imageIndex = 0;
};

// The face colour mixed towards the hot colour by fadeLevel eighths.
QColor blendHotColor(TColor color, TColor hotColor, int fadeLevel);

// The face colour of a frame.
QColor faceColor(const LbButtonLook &look, const LbButtonState &state);

// Drops characters from the end until the text fits the limit on one line.
QString fitCaption(QString caption, const QFontMetrics &metrics, int limit);

// Width of one image of the glyph strip (0 without images).
int glyphImageWidth(const LbButtonLook &look);

// The font the caption is drawn with (bold while an Encarta button is down).
QFont captionFont(const LbButtonLook &look, const LbButtonState &state);

// Caption fitting and the positions of caption and glyph for a button of that size.
LbButtonPlacement placeButtonContent(const LbButtonLook &look, const LbButtonState &state, QSize size);

// One image of the strip, starting at the offset, with the colour of its bottom-left
// pixel made transparent. An offset past the strip leaves the first image.
QImage glyphImage(const QImage &strip, int offset, int width);

// 32 bands from colour a to colour b over the columns x1..x2 and rows y1..y2 (ends exclusive).
void shadeBands(QPainter &painter, const QColor &a, const QColor &b, QRect area);

// Draws the whole face of a button of that size.
void PaintButtonFace(QPainter &painter, const LbButtonLook &look, const LbButtonState &state, QSize size);

// The off-screen frame of a button: its face, with the pixels the parent shows through
// transparent.
QImage renderButtonFrame(const LbButtonLook &look, const LbButtonState &state, QSize size);
