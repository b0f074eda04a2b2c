#pragma once

#include "platform/JournalEntry.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// The journal's entries for a spreadsheet: UTF-8 with a byte order mark (so that a
// spreadsheet takes it for UTF-8), ';' between fields, CR LF after each record, a header
// row, and the rates as typed, decimal commas included.
QByteArray journalCsv(const QVector<JournalEntry> &entries);
// Writes journalCsv() to the file in one step; the reason when it cannot.
std::optional<QString> writeJournalCsv(const QVector<JournalEntry> &entries, const QString &path);
