#include "FontRecord.h"

#include "FontUnits.h"
#include "SettingsStore.h"

#include <algorithm>

namespace {

// The board's original platform keeps face names in 32 characters with the terminating zero.
constexpr int kMaxFaceLength = 31;
// The sizes its font dialog accepts; beyond them the pixel arithmetic would overflow.
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 1638;

using StyleSetter = void (QFont::*)(bool);

// A face that is not there reads as empty: records written before the face was kept still load.
bool readFace(const SettingsStore &store, const QString &name, QFont &font)
{
    QString face;
    if (store.hasValue(name) && !store.readString(name, face))
        return false;
    if (!face.isEmpty())
        font.setFamily(face.left(kMaxFaceLength));
    return true;
}

bool readSize(const SettingsStore &store, const QString &name, QFont &font)
{
    int points = 0;
    if (!store.readInteger(name, points))
        return false;
    font.setPointSize(std::clamp(points, kMinPoints, kMaxPoints));
    return true;
}

bool readColor(const SettingsStore &store, const QString &name, TColor &color)
{
    int value = 0;
    if (!store.readInteger(name, value))
        return false;
    color = value;
    return true;
}

// Styles are only ever added: the record clears them all before the first one is read.
bool addStyle(const SettingsStore &store, const QString &name, QFont &font, StyleSetter set)
{
    bool on = false;
    if (!store.readBool(name, on))
        return false;
    if (on)
        (font.*set)(true);
    return true;
}

void clearStyle(QFont &font)
{
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
}

// The character set is a byte on the platform the records come from; larger numbers keep
// their low byte, as they did there.
bool readCharset(const SettingsStore &store, const QString &name, int &charset)
{
    int value = 0;
    if (!store.readInteger(name, value))
        return false;
    charset = value & 0xFF;
    return true;
}

} // namespace

int boardFontPoints(const QFont &font)
{
    return font.pointSize() > 0 ? font.pointSize() : pixelsToPoints(font.pixelSize());
}

void ReadFontRecord(const SettingsStore &store, const QString &prefix, BoardFont &font)
{
    const auto name = [&prefix](char letter) { return prefix + QLatin1Char(letter); };
    if (!readFace(store, name('n'), font.font) || !readSize(store, name('s'), font.font)
        || !readColor(store, name('c'), font.color))
        return;
    clearStyle(font.font);
    if (addStyle(store, name('b'), font.font, &QFont::setBold)
        && addStyle(store, name('i'), font.font, &QFont::setItalic)
        && addStyle(store, name('u'), font.font, &QFont::setUnderline))
        readCharset(store, name('t'), font.charset);
}

void WriteFontRecord(SettingsStore &store, const QString &prefix, const BoardFont &font)
{
    const auto name = [&prefix](char letter) { return prefix + QLatin1Char(letter); };
    store.writeString(name('n'), font.font.family());
    store.writeInteger(name('s'), boardFontPoints(font.font));
    store.writeInteger(name('c'), font.color);
    store.writeBool(name('b'), font.font.bold());
    store.writeBool(name('i'), font.font.italic());
    store.writeBool(name('u'), font.font.underline());
    store.writeInteger(name('t'), font.charset);
}
