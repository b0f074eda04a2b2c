#pragma once

#include "platform/ProgramSettings.h"

#include <QRect>
#include <QSize>

// Short side over long side of a monitor: the board is that monitor's shape turned upright.
double portraitRatio(QSize monitor);

// Sizes of the board's bands and columns for a board height, from the proportions.
struct BoardBands
{
    int width = 0;         // the board width W
    int titleHeight = 0;   // LabelTop (and ImageTop)
    int bottomHeight = 0;  // LabelBot
    int nameWidth = 0;     // PanelName
    int dateWidth = 0;     // LabelData
    int headerHeight = 0;  // PanelTit2 and LabelPusto
    int titleBandHeight = 0; // PanelTitle
};

BoardBands boardBands(int height, QSize targetMonitor, const Proportions &proportions);

// The title band of a board that fills the whole target monitor.
QSize fullScreenTitleBand(QSize targetMonitor, const Proportions &proportions);

// Where one shown currency row sits: the code and second-name lines in the name column,
// the buy and sell figures in the rates column.
struct RowPlacement
{
    QRect name;
    QRect nameRus;
    QRect buy;
    QRect sell;
};

// Row pitch for n shown rows in a name column of the given height below a header.
double rowPitch(int shownRows, int nameColumnHeight, int headerHeight);

// Placement of the k-th shown row (0-based), with pitch P and the top offset T0.
RowPlacement rowPlacement(int k, double pitch, int top, int nameColumnWidth, int ratesColumnWidth);
