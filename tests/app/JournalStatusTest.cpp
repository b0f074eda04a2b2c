#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "platform/RateJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

// What the window's status bar says of a journal it cannot use at start-up.
TEST(JournalStatus, AJournalThatCannotBeUsedIsSaidOnTheStatusBar)
{
    testsupport::SettingsSandbox sandbox;
    const QString path = RateJournal::defaultPath(TForm1::programTitle());
    const QString folder = QFileInfo(path).absolutePath();
    struct Case { const char *what; bool blockFolder; const char *says; };
    const Case cases[] = {
        {"damaged file", false, "journal.sqlite.bad"},
        {"folder that cannot be made", true, "journal.sqlite"},
    };
    for (const Case &c : cases) {
        QDir(folder).removeRecursively();
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QFile file(c.blockFolder ? folder : path);
        if (!c.blockFolder)
            QDir().mkpath(folder);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << c.what;
        file.write(QByteArray("not a database\n").repeated(64));
        file.close();

        testsupport::ProgramWindows windows;
        windows.start();
        QCoreApplication::processEvents();
        const QString message = windows.form->StatusBar1->currentMessage();
        EXPECT_TRUE(message.contains(QLatin1String(c.says))) << c.what << ": " << qPrintable(message);
        windows.stop();
        QFile::remove(folder);
    }
    QDir(folder).removeRecursively();
}

} // namespace
