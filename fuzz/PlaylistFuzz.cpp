// Builds a playlist from arbitrary bytes and checks that it comes back unchanged through the
// settings' comma text and through a list file, and feeds the raw bytes to both readers.
// Needs no QApplication: the codecs are plain QString work.

#include "content/CodePage1251.h"
#include "content/CommaText.h"
#include "content/ListFile.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "playlist fuzz: %s\n", what);
        std::abort();
    }
}

// How the input's first byte shapes the list: the low bits pick how the rest becomes text,
// the high bit whether the last piece is dropped (so that both the empty list and the list
// of one empty entry turn up). The second byte is the code that separates the entries.
struct Shape
{
    int decoding = 0;
    bool dropLast = false;
    char16_t separator = 0;
};

// Every UTF-16 code unit can turn up: UTF-8 (with its replacement characters), Latin-1,
// Windows-1251, or raw UTF-16 units, lone surrogates included.
QString decodeText(int decoding, const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    switch (decoding) {
    case 0:
        return QString::fromUtf8(bytes, length);
    case 1:
        return QString::fromLatin1(bytes, length);
    case 2:
        return CodePage1251::decode(QByteArrayView(bytes, length));
    default: {
        QString text(length / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
        return text;
    }
    }
}

QStringList listFromInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return {};
    const Shape shape{data[0] & 3, (data[0] & 0x80) != 0, char16_t(data[1])};
    QStringList entries = decodeText(shape.decoding, data + 2, size - 2).split(QChar(shape.separator));
    if (shape.dropLast)
        entries.removeLast();
    return entries;
}

void checkCommaText(const QStringList &entries)
{
    const QString text = CommaText::write(entries);
    require(CommaText::read(text) == entries, "list changed on the way through comma text");
}

void checkListFile(const QStringList &entries)
{
    QStringList stored;
    stored.reserve(entries.size());
    for (const QString &entry : entries)
        stored.append(ListFile::storable(entry));
    for (const QString &entry : stored)
        require(ListFile::storable(entry) == entry, "storable() is not idempotent");
    const QByteArray bytes = ListFile::encode(entries);
    require(ListFile::encode(stored) == bytes, "the file differs from that of the storable list");
    require(ListFile::decode(bytes) == stored, "list changed on the way through a file");
}

// Whatever the readers make of arbitrary input must itself be a list that survives both
// ways, and reading what they wrote must change nothing more.
void checkReaders(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = ListFile::decode(bytes);
    for (const QString &line : lines)
        require(ListFile::storable(line) == line, "a read line holds what a file cannot");
    require(ListFile::decode(ListFile::encode(lines)) == lines, "read lines do not survive a write");
    checkCommaText(lines);

    const QString text = CodePage1251::decode(bytes);
    require(CodePage1251::encode(text) == bytes, "a byte did not survive Windows-1251");
    const QStringList fields = CommaText::read(text);
    require(CommaText::read(CommaText::write(fields)) == fields, "read fields do not survive a write");
    checkListFile(fields);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList entries = listFromInput(data, size);
    checkCommaText(entries);
    checkListFile(entries);
    checkReaders(data, size);
    return 0;
}
