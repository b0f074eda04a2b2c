#include "ListFile.h"

#include "AtomicFile.h"
#include "CodePage1251.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ListFile {

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
constexpr QChar Replacement = QChar::ReplacementCharacter;

using LineDecoder = QString (*)(QByteArrayView);

// QString::fromUtf8() would drop a mark at the start of a line; only the file's own first
// mark stands outside the entries.
QString decodeUtf8(QByteArrayView line)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(line);
}

qsizetype lineEnd(QByteArrayView bytes, qsizetype from)
{
    const char *begin = bytes.data();
    const char *end = begin + bytes.size();
    return std::find_if(begin + from, end, [](char c) { return c == '\r' || c == '\n'; }) - begin;
}

QStringList splitLines(QByteArrayView bytes, LineDecoder decodeLine)
{
    QStringList entries;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = lineEnd(bytes, start);
        entries.append(decodeLine(bytes.sliced(start, end - start)));
        const bool pair = end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n';
        start = end + (pair ? 2 : 1);
    }
    return entries;
}

bool isLoneSurrogate(const QString &text, qsizetype i)
{
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit))
        return i + 1 == text.size() || !QChar::isLowSurrogate(text[i + 1].unicode());
    if (QChar::isLowSurrogate(unit))
        return i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode());
    return false;
}

bool needsCleaning(const QString &entry, qsizetype i)
{
    const QChar c = entry[i];
    return c == u'\r' || c == u'\n' || c == u'\0' || (c.isSurrogate() && isLoneSurrogate(entry, i));
}

QString message(const char *what, const QString &path, int error)
{
    return QStringLiteral("%1 \"%2\". %3")
        .arg(QLatin1StringView(what), QFileInfo(path).absoluteFilePath(),
             QString::fromLocal8Bit(std::strerror(error)));
}

// Reads to the end; the size the file reports is only a first guess, so files that grow
// or report none still read whole. Returns 0 or the errno of the failing call.
int readAll(int fd, QByteArray &bytes)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return errno;
    bytes.resize(std::max<qsizetype>(qsizetype(info.st_size) + 1, 4096));
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        used += got;
    }
    bytes.truncate(used);
    return 0;
}

int readFile(const QString &path, QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // The list is kept in the settings and written again with every change; a file far
    // beyond any list of running texts would hold the window up at each of them.
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > kMaxFileBytes) {
        ::close(fd);
        return EFBIG;
    }
    const int error = readAll(fd, bytes);
    ::close(fd);
    return error;
}

int writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        // A write that takes nothing leaves no errno; the disk is as good as full.
        if (written == 0)
            return ENOSPC;
        bytes = bytes.sliced(written);
    }
    return 0;
}

// A failing close can be the first news of a failed write (NFS, quotas), so it counts.
int writeFile(const QString &path, QByteArrayView bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

QStringList decode(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    if (bytes.startsWith(ByteOrderMark))
        return splitLines(bytes.sliced(ByteOrderMark.size()), decodeUtf8);
    return splitLines(bytes, CodePage1251::decode);
}

QString storable(const QString &entry)
{
    QString clean = entry;
    for (qsizetype i = 0; i < entry.size(); ++i) {
        if (needsCleaning(entry, i))
            clean[i] = entry[i].isSurrogate() ? Replacement : QChar(u' ');
    }
    return clean;
}

QByteArray encode(const QStringList &entries)
{
    qsizetype length = 0;
    for (const QString &entry : entries)
        length += entry.size() + 2;
    QString text;
    text.reserve(length);
    for (const QString &entry : entries) {
        text += storable(entry);
        text += QLatin1StringView("\r\n");
    }
    bool lossless = false;
    const QByteArray bytes = CodePage1251::encode(text, &lossless);
    // Windows-1251 bytes that happen to begin like the mark ("п»ї") would read back as UTF-8.
    if (lossless && !bytes.startsWith(ByteOrderMark))
        return bytes;
    return ByteOrderMark.toByteArray() + text.toUtf8();
}

bool load(const QString &path, QStringList &entries, QString &error)
{
    QByteArray bytes;
    if (const int failure = readFile(path, bytes)) {
        error = message("Cannot open file", path, failure);
        return false;
    }
    entries = decode(bytes);
    return true;
}

bool save(const QString &path, const QStringList &entries, QString &error)
{
    // A new copy renamed over the file leaves the old list whole if the disk fills. A link
    // and a device are written in place: renaming over them would put a plain file where
    // the link or the device was.
    const QFileInfo info(path);
    const bool inPlace = info.isSymLink() || (info.exists() && !info.isFile() && !info.isDir());
    const QByteArray bytes = encode(entries);
    if (const int failure = inPlace ? writeFile(path, bytes) : AtomicFile::replaceInFolder(path, bytes)) {
        error = message("Cannot create file", path, failure);
        return false;
    }
    return true;
}

} // namespace ListFile
