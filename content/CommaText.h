#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The playlist as one line of the settings: entries separated by commas, quoted where
// needed. The format is the one the settings have always held, so old files still read.
namespace CommaText {

// An entry holding a blank, a control character (codes 0 to 31), a double quote or a comma
// is quoted, with its double quotes doubled; others stay as they are. A list of one empty
// entry is written as "" and the empty list as empty text. read() gives back every list
// written so.
QString write(const QStringList &entries);

// Codes 1 to 32 around a field are skipped. A field that begins with a double quote runs to
// the matching quote ("" inside stands for one; without a closing quote it runs to the end);
// any other field ends at a comma or a code 1 to 32. A comma as the very last character
// adds one empty entry.
QStringList read(QStringView text);

} // namespace CommaText
