#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1251, the Cyrillic code page of the files operators bring from older programs.
// Every byte has a character: the one byte the code page leaves undefined, 0x98, stands for
// U+0098, so any file survives a decode and an encode byte for byte.
namespace CodePage1251 {

QString decode(QByteArrayView bytes);

// A character with no byte of its own is written as '?' (one '?' for a surrogate pair, and
// one for each lone surrogate); `lossless`, when given, tells whether that happened.
QByteArray encode(QStringView text, bool *lossless = nullptr);

// Whether encode() would keep every character.
bool canEncode(QStringView text);

} // namespace CodePage1251
