#include "BoardGeometry.h"

#include "platform/Rounding.h"

#include <cmath>

double portraitRatio(QSize monitor)
{
    if (monitor.width() <= 0 || monitor.height() <= 0)
        return 1.0;
    double r = double(monitor.width()) / double(monitor.height());
    if (r > 1.0)
        r = 1.0 / r;
    return r;
}

BoardBands boardBands(int height, QSize targetMonitor, const Proportions &p)
{
    BoardBands bands;
    bands.width = static_cast<int>(std::trunc(height * portraitRatio(targetMonitor)));
    bands.titleHeight = height * p.ProTop / 100;
    bands.bottomHeight = height * p.ProBot / 100;
    bands.nameWidth = bands.width * p.ProName / 100;
    bands.dateWidth = bands.width * p.ProTitL / 100;
    bands.headerHeight = height * p.ProTit2 / 100;
    bands.titleBandHeight = height * p.ProTit / 100;
    return bands;
}

double rowPitch(int shownRows, int nameColumnHeight, int headerHeight)
{
    if (shownRows == 0)
        return 10.0;
    return double(nameColumnHeight - headerHeight) / shownRows;
}

RowPlacement rowPlacement(int k, double pitch, int top, int nameColumnWidth, int ratesColumnWidth)
{
    RowPlacement row;
    const int rowTop = roundHalfEven(k * pitch) + top;
    const int nameWidth = roundHalfEven(nameColumnWidth * 0.96);
    const int lineHeight = roundHalfEven(pitch / 2 - 0.5);
    row.name = QRect(0, rowTop, nameWidth, lineHeight);
    row.nameRus = QRect(0, rowTop + roundHalfEven(pitch / 2), nameWidth, lineHeight);
    const int rateWidth = roundHalfEven(ratesColumnWidth * 0.96 / 2);
    const int rateHeight = roundHalfEven(pitch + 0.5);
    row.buy = QRect(0, rowTop, rateWidth, rateHeight);
    row.sell = QRect(ratesColumnWidth / 2, rowTop, rateWidth, rateHeight);
    return row;
}

QSize fullScreenTitleBand(QSize targetMonitor, const Proportions &proportions)
{
    const BoardBands bands = boardBands(targetMonitor.height(), targetMonitor, proportions);
    return QSize(bands.width, bands.titleHeight);
}
