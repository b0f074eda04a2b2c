#include "BoardFonts.h"

#include "controls/Label3D.h"
#include "platform/FontUnits.h"

BoardFont boardFontOf(const TLabel3D &label)
{
    BoardFont result;
    result.font = label.font();
    result.font.setPointSize(qMax(1, boardFontPoints(label.font())));
    result.color = label.fontColor();
    result.charset = label.fontCharset();
    return result;
}

void applyBoardFont(TLabel3D &label, const BoardFont &font)
{
    const int points = boardFontPoints(font.font);
    const int currentPixels = label.font().pixelSize();
    QFont applied = font.font;
    if (currentPixels > 0 && pixelsToPoints(currentPixels) == points)
        applied.setPixelSize(currentPixels);
    else
        applied.setPixelSize(qMax(1, pointsToPixels(points)));
    label.setFont(applied);
    label.setFontColor(font.color);
    label.setFontCharset(font.charset);
}
