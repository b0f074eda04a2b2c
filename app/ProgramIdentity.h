#pragma once

#include <QString>

// Who this copy of the program is: the file name it was started under names its settings,
// its one-copy lock, its journal and its window, so that copies under two names keep apart.
namespace ProgramIdentity {

// The file name of the executable without folder and extension.
QString title();
// The folder the program file lies in.
QString folder();
// Tells Qt and the settings who the program is; run once, before the settings are read.
void adopt();

} // namespace ProgramIdentity
