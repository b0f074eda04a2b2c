// The title group of the settings tab on the running program: text or picture on both
// boards, the picture dialog, the history of titles, and what start-up and exit keep.

#include "tests/OperatorInput.h"
#include "tests/ScriptedDialogs.h"
#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/TitleLine.h"
#include "app/TitleTab.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "board/TitleImage.h"
#include "controls/Label3D.h"
#include "desktop/HistoryComboBox.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace {

using testsupport::near;

using operatorinput::clickListRow;
using operatorinput::openListByMouse;
using operatorinput::pressKey;
using operatorinput::waitForListClosed;

// A logo wider than high: green on the left, yellow on the right.
QByteArray logoBytes(const char *format, QSize size = QSize(300, 100))
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::green);
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::yellow);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class TitleTab : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid() && dir.isValid()); }
    void TearDown() override
    {
        windows.stop();
        QDir::setCurrent(previousFolder);
    }

    QString keyPath() const { return ProgramSettings::settingsRoot() + TForm1::programTitle(); }

    // The whole guarded group with this title source and mode.
    void storeTitle(const QString &fileName, int mode, const QStringList &history = {})
    {
        const auto store = SettingsStore::open(keyPath(), SettingsStore::Mode::Create);
        for (const auto &[name, value] : testsupport::storedGroup())
            store->writeString(name, value);
        store->writeString(QStringLiteral("FileName"), fileName);
        store->writeInteger(QStringLiteral("TitleMode"), mode);
        store->writeInteger(QStringLiteral("TV"), 0);
        store->enterSubKey(QStringLiteral("Hi"));
        for (int i = 0; i < history.size(); ++i)
            store->writeString(QStringLiteral("H%1").arg(i), history.at(i));
        store->leaveSubKey();
        ASSERT_TRUE(store->commit());
    }

    QStringList storedHistory() const
    {
        QStringList history;
        const auto store = SettingsStore::open(keyPath() + QStringLiteral("\\Hi"), SettingsStore::Mode::OpenExisting);
        for (int i = 0; store && store->hasValue(QStringLiteral("H%1").arg(i)); ++i) {
            QString entry;
            store->readString(QStringLiteral("H%1").arg(i), entry);
            history << entry;
        }
        return history;
    }

    QString storedFileName() const
    {
        QString fileName;
        const auto store = SettingsStore::open(keyPath(), SettingsStore::Mode::OpenExisting);
        if (store)
            store->readString(QStringLiteral("FileName"), fileName);
        return fileName;
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        testsupport::writeBytes(path, bytes);
        return path;
    }

    void start() { windows.start(); }
    void restart() { windows.restart(); }

    TTitleTab &tab() const { return *windows.form->TitleTab; }
    THistoryComboBox &combo() const { return *tab().eTextList; }
    QList<TFrameCorvane *> boards() const { return {windows.form->FrameCorvane1, windows.tv->FrameCorvane1}; }

    // Each board shows the picture in its title band, and not the text.
    void expectPictureOnBothBoards() const
    {
        for (TFrameCorvane *board : boards()) {
            EXPECT_FALSE(board->ImageTop->isHidden()) << board->window()->objectName().toStdString();
            EXPECT_TRUE(board->LabelTop->isHidden());
            EXPECT_FALSE(board->ImageTop->picture().isNull());
        }
    }
    void expectTextOnBothBoards(const QString &text) const
    {
        for (TFrameCorvane *board : boards()) {
            EXPECT_TRUE(board->ImageTop->isHidden()) << board->window()->objectName().toStdString();
            EXPECT_FALSE(board->LabelTop->isHidden());
            EXPECT_EQ(board->LabelTop->caption(), text);
        }
    }

    // The operator types into the title box; a completion selects the rest it added.
    // Key events that carry their text, as a keyboard of any layout sends them.
    void type(const QString &text)
    {
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, combo().lineEdit(), Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
    // The operator window on screen at the settings tab, and a click into the title box.
    void showSettingsTab()
    {
        ASSERT_TRUE(operatorinput::showActive(*windows.form));
        QTabBar *tabs = windows.form->PageControl1->tabBar();
        const int settings = windows.form->PageControl1->indexOf(windows.form->TabNastroyki);
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(settings).center());
        ASSERT_TRUE(tab().isVisible());
        QTest::mouseClick(combo().lineEdit(), Qt::LeftButton);
        ASSERT_EQ(operatorinput::keyReceiver(), &combo());
    }
    // Typed on the keyboard: the keys reach whatever has it, an open list included.
    void typeOnKeyboard(const QString &text)
    {
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, operatorinput::keyReceiver(), Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
    }
    // Opens the list and closes it again without a pick.
    void openAndCloseTheList()
    {
        ASSERT_TRUE(openListByMouse(combo()));
        pressKey(Qt::Key_Escape);
        ASSERT_TRUE(waitForListClosed(combo()));
    }
    // Where a pick of `entry` ends once the list has closed: the title everywhere, the head
    // of the history in the box, the settings and the store, and the next start's source.
    void expectPickedTitle(const QString &entry, const QStringList &history)
    {
        EXPECT_EQ(combo().currentText(), entry);
        expectTextOnBothBoards(entry);
        EXPECT_EQ(combo().entries(), history);
        EXPECT_EQ(programSettings().titleHistory(), history);
        EXPECT_EQ(programSettings().fileName(), entry);
        EXPECT_TRUE(testsupport::waitUntil([&] { return storedHistory() == history; }));
        EXPECT_TRUE(testsupport::waitUntil([&] { return storedFileName() == entry; }));
        restart();
        EXPECT_EQ(programSettings().fileName(), entry);
        EXPECT_EQ(combo().currentText(), entry);
        expectTextOnBothBoards(entry);
    }

    void clearByBackspace()
    {
        combo().lineEdit()->setFocus();
        combo().lineEdit()->end(false);
        while (!combo().currentText().isEmpty())
            QTest::keyClick(combo().lineEdit(), Qt::Key_Backspace);
    }

    testsupport::SettingsSandbox sandbox;
    QTemporaryDir dir;
    const QString previousFolder = QDir::currentPath();
    ScriptedDialogs dialogs;
    testsupport::ProgramWindows windows{&dialogs};
};

