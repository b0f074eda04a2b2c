#include "tests/OperatorInput.h"
#include "tests/TestSupport.h"

#include "desktop/HistoryComboBox.h"
#include "platform/SettingsStore.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString uniqueTitle()
{
    return testsupport::uniqueTitle(QStringLiteral("history"));
}

class HistoryComboBoxStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        key = QStringLiteral("Software\\Marrowgate\\%1\\Hi").arg(uniqueTitle());
        box.setKey(key);
    }

    QString filePath() const { return SettingsStore::filePathFor(QLatin1Char('\\') + key); }

    void writeFile(const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(filePath()).absolutePath());
        QFile file(filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    testsupport::SettingsSandbox sandbox;
    QString key;
    THistoryComboBox box;
};

TEST_F(HistoryComboBoxStore, SavedHistoryLoadsIntoAnotherBox)
{
    box.AddToHistory(QStringLiteral("p"));
    box.AddToHistory(QStringLiteral("q"));
    box.lineEdit()->setText(QStringLiteral("r"));
    EXPECT_EQ(box.SaveHistory(), std::nullopt);
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("r"), QStringLiteral("q"), QStringLiteral("p")}));

    THistoryComboBox other;
    other.setKey(key);
    other.lineEdit()->setText(QStringLiteral("typed before"));
    QSignalSpy changed(&other, &THistoryComboBox::textChangedByOperator);
    EXPECT_EQ(other.LoadHistory(), std::nullopt);
    EXPECT_EQ(other.entries(), box.entries());
    EXPECT_EQ(other.currentText(), QString());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

TEST_F(HistoryComboBoxStore, SaveWithEmptyTextStoresTheListUnchanged)
{
    box.AddToHistory(QStringLiteral("p"));
    box.AddToHistory(QStringLiteral("q"));
    box.lineEdit()->clear();
    EXPECT_EQ(box.SaveHistory(), std::nullopt);
    const QMap<QString, QString> stored = testsupport::readValues(filePath());
    EXPECT_EQ(stored, (QMap<QString, QString>{{QStringLiteral("H0"), QStringLiteral("q")},
                                              {QStringLiteral("H1"), QStringLiteral("p")}}));
}

TEST_F(HistoryComboBoxStore, SaveLeavesNoValuesBeyondTheLength)
{
    QByteArray file = "[Hi]\nOther=x\n";
    for (int i = 0; i < 12; ++i)
        file += QStringLiteral("H%1=old%1\n").arg(i).toLatin1();
    writeFile(file);
    box.setMaxHistoryLength(3);
    EXPECT_EQ(box.LoadHistory(), std::nullopt);
    ASSERT_EQ(box.entries().size(), 3);
    box.lineEdit()->setText(QStringLiteral("new"));
    EXPECT_EQ(box.SaveHistory(), std::nullopt);
    const QMap<QString, QString> stored = testsupport::readValues(filePath());
    EXPECT_EQ(stored, (QMap<QString, QString>{{QStringLiteral("H0"), QStringLiteral("new")},
                                              {QStringLiteral("H1"), QStringLiteral("old0")},
                                              {QStringLiteral("H2"), QStringLiteral("old1")}}));
}

TEST_F(HistoryComboBoxStore, LoadWithoutStoredKeyGivesAnEmptyList)
{
    box.AddToHistory(QStringLiteral("p"));
    EXPECT_EQ(box.LoadHistory(), std::nullopt);
    EXPECT_TRUE(box.entries().isEmpty());
    EXPECT_EQ(box.currentText(), QString());
    EXPECT_FALSE(QFileInfo::exists(filePath()));
}

TEST_F(HistoryComboBoxStore, LoadReportsAValueThatIsNotText)
{
    writeFile("[Hi]\nH0=p\nH1=q\nH2=\"a\", \"b\"\n");
    EXPECT_EQ(box.LoadHistory(), QStringLiteral("Invalid data type for 'H2'"));
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("p"), QStringLiteral("q")}));
}

TEST_F(HistoryComboBoxStore, EmptyKeyKeepsNothingButStillAdds)
{
    box.setKey(QString());
    box.AddToHistory(QStringLiteral("p"));
    box.AddToHistory(QStringLiteral("q"));
    EXPECT_EQ(box.SaveHistory(), std::nullopt);
    EXPECT_EQ(box.LoadHistory(), std::nullopt);
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("q"), QStringLiteral("p")}));
    EXPECT_EQ(box.currentText(), QStringLiteral("q"));
    EXPECT_TRUE(QDir(QFileInfo(filePath()).absolutePath()).isEmpty());
}

