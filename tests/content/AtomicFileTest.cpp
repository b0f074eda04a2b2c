#include "tests/TestSupport.h"

#include "content/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testsupport::reason;

using testsupport::readBytes;
using Step = AtomicFile::Step;

mode_t modeOf(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class AtomicFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override { AtomicFile::setFaultHook({}); }

    void writeOld(mode_t mode = 0644)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(oldBytes);
        file.close();
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    }

    // Everything in the folder, hidden files included.
    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("corvane.conf"));
    const QByteArray oldBytes = "[General]\nLeft=100\n";
    const QByteArray newBytes = "[General]\nLeft=200\nTop=50\n";
};

TEST_F(AtomicFileTest, ReplacesTheFileAndLeavesNothingElse)
{
    writeOld();
    EXPECT_EQ(AtomicFile::replace(path, newBytes), QString());
    EXPECT_EQ(readBytes(path), newBytes);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("corvane.conf")});
}

TEST_F(AtomicFileTest, CreatesTheFolderAndTheFile)
{
    const QString nested = folder.filePath(QStringLiteral("a/b/Marrowgate/kassa2.conf"));
    EXPECT_EQ(AtomicFile::replace(nested, newBytes), QString());
    EXPECT_EQ(readBytes(nested), newBytes);
}

// The steps run in this order, and each is reached exactly once on the way to success.
TEST_F(AtomicFileTest, RunsEveryStepInOrder)
{
    QList<Step> seen;
    AtomicFile::setFaultHook([&seen](Step step) {
        seen.append(step);
        return 0;
    });
    EXPECT_EQ(AtomicFile::replace(path, newBytes), QString());
    EXPECT_EQ(seen, (QList<Step>{Step::MakeFolder, Step::Create, Step::Write, Step::Sync, Step::Permissions,
                                 Step::Close, Step::Rename, Step::SyncFolder}));
}

struct FaultCase
{
    const char *name;
    Step step;
    int error;
    bool fileReplaced; // only a failed flush of the folder comes after the rename
    bool namesFolder;
};

class AtomicFileFault : public AtomicFileTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(AtomicFileFault, ReportsThePathAndTheReasonAndKeepsTheOldFile)
{
    const FaultCase c = GetParam();
    writeOld();
    AtomicFile::setFaultHook([c](Step step) { return step == c.step ? c.error : 0; });

    const QString error = AtomicFile::replace(path, newBytes);

    const QString named = c.namesFolder ? QDir(folder.path()).absolutePath() : path;
    EXPECT_EQ(error, named + QStringLiteral(": ") + reason(c.error));
    EXPECT_EQ(readBytes(path), c.fileReplaced ? newBytes : oldBytes);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("corvane.conf")}) << "no private copy is left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AtomicFileFault,
    ::testing::Values(FaultCase{"FolderCannotBeMade", Step::MakeFolder, EACCES, false, true},
                      FaultCase{"CopyCannotBeCreated", Step::Create, EROFS, false, false},
                      FaultCase{"DiskFull", Step::Write, ENOSPC, false, false},
                      FaultCase{"FlushFails", Step::Sync, EIO, false, false},
                      FaultCase{"PermissionsRefused", Step::Permissions, EPERM, false, false},
                      FaultCase{"CloseFails", Step::Close, EDQUOT, false, false},
                      FaultCase{"RenameFails", Step::Rename, EBUSY, false, false},
                      FaultCase{"FolderFlushFails", Step::SyncFolder, EIO, true, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AtomicFileTest, KeepsThePermissionsTheFileHad)
{
    for (const mode_t mode : {mode_t(0644), mode_t(0640), mode_t(0600), mode_t(0664)}) {
        writeOld(mode);
        ASSERT_EQ(AtomicFile::replace(path, newBytes), QString());
        EXPECT_EQ(modeOf(path), mode) << std::oct << mode;
    }
}

TEST_F(AtomicFileTest, NewFileGetsTheUsualPermissionsUnderTheUmask)
{
    for (const mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        QFile::remove(path);
        const mode_t previous = ::umask(mask);
        const QString error = AtomicFile::replace(path, newBytes);
        ::umask(previous);
        ASSERT_EQ(error, QString());
        EXPECT_EQ(modeOf(path), 0666 & ~mask) << std::oct << mask;
    }
}

// A real failure, not an injected one: the folder's place is taken by a file.
TEST_F(AtomicFileTest, FolderThatIsAFileIsReported)
{
    const QString blocker = folder.filePath(QStringLiteral("Marrowgate"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString error = AtomicFile::replace(blocker + QStringLiteral("/corvane.conf"), newBytes);
    EXPECT_EQ(error, blocker + QStringLiteral(": ") + reason(ENOTDIR));
    EXPECT_TRUE(QFileInfo(blocker).isFile());
}

} // namespace