TEST_F(TitleTab, TheGroupStandsWhereItWasDesigned)
{
    start();
    EXPECT_EQ(tab().parentWidget(), windows.form->TabNastroyki);
    EXPECT_EQ(tab().GroupTitle->title(), " Титул ");
    EXPECT_EQ(tab().GroupTitle->geometry(), QRect(0, 0, 297, 94));
    EXPECT_EQ(tab().rbText->text(), "Текст");
    EXPECT_EQ(tab().rbText->pos(), QPoint(8, 22));
    EXPECT_EQ(tab().rbImage->text(), "Изображение");
    EXPECT_EQ(tab().rbImage->pos(), QPoint(8, 40));
    EXPECT_EQ(tab().bImage->text(), "...");
    EXPECT_EQ(tab().bImage->geometry(), QRect(256, 40, 33, 19));
    EXPECT_EQ(combo().pos(), QPoint(8, 62));
    EXPECT_EQ(combo().width(), 282);
    EXPECT_EQ(combo().maxHistoryLength(), 20);
    EXPECT_EQ(combo().maxVisibleItems(), 20);
    EXPECT_EQ(combo().key(), keyPath().mid(1) + "\\Hi");
}

TEST_F(TitleTab, AFirstRunShowsTheDefaultSourceAsText)
{
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    start();
    EXPECT_TRUE(tab().rbText->isChecked());
    EXPECT_FALSE(tab().rbImage->isEnabled());
    EXPECT_EQ(combo().currentText(), "Title.jpg");
    expectTextOnBothBoards(QStringLiteral("Title.jpg"));

    // With a Title.jpg where the program starts, the picture can be chosen at once.
    windows.stop();
    programSettings().reset();
    file(QStringLiteral("Title.jpg"), logoBytes("JPEG"));
    start();
    ASSERT_TRUE(tab().rbImage->isEnabled());
    operatorinput::clickButton(tab().rbImage);
    expectPictureOnBothBoards();
    EXPECT_EQ(programSettings().titleMode(), 1);
}

