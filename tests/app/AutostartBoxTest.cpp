// The check box "Запускать при входе в систему" on the running program's settings tab,
// driven by the operator's mouse and keyboard, judged by the autostart entry on disk.

#include "tests/TestSupport.h"

#include "app/AutostartBox.h"
#include "app/Form1.h"
#include "app/WebBoardTab.h"
#include "desktop/AutostartEntry.h"
#include "content/AtomicFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

using testsupport::readBytes;

class AutostartBox : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid()); }
    void TearDown() override
    {
        AtomicFile::setFaultHook({});
        windows.stop();
    }

    // The program's entry in the sandbox's configuration folder.
    static QString entryPath()
    {
        return AutostartEntry::configHome() + QStringLiteral("/autostart/") + TForm1::programTitle()
               + QStringLiteral(".desktop");
    }

    void startOnTheSettingsTab()
    {
        windows.start();
        form().PageControl1->setCurrentWidget(form().TabNastroyki);
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    TForm1 &form() const { return *windows.form; }
    TAutostartBox &box() const { return *form().cbAutostart; }
    void click() const { QTest::mouseClick(&box(), Qt::LeftButton, {}, box().rect().center()); }
    void pressSpace() const
    {
        box().setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
};

TEST_F(AutostartBox, StandsOnTheSettingsTabBelowTheWebBoard)
{
    startOnTheSettingsTab();
    EXPECT_EQ(box().text(), "Запускать при входе в систему");
    EXPECT_EQ(box().parentWidget(), form().TabNastroyki);
    const QRect web(form().WebBoardTab->mapTo(form().TabNastroyki, QPoint()), form().WebBoardTab->size());
    EXPECT_GT(box().geometry().top(), web.bottom());
    EXPECT_TRUE(form().TabNastroyki->rect().contains(box().geometry()))
        << "tab " << form().TabNastroyki->height() << " high, box bottom " << box().geometry().bottom();
    EXPECT_LE(box().sizeHint().width(), box().width()) << "the caption is cut";
    EXPECT_TRUE(box().isVisible());
}

TEST_F(AutostartBox, AClickWritesTheEntryAndSpaceRemovesIt)
{
    startOnTheSettingsTab();
    ASSERT_FALSE(box().isChecked());
    ASSERT_FALSE(QFileInfo::exists(entryPath()));

    click();
    EXPECT_TRUE(box().isChecked());
    ASSERT_TRUE(QFileInfo::exists(entryPath())) << entryPath().toStdString();
    EXPECT_EQ(testsupport::desktopEntryErrors(entryPath()), QString());
    EXPECT_TRUE(readBytes(entryPath()).contains("\nExec=" + AutostartEntry::execValue(QCoreApplication::applicationFilePath()).toUtf8() + "\n"));

    pressSpace();
    EXPECT_FALSE(box().isChecked());
    EXPECT_FALSE(QFileInfo::exists(entryPath()));

    pressSpace();
    EXPECT_TRUE(box().isChecked());
    EXPECT_TRUE(QFileInfo::exists(entryPath()));
    EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join('\n').toStdString();
}

// The file is the truth: the program does not keep the state in its settings.
TEST_F(AutostartBox, ShowsAtStartWhatTheDiskHolds)
{
    const QList<QPair<QByteArray, bool>> cases{
        {AutostartEntry(TForm1::programTitle(), QStringLiteral("/usr/bin/corvane")).contents(), true},
        {"[Desktop Entry]\nType=Application\nExec=/usr/bin/corvane\nHidden=true\n", false},
        {QByteArray(), false},
    };
    for (const auto &[contents, checked] : cases) {
        QFile::remove(entryPath());
        if (!contents.isEmpty())
            testsupport::writeBytes(entryPath(), contents);
        windows.start();
        EXPECT_EQ(box().isChecked(), checked) << contents.toStdString();
        windows.stop();
        EXPECT_EQ(readBytes(entryPath()), contents) << "a start or an exit leaves the entry alone";
    }
}

TEST_F(AutostartBox, AFailedWriteIsToldAndTheBoxShowsTheDisk)
{
    startOnTheSettingsTab();
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
    click();
    EXPECT_FALSE(box().isChecked());
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    ASSERT_EQ(sandbox.messages.size(), 1);
    EXPECT_TRUE(sandbox.messages.at(0).contains(entryPath())) << sandbox.messages.at(0).toStdString();

    AtomicFile::setFaultHook({});
    click();
    EXPECT_TRUE(box().isChecked());
    EXPECT_EQ(sandbox.messages.size(), 1);
}

} // namespace
