// The date cell of both boards: the date and the time right after start, kept current by a
// timer of the operator window.

#include "tests/TestSupport.h"

#include "app/ClockLine.h"
#include "app/Form1.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QDateTime kEvening(QDate(2026, 12, 7), QTime(22, 15, 40));

TEST(ClockLine, DayAndMonthThenTheShortTimeOfTheLocale)
{
    const struct
    {
        QDateTime now;
        QLocale locale;
        const char *line; // a 12-hour time ends in the locale's own spelling of "PM"
        bool whole;
    } cases[] = {
        {kEvening, QLocale(QLocale::Russian, QLocale::Russia), "07.12\r\n22:15", true},
        {QDateTime(QDate(2027, 1, 31), QTime(9, 5)), QLocale(QLocale::German, QLocale::Germany), "31.01\r\n09:05", true},
        {kEvening, QLocale(QLocale::English, QLocale::UnitedStates), "07.12\r\n10:15", false},
        // The C locale's short format has seconds, which a cell refreshed every 15 s leaves out.
        {kEvening, QLocale::c(), "07.12\r\n22:15", true},
    };
    for (const auto &c : cases) {
        const QString line = clockLine(c.now, c.locale);
        if (c.whole)
            EXPECT_EQ(line, QString::fromUtf8(c.line));
        else
            EXPECT_TRUE(line.startsWith(QString::fromUtf8(c.line)) && line.contains("PM")) << line.toStdString();
    }
}

class Clock : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid()); }
    void TearDown() override { windows.stop(); }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
};

TEST_F(Clock, TheDateCellShowsTheTimeFromTheStartAndFollowsTheTimer)
{
    windows.start();
    const QString now = clockLine(QDateTime::currentDateTime());
    // Right after start: the date and time, not the design caption. (The minute may turn
    // between the start and this line.)
    const QString shown = windows.form->FrameCorvane1->LabelData->caption();
    EXPECT_EQ(shown.left(7), now.left(7));
    EXPECT_EQ(windows.tv->FrameCorvane1->LabelData->caption(), shown);

    EXPECT_TRUE(windows.form->TimerClock->isActive());
    QDateTime clock = kEvening;
    windows.form->setClock([&clock] { return clock; });
    for (int tick = 0; tick < 3; ++tick) {
        clock = clock.addSecs(15);
        QMetaObject::invokeMethod(windows.form->TimerClock, "timeout", Qt::DirectConnection);
        for (TFrameCorvane *board : {windows.form->FrameCorvane1, windows.tv->FrameCorvane1})
            EXPECT_EQ(board->LabelData->caption(), clockLine(clock));
    }
}

} // namespace