TEST_F(TitleTab, AStoredLogoShowsOnBothBoardsCentredWithItsProportions)
{
    const QString logo = file(QStringLiteral("logo.jpg"), logoBytes("JPEG"));
    storeTitle(logo, 1);
    start();
    EXPECT_TRUE(tab().rbImage->isChecked());
    expectPictureOnBothBoards();
    for (TFrameCorvane *board : boards()) {
        // Rendered as a whole board first: a hidden TV window is laid out on its way.
        const QImage shown = testsupport::renderWidget(board);
        TTitleImage *image = board->ImageTop;
        const QRect place = image->pictureRect();
        // Three times wider than high, as large as the band allows, centred in it.
        const bool fillsHeight = image->width() * 100 >= image->height() * 300;
        if (fillsHeight) {
            EXPECT_EQ(place.height(), image->height());
            EXPECT_NEAR(place.width(), 3 * image->height(), 1);
        } else {
            EXPECT_EQ(place.width(), image->width());
            EXPECT_NEAR(place.height(), image->width() / 3, 1);
        }
        EXPECT_NEAR(place.center().x(), image->rect().center().x(), 1);
        EXPECT_NEAR(place.center().y(), image->rect().center().y(), 1);
        // The picture, with the board's black on either side.
        const QPoint origin = image->mapTo(board, QPoint());
        const int middle = origin.y() + place.center().y();
        EXPECT_TRUE(near(shown.pixelColor(origin.x() + place.left() + place.width() / 4, middle), Qt::green));
        EXPECT_TRUE(near(shown.pixelColor(origin.x() + place.right() - place.width() / 4, middle), Qt::yellow));
        if (place.left() > 1) {
            EXPECT_TRUE(near(shown.pixelColor(origin.x(), middle), Qt::black));
        }
    }

    operatorinput::clickButton(tab().rbText);
    expectTextOnBothBoards(logo);
    EXPECT_EQ(programSettings().titleMode(), 0);
}

TEST_F(TitleTab, ThePictureFollowsItsBandWhenTheProportionsChange)
{
    // A logo as high as it is wide fills the band's height on every board.
    storeTitle(file(QStringLiteral("logo.bmp"), logoBytes("BMP", QSize(100, 100))), 1);
    start();
    TTitleImage *image = windows.form->FrameCorvane1->ImageTop;
    const int before = image->scaledPicture().height();
    windows.form->seProc[0]->setValue(30);
    EXPECT_GT(image->height(), before);
    EXPECT_EQ(image->scaledPicture().height(), image->pictureRect().height());
    EXPECT_GT(image->scaledPicture().height(), before);
}

TEST_F(TitleTab, ChoosingAPictureInTextModePreparesItOnBothBoards)
{
    start();
    const QString logo = file(QStringLiteral("logo.bmp"), logoBytes("BMP"));
    dialogs.answerPicture(logo);
    operatorinput::clickButton(tab().bImage);
    ASSERT_EQ(dialogs.openings().size(), 1);
    EXPECT_EQ(dialogs.openings().first().kind, ScriptedDialogs::Kind::Picture);
    EXPECT_EQ(dialogs.openings().first().folder, TForm1::programFolder());
    EXPECT_TRUE(sandbox.messages.isEmpty());
    // Nothing visible changes until the picture option is chosen.
    expectTextOnBothBoards(QStringLiteral("Title.jpg"));
    EXPECT_EQ(combo().currentText(), logo);
    EXPECT_EQ(programSettings().fileName(), logo);
    ASSERT_TRUE(tab().rbImage->isEnabled());

    operatorinput::clickButton(tab().rbImage);
    expectPictureOnBothBoards();
    // Back to the text, the title is the path the box now shows.
    operatorinput::clickButton(tab().rbText);
    expectTextOnBothBoards(logo);
}

