#include "CodePage1251.h"

#include <array>
#include <cstdint>

namespace CodePage1251 {

namespace {

// The characters of bytes 0x80..0xFF; below 0x80 the code page is ASCII.
constexpr std::array<char16_t, 128> UpperHalf = {
    // 0x80
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',
    // 0x90; 0x98 has no character in the code page and keeps its own code.
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u0098', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',
    // 0xA0
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7',
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',
    // 0xB0
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7',
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457',
    // 0xC0..0xFF: А..Я and а..я in alphabetical order, without Ё and ё.
    u'\u0410', u'\u0411', u'\u0412', u'\u0413', u'\u0414', u'\u0415', u'\u0416', u'\u0417',
    u'\u0418', u'\u0419', u'\u041A', u'\u041B', u'\u041C', u'\u041D', u'\u041E', u'\u041F',
    u'\u0420', u'\u0421', u'\u0422', u'\u0423', u'\u0424', u'\u0425', u'\u0426', u'\u0427',
    u'\u0428', u'\u0429', u'\u042A', u'\u042B', u'\u042C', u'\u042D', u'\u042E', u'\u042F',
    u'\u0430', u'\u0431', u'\u0432', u'\u0433', u'\u0434', u'\u0435', u'\u0436', u'\u0437',
    u'\u0438', u'\u0439', u'\u043A', u'\u043B', u'\u043C', u'\u043D', u'\u043E', u'\u043F',
    u'\u0440', u'\u0441', u'\u0442', u'\u0443', u'\u0444', u'\u0445', u'\u0446', u'\u0447',
    u'\u0448', u'\u0449', u'\u044A', u'\u044B', u'\u044C', u'\u044D', u'\u044E', u'\u044F',
};

// The upper half's characters fall into three short runs of code points, so the way back
// is three small tables instead of a search. Zero marks a character without a byte.
template<char16_t First, char16_t Last>
struct ReverseBlock
{
    constexpr ReverseBlock()
    {
        for (std::size_t i = 0; i < UpperHalf.size(); ++i) {
            if (UpperHalf[i] >= First && UpperHalf[i] <= Last)
                bytes[UpperHalf[i] - First] = std::uint8_t(0x80 + i);
        }
    }

    constexpr bool covers(char16_t unit) const { return unit >= First && unit <= Last; }
    constexpr std::uint8_t at(char16_t unit) const { return covers(unit) ? bytes[unit - First] : 0; }

    std::array<std::uint8_t, Last - First + 1> bytes {};
};

constexpr ReverseBlock<u'\u0080', u'\u00BF'> Latin;
constexpr ReverseBlock<u'\u0400', u'\u049F'> Cyrillic;
constexpr ReverseBlock<u'\u2013', u'\u2122'> Punctuation;

constexpr bool blocksCoverUpperHalf()
{
    for (char16_t unit : UpperHalf) {
        if (!Latin.covers(unit) && !Cyrillic.covers(unit) && !Punctuation.covers(unit))
            return false;
    }
    return true;
}
static_assert(blocksCoverUpperHalf(), "a character of the code page lies outside the reverse tables");

// The byte for a UTF-16 unit, or -1 when the code page has none.
constexpr int byteFor(char16_t unit)
{
    if (unit < 0x80)
        return unit;
    const std::uint8_t byte = unit < 0x0400 ? Latin.at(unit)
                            : unit < 0x2000 ? Cyrillic.at(unit)
                                            : Punctuation.at(unit);
    return byte != 0 ? byte : -1;
}

constexpr bool roundTripsEveryByte()
{
    for (std::size_t i = 0; i < UpperHalf.size(); ++i) {
        if (byteFor(UpperHalf[i]) != int(0x80 + i))
            return false;
    }
    return true;
}
static_assert(roundTripsEveryByte(), "two bytes share a character");

constexpr char16_t characterFor(std::uint8_t byte)
{
    return byte < 0x80 ? char16_t(byte) : UpperHalf[byte - 0x80];
}

// A surrogate pair is one character and so becomes one '?'.
bool startsPair(QStringView text, qsizetype i)
{
    return QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size()
        && QChar::isLowSurrogate(text[i + 1].unicode());
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(characterFor(std::uint8_t(byte)));
    return text;
}

QByteArray encode(QStringView text, bool *lossless)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    bool kept = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteFor(text[i].unicode());
        if (byte >= 0) {
            *out++ = char(byte);
            continue;
        }
        kept = false;
        *out++ = '?';
        if (startsPair(text, i))
            ++i;
    }
    bytes.truncate(out - bytes.constData());
    if (lossless)
        *lossless = kept;
    return bytes;
}

bool canEncode(QStringView text)
{
    for (const QChar c : text) {
        if (byteFor(c.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace CodePage1251
