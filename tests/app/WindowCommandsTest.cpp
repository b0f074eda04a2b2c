// The operator window's commands: minimising into the notification area and back, exit
// from there, help and about from their buttons and their keys.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "controls/LbSpeedButton.h"
#include "board/FormMon2.h"
#include "desktop/FormInfo.h"
#include "desktop/HelpViewer.h"
#include "desktop/HelpWindow.h"
#include "desktop/TrayIcon.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class WindowCommands : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid() && dir.isValid()); }
    void TearDown() override
    {
        HelpWindow::closeAll();
        windows.stop();
    }

    void start()
    {
        windows.start();
        form().setFormInfo(new TFormInfo(&form()));
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    TForm1 &form() const { return *windows.form; }

    // A help file for a program of that name in the scratch folder.
    std::unique_ptr<TSPHelpViewer> viewerWithHelp(bool withFile)
    {
        const QString program = dir.filePath(QStringLiteral("corvane"));
        if (withFile)
            testsupport::writeBytes(program + ".html", "<html><body><h1 id=\"start\">Start</h1></body></html>");
        return std::make_unique<TSPHelpViewer>(program);
    }

    void minimise()
    {
        form().setWindowState(form().windowState() | Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // Presses the key in the widget that has the focus, or in the window.
    void pressKey(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &form();
        QTest::keyClick(target, key);
    }

    testsupport::SettingsSandbox sandbox;
    QTemporaryDir dir;
    testsupport::ProgramWindows windows;
};

TEST_F(WindowCommands, HelpAndAboutButtonsStandAtTheTopOfTheRightPanel)
{
    start();
    EXPECT_EQ(form().bHelp->geometry(), QRect(5, 2, 38, 36));
    EXPECT_EQ(form().bInfo->geometry(), QRect(45, 2, 38, 36));
    EXPECT_EQ(form().bHelp->toolTip(), "[F1] Help");
    EXPECT_EQ(form().bInfo->toolTip(), "[F3] Info");
    // The styled look: flat over the panel, a strip of a normal and a disabled picture, the
    // panel's own colour for light and shadow, the hand over them.
    for (TLbSpeedButton *button : {form().bHelp, form().bInfo}) {
        EXPECT_TRUE(button->flat() && button->transparent());
        EXPECT_EQ(button->glyph().size(), QSize(64, 32));
        EXPECT_EQ(button->numGlyphs(), 2);
        EXPECT_EQ(button->lightColor(), clBtnFace);
        EXPECT_EQ(button->shadowColor(), clBtnFace);
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_NE(form().bHelp->glyph().toImage(), form().bInfo->glyph().toImage());
    EXPECT_EQ(form().PopupMenuTray->actions(), QList<QAction *>({form().Restore1, form().Exit1}));
    EXPECT_EQ(form().Restore1->text(), "Restore");
    EXPECT_EQ(form().Exit1->text(), "Exit");
    EXPECT_EQ(form().TrayIcon1->toolTip(), "Corvane 1.0");
    EXPECT_FALSE(form().TrayIcon1->active());
}

TEST_F(WindowCommands, TheHelpButtonIsOfferedOnlyWithAHelpFile)
{
    start();
    form().setHelpViewer(viewerWithHelp(false));
    EXPECT_FALSE(form().bHelp->isEnabled());
    form().setHelpViewer(viewerWithHelp(true));
    EXPECT_TRUE(form().bHelp->isEnabled());
    QTest::mouseClick(form().bHelp, Qt::LeftButton);
    ASSERT_NE(form().helpViewer().helpWindow(), nullptr);
    EXPECT_TRUE(form().helpViewer().helpWindow()->isVisible());
}

TEST_F(WindowCommands, F1OpensTheHelpFromAnywhereEvenWithTheButtonDisabled)
{
    start();
    form().setHelpViewer(viewerWithHelp(true));
    form().bHelp->setEnabled(false);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    form().PageControl1->setCurrentIndex(2);
    form().PageControl1->currentWidget()->setFocus();
    pressKey(Qt::Key_F1);
    ASSERT_NE(form().helpViewer().helpWindow(), nullptr);
    EXPECT_TRUE(form().helpViewer().helpWindow()->isVisible());
    // At the end of the program every help window closes.
    windows.stop();
    const QWidgetList windowsLeft = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windowsLeft.begin(), windowsLeft.end(),
                             [](QWidget *w) { return qobject_cast<HelpWindow *>(w) && w->isVisible(); }));
}

TEST_F(WindowCommands, F3ShowsTheAboutWindowModallyAndEscClosesIt)
{
    start();
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    bool shownModally = false;
    QTimer::singleShot(0, [&shownModally] {
        auto *about = qobject_cast<TFormInfo *>(QApplication::activeModalWidget());
        shownModally = about && about->isVisible();
        if (about)
            QTest::keyClick(about, Qt::Key_Escape);
    });
    pressKey(Qt::Key_F3);
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WindowCommands, WithoutANotificationAreaMinimisingIsTheOrdinaryKind)
{
    start();
    form().setTrayAvailability([] { return false; });
    minimise();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(form().TrayIcon1->active());
}

TEST_F(WindowCommands, MinimisingGoesToTheNotificationAreaAndAClickBringsItBack)
{
    start();
    form().setTrayAvailability([] { return true; });
    windows.tv->show();
    minimise();
    EXPECT_TRUE(form().isHidden());
    EXPECT_TRUE(form().TrayIcon1->active());
    // The TV board stays on.
    EXPECT_TRUE(windows.tv->isVisible());

    emit form().TrayIcon1->OnClick();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(form().windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(form().TrayIcon1->active());

    minimise();
    form().Restore1->trigger();
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(form().TrayIcon1->active());
}

// A copy started with the session may come up before the desktop's panel: whether there
// is a notification area is asked at each minimise, not once at start.
TEST_F(WindowCommands, TheNotificationAreaIsAskedForAtEachMinimise)
{
    start();
    bool panelUp = false;
    int asked = 0;
    form().setTrayAvailability([&] {
        ++asked;
        return panelUp;
    });
    const QList<bool> panelStates{false, true, false, true};
    for (bool up : panelStates) {
        panelUp = up;
        const int askedBefore = asked;
        minimise();
        EXPECT_GT(asked, askedBefore) << "panel " << up;
        EXPECT_EQ(form().isHidden(), up) << "panel " << up;
        EXPECT_EQ(form().TrayIcon1->active(), up) << "panel " << up;
        form().bringToFront();
        QCoreApplication::processEvents();
        ASSERT_TRUE(form().isVisible());
        ASSERT_FALSE(form().TrayIcon1->active());
    }
}

TEST_F(WindowCommands, ExitFromTheNotificationAreaSavesWithThePlaceBeforeHiding)
{
    start();
    form().setTrayAvailability([] { return true; });
    form().move(210, 160);
    QCoreApplication::processEvents();
    const QPoint before = form().pos();
    minimise();
    ASSERT_TRUE(form().isHidden());
    // A hidden window may be moved about by the system; the stored place is the one it had.
    form().move(-32000, -32000);
    QSignalSpy closed(&form(), &TForm1::closed);
    form().Exit1->trigger();
    EXPECT_EQ(closed.count(), 1);
    windows.stop();

    const auto store = SettingsStore::open(ProgramSettings::settingsRoot() + TForm1::programTitle(), SettingsStore::Mode::OpenExisting);
    ASSERT_TRUE(store);
    int left = 0;
    int top = 0;
    ASSERT_TRUE(store->readInteger("Left", left) && store->readInteger("Top", top));
    EXPECT_EQ(QPoint(left, top), before);
}

TEST_F(WindowCommands, ClosingRemembersWhetherTheTvBoardShows)
{
    start();
    for (bool showing : {true, false}) {
        form().show();
        windows.tv->setVisible(showing);
        form().close();
        EXPECT_EQ(programSettings().tv(), showing);
    }
}

} // namespace
