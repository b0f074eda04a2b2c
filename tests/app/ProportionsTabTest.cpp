#include "tests/OperatorInput.h"
#include "tests/TestSupport.h"
#include "app/Form1.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

// Per screen list: the last monitor, the width of the full-size board on it (the monitor's
// shape turned upright), the six pixel estimates for the default proportions (heights from
// the monitor's height, widths from that board's width) and the preview's width for the
// 480-pixel preview height.
struct ScreenCase
{
    const char *set;
    QSize lastScreen;
    int boardWidth;
    std::array<int, 6> defaultPixels;
    int previewWidth;
};

const ScreenCase kScreens[] = {
    {"one", QSize(1920, 1080), 607, {216, 108, 108, 182, 212, 108}, 270},
    {"two", QSize(1080, 1920), 1080, {384, 192, 192, 324, 378, 192}, 270},
    {"fourthree", QSize(1024, 768), 576, {153, 76, 76, 172, 201, 76}, 360},
    {"square", QSize(1200, 1200), 1200, {240, 120, 120, 360, 420, 120}, 480},
};

// The row for the screen list the program was started with, found from the screens
// themselves: the set's name in the environment is only a cross-check, as it does not
// reach every way of running the tests.
const ScreenCase &currentScreens()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const ScreenCase &c : kScreens) {
        if (!screens.isEmpty() && c.lastScreen == screens.last()->geometry().size()) {
            if (qEnvironmentVariableIsSet("CORVANE_SCREEN_SET")) {
                EXPECT_EQ(testsupport::screenSet(), QLatin1String(c.set));
            }
            return c;
        }
    }
    ADD_FAILURE() << "no expectations for this screen list";
    return kScreens[0];
}

constexpr std::array<int, 6> kDefaults = {20, 10, 10, 30, 35, 10};
constexpr int kPreviewHeight = 480;

std::array<int, 6> stored(const Proportions &p)
{
    return {p.ProTop, p.ProBot, p.ProTit, p.ProTitL, p.ProName, p.ProTit2};
}

class ProportionsTab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
    }

    void TearDown() override
    {
        form.reset();
        tv.reset();
        QFile::remove(settingsFile());
        EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    }

    // The file the operator window reads at start, known before it exists.
    static QString settingsFile()
    {
        const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        return SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\") + title);
    }

    // Both windows as the program builds them, the TV window showing.
    void start()
    {
        form = std::make_unique<TForm1>();
        ASSERT_EQ(SettingsStore::filePathFor(programSettings().settingsKey()), settingsFile());
        tv = form->createFormMon2();
        form->btn_TV_OnClick();
        ASSERT_TRUE(tv->isVisible());
    }

    std::array<int, 6> fieldValues() const
    {
        std::array<int, 6> values{};
        for (size_t i = 0; i < 6; ++i)
            values[i] = form->seProc[i]->value();
        return values;
    }

    std::array<int, 6> pixelValues() const
    {
        std::array<int, 6> values{};
        for (size_t i = 0; i < 6; ++i)
            values[i] = form->seProcPixels[i]->value();
        return values;
    }

    QList<TFrameCorvane *> boards() const { return {form->FrameCorvane1, tv->FrameCorvane1}; }

    // Both boards carry the bands of the given proportions for their own height.
    void expectBoardsLaidOutWith(const Proportions &p) const
    {
        for (TFrameCorvane *board : boards()) {
            SCOPED_TRACE(board == form->FrameCorvane1 ? "preview" : "TV");
            const int h = board->PanelTablo->height();
            const int w = board->PanelTablo->width();
            EXPECT_EQ(board->LabelTop->height(), h * p.ProTop / 100);
            EXPECT_EQ(board->LabelBot->height(), h * p.ProBot / 100);
            EXPECT_EQ(board->PanelTitle->height(), h * p.ProTit / 100);
            EXPECT_EQ(board->LabelData->width(), w * p.ProTitL / 100);
            EXPECT_EQ(board->PanelName->width(), w * p.ProName / 100);
            EXPECT_EQ(board->PanelTit2->height(), h * p.ProTit2 / 100);
            EXPECT_EQ(board->LabelPusto->height(), board->PanelTit2->height());
        }
    }

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFormMon2> tv;
    testsupport::SettingsSandbox sandbox;
    QStringList &messages = sandbox.messages;

private:
};

TEST_F(ProportionsTab, StartsWithTheDefaultsAndTheirPixelsOnTheLastMonitor)
{
    const ScreenCase &screens = currentScreens();
    start();
    EXPECT_EQ(fieldValues(), kDefaults);
    EXPECT_EQ(pixelValues(), screens.defaultPixels);
    EXPECT_EQ(stored(programSettings().proportions()), kDefaults);
    EXPECT_EQ(form->FrameCorvane1->PanelTablo->height(), kPreviewHeight);
    EXPECT_EQ(tv->FrameCorvane1->PanelTablo->height(), screens.lastScreen.height());
    expectBoardsLaidOutWith(Proportions{});
}

TEST_F(ProportionsTab, OperatorWindowIsThePreviewAndThePanelWide)
{
    const ScreenCase &screens = currentScreens();
    start();
    EXPECT_EQ(form->FrameCorvane1->width(), screens.previewWidth);
    EXPECT_EQ(form->width(), screens.previewWidth + TForm1::kPanelRWidth);
    EXPECT_EQ(form->height(), TForm1::kClientHeight);
    EXPECT_EQ(form->PanelR->x(), screens.previewWidth);
    EXPECT_EQ(form->PanelR->width(), TForm1::kPanelRWidth);
}

