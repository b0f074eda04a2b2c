#pragma once

#include <QString>

// The six band proportions of the board, in percent of its height or width.
struct Proportions
{
    int ProTop = 20;  // title band, of the height
    int ProBot = 10;  // bottom line, of the height
    int ProTit = 10;  // date and heading band, of the height
    int ProTitL = 30; // date cell, of the width
    int ProName = 35; // name column, of the width
    int ProTit2 = 10; // buy/sell header, of the height

    friend bool operator==(const Proportions &, const Proportions &) = default;
};

// Settings shared by the whole program: loaded at start-up, written back at exit.
struct ProgramSettings
{
    QString SettingsKey = QStringLiteral("\\Software\\Marrowgate\\");
    QString FileName = QStringLiteral("Title.jpg");
    int TitleMode = 0;
    bool TV = false;
    Proportions proportions;
    QString RateTableText;
    bool SettingsLoaded = false;
};

// The one instance of the program's settings.
ProgramSettings &programSettings();
