// The operator window saves what the operator changes while it runs, and lands on a monitor
// wherever the store says it stood.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "content/AtomicFile.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <cerrno>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::readValues;
using testsupport::waitUntil;

class SaveAsYouGo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        path = SettingsStore::filePathFor(ProgramSettings::settingsRoot() + TForm1::programTitle());
    }
    void TearDown() override
    {
        AtomicFile::setFaultHook({});
        form.reset();
    }

    bool waitForStored(const char *name, const QString &value)
    {
        return waitUntil([&] { return readValues(path).value(QLatin1String(name)) == value; });
    }

    void writeFile(const QByteArray &bytes)
    {
        testsupport::writeBytes(path, bytes);
    }

    testsupport::SettingsSandbox sandbox;
    QString path;
    std::unique_ptr<TForm1> form;
};

TEST_F(SaveAsYouGo, RateTypedIntoARowIsStoredWhileTheProgramRuns)
{
    form = std::make_unique<TForm1>();
    form->show();
    QLineEdit *buy = form->EditorRows[1]->Edit1;
    buy->selectAll();
    QTest::keyClicks(buy, QStringLiteral("9310"));
    const QString expected = form->EditorRows[1]->EditK->text() + QStringLiteral("\\t9310\\t");
    ASSERT_TRUE(waitUntil([&] { return readValues(path).value(QStringLiteral("CorvaneFile")).contains(expected); }))
        << readValues(path).value(QStringLiteral("CorvaneFile")).toStdString();
    // Everything the exit writes is there too, so a crash now loses nothing.
    EXPECT_EQ(readValues(path).value(QStringLiteral("Left")), QString::number(form->frameGeometry().x()));
    EXPECT_TRUE(readValues(path).contains(QStringLiteral("ProTit2")));
}

TEST_F(SaveAsYouGo, ProportionAndTvStateAreStoredWhileTheProgramRuns)
{
    form = std::make_unique<TForm1>();
    const std::unique_ptr<TFormMon2> tv = form->createFormMon2();
    form->seProc[3]->setValue(41);
    ASSERT_TRUE(waitForStored("ProTitL", QStringLiteral("41")));
    if (QGuiApplication::screens().size() > 1) {
        form->btn_TV_OnClick();
        EXPECT_TRUE(waitForStored("TV", QStringLiteral("1")));
        form->btn_TV_OffClick();
        EXPECT_TRUE(waitForStored("TV", QStringLiteral("0")));
    }
    form->bDefProcClick();
    EXPECT_TRUE(waitForStored("ProTitL", QStringLiteral("30")));
}

// A full disk while the program runs: the status bar says where and why, nothing blocks, and
// the next edit writes both changes once the disk has room again.
TEST_F(SaveAsYouGo, FailedSaveIsShownInTheStatusBarAndTriedAgain)
{
    form = std::make_unique<TForm1>();
    form->show();
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
    form->seProc[0]->setValue(31);
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOSPC));
    ASSERT_TRUE(waitUntil([&] { return !form->StatusBar1->currentMessage().isEmpty(); }));
    EXPECT_TRUE(form->StatusBar1->currentMessage().contains(path + QStringLiteral(": ") + reason))
        << form->StatusBar1->currentMessage().toStdString();
    EXPECT_TRUE(sandbox.messages.isEmpty()) << "no box to wait for";
    EXPECT_FALSE(QFileInfo::exists(path));

    AtomicFile::setFaultHook({});
    form->seProc[1]->setValue(12);
    ASSERT_TRUE(waitForStored("ProBot", QStringLiteral("12")));
    EXPECT_EQ(readValues(path).value(QStringLiteral("ProTop")), QStringLiteral("31"));
    EXPECT_TRUE(form->StatusBar1->currentMessage().isEmpty());
}

// Stored positions from anywhere: the window lands wholly on a monitor, and the next save
// stores where it really is.
struct OffScreenCase
{
    const char *name;
    int left;
    int top;
};

class OffScreenPosition : public SaveAsYouGo, public ::testing::WithParamInterface<OffScreenCase>
{
};

TEST_P(OffScreenPosition, WindowLandsWhollyOnAMonitor)
{
    writeFile(QStringLiteral("[General]\nLeft=%1\nTop=%2\n").arg(GetParam().left).arg(GetParam().top).toUtf8());
    form = std::make_unique<TForm1>();
    form->show();
    const QRect frame = form->frameGeometry();
    const QRect first = QGuiApplication::screens().first()->geometry();
    EXPECT_TRUE(first.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                       << frame.height();
    form.reset();
    const QMap<QString, QString> values = readValues(path);
    EXPECT_EQ(values.value(QStringLiteral("Left")), QString::number(frame.x()));
    EXPECT_EQ(values.value(QStringLiteral("Top")), QString::number(frame.y()));
}

INSTANTIATE_TEST_SUITE_P(Cases, OffScreenPosition,
                         ::testing::Values(OffScreenCase{"FarLeftAndBelow", -100000, 100000},
                                           OffScreenCase{"FarRightAndAbove", 100000, -100000},
                                           OffScreenCase{"Extremes", INT_MIN, INT_MAX},
                                           OffScreenCase{"PartlyOffTheLeft", -300, 50},
                                           OffScreenCase{"PartlyOffTheBottomRight", 1900, 1000},
                                           OffScreenCase{"BeyondTheLastMonitor", 5000, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// A position wholly on the first monitor is kept exactly as stored.
TEST_F(SaveAsYouGo, PositionOnTheFirstMonitorIsKept)
{
    writeFile("[General]\nLeft=0\nTop=0\n");
    form = std::make_unique<TForm1>();
    form->show();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    form->move(200, 150);
    form.reset();
    EXPECT_EQ(readValues(path).value(QStringLiteral("Left")), QStringLiteral("200"));
    EXPECT_EQ(readValues(path).value(QStringLiteral("Top")), QStringLiteral("150"));
}

} // namespace
