#include "desktop/TrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

QColor colorOf(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

// The notification area is out of reach in these tests; the icon's state is read from the
// QSystemTrayIcon underneath, and the tray's clicks are played by emitting its signal.
class TrayIconTest : public ::testing::Test
{
protected:
    void click(QSystemTrayIcon::ActivationReason reason) { emit tray->activated(reason); }
    void tick() { QMetaObject::invokeMethod(icon.animationTimer(), "timeout"); }
    void runQueuedCalls() { QCoreApplication::sendPostedEvents(&icon, QEvent::MetaCall); }

    TTrayIcon icon;
    QSystemTrayIcon *tray = icon.trayIcon();
};

class TrayIconWithApplicationIcon : public TrayIconTest
{
protected:
    void SetUp() override { QGuiApplication::setWindowIcon(solidIcon(Qt::blue)); }
    void TearDown() override { QGuiApplication::setWindowIcon(previous); }

    QIcon previous = QGuiApplication::windowIcon();
};

// A new icon is not in the notification area and runs no animation until asked.
TEST_F(TrayIconTest, ANewIconShowsNothingAndAnimatesNothing)
{
    EXPECT_FALSE(tray->isVisible());
    EXPECT_FALSE(icon.animationTimer()->isActive());
}

TEST_F(TrayIconTest, ShowDesigningKeepsNothingAtRunTime)
{
    EXPECT_TRUE(icon.setProperty("ShowDesigning", true));
    EXPECT_FALSE(icon.showDesigning());
    EXPECT_FALSE(tray->isVisible());
}

TEST_F(TrayIconWithApplicationIcon, ActivatingWithoutAnIconShowsTheApplicationIcon)
{
    icon.setActive(true);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::blue));
    EXPECT_EQ(colorOf(icon.icon()), QColor(Qt::blue));

    icon.setActive(false);
    EXPECT_FALSE(tray->isVisible());
}

TEST_F(TrayIconWithApplicationIcon, OwnIconIsKeptOnActivation)
{
    icon.setIcon(solidIcon(Qt::red));
    icon.setActive(true);
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::red));
}

TEST_F(TrayIconTest, ChangesWhileInactiveReachTheTrayWithActivation)
{
    icon.setIcon(solidIcon(Qt::red));
    icon.setToolTip(QStringLiteral("Rates"));
    EXPECT_TRUE(tray->icon().isNull());
    EXPECT_EQ(tray->toolTip(), QString());

    icon.setActive(true);
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::red));
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Rates"));

    icon.setIcon(solidIcon(Qt::green));
    icon.setToolTip(QStringLiteral("Corvane 1.0"));
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::green));
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Corvane 1.0"));
}

TEST_F(TrayIconTest, ToolTipKeepsItsFirst62Characters)
{
    const QString digits = QStringLiteral("0123456789");
    const QString sixtyOne = digits.repeated(6) + QLatin1Char('x');
    const QString pair = QString::fromUtf8("\xF0\x9F\x92\xB1"); // one character, two UTF-16 units
    const QList<QPair<QString, QString>> cases{
        {digits.repeated(7), digits.repeated(6) + QStringLiteral("01")},
        {digits.repeated(6) + QStringLiteral("01"), digits.repeated(6) + QStringLiteral("01")},
        {sixtyOne + pair, sixtyOne},
        {QStringLiteral("Corvane 1.0"), QStringLiteral("Corvane 1.0")},
    };
    icon.setActive(true);
    for (const auto &[given, kept] : cases) {
        icon.setToolTip(given);
        EXPECT_EQ(icon.toolTip(), kept) << given.size();
        EXPECT_EQ(tray->toolTip(), kept) << given.size();
    }
}

