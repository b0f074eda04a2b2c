#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

FaultHook &faultHook()
{
    static FaultHook hook;
    return hook;
}

// Whether a step may go on; a fault injected by a test sets errno as the system would.
bool mayRun(Step step)
{
    if (!faultHook())
        return true;
    const int error = faultHook()(step);
    if (error == 0)
        return true;
    errno = error;
    return false;
}

QString failure(const QString &path, int error)
{
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

// Creates the folder and the folders above it.
bool makeFolder(const QByteArray &folder)
{
    if (!mayRun(Step::MakeFolder))
        return false;
    for (qsizetype slash = folder.indexOf('/', 1); ; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        struct stat info = {};
        if (::stat(part.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                errno = ENOTDIR;
                return false;
            }
        } else if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash < 0)
            return true;
    }
}

// The permissions the file has now; for a new file the usual ones under the umask.
mode_t permissionsFor(const QByteArray &path)
{
    struct stat info = {};
    if (::stat(path.constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    if (!mayRun(Step::Write))
        return false;
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

bool syncFolder(const QByteArray &folder)
{
    if (!mayRun(Step::SyncFolder))
        return false;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

// Writes the private copy and flushes it; false with errno set on failure.
bool writeCopy(int fd, const QByteArray &bytes, mode_t permissions)
{
    if (!writeAll(fd, bytes))
        return false;
    if (!mayRun(Step::Sync) || ::fsync(fd) != 0)
        return false;
    return mayRun(Step::Permissions) && ::fchmod(fd, permissions) == 0;
}

// What went wrong in a replacement: the errno, and whether it was the folder's.
struct Outcome
{
    int error = 0;
    bool inFolder = false;
};

Outcome replaceFile(const QFileInfo &info, const QByteArray &bytes, bool makeFolders)
{
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    if (makeFolders && !makeFolder(folder))
        return {errno, true};

    QByteArray copy = folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
    const int fd = mayRun(Step::Create) ? ::mkostemp(copy.data(), O_CLOEXEC) : -1;
    if (fd < 0)
        return {errno, false};

    bool done = writeCopy(fd, bytes, permissionsFor(target));
    int error = errno;
    const bool closed = ::close(fd) == 0 && mayRun(Step::Close);
    if (done && !closed) {
        done = false;
        error = errno;
    }
    if (done && !(mayRun(Step::Rename) && ::rename(copy.constData(), target.constData()) == 0)) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(copy.constData());
        return {error, false};
    }
    // The new file is in place; a folder that cannot be flushed only makes it less sure
    // to survive a power cut, and is reported all the same.
    if (!syncFolder(folder))
        return {errno, true};
    return {};
}

} // namespace

QString replace(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    const Outcome outcome = replaceFile(info, bytes, true);
    if (outcome.error == 0)
        return QString();
    return failure(outcome.inFolder ? info.absolutePath() : path, outcome.error);
}

int replaceInFolder(const QString &path, const QByteArray &bytes)
{
    return replaceFile(QFileInfo(path), bytes, false).error;
}

FaultHook setFaultHook(FaultHook hook)
{
    FaultHook previous = std::move(faultHook());
    faultHook() = std::move(hook);
    return previous;
}

} // namespace AtomicFile
