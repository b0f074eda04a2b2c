#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The playlist as a plain text file, one entry a line, the way operators keep it in
// Notepad: Windows-1251 with CR LF, or UTF-8 with a byte-order mark when the entries hold
// characters that Windows-1251 lacks.
namespace ListFile {

// A line ends at CR, LF or CR LF; a line end at the very end adds no empty entry; a zero
// byte ends the list. A file that starts with the UTF-8 byte-order mark is UTF-8 (broken
// sequences become U+FFFD), any other is Windows-1251.
QStringList decode(QByteArrayView bytes);

// Every entry followed by CR LF; the empty list gives no bytes. Windows-1251 when it keeps
// every character, otherwise UTF-8 with the byte-order mark. Each entry is written as
// storable() gives it.
QByteArray encode(const QStringList &entries);

// The entry as a file can hold it: a line cannot hold CR, LF or a zero byte, so each of
// them becomes a space, and a lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
// decode(encode(list)) is the list with every entry passed through this.
QString storable(const QString &entry);

// The largest list file that is read: several times a hundred thousand entries of the
// length a running text has.
constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;

// Reads the whole file. On failure `entries` is left as it was and `error` reads
// Cannot open file "<absolute path>". <system's reason>; a file over kMaxFileBytes fails
// as "File too large".
bool load(const QString &path, QStringList &entries, QString &error);

// Writes the file over any file of that name. On failure, also midway through,
// `error` reads  Cannot create file "<absolute path>". <system's reason>
bool save(const QString &path, const QStringList &entries, QString &error);

} // namespace ListFile
