// The running-text tab on the operator window and the ticker on the TV board.

#include "tests/OperatorInput.h"
#include "tests/ScriptedDialogs.h"
#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/RunTextTab.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/ListFile.h"
#include "content/Playlist.h"
#include "controls/Label3D.h"
#include "controls/RunLabel.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::readValues;

class RunTextTab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        path = SettingsStore::filePathFor(ProgramSettings::settingsRoot() + TForm1::programTitle());
    }
    void TearDown() override { stop(); }

    // Stores values the way the program does: texts as texts, numbers as numbers.
    void store(const QList<QPair<QString, QVariant>> &values)
    {
        const auto settings = SettingsStore::open(ProgramSettings::settingsRoot() + TForm1::programTitle(),
                                                  SettingsStore::Mode::Create);
        for (const auto &[name, value] : values) {
            if (value.typeId() == QMetaType::Int)
                settings->writeInteger(name, value.toInt());
            else
                settings->writeString(name, value.toString());
        }
        ASSERT_TRUE(settings->commit());
    }

    void start() { windows.start(); }
    void stop() { windows.stop(); }
    void restart() { windows.restart(); }

    TRunTextTab &tab() const { return *form->RunTextTab; }
    TRunLabel &ticker() const { return *tv->FrameCorvane1->RunLabel; }

    // Ticks the ticker until its run ends; false when it never does. The next run is
    // already started when this returns.
    bool runToTheEnd()
    {
        QSignalSpy ended(&ticker(), &TRunString::OnEnd);
        for (int tick = 0; tick < 100000 && ended.isEmpty() && ticker().isRunning(); ++tick)
            ticker().TimerTick();
        return !ended.isEmpty();
    }

    testsupport::SettingsSandbox sandbox;
    QString path;
    testsupport::ProgramWindows windows;
    std::unique_ptr<TForm1> &form = windows.form;
    std::unique_ptr<TFormMon2> &tv = windows.tv;
};

TEST_F(RunTextTab, StoredListStartsIdleWithItsFirstEntrySelected)
{
    store({{QStringLiteral("RS"), QStringLiteral("\"Курс дня\",\"Без комиссии\"")}});
    start();
    EXPECT_EQ(form->playlist().entries(), (QStringList{QStringLiteral("Курс дня"), QStringLiteral("Без комиссии")}));
    EXPECT_EQ(tab().selectedRow(), 0);
    EXPECT_TRUE(tab().bPlay->isEnabled());
    EXPECT_FALSE(tab().bStop->isEnabled());
    EXPECT_TRUE(tab().bDel->isEnabled());
    EXPECT_TRUE(tab().bReplace->isEnabled());
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(ticker().isHidden());
}

// A double click plays the list on the TV board over its bottom band, the preview follows
// the running entry, and the list loops until Stop.
TEST_F(RunTextTab, DoubleClickPlaysTheListInALoopUntilStop)
{
    store({{QStringLiteral("RS"), QStringLiteral("first,second")}});
    start();
    operatorinput::doubleClick(tab().ListStr->viewport(),
                               tab().ListStr->visualRect(tab().ListStr->model()->index(0, 0)).center());

    ASSERT_TRUE(ticker().isRunning());
    EXPECT_TRUE(ticker().isVisible() || !tv->isVisible());
    EXPECT_EQ(ticker().rText(), QStringLiteral("first"));
    EXPECT_EQ(ticker().geometry(), tv->FrameCorvane1->LabelBot->geometry());
    EXPECT_EQ(ticker().rFont().family(), tv->FrameCorvane1->LabelBot->font().family());
    EXPECT_FALSE(tab().bPlay->isEnabled());
    EXPECT_TRUE(tab().bStop->isEnabled());

    ticker().TimerTick();
    EXPECT_EQ(form->FrameCorvane1->LabelBot->caption(), QStringLiteral("first"));
    for (const char *next : {"second", "first", "second"}) {
        ASSERT_TRUE(runToTheEnd());
        EXPECT_EQ(ticker().rText(), QLatin1String(next));
        EXPECT_TRUE(ticker().isRunning());
        ticker().TimerTick();
        EXPECT_EQ(form->FrameCorvane1->LabelBot->caption(), QLatin1String(next));
    }

    QTest::mouseClick(tab().bStop, Qt::LeftButton);
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(ticker().isHidden());
    EXPECT_TRUE(tv->FrameCorvane1->LabelBot->caption().isEmpty());
    EXPECT_EQ(form->FrameCorvane1->LabelBot->caption(), QStringLiteral("БЕГУЩАЯ СТРОКА"));
    EXPECT_TRUE(tab().bPlay->isEnabled());
    EXPECT_FALSE(tab().bStop->isEnabled());
}

