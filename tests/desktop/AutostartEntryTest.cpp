// The autostart entry: where it lies, what it holds, that the desktop's own tools take it,
// and that the state shown is the one on disk.

#include "tests/SettingsSandbox.h"
#include "tests/TestSupport.h"

#include "desktop/AutostartEntry.h"
#include "content/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;

QString execLineOf(const QByteArray &contents)
{
    for (const QByteArray &line : contents.split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    return {};
}

class AutostartEntryTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid() && home.isValid()); }
    void TearDown() override { AtomicFile::setFaultHook({}); }

    AutostartEntry entryFor(const QString &title, const QString &program = QStringLiteral("/usr/bin/corvane")) const
    {
        return AutostartEntry(title, program, home.path());
    }

    testsupport::SettingsSandbox sandbox;
    QTemporaryDir home;
};

TEST_F(AutostartEntryTest, LiesInTheAutostartFolderOfTheConfigurationUnderTheProgramTitle)
{
    EXPECT_EQ(entryFor(QStringLiteral("corvane")).filePath(), home.filePath(QStringLiteral("autostart/corvane.desktop")));
    EXPECT_EQ(entryFor(QStringLiteral("Касса 2")).filePath(), home.filePath(QStringLiteral("autostart/Касса 2.desktop")));
}

// XDG_CONFIG_HOME counts only as an absolute path; otherwise ~/.config.
TEST_F(AutostartEntryTest, TheConfigurationFolderComesFromTheEnvironment)
{
    const QByteArray previousHome = qgetenv("HOME");
    const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    const QList<QPair<QByteArray, QString>> cases{
        {home.filePath(QStringLiteral("elsewhere")).toUtf8(), home.filePath(QStringLiteral("elsewhere"))},
        {QByteArray(), home.filePath(QStringLiteral(".config"))},
        {QByteArray("relative/config"), home.filePath(QStringLiteral(".config"))},
    };
    for (const auto &[configured, expected] : cases) {
        qputenv("XDG_CONFIG_HOME", configured);
        EXPECT_EQ(AutostartEntry::configHome(), expected) << configured.toStdString();
        EXPECT_EQ(AutostartEntry(QStringLiteral("corvane"), QStringLiteral("/usr/bin/corvane")).filePath(),
                  expected + QStringLiteral("/autostart/corvane.desktop"));
    }
    qputenv("HOME", previousHome);
    qputenv("XDG_CONFIG_HOME", previousConfig);
}

// Each written entry is one the desktop's validator accepts, with the program's path as
// the whole command, quoted and escaped where the path asks for it.
TEST_F(AutostartEntryTest, ExecStartsTheProgramWhateverItsPathHolds)
{
    const QList<QPair<QString, QString>> cases{
        {QStringLiteral("/usr/bin/corvane"), QStringLiteral("/usr/bin/corvane")},
        {QStringLiteral("/opt/Обменный пункт/corvane"), QStringLiteral("\"/opt/Обменный пункт/corvane\"")},
        {QStringLiteral("/home/kassa/my \"best\"/corvane"), QStringLiteral(R"("/home/kassa/my \\"best\\"/corvane")")},
        {QStringLiteral("/srv/$HOME/`id`/corvane"), QStringLiteral(R"("/srv/\\$HOME/\\`id\\`/corvane")")},
        {QStringLiteral("/srv/a\\b/corvane"), QStringLiteral(R"("/srv/a\\\\b/corvane")")},
        {QStringLiteral("/srv/100%/corvane"), QStringLiteral("/srv/100%%/corvane")},
        {QStringLiteral("/srv/it's;mine/corvane"), QStringLiteral("\"/srv/it's;mine/corvane\"")},
    };
    for (const auto &[program, exec] : cases) {
        const AutostartEntry entry = entryFor(QStringLiteral("corvane"), program);
        ASSERT_EQ(entry.enable(), QString()) << program.toStdString();
        const QByteArray written = readBytes(entry.filePath());
        EXPECT_EQ(written, entry.contents());
        EXPECT_EQ(execLineOf(written), exec) << program.toStdString();
        EXPECT_EQ(testsupport::desktopEntryErrors(entry.filePath()), QString()) << program.toStdString() << "\n" << written.toStdString();
    }
}

