// The TV board follows its monitor while the program runs: a TV switched off for the night
// that drops its link, comes back in another mode, or flickers.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "board/MonitorList.h"
#include "controls/Label3D.h"
#include "controls/RunLabel.h"
#include "desktop/ScreenAwake.h"
#include "platform/ProgramSettings.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QRect kOperatorMonitor(0, 0, 1920, 1080);
const QRect kPortraitTv(1920, 0, 1080, 1920);
const QRect kFourThreeTv(1920, 0, 1024, 768);

class TvFollowsMonitor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        plug({kOperatorMonitor, kPortraitTv});
    }
    void TearDown() override
    {
        windows.stop();
        MonitorList::instance().setStandIn(std::nullopt);
        QCoreApplication::processEvents();
    }

    // The monitors change as the system would tell; the windows follow once the burst of
    // changes is handled.
    static void plug(const QList<QRect> &monitors) { MonitorList::instance().setStandIn(monitors); }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void startWithTvOn()
    {
        windows.start();
        windows.form->show();
        windows.form->btn_TV_OnClick();
        settle();
        ASSERT_TRUE(tv().isVisible());
    }

    TForm1 &form() const { return *windows.form; }
    TFormMon2 &tv() const { return *windows.tv; }

    void expectCovering(const QRect &monitor) const
    {
        EXPECT_TRUE(tv().isVisible());
        EXPECT_EQ(tv().geometry(), monitor);
        EXPECT_EQ(tv().FrameCorvane1->PanelTablo->height(), monitor.height());
        EXPECT_FALSE(form().tvWaiting());
        EXPECT_FALSE(form().btn_TV_Off->isHidden());
        EXPECT_EQ(form().lbl_TV_status->text(), "TB ВКЛЮЧЕН");
    }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
};

TEST_F(TvFollowsMonitor, TheBoardHidesWhileItsMonitorIsGoneAndCoversItAgainInItsNewMode)
{
    startWithTvOn();
    expectCovering(kPortraitTv);

    plug({kOperatorMonitor});
    settle();
    // Nothing covers the operator's monitor, and the TV stays on.
    EXPECT_TRUE(tv().isHidden());
    EXPECT_TRUE(form().tvWaiting());
    EXPECT_EQ(form().lbl_TV_status->text(), "ТВ НЕ ПОДКЛЮЧЕН");
    EXPECT_FALSE(form().btn_TV_Off->isHidden());
    EXPECT_TRUE(form().btn_TV_On->isHidden());
    EXPECT_EQ(form().eMon2->text(), "1) 1920x1080");
    form().close();
    EXPECT_TRUE(programSettings().tv());

    plug({kOperatorMonitor, kFourThreeTv});
    settle();
    expectCovering(kFourThreeTv);
    EXPECT_EQ(form().eMon2->text(), "2) 1024x768");
    // Both boards take the 4:3 shape: three quarters of their height wide, and the operator
    // window around the preview.
    EXPECT_EQ(tv().FrameCorvane1->PanelTablo->width(), 768 * 3 / 4);
    const int previewHeight = form().FrameCorvane1->PanelTablo->height();
    EXPECT_EQ(form().FrameCorvane1->PanelTablo->width(), previewHeight * 3 / 4);
    EXPECT_EQ(form().width(), form().FrameCorvane1->width() + TForm1::kPanelRWidth);
}

// An unattended board must not go black; the screen is the desktop's again whenever the
// board does not show, and when the program ends.
TEST_F(TvFollowsMonitor, TheScreenStaysAwakeExactlyWhileTheBoardShows)
{
    startWithTvOn();
    const ScreenAwake &awake = form().screenAwake();
    EXPECT_TRUE(awake.held());
    // On an X server (the tests run on Xvfb too) the program's own connection is used.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        EXPECT_TRUE(awake.xSuspended());
    }

    plug({kOperatorMonitor});
    settle();
    ASSERT_TRUE(form().tvWaiting());
    EXPECT_FALSE(awake.held()) << "monitor gone";

    plug({kOperatorMonitor, kFourThreeTv});
    settle();
    EXPECT_TRUE(awake.held()) << "monitor back";

    form().btn_TV_Off->click();
    EXPECT_FALSE(awake.held()) << "TV off";
    form().btn_TV_On->click();
    EXPECT_TRUE(awake.held()) << "TV on";

    form().FormDestroy();
    EXPECT_TRUE(tv().isVisible());
    EXPECT_FALSE(awake.held()) << "program ended";
}

TEST_F(TvFollowsMonitor, ANewModeOrPlaceOfTheMonitorIsCoveredAtOnce)
{
    startWithTvOn();
    for (const QRect &monitor : {QRect(1920, 0, 1920, 1080), QRect(0, 1080, 1080, 1920), QRect(1920, 0, 3840, 2160)}) {
        plug({kOperatorMonitor, monitor});
        settle();
        expectCovering(monitor);
    }
}

TEST_F(TvFollowsMonitor, SwitchingOffWhileWaitingEndsTheWait)
{
    startWithTvOn();
    plug({kOperatorMonitor});
    settle();
    ASSERT_TRUE(form().tvWaiting());
    form().btn_TV_OffClick();
    EXPECT_FALSE(form().tvWaiting());
    EXPECT_FALSE(form().btn_TV_On->isHidden());
    EXPECT_FALSE(programSettings().tv());

    plug({kOperatorMonitor, kPortraitTv});
    settle();
    EXPECT_TRUE(tv().isHidden());
    form().close();
    EXPECT_FALSE(programSettings().tv());
}

TEST_F(TvFollowsMonitor, WithTheTvOffOnlyTheShapesFollow)
{
    windows.start();
    plug({kOperatorMonitor, kFourThreeTv});
    settle();
    EXPECT_TRUE(tv().isHidden());
    EXPECT_FALSE(form().tvWaiting());
    EXPECT_FALSE(form().btn_TV_On->isHidden());
    EXPECT_EQ(form().FrameCorvane1->PanelTablo->width(), form().FrameCorvane1->PanelTablo->height() * 3 / 4);
}

TEST_F(TvFollowsMonitor, AFlickeringTvEndsRightWithTheTickerRunningOn)
{
    startWithTvOn();
    tv().startTicker(QStringLiteral("Курс дня"));
    for (int tick = 0; tick < 40; ++tick)
        tv().FrameCorvane1->RunLabel->TimerTick();
    const int position = tv().FrameCorvane1->RunLabel->position();
    const int windowsBefore = int(QApplication::topLevelWidgets().size());

    for (int flicker = 0; flicker < 10; ++flicker) {
        plug({kOperatorMonitor});
        if (flicker % 3 == 0)
            settle();
        plug({kOperatorMonitor, flicker % 2 ? kFourThreeTv : kPortraitTv});
        if (flicker % 2 == 0)
            settle();
    }
    settle();
    expectCovering(kFourThreeTv);
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
    TRunLabel *ticker = tv().FrameCorvane1->RunLabel;
    EXPECT_TRUE(ticker->isRunning());
    EXPECT_EQ(ticker->rText(), "Курс дня");
    // Still where it was or further on (its timer runs meanwhile), not back at the start.
    EXPECT_GE(ticker->position(), position);
    EXPECT_EQ(ticker->geometry(), tv().FrameCorvane1->LabelBot->geometry());
}

} // namespace
