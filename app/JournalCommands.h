#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// The journal's commands, run without a window and without the one-copy lock, so that they
// can read the journal while the program runs:
//   --journal-csv FROM TO FILE          the entries of the days FROM..TO (YYYY-MM-DD) as CSV
//   --rate-order "YYYY-MM-DD HH:MM" FILE.pdf   the rate order for that moment
//   --help                              what the program takes on its command line
namespace JournalCommands {

// The usage text --help prints.
QString usage();

// Runs the command in `arguments` (without the program name) on the journal at
// `journalPath`, for the office named `office`. The exit code: 0 done, 1 failed with one
// line on `errors`, 2 for a call that is no command of these. Needs a QGuiApplication.
int run(const QStringList &arguments, const QString &journalPath, const QString &office, QTextStream &errors);

// For main(): nullopt when the command line names none of the commands above; otherwise
// the command is run, with no display, and its exit code returned.
std::optional<int> runFromMain(int argc, char **argv);

} // namespace JournalCommands
