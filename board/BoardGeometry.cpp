#include "BoardGeometry.h"

#include <cmath>

int nearest(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

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
    const int rowTop = nearest(k * pitch) + top;
    const int nameWidth = nearest(nameColumnWidth * 0.96);
    const int lineHeight = nearest(pitch / 2 - 0.5);
    row.name = QRect(0, rowTop, nameWidth, lineHeight);
    row.nameRus = QRect(0, rowTop + nearest(pitch / 2), nameWidth, lineHeight);
    const int rateWidth = nearest(ratesColumnWidth * 0.96 / 2);
    const int rateHeight = nearest(pitch + 0.5);
    row.buy = QRect(0, rowTop, rateWidth, rateHeight);
    row.sell = QRect(ratesColumnWidth / 2, rowTop, rateWidth, rateHeight);
    return row;
}

QSize fullScreenTitleBand(QSize targetMonitor, const Proportions &proportions)
{
    const BoardBands bands = boardBands(targetMonitor.height(), targetMonitor, proportions);
    return QSize(bands.width, bands.titleHeight);
}
