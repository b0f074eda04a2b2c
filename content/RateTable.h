#pragma once

#include <QString>
#include <QVector>

#include <array>

// The currency table is kept as one text: one line per board row, each line
// "code TAB buy TAB sell TAB name" ended by CR LF. These functions are the only
// reader and writer of that text; the boards and the editor rows go through them.

constexpr int RateSlotCount = 8;

// The longest code or second name, and the longest rate, that the editor rows hold.
constexpr int RateNameMaxLength = 32;
constexpr int RateFigureMaxLength = 10;

struct RateRow
{
    QString code;
    QString buy;
    QString sell;
    QString name;

    friend bool operator==(const RateRow &, const RateRow &) = default;
};

using RateSlots = std::array<RateRow, RateSlotCount>;

// A row is shown on the board unless its code is empty or begins with "-".
bool isShownRow(const QString &code);

// Reads the rows of a rate table text, at most RateSlotCount of them, in text order.
// Each line that holds a TAB fills the next slot; a line without TAB takes none.
// Never fails: whatever the text holds, the result is some prefix of well-formed rows
// and no field contains TAB, CR or LF.
QVector<RateRow> parseRateTable(const QString &text);

// The parsed rows in their slots; slots past the last parsed row stay empty.
RateSlots toRateSlots(const QVector<RateRow> &rows);

// How many of the rows a board shows: the stored table's as it loads them, and its own
// captions after an edit.
int countShownRows(const QVector<RateRow> &rows);
int countShownRows(const RateSlots &rows);

// Always exactly RateSlotCount lines, three TABs and a CR LF each. Every field goes
// through sanitizeRateField first, so no content can add or shift a separator.
QString writeRateTable(const RateSlots &rows);

// TAB, CR and LF would be read back as separators and break the row apart after the
// next start, so each of them becomes a space. Used on every editor field change and
// by the writer.
QString sanitizeRateField(const QString &field);

// The row cut to what the editor rows can hold, so that a stored table with longer fields
// shows the same on the board as in the editor (and cannot make start-up fit fonts to
// megabytes of text).
RateRow fitToEditorLimits(const RateRow &row);