TEST_F(AutostartEntryTest, NamesTheProgramAndStartsItWithoutATerminal)
{
    const AutostartEntry entry = entryFor(QStringLiteral("kassa2"));
    ASSERT_EQ(entry.enable(), QString());
    const QByteArray written = readBytes(entry.filePath());
    EXPECT_TRUE(written.startsWith("[Desktop Entry]\n"));
    for (const char *line : {"\nType=Application\n", "\nName=kassa2\n", "\nTerminal=false\n", "\nExec=/usr/bin/corvane\n"})
        EXPECT_TRUE(written.contains(line)) << line;
}

// The state shown is what lies on disk, whoever put it there.
TEST_F(AutostartEntryTest, IsEnabledWhileTheFileIsThereAndNotSwitchedOff)
{
    const AutostartEntry entry = entryFor(QStringLiteral("corvane"));
    EXPECT_FALSE(entry.isEnabled()) << "no file";
    const QList<QPair<QByteArray, bool>> cases{
        {entry.contents(), true},
        {"[Desktop Entry]\nType=Application\nExec=/usr/bin/corvane\n", true},
        {"[Desktop Entry]\nType=Application\nExec=/usr/bin/corvane\nHidden=true\n", false},
        {"[Desktop Entry]\nExec=/usr/bin/corvane\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=/usr/bin/corvane\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto &[contents, enabled] : cases) {
        writeBytes(entry.filePath(), contents);
        EXPECT_EQ(entry.isEnabled(), enabled) << contents.toStdString();
    }
    EXPECT_EQ(entry.disable(), QString());
    EXPECT_FALSE(QFileInfo::exists(entry.filePath()));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_EQ(entry.disable(), QString()) << "nothing to remove is no failure";
}

TEST_F(AutostartEntryTest, ACopyUnderAnotherTitleHasAnEntryOfItsOwn)
{
    const AutostartEntry corvane = entryFor(QStringLiteral("corvane"));
    const AutostartEntry kassa2 = entryFor(QStringLiteral("kassa2"), QStringLiteral("/opt/kassa2/kassa2"));
    ASSERT_EQ(corvane.enable(), QString());
    EXPECT_FALSE(kassa2.isEnabled());
    ASSERT_EQ(kassa2.enable(), QString());
    EXPECT_EQ(execLineOf(readBytes(kassa2.filePath())), "/opt/kassa2/kassa2");
    ASSERT_EQ(corvane.disable(), QString());
    EXPECT_TRUE(kassa2.isEnabled());
    EXPECT_FALSE(corvane.isEnabled());
}

// A failed write leaves the entry that was there; the reason names the file.
TEST_F(AutostartEntryTest, AFailedWriteTellsWhyAndKeepsTheOldEntry)
{
    const AutostartEntry entry = entryFor(QStringLiteral("corvane"));
    const QByteArray old = "[Desktop Entry]\nType=Application\nExec=/old/corvane\nHidden=true\n";
    writeBytes(entry.filePath(), old);
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Rename ? ENOSPC : 0; });
    const QString error = entry.enable();
    EXPECT_TRUE(error.contains(entry.filePath())) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
    EXPECT_EQ(readBytes(entry.filePath()), old);
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_EQ(QDir(home.filePath(QStringLiteral("autostart"))).entryList(QDir::Files | QDir::Hidden),
              QStringList({"corvane.desktop"}))
        << "no copy left behind";
}

TEST_F(AutostartEntryTest, AnEntryThatCannotBeRemovedTellsWhy)
{
    const AutostartEntry entry = entryFor(QStringLiteral("corvane"));
    // A folder where the file should be: neither readable as an entry nor removable as one.
    writeBytes(entry.filePath() + QStringLiteral("/inside"), "x");
    EXPECT_FALSE(entry.isEnabled());
    const QString error = entry.disable();
    EXPECT_TRUE(error.startsWith(entry.filePath() + QStringLiteral(": "))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(entry.filePath()).isDir());
}

} // namespace
