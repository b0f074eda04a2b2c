#pragma once

#include "content/RateTable.h"

class QLineEdit;
class TForm1;
class TFrameCorvane;
namespace benchmark {
class State;
}

namespace benchsupport {

// Eight rows as an exchange office shows them: codes, Russian names, comma decimals.
RateSlots officeTable();

// A board of the default proportions with the office table in its eight rows.
void fillBoard(TFrameCorvane &board);

// Types the table into the operator window's editor rows, as the operator would.
void fillEditorRows(TForm1 &form, const RateSlots &table);

// The measured loop of the keystroke benchmarks: each iteration changes the field's text
// (between two rates), and the change handler returns with the boards laid out again.
void typeAlternately(benchmark::State &state, QLineEdit *field);

} // namespace benchsupport
