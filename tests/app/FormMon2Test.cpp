#include "tests/OperatorInput.h"
#include "tests/TestSupport.h"
#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "platform/TColor.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

namespace {

// What the TV window looks like on each screen list the tests run with.
struct ScreenCase
{
    const char *set;
    int screens;
    QRect lastScreen;
    int tvBoardWidth; // trunc(H * short side / long side) of the last screen
    const char *monitorInfo;
};

const ScreenCase kScreens[] = {
    {"one", 1, QRect(0, 0, 1920, 1080), 607, "1) 1920x1080"},
    {"two", 2, QRect(1920, 0, 1080, 1920), 1080, "2) 1080x1920"},
    {"fourthree", 2, QRect(1920, 0, 1024, 768), 576, "2) 1024x768"},
    {"square", 2, QRect(1920, 0, 1200, 1200), 1200, "2) 1200x1200"},
};

// The row for the screen list the program was started with, found from the screens
// themselves.
const ScreenCase &currentScreens()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const ScreenCase &c : kScreens) {
        if (!screens.isEmpty() && c.screens == screens.size() && c.lastScreen == screens.last()->geometry())
            return c;
    }
    ADD_FAILURE() << "no expectations for this screen list";
    return kScreens[0];
}

const QString kOnCaption = QString::fromUtf8("BKЛЮЧИTb");
const QString kOffCaption = QString::fromUtf8("OTKЛЮЧИTb");
const QString kStatusOff = QString::fromUtf8("TB OTKЛЮЧEH!");
const QString kStatusOn = QString::fromUtf8("TB ВКЛЮЧЕН");

const QString kOfficeTable = QStringLiteral("USD\t93,10\t94,50\tДОЛЛАР США\r\n"
                                            "EUR\t99,20\t101,00\tЕВРО\r\n"
                                            "CNY\t12,70\t13,40\tКИТАЙСКИЙ ЮАНЬ\r\n"
                                            "GBP\t117,30\t120,80\tФУНТ СТЕРЛИНГОВ\r\n"
                                            "CHF\t104,60\t108,20\tШВЕЙЦАРСКИЙ ФРАНК\r\n"
                                            "\t0,6120\t0,6480\tЯПОНСКАЯ ИЕНА\r\n"
                                            "TRY\t2,85\t3,10\tТУРЕЦКАЯ ЛИРА\r\n"
                                            "GOLD\t7450,00\t7890,00\tЗОЛОТО\r\n");

// The colour the text has while the widget is enabled; a disabled one shows it grey.
QColor textColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

// The operator window and the TV window wired as the program does it, with the settings
// file in a folder of the test's own.
class TvWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
    }

    void TearDown() override
    {
        stop();
        if (!m_settingsFile.isEmpty())
            QFile::remove(m_settingsFile);
        EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    }

    void startForm()
    {
        form = std::make_unique<TForm1>();
        m_settingsFile = SettingsStore::filePathFor(programSettings().settingsKey());
    }

    void startTv()
    {
        tv = form->createFormMon2();
    }

    void start()
    {
        startForm();
        startTv();
    }

    // Program end as main() does it: the operator window first, then the TV window.
    void stop()
    {
        form.reset();
        tv.reset();
    }

    // An orderly exit (close box, settings written) and the next start of the program.
    void restart()
    {
        form->close();
        stop();
        programSettings().reset();
        start();
    }

    void expectOffState() const
    {
        EXPECT_FALSE(tv->isVisible());
        EXPECT_FALSE(form->btn_TV_On->isHidden());
        EXPECT_TRUE(form->btn_TV_Off->isHidden());
        EXPECT_EQ(form->lbl_TV_status->text(), kStatusOff);
        EXPECT_EQ(textColor(form->lbl_TV_status), QColor(255, 0, 0));
    }

    void expectOnState() const
    {
        EXPECT_TRUE(tv->isVisible());
        EXPECT_TRUE(form->btn_TV_On->isHidden());
        EXPECT_FALSE(form->btn_TV_Off->isHidden());
        EXPECT_EQ(form->lbl_TV_status->text(), kStatusOn);
        EXPECT_EQ(textColor(form->lbl_TV_status), QColor(0, 128, 0));
    }

    TFrameCorvane *tvBoard() const { return tv->FrameCorvane1; }

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFormMon2> tv;
    testsupport::SettingsSandbox sandbox;
    QStringList &messages = sandbox.messages;

