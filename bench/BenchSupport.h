#pragma once

#include "board/RateTable.h"

#include <QTemporaryDir>

class QLineEdit;
class TForm1;
namespace benchmark {
class State;
}

namespace benchsupport {

// Eight rows as an exchange office shows them: codes, Russian names, comma decimals.
RateSlots officeTable();

// Sends the program's settings to a folder of the benchmark's own for as long as it lives,
// starting from the first-run settings; the operator's own settings are never touched.
class IsolatedSettings
{
public:
    IsolatedSettings();
    ~IsolatedSettings();

private:
    QTemporaryDir m_configHome;
};

// Types the table into the operator window's editor rows, as the operator would.
void fillEditorRows(TForm1 &form, const RateSlots &table);

// The measured loop of the keystroke benchmarks: each iteration changes the field's text
// (between two rates), and the change handler returns with the boards laid out again.
void typeAlternately(benchmark::State &state, QLineEdit *field);

} // namespace benchsupport
