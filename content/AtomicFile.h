#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces a file so that, whatever happens meanwhile (a full disk, a crash, a power cut),
// it holds either its old bytes or the new ones, never a mix.
namespace AtomicFile {

// The steps of a replacement, in order; tests make one of them fail.
enum class Step { MakeFolder, Create, Write, Sync, Permissions, Close, Rename, SyncFolder };

// Writes the bytes into a private copy beside the file, flushes it to the disk, renames it
// over the file and flushes the folder. The file keeps its permissions; a new one gets 0666
// under the umask. Returns an empty text on success, otherwise the file's path and the
// system's reason, e.g. "/home/kassa/.config/x.conf: No space left on device". On failure
// the old file is untouched and no copy is left behind.
QString replace(const QString &path, const QByteArray &bytes);

// As replace(), but into a folder that must be there already, as a file the operator chose
// is. Returns 0 on success, otherwise the system's errno of the failure.
int replaceInFolder(const QString &path, const QByteArray &bytes);

// For tests: called before each step; a non-zero result fails that step with that errno.
using FaultHook = std::function<int(Step)>;
FaultHook setFaultHook(FaultHook hook);

} // namespace AtomicFile
