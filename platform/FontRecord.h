#pragma once

#include "platform/TColor.h"

#include <QFont>
#include <QString>

class SettingsStore;

// A board font as the store keeps it: the Qt font with its size in points, plus the two
// things a QFont does not carry, the colour and the character set.
struct BoardFont
{
    QFont font;
    TColor color = clBlack;
    int charset = 1; // the platform's "default" character set

    friend bool operator==(const BoardFont &, const BoardFont &) = default;
};

// The size of a font in points, also for a font whose size was given in pixels.
int boardFontPoints(const QFont &font);

// A font record "P" is the values Pn (face), Ps (size in points), Pc (colour), Pb, Pi, Pu
// (bold, italic, underline as 1 or 0) and Pt (character set). Strike-out is not kept.
//
// Reads the record into `font`. A missing face counts as empty, and an empty face keeps the
// font's own. The first value that is missing or of another type ends the reading: what was
// read before stays, everything after keeps the font's earlier state.
void ReadFontRecord(const SettingsStore &store, const QString &prefix, BoardFont &font);
void WriteFontRecord(SettingsStore &store, const QString &prefix, const BoardFont &font);