private:
    QString m_settingsFile;
};

TEST_F(TvWindow, ShownItCoversTheLastMonitorWithTheBoardAtItsLeft)
{
    const ScreenCase &screens = currentScreens();
    ASSERT_EQ(QGuiApplication::screens().size(), screens.screens);
    start();
    ASSERT_FALSE(tv->isVisible());
    form->btn_TV_OnClick();
    ASSERT_TRUE(tv->isVisible());

    EXPECT_EQ(tv->geometry(), screens.lastScreen);
    EXPECT_EQ(tvBoard()->geometry(), QRect(QPoint(0, 0), screens.lastScreen.size()));
    EXPECT_EQ(tvBoard()->PanelTablo->width(), screens.tvBoardWidth);
    EXPECT_EQ(tvBoard()->PanelTablo->height(), screens.lastScreen.height());
    EXPECT_EQ(tvBoard()->PanelTablo->x(), 0);
}

TEST_F(TvWindow, TakesNoInputAndShowsNoPointer)
{
    start();
    const Qt::WindowFlags flags = tv->windowFlags();
    EXPECT_TRUE(tv->isWindow());
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(tv->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(tv->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(tv->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(tvBoard()->cursor().shape(), Qt::BlankCursor);
}

TEST_F(TvWindow, BoardStartsWithThePreviewsCaptionsFontsAndRows)
{
    programSettings().setRateTableText(kOfficeTable);
    startForm();
    TFrameCorvane *preview = form->FrameCorvane1;
    // A look the board would not have on its own.
    preview->LabelTitle->setCaption(QStringLiteral("КУРСЫ ВАЛЮТ СЕГОДНЯ"));
    preview->LabelData->setCaption(QStringLiteral("09.12.2026 22:15"));
    preview->LabelTitPok->setFontColor(clFuchsia);
    QFont italic = preview->LabelTitProd->font();
    italic.setItalic(true);
    italic.setFamily(QStringLiteral("Courier New"));
    preview->LabelTitProd->setFont(italic);
    // Reading the table clones the column templates onto the rows, so a template's look
    // reaches every row of the new board.
    preview->LabelPok->setFontColor(clAqua);
    preview->LabelNameRus->setFontColor(clLime);
    preview->LabelBot->setFontColor(clBlue);
    preview->LabelName->setFontColor(clSilver);
    startTv();
    TFrameCorvane *board = tvBoard();

    EXPECT_EQ(board->LabelTitle->caption(), preview->LabelTitle->caption());
    EXPECT_EQ(board->LabelData->caption(), preview->LabelData->caption());
    EXPECT_EQ(board->LabelTop->caption(), preview->LabelTop->caption());
    EXPECT_TRUE(board->LabelBot->caption().isEmpty());
    EXPECT_EQ(board->LabelTitPok->fontColor(), clFuchsia);
    EXPECT_TRUE(board->LabelTitProd->font().italic());
    EXPECT_EQ(board->LabelTitProd->font().family(), preview->LabelTitProd->font().family());
    EXPECT_EQ(board->LabelPok->fontColor(), clAqua);
    EXPECT_EQ(board->row(3).Pok->fontColor(), clAqua);
    EXPECT_EQ(board->row(5).NameRus->fontColor(), clLime);
    EXPECT_EQ(board->LabelBot->fontColor(), clBlue);
    EXPECT_EQ(board->LabelName->fontColor(), clSilver);

    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(board->row(i).Name->caption(), preview->row(i).Name->caption());
        EXPECT_EQ(board->row(i).NameRus->caption(), preview->row(i).NameRus->caption());
        EXPECT_EQ(board->row(i).Pok->caption(), preview->row(i).Pok->caption());
        EXPECT_EQ(board->row(i).Prod->caption(), preview->row(i).Prod->caption());
    }
    EXPECT_EQ(board->row(4).Name->caption(), QStringLiteral("GBP"));
    EXPECT_EQ(board->row(8).Prod->caption(), QStringLiteral("7890,00"));
    // The row without a code is not shown on either board.
    EXPECT_EQ(board->shownRowCount(), 7);
    EXPECT_EQ(preview->shownRowCount(), 7);
    // Reading the table again gave the editors nothing new to write back.
    EXPECT_EQ(programSettings().rateTableText(), kOfficeTable);
}

TEST_F(TvWindow, SwitchCaptionsKeepTheirLatinAndCyrillicLetters)
{
    start();
    EXPECT_EQ(form->btn_TV_On->text(), kOnCaption);
    EXPECT_EQ(form->btn_TV_Off->text(), kOffCaption);
    EXPECT_EQ(form->lbl_TV_status->text(), kStatusOff);

    // The texts as the window shows them, letter by letter: Latin look-alikes where the
    // design has them, Cyrillic elsewhere.
    struct Letter
    {
        const QString *text;
        qsizetype index;
        char16_t code;
    };
    const QString on = form->btn_TV_On->text();
    const QString off = form->btn_TV_Off->text();
    const QString statusOff = form->lbl_TV_status->text();
    const Letter letters[] = {
        {&on, 0, u'B'},          {&on, 1, u'K'},          {&on, 2, u'\u041B'},     {&on, 6, u'T'},
        {&on, 7, u'b'},          {&off, 0, u'O'},         {&off, 1, u'T'},          {&off, 2, u'K'},
        {&off, 3, u'\u041B'},    {&off, 7, u'T'},         {&off, 8, u'b'},          {&statusOff, 0, u'T'},
        {&statusOff, 1, u'B'},   {&statusOff, 3, u'O'},   {&statusOff, 5, u'K'},    {&statusOff, 6, u'\u041B'},
        {&statusOff, 7, u'\u042E'}, {&statusOff, 9, u'E'}, {&statusOff, 10, u'H'},
    };
    for (const Letter &l : letters) {
        SCOPED_TRACE(l.text->toStdString() + " at " + std::to_string(l.index));
        ASSERT_LT(l.index, l.text->size());
        EXPECT_EQ(l.text->at(l.index).unicode(), l.code);
    }
    EXPECT_EQ(on.size(), 8);
    EXPECT_EQ(off.size(), 9);
    EXPECT_EQ(statusOff.size(), 12);
}

TEST_F(TvWindow, StartsSwitchedOffWithTheOnButtonEnabledOnlyForASecondMonitor)
{
    const ScreenCase &screens = currentScreens();
    start();
    const bool second = screens.screens > 1;
    EXPECT_EQ(form->btn_TV_On->isEnabled(), second);
    EXPECT_EQ(form->lbl_TV_status->isEnabled(), second);
    EXPECT_EQ(form->LabelMon2->isEnabled(), second);
    EXPECT_EQ(form->btn_TV_Off->geometry(), form->btn_TV_On->geometry());
    EXPECT_EQ(form->btn_TV_On->geometry(), QRect(157, 445, 120, 31));
    expectOffState();
}

TEST_F(TvWindow, OnAndOffButtonsSwitchTheWindowAndTheStatus)
{
    const ScreenCase &screens = currentScreens();
    start();
    form->show();
    operatorinput::clickButton(form->btn_TV_On);
    if (screens.screens == 1) {
        // Greyed out: a click on it changes nothing.
        expectOffState();
        form->btn_TV_OnClick();
    }
    expectOnState();
    EXPECT_EQ(tv->geometry(), screens.lastScreen);

    operatorinput::clickButton(form->btn_TV_Off);
    expectOffState();

    form->btn_TV_OnClick();
    expectOnState();
    form->btn_TV_OffClick();
    expectOffState();
}

TEST_F(TvWindow, OffWhileTheWindowIsHiddenChangesNothing)
{
    start();
    const QString marker = QStringLiteral("marker");
    form->lbl_TV_status->setText(marker);
    form->btn_TV_Off->show();
    form->btn_TV_On->hide();

    form->btn_TV_OffClick();

    EXPECT_FALSE(tv->isVisible());
    EXPECT_EQ(form->lbl_TV_status->text(), marker);
    EXPECT_TRUE(form->btn_TV_On->isHidden());
    EXPECT_FALSE(form->btn_TV_Off->isHidden());
}

TEST_F(TvWindow, StoredTvOnShowsTheWindowAtStartEvenOnASingleMonitor)
{
    const ScreenCase &screens = currentScreens();
    startForm();
    programSettings().setTV(true);
    startTv();

    expectOnState();
    EXPECT_EQ(tv->geometry(), screens.lastScreen);
    EXPECT_EQ(tvBoard()->PanelTablo->width(), screens.tvBoardWidth);
    EXPECT_EQ(form->btn_TV_On->isEnabled(), screens.screens > 1);
}

TEST_F(TvWindow, StateAtTheCloseRequestIsTheStateOfTheNextStart)
{
    start();
    form->btn_TV_OnClick();
    ASSERT_TRUE(tv->isVisible());
    form->close();
    EXPECT_TRUE(programSettings().tv());

    restart();
    EXPECT_TRUE(programSettings().tv());
    expectOnState();
    EXPECT_EQ(tv->geometry(), currentScreens().lastScreen);

    form->btn_TV_OffClick();
    form->close();
    EXPECT_FALSE(programSettings().tv());

    restart();
    EXPECT_FALSE(programSettings().tv());
    expectOffState();
}

TEST_F(TvWindow, EditsReachTheSameRowOnBothBoards)
{
    start();
    form->btn_TV_OnClick();
    TFrame1corvane *editor = form->EditorRows[2];
    editor->Edit1->clear();
    QTest::keyClicks(editor->Edit1, QStringLiteral("99,75"));
    editor->EditK->clear();
    QTest::keyClicks(editor->EditK, QStringLiteral("EUR"));
    // A code starting with a dash hides the row on both boards.
    form->EditorRows[6]->EditK->setText(QStringLiteral("-PLT"));

    for (TFrameCorvane *board : {form->FrameCorvane1, tvBoard()}) {
        SCOPED_TRACE(board == tvBoard() ? "TV" : "preview");
        EXPECT_EQ(board->row(2).Pok->caption(), QStringLiteral("99,75"));
        EXPECT_EQ(board->row(2).Name->caption(), QStringLiteral("EUR"));
        EXPECT_EQ(board->row(6).Name->caption(), QStringLiteral("-PLT"));
        EXPECT_TRUE(board->row(6).Name->isHidden());
    }
    EXPECT_EQ(tvBoard()->shownRowCount(), form->FrameCorvane1->shownRowCount());
    EXPECT_TRUE(tvBoard()->row(2).Pok->isVisible());
}

TEST_F(TvWindow, MonitorInfoNamesTheCountAndTheLastMonitor)
{
    const ScreenCase &screens = currentScreens();
    start();
    EXPECT_EQ(form->eMon2->text(), QString::fromUtf8(screens.monitorInfo));

    // A display change with the TV showing refreshes only the monitor field and the button.
    form->btn_TV_OnClick();
    form->eMon2->setText(QStringLiteral("-"));
    form->btn_TV_On->setEnabled(screens.screens == 1);
    form->UpdateMonitorInfo();
    EXPECT_EQ(form->eMon2->text(), QString::fromUtf8(screens.monitorInfo));
    EXPECT_EQ(form->btn_TV_On->isEnabled(), screens.screens > 1);
    EXPECT_EQ(form->LabelMon2->isEnabled(), screens.screens > 1);
    EXPECT_EQ(tv->geometry(), screens.lastScreen);
    expectOnState();
}

// A monitor cannot be unplugged on the offscreen platform at run time; moving the showing
// window to another screen stands in for it.
TEST_F(TvWindow, SwitchesOffAfterItsScreenChanged)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "needs a second monitor";
    start();
    form->btn_TV_OnClick();
    ASSERT_NE(tv->windowHandle(), nullptr);
    tv->windowHandle()->setScreen(screens.first());
    QCoreApplication::processEvents();
    ASSERT_EQ(tv->screen(), screens.first());

    form->btn_TV_OffClick();
    expectOffState();
    form->btn_TV_OnClick();
    expectOnState();
    EXPECT_EQ(tv->geometry(), currentScreens().lastScreen);
    EXPECT_EQ(tv->screen(), screens.last());
}

} // namespace
