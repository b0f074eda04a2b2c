#include "FontButtonPlaces.h"

#include "FrameCorvane.h"
#include "controls/Label3D.h"

namespace {

// The labels lie in nested panels; the buttons are placed in the preview's own coordinates.
int topIn(const TFrameCorvane &preview, const QWidget *widget)
{
    return widget->mapTo(&preview, QPoint(0, 0)).y();
}

} // namespace

std::array<QPoint, 9> fontButtonPlaces(const TFrameCorvane &preview)
{
    // Buttons on the right edge overhang the board by one pixel, as they always have.
    const int rightColumn = preview.width() - 27;
    const int nameColumn = preview.PanelName->width() - kFontButtonWidth;

    const int top = 0;
    const int date = topIn(preview, preview.Panel2);
    const int title = date;
    const int headers = title + preview.LabelTitle->height();
    const int sell = headers + preview.LabelTitPok->height();
    const int names = headers;
    const int buy = sell;
    const int bottom = topIn(preview, preview.LabelBot);
    const int secondNames = names + kFontButtonHeight;

    return {
        QPoint(rightColumn, top),                                     // bFont1: title line
        QPoint(preview.LabelData->width() - 26, date),                // bFont2: date and time
        QPoint(rightColumn, title),                                   // bFont3: heading
        QPoint(rightColumn, headers),                                 // bFont4: buy and sell headers
        QPoint(nameColumn, names),                                    // bFont5: currency codes
        QPoint(rightColumn - preview.LabelTitProd->width(), buy),     // bFont6: buy figures
        QPoint(rightColumn, sell),                                    // bFont7: sell figures
        QPoint(rightColumn, bottom),                                  // bFont8: bottom line
        QPoint(nameColumn, secondNames),                              // bFont9: second names
    };
}
