// The group " Веб-табло " of the settings tab: its place on the running program's tab, and
// its widgets following the web board's line both ways.

#include "tests/OperatorInput.h"
#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/TitleTab.h"
#include "app/WebBoardLine.h"
#include "app/WebBoardTab.h"
#include "platform/ProgramSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WebBoardTab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        tab.follow(line);
        line.startUp();
        QObject::connect(&line, &WebBoardLine::startRequested, &line, [this](quint16 port) { starts << port; });
    }

    // A widget that is shown whenever the group is.
    static bool shown(const QWidget *widget) { return widget->isVisibleTo(widget->parentWidget()); }

    testsupport::SettingsSandbox sandbox;
    WebBoardLine line{[] { return QList<QHostAddress>{QHostAddress(QStringLiteral("192.168.1.20"))}; }};
    TWebBoardTab tab;
    QList<quint16> starts;
};

TEST_F(WebBoardTab, FitsOnTheSettingsTabBelowTheTitleGroup)
{
    testsupport::ProgramWindows windows;
    windows.start();
    TForm1 &form = *windows.form;
    auto *placed = form.TabNastroyki->findChild<TWebBoardTab *>();
    ASSERT_NE(placed, nullptr);
    form.PageControl1->setCurrentWidget(form.TabNastroyki);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    EXPECT_EQ(placed->GroupWeb->title(), " Веб-табло ");
    const QRect group(placed->mapTo(form.TabNastroyki, placed->GroupWeb->pos()), placed->GroupWeb->size());
    const QRect title(form.TitleTab->mapTo(form.TabNastroyki, form.TitleTab->GroupTitle->pos()),
                      form.TitleTab->GroupTitle->size());
    EXPECT_EQ(group.left(), title.left());
    EXPECT_EQ(group.width(), title.width());
    EXPECT_GT(group.top(), title.bottom());
    EXPECT_TRUE(form.TabNastroyki->rect().contains(group))
        << "tab " << form.TabNastroyki->width() << "x" << form.TabNastroyki->height() << ", group bottom "
        << group.bottom();
    for (const QWidget *child : placed->GroupWeb->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(placed->GroupWeb->rect().contains(child->geometry())) << child->objectName().toStdString();
}

TEST_F(WebBoardTab, TheOperatorsSwitchAndPortGoToTheSettings)
{
    EXPECT_EQ(tab.cbWebBoard->text(), "Включить");
    EXPECT_EQ(tab.lblPort->text(), "Порт:");
    EXPECT_EQ(tab.ePort->minimum(), 1);
    EXPECT_EQ(tab.ePort->maximum(), 65535);
    EXPECT_EQ(tab.ePort->value(), 8080);
    EXPECT_FALSE(tab.cbWebBoard->isChecked());

    operatorinput::clickButton(tab.cbWebBoard);
    EXPECT_TRUE(programSettings().webBoardOn());
    EXPECT_EQ(starts, QList<quint16>({8080}));
    tab.ePort->setValue(9000);
    EXPECT_EQ(programSettings().webBoardPort(), 9000);
    EXPECT_EQ(starts, QList<quint16>({8080, 9000}));
    operatorinput::clickButton(tab.cbWebBoard);
    EXPECT_FALSE(programSettings().webBoardOn());
}

// Typing a port restarts the server once, when the port is complete, not at every digit.
TEST_F(WebBoardTab, ATypedPortCountsOnceItIsEntered)
{
    operatorinput::clickButton(tab.cbWebBoard);
    QLineEdit *edit = tab.ePort->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("8443"));
    EXPECT_EQ(programSettings().webBoardPort(), 8080);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(programSettings().webBoardPort(), 8443);
    EXPECT_EQ(starts, QList<quint16>({8080, 8443}));
}