TEST_F(RunTextTab, SpeedReachesTheTickerWhenARunBegins)
{
    store({{QStringLiteral("Left"), 324}, {QStringLiteral("Top"), 106}, {QStringLiteral("FileName"), QString()},
           {QStringLiteral("TitleMode"), 0}, {QStringLiteral("TV"), 0}, {QStringLiteral("ProTop"), 20},
           {QStringLiteral("ProBot"), 10}, {QStringLiteral("ProTit"), 10}, {QStringLiteral("ProTitL"), 30},
           {QStringLiteral("ProName"), 35}, {QStringLiteral("ProTit2"), 10}, {QStringLiteral("RsSpeed"), 7},
           {QStringLiteral("RS"), QStringLiteral("a")}});
    start();
    EXPECT_EQ(tab().seSpeed->value(), 7);
    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    ticker().TimerTick();
    EXPECT_EQ(ticker().oneStep(), 7);
    tab().seSpeed->setValue(9);
    EXPECT_EQ(ticker().oneStep(), 9) << "a change during a run takes effect at once";
}

TEST_F(RunTextTab, EditedListAndSpeedSurviveARestart)
{
    start();
    tab().Edit1->setText(QStringLiteral("Курс \"ЦБ\", сегодня"));
    QTest::mouseClick(tab().bAdd, Qt::LeftButton);
    tab().Edit1->setText(QStringLiteral("¥ и ₺"));
    QTest::keyClick(tab().Edit1, Qt::Key_Return);
    tab().seSpeed->setValue(3);
    const QStringList entries = form->playlist().entries();
    ASSERT_EQ(entries.size(), 2);

    restart();
    EXPECT_EQ(form->playlist().entries(), entries);
    EXPECT_EQ(tab().seSpeed->value(), 3);
    EXPECT_FALSE(ticker().isRunning()) << "idle after every start";
    EXPECT_EQ(readValues(path).value(QStringLiteral("RsSpeed")), QStringLiteral("3"));
}

TEST_F(RunTextTab, DeleteKeyInTheListAndPickCopyTheEntry)
{
    store({{QStringLiteral("RS"), QStringLiteral("p,q,r")}});
    start();
    QTest::mouseClick(tab().ListStr->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tab().ListStr->visualRect(tab().ListStr->model()->index(1, 0)).center());
    EXPECT_EQ(tab().Edit1->text(), QStringLiteral("q"));
    EXPECT_EQ(tab().Edit1->selectedText(), QStringLiteral("q"));
    QTest::keyClick(tab().ListStr, Qt::Key_Delete);
    EXPECT_EQ(form->playlist().entries(), (QStringList{QStringLiteral("p"), QStringLiteral("r")}));
    EXPECT_EQ(form->playlist().selectedIndex(), 1);
    EXPECT_EQ(tab().selectedRow(), 1);
}

class RunTextFiles : public RunTextTab
{
protected:
    void SetUp() override
    {
        RunTextTab::SetUp();
        ASSERT_TRUE(folder.isValid());
        start();
        form->setDialogs(dialogs);
    }
    void TearDown() override
    {
        EXPECT_EQ(dialogs.unusedAnswers(), 0);
        RunTextTab::TearDown();
    }