TEST_F(ProportionsTab, TitleAtZeroDisappearsFromBothBoardsAtOnce)
{
    start();
    form->seProc[0]->setValue(0);

    EXPECT_EQ(programSettings().proportions().ProTop, 0);
    EXPECT_EQ(form->seProcPixels[0]->value(), 1);
    for (TFrameCorvane *board : boards()) {
        SCOPED_TRACE(board == form->FrameCorvane1 ? "preview" : "TV");
        EXPECT_EQ(board->LabelTop->height(), 0);
        // The line below the title stays, now at the top of the board.
        EXPECT_FALSE(board->SplitterT->isHidden());
        EXPECT_GT(board->SplitterT->height(), 0);
        EXPECT_EQ(board->SplitterT->y(), 0);
    }
    Proportions expected;
    expected.ProTop = 0;
    expectBoardsLaidOutWith(expected);
}

// Every field of the tab, with the pixel estimate it must show.
TEST_F(ProportionsTab, EachFieldStoresItsProportionAndItsPixelEstimate)
{
    const ScreenCase &screens = currentScreens();
    start();
    const int values[] = {33, 17, 0, 50, 1, 25};
    for (size_t tag = 0; tag < 6; ++tag) {
        SCOPED_TRACE(tag);
        form->seProc[tag]->setValue(values[tag]);
        const bool ofWidth = tag == 3 || tag == 4;
        const int side = ofWidth ? screens.boardWidth : screens.lastScreen.height();
        EXPECT_EQ(form->seProcPixels[tag]->value(), std::max(1, side * values[tag] / 100));
        EXPECT_EQ(stored(programSettings().proportions())[tag], values[tag]);
    }
    const Proportions &p = programSettings().proportions();
    expectBoardsLaidOutWith(p);
}

TEST_F(ProportionsTab, FiftyEverywhereSplitsTheColumnsInHalves)
{
    start();
    for (QSpinBox *field : form->seProc)
        field->setValue(50);
    EXPECT_EQ(stored(programSettings().proportions()), (std::array<int, 6>{50, 50, 50, 50, 50, 50}));

    for (TFrameCorvane *board : boards()) {
        SCOPED_TRACE(board == form->FrameCorvane1 ? "preview" : "TV");
        const int w = board->PanelTablo->width();
        EXPECT_EQ(board->PanelName->width(), w / 2);
        EXPECT_EQ(board->LabelData->width(), w / 2);
    }
    EXPECT_EQ(form->width(), currentScreens().previewWidth + TForm1::kPanelRWidth);
}

TEST_F(ProportionsTab, ResetRestoresTheDefaultsOnBothBoards)
{
    const ScreenCase &screens = currentScreens();
    start();
    const int changed[] = {0, 50, 3, 12, 45, 27};
    for (size_t tag = 0; tag < 6; ++tag)
        form->seProc[tag]->setValue(changed[tag]);
    // The default value already in a field still has its pixel estimate refreshed.
    form->seProcPixels[2]->setValue(999);
    form->seProc[2]->setValue(10);

    operatorinput::clickButton(form->bDefProc);

    EXPECT_EQ(fieldValues(), kDefaults);
    EXPECT_EQ(pixelValues(), screens.defaultPixels);
    EXPECT_EQ(stored(programSettings().proportions()), kDefaults);
    expectBoardsLaidOutWith(Proportions{});
    EXPECT_EQ(form->width(), screens.previewWidth + TForm1::kPanelRWidth);
}

TEST_F(ProportionsTab, StoredValueAboveTheRangeStartsAsFifty)
{
    {
        QSettings file(settingsFile(), QSettings::NativeFormat);
        file.setValue(QStringLiteral("Left"), 324);
        file.setValue(QStringLiteral("Top"), 106);
        file.setValue(QStringLiteral("TitleMode"), 0);
        file.setValue(QStringLiteral("TV"), 0);
        const int values[] = {20, 80, 10, 30, 35, 10};
        const char *names[] = {"ProTop", "ProBot", "ProTit", "ProTitL", "ProName", "ProTit2"};
        for (int i = 0; i < 6; ++i)
            file.setValue(QLatin1String(names[i]), values[i]);
        file.sync();
        ASSERT_EQ(file.status(), QSettings::NoError);
    }
    start();

    EXPECT_EQ(form->seProc[1]->value(), 50);
    EXPECT_EQ(programSettings().proportions().ProBot, 50);
    EXPECT_EQ(form->seProcPixels[1]->value(), currentScreens().lastScreen.height() * 50 / 100);
    Proportions expected;
    expected.ProBot = 50;
    expectBoardsLaidOutWith(expected);
    EXPECT_EQ(form->FrameCorvane1->LabelBot->height(), kPreviewHeight / 2);
}

TEST_F(ProportionsTab, StoredValueBelowTheRangeStartsAsZero)
{
    {
        QSettings file(settingsFile(), QSettings::NativeFormat);
        for (auto [name, value] : {std::pair{"Left", 324}, {"Top", 106}, {"TitleMode", 0}, {"TV", 0},
                                   {"ProTop", -15}, {"ProBot", 10}, {"ProTit", 10}, {"ProTitL", 30},
                                   {"ProName", 35}, {"ProTit2", 10}})
            file.setValue(QLatin1String(name), value);
        file.sync();
        ASSERT_EQ(file.status(), QSettings::NoError);
    }
    start();

    EXPECT_EQ(form->seProc[0]->value(), 0);
    EXPECT_EQ(programSettings().proportions().ProTop, 0);
    EXPECT_EQ(form->seProcPixels[0]->value(), 1);
    Proportions expected;
    expected.ProTop = 0;
    expectBoardsLaidOutWith(expected);
}

} // namespace