TEST_F(TrayIconTest, ActivationWithoutTipSendsTheTipOnceMoreLater)
{
    const QString stale = QStringLiteral("stale");
    const QList<QPair<QString, QString>> cases{
        {QString(), QString()},
        {QStringLiteral("Rates"), stale},
    };
    for (const auto &[tip, afterQueuedCalls] : cases) {
        icon.setActive(false);
        icon.setToolTip(tip);
        icon.setActive(true);
        tray->setToolTip(stale);
        runQueuedCalls();
        EXPECT_EQ(tray->toolTip(), afterQueuedCalls) << qPrintable(tip);

        tray->setToolTip(stale);
        runQueuedCalls();
        EXPECT_EQ(tray->toolTip(), stale) << qPrintable(tip);
    }
}

TEST_F(TrayIconTest, AnimateNeedsAnActiveIconAndPictures)
{
    struct Case
    {
        bool active;
        QList<QIcon> images;
        bool animates;
    };
    const QList<Case> cases{
        {false, {solidIcon(Qt::red), solidIcon(Qt::green)}, false},
        {true, {}, false},
        {true, {solidIcon(Qt::red), solidIcon(Qt::green)}, true},
    };
    for (const Case &c : cases) {
        TTrayIcon candidate;
        candidate.setImages(c.images);
        candidate.setActive(c.active);
        candidate.setAnimate(true);
        EXPECT_EQ(candidate.animate(), c.animates) << c.active << c.images.size();
        EXPECT_EQ(candidate.animationTimer()->isActive(), c.animates) << c.active << c.images.size();
    }
}

TEST_F(TrayIconTest, AnimateIntervalTakesOnlyPositiveValues)
{
    const QList<QPair<int, int>> cases{{250, 250}, {0, 250}, {-5, 250}, {1, 1}};
    for (const auto &[given, kept] : cases) {
        icon.setAnimateInterval(given);
        EXPECT_EQ(icon.animateInterval(), kept) << given;
        EXPECT_EQ(icon.animationTimer()->interval(), kept) << given;
    }
}

class TrayIconAnimation : public TrayIconTest
{
protected:
    void SetUp() override
    {
        icon.setIcon(solidIcon(Qt::yellow));
        icon.setImages({solidIcon(Qt::red), solidIcon(Qt::green), solidIcon(Qt::blue)});
        icon.setActive(true);
        icon.setAnimate(true);
    }
};

TEST_F(TrayIconAnimation, FramesStartWithTheSecondPictureAndWrapAround)
{
    QList<QColor> shown;
    for (int i = 0; i < 6; ++i) {
        tick();
        shown.append(colorOf(tray->icon()));
    }
    const QList<QColor> expected{Qt::green, Qt::blue, Qt::red, Qt::green, Qt::blue, Qt::red};
    EXPECT_EQ(shown, expected);

    icon.setAnimate(false);
    EXPECT_FALSE(icon.animationTimer()->isActive());
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::yellow));
}

TEST_F(TrayIconAnimation, DeactivatingLeavesTheAnimationRunning)
{
    icon.setActive(false);
    EXPECT_TRUE(icon.animationTimer()->isActive());
    tick();
    EXPECT_EQ(colorOf(icon.icon()), QColor(Qt::green));
    EXPECT_FALSE(tray->isVisible());
}

TEST_F(TrayIconAnimation, TakingThePicturesAwayEndsTheAnimation)
{
    tick();
    icon.setImages({});
    EXPECT_FALSE(icon.animate());
    EXPECT_FALSE(icon.animationTimer()->isActive());
    EXPECT_EQ(colorOf(tray->icon()), QColor(Qt::yellow));
}