    QString writeFile(const char *name, const QByteArray &bytes) const
    {
        const QString path = folder.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
};

// A Windows-1251 list with every kind of line end: loaded whole, first entry selected,
// ready to play; saved back with CR LF after every entry.
TEST_F(RunTextFiles, OpenLoadsAListFileAndSaveWritesItBack)
{
    dialogs.answerOpenFile(writeFile("list.txt", QByteArray("\xCA\xF3\xF0\xF1 \xE4\xED\xFF\rq\nr")));
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    EXPECT_EQ(form->playlist().entries(),
              (QStringList{QStringLiteral("Курс дня"), QStringLiteral("q"), QStringLiteral("r")}));
    EXPECT_EQ(tab().selectedRow(), 0);
    EXPECT_TRUE(tab().bPlay->isEnabled());
    EXPECT_EQ(dialogs.openings().first().folder, TForm1::programFolder());

    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    dialogs.answerSaveFile(saved);
    QTest::mouseClick(tab().bSave, Qt::LeftButton);
    EXPECT_EQ(testsupport::readBytes(saved), QByteArray("\xCA\xF3\xF0\xF1 \xE4\xED\xFF\r\nq\r\nr\r\n"));
}

// A character Windows-1251 has no byte for is not turned into "?": the file is UTF-8 then.
TEST_F(RunTextFiles, EntryBeyondTheCodePageSurvivesAFileRoundTrip)
{
    tab().Edit1->setText(QStringLiteral("Курс ¥ и ₺"));
    QTest::mouseClick(tab().bAdd, Qt::LeftButton);
    const QString saved = folder.filePath(QStringLiteral("unicode.txt"));
    dialogs.answerSaveFile(saved);
    QTest::mouseClick(tab().bSave, Qt::LeftButton);
    QTest::mouseClick(tab().bDel, Qt::LeftButton);
    dialogs.answerOpenFile(saved);
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    EXPECT_EQ(form->playlist().entries().last(), QStringLiteral("Курс ¥ и ₺"));
}

TEST_F(RunTextFiles, FilesThatCannotBeReadOrWrittenAreToldAndChangeNothing)
{
    tab().Edit1->setText(QStringLiteral("kept"));
    QTest::mouseClick(tab().bAdd, Qt::LeftButton);
    const QStringList before = form->playlist().entries();

    const QString missing = folder.filePath(QStringLiteral("missing.txt"));
    dialogs.answerOpenFile(missing);
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    const QString blocker = writeFile("plain", "x");
    const QString unwritable = blocker + QStringLiteral("/list.txt");
    dialogs.answerSaveFile(unwritable);
    QTest::mouseClick(tab().bSave, Qt::LeftButton);

    EXPECT_EQ(sandbox.messages,
              (QStringList{QStringLiteral("Cannot open file \"%1\". %2").arg(missing, QString::fromLocal8Bit(std::strerror(ENOENT))),
                           QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(unwritable, QString::fromLocal8Bit(std::strerror(ENOTDIR)))}));
    EXPECT_EQ(form->playlist().entries(), before);
    sandbox.messages.clear();
}

TEST_F(RunTextFiles, CancelledDialogsChangeNothing)
{
    dialogs.cancel();
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    dialogs.cancel();
    QTest::mouseClick(tab().bSave, Qt::LeftButton);
    EXPECT_TRUE(form->playlist().entries().isEmpty());
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

// A file far larger than any list (here just over the limit, as a 50 MB one would be) is
// refused at once with the reason, and the list stays.
TEST_F(RunTextFiles, OversizedFileIsRefusedAndTheListStays)
{
    tab().Edit1->setText(QStringLiteral("kept"));
    QTest::mouseClick(tab().bAdd, Qt::LeftButton);
    const QString path = writeFile("huge.txt", QByteArray(ListFile::kMaxFileBytes + 1, 'x'));
    dialogs.answerOpenFile(path);
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    EXPECT_EQ(sandbox.messages, QStringList{QStringLiteral("Cannot open file \"%1\". %2")
                                                .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG)))});
    EXPECT_EQ(form->playlist().entries(), QStringList{QStringLiteral("kept")});
    sandbox.messages.clear();
}

// A list of a hundred thousand entries loads and plays.
TEST_F(RunTextFiles, HundredThousandEntriesLoad)
{
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "entry " + QByteArray::number(i) + "\r\n";
    dialogs.answerOpenFile(writeFile("long.txt", bytes));
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    ASSERT_EQ(form->playlist().count(), 100000);
    EXPECT_EQ(form->playlist().entry(99999), QStringLiteral("entry 99999"));
    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    EXPECT_EQ(ticker().rText(), QStringLiteral("entry 0"));
    QTest::mouseClick(tab().bStop, Qt::LeftButton);
}

// ---- Play with nothing to play or nothing selected ----