// A box as it comes keeps the nine newest entries, newest first.
TEST_F(HistoryComboBoxStore, AFreshBoxKeepsTheNineNewestEntries)
{
    THistoryComboBox fresh;
    QStringList added;
    for (int i = 1; i <= 12; ++i) {
        added.prepend(QStringLiteral("title %1").arg(i));
        fresh.AddToHistory(added.first());
    }
    EXPECT_EQ(fresh.entries(), added.mid(0, 9));
}

class HistoryComboBoxRoot : public HistoryComboBoxStore,
                            public ::testing::WithParamInterface<THistoryComboBox::TRootKey>
{
};

TEST_P(HistoryComboBoxRoot, RootWithoutAStoreFailsWithItsName)
{
    writeFile("[Hi]\nH0=stored\n");
    const QByteArray before = testsupport::readBytes(filePath());
    box.setRootKey(GetParam());
    box.AddToHistory(QStringLiteral("p"));
    const QString name = QLatin1String(QMetaEnum::fromType<THistoryComboBox::TRootKey>().valueToKey(GetParam()));

    const std::optional<QString> saved = box.SaveHistory();
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(saved->contains(name)) << saved->toStdString();
    const std::optional<QString> loaded = box.LoadHistory();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_TRUE(loaded->contains(name)) << loaded->toStdString();
    EXPECT_EQ(testsupport::readBytes(filePath()), before);
    EXPECT_TRUE(box.entries().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Roots, HistoryComboBoxRoot,
                         ::testing::Values(THistoryComboBox::hkClassesRoot, THistoryComboBox::hkCurrentConfig,
                                           THistoryComboBox::hkDynData, THistoryComboBox::hkLocalMachine,
                                           THistoryComboBox::hkUsers),
                         [](const auto &info) {
                             return std::string(QMetaEnum::fromType<THistoryComboBox::TRootKey>().valueToKey(info.param));
                         });

// Keys reach the box either through the combo box or straight at its line edit; both
// ways must follow the same rules.
enum class Target { ComboBox, LineEdit };

class HistoryComboBoxTyping : public ::testing::TestWithParam<Target>
{
protected:
    void SetUp() override
    {
        for (const char *text : {"bravo", "beta", "Alpha"})
            box.AddToHistory(QString::fromLatin1(text));
        box.lineEdit()->clear();
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }

    QWidget *target() { return GetParam() == Target::ComboBox ? static_cast<QWidget *>(&box) : box.lineEdit(); }

    THistoryComboBox box;
    QSignalSpy changed{&box, &THistoryComboBox::textChangedByOperator};
    QSignalSpy selected{&box, &THistoryComboBox::entrySelected};
};

TEST_P(HistoryComboBoxTyping, CompletionPicksTheEntryWithoutAChangeEvent)
{
    box.setCurrentIndex(0);
    box.lineEdit()->clear();
    QTest::keyClick(target(), Qt::Key_B);
    EXPECT_EQ(box.currentText(), QStringLiteral("beta"));
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("eta"));
    EXPECT_EQ(box.currentIndex(), 1);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 1);

    // The typed character takes the place of the completed rest.
    QTest::keyClick(target(), Qt::Key_R);
    EXPECT_EQ(box.currentText(), QStringLiteral("bravo"));
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("avo"));
    ASSERT_EQ(selected.count(), 2);
    EXPECT_EQ(selected.at(1).at(0).toInt(), 2);
    EXPECT_EQ(changed.count(), 0);
}

TEST_P(HistoryComboBoxTyping, CompletingToTheSelectedEntryRaisesNoEvent)
{
    box.setCurrentIndex(1);
    box.lineEdit()->setText(QStringLiteral("b"));
    QTest::keyClick(target(), Qt::Key_E);
    EXPECT_EQ(box.currentText(), QStringLiteral("beta"));
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("ta"));
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(changed.count(), 0);
}

TEST_P(HistoryComboBoxTyping, LettersCompleteWhateverTheirCase)
{
    QTest::keyClicks(target(), QStringLiteral("al"));
    EXPECT_EQ(box.currentText(), QStringLiteral("alpha"));
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("pha"));
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(changed.count(), 0);
}

TEST_P(HistoryComboBoxTyping, UnmatchedCharactersAreTypedWithAChangeEventEach)
{
    QTest::keyClicks(target(), QStringLiteral("xy"));
    EXPECT_EQ(box.currentText(), QStringLiteral("xy"));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("xy"));
    EXPECT_EQ(selected.count(), 0);
}

TEST_P(HistoryComboBoxTyping, BackspaceTakesTheCompletedRestAndLeavesNoEntrySelected)
{
    QTest::keyClick(target(), Qt::Key_B);
    ASSERT_EQ(box.lineEdit()->selectedText(), QStringLiteral("eta"));
    QTest::keyClick(target(), Qt::Key_Backspace);
    EXPECT_EQ(box.currentText(), QStringLiteral("b"));
    EXPECT_EQ(box.currentIndex(), -1);
    QTest::keyClick(target(), Qt::Key_Backspace);
    EXPECT_EQ(box.currentText(), QString());
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("b"));
    EXPECT_EQ(changed.at(1).at(0).toString(), QString());
}