// Values that change elsewhere (the store read at start-up) show in the widgets.
// The list of who may connect counts once entered, and a list set elsewhere shows.
TEST_F(WebBoardTab, TheAllowedRangesAreTypedAndShown)
{
    EXPECT_EQ(tab.lblWebAllow->buddy(), tab.eWebAllow);
    EXPECT_TRUE(tab.eWebAllow->text().isEmpty()) << "empty: the default";
    tab.eWebAllow->setFocus();
    QTest::keyClicks(tab.eWebAllow, QStringLiteral("192.168.1.0/24"));
    EXPECT_TRUE(programSettings().webBoardAllowed().isEmpty());
    QTest::keyClick(tab.eWebAllow, Qt::Key_Return);
    EXPECT_EQ(programSettings().webBoardAllowed(), QStringLiteral("192.168.1.0/24"));
    programSettings().setWebBoardAllowed(QStringLiteral("10.0.0.0/8"));
    EXPECT_EQ(tab.eWebAllow->text(), QStringLiteral("10.0.0.0/8"));
}

TEST_F(WebBoardTab, TheWidgetsShowTheSettings)
{
    programSettings().setWebBoardPort(8181);
    programSettings().setWebBoardOn(true);
    EXPECT_EQ(tab.ePort->value(), 8181);
    EXPECT_TRUE(tab.cbWebBoard->isChecked());

    // A group made after the values changed starts with them.
    TWebBoardTab later;
    later.follow(line);
    EXPECT_EQ(later.ePort->value(), 8181);
    EXPECT_TRUE(later.cbWebBoard->isChecked());
}

TEST_F(WebBoardTab, WhileListeningTheAddressesAndTheirQrCodeShow)
{
    EXPECT_EQ(tab.lblWebStatus->text(), "Выключено");
    EXPECT_FALSE(shown(tab.lblWebAddress));
    EXPECT_FALSE(shown(tab.imgWebQr));

    operatorinput::clickButton(tab.cbWebBoard);
    line.serverListening(8080);
    EXPECT_EQ(tab.lblWebStatus->text(), "Работает");
    EXPECT_TRUE(shown(tab.lblWebAddress));
    EXPECT_EQ(tab.lblWebAddress->text(), "http://192.168.1.20:8080/");
    EXPECT_TRUE(tab.lblWebAddress->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    EXPECT_TRUE(shown(tab.imgWebQr));
    const QPixmap qr = tab.imgWebQr->pixmap();
    ASSERT_FALSE(qr.isNull());
    EXPECT_EQ(qr.width(), qr.height());
    EXPECT_LE(qr.width(), std::min(tab.imgWebQr->width(), tab.imgWebQr->height()));
    // Large enough for a phone: at least two pixels to a module of a version 2 code.
    EXPECT_GE(qr.width(), 2 * (25 + 8));
    const QImage image = qr.toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white)) << "the quiet zone";
    EXPECT_EQ(image.pixelColor(image.width() / 8, image.height() / 8), QColor(Qt::black)) << "a finder";

    operatorinput::clickButton(tab.cbWebBoard);
    EXPECT_EQ(tab.lblWebStatus->text(), "Выключено");
    EXPECT_FALSE(shown(tab.lblWebAddress));
    EXPECT_FALSE(shown(tab.imgWebQr));
}

TEST_F(WebBoardTab, AFailureIsToldInRed)
{
    const QColor usual = tab.lblWebStatus->palette().color(QPalette::WindowText);
    ASSERT_NE(usual, QColor(Qt::red));
    operatorinput::clickButton(tab.cbWebBoard);
    line.serverListening(8080);
    line.serverFailed(QStringLiteral("Порт 8080 занят"));
    EXPECT_EQ(tab.lblWebStatus->text(), "Порт 8080 занят");
    EXPECT_EQ(tab.lblWebStatus->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(shown(tab.lblWebAddress));
    EXPECT_FALSE(shown(tab.imgWebQr));

    operatorinput::clickButton(tab.cbWebBoard);
    EXPECT_EQ(tab.lblWebStatus->palette().color(QPalette::WindowText), usual);
}

// What the operator set survives the program's end and start.
TEST_F(WebBoardTab, TheExitKeepsTheSwitchAndThePort)
{
    testsupport::ProgramWindows windows;
    windows.start();
    // A port that no other test takes: the program may really open it.
    programSettings().setWebBoardPort(47213);
    programSettings().setWebBoardOn(true);
    windows.restart();
    EXPECT_TRUE(programSettings().webBoardOn());
    EXPECT_EQ(programSettings().webBoardPort(), 47213);
}

} // namespace