// Types a text into the entry field and presses Enter, as the operator adds an entry.
void typeEntry(TRunTextTab &tab, const QString &text)
{
    tab.Edit1->setFocus();
    QTest::keyClick(tab.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(tab.Edit1, text);
    QTest::keyClick(tab.Edit1, Qt::Key_Return);
}

TEST_F(RunTextTab, NoStoredListStartsWithPlayOff)
{
    start();
    ASSERT_EQ(form->playlist().count(), 0);
    EXPECT_FALSE(tab().bPlay->isEnabled());
    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    EXPECT_FALSE(tab().bStop->isEnabled());
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

// Deleting every entry turns Play off; clicking it then neither tells an error nor lights Stop.
TEST_F(RunTextTab, PlayIsOffOnceEveryEntryIsDeleted)
{
    store({{QStringLiteral("RS"), QStringLiteral("p,q")}});
    start();
    QTest::mouseClick(tab().bDel, Qt::LeftButton);
    EXPECT_TRUE(tab().bPlay->isEnabled());
    QTest::mouseClick(tab().bDel, Qt::LeftButton);
    ASSERT_EQ(form->playlist().count(), 0);
    EXPECT_FALSE(tab().bPlay->isEnabled());

    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    EXPECT_TRUE(sandbox.messages.isEmpty());
    EXPECT_FALSE(tab().bStop->isEnabled());
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(ticker().isHidden());

    typeEntry(tab(), QStringLiteral("again"));
    EXPECT_TRUE(tab().bPlay->isEnabled());
}

// Entries added with nothing selected leave nothing selected; Play runs the list from its top.
TEST_F(RunTextTab, PlayWithNothingSelectedRunsTheFirstEntry)
{
    start();
    typeEntry(tab(), QStringLiteral("first"));
    typeEntry(tab(), QStringLiteral("second"));
    ASSERT_EQ(form->playlist().entries(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    ASSERT_EQ(tab().selectedRow(), -1);
    ASSERT_TRUE(tab().bPlay->isEnabled());

    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    EXPECT_TRUE(sandbox.messages.isEmpty());
    ASSERT_TRUE(ticker().isRunning());
    EXPECT_EQ(ticker().rText(), QStringLiteral("first"));
    EXPECT_EQ(tab().selectedRow(), 0);
    EXPECT_FALSE(tab().bPlay->isEnabled());
    EXPECT_TRUE(tab().bStop->isEnabled());
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(ticker().rText(), QStringLiteral("second"));

    QTest::mouseClick(tab().bStop, Qt::LeftButton);
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(tab().bPlay->isEnabled());
    EXPECT_FALSE(tab().bStop->isEnabled());
}

// The run under way finishes; its end finds nothing left and the list stops by itself.
TEST_F(RunTextTab, ListEmptiedDuringPlayStopsAtTheEndOfTheRun)
{
    store({{QStringLiteral("RS"), QStringLiteral("only")}});
    start();
    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    ASSERT_TRUE(ticker().isRunning());
    ticker().TimerTick();
    QTest::mouseClick(tab().bDel, Qt::LeftButton);
    ASSERT_EQ(form->playlist().count(), 0);
    EXPECT_TRUE(ticker().isRunning()) << "the current run goes on";
    EXPECT_TRUE(tab().bStop->isEnabled());

    runToTheEnd();
    EXPECT_FALSE(ticker().isRunning());
    EXPECT_TRUE(ticker().isHidden());
    EXPECT_FALSE(tab().bStop->isEnabled());
    EXPECT_FALSE(tab().bPlay->isEnabled());
    EXPECT_EQ(form->FrameCorvane1->LabelBot->caption(), QStringLiteral("БЕГУЩАЯ СТРОКА"));
    EXPECT_TRUE(tv->FrameCorvane1->LabelBot->caption().isEmpty());
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

TEST_F(RunTextFiles, EmptyListFileTurnsPlayOff)
{
    typeEntry(tab(), QStringLiteral("kept until the open"));
    ASSERT_TRUE(tab().bPlay->isEnabled());
    dialogs.answerOpenFile(writeFile("empty.txt", QByteArray()));
    QTest::mouseClick(tab().bOpen, Qt::LeftButton);
    ASSERT_EQ(form->playlist().count(), 0);
    EXPECT_FALSE(tab().bPlay->isEnabled());
    QTest::mouseClick(tab().bPlay, Qt::LeftButton);
    EXPECT_FALSE(tab().bStop->isEnabled());
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

} // namespace