TEST_P(HistoryComboBoxTyping, DeleteAndPasteEditWithAChangeEventEach)
{
    box.lineEdit()->setText(QStringLiteral("xyz"));
    box.lineEdit()->setCursorPosition(1);
    QTest::keyClick(target(), Qt::Key_Delete);
    EXPECT_EQ(box.currentText(), QStringLiteral("xz"));
    EXPECT_EQ(changed.count(), 1);

    QApplication::clipboard()->setText(QStringLiteral("PASTE"));
    QTest::keyClick(target(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.currentText(), QStringLiteral("xPASTEz"));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(selected.count(), 0);
}

TEST_P(HistoryComboBoxTyping, TextSetByTheProgramIsNoOperatorChange)
{
    box.AddToHistory(QStringLiteral("gamma"));
    box.AddToHistory(QStringLiteral("beta"));
    EXPECT_EQ(box.currentText(), QStringLiteral("beta"));
    EXPECT_EQ(box.entries(),
              (QStringList{QStringLiteral("beta"), QStringLiteral("gamma"), QStringLiteral("Alpha"), QStringLiteral("bravo")}));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(selected.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, HistoryComboBoxTyping, ::testing::Values(Target::ComboBox, Target::LineEdit),
                         [](const auto &info) {
                             return std::string(info.param == Target::ComboBox ? "ComboBox" : "LineEdit");
                         });

// The list under the operator's hands, with an owner that puts the text on top of the
// history whenever the list closes, as the title box's owner does.
class HistoryComboBoxPopup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *text : {"charlie", "bravo", "alpha"})
            box.AddToHistory(QString::fromLatin1(text));
        QObject::connect(&box, &THistoryComboBox::closeUp, &box, [this] { box.AddToHistory(box.currentText()); });
        ASSERT_TRUE(operatorinput::showActive(box));
        // The operator clicks into the box first.
        QTest::mouseClick(box.lineEdit(), Qt::LeftButton);
        ASSERT_EQ(operatorinput::keyReceiver(), &box);
    }

    THistoryComboBox box;
    QSignalSpy changed{&box, &THistoryComboBox::textChangedByOperator};
    QSignalSpy selected{&box, &THistoryComboBox::entrySelected};
    QSignalSpy closed{&box, &THistoryComboBox::closeUp};
};

// Qt hides the list before it reports the pick: the close-up must not take the picked row
// away before that.
TEST_F(HistoryComboBoxPopup, AClickedEntryBecomesTheTextAndThenLeadsTheHistory)
{
    ASSERT_TRUE(operatorinput::openListByMouse(box));
    operatorinput::clickListRow(box, 1);
    ASSERT_TRUE(operatorinput::waitForListClosed(box));
    EXPECT_EQ(box.currentText(), QStringLiteral("bravo"));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 1);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("bravo"), QStringLiteral("alpha"), QStringLiteral("charlie")}));
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(HistoryComboBoxPopup, AnEntryChosenWithTheArrowKeysAndEnterDoesTheSame)
{
    operatorinput::pressKey(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(box.view()->isVisible());
    ASSERT_NE(operatorinput::keyReceiver(), &box) << "the open list takes the keys";
    operatorinput::pressKey(Qt::Key_Down);
    operatorinput::pressKey(Qt::Key_Down);
    operatorinput::pressKey(Qt::Key_Return);
    ASSERT_TRUE(operatorinput::waitForListClosed(box));
    EXPECT_EQ(box.currentText(), QStringLiteral("charlie"));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 2);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("charlie"), QStringLiteral("alpha"), QStringLiteral("bravo")}));
}

TEST_F(HistoryComboBoxPopup, ClosingTheListWithoutAPickKeepsTheTextAndRaisesCloseUpOnce)
{
    operatorinput::pressKey(Qt::Key_A, Qt::ControlModifier);
    operatorinput::pressKey(Qt::Key_Backspace);
    QTest::keyClicks(operatorinput::keyReceiver(), QStringLiteral("new"));
    ASSERT_EQ(box.currentText(), QStringLiteral("new"));
    ASSERT_TRUE(operatorinput::openListByMouse(box));
    operatorinput::pressKey(Qt::Key_Escape);
    ASSERT_TRUE(operatorinput::waitForListClosed(box));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("new"));
    EXPECT_EQ(box.entries().value(0), QStringLiteral("new"));
    EXPECT_EQ(box.entries().size(), 4);
}

} // namespace
