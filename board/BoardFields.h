#pragma once

#include <QList>

class TFrameCorvane;
class TLabel3D;

// The nine text fields of the board whose font and colour the operator chooses, numbered 1..9
// like the font buttons: title line, date line, caption, column headers, currency codes, buy
// rates, sell rates, running-text line, currency names. All labels of a field carry one font.
namespace BoardFields {

constexpr int kCount = 9;

// Every label of the field on the board (the eight rows of a column for fields 5, 6, 7, 9).
QList<TLabel3D *> labels(const TFrameCorvane &board, int field);

// The label a dialog for the field starts from: the sell header for the headers, the first
// row for a column, the field's own label otherwise.
TLabel3D *dialogSource(const TFrameCorvane &board, int field);

// The label whose font the field's stored record holds: the buy header for the headers, the
// first row for a column.
TLabel3D *recordSource(const TFrameCorvane &board, int field);

// The label a stored record is read into at start-up: the buy header, or a column's template
// label, which the rows then copy (see copyReadFonts).
TLabel3D *recordTarget(const TFrameCorvane &board, int field);

// After the records are read: the sell header takes the buy header's font and every row
// label its column template's.
void copyReadFonts(TFrameCorvane &board);

} // namespace BoardFields