TEST_F(TitleTab, APictureThatDoesNotLoadIsToldAndChangesNothing)
{
    const QString good = file(QStringLiteral("logo.bmp"), logoBytes("BMP"));
    storeTitle(good, 1);
    start();
    const QImage before = windows.tv->FrameCorvane1->ImageTop->scaledPicture();
    const QString bad[] = {file(QStringLiteral("damaged.jpg"), logoBytes("JPEG").left(300)),
                           file(QStringLiteral("renamed.jpg"), logoBytes("PNG")), file(QStringLiteral("empty.bmp"), {}),
                           file(QStringLiteral("logo.png"), logoBytes("PNG")), dir.filePath(QStringLiteral("vanished.jpg"))};
    for (const QString &path : bad) {
        sandbox.messages.clear();
        dialogs.answerPicture(path);
        operatorinput::clickButton(tab().bImage);
        ASSERT_EQ(sandbox.messages.size(), 1) << path.toStdString();
        EXPECT_EQ(combo().currentText(), path);
        EXPECT_EQ(programSettings().fileName(), good);
        EXPECT_TRUE(tab().rbImage->isEnabled());
        expectPictureOnBothBoards();
        EXPECT_EQ(windows.tv->FrameCorvane1->ImageTop->scaledPicture(), before);
    }
    EXPECT_TRUE(sandbox.messages.first().contains("vanished.jpg"));
}

TEST_F(TitleTab, AnUnknownExtensionIsToldByName)
{
    start();
    dialogs.answerPicture(file(QStringLiteral("logo.gif"), logoBytes("PNG")));
    operatorinput::clickButton(tab().bImage);
    ASSERT_EQ(sandbox.messages.size(), 1);
    EXPECT_EQ(sandbox.messages.first(), "Unknown picture file extension (.gif)");
}

TEST_F(TitleTab, ACancelledDialogChangesNothing)
{
    start();
    dialogs.cancel();
    operatorinput::clickButton(tab().bImage);
    EXPECT_EQ(combo().currentText(), "Title.jpg");
    EXPECT_FALSE(tab().rbImage->isEnabled());
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

TEST_F(TitleTab, PickingFromTheHistory)
{
    const QString logo = file(QStringLiteral("logo.bmp"), logoBytes("BMP"));
    const QString other = file(QStringLiteral("other.bmp"), logoBytes("BMP", QSize(50, 50)));
    storeTitle(logo, 1, {logo, QStringLiteral("p q r"), other});
    start();
    showSettingsTab();
    expectPictureOnBothBoards();
    const QSize logoSize = windows.form->FrameCorvane1->ImageTop->picture().naturalSize();

    // An existing file is only offered: the picture loaded last stays until the next start,
    // which takes the head of the history as its source.
    ASSERT_TRUE(openListByMouse(combo()));
    clickListRow(combo(), 2);
    ASSERT_TRUE(waitForListClosed(combo()));
    EXPECT_EQ(combo().currentText(), other);
    expectPictureOnBothBoards();
    EXPECT_EQ(windows.form->FrameCorvane1->ImageTop->picture().naturalSize(), logoSize);
    EXPECT_EQ(programSettings().fileName(), other);
    EXPECT_EQ(combo().entries(), QStringList({other, logo, "p q r"}));

    // A text switches both boards to that text.
    ASSERT_TRUE(openListByMouse(combo()));
    clickListRow(combo(), 2);
    ASSERT_TRUE(waitForListClosed(combo()));
    expectTextOnBothBoards(QStringLiteral("p q r"));
    EXPECT_TRUE(tab().rbText->isChecked());
    EXPECT_EQ(programSettings().titleMode(), 0);
    EXPECT_EQ(combo().entries(), QStringList({"p q r", other, logo}));
}

// Three remembered titles; the second is picked in each of the ways the box offers.
TEST_F(TitleTab, AnEntryPickedWithTheMouseTheKeysOrByTypingBecomesTheTitle)
{
    const QStringList history{QStringLiteral("Курсы валют"), QStringLiteral("Обмен валют"), QStringLiteral("Касса")};
    const QStringList picked{history.at(1), history.at(0), history.at(2)};
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"a click in the list",
         [this] {
             ASSERT_TRUE(openListByMouse(combo()));
             clickListRow(combo(), 1);
         }},
        {"the arrow keys and Enter",
         [this] {
             pressKey(Qt::Key_Down, Qt::AltModifier);
             pressKey(Qt::Key_Down);
             pressKey(Qt::Key_Return);
         }},
        {"typing that completes, then the list opened and closed",
         [this] {
             pressKey(Qt::Key_A, Qt::ControlModifier);
             pressKey(Qt::Key_Backspace);
             typeOnKeyboard(QStringLiteral("О"));
             EXPECT_EQ(combo().lineEdit()->selectedText(), QStringLiteral("бмен валют"));
             expectTextOnBothBoards(QStringLiteral("Обмен валют"));
             openAndCloseTheList();
         }},
    };
    for (const auto &[way, pick] : ways) {
        SCOPED_TRACE(way);
        storeTitle(QStringLiteral("x"), 0, history);
        start();
        showSettingsTab();
        expectTextOnBothBoards(history.at(0));
        pick();
        ASSERT_TRUE(waitForListClosed(combo()));
        expectPickedTitle(history.at(1), picked);
        windows.stop();
        programSettings().reset();
    }
}