TEST_F(TrayIconTest, EachClickKindRaisesItsOwnEvent)
{
    struct Case
    {
        QSystemTrayIcon::ActivationReason reason;
        int clicks;
        int doubleClicks;
        int rightClicks;
    };
    const QList<Case> cases{
        {QSystemTrayIcon::Trigger, 1, 0, 0},
        {QSystemTrayIcon::DoubleClick, 0, 1, 0},
        {QSystemTrayIcon::Context, 0, 0, 1},
        {QSystemTrayIcon::MiddleClick, 0, 0, 0},
        {QSystemTrayIcon::Unknown, 0, 0, 0},
    };
    icon.setActive(true);
    for (const Case &c : cases) {
        QSignalSpy clicked(&icon, &TTrayIcon::OnClick);
        QSignalSpy doubleClicked(&icon, &TTrayIcon::OnDblClick);
        QSignalSpy rightClicked(&icon, &TTrayIcon::OnRightClick);
        click(c.reason);
        EXPECT_EQ(clicked.count(), c.clicks) << c.reason;
        EXPECT_EQ(doubleClicked.count(), c.doubleClicks) << c.reason;
        EXPECT_EQ(rightClicked.count(), c.rightClicks) << c.reason;
        // A handler of the double click stands in for the restore.
        EXPECT_TRUE(icon.active()) << c.reason;
    }
}

TEST_F(TrayIconTest, RightClickShowsTheMenuAtTheCursorBeforeTheEvent)
{
    const QPoint cursor(300, 200);
    QCursor::setPos(cursor);
    QMenu menu;
    menu.addAction(QStringLiteral("Restore"));
    icon.setPopupMenu(&menu);

    QStringList order;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] { order.append(QStringLiteral("menu")); });
    QObject::connect(&icon, &TTrayIcon::OnRightClick,
                     [&](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint screenPos) {
                         order.append(QStringLiteral("event"));
                         EXPECT_TRUE(menu.isVisible());
                         EXPECT_EQ(menu.pos(), cursor);
                         EXPECT_EQ(button, Qt::RightButton);
                         EXPECT_EQ(modifiers, Qt::NoModifier);
                         EXPECT_EQ(screenPos, cursor);
                     });
    click(QSystemTrayIcon::Context);
    menu.close();
    EXPECT_EQ(order, (QStringList{QStringLiteral("menu"), QStringLiteral("event")}));
}

TEST_F(TrayIconTest, RightClickAfterTheMenuIsGoneOnlyReportsTheClick)
{
    auto *menu = new QMenu;
    icon.setPopupMenu(menu);
    delete menu;
    EXPECT_EQ(icon.popupMenu(), nullptr);

    QSignalSpy rightClicked(&icon, &TTrayIcon::OnRightClick);
    click(QSystemTrayIcon::Context);
    EXPECT_EQ(rightClicked.count(), 1);
}

class TrayIconMainWindow : public TrayIconTest
{
protected:
    void SetUp() override
    {
        window.show();
        icon.setMainWindow(&window);
    }

    QWidget window;
};

TEST_F(TrayIconMainWindow, MinimisingGoesToTheTrayOnlyWithMinimizeApp)
{
    for (const bool minimizeApp : {false, true}) {
        icon.setActive(false);
        window.showNormal();
        icon.setMinimizeApp(minimizeApp);
        window.showMinimized();
        runQueuedCalls();
        EXPECT_EQ(window.isVisible(), !minimizeApp) << minimizeApp;
        EXPECT_EQ(icon.active(), minimizeApp) << minimizeApp;
        EXPECT_EQ(tray->isVisible(), minimizeApp) << minimizeApp;
    }
}

TEST_F(TrayIconMainWindow, DoubleClickBringsTheWindowBackInItsFormerState)
{
    for (const Qt::WindowState state : {Qt::WindowNoState, Qt::WindowMaximized}) {
        window.setWindowState(state);
        icon.MinimizeToTray();
        ASSERT_FALSE(window.isVisible());
        ASSERT_TRUE(icon.active());

        click(QSystemTrayIcon::DoubleClick);
        EXPECT_TRUE(window.isVisible()) << state;
        EXPECT_EQ(window.windowState() & ~Qt::WindowActive, state) << state;
        EXPECT_FALSE(icon.active()) << state;
        EXPECT_FALSE(tray->isVisible()) << state;
    }
}

TEST_F(TrayIconMainWindow, MovesBetweenWindowAndTrayOnlyFromTheOtherSide)
{
    icon.setActive(true);
    icon.MinimizeToTray();
    EXPECT_TRUE(window.isVisible());

    icon.setActive(false);
    window.hide();
    icon.RestoreFromTray();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