TEST_F(TitleTab, TypingCompletesFromTheHistoryOrShowsWhatWasTyped)
{
    storeTitle(QStringLiteral("x"), 0, {QStringLiteral("p q r")});
    start();
    EXPECT_EQ(combo().currentText(), "p q r");
    clearByBackspace();
    expectTextOnBothBoards(QString());
    type(QStringLiteral("p"));
    EXPECT_EQ(combo().currentText(), "p q r");
    EXPECT_EQ(combo().lineEdit()->selectedText(), " q r");
    expectTextOnBothBoards(QStringLiteral("p q r"));

    clearByBackspace();
    type(QStringLiteral("x"));
    expectTextOnBothBoards(QStringLiteral("x"));
}

TEST_F(TitleTab, TypingInPictureModeShowsOnlyWhenTheTextIsChosen)
{
    storeTitle(file(QStringLiteral("logo.bmp"), logoBytes("BMP")), 1);
    start();
    clearByBackspace();
    type(QStringLiteral("Обмен"));
    expectPictureOnBothBoards();
    operatorinput::clickButton(tab().rbText);
    expectTextOnBothBoards(QStringLiteral("Обмен"));
}

TEST_F(TitleTab, TypedTitlesAreRememberedMostRecentFirstAtMostTwenty)
{
    start();
    QStringList typed;
    for (int i = 1; i <= 22; ++i) {
        clearByBackspace();
        const QString title = QStringLiteral("Курсы %1").arg(i, 2, 10, QLatin1Char('0'));
        type(title);
        typed.prepend(title);
        restart();
        // The text in the box at exit is the next start's title.
        EXPECT_EQ(combo().currentText(), title);
        expectTextOnBothBoards(title);
    }
    EXPECT_EQ(combo().entries(), typed.mid(0, 20));
    EXPECT_EQ(storedHistory(), typed.mid(0, 20));
}

TEST_F(TitleTab, TheListClosingPutsTheTextOnTopAndTheStoreKeepsIt)
{
    storeTitle(QStringLiteral("a"), 0, {QStringLiteral("a"), QStringLiteral("b")});
    start();
    clearByBackspace();
    type(QStringLiteral("c"));
    showSettingsTab();
    openAndCloseTheList();
    EXPECT_EQ(combo().entries(), QStringList({"c", "a", "b"}));
    EXPECT_EQ(programSettings().titleHistory(), QStringList({"c", "a", "b"}));
    // Saved as it goes: no exit needed.
    EXPECT_TRUE(testsupport::waitUntil([this] { return storedHistory() == QStringList({"c", "a", "b"}); }));
}

TEST_F(TitleTab, AStoredPictureThatNoLongerLoadsStartsWithTheTextAndSaysSoOnce)
{
    const QString damaged = file(QStringLiteral("logo.jpg"), logoBytes("JPEG").left(200));
    storeTitle(damaged, 1);
    start();
    ASSERT_EQ(sandbox.messages.size(), 1);
    EXPECT_TRUE(sandbox.messages.first().contains(damaged));
    EXPECT_TRUE(tab().rbText->isChecked());
    EXPECT_FALSE(tab().rbImage->isEnabled());
    expectTextOnBothBoards(damaged);
    // The mode is the operator's: it stays stored for the day the picture is mended.
    restart();
    EXPECT_EQ(programSettings().titleMode(), 1);
}

} // namespace
